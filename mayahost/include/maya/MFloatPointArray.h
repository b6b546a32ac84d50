#pragma once
// Array of MFloatPoint values.

#include <maya/MFloatPoint.h>
#include <maya/internal/ValueArray.h>

#include <ostream>

class MFloatPointArray : public mayahost::ValueArray<MFloatPoint> {
public:
    MFloatPointArray() = default;
    MFloatPointArray(const MFloatPoint* src, unsigned int count) : ValueArray(src, count) {}
    MFloatPointArray(unsigned int initialSize, const MFloatPoint& initialValue = MFloatPoint()) : ValueArray(initialSize, initialValue) {}
    using ValueArray::append;
    MStatus append(float x, float y, float z = 0.0F, float w = 1.0F) { return append(MFloatPoint(x, y, z, w)); }
    MStatus get(float dest[][4]) const {
        for (unsigned int i = 0; i < length(); ++i) (*this)[i].get(dest[i]);
        return MStatus::kSuccess;
    }
    MStatus copy(const MFloatPointArray& source) {
        assign(source);
        return MStatus::kSuccess;
    }
    friend std::ostream& operator<<(std::ostream& os, const MFloatPointArray& array) {
        array.printTo(os);
        return os;
    }
};
