#pragma once
// Array of int values.

#include <maya/internal/ValueArray.h>

#include <ostream>

class MIntArray : public mayahost::ValueArray<int> {
public:
    MIntArray() = default;
    MIntArray(const int* src, unsigned int count) : ValueArray(src, count) {}
    MIntArray(unsigned int initialSize, int initialValue = 0) : ValueArray(initialSize, initialValue) {}
    MStatus copy(const MIntArray& source) {
        assign(source);
        return MStatus::kSuccess;
    }
    friend std::ostream& operator<<(std::ostream& os, const MIntArray& array) {
        array.printTo(os);
        return os;
    }
};
