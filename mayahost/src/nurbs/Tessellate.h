#pragma once
// Tessellation of a (trimmed) NURBS surface into a triangle mesh.
//
// Standard fit: the knot spans of each direction are subdivided uniformly,
// each span on its own and independently in u and v, into a tensor grid
// (so neighbouring cells always share their sides and the mesh has no
// cracks). Subdivision counts grow until the chord height measured at the
// midpoints of cell sides and at cell centres is below the tolerance.
//
// Trimming: every trim boundary is sampled into a closed polyline in (u, v),
// adaptively so that the boundary on the surface meets the same tolerance.
// Cells no boundary touches are kept whole (two triangles) or dropped, by an
// even-odd test; cells a boundary crosses are cut along the polylines into
// faces (with holes), each kept or dropped by the same test, and the kept
// ones are triangulated. Vertices are identified by their exact parameters,
// so both cells beside a side compute the same points.
//
// Output: triangles wound so that their normal follows Su x Sv; vertices
// welded across the seams of closed and periodic directions and at collapsed
// poles; one uv set "map1" holding the parameters normalised to 0..1 over
// the knot domain; locked per face-vertex normals, the exact surface normal.

#include "mesh/MeshData.h"
#include "nurbs/NurbsData.h"

#include <string>
#include <vector>

namespace mayahost {

struct TessellationParams {
    // Numbering of Maya's MTesselationParams::TessFormat and polygon types.
    enum Format { TriangleCount = 0, StandardFit = 1, General = 2 };
    enum PolyType { Triangles = 0, Quads = 1 };
    Format format = StandardFit;
    PolyType polyType = Triangles;

    // Largest chord height allowed, as a fraction of the diagonal of the
    // bounding box of the control points. Half of the 0.5% quality aim, so
    // that the error inside triangles (which the fit only samples at cell
    // side midpoints and centres) stays below the aim.
    double fitTolerance = 0.0025;
    // Largest chord height allowed relative to the chord length (as Maya's
    // chordHeightRatio): keeps small but strongly curved details (and the
    // normals across them) from being flattened by a tolerance relative to
    // the whole surface. 0.1 is about 46 degrees of turn per segment. 0 turns it off.
    double chordHeightRatio = 0.1;
    // If above 0, also an absolute chord height bound in object units.
    double absoluteTolerance = 0;
    // Refinement caps: subdivisions of one knot span (per direction) and
    // refinement passes; bisections of one trim curve sample interval.
    int maxSubdivisionsPerSpan = 64;
    int maxRefinementPasses = 8;
    int maxTrimBisections = 16;
};

struct TessellationResult {
    MeshData mesh;
    std::vector<std::string> warnings;
    std::string error;  // non-empty: nothing was tessellated
};

TessellationResult tessellateSurface(const TrimmedSurface& surface, const TessellationParams& params);

}  // namespace mayahost
