// Modifiers that change per-corner data: polyColorPerVertex, polyTweakUV.

#include "mesh/MeshModifiers.h"

#include "mesh/MeshModUtil.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace mayahost {
namespace {

using meshmod::addWarning;

bool finite3(const std::array<float, 3>& c) {
    return std::isfinite(c[0]) && std::isfinite(c[1]) && std::isfinite(c[2]);
}

}  // namespace

// --- polyColorPerVertex ------------------------------------------------------

MeshData applyPolyColorPerVertex(const MeshData& in, const PolyColorPerVertexParams& params, std::string* warning) {
    if (!meshmod::usableMesh(in, "polyColorPerVertex", warning)) return in;
    MeshData out = in;
    const size_t nv = out.numVertices();

    // The node's entry per vertex; entries beyond the mesh are dropped.
    std::vector<const VertexColor*> byVertex(nv, nullptr);
    size_t outside = 0, notFinite = 0;
    for (const VertexColor& vc : params.vertexColor) {
        if (vc.vertex < 0 || size_t(vc.vertex) >= nv) {
            ++outside;
            continue;
        }
        byVertex[size_t(vc.vertex)] = &vc;
    }

    auto setIt = std::find_if(out.colorSets.begin(), out.colorSets.end(),
                              [&](const MeshColorSet& s) { return s.name == params.colorSetName; });
    if (setIt == out.colorSets.end()) {
        MeshColorSet created;
        created.name = params.colorSetName;
        created.faceVertexColor.assign(out.numFaceVertices(), -1);
        out.colorSets.push_back(std::move(created));
        out.currentColorSet = int(out.colorSets.size() - 1);
        setIt = out.colorSets.end() - 1;
    }
    MeshColorSet& set = *setIt;
    if (set.faceVertexColor.size() != out.numFaceVertices()) set.faceVertexColor.assign(out.numFaceVertices(), -1);

    std::map<std::array<float, 4>, int32_t> newIds;
    std::map<const VertexFaceColor*, bool> used;
    for (size_t f = 0; f < out.numFaces(); ++f) {
        uint32_t b = out.loopStart[out.faceLoopStart[f]], e = out.loopStart[out.faceLoopStart[f + 1]];
        for (uint32_t c = b; c < e; ++c) {
            const VertexColor* vc = byVertex[size_t(out.faceVertices[c])];
            if (!vc) continue;
            const VertexFaceColor* fc = nullptr;
            for (const VertexFaceColor& candidate : vc->faceColors)
                if (candidate.face == int32_t(f)) fc = &candidate;
            if (fc) used[fc] = true;
            std::optional<std::array<float, 3>> rgb = fc && fc->rgb ? fc->rgb : vc->rgb;
            std::optional<float> alpha = fc && fc->alpha ? fc->alpha : vc->alpha;
            int32_t old = set.faceVertexColor[c];
            bool hadColor = old >= 0 && size_t(old) * 4 + 3 < set.rgba.size();
            if (!rgb && !alpha) continue;
            std::array<float, 4> rgba{0, 0, 0, 1};
            if (hadColor) std::copy_n(set.rgba.begin() + 4 * old, 4, rgba.begin());
            if (!rgb && !hadColor) continue;  // an alpha alone gives no colour to a bare corner
            if (rgb) std::copy(rgb->begin(), rgb->end(), rgba.begin());
            if (alpha) rgba[3] = *alpha;
            else if (!hadColor) rgba[3] = 1;
            if (!finite3({rgba[0], rgba[1], rgba[2]}) || !std::isfinite(rgba[3])) {
                ++notFinite;
                continue;
            }
            if (params.clamped)
                for (float& x : rgba) x = std::clamp(x, 0.0f, 1.0f);
            auto [it, added] = newIds.emplace(rgba, int32_t(set.rgba.size() / 4));
            if (added) set.rgba.insert(set.rgba.end(), rgba.begin(), rgba.end());
            set.faceVertexColor[c] = it->second;
        }
    }
    size_t strayFaces = 0;
    for (const VertexColor& vc : params.vertexColor)
        for (const VertexFaceColor& fc : vc.faceColors)
            if (!used.count(&fc) && vc.vertex >= 0 && size_t(vc.vertex) < nv) ++strayFaces;
    if (outside)
        addWarning(warning, "polyColorPerVertex: " + std::to_string(outside) + " colours for vertices beyond the mesh's " +
                                std::to_string(nv) + " were ignored");
    if (strayFaces)
        addWarning(warning, "polyColorPerVertex: " + std::to_string(strayFaces) +
                                " face colours name faces that do not hold their vertex and were ignored");
    if (notFinite)
        addWarning(warning, "polyColorPerVertex: " + std::to_string(notFinite) + " non-finite colours were ignored");
    return out;
}

// --- polyTweakUV -------------------------------------------------------------

MeshData applyPolyTweakUV(const MeshData& in, const PolyTweakUVParams& params, std::string* warning) {
    if (!meshmod::usableMesh(in, "polyTweakUV", warning)) return in;
    if (params.uvTweak.empty()) return in;
    int index = -1;
    if (params.uvSetName.empty()) {
        if (in.currentUVSet >= 0 && size_t(in.currentUVSet) < in.uvSets.size()) index = in.currentUVSet;
    } else {
        for (size_t s = 0; s < in.uvSets.size(); ++s)
            if (in.uvSets[s].name == params.uvSetName) index = int(s);
    }
    if (index < 0) {
        addWarning(warning, "polyTweakUV: the mesh has no uv set \"" + params.uvSetName + "\", uvs left unchanged");
        return in;
    }
    MeshData out = in;
    MeshUVSet& set = out.uvSets[size_t(index)];
    size_t outside = 0, notFinite = 0;
    for (const UVTweak& t : params.uvTweak) {
        if (t.index < 0 || size_t(t.index) >= set.u.size() || size_t(t.index) >= set.v.size()) {
            ++outside;
            continue;
        }
        if (!std::isfinite(t.u) || !std::isfinite(t.v)) {
            ++notFinite;
            continue;
        }
        set.u[size_t(t.index)] += t.u;
        set.v[size_t(t.index)] += t.v;
    }
    if (outside)
        addWarning(warning, "polyTweakUV: " + std::to_string(outside) + " tweaks name uvs beyond the set's " +
                                std::to_string(set.u.size()) + " and were ignored");
    if (notFinite) addWarning(warning, "polyTweakUV: " + std::to_string(notFinite) + " non-finite tweaks were ignored");
    return out;
}

MeshData applyPolyNormalPerVertex(const MeshData& in, const PolyNormalPerVertexParams& params, std::string* warning) {
    if (!meshmod::usableMesh(in, "polyNormalPerVertex", warning)) return in;
    if (params.vertexNormal.empty()) return in;
    std::vector<const VertexNormal*> byVertex(in.numVertices(), nullptr);
    size_t outside = 0;
    for (const VertexNormal& n : params.vertexNormal) {
        if (n.vertex < 0 || size_t(n.vertex) >= byVertex.size()) ++outside;
        else byVertex[size_t(n.vertex)] = &n;
    }
    MeshData out = in;
    if (out.faceVertexNormals.empty()) out.faceVertexNormals.assign(3 * out.numFaceVertices(), 1e20f);
    size_t notFinite = 0;
    for (size_t f = 0; f < out.numFaces(); ++f) {
        for (uint32_t fv = out.loopStart[out.faceLoopStart[f]]; fv < out.loopStart[out.faceLoopStart[f + 1]]; ++fv) {
            const VertexNormal* n = byVertex[size_t(out.faceVertices[fv])];
            if (!n) continue;
            const std::array<float, 3>* normal = n->normal ? &*n->normal : nullptr;
            for (const auto& [face, faceNormal] : n->faceNormals)
                if (size_t(face) == f) normal = &faceNormal;
            if (!normal) continue;
            if (!std::isfinite((*normal)[0]) || !std::isfinite((*normal)[1]) || !std::isfinite((*normal)[2])) {
                ++notFinite;
                continue;
            }
            for (int c = 0; c < 3; ++c) out.faceVertexNormals[3 * fv + size_t(c)] = (*normal)[size_t(c)];
        }
    }
    if (outside)
        addWarning(warning, "polyNormalPerVertex: " + std::to_string(outside) + " normals name vertices beyond the mesh's " +
                                std::to_string(in.numVertices()));
    if (notFinite) addWarning(warning, "polyNormalPerVertex: " + std::to_string(notFinite) + " normals not finite, ignored");
    return out;
}

}  // namespace mayahost
