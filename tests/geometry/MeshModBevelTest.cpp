// polyBevel3 / polyBevel without a scene: counts and numbering of strips and
// corner patches, offsets, closedness, uvs, merging, and bad input.

#include "MeshTestUtil.h"

#include "mesh/MeshModifiers.h"
#include "mesh/MeshValidate.h"

#include <gtest/gtest.h>

#include <numbers>

#include <cmath>

using namespace mayahost;
using namespace meshtest;

namespace {


TEST(MeshModBevel, CountsAndClosedness) {
    struct Case {
        const char* what;
        PolyBevelParams params;
        Shape shape;   // vertices, faces, edges
    };
    const Case cases[] = {
        {"every edge, one segment: a triangle per corner", {}, {24, 26, 48}},
        {"every edge, two segments: hexagonal corners", {.segments = 2}, {48, 38, 84}},
        {"two segments with ngons split: three quads per corner", {.segments = 2, .subdivideNgons = true}, {56, 54, 108}},
        {"one edge: its end faces take its ends", {.inputComponents = Components{{"e[0]"}}}, {10, 7, 15}},
        {"one edge in two segments: the end faces take the middle point",
         {.inputComponents = Components{{"e[0]"}}, .segments = 2}, {12, 8, 18}},
        {"a face's edges", {.inputComponents = Components{{"f[1]"}}}, {12, 10, 20}},
        {"a vertex's edges", {.inputComponents = Components{{"vtx[0]"}}}, {13, 10, 21}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const MeshData out = clean(applyPolyBevel, makeCube(true, true), c.params);
        EXPECT_EQ(shape(out), c.shape);
        EXPECT_EQ(closedProblem(out), "");
        // Uvs for every corner of the new faces too.
        for (int32_t uv : out.uvSets[0].faceVertexUV) EXPECT_GE(uv, 0);
    }
}

TEST(MeshModBevel, StripsThenPatchesThenTheFacesThatDrawBack) {
    const MeshData out = applyPolyBevel(makeCube(true, false), {.offset = 0.1}, nullptr);
    ASSERT_EQ(out.numFaces(), 26u);
    // Strip 0 is edge 0's (vertices 0 and 1, between faces 0 and 3): it faces down the front.
    const MeshVec strip = newell(out, 0);
    EXPECT_TRUE(near(strip * (1 / strip.length()), MeshVec{0, -std::sqrt(0.5), std::sqrt(0.5)}, 1e-6));
    // Patch 0 is vertex 0's corner, a triangle facing out along (-1, -1, 1).
    const std::vector<int32_t> patch = faceCorners(out, 12);
    ASSERT_EQ(patch.size(), 3u);
    EXPECT_GT(newell(out, 12).dot({-1, -1, 1}), 0);
    for (int32_t v : patch) EXPECT_NEAR(pointOf(out, size_t(v)).x, -0.4, 0.11);
    for (size_t f = 0; f < 6; ++f) {
        // Then the original faces, in their order, shrunk in their planes by the offset.
        EXPECT_TRUE(near(newell(out, 20 + f) * (1 / newell(out, 20 + f).length()), kCubeNormals[f])) << f;
        for (int32_t v : faceCorners(out, 20 + f)) {
            const MeshVec p = pointOf(out, size_t(v));
            EXPECT_NEAR(std::abs(p.x) + std::abs(p.y) + std::abs(p.z), 0.5 + 0.4 + 0.4, 1e-6) << f;
        }
    }
}

// The CornerRoom floor: tiles extruded without moving, their rims bevelled
// by a fraction with merging. Every such bevel leaves the counts of the
// extrusion (each next bevel names edges that only exist so), the tile moving
// behind its strips (the next extrusions' face ids); a tile beside one
// extruded twice loses two vertices, three edges and a face.
TEST(MeshModBevel, RimsOfExtrusionsThatDidNotMove) {
    const PolyBevelParams rim{.inputComponents = Components{{"f[0]"}}, .offsetAsFraction = true, .mergeVertices = true};
    const MeshData tile = applyPolyExtrudeFace(makeCube(true, true), {.inputComponents = Components{{"f[0]"}}}, nullptr);
    ASSERT_EQ(shape(tile), Shape(12, 10, 20));
    const MeshData out = clean(applyPolyBevel, tile, rim);
    EXPECT_EQ(shape(out), Shape(12, 10, 20));
    EXPECT_EQ(closedProblem(out), "");
    // The other faces first, then four strips from the cube's front edges
    // inwards, and the tile, inset by a quarter of its side, last.
    for (size_t f = 0; f < 5; ++f) EXPECT_TRUE(near(newell(out, f) * (1 / newell(out, f).length()), kCubeNormals[f + 1])) << f;
    for (size_t f = 5; f < 9; ++f) EXPECT_NEAR(newell(out, f).z, newell(out, f).length(), 1e-6) << f;
    for (int32_t v : faceCorners(out, 9)) {
        const MeshVec p = pointOf(out, size_t(v));
        EXPECT_NEAR(std::abs(p.x), 0.25, 1e-6);
        EXPECT_NEAR(std::abs(p.y), 0.25, 1e-6);
        EXPECT_NEAR(p.z, 0.5, 1e-6);
    }

    // Two tiles side by side, the second extruded once before: the sides
    // between them fold into one.
    const MeshData grid = twoQuads();
    const MeshData once = applyPolyExtrudeFace(grid, {.inputComponents = Components{{"f[1]"}}}, nullptr);
    const MeshData twice = applyPolyExtrudeFace(once, {.inputComponents = Components{{"f[0:1]"}}}, nullptr);
    ASSERT_EQ(shape(twice), Shape(18, 14, 31));
    PolyBevelParams both = rim;
    both.inputComponents = Components{{"f[0:1]"}};
    const MeshData pair = applyPolyBevel(twice, both, nullptr);
    EXPECT_EQ(shape(pair), Shape(16, 13, 28));
    EXPECT_EQ(meshDataError(pair), "");
}

TEST(MeshModBevel, OffsetsFractionsAndWorldSpace) {
    struct Case {
        const char* what;
        PolyBevelParams params;
        double inset;   // where face 0's corners end, |x| and |y| (it follows 12 strips and 8 patches)
    };
    const Case cases[] = {
        {"a distance", {.offset = 0.1}, 0.4},
        {"a fraction of half the shortest edge", {.fraction = 0.5, .offsetAsFraction = true}, 0.25},
        {"a fraction above one is one", {.fraction = 3, .offsetAsFraction = true}, 0.0},
        {"a world distance on a mesh scaled by two", {.offset = 0.2, .worldSpace = true, .inputMatrix = scaling(2, 2, 2)}, 0.4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const MeshData out = applyPolyBevel(makeCube(true, false), c.params, nullptr);
        for (int32_t v : faceCorners(out, 20)) {
            EXPECT_NEAR(std::abs(pointOf(out, size_t(v)).x), c.inset, 1e-6);
            EXPECT_NEAR(std::abs(pointOf(out, size_t(v)).y), c.inset, 1e-6);
        }
    }
}

TEST(MeshModBevel, RoundProfileAndSmoothing) {
    const MeshData out = applyPolyBevel(makeCube(true, false), {.inputComponents = Components{{"e[0]"}}, .offset = 0.2, .segments = 2}, nullptr);
    // The middle of the profile lies on the quarter circle of radius 0.2 round (0, -.3, .3).
    bool found = false;
    for (size_t v = 0; v < out.numVertices(); ++v) {
        const MeshVec p = pointOf(out, v);
        if (p.y > 0 || p.z < 0 || std::abs(p.y + .5) < 1e-6 || std::abs(p.z - .5) < 1e-6) continue;
        EXPECT_NEAR(std::hypot(p.y + .3, p.z - .3), 0.2, 1e-6);
        found = true;
    }
    EXPECT_TRUE(found);
    // Two segments turn by 22.5, 45 and 22.5 degrees: the middle edge is soft at 60 degrees only.
    for (double angle : {30.0, 60.0}) {
        const MeshData m = applyPolyBevel(makeCube(false, false), {.inputComponents = Components{{"e[0]"}}, .segments = 2,
                                                                   .smoothingAngle = angle * std::numbers::pi / 180}, nullptr);
        int soft = 0;
        for (uint8_t s : m.edgeSmooth) soft += s;
        EXPECT_EQ(soft, angle > 45 ? 3 : 2) << angle;
    }
}

TEST(MeshModBevel, MergingAndFilters) {
    // A zero offset merged away is the cube again.
    const MeshData merged = applyPolyBevel(makeCube(true, true), {.offset = 0, .mergeVertices = true}, nullptr);
    EXPECT_EQ(shape(merged), Shape(8, 6, 12));
    // Flat edges filtered by angle are left alone: a 2x1 grid's middle edge.
    const MeshData grid = twoQuads();
    EXPECT_EQ(shape(applyPolyBevel(grid, {.filterEdgesByAngle = true}, nullptr)), shape(grid));
    // Unfiltered, the flat middle edge opens into a strip, its ends on the border.
    const MeshData flat = applyPolyBevel(grid, {.inputComponents = Components{{"e[1]"}}, .offset = 0.1}, nullptr);
    EXPECT_EQ(shape(flat), Shape(8, 3, 10));
    EXPECT_EQ(meshDataError(flat), "");
}

TEST(MeshModBevel, BadInputWarnsAndPassesThrough) {
    const MeshData grid = makeMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}}, {{{0, 1, 3, 2}}}, true);
    struct Case {
        const char* what;
        MeshData in;
        PolyBevelParams params;
        const char* warned;   // "" for no warning
    };
    const Case cases[] = {
        {"an edge beyond the mesh", makeCube(true, false), {.inputComponents = Components{{"e[99]"}}}, "beyond"},
        {"an empty selection", makeCube(true, false), {.inputComponents = Components{std::vector<std::string>{}}}, ""},
        {"a border edge", grid, {.inputComponents = Components{{"e[0]"}}}, "border"},
        {"a NaN offset", makeCube(true, false), {.offset = kNaN}, "not a number"},
        {"no segments", makeCube(true, false), {.segments = 0}, "below 1"},
        {"a billion segments", makeCube(true, false), {.segments = 1000000000}, "left as it was"},
        {"an empty mesh", MeshData{}, {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto [out, warning] = warned(applyPolyBevel, c.in, c.params);
        EXPECT_EQ(shape(out), shape(c.in));
        EXPECT_TRUE(*c.warned ? mentions(warning, c.warned) : warning.empty()) << warning;
    }
    // A non-manifold edge (three faces on it) is skipped, the rest bevelled.
    MeshData fin = makeMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}}, {{{0, 1, 2}}, {{1, 0, 3}}, {{0, 1, 4}}}, true);
    expectPassedThrough(applyPolyBevel, fin, {.inputComponents = Components{{"e[0]"}}}, "non-manifold");
}

}  // namespace
