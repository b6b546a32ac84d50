#pragma once
// Maya's uv editing history nodes as pure functions on MeshData: projections
// (polyPlanarProj, polyCylProj, polySphProj, polyAutoProj), the layout of
// uv shells (polyLayoutUV), cuts and sews of uv edges (polyMapCut,
// polyMapSew, polyMapSewMove), polyMapDel, polyFlipUV and createColorSet.
// The geometry passes through unchanged; only uv and colour sets change.
// Conventions as in MeshModifiers.h: the structs start from the node's
// defaults, bad input warns and passes through.
//
// Uv numbering shared by all of them: uvs no face uses any more after the
// edit are dropped, the others keeping their order; new uvs are appended in
// order of first use (faces by id, corners in loop order).

#include "mesh/MeshData.h"

#include <maya/MMatrix.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace mayahost {

// --- polyPlanarProj / polyCylProj / polySphProj -------------------------------

enum class UVProjectionKind { Planar, Cylindrical, Spherical };

struct UVProjectionParams {
    UVProjectionKind kind = UVProjectionKind::Planar;
    // inputComponents (ics): faces; absent means every face.
    std::optional<std::vector<std::string>> inputComponents;
    std::array<double, 3> projectionCenter{0, 0, 0};  // projectionCenter (pc)
    std::array<double, 3> rotate{0, 0, 0};            // rotate (ro): radians, applied X then Y then Z
    // projectionScale (ps): planar width/height (pw, ph); cylindrical
    // horizontal sweep (radians) and height; spherical horizontal and
    // vertical sweeps (radians). Defaults per kind: see defaultProjectionScale.
    std::array<double, 2> projectionScale{1, 1};
    std::array<double, 2> imageCenter{0.5, 0.5};      // imageCenter (ic)
    std::array<double, 2> imageScale{1, 1};           // imageScale (is)
    double rotationAngle = 0;                         // rotationAngle (ra): radians
    bool seamCorrect = true;                          // seamCorrect (sc): cylindrical and spherical
    bool worldSpace = false;                          // worldSpace (ws): points go through inputMatrix
    MMatrix inputMatrix;                              // inputMatrix (ix)
    std::string uvSetName;                            // uvSetName (uvs): empty is the current set
};

std::array<double, 2> defaultProjectionScale(UVProjectionKind kind);

// Each projected vertex gets one uv shared by the selected faces around it;
// with seamCorrect, the corners of a face straddling the cylinder's or
// sphere's seam (behind the projection, -Z of its frame) on the far side get
// a uv of their own one sweep further, and a corner on the axis takes the
// angle of its face's other corners, so neither stretches across the map.
// A named set the mesh lacks is made (what the command's createNewMap leaves).
MeshData applyUVProjection(const MeshData& in, const UVProjectionParams& params, std::string* warning);

// --- polyAutoProj ---------------------------------------------------------------

struct PolyAutoProjParams {
    std::optional<std::vector<std::string>> inputComponents;  // inputComponents (ics)
    int planes = 6;                         // planes (p): 3, 4, 5, 6, 8 or 12
    int optimize = 1;                       // optimize (o): 0 every face its best plane, 1 fewer pieces
    int layout = 2;                         // layout (l): 0 none, 1 along U, 2 into a square, 3 tiled
    int scaleMode = 1;                      // scaleMode (sc): 0 none, 1 uniform, 2 stretch to the square
    double percentageSpace = 0;             // percentageSpace (ps): gap between pieces, percent of the space
    bool projectBothDirections = false;     // projectBothDirections (pb): opposite planes share a projection
    std::array<double, 3> translate{0, 0, 0};  // translate (t)
    std::array<double, 3> rotate{0, 0, 0};     // rotate (r): radians
    std::array<double, 3> scale{1, 1, 1};      // scale (s)
    std::array<double, 3> pivot{0, 0, 0};      // pivot (pvt)
    bool worldSpace = false;                // worldSpace (ws)
    MMatrix inputMatrix;                    // inputMatrix (ix)
    std::string uvSetName;                  // uvSetName (uvs)
};

// Every selected face takes the plane whose normal is closest to its own;
// faces joined by an edge on the same plane form a piece, whose vertices get
// one uv each (pieces in order of their lowest face). Pieces are then
// scaled and packed (see the implementation for the packing chosen).
MeshData applyPolyAutoProj(const MeshData& in, const PolyAutoProjParams& params, std::string* warning);

// --- polyLayoutUV ----------------------------------------------------------------

struct PolyLayoutUVParams {
    std::optional<std::vector<std::string>> inputComponents;  // inputComponents (ics): faces
    int layout = 2;                 // layout (l): 0 none, 1 along U, 2 into a square, 3 tiled
    int scale = 1;                  // scale (sc): 0 none, 1 uniform, 2 stretch to the square
    double percentageSpace = 0;     // percentageSpace (ps): gap between shells, percent of the space
    bool flipReversed = true;       // flipReversed (fr): shells mirrored in uv are flipped back
    int rotateForBestFit = 0;       // rotateForBestFit (rbf): 0 none, 1 quarter turns, 2 free
    int separate = 0;               // separate (se): 0 no cuts; others not evaluated
    int gridU = 1, gridV = 1;       // gridU (gu), gridV (gv): not evaluated
    std::string uvSetName;          // uvSetName (uvs)
};

// The shells (the selected faces' uvs, joined where faces share them, in
// order of their first face) are flipped when reversed, laid down with a
// quarter turn when taller than wide (only when a layout moves them) and
// packed as polyAutoProj packs its pieces. With no layout, no scale and no
// flip every uv stays exactly where it is.
MeshData applyPolyLayoutUV(const MeshData& in, const PolyLayoutUVParams& params, std::string* warning);

// --- polyMapCut / polyMapSew / polyMapSewMove -----------------------------------

struct PolyMapEdgesParams {
    std::optional<std::vector<std::string>> inputComponents;  // inputComponents (ics): edges
    std::string uvSetName;                                     // uvSetName (uvs)
};

// Each listed edge between two faces gets its own uvs on each side: at each
// end, the faces around the vertex sharing one uv that the cut (with the
// seams already there) parts into separate fans give every fan but the one
// holding the uv's first corner a new uv, at the same place.
MeshData applyPolyMapCut(const MeshData& in, const PolyMapEdgesParams& params, std::string* warning);

// The uvs on the two sides of each listed edge become one, at their midpoint;
// the lower id stays.
MeshData applyPolyMapSew(const MeshData& in, const PolyMapEdgesParams& params, std::string* warning);

struct PolyMapSewMoveParams {
    PolyMapEdgesParams edges;
    int numberFaces = 10;          // numberFaces (nf): the largest piece moved when limited
    bool limitPieceSize = false;   // limitPieceSize (lps)
};

// Per listed edge joining two uv pieces, the piece with fewer faces (the
// second side's on a tie) is turned and moved so that its side of the edge
// lies on the other's, then the edge is sewn at the fixed piece's uvs. A
// piece over numberFaces with limitPieceSize is sewn without moving.
MeshData applyPolyMapSewMove(const MeshData& in, const PolyMapSewMoveParams& params, std::string* warning);

// --- polyMapDel ------------------------------------------------------------------

struct PolyMapDelParams {
    std::optional<std::vector<std::string>> inputComponents;  // inputComponents (ics): faces
    std::string uvSetName;                                     // uvSetName (uvs)
};

// The listed faces lose their uvs in the set.
MeshData applyPolyMapDel(const MeshData& in, const PolyMapDelParams& params, std::string* warning);

// --- polyFlipUV ----------------------------------------------------------------------

struct PolyFlipUVParams {
    std::optional<std::vector<std::string>> inputComponents;  // inputComponents (ics): faces
    int flipType = 0;           // flipType (ft): 0 horizontal (mirrors u), 1 vertical (mirrors v)
    bool local = true;          // local (l): about the centre of the faces' uv box, else about 0.5
    bool usePivot = false;      // usePivot (up): about the pivot instead
    double pivotU = 0, pivotV = 0;  // pivotU (pu), pivotV (pv)
    bool cutUV = true;          // cutUV (cut): uvs shared with faces left alone are split first
    std::string uvSetName;      // uvSetName (uvs)
};

MeshData applyPolyFlipUV(const MeshData& in, const PolyFlipUVParams& params, std::string* warning);

// --- createColorSet ------------------------------------------------------------------

struct CreateColorSetParams {
    std::string colorSetName;   // colorSetName (colos)
    // clamped (clam) and representation (rprt) describe values an empty set does not have yet.
};

// Adds an empty colour set of that name and makes it current; an existing
// set of the name is left as it is.
MeshData applyCreateColorSet(const MeshData& in, const CreateColorSetParams& params, std::string* warning);

}  // namespace mayahost
