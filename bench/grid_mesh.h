#pragma once
// Generated meshes for the benchmarks that read large scenes.

#include <algorithm>
#include <cstdio>
#include <ostream>
#include <random>

// One stored mesh of side x side quads in a grid (transform "mesh<index>",
// shape "meshShape<index>"), written the way Maya writes meshes:
// vertices in float3 chunks, edges as triples, faces as polyFaces chunks.
inline void writeGridMesh(std::ostream& out, int index, int side, std::mt19937& rng) {
    std::uniform_real_distribution<double> jitter(-0.01, 0.01);
    const int verts = (side + 1) * (side + 1);
    out << "createNode transform -n \"mesh" << index << "\";\n";
    out << "\tsetAttr \".t\" -type \"double3\" " << index << " 0 " << -index << " ;\n";
    out << "createNode mesh -n \"meshShape" << index << "\" -p \"mesh" << index << "\";\n";
    out << "\tsetAttr \".uvst[0].uvsn\" -type \"string\" \"map1\";\n";
    char buf[96];
    const int chunk = 500;
    for (int start = 0; start < verts; start += chunk) {
        int end = std::min(verts, start + chunk) - 1;
        out << "\tsetAttr -s " << verts << " \".uvst[0].uvsp[" << start << ":" << end << "]\" -type \"float2\"";
        for (int v = start; v <= end; ++v) {
            std::snprintf(buf, sizeof buf, " %.6g %.6g", double(v % (side + 1)) / side, double(v / (side + 1)) / side);
            out << buf;
        }
        out << ";\n";
    }
    for (int start = 0; start < verts; start += chunk) {
        int end = std::min(verts, start + chunk) - 1;
        out << "\tsetAttr -s " << verts << " \".vt[" << start << ":" << end << "]\"";
        for (int v = start; v <= end; ++v) {
            // one draw after the other: function arguments have no set order
            const double x = v % (side + 1) + jitter(rng), y = jitter(rng), z = v / (side + 1) + jitter(rng);
            std::snprintf(buf, sizeof buf, " %.8g %.8g %.8g", x, y, z);
            out << buf;
        }
        out << ";\n";
    }
    // Edges: horizontal then vertical.
    const int hEdges = side * (side + 1);
    const int edges = 2 * hEdges;
    for (int start = 0; start < edges; start += chunk) {
        int end = std::min(edges, start + chunk) - 1;
        out << "\tsetAttr -s " << edges << " \".ed[" << start << ":" << end << "]\"";
        for (int e = start; e <= end; ++e) {
            int a, b;
            if (e < hEdges) {
                a = (e / side) * (side + 1) + e % side;
                b = a + 1;
            } else {
                int k = e - hEdges;
                a = (k / (side + 1)) * (side + 1) + k % (side + 1);
                b = a + side + 1;
            }
            out << ' ' << a << ' ' << b << " 1";  // soft, as most modelled meshes are
        }
        out << ";\n";
    }
    const int faces = side * side;
    for (int start = 0; start < faces; start += chunk) {
        int end = std::min(faces, start + chunk) - 1;
        out << "\tsetAttr -s " << faces << " \".fc[" << start << ":" << end << "]\" -type \"polyFaces\"";
        for (int f = start; f <= end; ++f) {
            int row = f / side, col = f % side;
            int bottom = row * side + col;
            int top = (row + 1) * side + col;
            int left = hEdges + row * (side + 1) + col;
            int right = left + 1;
            int v0 = row * (side + 1) + col;
            out << "\n\t\tf 4 " << bottom << ' ' << right << ' ' << -(top + 1) << ' ' << -(left + 1);
            out << "\n\t\tmu 0 4 " << v0 << ' ' << v0 + 1 << ' ' << v0 + side + 2 << ' ' << v0 + side + 1;
        }
        out << ";\n";
    }
}
