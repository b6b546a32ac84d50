// NurbsEval against the independent reference evaluator of NurbsTestUtil.h.

#include "NurbsShapes.h"

#include "nurbs/NurbsEval.h"

#include <gtest/gtest.h>

using namespace mayahost;
using namespace nurbstest;

namespace {

V3 v3(const MeshVec& m) { return {m.x, m.y, m.z}; }

TEST(NurbsEval, Domains) {
    EXPECT_EQ(curveDomain(lineCurve(0, 0, 1, 1)).start, 0);
    EXPECT_EQ(curveDomain(lineCurve(0, 0, 1, 1)).end, 1);
    EXPECT_EQ(curveDomain(circleCurve(0, 0, 1)).end, 4);
    NurbsSurface cyl = periodicCylinder();
    EXPECT_EQ(surfaceDomainU(cyl).start, 0);
    EXPECT_EQ(surfaceDomainU(cyl).end, 8);
    EXPECT_EQ(surfaceDomainV(cyl).end, 1);
    EXPECT_EQ(surfaceDomainU(poleSphere()).end, 4);
    EXPECT_EQ(knotDomain({0, 1}, 3).length(), 0);  // too few knots: empty, no read past the end
}

TEST(NurbsEval, RationalCircleIsExact) {
    NurbsCurve c = circleCurve(0.5, -1, 2);
    for (int k = 0; k <= 40; ++k) {
        double t = 4.0 * k / 40;
        MeshVec p = curvePoint(c, t);
        EXPECT_NEAR(std::hypot(p.x - 0.5, p.y + 1), 2.0, 1e-12) << t;
        V3 r = refCurvePoint(c, t);
        EXPECT_NEAR(p.x, r[0], 1e-9);
        EXPECT_NEAR(p.y, r[1], 1e-9);
    }
    // Clamped outside the domain.
    MeshVec a = curvePoint(c, -3), b = curvePoint(c, 0);
    EXPECT_EQ(a.x, b.x);
    EXPECT_EQ(a.y, b.y);
}

struct EvalCase {
    const char* name;
    NurbsSurface surface;
};

TEST(NurbsEval, SurfacePointsAndDerivativesMatchReference) {
    const EvalCase cases[] = {{"plane", planeSurface()},   {"cubic", cubicPatch()},
                              {"wavy", wavySurface(5)},    {"cylinder", periodicCylinder()},
                              {"sphere", poleSphere()},    {"quarter", quarterCylinder()}};
    for (const EvalCase& c : cases) {
        const NurbsSurface& s = c.surface;
        ASSERT_EQ(nurbsSurfaceProblem(s), "") << c.name;
        NurbsRange ru = surfaceDomainU(s), rv = surfaceDomainV(s);
        for (int a = 0; a <= 10; ++a)
            for (int b = 0; b <= 10; ++b) {
                double u = ru.start + ru.length() * (0.005 + 0.99 * a / 10), v = rv.start + rv.length() * (0.005 + 0.99 * b / 10);
                SurfaceDerivs d = surfaceDerivs(s, u, v);
                V3 p = refSurfacePoint(s, u, v);
                EXPECT_LT(len(sub(v3(d.point), p)), 1e-10) << c.name << " " << u << " " << v;
                V3 su, sv;
                refDerivs(s, u, v, su, sv);
                EXPECT_LT(len(sub(v3(d.du), su)), 1e-5 * (1 + len(su))) << c.name << " du " << u << " " << v;
                EXPECT_LT(len(sub(v3(d.dv), sv)), 1e-5 * (1 + len(sv))) << c.name << " dv " << u << " " << v;
                V3 n = v3(surfaceNormal(s, u, v));
                if (len(cross(su, sv)) > 1e-6) {
                    EXPECT_GT(dot(n, refNormal(s, u, v)), 0.9999) << c.name;
                }
            }
        // The domain ends evaluate (the last span is closed) and parameters outside are clamped.
        V3 end = refSurfacePoint(s, ru.end, rv.end);
        EXPECT_LT(len(sub(v3(surfacePoint(s, ru.end, rv.end)), end)), 1e-6) << c.name;
        EXPECT_LT(len(sub(v3(surfacePoint(s, ru.end + 5, rv.end + 1)), end)), 1e-6) << c.name;
    }
}

TEST(NurbsEval, QuarterCylinderIsExactWithOutwardNormal) {
    NurbsSurface s = quarterCylinder();
    for (int a = 0; a <= 8; ++a) {
        double u = a / 8.0;
        SurfaceDerivs d = surfaceDerivs(s, u, 0.5);
        EXPECT_NEAR(std::hypot(d.point.x, d.point.y), 1.0, 1e-12);
        EXPECT_NEAR(d.point.z, 1.0, 1e-12);
        // Su is tangent to the circle, Sv is +z: Su x Sv points outward.
        EXPECT_NEAR(d.du.dot({d.point.x, d.point.y, 0}), 0, 1e-12);
        MeshVec n = surfaceNormal(s, u, 0.5);
        EXPECT_NEAR(n.x, d.point.x, 1e-9);
        EXPECT_NEAR(n.y, d.point.y, 1e-9);
    }
}

TEST(NurbsEval, NormalAtCollapsedPoleIsTheLimit) {
    NurbsSurface s = poleSphere();
    for (double v : {0.0, 1.3, 7.9}) {
        SurfaceDerivs d = surfaceDerivs(s, 0, v);
        EXPECT_LT(d.dv.length(), 1e-12);  // the whole row is one point
        MeshVec n = surfaceNormal(s, 0, v);
        EXPECT_NEAR(n.length(), 1.0, 1e-12);
        // Su x Sv points inward for this parameterisation; at the south pole that is +z.
        EXPECT_GT(n.z, 0.999) << v;
        MeshVec m = surfaceNormal(s, 4, v);
        EXPECT_LT(m.z, -0.999) << v;
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
