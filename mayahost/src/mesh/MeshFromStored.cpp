#include "mesh/MeshFromStored.h"

#include <algorithm>
#include <cmath>

namespace mayahost {
namespace {

std::string num(size_t n) { return std::to_string(n); }

std::string buildPoints(StoredMesh& s, MeshData& m, std::vector<std::string>& warnings) {
    if (s.vertices.size() % 3) return "vertex list is not made of x y z triples";
    if (s.tweaks.size() % 3) return "tweak list is not made of x y z triples";
    // Maya keeps tweaks of vertices a later edit removed; they move nothing,
    // and are worth a word only when one of them would have moved a point.
    if (s.tweaks.size() > s.vertices.size()) {
        const bool moving = std::any_of(s.tweaks.begin() + std::ptrdiff_t(s.vertices.size()), s.tweaks.end(),
                                        [](float t) { return std::abs(t) > 1e-6f; });
        if (moving)
            warnings.push_back(num((s.tweaks.size() - s.vertices.size()) / 3) + " tweaks beyond the mesh's " +
                               num(s.vertices.size() / 3) + " vertices ignored");
        s.tweaks.resize(s.vertices.size());
    }
    m.points = std::move(s.vertices);
    for (size_t i = 0; i < s.tweaks.size(); ++i) m.points[i] += s.tweaks[i];
    return {};
}

std::string buildEdges(const StoredMesh& s, MeshData& m) {
    if (s.edges.size() % 3) return "edge list is not made of vertex, vertex, smoothing triples";
    size_t count = s.edges.size() / 3, vertices = m.numVertices();
    m.edges.resize(2 * count);
    m.edgeSmooth.resize(count);
    for (size_t e = 0; e < count; ++e) {
        int32_t a = s.edges[3 * e], b = s.edges[3 * e + 1];
        if (a < 0 || b < 0 || size_t(a) >= vertices || size_t(b) >= vertices)
            return "edge " + num(e) + " joins vertices " + std::to_string(a) + " and " + std::to_string(b) +
                   " of " + num(vertices);
        m.edges[2 * e] = a;
        m.edges[2 * e + 1] = b;
        m.edgeSmooth[e] = s.edges[3 * e + 2] != 0;
    }
    return {};
}

bool offsetsValid(const std::vector<uint32_t>& offsets, size_t total) {
    if (offsets.empty()) return total == 0;
    if (offsets.front() != 0 || offsets.back() != total) return false;
    return std::is_sorted(offsets.begin(), offsets.end());
}

// Face-vertices from edge loops: each corner is the vertex an edge starts
// from as the loop runs, and each edge must end where the next one starts.
std::string buildFaces(const scenefile::PolyFaces& f, MeshData& m) {
    if (f.faceCount() == 0) {
        if (f.loopCount() != 0) return "face data has loops but no faces";
        return {};
    }
    if (!offsetsValid(f.loopStart, f.edges.size()) || !offsetsValid(f.faceLoopStart, f.loopCount()))
        return "face data offsets are inconsistent";
    size_t edgeCount = m.numEdges();
    m.faceLoopStart = f.faceLoopStart;
    m.loopStart = f.loopStart;
    m.faceVertices.resize(f.edges.size());
    size_t face = 0;
    for (size_t loop = 0; loop < f.loopCount(); ++loop) {
        while (f.faceLoopStart[face + 1] <= loop) ++face;
        if (f.faceLoopStart[face] == f.faceLoopStart[face + 1]) return "face " + num(face) + " has no loop";
        uint32_t begin = f.loopStart[loop], end = f.loopStart[loop + 1];
        std::string where = (loop == f.faceLoopStart[face] ? "face " + num(face)
                                                             : "hole " + num(loop - f.faceLoopStart[face]) + " of face " + num(face));
        if (end - begin < 3) return where + " has " + num(end - begin) + " edges";
        int32_t firstStart = -1, previousEnd = -1;
        for (uint32_t i = begin; i < end; ++i) {
            int32_t signedEdge = f.edges[i];
            int64_t e = signedEdge >= 0 ? int64_t(signedEdge) : -int64_t(signedEdge) - 1;
            if (size_t(e) >= edgeCount)
                return where + " uses edge " + std::to_string(e) + " of " + num(edgeCount);
            int32_t from = m.edges[2 * size_t(e) + (signedEdge < 0)];
            int32_t to = m.edges[2 * size_t(e) + (signedEdge >= 0)];
            if (i == begin) firstStart = from;
            else if (from != previousEnd) return where + " is not a closed chain of edges at edge " + std::to_string(e);
            m.faceVertices[i] = from;
            previousEnd = to;
        }
        if (previousEnd != firstStart) return where + " does not close";
    }
    return {};
}

// Spreads per-loop id lists into a per-face-vertex id array.
std::string spreadLoopIds(const scenefile::PolyFaces& f, const scenefile::PolyFaces::LoopIds& ids, const std::vector<int32_t>& pool,
                          size_t limit, const char* what, std::vector<int32_t>& perCorner, size_t corners) {
    if (ids.loop >= f.loopCount()) return std::string(what) + " ids name loop " + num(ids.loop) + " of " + num(f.loopCount());
    uint32_t begin = f.loopStart[ids.loop], size = f.loopStart[ids.loop + 1] - begin;
    if (ids.count != size)
        return std::string(what) + " ids of loop " + num(ids.loop) + " number " + num(ids.count) + " for " + num(size) + " edges";
    if (size_t(ids.start) + ids.count > pool.size()) return std::string(what) + " ids run past their list";
    if (perCorner.empty()) perCorner.assign(corners, -1);
    for (uint32_t i = 0; i < size; ++i) {
        int32_t id = pool[ids.start + i];
        if (id == -1) continue;   // a sparse set leaves the corner without a value
        if (id < 0 || size_t(id) >= limit)
            return std::string(what) + " id " + std::to_string(id) + " of loop " + num(ids.loop) + " is not among " + num(limit);
        perCorner[begin + i] = id;
    }
    return {};
}

const scenefile::PolyFaces& facesOf(const StoredMesh& s) { return s.facesView ? *s.facesView : s.faces; }

std::string buildUVs(StoredMesh& s, MeshData& m) {
    std::sort(s.uvSets.begin(), s.uvSets.end(), [](auto& a, auto& b) { return a.index < b.index; });
    for (size_t i = 0; i < s.uvSets.size(); ++i) {
        StoredUVSet& in = s.uvSets[i];
        if (i > 0 && in.index == s.uvSets[i - 1].index) return "uv set index " + std::to_string(in.index) + " appears twice";
        if (in.points.size() % 2) return "uv set " + in.name + " has an odd number of coordinates";
        MeshUVSet out;
        out.name = in.name;
        out.u.resize(in.points.size() / 2);
        out.v.resize(in.points.size() / 2);
        for (size_t p = 0; p < out.u.size(); ++p) out.u[p] = in.points[2 * p], out.v[p] = in.points[2 * p + 1];
        m.uvSets.push_back(std::move(out));
    }
    const scenefile::PolyFaces& faces = facesOf(s);
    for (const auto& ids : faces.uvLoops) {
        auto set = std::find_if(s.uvSets.begin(), s.uvSets.end(), [&](auto& u) { return u.index == ids.set; });
        if (set == s.uvSets.end()) return "faces use uv set " + std::to_string(ids.set) + ", which the mesh does not have";
        MeshUVSet& target = m.uvSets[size_t(set - s.uvSets.begin())];
        std::string e = spreadLoopIds(faces, ids, faces.uvIds, target.u.size(), "uv", target.faceVertexUV, m.numFaceVertices());
        if (!e.empty()) return e;
    }
    m.currentUVSet = 0;
    for (size_t i = 0; i < m.uvSets.size(); ++i)
        if (m.uvSets[i].name == s.currentUVSet) m.currentUVSet = int(i);
    return {};
}

std::string buildColors(StoredMesh& s, MeshData& m, std::vector<std::string>& warnings) {
    std::sort(s.colorSets.begin(), s.colorSets.end(), [](auto& a, auto& b) { return a.index < b.index; });
    for (StoredColorSet& in : s.colorSets) {
        if (in.rgba.size() % 4) return "colour set " + in.name + " is not made of rgba quadruples";
        m.colorSets.push_back(MeshColorSet{in.name, std::move(in.rgba), {}});
    }
    const scenefile::PolyFaces& faces = facesOf(s);
    for (const auto& ids : faces.colorLoops) {
        auto set = std::find_if(s.colorSets.begin(), s.colorSets.end(), [&](auto& c) { return c.index == ids.set; });
        if (set == s.colorSets.end()) {
            // Colours never shape the geometry: ids of a missing set are dropped, not fatal.
            warnings.push_back("face colours refer to colour set " + std::to_string(ids.set) + ", which the mesh does not have");
            continue;
        }
        MeshColorSet& target = m.colorSets[size_t(set - s.colorSets.begin())];
        std::string e = spreadLoopIds(faces, ids, faces.colorIds, target.rgba.size() / 4, "colour",
                                      target.faceVertexColor, m.numFaceVertices());
        if (!e.empty()) return e;
    }
    m.currentColorSet = 0;
    for (size_t i = 0; i < m.colorSets.size(); ++i)
        if (m.colorSets[i].name == s.currentColorSet) m.currentColorSet = int(i);
    return {};
}

std::string buildNormals(StoredMesh& s, MeshData& m) {
    if (s.normals.empty()) return {};
    size_t wanted = 3 * m.numFaceVertices();
    if (s.normals.size() % 3) return "user normals are not made of x y z triples";
    if (s.normals.size() > wanted)
        return "mesh has " + num(s.normals.size() / 3) + " user normals for " + num(wanted / 3) + " face-vertices";
    m.faceVertexNormals = std::move(s.normals);
    m.faceVertexNormals.resize(wanted, 1e20f);
    return {};
}

}  // namespace

StoredMeshResult meshFromStored(StoredMesh stored, MeshData& mesh) {
    StoredMeshResult result;
    mesh = MeshData{};
    result.error = buildPoints(stored, mesh, result.warnings);
    if (result.error.empty()) result.error = buildEdges(stored, mesh);
    if (result.error.empty()) result.error = buildFaces(facesOf(stored), mesh);
    if (result.error.empty()) result.error = buildUVs(stored, mesh);
    if (result.error.empty()) result.error = buildColors(stored, mesh, result.warnings);
    if (result.error.empty()) result.error = buildNormals(stored, mesh);
    if (!result.error.empty()) mesh = MeshData{};
    return result;
}

}  // namespace mayahost
