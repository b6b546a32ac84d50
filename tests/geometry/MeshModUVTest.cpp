// The uv editing modifiers on small meshes: projections and their uv
// numbering, the layout of uv shells, cutting and sewing uv edges, deleting
// and flipping uvs, empty colour sets, and bad input.

#include "mesh/MeshModUV.h"
#include "mesh/MeshValidate.h"

#include "MeshTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>

using namespace mayahost;
using namespace meshtest;

namespace {

// A ring of four quads around Y (corners at 45, 135, 225, 315 degrees), so
// that the face between 135 and 225 degrees straddles the seam behind -Z.
MeshData ring() {
    std::vector<MeshVec> pts;
    for (int level = 0; level < 2; ++level)
        for (int i = 0; i < 4; ++i) {
            const double a = (45 + 90 * i) * 3.14159265358979323846 / 180;
            pts.push_back({std::sin(a), double(level) - 0.5, std::cos(a)});
        }
    return makeMesh(pts, {{{0, 1, 5, 4}}, {{1, 2, 6, 5}}, {{2, 3, 7, 6}}, {{3, 0, 4, 7}}}, true);
}

int32_t edgeBetween(const MeshData& m, int32_t a, int32_t b) {
    for (size_t e = 0; e < m.numEdges(); ++e)
        if ((m.edges[2 * e] == a && m.edges[2 * e + 1] == b) || (m.edges[2 * e] == b && m.edges[2 * e + 1] == a))
            return int32_t(e);
    return -1;
}

// The uv bounds of face f and its area in uv space.
struct UVBox {
    double lu, lv, hu, hv, area;  // area signed: positive counter-clockwise
};
UVBox uvBox(const MeshData& m, size_t f) {
    UVBox b{HUGE_VAL, HUGE_VAL, -HUGE_VAL, -HUGE_VAL, 0};
    const MeshUVSet& s = m.uvSets[0];
    for (uint32_t k = m.loopStart[f]; k < m.loopStart[f + 1]; ++k) {
        const size_t i = size_t(s.faceVertexUV[k]), j = size_t(s.faceVertexUV[k + 1 < m.loopStart[f + 1] ? k + 1 : m.loopStart[f]]);
        b.lu = std::min(b.lu, double(s.u[i])), b.hu = std::max(b.hu, double(s.u[i]));
        b.lv = std::min(b.lv, double(s.v[i])), b.hv = std::max(b.hv, double(s.v[i]));
        b.area += 0.5 * (double(s.u[i]) * s.v[j] - double(s.u[j]) * s.v[i]);
    }
    return b;
}
double spanU(const MeshData& m, size_t f) { return uvBox(m, f).hu - uvBox(m, f).lu; }
bool apart(const UVBox& a, const UVBox& b) {
    return a.hu <= b.lu + 1e-6 || b.hu <= a.lu + 1e-6 || a.hv <= b.lv + 1e-6 || b.hv <= a.lv + 1e-6;
}

}  // namespace

TEST(UVProjection, PlanarGivesEachVertexOneUvAndDropsTheOldOnes) {
    const MeshData cube = makeCube(true, true);
    std::string w;
    const MeshData all = applyUVProjection(cube, {}, &w);
    EXPECT_EQ(w, "");
    EXPECT_EQ(meshDataError(all), "");
    ASSERT_EQ(all.uvSets[0].u.size(), 8u);
    for (size_t k = 0; k < all.numFaceVertices(); ++k) {
        const int32_t id = all.uvSets[0].faceVertexUV[k];
        const MeshVec p = pointOf(all, size_t(all.faceVertices[k]));
        EXPECT_NEAR(all.uvSets[0].u[size_t(id)], p.x + 0.5, 1e-6);
        EXPECT_NEAR(all.uvSets[0].v[size_t(id)], p.y + 0.5, 1e-6);
    }
    // New uvs are numbered by first use: vertex 0, 1, 3, 2 of face 0 first.
    EXPECT_EQ(std::vector<int32_t>(all.uvSets[0].faceVertexUV.begin(), all.uvSets[0].faceVertexUV.begin() + 4),
              (std::vector<int32_t>{0, 1, 2, 3}));
    // One face: the old uvs other faces still use stay, the four new follow them.
    const MeshData one = applyUVProjection(cube, {.inputComponents = std::vector<std::string>{"f[0]"},
                                                  .projectionScale = {2, 4}, .imageScale = {1, 2}}, &w);
    ASSERT_EQ(one.uvSets[0].u.size(), 18u);
    EXPECT_EQ(one.uvSets[0].faceVertexUV[1], 15);
    EXPECT_NEAR(one.uvSets[0].u[15], 0.5 + 0.5 / 2, 1e-6);
    EXPECT_NEAR(one.uvSets[0].v[15], 0.5 - 0.5 / 4 * 2, 1e-6);
    EXPECT_EQ(one.uvSets[0].faceVertexUV[4], 3) << "face 1 keeps its uvs";
}

TEST(UVProjection, FrameRotationAndImageSettingsPlaceTheMap) {
    const MeshData cube = makeCube(true, false);
    // Turned 90 degrees about Y, the planar map looks along X: u follows -z.
    const MeshData turned = applyUVProjection(cube, {.rotate = {0, 3.14159265358979323846 / 2, 0}}, nullptr);
    const MeshVec p0 = pointOf(cube, 0);
    ASSERT_EQ(turned.uvSets.size(), 1u) << "a mesh without uvs gets map1";
    EXPECT_EQ(turned.uvSets[0].name, "map1");
    EXPECT_NEAR(turned.uvSets[0].u[0], 0.5 - p0.z, 1e-6);
    // rotationAngle turns the coordinates clockwise about the image centre.
    const MeshData spun = applyUVProjection(cube, {.imageCenter = {2, 3}, .rotationAngle = 3.14159265358979323846 / 2}, nullptr);
    EXPECT_NEAR(spun.uvSets[0].u[0], 2 + p0.y, 1e-6);
    EXPECT_NEAR(spun.uvSets[0].v[0], 3 - p0.x, 1e-6);
}

TEST(UVProjection, CylinderAndSphereSplitTheFaceAcrossTheSeam) {
    struct Case { UVProjectionKind kind; bool seam; size_t uvs; };
    for (const Case c : {Case{UVProjectionKind::Cylindrical, true, 10}, Case{UVProjectionKind::Cylindrical, false, 8},
                         Case{UVProjectionKind::Spherical, true, 10}}) {
        SCOPED_TRACE(int(c.kind) * 2 + c.seam);
        UVProjectionParams p{.kind = c.kind, .seamCorrect = c.seam};
        p.projectionScale = {2 * 3.14159265358979323846, c.kind == UVProjectionKind::Spherical ? 3.14159265358979323846 : 1};
        const MeshData out = applyUVProjection(ring(), p, nullptr);
        EXPECT_EQ(out.uvSets[0].u.size(), c.uvs);
        EXPECT_NEAR(spanU(out, 0), 0.25, 1e-6);
        EXPECT_NEAR(spanU(out, 1), c.seam ? 0.25 : 0.75, 1e-6) << "the face behind the axis";
    }
}

TEST(UVProjection, BadSettingsAndSelectionsLeaveTheUvs) {
    const MeshData cube = makeCube(true, true);
    struct Case { const char* what; UVProjectionParams p; const char* warned; };
    for (const Case& c : {Case{"nan", {.projectionCenter = {kNaN, 0, 0}}, "non-finite"},
                          Case{"zero", {.projectionScale = {0, 1}}, "zero"},
                          Case{"range", {.inputComponents = std::vector<std::string>{"f[99]"}}, "f[99]"}}) {
        SCOPED_TRACE(c.what);
        std::string w;
        const MeshData out = applyUVProjection(cube, c.p, &w);
        EXPECT_NE(w.find(c.warned), std::string::npos) << w;
        EXPECT_EQ(out.uvSets[0].u, cube.uvSets[0].u);
    }
    std::string w;
    EXPECT_EQ(applyUVProjection(MeshData{}, {}, &w).numFaces(), 0u);
    const MeshData named = applyUVProjection(cube, {.uvSetName = "proj"}, &w);
    ASSERT_EQ(named.uvSets.size(), 2u);
    EXPECT_EQ(named.uvSets[0].u, cube.uvSets[0].u);
    EXPECT_EQ(named.uvSets[1].u.size(), 8u);
}

TEST(PolyAutoProj, CubeSidesBecomeSixPackedSquares) {
    for (int planes : {6, 3}) {
        SCOPED_TRACE(planes);
        std::string w;
        const MeshData out = applyPolyAutoProj(makeCube(true, true), {.planes = planes, .percentageSpace = 5}, &w);
        EXPECT_EQ(w, "");
        ASSERT_EQ(out.uvSets[0].u.size(), 24u);
        std::vector<UVBox> boxes;
        for (size_t f = 0; f < 6; ++f) {
            const UVBox b = uvBox(out, f);
            EXPECT_NEAR(b.hu - b.lu, b.hv - b.lv, 1e-6) << "square face " << f;
            EXPECT_GE(b.lu, -1e-6);
            EXPECT_LE(b.hu, 1 + 1e-6);
            EXPECT_LE(b.hv, 1 + 1e-6);
            for (const UVBox& o : boxes) EXPECT_TRUE(apart(b, o)) << "face " << f << " overlaps a piece before it";
            boxes.push_back(b);
        }
    }
    std::string w;
    applyPolyAutoProj(makeCube(true, true), {.planes = 7}, &w);
    EXPECT_NE(w.find("7 planes"), std::string::npos);
}

namespace {

// Three unconnected quads, a uv per vertex: A wide over [2,4]x[2,3], B tall
// over [2.5,3.5]x[2,4] (overlapping A), C over [-1,0]x[-1,0] mirrored.
MeshData threeShells() {
    std::vector<MeshVec> pts;
    for (int q = 0; q < 3; ++q)
        for (MeshVec c : {MeshVec{0, 0, 0}, MeshVec{1, 0, 0}, MeshVec{1, 1, 0}, MeshVec{0, 1, 0}}) pts.push_back(c + MeshVec{2.0 * q, 0, 0});
    MeshData m = makeMesh(pts, {{{0, 1, 2, 3}}, {{4, 5, 6, 7}}, {{8, 9, 10, 11}}}, true);
    m.uvSets.push_back({"map1", {2, 4, 4, 2, 2.5f, 3.5f, 3.5f, 2.5f, 0, -1, -1, 0}, {2, 2, 3, 3, 2, 2, 4, 4, -1, -1, 0, 0}, {}});
    for (int32_t v = 0; v < 12; ++v) m.uvSets[0].faceVertexUV.push_back(v);
    return m;
}

}  // namespace

TEST(PolyLayoutUV, ShellsArePackedApartInsideTheSquare) {
    struct Case {
        const char* name;
        PolyLayoutUVParams params;
        bool wideB;  // B ends up at least as wide as tall
    };
    const Case cases[] = {
        {"square", {.percentageSpace = 2}, false},
        {"along U, stretched", {.layout = 1, .scale = 2}, false},
        {"tiles", {.layout = 3}, false},
        {"quarter turns", {.rotateForBestFit = 1}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto [out, warning] = warned(applyPolyLayoutUV, threeShells(), c.params);
        EXPECT_EQ(warning, "");
        EXPECT_EQ(meshDataError(out), "");
        for (const std::vector<float>* values : {&out.uvSets[0].u, &out.uvSets[0].v}) {
            EXPECT_GE(*std::min_element(values->begin(), values->end()), -1e-6f);
            EXPECT_LE(*std::max_element(values->begin(), values->end()), 1 + 1e-6f);
        }
        for (size_t f = 0; f < 3; ++f) {
            const UVBox a = uvBox(out, f);
            EXPECT_GT(a.area, 0) << f;  // C is flipped back
            for (size_t g = f + 1; g < 3; ++g) EXPECT_TRUE(apart(a, uvBox(out, g))) << f << " " << g;
        }
        const UVBox b = uvBox(out, 1);
        EXPECT_EQ(b.hu - b.lu >= b.hv - b.lv - 1e-6, c.wideB);
    }
}

TEST(PolyLayoutUV, WithoutLayoutOrScaleOnlyReversedShellsChange) {
    const MeshData in = threeShells();
    // What the corpus's scenes ask for: nothing moves.
    auto [still, warning] = warned(applyPolyLayoutUV, in, PolyLayoutUVParams{.layout = 0, .scale = 0, .flipReversed = false, .rotateForBestFit = 3});
    EXPECT_EQ(warning, "");
    EXPECT_EQ(still.uvSets[0].u, in.uvSets[0].u);
    EXPECT_EQ(still.uvSets[0].v, in.uvSets[0].v);
    // Flipping turns C over in its own box and leaves A and B.
    const MeshData flipped = applyPolyLayoutUV(in, {.layout = 0, .scale = 0}, nullptr);
    for (size_t f = 0; f < 3; ++f) {
        const UVBox a = uvBox(in, f), b = uvBox(flipped, f);
        EXPECT_EQ(std::tie(a.lu, a.lv, a.hu, a.hv), std::tie(b.lu, b.lv, b.hu, b.hv));
        EXPECT_NEAR(b.area, std::fabs(a.area), 1e-9);
    }
    EXPECT_EQ(std::vector<float>(flipped.uvSets[0].u.begin(), flipped.uvSets[0].u.begin() + 8),
              std::vector<float>(in.uvSets[0].u.begin(), in.uvSets[0].u.begin() + 8));
}

TEST(PolyMapCutSew, CutSplitsBothEndsAndSewJoinsThemBack) {
    const MeshData in = twoQuads(0, true);
    const int32_t inner = edgeBetween(in, 1, 4), border = edgeBetween(in, 0, 1);
    const std::vector<std::string> innerList{"e[" + std::to_string(inner) + "]"};
    std::string w;
    const MeshData onBorder = applyPolyMapCut(in, {.inputComponents = std::vector<std::string>{"e[" + std::to_string(border) + "]"}}, &w);
    EXPECT_EQ(onBorder.uvSets[0].faceVertexUV, in.uvSets[0].faceVertexUV) << "a border edge has one side";
    const MeshData cut = applyPolyMapCut(in, {.inputComponents = innerList}, &w);
    EXPECT_EQ(w, "");
    // Each end's fans in turn from the face arriving off the border: at 1 the
    // second face takes new uv 6, at 4 the first face takes 7.
    EXPECT_EQ(cut.uvSets[0].faceVertexUV, (std::vector<int32_t>{0, 1, 7, 3, 6, 2, 5, 4}));
    EXPECT_FLOAT_EQ(cut.uvSets[0].u[7], 0.5f);
    MeshData moved = cut;
    for (size_t i : {6u, 2u, 5u, 4u}) moved.uvSets[0].u[i] += 3, moved.uvSets[0].v[i] += 1;
    const MeshData sewn = applyPolyMapSew(moved, {.inputComponents = innerList}, &w);
    EXPECT_EQ(sewn.uvSets[0].faceVertexUV, in.uvSets[0].faceVertexUV);
    EXPECT_FLOAT_EQ(sewn.uvSets[0].u[1], 2.0f) << "sewn halfway";
    // Sew-and-move brings the smaller (here the second) piece back whole.
    const MeshData back = applyPolyMapSewMove(moved, {.edges = {.inputComponents = innerList}}, &w);
    EXPECT_EQ(back.uvSets[0].faceVertexUV, in.uvSets[0].faceVertexUV);
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_NEAR(back.uvSets[0].u[i], in.uvSets[0].u[i], 1e-6) << i;
        EXPECT_NEAR(back.uvSets[0].v[i], in.uvSets[0].v[i], 1e-6) << i;
    }
    const MeshData limited = applyPolyMapSewMove(moved, {.edges = {.inputComponents = innerList}, .numberFaces = 0,
                                                         .limitPieceSize = true}, &w);
    EXPECT_FLOAT_EQ(limited.uvSets[0].u[2], 4.0f) << "too large to move: only sewn";
    applyPolyMapCut(in, {.inputComponents = std::vector<std::string>{"e[40]"}}, &w);
    EXPECT_NE(w.find("e[40]"), std::string::npos);
}

TEST(PolyMapDelAndFlip, DeleteClearsFacesAndFlipMirrorsAboutTheRightPivot) {
    const MeshData cube = makeCube(true, true);
    const MeshData del = applyPolyMapDel(cube, {.inputComponents = std::vector<std::string>{"f[0]"}}, nullptr);
    EXPECT_EQ(del.uvSets[0].faceVertexUV[0], -1);
    EXPECT_EQ(del.uvSets[0].u.size(), 14u) << "every uv of face 0 is used elsewhere";
    EXPECT_EQ(meshDataError(applyPolyMapDel(cube, {}, nullptr)), "");
    // Face 4 holds uvs 1 10 11 2, u from .625 to .875.
    struct Case { PolyFlipUVParams p; float u1; size_t uvs; };
    const auto f4 = std::optional<std::vector<std::string>>(std::vector<std::string>{"f[4]"});
    for (const Case& c : {Case{{.inputComponents = f4}, .875f, 16}, Case{{.inputComponents = f4, .local = false}, .375f, 16},
                          Case{{.inputComponents = f4, .usePivot = true, .pivotU = 1}, 1.375f, 16},
                          Case{{.inputComponents = f4, .cutUV = false}, .875f, 14}}) {
        const MeshData out = applyPolyFlipUV(cube, c.p, nullptr);
        EXPECT_EQ(out.uvSets[0].u.size(), c.uvs);
        EXPECT_FLOAT_EQ(out.uvSets[0].u[size_t(out.uvSets[0].faceVertexUV[16])], c.u1);
        EXPECT_FLOAT_EQ(out.uvSets[0].u[1], c.uvs == 16 ? .625f : .875f) << "uv 1 is shared with face 0";
    }
    std::string w;
    applyPolyFlipUV(cube, {.uvSetName = "none"}, &w);
    EXPECT_NE(w.find("\"none\""), std::string::npos);
}

TEST(CreateColorSet, AddsAnEmptyCurrentSetOnce) {
    const MeshData once = applyCreateColorSet(makeCube(true, false), {"paint"}, nullptr);
    ASSERT_EQ(once.colorSets.size(), 1u);
    EXPECT_EQ(once.colorSets[0].faceVertexColor, std::vector<int32_t>(24, -1));
    EXPECT_EQ(meshDataError(once), "");
    EXPECT_EQ(applyCreateColorSet(once, {"paint"}, nullptr).colorSets.size(), 1u);
    std::string w;
    EXPECT_EQ(applyCreateColorSet(once, {""}, &w).colorSets.size(), 1u);
    EXPECT_NE(w, "");
}
