#include "eval/HistoryNonLinear.h"

#include "eval/TransformEval.h"
#include "mesh/MeshModUtil.h"

#include <array>
#include <cstring>

namespace mayahost {
namespace {

using meshmod::addWarning;

// weightList (wl)[geometry].weights (w)[v] of a weightGeometryFilter.
std::vector<std::optional<float>> filterWeights(const AttributeReader& r, int64_t geometry, size_t vertices,
                                                std::string* warning) {
    std::vector<std::optional<float>> out;
    const std::string multi = indexed("wl", geometry) + ".w";
    size_t beyond = 0;
    for (int64_t v : r.indices(multi)) {
        if (v < 0 || size_t(v) >= vertices) {
            ++beyond;
            continue;
        }
        std::optional<double> w = r.number(indexed(multi, v));
        if (!w) continue;
        if (size_t(v) >= out.size()) out.resize(size_t(v) + 1);
        out[size_t(v)] = float(*w);
    }
    if (beyond) addWarning(warning, std::to_string(beyond) + " weights beyond the mesh's vertices ignored");
    return out;
}

// The handle's world matrix on `plug`: evaluated from the transform it is
// connected from, else the value the file stored.
std::optional<MMatrix> handleMatrix(const AttributeReader& r, const char* plug, const Node** handle) {
    if (PlugRef source = r.source(plug); source && source.node->isDag() && isTransformNode(*source.node)) {
        if (handle) *handle = source.node;
        return dagWorldMatrix(r.scene(), *source.node);
    }
    return r.matrix(plug);
}

// The world matrix of the shape (mesh, surface, curve) that output `geometry`
// of the deformer ends in: its output is followed through the history
// downstream (deformers, groupParts, modifiers) to the first shape.
std::optional<MMatrix> deformedShapeMatrix(const Scene& scene, const Node& deformer, int64_t geometry) {
    const Node* node = &deformer;
    std::string outputKey = "og[" + std::to_string(geometry) + "]";
    for (int step = 0; step < 64; ++step) {
        const Node* next = nullptr;
        for (const Connection* c : scene.connectionsOf(*node, nullptr, true, false)) {
            const std::string from = c->sourcePlug.shortKey();
            if (!outputKey.empty() && from != outputKey) continue;
            const std::string to = c->destinationPlug.shortKey();
            if (to == "i" || to == "cr" || to == "ig" || to == "ip" ||
                (to.rfind("ip[", 0) == 0 && to.find(".ig") != std::string::npos)) {
                next = c->destination;
                break;
            }
        }
        if (!next) return std::nullopt;
        if (next->hasFn(MFn::kMesh) || next->hasFn(MFn::kNurbsSurface) || next->hasFn(MFn::kNurbsCurve))
            return dagWorldMatrix(scene, *next);
        node = next;
        outputKey.clear();  // past the deformer, whatever output carries the geometry on
    }
    return std::nullopt;
}

// A value of the nonLinear: its own attribute (a dynamic attribute the file
// adds, stored or driven by the handle shape), else the handle shape's.
double value(const AttributeReader& deformer, const AttributeReader* shape, const char* plug, double fallback) {
    if (std::optional<double> v = deformer.number(plug)) return *v;
    if (shape)
        if (std::optional<double> v = shape->number(plug)) return *v;
    return fallback;
}

}  // namespace

ClusterParams readClusterParams(const AttributeReader& r, int64_t geometry, size_t vertices, std::string* warning) {
    ClusterParams p;
    p.weights = filterWeights(r, geometry, vertices, warning);
    const Node* handle = nullptr;
    if (std::optional<MMatrix> m = handleMatrix(r, "ma", &handle)) p.matrix = *m;
    if (std::optional<MMatrix> m = r.matrix("pm")) p.bindPreMatrix = *m;
    if (std::optional<MMatrix> m = r.matrix(indexed("gm", geometry))) p.geomMatrix = *m;
    p.relative = r.number("rel", 0) != 0;
    // The handle shape's weightedMatrix is an output Maya computes from the
    // handle's transform: the stand-in takes that transform's local matrix.
    if (handle) p.weightedMatrix = localMatrixOf(r.scene(), *handle);
    else if (std::optional<MMatrix> m = r.matrix("x.wt")) p.weightedMatrix = *m;
    p.envelope = r.number("en", 1);
    return p;
}

bool readNonLinearParams(const AttributeReader& r, int64_t geometry, size_t vertices, NonLinearParams& p,
                         std::string* warning) {
    static const std::array<std::pair<const char*, NonLinearKind>, 6> kKinds{{{"deformBend", NonLinearKind::Bend},
                                                                             {"deformFlare", NonLinearKind::Flare},
                                                                             {"deformSine", NonLinearKind::Sine},
                                                                             {"deformSquash", NonLinearKind::Squash},
                                                                             {"deformTwist", NonLinearKind::Twist},
                                                                             {"deformWave", NonLinearKind::Wave}}};
    PlugRef data = r.source("dd");
    if (!data) {
        addWarning(warning, "no handle shape feeds deformerData, geometry passed through");
        return false;
    }
    bool known = false;
    for (const auto& [type, kind] : kKinds)
        if (data.node->typeName() == type) p.kind = kind, known = true;
    if (!known) {
        addWarning(warning, "deformerData comes from a " + data.node->typeName() + ", not evaluated, geometry passed through");
        return false;
    }
    const AttributeReader shape(r.scene(), *data.node);
    auto get = [&](const char* plug, double fallback) { return value(r, &shape, plug, fallback); };
    p.lowBound = get("lb", -1);
    p.highBound = get("hb", 1);
    p.curvature = get("cur", 0);
    p.startFlareX = get("sfx", 1);
    p.startFlareZ = get("sfz", 1);
    p.endFlareX = get("efx", 1);
    p.endFlareZ = get("efz", 1);
    p.curve = get("crv", 0);
    p.amplitude = get("amp", 0);
    p.wavelength = get("wav", p.kind == NonLinearKind::Wave ? 1 : 2);
    p.offset = get("off", 0);
    p.dropoff = get("dr", 0);
    p.dropoffPosition = get("dp", 0);
    p.minRadius = get("mnr", 0);
    p.maxRadius = get("mxr", 1);
    p.factor = get("fac", 0);
    p.expand = get("exp", 1);
    p.maxExpandPos = get("mp", 0.5);
    p.startSmoothness = get("ss", 0);
    p.endSmoothness = get("es", 0);
    p.startAngle = get("sa", 0);
    p.endAngle = get("ea", 0);

    if (std::optional<MMatrix> m = handleMatrix(r, "ma", nullptr)) p.matrix = *m;
    if (std::optional<MMatrix> m = deformedShapeMatrix(r.scene(), r.node(), geometry)) p.geomMatrix = *m;
    p.envelope = r.number("en", 1);
    p.weights = filterWeights(r, geometry, vertices, warning);
    return true;
}

}  // namespace mayahost
