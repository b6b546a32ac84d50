#pragma once
// The geometry Maya draws for a shape: per-vertex data streams and primitive
// arrays that index them.

#include <maya/MGeometryData.h>
#include <maya/MGeometryPrimitive.h>
#include <maya/MString.h>

#include <memory>
#include <string>
#include <vector>

class MGeometry {
public:
    MGeometry() = default;

    const MGeometryData position() { return position_; }
    const MGeometryData normal() { return normal_; }
    // The coordinates of the named uv set; an empty stream when they were not
    // requested or the drawn faces have none.
    const MGeometryData texCoord(const MString& name);
    unsigned int primitiveArrayCount() const { return static_cast<unsigned int>(primitives_.size()); }
    const MGeometryPrimitive primitiveArray(unsigned int primitiveNumber) const;

    // Stand-in extension, used by MGeometryManager.
    MGeometry(MGeometryData position, MGeometryData normal, std::vector<std::pair<std::string, MGeometryData>> texCoords,
              std::vector<MGeometryPrimitive> primitives)
        : position_(std::move(position)), normal_(std::move(normal)), texCoords_(std::move(texCoords)),
          primitives_(std::move(primitives)) {}

private:
    MGeometryData position_, normal_;
    std::vector<std::pair<std::string, MGeometryData>> texCoords_;
    std::vector<MGeometryPrimitive> primitives_;
};
