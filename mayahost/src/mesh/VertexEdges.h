#pragma once
// The edges at each vertex, so that the edge between two vertices is found
// by scanning a handful of entries instead of hashing every side.

#include "mesh/MeshData.h"

#include <cstdint>
#include <vector>

namespace mayahost {

struct VertexEdges {
    std::vector<uint32_t> offset, edge;   // the edges at vertex v: edge[offset[v] .. offset[v + 1])

    explicit VertexEdges(const MeshData& m) : offset(m.numVertices() + 1, 0), edge(m.edges.size()) {
        for (int32_t v : m.edges) ++offset[size_t(v) + 1];
        for (size_t i = 1; i < offset.size(); ++i) offset[i] += offset[i - 1];
        std::vector<uint32_t> fill(offset.begin(), offset.end() - 1);
        for (size_t i = 0; i < m.edges.size(); ++i) edge[fill[size_t(m.edges[i])]++] = uint32_t(i / 2);
    }

    // The first edge between a and b, or -1.
    int64_t find(const MeshData& m, int32_t a, int32_t b) const {
        for (uint32_t i = offset[size_t(a)]; i < offset[size_t(a) + 1]; ++i) {
            const uint32_t e = edge[i];
            if ((m.edges[2 * e] == a && m.edges[2 * e + 1] == b) || (m.edges[2 * e] == b && m.edges[2 * e + 1] == a))
                return e;
        }
        return -1;
    }
};

}  // namespace mayahost
