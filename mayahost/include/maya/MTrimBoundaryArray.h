#pragma once
// The boundaries of one trimmed region of a NURBS surface: each boundary an
// array of curve data objects (kNurbsCurveData) that follow one another.

#include <maya/MObjectArray.h>
#include <maya/MStatus.h>

#include <vector>

class MTrimBoundaryArray {
public:
    unsigned int length() const { return static_cast<unsigned int>(boundaries_.size()); }
    unsigned int size() const { return length(); }
    const MObjectArray& operator[](unsigned int index) const { return boundaries_[index]; }
    const MObjectArray& get(unsigned int index) const { return boundaries_[index]; }
    MStatus append(const MObjectArray& boundary) {
        boundaries_.push_back(boundary);
        return MStatus::kSuccess;
    }
    MStatus clear() {
        boundaries_.clear();
        return MStatus::kSuccess;
    }

private:
    std::vector<MObjectArray> boundaries_;
};
