#pragma once
// Array of MPoint values.

#include <maya/MPoint.h>
#include <maya/internal/ValueArray.h>

#include <ostream>

class MPointArray : public mayahost::ValueArray<MPoint> {
public:
    MPointArray() = default;
    MPointArray(const MPoint* src, unsigned int count) : ValueArray(src, count) {}
    MPointArray(unsigned int initialSize, const MPoint& initialValue = MPoint()) : ValueArray(initialSize, initialValue) {}
    using ValueArray::append;
    MStatus append(double x, double y, double z = 0.0, double w = 1.0) { return append(MPoint(x, y, z, w)); }
    MStatus get(double dest[][4]) const {
        for (unsigned int i = 0; i < length(); ++i) (*this)[i].get(dest[i]);
        return MStatus::kSuccess;
    }
    MStatus get(float dest[][4]) const {
        for (unsigned int i = 0; i < length(); ++i) (*this)[i].get(dest[i]);
        return MStatus::kSuccess;
    }
    MStatus copy(const MPointArray& source) {
        assign(source);
        return MStatus::kSuccess;
    }
    friend std::ostream& operator<<(std::ostream& os, const MPointArray& array) {
        array.printTo(os);
        return os;
    }
};
