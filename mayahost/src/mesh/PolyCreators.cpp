// The box-like creators (cube, plane) and the generic entry the dependency
// graph calls; the round creators live in polyRound.cpp.

#include "base/EvalBudget.h"
#include "mesh/PolyCreators.h"

#include "mesh/PolyBuilder.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <string>

namespace mayahost {

using poly::atLeast;
using poly::Builder;

// --- polyCube ------------------------------------------------------------
//
// Maya builds the cube as a strip of rows wrapped around X (front face
// upwards, top towards the back, back downwards, bottom towards the front),
// each row running along X, and closes the strip with the +X and -X sides.
// Its uvs unwrap the strip into a column and fold the sides out beside the
// front face.

namespace {

struct CubeLayout {
    int sw, sh, sd;
    int rows() const { return 2 * sh + 2 * sd; }  // distinct vertex rows of the strip
    int cols() const { return sw + 1; }
    int32_t ringVertex(int k, int c) const { return int32_t((k % rows()) * cols() + c); }
    int sideInterior() const { return (sh - 1) * (sd - 1); }

    // Row of the strip through side point (a, b): a counts depth steps from
    // the front (+Z), b height steps from the bottom; -1 inside the side.
    int stripRow(int a, int b) const {
        if (a == 0) return b;
        if (b == sh) return sh + a;
        if (a == sd) return 2 * sh + sd - b;
        if (b == 0) return (2 * sh + sd + (sd - a)) % rows();
        return -1;
    }
};

// Distance along the strip (front, top, back, bottom) to row k.
double stripLength(const CubeLayout& l, int k, double h, double d) {
    if (k <= l.sh) return k * h / l.sh;
    if (k <= l.sh + l.sd) return h + (k - l.sh) * d / l.sd;
    if (k <= 2 * l.sh + l.sd) return h + d + (k - l.sh - l.sd) * h / l.sh;
    return 2 * h + d + (k - 2 * l.sh - l.sd) * d / l.sd;
}

}  // namespace

MeshData makePolyCube(const PolyCubeParams& p) {
    const CubeLayout l{atLeast(p.subdivisionsWidth, 1), atLeast(p.subdivisionsHeight, 1),
                       atLeast(p.subdivisionsDepth, 1)};
    const double w = p.width, h = p.height, d = p.depth;
    const int R = l.rows(), C = l.cols();
    const bool withUVs = p.createUVs != 0;

    poly::Sizes sizes;
    sizes.vertices = size_t(R) * C + 2 * size_t(l.sideInterior());
    sizes.faces = size_t(R) * l.sw + 2 * size_t(l.sh) * l.sd;
    sizes.faceVertices = 4 * sizes.faces;
    sizes.edges = sizes.vertices + sizes.faces - 2;  // closed genus-0 surface
    sizes.uvs = size_t(R + 1) * C + 2 * size_t(l.sh + 1) * l.sd;
    Builder b(sizes, withUVs);

    // Strip rows.
    for (int k = 0; k < R; ++k) {
        double y, z;
        if (k <= l.sh) {
            y = -h / 2 + k * h / l.sh;
            z = d / 2;
        } else if (k <= l.sh + l.sd) {
            y = h / 2;
            z = d / 2 - (k - l.sh) * d / l.sd;
        } else if (k <= 2 * l.sh + l.sd) {
            y = h / 2 - (k - l.sh - l.sd) * h / l.sh;
            z = -d / 2;
        } else {
            y = -h / 2;
            z = -d / 2 + (k - 2 * l.sh - l.sd) * d / l.sd;
        }
        for (int c = 0; c < C; ++c) b.point(-w / 2 + c * w / l.sw, y, z);
    }
    // Inner points of the +X side, then of the -X side. Each side runs as a
    // grid from the back (-Z) forwards, row after row upwards.
    for (int side = 0; side < 2; ++side)
        for (int bi = 1; bi < l.sh; ++bi)
            for (int a = l.sd - 1; a >= 1; --a)
                b.point(side == 0 ? w / 2 : -w / 2, -h / 2 + bi * h / l.sh, d / 2 - a * d / l.sd);

    auto sideVertex = [&](int side, int a, int bi) -> int32_t {
        const int k = l.stripRow(a, bi);
        if (k >= 0) return l.ringVertex(k, side == 0 ? l.sw : 0);
        return int32_t(R * C + side * l.sideInterior() + (bi - 1) * (l.sd - 1) + (l.sd - 1 - a));
    };

    // Uvs: the strip unwrapped as a column, the sides folded out beside the
    // front face. Maya lays them out as for a unit cube whatever the cube's
    // size (every face a quarter of the height), as its stored cubes show.
    const double uw = 1, uh = 1, ud = 1;
    const double extentU = uw + 2 * ud, extentV = 2 * uh + 2 * ud;
    const double s = 1.0 / std::max(extentU, extentV);
    const double u0 = 0.5 - extentU * s / 2, v0 = 0.5 - extentV * s / 2;
    const double stripLeft = u0 + ud * s, stripRight = u0 + (ud + uw) * s;
    auto stripUV = [&](int k, int c) { return int32_t(k * C + c); };
    auto sideUV = [&](int side, int a, int bi) -> int32_t {
        if (a == 0) return stripUV(bi, side == 0 ? l.sw : 0);
        return int32_t((R + 1) * C + side * (l.sh + 1) * l.sd + bi * l.sd + (l.sd - a));
    };
    if (withUVs) {
        for (int k = 0; k <= R; ++k)
            for (int c = 0; c < C; ++c)
                b.uv(stripLeft + c * uw / l.sw * s, v0 + stripLength(l, k, uh, ud) * s);
        for (int side = 0; side < 2; ++side)
            for (int bi = 0; bi <= l.sh; ++bi)
                for (int a = l.sd; a >= 1; --a) {
                    const double off = a * ud / l.sd * s;
                    b.uv(side == 0 ? stripRight + off : stripLeft - off, v0 + bi * uh / l.sh * s);
                }
    }

    // Faces: the strip row after row, then the +X and -X sides.
    for (int k = 0; k < R; ++k)
        for (int c = 0; c < l.sw; ++c)
            b.face({l.ringVertex(k, c), l.ringVertex(k, c + 1), l.ringVertex(k + 1, c + 1),
                    l.ringVertex(k + 1, c)},
                   {stripUV(k, c), stripUV(k, c + 1), stripUV(k + 1, c + 1), stripUV(k + 1, c)});
    for (int bi = 0; bi < l.sh; ++bi)
        for (int a = l.sd - 1; a >= 0; --a)
            b.face({sideVertex(0, a, bi), sideVertex(0, a + 1, bi), sideVertex(0, a + 1, bi + 1),
                    sideVertex(0, a, bi + 1)},
                   {sideUV(0, a, bi), sideUV(0, a + 1, bi), sideUV(0, a + 1, bi + 1),
                    sideUV(0, a, bi + 1)});
    for (int bi = 0; bi < l.sh; ++bi)
        for (int a = l.sd - 1; a >= 0; --a)
            b.face({sideVertex(1, a + 1, bi), sideVertex(1, a, bi), sideVertex(1, a, bi + 1),
                    sideVertex(1, a + 1, bi + 1)},
                   {sideUV(1, a + 1, bi), sideUV(1, a, bi), sideUV(1, a, bi + 1),
                    sideUV(1, a + 1, bi + 1)});

    // Edges: along X row by row, then across the rows column by column; the
    // cube's own twelve edges are hard, edges inside a side are soft.
    auto cornerRow = [&](int k) {
        return k == 0 || k == l.sh || k == l.sh + l.sd || k == 2 * l.sh + l.sd;
    };
    for (int k = 0; k < R; ++k)
        for (int c = 0; c < l.sw; ++c)
            b.edge(l.ringVertex(k, c), l.ringVertex(k, c + 1), !cornerRow(k));
    for (int k = 0; k < R; ++k)
        for (int c = 0; c < C; ++c)
            b.edge(l.ringVertex(k, c), l.ringVertex(k + 1, c), !(c == 0 || c == l.sw));
    // Inside each side: the lines across it (back to front), then the lines
    // up it.
    for (int side = 0; side < 2; ++side) {
        for (int bi = 1; bi < l.sh; ++bi)
            for (int a = l.sd; a >= 1; --a) b.edge(sideVertex(side, a, bi), sideVertex(side, a - 1, bi), true);
        for (int a = l.sd - 1; a >= 1; --a)
            for (int bi = 0; bi < l.sh; ++bi) b.edge(sideVertex(side, a, bi), sideVertex(side, a, bi + 1), true);
    }
    return b.finish(p.axis);
}

// --- polyPlane -----------------------------------------------------------
//
// Rows of vertices along X, row after row towards -Z; uvs share the vertex
// numbering. Border edges are hard, inner edges soft, listed row by row as
// Maya stores them.

MeshData makePolyPlane(const PolyPlaneParams& p) {
    const int sw = atLeast(p.subdivisionsWidth, 1), sh = atLeast(p.subdivisionsHeight, 1);
    const double w = p.width, h = p.height;
    const int C = sw + 1;
    const bool withUVs = p.createUVs != 0;

    poly::Sizes sizes;
    sizes.vertices = size_t(C) * (sh + 1);
    sizes.faces = size_t(sw) * sh;
    sizes.faceVertices = 4 * sizes.faces;
    sizes.edges = size_t(sw) * (sh + 1) + size_t(C) * sh;
    sizes.uvs = sizes.vertices;
    Builder b(sizes, withUVs);

    for (int r = 0; r <= sh; ++r)
        for (int c = 0; c < C; ++c) b.point(-w / 2 + c * w / sw, 0.0, h / 2 - r * h / sh);
    if (withUVs) {
        // Stretch fills the unit square; preserving the aspect ratio scales
        // both directions by the longer side.
        double su = 1.0, sv = 1.0;
        if (p.createUVs == 2) {
            const double longer = std::max(std::fabs(w), std::fabs(h));
            if (longer > 0) {
                su = std::fabs(w) / longer;
                sv = std::fabs(h) / longer;
            }
        }
        for (int r = 0; r <= sh; ++r)
            for (int c = 0; c < C; ++c) b.uv(double(c) / sw * su, double(r) / sh * sv);
    }
    auto id = [C](int r, int c) { return int32_t(r * C + c); };
    for (int r = 0; r < sh; ++r)
        for (int c = 0; c < sw; ++c) {
            const int32_t q[4] = {id(r, c), id(r, c + 1), id(r + 1, c + 1), id(r + 1, c)};
            b.face(q, q, 4);
        }
    for (int r = 0; r <= sh; ++r)
        for (int c = 0; c < C; ++c) {
            if (c < sw) b.edge(id(r, c), id(r, c + 1), !(r == 0 || r == sh));
            if (r < sh) b.edge(id(r, c), id(r + 1, c), !(c == 0 || c == sw));
        }
    return b.finish(p.axis);
}

// --- Generic entry ---------------------------------------------------------

namespace {

constexpr PolyCreatorAttribute kCube[] = {
    {"width", "w", 1}, {"height", "h", 1}, {"depth", "d", 1}, {"subdivisionsWidth", "sw", 1},
    {"subdivisionsHeight", "sh", 1}, {"subdivisionsDepth", "sd", 1}, {"createUVs", "cuv", 3}};
constexpr PolyCreatorAttribute kPlane[] = {
    {"width", "w", 1}, {"height", "h", 1}, {"subdivisionsWidth", "sw", 10},
    {"subdivisionsHeight", "sh", 10}, {"createUVs", "cuv", 1}};
constexpr PolyCreatorAttribute kSphere[] = {
    {"radius", "r", 1}, {"subdivisionsAxis", "sa", 20}, {"subdivisionsHeight", "sh", 20},
    {"createUVs", "cuv", 2}};
constexpr PolyCreatorAttribute kCylinder[] = {
    {"radius", "r", 1}, {"height", "h", 2}, {"subdivisionsAxis", "sa", 20},
    {"subdivisionsHeight", "sh", 1}, {"subdivisionsCaps", "sc", 0}, {"roundCap", "rcp", 0},
    {"createUVs", "cuv", 2}, {"maya2022UVs", "ouv", 1}};
constexpr PolyCreatorAttribute kCone[] = {
    {"radius", "r", 1}, {"height", "h", 2}, {"subdivisionsAxis", "sa", 20},
    {"subdivisionsHeight", "sh", 1}, {"subdivisionsCap", "sc", 0}, {"roundCap", "rcp", 0},
    {"createUVs", "cuv", 2}};
constexpr PolyCreatorAttribute kTorus[] = {
    {"radius", "r", 1}, {"sectionRadius", "sr", 0.5}, {"twist", "tw", 0},
    {"subdivisionsAxis", "sa", 20}, {"subdivisionsHeight", "sh", 20}, {"createUVs", "cuv", 1}};
constexpr PolyCreatorAttribute kPyramid[] = {
    {"sideLength", "w", 1}, {"numberOfSides", "ns", 4}, {"subdivisionsHeight", "sh", 1},
    {"subdivisionsCaps", "sc", 0}, {"createUVs", "cuv", 2}};
constexpr PolyCreatorAttribute kPipe[] = {
    {"radius", "r", 1}, {"height", "h", 2}, {"thickness", "t", 0.5},
    {"subdivisionsAxis", "sa", 20}, {"subdivisionsHeight", "sh", 1},
    {"subdivisionsCaps", "sc", 1}, {"roundCap", "rcp", 0}, {"createUVs", "cuv", 1}};
constexpr PolyCreatorAttribute kPrism[] = {
    {"sideLength", "w", 1}, {"length", "l", 2}, {"numberOfSides", "ns", 3},
    {"subdivisionsHeight", "sh", 1}, {"subdivisionsCaps", "sc", 0}, {"createUVs", "cuv", 2},
    {"maya2022UVs", "ouv", 1}};

// polyPlatonic's attributes carry no short names: files write the long ones.
constexpr PolyCreatorAttribute kPlatonic[] = {
    {"primitive", "primitive", 4}, {"subdivisionMode", "subdivisionMode", 0}, {"subdivisions", "subdivisions", 0},
    {"sphericalInflation", "sphericalInflation", 1}, {"radius", "radius", 1}, {"createUVs", "createUVs", 1}};

using Values = CreatorValues;

PolyAxis axisOf(const Values& v) {
    double a[3] = {0, 1, 0};
    v.vector3("ax", a);
    return {a[0], a[1], a[2]};
}

size_t mul(size_t a, size_t b) {
    if (a != 0 && b > size_t(-1) / a) return size_t(-1);
    return a * b;
}

size_t count(const Values& v, std::string_view shortName, int minimum) {
    return size_t(atLeast(v.integer(shortName), minimum));
}

// Faces around the axis times rows, plus the caps: one face per cap, or a
// ring of `around` faces per cap subdivision.
size_t sidesAndCaps(size_t around, const Values& v, int caps) {
    const size_t sc = count(v, "sc", 0);
    return mul(around, count(v, "sh", 1)) + (sc == 0 ? size_t(caps) : mul(size_t(caps) * around, sc));
}

size_t cubeFaces(const Values& v) {
    const size_t sw = count(v, "sw", 1), sh = count(v, "sh", 1), sd = count(v, "sd", 1);
    return mul(2, mul(sw, sh) + mul(sh, sd) + mul(sw, sd));
}
size_t planeFaces(const Values& v) { return mul(count(v, "sw", 1), count(v, "sh", 1)); }
size_t sphereFaces(const Values& v) { return mul(count(v, "sa", 3), count(v, "sh", 2)); }
size_t cylinderFaces(const Values& v) { return sidesAndCaps(count(v, "sa", 3), v, 2); }
size_t prismFaces(const Values& v) { return sidesAndCaps(count(v, "ns", 3), v, 2); }
size_t coneFaces(const Values& v) { return sidesAndCaps(count(v, "sa", 3), v, 1); }
size_t pyramidFaces(const Values& v) { return sidesAndCaps(std::min<size_t>(count(v, "ns", 3), 5), v, 1); }
size_t pipeFaces(const Values& v) { return mul(count(v, "sa", 3), mul(2, count(v, "sh", 1)) + mul(2, count(v, "sc", 1))); }
size_t torusFaces(const Values& v) { return mul(count(v, "sa", 3), count(v, "sh", 3)); }

// --- building from the node's values

MeshData cube(const Values& v) {
    PolyCubeParams p;
    p.width = v.number("w");
    p.height = v.number("h");
    p.depth = v.number("d");
    p.subdivisionsWidth = v.integer("sw");
    p.subdivisionsHeight = v.integer("sh");
    p.subdivisionsDepth = v.integer("sd");
    p.createUVs = v.integer("cuv");
    p.axis = axisOf(v);
    return makePolyCube(p);
}

MeshData plane(const Values& v) {
    PolyPlaneParams p;
    p.width = v.number("w");
    p.height = v.number("h");
    p.subdivisionsWidth = v.integer("sw");
    p.subdivisionsHeight = v.integer("sh");
    p.createUVs = v.integer("cuv");
    p.axis = axisOf(v);
    return makePolyPlane(p);
}

MeshData sphere(const Values& v) {
    PolySphereParams p;
    p.radius = v.number("r");
    p.subdivisionsAxis = v.integer("sa");
    p.subdivisionsHeight = v.integer("sh");
    p.createUVs = v.integer("cuv");
    p.axis = axisOf(v);
    return makePolySphere(p);
}

MeshData cylinder(const Values& v) {
    PolyCylinderParams p;
    p.radius = v.number("r");
    p.height = v.number("h");
    p.subdivisionsAxis = v.integer("sa");
    p.subdivisionsHeight = v.integer("sh");
    p.subdivisionsCaps = v.integer("sc");
    p.roundCap = v.flag("rcp");
    p.createUVs = v.integer("cuv");
    p.maya2022UVs = v.flag("ouv");
    p.axis = axisOf(v);
    return makePolyCylinder(p);
}

MeshData cone(const Values& v) {
    PolyConeParams p;
    p.radius = v.number("r");
    p.height = v.number("h");
    p.subdivisionsAxis = v.integer("sa");
    p.subdivisionsHeight = v.integer("sh");
    p.subdivisionsCap = v.integer("sc");
    p.roundCap = v.flag("rcp");
    p.createUVs = v.integer("cuv");
    p.axis = axisOf(v);
    return makePolyCone(p);
}

MeshData torus(const Values& v) {
    PolyTorusParams p;
    p.radius = v.number("r");
    p.sectionRadius = v.number("sr");
    p.twist = v.number("tw");
    p.subdivisionsAxis = v.integer("sa");
    p.subdivisionsHeight = v.integer("sh");
    p.createUVs = v.flag("cuv");
    p.axis = axisOf(v);
    return makePolyTorus(p);
}

MeshData pyramid(const Values& v) {
    PolyPyramidParams p;
    p.sideLength = v.number("w");
    p.numberOfSides = v.integer("ns");
    p.subdivisionsHeight = v.integer("sh");
    p.subdivisionsCaps = v.integer("sc");
    p.createUVs = v.integer("cuv");
    p.axis = axisOf(v);
    return makePolyPyramid(p);
}

MeshData pipe(const Values& v) {
    PolyPipeParams p;
    p.radius = v.number("r");
    p.height = v.number("h");
    p.thickness = v.number("t");
    p.subdivisionsAxis = v.integer("sa");
    p.subdivisionsHeight = v.integer("sh");
    p.subdivisionsCaps = v.integer("sc");
    p.roundCap = v.flag("rcp");
    p.createUVs = v.flag("cuv");
    p.axis = axisOf(v);
    return makePolyPipe(p);
}

MeshData prism(const Values& v) {
    PolyPrismParams p;
    p.sideLength = v.number("w");
    p.length = v.number("l");
    p.numberOfSides = v.integer("ns");
    p.subdivisionsHeight = v.integer("sh");
    p.subdivisionsCaps = v.integer("sc");
    p.createUVs = v.integer("cuv");
    p.maya2022UVs = v.flag("ouv");
    p.axis = axisOf(v);
    return makePolyPrism(p);
}

size_t platonicFaces(const Values& v) {
    return polyPlatonicFaceCount(v.integer("primitive"), v.integer("subdivisionMode"), v.integer("subdivisions"));
}

MeshData platonic(const Values& v) {
    PolyPlatonicParams p;
    p.primitive = v.integer("primitive");
    p.subdivisionMode = v.integer("subdivisionMode");
    p.subdivisions = v.integer("subdivisions");
    p.sphericalInflation = v.number("sphericalInflation");
    p.radius = v.number("radius");
    p.createUVs = v.integer("createUVs");
    double a[3] = {0, 1, 0};
    if (!v.vector3("axis", a)) v.vector3("ax", a);
    p.axis = {a[0], a[1], a[2]};
    return makePolyPlatonic(p);
}

// One entry per creator node type: its attributes with Maya's defaults, the
// faces it will make (checked before building), and the build.
struct CreatorKind {
    std::string_view type;
    std::span<const PolyCreatorAttribute> attrs;
    size_t (*faces)(const Values&);
    MeshData (*build)(const Values&);
};

const CreatorKind kCreators[] = {
    {"polyCube", kCube, cubeFaces, cube},
    {"polyPlane", kPlane, planeFaces, plane},
    {"polySphere", kSphere, sphereFaces, sphere},
    {"polyCylinder", kCylinder, cylinderFaces, cylinder},
    {"polyCone", kCone, coneFaces, cone},
    {"polyTorus", kTorus, torusFaces, torus},
    {"polyPyramid", kPyramid, pyramidFaces, pyramid},
    {"polyPipe", kPipe, pipeFaces, pipe},
    {"polyPrism", kPrism, prismFaces, prism},
    {"polyPlatonic", kPlatonic, platonicFaces, platonic},
};

const CreatorKind* findCreator(std::string_view type) {
    for (const CreatorKind& k : kCreators)
        if (k.type == type) return &k;
    return nullptr;
}

}  // namespace

const PolyCreatorAttribute* polyCreatorAttributes(std::string_view nodeType, size_t& count) {
    const CreatorKind* k = findCreator(nodeType);
    count = k ? k->attrs.size() : 0;
    return k ? k->attrs.data() : nullptr;
}

bool isPolyCreatorType(std::string_view nodeType) { return findCreator(nodeType) != nullptr; }

size_t polyCreatorFaceCount(std::string_view nodeType, const PolyAttributeReader& reader) {
    const CreatorKind* k = findCreator(nodeType);
    return k ? k->faces(Values(k->attrs, reader)) : 0;
}

std::string makePolyCreatorMesh(std::string_view nodeType, const PolyAttributeReader& reader, MeshData& out) {
    const CreatorKind* k = findCreator(nodeType);
    if (!k) return "node type " + std::string(nodeType) + " is not a polygon primitive creator";
    const Values v(k->attrs, reader);
    const size_t faces = k->faces(v);
    if (std::string why = refuseFaces(faces); !why.empty()) return std::string(nodeType) + ": " + why;
    out = k->build(v);
    return {};
}

double CreatorValues::number(std::string_view shortName) const {
    double v = 0;
    if (reader_.number(shortName, v) && std::isfinite(v)) return v;
    for (const PolyCreatorAttribute& a : attrs_)
        if (a.shortName == shortName) return a.defaultValue;
    return 0;
}

int CreatorValues::integer(std::string_view shortName) const {
    return int(std::lround(std::clamp(number(shortName), -1e9, 1e9)));
}

bool CreatorValues::vector3(std::string_view shortName, double (&out)[3]) const {
    double v[3] = {out[0], out[1], out[2]};
    if (!reader_.vector3(shortName, v) || !std::isfinite(v[0]) || !std::isfinite(v[1]) || !std::isfinite(v[2]))
        return false;
    std::copy(v, v + 3, out);
    return true;
}

}  // namespace mayahost
