// Properties every creator must have for any parameters: counts that follow
// from the shape's topology, closed surfaces whose edges each join two faces
// walked in opposite directions, outward winding, an edge list that is
// exactly the faces' sides with creases marked hard, uvs in range, the axis
// turning the Y-up build rigidly, and sizes reserved exactly. Then the entry
// the dependency graph uses: values read by short name, node defaults, and
// refusal of sizes a hostile file could ask for.

#include "mesh/PolyCreators.h"
#include "MeshTestUtil.h"

#include <gtest/gtest.h>

#include <chrono>
#include <limits>
#include <numbers>
#include <set>

using namespace mayahost;
using namespace meshtest;

namespace {

constexpr double kPi = std::numbers::pi;

double signedVolume(const MeshData& m) {
    double vol = 0;
    for (const auto& loop : faceLoops(m))
        for (size_t i = 1; i + 1 < loop.size(); ++i)
            vol += pointOf(m, loop[0]).dot(pointOf(m, loop[i]).cross(pointOf(m, loop[i + 1])));
    return vol / 6;
}

double edgeLength(const MeshData& m, size_t e) { return (pointOf(m, m.edges[2 * e]) - pointOf(m, m.edges[2 * e + 1])).length(); }

using EdgeKey = std::pair<int32_t, int32_t>;
EdgeKey key(int32_t a, int32_t b) { return {std::min(a, b), std::max(a, b)}; }

// For each side: the faces walking it, and whether from the smaller id to the larger.
std::map<EdgeKey, std::vector<std::pair<size_t, bool>>> edgeUses(const MeshData& m) {
    std::map<EdgeKey, std::vector<std::pair<size_t, bool>>> uses;
    const auto loops = faceLoops(m);
    for (size_t f = 0; f < loops.size(); ++f)
        for (size_t i = 0; i < loops[f].size(); ++i) {
            const int32_t a = loops[f][i], b = loops[f][(i + 1) % loops[f].size()];
            uses[key(a, b)].push_back({f, a < b});
        }
    return uses;
}

// Sizes consistent, ids in range, no hole or degenerate face, every vertex on
// a face, the edge list exactly the faces' sides, each once; with `closed`,
// each edge joins two faces walking it in opposite directions, else at most two.
void expectWellFormed(const MeshData& m, bool closed = true) {
    ASSERT_EQ(m.faceLoopStart.size(), m.numFaces() + 1);
    ASSERT_EQ(m.numLoops(), m.numFaces());
    ASSERT_EQ(m.loopStart.back(), m.faceVertices.size());
    ASSERT_EQ(m.edgeSmooth.size(), m.numEdges());
    for (float c : m.points) ASSERT_TRUE(std::isfinite(c));
    std::vector<bool> used(m.numVertices());
    for (int32_t v : m.faceVertices) {
        ASSERT_TRUE(v >= 0 && size_t(v) < m.numVertices());
        used[v] = true;
    }
    for (size_t v = 0; v < used.size(); ++v) ASSERT_TRUE(used[v]) << "vertex " << v << " on no face";
    for (const auto& loop : faceLoops(m)) {
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
    for (const auto& [k, u] : uses) {
        ASSERT_TRUE(u.size() == 2 || (!closed && u.size() == 1)) << "edge " << k.first << "-" << k.second;
        ASSERT_TRUE(u.size() == 1 || u[0].second != u[1].second) << "edge " << k.first << "-" << k.second;
    }
}

void expectUVsValid(const MeshData& m, bool withUVs = true) {
    ASSERT_EQ(m.uvSets.size(), 1u);
    const MeshUVSet& s = m.uvSets[0];
    EXPECT_EQ(s.name, "map1");
    ASSERT_EQ(s.faceVertexUV.size(), m.faceVertices.size());
    ASSERT_EQ(s.u.size(), s.v.size());
    if (!withUVs) {
        EXPECT_TRUE(s.u.empty());
        EXPECT_EQ(s.faceVertexUV, std::vector<int32_t>(m.faceVertices.size(), -1));
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
    for (size_t f = 0; f < m.numFaces(); ++f) {
        const uint32_t at = m.loopStart[m.faceLoopStart[f]], n = m.loopStart[m.faceLoopStart[f] + 1] - at;
        double area = 0;
        for (uint32_t i = 0; i < n; ++i) {
            const int32_t a = s.faceVertexUV[at + i], b = s.faceVertexUV[at + (i + 1) % n];
            area += double(s.u[a]) * s.v[b] - double(s.u[b]) * s.v[a];
        }
        EXPECT_GT(area, 0) << "face " << f << " flipped or empty in uv space";
    }
}

// Creases are hard, smooth joins soft. On a flat-sided solid every join of
// two faces that are not coplanar is a crease; on a round one only joins
// sharper than 60 degrees are (a cap's rim). Open borders are always hard.
void expectCreasesHard(const MeshData& m, bool flatSided) {
    const auto uses = edgeUses(m);
    for (size_t e = 0; e < m.numEdges(); ++e) {
        const auto& u = uses.at(key(m.edges[2 * e], m.edges[2 * e + 1]));
        const bool crease = u.size() != 2 || newell(m, u[0].first).normalized().dot(newell(m, u[1].first).normalized()) <
                                                 (flatSided ? 1 - 1e-6 : std::cos(kPi / 3));
        EXPECT_EQ(m.edgeSmooth[e], crease ? 0 : 1) << "edge " << e << " (" << m.edges[2 * e] << "-" << m.edges[2 * e + 1] << ")";
    }
}

void expectExactReserve(const MeshData& m) {
    const MeshUVSet& s = m.uvSets.at(0);
    for (auto [what, size, capacity] :
         {std::tuple{"points", m.points.size(), m.points.capacity()},
          {"faceLoopStart", m.faceLoopStart.size(), m.faceLoopStart.capacity()},
          {"loopStart", m.loopStart.size(), m.loopStart.capacity()},
          {"faceVertices", m.faceVertices.size(), m.faceVertices.capacity()},
          {"edges", m.edges.size(), m.edges.capacity()}, {"edgeSmooth", m.edgeSmooth.size(), m.edgeSmooth.capacity()},
          {"faceVertexUV", s.faceVertexUV.size(), s.faceVertexUV.capacity()},
          {"u", s.u.size(), s.u.empty() ? 0 : s.u.capacity()}, {"v", s.v.size(), s.v.empty() ? 0 : s.v.capacity()}})
        EXPECT_EQ(capacity, size) << what;
}

// Vertex and face counts and the Euler characteristic V - E + F.
void expectCounts(const MeshData& m, size_t vertices, size_t faces, long euler) {
    EXPECT_EQ(m.numVertices(), vertices);
    EXPECT_EQ(m.numFaces(), faces);
    EXPECT_EQ(long(m.numVertices()) - long(m.numEdges()) + long(m.numFaces()), euler);
}

// A closed primitive: everything above plus a volume close to the solid's.
void expectSolid(const MeshData& m, size_t vertices, size_t faces, long euler, double volume, double relTol,
                 bool flatSided) {
    ASSERT_NO_FATAL_FAILURE(expectWellFormed(m));
    expectCounts(m, vertices, faces, euler);
    EXPECT_NEAR(signedVolume(m), volume, std::fabs(volume) * relTol) << "wrong size or wound inwards";
    expectCreasesHard(m, flatSided);
    expectUVsValid(m);
    expectExactReserve(m);
}

double polygonArea(int n, double r) { return 0.5 * n * r * r * std::sin(2 * kPi / n); }

// --- Per creator, several parameter sets ---------------------------------------------

TEST(PolyCreatorInvariants, Cube) {
    for (auto [w, h, d, sw, sh, sd] : {std::tuple{1., 1., 1., 1, 1, 1}, {2., 3., 4., 3, 2, 5}, {0.5, 7., 1., 1, 4, 1},
                                       {5., 1., 2., 6, 1, 3}}) {
        SCOPED_TRACE(testing::Message() << sw << "x" << sh << "x" << sd);
        const MeshData m = makePolyCube({w, h, d, sw, sh, sd, {}, 4});
        expectSolid(m, size_t((sw + 1) * (sh + 1) * (sd + 1) - (sw - 1) * (sh - 1) * (sd - 1)),
                    size_t(2 * (sw * sh + sh * sd + sw * sd)), 2, w * h * d, 1e-5, true);
        // Every point on the box's surface.
        for (size_t v = 0; v < m.numVertices(); ++v) {
            const MeshVec q = pointOf(m, v);
            EXPECT_TRUE(std::fabs(std::fabs(q.x) - w / 2) < 1e-5 || std::fabs(std::fabs(q.y) - h / 2) < 1e-5 ||
                        std::fabs(std::fabs(q.z) - d / 2) < 1e-5)
                << "vertex " << v;
        }
        EXPECT_EQ(std::count(m.edgeSmooth.begin(), m.edgeSmooth.end(), 0), 4 * (sw + sh + sd)) << "the box edges, subdivided";
    }
}

TEST(PolyCreatorInvariants, PlaneIsAnOpenGridWithHardBorder) {
    for (auto [sw, sh] : {std::pair{1, 1}, {3, 2}, {10, 10}}) {
        SCOPED_TRACE(testing::Message() << sw << "x" << sh);
        const MeshData m = makePolyPlane({.width = 4, .height = 2, .subdivisionsWidth = sw, .subdivisionsHeight = sh});
        ASSERT_NO_FATAL_FAILURE(expectWellFormed(m, false));
        expectCounts(m, size_t((sw + 1) * (sh + 1)), size_t(sw * sh), 1);
        for (size_t f = 0; f < m.numFaces(); ++f) EXPECT_NEAR(newell(m, f).normalized().y, 1.0, 1e-6) << "faces look up +Y";
        expectCreasesHard(m, true);
        // Stretched uvs cover the unit square exactly.
        const auto& s = m.uvSets[0];
        EXPECT_FLOAT_EQ(*std::max_element(s.u.begin(), s.u.end()), 1.0f);
        EXPECT_FLOAT_EQ(*std::max_element(s.v.begin(), s.v.end()), 1.0f);
        expectUVsValid(m);
        expectExactReserve(m);
    }
    // Preserving the aspect ratio scales by the longer side.
    const MeshData aspect = makePolyPlane({.width = 4, .height = 2, .createUVs = 2});
    const auto& s = aspect.uvSets.at(0);
    EXPECT_FLOAT_EQ(*std::max_element(s.u.begin(), s.u.end()), 1.0f);
    EXPECT_FLOAT_EQ(*std::max_element(s.v.begin(), s.v.end()), 0.5f);
}

TEST(PolyCreatorInvariants, Sphere) {
    for (auto [sa, sh] : {std::pair{20, 20}, {3, 2}, {8, 5}, {33, 17}}) {
        SCOPED_TRACE(testing::Message() << sa << "x" << sh);
        const MeshData m = makePolySphere({.radius = 2, .subdivisionsAxis = sa, .subdivisionsHeight = sh});
        ASSERT_NO_FATAL_FAILURE(expectWellFormed(m));
        expectCounts(m, size_t(sa * (sh - 1) + 2), size_t(sa * sh), 2);
        EXPECT_GT(signedVolume(m), 0);
        EXPECT_LT(signedVolume(m), 4.0 / 3.0 * kPi * 8);  // inscribed
        for (size_t v = 0; v < m.numVertices(); ++v) EXPECT_NEAR(pointOf(m, v).length(), 2.0, 1e-5);
        if (sa >= 8) expectCreasesHard(m, false);
        expectUVsValid(m);
        EXPECT_EQ(m.uvSets[0].u.size(), size_t((sa + 1) * (sh - 1) + 2 * sa));
        expectExactReserve(m);
    }
    // Pinched poles share one uv each.
    const MeshData pinched = makePolySphere({.subdivisionsAxis = 6, .subdivisionsHeight = 4, .createUVs = 1});
    expectUVsValid(pinched);
    EXPECT_EQ(pinched.uvSets[0].u.size(), size_t(7 * 3 + 2));
}

TEST(PolyCreatorInvariants, CylinderAndCone) {
    for (auto [sa, sh, sc] : {std::tuple{20, 1, 1}, {20, 1, 0}, {8, 12, 1}, {20, 2, 1}, {9, 3, 4}}) {
        SCOPED_TRACE(testing::Message() << "cylinder " << sa << "/" << sh << "/" << sc);
        expectSolid(makePolyCylinder({.radius = 1.5, .height = 3, .subdivisionsAxis = sa, .subdivisionsHeight = sh,
                                      .subdivisionsCaps = sc}),
                    size_t(sa * (sh + 1) + (sc ? 2 * (sa * (sc - 1) + 1) : 0)), size_t(sa * sh + (sc ? 2 * sa * sc : 2)),
                    2, polygonArea(sa, 1.5) * 3, 1e-5, false);
    }

    for (auto [sa, sh, sc] : {std::tuple{20, 1, 0}, {8, 3, 0}, {12, 2, 3}, {3, 1, 1}}) {
        SCOPED_TRACE(testing::Message() << "cone " << sa << "/" << sh << "/" << sc);
        const MeshData m = makePolyCone({.subdivisionsAxis = sa, .subdivisionsHeight = sh, .subdivisionsCap = sc});
        const size_t V = size_t(sa * sh + 1 + (sc ? sa * (sc - 1) + 1 : 0)), F = size_t(sa * sh + (sc ? sa * sc : 1));
        if (sa >= 8) {
            expectSolid(m, V, F, 2, polygonArea(sa, 1) * 2 / 3, 1e-5, false);
        } else {
            ASSERT_NO_FATAL_FAILURE(expectWellFormed(m));
            expectCounts(m, V, F, 2);
            EXPECT_NEAR(signedVolume(m), polygonArea(sa, 1) * 2 / 3, 1e-5);
        }
    }
}

TEST(PolyCreatorInvariants, CylinderUVLayoutsDifferOnlyWhereMayaChangedThem) {
    const MeshData before = makePolyCylinder({.subdivisionsCaps = 1});
    const MeshData after = makePolyCylinder({.subdivisionsCaps = 1, .maya2022UVs = false});
    const auto &a = before.uvSets[0], &b = after.uvSets[0];
    ASSERT_EQ(a.u.size(), b.u.size());
    EXPECT_EQ(a.faceVertexUV, b.faceVertexUV);
    EXPECT_EQ(a.u, b.u);
    size_t differing = 0;
    for (size_t i = 0; i < a.v.size(); ++i) differing += a.v[i] != b.v[i];
    EXPECT_EQ(differing, 21u + 2u);  // the band's top row and the two cap centres
    EXPECT_FLOAT_EQ(b.v.back(), 0.84375f);
}

TEST(PolyCreatorInvariants, PyramidAndPrism) {
    for (int ns : {3, 4, 5}) {
        SCOPED_TRACE(ns);
        const MeshData m = makePolyPyramid({.sideLength = 2, .numberOfSides = ns});
        ASSERT_NO_FATAL_FAILURE(expectWellFormed(m));
        expectCounts(m, size_t(ns + 1), size_t(ns + 1), 2);
        EXPECT_GT(signedVolume(m), 0);
        for (size_t e = 0; e < m.numEdges(); ++e) EXPECT_NEAR(edgeLength(m, e), 2.0, 1e-5) << "equilateral sides";
        expectCreasesHard(m, true);
        expectUVsValid(m);
        expectExactReserve(m);
    }
    // Counts outside 3..5 are brought into range rather than failing.
    EXPECT_EQ(makePolyPyramid({.numberOfSides = 40}).numVertices(), 6u);
    EXPECT_EQ(makePolyPyramid({.numberOfSides = -2}).numVertices(), 4u);

    for (auto [ns, sh, sc] : {std::tuple{3, 1, 0}, {6, 2, 1}, {5, 1, 2}}) {
        SCOPED_TRACE(ns);
        const MeshData m = makePolyPrism({.numberOfSides = ns, .subdivisionsHeight = sh, .subdivisionsCaps = sc});
        expectSolid(m, size_t(ns * (sh + 1) + (sc ? 2 * (ns * (sc - 1) + 1) : 0)), size_t(ns * sh + (sc ? 2 * ns * sc : 2)),
                    2, polygonArea(ns, 1.0 / (2 * std::sin(kPi / ns))) * 2, 1e-5, true);
        EXPECT_NEAR(edgeLength(m, 0), 1.0, 1e-6) << "base edges have the side length";
    }
}

TEST(PolyCreatorInvariants, TorusAndPipeAreClosedRings) {
    for (auto [sa, sh] : {std::pair{20, 20}, {8, 9}}) {
        // Pappus with the revolution's polygon factor: close, not exact, since
        // the section's polygon is swept along chords.
        const double volume = sa * std::sin(2 * kPi / sa) * polygonArea(sh, 0.5);
        expectSolid(makePolyTorus({.twist = 30, .subdivisionsAxis = sa, .subdivisionsHeight = sh}), size_t(sa * sh),
                    size_t(sa * sh), 0, volume, 0.05, false);
    }
    for (auto [sa, sh, sc] : {std::tuple{20, 1, 1}, {12, 3, 2}}) {
        const size_t n = size_t(sa * (2 * sh + 2 * sc));
        expectSolid(makePolyPipe({.subdivisionsAxis = sa, .subdivisionsHeight = sh, .subdivisionsCaps = sc}), n, n, 0,
                    (polygonArea(sa, 1.0) - polygonArea(sa, 0.5)) * 2, 1e-5, false);
    }
}

TEST(PolyCreatorInvariants, NoUVsSubdivisionMinimumsAndTheMillionFaceSphere) {
    expectUVsValid(makePolyCube({.createUVs = 0}), false);
    expectUVsValid(makePolySphere({.createUVs = 0}), false);
    expectUVsValid(makePolyTorus({.createUVs = false}), false);
    const MeshData cyl = makePolyCylinder({.subdivisionsCaps = 2, .createUVs = 0});
    expectUVsValid(cyl, false);
    expectExactReserve(cyl);
    // Subdivisions below the minimum are raised.
    expectCounts(makePolySphere({.subdivisionsAxis = 0, .subdivisionsHeight = -4}), 3 * 1 + 2, 6, 2);
    EXPECT_EQ(makePolyCube({.subdivisionsWidth = -1, .subdivisionsDepth = 0}).numFaces(), 6u);

    const MeshData big = makePolySphere({.subdivisionsAxis = 1000, .subdivisionsHeight = 1000});
    expectCounts(big, 1000u * 999u + 2u, 1000000u, 2);
    expectExactReserve(big);
}

// The axis turns the upright build rigidly: each point keeps its distance
// from the origin and its neighbours, its height along the axis equals its
// old Y, topology and uvs stay, and the winding stays outward. A zero axis
// keeps the upright build.
TEST(PolyCreatorInvariants, AxisTurnsTheUprightBuild) {
    const MeshData upCyl = makePolyCylinder({.height = 3, .subdivisionsCaps = 1});
    const MeshData upCube = makePolyCube({1, 2, 3, 2, 1, 1, {}, 4});
    for (MeshVec axis : {MeshVec{1, 0, 0}, {0, 0, 1}, {0, -1, 0}, {1, 2, -3}, {0, 5, 0}}) {
        SCOPED_TRACE(testing::Message() << axis.x << " " << axis.y << " " << axis.z);
        const PolyAxis ax{axis.x, axis.y, axis.z};
        for (const auto& [upright, turned] :
             {std::pair{upCyl, makePolyCylinder({.height = 3, .subdivisionsCaps = 1, .axis = ax})},
                                              {upCube, makePolyCube({1, 2, 3, 2, 1, 1, ax, 4})}}) {
            ASSERT_EQ(turned.numVertices(), upright.numVertices());
            EXPECT_EQ(turned.faceVertices, upright.faceVertices);
            EXPECT_EQ(turned.edges, upright.edges);
            EXPECT_EQ(turned.uvSets[0].u, upright.uvSets[0].u);
            for (size_t v = 0; v < upright.numVertices(); ++v) {
                EXPECT_NEAR(pointOf(turned, v).length(), pointOf(upright, v).length(), 1e-5) << "vertex " << v;
                EXPECT_NEAR(pointOf(turned, v).dot(axis.normalized()), pointOf(upright, v).y, 1e-5) << "vertex " << v;
            }
            for (size_t e = 0; e < upright.numEdges(); ++e) EXPECT_NEAR(edgeLength(turned, e), edgeLength(upright, e), 1e-5);
            EXPECT_NEAR(signedVolume(turned), signedVolume(upright), 1e-4 * std::fabs(signedVolume(upright)));
        }
    }
    EXPECT_EQ(makePolyCone({.axis = {0, 0, 0}}).points, makePolyCone({}).points);
}

// --- The entry the dependency graph uses --------------------------------------------------

const char* const kTypes[] = {"polyCube", "polyPlane", "polySphere", "polyCylinder", "polyCone",
                              "polyTorus", "polyPyramid", "polyPipe", "polyPrism"};

TEST(PolyCreatorEntry, EveryCreatorBuildsFromItsDefaultsAndPredictsItsFaceCount) {
    for (const char* type : kTypes) {
        SCOPED_TRACE(type);
        EXPECT_TRUE(isPolyCreatorType(type));
        size_t count = 0;
        ASSERT_NE(polyCreatorAttributes(type, count), nullptr);
        EXPECT_GT(count, 0u);
        MeshData m;
        EXPECT_EQ(makePolyCreatorMesh(type, AttrReader{}, m), "");
        EXPECT_GT(m.numFaces(), 0u);
        EXPECT_EQ(m.numFaces(), polyCreatorFaceCount(type, AttrReader{}));
        // The size check runs before building: it must count what the builders make.
        for (double sh : {1.0, 3.0})
            for (double sc : {0.0, 1.0, 3.0}) {
                const AttrReader r({{"sh", sh}, {"sc", sc}, {"sa", 7}, {"sw", 2}, {"sd", 3}, {"ns", 5}});
                ASSERT_EQ(makePolyCreatorMesh(type, r, m), "");
                EXPECT_EQ(polyCreatorFaceCount(type, r), m.numFaces()) << "sh " << sh << " sc " << sc;
            }
    }
}

TEST(PolyCreatorEntry, NodeDefaultsAreWhatAFileLeavesOut) {
    MeshData m;
    // A cylinder node without values has flat one-polygon caps (the node's
    // subdivisionsCaps is 0; only the interactive command writes 1).
    ASSERT_EQ(makePolyCreatorMesh("polyCylinder", AttrReader{}, m), "");
    EXPECT_EQ(m.numFaces(), 22u);
    EXPECT_EQ(m.numVertices(), 40u);
    // A plane node defaults to 10 x 10.
    ASSERT_EQ(makePolyCreatorMesh("polyPlane", AttrReader{}, m), "");
    EXPECT_EQ(m.numFaces(), 100u);
    // The table agrees with the parameter structs' defaults.
    size_t count = 0;
    const PolyCreatorAttribute* a = polyCreatorAttributes("polySphere", count);
    std::map<std::string, double> byName;
    for (size_t i = 0; i < count; ++i) byName[a[i].shortName] = a[i].defaultValue;
    const PolySphereParams s;
    EXPECT_EQ(byName.at("r"), s.radius);
    EXPECT_EQ(byName.at("sa"), s.subdivisionsAxis);
    EXPECT_EQ(byName.at("sh"), s.subdivisionsHeight);
    EXPECT_EQ(byName.at("cuv"), s.createUVs);
}

TEST(PolyCreatorEntry, ValuesReachTheCreator) {
    MeshData viaEntry;
    const AttrReader sphereReader({{"r", 2.5}, {"sa", 7}, {"sh", 4}, {"cuv", 0}}, {{"ax", {1, 0, 0}}});
    ASSERT_EQ(makePolyCreatorMesh("polySphere", sphereReader, viaEntry), "");
    const MeshData sphere = makePolySphere({2.5, 7, 4, {1, 0, 0}, 0});
    EXPECT_EQ(viaEntry.points, sphere.points);
    EXPECT_EQ(viaEntry.faceVertices, sphere.faceVertices);
    EXPECT_TRUE(viaEntry.uvSets.at(0).u.empty());
    ASSERT_EQ(makePolyCreatorMesh("polyCylinder", AttrReader{{{"sc", 1}, {"cuv", 3}, {"ouv", 0}, {"h", 5}}}, viaEntry), "");
    const MeshData cyl = makePolyCylinder({.height = 5, .subdivisionsCaps = 1, .createUVs = 3, .maya2022UVs = false});
    EXPECT_EQ(viaEntry.points, cyl.points);
    EXPECT_EQ(viaEntry.uvSets[0].v, cyl.uvSets[0].v);
}

TEST(PolyCreatorEntry, UnknownTypesHugeSizesAndNonsenseValues) {
    MeshData m;
    m.points = {1, 2, 3};
    EXPECT_TRUE(mentions(makePolyCreatorMesh("polyHelix", AttrReader{}, m), "polyHelix"));
    EXPECT_EQ(m.points.size(), 3u) << "the mesh is left alone";
    EXPECT_FALSE(isPolyCreatorType("mesh"));
    size_t count = 7;
    EXPECT_EQ(polyCreatorAttributes("mesh", count), nullptr);
    EXPECT_EQ(count, 0u);

    // Huge subdivisions are refused before allocating.
    const auto start = std::chrono::steady_clock::now();
    AttrReader huge;
    for (const char* name : {"sw", "sh", "sd", "sa", "sc", "ns"}) huge.numbers[name] = 1e12;
    for (const char* type : kTypes) {
        const std::string error = makePolyCreatorMesh(type, huge, m);
        // The pyramid's sides are capped at five; only height and caps can grow.
        EXPECT_TRUE(std::string(type) == "polyPyramid" ? !error.empty() : mentions(error, "faces")) << type << ": " << error;
        EXPECT_EQ(m.numFaces(), 0u) << type;
    }
    // Just over the limit is refused, at the limit is not.
    const AttrReader plane({{"sw", 4096}, {"sh", 4097}});
    EXPECT_NE(makePolyCreatorMesh("polyPlane", plane, m), "");
    EXPECT_EQ(polyCreatorFaceCount("polyPlane", plane), 4096u * 4097u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));

    // NaN and infinity are ignored (node default 20 rows, radius 1); the
    // negative count is raised to Maya's minimum of 3.
    const AttrReader nonsense({{"r", kNaN}, {"sa", -30}, {"sh", std::numeric_limits<double>::infinity()}});
    ASSERT_EQ(makePolyCreatorMesh("polySphere", nonsense, m), "");
    EXPECT_EQ(m.numFaces(), 3u * 20u);
    for (float c : m.points) ASSERT_TRUE(std::isfinite(c));
    EXPECT_FLOAT_EQ(m.points[m.points.size() - 2], 1.0f);  // the north pole at radius 1
    ASSERT_EQ(makePolyCreatorMesh("polyCube", AttrReader{{}, {{"ax", {kNaN, 1, 0}}}}, m), "");
    for (float c : m.points) ASSERT_TRUE(std::isfinite(c));
}

}  // namespace
