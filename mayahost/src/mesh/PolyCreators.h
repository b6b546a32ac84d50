#pragma once
// Maya's polygon primitive creators (polyCube, polyPlane, polySphere,
// polyCylinder, polyCone, polyTorus, polyPyramid, polyPipe, polyPrism): the
// mesh a creator node puts on its "out" plug, with Maya's vertex order, face
// order and winding, edge order with the hard/soft flags Maya stores, and the
// "map1" uv layout.
//
// Every parameter struct names the node's attributes as Maya spells them
// (long name, short name in the comment) and starts from the node's default,
// which is what a .ma file leaves out. The command that creates a primitive
// interactively writes some values that differ from the node default (for
// instance `createUVs` and `subdivisionsCaps`), so those appear in files.
//
// Every primitive is built around the Y axis and then turned so that Y lies
// along `axis` (ax).

#include "mesh/MeshData.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace mayahost {

struct PolyAxis {
    double x = 0.0, y = 1.0, z = 0.0;  // axis (ax): axisX (axx), axisY (axy), axisZ (axz)
};

struct PolyCubeParams {
    double width = 1.0;           // width (w)
    double height = 1.0;          // height (h)
    double depth = 1.0;           // depth (d)
    int subdivisionsWidth = 1;    // subdivisionsWidth (sw)
    int subdivisionsHeight = 1;   // subdivisionsHeight (sh)
    int subdivisionsDepth = 1;    // subdivisionsDepth (sd)
    PolyAxis axis;                // axis (ax)
    int createUVs = 3;            // createUVs (cuv): 0 none, 1 no normalization, 2 each face,
                                  // 3 collectively, 4 preserve aspect ratio
};

struct PolyPlaneParams {
    double width = 1.0;           // width (w), along X
    double height = 1.0;          // height (h), along Z
    int subdivisionsWidth = 10;   // subdivisionsWidth (sw)
    int subdivisionsHeight = 10;  // subdivisionsHeight (sh)
    PolyAxis axis;                // axis (ax)
    int createUVs = 1;            // createUVs (cuv): 0 none, 1 stretch to fit, 2 preserve aspect ratio
};

struct PolySphereParams {
    double radius = 1.0;          // radius (r)
    int subdivisionsAxis = 20;    // subdivisionsAxis (sa)
    int subdivisionsHeight = 20;  // subdivisionsHeight (sh)
    PolyAxis axis;                // axis (ax)
    int createUVs = 2;            // createUVs (cuv): 0 none, 1 pinched poles, 2 sawtooth poles
};

struct PolyCylinderParams {
    double radius = 1.0;          // radius (r)
    double height = 2.0;          // height (h)
    int subdivisionsAxis = 20;    // subdivisionsAxis (sa)
    int subdivisionsHeight = 1;   // subdivisionsHeight (sh)
    int subdivisionsCaps = 0;     // subdivisionsCaps (sc): 0 leaves each cap one polygon
    bool roundCap = false;        // roundCap (rcp): not evaluated, caps stay flat
    PolyAxis axis;                // axis (ax)
    int createUVs = 2;            // createUVs (cuv): 0 none, 1 no normalization, 2 normalize,
                                  // 3 preserve aspect ratio
    bool maya2022UVs = true;      // maya2022UVs (ouv): the layout Maya used before 2023
                                  // (this stand-in loads scenes as the old Maya did)
};

struct PolyConeParams {
    double radius = 1.0;          // radius (r)
    double height = 2.0;          // height (h)
    int subdivisionsAxis = 20;    // subdivisionsAxis (sa)
    int subdivisionsHeight = 1;   // subdivisionsHeight (sh)
    int subdivisionsCap = 0;      // subdivisionsCap (sc): 0 leaves the base one polygon
    bool roundCap = false;        // roundCap (rcp): not evaluated
    PolyAxis axis;                // axis (ax)
    int createUVs = 2;            // createUVs (cuv): 0 none, else the standard layout
};

struct PolyTorusParams {
    double radius = 1.0;          // radius (r)
    double sectionRadius = 0.5;   // sectionRadius (sr)
    double twist = 0.0;           // twist (tw), degrees
    int subdivisionsAxis = 20;    // subdivisionsAxis (sa): sections around the axis
    int subdivisionsHeight = 20;  // subdivisionsHeight (sh): segments around each section
    PolyAxis axis;                // axis (ax)
    bool createUVs = true;        // createUVs (cuv)
};

struct PolyPyramidParams {
    double sideLength = 1.0;      // sideLength (w)
    int numberOfSides = 4;        // numberOfSides (ns): 3, 4 or 5
    int subdivisionsHeight = 1;   // subdivisionsHeight (sh)
    int subdivisionsCaps = 0;     // subdivisionsCaps (sc): 0 leaves the base one polygon
    PolyAxis axis;                // axis (ax)
    int createUVs = 2;            // createUVs (cuv): 0 none, else the standard layout
};

struct PolyPipeParams {
    double radius = 1.0;          // radius (r)
    double height = 2.0;          // height (h)
    double thickness = 0.5;       // thickness (t)
    int subdivisionsAxis = 20;    // subdivisionsAxis (sa)
    int subdivisionsHeight = 1;   // subdivisionsHeight (sh)
    int subdivisionsCaps = 1;     // subdivisionsCaps (sc): rings across each end
    bool roundCap = false;        // roundCap (rcp): not evaluated
    PolyAxis axis;                // axis (ax)
    bool createUVs = true;        // createUVs (cuv)
};

struct PolyPrismParams {
    double sideLength = 1.0;      // sideLength (w)
    double length = 2.0;          // length (l)
    int numberOfSides = 3;        // numberOfSides (ns)
    int subdivisionsHeight = 1;   // subdivisionsHeight (sh)
    int subdivisionsCaps = 0;     // subdivisionsCaps (sc): 0 leaves each cap one polygon
    PolyAxis axis;                // axis (ax)
    int createUVs = 2;            // createUVs (cuv): 0 none, else the cylinder's layout
    bool maya2022UVs = true;      // maya2022UVs (ouv): as for the cylinder
};

struct PolyPlatonicParams {
    int primitive = 4;              // primitive: 0 tetrahedron, 1 cube, 2 octahedron, 3 dodecahedron, 4 icosahedron
    int subdivisionMode = 0;        // subdivisionMode: 0 quads, 1 triangles, 2 pie, 3 caps
    int subdivisions = 0;           // subdivisions: steps of subdivisionMode
    double sphericalInflation = 1;  // sphericalInflation: how far new points move onto the sphere
    double radius = 1;              // radius
    PolyAxis axis;                  // axis
    int createUVs = 1;              // createUVs: 0 none, else latitude and longitude
};

// Subdivision counts below Maya's minimum are raised to it. Counts whose mesh
// would exceed limits().maxMeshFaces are refused by makePolyCreatorMesh; the
// make* functions assume the caller has checked (polyCreatorFaceCount).
MeshData makePolyCube(const PolyCubeParams& params);
MeshData makePolyPlane(const PolyPlaneParams& params);
MeshData makePolySphere(const PolySphereParams& params);
MeshData makePolyCylinder(const PolyCylinderParams& params);
MeshData makePolyCone(const PolyConeParams& params);
MeshData makePolyTorus(const PolyTorusParams& params);
MeshData makePolyPyramid(const PolyPyramidParams& params);
MeshData makePolyPipe(const PolyPipeParams& params);
MeshData makePolyPrism(const PolyPrismParams& params);
MeshData makePolyPlatonic(const PolyPlatonicParams& params);
// Faces makePolyPlatonic makes (saturating), for the size check.
size_t polyPlatonicFaceCount(int primitive, int subdivisionMode, int subdivisions);

// --- Generic entry for the dependency graph -------------------------------

// One attribute of a creator node with its default, in the order the graph
// glue may list them (numbers only; booleans and enums as 0/1/index).
struct PolyCreatorAttribute {
    const char* longName;
    const char* shortName;
    double defaultValue;
};

// The attributes of `nodeType` (without `axis`, common to all), or nullptr
// with count 0 when the type is not a creator handled here.
const PolyCreatorAttribute* polyCreatorAttributes(std::string_view nodeType, size_t& count);

bool isPolyCreatorType(std::string_view nodeType);

// Where makePolyCreatorMesh reads the node's values. A reader answers by the
// attribute's short name and returns false when the node does not set it (the
// default then applies).
class PolyAttributeReader {
public:
    virtual ~PolyAttributeReader() = default;
    virtual bool number(std::string_view shortName, double& value) const = 0;
    // The axis (ax), a double3.
    virtual bool vector3(std::string_view shortName, double (&value)[3]) const = 0;
};

// A creator node's values with its defaults (`attrs`) filled in. Values that
// are not finite count as unset; integers are clamped into int range before
// any cast, since a file can hold anything.
class CreatorValues {
public:
    CreatorValues(std::span<const PolyCreatorAttribute> attrs, const PolyAttributeReader& reader)
        : attrs_(attrs), reader_(reader) {}

    double number(std::string_view shortName) const;
    int integer(std::string_view shortName) const;
    bool flag(std::string_view shortName) const { return number(shortName) != 0; }
    // A double3 the node sets to finite values; false leaves `out` as it was.
    bool vector3(std::string_view shortName, double (&out)[3]) const;

private:
    std::span<const PolyCreatorAttribute> attrs_;
    const PolyAttributeReader& reader_;
};

// Faces the creator would produce with the given values (after clamping), so
// that sizes are checked before anything is allocated.
size_t polyCreatorFaceCount(std::string_view nodeType, const PolyAttributeReader& reader);

// Builds the creator's mesh. Returns an empty string on success, else a
// sentence saying why nothing was built (unknown type, mesh too large).
std::string makePolyCreatorMesh(std::string_view nodeType, const PolyAttributeReader& reader,
                                MeshData& out);

}  // namespace mayahost
