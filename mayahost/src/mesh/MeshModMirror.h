#pragma once
// polyMirror, polyBridgeEdge and polyCircularize as pure functions on
// MeshData, in the form of MeshModifiers.h (attributes named as Maya spells
// them, defaults from the node, warnings instead of failures).

#include "mesh/MeshData.h"

#include <maya/MMatrix.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace mayahost {

// --- polyMirror -------------------------------------------------------------

struct PolyMirrorParams {
    std::optional<std::vector<std::string>> inputComponents;  // inputComponents (ics): faces; absent means all
    int axis = 0;                    // axis (a): 0 X, 1 Y, 2 Z
    int axisDirection = 1;           // axisDirection (ad): 1 the copy goes to the positive side, 0 the negative
    int mirrorAxis = 2;              // mirrorAxis (ma): 0 bounding box, 1 object, 2 world
    double mirrorPosition = 0;       // mirrorPosition (mps): the plane moved along the axis
    std::array<double, 3> mirrorPlaneCenter{0, 0, 0};  // mirrorPlaneCenter (pc): moves the plane
    std::array<double, 3> mirrorPlaneRotate{0, 0, 0};  // mirrorPlaneRotate (ro): radians, turns its normal
    std::optional<std::array<double, 3>> pivot;        // pivot (p): a point of the plane, when set
    std::optional<int> direction;    // direction (d): 0..5 +X -X +Y -Y +Z -Z, the older node's axis
    bool cutMesh = false;            // cutMesh (cm): the part beyond the plane is cut away first
    int mergeMode = 1;               // mergeMode (mm): 0 none, 1 (and 3) merge border vertices, 2 bridge borders
    int mergeThresholdType = 0;      // mergeThresholdType (mtt): 0 automatic, 1 mergeThreshold
    double mergeThreshold = 0.001;   // mergeThreshold (mt)
    int flipUVs = 0;                 // flipUVs (fuv): 0 none, 1 u, 2 v about the copy's own uv box; 3 u, 4 v about 0.5
    double smoothingAngle = 0.5235987755982988;  // smoothingAngle (sma): radians, for bridge faces
    bool worldSpace = false;         // worldSpace (ws): the plane in world space through the input matrix
    MMatrix inputMatrix;             // inputMatrix (ix)
};

// The selected faces (cut at the plane first with cutMesh: the faces
// beyond it go, faces across it keep the part before it, on new vertices
// appended in the order the faces walk the edges they cross) are copied
// reflected: the copy's vertices (ids rising), faces (ids rising, each
// reversed keeping its first corner), edges (ids rising) and uvs (ids rising)
// are appended after the original's. Merging moves each border vertex whose
// copy lies within the threshold onto the plane and merges the two as
// polyMergeVert does; bridging appends a quad per border edge (edge ids
// rising) joining it to its copy.
MeshData applyPolyMirror(const MeshData& in, const PolyMirrorParams& params, std::string* warning);

// --- polyBridgeEdge ---------------------------------------------------------

struct PolyBridgeEdgeParams {
    std::optional<std::vector<std::string>> inputComponents;  // inputComponents (ics): the two chains' edges
    int divisions = 1;            // divisions (dv): rows of new vertices (divisions + 1 rows of faces)
    double twist = 0;             // twist (twt): radians, turns the rows about the bridge's axis
    double taper = 1;             // taper (tp): scale of the middle row about the axis
    int curveType = 0;            // curveType (ctp): 0 linear, 1 blend (leaves each side along its faces), 2 curve
    int bridgeOffset = 0;         // bridgeOffset (bo): shifts which vertex of the second loop the first meets
    bool reverse = false;         // reverse (rev): reverses the offset and the twist
    int startVert1 = -1;          // startVert1 (sv1): where the first chain starts
    int startVert2 = -1;          // startVert2 (sv2): where the second chain starts
    double smoothingAngle = 0.5235987755982988;  // smoothingAngle (sma): radians
};

// The listed border edges must form two chains (closed loops or open runs)
// of as many edges. The first chain (the one holding startVert1, else the
// one with the lowest edge) runs the way its faces walk it from startVert1
// (a loop) or its first end; the second runs against its faces from
// startVert2 (else its vertex nearest the first's start), moved by the
// offset. New vertices go row by row from the first chain, each row in chain
// order; the faces follow row by row, each quad walking (a+1, a, b, b+1)
// between rows a and b, so the surface keeps the sides' orientation.
MeshData applyPolyBridgeEdge(const MeshData& in, const PolyBridgeEdgeParams& params, std::string* warning);

// --- polyCircularize --------------------------------------------------------

struct PolyCircularizeParams {
    std::optional<std::vector<std::string>> inputComponents;  // inputComponents (ics): faces (their border) or edges; absent means all faces
    double radialOffset = 0;         // radialOffset (ro): added to the circle's radius
    double normalOffset = 0;         // normalOffset (no): moves the circle along its plane's normal
    double twist = 0;                // twist (tw): radians, turns the points about the centre
    bool evenlyDistribute = true;    // evenlyDistribute (ed): equal angles between the points
    bool supportingEdges = false;    // supportingEdges (se): a ring of faces keeps the old border (faces only)
    bool relaxInterior = false;      // relaxInterior (ri): not evaluated
    int divisions = 0;               // divisions (d): not evaluated
    int alignment = 0;               // alignment (al): not evaluated, the best-fit plane is used
    int normalOrientation = 0;       // normalOrientation (nor): not evaluated
};

// Each closed loop of the selection (the border of the selected faces, or
// the listed edges joined at vertices) moves onto a circle: centre the mean
// of its points, plane through it across the loop's Newell normal (the way
// the faces walk the loop, for edges the way their lowest face walks the
// first), radius the mean distance from the centre in that plane plus the
// offset. With evenlyDistribute the points sit at equal angles in loop order,
// turned as a whole as little as possible from where they were; otherwise
// each keeps its own angle. twist turns them all. Nothing is renumbered,
// except that supportingEdges first lifts the selected faces off their
// border as polyExtrudeFace does without moving them, so that the old border
// stays and the side faces join it to the circle. Open chains stay.
MeshData applyPolyCircularize(const MeshData& in, const PolyCircularizeParams& params, std::string* warning);

}  // namespace mayahost
