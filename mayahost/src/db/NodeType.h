#pragma once
// Node types of the scene database: Maya's type names with their inheritance
// (a joint is a transform, a blinn is a lambert ...), their MFn codes and the
// attribute schemas of the types the importer reads. Types the registry does
// not know are made per scene as generic types that keep whatever the file
// sets.

#include <maya/MFn.h>

#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace mayahost {

enum class AttrType : uint8_t {
    Generic,   // unknown attribute: holds whatever the file sets
    Bool,
    Int,       // long, short, byte
    Enum,
    Float,
    Double,
    Distance,  // stored in centimetres whatever the file's linear unit
    Angle,     // stored in radians whatever the file's angle unit
    Time,      // stored in the file's time unit (frames)
    String,
    Matrix,
    Message,
    Compound,
    Data,      // typed data (mesh, nurbsSurface, polyFaces, arrays ...)
};

struct AttrSpec {
    std::string longName;
    std::string shortName;
    AttrType type = AttrType::Generic;
    bool multi = false;
    // A numeric compound (translate, color ...) keeps its children's values in
    // one slot of `tuple` numbers; its children read one component each.
    uint8_t tuple = 0;
    uint8_t childIndex = 0;
    bool dynamic = false;               // added by addAttr or by an unknown name
    const AttrSpec* parent = nullptr;   // enclosing compound
    std::vector<const AttrSpec*> children;
    double defaults[4] = {0, 0, 0, 0};  // per component for a tuple, [0] otherwise
    std::string defaultString;

    bool isNumeric() const {
        return type == AttrType::Bool || type == AttrType::Int || type == AttrType::Enum ||
               type == AttrType::Float || type == AttrType::Double || type == AttrType::Distance ||
               type == AttrType::Angle || type == AttrType::Time;
    }
    bool matches(std::string_view name) const { return name == longName || name == shortName; }
};

class NodeType {
public:
    NodeType(std::string name, const NodeType* parent, MFn::Type fn);

    const std::string& name() const { return name_; }
    const NodeType* parent() const { return parent_; }
    MFn::Type apiType() const { return fn_; }
    bool isDag() const { return dag_; }
    bool isShape() const { return hasFn(MFn::kShape); }
    // True when this type or one of its ancestors has the given code or name.
    bool hasFn(MFn::Type type) const;
    bool isA(std::string_view typeName) const;
    // Any attribute of the type (top level or compound child), by long or short name.
    const AttrSpec* findAttr(std::string_view name) const;
    // Top-level attributes in declaration order, inherited ones first.
    const std::vector<const AttrSpec*>& topLevel() const { return topLevel_; }
    bool generic() const { return generic_; }

    // Building the schema (registry use).
    AttrSpec& add(std::string longName, std::string shortName, AttrType type, double def = 0);
    AttrSpec& addTuple(std::string longName, std::string shortName, AttrType childType,
                       std::initializer_list<std::pair<const char*, const char*>> children,
                       std::initializer_list<double> defaults);
    AttrSpec& addChild(AttrSpec& parent, std::string longName, std::string shortName, AttrType type,
                       double def = 0);
    void setDag(bool dag) { dag_ = dag; }
    void setGeneric(bool generic) { generic_ = generic; }
    void addExtraFn(MFn::Type fn) { extraFns_.push_back(fn); }

private:
    void index(const AttrSpec* attrSpec);

    std::string name_;
    const NodeType* parent_;
    MFn::Type fn_;
    bool dag_ = false;
    bool generic_ = false;
    std::vector<MFn::Type> extraFns_;
    std::deque<AttrSpec> own_;
    std::vector<const AttrSpec*> topLevel_;
    std::unordered_map<std::string, const AttrSpec*> byName_;
};

// The built-in types, shared by every scene (immutable once built).
class TypeRegistry {
public:
    static const TypeRegistry& builtin();
    const NodeType* find(std::string_view name) const;
    // Types in registration order.
    const std::vector<const NodeType*>& all() const { return order_; }

private:
    TypeRegistry();
    NodeType& define(const char* name, const char* parent, MFn::Type fn);
    void defineBase();
    void defineDag();
    void defineShading();
    void defineOthers();

    std::deque<NodeType> types_;
    std::vector<const NodeType*> order_;
    std::unordered_map<std::string, const NodeType*> byName_;
};

}  // namespace mayahost
