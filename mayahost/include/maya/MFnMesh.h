#pragma once
// Function set of polygon mesh shapes.

#include <maya/MFnDagNode.h>
#include <maya/MIntArray.h>
#include <maya/MObjectArray.h>
#include <maya/MPointArray.h>
#include <maya/MSpace.h>
#include <maya/MStringArray.h>

#ifndef kInstanceUnspecified
#define kInstanceUnspecified -1
#endif

class MFnMesh : public MFnDagNode {
public:
    MFnMesh() = default;
    MFnMesh(const MObject& object, MStatus* ReturnStatus = NULL);
    MFnMesh(const MDagPath& object, MStatus* ReturnStatus = NULL);

    MFn::Type type() const override { return MFn::kMesh; }
    MStatus setObject(const MObject& object) override;
    MStatus setObject(const MDagPath& path);

    // The stand-in evaluates a mesh when it is first asked for; nothing to refresh.
    MStatus syncObject();

    int numVertices(MStatus* ReturnStatus = NULL) const;
    int numEdges(MStatus* ReturnStatus = NULL) const;
    int numPolygons(MStatus* ReturnStatus = NULL) const;
    int numFaceVertices(MStatus* ReturnStatus = NULL) const;
    int polygonVertexCount(int polygonId, MStatus* ReturnStatus = NULL) const;
    MStatus getPolygonVertices(int polygonId, MIntArray& vertexList) const;
    MStatus getPoints(MPointArray& vertexArray, MSpace::Space space = MSpace::kObject) const;

    int numUVSets(MStatus* ReturnStatus = NULL) const;
    int numUVs(MStatus* ReturnStatus = NULL) const;
    int numUVs(const MString& uvSet, MStatus* ReturnStatus = NULL) const;
    MStatus getUVSetNames(MStringArray& setNames) const;
    MStatus getCurrentUVSetName(MString& setName, int instance = kInstanceUnspecified) const;
    MString currentUVSetName(MStatus* ReturnStatus = NULL, int instance = kInstanceUnspecified) const;

    // The sets (shading groups when renderableSetsOnly) the given instance of
    // the mesh belongs to, and per set the member faces: a polygon component,
    // or the null object when the whole mesh is a member.
    MStatus getConnectedSetsAndMembers(unsigned int instanceNumber, MObjectArray& sets, MObjectArray& comps,
                                       bool renderableSetsOnly) const;
};
