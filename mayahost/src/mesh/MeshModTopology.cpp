// Modifiers that change faces or edges: polyNormal, polySoftEdge, polyTriangulate.

#include "mesh/MeshModifiers.h"
#include "common/platform/StableMath.h"

#include "mesh/MeshNormals.h"
#include "mesh/MeshVec.h"
#include "mesh/Triangulate.h"
#include "mesh/MeshModUtil.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <numbers>
#include <unordered_map>

namespace mayahost {
namespace {

using meshmod::addWarning;
using meshmod::pairKey;

constexpr float kUnsetNormal = 1e19f;

// One use of an edge by a face, and whether the face walks it from the lower vertex id.
struct EdgeUse {
    int32_t face;
    bool forward;
};

// Every face's uses of every vertex pair its loops walk.
std::unordered_map<uint64_t, std::vector<EdgeUse>> edgeUses(const MeshData& mesh) {
    std::unordered_map<uint64_t, std::vector<EdgeUse>> uses;
    uses.reserve(mesh.numEdges());
    for (size_t f = 0; f < mesh.numFaces(); ++f) {
        for (uint32_t l = mesh.faceLoopStart[f]; l < mesh.faceLoopStart[f + 1]; ++l) {
            uint32_t b = mesh.loopStart[l], e = mesh.loopStart[l + 1];
            for (uint32_t c = b; c < e; ++c) {
                int32_t v0 = mesh.faceVertices[c], v1 = mesh.faceVertices[c + 1 == e ? b : c + 1];
                if (v0 == v1) continue;
                uses[pairKey(v0, v1)].push_back({int32_t(f), v0 < v1});
            }
        }
    }
    return uses;
}

// Neighbours of each face across shared edges, with whether the two walk
// the edge the same way (then one of them is turned against the other).
struct FaceLink {
    int32_t face;
    bool sameWay;
};

std::vector<std::vector<FaceLink>> faceLinks(const MeshData& mesh) {
    std::vector<std::vector<FaceLink>> links(mesh.numFaces());
    for (const auto& [key, uses] : edgeUses(mesh)) {
        (void)key;
        for (size_t i = 0; i < uses.size(); ++i)
            for (size_t j = i + 1; j < uses.size(); ++j) {
                if (uses[i].face == uses[j].face) continue;
                bool same = uses[i].forward == uses[j].forward;
                links[size_t(uses[i].face)].push_back({uses[j].face, same});
                links[size_t(uses[j].face)].push_back({uses[i].face, same});
            }
    }
    return links;
}

// Spreads orientation from the faces already decided (flip[f] >= 0) over
// their shells: each undecided neighbour is turned to agree.
void propagate(const std::vector<std::vector<FaceLink>>& links, std::vector<int8_t>& flip,
               std::deque<int32_t> queue) {
    while (!queue.empty()) {
        int32_t f = queue.front();
        queue.pop_front();
        for (const FaceLink& link : links[size_t(f)]) {
            if (flip[size_t(link.face)] >= 0) continue;
            flip[size_t(link.face)] = int8_t(flip[size_t(f)] ^ int8_t(link.sameWay));
            queue.push_back(link.face);
        }
    }
}

void flipFace(MeshData& mesh, size_t face, bool userNormals) {
    meshmod::reverseFace(mesh, face);
    if (!userNormals || mesh.faceVertexNormals.empty()) return;
    uint32_t b = mesh.loopStart[mesh.faceLoopStart[face]];
    uint32_t e = mesh.loopStart[mesh.faceLoopStart[face + 1]];
    for (uint32_t c = b; c < e; ++c) {
        float* n = &mesh.faceVertexNormals[3 * size_t(c)];
        if (n[0] > kUnsetNormal) continue;
        n[0] = -n[0], n[1] = -n[1], n[2] = -n[2];
    }
}

}  // namespace

// --- polyNormal -------------------------------------------------------------

MeshData applyPolyNormal(const MeshData& in, const PolyNormalParams& params, std::string* warning) {
    if (!meshmod::usableMesh(in, "polyNormal", warning)) return in;
    std::vector<int32_t> faces = meshmod::selectedFaces(in, params.inputComponents, "polyNormal", warning);
    MeshData out = in;
    const size_t nf = out.numFaces();
    const int mode = int(params.normalMode);
    if (mode < 0 || mode > 4) {
        addWarning(warning, "polyNormal: normalMode " + std::to_string(mode) + " is unknown, geometry passed through");
        return out;
    }
    if (params.normalMode == PolyNormalMode::ReverseAndCut)
        addWarning(warning, "polyNormal: reverseAndCut flips the faces without cutting them from their shell");

    std::vector<int8_t> flip(nf, -1);  // -1 undecided, else 1 when the face is turned
    if (params.normalMode == PolyNormalMode::Reverse || params.normalMode == PolyNormalMode::ReverseAndCut) {
        for (int32_t f : faces) flip[size_t(f)] = 1;
    } else if (params.normalMode == PolyNormalMode::Propagate ||
               params.normalMode == PolyNormalMode::ReverseAndPropagate) {
        const int8_t seed = params.normalMode == PolyNormalMode::ReverseAndPropagate ? 1 : 0;
        std::deque<int32_t> queue;
        for (int32_t f : faces) flip[size_t(f)] = seed, queue.push_back(f);
        propagate(faceLinks(out), flip, std::move(queue));
    } else {  // Conform: each touched shell to the direction most of its faces have
        auto links = faceLinks(out);
        std::vector<uint8_t> selected(nf, 0);
        for (int32_t f : faces) selected[size_t(f)] = 1;
        for (size_t start = 0; start < nf; ++start) {
            if (flip[start] >= 0) continue;
            // Walk the shell, deciding each face against the one it was reached from.
            std::vector<int32_t> shell{int32_t(start)};
            flip[start] = 0;
            for (size_t i = 0; i < shell.size(); ++i)
                for (const FaceLink& link : links[size_t(shell[i])]) {
                    if (flip[size_t(link.face)] >= 0) continue;
                    flip[size_t(link.face)] = int8_t(flip[size_t(shell[i])] ^ int8_t(link.sameWay));
                    shell.push_back(link.face);
                }
            size_t turned = 0;
            bool touched = false;
            for (int32_t f : shell) turned += size_t(flip[size_t(f)]), touched |= selected[size_t(f)] != 0;
            bool invert = touched && 2 * turned > shell.size();
            for (int32_t f : shell) flip[size_t(f)] = touched ? int8_t(flip[size_t(f)] ^ int8_t(invert)) : 0;
        }
    }
    for (size_t f = 0; f < nf; ++f)
        if (flip[f] == 1) flipFace(out, f, params.userNormalMode);
    return out;
}

// --- polySoftEdge -------------------------------------------------------------

MeshData applyPolySoftEdge(const MeshData& in, const PolySoftEdgeParams& params, std::string* warning) {
    if (!meshmod::usableMesh(in, "polySoftEdge", warning)) return in;
    if (!std::isfinite(params.angle)) {
        addWarning(warning, "polySoftEdge: angle is not a number, edges left as they were");
        return in;
    }
    std::vector<int32_t> edges = meshmod::selectedEdges(in, params.inputComponents, "polySoftEdge", warning);
    MeshData out = in;
    if (edges.empty()) return out;
    if (out.edgeSmooth.empty()) out.edgeSmooth.assign(out.numEdges(), 0);  // no flags means all hard
    std::vector<float> normals = computeFaceNormals(out);
    auto uses = edgeUses(out);
    auto normalOf = [&](int32_t f) { return MeshVec{normals[3 * f], normals[3 * f + 1], normals[3 * f + 2]}; };
    for (int32_t e : edges) {
        auto it = uses.find(pairKey(out.edges[2 * size_t(e)], out.edges[2 * size_t(e) + 1]));
        bool hard = false;
        if (it != uses.end()) {
            const std::vector<EdgeUse>& list = it->second;
            for (size_t i = 0; i < list.size() && !hard; ++i)
                for (size_t j = i + 1; j < list.size() && !hard; ++j) {
                    MeshVec a = normalOf(list[i].face), b = normalOf(list[j].face);
                    if (a.length() == 0 || b.length() == 0) continue;  // a face without area creases nothing
                    double degrees = stablemath::acos(std::clamp(a.dot(b), -1.0, 1.0)) * 180.0 / std::numbers::pi;
                    hard = degrees > params.angle;
                }
        }
        out.edgeSmooth[size_t(e)] = hard ? 0 : 1;
    }
    return out;
}

// --- polyTriangulate ---------------------------------------------------------

MeshData applyPolyTriangulate(const MeshData& in, const PolyTriangulateParams& params, std::string* warning) {
    if (!meshmod::usableMesh(in, "polyTriangulate", warning)) return in;
    std::vector<int32_t> faces = meshmod::selectedFaces(in, params.inputComponents, "polyTriangulate", warning);
    if (faces.empty()) return in;
    std::vector<uint8_t> selected(in.numFaces(), 0);
    for (int32_t f : faces) selected[size_t(f)] = 1;

    const size_t corners = in.numFaceVertices();
    const bool hasNormals = in.faceVertexNormals.size() == 3 * corners;
    MeshData out;
    out.points = in.points;
    out.edges = in.edges;
    out.edgeSmooth = in.edgeSmooth;
    if (out.edgeSmooth.empty()) out.edgeSmooth.assign(out.numEdges(), 0);  // no flags means all hard
    out.currentUVSet = in.currentUVSet;
    out.currentColorSet = in.currentColorSet;
    out.uvSets.resize(in.uvSets.size());
    for (size_t s = 0; s < in.uvSets.size(); ++s) {
        out.uvSets[s].name = in.uvSets[s].name;
        out.uvSets[s].u = in.uvSets[s].u;
        out.uvSets[s].v = in.uvSets[s].v;
    }
    out.colorSets.resize(in.colorSets.size());
    for (size_t s = 0; s < in.colorSets.size(); ++s) {
        out.colorSets[s].name = in.colorSets[s].name;
        out.colorSets[s].rgba = in.colorSets[s].rgba;
    }
    out.faceLoopStart.push_back(0);
    out.loopStart.push_back(0);

    std::unordered_map<uint64_t, int32_t> edgeIds;
    edgeIds.reserve(in.numEdges());
    for (size_t e = 0; e < in.numEdges(); ++e) edgeIds.emplace(pairKey(in.edges[2 * e], in.edges[2 * e + 1]), int32_t(e));

    // Appends corner `c` of the input to the loop being built.
    auto copyCorner = [&](uint32_t c) {
        out.faceVertices.push_back(in.faceVertices[c]);
        for (size_t s = 0; s < in.uvSets.size(); ++s)
            if (in.uvSets[s].faceVertexUV.size() == corners) out.uvSets[s].faceVertexUV.push_back(in.uvSets[s].faceVertexUV[c]);
        for (size_t s = 0; s < in.colorSets.size(); ++s)
            if (in.colorSets[s].faceVertexColor.size() == corners)
                out.colorSets[s].faceVertexColor.push_back(in.colorSets[s].faceVertexColor[c]);
        if (hasNormals)
            out.faceVertexNormals.insert(out.faceVertexNormals.end(), in.faceVertexNormals.begin() + 3 * c,
                                         in.faceVertexNormals.begin() + 3 * c + 3);
    };
    auto closeLoop = [&] { out.loopStart.push_back(uint32_t(out.faceVertices.size())); };
    auto closeFace = [&] { out.faceLoopStart.push_back(uint32_t(out.loopStart.size() - 1)); };

    TriangulateScratch scratch;
    std::vector<MeshVec> positions;
    std::vector<uint32_t> loopSizes, cornerIds, triangles;
    size_t unsplit = 0;
    for (size_t f = 0; f < in.numFaces(); ++f) {
        uint32_t lb = in.faceLoopStart[f], le = in.faceLoopStart[f + 1];
        bool isTriangle = le - lb == 1 && in.loopStart[lb + 1] - in.loopStart[lb] == 3;
        triangles.clear();
        if (selected[f] && !isTriangle) {
            positions.clear(), loopSizes.clear(), cornerIds.clear();
            for (uint32_t l = lb; l < le; ++l) {
                loopSizes.push_back(in.loopStart[l + 1] - in.loopStart[l]);
                for (uint32_t c = in.loopStart[l]; c < in.loopStart[l + 1]; ++c) {
                    positions.push_back(meshPoint(in.points.data(), in.faceVertices[c]));
                    cornerIds.push_back(c);
                }
            }
            triangulatePolygon(positions, loopSizes, triangles, scratch);
            if (triangles.empty()) ++unsplit;
        }
        if (triangles.empty()) {
            for (uint32_t l = lb; l < le; ++l) {
                for (uint32_t c = in.loopStart[l]; c < in.loopStart[l + 1]; ++c) copyCorner(c);
                closeLoop();
            }
            closeFace();
            continue;
        }
        for (size_t t = 0; t + 2 < triangles.size(); t += 3) {
            for (int k = 0; k < 3; ++k) copyCorner(cornerIds[triangles[t + k]]);
            closeLoop();
            closeFace();
            for (int k = 0; k < 3; ++k) {
                int32_t a = in.faceVertices[cornerIds[triangles[t + k]]];
                int32_t b = in.faceVertices[cornerIds[triangles[t + (k + 1) % 3]]];
                if (a == b) continue;
                if (edgeIds.emplace(pairKey(a, b), int32_t(out.edgeSmooth.size())).second) {
                    out.edges.push_back(a);
                    out.edges.push_back(b);
                    out.edgeSmooth.push_back(1);
                }
            }
        }
    }
    if (unsplit)
        addWarning(warning, "polyTriangulate: " + std::to_string(unsplit) + " faces without enough corners were kept whole");
    return out;
}

}  // namespace mayahost
