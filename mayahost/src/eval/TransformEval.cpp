#include "eval/TransformEval.h"

#include "eval/AnimationEval.h"
#include "base/Limits.h"

#include <maya/MEulerRotation.h>
#include <maya/MQuaternion.h>

#include <algorithm>
#include <cmath>

namespace mayahost {

namespace {

struct Triple {
    const char* x;
    const char* y;
    const char* z;
};

// The value the file stores for one component plug, or its default.
double storedComponent(const Node& node, const PlugPath& component, double fallback) {
    const AttrSpec* attr = component.attr();
    const PlugPath tuple = component.parentPath();
    if (attr && !tuple.empty()) {
        if (const StoredValue* v = node.stored(tuple.key()); v && !v->data && attr->childIndex < v->count)
            return v->num[attr->childIndex];
        if (const AttrSpec* parent = tuple.attr(); parent && attr->childIndex < 4) return parent->defaults[attr->childIndex];
    }
    return fallback;
}

// Reads three component plugs one by one, so that a connection or an
// animation curve on one component is honoured. A component driven by a node
// that is not evaluated (a constraint, an expression ...) keeps the value the
// file stores, as the scene looked when it was saved.
void readTriple(const Scene& scene, const Node& node, Triple names, double out[3]) {
    const char* parts[3] = {names.x, names.y, names.z};
    for (int i = 0; i < 3; ++i) {
        PlugPath plug;
        if (!scene.resolvePlug(node, parts[i], plug)) continue;
        const PlugReading reading = scene.read(node, plug);
        double v = reading.numbers.empty() ? out[i] : reading.numbers.front();
        if (!reading.found && drivenByUnevaluatedNode(scene, node, plug)) v = storedComponent(node, plug, out[i]);
        if (std::isfinite(v)) out[i] = v;
    }
}

MTransformationMatrix::RotationOrder orderFromAttribute(double value) {
    const int ro = static_cast<int>(value);
    if (ro < 0 || ro > 5) return MTransformationMatrix::kXYZ;
    return static_cast<MTransformationMatrix::RotationOrder>(ro + 1);
}

}  // namespace

bool isTransformNode(const Node& node) { return node.hasFn(MFn::kTransform); }

MTransformationMatrix transformationOf(const Scene& scene, const Node& node) {
    MTransformationMatrix tm;
    if (!isTransformNode(node)) return tm;
    double v[3];

    v[0] = v[1] = v[2] = 1.0;
    readTriple(scene, node, {"sx", "sy", "sz"}, v);
    tm.setScale(v, MSpace::kTransform);
    v[0] = v[1] = v[2] = 0.0;
    readTriple(scene, node, {"shxy", "shxz", "shyz"}, v);
    tm.setShear(v, MSpace::kTransform);

    v[0] = v[1] = v[2] = 0.0;
    readTriple(scene, node, {"spx", "spy", "spz"}, v);
    tm.setScalePivot(MPoint(v[0], v[1], v[2]), MSpace::kTransform, false);
    v[0] = v[1] = v[2] = 0.0;
    readTriple(scene, node, {"sptx", "spty", "sptz"}, v);
    tm.setScalePivotTranslation(MVector(v), MSpace::kTransform);
    v[0] = v[1] = v[2] = 0.0;
    readTriple(scene, node, {"rpx", "rpy", "rpz"}, v);
    tm.setRotatePivot(MPoint(v[0], v[1], v[2]), MSpace::kTransform, false);
    v[0] = v[1] = v[2] = 0.0;
    readTriple(scene, node, {"rptx", "rpty", "rptz"}, v);
    tm.setRotatePivotTranslation(MVector(v), MSpace::kTransform);

    v[0] = v[1] = v[2] = 0.0;
    readTriple(scene, node, {"rax", "ray", "raz"}, v);
    tm.setRotationOrientation(MEulerRotation(v[0], v[1], v[2]).asQuaternion());
    v[0] = v[1] = v[2] = 0.0;
    readTriple(scene, node, {"rx", "ry", "rz"}, v);
    tm.setRotation(v, orderFromAttribute(scene.readDouble(node, "rotateOrder", 0.0)));

    v[0] = v[1] = v[2] = 0.0;
    readTriple(scene, node, {"tx", "ty", "tz"}, v);
    tm.setTranslation(MVector(v), MSpace::kTransform);

    if (node.hasFn(MFn::kJoint)) {
        v[0] = v[1] = v[2] = 0.0;
        readTriple(scene, node, {"jox", "joy", "joz"}, v);
        tm.setJointOrientation(MEulerRotation(v[0], v[1], v[2]).asQuaternion());
        v[0] = v[1] = v[2] = 1.0;
        readTriple(scene, node, {"isx", "isy", "isz"}, v);
        tm.setInverseParentScale(v, scene.readDouble(node, "segmentScaleCompensate", 1.0) != 0.0);
    }
    return tm;
}

MMatrix localMatrixOf(const Scene& scene, const Node& node) {
    if (!isTransformNode(node)) return MMatrix::identity;
    MMatrix local = transformationOf(scene, node).asMatrix();
    PlugPath opm;
    if (scene.resolvePlug(node, "offsetParentMatrix", opm)) {
        const PlugReading reading = scene.read(node, opm);
        if (reading.found && reading.numbers.size() == 16) {
            MMatrix offset;
            bool finite = true;
            for (unsigned i = 0; i < 16; ++i) {
                offset(i / 4, i % 4) = reading.numbers[i];
                finite = finite && std::isfinite(reading.numbers[i]);
            }
            if (finite) local *= offset;
        }
    }
    return local;
}

MMatrix worldMatrixOf(const Scene& scene, const std::vector<const Node*>& pathTopDown) {
    MMatrix world;
    for (auto it = pathTopDown.rbegin(); it != pathTopDown.rend(); ++it) {
        const Node* node = *it;
        if (!node || node->isWorld()) continue;
        world *= localMatrixOf(scene, *node);
        if (isTransformNode(*node) && scene.readDouble(*node, "inheritsTransform", 1.0) == 0.0) break;
    }
    return world;
}

std::optional<MMatrix> dagWorldMatrix(const Scene& scene, const Node& node, int64_t instance) {
    if (!node.isDag()) return std::nullopt;
    std::vector<const Node*> path{&node};
    const auto& parents = node.parents();
    const Node* up = parents.empty() ? nullptr : parents[instance >= 0 && size_t(instance) < parents.size() ? size_t(instance) : 0];
    for (const Node* n = up; n && !n->isWorld() && path.size() < limits().maxDagDepth;
         n = n->parents().empty() ? nullptr : n->parents().front())
        path.push_back(n);
    std::reverse(path.begin(), path.end());
    return worldMatrixOf(scene, path);
}

}  // namespace mayahost
