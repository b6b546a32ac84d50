// NurbsEval against the shared reference evaluator: domains, points and first
// derivatives of rational, periodic and collapsed surfaces, a rational curve,
// clamping, and the normal where Su x Sv vanishes.

#include "NurbsTestUtil.h"

#include "nurbs/NurbsEval.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace nurbstest;
using nurbs_reference::norm;
using nurbs_reference::sub;

namespace {

Vec vec(const MeshVec& m) { return {m.x, m.y, m.z}; }
// A first derivative of the reference by central differences.
Vec slope(const Vec& ahead, const Vec& behind, double h) {
    return {(ahead[0] - behind[0]) / (2 * h), (ahead[1] - behind[1]) / (2 * h), (ahead[2] - behind[2]) / (2 * h)};
}

TEST(NurbsEval, SurfacesMatchTheReference) {
    const std::pair<const char*, NurbsSurface> cases[] = {
        {"linear", plane4()}, {"cubic", cubicPatch()}, {"wavy", wavySurface(5)}, {"periodic", periodicCylinder()},
        {"collapsed poles", poleSphere()}, {"rational, range from 1", quarterCylinder()}};
    for (const auto& [name, s] : cases) {
        SCOPED_TRACE(name);
        ASSERT_EQ(nurbsSurfaceProblem(s), "");
        const auto ref = toReference(s);
        const NurbsRange ru = surfaceDomainU(s), rv = surfaceDomainV(s);
        ASSERT_EQ(std::tie(ru.start, ru.end, rv.start, rv.end), std::tie(ref.umin, ref.umax, ref.vmin, ref.vmax));
        const double hu = 1e-6 * ru.length(), hv = 1e-6 * rv.length();
        // The middle sample (a = 5) falls on an inner knot of most: the span search must pick the right side.
        for (int a = 0; a <= 10; ++a)
            for (int b = 0; b <= 10; ++b) {
                const double u = ru.start + ru.length() * (0.005 + 0.099 * a);
                const double v = rv.start + rv.length() * (0.005 + 0.099 * b);
                const SurfaceDerivs d = surfaceDerivs(s, u, v);
                const Vec su = slope(ref.at(u + hu, v), ref.at(u - hu, v), hu);
                const Vec sv = slope(ref.at(u, v + hv), ref.at(u, v - hv), hv);
                EXPECT_LT(norm(sub(vec(d.point), ref.at(u, v))), 1e-10) << u << ", " << v;
                EXPECT_LT(norm(sub(vec(d.du), su)), 1e-5 * (1 + norm(su))) << u << ", " << v;
                EXPECT_LT(norm(sub(vec(d.dv), sv)), 1e-5 * (1 + norm(sv))) << u << ", " << v;
                const Vec n = ref.normal(u, v);
                EXPECT_TRUE(norm(n) < 1e-6 || nurbs_reference::dot(vec(surfaceNormal(s, u, v)), n) > 0.9999 * norm(n))
                    << u << ", " << v;
            }
        // The range's end belongs to the last span; parameters beyond the range are clamped.
        EXPECT_LT(norm(sub(vec(surfacePoint(s, ru.end, rv.end)), ref.at(ref.umax, ref.vmax))), 1e-10);
        EXPECT_LT(norm(sub(vec(surfacePoint(s, ru.end + 5, rv.start - 1)), ref.at(ref.umax, ref.vmin))), 1e-10);
    }
    EXPECT_EQ(knotDomain({0, 1}, 3).length(), 0);  // too few knots: empty, no read past the end
}

TEST(NurbsEval, RationalCurveMatchesTheReferenceAndClamps) {
    const NurbsCurve c = circleCurve(0.5, -1, 2);
    const auto ref = toReference(c);
    EXPECT_EQ(std::make_pair(curveDomain(c).start, curveDomain(c).end), std::make_pair(ref.umin, ref.umax));
    for (int k = -5; k <= 45; ++k)  // the reference clamps beyond 0 .. 4 as well
        EXPECT_LT(norm(sub(vec(curvePoint(c, k / 10.0)), ref.at(k / 10.0, 0))), 1e-12) << k / 10.0;
}

TEST(NurbsEval, NormalAtACollapsedPoleIsTheLimitFromInside) {
    const NurbsSurface s = poleSphere();
    for (double v : {0.0, 1.3, 7.9}) {
        EXPECT_LT(surfaceDerivs(s, 0, v).dv.length(), 1e-12);  // the whole row is one point
        // Su x Sv points inward for this parameterisation: +z at the south pole, -z at the north one.
        const MeshVec south = surfaceNormal(s, 0, v), north = surfaceNormal(s, 4, v);
        EXPECT_NEAR(south.length(), 1, 1e-12);
        EXPECT_GT(south.z, 0.999) << v;
        EXPECT_LT(north.z, -0.999) << v;
    }
}

TEST(NurbsEval, MismatchedSizesGiveZeroNotACrash) {
    NurbsSurface s = cubicPatch();
    s.cvs.resize(8);
    EXPECT_EQ(surfacePoint(s, 0.5, 0.5).length(), 0);
    NurbsCurve c = lineCurve(0, 0, 1, 1);
    c.knots.clear();
    EXPECT_EQ(curvePoint(c, 0.5).length(), 0);
}

}  // namespace
