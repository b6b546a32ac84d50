#pragma once
// Array of MObject handles.

#include <maya/MObject.h>
#include <maya/internal/ValueArray.h>

class MObjectArray : public mayahost::ValueArray<MObject> {
public:
    MObjectArray() = default;
    MObjectArray(const MObject* src, unsigned int count) : ValueArray(src, count) {}
    MObjectArray(unsigned int initialSize, const MObject& initialValue = MObject::kNullObj)
        : ValueArray(initialSize, initialValue) {}
    MStatus copy(const MObjectArray& source) {
        assign(source);
        return MStatus::kSuccess;
    }
};
