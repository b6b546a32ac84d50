#pragma once
// Array of float values.

#include <maya/internal/ValueArray.h>

#include <ostream>

class MFloatArray : public mayahost::ValueArray<float> {
public:
    MFloatArray() = default;
    MFloatArray(const float* src, unsigned int count) : ValueArray(src, count) {}
    MFloatArray(unsigned int initialSize, float initialValue = 0) : ValueArray(initialSize, initialValue) {}
    MStatus copy(const MFloatArray& source) {
        assign(source);
        return MStatus::kSuccess;
    }
    friend std::ostream& operator<<(std::ostream& os, const MFloatArray& array) {
        array.printTo(os);
        return os;
    }
};
