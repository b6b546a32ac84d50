#pragma once
// The scene database and its read API.
//
// A Scene holds the nodes loaded from a Maya ASCII file: their types, names,
// DAG parents and children, attribute values and connections. It is what the
// API classes (MFnDependencyNode, MPlug, MDagPath ...) read, and what the
// evaluators of other subsystems (transforms, animation curves, meshes,
// NURBS) read through this header.
//
// Reading a value:
//   Node* n = scene.findNode("pCube1");
//   PlugPath p;
//   if (scene.resolvePlug(*n, "translate", p)) {          // or "t", "tx", "iog[0].og[1].gcl"
//       double t[3];
//       scene.readNumbers(*n, p, t, 3);                    // follows incoming connections
//   }
//   const DenseArray* vt = n->denseArray("vrts");          // large numeric multis
//   const scenefile::Value* fc = n->data("face");                 // typed data as the reader parsed it
//   PlugRef src = scene.sourceOf(*n, p);                   // history walk: inMesh <- polyCube1.output
//
// Values are kept in internal units: distances in centimetres, angles in
// radians, times in the file's time unit. Large numeric multis (".vt[0:499]",
// ".ed[..]", ".uvst[0].uvsp[..]") are kept as dense typed arrays.
//
// Computed values: an evaluator registered for a node type is asked first
// when a plug of such a node is read (directly, or as the source of a
// connection); it may compute the value (say, an animation curve's output at
// the current time) or decline, in which case the stored value is used.

#include <maya/MFn.h>

#include "base/ApiObject.h"
#include "file/Values.h"
#include "db/NodeType.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <typeindex>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace mayahost {

class Scene;
void createDefaultNodes(Scene& scene);
class Node;

// A plug: an attribute of a node, with the logical index of every multi on
// the way ("instObjGroups[0].objectGroups[1].objectGrpCompList").
struct PlugPath {
    struct Step {
        const AttrSpec* attr = nullptr;
        int64_t index = -1;   // logical index for a multi; -1 for the whole array
    };
    std::vector<Step> steps;   // outermost first

    bool empty() const { return steps.empty(); }
    const AttrSpec* attr() const { return steps.empty() ? nullptr : steps.back().attr; }
    // Canonical text with long names: "instObjGroups[0].objectGroups[1].objectGrpCompList".
    std::string key() const;
    // The same with short names: "iog[0].og[1].gcl".
    std::string shortKey() const;
    PlugPath parentPath() const;
    PlugPath child(const AttrSpec* attr, int64_t index = -1) const;
    bool operator==(const PlugPath& other) const;
};

// A node and one of its plugs.
struct PlugRef {
    Node* node = nullptr;
    PlugPath path;
    explicit operator bool() const { return node != nullptr; }
};

// A numeric multi kept densely: `count` elements of `components` numbers.
// Elements the file never set hold zeros and are marked absent.
struct DenseArray {
    enum class Storage : uint8_t { Float, Double, Int };
    Storage storage = Storage::Double;
    uint8_t components = 1;
    std::vector<float> f;
    std::vector<double> d;
    std::vector<int32_t> i;
    std::vector<uint8_t> present;   // per element

    size_t count() const { return present.size(); }
    size_t presentCount() const;
    bool has(size_t element) const { return element < present.size() && present[element]; }
    double at(size_t element, size_t component) const;
    // Copies element `element` into out[0..components); false when absent.
    bool element(size_t element, double* out) const;
};

// A value set on one plug: up to four numbers, or typed data.
struct StoredValue {
    double num[4] = {0, 0, 0, 0};
    uint8_t count = 0;
    std::shared_ptr<const scenefile::Value> data;
};

// Something an evaluator computed that is no plain number (a mesh ...).
struct EvaluatedData {
    virtual ~EvaluatedData() = default;
};

// The result of reading a plug.
struct PlugReading {
    std::vector<double> numbers;                   // numeric values, tuples, matrices (16)
    const scenefile::Value* data = nullptr;               // typed data stored on the source plug
    std::shared_ptr<const scenefile::Value> dataOwner;    // keeps `data` alive
    std::shared_ptr<const EvaluatedData> computed; // what an evaluator produced
    bool found = false;                            // false: nothing set, defaults only
};

// Asked when a plug of a node of the registered type (or a type derived from
// it) is read. Return true after filling `out`, false to use the stored value.
using PlugEvaluator = std::function<bool(const Scene&, const Node&, const PlugPath&, PlugReading& out)>;

// A connection source -> destination.
struct Connection {
    Node* source = nullptr;
    PlugPath sourcePlug;
    Node* destination = nullptr;
    PlugPath destinationPlug;
    bool live = true;   // false once disconnected
};

class Node : public ApiObject, public std::enable_shared_from_this<Node> {
public:
    Node(Scene& scene, const NodeType* type, std::string name, uint64_t serial);

    MFn::Type apiType() const override;
    bool hasFn(MFn::Type type) const override;

    Scene& scene() const { return *scene_; }
    const NodeType& type() const { return *type_; }
    const std::string& typeName() const { return type_->name(); }
    const std::string& name() const { return name_; }
    const std::string& uuid() const { return uuid_; }
    bool locked() const { return locked_; }
    bool isDag() const { return type_->isDag() || dagForced_; }
    bool isWorld() const { return type_->apiType() == MFn::kWorld; }
    uint64_t serial() const { return serial_; }   // creation order

    const std::vector<Node*>& parents() const { return parents_; }
    const std::vector<Node*>& children() const { return children_; }

    // Attributes this node has beyond its type's schema (addAttr, unknown names).
    const std::deque<AttrSpec>& dynamicAttrs() const;
    // An attribute by long or short name: the type's, then the node's own.
    const AttrSpec* findAttr(std::string_view name) const;
    // A child of `parent` (null: top level) by name.
    const AttrSpec* findChild(const AttrSpec* parent, std::string_view name) const;

    // Stored values, by canonical plug key (PlugPath::key()).
    const StoredValue* stored(const std::string& key) const;
    // Dense arrays by the key of the multi without index ("vrts", "uvSet[0].uvSetPoints").
    const DenseArray* denseArray(const std::string& key) const;
    // Typed data stored on a top-level attribute (long or short name); null if none.
    const scenefile::Value* data(std::string_view attrName) const;
    // Logical indices that hold a value or a connection under a multi plug.
    std::vector<int64_t> logicalIndices(const PlugPath& multi) const;
    // Keys of stored values that begin with `prefix`, sorted: finds values
    // kept as written because they spread over an outer range ("wl[0:15].w").
    std::vector<std::string> storedKeysStartingWith(std::string_view prefix) const;

    // Incoming connection of exactly this plug, or null.
    const Connection* inputOf(const std::string& key) const;
    const std::vector<uint32_t>& connectionIds() const { return connections_; }

private:
    friend class Scene;
    friend class SceneBuilder;

    Scene* scene_;
    const NodeType* type_;
    std::string name_;
    std::string uuid_;
    uint64_t serial_;
    bool locked_ = false;
    bool dagForced_ = false;
    std::vector<Node*> parents_;
    std::vector<Node*> children_;
    // Made on the first dynamic attribute: an empty deque already costs half a
    // kilobyte, and most nodes never get one. Indexed, as a file may add a
    // hundred thousand attributes to one node.
    struct DynamicAttrs;
    std::unique_ptr<DynamicAttrs> dynamic_;
    // A new dynamic attribute under `parent` (null: top level), found by both names.
    AttrSpec& addDynamic(std::string longName, std::string shortName, const AttrSpec* parent);
    std::unordered_map<std::string, StoredValue> values_;
    std::unordered_map<std::string, DenseArray> arrays_;
    std::unordered_map<std::string, uint32_t> inputs_;   // destination key -> connection id
    std::vector<uint32_t> connections_;                  // every connection touching this node
};

// A scene-wide diagnostic of loading ("file.ma line 12: ...").
struct SceneWarning {
    std::string file;
    uint32_t line = 0;
    std::string message;
};

// A file reference the scene names but does not load.
struct SceneReference {
    std::string path;
    std::string nameSpace;
    std::string referenceNode;
};

class Scene {
public:
    Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // ---- nodes
    Node* world() const { return world_; }
    // By name: "pCube1", ":time1", "ns:node", a full or partial DAG path "|group1|pCube1".
    Node* findNode(std::string_view name) const;
    const std::vector<std::shared_ptr<Node>>& nodes() const { return nodes_; }
    // How many nodes carry this exact name (DAG nodes may share one).
    size_t nodesNamed(const std::string& name) const {
        auto it = byName_.find(name);
        return it == byName_.end() ? 0 : it->second.size();
    }
    MObject handle(const Node& node) const;
    // One of the nodes every scene starts with (world, persp, time1, lambert1 ...).
    bool isDefaultNode(const Node& node) const { return node.serial() < defaultCount_; }

    // ---- plugs
    // Resolves an attribute path ("t", "translateX", "iog[0].og[1].gcl",
    // "uvst[0].uvsp[3]") on a node. False when a name is not an attribute of
    // the node or the indices do not fit.
    bool resolvePlug(const Node& node, std::string_view path, PlugPath& out) const;
    // The plug's value, following its incoming connection (and an evaluator).
    PlugReading read(const Node& node, const PlugPath& plug) const;
    // Numeric convenience: fills up to `count` numbers; missing values take
    // the attribute's defaults. Returns how many numbers the plug has.
    size_t readNumbers(const Node& node, const PlugPath& plug, double* out, size_t count) const;
    double readDouble(const Node& node, std::string_view attr, double fallback = 0) const;
    bool readString(const Node& node, const PlugPath& plug, std::string& out) const;

    // ---- connections
    // The plug that feeds this plug (or the compound/array that contains it), or none.
    PlugRef sourceOf(const Node& node, const PlugPath& plug) const;
    const std::vector<Connection>& connections() const { return connections_; }
    // Live connections with this node's plug as source (asSource) or destination.
    std::vector<const Connection*> connectionsOf(const Node& node, const PlugPath* plug, bool asSource,
                                                 bool asDestination) const;

    // Drops the values and arrays the file stored on `node` under the keys
    // `which` accepts, for an evaluator that holds what they said; plug reads
    // of them then find nothing.
    void releaseStored(const Node& node, const std::function<bool(const std::string& key)>& which) const;
    // Moves a stored array out of the node (empty when it has none), for a
    // reader that will release it anyway and would otherwise copy it.
    DenseArray takeDenseArray(const Node& node, const std::string& key) const;

    // ---- evaluators
    void registerEvaluator(const std::string& typeName, PlugEvaluator evaluator);
    const PlugEvaluator* evaluatorFor(const NodeType& type) const;

    // ---- state other layers keep for this scene (caches of what they
    // evaluated): one object per type, made on first use, gone with the scene.
    template <class T>
    T& cached() const {
        std::shared_ptr<void>& slot = cached_[std::type_index(typeid(T))];
        if (!slot) slot = std::make_shared<T>();
        return *static_cast<T*>(slot.get());
    }

    // ---- scene-wide facts
    const std::string& fileName() const { return fileName_; }
    const std::string& linearUnit() const { return linearUnit_; }   // as written: "centimeter"
    const std::string& angleUnit() const { return angleUnit_; }
    const std::string& timeUnit() const { return timeUnit_; }
    // 'y' or 'z'.
    char upAxis() const;
    const std::vector<std::pair<std::string, std::string>>& fileInfo() const { return fileInfo_; }
    const std::vector<SceneReference>& references() const { return references_; }
    // The load's warnings, at most limits().maxWarnings of them; the rest are counted.
    const std::vector<SceneWarning>& warnings() const { return warnings_; }
    uint64_t warningsNotKept() const { return warningsNotKept_; }
    void warn(std::string file, uint32_t line, std::string message);
    // The next free element of a multi plug (the -na rule): one past the
    // highest index holding a value or connection.
    int64_t nextAvailable(const Node& node, const PlugPath& multi) const;

private:
    friend class SceneBuilder;
    friend void createDefaultNodes(Scene& scene);

    Node* createNode(const NodeType* type, std::string name, Node* parent);
    void addDagChild(Node* parent, Node* child);
    void removeDagChild(Node* parent, Node* child);
    const NodeType* typeFor(std::string_view typeName, bool dag);
    bool readStored(const Node& node, const PlugPath& plug, PlugReading& out) const;
    bool readInto(const Node& node, const PlugPath& plug, PlugReading& out, int depth) const;
    void indexName(Node* node);
    void unindexName(Node* node);

    std::vector<std::shared_ptr<Node>> nodes_;
    std::unordered_map<std::string, std::vector<Node*>> byName_;
    Node* world_ = nullptr;
    std::deque<NodeType> localTypes_;
    std::unordered_map<std::string, const NodeType*> localTypeByName_;
    std::vector<Connection> connections_;
    std::unordered_map<std::string, PlugEvaluator> evaluators_;
    std::vector<SceneWarning> warnings_;
    uint64_t warningsNotKept_ = 0;
    std::vector<SceneReference> references_;
    std::vector<std::pair<std::string, std::string>> fileInfo_;
    std::string fileName_;
    std::string linearUnit_ = "centimeter";
    std::string angleUnit_ = "degree";
    std::string timeUnit_ = "film";
    uint64_t serial_ = 0;
    uint64_t defaultCount_ = 0;   // nodes with a smaller serial are Maya's defaults
    std::unordered_set<std::string> unknownTypesReported_;
    mutable std::unordered_map<std::type_index, std::shared_ptr<void>> cached_;
};

// The node behind a handle, or null.
inline Node* nodeOf(const MObject& handle) { return objectAs<Node>(handle); }

}  // namespace mayahost
