#include <maya/MItDag.h>
#include <maya/MItDependencyGraph.h>
#include <maya/MItDependencyNodes.h>

#include "base/Limits.h"
#include "api/ApiSupport.h"
#include "common/Log.h"

#include <deque>
#include <functional>
#include <unordered_set>

using namespace mayahost;

namespace {

void setStatus(MStatus* out, const MStatus& s) {
    if (out) *out = s;
}

MStatus done() { return MStatus::withReason(MStatus::kFailure, "iterator is done"); }

bool matches(const Node& node, MFn::Type filter) { return filter == MFn::kInvalid || node.hasFn(filter); }

}  // namespace

// ------------------------------------------------------------------ MItDag

MItDag::MItDag(TraversalType type, MFn::Type filter, MStatus* ReturnStatus) : type_(type), filter_(filter) {
    if (type != kDepthFirst && type != kBreadthFirst) {
        type_ = kDepthFirst;
        setStatus(ReturnStatus, MStatus::withReason(MStatus::kInvalidParameter, "unknown traversal type"));
        return;
    }
    Scene& scene = currentScene();
    build(scene.handle(*scene.world()));
    setStatus(ReturnStatus, MStatus::kSuccess);
}

MStatus MItDag::reset() {
    Scene& scene = currentScene();
    build(scene.handle(*scene.world()));
    return MStatus::kSuccess;
}

MStatus MItDag::reset(const MObject& root, TraversalType type, MFn::Type filter) {
    Node* n = nodeOf(root);
    if (!n || !n->isDag()) return MStatus::withReason(MStatus::kInvalidParameter, "root is no DAG node");
    type_ = type == kBreadthFirst ? kBreadthFirst : kDepthFirst;
    filter_ = filter;
    build(root);
    return MStatus::kSuccess;
}

void MItDag::build(const MObject& root) {
    entries_.clear();
    pos_ = 0;
    pruneTo_ = 0;
    Node* rootNode = nodeOf(root);
    if (!rootNode) return;
    std::vector<MDagPath> rootPaths = allPathsTo(*rootNode);
    if (rootPaths.empty()) return;
    rootPath_ = rootPaths.front();
    constexpr size_t kNone = SIZE_MAX;
    const Scene& scene = rootNode->scene();
    // Children below the depth bound are left out, once reported: a chain of
    // nested transforms must not turn into a walk the size of its square.
    bool cut = false;
    struct Todo {
        const Node* node;
        size_t parent;
        unsigned int depth;
    };
    auto admit = [&](const Todo& t) {
        if (t.depth <= limits().maxDagDepth) return true;
        if (!cut)
            LOG(logWARNING) << scene.fileName() << ": the hierarchy is deeper than " << limits().maxDagDepth
                            << " levels at " << t.node->name() << "; nodes below that depth are left out";
        cut = true;
        return false;
    };
    auto enter = [&](const Todo& t) {
        entries_.push_back(Entry{scene.handle(*t.node), t.parent, t.depth, 0, matches(*t.node, filter_)});
    };
    // Each entry is one path; instanced nodes appear once per path.
    if (type_ == kDepthFirst) {
        std::vector<size_t> open;       // entries whose subtree is not closed yet
        std::vector<Todo> todo{{rootNode, kNone, rootPath_.length()}};
        while (!todo.empty() && entries_.size() < limits().maxIteratorEntries) {
            const Todo t = todo.back();
            todo.pop_back();
            while (!open.empty() && entries_[open.back()].depth >= t.depth) {
                entries_[open.back()].subtreeEnd = entries_.size();
                open.pop_back();
            }
            enter(t);
            open.push_back(entries_.size() - 1);
            const auto& kids = t.node->children();
            for (auto it = kids.rbegin(); it != kids.rend(); ++it)
                if (const Todo child{*it, entries_.size() - 1, t.depth + 1}; admit(child)) todo.push_back(child);
        }
        for (size_t e : open) entries_[e].subtreeEnd = entries_.size();
    } else {
        std::deque<Todo> queue{{rootNode, kNone, rootPath_.length()}};
        while (!queue.empty() && entries_.size() < limits().maxIteratorEntries) {
            const Todo t = queue.front();
            queue.pop_front();
            enter(t);
            for (const Node* c : t.node->children())
                if (const Todo child{c, entries_.size() - 1, t.depth + 1}; admit(child)) queue.push_back(child);
        }
    }
    skipFiltered();
}

MDagPath MItDag::pathOf(size_t entry) const {
    std::vector<const MObject*> below;
    for (size_t e = entry; entries_[e].parent != SIZE_MAX; e = entries_[e].parent) below.push_back(&entries_[e].node);
    MDagPath path = rootPath_;
    for (auto it = below.rbegin(); it != below.rend(); ++it) path.push(**it);
    return path;
}

void MItDag::skipFiltered() {
    while (pos_ < entries_.size() && !entries_[pos_].matches) ++pos_;
}

bool MItDag::isDone(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MStatus::kSuccess);
    return pos_ >= entries_.size();
}

MStatus MItDag::next() {
    if (pos_ >= entries_.size()) return done();
    pos_ = pruneTo_ > pos_ ? pruneTo_ : pos_ + 1;
    pruneTo_ = 0;
    skipFiltered();
    return MStatus::kSuccess;
}

void MItDag::prune() {
    // The next next() continues after the current subtree.
    if (pos_ < entries_.size() && type_ == kDepthFirst) pruneTo_ = entries_[pos_].subtreeEnd;
}

MObject MItDag::currentItem(MStatus* ReturnStatus) const {
    if (pos_ >= entries_.size()) {
        setStatus(ReturnStatus, done());
        return MObject();
    }
    setStatus(ReturnStatus, MStatus::kSuccess);
    return entries_[pos_].node;
}

MStatus MItDag::getPath(MDagPath& path) const {
    if (pos_ >= entries_.size()) return done();
    path = pathOf(pos_);
    return MStatus::kSuccess;
}

MString MItDag::fullPathName(MStatus* ReturnStatus) const {
    if (pos_ >= entries_.size()) {
        setStatus(ReturnStatus, done());
        return MString();
    }
    return pathOf(pos_).fullPathName(ReturnStatus);
}

MString MItDag::partialPathName(MStatus* ReturnStatus) const {
    if (pos_ >= entries_.size()) {
        setStatus(ReturnStatus, done());
        return MString();
    }
    return pathOf(pos_).partialPathName(ReturnStatus);
}

unsigned int MItDag::depth(MStatus* ReturnStatus) const {
    if (pos_ >= entries_.size()) {
        setStatus(ReturnStatus, done());
        return 0;
    }
    setStatus(ReturnStatus, MStatus::kSuccess);
    return entries_[pos_].depth;
}

bool MItDag::isInstanced(bool indirect, MStatus* ReturnStatus) const {
    if (pos_ >= entries_.size()) {
        setStatus(ReturnStatus, done());
        return false;
    }
    setStatus(ReturnStatus, MStatus::kSuccess);
    if (indirect) return pathOf(pos_).isInstanced();
    return nodeOf(entries_[pos_].node)->parents().size() > 1;
}

// ------------------------------------------------------------------ MItDependencyNodes

MItDependencyNodes::MItDependencyNodes(MFn::Type filter, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, reset(filter));
}

MStatus MItDependencyNodes::reset(MFn::Type filter) {
    nodes_.clear();
    pos_ = 0;
    Scene& scene = currentScene();
    for (const auto& node : scene.nodes())
        if (!node->isWorld() && matches(*node, filter)) nodes_.push_back(scene.handle(*node));
    return MStatus::kSuccess;
}

bool MItDependencyNodes::isDone(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MStatus::kSuccess);
    return pos_ >= nodes_.size();
}

MStatus MItDependencyNodes::next() {
    if (pos_ >= nodes_.size()) return done();
    ++pos_;
    return MStatus::kSuccess;
}

MObject MItDependencyNodes::item(MStatus* ReturnStatus) const {
    if (pos_ >= nodes_.size()) {
        setStatus(ReturnStatus, done());
        return MObject();
    }
    setStatus(ReturnStatus, MStatus::kSuccess);
    return nodes_[pos_];
}

// ------------------------------------------------------------------ MItDependencyGraph

MItDependencyGraph::MItDependencyGraph(MObject& rootNode, MFn::Type filter, Direction direction, Traversal traversal,
                                       Level level, MStatus* ReturnStatus)
    : root_(rootNode), filter_(filter), direction_(direction), traversal_(traversal), level_(level) {
    if (!nodeOf(rootNode)) {
        setStatus(ReturnStatus, MStatus::withReason(MStatus::kInvalidParameter, "root is no dependency node"));
        return;
    }
    rebuild();
    setStatus(ReturnStatus, MStatus::kSuccess);
}

MItDependencyGraph::MItDependencyGraph(MPlug& rootPlug, MFn::Type filter, Direction direction, Traversal traversal,
                                       Level level, MStatus* ReturnStatus)
    : rootPlug_(rootPlug), fromPlug_(true), filter_(filter), direction_(direction), traversal_(traversal),
      level_(level) {
    if (rootPlug.isNull()) {
        setStatus(ReturnStatus, MStatus::withReason(MStatus::kInvalidParameter, "root plug is null"));
        return;
    }
    root_ = rootPlug.node();
    rebuild();
    setStatus(ReturnStatus, MStatus::kSuccess);
}

void MItDependencyGraph::rebuild() {
    visits_.clear();
    plugs_.clear();
    pos_ = 0;
    Node* root = nodeOf(root_);
    if (!root) return;
    const Scene& scene = root->scene();
    const bool upstream = direction_ == kUpstream;

    // Neighbours of a node (all its connections), or of the root plug (the
    // plug and the plugs below it) for the first step from a plug.
    auto neighbours = [&](const Node& node, const PlugPath* only) {
        std::vector<std::pair<const Node*, PlugPath>> out;
        for (const Connection* c : scene.connectionsOf(node, nullptr, !upstream, upstream)) {
            const PlugPath& mine = upstream ? c->destinationPlug : c->sourcePlug;
            if (only) {
                // The plug itself or a plug inside it (an element, a child).
                if (mine.steps.size() < only->steps.size()) continue;
                bool inside = true;
                for (size_t k = 0; k < only->steps.size() && inside; ++k) {
                    const auto& a = mine.steps[k];
                    const auto& b = only->steps[k];
                    inside = a.attr == b.attr && (b.index < 0 || a.index == b.index);
                }
                if (!inside) continue;
            }
            if (upstream) out.emplace_back(c->source, c->sourcePlug);
            else out.emplace_back(c->destination, c->destinationPlug);
        }
        return out;
    };

    std::unordered_set<const Node*> seen{root};
    std::deque<const Node*> work;
    if (matches(*root, filter_)) {
        visits_.push_back(root_);
        plugs_.push_back(rootPlug_);
    }
    const PlugHandle* rootHandle = fromPlug_ ? plugOf(rootPlug_) : nullptr;
    auto expand = [&](const Node& node, const PlugPath* only, auto& push) {
        for (auto& [next, plug] : neighbours(node, only)) {
            if (!seen.insert(next).second) continue;
            bool hit = matches(*next, filter_);
            if (hit) {
                visits_.push_back(scene.handle(*next));
                plugs_.push_back(makePlug(*next, plug));
            }
            if (hit || !pruning_ || filter_ == MFn::kInvalid) push(next);
        }
    };
    if (traversal_ == kBreadthFirst) {
        auto push = [&](const Node* n) { work.push_back(n); };
        expand(*root, rootHandle ? &rootHandle->path : nullptr, push);
        while (!work.empty() && visits_.size() < limits().maxGraphVisits) {
            const Node* n = work.front();
            work.pop_front();
            expand(*n, nullptr, push);
        }
    } else {
        // Depth first: visit order is preorder along the first unseen branch.
        std::function<void(const Node*, const PlugPath*, int)> dive = [&](const Node* n, const PlugPath* only, int depth) {
            if (size_t(depth) > limits().maxDagDepth || visits_.size() >= limits().maxGraphVisits) return;
            for (auto& [next, plug] : neighbours(*n, only)) {
                if (!seen.insert(next).second) continue;
                bool hit = matches(*next, filter_);
                if (hit) {
                    visits_.push_back(scene.handle(*next));
                    plugs_.push_back(makePlug(*next, plug));
                }
                if (hit || !pruning_ || filter_ == MFn::kInvalid) dive(next, nullptr, depth + 1);
            }
        };
        dive(root, rootHandle ? &rootHandle->path : nullptr, 0);
    }
    (void)level_;
}

MStatus MItDependencyGraph::reset() {
    rebuild();
    return MStatus::kSuccess;
}

bool MItDependencyGraph::isDone(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MStatus::kSuccess);
    return pos_ >= visits_.size();
}

MStatus MItDependencyGraph::next() {
    if (pos_ >= visits_.size()) return done();
    ++pos_;
    return MStatus::kSuccess;
}

MObject MItDependencyGraph::thisNode(MStatus* ReturnStatus) const {
    if (pos_ >= visits_.size()) {
        setStatus(ReturnStatus, done());
        return MObject();
    }
    setStatus(ReturnStatus, MStatus::kSuccess);
    return visits_[pos_];
}

MPlug MItDependencyGraph::thisPlug(MStatus* ReturnStatus) const {
    if (pos_ >= plugs_.size()) {
        setStatus(ReturnStatus, done());
        return MPlug();
    }
    setStatus(ReturnStatus, MStatus::kSuccess);
    return plugs_[pos_];
}

MObject MItDependencyGraph::rootNode(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MStatus::kSuccess);
    return root_;
}
