#include "db/Scene.h"
#include "base/Limits.h"
#include "db/UpAxis.h"

#include <algorithm>
#include <cstring>

namespace mayahost {

// ------------------------------------------------------------------ PlugPath

namespace {

std::string buildKey(const PlugPath& path, bool shortNames) {
    std::string key;
    for (size_t k = 0; k < path.steps.size(); ++k) {
        const PlugPath::Step& step = path.steps[k];
        if (k) key += '.';
        key += shortNames ? step.attr->shortName : step.attr->longName;
        if (step.index >= 0) {
            key += '[';
            key += std::to_string(step.index);
            key += ']';
        }
    }
    return key;
}

// Where a plug's value lives: the slot plug and the component inside it
// (-1: the whole value). A child of a numeric compound lives in its parent.
struct Slot {
    PlugPath path;
    int component = -1;
};

Slot slotOf(const PlugPath& plug) {
    Slot slot{plug, -1};
    const AttrSpec* attr = plug.attr();
    if (attr && attr->parent && attr->parent->tuple && attr->childIndex < attr->parent->tuple && plug.steps.size() >= 2 &&
        plug.steps[plug.steps.size() - 2].attr == attr->parent) {
        slot.path.steps.pop_back();
        slot.component = attr->childIndex;
    }
    return slot;
}

// The key of the multi a slot is an element of, and the element index.
bool arrayKeyOf(const PlugPath& slot, std::string& key, int64_t& element) {
    if (slot.steps.empty() || slot.steps.back().index < 0) return false;
    PlugPath multi = slot;
    element = multi.steps.back().index;
    multi.steps.back().index = -1;
    key = multi.key();
    return true;
}

size_t defaultNumbers(const AttrSpec* attr, double* out, size_t count) {
    if (!attr) return 0;
    size_t n = attr->tuple ? attr->tuple : 1;
    for (size_t k = 0; k < std::min(n, count); ++k) out[k] = attr->defaults[k];
    return n;
}

}  // namespace

std::string PlugPath::key() const { return buildKey(*this, false); }
std::string PlugPath::shortKey() const { return buildKey(*this, true); }

PlugPath PlugPath::parentPath() const {
    PlugPath p = *this;
    if (!p.steps.empty()) p.steps.pop_back();
    return p;
}

PlugPath PlugPath::child(const AttrSpec* attr, int64_t index) const {
    PlugPath p = *this;
    p.steps.push_back({attr, index});
    return p;
}

bool PlugPath::operator==(const PlugPath& other) const {
    if (steps.size() != other.steps.size()) return false;
    for (size_t k = 0; k < steps.size(); ++k)
        if (steps[k].attr != other.steps[k].attr || steps[k].index != other.steps[k].index) return false;
    return true;
}

// ------------------------------------------------------------------ DenseArray

size_t DenseArray::presentCount() const {
    return static_cast<size_t>(std::count(present.begin(), present.end(), uint8_t(1)));
}

double DenseArray::at(size_t element, size_t component) const {
    size_t k = element * components + component;
    switch (storage) {
    case Storage::Float: return k < f.size() ? f[k] : 0.0;
    case Storage::Double: return k < d.size() ? d[k] : 0.0;
    case Storage::Int: return k < i.size() ? i[k] : 0.0;
    }
    return 0.0;
}

bool DenseArray::element(size_t element, double* out) const {
    if (!has(element)) return false;
    for (size_t c = 0; c < components; ++c) out[c] = at(element, c);
    return true;
}

// ------------------------------------------------------------------ Node

Node::Node(Scene& scene, const NodeType* type, std::string name, uint64_t serial)
    : scene_(&scene), type_(type), name_(std::move(name)), serial_(serial) {}

MFn::Type Node::apiType() const { return type_->apiType(); }

bool Node::hasFn(MFn::Type type) const {
    if (type_->hasFn(type)) return true;
    return dagForced_ && (type == MFn::kDagNode);
}

struct Node::DynamicAttrs {
    std::deque<AttrSpec> attrs;
    std::unordered_map<std::string, const AttrSpec*> firstByName;   // either name, any parent
    // Either name under one parent: the parent's address, then the name.
    std::unordered_map<std::string, const AttrSpec*> byParentAndName;

    static std::string key(const AttrSpec* parent, std::string_view name) {
        std::string k(sizeof parent, '\0');
        std::memcpy(k.data(), &parent, sizeof parent);
        k.append(name);
        return k;
    }
};

const std::deque<AttrSpec>& Node::dynamicAttrs() const {
    static const std::deque<AttrSpec> none;
    return dynamic_ ? dynamic_->attrs : none;
}

AttrSpec& Node::addDynamic(std::string longName, std::string shortName, const AttrSpec* parent) {
    if (!dynamic_) dynamic_ = std::make_unique<DynamicAttrs>();
    AttrSpec& a = dynamic_->attrs.emplace_back();
    a.longName = std::move(longName);
    a.shortName = std::move(shortName);
    a.parent = parent;
    a.dynamic = true;
    for (const std::string* name : {&a.longName, &a.shortName}) {
        dynamic_->firstByName.try_emplace(*name, &a);
        dynamic_->byParentAndName.try_emplace(DynamicAttrs::key(parent, *name), &a);
    }
    return a;
}

const AttrSpec* Node::findAttr(std::string_view name) const {
    if (const AttrSpec* attrSpec = type_->findAttr(name)) return attrSpec;
    if (!dynamic_) return nullptr;
    auto it = dynamic_->firstByName.find(std::string(name));
    return it == dynamic_->firstByName.end() ? nullptr : it->second;
}

const AttrSpec* Node::findChild(const AttrSpec* parent, std::string_view name) const {
    if (!parent) return findAttr(name);
    if (!parent->dynamic)   // a type's compound: its own few children first
        for (const AttrSpec* child : parent->children)
            if (child->matches(name)) return child;
    if (!dynamic_) return nullptr;
    auto it = dynamic_->byParentAndName.find(DynamicAttrs::key(parent, name));
    return it == dynamic_->byParentAndName.end() ? nullptr : it->second;
}

const StoredValue* Node::stored(const std::string& key) const {
    auto it = values_.find(key);
    return it == values_.end() ? nullptr : &it->second;
}

void Scene::releaseStored(const Node& node, const std::function<bool(const std::string& key)>& which) const {
    // The scene owns its nodes; the const view is the evaluators'.
    Node& owned = const_cast<Node&>(node);
    std::erase_if(owned.arrays_, [&](const auto& entry) { return which(entry.first); });
    std::erase_if(owned.values_, [&](const auto& entry) { return which(entry.first); });
}

DenseArray Scene::takeDenseArray(const Node& node, const std::string& key) const {
    Node& owned = const_cast<Node&>(node);
    auto it = owned.arrays_.find(key);
    if (it == owned.arrays_.end()) return {};
    DenseArray taken = std::move(it->second);
    owned.arrays_.erase(it);
    return taken;
}

const DenseArray* Node::denseArray(const std::string& key) const {
    auto it = arrays_.find(key);
    return it == arrays_.end() ? nullptr : &it->second;
}

const scenefile::Value* Node::data(std::string_view attrName) const {
    const AttrSpec* attrSpec = findAttr(attrName);
    if (!attrSpec) return nullptr;
    const StoredValue* v = stored(attrSpec->longName);
    return v && v->data ? v->data.get() : nullptr;
}

std::vector<int64_t> Node::logicalIndices(const PlugPath& multi) const {
    std::vector<int64_t> result;
    std::string prefix = multi.key();
    if (const DenseArray* dense = denseArray(prefix))
        for (size_t e = 0; e < dense->count(); ++e)
            if (dense->present[e]) result.push_back(static_cast<int64_t>(e));
    auto collect = [&](const std::string& key) {
        if (key.size() <= prefix.size() + 2 || key.compare(0, prefix.size(), prefix) != 0 || key[prefix.size()] != '[')
            return;
        int64_t index = 0;
        size_t k = prefix.size() + 1;
        bool digits = false;
        while (k < key.size() && key[k] >= '0' && key[k] <= '9') {
            index = index * 10 + (key[k] - '0');
            ++k;
            digits = true;
        }
        if (digits && k < key.size() && key[k] == ']') result.push_back(index);
    };
    for (const auto& [key, value] : values_) collect(key);
    for (const auto& [key, value] : arrays_) collect(key);
    for (uint32_t id : connections_) {
        const Connection& c = scene_->connections()[id];
        if (!c.live) continue;
        if (c.destination == this) collect(c.destinationPlug.key());
        if (c.source == this) collect(c.sourcePlug.key());
    }
    std::sort(result.begin(), result.end());
    result.erase(std::unique(result.begin(), result.end()), result.end());
    return result;
}

std::vector<std::string> Node::storedKeysStartingWith(std::string_view prefix) const {
    std::vector<std::string> keys;
    for (const auto& entry : values_)
        if (std::string_view(entry.first).substr(0, prefix.size()) == prefix) keys.push_back(entry.first);
    std::sort(keys.begin(), keys.end());
    return keys;
}

const Connection* Node::inputOf(const std::string& key) const {
    auto it = inputs_.find(key);
    if (it == inputs_.end()) return nullptr;
    const Connection& c = scene_->connections()[it->second];
    return c.live ? &c : nullptr;
}

// ------------------------------------------------------------------ Scene: nodes

Node* Scene::createNode(const NodeType* type, std::string name, Node* parent) {
    auto node = std::make_shared<Node>(*this, type, std::move(name), serial_++);
    Node* raw = node.get();
    nodes_.push_back(std::move(node));
    indexName(raw);
    if (parent) addDagChild(parent, raw);
    return raw;
}

void Scene::indexName(Node* node) { byName_[node->name_].push_back(node); }

void Scene::unindexName(Node* node) {
    auto it = byName_.find(node->name_);
    if (it == byName_.end()) return;
    auto& list = it->second;
    list.erase(std::remove(list.begin(), list.end(), node), list.end());
    if (list.empty()) byName_.erase(it);
}

void Scene::addDagChild(Node* parent, Node* child) {
    if (std::find(child->parents_.begin(), child->parents_.end(), parent) != child->parents_.end()) return;
    child->parents_.push_back(parent);
    parent->children_.push_back(child);
    if (!child->type_->isDag()) child->dagForced_ = true;
    if (!parent->type_->isDag()) parent->dagForced_ = true;
}

void Scene::removeDagChild(Node* parent, Node* child) {
    auto& ps = child->parents_;
    ps.erase(std::remove(ps.begin(), ps.end(), parent), ps.end());
    auto& cs = parent->children_;
    cs.erase(std::remove(cs.begin(), cs.end(), child), cs.end());
}

const NodeType* Scene::typeFor(std::string_view typeName, bool dag) {
    if (const NodeType* t = TypeRegistry::builtin().find(typeName)) return t;
    std::string key = std::string(typeName) + (dag ? "\x01" : "");
    auto it = localTypeByName_.find(key);
    if (it != localTypeByName_.end()) return it->second;
    const NodeType* base = TypeRegistry::builtin().find(dag ? "dagNode" : "dependNode");
    NodeType& type = localTypes_.emplace_back(std::string(typeName), base, dag ? MFn::kUnknownDag : MFn::kUnknown);
    type.setGeneric(true);
    localTypeByName_[key] = &type;
    return &type;
}

namespace {

std::string_view stripRootNamespace(std::string_view name) {
    while (!name.empty() && name.front() == ':') name.remove_prefix(1);
    return name;
}

// The DAG path of a node as "|a|b|c", following first parents.
bool pathEndsWith(const Node* node, const std::vector<std::string_view>& parts, bool absolute) {
    const Node* n = node;
    for (size_t k = parts.size(); k-- > 0;) {
        if (!n || n->isWorld() || n->name() != stripRootNamespace(parts[k])) return false;
        if (k == 0) break;
        // Any parent may continue the path (instances have several).
        const Node* next = nullptr;
        for (const Node* p : n->parents())
            if (!p->isWorld() && p->name() == stripRootNamespace(parts[k - 1])) next = p;
        if (!next) return false;
        n = next;
    }
    if (!absolute) return true;
    for (const Node* p : n->parents())
        if (p->isWorld()) return true;
    return false;
}

}  // namespace

Node* Scene::findNode(std::string_view name) const {
    if (name.empty()) return nullptr;
    if (name.find('|') == std::string_view::npos) {
        auto it = byName_.find(std::string(stripRootNamespace(name)));
        if (it != byName_.end() && !it->second.empty()) return it->second.front();
        return name == "world" ? world_ : nullptr;
    }
    bool absolute = name.front() == '|';
    std::vector<std::string_view> parts;
    size_t begin = 0;
    while (begin <= name.size()) {
        size_t end = name.find('|', begin);
        if (end == std::string_view::npos) end = name.size();
        if (end > begin) parts.push_back(name.substr(begin, end - begin));
        begin = end + 1;
    }
    if (parts.empty()) return nullptr;
    auto it = byName_.find(std::string(stripRootNamespace(parts.back())));
    if (it != byName_.end())
        for (Node* candidate : it->second)
            if (pathEndsWith(candidate, parts, absolute)) return candidate;
    // The root answers to its name unless a node of that name was meant.
    return name == "|world" ? world_ : nullptr;
}

MObject Scene::handle(const Node& node) const {
    return MObject(std::const_pointer_cast<Node>(node.shared_from_this()));
}

// ------------------------------------------------------------------ Scene: plugs

bool Scene::resolvePlug(const Node& node, std::string_view text, PlugPath& out) const {
    out.steps.clear();
    std::string dotted = ".";
    dotted += text;
    scenefile::AttrPath path;
    if (!scenefile::parseAttrPath(dotted, path) || path.segments.empty()) return false;
    const AttrSpec* previous = nullptr;
    for (size_t k = 0; k < path.segments.size(); ++k) {
        const scenefile::AttrSegment& seg = path.segments[k];
        const AttrSpec* attrSpec = node.findChild(previous, seg.name);
        if (!attrSpec) return false;
        if (k == 0 && attrSpec->parent) {
            // A child named alone ("tx", "gcl"): its ancestors must not need indices.
            std::vector<const AttrSpec*> chain;
            for (const AttrSpec* a = attrSpec->parent; a; a = a->parent) {
                if (a->multi) return false;
                chain.push_back(a);
            }
            for (auto it = chain.rbegin(); it != chain.rend(); ++it) out.steps.push_back({*it, -1});
        }
        if (seg.hasIndex && (seg.first != seg.last || !attrSpec->multi)) return false;
        out.steps.push_back({attrSpec, seg.hasIndex ? seg.first : -1});
        previous = attrSpec;
    }
    return true;
}

bool Scene::readStored(const Node& node, const PlugPath& plug, PlugReading& out) const {
    Slot slot = slotOf(plug);
    auto pick = [&](const double* values, size_t n) {
        if (slot.component >= 0) {
            out.numbers.assign(1, static_cast<size_t>(slot.component) < n ? values[slot.component] : 0.0);
        } else {
            out.numbers.assign(values, values + n);
        }
    };
    if (const StoredValue* v = node.stored(slot.path.key())) {
        if (v->data) {
            out.data = v->data.get();
            out.dataOwner = v->data;
            if (const auto* m = std::get_if<scenefile::MatrixValue>(v->data.get())) out.numbers.assign(m->m.begin(), m->m.end());
        } else {
            pick(v->num, v->count);
        }
        out.found = true;
        return true;
    }
    std::string arrayKey;
    int64_t element = 0;
    if (arrayKeyOf(slot.path, arrayKey, element)) {
        if (const DenseArray* dense = node.denseArray(arrayKey)) {
            double values[4] = {0, 0, 0, 0};
            if (dense->components <= 4 && dense->element(static_cast<size_t>(element), values)) {
                pick(values, dense->components);
                out.found = true;
                return true;
            }
        }
    }
    // Defaults.
    const AttrSpec* attr = plug.attr();
    if (attr && attr->isNumeric()) {
        out.numbers.assign(1, attr->defaults[0]);
    } else if (attr && attr->tuple) {
        out.numbers.assign(attr->defaults, attr->defaults + attr->tuple);
    } else if (attr && attr->type == AttrType::String) {
        auto text = std::make_shared<const scenefile::Value>(scenefile::StringValue{attr->defaultString});
        out.data = text.get();
        out.dataOwner = std::move(text);
    }
    out.found = false;
    return false;
}

bool Scene::readInto(const Node& node, const PlugPath& plug, PlugReading& out, int depth) const {
    if (depth > limits().maxConnectionSteps) return false;   // a connection cycle: stop following
    if (const PlugEvaluator* evaluator = evaluatorFor(node.type()))
        if ((*evaluator)(*this, node, plug, out)) return true;
    // A source that neither stores nor computes a value (a texture or utility
    // node nothing here evaluates) gives only its defaults. The destination's
    // own stored value is then the better answer: Maya saves driven
    // attributes with the value they had when the file was written.
    auto yieldsNothing = [](const PlugReading& r) { return !r.found && r.numbers.empty() && !r.data && !r.computed; };
    auto preferOwn = [&](PlugReading& fromSource) {
        if (fromSource.found) return false;
        PlugReading own;
        readStored(node, plug, own);
        if (!own.found && !yieldsNothing(fromSource)) return false;
        out = std::move(own);
        return true;
    };
    if (const Connection* c = node.inputOf(plug.key())) {
        PlugReading fromSource;
        readInto(*c->source, c->sourcePlug, fromSource, depth + 1);
        if (preferOwn(fromSource)) return out.found;
        out = std::move(fromSource);
        return out.found;
    }
    Slot slot = slotOf(plug);
    if (slot.component >= 0) {
        if (const Connection* c = node.inputOf(slot.path.key())) {
            PlugReading whole;
            readInto(*c->source, c->sourcePlug, whole, depth + 1);
            if (preferOwn(whole)) return out.found;
            out = std::move(whole);
            double value = static_cast<size_t>(slot.component) < out.numbers.size() ? out.numbers[slot.component] : 0.0;
            out.numbers.assign(1, value);
            return out.found;
        }
    }
    return readStored(node, plug, out);
}

PlugReading Scene::read(const Node& node, const PlugPath& plug) const {
    PlugReading out;
    readInto(node, plug, out, 0);
    // A numeric compound whose children are fed one by one.
    const AttrSpec* attr = plug.attr();
    if (attr && attr->tuple && out.numbers.size() == attr->tuple && !node.inputOf(plug.key())) {
        for (const AttrSpec* child : attr->children) {
            if (child->childIndex >= out.numbers.size()) continue;
            PlugPath childPlug = plug.child(child);
            if (!node.inputOf(childPlug.key())) continue;
            PlugReading part;
            readInto(node, childPlug, part, 0);
            if (!part.numbers.empty()) out.numbers[child->childIndex] = part.numbers[0];
        }
    }
    return out;
}

size_t Scene::readNumbers(const Node& node, const PlugPath& plug, double* out, size_t count) const {
    PlugReading r = read(node, plug);
    size_t n = r.numbers.size();
    if (n == 0) n = defaultNumbers(plug.attr(), out, count);
    else std::copy_n(r.numbers.begin(), std::min(n, count), out);
    return n;
}

double Scene::readDouble(const Node& node, std::string_view attr, double fallback) const {
    PlugPath plug;
    if (!resolvePlug(node, attr, plug)) return fallback;
    double v = fallback;
    return readNumbers(node, plug, &v, 1) ? v : fallback;
}

bool Scene::readString(const Node& node, const PlugPath& plug, std::string& out) const {
    PlugReading r = read(node, plug);
    if (r.data) {
        if (const auto* s = std::get_if<scenefile::StringValue>(r.data)) {
            out = s->text;
            return true;
        }
    }
    return false;
}

// ------------------------------------------------------------------ Scene: connections

PlugRef Scene::sourceOf(const Node& node, const PlugPath& plug) const {
    PlugPath p = plug;
    while (!p.empty()) {
        if (const Connection* c = node.inputOf(p.key())) return PlugRef{c->source, c->sourcePlug};
        p.steps.pop_back();
    }
    return PlugRef{};
}

std::vector<const Connection*> Scene::connectionsOf(const Node& node, const PlugPath* plug, bool asSource,
                                                    bool asDestination) const {
    std::vector<const Connection*> result;
    for (uint32_t id : node.connections_) {
        const Connection& c = connections_[id];
        if (!c.live) continue;
        bool match = false;
        if (asSource && c.source == &node && (!plug || c.sourcePlug == *plug)) match = true;
        if (asDestination && c.destination == &node && (!plug || c.destinationPlug == *plug)) match = true;
        if (match) result.push_back(&c);
    }
    return result;
}

int64_t Scene::nextAvailable(const Node& node, const PlugPath& multi) const {
    std::vector<int64_t> used = node.logicalIndices(multi);
    return used.empty() ? 0 : used.back() + 1;
}

// ------------------------------------------------------------------ Scene: evaluators, facts

void Scene::registerEvaluator(const std::string& typeName, PlugEvaluator evaluator) {
    evaluators_[typeName] = std::move(evaluator);
}

const PlugEvaluator* Scene::evaluatorFor(const NodeType& type) const {
    if (evaluators_.empty()) return nullptr;
    for (const NodeType* t = &type; t; t = t->parent()) {
        auto it = evaluators_.find(t->name());
        if (it != evaluators_.end()) return &it->second;
    }
    return nullptr;
}

char Scene::upAxis() const {
    // Maya keeps the up axis in the user's preferences; a scene made Z-up
    // carries a script node that switches it on load.
    Node* script = findNode("upAxisScriptNode");
    if (!script) return 'y';
    PlugPath before;
    std::string text;
    if (!resolvePlug(*script, "b", before) || !readString(*script, before, text)) return 'y';
    return upAxisFromScript(text);
}

void Scene::warn(std::string file, uint32_t line, std::string message) {
    if (warnings_.size() >= limits().maxWarnings) {
        ++warningsNotKept_;
        return;
    }
    // A message quotes the file, and a hostile file's names can be megabytes long.
    constexpr size_t kMaxMessage = 1024;
    if (message.size() > kMaxMessage) {
        const size_t full = message.size();
        message.resize(kMaxMessage);
        message += "... (" + std::to_string(full) + " bytes)";
    }
    warnings_.push_back(SceneWarning{std::move(file), line, std::move(message)});
}

}  // namespace mayahost
