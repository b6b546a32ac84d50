#pragma once
// Function set of NURBS curves: curve shapes, and the curve data objects a
// surface's trim boundaries are made of. Knots follow Maya's convention
// (numCVs + degree - 1 of them); control points come as (x, y, z, w) with
// the Cartesian position and the weight. A curve in a surface's parameter
// space has its (u, v) in x and y.

#include <maya/MDoubleArray.h>
#include <maya/MFnDagNode.h>
#include <maya/MPointArray.h>
#include <maya/MSpace.h>

class MFnNurbsCurve : public MFnDagNode {
public:
    enum Form { kInvalid = 0, kOpen, kClosed, kPeriodic, kLast };

    MFnNurbsCurve() = default;
    MFnNurbsCurve(const MObject& object, MStatus* ReturnStatus = NULL);
    MFnNurbsCurve(const MDagPath& object, MStatus* ReturnStatus = NULL);

    MFn::Type type() const override { return MFn::kNurbsCurve; }

    MStatus getKnotDomain(double& start, double& end) const;
    int degree(MStatus* ReturnStatus = NULL) const;
    Form form(MStatus* ReturnStatus = NULL) const;
    int numCVs(MStatus* ReturnStatus = NULL) const;
    int numKnots(MStatus* ReturnStatus = NULL) const;
    int numSpans(MStatus* ReturnStatus = NULL) const;
    MStatus getCVs(MPointArray& array, MSpace::Space space = MSpace::kObject) const;
    MStatus getKnots(MDoubleArray& array) const;
};
