#pragma once
// Helpers shared by the modifier implementations (not part of the API).

#include "mesh/MeshModifiers.h"
#include "mesh/MeshVec.h"

#include <array>
#include <cstdint>
#include <numeric>
#include <optional>
#include <utility>
#include <string>
#include <vector>

namespace mayahost::meshmod {

// Union-find over dense ids in which the lower id is always the root: a
// group's root is its lowest member, the id that survives a merge.
struct LowUnion {
    std::vector<int32_t> parent;
    LowUnion() = default;
    explicit LowUnion(size_t n) : parent(n) { std::iota(parent.begin(), parent.end(), 0); }
    int32_t find(int32_t x) {
        while (parent[size_t(x)] != x) x = parent[size_t(x)] = parent[size_t(parent[size_t(x)])];
        return x;
    }
    int32_t unite(int32_t a, int32_t b) {
        a = find(a), b = find(b);
        if (b < a) std::swap(a, b);
        parent[size_t(b)] = a;
        return a;
    }
};

// One key per unordered pair of ids (two vertices: the edge between them).
inline uint64_t pairKey(int32_t a, int32_t b) {
    if (a > b) std::swap(a, b);
    return (uint64_t(uint32_t(a)) << 32) | uint32_t(b);
}

// One key per ordered pair of ids (a side walked from a to b).
inline uint64_t directedKey(int32_t a, int32_t b) { return (uint64_t(uint32_t(a)) << 32) | uint32_t(b); }

// Appends `text` to the caller's warning, "; " between several.
void addWarning(std::string* warning, const std::string& text);

// True when `mesh` is consistent; else warns in the name of `node` and the
// caller passes the mesh through.
bool usableMesh(const MeshData& mesh, const char* node, std::string* warning);

// The faces an optional componentList selects: all faces when absent, else
// its "f" items (other kinds select no face). A malformed list selects
// nothing and warns.
std::vector<int32_t> selectedFaces(const MeshData& mesh, const std::optional<std::vector<std::string>>& items,
                                   const char* node, std::string* warning);

// Same for edges: "e" items, plus the edges of listed faces.
std::vector<int32_t> selectedEdges(const MeshData& mesh, const std::optional<std::vector<std::string>>& items,
                                   const char* node, std::string* warning);

// Reverses the corner order of face `f`'s loops in place (first corner kept),
// together with every per-corner array.
void reverseFace(MeshData& mesh, size_t face);

bool isFiniteMatrix(const MMatrix& m);

// Rotation about X, then Y, then Z (radians), as row vectors; its inverse is
// its transpose.
MMatrix rotationXYZ(const std::array<double, 3>& r);

// A point times an affine matrix, as a row vector.
inline MeshVec transformPoint(const MeshVec& p, const MMatrix& m) {
    return {p.x * m(0, 0) + p.y * m(1, 0) + p.z * m(2, 0) + m(3, 0), p.x * m(0, 1) + p.y * m(1, 1) + p.z * m(2, 1) + m(3, 1),
            p.x * m(0, 2) + p.y * m(1, 2) + p.z * m(2, 2) + m(3, 2)};
}

// Drops the vertices no face uses and the edges no face walks any more,
// the others keeping their order, as Maya does after an edit that moves
// faces onto new vertices.
void dropUnusedVerticesAndEdges(MeshData& mesh);

// Drops the uvs and colours no corner uses, the others keeping their order.
void dropUnusedMaps(MeshData& mesh);

// 1 per vertex a deformer may move: all when `members` is absent, else the
// listed ids (ids outside the mesh are dropped with a warning).
std::vector<uint8_t> memberMask(const std::optional<std::vector<int32_t>>& members, size_t vertexCount,
                                const char* node, std::string* warning);

// The vertex ids of `items` in their written order (duplicates kept), for
// lists whose ids pair up with an array of values. Ids at or beyond
// `vertexCount` are kept for the caller to skip; "vtx[*]" means every
// vertex. Error text for a malformed item, another kind, or more than
// `maxIds` ids in all (which would pair with nothing).
std::string expandVertexItems(const std::vector<std::string>& items, size_t vertexCount, size_t maxIds,
                              std::vector<int64_t>& ids);

// deleteComponent's dissolve (MeshModCombine.cpp): the listed interior edges
// merge the faces beside them into the lower one.
MeshData dissolveEdges(const MeshData& in, const std::vector<int32_t>& edges, std::string* warning);

// Dissolves `edges` and every edge at `vertices`, then removes the ends of
// those edges and the listed vertices that are left with two edges (MeshModMerge.cpp).
MeshData deleteEdgesAndVertices(const MeshData& in, const std::vector<int32_t>& edges,
                                const std::vector<int32_t>& vertices, std::string* warning);

}  // namespace mayahost::meshmod
