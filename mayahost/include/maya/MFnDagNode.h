#pragma once
// Function set of DAG nodes: parents, children and paths.

#include <maya/MDagPath.h>
#include <maya/MFnDependencyNode.h>

class MDagPathArray;

class MFnDagNode : public MFnDependencyNode {
public:
    MFnDagNode() = default;
    MFnDagNode(const MObject& object, MStatus* ReturnStatus = NULL);
    MFnDagNode(const MDagPath& path, MStatus* ReturnStatus = NULL);

    MFn::Type type() const override { return MFn::kDagNode; }
    MStatus setObject(const MObject& object) override;
    MStatus setObject(const MDagPath& path);

    MStatus getPath(MDagPath& path) const;
    MDagPath dagPath(MStatus* ReturnStatus = NULL) const;
    MStatus getAllPaths(MDagPathArray& paths) const;
    MString fullPathName(MStatus* ReturnStatus = NULL) const;
    MString partialPathName(MStatus* ReturnStatus = NULL) const;
    bool isIntermediateObject(MStatus* ReturnStatus = NULL) const;
    unsigned int parentCount(MStatus* ReturnStatus = NULL) const;
    MObject parent(unsigned int index, MStatus* ReturnStatus = NULL) const;
    unsigned int childCount(MStatus* ReturnStatus = NULL) const;
    MObject child(unsigned int index, MStatus* ReturnStatus = NULL) const;
    bool hasChild(const MObject& node, MStatus* ReturnStatus = NULL) const;
    bool hasParent(const MObject& node, MStatus* ReturnStatus = NULL) const;
    bool isInstanced(bool indirect = true, MStatus* ReturnStatus = NULL) const;
    unsigned int instanceCount(bool total, MStatus* ReturnStatus = NULL) const;
    MMatrix transformationMatrix(MStatus* ReturnStatus = NULL) const;

protected:
    MDagPath path_;   // the path given, or the first path to the node
};
