#pragma once
// Maya's NURBS primitive creators (makeNurbSphere, makeNurbPlane,
// makeNurbCylinder, makeNurbCone, makeNurbTorus, makeNurbCube) and the circle
// creator (makeNurbCircle): the surface or curve a creator node puts on its
// output plug when a scene keeps the construction history instead of .cc data.
//
// Every parameter struct names the node's attributes as Maya spells them
// (long name, short name in the comment) and starts from the node's default,
// which is what a .ma file leaves out. Angles are in radians and distances in
// centimetres, the units the scene hands over.
//
// What matches Maya's stored .cc data (knots, control point order and
// positions): the default sphere, cylinder, torus, plane, cube and circle.
// The round primitives are cubic curves through points of the exact circle at
// every knot: a full turn is the periodic uniform B-spline whose control
// points lie at radius r * 3 / (2 + cos(2 pi / sections)); an open arc (a
// sphere's pole-to-pole profile, a partial sweep) is the clamped cubic through
// the arc's points at the knots whose end tangents follow the circle with the
// length of one span's chord. Straight directions place their control points
// at the Greville abscissae, so the surface is linear in its parameter.
//
// Every primitive is built around the Y axis, then Y is turned onto `axis`
// along the shortest arc (a reversed axis turns it over about X), and `pivot`
// is added.

#include "mesh/PolyCreators.h"
#include "nurbs/NurbsData.h"

#include <cstddef>
#include <numbers>
#include <string>
#include <string_view>

namespace mayahost {

struct NurbsVector {
    double x = 0.0, y = 0.0, z = 0.0;
};

// Attributes every surface creator inherits from Maya's "primitive" node.
// Maya's node default for the axis is +X; the creation commands always write
// the axis into the file (usually 0 1 0).
struct NurbsPrimitiveParams {
    NurbsVector axis{1.0, 0.0, 0.0};  // axis (ax): axisX (axx), axisY (axy), axisZ (axz)
    NurbsVector pivot;                // pivot (p): pivotX (px), pivotY (py), pivotZ (pz)
};

// Attributes of Maya's "revolvedPrimitive" node, shared by sphere, cylinder,
// cone and torus. The v direction sweeps around the axis from startSweep to
// endSweep, starting on +X and turning towards +Z; a full turn is periodic, a
// partial one open.
struct NurbsRevolvedParams : NurbsPrimitiveParams {
    double radius = 1.0;                       // radius (r)
    double startSweep = 0.0;                   // startSweep (ssw), radians
    double endSweep = 2.0 * std::numbers::pi;  // endSweep (esw), radians
    int degree = 3;                            // degree (d): 1 linear, 3 cubic
    int sections = 8;                          // sections (s): spans around the axis, at least 3
    int spans = 1;                             // spans (nsp): spans in the other direction
    double heightRatio = 2.0;                  // heightRatio (hr)
    bool useTolerance = false;                 // useTolerance (ut): sections from `tolerance`
    double tolerance = 0.01;                   // tolerance (tol), cm
};

// u runs from the -Y pole to the +Y pole with knots 0 .. spans. heightRatio
// does not apply. Maya's sphere node starts with 4 spans (files that leave
// nsp out have 7 rows of control points).
struct NurbsSphereParams : NurbsRevolvedParams {
    NurbsSphereParams() { spans = 4; }
};

// u runs up the side from -height/2 to +height/2 (height = radius *
// heightRatio), its knots measuring the length: 0 .. height.
struct NurbsCylinderParams : NurbsRevolvedParams {};

// u runs from the base rim to the apex, its knots measuring the slant length.
struct NurbsConeParams : NurbsRevolvedParams {
    bool useOldInitBehaviour = false;  // useOldInitBehaviour (oib): base on the pivot (Maya 8.0
                                       // and before) instead of centred on it
};

// u goes round the minor circle (radius * heightRatio about the point at
// `radius` from the axis), from its lowest point outwards; `spans` counts its
// sections (at least 3).
struct NurbsTorusParams : NurbsRevolvedParams {
    double minorSweep = 2.0 * std::numbers::pi;  // minorSweep (msw), radians
};

// u along X over `width`, v along -Z over width * lengthRatio; the normal
// Su x Sv is +Y (the axis). Knots 0 .. patches.
struct NurbsPlaneParams : NurbsPrimitiveParams {
    double width = 1.0;        // width (w)
    double lengthRatio = 1.0;  // lengthRatio (lr)
    int patchesU = 1;          // patchesU (u)
    int patchesV = 1;          // patchesV (v)
    int degree = 3;            // degree (d): 1 linear, 2 quadratic, 3 cubic, 5 quintic, 7 heptic
};

// Six plane patches: width along X, width * heightRatio along the axis (Y),
// width * lengthRatio along Z, every normal pointing out of the cube.
struct NurbsCubeParams : NurbsPlaneParams {
    double heightRatio = 1.0;  // heightRatio (hr)
};

// The cube's outputs as Maya connects them: os -> top, os1 -> bottom,
// os2 -> left (+Z), os3 -> right (-Z), os4 -> front (+X), os5 -> back (-X).
enum class NurbsCubeFace : int { Top = 0, Bottom, Left, Right, Front, Back };

// A circle about `normal`, turning counter-clockwise seen from the normal's
// tip. Built about Y it starts at -Z (so about +Z it starts at +Y) and the
// normal is turned onto `normal` as the surface creators turn their axis.
struct NurbsCircleParams {
    NurbsVector center;                     // center (c): centerX (cx) ...
    NurbsVector normal{0.0, 0.0, 1.0};      // normal (nr): normalX (nrx) ...
    double radius = 1.0;                    // radius (r)
    int degree = 3;                         // degree (d): 1 linear, 3 cubic
    int sections = 8;                       // sections (s), at least 3
    double sweep = 2.0 * std::numbers::pi;  // sweep (sw), radians; below a full turn an open arc
    bool useTolerance = false;              // useTolerance (ut)
    double tolerance = 0.01;                // tolerance (tol), cm
    // first (fp) and fixCenter (fc, default on) are not applied: the start
    // stays where Maya puts it for the default first point.
};

// A square of four curves about `normal` (built about Y and turned as the
// circle is), one per output: top (+Z, towards -X), left, bottom, right, so
// that they run round it head to tail; sideLength1 along X, sideLength2
// along Z, control points at the Greville points of each side.
struct NurbsSquareParams {
    NurbsVector center{};                // center (c)
    NurbsVector normal{0.0, 0.0, 1.0};   // normal (nr)
    double sideLength1 = 1.0;            // sideLength1 (sl1)
    double sideLength2 = 1.0;            // sideLength2 (sl2)
    int spansPerSide = 1;                // spansPerSide (sps)
    int degree = 3;                      // degree (d)
};
NurbsCurve makeNurbsSquareSide(const NurbsSquareParams& p, int side);

// The arc of the circle through three points, from the first through the
// second to the third, built as the circle creator builds its arcs.
struct NurbsThreePointArcParams {
    NurbsVector point1{}, point2{}, point3{};  // point1 (pt1), point2 (pt2), point3 (pt3)
    int sections = 8;                          // sections (s)
    int degree = 3;                            // degree (d)
};
// Empty on success, else why there is no arc (points on a line).
std::string makeThreePointArc(const NurbsThreePointArcParams& p, NurbsCurve& out);

// Maya's revolve node: a profile curve swept about `axis` through `pivot`
// from startSweep to endSweep, as the round primitives sweep their profile
// (u along the profile, v around; sections from the tolerance use the
// profile's farthest control point from the axis). Angles start on each
// point's own radial direction.
struct RevolveParams {
    NurbsVector axis{1.0, 0.0, 0.0};           // axis (ax)
    NurbsVector pivot{};                       // pivot (p)
    double startSweep = 0.0;                   // startSweep (ssw), radians
    double endSweep = 2.0 * std::numbers::pi;  // endSweep (esw), radians
    int degree = 3;                            // degree (d): 1 linear, 3 cubic
    int sections = 8;                          // sections (s)
    bool useTolerance = false;                 // useTolerance (ut)
    double tolerance = 0.01;                   // tolerance (tol), cm
};

// Empty on success, else why no surface comes out.
std::string revolveSurface(const NurbsCurve& profile, const RevolveParams& p, NurbsSurface& out);

// A cylinder's cap curves (bottomCapCurve, topCapCurve), which a revolve
// turns into its caps: a line from the axis out to the rim at the base, and
// from the rim in to the axis at the top, so that both caps face outwards.
NurbsCurve makeNurbCylinderCap(const NurbsCylinderParams& p, bool top);

// Control points the creator would make after clamping, so that sizes are
// checked before anything is allocated (size_t(-1) on overflow).
size_t nurbsControlPointCount(const NurbsSphereParams& p);
size_t nurbsControlPointCount(const NurbsCylinderParams& p);
size_t nurbsControlPointCount(const NurbsConeParams& p);
size_t nurbsControlPointCount(const NurbsTorusParams& p);
size_t nurbsControlPointCount(const NurbsPlaneParams& p);
size_t nurbsControlPointCount(const NurbsCircleParams& p);

// The builders assume the caller has checked the size (the generic entries do).
NurbsSurface makeNurbSphere(const NurbsSphereParams& p);
NurbsSurface makeNurbCylinder(const NurbsCylinderParams& p);
NurbsSurface makeNurbCone(const NurbsConeParams& p);
NurbsSurface makeNurbTorus(const NurbsTorusParams& p);
NurbsSurface makeNurbPlane(const NurbsPlaneParams& p);
NurbsSurface makeNurbCube(const NurbsCubeParams& p, NurbsCubeFace face);
NurbsCurve makeNurbCircle(const NurbsCircleParams& p);

// --- Generic entry for the dependency graph -------------------------------

// The numeric attributes of `nodeType` with Maya's defaults (vectors such as
// axis, pivot, center and normal are read through vector3), or nullptr with
// count 0 when the type is not handled here.
const PolyCreatorAttribute* nurbsCreatorAttributes(std::string_view nodeType, size_t& count);

bool isNurbsCreatorType(std::string_view nodeType);
// Builds the surface the creator puts on output `outputIndex` (0 for os,
// 1..5 for the cube's os1..os5). Empty string on success, else a sentence
// saying why nothing was built (unknown type or output, more control points
// than limits().maxMeshFaces, values that give no valid surface).
std::string makeNurbsCreatorSurface(std::string_view nodeType, const PolyAttributeReader& reader, int outputIndex,
                                    NurbsSurface& out);

bool isNurbsCurveCreatorType(std::string_view nodeType);
// The cap curve a makeNurbCylinder node puts on bottomCapCurve or topCapCurve.
std::string makeNurbCylinderCapCurve(const PolyAttributeReader& reader, bool top, NurbsCurve& out);
// The curve a curve creator puts on output `outputIndex` (0 for oc; the
// square's oc1 .. oc4 are 0 .. 3).
std::string makeNurbsCreatorCurve(std::string_view nodeType, const PolyAttributeReader& reader, int outputIndex,
                                  NurbsCurve& out);

}  // namespace mayahost
