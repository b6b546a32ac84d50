#include <maya/MFnBase.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MDagPathArray.h>
#include <maya/MPlugArray.h>

#include "api/ApiSupport.h"

#include <set>

using namespace mayahost;

namespace {

void setStatus(MStatus* out, const MStatus& s) {
    if (out) *out = s;
}

MStatus noObject() { return MStatus::withReason(MStatus::kInvalidParameter, "function set has no object"); }

}  // namespace

// ------------------------------------------------------------------ MFnBase

bool MFnBase::hasObj(MFn::Type type) const { return obj_.hasFn(type); }
bool MFnBase::hasObj(const MObject& object) const { return object.hasFn(type()); }

MObject MFnBase::object(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, obj_.isNull() ? noObject() : MStatus(MStatus::kSuccess));
    return obj_;
}

MStatus MFnBase::setObject(const MObject& object) { return attach(object); }

MStatus MFnBase::attach(const MObject& object) {
    if (object.isNull() || !object.hasFn(type())) {
        obj_ = MObject();
        std::string why = std::string("object (") + object.apiTypeStr() + ") is incompatible with this function set (" +
                          apiTypeName(type()) + ")";
        return MStatus::withReason(MStatus::kInvalidParameter, why);
    }
    obj_ = object;
    return MStatus::kSuccess;
}

// ------------------------------------------------------------------ MFnDependencyNode

MFnDependencyNode::MFnDependencyNode(const MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, attach(object));
}

MString MFnDependencyNode::name(MStatus* ReturnStatus) const {
    Node* n = nodeOf(obj_);
    setStatus(ReturnStatus, n ? MStatus(MStatus::kSuccess) : noObject());
    return n ? MString(n->name().c_str()) : MString();
}

MString MFnDependencyNode::typeName(MStatus* ReturnStatus) const {
    Node* n = nodeOf(obj_);
    setStatus(ReturnStatus, n ? MStatus(MStatus::kSuccess) : noObject());
    return n ? MString(n->typeName().c_str()) : MString();
}

MString MFnDependencyNode::uuidString(MStatus* ReturnStatus) const {
    Node* n = nodeOf(obj_);
    setStatus(ReturnStatus, n ? MStatus(MStatus::kSuccess) : noObject());
    return n ? MString(n->uuid().c_str()) : MString();
}

bool MFnDependencyNode::isLocked(MStatus* ReturnStatus) const {
    Node* n = nodeOf(obj_);
    setStatus(ReturnStatus, n ? MStatus(MStatus::kSuccess) : noObject());
    return n && n->locked();
}

bool MFnDependencyNode::isDefaultNode(MStatus* ReturnStatus) const {
    Node* n = nodeOf(obj_);
    setStatus(ReturnStatus, n ? MStatus(MStatus::kSuccess) : noObject());
    return n && n->scene().isDefaultNode(*n);
}

MPlug MFnDependencyNode::findPlug(const MString& attrName, bool, MStatus* ReturnStatus) const {
    Node* n = nodeOf(obj_);
    if (!n) {
        setStatus(ReturnStatus, noObject());
        return MPlug();
    }
    PlugPath path;
    if (!n->scene().resolvePlug(*n, attrName.asChar(), path)) {
        setStatus(ReturnStatus, MStatus::withReason(MStatus::kInvalidParameter,
                                                    "no attribute \"" + attrName.str() + "\" on \"" + n->name() + "\""));
        return MPlug();
    }
    setStatus(ReturnStatus, MStatus::kSuccess);
    return makePlug(*n, std::move(path));
}

MPlug MFnDependencyNode::findPlug(const MString& attrName, MStatus* ReturnStatus) const {
    return findPlug(attrName, false, ReturnStatus);
}

MPlug MFnDependencyNode::findPlug(const MObject& attr, bool, MStatus* ReturnStatus) const {
    Node* n = nodeOf(obj_);
    if (!n || !objectAs<AttributeObject>(attr)) {
        setStatus(ReturnStatus, MStatus::withReason(MStatus::kInvalidParameter, "no node or no attribute"));
        return MPlug();
    }
    setStatus(ReturnStatus, MStatus::kSuccess);
    return MPlug(obj_, attr);
}

MPlug MFnDependencyNode::findPlug(const MObject& attr, MStatus* ReturnStatus) const {
    return findPlug(attr, false, ReturnStatus);
}

MObject MFnDependencyNode::attribute(const MString& attrName, MStatus* ReturnStatus) const {
    Node* n = nodeOf(obj_);
    const AttrSpec* attrSpec = n ? n->findAttr(attrName.asChar()) : nullptr;
    if (!attrSpec) {
        setStatus(ReturnStatus, MStatus::withReason(MStatus::kInvalidParameter, "no attribute \"" + attrName.str() + "\""));
        return MObject();
    }
    setStatus(ReturnStatus, MStatus::kSuccess);
    return attributeHandle(attrSpec);
}

unsigned int MFnDependencyNode::attributeCount(MStatus* ReturnStatus) const {
    Node* n = nodeOf(obj_);
    setStatus(ReturnStatus, n ? MStatus(MStatus::kSuccess) : noObject());
    return n ? static_cast<unsigned int>(n->type().topLevel().size() + n->dynamicAttrs().size()) : 0u;
}

MObject MFnDependencyNode::attribute(unsigned int index, MStatus* ReturnStatus) const {
    Node* n = nodeOf(obj_);
    if (!n || index >= attributeCount()) {
        setStatus(ReturnStatus, MStatus::withReason(MStatus::kInvalidParameter, "attribute index out of range"));
        return MObject();
    }
    setStatus(ReturnStatus, MStatus::kSuccess);
    const auto& top = n->type().topLevel();
    if (index < top.size()) return attributeHandle(top[index]);
    return attributeHandle(&n->dynamicAttrs()[index - top.size()]);
}

bool MFnDependencyNode::hasAttribute(const MString& name, MStatus* ReturnStatus) const {
    Node* n = nodeOf(obj_);
    setStatus(ReturnStatus, n ? MStatus(MStatus::kSuccess) : noObject());
    return n && n->findAttr(name.asChar()) != nullptr;
}

MStatus MFnDependencyNode::getConnections(MPlugArray& array) const {
    array.clear();
    Node* n = nodeOf(obj_);
    if (!n) return noObject();
    std::set<std::string> seen;
    for (const Connection* c : n->scene().connectionsOf(*n, nullptr, true, true)) {
        if (c->source == n && seen.insert(c->sourcePlug.key()).second) array.append(makePlug(*n, c->sourcePlug));
        if (c->destination == n && seen.insert(c->destinationPlug.key()).second)
            array.append(makePlug(*n, c->destinationPlug));
    }
    return array.length() ? MStatus(MStatus::kSuccess)
                          : MStatus::withReason(MStatus::kNotFound, "node has no connections");
}

// ------------------------------------------------------------------ MFnDagNode

MFnDagNode::MFnDagNode(const MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, setObject(object));
}

MFnDagNode::MFnDagNode(const MDagPath& path, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, setObject(path));
}

MStatus MFnDagNode::setObject(const MObject& object) {
    MStatus s = attach(object);
    path_ = MDagPath();
    if (s) MDagPath::getAPathTo(object, path_);
    return s;
}

MStatus MFnDagNode::setObject(const MDagPath& path) {
    MStatus s = attach(path.node());
    path_ = s ? path : MDagPath();
    return s;
}

MStatus MFnDagNode::getPath(MDagPath& path) const {
    if (obj_.isNull()) return noObject();
    path = path_;
    return MStatus::kSuccess;
}

MDagPath MFnDagNode::dagPath(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, obj_.isNull() ? noObject() : MStatus(MStatus::kSuccess));
    return path_;
}

MStatus MFnDagNode::getAllPaths(MDagPathArray& paths) const { return MDagPath::getAllPathsTo(obj_, paths); }

MString MFnDagNode::fullPathName(MStatus* ReturnStatus) const { return path_.fullPathName(ReturnStatus); }
MString MFnDagNode::partialPathName(MStatus* ReturnStatus) const { return path_.partialPathName(ReturnStatus); }

bool MFnDagNode::isIntermediateObject(MStatus* ReturnStatus) const {
    Node* n = nodeOf(obj_);
    setStatus(ReturnStatus, n ? MStatus(MStatus::kSuccess) : noObject());
    return n && n->scene().readDouble(*n, "intermediateObject", 0) != 0;
}

unsigned int MFnDagNode::parentCount(MStatus* ReturnStatus) const {
    Node* n = nodeOf(obj_);
    setStatus(ReturnStatus, n ? MStatus(MStatus::kSuccess) : noObject());
    return n ? static_cast<unsigned int>(n->parents().size()) : 0u;
}

MObject MFnDagNode::parent(unsigned int index, MStatus* ReturnStatus) const {
    Node* n = nodeOf(obj_);
    if (!n || index >= n->parents().size()) {
        setStatus(ReturnStatus, MStatus::withReason(MStatus::kInvalidParameter, "parent index out of range"));
        return MObject();
    }
    setStatus(ReturnStatus, MStatus::kSuccess);
    return n->scene().handle(*n->parents()[index]);
}

unsigned int MFnDagNode::childCount(MStatus* ReturnStatus) const {
    Node* n = nodeOf(obj_);
    setStatus(ReturnStatus, n ? MStatus(MStatus::kSuccess) : noObject());
    return n ? static_cast<unsigned int>(n->children().size()) : 0u;
}

MObject MFnDagNode::child(unsigned int index, MStatus* ReturnStatus) const {
    Node* n = nodeOf(obj_);
    if (!n || index >= n->children().size()) {
        setStatus(ReturnStatus, MStatus::withReason(MStatus::kInvalidParameter, "child index out of range"));
        return MObject();
    }
    setStatus(ReturnStatus, MStatus::kSuccess);
    return n->scene().handle(*n->children()[index]);
}

bool MFnDagNode::hasChild(const MObject& node, MStatus* ReturnStatus) const {
    Node* n = nodeOf(obj_);
    setStatus(ReturnStatus, n ? MStatus(MStatus::kSuccess) : noObject());
    Node* c = nodeOf(node);
    return n && c && std::find(n->children().begin(), n->children().end(), c) != n->children().end();
}

bool MFnDagNode::hasParent(const MObject& node, MStatus* ReturnStatus) const {
    Node* n = nodeOf(obj_);
    setStatus(ReturnStatus, n ? MStatus(MStatus::kSuccess) : noObject());
    Node* p = nodeOf(node);
    return n && p && std::find(n->parents().begin(), n->parents().end(), p) != n->parents().end();
}

bool MFnDagNode::isInstanced(bool indirect, MStatus* ReturnStatus) const {
    Node* n = nodeOf(obj_);
    setStatus(ReturnStatus, n ? MStatus(MStatus::kSuccess) : noObject());
    if (!n) return false;
    if (!indirect) return n->parents().size() > 1;
    return allPathsTo(*n).size() > 1;
}

unsigned int MFnDagNode::instanceCount(bool total, MStatus* ReturnStatus) const {
    Node* n = nodeOf(obj_);
    setStatus(ReturnStatus, n ? MStatus(MStatus::kSuccess) : noObject());
    if (!n) return 0;
    return total ? static_cast<unsigned int>(allPathsTo(*n).size()) : static_cast<unsigned int>(n->parents().size());
}

MMatrix MFnDagNode::transformationMatrix(MStatus* ReturnStatus) const {
    Node* n = nodeOf(obj_);
    setStatus(ReturnStatus, n ? MStatus(MStatus::kSuccess) : noObject());
    return n ? localMatrix(n->scene(), *n) : MMatrix();
}
