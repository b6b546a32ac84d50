// MFnComponent, MFnSingleIndexedComponent, MFnMesh and MItMeshPolygon over
// the evaluated meshes of the scene database.

#include <maya/MFnComponent.h>
#include <maya/MFnMesh.h>
#include <maya/MFnSingleIndexedComponent.h>
#include <maya/MItMeshPolygon.h>

#include "base/Limits.h"
#include "mesh/MeshNormals.h"
#include "api/ApiSupport.h"
#include "api/MeshApi.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <unordered_map>
#include <unordered_set>

using namespace mayahost;

namespace {

void setStatus(MStatus* out, const MStatus& s) {
    if (out) *out = s;
}

MStatus noObject() { return MStatus::withReason(MStatus::kInvalidParameter, "function set has no object"); }

// The evaluated mesh behind a function set, with the status to report.
const MeshData* meshOf(const MObject& object, MStatus& status) {
    const MeshEvaluation* evaluation = meshEvaluationOf(object);
    if (!evaluation) {
        status = noObject();
        return nullptr;
    }
    if (!evaluation->error.empty()) {
        status = MStatus::withReason(MStatus::kFailure, evaluation->error);
        return nullptr;
    }
    status = MStatus::kSuccess;
    return evaluation->mesh.get();
}

// Face ids of a component list entry: "f[3]", "f[0:5]", "f[*]"; other kinds
// are skipped. A range stops at the mesh's last face (`faceLimit`) so that a
// hostile list cannot make millions of ids; an id past the faces is still
// kept for the mesh check to refuse.
void addListedFaces(const std::string& item, ComponentObject& faces, std::unordered_set<int>& seen, long faceLimit) {
    if (item.size() < 4 || item.compare(0, 2, "f[") != 0 || item.back() != ']') return;
    std::string range = item.substr(2, item.size() - 3);
    if (range == "*") {
        faces.complete = true;
        return;
    }
    long first = 0, last = 0;
    size_t colon = range.find(':');
    const char* text = range.c_str();
    auto parsed = std::from_chars(text, text + (colon == std::string::npos ? range.size() : colon), first);
    if (parsed.ec != std::errc() || first < 0) return;
    last = first;
    if (colon != std::string::npos) {
        parsed = std::from_chars(text + colon + 1, text + range.size(), last);
        if (parsed.ec != std::errc() || last < first) return;
    }
    last = std::min({last, std::max(first, faceLimit - 1), long(0x7fffffff)});
    if (faces.complete) return;
    for (long f = first; f <= last; ++f)
        if (seen.insert(int(f)).second) faces.elements.push_back(int(f));
}

// The faces of a per-face group the shape does not list itself: Maya then
// keeps them on the groupParts node in the shape's history that tags the
// group, found through the groupId node feeding both the shape's
// objectGroupId and the groupParts' groupId. The groupParts nearest the shape
// wins; face ids are taken as they are on the mesh leaving the history.
std::vector<std::string> historyGroupComponents(const Scene& scene, const Node& shape, const std::string& groupKey) {
    // The first instance's groups are connected as "iog.og[j].gid" as often
    // as "iog[0].og[j].gid"; both name the same plug.
    PlugRef groupId;
    std::vector<std::string> keys{groupKey + ".objectGroupId"};
    if (groupKey.compare(0, 17, "instObjGroups[0].") == 0) keys.push_back("instObjGroups" + keys[0].substr(16));
    for (const std::string& key : keys) {
        PlugPath gid;
        if (scene.resolvePlug(shape, key, gid) && (groupId = scene.sourceOf(shape, gid))) break;
    }
    if (!groupId) return {};
    std::unordered_set<const Node*> tagging;
    for (const Connection* c : scene.connectionsOf(*groupId.node, nullptr, true, false)) {
        const AttrSpec* attr = c->destinationPlug.attr();
        if (c->destination && c->destination->hasFn(MFn::kGroupParts) && attr && attr->matches("gi"))
            tagging.insert(c->destination);
    }
    if (tagging.empty()) return {};
    // Breadth first up the shape's inputs; bounded, as histories may loop.
    std::vector<const Node*> queue{&shape};
    std::unordered_set<const Node*> seen{&shape};
    for (size_t k = 0; k < queue.size() && seen.size() < limits().maxComponentVisits; ++k) {
        for (const Connection* c : scene.connectionsOf(*queue[k], nullptr, false, true)) {
            const Node* up = c->source;
            if (!up || !seen.insert(up).second) continue;
            if (tagging.count(up)) {
                PlugPath ic;
                if (!scene.resolvePlug(*up, "ic", ic)) return {};
                PlugReading reading = scene.read(*up, ic);
                const auto* items = reading.data ? std::get_if<scenefile::StringArray>(reading.data) : nullptr;
                return items ? items->items : std::vector<std::string>{};
            }
            queue.push_back(up);
        }
    }
    return {};
}

}  // namespace

// ------------------------------------------------------------------ internals

namespace mayahost {

void ComponentObject::add(int element) {
    if (complete) return;
    if (std::find(elements.begin(), elements.end(), element) == elements.end()) elements.push_back(element);
}

bool componentFaces(const MObject& component, size_t faceCount, std::vector<int>& faces, std::string& why) {
    faces.clear();
    if (component.isNull()) {
        faces.resize(faceCount);
        for (size_t f = 0; f < faceCount; ++f) faces[f] = int(f);
        return true;
    }
    const auto* c = objectAs<ComponentObject>(component);
    if (!c || c->apiType() != MFn::kMeshPolygonComponent) {
        why = std::string("component (") + component.apiTypeStr() + ") is not a polygon component";
        return false;
    }
    int count = c->complete && c->completeCount == 0 ? int(faceCount) : c->count();
    faces.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        int f = c->at(i);
        if (f < 0 || size_t(f) >= faceCount) {
            why = "component names face " + std::to_string(f) + " of a mesh of " + std::to_string(faceCount) + " faces";
            faces.clear();
            return false;
        }
        faces.push_back(f);
    }
    return true;
}

const MeshEvaluation* meshEvaluationOf(const MObject& shape) {
    const Node* node = nodeOf(shape);
    if (!node || !node->hasFn(MFn::kMesh)) return nullptr;
    return &evaluateMesh(node->scene(), *node);
}

const CornerNormals& cornerNormalsOf(const MeshEvaluation& evaluation) {
    if (!evaluation.normals) evaluation.normals = std::make_shared<const CornerNormals>(computeCornerNormals(*evaluation.mesh));
    return *evaluation.normals;
}

}  // namespace mayahost

// ------------------------------------------------------------------ MFnComponent

MFnComponent::MFnComponent(MObject& object, MStatus* ReturnStatus) { setStatus(ReturnStatus, attach(object)); }
MFnComponent::MFnComponent(const MObject& object, MStatus* ReturnStatus) { setStatus(ReturnStatus, attach(object)); }

int MFnComponent::elementCount(MStatus* ReturnStatus) const {
    const auto* c = objectAs<ComponentObject>(obj_);
    setStatus(ReturnStatus, c ? MStatus(MStatus::kSuccess) : noObject());
    return c ? c->count() : 0;
}

MFn::Type MFnComponent::componentType(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, obj_.isNull() ? noObject() : MStatus(MStatus::kSuccess));
    return obj_.isNull() ? MFn::kInvalid : obj_.apiType();
}

bool MFnComponent::isEmpty(MStatus* ReturnStatus) const { return elementCount(ReturnStatus) == 0; }

bool MFnComponent::isComplete(MStatus* ReturnStatus) const {
    const auto* c = objectAs<ComponentObject>(obj_);
    setStatus(ReturnStatus, c ? MStatus(MStatus::kSuccess) : noObject());
    return c && c->complete;
}

MStatus MFnComponent::setComplete(bool complete) {
    auto* c = objectAs<ComponentObject>(obj_);
    if (!c) return noObject();
    c->complete = complete;
    if (complete) c->elements.clear();
    return MStatus::kSuccess;
}

// ------------------------------------------------------------------ MFnSingleIndexedComponent

MFnSingleIndexedComponent::MFnSingleIndexedComponent(MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, attach(object));
}
MFnSingleIndexedComponent::MFnSingleIndexedComponent(const MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, attach(object));
}

MObject MFnSingleIndexedComponent::create(MFn::Type compType, MStatus* ReturnStatus) {
    switch (compType) {
        case MFn::kMeshPolygonComponent:
        case MFn::kMeshVertComponent:
        case MFn::kMeshEdgeComponent:
            break;
        default:
            setStatus(ReturnStatus, MStatus::withReason(MStatus::kInvalidParameter,
                                                        std::string("not a single-indexed component type: ") +
                                                            apiTypeName(compType)));
            return MObject();
    }
    obj_ = MObject(std::make_shared<ComponentObject>(compType));
    setStatus(ReturnStatus, MStatus::kSuccess);
    return obj_;
}

MStatus MFnSingleIndexedComponent::addElement(int element) {
    auto* c = objectAs<ComponentObject>(obj_);
    if (!c) return noObject();
    if (element < 0) return MStatus::withReason(MStatus::kInvalidParameter, "negative component element");
    c->add(element);
    return MStatus::kSuccess;
}

MStatus MFnSingleIndexedComponent::addElements(MIntArray& elements) {
    for (unsigned int i = 0; i < elements.length(); ++i)
        if (MStatus s = addElement(elements[i]); !s) return s;
    return MStatus::kSuccess;
}

int MFnSingleIndexedComponent::element(int index, MStatus* ReturnStatus) const {
    const auto* c = objectAs<ComponentObject>(obj_);
    if (!c || index < 0 || index >= c->count()) {
        setStatus(ReturnStatus, c ? MStatus::withReason(MStatus::kInvalidParameter, "element index out of range") : noObject());
        return -1;
    }
    setStatus(ReturnStatus, MStatus::kSuccess);
    return c->at(index);
}

MStatus MFnSingleIndexedComponent::getElements(MIntArray& elements) const {
    const auto* c = objectAs<ComponentObject>(obj_);
    if (!c) return noObject();
    elements.clear();
    for (int i = 0; i < c->count(); ++i) elements.append(c->at(i));
    return MStatus::kSuccess;
}

MStatus MFnSingleIndexedComponent::setCompleteData(int numElements) {
    auto* c = objectAs<ComponentObject>(obj_);
    if (!c) return noObject();
    if (numElements < 0) return MStatus::withReason(MStatus::kInvalidParameter, "negative element count");
    c->complete = true;
    c->completeCount = numElements;
    c->elements.clear();
    return MStatus::kSuccess;
}

MStatus MFnSingleIndexedComponent::getCompleteData(int& numElements) const {
    const auto* c = objectAs<ComponentObject>(obj_);
    if (!c) return noObject();
    numElements = c->complete ? c->completeCount : 0;
    return MStatus::kSuccess;
}

// ------------------------------------------------------------------ MFnMesh

MFnMesh::MFnMesh(const MObject& object, MStatus* ReturnStatus) { setStatus(ReturnStatus, setObject(object)); }
MFnMesh::MFnMesh(const MDagPath& object, MStatus* ReturnStatus) { setStatus(ReturnStatus, setObject(object)); }

MStatus MFnMesh::setObject(const MObject& object) { return MFnDagNode::setObject(object); }
MStatus MFnMesh::setObject(const MDagPath& path) { return MFnDagNode::setObject(path); }

MStatus MFnMesh::syncObject() { return obj_.isNull() ? noObject() : MStatus(MStatus::kSuccess); }

int MFnMesh::numVertices(MStatus* ReturnStatus) const {
    MStatus s;
    const MeshData* m = meshOf(obj_, s);
    setStatus(ReturnStatus, s);
    return m ? int(m->numVertices()) : 0;
}

int MFnMesh::numEdges(MStatus* ReturnStatus) const {
    MStatus s;
    const MeshData* m = meshOf(obj_, s);
    setStatus(ReturnStatus, s);
    return m ? int(m->numEdges()) : 0;
}

int MFnMesh::numPolygons(MStatus* ReturnStatus) const {
    MStatus s;
    const MeshData* m = meshOf(obj_, s);
    setStatus(ReturnStatus, s);
    return m ? int(m->numFaces()) : 0;
}

int MFnMesh::numFaceVertices(MStatus* ReturnStatus) const {
    MStatus s;
    const MeshData* m = meshOf(obj_, s);
    setStatus(ReturnStatus, s);
    return m ? int(m->numFaceVertices()) : 0;
}

int MFnMesh::polygonVertexCount(int polygonId, MStatus* ReturnStatus) const {
    MIntArray vertices;
    MStatus s = getPolygonVertices(polygonId, vertices);
    setStatus(ReturnStatus, s);
    return int(vertices.length());
}

// The outer loop's vertices, as Maya lists a polygon's vertices.
MStatus MFnMesh::getPolygonVertices(int polygonId, MIntArray& vertexList) const {
    MStatus s;
    const MeshData* m = meshOf(obj_, s);
    if (!m) return s;
    if (polygonId < 0 || size_t(polygonId) >= m->numFaces())
        return MStatus::withReason(MStatus::kInvalidParameter, "polygon " + std::to_string(polygonId) + " out of range");
    uint32_t loop = m->faceLoopStart[size_t(polygonId)];
    vertexList.clear();
    for (uint32_t c = m->loopStart[loop]; c < m->loopStart[loop + 1]; ++c) vertexList.append(m->faceVertices[c]);
    return MStatus::kSuccess;
}

MStatus MFnMesh::getPoints(MPointArray& vertexArray, MSpace::Space space) const {
    MStatus s;
    const MeshData* m = meshOf(obj_, s);
    if (!m) return s;
    MMatrix toWorld;
    bool world = space == MSpace::kWorld;
    if (world) toWorld = path_.inclusiveMatrix();
    vertexArray.clear();
    for (size_t v = 0; v < m->numVertices(); ++v) {
        MPoint p(m->points[3 * v], m->points[3 * v + 1], m->points[3 * v + 2]);
        vertexArray.append(world ? p * toWorld : p);
    }
    return MStatus::kSuccess;
}

int MFnMesh::numUVSets(MStatus* ReturnStatus) const {
    MStatus s;
    const MeshData* m = meshOf(obj_, s);
    setStatus(ReturnStatus, s);
    return m ? std::max(1, int(m->uvSets.size())) : 0;
}

int MFnMesh::numUVs(MStatus* ReturnStatus) const { return numUVs(currentUVSetName(), ReturnStatus); }

int MFnMesh::numUVs(const MString& uvSet, MStatus* ReturnStatus) const {
    MStatus s;
    const MeshData* m = meshOf(obj_, s);
    setStatus(ReturnStatus, s);
    if (!m) return 0;
    for (const MeshUVSet& set : m->uvSets)
        if (set.name == uvSet.asChar()) return int(set.u.size());
    return 0;
}

// Every mesh has at least "map1", even without uvs.
MStatus MFnMesh::getUVSetNames(MStringArray& setNames) const {
    MStatus s;
    const MeshData* m = meshOf(obj_, s);
    if (!m) return s;
    setNames.clear();
    for (const MeshUVSet& set : m->uvSets) setNames.append(MString(set.name.c_str()));
    if (m->uvSets.empty()) setNames.append(MString("map1"));
    return MStatus::kSuccess;
}

MStatus MFnMesh::getCurrentUVSetName(MString& setName, int instance) const {
    (void)instance;  // per-instance uv sets are not stored in the files read here
    MStatus s;
    const MeshData* m = meshOf(obj_, s);
    if (!m) return s;
    setName = m->uvSets.empty() ? MString("map1") : MString(m->uvSets[size_t(m->currentUVSet)].name.c_str());
    return MStatus::kSuccess;
}

MString MFnMesh::currentUVSetName(MStatus* ReturnStatus, int instance) const {
    MString name;
    setStatus(ReturnStatus, getCurrentUVSetName(name, instance));
    return name;
}

MStatus MFnMesh::getConnectedSetsAndMembers(unsigned int instanceNumber, MObjectArray& sets, MObjectArray& comps,
                                            bool renderableSetsOnly) const {
    const Node* node = nodeOf(obj_);
    if (!node) return noObject();
    sets.clear();
    comps.clear();
    const Scene& scene = node->scene();
    std::string instancePlug = "instObjGroups[" + std::to_string(instanceNumber) + "]";
    // Each set with its member faces, in the order the sets are met; a set
    // that holds the whole instance stays whole whatever groups it also has.
    struct Entry {
        Node* set;
        bool whole;
        std::shared_ptr<ComponentObject> faces;
    };
    std::vector<Entry> found;
    auto entryFor = [&](Node* set) -> Entry& {
        for (Entry& e : found)
            if (e.set == set) return e;
        found.push_back({set, false, nullptr});
        return found.back();
    };
    std::unordered_map<const Node*, std::unordered_set<int>> seenFaces;
    const MeshEvaluation& evaluation = evaluateMesh(scene, *node);
    const long faceLimit = long(std::min<size_t>(evaluation.mesh->numFaces(), 0x7fffffff));
    std::string groupPrefix = instancePlug + ".objectGroups[";
    for (const Connection* c : scene.connectionsOf(*node, nullptr, true, false)) {
        Node* set = c->destination;
        if (!c->live || !set || !set->hasFn(MFn::kSet)) continue;
        if (renderableSetsOnly && !set->hasFn(MFn::kShadingEngine)) continue;
        std::string key = c->sourcePlug.key();
        // Maya writes the first instance's connections without an index
        // ("shape.iog", "shape.iog.og[1]").
        if (instanceNumber == 0 && key.compare(0, 14, "instObjGroups.") == 0) key.insert(13, "[0]");
        if (key == instancePlug || (instanceNumber == 0 && key == "instObjGroups")) {
            entryFor(set).whole = true;
            continue;
        }
        if (key.compare(0, groupPrefix.size(), groupPrefix) != 0 || key.back() != ']') continue;
        Entry& entry = entryFor(set);
        if (!entry.faces) entry.faces = std::make_shared<ComponentObject>(MFn::kMeshPolygonComponent);
        std::vector<std::string> listed;
        PlugPath list;
        if (scene.resolvePlug(*node, key + ".objectGrpCompList", list)) {
            PlugReading reading = scene.read(*node, list);
            if (const auto* items = reading.data ? std::get_if<scenefile::StringArray>(reading.data) : nullptr)
                listed = items->items;
        }
        if (listed.empty()) listed = historyGroupComponents(scene, *node, key);
        std::unordered_set<int>& seen = seenFaces[entry.set];
        for (const std::string& item : listed) addListedFaces(item, *entry.faces, seen, faceLimit);
    }
    for (const Entry& e : found) {
        // A shading group's object group naming no face (Maya leaves them
        // behind when a mesh's faces are all assigned elsewhere) shades nothing.
        if (!e.whole && e.faces && e.faces->count() == 0 && e.set->hasFn(MFn::kShadingEngine)) continue;
        sets.append(scene.handle(*e.set));
        comps.append(e.whole || !e.faces ? MObject() : MObject(e.faces));
    }
    return MStatus::kSuccess;
}

// ------------------------------------------------------------------ MItMeshPolygon

MItMeshPolygon::MItMeshPolygon(const MObject& polyObject, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, init(polyObject, MObject()));
}

MItMeshPolygon::MItMeshPolygon(const MDagPath& polyObject, const MObject& component, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, init(polyObject.node(), component));
}

MStatus MItMeshPolygon::init(const MObject& shape, const MObject& component) {
    MStatus s;
    const MeshEvaluation* evaluation = meshEvaluationOf(shape);
    if (!evaluation) return MStatus::withReason(MStatus::kFailure, "not a mesh");
    if (!evaluation->error.empty()) return MStatus::withReason(MStatus::kFailure, evaluation->error);
    std::string why;
    if (!componentFaces(component, evaluation->mesh->numFaces(), faces_, why))
        return MStatus::withReason(MStatus::kFailure, why);
    mesh_ = evaluation->mesh;
    return MStatus::kSuccess;
}

bool MItMeshPolygon::isDone(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MStatus::kSuccess);
    return position_ >= faces_.size();
}

MStatus MItMeshPolygon::next() {
    if (position_ < faces_.size()) ++position_;
    return MStatus::kSuccess;
}

MStatus MItMeshPolygon::reset() {
    position_ = 0;
    return MStatus::kSuccess;
}

unsigned int MItMeshPolygon::count(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MStatus::kSuccess);
    return static_cast<unsigned int>(faces_.size());
}

int MItMeshPolygon::index(MStatus* ReturnStatus) const {
    bool valid = position_ < faces_.size();
    setStatus(ReturnStatus, valid ? MStatus(MStatus::kSuccess) : MStatus::withReason(MStatus::kFailure, "iterator is done"));
    return valid ? faces_[position_] : -1;
}

unsigned int MItMeshPolygon::polygonVertexCount(MStatus* ReturnStatus) const {
    MIntArray vertices;
    setStatus(ReturnStatus, getVertices(vertices));
    return vertices.length();
}

int MItMeshPolygon::vertexIndex(int index, MStatus* ReturnStatus) const {
    MIntArray vertices;
    MStatus s = getVertices(vertices);
    if (s && (index < 0 || unsigned(index) >= vertices.length()))
        s = MStatus::withReason(MStatus::kInvalidParameter, "vertex index out of range");
    setStatus(ReturnStatus, s);
    return s ? vertices[unsigned(index)] : -1;
}

MStatus MItMeshPolygon::getVertices(MIntArray& vertices) const {
    if (!mesh_ || position_ >= faces_.size()) return MStatus::withReason(MStatus::kFailure, "iterator is done");
    uint32_t loop = mesh_->faceLoopStart[size_t(faces_[position_])];
    vertices.clear();
    for (uint32_t c = mesh_->loopStart[loop]; c < mesh_->loopStart[loop + 1]; ++c) vertices.append(mesh_->faceVertices[c]);
    return MStatus::kSuccess;
}

bool MItMeshPolygon::hasValidTriangulation(MStatus* ReturnStatus) const {
    MIntArray vertices;
    MStatus s = getVertices(vertices);
    setStatus(ReturnStatus, s);
    return s && vertices.length() >= 3;
}

MStatus MItMeshPolygon::numTriangles(int& triCount) const {
    if (!mesh_ || position_ >= faces_.size()) return MStatus::withReason(MStatus::kFailure, "iterator is done");
    size_t f = size_t(faces_[position_]);
    int corners = 0, holes = 0;
    for (uint32_t l = mesh_->faceLoopStart[f]; l < mesh_->faceLoopStart[f + 1]; ++l) {
        uint32_t size = mesh_->loopStart[l + 1] - mesh_->loopStart[l];
        if (size < 3) continue;
        corners += int(size);
        holes += l > mesh_->faceLoopStart[f];
    }
    triCount = corners >= 3 ? corners - 2 + 2 * holes : 0;
    return MStatus::kSuccess;
}
