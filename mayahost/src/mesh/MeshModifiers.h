#pragma once
// Maya's simple polygon modifiers and deformers as pure functions on MeshData:
// the history walk reads a node's attributes into its parameter struct and
// calls the matching apply function on the mesh arriving at the node's input.
//
// Every struct names the node's attributes as Maya spells them (long name,
// short name and how a .ma file writes the value in the comment) and starts
// from the node's default, which is what a file leaves out.
//
// None of these functions throws or reads out of bounds on bad parameters:
// ids outside the mesh, malformed component lists, singular or non-finite
// matrices give a warning (appended to `*warning` when it is not null, several
// joined by "; ") and the affected part passes through unchanged. A mesh that
// fails meshDataError passes through whole with a warning.

#include "mesh/MeshData.h"

#include <maya/MMatrix.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace mayahost {

// --- Component lists ------------------------------------------------------

// A componentList as a .ma file writes it: `-type "componentList" 2 "f[0]"
// "f[3:5]"`, items named "vtx", "e", "f" or "map", each with one index, an
// inclusive range "a:b" or "*" (all). Indices are sorted and unique.
struct ComponentSelection {
    std::vector<int32_t> vertices;
    std::vector<int32_t> edges;
    std::vector<int32_t> faces;
    std::vector<int32_t> uvs;
    bool empty() const { return vertices.empty() && edges.empty() && faces.empty() && uvs.empty(); }
};

// How many of each component kind a mesh has: the bounds the items are checked against.
struct ComponentLimits {
    size_t vertices = 0, edges = 0, faces = 0, uvs = 0;
};

// Limits of `mesh`; uvs counts the points of the uv set `uvSet` (the current
// set when negative, zero when the mesh has no such set).
ComponentLimits componentLimits(const MeshData& mesh, int uvSet = -1);

// Parses `items` into `out`. Returns an empty string on success, else a
// sentence naming the first bad item (unknown kind, malformed range, index
// beyond the limit); `out` is then left empty.
std::string parseComponentList(const std::vector<std::string>& items, const ComponentLimits& limits,
                               ComponentSelection& out);

// --- transformGeometry ----------------------------------------------------

struct TransformGeometryParams {
    MMatrix transform;             // transform (txf): setAttr ".txf" -type "matrix" 16 numbers row by row
    bool invertTransform = false;  // invertTransform (itf)
    int freezeNormals = 0;         // freezeNormals (fn): 0 user normals follow the transform, else they stay
    bool reverseNormals = false;   // reverseNormals (rn): flip every face, user normals keep their direction
};

// Points go through the matrix as row vectors (p * M, divided by w when the
// last column is not 0 0 0 1); user normals through its inverse transpose.
MeshData applyTransformGeometry(const MeshData& in, const TransformGeometryParams& params, std::string* warning);

// --- tweak ----------------------------------------------------------------

struct TweakVector {
    int32_t index = 0;   // the vertex id (the multi index of vl[0].vt[i] or pl[0].cp[i])
    float x = 0, y = 0, z = 0;
};

struct TweakParams {
    // vlist (vl)[0].vertex (vt)[i]: float3, e.g. setAttr -s 3 ".vl[0].vt[0:2]" -type "float3" ...
    // (plist (pl)[0].controlPoints (cp)[i] holds the same for other geometry; pass either here).
    std::vector<TweakVector> vertex;
    bool relativeTweak = true;  // relativeTweak (rtw): added to the point, else the point's new position
    double envelope = 1.0;      // envelope (en): fraction of the tweak applied
    // The vertices of the deformer's set (the components of the groupParts
    // feeding its input, e.g. "vtx[*]"); absent means every vertex. Others keep their points.
    std::optional<std::vector<int32_t>> members;
};

MeshData applyTweak(const MeshData& in, const TweakParams& params, std::string* warning);

// The deformers' point part: `points` holds x y z per point, a mesh's
// vertices or a NURBS shape's control points in CV order, and moves in place.
// The deformers' Mesh functions go through these.
std::vector<double> meshPoints(const MeshData& mesh);
void setMeshPoints(MeshData& mesh, const std::vector<double>& points);
void deformTweak(std::vector<double>& points, const TweakParams& params, std::string* warning);

// --- groupParts / groupId ----------------------------------------------------

struct GroupPartsParams {
    std::vector<std::string> inputComponents;        // inputComponents (ic): componentList
    std::vector<std::string> inputRemoveComponent;   // inputRemoveComponent (irc): componentList
    int32_t groupId = 0;                             // groupId (gi): from the connected groupId node's id
};

// The components groupParts tags on `mesh`: ic minus irc. The mesh itself
// passes through unchanged (the tag matters only for shading assignment).
// A malformed list yields an empty selection and a warning.
ComponentSelection groupPartsComponents(const MeshData& mesh, const GroupPartsParams& params, std::string* warning);

// --- polyNormal -------------------------------------------------------------

enum class PolyNormalMode {
    Reverse = 0,               // flip the selected faces
    Propagate = 1,             // turn the rest of each shell to agree with the selected faces
    Conform = 2,               // turn each shell touched by the selection to its majority direction
    ReverseAndCut = 3,         // flip the selected faces (the cut along their border is not made)
    ReverseAndPropagate = 4,   // flip the selected faces, then propagate them over their shells
};

struct PolyNormalParams {
    // inputComponents (ics): componentList of faces, e.g. "f[*]"; absent means the whole mesh.
    std::optional<std::vector<std::string>> inputComponents;
    PolyNormalMode normalMode = PolyNormalMode::Reverse;  // normalMode (nm): enum index
    bool userNormalMode = true;                           // userNormalMode (unm): flip user normals too
};

// A face is flipped by reversing its loops while keeping each loop's first
// corner: (a b c d) becomes (a d c b); uvs, colours and user normals follow
// their corners.
MeshData applyPolyNormal(const MeshData& in, const PolyNormalParams& params, std::string* warning);

// --- polySoftEdge -------------------------------------------------------------

struct PolySoftEdgeParams {
    // inputComponents (ics): componentList of edges, "e[*]"; faces select their edges.
    // Absent means the whole mesh.
    std::optional<std::vector<std::string>> inputComponents;
    double angle = 30.0;  // angle (a): degrees (the file's angle unit; the caller converts radians)
};

// A selected edge becomes hard when the normals of two faces sharing it are
// more than `angle` apart, else soft. Border edges have nothing to crease
// against and become soft.
MeshData applyPolySoftEdge(const MeshData& in, const PolySoftEdgeParams& params, std::string* warning);

// --- polyTriangulate ---------------------------------------------------------

struct PolyTriangulateParams {
    // inputComponents (ics): componentList of faces; absent means the whole mesh.
    std::optional<std::vector<std::string>> inputComponents;
};

// Every selected face of more than three corners (or with holes) is replaced
// in place by its triangles, in the order the display triangulation gives
// them, so the ids of later faces grow by the triangles added before them.
// New edges are appended, soft; per-corner data follows the corners.
MeshData applyPolyTriangulate(const MeshData& in, const PolyTriangulateParams& params, std::string* warning);

// --- polyColorPerVertex ------------------------------------------------------

// One entry of vertexColor (vclr)[v]. Colour and alpha are separate
// attributes; a value the file does not set is absent.
struct VertexFaceColor {
    int32_t face = 0;                          // the multi index of vertexFaceColor (vfcl)[f]
    std::optional<std::array<float, 3>> rgb;   // vertexFaceColorRGB (frgb): float3
    std::optional<float> alpha;                // vertexFaceAlpha (vfal)
};

struct VertexColor {
    int32_t vertex = 0;                        // the multi index of vertexColor (vclr)[v]
    std::optional<std::array<float, 3>> rgb;   // vertexColorRGB (vrgb): float3
    std::optional<float> alpha;                // vertexAlpha (vxal)
    std::vector<VertexFaceColor> faceColors;   // vertexFaceColor (vfcl)
};

struct PolyColorPerVertexParams {
    std::vector<VertexColor> vertexColor;       // vertexColor (vclr)
    std::string colorSetName = "colorSet1";     // colorSetName (cn): string
    bool clamped = false;                       // clamped (clam): colours held to [0, 1]
};

// Writes the colours into the set named colorSetName, made (and made
// current) when the mesh has none of that name. A face-vertex takes its
// face colour, else its vertex colour; a missing alpha is 1; a face-vertex
// the node does not mention keeps what it had.
MeshData applyPolyColorPerVertex(const MeshData& in, const PolyColorPerVertexParams& params, std::string* warning);

// --- polyTweakUV -------------------------------------------------------------

struct UVTweak {
    int32_t index = 0;   // the uv id (multi index of uvTweak (uvtk)[i])
    float u = 0, v = 0;
};

struct PolyTweakUVParams {
    // uvTweak (uvtk)[i]: float2, e.g. setAttr -s 4 ".uvtk[0:3]" -type "float2" ...
    std::vector<UVTweak> uvTweak;
    std::string uvSetName;  // uvSetName (uvs): empty means the mesh's current set
};

MeshData applyPolyTweakUV(const MeshData& in, const PolyTweakUVParams& params, std::string* warning);

// --- polyNormalPerVertex ------------------------------------------------------

// vertexNormal (vn)[v]: vertexNormalXYZ (nxyz) for every face around vertex v,
// and vertexFaceNormal (vfnl)[f].vertexFaceNormalXYZ (fnxy) for face f alone.
struct VertexNormal {
    int32_t vertex = 0;
    std::optional<std::array<float, 3>> normal;
    std::vector<std::pair<int32_t, std::array<float, 3>>> faceNormals;
};

struct PolyNormalPerVertexParams {
    std::vector<VertexNormal> vertexNormal;
};

// Locks the given normals as user normals of the face-vertices they name; a
// face normal wins over its vertex's normal.
MeshData applyPolyNormalPerVertex(const MeshData& in, const PolyNormalPerVertexParams& params, std::string* warning);

// --- skinCluster -------------------------------------------------------------

struct SkinWeight {
    int32_t influence = 0;  // the multi index of weights (w)[j]: the logical index of matrix/bindPreMatrix
    double weight = 0.0;
};

enum class SkinNormalizeWeights {
    None = 0,         // weights used as stored
    Interactive = 1,  // kept normalised while editing: used as stored
    Post = 2,         // divided by their sum when deforming
};

struct SkinClusterParams {
    // weightList (wl)[v].weights (w)[j]: sparse; a .ma writes ".wl[0:7].w" with,
    // per vertex, a count followed by influence/weight pairs. Index = vertex id.
    std::vector<std::vector<SkinWeight>> weightList;
    // bindPreMatrix (pm)[j]: "matrix"; an absent entry is the identity.
    std::vector<std::optional<MMatrix>> bindPreMatrix;
    // matrix (ma)[j]: the influences' world matrices at the current time
    // (connected from the joints' worldMatrix; the caller evaluates them).
    std::vector<std::optional<MMatrix>> matrix;
    MMatrix geomMatrix;   // geomMatrix (gm): the shape's world matrix when it was bound
    SkinNormalizeWeights normalizeWeights = SkinNormalizeWeights::Interactive;  // normalizeWeights (nw)
    int skinningMethod = 0;     // skinningMethod (skm): 0 linear; dual quaternion is not evaluated
    double envelope = 1.0;      // envelope (en)
    bool deformUserNormals = true;  // deformUserNormals (dun)
    // The vertices of the deformer's set (the components of the groupParts
    // feeding its input, e.g. "vtx[*]"); absent means every vertex. Others keep their points.
    std::optional<std::vector<int32_t>> members;
};

// Linear blend skinning: p' = p * gm * (sum_j w_j * pm_j * ma_j) * inverse(gm),
// blended with the input by the envelope. A vertex whose weights sum to zero
// goes to the shape's origin as in Maya (a warning counts them); a vertex
// without a weightList entry keeps its point. User normals go through the
// inverse transpose of each vertex's blended matrix.
MeshData applySkinCluster(const MeshData& in, const SkinClusterParams& params, std::string* warning);
// False (the points kept) when the parameters cannot be used; `moves`, when
// given, receives each moved point's object-space matrix (for its normals).
bool deformSkinCluster(std::vector<double>& points, const SkinClusterParams& params, std::string* warning,
                       std::vector<std::optional<MMatrix>>* moves = nullptr);

// --- blendShape ----------------------------------------------------------------

// inputTarget (it)[0].inputTargetGroup (itg)[t].inputTargetItem (iti)[i]: one
// shape of a target, reached at weight (i - 5000) / 1000 (6000 is the full
// target, others are in-betweens).
struct BlendShapeTargetItem {
    int32_t itemIndex = 6000;
    // inputPointsTarget (ipt): "pointArray" (x y z w per point; pass x y z):
    // offsets from the base, one per id of inputComponentsTarget.
    std::vector<float> inputPointsTarget;
    // inputComponentsTarget (ict): componentList of vertices, e.g. "vtx[0]" "vtx[6:7]".
    // Absent with as many offsets as the mesh has vertices: one per vertex.
    std::optional<std::vector<std::string>> inputComponentsTarget;
    // The point ids of inputComponentsTarget when the caller resolved them
    // (a NURBS shape's "cv[u][v]" items); the list above is then not read.
    std::optional<std::vector<int64_t>> componentIds;
    // inputGeomTarget (igt): when a live target mesh is connected, its points
    // (x y z per vertex); the offsets are then target minus base and the two
    // fields above are ignored.
    std::optional<std::vector<float>> inputGeomTarget;
};

struct BlendShapeTarget {
    int32_t index = 0;                          // t: inputTargetGroup and weight index
    std::vector<BlendShapeTargetItem> items;    // inputTargetItem (iti)
    std::vector<std::optional<float>> targetWeights;  // targetWeights (tw)[v]: absent entries are 1
};

struct BlendShapeParams {
    std::vector<double> weight;                 // weight (w)[t]: setAttr ".w[0]" 0.5; absent entries are 0
    double envelope = 1.0;                      // envelope (en)
    std::vector<BlendShapeTarget> targets;
    std::vector<std::optional<float>> baseWeights;  // inputTarget[0].baseWeights (bw)[v]: absent entries are 1
    // The vertices of the deformer's set (the components of the groupParts
    // feeding its input, e.g. "vtx[*]"); absent means every vertex. Others keep their points.
    std::optional<std::vector<int32_t>> members;
};

// p' = p + en * bw_v * sum_t tw_tv * offset_t(w_t), where offset_t is the
// piecewise-linear path through the target's items (and the zero offset at
// weight 0), extended along its end pieces: a single full target gives w_t * delta_t.
MeshData applyBlendShape(const MeshData& in, const BlendShapeParams& params, std::string* warning);
void deformBlendShape(std::vector<double>& points, const BlendShapeParams& params, std::string* warning);

// --- polyUnite -------------------------------------------------------------------

enum class UnionUVSets {
    NoMerge = 0,      // every input's sets become sets of their own ("map1", "map11" ...)
    ByName = 1,       // sets of the same name become one
    ByUVLinks = 2,    // merged so that uv links keep working: evaluated as ByName
};

// One input of the union: inputPoly (ip)[i] with its inputMat (im)[i].
struct UnionInput {
    MeshData mesh;
    MMatrix matrix;   // the input shape's world matrix; points go through it as row vectors
};

struct PolyUniteParams {
    std::vector<UnionInput> inputs;                    // in logical index order
    UnionUVSets mergeUVSets = UnionUVSets::ByName;     // mergeUVSets (muv): enum index
};

// All inputs one after the other: vertices, faces, edges with their
// hardness, uvs, colours and user normals, each input's ids offset by what
// the inputs before it hold. Points are multiplied by their input's matrix,
// user normals by its inverse transpose. Colour sets merge by name. An
// input that is inconsistent or has a non-finite matrix is left out with a
// warning.
MeshData applyPolyUnite(const PolyUniteParams& params, std::string* warning);

// --- deleteComponent ---------------------------------------------------------------

struct DeleteComponentParams {
    // deleteComponents (dc): componentList, e.g. "f[2]" "f[5:7]".
    std::vector<std::string> deleteComponents;
};

// Removes the listed faces; their edges no remaining face walks, and the
// vertices, uvs and colours no remaining face uses, go with them; what stays
// keeps its relative order. Listed edges are dissolved instead: the faces on
// both sides merge into the lower one (its first corner kept, the other
// face's corners in the edge's place). Listed vertices stay, with a warning.
MeshData applyDeleteComponent(const MeshData& in, const DeleteComponentParams& params, std::string* warning);

// --- polySubdFace ---------------------------------------------------------------

enum class SubdFaceMode {
    Quads = 0,       // a point in the middle and one on every edge: one quad per corner
    Triangles = 1,   // a point in the middle: one triangle per side
};

struct PolySubdFaceParams {
    // inputComponents (ics): componentList of faces; absent means the whole mesh.
    std::optional<std::vector<std::string>> inputComponents;
    int divisions = 1;                       // divisions (dv): steps, each applied to the faces the last one made
    SubdFaceMode mode = SubdFaceMode::Quads; // mode (m)
};

// Linear subdivision of the selected faces, `divisions` times. Per step,
// per selected face in id order: the midpoints of its edges not split yet
// (in corner order), then its centre, are appended as vertices; the face is
// replaced in place by its first part (the one at its first corner) and the
// other parts are appended after the last face. Quads mode splits the edges
// it uses, so an unselected neighbour gains the midpoint as a corner. A split
// edge keeps its id for the half at its first vertex; new edges are
// appended, halves with the flag of their edge, inner edges soft. Uvs,
// colours and user normals are interpolated. Faces with holes stay whole.
// Face ids after it are this stand-in's own order.
MeshData applyPolySubdFace(const MeshData& in, const PolySubdFaceParams& params, std::string* warning);

// --- polyExtrudeFace --------------------------------------------------------

struct PolyExtrudeFaceParams {
    // inputComponents (ics): componentList of faces; absent means every face.
    std::optional<std::vector<std::string>> inputComponents;
    bool keepFacesTogether = true;                    // keepFacesTogether (kft)
    int divisions = 1;                                // divisions (d)
    std::array<double, 3> localTranslate{0, 0, 0};    // localTranslate (lt): double3
    std::array<double, 3> localScale{1, 1, 1};        // localScale (ls): double3
    double thickness = 0;                             // thickness (tk): along the region's normal
    std::array<double, 3> translate{0, 0, 0};         // translate (t): double3
    std::array<double, 3> rotate{0, 0, 0};            // rotate (r): radians
    std::array<double, 3> scale{1, 1, 1};             // scale (s)
    std::array<double, 3> pivot{0, 0, 0};             // pivot (pvt): float3, the centre of t, r, s
    bool worldSpace = false;                          // worldSpace (ws): t, r, s and pvt in world space
    MMatrix inputMatrix;                              // inputMatrix (ix): the shape's world matrix
    double smoothingAngle = 0.5235987755982988;       // smoothingAngle (sma): radians
};

// Each region of selected faces (faces joined by edges when kept together,
// else each face alone, in order of their lowest face) is lifted onto new
// vertices: per division level, the region's vertices in order of first use
// in its faces (face ids rising, corner order): the outline's alone below the
// top level, all of them on the top one. The old vertices inside a region
// and the edges no face walks any more are dropped at the end, the others
// keeping their order. The region's faces keep their ids and take the top
// level. A side face per outline side and level is appended (sides in the
// order the region's faces walk them, then levels upward), each quad walking
// (a below, b below, b above, a above) for a side a->b. New edges are appended
// as the new faces are walked: region faces first, keeping the smoothing of
// the side they were lifted from, then the side faces, whose joining edges are
// hard where their faces meet at more than the smoothing angle. Side faces
// have no uvs or colours. Moves: each face moves its corners by the local
// scale (about its centre: the mean of its sides' midpoints weighted by
// their lengths), local translate and thickness in its own frame (z its
// normal, x the X axis laid into its plane, Y when X stands on it; world
// axes in world space), a vertex shared by faces of the region taking the
// mean; then translate, rotate and scale about the pivot.
MeshData applyPolyExtrudeFace(const MeshData& in, const PolyExtrudeFaceParams& params, std::string* warning);

// --- polySmoothFace ---------------------------------------------------------

struct PolySmoothFaceParams {
    // inputComponents (ics): componentList of faces; absent means every face.
    std::optional<std::vector<std::string>> inputComponents;
    int divisions = 1;                   // divisions (dv): levels
    bool linear = false;                 // method (mth): 0 exponential (Catmull-Clark), 1 linear
    bool keepBorder = true;              // keepBorder (kb): border vertices stay where they are
    bool keepHardEdges = false;          // keepHardEdge (khe): hard edges smooth as creases
    bool propagateEdgeHardness = false;  // propagateEdgeHardness (peh): else every edge comes out soft
};

// Each level splits every face into quads as polySubdFace does (same
// numbering, uvs and colours interpolated linearly) and, exponential,
// moves the points by Catmull-Clark's rules: face points the centroid, edge
// points the mean of the edge's ends and its faces' points (the midpoint on
// borders and creases), vertices (F + 2R + (n - 3)P) / n, (a + 6P + b) / 8
// along two creases, fixed on more than two, at a border corner (one face)
// or, with keepBorder, anywhere on a border.
// Smoothing part of a mesh, or faces with holes, pass the mesh through with a warning.
MeshData applyPolySmoothFace(const MeshData& in, const PolySmoothFaceParams& params, std::string* warning);

// --- polySplit --------------------------------------------------------------

// One point of the cut: on an edge at a fraction from its first vertex (a
// descriptor with bit 31 set, the edge id below it), or inside a face.
struct SplitPoint {
    bool onEdge = true;
    int32_t edge = 0;
    double fraction = 0;
};

struct PolySplitParams {
    // edge (e)[i]: the fractions; descriptor (d)[i]: bit 31 and the edge id, e.g.
    // setAttr -s 2 ".e[0:1]" 0.5 0.5; setAttr -s 2 ".d[0:1]" -2147483588 -2147483552
    std::vector<SplitPoint> points;
};

// The points in order: one inside an edge becomes a new vertex that splits the
// edge (which keeps its id for the half at its first vertex; the other half is
// appended) in every face walking it, with a uv between the side's, shared by
// faces that agree on it; an end (fraction 0 or 1) is that vertex. Each
// following point cuts the first face holding both: the face keeps the part
// from its first corner, the other part is appended, and the cut is a new
// soft edge. Points inside faces, or a point no face shares with the one
// before, pass the mesh through with a warning.
MeshData applyPolySplit(const MeshData& in, const PolySplitParams& params, std::string* warning);

// --- polySplitRing ----------------------------------------------------------

struct PolySplitRingParams {
    std::optional<std::vector<std::string>> inputComponents;  // inputComponents (ics): the ring's edges
    double weight = 0.5;                                       // weight (wt)
    bool direction = true;                                     // direction (dr): weight from the root edge's first vertex
    int32_t rootEdge = -1;                                     // rootEdge (re)
    int splitType = 0;                                         // splitType (stp): 0 relative
};

// A loop of new edges across the ring of listed edges through the root edge:
// from the root, quad by quad to the opposite side, first through the root's
// first face, then (an open ring) from the root the other way, the cut
// running from one end to the other. Each ring edge gets a point at the
// weight, measured from the root's first vertex (its second without
// `direction`) and from the matching vertex across each quad; the points are
// then split and cut as polySplit does, a closed ring cut back to its first.
MeshData applyPolySplitRing(const MeshData& in, const PolySplitRingParams& params, std::string* warning);

// --- polyCloseBorder --------------------------------------------------------

struct PolyCloseBorderParams {
    // inputComponents (ics): componentList of edges; absent means every border.
    std::optional<std::vector<std::string>> inputComponents;
};

// A face fills each closed border loop that holds a listed edge, appended in
// the order of the loops' lowest border edge; it starts at the end of that
// edge where the face beside it stops and walks the loop against its
// neighbours, so the surface stays turned one way. It has no uvs or colours.
// A vertex where two borders meet leaves the mesh as it is, with a warning.
MeshData applyPolyCloseBorder(const MeshData& in, const PolyCloseBorderParams& params, std::string* warning);

// --- polyExtrudeEdge, polyChipOff, polyExtrudeVertex --------------------------

// The moves of the polyMoveFace / polyMoveEdge family: each component moves
// in its own frame (z its normal, x localDirection laid across z), then the
// whole about the pivot.
struct PolyMoveParams {
    std::array<double, 3> localTranslate{0, 0, 0};    // localTranslate (lt): double3
    std::array<double, 3> localRotate{0, 0, 0};       // localRotate (lr): radians
    std::array<double, 3> localScale{1, 1, 1};        // localScale (ls): double3
    std::array<double, 3> localDirection{1, 0, 0};    // localDirection (ld): the frames' x
    double thickness = 0;                             // thickness (tk): along the frame's z
    double offset = 0;                                // offset (off): inset, see each node
    std::array<double, 3> translate{0, 0, 0};         // translate (t)
    std::array<double, 3> rotate{0, 0, 0};            // rotate (r): radians
    std::array<double, 3> scale{1, 1, 1};             // scale (s)
    std::array<double, 3> pivot{0, 0, 0};             // pivot (pvt)
    bool worldSpace = false;                          // worldSpace (ws)
    MMatrix inputMatrix;                              // inputMatrix (ix)
};

struct PolyExtrudeEdgeParams {
    std::optional<std::vector<std::string>> inputComponents;  // inputComponents (ics): edges; faces select theirs
    bool keepFacesTogether = true;                            // keepFacesTogether (kft)
    int divisions = 1;                                        // divisions (d)
    double smoothingAngle = 0.5235987755982988;               // smoothingAngle (sma): radians
    PolyMoveParams move;
};

// Each chain of listed edges joined at vertices (each edge alone without
// keepFacesTogether; chains in order of their lowest edge) is copied onto new
// vertices, per division level its vertices in order of first use along its
// edges (ids rising, each edge's first vertex first). A quad per edge and
// level is appended (edges in id order, then levels upward), walking the edge
// against the face beside it: (b below, a below, a above, b above) for a
// side a->b. New edges follow as the new faces walk them; the copied edges
// keep the smoothing of their source, the joining ones are hard past the
// smoothing angle. New faces have no uvs. Each edge's frame: centre its
// midpoint, z out of the surface across the edge for a border edge (the
// mean normal of its faces for an inner one); offset draws its copy's ends
// towards its middle; a vertex shared by several edges takes the mean.
MeshData applyPolyExtrudeEdge(const MeshData& in, const PolyExtrudeEdgeParams& params, std::string* warning);

struct PolyChipOffParams {
    std::optional<std::vector<std::string>> inputComponents;  // inputComponents (ics): faces; absent means all
    bool keepFacesTogether = true;                            // keepFacesTogether (kft)
    bool duplicate = true;                                    // duplicate (dup): keep the originals
    PolyMoveParams move;
};

// Each region of listed faces is put on new vertices (per region, its
// vertices in order of first use) and moved as polyExtrudeFace moves its
// faces (offset insets each face towards its centre). With duplicate the
// copies are appended after the last face, carrying the originals' uvs,
// colours and normals; without, the faces keep their ids and leave their old
// vertices and edges, which go when no face uses them. Their sides become new
// edges, appended as walked, with the smoothing of their source.
MeshData applyPolyChipOff(const MeshData& in, const PolyChipOffParams& params, std::string* warning);

struct PolyExtrudeVertexParams {
    std::optional<std::vector<std::string>> inputComponents;  // inputComponents (ics): "vtx[3]" ...
    double width = 0;     // width (w): fraction of each edge from the vertex
    double length = 0;    // length (l): along the vertex normal
    int divisions = 1;    // divisions (d): rings from the cut to the tip
};

// First every edge around a listed vertex (vertices in id order, their edges
// in id order) is split at `width` from it by a new vertex, the edge keeping
// its id for the half at its first vertex as polySplit does. Then each face
// around the vertex is cut across its corner: it keeps its id, and the piece
// cut off is appended as a strip of quads ending in a triangle at the tip
// (the vertex itself, moved `length` along its normal), on `divisions - 1`
// rings of new vertices; the cut and the rings' edges are appended as the
// pieces walk them. Uvs follow their corners.
MeshData applyPolyExtrudeVertex(const MeshData& in, const PolyExtrudeVertexParams& params, std::string* warning);

// --- polyMergeVert, polySplitEdge, polyDelEdge, polySeparate, polyMirror ------

struct PolyMergeVertParams {
    // inputComponents (ics): componentList; vertices, and the vertices of listed
    // edges and faces. Absent means every vertex.
    std::optional<std::vector<std::string>> inputComponents;
    double distance = 0;                  // distance (d): merge tolerance (0: coincident only)
    bool texture = true;                  // texture (tx): merge the uvs of merged vertices too
    bool alwaysMergeTwoVertices = false;  // alwaysMergeTwoVertices (am)
    std::string mergeToComponents;        // mergeToComponents (mtc): string, e.g. "vtx[3]"
};

// Selected vertices within `distance` of one another (transitively) become
// one, at their mean; with mergeToComponents set, all of them become one at
// the centre of its components. The lowest id survives, the others are
// dropped and the rest keep their order. Faces keep their ids less those that
// collapse below three corners; edges keep theirs, the first of two that come
// to join the same vertices surviving. With `texture`, a merged vertex whose
// parts each had a single uv takes one uv at their mean. Unused uvs and
// colours are dropped.
MeshData applyPolyMergeVert(const MeshData& in, const PolyMergeVertParams& params, std::string* warning);

struct PolySplitEdgeParams {
    std::optional<std::vector<std::string>> inputComponents;  // inputComponents (ics): edges; absent: none
    int operation = 1;  // operation (op): 1 split manifold edges apart, 0 make non-manifold edges manifold
};

// Each split edge keeps its id on its first face; the other face's side is a
// new edge appended (op 0: every face beyond the first opposite pair takes its
// own). Where the faces around a vertex fall apart, the group holding the
// lowest corner keeps the vertex and each other group takes a new vertex at
// the same point, appended by vertex id then group.
MeshData applyPolySplitEdge(const MeshData& in, const PolySplitEdgeParams& params, std::string* warning);

struct PolyDelEdgeParams {
    std::optional<std::vector<std::string>> inputComponents;  // inputComponents (ics): edges; absent: none
    bool cleanVertices = false;                                // cleanVertices (cv)
};

// Dissolves the listed interior edges as deleteComponent does; with
// cleanVertices, their end vertices left with two edges go too, the two
// edges becoming the lower of them.
MeshData applyPolyDelEdge(const MeshData& in, const PolyDelEdgeParams& params, std::string* warning);

// The faces of `mesh` in shells (faces joined by shared edges), shells in order
// of their lowest face.
std::vector<std::vector<int32_t>> polyShells(const MeshData& mesh);

// Output `index` of polySeparate: the shell's faces, vertices, edges, uvs and
// colours in their input order. An index beyond the shells gives nullopt.
std::optional<MeshData> applyPolySeparate(const MeshData& in, size_t index, std::string* warning);

// --- polyBevel3, polyBevel ----------------------------------------------------

struct PolyBevelParams {
    // inputComponents (ics): edges; listed faces and vertices bevel their edges. Absent: every edge.
    std::optional<std::vector<std::string>> inputComponents;
    double offset = 0.2;            // offset (o): distance from the edge, used when not a fraction
    double fraction = 0.5;          // fraction (f): of half the shortest edge beside the bevelled one
    bool offsetAsFraction = false;  // offsetAsFraction (oaf)
    int segments = 1;               // segments (sg): faces across each bevel
    double depth = 1;               // depth (d): how far the segments bulge (1 round, 0 flat, -1 inward)
    bool chamfer = true;            // chamfer (c): off keeps the segments on the original corner
    bool autoFit = true;            // autoFit (af): round profile; off: roundness says how round
    double roundness = 0.5;         // roundness (ro)
    bool subdivideNgons = false;    // subdivideNgons (sn) / fillNgons (fn): split corner patches above four sides
    bool mergeVertices = false;     // mergeVertices (mv): merge what the bevel leaves closer than mvt
    double mergeVertexTolerance = 1e-4;     // mergeVertexTolerance (mvt)
    double smoothingAngle = 0.5235987755982988;  // smoothingAngle (sa) in radians (30 degrees)
    bool filterEdgesByAngle = false;         // filterEdgesByAngle (fea)
    double filterAngle = 0.5235987755982988; // filterAngle (fan) in radians
    bool filterHardEdges = false;            // filterHardEdges (fhe)
    bool worldSpace = false;        // worldSpace (ws): offsets measured on the mesh through inputMatrix (ix)
    MMatrix inputMatrix;
};

// Each bevelled edge (a manifold edge; border edges are left alone) becomes a
// strip of `segments` faces, the faces beside it drawing back from it by the
// offset; where bevelled edges meet at a vertex a corner patch closes the gap.
// Numbering: the faces not beside a bevelled edge keep their order, then come
// the strips (edge id order, each from the side of its lower face), the
// patches (vertex id order), and the faces beside a bevelled edge, made anew.
// The original vertices keep their ids, the new points follow in order of
// making and the vertices no face uses any more are dropped; edges that still
// join the same vertices keep their ids, new edges follow as the faces walk them.
MeshData applyPolyBevel(const MeshData& in, const PolyBevelParams& params, std::string* warning);

}  // namespace mayahost
