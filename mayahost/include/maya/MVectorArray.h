#pragma once
// Array of MVector values.

#include <maya/MVector.h>
#include <maya/internal/ValueArray.h>

#include <ostream>

class MVectorArray : public mayahost::ValueArray<MVector> {
public:
    MVectorArray() = default;
    MVectorArray(const MVector* src, unsigned int count) : ValueArray(src, count) {}
    MVectorArray(unsigned int initialSize, const MVector& initialValue = MVector()) : ValueArray(initialSize, initialValue) {}
    MStatus get(double dest[][3]) const {
        for (unsigned int i = 0; i < length(); ++i) (*this)[i].get(dest[i]);
        return MStatus::kSuccess;
    }
    MStatus copy(const MVectorArray& source) {
        assign(source);
        return MStatus::kSuccess;
    }
    friend std::ostream& operator<<(std::ostream& os, const MVectorArray& array) {
        array.printTo(os);
        return os;
    }
};
