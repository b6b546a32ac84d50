#pragma once
// Triangulation of one polygon face, with holes, in 3D.
//
// The polygon is projected onto the plane of its Newell normal (so a slightly
// warped face triangulates like its flat shadow), holes are bridged into the
// outer loop, and the result is ear-clipped. Concave outlines, collinear and
// repeated points are handled; a face with no area or a self-crossing outline
// still gives triangles and never stalls.
//
// Quads follow what Maya draws: a convex quad is split along its shorter
// diagonal (the 0-2 diagonal on a tie, so squares give (0,1,2) (0,2,3)); a
// concave quad is split through its reflex corner, the only split that stays
// inside the outline. The diagonal is chosen on the current shape, so a
// deformed quad may flip its split, as it does in Maya's viewport.

#include "mesh/MeshVec.h"

#include <cstdint>
#include <span>
#include <vector>

namespace mayahost {

// Work arrays kept between calls so that a mesh of a million n-gons does not
// allocate per face.
struct TriangulateScratch {
    struct Node {
        double x, y;           // projected position
        uint32_t corner;       // index into the caller's corner list
        uint32_t prev, next;
        bool reflex;
        bool removed;
    };
    std::vector<Node> nodes;
    std::vector<uint32_t> reflexNodes;
    std::vector<uint32_t> holeOrder;
};

// `corners` are the face's corner positions, loop after loop (outer boundary
// first, then holes); `loopSizes` the number of corners of each loop. Appends
// triangles as triples of corner indices (into `corners`), wound like the
// outer loop, to `out` and returns how many were appended: corners - 2 + 2 *
// holes for a well-formed face. Loops of fewer than three corners are ignored.
size_t triangulatePolygon(std::span<const MeshVec> corners, std::span<const uint32_t> loopSizes,
                          std::vector<uint32_t>& out, TriangulateScratch& scratch);

// The same for a face without holes.
size_t triangulatePolygon(std::span<const MeshVec> corners, std::vector<uint32_t>& out,
                          TriangulateScratch& scratch);

// Newell's normal of a closed loop (not normalised: its length is twice the area).
MeshVec newellNormal(std::span<const MeshVec> loop);

}  // namespace mayahost
