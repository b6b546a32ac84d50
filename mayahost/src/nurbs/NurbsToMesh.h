#pragma once
// Maya's nurbsTessellate: the polygon mesh made from a NURBS surface (Modify >
// Convert NURBS to Polygons with history kept).
//
// The general format is exact: the isoparms (per span: `number` equal steps
// in every span; per surface: `number` equal steps over the domain) make a
// grid of cells, and the mesh is built by halving the parameter rectangle
// recursively, always across its longer side in cells (across v on a tie),
// at the cell count's lower half. A rectangle is a loop of four corners; the
// cut adds a point on each of the two edges it crosses (first the one the
// loop meets first) and makes two loops: the one holding the loop's first
// corner starts there, the other starts at the first new point. The half
// towards the lower parameters is cut first and its faces are appended; the
// upper half keeps the rectangle's place in the face list. A cell is a face,
// its loop as it came. Points are numbered as they are made; a closed or
// periodic direction shares its first and last isoparm. Uv i belongs to
// vertex i (its parameters as the first face in the list that uses it sees
// them), and the seam's other side gets uvs after those, in face order. Uvs
// are the parameters scaled to [0, 1].
//
// The control point format builds the same way over the grid of distinct
// control points, each a vertex where it stands, its uv its Greville
// parameter (the numbering is the general format's, assumed).
//
// Triangles split every cell from its first corner. The count and standard
// fit formats and the chord height refinement are approximated (see the
// README).

#include "mesh/MeshData.h"
#include "nurbs/NurbsData.h"

#include <string>

namespace mayahost {

struct NurbsTessellateParams {
    int format = 1;                   // format (f): 0 count, 1 standard fit, 2 general, 3 control points
    int polygonType = 0;              // polygonType (pt): 0 triangles, 1 quads
    int uType = 3, vType = 3;         // uType (ut), vType (vt): 1 3D, 2 per surface, 3 per span, 4 screen
    int uNumber = 3, vNumber = 3;     // uNumber (un), vNumber (vn)
    bool useChordHeight = false;      // useChordHeight (uch)
    bool useChordHeightRatio = true;  // useChordHeightRatio (ucr)
};

// Empty on success, else why no mesh comes out. `approximate` (may be null)
// receives a note when the mesh only approximates Maya's.
std::string nurbsTessellateMesh(const NurbsSurface& surface, const NurbsTessellateParams& params, MeshData& out,
                                std::string* approximate);

}  // namespace mayahost
