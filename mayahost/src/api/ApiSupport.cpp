#include "api/ApiSupport.h"

#include "base/Limits.h"
#include "eval/Evaluators.h"
#include "eval/TransformEval.h"

namespace mayahost {

namespace {

struct ApiState {
    std::unique_ptr<Scene> scene;
    std::string filePath;
};

ApiState& state() {
    static ApiState s;
    return s;
}

void collectPaths(const Node& node, std::vector<MObject>& suffix, std::vector<MDagPath>& out, int depth) {
    if (size_t(depth) > limits().maxDagDepth) return;
    const Scene& scene = node.scene();
    suffix.push_back(scene.handle(node));
    if (node.isWorld() || node.parents().empty()) {
        std::vector<MObject> chain(suffix.rbegin(), suffix.rend());
        if (!node.isWorld()) chain.insert(chain.begin(), scene.handle(*scene.world()));
        out.emplace_back(std::move(chain));
    } else {
        for (const Node* parent : node.parents()) collectPaths(*parent, suffix, out, depth + 1);
    }
    suffix.pop_back();
}

}  // namespace

Scene& currentScene() {
    ApiState& s = state();
    if (!s.scene) {
        s.scene = std::make_unique<Scene>();
        installSceneEvaluators(*s.scene);
    }
    return *s.scene;
}

void replaceCurrentScene(std::unique_ptr<Scene> scene) {
    ApiState& s = state();
    // As in Maya, objects of a scene that another open replaced are no longer
    // valid: the old scene and everything evaluated for it are released.
    s.scene = std::move(scene);
}

const std::string& currentFilePath() { return state().filePath; }
void setCurrentFilePath(std::string path) { state().filePath = std::move(path); }

MPlug makePlug(const Node& node, PlugPath path) {
    auto h = std::make_shared<PlugHandle>();
    h->node = std::const_pointer_cast<Node>(node.shared_from_this());
    h->path = std::move(path);
    return MPlug(std::shared_ptr<const PlugHandle>(std::move(h)));
}

const PlugHandle* plugOf(const MPlug& plug) { return plug.handle(); }

MFn::Type AttributeObject::apiType() const {
    switch (spec_->type) {
    case AttrType::Compound: return spec_->tuple ? MFn::kNumericAttribute : MFn::kCompoundAttribute;
    case AttrType::Message: return MFn::kMessageAttribute;
    case AttrType::Matrix: return MFn::kMatrixAttribute;
    case AttrType::Enum: return MFn::kEnumAttribute;
    case AttrType::Distance:
    case AttrType::Angle:
    case AttrType::Time: return MFn::kUnitAttribute;
    case AttrType::String:
    case AttrType::Data: return MFn::kTypedAttribute;
    case AttrType::Generic: return MFn::kGenericAttribute;
    default: return MFn::kNumericAttribute;
    }
}

bool AttributeObject::hasFn(MFn::Type type) const {
    return type == MFn::kAttribute || ApiObject::hasFn(type);
}

MObject attributeHandle(const AttrSpec* attrSpec) {
    if (!attrSpec) return MObject();
    return MObject(std::make_shared<AttributeObject>(attrSpec));
}

MMatrix localMatrix(const Scene& scene, const Node& node) { return localMatrixOf(scene, node); }

std::vector<MDagPath> allPathsTo(const Node& node) {
    std::vector<MDagPath> out;
    std::vector<MObject> suffix;
    collectPaths(node, suffix, out, 0);
    return out;
}

std::string uniqueNodeName(const Node& node) {
    if (node.scene().nodesNamed(node.name()) <= 1 || !node.isDag()) return node.name();
    std::vector<MDagPath> paths = allPathsTo(node);
    return paths.empty() ? node.name() : std::string(paths.front().fullPathName().asChar());
}

}  // namespace mayahost
