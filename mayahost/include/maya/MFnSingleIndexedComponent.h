#pragma once
// Function set of components whose elements are single indices (faces,
// vertices, edges).

#include <maya/MFnComponent.h>
#include <maya/MIntArray.h>

class MFnSingleIndexedComponent : public MFnComponent {
public:
    MFnSingleIndexedComponent() = default;
    MFnSingleIndexedComponent(MObject& object, MStatus* ReturnStatus = NULL);
    MFnSingleIndexedComponent(const MObject& object, MStatus* ReturnStatus = NULL);

    MFn::Type type() const override { return MFn::kSingleIndexedComponent; }
    // A new, empty component of the given type (kMeshPolygonComponent ...), attached to this function set.
    MObject create(MFn::Type compType, MStatus* ReturnStatus = NULL);
    MStatus addElement(int element);
    MStatus addElements(MIntArray& elements);
    int element(int index, MStatus* ReturnStatus = NULL) const;
    MStatus getElements(MIntArray& elements) const;
    // Marks the component complete: all elements 0 .. numElements - 1.
    MStatus setCompleteData(int numElements);
    MStatus getCompleteData(int& numElements) const;
};
