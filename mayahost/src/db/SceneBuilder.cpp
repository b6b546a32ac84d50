#include "db/SceneBuilder.h"
#include "base/EvalBudget.h"
#include "base/Limits.h"
#include "base/Utf8.h"
#include "db/ReferencePaths.h"
#include "file/MaReader.h"
#include "file/MbReader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <limits>

namespace mayahost {

namespace {

constexpr double kPi = 3.14159265358979323846;


DenseArray::Storage storageFor(const AttrSpec* attr, const scenefile::Numbers& numbers) {
    const AttrSpec* leaf = attr && attr->tuple && !attr->children.empty() ? attr->children[0] : attr;
    if (leaf) {
        switch (leaf->type) {
        case AttrType::Float: return DenseArray::Storage::Float;
        case AttrType::Bool:
        case AttrType::Int:
        case AttrType::Enum: return DenseArray::Storage::Int;
        case AttrType::Double:
        case AttrType::Distance:
        case AttrType::Angle:
        case AttrType::Time: return DenseArray::Storage::Double;
        default: break;
        }
    }
    if (numbers.kind == scenefile::NumberKind::Float) return DenseArray::Storage::Float;
    if (numbers.kind == scenefile::NumberKind::Double) return DenseArray::Storage::Double;
    for (double v : numbers.values)
        if (v != std::floor(v) || v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
            return DenseArray::Storage::Double;
    return DenseArray::Storage::Int;
}

void resizeDense(DenseArray& a, size_t count) {
    size_t n = count * a.components;
    switch (a.storage) {
    case DenseArray::Storage::Float: a.f.resize(n, 0.0f); break;
    case DenseArray::Storage::Double: a.d.resize(n, 0.0); break;
    case DenseArray::Storage::Int: a.i.resize(n, 0); break;
    }
    a.present.resize(count, 0);
}

void widenToDouble(DenseArray& a) {
    if (a.storage == DenseArray::Storage::Double) return;
    std::vector<double> d;
    if (a.storage == DenseArray::Storage::Int) d.assign(a.i.begin(), a.i.end());
    else d.assign(a.f.begin(), a.f.end());
    a.d = std::move(d);
    a.i.clear();
    a.i.shrink_to_fit();
    a.f.clear();
    a.f.shrink_to_fit();
    a.storage = DenseArray::Storage::Double;
}

// Appends the faces of `more` to `into`, shifting every offset.
void appendPolyFaces(scenefile::PolyFaces& into, const scenefile::PolyFaces& more) {
    uint32_t edgeBase = static_cast<uint32_t>(into.edges.size());
    uint32_t loopBase = static_cast<uint32_t>(into.loopCount());
    uint32_t uvBase = static_cast<uint32_t>(into.uvIds.size());
    uint32_t colorBase = static_cast<uint32_t>(into.colorIds.size());
    into.edges.insert(into.edges.end(), more.edges.begin(), more.edges.end());
    if (into.loopStart.empty()) into.loopStart.push_back(0);
    for (size_t k = 1; k < more.loopStart.size(); ++k) into.loopStart.push_back(more.loopStart[k] + edgeBase);
    if (into.faceLoopStart.empty()) into.faceLoopStart.push_back(0);
    for (size_t k = 1; k < more.faceLoopStart.size(); ++k) into.faceLoopStart.push_back(more.faceLoopStart[k] + loopBase);
    for (auto ids : more.uvLoops) {
        ids.loop += loopBase;
        ids.start += uvBase;
        into.uvLoops.push_back(ids);
    }
    into.uvIds.insert(into.uvIds.end(), more.uvIds.begin(), more.uvIds.end());
    for (auto ids : more.colorLoops) {
        ids.loop += loopBase;
        ids.start += colorBase;
        into.colorLoops.push_back(ids);
    }
    into.colorIds.insert(into.colorIds.end(), more.colorIds.begin(), more.colorIds.end());
}

// Appends to faces stored earlier. While loading, the builder is the only
// holder of the stored value, so it grows in place instead of being copied
// for every chunk.
void appendInPlace(StoredValue& stored, const scenefile::PolyFaces& have, const scenefile::PolyFaces& more) {
    if (stored.data.use_count() == 1) {
        appendPolyFaces(const_cast<scenefile::PolyFaces&>(have), more);
        return;
    }
    scenefile::PolyFaces merged = have;
    appendPolyFaces(merged, more);
    stored.data = std::make_shared<scenefile::Value>(std::move(merged));
}

}  // namespace

double centimetresPerLinearUnit(std::string_view unit) {
    if (unit == "millimeter" || unit == "mm") return 0.1;
    if (unit == "centimeter" || unit == "cm") return 1.0;
    if (unit == "meter" || unit == "m") return 100.0;
    if (unit == "kilometer" || unit == "km") return 100000.0;
    if (unit == "inch" || unit == "in") return 2.54;
    if (unit == "foot" || unit == "ft") return 30.48;
    if (unit == "yard" || unit == "yd") return 91.44;
    if (unit == "mile" || unit == "mi") return 160934.4;
    return 0.0;
}

SceneBuilder::SceneBuilder(Scene& scene, std::string fileName) : scene_(scene), file_(std::move(fileName)) {
    scene_.fileName_ = file_;
    linearToCm_ = centimetresPerLinearUnit(scene_.linearUnit_);
    if (linearToCm_ == 0.0) linearToCm_ = 1.0;
    angleToRad_ = scene_.angleUnit_ == "radian" || scene_.angleUnit_ == "rad" ? 1.0 : kPi / 180.0;
    std::error_code error;
    openFiles_.push_back(std::filesystem::weakly_canonical(file_, error).string());
}

SceneBuilder::SceneBuilder(Scene& scene, std::string fileName, std::string nameSpace, std::vector<std::string> openFiles)
    : scene_(scene), file_(std::move(fileName)), namespace_(std::move(nameSpace)), openFiles_(std::move(openFiles)) {}

std::string SceneBuilder::qualified(std::string_view name) const {
    if (namespace_.empty() || name.empty()) return std::string(name);
    std::string out;
    size_t begin = 0;
    while (begin <= name.size()) {
        size_t end = name.find('|', begin);
        if (end == std::string_view::npos) end = name.size();
        const std::string_view part = name.substr(begin, end - begin);
        if (!part.empty()) out += part.front() == ':' ? std::string(part.substr(1)) : namespace_ + std::string(part);
        if (end < name.size()) out += '|';
        begin = end + 1;
    }
    return out;
}

void SceneBuilder::warn(const scenefile::FileLoc& loc, std::string message) {
    scene_.warn(std::string(loc.file.empty() ? std::string_view(file_) : loc.file), loc.line, std::move(message));
}

void SceneBuilder::warning(const scenefile::FileLoc& loc, std::string_view message) {
    warn(loc, std::string(message));
}

// ------------------------------------------------------------------ header statements

void SceneBuilder::requiresPlugin(const scenefile::Requires&, const scenefile::FileLoc&) {}

void SceneBuilder::currentUnit(const scenefile::CurrentUnit& cmd, const scenefile::FileLoc& loc) {
    if (!cmd.linear.empty()) {
        double f = centimetresPerLinearUnit(cmd.linear);
        if (f == 0.0) {
            warn(loc, "unknown linear unit \"" + std::string(cmd.linear) + "\" ignored");
        } else {
            linearToCm_ = f;
            if (namespace_.empty()) scene_.linearUnit_ = std::string(cmd.linear);
        }
    }
    if (!cmd.angle.empty()) {
        if (cmd.angle == "degree" || cmd.angle == "deg") angleToRad_ = kPi / 180.0;
        else if (cmd.angle == "radian" || cmd.angle == "rad") angleToRad_ = 1.0;
        else if (cmd.angle == "angMinute" || cmd.angle == "min") angleToRad_ = kPi / 180.0 / 60.0;
        else if (cmd.angle == "angSecond" || cmd.angle == "sec") angleToRad_ = kPi / 180.0 / 3600.0;
        else {
            warn(loc, "unknown angle unit \"" + std::string(cmd.angle) + "\" ignored");
            return;
        }
        if (namespace_.empty()) scene_.angleUnit_ = std::string(cmd.angle);
    }
    if (!cmd.time.empty() && namespace_.empty()) scene_.timeUnit_ = std::string(cmd.time);
}

void SceneBuilder::fileInfo(std::string_view key, std::string_view value, const scenefile::FileLoc&) {
    if (namespace_.empty()) scene_.fileInfo_.emplace_back(std::string(key), std::string(value));
}

void SceneBuilder::file(const scenefile::FileReference& cmd, const scenefile::FileLoc& loc) {
    // Only the reference itself (-r) names a scene to load; the header form
    // (-rdi) repeats it.
    if (!cmd.reference) return;
    scene_.references_.push_back(SceneReference{std::string(cmd.path), namespace_ + std::string(cmd.nameSpace),
                                                qualified(cmd.referenceNode)});
    loadReference(cmd, loc);
}

void SceneBuilder::loadReference(const scenefile::FileReference& cmd, const scenefile::FileLoc& loc) {
    namespace fs = std::filesystem;
    const std::string nameSpace = namespace_ + (cmd.nameSpace.empty() ? "" : std::string(cmd.nameSpace) + ":");
    const std::string shown = "\"" + std::string(cmd.path) + "\" (namespace \"" + nameSpace + "\")";
    std::string found;
    std::string tried;
    for (const std::string& candidate : referenceCandidates(cmd.path, file_)) {
        std::error_code error;
        if (fs::is_regular_file(utf8Path(candidate), error)) {
            found = candidate;
            break;
        }
        tried += (tried.empty() ? "" : ", ") + candidate;
    }
    if (found.empty()) {
        warn(loc, "referenced file not found: " + shown + "; tried " + tried);
        return;
    }
    std::error_code error;
    // Files of the system that call themselves regular (/proc) report no size or an absurd one.
    const uintmax_t bytes = fs::file_size(utf8Path(found), error);
    if (error || bytes == 0 || bytes > limits().maxReferenceBytes) {
        warn(loc, "referenced file " + shown + " not loaded: its size (" + (error ? std::string("unknown") : std::to_string(bytes)) +
                      " bytes) is not that of a scene");
        return;
    }
    scene_.cached<EvalBudget>().addFileBytes(bytes);
    const std::string canonical = fs::weakly_canonical(found, error).string();
    if (std::find(openFiles_.begin(), openFiles_.end(), canonical) != openFiles_.end()) {
        warn(loc, "reference cycle: " + shown + " is already being loaded; not loaded again");
        return;
    }
    if (int(openFiles_.size()) > limits().maxReferenceDepth) {
        warn(loc, "reference " + shown + " lies deeper than " + std::to_string(limits().maxReferenceDepth) +
                      " references; not loaded");
        return;
    }
    std::vector<std::string> open = openFiles_;
    open.push_back(canonical);
    SceneBuilder nested(scene_, found, nameSpace, std::move(open));
    nested.linearToCm_ = linearToCm_;
    nested.angleToRad_ = angleToRad_;
    const scenefile::ReadResult result = scenefile::readSceneFile(found, nested);
    if (!result.ok()) warn(loc, "referenced file " + shown + " could not be read completely: " + result.message);
}

void SceneBuilder::applyReferenceEdits(const scenefile::RawData& edits, const scenefile::FileLoc& loc) {
    // "owner", then groups: "reference node" count, and count edits, each a
    // kind code and its strings. Only setAttr edits (kind 2: node, attribute,
    // value text) are known; at an edit of another kind the list stops, since
    // its length is not known.
    const auto& t = edits.tokens;
    const auto& quoted = edits.quoted;
    std::string statements;
    bool stopped = false;
    size_t i = 1;
    while (!stopped && i + 1 < t.size() && quoted[i] && !quoted[i + 1]) {
        int64_t count = 0;
        std::from_chars(t[i + 1].data(), t[i + 1].data() + t[i + 1].size(), count);
        i += 2;
        for (int64_t k = 0; k < count && !stopped; ++k) {
            if (i + 3 < t.size() && !quoted[i] && t[i] == "2" && quoted[i + 1] && quoted[i + 2] && quoted[i + 3]) {
                statements += "setAttr \"" + t[i + 1] + "." + t[i + 2] + "\"" + t[i + 3] + ";\n";
                i += 4;
            } else {
                stopped = true;
            }
        }
    }
    if (stopped) warn(loc, "reference edits of kinds other than setAttr are not applied, nor those after them");
    if (statements.empty()) return;
    scenefile::ReadResult result = scenefile::readMaText(statements, file_, *this);
    if (!result.ok()) warn(loc, "reference edits could not be applied: " + result.message);
}

// ------------------------------------------------------------------ nodes

Node* SceneBuilder::lookup(std::string_view name, const scenefile::FileLoc& loc, const char* what) {
    Node* node = find(name);
    if (!node) warn(loc, std::string(what) + ": no node named \"" + std::string(name) + "\"");
    return node;
}

bool SceneBuilder::nameTaken(const std::string& name, Node* parent) const {
    auto it = scene_.byName_.find(name);
    if (it == scene_.byName_.end()) return false;
    for (Node* other : it->second) {
        // DAG nodes may share a name under different parents.
        if (!parent || !other->isDag()) return true;
        if (std::find(other->parents().begin(), other->parents().end(), parent) != other->parents().end()) return true;
        if (other->parents().empty()) return true;
    }
    return false;
}

std::string SceneBuilder::uniqueName(std::string_view base, Node* parent) const {
    std::string name(base);
    if (!nameTaken(name, parent)) return name;
    std::string stem(base);
    while (!stem.empty() && stem.back() >= '0' && stem.back() <= '9') stem.pop_back();
    for (int k = 1;; ++k) {
        name = stem + std::to_string(k);
        if (!nameTaken(name, parent)) return name;
    }
}

bool SceneBuilder::nameFits(std::string_view name, std::string_view command, const scenefile::FileLoc& loc) {
    if (name.size() <= limits().maxNameBytes) return true;
    warn(loc, std::string(command) + ": a name of " + std::to_string(name.size()) + " bytes, more than the " +
                  std::to_string(limits().maxNameBytes) + " allowed (maxNameBytes); statement skipped");
    return false;
}

Node* SceneBuilder::create(std::string_view type, std::string_view name, Node* parent) {
    bool dag = parent != nullptr;
    const NodeType* t = scene_.typeFor(type, dag);
    if (t->isDag() && !parent) parent = scene_.world_;
    std::string base = name.empty() ? std::string(type) + "1" : std::string(name);
    Node* node = scene_.createNode(t, uniqueName(base, parent), parent);
    return node;
}

void SceneBuilder::createNode(const scenefile::CreateNode& cmd, const scenefile::FileLoc& loc) {
    selectionMissing_ = false;
    if (cmd.type.empty()) {
        warn(loc, "createNode without a node type");
        current_ = nullptr;
        selectionMissing_ = true;
        return;
    }
    // A referenced file's shared nodes (its default cameras) are the scene's
    // own: Maya does not load them, nor what the file sets on them.
    if (cmd.shared && !namespace_.empty()) {
        current_ = nullptr;
        selectionMissing_ = true;
        return;
    }
    if (!nameFits(cmd.name, "createNode", loc) || !nameFits(cmd.type, "createNode", loc)) {
        current_ = nullptr;
        selectionMissing_ = true;
        return;
    }
    Node* parent = nullptr;
    if (!cmd.parent.empty()) {
        parent = find(cmd.parent);
        if (!parent) warn(loc, "createNode: parent \"" + std::string(cmd.parent) + "\" not found; node placed under the world");
    }
    if (!cmd.name.empty()) {
        Node* existing = find(cmd.name);
        // -s reuses a node of that name (Maya's defaults); the few default
        // nodes that files create without -s are reused too.
        bool reusable = existing && existing->typeName() == cmd.type &&
                        (cmd.shared || existing->serial() < scene_.defaultCount_);
        if (reusable) {
            if (parent && existing->isDag() &&
                std::find(existing->parents().begin(), existing->parents().end(), parent) == existing->parents().end()) {
                for (Node* p : std::vector<Node*>(existing->parents())) scene_.removeDagChild(p, existing);
                scene_.addDagChild(parent, existing);
            }
            current_ = existing;
            return;
        }
    }
    if (!TypeRegistry::builtin().find(cmd.type) && scene_.unknownTypesReported_.insert(std::string(cmd.type)).second)
        warn(loc, "unknown node type \"" + std::string(cmd.type) + "\": kept as a generic node");
    current_ = create(cmd.type, qualified(cmd.name), parent);
}

void SceneBuilder::rename(const scenefile::Rename& cmd, const scenefile::FileLoc& loc) {
    Node* node = cmd.oldName.empty() ? current_ : lookup(cmd.oldName, loc, "rename");
    if (!node) {
        if (!selectionMissing_ && cmd.oldName.empty()) warn(loc, "rename: no current node");
        return;
    }
    if (!cmd.uuid.empty()) node->uuid_ = std::string(cmd.uuid);
    if (!cmd.newName.empty() && nameFits(cmd.newName, "rename", loc)) {
        if (node->locked_) {
            warn(loc, "rename: node \"" + node->name() + "\" is locked");
            return;
        }
        scene_.unindexName(node);
        node->name_ = qualified(cmd.newName);
        scene_.indexName(node);
    }
}

void SceneBuilder::select(const scenefile::Select& cmd, const scenefile::FileLoc& loc) {
    selectionMissing_ = false;
    if (cmd.names.empty()) {
        current_ = nullptr;
        return;
    }
    // A referenced file's settings of the scene's own nodes (render globals,
    // time) stay the opened scene's.
    if (!namespace_.empty() && cmd.names.back().front() == ':') {
        current_ = nullptr;
        selectionMissing_ = true;
        return;
    }
    Node* node = find(cmd.names.back());
    if (!node) {
        warn(loc, "select: no node named \"" + std::string(cmd.names.back()) + "\"; its attributes are skipped");
        selectionMissing_ = true;
    }
    current_ = node;
}

void SceneBuilder::lockNode(const scenefile::LockNode& cmd, const scenefile::FileLoc& loc) {
    bool lock = cmd.lock.value_or(true);
    if (cmd.nodes.empty()) {
        if (current_) current_->locked_ = lock;
        return;
    }
    for (std::string_view name : cmd.nodes)
        if (Node* node = lookup(name, loc, "lockNode")) node->locked_ = lock;
}

void SceneBuilder::dataStructure(const scenefile::DataStructure&, const scenefile::FileLoc&) {}
void SceneBuilder::relationship(const scenefile::Relationship&, const scenefile::FileLoc&) {}

void SceneBuilder::parent(const scenefile::Parent& cmd, const scenefile::FileLoc& loc) {
    Node* newParent = scene_.world_;
    if (!cmd.world && !cmd.parent.empty()) {
        newParent = lookup(cmd.parent, loc, "parent");
        if (!newParent) return;
    }
    for (std::string_view childName : cmd.children) {
        Node* child = lookup(childName, loc, "parent");
        if (!child) continue;
        if (child == newParent || child->isWorld()) {
            warn(loc, "parent: cannot parent \"" + std::string(childName) + "\" under itself");
            continue;
        }
        // Refuse cycles: the new parent must not lie below the child.
        std::vector<Node*> stack{newParent};
        bool cycle = false;
        for (size_t guard = 0; !stack.empty() && guard < 1000000 && !cycle; ++guard) {
            Node* n = stack.back();
            stack.pop_back();
            if (n == child) cycle = true;
            for (Node* p : n->parents()) stack.push_back(p);
        }
        if (cycle) {
            warn(loc, "parent: \"" + std::string(cmd.parent) + "\" lies below \"" + std::string(childName) + "\"");
            continue;
        }
        if (!cmd.add) {
            // Without -add the child moves: the path it was named by loses it.
            Node* from = nullptr;
            size_t bar = childName.rfind('|');
            if (bar != std::string_view::npos && bar > 0) from = find(childName.substr(0, bar));
            if (from) scene_.removeDagChild(from, child);
            else
                for (Node* p : std::vector<Node*>(child->parents())) scene_.removeDagChild(p, child);
        }
        scene_.addDagChild(newParent, child);
    }
}

// ------------------------------------------------------------------ attributes

double SceneBuilder::unitFactor(const AttrSpec* attr) const {
    if (!attr) return 1.0;
    const AttrSpec* leaf = attr->tuple && !attr->children.empty() ? attr->children[0] : attr;
    if (leaf->type == AttrType::Distance) return linearToCm_;
    if (leaf->type == AttrType::Angle) return angleToRad_;
    return 1.0;
}

bool SceneBuilder::resolveForSet(std::string_view text, Target& out, const scenefile::FileLoc& loc, bool create) {
    scenefile::AttrPath path;
    if (!scenefile::parseAttrPath(text, path) || path.segments.empty()) {
        warn(loc, "malformed attribute \"" + std::string(text) + "\"");
        return false;
    }
    Node* node = nullptr;
    if (path.node.empty()) {
        node = current_;
        if (!node) {
            if (!selectionMissing_) warn(loc, "attribute \"" + std::string(text) + "\" without a current node");
            return false;
        }
    } else {
        node = lookup(path.node, loc, "attribute");
        if (!node) return false;
    }
    out.node = node;
    out.plug.steps.clear();
    out.ranged = false;
    out.innerRange = false;
    const AttrSpec* previous = nullptr;
    for (size_t k = 0; k < path.segments.size(); ++k) {
        const scenefile::AttrSegment& seg = path.segments[k];
        bool lastSeg = k + 1 == path.segments.size();
        const AttrSpec* attrSpec = node->findChild(previous, seg.name);
        if (!attrSpec) {
            if (!create) {
                warn(loc, "no attribute \"" + std::string(seg.name) + "\" on \"" + node->name() + "\"");
                return false;
            }
            AttrSpec& added = node->addDynamic(std::string(seg.name), std::string(seg.name), previous);
            added.type = lastSeg ? AttrType::Generic : AttrType::Compound;
            attrSpec = &added;
        }
        if (k == 0 && attrSpec->parent) {
            std::vector<const AttrSpec*> chain;
            for (const AttrSpec* a = attrSpec->parent; a; a = a->parent) {
                if (a->multi) {
                    warn(loc, "attribute \"" + std::string(text) + "\" needs the index of \"" + a->longName + "\"");
                    return false;
                }
                chain.push_back(a);
            }
            for (auto it = chain.rbegin(); it != chain.rend(); ++it) out.plug.steps.push_back({*it, -1});
        }
        if (seg.hasIndex && !attrSpec->multi) {
            if (!attrSpec->dynamic) {
                warn(loc, "attribute \"" + attrSpec->longName + "\" of \"" + node->name() + "\" takes no index");
                return false;
            }
            const_cast<AttrSpec*>(attrSpec)->multi = true;   // our own dynamic attrSpec
        }
        if (seg.hasIndex && seg.first != seg.last && !lastSeg) out.innerRange = true;
        if (seg.first < 0 || seg.last >= limits().maxDenseIndex) {
            warn(loc, "index out of range in \"" + std::string(text) + "\"");
            return false;
        }
        out.plug.steps.push_back({attrSpec, seg.hasIndex ? seg.first : -1});
        if (lastSeg && seg.hasIndex) {
            out.ranged = true;
            out.first = seg.first;
            out.last = seg.last;
        }
        previous = attrSpec;
    }
    return true;
}

void SceneBuilder::setAttr(scenefile::SetAttr& cmd, const scenefile::FileLoc& loc) {
    if (std::holds_alternative<scenefile::NoValue>(cmd.value)) return;   // flags or a declared size only
    Target target;
    if (!resolveForSet(cmd.attribute, target, loc, true)) return;
    if (target.node->locked_ && !target.node->isWorld()) {
        // Maya refuses changes to locked nodes; files set attributes before locking.
    }
    if (target.innerRange) {
        // Values spread over the elements of an outer range (skin weights
        // ".wl[0:15].w" with their own sparse lists): kept as written, under
        // the attribute text, for whoever reads them.
        StoredValue v;
        v.data = std::make_shared<scenefile::Value>(std::move(cmd.value));
        target.node->values_[std::string(cmd.attribute[0] == '.' ? cmd.attribute.substr(1) : cmd.attribute)] =
            std::move(v);
        return;
    }
    target.declaredSize = cmd.size.value_or(0);
    if (auto* numbers = std::get_if<scenefile::Numbers>(&cmd.value)) {
        storeNumbers(target, *numbers, loc);
        return;
    }
    const AttrSpec* attr = target.plug.attr();
    if (const auto* edits = std::get_if<scenefile::RawData>(&cmd.value);
        edits && target.node->typeName() == "reference" && attr && attr->shortName == "ed")
        applyReferenceEdits(*edits, loc);
    storeData(target, std::move(cmd.value), loc);
}

void SceneBuilder::storeNumbers(Target& target, scenefile::Numbers& numbers, const scenefile::FileLoc& loc) {
    const AttrSpec* attr = target.plug.attr();
    if (numbers.values.empty()) return;
    if (target.ranged && (target.last > target.first || attr->multi)) {
        storeDense(target, numbers, loc);
        return;
    }
    Node& node = *target.node;
    const double factor = unitFactor(attr);
    // A child of a numeric compound writes one component of its parent's slot.
    if (attr->parent && attr->parent->tuple && attr->childIndex < attr->parent->tuple && attr->childIndex < 4 &&
        target.plug.steps.size() >= 2 && numbers.values.size() == 1) {
        PlugPath slotPath = target.plug.parentPath();
        std::string key = slotPath.key();
        auto it = node.values_.find(key);
        if (it == node.values_.end()) {
            StoredValue fresh;
            fresh.count = attr->parent->tuple;
            std::copy_n(attr->parent->defaults, fresh.count, fresh.num);
            it = node.values_.emplace(key, fresh).first;
        }
        if (it->second.data) it->second = StoredValue{};
        it->second.count = std::max<uint8_t>(it->second.count, attr->parent->tuple);
        it->second.num[attr->childIndex] = numbers.values[0] * factor;
        return;
    }
    std::string key = target.plug.key();
    if (numbers.values.size() <= 4) {
        StoredValue v;
        v.count = static_cast<uint8_t>(numbers.values.size());
        for (size_t k = 0; k < v.count; ++k) v.num[k] = numbers.values[k] * factor;
        node.values_[key] = v;
        return;
    }
    if (factor != 1.0)
        for (double& x : numbers.values) x *= factor;
    StoredValue v;
    v.data = std::make_shared<scenefile::Value>(std::move(numbers));
    node.values_[key] = std::move(v);
}

void SceneBuilder::storeDense(Target& target, const scenefile::Numbers& numbers, const scenefile::FileLoc& loc) {
    const AttrSpec* attr = target.plug.attr();
    const size_t count = static_cast<size_t>(target.last - target.first + 1);
    if (numbers.values.size() % count != 0) {
        warn(loc, "attribute \"" + target.plug.shortKey() + "\" has " + std::to_string(numbers.values.size()) +
                      " values for " + std::to_string(count) + " elements");
        return;
    }
    const size_t components = numbers.values.size() / count;
    PlugPath multi = target.plug;
    multi.steps.back().index = -1;
    std::string key = multi.key();
    Node& node = *target.node;
    auto it = node.arrays_.find(key);
    if (it == node.arrays_.end()) {
        DenseArray fresh;
        fresh.storage = storageFor(attr, numbers);
        fresh.components = static_cast<uint8_t>(std::min<size_t>(components, 255));
        it = node.arrays_.emplace(key, std::move(fresh)).first;
    }
    DenseArray& a = it->second;
    if (a.components != components) {
        warn(loc, "attribute \"" + target.plug.shortKey() + "\": " + std::to_string(components) +
                      " numbers per element where earlier statements gave " + std::to_string(a.components));
        return;
    }
    // Never let a far index allocate more than the data can justify.
    size_t needed = static_cast<size_t>(target.last) + 1;
    if (needed > a.count() && needed > 2 * (a.count() + count) + (size_t(1) << 20)) {
        warn(loc, "attribute \"" + target.plug.shortKey() + "\": index " + std::to_string(target.last) +
                      " is far beyond the data given; skipped");
        return;
    }
    if (a.storage == DenseArray::Storage::Int && !(attr && attr->isNumeric()) && !(attr && attr->tuple) &&
        storageFor(nullptr, numbers) == DenseArray::Storage::Double)
        widenToDouble(a);
    if (needed > a.count()) {
        if (needed > a.present.capacity()) {
            size_t cap = std::max(needed, a.present.capacity() + a.present.capacity() / 2);
            // The declared size saves regrowing an array written in chunks,
            // but is believed only up to a bounded multiple of the data given
            // so far, so a hostile size cannot make a huge allocation.
            size_t hint = static_cast<size_t>(std::max<int64_t>(target.declaredSize, 0));
            if (hint > cap) cap = std::min(hint, std::max(4 * needed, needed + 16 * count));
            a.present.reserve(cap);
            switch (a.storage) {
            case DenseArray::Storage::Float: a.f.reserve(cap * a.components); break;
            case DenseArray::Storage::Double: a.d.reserve(cap * a.components); break;
            case DenseArray::Storage::Int: a.i.reserve(cap * a.components); break;
            }
        }
        // Chunks written in order (the usual case) are appended below
        // without first filling the new room with zeros.
        if (static_cast<size_t>(target.first) != a.count()) resizeDense(a, needed);
    }
    const double factor = unitFactor(attr);
    const bool appending = static_cast<size_t>(target.first) == a.count();
    const size_t base = static_cast<size_t>(target.first) * components;
    const double* src = numbers.values.data();
    const size_t n = numbers.values.size();
    auto write = [&](auto& values, auto convert) {
        if (appending)
            for (size_t k = 0; k < n; ++k) values.push_back(convert(src[k]));
        else
            for (size_t k = 0; k < n; ++k) values[base + k] = convert(src[k]);
    };
    switch (a.storage) {
    case DenseArray::Storage::Float: write(a.f, [factor](double x) { return static_cast<float>(x * factor); }); break;
    case DenseArray::Storage::Double: write(a.d, [factor](double x) { return x * factor; }); break;
    case DenseArray::Storage::Int:
        // Ids beyond 32 bits (or not numbers) saturate: whoever reads them finds them out of range.
        write(a.i, [](double x) {
            return x >= INT32_MIN && x <= INT32_MAX ? static_cast<int32_t>(x) : x > 0 ? INT32_MAX : INT32_MIN;
        });
        break;
    }
    if (appending)
        a.present.insert(a.present.end(), count, uint8_t(1));
    else
        std::fill(a.present.begin() + target.first, a.present.begin() + target.last + 1, uint8_t(1));
}

void SceneBuilder::storeData(Target& target, scenefile::Value&& value, const scenefile::FileLoc& loc) {
    Node& node = *target.node;
    if (target.ranged && target.last > target.first) {
        PlugPath multi = target.plug;
        multi.steps.back().index = -1;
        std::string key = multi.key();
        auto* faces = std::get_if<scenefile::PolyFaces>(&value);
        auto it = node.values_.find(key);
        if (faces && it != node.values_.end() && it->second.data) {
            if (const auto* have = std::get_if<scenefile::PolyFaces>(it->second.data.get())) {
                if (static_cast<int64_t>(have->faceCount()) != target.first) {
                    warn(loc, "faces [" + std::to_string(target.first) + ":" + std::to_string(target.last) +
                                  "] do not follow the " + std::to_string(have->faceCount()) + " faces before them");
                    return;
                }
                appendInPlace(it->second, *have, *faces);
                return;
            }
        }
        if (faces && target.first != 0) {
            warn(loc, "faces start at " + std::to_string(target.first) + " without the faces before them");
            return;
        }
        StoredValue v;
        v.data = std::make_shared<scenefile::Value>(std::move(value));
        node.values_[key] = std::move(v);
        return;
    }
    if (target.ranged && std::holds_alternative<scenefile::PolyFaces>(value)) {
        // ".fc[0]": a single face is the start of the face list too.
        PlugPath multi = target.plug;
        multi.steps.back().index = -1;
        std::string key = multi.key();
        auto* faces = std::get_if<scenefile::PolyFaces>(&value);
        auto it = node.values_.find(key);
        if (it != node.values_.end() && it->second.data) {
            if (const auto* have = std::get_if<scenefile::PolyFaces>(it->second.data.get())) {
                if (static_cast<int64_t>(have->faceCount()) == target.first) {
                    appendInPlace(it->second, *have, *faces);
                    return;
                }
            }
        }
        if (target.first == 0) {
            StoredValue v;
            v.data = std::make_shared<scenefile::Value>(std::move(value));
            node.values_[key] = std::move(v);
            return;
        }
        warn(loc, "faces [" + std::to_string(target.first) + "] do not follow the faces before them");
        return;
    }
    StoredValue v;
    v.data = std::make_shared<scenefile::Value>(std::move(value));
    node.values_[target.plug.key()] = std::move(v);
}

void SceneBuilder::addAttr(const scenefile::AddAttr& cmd, const scenefile::FileLoc& loc) {
    Node* node = cmd.node.empty() ? current_ : lookup(cmd.node, loc, "addAttr");
    if (!node) {
        if (!selectionMissing_) warn(loc, "addAttr without a current node");
        return;
    }
    std::string_view longName = cmd.longName.empty() ? cmd.shortName : cmd.longName;
    if (longName.empty()) {
        warn(loc, "addAttr without a name");
        return;
    }
    const AttrSpec* parent = nullptr;
    if (!cmd.parent.empty()) {
        parent = node->findAttr(cmd.parent);
        if (!parent) {
            warn(loc, "addAttr: no parent attribute \"" + std::string(cmd.parent) + "\"");
            return;
        }
    }
    if (node->findChild(parent, longName)) return;   // already there (a default node's own)
    AttrSpec& attrSpec =
        node->addDynamic(std::string(longName), std::string(cmd.shortName.empty() ? longName : cmd.shortName), parent);
    attrSpec.multi = cmd.multi;
    std::string_view at = cmd.attributeType;
    if (at == "bool") attrSpec.type = AttrType::Bool;
    else if (at == "long" || at == "short" || at == "byte" || at == "char") attrSpec.type = AttrType::Int;
    else if (at == "enum") attrSpec.type = AttrType::Enum;
    else if (at == "float") attrSpec.type = AttrType::Float;
    else if (at == "double" || at == "doubleLinear" || at == "doubleAngle" || at == "time")
        attrSpec.type = at == "doubleLinear" ? AttrType::Distance : at == "doubleAngle" ? AttrType::Angle
                                                            : at == "time"       ? AttrType::Time
                                                                                 : AttrType::Double;
    else if (at == "message") attrSpec.type = AttrType::Message;
    else if (at == "compound" || at == "double3" || at == "float3" || at == "double2" || at == "float2" ||
             at == "long2" || at == "long3" || at == "short2" || at == "short3")
        attrSpec.type = AttrType::Compound;
    else if (at == "matrix" || at == "fltMatrix") attrSpec.type = AttrType::Matrix;
    else if (!cmd.dataTypes.empty()) attrSpec.type = cmd.dataTypes.front() == "string" ? AttrType::String : AttrType::Data;
    if (cmd.defaultValue) attrSpec.defaults[0] = *cmd.defaultValue;
    if (parent) {
        AttrSpec* p = const_cast<AttrSpec*>(parent);
        if (p->dynamic) {
            attrSpec.childIndex = static_cast<uint8_t>(p->children.size());
            p->children.push_back(&attrSpec);
            if (p->children.size() > 4 || !attrSpec.isNumeric()) {
                p->tuple = 0;
            } else {
                bool allNumeric = std::all_of(p->children.begin(), p->children.end(),
                                              [](const AttrSpec* c) { return c->isNumeric(); });
                p->tuple = allNumeric ? static_cast<uint8_t>(p->children.size()) : 0;
                if (p->tuple) p->defaults[attrSpec.childIndex] = attrSpec.defaults[0];
            }
        }
    }
}

// ------------------------------------------------------------------ connections

bool SceneBuilder::resolvePlugText(std::string_view text, Node*& node, PlugPath& plug, const scenefile::FileLoc& loc) {
    Target target;
    if (!resolveForSet(text, target, loc, true)) return false;
    if ((target.ranged && target.last != target.first) || target.innerRange) {
        warn(loc, "a connection cannot name an index range: \"" + std::string(text) + "\"");
        return false;
    }
    node = target.node;
    plug = std::move(target.plug);
    return true;
}

void SceneBuilder::connectAttr(const scenefile::ConnectAttr& cmd, const scenefile::FileLoc& loc) {
    Node* src = nullptr;
    Node* dst = nullptr;
    PlugPath srcPlug, dstPlug;
    if (!resolvePlugText(cmd.source, src, srcPlug, loc)) return;
    if (!resolvePlugText(cmd.destination, dst, dstPlug, loc)) return;
    if (cmd.nextAvailable && dstPlug.steps.back().index < 0) {
        if (!dstPlug.attr()->multi) const_cast<AttrSpec*>(dstPlug.attr())->multi = dstPlug.attr()->dynamic;
        if (dstPlug.attr()->multi) dstPlug.steps.back().index = scene_.nextAvailable(*dst, dstPlug);
    }
    std::string dstKey = dstPlug.key();
    if (const Connection* existing = dst->inputOf(dstKey)) {
        if (existing->source == src && existing->sourcePlug == srcPlug) return;
        if (!cmd.force) {
            warn(loc, "connectAttr: \"" + std::string(cmd.destination) + "\" already has an incoming connection");
            return;
        }
        scene_.connections_[dst->inputs_[dstKey]].live = false;
    }
    uint32_t id = static_cast<uint32_t>(scene_.connections_.size());
    scene_.connections_.push_back(Connection{src, std::move(srcPlug), dst, std::move(dstPlug), true});
    dst->inputs_[dstKey] = id;
    src->connections_.push_back(id);
    if (dst != src) dst->connections_.push_back(id);
}

void SceneBuilder::disconnectAttr(const scenefile::DisconnectAttr& cmd, const scenefile::FileLoc& loc) {
    Node* src = nullptr;
    Node* dst = nullptr;
    PlugPath srcPlug, dstPlug;
    if (!resolvePlugText(cmd.source, src, srcPlug, loc)) return;
    if (!resolvePlugText(cmd.destination, dst, dstPlug, loc)) return;
    for (uint32_t id : dst->connections_) {
        Connection& c = scene_.connections_[id];
        if (!c.live || c.source != src || c.destination != dst || !(c.sourcePlug == srcPlug)) continue;
        bool sameDst = c.destinationPlug == dstPlug;
        bool anyElement = cmd.nextAvailable && dstPlug.steps.back().index < 0 &&
                          c.destinationPlug.steps.size() == dstPlug.steps.size() &&
                          c.destinationPlug.parentPath() == dstPlug.parentPath() &&
                          c.destinationPlug.attr() == dstPlug.attr();
        if (sameDst || anyElement) {
            c.live = false;
            dst->inputs_.erase(c.destinationPlug.key());
            return;
        }
    }
    warn(loc, "disconnectAttr: \"" + std::string(cmd.source) + "\" is not connected to \"" +
                  std::string(cmd.destination) + "\"");
}

// ------------------------------------------------------------------ programmatic

bool SceneBuilder::set(Node& node, std::string_view attr, std::initializer_list<double> values) {
    scenefile::SetAttr cmd;
    std::string text = "." + std::string(attr);
    Node* saved = current_;
    current_ = &node;
    cmd.attribute = text;
    scenefile::Numbers numbers;
    numbers.values.assign(values.begin(), values.end());
    numbers.components = static_cast<uint8_t>(values.size() > 1 && values.size() <= 4 ? values.size() : 1);
    cmd.value = std::move(numbers);
    size_t before = scene_.warnings_.size();
    setAttr(cmd, scenefile::FileLoc{file_, 0, 0});
    current_ = saved;
    return scene_.warnings_.size() == before;
}

bool SceneBuilder::setString(Node& node, std::string_view attr, std::string_view text) {
    scenefile::SetAttr cmd;
    std::string path = "." + std::string(attr);
    Node* saved = current_;
    current_ = &node;
    cmd.attribute = path;
    cmd.typeName = "string";
    cmd.value = scenefile::StringValue{std::string(text)};
    size_t before = scene_.warnings_.size();
    setAttr(cmd, scenefile::FileLoc{file_, 0, 0});
    current_ = saved;
    return scene_.warnings_.size() == before;
}

bool SceneBuilder::connect(std::string_view source, std::string_view destination, bool nextAvailable) {
    scenefile::ConnectAttr cmd;
    cmd.nextAvailable = nextAvailable;
    cmd.source = source;
    cmd.destination = destination;
    size_t before = scene_.warnings_.size();
    connectAttr(cmd, scenefile::FileLoc{file_, 0, 0});
    return scene_.warnings_.size() == before;
}

}  // namespace mayahost
