#pragma once
// Test surfaces and an independent reference evaluator for the NURBS tests:
// textbook Cox-de Boor recursion on full knot vectors (Maya's knots plus one
// end knot at each side), sharing nothing with NurbsEval.

#include "nurbs/NurbsData.h"

#include <array>
#include <cmath>
#include <functional>
#include <vector>

namespace nurbstest {

using mayahost::NurbsCurve;
using mayahost::NurbsForm;
using mayahost::NurbsSurface;
using V3 = std::array<double, 3>;

inline V3 sub(V3 a, V3 b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
inline V3 add(V3 a, V3 b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }
inline V3 mul(V3 a, double s) { return {a[0] * s, a[1] * s, a[2] * s}; }
inline double dot(V3 a, V3 b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
inline V3 cross(V3 a, V3 b) { return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]}; }
inline double len(V3 a) { return std::sqrt(dot(a, a)); }
inline V3 unit(V3 a) { double l = len(a); return l > 0 ? mul(a, 1 / l) : V3{0, 0, 0}; }

// --- reference evaluator

inline std::vector<double> fullKnots(const std::vector<double>& maya) {
    std::vector<double> k;
    k.push_back(maya.front());
    k.insert(k.end(), maya.begin(), maya.end());
    k.push_back(maya.back());
    return k;
}

// Cox-de Boor recursion, half-open intervals, 0/0 = 0.
inline double coxDeBoor(const std::vector<double>& U, int i, int p, double t) {
    if (p == 0) return (U[size_t(i)] <= t && t < U[size_t(i) + 1]) ? 1.0 : 0.0;
    double a = 0, b = 0;
    double d1 = U[size_t(i + p)] - U[size_t(i)], d2 = U[size_t(i + p + 1)] - U[size_t(i + 1)];
    if (d1 > 0) a = (t - U[size_t(i)]) / d1 * coxDeBoor(U, i, p - 1, t);
    if (d2 > 0) b = (U[size_t(i + p + 1)] - t) / d2 * coxDeBoor(U, i + 1, p - 1, t);
    return a + b;
}

inline double refDomainStart(const std::vector<double>& maya, int p) { return maya[size_t(p) - 1]; }
inline double refDomainEnd(const std::vector<double>& maya, int p) { return maya[maya.size() - size_t(p)]; }

// Parameter pulled inside the half-open last interval.
inline double refClamp(const std::vector<double>& maya, int p, double t) {
    double a = refDomainStart(maya, p), b = refDomainEnd(maya, p);
    if (t < a) t = a;
    if (t >= b) t = b - 1e-12 * (b - a);
    return t;
}

inline V3 refSurfacePoint(const NurbsSurface& s, double u, double v) {
    std::vector<double> Uk = fullKnots(s.uKnots), Vk = fullKnots(s.vKnots);
    u = refClamp(s.uKnots, s.uDegree, u);
    v = refClamp(s.vKnots, s.vDegree, v);
    std::vector<double> Nu(s.numU), Nv(s.numV);
    for (size_t i = 0; i < s.numU; ++i) Nu[i] = coxDeBoor(Uk, int(i), s.uDegree, u);
    for (size_t j = 0; j < s.numV; ++j) Nv[j] = coxDeBoor(Vk, int(j), s.vDegree, v);
    double x = 0, y = 0, z = 0, w = 0;
    for (size_t i = 0; i < s.numU; ++i) {
        double nu = Nu[i];
        if (nu == 0) continue;
        for (size_t j = 0; j < s.numV; ++j) {
            double nv = Nv[j];
            if (nv == 0) continue;
            const double* c = s.cv(i, j);
            double f = nu * nv * c[3];
            x += f * c[0]; y += f * c[1]; z += f * c[2]; w += f;
        }
    }
    return {x / w, y / w, z / w};
}

inline V3 refCurvePoint(const NurbsCurve& c, double t) {
    std::vector<double> Uk = fullKnots(c.knots);
    t = refClamp(c.knots, c.degree, t);
    double x = 0, y = 0, z = 0, w = 0;
    for (size_t i = 0; i < c.numCVs(); ++i) {
        double n = coxDeBoor(Uk, int(i), c.degree, t);
        const double* p = &c.cvs[4 * i];
        x += n * p[3] * p[0]; y += n * p[3] * p[1]; z += n * p[3] * p[2]; w += n * p[3];
    }
    return {x / w, y / w, z / w};
}

// Central differences inside the domain.
inline void refDerivs(const NurbsSurface& s, double u, double v, V3& su, V3& sv) {
    double hu = 1e-6 * (refDomainEnd(s.uKnots, s.uDegree) - refDomainStart(s.uKnots, s.uDegree));
    double hv = 1e-6 * (refDomainEnd(s.vKnots, s.vDegree) - refDomainStart(s.vKnots, s.vDegree));
    su = mul(sub(refSurfacePoint(s, u + hu, v), refSurfacePoint(s, u - hu, v)), 0.5 / hu);
    sv = mul(sub(refSurfacePoint(s, u, v + hv), refSurfacePoint(s, u, v - hv)), 0.5 / hv);
}

inline V3 refNormal(const NurbsSurface& s, double u, double v) {
    V3 su, sv;
    refDerivs(s, u, v, su, sv);
    return unit(cross(su, sv));
}

// Area by Gauss-Legendre quadrature (5 points per span and direction).
inline double refArea(const NurbsSurface& s, int sub = 4) {
    static const double x[5] = {-0.9061798459386640, -0.5384693101056831, 0, 0.5384693101056831, 0.9061798459386640};
    static const double w[5] = {0.2369268850561891, 0.4786286704993665, 0.5688888888888889, 0.4786286704993665,
                                0.2369268850561891};
    auto spans = [&](const std::vector<double>& k, int p) {
        std::vector<std::pair<double, double>> r;
        for (size_t i = size_t(p) - 1; i + size_t(p) < k.size(); ++i)
            if (k[i + 1] > k[i])
                for (int q = 0; q < sub; ++q)
                    r.push_back({k[i] + (k[i + 1] - k[i]) * q / sub, k[i] + (k[i + 1] - k[i]) * (q + 1) / sub});
        return r;
    };
    double area = 0;
    for (auto [ua, ub] : spans(s.uKnots, s.uDegree))
        for (auto [va, vb] : spans(s.vKnots, s.vDegree))
            for (int a = 0; a < 5; ++a)
                for (int b = 0; b < 5; ++b) {
                    double u = 0.5 * (ua + ub) + 0.5 * (ub - ua) * x[a], v = 0.5 * (va + vb) + 0.5 * (vb - va) * x[b];
                    V3 su, sv;
                    refDerivs(s, u, v, su, sv);
                    area += w[a] * w[b] * 0.25 * (ub - ua) * (vb - va) * len(cross(su, sv));
                }
    return area;
}

// --- surfaces

inline std::vector<double> uniformKnots(int count, double start) {
    std::vector<double> k;
    for (int i = 0; i < count; ++i) k.push_back(start + i);
    return k;
}

// Open knots of degree p for n control points, spans 0..n-p.
inline std::vector<double> openKnots(int n, int p) {
    std::vector<double> k;
    for (int i = 0; i < p - 1; ++i) k.push_back(0);
    for (int i = 0; i <= n - p; ++i) k.push_back(i);
    for (int i = 0; i < p - 1; ++i) k.push_back(n - p);
    return k;
}

inline NurbsSurface gridSurface(int pu, int pv, int nu, int nv, const std::function<V3(int, int)>& at) {
    NurbsSurface s;
    s.uDegree = pu;
    s.vDegree = pv;
    s.numU = size_t(nu);
    s.numV = size_t(nv);
    s.uKnots = openKnots(nu, pu);
    s.vKnots = openKnots(nv, pv);
    for (int i = 0; i < nu; ++i)
        for (int j = 0; j < nv; ++j) {
            V3 p = at(i, j);
            s.cvs.insert(s.cvs.end(), {p[0], p[1], p[2], 1.0});
        }
    return s;
}

inline NurbsCurve lineCurve(double u0, double v0, double u1, double v1) {
    NurbsCurve c;
    c.degree = 1;
    c.dimension = 2;
    c.knots = {0, 1};
    c.cvs = {u0, v0, 0, 1, u1, v1, 0, 1};
    return c;
}

// Exact circle: rational quadratic, 9 control points.
inline NurbsCurve circleCurve(double cu, double cv, double r) {
    NurbsCurve c;
    c.degree = 2;
    c.dimension = 2;
    c.form = NurbsForm::Closed;
    c.knots = {0, 0, 1, 1, 2, 2, 3, 3, 4, 4};
    const double h = std::sqrt(0.5);
    const double pts[9][3] = {{1, 0, 1}, {1, 1, h}, {0, 1, 1}, {-1, 1, h}, {-1, 0, 1},
                              {-1, -1, h}, {0, -1, 1}, {1, -1, h}, {1, 0, 1}};
    for (auto& p : pts) c.cvs.insert(c.cvs.end(), {cu + r * p[0], cv + r * p[1], 0, p[2]});
    return c;
}

}  // namespace nurbstest
