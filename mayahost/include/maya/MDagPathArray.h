#pragma once
// Array of MDagPath.

#include <maya/MDagPath.h>
#include <maya/internal/ValueArray.h>

class MDagPathArray : public mayahost::ValueArray<MDagPath> {
public:
    MDagPathArray() = default;
    MDagPathArray(const MDagPath* src, unsigned int count) : ValueArray(src, count) {}
    MDagPathArray(unsigned int initialSize, const MDagPath& initialValue) : ValueArray(initialSize, initialValue) {}
    MStatus copy(const MDagPathArray& source) {
        assign(source);
        return MStatus::kSuccess;
    }
};
