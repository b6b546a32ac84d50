#pragma once
// Array of double values.

#include <maya/internal/ValueArray.h>

#include <ostream>

class MDoubleArray : public mayahost::ValueArray<double> {
public:
    MDoubleArray() = default;
    MDoubleArray(const double* src, unsigned int count) : ValueArray(src, count) {}
    MDoubleArray(unsigned int initialSize, double initialValue = 0) : ValueArray(initialSize, initialValue) {}
    MStatus copy(const MDoubleArray& source) {
        assign(source);
        return MStatus::kSuccess;
    }
    friend std::ostream& operator<<(std::ostream& os, const MDoubleArray& array) {
        array.printTo(os);
        return os;
    }
};
