#include <maya/MIntArray.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>

#include "api/ApiSupport.h"

#include <cmath>

using namespace mayahost;

MDGContext MDGContext::fsNormal;

namespace {

MStatus fail(MStatus* out, MStatus::MStatusCode code, const char* reason) {
    MStatus s = MStatus::withReason(code, reason);
    if (out) *out = s;
    return s;
}

void ok(MStatus* out) {
    if (out) *out = MStatus::kSuccess;
}

// The numbers of a plug, or a failure for plugs without numbers.
bool readNumbers(const PlugHandle* h, std::vector<double>& out, MStatus* status) {
    if (!h) {
        fail(status, MStatus::kInvalidParameter, "null plug");
        return false;
    }
    PlugReading r = h->node->scene().read(*h->node, h->path);
    if (r.numbers.empty()) {
        fail(status, MStatus::kInvalidParameter, "plug holds no number");
        return false;
    }
    out = std::move(r.numbers);
    ok(status);
    return true;
}

MFn::Type dataTypeOf(const AttrSpec* attr, const PlugReading& r) {
    if (r.computed) return MFn::kData;
    if (r.data) {
        if (std::holds_alternative<scenefile::PolyFaces>(*r.data)) return MFn::kMeshData;
        if (std::holds_alternative<scenefile::NurbsCurveData>(*r.data)) return MFn::kNurbsCurveData;
        if (std::holds_alternative<scenefile::NurbsSurfaceData>(*r.data)) return MFn::kNurbsSurfaceData;
        if (std::holds_alternative<scenefile::StringValue>(*r.data)) return MFn::kStringData;
        if (std::holds_alternative<scenefile::StringArray>(*r.data)) return MFn::kStringArrayData;
        if (std::holds_alternative<scenefile::MatrixValue>(*r.data) || std::holds_alternative<scenefile::XformMatrix>(*r.data))
            return MFn::kMatrixData;
        if (std::holds_alternative<scenefile::DoubleArray>(*r.data)) return MFn::kDoubleArrayData;
        if (std::holds_alternative<scenefile::PointArray>(*r.data)) return MFn::kPointArrayData;
    }
    if (attr && attr->type == AttrType::Matrix) return MFn::kMatrixData;
    return MFn::kData;
}

}  // namespace

MPlug::MPlug(const MObject& node, const MObject& attribute) {
    Node* n = nodeOf(node);
    auto* a = objectAs<AttributeObject>(attribute);
    if (!n || !a) return;
    PlugPath path;
    std::vector<const AttrSpec*> chain;
    for (const AttrSpec* s = a->attrSpec(); s; s = s->parent) chain.push_back(s);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) path.steps.push_back({*it, -1});
    *this = makePlug(*n, std::move(path));
}

bool MPlug::isNull(MStatus* ReturnStatus) const {
    ok(ReturnStatus);
    return !h_;
}

MObject MPlug::node(MStatus* ReturnStatus) const {
    if (!h_) {
        fail(ReturnStatus, MStatus::kInvalidParameter, "null plug");
        return MObject();
    }
    ok(ReturnStatus);
    return h_->node->scene().handle(*h_->node);
}

MObject MPlug::attribute(MStatus* ReturnStatus) const {
    if (!h_) {
        fail(ReturnStatus, MStatus::kInvalidParameter, "null plug");
        return MObject();
    }
    ok(ReturnStatus);
    return attributeHandle(h_->path.attr());
}

MString MPlug::name(MStatus* ReturnStatus) const {
    if (!h_) {
        fail(ReturnStatus, MStatus::kInvalidParameter, "null plug");
        return MString();
    }
    ok(ReturnStatus);
    return MString((uniqueNodeName(*h_->node) + "." + h_->path.key()).c_str());
}

MString MPlug::partialName(bool includeNodeName, bool, bool, bool, bool useFullAttributePath, bool useLongNames,
                           MStatus* ReturnStatus) const {
    if (!h_) {
        fail(ReturnStatus, MStatus::kInvalidParameter, "null plug");
        return MString();
    }
    ok(ReturnStatus);
    std::string attr;
    if (useFullAttributePath) {
        attr = useLongNames ? h_->path.key() : h_->path.shortKey();
    } else {
        const PlugPath::Step& last = h_->path.steps.back();
        attr = useLongNames ? last.attr->longName : last.attr->shortName;
        if (last.index >= 0) attr += "[" + std::to_string(last.index) + "]";
    }
    if (includeNodeName) attr = uniqueNodeName(*h_->node) + "." + attr;
    return MString(attr.c_str());
}

bool MPlug::isArray(MStatus* ReturnStatus) const {
    ok(ReturnStatus);
    return h_ && h_->path.attr()->multi && h_->path.steps.back().index < 0;
}

bool MPlug::isElement(MStatus* ReturnStatus) const {
    ok(ReturnStatus);
    return h_ && h_->path.steps.back().index >= 0;
}

bool MPlug::isCompound(MStatus* ReturnStatus) const {
    ok(ReturnStatus);
    return h_ && !isArray() && !h_->path.attr()->children.empty();
}

bool MPlug::isChild(MStatus* ReturnStatus) const {
    ok(ReturnStatus);
    return h_ && h_->path.attr()->parent != nullptr;
}

unsigned int MPlug::numChildren(MStatus* ReturnStatus) const {
    if (!h_) {
        fail(ReturnStatus, MStatus::kInvalidParameter, "null plug");
        return 0;
    }
    ok(ReturnStatus);
    const AttrSpec* a = h_->path.attr();
    size_t n = a->children.size();
    for (const AttrSpec& d : h_->node->dynamicAttrs())
        if (d.parent == a && std::find(a->children.begin(), a->children.end(), &d) == a->children.end()) ++n;
    return static_cast<unsigned int>(n);
}

MPlug MPlug::child(unsigned int index, MStatus* ReturnStatus) const {
    if (!h_ || isArray()) {
        fail(ReturnStatus, MStatus::kInvalidParameter, "plug has no children");
        return MPlug();
    }
    const AttrSpec* a = h_->path.attr();
    std::vector<const AttrSpec*> kids = a->children;
    for (const AttrSpec& d : h_->node->dynamicAttrs())
        if (d.parent == a && std::find(kids.begin(), kids.end(), &d) == kids.end()) kids.push_back(&d);
    if (index >= kids.size()) {
        fail(ReturnStatus, MStatus::kInvalidParameter, "child index out of range");
        return MPlug();
    }
    ok(ReturnStatus);
    return makePlug(*h_->node, h_->path.child(kids[index]));
}

MPlug MPlug::child(const MObject& attr, MStatus* ReturnStatus) const {
    auto* a = objectAs<AttributeObject>(attr);
    if (!h_ || !a || a->attrSpec()->parent != h_->path.attr() || isArray()) {
        fail(ReturnStatus, MStatus::kInvalidParameter, "not a child attribute of this plug");
        return MPlug();
    }
    ok(ReturnStatus);
    return makePlug(*h_->node, h_->path.child(a->attrSpec()));
}

MPlug MPlug::parent(MStatus* ReturnStatus) const {
    if (!h_ || h_->path.steps.size() < 2) {
        fail(ReturnStatus, MStatus::kInvalidParameter, "plug has no parent");
        return MPlug();
    }
    ok(ReturnStatus);
    return makePlug(*h_->node, h_->path.parentPath());
}

MPlug MPlug::array(MStatus* ReturnStatus) const {
    if (!isElement()) {
        fail(ReturnStatus, MStatus::kInvalidParameter, "plug is no array element");
        return MPlug();
    }
    ok(ReturnStatus);
    PlugPath p = h_->path;
    p.steps.back().index = -1;
    return makePlug(*h_->node, std::move(p));
}

unsigned int MPlug::numElements(MStatus* ReturnStatus) const {
    if (!isArray()) {
        fail(ReturnStatus, MStatus::kInvalidParameter, "plug is no array");
        return 0;
    }
    ok(ReturnStatus);
    return static_cast<unsigned int>(h_->node->logicalIndices(h_->path).size());
}

MPlug MPlug::elementByLogicalIndex(unsigned int logicalIndex, MStatus* ReturnStatus) const {
    if (!isArray()) {
        fail(ReturnStatus, MStatus::kInvalidParameter, "plug is no array");
        return MPlug();
    }
    ok(ReturnStatus);
    PlugPath p = h_->path;
    p.steps.back().index = logicalIndex;
    return makePlug(*h_->node, std::move(p));
}

MPlug MPlug::elementByPhysicalIndex(unsigned int physicalIndex, MStatus* ReturnStatus) const {
    if (!isArray()) {
        fail(ReturnStatus, MStatus::kInvalidParameter, "plug is no array");
        return MPlug();
    }
    std::vector<int64_t> indices = h_->node->logicalIndices(h_->path);
    if (physicalIndex >= indices.size()) {
        fail(ReturnStatus, MStatus::kInvalidParameter, "element index out of range");
        return MPlug();
    }
    ok(ReturnStatus);
    PlugPath p = h_->path;
    p.steps.back().index = indices[physicalIndex];
    return makePlug(*h_->node, std::move(p));
}

unsigned int MPlug::logicalIndex(MStatus* ReturnStatus) const {
    if (!isElement()) {
        fail(ReturnStatus, MStatus::kInvalidParameter, "plug is no array element");
        return 0;
    }
    ok(ReturnStatus);
    return static_cast<unsigned int>(h_->path.steps.back().index);
}

int MPlug::getExistingArrayAttributeIndices(MIntArray& indices, MStatus* ReturnStatus) const {
    indices.clear();
    if (!isArray()) {
        fail(ReturnStatus, MStatus::kInvalidParameter, "plug is no array");
        return 0;
    }
    ok(ReturnStatus);
    for (int64_t i : h_->node->logicalIndices(h_->path)) indices.append(static_cast<int>(i));
    return static_cast<int>(indices.length());
}

namespace {

// Maya's files often connect the first element of a multi by the multi's
// own name ("shape.iog" for "shape.iog[0]"): such a connection belongs to
// element 0.
bool connectionNames(const PlugPath& stored, const PlugPath& asked) {
    if (stored.steps.size() != asked.steps.size()) return false;
    for (size_t i = 0; i < stored.steps.size(); ++i) {
        const PlugPath::Step& s = stored.steps[i];
        const PlugPath::Step& a = asked.steps[i];
        if (s.attr != a.attr) return false;
        if (s.index != a.index && !(s.index == -1 && a.index == 0 && s.attr && s.attr->multi)) return false;
    }
    return true;
}

}  // namespace

bool MPlug::connectedTo(MPlugArray& array, bool asDst, bool asSrc, MStatus* ReturnStatus) const {
    array.clear();
    if (!h_) {
        fail(ReturnStatus, MStatus::kInvalidParameter, "null plug");
        return false;
    }
    ok(ReturnStatus);
    const Scene& scene = h_->node->scene();
    for (const Connection* c : scene.connectionsOf(*h_->node, nullptr, asSrc, asDst)) {
        if (asDst && c->destination == h_->node.get() && connectionNames(c->destinationPlug, h_->path))
            array.append(makePlug(*c->source, c->sourcePlug));
        if (asSrc && c->source == h_->node.get() && connectionNames(c->sourcePlug, h_->path))
            array.append(makePlug(*c->destination, c->destinationPlug));
    }
    return array.length() > 0;
}

bool MPlug::isConnected(MStatus* ReturnStatus) const {
    MPlugArray a;
    return connectedTo(a, true, true, ReturnStatus);
}

bool MPlug::isDestination(MStatus* ReturnStatus) const {
    MPlugArray a;
    return connectedTo(a, true, false, ReturnStatus);
}

bool MPlug::isSource(MStatus* ReturnStatus) const {
    MPlugArray a;
    return connectedTo(a, false, true, ReturnStatus);
}

MStatus MPlug::getValue(double& value, const MDGContext&) const {
    std::vector<double> n;
    MStatus s;
    if (readNumbers(h_.get(), n, &s)) value = n[0];
    return s;
}

MStatus MPlug::getValue(float& value, const MDGContext& ctx) const {
    double d = 0;
    MStatus s = getValue(d, ctx);
    if (s) value = static_cast<float>(d);
    return s;
}

MStatus MPlug::getValue(int& value, const MDGContext& ctx) const {
    double d = 0;
    MStatus s = getValue(d, ctx);
    if (s) value = static_cast<int>(std::lround(d));
    return s;
}

MStatus MPlug::getValue(short& value, const MDGContext& ctx) const {
    double d = 0;
    MStatus s = getValue(d, ctx);
    if (s) value = static_cast<short>(std::lround(d));
    return s;
}

MStatus MPlug::getValue(bool& value, const MDGContext& ctx) const {
    double d = 0;
    MStatus s = getValue(d, ctx);
    if (s) value = d != 0.0;
    return s;
}

MStatus MPlug::getValue(MString& value, const MDGContext&) const {
    if (!h_) return MStatus::withReason(MStatus::kInvalidParameter, "null plug");
    std::string text;
    if (!h_->node->scene().readString(*h_->node, h_->path, text))
        return MStatus::withReason(MStatus::kInvalidParameter, "plug holds no string");
    value = MString(text.c_str());
    return MStatus::kSuccess;
}

MStatus MPlug::getValue(MObject& value, const MDGContext&) const {
    if (!h_) return MStatus::withReason(MStatus::kInvalidParameter, "null plug");
    const AttrSpec* attr = h_->path.attr();
    PlugReading r = h_->node->scene().read(*h_->node, h_->path);
    if (!r.data && !r.computed && !r.numbers.empty() && (attr->tuple || r.numbers.size() <= 4)) {
        auto data = std::make_shared<NumericDataObject>();
        size_t n = std::min<size_t>(r.numbers.size(), 4);
        std::copy_n(r.numbers.begin(), n, data->values);
        const AttrSpec* leaf = attr->tuple && !attr->children.empty() ? attr->children[0] : attr;
        bool isFloat = leaf->type == AttrType::Float;
        bool isInt = leaf->type == AttrType::Int || leaf->type == AttrType::Bool || leaf->type == AttrType::Enum;
        switch (n) {
        case 1: data->numericType = isFloat ? MFnNumericData::kFloat : isInt ? MFnNumericData::kInt : MFnNumericData::kDouble; break;
        case 2: data->numericType = isFloat ? MFnNumericData::k2Float : isInt ? MFnNumericData::k2Int : MFnNumericData::k2Double; break;
        case 3: data->numericType = isFloat ? MFnNumericData::k3Float : isInt ? MFnNumericData::k3Int : MFnNumericData::k3Double; break;
        default: data->numericType = MFnNumericData::k4Double; break;
        }
        value = MObject(std::move(data));
        return MStatus::kSuccess;
    }
    if (!r.data && !r.computed && r.numbers.empty()) {
        value = MObject();
        return MStatus::withReason(MStatus::kInvalidParameter, "plug holds no data");
    }
    MFn::Type type = dataTypeOf(attr, r);
    value = MObject(std::make_shared<DataObject>(type, std::move(r)));
    return MStatus::kSuccess;
}

#define AS_VALUE(Type, method)                                                      \
    Type MPlug::method(const MDGContext& ctx, MStatus* ReturnStatus) const {       \
        Type v{};                                                                   \
        MStatus s = getValue(v, ctx);                                               \
        if (ReturnStatus) *ReturnStatus = s;                                        \
        return v;                                                                   \
    }
AS_VALUE(bool, asBool)
AS_VALUE(int, asInt)
AS_VALUE(short, asShort)
AS_VALUE(float, asFloat)
AS_VALUE(double, asDouble)
AS_VALUE(MString, asString)
AS_VALUE(MObject, asMObject)
#undef AS_VALUE

bool MPlug::operator==(const MPlug& other) const {
    if (!h_ || !other.h_) return !h_ && !other.h_;
    return h_->node == other.h_->node && h_->path == other.h_->path;
}
