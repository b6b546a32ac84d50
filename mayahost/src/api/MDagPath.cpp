#include <maya/MDagPath.h>
#include <maya/MDagPathArray.h>

#include "api/ApiSupport.h"
#include "eval/TransformEval.h"

using namespace mayahost;

namespace {

void setStatus(MStatus* out, const MStatus& s) {
    if (out) *out = s;
}

MStatus invalid(const char* why) { return MStatus::withReason(MStatus::kInvalidParameter, why); }

Node* lastNode(const std::vector<MObject>& nodes) { return nodes.empty() ? nullptr : nodeOf(nodes.back()); }

}  // namespace

MStatus MDagPath::getAPathTo(const MObject& node, MDagPath& path) {
    Node* n = nodeOf(node);
    if (!n || !n->isDag()) return invalid("object is no DAG node");
    std::vector<MDagPath> paths = allPathsTo(*n);
    if (paths.empty()) return invalid("node has no path");
    path = paths.front();
    return MStatus::kSuccess;
}

MStatus MDagPath::getAllPathsTo(const MObject& node, MDagPathArray& paths) {
    paths.clear();
    Node* n = nodeOf(node);
    if (!n || !n->isDag()) return invalid("object is no DAG node");
    for (MDagPath& p : allPathsTo(*n)) paths.append(p);
    return MStatus::kSuccess;
}

bool MDagPath::hasFn(MFn::Type type, MStatus* ReturnStatus) const {
    Node* n = lastNode(nodes_);
    setStatus(ReturnStatus, n ? MStatus(MStatus::kSuccess) : invalid("empty path"));
    return n && n->hasFn(type);
}

MFn::Type MDagPath::apiType(MStatus* ReturnStatus) const {
    Node* n = lastNode(nodes_);
    setStatus(ReturnStatus, n ? MStatus(MStatus::kSuccess) : invalid("empty path"));
    return n ? n->apiType() : MFn::kInvalid;
}

bool MDagPath::isValid(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MStatus::kSuccess);
    return !nodes_.empty();
}

MObject MDagPath::node(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, nodes_.empty() ? invalid("empty path") : MStatus(MStatus::kSuccess));
    return nodes_.empty() ? MObject() : nodes_.back();
}

MObject MDagPath::transform(MStatus* ReturnStatus) const {
    for (auto it = nodes_.rbegin(); it != nodes_.rend(); ++it) {
        if (it->hasFn(MFn::kTransform)) {
            setStatus(ReturnStatus, MStatus::kSuccess);
            return *it;
        }
    }
    setStatus(ReturnStatus, invalid("no transform on the path"));
    return MObject();
}

unsigned int MDagPath::length(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MStatus::kSuccess);
    return nodes_.empty() ? 0u : static_cast<unsigned int>(nodes_.size() - 1);
}

MStatus MDagPath::numberOfShapesDirectlyBelow(unsigned int& num) const {
    num = 0;
    Node* n = lastNode(nodes_);
    if (!n) return invalid("empty path");
    for (const Node* c : n->children())
        if (c->hasFn(MFn::kShape)) ++num;
    return MStatus::kSuccess;
}

MStatus MDagPath::extendToShapeDirectlyBelow(unsigned int index) {
    Node* n = lastNode(nodes_);
    if (!n) return invalid("empty path");
    unsigned int k = 0;
    for (const Node* c : n->children()) {
        if (!c->hasFn(MFn::kShape)) continue;
        if (k++ == index) {
            nodes_.push_back(c->scene().handle(*c));
            return MStatus::kSuccess;
        }
    }
    return invalid("no shape at that index below the path");
}

MStatus MDagPath::extendToShape() {
    Node* n = lastNode(nodes_);
    if (!n) return invalid("empty path");
    if (n->hasFn(MFn::kShape)) return MStatus::kSuccess;
    const Node* only = nullptr;
    int count = 0;
    const Scene& scene = n->scene();
    for (const Node* c : n->children()) {
        if (!c->hasFn(MFn::kShape)) continue;
        if (scene.readDouble(*c, "intermediateObject", 0) != 0) continue;
        only = c;
        ++count;
    }
    if (count != 1) return invalid(count ? "more than one shape below the path" : "no shape below the path");
    nodes_.push_back(scene.handle(*only));
    return MStatus::kSuccess;
}

MStatus MDagPath::push(const MObject& child) {
    Node* n = lastNode(nodes_);
    Node* c = nodeOf(child);
    if (!n || !c) return invalid("empty path or null child");
    // A node has few parents while a parent may have a million children.
    if (std::find(c->parents().begin(), c->parents().end(), n) == c->parents().end())
        return invalid("object is no child of the path's node");
    nodes_.push_back(child);
    return MStatus::kSuccess;
}

MStatus MDagPath::pop(unsigned int num) {
    if (num > length()) return invalid("cannot pop past the world");
    nodes_.resize(nodes_.size() - num);
    return MStatus::kSuccess;
}

unsigned int MDagPath::childCount(MStatus* ReturnStatus) const {
    Node* n = lastNode(nodes_);
    setStatus(ReturnStatus, n ? MStatus(MStatus::kSuccess) : invalid("empty path"));
    return n ? static_cast<unsigned int>(n->children().size()) : 0u;
}

MObject MDagPath::child(unsigned int index, MStatus* ReturnStatus) const {
    Node* n = lastNode(nodes_);
    if (!n || index >= n->children().size()) {
        setStatus(ReturnStatus, invalid("child index out of range"));
        return MObject();
    }
    setStatus(ReturnStatus, MStatus::kSuccess);
    return n->scene().handle(*n->children()[index]);
}

MString MDagPath::fullPathName(MStatus* ReturnStatus) const {
    if (nodes_.empty()) {
        setStatus(ReturnStatus, invalid("empty path"));
        return MString();
    }
    setStatus(ReturnStatus, MStatus::kSuccess);
    std::string text;
    for (size_t k = 1; k < nodes_.size(); ++k) {
        text += '|';
        text += nodeOf(nodes_[k])->name();
    }
    return MString(text.c_str());
}

MString MDagPath::partialPathName(MStatus* ReturnStatus) const {
    Node* n = lastNode(nodes_);
    if (!n) {
        setStatus(ReturnStatus, invalid("empty path"));
        return MString();
    }
    setStatus(ReturnStatus, MStatus::kSuccess);
    if (n->scene().nodesNamed(n->name()) <= 1) return MString(n->name().c_str());
    return fullPathName();
}

MMatrix MDagPath::inclusiveMatrix(MStatus* ReturnStatus) const {
    if (nodes_.empty()) {
        setStatus(ReturnStatus, invalid("empty path"));
        return MMatrix();
    }
    setStatus(ReturnStatus, MStatus::kSuccess);
    std::vector<const Node*> chain;
    for (const MObject& o : nodes_) chain.push_back(nodeOf(o));
    return worldMatrixOf(chain.back()->scene(), chain);
}

MMatrix MDagPath::exclusiveMatrix(MStatus* ReturnStatus) const {
    if (nodes_.empty()) {
        setStatus(ReturnStatus, invalid("empty path"));
        return MMatrix();
    }
    MDagPath parent(*this);
    if (parent.nodes_.size() > 1) parent.nodes_.pop_back();
    return parent.inclusiveMatrix(ReturnStatus);
}

MMatrix MDagPath::inclusiveMatrixInverse(MStatus* ReturnStatus) const {
    return inclusiveMatrix(ReturnStatus).inverse();
}

MMatrix MDagPath::exclusiveMatrixInverse(MStatus* ReturnStatus) const {
    return exclusiveMatrix(ReturnStatus).inverse();
}

bool MDagPath::isInstanced(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MStatus::kSuccess);
    for (size_t k = 1; k < nodes_.size(); ++k)
        if (nodeOf(nodes_[k])->parents().size() > 1) return true;
    return false;
}

unsigned int MDagPath::instanceNumber(MStatus* ReturnStatus) const {
    Node* n = lastNode(nodes_);
    if (!n) {
        setStatus(ReturnStatus, invalid("empty path"));
        return 0;
    }
    setStatus(ReturnStatus, MStatus::kSuccess);
    std::vector<MDagPath> paths = allPathsTo(*n);
    for (size_t k = 0; k < paths.size(); ++k)
        if (paths[k] == *this) return static_cast<unsigned int>(k);
    return 0;
}

MStatus MDagPath::set(const MDagPath& src) {
    nodes_ = src.nodes_;
    return MStatus::kSuccess;
}
