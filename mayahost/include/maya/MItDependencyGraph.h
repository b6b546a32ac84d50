#pragma once
// Walks the dependency graph from a root plug or node along connections,
// upstream or downstream, breadth or depth first, at node or plug level. With
// a type filter only matching nodes are visited; unless pruning on the filter
// is disabled, the walk also stops at nodes that do not match.

#include <maya/MFn.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MStatus.h>

#include <vector>

class MItDependencyGraph {
public:
    enum Direction { kDownstream, kUpstream };
    enum Traversal { kDepthFirst, kBreadthFirst };
    enum Level { kNodeLevel, kPlugLevel };

    MItDependencyGraph(MObject& rootNode, MFn::Type filter = MFn::kInvalid, Direction direction = kDownstream,
                       Traversal traversal = kDepthFirst, Level level = kNodeLevel, MStatus* ReturnStatus = NULL);
    MItDependencyGraph(MPlug& rootPlug, MFn::Type filter = MFn::kInvalid, Direction direction = kDownstream,
                       Traversal traversal = kDepthFirst, Level level = kNodeLevel, MStatus* ReturnStatus = NULL);

    MStatus reset();
    bool isDone(MStatus* ReturnStatus = NULL) const;
    MStatus next();
    MObject thisNode(MStatus* ReturnStatus = NULL) const;
    MObject currentItem(MStatus* ReturnStatus = NULL) const { return thisNode(ReturnStatus); }
    MPlug thisPlug(MStatus* ReturnStatus = NULL) const;
    MObject rootNode(MStatus* ReturnStatus = NULL) const;
    void disablePruningOnFilter() { pruning_ = false; rebuild(); }
    void enablePruningOnFilter() { pruning_ = true; rebuild(); }
    bool isPruningOnFilter(MStatus* ReturnStatus = NULL) const { (void)ReturnStatus; return pruning_; }
    MStatus setCurrentFilter(MFn::Type filter) { filter_ = filter; rebuild(); return MStatus::kSuccess; }
    MFn::Type currentFilter(MStatus* ReturnStatus = NULL) const { (void)ReturnStatus; return filter_; }
    Direction currentDirection(MStatus* ReturnStatus = NULL) const { (void)ReturnStatus; return direction_; }

private:
    void rebuild();

    MObject root_;
    MPlug rootPlug_;
    bool fromPlug_ = false;
    MFn::Type filter_;
    Direction direction_;
    Traversal traversal_;
    Level level_;
    bool pruning_ = true;
    std::vector<MObject> visits_;
    std::vector<MPlug> plugs_;
    size_t pos_ = 0;
};
