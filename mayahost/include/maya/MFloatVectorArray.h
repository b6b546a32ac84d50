#pragma once
// Array of MFloatVector values.

#include <maya/MFloatVector.h>
#include <maya/internal/ValueArray.h>

#include <ostream>

class MFloatVectorArray : public mayahost::ValueArray<MFloatVector> {
public:
    MFloatVectorArray() = default;
    MFloatVectorArray(const MFloatVector* src, unsigned int count) : ValueArray(src, count) {}
    MFloatVectorArray(unsigned int initialSize, const MFloatVector& initialValue = MFloatVector()) : ValueArray(initialSize, initialValue) {}
    MStatus get(float dest[][3]) const {
        for (unsigned int i = 0; i < length(); ++i) (*this)[i].get(dest[i]);
        return MStatus::kSuccess;
    }
    MStatus copy(const MFloatVectorArray& source) {
        assign(source);
        return MStatus::kSuccess;
    }
    friend std::ostream& operator<<(std::ostream& os, const MFloatVectorArray& array) {
        array.printTo(os);
        return os;
    }
};
