#pragma once
// What a caller wants in a display geometry.

#include <maya/MString.h>

#include <vector>

class MGeometryRequirements {
public:
    MGeometryRequirements() = default;

    void addPosition() { position_ = true; }
    void addNormal() { normal_ = true; }
    void addTexCoord(const MString& uvSetName) { texCoords_.push_back(uvSetName); }

    // Stand-in extension: what was asked for.
    bool wantsPosition() const { return position_; }
    bool wantsNormal() const { return normal_; }
    const std::vector<MString>& texCoordSets() const { return texCoords_; }

private:
    bool position_ = false;
    bool normal_ = false;
    std::vector<MString> texCoords_;
};
