#pragma once
// Small builders for the mesh tests: meshes from plain face lists, the
// default cube, and polygon checks that hold for any valid triangulation.

#include "mesh/MeshData.h"
#include "mesh/MeshVec.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <utility>
#include <vector>

namespace meshtest {

using mayahost::MeshData;
using mayahost::MeshVec;

// A face as loops of vertex ids: outer loop first, then holes.
using Face = std::vector<std::vector<int32_t>>;

// Builds a mesh from points and faces. Edges are derived from the loops;
// every edge gets `smooth`, except the vertex pairs listed in `flipped`.
inline MeshData makeMesh(const std::vector<MeshVec>& points, const std::vector<Face>& faces, bool smooth,
                         const std::vector<std::pair<int32_t, int32_t>>& flipped = {}) {
    MeshData m;
    for (const MeshVec& p : points) {
        m.points.push_back(float(p.x));
        m.points.push_back(float(p.y));
        m.points.push_back(float(p.z));
    }
    std::map<std::pair<int32_t, int32_t>, size_t> edgeIds;
    m.faceLoopStart.push_back(0);
    m.loopStart.push_back(0);
    for (const Face& face : faces) {
        for (const auto& loop : face) {
            for (size_t i = 0; i < loop.size(); ++i) {
                int32_t a = loop[i], b = loop[(i + 1) % loop.size()];
                std::pair<int32_t, int32_t> key{std::min(a, b), std::max(a, b)};
                if (edgeIds.emplace(key, m.edgeSmooth.size()).second) {
                    m.edges.push_back(a);
                    m.edges.push_back(b);
                    bool flip = std::find(flipped.begin(), flipped.end(), key) != flipped.end();
                    m.edgeSmooth.push_back(uint8_t(smooth != flip));
                }
                m.faceVertices.push_back(a);
            }
            m.loopStart.push_back(uint32_t(m.faceVertices.size()));
        }
        m.faceLoopStart.push_back(uint32_t(m.loopStart.size() - 1));
    }
    return m;
}

// Maya's default polyCube: points, face loops and the map1 layout.
inline std::vector<MeshVec> cubePoints() {
    return {{-.5, -.5, .5}, {.5, -.5, .5}, {-.5, .5, .5}, {.5, .5, .5},
            {-.5, .5, -.5}, {.5, .5, -.5}, {-.5, -.5, -.5}, {.5, -.5, -.5}};
}
inline std::vector<Face> cubeFaces() {
    return {{{0, 1, 3, 2}}, {{2, 3, 5, 4}}, {{4, 5, 7, 6}}, {{6, 7, 1, 0}}, {{1, 7, 5, 3}}, {{6, 0, 2, 4}}};
}
inline MeshData makeCube(bool smooth, bool withUVs) {
    MeshData m = makeMesh(cubePoints(), cubeFaces(), smooth);
    if (withUVs) {
        mayahost::MeshUVSet set;
        set.name = "map1";
        set.u = {.375f, .625f, .625f, .375f, .625f, .375f, .625f, .375f, .625f, .375f, .875f, .875f, .125f, .125f};
        set.v = {0, 0, .25f, .25f, .5f, .5f, .75f, .75f, 1, 1, 0, .25f, 0, .25f};
        set.faceVertexUV = {0, 1, 2, 3, 3, 2, 4, 5, 5, 4, 6, 7, 7, 6, 8, 9, 1, 10, 11, 2, 12, 0, 3, 13};
        m.uvSets.push_back(set);
    }
    return m;
}

inline MeshVec normalAt(const std::vector<float>& normals, size_t i) {
    return {normals[3 * i], normals[3 * i + 1], normals[3 * i + 2]};
}

inline bool near(const MeshVec& a, const MeshVec& b, double tol = 1e-6) {
    return std::fabs(a.x - b.x) <= tol && std::fabs(a.y - b.y) <= tol && std::fabs(a.z - b.z) <= tol;
}

}  // namespace meshtest
