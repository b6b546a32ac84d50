#pragma once
// Array of unsigned int values.

#include <maya/internal/ValueArray.h>

#include <ostream>

class MUintArray : public mayahost::ValueArray<unsigned int> {
public:
    MUintArray() = default;
    MUintArray(const unsigned int* src, unsigned int count) : ValueArray(src, count) {}
    MUintArray(unsigned int initialSize, unsigned int initialValue = 0) : ValueArray(initialSize, initialValue) {}
    MStatus copy(const MUintArray& source) {
        assign(source);
        return MStatus::kSuccess;
    }
    friend std::ostream& operator<<(std::ostream& os, const MUintArray& array) {
        array.printTo(os);
        return os;
    }
};
