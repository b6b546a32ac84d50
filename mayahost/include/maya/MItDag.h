#pragma once
// Iterates the DAG from the world, depth or breadth first; an instanced node
// is visited once per path. A type filter skips other nodes but still
// descends below them.

#include <maya/MDagPath.h>
#include <maya/MFn.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

#include <vector>

class MItDag {
public:
    enum TraversalType { kInvalidType, kDepthFirst, kBreadthFirst };

    MItDag(TraversalType type = kDepthFirst, MFn::Type filter = MFn::kInvalid, MStatus* ReturnStatus = NULL);

    MStatus reset();
    MStatus reset(const MObject& root, TraversalType type = kDepthFirst, MFn::Type filter = MFn::kInvalid);
    bool isDone(MStatus* ReturnStatus = NULL) const;
    MStatus next();
    void prune();
    MObject currentItem(MStatus* ReturnStatus = NULL) const;
    MObject item(MStatus* ReturnStatus = NULL) const { return currentItem(ReturnStatus); }
    MStatus getPath(MDagPath& path) const;
    MString fullPathName(MStatus* ReturnStatus = NULL) const;
    MString partialPathName(MStatus* ReturnStatus = NULL) const;
    // Nodes between the world and the current node (0 for the world).
    unsigned int depth(MStatus* ReturnStatus = NULL) const;
    bool isInstanced(bool indirect = true, MStatus* ReturnStatus = NULL) const;
    TraversalType getType(MStatus* ReturnStatus = NULL) const { (void)ReturnStatus; return type_; }

private:
    // One node of the walk: its path is the parent entry's plus the node, so
    // that a deep hierarchy costs one entry per node, not one path each.
    struct Entry {
        MObject node;
        size_t parent;       // entry index; none for the root
        unsigned int depth;  // path length
        size_t subtreeEnd;   // depth first: first entry after this one's subtree
        bool matches;
    };
    void build(const MObject& root);
    void skipFiltered();
    MDagPath pathOf(size_t entry) const;

    TraversalType type_;
    MFn::Type filter_;
    std::vector<Entry> entries_;
    MDagPath rootPath_;
    size_t pos_ = 0;
    size_t pruneTo_ = 0;
};
