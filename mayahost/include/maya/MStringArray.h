#pragma once
// Array of MString.

#include <maya/MString.h>
#include <maya/internal/ValueArray.h>

#include <ostream>

class MStringArray : public mayahost::ValueArray<MString> {
public:
    MStringArray() = default;
    MStringArray(const MString* src, unsigned int count) : ValueArray(src, count) {}
    MStringArray(const char* const* src, unsigned int count) {
        for (unsigned int i = 0; i < count; ++i) v_.emplace_back(src[i]);
    }
    MStringArray(unsigned int initialSize, const MString& initialValue) : ValueArray(initialSize, initialValue) {}
    MStatus copy(const MStringArray& source) {
        assign(source);
        return MStatus::kSuccess;
    }
    friend std::ostream& operator<<(std::ostream& os, const MStringArray& array) {
        array.printTo(os);
        return os;
    }
};
