#pragma once
// Function set of components (a set of a shape's elements: faces, vertices ...).

#include <maya/MFnBase.h>

class MFnComponent : public MFnBase {
public:
    MFnComponent() = default;
    MFnComponent(MObject& object, MStatus* ReturnStatus = NULL);
    MFnComponent(const MObject& object, MStatus* ReturnStatus = NULL);

    MFn::Type type() const override { return MFn::kComponent; }
    int elementCount(MStatus* ReturnStatus = NULL) const;
    MFn::Type componentType(MStatus* ReturnStatus = NULL) const;
    bool isEmpty(MStatus* ReturnStatus = NULL) const;
    bool isComplete(MStatus* ReturnStatus = NULL) const;
    MStatus setComplete(bool complete);
};
