#pragma once
// The stand-in's polygon mesh: what a mesh shape holds once its stored data or
// its construction history has been evaluated. Every mesh producer (stored .ma
// data, primitive creators, modifiers) fills this, and every mesh consumer
// (MFnMesh, display geometry, triangulation) reads it.
//
// Faces are stored as loops of vertex ids: the first loop of a face is its
// outer boundary, further loops are holes. Per-face-vertex data (uv ids,
// colour ids, user normals) is parallel to `faceVertices`, holes included.

#include <cstdint>
#include <string>
#include <vector>

namespace mayahost {

struct MeshUVSet {
    std::string name;                 // "map1" ...
    std::vector<float> u, v;          // the set's uv points
    std::vector<int32_t> faceVertexUV; // per face-vertex uv id, -1 where the face has no uvs in this set
};

struct MeshColorSet {
    std::string name;
    std::vector<float> rgba;              // 4 per colour
    std::vector<int32_t> faceVertexColor; // per face-vertex colour id, -1 where unset
};

struct MeshData {
    std::vector<float> points;            // 3 per vertex, object space

    std::vector<uint32_t> faceLoopStart;  // per face: first loop; size = faces + 1 (empty mesh: {0} or empty)
    std::vector<uint32_t> loopStart;      // per loop: first face-vertex; size = loops + 1
    std::vector<int32_t> faceVertices;    // vertex ids, loop after loop

    std::vector<int32_t> edges;           // 2 vertex ids per edge
    std::vector<uint8_t> edgeSmooth;      // per edge: 1 soft (smoothed normals), 0 hard

    std::vector<MeshUVSet> uvSets;
    int currentUVSet = 0;                 // index into uvSets (meaningless when uvSets is empty)

    // Locked user normals, 3 per face-vertex; empty when the mesh has none. A
    // face-vertex whose normal is not set holds values above 1e19 (Maya's 1e20 marker).
    std::vector<float> faceVertexNormals;

    std::vector<MeshColorSet> colorSets;
    int currentColorSet = 0;

    size_t numVertices() const { return points.size() / 3; }
    size_t numFaces() const { return faceLoopStart.empty() ? 0 : faceLoopStart.size() - 1; }
    size_t numLoops() const { return loopStart.empty() ? 0 : loopStart.size() - 1; }
    size_t numEdges() const { return edges.size() / 2; }
    size_t numFaceVertices() const { return faceVertices.size(); }
    // What the arrays take, for the evaluation budget.
    size_t bytes() const {
        size_t n = points.size() * 4 + faceLoopStart.size() * 4 + loopStart.size() * 4 + faceVertices.size() * 4 +
                   edges.size() * 4 + edgeSmooth.size() + faceVertexNormals.size() * 4;
        for (const MeshUVSet& s : uvSets) n += (s.u.size() + s.v.size() + s.faceVertexUV.size()) * 4;
        for (const MeshColorSet& s : colorSets) n += (s.rgba.size() + s.faceVertexColor.size()) * 4;
        return n;
    }
};

}  // namespace mayahost
