// polyCut: faces split along a plane, one side optionally deleted or pulled
// apart.

#include "common/platform/StableMath.h"
#include "mesh/MeshModCut.h"

#include "base/EvalBudget.h"
#include "mesh/MeshModUtil.h"
#include "mesh/MeshModifiers.h"
#include "mesh/MeshVec.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <unordered_map>

namespace mayahost {
namespace {

using meshmod::addWarning;
using meshmod::pairKey;
using meshmod::transformPoint;

// +Z turned about X, then Y, then Z (row vectors), as Maya turns its manipulators.
MeshVec turnedZ(const std::array<double, 3>& r) {
    MeshVec n{0, 0, 1};
    const double cx = stablemath::cos(r[0]), sx = stablemath::sin(r[0]);
    n = {n.x, n.y * cx - n.z * sx, n.y * sx + n.z * cx};
    const double cy = stablemath::cos(r[1]), sy = stablemath::sin(r[1]);
    n = {n.x * cy + n.z * sy, n.y, -n.x * sy + n.z * cy};
    const double cz = stablemath::cos(r[2]), sz = stablemath::sin(r[2]);
    return {n.x * cz - n.y * sz, n.x * sz + n.y * cz, n.z};
}

// A corner of a face after the crossing points are put in: an input corner,
// or a new vertex between the input corners `from` and `to`, at `t` from `from`.
struct Corner {
    int32_t vertex;
    int64_t source;  // input corner, -1 for a new vertex
    uint32_t from = 0, to = 0;
    double t = 0;
};

}  // namespace

MeshData applyPolyCut(const MeshData& in, const PolyCutParams& p, std::string* warning) {
    const char* node = "polyCut";
    if (!meshmod::usableMesh(in, node, warning)) return in;
    const std::vector<int32_t> faces = meshmod::selectedFaces(in, p.inputComponents, node, warning);
    if (faces.empty()) return in;
    const auto finite = [](const std::array<double, 3>& v) { return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]); };
    const MMatrix space = p.worldSpace ? p.inputMatrix : MMatrix();
    if (!finite(p.cutPlaneCenter) || !finite(p.cutPlaneRotate) || !finite(p.extractOffset) || !meshmod::isFiniteMatrix(space)) {
        addWarning(warning, "polyCut: plane, offset or input matrix not a number, geometry passed through");
        return in;
    }
    const MeshVec normal = turnedZ(p.cutPlaneRotate).normalized();
    const MeshVec centre{p.cutPlaneCenter[0], p.cutPlaneCenter[1], p.cutPlaneCenter[2]};

    // Signed distances in the plane's space; points within a millionth of
    // the mesh's reach lie on the plane.
    std::vector<MeshVec> placed(in.numVertices());
    std::vector<double> d(in.numVertices());
    double reach = 0;
    for (size_t v = 0; v < d.size(); ++v) {
        placed[v] = transformPoint(meshPoint(in.points.data(), int(v)), space);
        d[v] = (placed[v] - centre).dot(normal);
        reach = std::max(reach, std::fabs(d[v]));
    }
    const double eps = 1e-6 * std::max(reach, 1e-6);
    auto side = [&](int32_t v) { return d[size_t(v)] > eps ? 1 : d[size_t(v)] < -eps ? -1 : 0; };

    std::vector<uint8_t> selected(in.numFaces(), 0), crossing(in.numFaces(), 0);
    bool holes = false;
    std::unordered_map<uint64_t, uint8_t> crossedSides;  // sides of crossing faces
    for (int32_t f : faces) {
        selected[size_t(f)] = 1;
        const uint32_t l = in.faceLoopStart[size_t(f)];
        bool below = false, above = false;
        for (uint32_t c = in.loopStart[l]; c < in.loopStart[in.faceLoopStart[size_t(f) + 1]]; ++c)
            below |= side(in.faceVertices[c]) < 0, above |= side(in.faceVertices[c]) > 0;
        if (!below || !above) continue;
        if (in.faceLoopStart[size_t(f) + 1] - l != 1) {
            holes = true;
            continue;
        }
        crossing[size_t(f)] = 1;
        for (uint32_t c = in.loopStart[l]; c < in.loopStart[l + 1]; ++c)
            crossedSides[pairKey(in.faceVertices[c], in.faceVertices[c + 1 < in.loopStart[l + 1] ? c + 1 : in.loopStart[l]])] = 1;
    }
    if (holes) addWarning(warning, "polyCut: faces with holes are not split");

    // New vertices on the crossed edges, in edge order.
    MeshData out;
    out.points = in.points;
    out.edges = in.edges;
    out.edgeSmooth = in.edgeSmooth;
    if (out.edgeSmooth.size() != out.numEdges()) out.edgeSmooth.assign(out.numEdges(), 1);
    std::unordered_map<uint64_t, int32_t> cross;  // crossed edge -> its new vertex
    std::vector<std::array<int32_t, 3>> halves;  // new vertex, far end, split edge
    for (size_t e = 0; e < in.numEdges(); ++e) {
        const int32_t a = in.edges[2 * e], b = in.edges[2 * e + 1];
        if (side(a) * side(b) >= 0 || !crossedSides.count(pairKey(a, b))) continue;
        const double t = d[size_t(a)] / (d[size_t(a)] - d[size_t(b)]);
        const int32_t v = int32_t(out.numVertices());
        const MeshVec q = meshPoint(in.points.data(), a) * (1 - t) + meshPoint(in.points.data(), b) * t;
        out.points.insert(out.points.end(), {float(q.x), float(q.y), float(q.z)});
        placed.push_back(placed[size_t(a)] * (1 - t) + placed[size_t(b)] * t);
        d.push_back(0);
        cross.emplace(pairKey(a, b), v);
        out.edges[2 * e + 1] = v;
        halves.push_back({v, b, int32_t(e)});
    }
    // Nothing to split, and nothing to take away beyond the plane.
    if (cross.empty() && !p.deleteFaces && !p.extractFaces) return in;
    size_t crossed = 0;
    for (uint8_t c : crossing) crossed += c;
    if (std::string why = refuseFaces(uint64_t(in.numFaces()) + in.numFaceVertices() / 2 + crossed); !why.empty()) {
        addWarning(warning, std::string(node) + ": " + why + ", mesh left as it was");
        return in;
    }
    for (const auto& h : halves) {
        out.edges.insert(out.edges.end(), {h[0], h[1]});
        out.edgeSmooth.push_back(out.edgeSmooth[size_t(h[2])]);
    }

    // Every loop with the new vertices in place.
    auto withCrossings = [&](uint32_t l) {
        std::vector<Corner> corners;
        const uint32_t first = in.loopStart[l], end = in.loopStart[l + 1];
        for (uint32_t c = first; c < end; ++c) {
            const uint32_t n = c + 1 < end ? c + 1 : first;
            const int32_t a = in.faceVertices[c], b = in.faceVertices[n];
            corners.push_back({a, int64_t(c)});
            auto it = a == b ? cross.end() : cross.find(pairKey(a, b));
            if (it == cross.end()) continue;
            // The same point as the edge's, measured from this corner.
            corners.push_back({it->second, -1, c, n, d[size_t(a)] / (d[size_t(a)] - d[size_t(b)])});
        }
        return corners;
    };

    // Per output face: its corners, whether it was selected, and its side.
    struct Piece {
        std::vector<Corner> corners;
        uint8_t selected;
        int side;
    };
    std::vector<Piece> kept, appended;
    double work = 0;
    std::vector<std::vector<std::vector<Corner>>> holeLoops(in.numFaces());
    kept.reserve(in.numFaces());
    for (size_t f = 0; f < in.numFaces(); ++f) {
        const uint32_t l0 = in.faceLoopStart[f];
        std::vector<Corner> loop = withCrossings(l0);
        for (uint32_t l = l0 + 1; l < in.faceLoopStart[f + 1]; ++l) holeLoops[f].push_back(withCrossings(l));
        // A face with corners on both sides that is not split belongs to neither.
        int faceSide = 0;
        for (const Corner& c : loop)
            if (const int s = side(c.vertex); s != 0) faceSide = faceSide == 0 || faceSide == s ? s : 2;
        if (faceSide == 2) faceSide = 0;
        if (!crossing[f]) {
            kept.push_back({std::move(loop), selected[f], faceSide});
            continue;
        }
        // Where the sides change: the on-plane corner next to the part beyond.
        const size_t m = loop.size();
        std::vector<int> s(m);
        std::vector<size_t> nonzero;
        for (size_t i = 0; i < m; ++i)
            if ((s[i] = side(loop[i].vertex)) != 0) nonzero.push_back(i);
        std::vector<size_t> cuts;
        for (size_t k = 0; k < nonzero.size(); ++k) {
            const size_t i = nonzero[k], j = nonzero[(k + 1) % nonzero.size()];
            if (s[i] == s[j]) continue;
            cuts.push_back(s[i] < 0 ? (j + m - 1) % m : (i + 1) % m);
        }
        // Along the cut line, crossings pair up into the segments inside the face.
        MeshVec faceNormal;
        for (size_t i = 0; i < m; ++i) faceNormal += placed[size_t(loop[i].vertex)].cross(placed[size_t(loop[(i + 1) % m].vertex)]);
        const MeshVec along = normal.cross(faceNormal);
        std::stable_sort(cuts.begin(), cuts.end(), [&](size_t a, size_t b) {
            return placed[size_t(loop[a].vertex)].dot(along) < placed[size_t(loop[b].vertex)].dot(along);
        });
        // Each split walks its piece once: a face crossed back and forth many times is bounded.
        work += double(cuts.size() / 2) * double(m);
        if (work > 2e8) {
            addWarning(warning, "polyCut: the faces cross the plane too often to be split, geometry passed through");
            return in;
        }
        std::vector<std::vector<size_t>> pieces(1);
        std::vector<size_t> pieceOf(m, 0);  // a cut's corner is used by one split only
        for (size_t i = 0; i < m; ++i) pieces[0].push_back(i);
        for (size_t k = 0; k + 1 < cuts.size(); k += 2) {
            const size_t q = pieceOf[cuts[k]];
            if (pieceOf[cuts[k + 1]] != q) continue;
            std::vector<size_t>& piece = pieces[q];
            size_t a = size_t(std::find(piece.begin(), piece.end(), cuts[k]) - piece.begin());
            size_t b = size_t(std::find(piece.begin(), piece.end(), cuts[k + 1]) - piece.begin());
            if (a > b) std::swap(a, b);
            if (b - a < 2 || (a == 0 && b == piece.size() - 1)) continue;  // already neighbours
            std::vector<size_t> inner(piece.begin() + long(a), piece.begin() + long(b) + 1), outer;
            outer.insert(outer.end(), piece.begin() + long(b), piece.end());
            outer.insert(outer.end(), piece.begin(), piece.begin() + long(a) + 1);
            for (size_t i : inner) pieceOf[i] = pieces.size();
            pieces[q] = std::move(outer);
            pieces.push_back(std::move(inner));
        }
        // Each piece from its first corner in the face's order; the face keeps
        // the piece of its first corner behind the plane.
        size_t firstBehind = m;
        for (size_t i = 0; i < m && firstBehind == m; ++i)
            if (s[i] < 0) firstBehind = i;
        for (std::vector<size_t>& piece : pieces) std::rotate(piece.begin(), std::min_element(piece.begin(), piece.end()), piece.end());
        std::sort(pieces.begin(), pieces.end());
        std::stable_partition(pieces.begin(), pieces.end(),
                              [&](const std::vector<size_t>& piece) { return std::count(piece.begin(), piece.end(), firstBehind) > 0; });
        for (size_t q = 0; q < pieces.size(); ++q) {
            Piece made{{}, 1, 0};
            for (size_t i : pieces[q]) {
                made.corners.push_back(loop[i]);
                made.side = made.side ? made.side : s[i];
            }
            (q == 0 ? kept : appended).push_back(std::move(made));
        }
    }

    // The faces out: per-corner data copied, new corners interpolated.
    const bool normals = in.faceVertexNormals.size() == 3 * in.numFaceVertices() && in.numFaceVertices() > 0;
    std::vector<uint8_t> uvs, colours;
    for (const MeshUVSet& set : in.uvSets) {
        uvs.push_back(set.faceVertexUV.size() == in.numFaceVertices());
        out.uvSets.push_back({set.name, set.u, set.v, {}});
    }
    for (const MeshColorSet& set : in.colorSets) {
        colours.push_back(set.faceVertexColor.size() == in.numFaceVertices());
        out.colorSets.push_back({set.name, set.rgba, {}});
    }
    out.currentUVSet = in.currentUVSet, out.currentColorSet = in.currentColorSet;
    std::vector<std::map<std::array<int32_t, 3>, int32_t>> newUV(in.uvSets.size());
    out.faceLoopStart.push_back(0);
    out.loopStart.push_back(0);
    auto emitLoop = [&](const std::vector<Corner>& loop) {
        for (const Corner& c : loop) {
            out.faceVertices.push_back(c.vertex);
            for (size_t s = 0; s < uvs.size(); ++s) {
                if (!uvs[s]) continue;
                const MeshUVSet& set = in.uvSets[s];
                int32_t id = -1;
                if (c.source >= 0) {
                    id = set.faceVertexUV[size_t(c.source)];
                } else {
                    const int32_t ua = set.faceVertexUV[c.from], ub = set.faceVertexUV[c.to];
                    if (ua >= 0 && ub >= 0 && size_t(ua) < set.u.size() && size_t(ub) < set.u.size()) {
                        MeshUVSet& target = out.uvSets[s];
                        auto [it, fresh] = newUV[s].emplace(std::array<int32_t, 3>{c.vertex, std::min(ua, ub), std::max(ua, ub)},
                                                            int32_t(target.u.size()));
                        if (fresh) {
                            target.u.push_back(float(set.u[size_t(ua)] * (1 - c.t) + set.u[size_t(ub)] * c.t));
                            target.v.push_back(float(set.v[size_t(ua)] * (1 - c.t) + set.v[size_t(ub)] * c.t));
                        }
                        id = it->second;
                    }
                }
                out.uvSets[s].faceVertexUV.push_back(id);
            }
            for (size_t s = 0; s < colours.size(); ++s)
                if (colours[s]) out.colorSets[s].faceVertexColor.push_back(c.source >= 0 ? in.colorSets[s].faceVertexColor[size_t(c.source)] : -1);
            if (normals) {
                if (c.source >= 0)
                    out.faceVertexNormals.insert(out.faceVertexNormals.end(), in.faceVertexNormals.begin() + 3 * c.source,
                                                 in.faceVertexNormals.begin() + 3 * c.source + 3);
                else
                    out.faceVertexNormals.insert(out.faceVertexNormals.end(), 3, 1e20f);
            }
        }
        out.loopStart.push_back(uint32_t(out.faceVertices.size()));
    };
    std::vector<uint8_t> outSelected;
    std::vector<int> outSide;
    for (size_t f = 0; f < kept.size(); ++f) {
        emitLoop(kept[f].corners);
        for (const std::vector<Corner>& hole : holeLoops[f]) emitLoop(hole);
        out.faceLoopStart.push_back(uint32_t(out.numLoops()));
        outSelected.push_back(kept[f].selected), outSide.push_back(kept[f].side);
    }
    for (const Piece& piece : appended) {
        emitLoop(piece.corners);
        out.faceLoopStart.push_back(uint32_t(out.numLoops()));
        outSelected.push_back(piece.selected), outSide.push_back(piece.side);
    }
    // The cuts: sides no edge holds yet, as the faces walk them.
    std::unordered_map<uint64_t, uint8_t> known;
    for (size_t e = 0; e < out.numEdges(); ++e) known.emplace(pairKey(out.edges[2 * e], out.edges[2 * e + 1]), 1);
    for (size_t l = 0; l < out.numLoops(); ++l)
        for (uint32_t c = out.loopStart[l], end = out.loopStart[l + 1]; c < end; ++c) {
            const int32_t a = out.faceVertices[c], b = out.faceVertices[c + 1 < end ? c + 1 : out.loopStart[l]];
            if (a != b && known.emplace(pairKey(a, b), 1).second) {
                out.edges.insert(out.edges.end(), {a, b});
                out.edgeSmooth.push_back(1);
            }
        }

    if (!p.deleteFaces && !p.extractFaces) return out;
    std::vector<std::string> beyond;
    for (size_t f = 0; f < outSide.size(); ++f)
        if (outSelected[f] && outSide[f] > 0) beyond.push_back("f[" + std::to_string(f) + "]");
    if (beyond.empty()) return out;
    if (p.deleteFaces) {
        DeleteComponentParams del;
        del.deleteComponents = std::move(beyond);
        return applyDeleteComponent(out, del, warning);
    }
    PolyChipOffParams chip;
    chip.inputComponents = std::move(beyond);
    chip.duplicate = false;
    chip.move.translate = p.extractOffset;
    chip.move.worldSpace = p.worldSpace;
    chip.move.inputMatrix = p.inputMatrix;
    return applyPolyChipOff(out, chip, warning);
}

}  // namespace mayahost
