#pragma once
// A path through the DAG from the world to one node. An instanced node has
// one path per way of reaching it.

#include <maya/MFn.h>
#include <maya/MMatrix.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

#include <vector>

class MDagPathArray;

class MDagPath {
public:
    MDagPath() = default;

    static MStatus getAPathTo(const MObject& node, MDagPath& path);
    static MStatus getAllPathsTo(const MObject& node, MDagPathArray& paths);

    bool hasFn(MFn::Type type, MStatus* ReturnStatus = NULL) const;
    MFn::Type apiType(MStatus* ReturnStatus = NULL) const;
    bool isValid(MStatus* ReturnStatus = NULL) const;
    MObject node(MStatus* ReturnStatus = NULL) const;
    MObject transform(MStatus* ReturnStatus = NULL) const;
    // Nodes below the world (0 for the world itself).
    unsigned int length(MStatus* ReturnStatus = NULL) const;
    MStatus extendToShape();
    MStatus extendToShapeDirectlyBelow(unsigned int index);
    MStatus numberOfShapesDirectlyBelow(unsigned int& num) const;
    MStatus push(const MObject& child);
    MStatus pop(unsigned int num = 1);
    unsigned int childCount(MStatus* ReturnStatus = NULL) const;
    MObject child(unsigned int index, MStatus* ReturnStatus = NULL) const;
    MString fullPathName(MStatus* ReturnStatus = NULL) const;
    MString partialPathName(MStatus* ReturnStatus = NULL) const;
    MMatrix inclusiveMatrix(MStatus* ReturnStatus = NULL) const;
    MMatrix exclusiveMatrix(MStatus* ReturnStatus = NULL) const;
    MMatrix inclusiveMatrixInverse(MStatus* ReturnStatus = NULL) const;
    MMatrix exclusiveMatrixInverse(MStatus* ReturnStatus = NULL) const;
    bool isInstanced(MStatus* ReturnStatus = NULL) const;
    unsigned int instanceNumber(MStatus* ReturnStatus = NULL) const;
    MStatus set(const MDagPath& src);

    bool operator==(const MDagPath& other) const { return nodes_ == other.nodes_; }
    bool operator!=(const MDagPath& other) const { return !(*this == other); }

    // Stand-in extension: the nodes of the path, the world first.
    const std::vector<MObject>& nodes() const { return nodes_; }
    explicit MDagPath(std::vector<MObject> nodes) : nodes_(std::move(nodes)) {}

private:
    std::vector<MObject> nodes_;
};
