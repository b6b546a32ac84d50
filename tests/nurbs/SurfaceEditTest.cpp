// Surfaces and curves edited by their history: attachSurface joining two
// surfaces, rebuildSurface and rebuildCurve refitting them.

#include "NurbsTestUtil.h"

#include "nurbs/Attach.h"
#include "nurbs/KnotOps.h"
#include "nurbs/NurbsCreators.h"
#include "nurbs/Rebuild.h"
#include "nurbs/NurbsEval.h"

#include <gtest/gtest.h>

using namespace nurbstest;

namespace {

// A bicubic grid of nu x nv points over x in [x0, x0 + nu - 1], bent in z
// (by x, so that planes side by side share their edge points).
NurbsSurface bentPlane(double x0, int nu = 5, int nv = 4, double y0 = 0) {
    return gridSurface(3, 3, nu, nv, [&](int i, int j) {
        const double x = x0 + i;
        return Point{x, y0 + j, 0.02 * (x - 1) * (x - 2.5) + 0.05 * j * j, 1};
    });
}

// The part of `s` over u in [a, b] (v whole) matches `piece` over its own u domain.
void expectPiece(const NurbsSurface& s, double a, double b, const NurbsSurface& piece, double tol, const char* name) {
    const NurbsRange pu = surfaceDomainU(piece), pv = surfaceDomainV(piece), sv = surfaceDomainV(s);
    for (double f : {0.0, 0.25, 0.5, 0.9})
        for (double g : {0.0, 0.4, 1.0})
            EXPECT_LT(distance(surfacePoint(s, a + f * (b - a), sv.start + g * sv.length()),
                               surfacePoint(piece, pu.start + f * pu.length(), pv.start + g * pv.length())), tol)
                << name << " at " << f << ", " << g;
}

TEST(AttachSurface, ConnectKeepsBothSurfacesAndTheirKnots) {
    const NurbsSurface a = bentPlane(0), b = bentPlane(4, 4);  // b starts where a ends
    struct Case { const char* name; bool keep; size_t numU; std::vector<double> knots; };
    for (const Case& c : {Case{"keep", true, 8, {0, 0, 0, 1, 2, 2, 2, 3, 3, 3}},
                          // the join has a kink, so no knot can go
                          Case{"remove", false, 8, {0, 0, 0, 1, 2, 2, 2, 3, 3, 3}}}) {
        NurbsSurface s;
        ASSERT_EQ(attachSurfaces(a, b, {.keepMultipleKnots = c.keep}, s), "") << c.name;
        EXPECT_EQ(s.numU, c.numU) << c.name;
        EXPECT_EQ(s.uKnots, c.knots) << c.name;
        EXPECT_EQ(s.vKnots, a.vKnots) << c.name;
        expectPiece(s, 0, 2, a, 1e-12, c.name);
        expectPiece(s, 2, 3, b, 1e-12, c.name);
    }
}

TEST(AttachSurface, RemovingKnotsOfASplitSurfaceGivesItBack) {
    // One surface cut at u = 1 by knot insertion: attaching the halves and
    // removing the join's knots restores the whole.
    const NurbsSurface whole = bentPlane(0, 6);
    Strip left = stripAlongU(whole), right;
    for (int i = 0; i < 2; ++i) insertKnot(left, 1.0);
    right = left;
    right.knots.assign(left.knots.begin() + 3, left.knots.end());
    right.pts.erase(right.pts.begin(), right.pts.begin() + std::ptrdiff_t(3 * right.width));
    left.knots.resize(6);
    left.pts.resize(4 * left.width);
    NurbsSurface s;
    ASSERT_EQ(attachSurfaces(surfaceFromStrip(left, whole), surfaceFromStrip(right, whole), {.keepMultipleKnots = false}, s), "");
    EXPECT_EQ(s.numU, whole.numU);
    for (size_t i = 0; i < s.cvs.size(); ++i) EXPECT_NEAR(s.cvs[i], whole.cvs[i], 1e-12);
}

TEST(AttachSurface, ConnectBridgesAGapWithAStraightSpan) {
    const NurbsSurface a = bentPlane(0), b = bentPlane(6, 4);
    NurbsSurface s;
    ASSERT_EQ(attachSurfaces(a, b, AttachParams{}, s), "");
    EXPECT_EQ(s.numU, 5u + 2 + 4);
    EXPECT_EQ(s.uKnots, (std::vector<double>{0, 0, 0, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4}));
    expectPiece(s, 0, 2, a, 1e-12, "first");
    expectPiece(s, 3, 4, b, 1e-12, "second");
    const MeshVec from = surfacePoint(s, 2, 0.5), to = surfacePoint(s, 3, 0.5), mid = surfacePoint(s, 2.4, 0.5);
    EXPECT_LT(((mid - from).cross(to - from)).length(), 1e-12);
}

TEST(AttachSurface, BlendLeavesOneKnotAndFollowsTheBias) {
    const NurbsSurface a = bentPlane(0), b = bentPlane(5, 4, 4, 0.5);
    const MeshVec aEnd = surfacePoint(a, 2, 1), bStart = surfacePoint(b, 0, 1);
    std::vector<double> toA, toB;
    for (double bias : {0.0, 0.5, 1.0}) {
        NurbsSurface s;
        ASSERT_EQ(attachSurfaces(a, b, {.method = 1, .blendBias = bias}, s), "") << bias;
        EXPECT_EQ(s.uKnots, (std::vector<double>{0, 0, 0, 1, 2, 3, 3, 3})) << bias;
        EXPECT_EQ(s.numU, 5u + 4 - 3) << bias;
        // the far edges are untouched
        EXPECT_LT(distance(surfacePoint(s, 0, 0.3), surfacePoint(a, 0, 0.3)), 1e-12) << bias;
        EXPECT_LT(distance(surfacePoint(s, 3, 0.3), surfacePoint(b, 1, 0.3)), 1e-12) << bias;
        toA.push_back(distance(surfacePoint(s, 2, 1), aEnd));
        toB.push_back(distance(surfacePoint(s, 2, 1), bStart));
    }
    // a larger bias pulls the join away from the first surface towards the second
    EXPECT_LT(toA[0], toA[1]);
    EXPECT_LT(toA[1], toA[2]);
    EXPECT_GT(toB[0], toB[1]);
    EXPECT_GT(toB[1], toB[2]);
}

TEST(AttachSurface, DirectionReverseSwapAndTwist) {
    // The second plane is given turned round in ways the flags undo; each
    // case must then join exactly like the plain attach in u.
    const NurbsSurface a = bentPlane(0), b = bentPlane(4, 4);
    NurbsSurface plain;
    ASSERT_EQ(attachSurfaces(a, b, AttachParams{}, plain), "");
    auto reversedU = [](const NurbsSurface& s) { Strip t = stripAlongU(s); reverseStrip(t); return surfaceFromStrip(t, s); };
    auto reversedV = [&](const NurbsSurface& s) { return transposed(reversedU(transposed(s))); };
    struct Case { const char* name; NurbsSurface first, second; AttachParams p; bool transposeResult; };
    Case cases[] = {{"reverse1", reversedU(a), b, {.reverse1 = true}, false},
                    {"reverse2", a, reversedU(b), {.reverse2 = true}, false},
                    {"swap2", a, transposed(b), {.swap2 = true}, false},
                    {"twist", a, reversedV(b), {.twist = true}, false},
                    {"directionV", transposed(a), transposed(b), {.directionU = false}, true}};
    for (Case& c : cases) {
        NurbsSurface s;
        ASSERT_EQ(attachSurfaces(c.first, c.second, c.p, s), "") << c.name;
        if (c.transposeResult) s = transposed(s);
        ASSERT_EQ(s.numU, plain.numU) << c.name;
        for (size_t i = 0; i < s.cvs.size(); ++i) EXPECT_NEAR(s.cvs[i], plain.cvs[i], 1e-12) << c.name << " " << i;
    }
}

TEST(AttachSurface, AcrossTheJoinTheKnotsAreMerged) {
    // b has two spans across where a has one: both end with b's knots over a's range.
    const NurbsSurface a = bentPlane(0), b = gridSurface(3, 3, 4, 5, [](int i, int j) { return Point{4.0 + i, 0.5 * j, 0, 1}; });
    NurbsSurface s;
    ASSERT_EQ(attachSurfaces(a, b, AttachParams{}, s), "");
    EXPECT_EQ(s.vKnots, (std::vector<double>{0, 0, 0, 0.5, 1, 1, 1}));
    expectPiece(s, 0, 2, a, 1e-12, "first");
}

TEST(AttachSurface, BadInputSaysWhy) {
    NurbsSurface nan = bentPlane(0), s;
    nan.cvs[5] = std::nan("");
    EXPECT_NE(attachSurfaces(nan, bentPlane(4), AttachParams{}, s), "");
    const NurbsSurface quadratic = gridSurface(2, 3, 4, 4, [](int i, int j) { return Point{4.0 + i, double(j), 0, 1}; });
    EXPECT_NE(attachSurfaces(bentPlane(0), quadratic, AttachParams{}, s), "");
}

// A cubic wave over 4 uniform spans on [0, 4].
NurbsCurve wave() {
    NurbsCurve c;
    c.degree = 3;
    c.knots = {0, 0, 0, 1, 2, 3, 4, 4, 4};
    for (int i = 0; i < 7; ++i) c.cvs.insert(c.cvs.end(), {double(i), std::sin(i * 1.3), 0.1 * i * i, 1});
    return c;
}

// Same point set: b at a's parameters mapped linearly between the two domains.
void expectSameShape(const NurbsCurve& a, const NurbsCurve& b, double tol, const std::string& name) {
    const NurbsRange da = curveDomain(a), db = curveDomain(b);
    for (int k = 0; k <= 40; ++k)
        EXPECT_LT(distance(curvePoint(a, da.start + k / 40.0 * da.length()), curvePoint(b, db.start + k / 40.0 * db.length())), tol)
            << name << " at " << k;
}

TEST(RebuildCurve, UniformRebuildsReproduceWhatTheirSpaceHolds) {
    const NurbsCurve circle = makeNurbCircle({});
    NurbsCurve bezier = wave(), line;
    bezier.knots = {0, 0, 0, 4, 4, 4};
    bezier.cvs.resize(16);
    line.degree = 1, line.knots = {0, 1}, line.cvs = {0, 0, 0, 1, 3, 1, 2, 1};
    struct Case { std::string name; NurbsCurve in; RebuildParams p; size_t cvs; NurbsRange range; };
    for (const Case& c : {Case{"same knots", wave(), {.spans = 4, .degree = 3, .keepRange = 1}, 7, {0, 4}},
                          Case{"twice the spans", wave(), {.spans = 8, .degree = 3, .keepRange = 0}, 11, {0, 1}},
                          Case{"raised degree", bezier, {.spans = 1, .degree = 5, .keepRange = 2}, 6, {0, 1}},
                          Case{"line to cubic", line, {.spans = 3, .degree = 3, .keepRange = 2}, 6, {0, 3}},
                          Case{"periodic circle", circle, {.spans = 0, .degree = 0, .keepRange = 1}, 11, curveDomain(circle)}}) {
        NurbsCurve out;
        ASSERT_EQ(rebuildCurve(c.in, c.p, out), "") << c.name;
        EXPECT_EQ(out.numCVs(), c.cvs) << c.name;
        EXPECT_EQ(out.form, c.in.form) << c.name;
        EXPECT_DOUBLE_EQ(curveDomain(out).start, c.range.start) << c.name;
        EXPECT_DOUBLE_EQ(curveDomain(out).end, c.range.end) << c.name;
        expectSameShape(c.in, out, 1e-9, c.name);
    }
}

TEST(RebuildCurve, FewerSpansFitAndKeepTheEnds) {
    NurbsCurve fine = wave(), out;
    RebuildParams p{.spans = 2};
    ASSERT_EQ(rebuildCurve(fine, p, out), "");
    EXPECT_EQ(out.knots, (std::vector<double>{0, 0, 0, 2, 4, 4, 4}));
    EXPECT_LT(distance(curvePoint(out, 0), curvePoint(fine, 0)), 1e-12);
    EXPECT_LT(distance(curvePoint(out, 4), curvePoint(fine, 4)), 1e-12);
    expectSameShape(fine, out, 0.3, "two spans");
    p.keepEndPoints = false;
    ASSERT_EQ(rebuildCurve(fine, p, out), "");
    EXPECT_GT(distance(curvePoint(out, 0), curvePoint(fine, 0)), 1e-6);
}

TEST(RebuildCurve, KeepControlPointsAndReduce) {
    NurbsCurve uneven = wave(), out;
    uneven.knots = {0, 0, 0, 0.5, 2, 3.5, 4, 4, 4};
    ASSERT_EQ(rebuildCurve(uneven, {.keepRange = 0, .keepControlPoints = true}, out), "");
    EXPECT_EQ(out.cvs, uneven.cvs);
    EXPECT_EQ(out.knots, (std::vector<double>{0, 0, 0, 0.25, 0.5, 0.75, 1, 1, 1}));

    // Knots inserted into the wave come out again; its own stay, being needed.
    Strip refined = stripOfCurve(wave());
    insertKnot(refined, 1.5);
    insertKnot(refined, 2.5);
    ASSERT_EQ(rebuildCurve(curveOfStrip(refined, 3), {.type = 1, .tolerance = 1e-9}, out), "");
    EXPECT_EQ(out.knots, wave().knots);
    for (size_t i = 0; i < out.cvs.size(); ++i) EXPECT_NEAR(out.cvs[i], wave().cvs[i], 1e-9);
}

TEST(RebuildSurface, EachDirectionOnItsOwn) {
    const NurbsSurface plane = bentPlane(0, 5, 4);
    for (int direction : {0, 1, 2}) {
        NurbsSurface out;
        ASSERT_EQ(rebuildSurface(plane, {.spans = 4}, {.spans = 3}, direction, out), "") << direction;
        EXPECT_EQ(out.numU, direction == 1 ? plane.numU : 7u) << direction;
        EXPECT_EQ(out.numV, direction == 0 ? plane.numV : 6u) << direction;
        for (double f : {0.0, 0.3, 1.0})
            for (double g : {0.0, 0.6, 1.0})
                EXPECT_LT(distance(surfacePoint(out, 2 * f, g), surfacePoint(plane, 2 * f, g)), 1e-9) << direction;
    }
}

TEST(Rebuild, BadRequestsSayWhy) {
    NurbsCurve out, nan = wave();
    nan.cvs[2] = std::nan("");
    for (const RebuildParams& p : {RebuildParams{.degree = 9}, RebuildParams{.spans = 1 << 30}, RebuildParams{.type = 5}})
        EXPECT_NE(rebuildCurve(wave(), p, out), "");
    EXPECT_NE(rebuildCurve(nan, RebuildParams{}, out), "");
}

}  // namespace
