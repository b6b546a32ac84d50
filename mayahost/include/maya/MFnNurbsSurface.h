#pragma once
// Function set of NURBS surface shapes, over the surface the shape holds once
// its history or stored data has been evaluated. Knots follow Maya's
// convention (numCVs + degree - 1 per direction); control points come as
// (x, y, z, w) with the Cartesian position and the weight, point (u, v) at
// index u * numCVsInV + v.

#include <maya/MDoubleArray.h>
#include <maya/MFnDagNode.h>
#include <maya/MPointArray.h>
#include <maya/MSpace.h>
#include <maya/MTesselationParams.h>
#include <maya/MTrimBoundaryArray.h>

class MFnNurbsSurface : public MFnDagNode {
public:
    enum Form { kInvalid = 0, kOpen, kClosed, kPeriodic, kLast };

    MFnNurbsSurface() = default;
    MFnNurbsSurface(const MObject& object, MStatus* ReturnStatus = NULL);
    MFnNurbsSurface(const MDagPath& object, MStatus* ReturnStatus = NULL);

    MFn::Type type() const override { return MFn::kNurbsSurface; }

    MStatus getKnotDomain(double& startU, double& endU, double& startV, double& endV) const;
    int degreeU(MStatus* ReturnStatus = NULL) const;
    int degreeV(MStatus* ReturnStatus = NULL) const;
    Form formInU(MStatus* ReturnStatus = NULL) const;
    Form formInV(MStatus* ReturnStatus = NULL) const;
    int numCVsInU(MStatus* ReturnStatus = NULL) const;
    int numCVsInV(MStatus* ReturnStatus = NULL) const;
    int numSpansInU(MStatus* ReturnStatus = NULL) const;
    int numSpansInV(MStatus* ReturnStatus = NULL) const;
    int numKnotsInU(MStatus* ReturnStatus = NULL) const;
    int numKnotsInV(MStatus* ReturnStatus = NULL) const;
    MStatus getKnotsInU(MDoubleArray& array) const;
    MStatus getKnotsInV(MDoubleArray& array) const;
    MStatus getCVs(MPointArray& array, MSpace::Space space = MSpace::kObject) const;

    bool isTrimmedSurface(MStatus* ReturnStatus = NULL) const;
    unsigned int numRegions(MStatus* ReturnStatus = NULL) const;
    unsigned int numBoundaries(unsigned int region, MStatus* ReturnStatus = NULL) const;
    // The boundaries of `region`, the outer one first. Only parameter-space
    // edges are kept (paramEdges false is refused).
    MStatus getTrimBoundaries(MTrimBoundaryArray& result, unsigned int region, bool paramEdges = true) const;

    // Makes a new transform with a mesh shape under it (under `parentOrOwner`
    // when that is a transform, else under the world) holding the surface's
    // tessellation, and returns the transform.
    MObject tesselate(const MTesselationParams& params = MTesselationParams::fsDefaultTesselationParams,
                      MObject parentOrOwner = MObject::kNullObj, MStatus* ReturnStatus = NULL);
};
