// The uv editing nodes: projections, the layout of uv shells, cutting and
// sewing of uv edges, uv deletion and flipping, empty colour sets.

#include "common/platform/StableMath.h"
#include "mesh/MeshModUV.h"

#include "mesh/MeshModUtil.h"
#include "mesh/MeshVec.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <unordered_map>

namespace mayahost {

using meshmod::addWarning;
using meshmod::rotationXYZ;

namespace {

constexpr double kPi = 3.14159265358979323846;

using meshmod::LowUnion;

// The set a node edits: the named one, else the current one. `create` makes a
// missing one (empty: no face has uvs in it yet); otherwise -1 and a warning.
int uvSetFor(MeshData& mesh, const std::string& name, bool create, const char* node, std::string* warning) {
    if (name.empty()) {
        if (!mesh.uvSets.empty() && mesh.currentUVSet >= 0 && size_t(mesh.currentUVSet) < mesh.uvSets.size())
            return mesh.currentUVSet;
        if (!mesh.uvSets.empty()) return 0;
        if (!create) {
            addWarning(warning, std::string(node) + ": the mesh has no uvs, uvs left unchanged");
            return -1;
        }
    } else {
        for (size_t s = 0; s < mesh.uvSets.size(); ++s)
            if (mesh.uvSets[s].name == name) return int(s);
        if (!create) {
            addWarning(warning, std::string(node) + ": the mesh has no uv set \"" + name + "\", uvs left unchanged");
            return -1;
        }
    }
    MeshUVSet set;
    set.name = name.empty() ? "map1" : name;
    set.faceVertexUV.assign(mesh.numFaceVertices(), -1);
    mesh.uvSets.push_back(std::move(set));
    if (mesh.uvSets.size() == 1) mesh.currentUVSet = 0;
    return int(mesh.uvSets.size() - 1);
}

// Drops the uvs no corner uses; the others keep their order.
void dropUnusedUVs(MeshUVSet& set) {
    std::vector<int32_t> remap(set.u.size(), -1);
    for (int32_t id : set.faceVertexUV)
        if (id >= 0 && size_t(id) < remap.size()) remap[size_t(id)] = 0;
    int32_t next = 0;
    std::vector<float> u, v;
    for (size_t i = 0; i < remap.size(); ++i) {
        if (remap[i] < 0) continue;
        remap[i] = next++;
        u.push_back(set.u[i]);
        v.push_back(set.v[i]);
    }
    for (int32_t& id : set.faceVertexUV) id = id >= 0 && size_t(id) < remap.size() ? remap[size_t(id)] : -1;
    set.u = std::move(u);
    set.v = std::move(v);
}

// Per face-vertex: its face, and the next corner of its loop.
struct Corners {
    std::vector<int32_t> face, next, prev;
};

Corners cornersOf(const MeshData& m) {
    Corners c;
    c.face.resize(m.numFaceVertices());
    c.next.resize(m.numFaceVertices());
    c.prev.resize(m.numFaceVertices());
    for (size_t f = 0; f < m.numFaces(); ++f)
        for (uint32_t l = m.faceLoopStart[f]; l < m.faceLoopStart[f + 1]; ++l)
            for (uint32_t k = m.loopStart[l]; k < m.loopStart[l + 1]; ++k) {
                c.face[k] = int32_t(f);
                c.next[k] = int32_t(k + 1 < m.loopStart[l + 1] ? k + 1 : m.loopStart[l]);
                c.prev[k] = int32_t(k > m.loopStart[l] ? k - 1 : m.loopStart[l + 1] - 1);
            }
    return c;
}

// The faces' sides along each edge: the corner at the edge's first vertex and
// the one at its second, one pair per face walking it.
std::vector<std::vector<std::pair<int32_t, int32_t>>> edgeSides(const MeshData& m, const Corners& c) {
    std::unordered_map<uint64_t, int32_t> ids;
    ids.reserve(m.numEdges());
    for (size_t e = 0; e < m.numEdges(); ++e) ids.emplace(meshmod::pairKey(m.edges[2 * e], m.edges[2 * e + 1]), int32_t(e));
    std::vector<std::vector<std::pair<int32_t, int32_t>>> sides(m.numEdges());
    for (size_t k = 0; k < m.numFaceVertices(); ++k) {
        const int32_t a = m.faceVertices[k], b = m.faceVertices[size_t(c.next[k])];
        auto it = ids.find(meshmod::pairKey(a, b));
        if (it == ids.end() || a == b) continue;
        const size_t e = size_t(it->second);
        if (m.edges[2 * e] == a) sides[e].push_back({int32_t(k), c.next[k]});
        else sides[e].push_back({c.next[k], int32_t(k)});
    }
    return sides;
}

std::vector<int32_t> listedEdges(const MeshData& m, const std::optional<std::vector<std::string>>& items,
                                 const char* node, std::string* warning) {
    return meshmod::selectedEdges(m, items, node, warning);
}

MeshVec rowTimes(const MeshVec& p, const MMatrix& m) {
    const double w = p.x * m(0, 3) + p.y * m(1, 3) + p.z * m(2, 3) + m(3, 3);
    MeshVec r{p.x * m(0, 0) + p.y * m(1, 0) + p.z * m(2, 0) + m(3, 0), p.x * m(0, 1) + p.y * m(1, 1) + p.z * m(2, 1) + m(3, 1),
              p.x * m(0, 2) + p.y * m(1, 2) + p.z * m(2, 2) + m(3, 2)};
    return w != 0 && w != 1 ? r * (1.0 / w) : r;
}

bool finite(std::initializer_list<double> values) {
    for (double v : values)
        if (!std::isfinite(v)) return false;
    return true;
}

}  // namespace

// --- projections ----------------------------------------------------------------

std::array<double, 2> defaultProjectionScale(UVProjectionKind kind) {
    switch (kind) {
    case UVProjectionKind::Planar: return {1, 1};
    case UVProjectionKind::Cylindrical: return {kPi, 1};
    case UVProjectionKind::Spherical: return {kPi, kPi / 2};
    }
    return {1, 1};
}

MeshData applyUVProjection(const MeshData& in, const UVProjectionParams& p, std::string* warning) {
    const char* node = p.kind == UVProjectionKind::Planar ? "polyPlanarProj"
                       : p.kind == UVProjectionKind::Cylindrical ? "polyCylProj" : "polySphProj";
    if (!meshmod::usableMesh(in, node, warning)) return in;
    const auto& pc = p.projectionCenter;
    const auto& ps = p.projectionScale;
    if (!finite({pc[0], pc[1], pc[2], p.rotate[0], p.rotate[1], p.rotate[2], ps[0], ps[1], p.imageCenter[0],
                 p.imageCenter[1], p.imageScale[0], p.imageScale[1], p.rotationAngle}) ||
        (p.worldSpace && !meshmod::isFiniteMatrix(p.inputMatrix))) {
        addWarning(warning, std::string(node) + ": non-finite projection settings, uvs left unchanged");
        return in;
    }
    if (ps[0] == 0 || ps[1] == 0) {
        addWarning(warning, std::string(node) + ": a projection scale of zero, uvs left unchanged");
        return in;
    }
    const std::vector<int32_t> faces = meshmod::selectedFaces(in, p.inputComponents, node, warning);
    if (faces.empty()) return in;
    MeshData out = in;
    const int setIndex = uvSetFor(out, p.uvSetName, true, node, warning);
    MeshUVSet& set = out.uvSets[size_t(setIndex)];

    // Points in the projection's frame: centred on pc, its rotation undone.
    const MMatrix unrotate = rotationXYZ(p.rotate).transpose();
    auto local = [&](int32_t vertex) {
        MeshVec q = meshPoint(in.points.data(), vertex);
        if (p.worldSpace) q = rowTimes(q, p.inputMatrix);
        return rowTimes(q - MeshVec{pc[0], pc[1], pc[2]}, unrotate);
    };
    // The map's own rotation turns the texture counterclockwise on the model,
    // so the coordinates turn the other way about the image centre.
    const double cr = stablemath::cos(p.rotationAngle), sr = stablemath::sin(p.rotationAngle);
    auto toUV = [&](double s, double t, float& u, float& v) {
        const double rs = s * cr + t * sr, rt = -s * sr + t * cr;
        u = float(p.imageCenter[0] + rs * p.imageScale[0]);
        v = float(p.imageCenter[1] + rt * p.imageScale[1]);
    };
    const bool round = p.kind != UVProjectionKind::Planar;
    // s, t per vertex before the seam: planar offsets, or the angle around the
    // axis (from +Z towards +X) and the height or elevation.
    auto projectVertex = [&](int32_t vertex, double& angle, double& t, bool& onAxis) {
        const MeshVec q = local(vertex);
        onAxis = false;
        if (!round) {
            angle = q.x;
            t = q.y / ps[1];
            return;
        }
        const double radial = stablemath::hypot(q.x, q.z);
        onAxis = radial <= 1e-12 * std::max(1.0, std::abs(q.y));
        angle = onAxis ? 0 : stablemath::atan2(q.x, q.z);
        t = p.kind == UVProjectionKind::Cylindrical ? q.y / ps[1] : stablemath::atan2(q.y, radial) / ps[1];
    };

    // Key: vertex * 2 + (1 on the far side of the seam); corners on the axis
    // are keyed by corner (negative) as each face gives them its own angle.
    std::unordered_map<int64_t, int32_t> ids;
    auto uvFor = [&](int64_t key, double s, double t) {
        auto [it, added] = ids.emplace(key, int32_t(set.u.size()));
        if (added) {
            float u, v;
            toUV(s, t, u, v);
            set.u.push_back(u);
            set.v.push_back(v);
        }
        return it->second;
    };
    for (int32_t f : faces) {
        const uint32_t first = in.loopStart[in.faceLoopStart[size_t(f)]];
        const uint32_t end = in.loopStart[in.faceLoopStart[size_t(f) + 1]];
        struct Corner { double angle, t; bool onAxis; };
        std::vector<Corner> corner(end - first);
        double lo = 1e300, hi = -1e300, sum = 0;
        size_t around = 0;
        for (uint32_t k = first; k < end; ++k) {
            Corner& c = corner[k - first];
            projectVertex(in.faceVertices[k], c.angle, c.t, c.onAxis);
            if (!round || c.onAxis) continue;
            lo = std::min(lo, c.angle), hi = std::max(hi, c.angle);
        }
        const bool straddles = round && p.seamCorrect && hi - lo > kPi;
        for (uint32_t k = first; k < end; ++k) {
            Corner& c = corner[k - first];
            if (straddles && !c.onAxis && c.angle < 0) c.angle += 2 * kPi;
            if (round && !c.onAxis) sum += c.angle, ++around;
        }
        for (uint32_t k = first; k < end; ++k) {
            const Corner& c = corner[k - first];
            const int32_t vertex = in.faceVertices[k];
            if (!round) {
                set.faceVertexUV[k] = uvFor(int64_t(vertex) * 2, c.angle / ps[0], c.t);
            } else if (c.onAxis && p.seamCorrect && around) {
                set.faceVertexUV[k] = uvFor(-1 - int64_t(k), sum / double(around) / ps[0], c.t);
            } else {
                const bool far = c.angle > kPi;
                set.faceVertexUV[k] = uvFor(int64_t(vertex) * 2 + (far ? 1 : 0), c.angle / ps[0], c.t);
            }
        }
    }
    dropUnusedUVs(set);
    return out;
}

// --- Packing pieces of uvs (polyAutoProj, polyLayoutUV) ---------------------------

namespace {

// Maya's own packer is not documented; this is the choice made here: each
// piece's box, moved to the origin; along U the boxes sit in piece order left
// to right; into a square they fill shelves, tallest first, a shelf as wide
// as the square root of the boxes' total area (or the widest box); tiled each
// takes a cell of a square grid. A gap of percentageSpace percent of the
// final space parts them. Then the layout is fitted into 0..1: uniformly, or
// stretched, or left at its size. `ids[i]` belongs to piece `pieceOf[i]`.
void layoutPieces(MeshUVSet& set, const std::vector<int32_t>& ids, const std::vector<int32_t>& pieceOf, size_t nPieces,
                  int layout, int scaleMode, double percentageSpace, const char* node, std::string* warning) {
    std::vector<double> minU(nPieces, 1e300), minV(nPieces, 1e300), maxU(nPieces, -1e300), maxV(nPieces, -1e300);
    for (size_t i = 0; i < ids.size(); ++i) {
        const size_t k = size_t(pieceOf[i]), id = size_t(ids[i]);
        minU[k] = std::min(minU[k], double(set.u[id])), maxU[k] = std::max(maxU[k], double(set.u[id]));
        minV[k] = std::min(minV[k], double(set.v[id])), maxV[k] = std::max(maxV[k], double(set.v[id]));
    }
    std::vector<double> offU(nPieces, 0), offV(nPieces, 0), cell(nPieces, 1);
    double area = 0, widest = 0;
    for (size_t k = 0; k < nPieces; ++k)
        area += (maxU[k] - minU[k]) * (maxV[k] - minV[k]), widest = std::max(widest, maxU[k] - minU[k]);
    const double gap = std::max(0.0, std::min(percentageSpace, 50.0)) / 100 * std::sqrt(std::max(area, 1e-30));
    if (layout == 1) {
        double x = 0;
        for (size_t k = 0; k < nPieces; ++k) offU[k] = x - minU[k], offV[k] = -minV[k], x += maxU[k] - minU[k] + gap;
    } else if (layout == 2) {
        std::vector<size_t> order(nPieces);
        std::iota(order.begin(), order.end(), size_t(0));
        std::stable_sort(order.begin(), order.end(),
                         [&](size_t a, size_t b) { return maxV[a] - minV[a] > maxV[b] - minV[b]; });
        const double width = std::max(widest, std::sqrt(area) * 1.0);
        double x = 0, y = 0, shelf = 0;
        for (size_t k : order) {
            const double w = maxU[k] - minU[k], h = maxV[k] - minV[k];
            if (x > 0 && x + w > width * (1 + 1e-9)) x = 0, y += shelf + gap, shelf = 0;
            offU[k] = x - minU[k], offV[k] = y - minV[k];
            x += w + gap, shelf = std::max(shelf, h);
        }
    } else if (layout == 3) {
        const size_t side = size_t(std::ceil(std::sqrt(double(nPieces))));
        for (size_t k = 0; k < nPieces; ++k) {
            const double size = std::max({maxU[k] - minU[k], maxV[k] - minV[k], 1e-30});
            cell[k] = (1 - gap) / size;
            offU[k] = double(k % side) - minU[k] * cell[k];
            offV[k] = double(k / side) - minV[k] * cell[k];
        }
    } else if (layout != 0) {
        addWarning(warning, std::string(node) + ": layout " + std::to_string(layout) + " is not known, pieces left in place");
    }
    double lu = 1e300, lv = 1e300, hu = -1e300, hv = -1e300;
    for (size_t i = 0; i < ids.size(); ++i) {
        const size_t k = size_t(pieceOf[i]), id = size_t(ids[i]);
        set.u[id] = float(set.u[id] * cell[k] + offU[k]);
        set.v[id] = float(set.v[id] * cell[k] + offV[k]);
        lu = std::min(lu, double(set.u[id])), hu = std::max(hu, double(set.u[id]));
        lv = std::min(lv, double(set.v[id])), hv = std::max(hv, double(set.v[id]));
    }
    if (scaleMode == 1 || scaleMode == 2) {
        const double su = hu > lu ? hu - lu : 1, sv = hv > lv ? hv - lv : 1, uniform = std::max(su, sv);
        for (int32_t id : ids) {
            set.u[size_t(id)] = float((set.u[size_t(id)] - lu) / (scaleMode == 1 ? uniform : su));
            set.v[size_t(id)] = float((set.v[size_t(id)] - lv) / (scaleMode == 1 ? uniform : sv));
        }
    }
}

}  // namespace

// --- polyAutoProj -----------------------------------------------------------------

namespace {

// The planes' normals, in the manipulator's frame. Six are the cube's sides
// and three its axes; for the other counts no rule could be established,
// so they take regular solids' face normals: 4 a tetrahedron, 5 a
// triangular prism standing on Y, 8 an octahedron, 12 a dodecahedron.
std::vector<MeshVec> autoPlanes(int count) {
    std::vector<MeshVec> n;
    const double s3 = 1 / std::sqrt(3.0);
    switch (count) {
    case 3: n = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}; break;
    case 4: n = {{s3, s3, s3}, {-s3, -s3, s3}, {-s3, s3, -s3}, {s3, -s3, -s3}}; break;
    case 5:
        n = {{0, 1, 0}, {0, -1, 0}};
        for (int i = 0; i < 3; ++i) n.push_back({stablemath::sin(2 * kPi * i / 3), 0, stablemath::cos(2 * kPi * i / 3)});
        break;
    case 8:
        for (int i = 0; i < 8; ++i) n.push_back({(i & 1 ? -s3 : s3), (i & 2 ? -s3 : s3), (i & 4 ? -s3 : s3)});
        break;
    case 12: {
        const double g = (1 + std::sqrt(5.0)) / 2, k = 1 / std::sqrt(1 + g * g);
        for (int sa : {1, -1})
            for (int sb : {1, -1}) {
                n.push_back({0, sa * k, sb * g * k});
                n.push_back({sa * k, sb * g * k, 0});
                n.push_back({sb * g * k, 0, sa * k});
            }
        break;
    }
    default: n = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}}; break;
    }
    return n;
}

// The plane's uv axes: v the frame's up (Y, or -Z/+Z for a plane facing
// up/down) laid into the plane, u completing a right-handed frame seen from
// the plane's side.
void planeAxes(const MeshVec& n, MeshVec& u, MeshVec& v) {
    MeshVec up = std::abs(n.y) < 0.99 ? MeshVec{0, 1, 0} : MeshVec{0, 0, n.y > 0 ? -1.0 : 1.0};
    u = MeshVec{up.y * n.z - up.z * n.y, up.z * n.x - up.x * n.z, up.x * n.y - up.y * n.x}.normalized();
    v = MeshVec{n.y * u.z - n.z * u.y, n.z * u.x - n.x * u.z, n.x * u.y - n.y * u.x};
}

}  // namespace

MeshData applyPolyAutoProj(const MeshData& in, const PolyAutoProjParams& p, std::string* warning) {
    const char* node = "polyAutoProj";
    if (!meshmod::usableMesh(in, node, warning)) return in;
    if (!finite({p.translate[0], p.translate[1], p.translate[2], p.rotate[0], p.rotate[1], p.rotate[2], p.scale[0],
                 p.scale[1], p.scale[2], p.pivot[0], p.pivot[1], p.pivot[2], p.percentageSpace}) ||
        (p.worldSpace && !meshmod::isFiniteMatrix(p.inputMatrix)) || p.scale[0] == 0 || p.scale[1] == 0 ||
        p.scale[2] == 0) {
        addWarning(warning, "polyAutoProj: non-finite or zero manipulator settings, uvs left unchanged");
        return in;
    }
    int planes = p.planes;
    if (planes != 3 && planes != 4 && planes != 5 && planes != 6 && planes != 8 && planes != 12) {
        addWarning(warning, "polyAutoProj: " + std::to_string(planes) + " planes is not a choice, 6 used");
        planes = 6;
    }
    const std::vector<int32_t> faces = meshmod::selectedFaces(in, p.inputComponents, node, warning);
    if (faces.empty()) return in;
    MeshData out = in;
    MeshUVSet& set = out.uvSets[size_t(uvSetFor(out, p.uvSetName, true, node, warning))];

    // Points in the manipulator's frame: about the pivot, scaled, turned, moved.
    const MMatrix unrotate = rotationXYZ(p.rotate).transpose();
    const MeshVec pivot{p.pivot[0], p.pivot[1], p.pivot[2]}, move{p.translate[0], p.translate[1], p.translate[2]};
    std::vector<MeshVec> pts(in.numVertices());
    for (size_t i = 0; i < pts.size(); ++i) {
        MeshVec q = meshPoint(in.points.data(), int(i));
        if (p.worldSpace) q = rowTimes(q, p.inputMatrix);
        q = rowTimes(q - move - pivot, unrotate);
        pts[i] = MeshVec{q.x / p.scale[0], q.y / p.scale[1], q.z / p.scale[2]} + pivot;
    }
    const std::vector<MeshVec> normals = autoPlanes(planes);
    const bool bothWays = planes == 3 || p.projectBothDirections;
    const Corners corners = cornersOf(in);
    const auto sides = edgeSides(in, corners);

    // Best plane per selected face (its Newell normal's closest).
    std::vector<int32_t> plane(in.numFaces(), -1);
    auto score = [&](const MeshVec& n, size_t k) {
        const double d = n.x * normals[k].x + n.y * normals[k].y + n.z * normals[k].z;
        return bothWays ? std::abs(d) : d;
    };
    std::vector<MeshVec> faceNormal(in.numFaces());
    for (int32_t f : faces) {
        const uint32_t l = in.faceLoopStart[size_t(f)];
        MeshVec n{};
        for (uint32_t k = in.loopStart[l]; k < in.loopStart[l + 1]; ++k) {
            const MeshVec& a = pts[size_t(in.faceVertices[k])];
            const MeshVec& b = pts[size_t(in.faceVertices[size_t(corners.next[k])])];
            n += MeshVec{(a.y - b.y) * (a.z + b.z), (a.z - b.z) * (a.x + b.x), (a.x - b.x) * (a.y + b.y)};
        }
        faceNormal[size_t(f)] = n.normalized();
        size_t best = 0;
        for (size_t k = 1; k < normals.size(); ++k)
            if (score(faceNormal[size_t(f)], k) > score(faceNormal[size_t(f)], best)) best = k;
        plane[size_t(f)] = int32_t(best);
    }
    std::vector<std::vector<int32_t>> neighbours(in.numFaces());
    for (const auto& s : sides)
        for (size_t i = 0; i < s.size(); ++i)
            for (size_t j = i + 1; j < s.size(); ++j) {
                const int32_t a = corners.face[size_t(s[i].first)], b = corners.face[size_t(s[j].first)];
                if (a != b && plane[size_t(a)] >= 0 && plane[size_t(b)] >= 0) {
                    neighbours[size_t(a)].push_back(b);
                    neighbours[size_t(b)].push_back(a);
                }
            }
    // Fewer pieces: a face no neighbour shares a plane with joins the best
    // of its neighbours' planes that it still faces. Maya's own rule is not
    // documented; this is the choice made here (one pass, face order).
    if (p.optimize == 1)
        for (int32_t f : faces) {
            const auto& nb = neighbours[size_t(f)];
            if (nb.empty() || std::any_of(nb.begin(), nb.end(), [&](int32_t g) { return plane[size_t(g)] == plane[size_t(f)]; }))
                continue;
            int32_t best = -1;
            for (int32_t g : nb)
                if (score(faceNormal[size_t(f)], size_t(plane[size_t(g)])) > 0 &&
                    (best < 0 || score(faceNormal[size_t(f)], size_t(plane[size_t(g)])) > score(faceNormal[size_t(f)], size_t(best))))
                    best = plane[size_t(g)];
            if (best >= 0) plane[size_t(f)] = best;
        }
    // Pieces: faces on one plane joined by edges, in order of their lowest face.
    std::vector<int32_t> piece(in.numFaces(), -1);
    int32_t pieces = 0;
    for (int32_t f : faces) {
        if (piece[size_t(f)] >= 0) continue;
        std::vector<int32_t> stack{f};
        piece[size_t(f)] = pieces;
        while (!stack.empty()) {
            const int32_t g = stack.back();
            stack.pop_back();
            for (int32_t h : neighbours[size_t(g)])
                if (piece[size_t(h)] < 0 && plane[size_t(h)] == plane[size_t(g)]) piece[size_t(h)] = pieces, stack.push_back(h);
        }
        ++pieces;
    }
    // One uv per vertex of a piece, projected on its plane.
    std::unordered_map<int64_t, int32_t> ids;
    std::vector<int32_t> uvPiece;
    const size_t base = set.u.size();
    for (int32_t f : faces) {
        MeshVec u, v;
        // A face seen from behind keeps its plane's axes, so a piece reads the same both ways.
        planeAxes(normals[size_t(plane[size_t(f)])], u, v);
        const uint32_t first = in.loopStart[in.faceLoopStart[size_t(f)]], end = in.loopStart[in.faceLoopStart[size_t(f) + 1]];
        for (uint32_t k = first; k < end; ++k) {
            const int32_t vertex = in.faceVertices[k];
            auto [it, added] = ids.emplace(int64_t(piece[size_t(f)]) * int64_t(in.numVertices()) + vertex, int32_t(set.u.size()));
            if (added) {
                const MeshVec& q = pts[size_t(vertex)];
                set.u.push_back(float(q.x * u.x + q.y * u.y + q.z * u.z));
                set.v.push_back(float(q.x * v.x + q.y * v.y + q.z * v.z));
                uvPiece.push_back(piece[size_t(f)]);
            }
            set.faceVertexUV[k] = it->second;
        }
    }
    std::vector<int32_t> made(set.u.size() - base);
    std::iota(made.begin(), made.end(), int32_t(base));
    layoutPieces(set, made, uvPiece, size_t(pieces), p.layout, p.scaleMode, p.percentageSpace, node, warning);
    dropUnusedUVs(set);
    return out;
}

// --- polyLayoutUV --------------------------------------------------------------------

MeshData applyPolyLayoutUV(const MeshData& in, const PolyLayoutUVParams& p, std::string* warning) {
    const char* node = "polyLayoutUV";
    if (!meshmod::usableMesh(in, node, warning)) return in;
    if (!std::isfinite(p.percentageSpace)) {
        addWarning(warning, "polyLayoutUV: percentageSpace is not a number, uvs left unchanged");
        return in;
    }
    if (p.separate != 0) addWarning(warning, "polyLayoutUV: separate is not evaluated, no uv edges are cut");
    if (p.gridU != 1 || p.gridV != 1) addWarning(warning, "polyLayoutUV: gridU and gridV are not evaluated");
    // Nothing moves, turns, scales or flips: the uvs stay exactly as they are.
    if (p.layout == 0 && p.scale == 0 && !p.flipReversed) return in;
    const std::vector<int32_t> faces = meshmod::selectedFaces(in, p.inputComponents, node, warning);
    if (faces.empty()) return in;
    MeshData out = in;
    const int s = uvSetFor(out, p.uvSetName, false, node, warning);
    if (s < 0) return in;
    MeshUVSet& set = out.uvSets[size_t(s)];
    if (set.faceVertexUV.size() != out.numFaceVertices()) return in;
    // Shells: the selected faces' uvs, joined through the faces that share them.
    const size_t count = set.u.size();
    LowUnion shells(count);
    std::vector<uint8_t> used(count, 0);
    auto uvOf = [&](uint32_t c) {
        const int32_t id = set.faceVertexUV[c];
        return id >= 0 && size_t(id) < count ? id : -1;
    };
    for (int32_t f : faces) {
        int32_t first = -1;
        for (uint32_t c = in.loopStart[in.faceLoopStart[size_t(f)]]; c < in.loopStart[in.faceLoopStart[size_t(f) + 1]]; ++c) {
            const int32_t id = uvOf(c);
            if (id < 0) continue;
            used[size_t(id)] = 1;
            first = first < 0 ? id : shells.unite(first, id);
        }
    }
    // Shells numbered by their first face; each uv in id order.
    std::vector<int32_t> shellOfRoot(count, -1);
    int32_t nShells = 0;
    for (int32_t f : faces)
        for (uint32_t c = in.loopStart[in.faceLoopStart[size_t(f)]]; c < in.loopStart[in.faceLoopStart[size_t(f) + 1]]; ++c)
            if (const int32_t id = uvOf(c); id >= 0 && shellOfRoot[size_t(shells.find(id))] < 0)
                shellOfRoot[size_t(shells.find(id))] = nShells++;
    if (nShells == 0) return in;
    std::vector<int32_t> ids, shellOf;
    for (size_t id = 0; id < count; ++id)
        if (used[id]) ids.push_back(int32_t(id)), shellOf.push_back(shellOfRoot[size_t(shells.find(int32_t(id)))]);

    // A shell whose faces run clockwise in uv is mirrored: flipped in u about its box's middle.
    if (p.flipReversed) {
        std::vector<double> area(size_t(nShells), 0);
        for (int32_t f : faces) {
            const uint32_t l = in.faceLoopStart[size_t(f)], b = in.loopStart[l], e = in.loopStart[l + 1];
            for (uint32_t c = b; c < e; ++c) {
                const int32_t i = uvOf(c), j = uvOf(c + 1 < e ? c + 1 : b);
                if (i < 0 || j < 0) continue;
                area[size_t(shellOfRoot[size_t(shells.find(i))])] +=
                    double(set.u[size_t(i)]) * set.v[size_t(j)] - double(set.u[size_t(j)]) * set.v[size_t(i)];
            }
        }
        std::vector<float> lo(size_t(nShells), HUGE_VALF), hi(size_t(nShells), -HUGE_VALF);
        for (size_t i = 0; i < ids.size(); ++i) {
            const size_t k = size_t(shellOf[i]);
            lo[k] = std::min(lo[k], set.u[size_t(ids[i])]), hi[k] = std::max(hi[k], set.u[size_t(ids[i])]);
        }
        for (size_t i = 0; i < ids.size(); ++i)
            if (area[size_t(shellOf[i])] < 0) set.u[size_t(ids[i])] = lo[size_t(shellOf[i])] + hi[size_t(shellOf[i])] - set.u[size_t(ids[i])];
    }
    // Turns come before the move, so only a layout turns: a shell taller than wide lies down.
    if (p.layout != 0 && p.rotateForBestFit != 0) {
        if (p.rotateForBestFit != 1) addWarning(warning, "polyLayoutUV: rotateForBestFit " + std::to_string(p.rotateForBestFit) +
                                                             " is evaluated as quarter turns");
        std::vector<float> lu(size_t(nShells), HUGE_VALF), hu(size_t(nShells), -HUGE_VALF), lv = lu, hv = hu;
        for (size_t i = 0; i < ids.size(); ++i) {
            const size_t k = size_t(shellOf[i]), id = size_t(ids[i]);
            lu[k] = std::min(lu[k], set.u[id]), hu[k] = std::max(hu[k], set.u[id]);
            lv[k] = std::min(lv[k], set.v[id]), hv[k] = std::max(hv[k], set.v[id]);
        }
        for (size_t i = 0; i < ids.size(); ++i) {
            const size_t k = size_t(shellOf[i]), id = size_t(ids[i]);
            if (hv[k] - lv[k] <= hu[k] - lu[k]) continue;
            const float u = set.u[id];
            set.u[id] = -set.v[id], set.v[id] = u;
        }
    }
    layoutPieces(set, ids, shellOf, size_t(nShells), p.layout, p.scale, p.percentageSpace, node, warning);
    return out;
}

// --- polyMapCut ---------------------------------------------------------------------

MeshData applyPolyMapCut(const MeshData& in, const PolyMapEdgesParams& params, std::string* warning) {
    if (!meshmod::usableMesh(in, "polyMapCut", warning)) return in;
    const std::vector<int32_t> cut = listedEdges(in, params.inputComponents, "polyMapCut", warning);
    if (cut.empty()) return in;
    MeshData out = in;
    const int s = uvSetFor(out, params.uvSetName, false, "polyMapCut", warning);
    if (s < 0) return in;
    MeshUVSet& set = out.uvSets[size_t(s)];
    const Corners corners = cornersOf(in);
    const auto sides = edgeSides(in, corners);
    std::vector<uint8_t> isCut(in.numEdges(), 0);
    for (int32_t e : cut) isCut[size_t(e)] = 1;
    // Fans: corners at one vertex holding one uv, joined across every edge
    // that is not cut.
    LowUnion fans(in.numFaceVertices());
    const std::vector<int32_t>& uv = set.faceVertexUV;
    for (size_t e = 0; e < sides.size(); ++e) {
        if (isCut[e]) continue;
        for (size_t i = 1; i < sides[e].size(); ++i)
            for (auto end : {&std::pair<int32_t, int32_t>::first, &std::pair<int32_t, int32_t>::second}) {
                const int32_t a = sides[e][0].*end, b = sides[e][i].*end;
                if (uv[size_t(a)] >= 0 && uv[size_t(a)] == uv[size_t(b)]) fans.unite(a, b);
            }
    }
    // Numbering as Maya gives it (read off a scene whose later uv tweaks name
    // the cut's uvs): the listed edges from the highest id down, each end
    // once; around a vertex the faces are taken in turn, each followed by the
    // face across the edge it leaves the vertex by, starting on a border
    // (the face arriving from it) or else with the face arriving along the
    // edge being cut. The first fan met with a uv keeps it; later fans with
    // the same uv get new ones in that order.
    std::vector<std::vector<int32_t>> cornersAt(in.numVertices());
    for (size_t k = 0; k < in.numFaceVertices(); ++k) cornersAt[size_t(in.faceVertices[k])].push_back(int32_t(k));
    std::unordered_map<uint64_t, int32_t> edgeId;
    for (size_t e = 0; e < in.numEdges(); ++e) edgeId.emplace(meshmod::pairKey(in.edges[2 * e], in.edges[2 * e + 1]), int32_t(e));
    auto edgeOf = [&](int32_t a, int32_t b) {
        auto it = edgeId.find(meshmod::pairKey(a, b));
        return it == edgeId.end() ? -1 : it->second;
    };
    auto atVertex = [&](const std::pair<int32_t, int32_t>& side, size_t e, int32_t v) {
        return in.edges[2 * e] == v ? side.first : side.second;
    };
    std::vector<int32_t> fresh(in.numFaceVertices(), -1);
    std::vector<uint8_t> done(in.numVertices(), 0), visited(in.numFaceVertices(), 0);
    std::vector<int32_t> descending = cut;
    std::sort(descending.rbegin(), descending.rend());
    for (int32_t e : descending)
        for (int32_t v : {in.edges[2 * size_t(e)], in.edges[2 * size_t(e) + 1]}) {
            if (done[size_t(v)]) continue;
            done[size_t(v)] = 1;
            const std::vector<int32_t>& around = cornersAt[size_t(v)];
            int32_t start = -1;
            for (int32_t c : around) {
                const int32_t arriving = edgeOf(in.faceVertices[size_t(corners.prev[size_t(c)])], v);
                if (arriving >= 0 && sides[size_t(arriving)].size() < 2) { start = c; break; }
            }
            for (const auto& side : sides[size_t(e)]) {
                if (start >= 0) break;
                const int32_t here = atVertex(side, size_t(e), v), there = here == side.first ? side.second : side.first;
                if (corners.next[size_t(there)] == here) start = here;
            }
            std::vector<int32_t> order;
            for (size_t i = 0; i <= around.size(); ++i) {
                int32_t c = i == 0 ? start : around[i - 1];
                while (c >= 0 && !visited[size_t(c)]) {
                    visited[size_t(c)] = 1;
                    order.push_back(c);
                    const int32_t leaving = edgeOf(v, in.faceVertices[size_t(corners.next[size_t(c)])]);
                    int32_t across = -1;
                    if (leaving >= 0)
                        for (const auto& side : sides[size_t(leaving)]) {
                            const int32_t other = atVertex(side, size_t(leaving), v);
                            if (corners.face[size_t(other)] != corners.face[size_t(c)]) { across = other; break; }
                        }
                    c = across;
                }
            }
            std::unordered_map<int32_t, int32_t> keeper;
            for (int32_t c : order) {
                const int32_t id = uv[size_t(c)];
                if (id < 0) continue;
                const int32_t fan = fans.find(c);
                const int32_t keep = keeper.emplace(id, fan).first->second;
                if (keep == fan) continue;
                if (fresh[size_t(fan)] < 0) {
                    fresh[size_t(fan)] = int32_t(set.u.size());
                    set.u.push_back(set.u[size_t(id)]);
                    set.v.push_back(set.v[size_t(id)]);
                }
            }
        }
    for (size_t k = 0; k < in.numFaceVertices(); ++k)
        if (set.faceVertexUV[k] >= 0 && fresh[size_t(fans.find(int32_t(k)))] >= 0)
            set.faceVertexUV[k] = fresh[size_t(fans.find(int32_t(k)))];
    return out;
}

// --- polyMapSew / polyMapSewMove ---------------------------------------------------------

namespace {

struct SewState {
    MeshUVSet& set;
    LowUnion ids;
    explicit SewState(MeshUVSet& s) : set(s), ids(s.u.size()) {}
    // The corners' uvs become one: the lower id, at the given place.
    void merge(int32_t a, int32_t b, float u, float v) {
        const int32_t root = ids.unite(a, b);
        set.u[size_t(root)] = u, set.v[size_t(root)] = v;
    }
    void finish() {
        for (int32_t& id : set.faceVertexUV)
            if (id >= 0) id = ids.find(id);
        dropUnusedUVs(set);
    }
};

// The uv pairs across edge `e` (first vertex, second vertex), when two faces
// walk it and both have uvs.
bool acrossEdge(const std::vector<std::pair<int32_t, int32_t>>& sides, const std::vector<int32_t>& uv,
                std::array<int32_t, 4>& out) {
    if (sides.size() < 2) return false;
    out = {uv[size_t(sides[0].first)], uv[size_t(sides[0].second)], uv[size_t(sides[1].first)],
           uv[size_t(sides[1].second)]};
    return std::all_of(out.begin(), out.end(), [](int32_t id) { return id >= 0; });
}

MeshData sew(const MeshData& in, const PolyMapEdgesParams& params, const PolyMapSewMoveParams* move,
             std::string* warning) {
    const char* node = move ? "polyMapSewMove" : "polyMapSew";
    if (!meshmod::usableMesh(in, node, warning)) return in;
    const std::vector<int32_t> edges = listedEdges(in, params.inputComponents, node, warning);
    if (edges.empty()) return in;
    MeshData out = in;
    const int s = uvSetFor(out, params.uvSetName, false, node, warning);
    if (s < 0) return in;
    MeshUVSet& set = out.uvSets[size_t(s)];
    const Corners corners = cornersOf(in);
    const auto sides = edgeSides(in, corners);
    SewState state(set);

    // Pieces for the move: uvs joined through faces, with their members and face counts.
    LowUnion shells(set.u.size());
    std::vector<std::vector<int32_t>> members;
    std::vector<size_t> faceCount;
    if (move) {
        for (size_t f = 0; f < in.numFaces(); ++f) {
            const uint32_t a = in.loopStart[in.faceLoopStart[f]], b = in.loopStart[in.faceLoopStart[f + 1]];
            for (uint32_t k = a + 1; k < b; ++k)
                if (set.faceVertexUV[a] >= 0 && set.faceVertexUV[k] >= 0) shells.unite(set.faceVertexUV[a], set.faceVertexUV[k]);
        }
        members.resize(set.u.size());
        faceCount.assign(set.u.size(), 0);
        for (size_t i = 0; i < set.u.size(); ++i) members[size_t(shells.find(int32_t(i)))].push_back(int32_t(i));
        for (size_t f = 0; f < in.numFaces(); ++f) {
            const int32_t id = set.faceVertexUV[in.loopStart[in.faceLoopStart[f]]];
            if (id >= 0) ++faceCount[size_t(shells.find(id))];
        }
    }
    size_t skipped = 0;
    for (int32_t e : edges) {
        std::array<int32_t, 4> id;
        if (!acrossEdge(sides[size_t(e)], set.faceVertexUV, id)) {
            ++skipped;
            continue;
        }
        for (int32_t& x : id) x = state.ids.find(x);
        if (id[0] == id[2] && id[1] == id[3]) continue;
        const float* U = set.u.data();
        const float* V = set.v.data();
        if (move) {
            const int32_t shellA = shells.find(id[0]), shellB = shells.find(id[2]);
            const bool bSmaller = faceCount[size_t(shellB)] <= faceCount[size_t(shellA)];
            const int32_t moving = bSmaller ? shellB : shellA, fixed = bSmaller ? shellA : shellB;
            const int m0 = bSmaller ? 2 : 0, f0 = bSmaller ? 0 : 2;
            const bool limited = move->limitPieceSize && faceCount[size_t(moving)] > size_t(std::max(0, move->numberFaces));
            if (shellA != shellB && !limited) {
                // Turn the moving piece so its side of the edge runs along the
                // other's, and move it so the midpoints meet.
                const double mu = U[id[m0 + 1]] - U[id[m0]], mv = V[id[m0 + 1]] - V[id[m0]];
                const double fu = U[id[f0 + 1]] - U[id[f0]], fv = V[id[f0 + 1]] - V[id[f0]];
                const double turn = (mu == 0 && mv == 0) || (fu == 0 && fv == 0) ? 0 : stablemath::atan2(fv, fu) - stablemath::atan2(mv, mu);
                const double c = stablemath::cos(turn), sn = stablemath::sin(turn);
                const double cmu = (U[id[m0]] + U[id[m0 + 1]]) / 2.0, cmv = (V[id[m0]] + V[id[m0 + 1]]) / 2.0;
                const double cfu = (U[id[f0]] + U[id[f0 + 1]]) / 2.0, cfv = (V[id[f0]] + V[id[f0 + 1]]) / 2.0;
                for (int32_t i : members[size_t(moving)]) {
                    const double du = set.u[size_t(i)] - cmu, dv = set.v[size_t(i)] - cmv;
                    set.u[size_t(i)] = float(cfu + du * c - dv * sn);
                    set.v[size_t(i)] = float(cfv + du * sn + dv * c);
                }
                const int32_t root = shells.unite(moving, fixed);
                const int32_t other = root == moving ? fixed : moving;
                members[size_t(root)].insert(members[size_t(root)].end(), members[size_t(other)].begin(), members[size_t(other)].end());
                members[size_t(other)].clear();
                faceCount[size_t(root)] += faceCount[size_t(other)];
            }
            if (shellA != shellB && limited) {
                // Too large to move: sewn where the sides meet halfway.
                for (int end = 0; end < 2; ++end)
                    state.merge(id[end], id[2 + end], (U[id[end]] + U[id[2 + end]]) / 2, (V[id[end]] + V[id[2 + end]]) / 2);
                continue;
            }
            for (int end = 0; end < 2; ++end) {
                const int32_t keep = id[f0 + end];
                state.merge(id[end], id[2 + end], U[keep], V[keep]);
            }
            continue;
        }
        for (int end = 0; end < 2; ++end)
            state.merge(id[end], id[2 + end], (U[id[end]] + U[id[2 + end]]) / 2, (V[id[end]] + V[id[2 + end]]) / 2);
    }
    (void)skipped;  // border edges and faces without uvs have nothing to sew
    state.finish();
    return out;
}

}  // namespace

MeshData applyPolyMapSew(const MeshData& in, const PolyMapEdgesParams& params, std::string* warning) {
    return sew(in, params, nullptr, warning);
}

MeshData applyPolyMapSewMove(const MeshData& in, const PolyMapSewMoveParams& params, std::string* warning) {
    return sew(in, params.edges, &params, warning);
}

// --- polyMapDel -----------------------------------------------------------------------

MeshData applyPolyMapDel(const MeshData& in, const PolyMapDelParams& params, std::string* warning) {
    if (!meshmod::usableMesh(in, "polyMapDel", warning)) return in;
    const std::vector<int32_t> faces = meshmod::selectedFaces(in, params.inputComponents, "polyMapDel", warning);
    if (faces.empty()) return in;
    MeshData out = in;
    const int s = uvSetFor(out, params.uvSetName, false, "polyMapDel", warning);
    if (s < 0) return in;
    MeshUVSet& set = out.uvSets[size_t(s)];
    for (int32_t f : faces)
        for (uint32_t k = in.loopStart[in.faceLoopStart[size_t(f)]]; k < in.loopStart[in.faceLoopStart[size_t(f) + 1]]; ++k)
            set.faceVertexUV[k] = -1;
    dropUnusedUVs(set);
    return out;
}

// --- polyFlipUV -----------------------------------------------------------------------

MeshData applyPolyFlipUV(const MeshData& in, const PolyFlipUVParams& params, std::string* warning) {
    if (!meshmod::usableMesh(in, "polyFlipUV", warning)) return in;
    if (params.usePivot && !finite({params.pivotU, params.pivotV})) {
        addWarning(warning, "polyFlipUV: non-finite pivot, uvs left unchanged");
        return in;
    }
    if (params.flipType != 0 && params.flipType != 1) {
        addWarning(warning, "polyFlipUV: flipType " + std::to_string(params.flipType) + " is not known, uvs left unchanged");
        return in;
    }
    const std::vector<int32_t> faces = meshmod::selectedFaces(in, params.inputComponents, "polyFlipUV", warning);
    if (faces.empty()) return in;
    MeshData out = in;
    const int s = uvSetFor(out, params.uvSetName, false, "polyFlipUV", warning);
    if (s < 0) return in;
    MeshUVSet& set = out.uvSets[size_t(s)];
    std::vector<uint8_t> selected(in.numFaces(), 0), sharedOutside(set.u.size(), 0);
    for (int32_t f : faces) selected[size_t(f)] = 1;
    for (size_t f = 0; f < in.numFaces(); ++f)
        if (!selected[f])
            for (uint32_t k = in.loopStart[in.faceLoopStart[f]]; k < in.loopStart[in.faceLoopStart[f + 1]]; ++k)
                if (set.faceVertexUV[k] >= 0) sharedOutside[size_t(set.faceVertexUV[k])] = 1;
    // The flipped faces' uvs, cut from the faces left alone first when asked.
    std::vector<int32_t> split(set.u.size(), -1);
    std::vector<uint8_t> flip(set.u.size(), 0);
    for (int32_t f : faces)
        for (uint32_t k = in.loopStart[in.faceLoopStart[size_t(f)]]; k < in.loopStart[in.faceLoopStart[size_t(f) + 1]]; ++k) {
            int32_t& id = set.faceVertexUV[k];
            if (id < 0) continue;
            if (params.cutUV && sharedOutside[size_t(id)]) {
                if (split[size_t(id)] < 0) {
                    split[size_t(id)] = int32_t(set.u.size());
                    set.u.push_back(set.u[size_t(id)]);
                    set.v.push_back(set.v[size_t(id)]);
                    flip.push_back(0);
                }
                id = split[size_t(id)];
            }
            flip[size_t(id)] = 1;
        }
    const std::vector<float>& axis = params.flipType == 0 ? set.u : set.v;
    double lo = 1e300, hi = -1e300;
    for (size_t i = 0; i < flip.size(); ++i)
        if (flip[i]) lo = std::min(lo, double(axis[i])), hi = std::max(hi, double(axis[i]));
    if (lo > hi) return out;
    const double pivot = params.usePivot ? (params.flipType == 0 ? params.pivotU : params.pivotV)
                         : params.local ? (lo + hi) / 2 : 0.5;
    std::vector<float>& target = params.flipType == 0 ? set.u : set.v;
    for (size_t i = 0; i < flip.size(); ++i)
        if (flip[i]) target[i] = float(2 * pivot - target[i]);
    return out;
}

// --- createColorSet --------------------------------------------------------------------

MeshData applyCreateColorSet(const MeshData& in, const CreateColorSetParams& params, std::string* warning) {
    if (params.colorSetName.empty()) {
        addWarning(warning, "createColorSet: no colour set name, mesh passed through");
        return in;
    }
    for (const MeshColorSet& set : in.colorSets)
        if (set.name == params.colorSetName) return in;
    MeshData out = in;
    MeshColorSet set;
    set.name = params.colorSetName;
    set.faceVertexColor.assign(in.numFaceVertices(), -1);
    out.colorSets.push_back(std::move(set));
    out.currentColorSet = int(out.colorSets.size() - 1);
    return out;
}

}  // namespace mayahost
