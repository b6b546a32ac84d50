#pragma once
// The NURBS tests' surfaces and trims, and the adapters that hand the stand-in's
// surfaces, curves and meshes to the shared reference evaluator.

#include "../fixtures/NurbsReference.h"

#include "mesh/MeshData.h"
#include "mesh/MeshVec.h"
#include "nurbs/NurbsData.h"

#include <array>
#include <numbers>
#include <cmath>
#include <vector>

namespace nurbstest {

using namespace mayahost;
using nurbs_reference::Vec;

// Maya's knots lack the end knot a full knot vector has at each side; the
// reference also wants the net weighted, u running fastest.
inline nurbs_reference::Surface toReference(const NurbsSurface& s) {
    auto full = [](std::vector<double> k) { return k.insert(k.begin(), k.front()), k.push_back(k.back()), k; };
    nurbs_reference::Surface r{s.uDegree + 1, s.vDegree + 1, full(s.uKnots), full(s.vKnots), {}};
    r.umin = s.uKnots[size_t(s.uDegree) - 1], r.umax = s.uKnots[s.uKnots.size() - size_t(s.uDegree)];
    r.vmin = s.vKnots[size_t(s.vDegree) - 1], r.vmax = s.vKnots[s.vKnots.size() - size_t(s.vDegree)];
    for (size_t j = 0; j < s.numV; ++j)
        for (size_t i = 0; i < s.numU; ++i) {
            const double* c = s.cv(i, j);
            r.pw.insert(r.pw.end(), {c[0] * c[3], c[1] * c[3], c[2] * c[3], c[3]});
        }
    return r;
}

// A triangle mesh's corners with the parameters its map1 uvs stand for (normalised over the domain).
inline nurbs_reference::Triangles toReference(const MeshData& m, const nurbs_reference::Surface& s) {
    nurbs_reference::Triangles t;
    const MeshUVSet& uv = m.uvSets.at(0);
    for (size_t k = 0; k < m.faceVertices.size(); ++k) {
        const float *p = &m.points[3 * size_t(m.faceVertices[k])], *n = &m.faceVertexNormals[3 * k];
        const size_t id = size_t(uv.faceVertexUV[k]);
        t.points.push_back({p[0], p[1], p[2]});
        t.normals.push_back({n[0], n[1], n[2]});
        t.params.push_back({s.umin + (s.umax - s.umin) * uv.u[id], s.vmin + (s.vmax - s.vmin) * uv.v[id]});
    }
    return t;
}

inline double distance(const MeshVec& a, const MeshVec& b) { return (a - b).length(); }

// --- surfaces

using Point = std::array<double, 4>;  // x, y, z, w

// Control point (i, j) from `at`; the sizes follow from the knots.
template <class At>
NurbsSurface surface(int pu, int pv, NurbsForm fu, NurbsForm fv, std::vector<double> ku, std::vector<double> kv,
                     At at) {
    NurbsSurface s{pu, pv, fu, fv, ku, kv, ku.size() + 1 - size_t(pu), kv.size() + 1 - size_t(pv), {}};
    for (size_t i = 0; i < s.numU; ++i)
        for (size_t j = 0; j < s.numV; ++j) {
            const Point p = at(int(i), int(j));
            s.cvs.insert(s.cvs.end(), p.begin(), p.end());
        }
    return s;
}

// Open knots over spans 0 .. n - p.
inline std::vector<double> openKnots(int n, int p) {
    std::vector<double> k(size_t(p - 1), 0);
    for (int i = 0; i <= n - p; ++i) k.push_back(i);
    k.insert(k.end(), size_t(p - 1), n - p);
    return k;
}

template <class At> NurbsSurface gridSurface(int pu, int pv, int nu, int nv, At at) {
    return surface(pu, pv, NurbsForm::Open, NurbsForm::Open, openKnots(nu, pu), openKnots(nv, pv), at);
}

// 11 points round a circle of 8 sections, the first 3 repeated: a periodic cubic.
inline const std::vector<double> periodicKnots{-2, -1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
inline double around(int k, int cosine) { return cosine ? std::cos(std::numbers::pi * (k % 8) / 4) : std::sin(std::numbers::pi * (k % 8) / 4); }

// Flat 10 x 10 over parameters 0 .. 4 each way (4 linear spans).
inline NurbsSurface plane4() {
    return gridSurface(1, 1, 5, 5, [](int i, int j) { return Point{2.5 * i, 2.5 * j, 0, 1}; });
}

inline NurbsSurface cubicPatch() {
    static const double z[4][4] = {{0, 1, 0.5, 0}, {0.5, 2, -1, 0.3}, {0, -1, 2, 0.8}, {0.2, 0.4, 0, -0.5}};
    return gridSurface(3, 3, 4, 4, [](int i, int j) { return Point{double(i), double(j), z[i][j], 1}; });
}

inline NurbsSurface wavySurface(int spans) {
    return gridSurface(3, 3, spans + 3, spans + 3, [](int i, int j) {
        return Point{double(i), double(j), 0.6 * std::sin(0.9 * i) * std::cos(0.7 * j), 1};
    });
}

// Periodic in u, linear in v (height 2).
inline NurbsSurface periodicCylinder() {
    return surface(3, 1, NurbsForm::Periodic, NurbsForm::Open, periodicKnots, {0, 1}, [](int i, int j) {
        return Point{1.08 * around(i, 1), 1.08 * around(i, 0), 2.0 * j, 1};
    });
}

// Open in u from the south pole to the north pole (whole rows collapsed), periodic in v.
inline NurbsSurface poleSphere() {
    return surface(3, 3, NurbsForm::Open, NurbsForm::Periodic, openKnots(7, 3), periodicKnots, [](int i, int j) {
        const double z[7] = {-1, -1, -0.7, 0, 0.7, 1, 1}, r[7] = {0, 0.4, 1.05, 1.2, 1.05, 0.4, 0};
        return Point{r[i] * around(j, 1), r[i] * around(j, 0), z[i], 1};
    });
}

// Exact quarter of a unit cylinder of height 2: rational quadratic in u, whose range starts at 1.
inline NurbsSurface quarterCylinder() {
    return surface(2, 1, NurbsForm::Open, NurbsForm::Open, {1, 1, 3, 3}, {0, 1}, [](int i, int j) {
        return Point{i < 2 ? 1.0 : 0.0, i > 0 ? 1.0 : 0.0, 2.0 * j, i == 1 ? std::sqrt(0.5) : 1};
    });
}

// A curve as the surface, linear in v, that holds it at both ends of v.
inline nurbs_reference::Surface toReference(const NurbsCurve& c) {
    return toReference(surface(c.degree, 1, c.form, NurbsForm::Open, c.knots, {0, 1}, [&](int i, int) {
        const double* p = &c.cvs[4 * size_t(i)];
        return Point{p[0], p[1], p[2], p[3]};
    }));
}

// --- trims

inline NurbsCurve lineCurve(double u0, double v0, double u1, double v1) {
    return {1, NurbsForm::Open, 2, {0, 1}, {u0, v0, 0, 1, u1, v1, 0, 1}};
}

inline TrimBoundary squareBoundary(double u0, double v0, double u1, double v1) {
    return {{lineCurve(u0, v0, u1, v0), lineCurve(u1, v0, u1, v1), lineCurve(u1, v1, u0, v1),
             lineCurve(u0, v1, u0, v0)}};
}

// Exact circle: rational quadratic, 9 control points, the corners of the square round it weighted sqrt(1/2).
inline NurbsCurve circleCurve(double cu, double cv, double r) {
    NurbsCurve c{2, NurbsForm::Closed, 2, {0, 0, 1, 1, 2, 2, 3, 3, 4, 4}, {}};
    for (int k = 0; k < 9; ++k) {
        const double w = k % 2 ? std::sqrt(0.5) : 1, a = std::numbers::pi * k / 4;
        c.cvs.insert(c.cvs.end(), {cu + r * std::cos(a) / w, cv + r * std::sin(a) / w, 0, w});
    }
    return c;
}

inline TrimBoundary circleBoundary(double cu, double cv, double r) { return {{circleCurve(cu, cv, r)}}; }

}  // namespace nurbstest
