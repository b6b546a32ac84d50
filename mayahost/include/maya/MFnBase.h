#pragma once
// Base of the function sets: holds the object a function set operates on.

#include <maya/MFn.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

class MFnBase {
public:
    MFnBase() = default;
    virtual ~MFnBase() = default;

    virtual MFn::Type type() const { return MFn::kBase; }
    bool hasObj(MFn::Type type) const;
    bool hasObj(const MObject& object) const;
    MObject object(MStatus* ReturnStatus = NULL) const;
    virtual MStatus setObject(const MObject& object);

protected:
    // Attaches when the object has this function set's type; else stays empty
    // and reports kInvalidParameter.
    MStatus attach(const MObject& object);

    MObject obj_;
};
