// Properties every creator must have for any parameters: counts that follow
// from the shape's topology, closed surfaces whose edges each join two faces
// walked in opposite directions, outward winding, an edge list that is
// exactly the faces' sides with creases marked hard, uvs in range, the axis
// turning the Y-up build rigidly, and sizes reserved exactly.

#include "mesh/PolyCreators.h"
#include "polycreator_util.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <map>
#include <numbers>
#include <set>
#include <string>
#include <utility>
#include <vector>

using mayahost::MeshData;

namespace {

using Vec = std::array<double, 3>;

Vec point(const MeshData& m, int32_t v) {
    return {m.points[3 * v], m.points[3 * v + 1], m.points[3 * v + 2]};
}
Vec sub(Vec a, Vec b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Vec cross(Vec a, Vec b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double dot(Vec a, Vec b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
double length(Vec a) { return std::sqrt(dot(a, a)); }

Vec faceNormal(const MeshData& m, const std::vector<int32_t>& loop) {  // Newell
    Vec n{0, 0, 0};
    for (size_t i = 0; i < loop.size(); ++i) {
        const Vec a = point(m, loop[i]), b = point(m, loop[(i + 1) % loop.size()]);
        n[0] += (a[1] - b[1]) * (a[2] + b[2]);
        n[1] += (a[2] - b[2]) * (a[0] + b[0]);
        n[2] += (a[0] - b[0]) * (a[1] + b[1]);
    }
    const double l = length(n);
    return l > 0 ? Vec{n[0] / l, n[1] / l, n[2] / l} : n;
}

double signedVolume(const MeshData& m) {
    double vol = 0;
    for (const auto& loop : polytest::faceLoops(m))
        for (size_t i = 1; i + 1 < loop.size(); ++i)
            vol += dot(point(m, loop[0]), cross(point(m, loop[i]), point(m, loop[i + 1])));
    return vol / 6;
}

using EdgeKey = std::pair<int32_t, int32_t>;
EdgeKey key(int32_t a, int32_t b) { return {std::min(a, b), std::max(a, b)}; }

struct Use {
    int face;
    bool forward;  // walked from the smaller id to the larger
};

std::map<EdgeKey, std::vector<Use>> edgeUses(const MeshData& m) {
    std::map<EdgeKey, std::vector<Use>> uses;
    const auto loops = polytest::faceLoops(m);
    for (size_t f = 0; f < loops.size(); ++f)
        for (size_t i = 0; i < loops[f].size(); ++i) {
            const int32_t a = loops[f][i], b = loops[f][(i + 1) % loops[f].size()];
            uses[key(a, b)].push_back({int(f), a < b});
        }
    return uses;
}

// Structure shared by all creators: sizes consistent, ids in range, edge
// list = the faces' sides, each once, no degenerate face.
void expectWellFormed(const MeshData& m) {
    ASSERT_EQ(m.faceLoopStart.size(), m.numFaces() + 1);
    ASSERT_EQ(m.numLoops(), m.numFaces());  // no holes
    ASSERT_EQ(m.loopStart.back(), m.faceVertices.size());
    ASSERT_EQ(m.edgeSmooth.size(), m.numEdges());
    for (int32_t v : m.faceVertices) ASSERT_TRUE(v >= 0 && size_t(v) < m.numVertices());
    for (float c : m.points) ASSERT_TRUE(std::isfinite(c));
    for (const auto& loop : polytest::faceLoops(m)) {
        ASSERT_GE(loop.size(), 3u);
        ASSERT_EQ(std::set<int32_t>(loop.begin(), loop.end()).size(), loop.size()) << "repeated vertex in a face";
    }
    const auto uses = edgeUses(m);
    std::set<EdgeKey> listed;
    for (size_t e = 0; e < m.numEdges(); ++e) {
        const EdgeKey k = key(m.edges[2 * e], m.edges[2 * e + 1]);
        ASSERT_NE(k.first, k.second);
        ASSERT_TRUE(listed.insert(k).second) << "edge listed twice: " << k.first << "-" << k.second;
        ASSERT_TRUE(uses.count(k)) << "edge on no face: " << k.first << "-" << k.second;
    }
    ASSERT_EQ(listed.size(), uses.size()) << "a face side is missing from the edge list";
    // Every vertex belongs to some face.
    std::vector<bool> used(m.numVertices());
    for (int32_t v : m.faceVertices) used[v] = true;
    for (size_t v = 0; v < used.size(); ++v) ASSERT_TRUE(used[v]) << "vertex " << v << " on no face";
}

// Closed and consistently wound: each edge joins two faces that walk it in
// opposite directions.
void expectClosedOriented(const MeshData& m) {
    for (const auto& [k, u] : edgeUses(m)) {
        ASSERT_EQ(u.size(), 2u) << "edge " << k.first << "-" << k.second;
        ASSERT_NE(u[0].forward, u[1].forward) << "edge " << k.first << "-" << k.second;
    }
}

void expectUVsValid(const MeshData& m, bool withUVs) {
    ASSERT_EQ(m.uvSets.size(), 1u);
    const mayahost::MeshUVSet& s = m.uvSets[0];
    EXPECT_EQ(s.name, "map1");
    ASSERT_EQ(s.faceVertexUV.size(), m.faceVertices.size());
    ASSERT_EQ(s.u.size(), s.v.size());
    if (!withUVs) {
        EXPECT_TRUE(s.u.empty());
        for (int32_t id : s.faceVertexUV) ASSERT_EQ(id, -1);
        return;
    }
    std::vector<bool> used(s.u.size());
    for (int32_t id : s.faceVertexUV) {
        ASSERT_TRUE(id >= 0 && size_t(id) < s.u.size());
        used[id] = true;
    }
    for (size_t i = 0; i < s.u.size(); ++i) {
        EXPECT_TRUE(used[i]) << "uv " << i << " unused";
        EXPECT_TRUE(s.u[i] >= -1e-6f && s.u[i] <= 1 + 1e-6f && s.v[i] >= -1e-6f && s.v[i] <= 1 + 1e-6f)
            << "uv " << i << " outside the unit square";
    }
    // Uvs must not fold: each face keeps one orientation in uv space as in
    // 3D (all counter-clockwise seen from outside).
    const auto loops = polytest::faceLoops(m);
    size_t at = 0;
    for (size_t f = 0; f < loops.size(); ++f) {
        double area = 0;
        const size_t n = loops[f].size();
        for (size_t i = 0; i < n; ++i) {
            const int32_t a = s.faceVertexUV[at + i], b = s.faceVertexUV[at + (i + 1) % n];
            area += double(s.u[a]) * s.v[b] - double(s.u[b]) * s.v[a];
        }
        at += n;
        EXPECT_GT(area, 0) << "face " << f << " flipped or empty in uv space";
    }
}

// Creases are hard, smooth joins soft. On a flat-sided solid every join of
// two faces that are not coplanar is a crease; on a round one only joins
// sharper than 60 degrees are (a cap's rim). Open borders are always hard.
void expectCreasesHard(const MeshData& m, bool flatSided) {
    const auto loops = polytest::faceLoops(m);
    const auto uses = edgeUses(m);
    for (size_t e = 0; e < m.numEdges(); ++e) {
        const auto& u = uses.at(key(m.edges[2 * e], m.edges[2 * e + 1]));
        bool crease = true;
        if (u.size() == 2)
            crease = dot(faceNormal(m, loops[u[0].face]), faceNormal(m, loops[u[1].face])) <
                     (flatSided ? 1 - 1e-6 : std::cos(std::numbers::pi / 3));
        EXPECT_EQ(m.edgeSmooth[e], crease ? 0 : 1)
            << "edge " << e << " (" << m.edges[2 * e] << "-" << m.edges[2 * e + 1] << ")";
    }
}

void expectExactReserve(const MeshData& m) {
    EXPECT_EQ(m.points.capacity(), m.points.size());
    EXPECT_EQ(m.faceLoopStart.capacity(), m.faceLoopStart.size());
    EXPECT_EQ(m.loopStart.capacity(), m.loopStart.size());
    EXPECT_EQ(m.faceVertices.capacity(), m.faceVertices.size());
    EXPECT_EQ(m.edges.capacity(), m.edges.size());
    EXPECT_EQ(m.edgeSmooth.capacity(), m.edgeSmooth.size());
    const mayahost::MeshUVSet& s = m.uvSets.at(0);
    EXPECT_EQ(s.faceVertexUV.capacity(), s.faceVertexUV.size());
    if (!s.u.empty()) {
        EXPECT_EQ(s.u.capacity(), s.u.size());
        EXPECT_EQ(s.v.capacity(), s.v.size());
    }
}

struct Counts {
    size_t vertices, faces;
    int euler;  // V - E + F
};

void expectCounts(const MeshData& m, const Counts& c) {
    EXPECT_EQ(m.numVertices(), c.vertices);
    EXPECT_EQ(m.numFaces(), c.faces);
    EXPECT_EQ(long(m.numVertices()) - long(m.numEdges()) + long(m.numFaces()), c.euler);
}

// A closed primitive: everything above plus volume close to the solid's.
void expectSolid(const MeshData& m, const Counts& c, double volume, double relTol, bool flatSided) {
    ASSERT_NO_FATAL_FAILURE(expectWellFormed(m));
    expectCounts(m, c);
    ASSERT_NO_FATAL_FAILURE(expectClosedOriented(m));
    EXPECT_NEAR(signedVolume(m), volume, std::fabs(volume) * relTol) << "wrong size or wound inwards";
    expectCreasesHard(m, flatSided);
    expectUVsValid(m, true);
    expectExactReserve(m);
}

double polygonArea(int n, double r) { return 0.5 * n * r * r * std::sin(2 * std::numbers::pi / n); }

// --- Per creator, several parameter sets ---------------------------------------------

TEST(PolyCreatorInvariants, Cube) {
    struct Case { double w, h, d; int sw, sh, sd; };
    for (const Case& c : {Case{1, 1, 1, 1, 1, 1}, Case{2, 3, 4, 3, 2, 5}, Case{0.5, 7, 1, 1, 4, 1},
                          Case{5, 1, 2, 6, 1, 3}}) {
        SCOPED_TRACE(testing::Message() << c.sw << "x" << c.sh << "x" << c.sd);
        mayahost::PolyCubeParams p{c.w, c.h, c.d, c.sw, c.sh, c.sd, {}, 4};
        const MeshData m = mayahost::makePolyCube(p);
        const size_t V = size_t((c.sw + 1) * (c.sh + 1) * (c.sd + 1) - (c.sw - 1) * (c.sh - 1) * (c.sd - 1));
        const size_t F = size_t(2 * (c.sw * c.sh + c.sh * c.sd + c.sw * c.sd));
        expectSolid(m, {V, F, 2}, c.w * c.h * c.d, 1e-5, true);
        // Every point on the box's surface, every box corner present.
        for (size_t v = 0; v < m.numVertices(); ++v) {
            const Vec q = point(m, int32_t(v));
            const bool onSurface = std::fabs(std::fabs(q[0]) - c.w / 2) < 1e-5 ||
                                   std::fabs(std::fabs(q[1]) - c.h / 2) < 1e-5 ||
                                   std::fabs(std::fabs(q[2]) - c.d / 2) < 1e-5;
            EXPECT_TRUE(onSurface) << "vertex " << v;
        }
        size_t hard = 0;
        for (uint8_t s : m.edgeSmooth) hard += s == 0;
        EXPECT_EQ(hard, size_t(4 * (c.sw + c.sh + c.sd)));  // the twelve box edges, subdivided
    }
}

TEST(PolyCreatorInvariants, PlaneIsAnOpenGridWithHardBorder) {
    for (auto [sw, sh] : {std::pair{1, 1}, std::pair{3, 2}, std::pair{10, 10}}) {
        SCOPED_TRACE(testing::Message() << sw << "x" << sh);
        mayahost::PolyPlaneParams p;
        p.width = 4;
        p.height = 2;
        p.subdivisionsWidth = sw;
        p.subdivisionsHeight = sh;
        const MeshData m = mayahost::makePolyPlane(p);
        ASSERT_NO_FATAL_FAILURE(expectWellFormed(m));
        expectCounts(m, {size_t((sw + 1) * (sh + 1)), size_t(sw * sh), 1});
        for (const auto& loop : polytest::faceLoops(m)) {
            const Vec n = faceNormal(m, loop);
            EXPECT_NEAR(n[1], 1.0, 1e-6) << "plane faces look up +Y";
        }
        const auto uses = edgeUses(m);
        for (const auto& [k, u] : uses) ASSERT_TRUE(u.size() == 1 || (u.size() == 2 && u[0].forward != u[1].forward));
        expectCreasesHard(m, true);
        // Stretched uvs cover the unit square exactly.
        const auto& s = m.uvSets[0];
        EXPECT_FLOAT_EQ(*std::max_element(s.u.begin(), s.u.end()), 1.0f);
        EXPECT_FLOAT_EQ(*std::max_element(s.v.begin(), s.v.end()), 1.0f);
        expectUVsValid(m, true);
        expectExactReserve(m);
    }
}

TEST(PolyCreatorInvariants, PlanePreservingAspectRatioScalesByTheLongerSide) {
    mayahost::PolyPlaneParams p;
    p.width = 4;
    p.height = 2;
    p.createUVs = 2;
    const MeshData m = mayahost::makePolyPlane(p);
    const auto& s = m.uvSets.at(0);
    EXPECT_FLOAT_EQ(*std::max_element(s.u.begin(), s.u.end()), 1.0f);
    EXPECT_FLOAT_EQ(*std::max_element(s.v.begin(), s.v.end()), 0.5f);
}

TEST(PolyCreatorInvariants, Sphere) {
    for (auto [sa, sh] : {std::pair{20, 20}, std::pair{3, 2}, std::pair{8, 5}, std::pair{33, 17}}) {
        SCOPED_TRACE(testing::Message() << sa << "x" << sh);
        mayahost::PolySphereParams p;
        p.radius = 2;
        p.subdivisionsAxis = sa;
        p.subdivisionsHeight = sh;
        const MeshData m = mayahost::makePolySphere(p);
        ASSERT_NO_FATAL_FAILURE(expectWellFormed(m));
        expectCounts(m, {size_t(sa * (sh - 1) + 2), size_t(sa * sh), 2});
        ASSERT_NO_FATAL_FAILURE(expectClosedOriented(m));
        EXPECT_GT(signedVolume(m), 0);
        EXPECT_LT(signedVolume(m), 4.0 / 3.0 * std::numbers::pi * 8);  // inscribed
        for (size_t v = 0; v < m.numVertices(); ++v) EXPECT_NEAR(length(point(m, int32_t(v))), 2.0, 1e-5);
        if (sa >= 8) expectCreasesHard(m, false);
        expectUVsValid(m, true);
        EXPECT_EQ(m.uvSets[0].u.size(), size_t((sa + 1) * (sh - 1) + 2 * sa));
        expectExactReserve(m);
    }
}

TEST(PolyCreatorInvariants, SpherePinchedPolesShareOneUV) {
    mayahost::PolySphereParams p;
    p.subdivisionsAxis = 6;
    p.subdivisionsHeight = 4;
    p.createUVs = 1;
    const MeshData m = mayahost::makePolySphere(p);
    expectUVsValid(m, true);
    EXPECT_EQ(m.uvSets[0].u.size(), size_t(7 * 3 + 2));
}

TEST(PolyCreatorInvariants, Cylinder) {
    struct Case { int sa, sh, sc; };
    for (const Case& c : {Case{20, 1, 1}, Case{20, 1, 0}, Case{8, 12, 1}, Case{20, 2, 1}, Case{9, 3, 4}}) {
        SCOPED_TRACE(testing::Message() << c.sa << "/" << c.sh << "/" << c.sc);
        mayahost::PolyCylinderParams p;
        p.radius = 1.5;
        p.height = 3;
        p.subdivisionsAxis = c.sa;
        p.subdivisionsHeight = c.sh;
        p.subdivisionsCaps = c.sc;
        const MeshData m = mayahost::makePolyCylinder(p);
        const size_t V = size_t(c.sa * (c.sh + 1) + (c.sc ? 2 * (c.sa * (c.sc - 1) + 1) : 0));
        const size_t F = size_t(c.sa * c.sh + (c.sc ? 2 * c.sa * c.sc : 2));
        expectSolid(m, {V, F, 2}, polygonArea(c.sa, 1.5) * 3, 1e-5, false);
    }
    // The scenes' skinned cylinders name their vertex counts through their weights.
    mayahost::PolyCylinderParams p;
    p.subdivisionsHeight = 2;
    p.subdivisionsCaps = 1;
    EXPECT_EQ(mayahost::makePolyCylinder(p).numVertices(), 62u);
    p.subdivisionsAxis = 8;
    p.subdivisionsHeight = 12;
    EXPECT_EQ(mayahost::makePolyCylinder(p).numVertices(), 106u);
}

TEST(PolyCreatorInvariants, CylinderUVLayoutsDifferOnlyWhereMayaChangedThem) {
    mayahost::PolyCylinderParams before;
    before.subdivisionsCaps = 1;
    mayahost::PolyCylinderParams after = before;
    after.maya2022UVs = false;
    const MeshData ma = mayahost::makePolyCylinder(before), mb = mayahost::makePolyCylinder(after);
    const auto& a = ma.uvSets[0];
    const auto& b = mb.uvSets[0];
    ASSERT_EQ(a.u.size(), b.u.size());
    EXPECT_EQ(a.faceVertexUV, b.faceVertexUV);
    size_t differing = 0;
    for (size_t i = 0; i < a.u.size(); ++i) {
        EXPECT_EQ(a.u[i], b.u[i]);
        differing += a.v[i] != b.v[i];
    }
    EXPECT_EQ(differing, 21u + 2u);  // the band's top row and the two cap centres
    EXPECT_FLOAT_EQ(b.v.back(), 0.84375f);
}

TEST(PolyCreatorInvariants, Cone) {
    struct Case { int sa, sh, sc; };
    for (const Case& c : {Case{20, 1, 0}, Case{8, 3, 0}, Case{12, 2, 3}, Case{3, 1, 1}}) {
        SCOPED_TRACE(testing::Message() << c.sa << "/" << c.sh << "/" << c.sc);
        mayahost::PolyConeParams p;
        p.subdivisionsAxis = c.sa;
        p.subdivisionsHeight = c.sh;
        p.subdivisionsCap = c.sc;
        const MeshData m = mayahost::makePolyCone(p);
        const size_t V = size_t(c.sa * c.sh + 1 + (c.sc ? c.sa * (c.sc - 1) + 1 : 0));
        const size_t F = size_t(c.sa * c.sh + (c.sc ? c.sa * c.sc : 1));
        if (c.sa >= 8) {
            expectSolid(m, {V, F, 2}, polygonArea(c.sa, 1) * 2 / 3, 1e-5, false);
        } else {
            ASSERT_NO_FATAL_FAILURE(expectWellFormed(m));
            expectCounts(m, {V, F, 2});
            ASSERT_NO_FATAL_FAILURE(expectClosedOriented(m));
            EXPECT_NEAR(signedVolume(m), polygonArea(c.sa, 1) * 2 / 3, 1e-5);
        }
    }
}

TEST(PolyCreatorInvariants, PyramidHasEquilateralSides) {
    for (int ns : {3, 4, 5}) {
        SCOPED_TRACE(ns);
        mayahost::PolyPyramidParams p;
        p.numberOfSides = ns;
        p.sideLength = 2;
        const MeshData m = mayahost::makePolyPyramid(p);
        ASSERT_NO_FATAL_FAILURE(expectWellFormed(m));
        expectCounts(m, {size_t(ns + 1), size_t(ns + 1), 2});
        ASSERT_NO_FATAL_FAILURE(expectClosedOriented(m));
        EXPECT_GT(signedVolume(m), 0);
        for (size_t e = 0; e < m.numEdges(); ++e)
            EXPECT_NEAR(length(sub(point(m, m.edges[2 * e]), point(m, m.edges[2 * e + 1]))), 2.0, 1e-5);
        expectCreasesHard(m, true);
        expectUVsValid(m, true);
        expectExactReserve(m);
    }
    // Counts outside 3..5 are brought into range rather than failing.
    mayahost::PolyPyramidParams p;
    p.numberOfSides = 40;
    EXPECT_EQ(mayahost::makePolyPyramid(p).numVertices(), 6u);
    p.numberOfSides = -2;
    EXPECT_EQ(mayahost::makePolyPyramid(p).numVertices(), 4u);
}

TEST(PolyCreatorInvariants, Prism) {
    for (auto [ns, sh, sc] : {std::tuple{3, 1, 0}, std::tuple{6, 2, 1}, std::tuple{5, 1, 2}}) {
        SCOPED_TRACE(ns);
        mayahost::PolyPrismParams p;
        p.numberOfSides = ns;
        p.subdivisionsHeight = sh;
        p.subdivisionsCaps = sc;
        const MeshData m = mayahost::makePolyPrism(p);
        const double R = 1.0 / (2 * std::sin(std::numbers::pi / ns));
        const size_t V = size_t(ns * (sh + 1) + (sc ? 2 * (ns * (sc - 1) + 1) : 0));
        const size_t F = size_t(ns * sh + (sc ? 2 * ns * sc : 2));
        expectSolid(m, {V, F, 2}, polygonArea(ns, R) * 2, 1e-5, true);
        // Base edges have the side length.
        EXPECT_NEAR(length(sub(point(m, 0), point(m, 1))), 1.0, 1e-6);
    }
}

TEST(PolyCreatorInvariants, TorusAndPipeAreClosedRings) {
    for (auto [sa, sh] : {std::pair{20, 20}, std::pair{8, 9}}) {
        mayahost::PolyTorusParams p;
        p.subdivisionsAxis = sa;
        p.subdivisionsHeight = sh;
        p.twist = 30;
        const MeshData m = mayahost::makePolyTorus(p);
        // Pappus with the revolution's polygon factor: close, not exact, since
        // the section's polygon is swept along chords.
        const double expected = sa * std::sin(2 * std::numbers::pi / sa) * 1.0 * polygonArea(sh, 0.5);
        expectSolid(m, {size_t(sa * sh), size_t(sa * sh), 0}, expected, 0.05, false);
    }
    for (auto [sa, sh, sc] : {std::tuple{20, 1, 1}, std::tuple{12, 3, 2}}) {
        mayahost::PolyPipeParams p;
        p.subdivisionsAxis = sa;
        p.subdivisionsHeight = sh;
        p.subdivisionsCaps = sc;
        const MeshData m = mayahost::makePolyPipe(p);
        const size_t n = size_t(sa * (2 * sh + 2 * sc));
        expectSolid(m, {n, n, 0}, (polygonArea(sa, 1.0) - polygonArea(sa, 0.5)) * 2, 1e-5, false);
    }
}

// --- Uvs off, axis ---------------------------------------------------------------

TEST(PolyCreatorInvariants, NoUVsLeavesAnEmptyMap1) {
    mayahost::PolyCubeParams cube;
    cube.createUVs = 0;
    expectUVsValid(mayahost::makePolyCube(cube), false);
    mayahost::PolySphereParams sphere;
    sphere.createUVs = 0;
    expectUVsValid(mayahost::makePolySphere(sphere), false);
    mayahost::PolyTorusParams torus;
    torus.createUVs = false;
    expectUVsValid(mayahost::makePolyTorus(torus), false);
    mayahost::PolyCylinderParams cyl;
    cyl.createUVs = 0;
    cyl.subdivisionsCaps = 2;
    const MeshData m = mayahost::makePolyCylinder(cyl);
    expectUVsValid(m, false);
    expectExactReserve(m);
}

// The axis turns the upright build rigidly: each point keeps its distance
// from the origin, its height along the axis equals its old Y, topology and
// uvs stay, and the winding stays outward.
void expectTurnedOnto(const MeshData& upright, const MeshData& turned, Vec axis) {
    const double l = length(axis);
    axis = {axis[0] / l, axis[1] / l, axis[2] / l};
    ASSERT_EQ(turned.numVertices(), upright.numVertices());
    EXPECT_EQ(turned.faceVertices, upright.faceVertices);
    EXPECT_EQ(turned.edges, upright.edges);
    EXPECT_EQ(turned.uvSets[0].u, upright.uvSets[0].u);
    for (size_t v = 0; v < upright.numVertices(); ++v) {
        const Vec a = point(upright, int32_t(v)), b = point(turned, int32_t(v));
        EXPECT_NEAR(length(b), length(a), 1e-5) << "vertex " << v;
        EXPECT_NEAR(dot(b, axis), a[1], 1e-5) << "vertex " << v;
    }
    EXPECT_NEAR(signedVolume(turned), signedVolume(upright), 1e-4 * std::fabs(signedVolume(upright)));
    // Rigid: distances between neighbours kept too.
    for (size_t e = 0; e < upright.numEdges(); ++e) {
        const int32_t i = upright.edges[2 * e], j = upright.edges[2 * e + 1];
        EXPECT_NEAR(length(sub(point(turned, i), point(turned, j))),
                    length(sub(point(upright, i), point(upright, j))), 1e-5);
    }
}

TEST(PolyCreatorInvariants, AxisTurnsTheUprightBuild) {
    for (Vec axis : {Vec{1, 0, 0}, Vec{0, 0, 1}, Vec{0, -1, 0}, Vec{1, 2, -3}, Vec{0, 5, 0}}) {
        SCOPED_TRACE(testing::Message() << axis[0] << " " << axis[1] << " " << axis[2]);
        mayahost::PolyCylinderParams cyl;
        cyl.subdivisionsCaps = 1;
        cyl.height = 3;
        const MeshData up = mayahost::makePolyCylinder(cyl);
        cyl.axis = {axis[0], axis[1], axis[2]};
        expectTurnedOnto(up, mayahost::makePolyCylinder(cyl), axis);

        mayahost::PolyCubeParams cube{1, 2, 3, 2, 1, 1, {}, 4};
        const MeshData upCube = mayahost::makePolyCube(cube);
        cube.axis = {axis[0], axis[1], axis[2]};
        expectTurnedOnto(upCube, mayahost::makePolyCube(cube), axis);
    }
}

TEST(PolyCreatorInvariants, ZeroAxisKeepsTheUprightBuild) {
    mayahost::PolyConeParams p;
    const MeshData up = mayahost::makePolyCone(p);
    p.axis = {0, 0, 0};
    EXPECT_EQ(mayahost::makePolyCone(p).points, up.points);
}

TEST(PolyCreatorInvariants, SubdivisionsBelowMinimumAreRaised) {
    mayahost::PolySphereParams s;
    s.subdivisionsAxis = 0;
    s.subdivisionsHeight = -4;
    const MeshData m = mayahost::makePolySphere(s);
    expectCounts(m, {size_t(3 * 1 + 2), 6u, 2});
    mayahost::PolyCubeParams c;
    c.subdivisionsWidth = -1;
    c.subdivisionsDepth = 0;
    EXPECT_EQ(mayahost::makePolyCube(c).numFaces(), 6u);
}

// --- Size: the one-million-face sphere --------------------------------------------

TEST(PolyCreatorInvariants, MillionFaceSphereIsSizedExactly) {
    mayahost::PolySphereParams p;
    p.subdivisionsAxis = 1000;
    p.subdivisionsHeight = 1000;
    const MeshData m = mayahost::makePolySphere(p);
    EXPECT_EQ(m.numFaces(), 1000000u);
    EXPECT_EQ(m.numVertices(), 1000u * 999u + 2u);
    EXPECT_EQ(long(m.numVertices()) - long(m.numEdges()) + long(m.numFaces()), 2);
    expectExactReserve(m);
}

}  // namespace
