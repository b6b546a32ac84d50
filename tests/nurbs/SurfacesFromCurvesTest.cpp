// Surfaces built from curves and meshes built from surfaces: loft, revolve,
// the cylinder's cap curves and nurbsTessellate. The oracle scenes check
// Maya's numbering; these check the rules on shapes whose answers are known.

#include "NurbsTestUtil.h"

#include "mesh/MeshValidate.h"
#include "nurbs/Extrude.h"
#include "nurbs/Loft.h"
#include "nurbs/NurbsCreators.h"
#include "nurbs/NurbsEval.h"
#include "nurbs/NurbsToMesh.h"
#include "nurbs/PlanarTrim.h"
#include "nurbs/Tessellate.h"

#include <gtest/gtest.h>

#include <numbers>

using namespace nurbstest;

namespace {

constexpr double kPi = std::numbers::pi;

NurbsCurve circle(double radius, double height, int sections = 8) {
    return makeNurbCircle({.center = {0, height, 0}, .normal = {0, 1, 0}, .radius = radius, .sections = sections});
}

NurbsCurve line(MeshVec a, MeshVec b) { return {1, NurbsForm::Open, 3, {0, 1}, {a.x, a.y, a.z, 1, b.x, b.y, b.z, 1}}; }

std::array<size_t, 2> shapeOf(const MeshData& m) { return {m.numVertices(), m.numFaces()}; }

MeshVec pointOf(const MeshData& m, size_t v) { return {m.points[3 * v], m.points[3 * v + 1], m.points[3 * v + 2]}; }

// The surface runs through every section where its loft parameter says.
void expectThroughSections(const NurbsSurface& s, const std::vector<NurbsCurve>& sections,
                           const std::vector<double>& at, const char* name) {
    const NurbsRange v = surfaceDomainV(s);
    for (size_t k = 0; k < sections.size(); ++k)
        for (double f : {0.0, 0.3, 0.55, 0.8}) {
            const double t = curveDomain(sections[k]).start + f * curveDomain(sections[k]).length();
            EXPECT_LT(distance(surfacePoint(s, at[k], v.start + f * v.length()), curvePoint(sections[k], t)), 1e-9)
                << name << ": section " << k << " at " << f;
        }
}

TEST(Loft, RunsThroughItsSectionsAtTheirParameters) {
    const std::vector<NurbsCurve> rings{circle(1, 0), circle(2, 1), circle(1.5, 4)};
    // Mean control point distances: 1 -> 2 at height 1, 2 -> 1.5 at height 3.
    const double r1 = 3.0 / (2.0 + std::cos(kPi / 4));  // control points sit at r * r1
    const double d1 = std::hypot(r1, 1), d2 = std::hypot(0.5 * r1, 3);
    const struct {
        const char* name;
        LoftParams params;
        int uDegree;
        std::vector<double> at;
    } cases[] = {
        {"uniform, degree 3 drops to 2", {.uniform = true}, 2, {0, 1, 2}},
        {"chord length", {.uniform = false}, 2, {0, d1, d1 + d2}},
        {"linear", {.uniform = true, .degree = 1}, 1, {0, 1, 2}},
    };
    for (const auto& c : cases) {
        NurbsSurface s;
        std::string approximate;
        ASSERT_EQ(loftSurface(rings, c.params, s, &approximate), "") << c.name;
        // Only rows through the sections alone are sure to be Maya's.
        EXPECT_EQ(approximate.find("not known to be Maya's") != std::string::npos, c.uDegree > 1) << c.name << approximate;
        EXPECT_EQ(s.uDegree, c.uDegree) << c.name;
        EXPECT_EQ(s.vForm, NurbsForm::Periodic) << c.name;
        EXPECT_NEAR(surfaceDomainU(s).end, c.at.back(), 1e-9) << c.name;
        expectThroughSections(s, rings, c.at, c.name);
    }
}

TEST(Loft, CubicThroughFourSectionsHasOneSpanBetweenEach) {
    const std::vector<NurbsCurve> rings{circle(1, 0), circle(2, 1), circle(1.5, 2), circle(1, 3)};
    NurbsSurface s;
    ASSERT_EQ(loftSurface(rings, {.uniform = true}, s, nullptr), "");
    EXPECT_EQ(s.uDegree, 3);
    EXPECT_EQ(s.numU, 6u);  // sections + degree - 1
    expectThroughSections(s, rings, {0, 1, 2, 3}, "cubic");
    // Two spans between sections: the same surface with a knot more per span.
    NurbsSurface finer;
    ASSERT_EQ(loftSurface(rings, {.uniform = true, .sectionSpans = 2}, finer, nullptr), "");
    EXPECT_EQ(finer.numU, 9u);
    for (double u : {0.25, 1.5, 2.9}) EXPECT_LT(distance(surfacePoint(s, u, 0.3), surfacePoint(finer, u, 0.3)), 1e-9);
}

TEST(Loft, SectionsOfOtherKnotsAndDirectionsAreMadeToMatch) {
    // A circle of 8 sections and one of 4: knots are merged, shapes kept.
    const std::vector<NurbsCurve> mixed{circle(1, 0, 8), circle(2, 1, 4)};
    NurbsSurface s;
    ASSERT_EQ(loftSurface(mixed, {.uniform = true, .degree = 1}, s, nullptr), "");
    EXPECT_EQ(s.numU, 2u);
    expectThroughSections(s, mixed, {0, 1}, "mixed knots");

    // Open sections running against each other: the second is turned round.
    const std::vector<NurbsCurve> lines{line({0, 0, 0}, {1, 0, 0}), line({1, 0, 1}, {0, 0, 1})};
    ASSERT_EQ(loftSurface(lines, {.uniform = true, .degree = 1}, s, nullptr), "");
    EXPECT_LT(distance(surfacePoint(s, 1, 0), {0, 0, 1}), 1e-12);
    ASSERT_EQ(loftSurface(lines, {.uniform = true, .degree = 1, .autoReverse = false}, s, nullptr), "");
    EXPECT_LT(distance(surfacePoint(s, 1, 0), {1, 0, 1}), 1e-12);
    // Reversing the normals swaps the directions.
    ASSERT_EQ(loftSurface(lines, {.uniform = true, .degree = 1, .reverseSurfaceNormals = true}, s, nullptr), "");
    EXPECT_LT(distance(surfacePoint(s, 0, 1), {0, 0, 1}), 1e-12);
}

TEST(Loft, RefusesWhatItCannotBuild) {
    NurbsSurface s;
    NurbsCurve quadratic;
    quadratic.degree = 2;
    quadratic.knots = {0, 0, 1, 1};
    quadratic.cvs = {0, 0, 0, 1, 1, 1, 0, 1, 2, 0, 0, 1};
    const struct {
        const char* name;
        std::vector<NurbsCurve> sections;
        const char* says;
    } cases[] = {
        {"one section", {circle(1, 0)}, "two section curves"},
        {"degrees differ", {circle(1, 0), quadratic}, "degrees 3 and 2"},
        {"broken section", {circle(1, 0), NurbsCurve{}}, "section 1"},
    };
    for (const auto& c : cases) {
        const std::string error = loftSurface(c.sections, {}, s, nullptr);
        EXPECT_NE(error.find(c.says), std::string::npos) << c.name << ": " << error;
    }
}

TEST(Revolve, LinesAndArcsBecomeCylindersAndSpheres) {
    // At the knots of the sweep the points lie on the exact circle.
    NurbsSurface s;
    ASSERT_EQ(revolveSurface(line({1, 0, 0}, {1, 2, 0}), {.axis = {0, 1, 0}}, s), "");
    EXPECT_EQ(s.vForm, NurbsForm::Periodic);
    for (double v = 0; v < 8; v += 1)
        for (double u : {0.0, 0.5, 1.0}) {
            const MeshVec p = surfacePoint(s, u, v);
            EXPECT_NEAR(std::hypot(p.x, p.z), 1, 1e-12);
            EXPECT_NEAR(p.y, 2 * u, 1e-12);
        }
    // Turning from +X towards +Z, as the primitives do; the normal points out.
    EXPECT_GT(surfacePoint(s, 0, 1).z, 0);
    EXPECT_GT(surfaceNormal(s, 0.5, 0.5).x, 0.9);

    const NurbsCurve half = makeNurbCircle({.center = {}, .normal = {0, 0, 1}, .sections = 4, .sweep = kPi});  // +Y to -Y through -X
    ASSERT_EQ(revolveSurface(half, {.axis = {0, 1, 0}, .sections = 6}, s), "");
    for (double v = 0; v < 6; v += 1)
        for (double u = 0; u <= 4; u += 1) EXPECT_NEAR(surfacePoint(s, u, v).length(), 1, 1e-12);

    // A partial sweep starts at its start angle; linear degree has sections + 1 columns.
    ASSERT_EQ(revolveSurface(line({2, 0, 0}, {2, 1, 0}),
                             {.axis = {0, 1, 0}, .startSweep = kPi / 2, .endSweep = kPi, .degree = 1, .sections = 3}, s),
              "");
    EXPECT_EQ(s.numV, 4u);
    EXPECT_LT(distance(surfacePoint(s, 0, 0), {0, 0, 2}), 1e-12);
    EXPECT_LT(distance(surfacePoint(s, 0, 3), {-2, 0, 0}), 1e-12);

    EXPECT_NE(revolveSurface(line({1, 0, 0}, {1, 1, 0}), {.axis = {0, 0, 0}}, s), "");
    EXPECT_NE(revolveSurface(line({1, 0, 0}, {1, 1, 0}), {.endSweep = 0}, s), "");
}

TEST(Revolve, CylinderCapsCloseItFacingOutwards) {
    NurbsCylinderParams cylinder;
    cylinder.axis = {0, 1, 0};
    cylinder.radius = 2;
    cylinder.heightRatio = 3;
    for (bool top : {false, true}) {
        NurbsSurface cap;
        ASSERT_EQ(revolveSurface(makeNurbCylinderCap(cylinder, top), {.axis = {0, 1, 0}}, cap), "");
        const NurbsRange u = surfaceDomainU(cap);
        EXPECT_NEAR(surfacePoint(cap, u.start + 0.5 * u.length(), 2).y, top ? 3 : -3, 1e-12);
        EXPECT_NEAR(surfaceNormal(cap, u.start + 0.5 * u.length(), 2).y, top ? 1 : -1, 1e-9) << top;
        // The rim meets the cylinder's own rim.
        const NurbsSurface side = makeNurbCylinder(cylinder);
        const double rimU = top ? u.start : u.end;
        EXPECT_LT(distance(surfacePoint(cap, rimU, 1.5), surfacePoint(side, top ? 6 : 0, 1.5)), 1e-12) << top;
    }
}

TEST(Extrude, DistanceFlatAndTube) {
    const NurbsCurve rod = line({0, 0, 0}, {1, 0, 0});
    NurbsSurface s;
    std::string approximate;
    // Distance: along +Y (the default direction) by the length, in degreeAlongLength spans.
    ASSERT_EQ(extrudeSurface(rod, nullptr, {.length = 2, .degreeAlongLength = 3}, s, &approximate), "");
    EXPECT_EQ(approximate, "");
    EXPECT_EQ(s.numV, 4u);
    EXPECT_LT(distance(surfacePoint(s, 0.25, 1), {0.25, 2, 0}), 1e-12);
    EXPECT_LT(distance(surfacePoint(s, 0.25, 0.5), {0.25, 1, 0}), 1e-12);
    // Along the profile's own normal: a ring about Y rises or sinks by the length.
    ASSERT_EQ(extrudeSurface(circle(1, 0), nullptr, {.length = 3, .useProfileNormal = true}, s, nullptr), "");
    EXPECT_NEAR(std::fabs(surfacePoint(s, 2, 1).y), 3, 1e-12);

    // Flat: the profile follows the path's points without turning, staying where it is...
    const NurbsCurve path = line({5, 0, 0}, {5, 0, 3});
    ASSERT_EQ(extrudeSurface(rod, &path, {.extrudeType = 1}, s, nullptr), "");
    EXPECT_LT(distance(surfacePoint(s, 0.5, 1), {0.5, 0, 3}), 1e-12);
    // ... or moved onto the path with fixedPath, its first point on the path's start.
    ASSERT_EQ(extrudeSurface(rod, &path, {.extrudeType = 1, .fixedPath = true}, s, nullptr), "");
    EXPECT_LT(distance(surfacePoint(s, 0, 0), {5, 0, 0}), 1e-12);
    // Tube along a straight path is the flat sweep; along a bend the profile turns with it.
    NurbsSurface flat;
    ASSERT_EQ(extrudeSurface(rod, &path, {.extrudeType = 1}, flat, nullptr), "");
    ASSERT_EQ(extrudeSurface(rod, &path, {.extrudeType = 2}, s, &approximate), "");
    EXPECT_NE(approximate.find("approximated"), std::string::npos);
    EXPECT_LT(distance(surfacePoint(s, 0.3, 0.7), surfacePoint(flat, 0.3, 0.7)), 1e-9);
    const NurbsCurve bend = makeNurbCircle({.center = {}, .normal = {0, 0, 1}, .sections = 4, .sweep = kPi / 2});  // from +Y towards -X: tangent -X, ending on -Y
    ASSERT_EQ(extrudeSurface(line({0, 1, -0.5}, {0, 1, 0.5}), &bend, {.extrudeType = 2}, s, nullptr), "");
    EXPECT_NEAR(surfacePoint(s, 0, 4).z, -0.5, 1e-6);  // the profile lies along Z, which the bend never turns

    EXPECT_NE(extrudeSurface(rod, nullptr, {.direction = {0, 0, 0}}, s, nullptr), "");
    EXPECT_NE(extrudeSurface(NurbsCurve{}, nullptr, {}, s, nullptr), "");
}

double meshArea(const MeshData& m) {
    double area = 0;
    for (size_t f = 0; f < m.numFaces(); ++f) {
        const uint32_t c = m.loopStart[m.faceLoopStart[f]];
        const MeshVec a = pointOf(m, size_t(m.faceVertices[c])), b = pointOf(m, size_t(m.faceVertices[c + 1])),
                      d = pointOf(m, size_t(m.faceVertices[c + 2]));
        const MeshVec u = b - a, v = d - a;
        area += 0.5 * MeshVec{u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x}.length();
    }
    return area;
}

TEST(PlanarTrim, FillsASquareAroundARoundHole) {
    // A 4 x 4 square in the plane x = 1, its sides shuffled and one turned
    // round, and a circle of radius 1 inside it.
    const std::vector<NurbsCurve> curves{line({1, 2, 2}, {1, -2, 2}), line({1, -2, -2}, {1, 2, -2}),
                                         line({1, 2, 2}, {1, 2, -2}), line({1, -2, 2}, {1, -2, -2}),
                                         makeNurbCircle({.center = {1, 0, 0}, .normal = {1, 0, 0}})};
    TrimmedSurface trimmed;
    ASSERT_EQ(planarTrimSurface(curves, trimmed), "");
    ASSERT_EQ(trimmed.regions.size(), 1u);
    ASSERT_EQ(trimmed.regions[0].boundaries.size(), 2u);
    EXPECT_EQ(trimmed.regions[0].boundaries[0].curves.size(), 4u);  // the largest loop leads
    // The patch spans the square, in the plane.
    for (double u : {0.0, 1.0})
        for (double v : {0.0, 1.0}) EXPECT_NEAR(surfacePoint(trimmed.surface, u, v).x, 1, 1e-12);
    const TessellationResult filled = tessellateSurface(trimmed, {});
    ASSERT_EQ(filled.error, "");
    EXPECT_NEAR(meshArea(filled.mesh), 16 - kPi, 0.05);

    const struct {
        const char* name;
        std::vector<NurbsCurve> curves;
        const char* says;
    } bad[] = {
        {"open chain", {line({0, 0, 0}, {1, 0, 0}), line({1, 0, 0}, {1, 1, 0})}, "do not close"},
        {"off the plane", {line({0, 0, 0}, {1, 0, 0}), line({1, 0, 0}, {1, 1, 1}), line({1, 1, 1}, {0, 1, 0}),
                           line({0, 1, 0}, {0, 0, 0})}, "plane"},
        {"no curves", {}, "no curves"},
    };
    for (const auto& c : bad) {
        const std::string error = planarTrimSurface(c.curves, trimmed);
        EXPECT_NE(error.find(c.says), std::string::npos) << c.name << ": " << error;
    }
}

TEST(NurbsTessellate, GeneralFormatCountsFollowTheIsoparms) {
    NurbsPlaneParams flat;
    flat.axis = {0, 1, 0};
    flat.patchesU = 2;
    const NurbsSurface plane = makeNurbPlane(flat);
    NurbsSphereParams round;
    round.axis = {0, 1, 0};
    const NurbsSurface sphere = makeNurbSphere(round);  // u: 4 spans pole to pole, v: 8 sections around
    const struct {
        const char* name;
        const NurbsSurface& surface;
        NurbsTessellateParams params;
        size_t vertices, faces;
    } cases[] = {
        {"plane, 3 per span, quads", plane, {.format = 2, .polygonType = 1}, 7 * 4, 6 * 3},
        {"plane, 3 per span, triangles", plane, {.format = 2, .polygonType = 0}, 7 * 4, 2 * 6 * 3},
        {"plane, per surface", plane, {.format = 2, .polygonType = 1, .uType = 2, .vType = 2, .uNumber = 5, .vNumber = 2},
         6 * 3, 5 * 2},
        {"sphere shares its seam", sphere, {.format = 2, .polygonType = 1}, 13 * 24, 12 * 24},
        {"sphere, 1 per span", sphere, {.format = 2, .polygonType = 1, .uNumber = 1, .vNumber = 1}, 5 * 8, 4 * 8},
    };
    for (const auto& c : cases) {
        MeshData mesh;
        std::string approximate;
        ASSERT_EQ(nurbsTessellateMesh(c.surface, c.params, mesh, &approximate), "") << c.name;
        EXPECT_EQ(approximate, "the chord height refinement is not applied") << c.name;
        EXPECT_EQ(mesh.numVertices(), c.vertices) << c.name;
        EXPECT_EQ(mesh.numFaces(), c.faces) << c.name;
        EXPECT_EQ(meshDataError(mesh), "") << c.name;
        // Every corner's uv names the parameters its point was taken at.
        const MeshUVSet& uv = mesh.uvSets.at(0);
        const NurbsRange du = surfaceDomainU(c.surface), dv = surfaceDomainV(c.surface);
        for (size_t k = 0; k < mesh.faceVertices.size(); ++k) {
            const size_t id = size_t(uv.faceVertexUV[k]);
            ASSERT_LT(id, uv.u.size()) << c.name;
            const MeshVec p = surfacePoint(c.surface, du.start + uv.u[id] * du.length(), dv.start + uv.v[id] * dv.length());
            EXPECT_LT(distance(p, pointOf(mesh, size_t(mesh.faceVertices[k]))), 1e-5) << c.name;
        }
    }
}

TEST(NurbsTessellate, ControlPointsBecomeVerticesOtherFormatsAreApproximated) {
    const NurbsSurface plane = makeNurbPlane({});
    NurbsSphereParams round;
    round.axis = {0, 1, 0};
    const NurbsSurface sphere = makeNurbSphere(round);
    MeshData mesh;
    std::string approximate;
    // 4 x 4 points of a cubic patch; the sphere's 7 rows of 8 distinct points round.
    ASSERT_EQ(nurbsTessellateMesh(plane, {.format = 3, .polygonType = 1}, mesh, &approximate), "");
    EXPECT_EQ(approximate, "");
    EXPECT_EQ(shapeOf(mesh), (std::array<size_t, 2>{16, 9}));
    for (size_t v = 0; v < mesh.numVertices(); ++v) {
        const MeshVec p = pointOf(mesh, v);
        bool isPoint = false;
        for (size_t k = 0; k + 3 < plane.cvs.size(); k += 4)
            isPoint = isPoint || distance(p, {plane.cvs[k], plane.cvs[k + 1], plane.cvs[k + 2]}) < 1e-6;
        EXPECT_TRUE(isPoint) << v;
    }
    ASSERT_EQ(nurbsTessellateMesh(sphere, {.format = 3, .polygonType = 1}, mesh, nullptr), "");
    EXPECT_EQ(shapeOf(mesh), (std::array<size_t, 2>{56, 48}));
    EXPECT_EQ(meshDataError(mesh), "");

    for (int format : {0, 1}) {
        ASSERT_EQ(nurbsTessellateMesh(plane, {.format = format}, mesh, &approximate), "");
        EXPECT_NE(approximate.find("approximated"), std::string::npos) << format;
        EXPECT_EQ(mesh.numFaces(), 2u * 9u) << format;
    }
    EXPECT_NE(nurbsTessellateMesh(plane, {.format = 2, .uNumber = 0}, mesh, nullptr), "");
    EXPECT_NE(nurbsTessellateMesh(plane, {.format = 2, .uType = 2, .vType = 2, .uNumber = 10000, .vNumber = 10000}, mesh,
                                  nullptr),
              "");
    EXPECT_NE(nurbsTessellateMesh(NurbsSurface{}, {}, mesh, nullptr), "");
}

}  // namespace
