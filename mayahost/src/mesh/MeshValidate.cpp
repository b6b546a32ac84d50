#include "mesh/MeshValidate.h"

namespace mayahost {
namespace {

std::string text(const char* what, size_t index) { return std::string(what) + " " + std::to_string(index); }

// Offsets must start at 0, never go down and end at `total`.
bool offsetsValid(const std::vector<uint32_t>& offsets, size_t total) {
    if (offsets.empty()) return total == 0;
    if (offsets.front() != 0 || offsets.back() != total) return false;
    for (size_t i = 1; i < offsets.size(); ++i)
        if (offsets[i] < offsets[i - 1]) return false;
    return true;
}

std::string idsError(const std::vector<int32_t>& ids, size_t expected, size_t count, const char* what) {
    if (ids.empty()) return {};
    if (ids.size() != expected)
        return std::string(what) + " has " + std::to_string(ids.size()) + " face-vertex entries for " +
               std::to_string(expected) + " face-vertices";
    for (size_t i = 0; i < ids.size(); ++i)
        if (ids[i] < -1 || (ids[i] >= 0 && size_t(ids[i]) >= count)) return text(what, i) + " is out of range";
    return {};
}

}  // namespace

std::string meshDataError(const MeshData& m) {
    if (m.points.size() % 3) return "point array length is not a multiple of 3";
    size_t vertices = m.numVertices();
    if (m.numFaces() == 0) {
        if (!m.faceLoopStart.empty() && m.faceLoopStart[0] != 0) return "face loop offsets are inconsistent";
        if (m.numLoops() != 0 || !m.faceVertices.empty()) return "loops without faces";
    } else {
        if (!offsetsValid(m.faceLoopStart, m.numLoops())) return "face loop offsets are inconsistent";
        if (!offsetsValid(m.loopStart, m.faceVertices.size())) return "loop offsets are inconsistent";
        for (size_t f = 0; f < m.numFaces(); ++f)
            if (m.faceLoopStart[f + 1] == m.faceLoopStart[f]) return text("face", f) + " has no loop";
    }
    for (size_t i = 0; i < m.faceVertices.size(); ++i)
        if (m.faceVertices[i] < 0 || size_t(m.faceVertices[i]) >= vertices)
            return text("face-vertex", i) + " refers to a missing vertex";
    if (m.edges.size() % 2) return "edge array length is odd";
    for (size_t i = 0; i < m.edges.size(); ++i)
        if (m.edges[i] < 0 || size_t(m.edges[i]) >= vertices) return text("edge", i / 2) + " refers to a missing vertex";
    if (!m.edgeSmooth.empty() && m.edgeSmooth.size() != m.numEdges()) return "edge smoothing flags do not match the edges";
    size_t corners = m.numFaceVertices();
    for (const MeshUVSet& set : m.uvSets) {
        if (set.u.size() != set.v.size()) return "uv set " + set.name + " has unequal u and v counts";
        if (auto e = idsError(set.faceVertexUV, corners, set.u.size(), ("uv of set " + set.name).c_str()); !e.empty())
            return e;
    }
    if (!m.uvSets.empty() && (m.currentUVSet < 0 || size_t(m.currentUVSet) >= m.uvSets.size()))
        return "current uv set is out of range";
    if (!m.faceVertexNormals.empty() && m.faceVertexNormals.size() != 3 * corners)
        return "user normals do not match the face-vertices";
    for (const MeshColorSet& set : m.colorSets) {
        if (set.rgba.size() % 4) return "colour set " + set.name + " is not made of rgba quadruples";
        auto e = idsError(set.faceVertexColor, corners, set.rgba.size() / 4, ("colour of set " + set.name).c_str());
        if (!e.empty()) return e;
    }
    return {};
}

}  // namespace mayahost
