#pragma once
// Array of MPlug.

#include <maya/MPlug.h>
#include <maya/internal/ValueArray.h>

class MPlugArray : public mayahost::ValueArray<MPlug> {
public:
    MPlugArray() = default;
    MPlugArray(const MPlug* src, unsigned int count) : ValueArray(src, count) {}
    MPlugArray(unsigned int initialSize, const MPlug& initialValue) : ValueArray(initialSize, initialValue) {}
    MStatus copy(const MPlugArray& source) {
        assign(source);
        return MStatus::kSuccess;
    }
};
