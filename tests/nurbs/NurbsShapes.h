#pragma once
// The test surfaces of the NURBS tests and the benchmark-like generator.

#include "NurbsTestUtil.h"

#include "nurbs/NurbsData.h"

#include <cmath>

namespace nurbstest {

using mayahost::TrimBoundary;
using mayahost::TrimmedSurface;
using mayahost::TrimRegion;

inline NurbsSurface planeSurface() {
    return gridSurface(1, 1, 2, 2, [](int i, int j) { return V3{10.0 * i, 10.0 * j, 0}; });
}

inline NurbsSurface cubicPatch() {
    static const double z[4][4] = {{0, 1, 0.5, 0}, {0.5, 2, -1, 0.3}, {0, -1, 2, 0.8}, {0.2, 0.4, 0, -0.5}};
    return gridSurface(3, 3, 4, 4, [](int i, int j) { return V3{double(i), double(j), z[i][j]}; });
}

inline NurbsSurface wavySurface(int spans) {
    int n = spans + 3;
    return gridSurface(3, 3, n, n, [](int i, int j) {
        return V3{double(i), double(j), 0.6 * std::sin(0.9 * i) * std::cos(0.7 * j)};
    });
}

// Periodic in u (8 distinct points around a unit circle, degree 3), linear in v (height 2).
inline NurbsSurface periodicCylinder() {
    NurbsSurface s;
    s.uDegree = 3;
    s.vDegree = 1;
    s.uForm = NurbsForm::Periodic;
    s.numU = 11;
    s.numV = 2;
    s.uKnots = uniformKnots(13, -2);
    s.vKnots = {0, 1};
    for (int i = 0; i < 11; ++i)
        for (int j = 0; j < 2; ++j) {
            double a = 2 * M_PI * (i % 8) / 8;
            s.cvs.insert(s.cvs.end(), {1.08 * std::cos(a), 1.08 * std::sin(a), 2.0 * j, 1});
        }
    return s;
}

// Open in u from the south pole to the north pole (whole rows collapsed), periodic in v.
inline NurbsSurface poleSphere() {
    NurbsSurface s;
    s.uDegree = 3;
    s.vDegree = 3;
    s.vForm = NurbsForm::Periodic;
    s.numU = 7;
    s.numV = 11;
    s.uKnots = openKnots(7, 3);
    s.vKnots = uniformKnots(13, -2);
    const double z[7] = {-1, -1, -0.7, 0, 0.7, 1, 1};
    const double r[7] = {0, 0.4, 1.05, 1.2, 1.05, 0.4, 0};
    for (int i = 0; i < 7; ++i)
        for (int j = 0; j < 11; ++j) {
            double a = 2 * M_PI * (j % 8) / 8;
            s.cvs.insert(s.cvs.end(), {r[i] * std::cos(a), r[i] * std::sin(a), z[i], 1});
        }
    return s;
}

// Exact quarter of a unit cylinder of height 2: rational quadratic in u.
inline NurbsSurface quarterCylinder() {
    NurbsSurface s;
    s.uDegree = 2;
    s.vDegree = 1;
    s.numU = 3;
    s.numV = 2;
    s.uKnots = {0, 0, 1, 1};
    s.vKnots = {0, 1};
    const double h = std::sqrt(0.5);
    const double p[3][3] = {{1, 0, 1}, {1, 1, h}, {0, 1, 1}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 2; ++j) s.cvs.insert(s.cvs.end(), {p[i][0], p[i][1], 2.0 * j, p[i][2]});
    return s;
}

// Flat 10 x 10 plane over parameters 0..4 in each direction (4 linear spans).
inline NurbsSurface plane4() {
    return gridSurface(1, 1, 5, 5, [](int i, int j) { return V3{2.5 * i, 2.5 * j, 0}; });
}

inline TrimBoundary squareBoundary(double u0, double v0, double u1, double v1) {
    TrimBoundary b;
    b.curves = {lineCurve(u0, v0, u1, v0), lineCurve(u1, v0, u1, v1), lineCurve(u1, v1, u0, v1),
                lineCurve(u0, v1, u0, v0)};
    return b;
}

inline TrimBoundary circleBoundary(double cu, double cv, double r) {
    TrimBoundary b;
    b.curves = {circleCurve(cu, cv, r)};
    return b;
}

// A cubic wavy surface of spans x spans with a round hole in the middle.
inline TrimmedSurface wavyWithHole(int spans) {
    TrimmedSurface t;
    t.surface = wavySurface(spans);
    TrimRegion r;
    r.boundaries = {squareBoundary(0, 0, spans, spans), circleBoundary(spans * 0.5, spans * 0.5, spans * 0.3)};
    t.regions = {r};
    return t;
}

}  // namespace nurbstest
