#include "nurbs/NurbsEval.h"

#include <algorithm>
#include <cmath>

namespace mayahost {
namespace {

bool surfaceShapeFits(const NurbsSurface& s) {
    return s.uDegree >= 1 && s.vDegree >= 1 && s.numU >= size_t(s.uDegree) + 1 && s.numV >= size_t(s.vDegree) + 1 &&
           s.uKnots.size() == s.numU + size_t(s.uDegree) - 1 && s.vKnots.size() == s.numV + size_t(s.vDegree) - 1 &&
           s.cvs.size() == 4 * s.numU * s.numV;
}

bool curveShapeFits(const NurbsCurve& c) {
    return c.degree >= 1 && c.cvs.size() % 4 == 0 && c.numCVs() >= size_t(c.degree) + 1 &&
           c.knots.size() == c.numCVs() + size_t(c.degree) - 1;
}

struct Homog {
    double x = 0, y = 0, z = 0, w = 0;
};

}  // namespace

NurbsRange knotDomain(const std::vector<double>& knots, int degree) {
    if (degree < 1 || knots.size() < 2 * size_t(degree)) return {};
    return {knots[size_t(degree) - 1], knots[knots.size() - size_t(degree)]};
}

NurbsRange curveDomain(const NurbsCurve& c) { return knotDomain(c.knots, c.degree); }
NurbsRange surfaceDomainU(const NurbsSurface& s) { return knotDomain(s.uKnots, s.uDegree); }
NurbsRange surfaceDomainV(const NurbsSurface& s) { return knotDomain(s.vKnots, s.vDegree); }

void basisAt(const std::vector<double>& knots, int p, size_t n, double t, BasisValues& out, bool withDerivatives) {
    // Textbook knot U[k] is Maya's knots[k - 1]; the spans of the domain are
    // p ... n - 1 and never touch U[0] or U[n + p].
    auto U = [&](size_t k) { return knots[k - 1]; };
    NurbsRange dom = knotDomain(knots, p);
    t = dom.clamp(t);
    size_t lo = size_t(p), hi = n - 1;
    size_t span;
    if (t >= dom.end) {
        span = hi;
        while (span > lo && U(span) >= dom.end) --span;
    } else {
        // Largest span in [lo, hi] with U[span] <= t.
        while (lo < hi) {
            size_t mid = (lo + hi + 1) / 2;
            if (U(mid) <= t) lo = mid;
            else hi = mid - 1;
        }
        span = lo;
    }
    out.first = int(span) - p;
    out.n.assign(size_t(p) + 1, 0.0);
    out.dn.assign(withDerivatives ? size_t(p) + 1 : 0, 0.0);
    double left[80], right[80];  // degree is bounded by limits().maxNurbsDegree (64)
    double lower[80];            // basis of degree p - 1
    std::vector<double> bigLeft, bigRight, bigLower;
    double *L = left, *R = right, *Lo = lower;
    if (p + 1 > 80) {
        bigLeft.resize(size_t(p) + 1);
        bigRight.resize(size_t(p) + 1);
        bigLower.resize(size_t(p) + 1);
        L = bigLeft.data();
        R = bigRight.data();
        Lo = bigLower.data();
    }
    double* N = out.n.data();
    N[0] = 1.0;
    Lo[0] = 1.0;
    for (int j = 1; j <= p; ++j) {
        if (j == p)
            for (int r = 0; r < p; ++r) Lo[r] = N[r];
        L[j] = t - U(span + 1 - size_t(j));
        R[j] = U(span + size_t(j)) - t;
        double saved = 0.0;
        for (int r = 0; r < j; ++r) {
            double den = R[r + 1] + L[j - r];
            double temp = den != 0 ? N[r] / den : 0.0;
            N[r] = saved + R[r + 1] * temp;
            saved = L[j - r] * temp;
        }
        N[j] = saved;
    }
    if (!withDerivatives) return;
    // N'_{i,p} = p N_{i,p-1} / (U[i+p] - U[i]) - p N_{i+1,p-1} / (U[i+p+1] - U[i+1]);
    // Lo[k] holds N_{span-p+1+k, p-1}.
    for (int k = 0; k <= p; ++k) {
        size_t i = span - size_t(p) + size_t(k);
        double d = 0;
        if (k >= 1) {
            double den = U(i + size_t(p)) - U(i);
            if (den != 0) d += Lo[k - 1] / den;
        }
        if (k <= p - 1) {
            double den = U(i + size_t(p) + 1) - U(i + 1);
            if (den != 0) d -= Lo[k] / den;
        }
        out.dn[size_t(k)] = p * d;
    }
}

MeshVec curvePoint(const NurbsCurve& c, double t) {
    if (!curveShapeFits(c)) return {};
    thread_local BasisValues b;
    basisAt(c.knots, c.degree, c.numCVs(), t, b, false);
    Homog h;
    for (int k = 0; k <= c.degree; ++k) {
        const double* p = &c.cvs[4 * size_t(b.first + k)];
        double nw = b.n[size_t(k)] * p[3];
        h.x += nw * p[0];
        h.y += nw * p[1];
        h.z += nw * p[2];
        h.w += nw;
    }
    if (h.w == 0) return {};
    return {h.x / h.w, h.y / h.w, h.z / h.w};
}

SurfaceEvaluator::SurfaceEvaluator(const NurbsSurface& s) : s_(s) {
    valid_ = surfaceShapeFits(s);
    if (!valid_) return;
    du_ = surfaceDomainU(s);
    dv_ = surfaceDomainV(s);
    double lo[3] = {INFINITY, INFINITY, INFINITY}, hi[3] = {-INFINITY, -INFINITY, -INFINITY};
    for (size_t i = 0; i + 3 < s.cvs.size(); i += 4)
        for (int k = 0; k < 3; ++k) {
            lo[k] = std::min(lo[k], s.cvs[i + size_t(k)]);
            hi[k] = std::max(hi[k], s.cvs[i + size_t(k)]);
        }
    double sq = 0;
    for (int k = 0; k < 3; ++k) sq += (hi[k] - lo[k]) * (hi[k] - lo[k]);
    diagonal_ = std::sqrt(sq);
}

void SurfaceEvaluator::basisU(double u, BasisValues& out, bool d) const {
    basisAt(s_.uKnots, s_.uDegree, s_.numU, u, out, d);
}
void SurfaceEvaluator::basisV(double v, BasisValues& out, bool d) const {
    basisAt(s_.vKnots, s_.vDegree, s_.numV, v, out, d);
}

SurfaceDerivs SurfaceEvaluator::derivs(const BasisValues& bu, const BasisValues& bv) const {
    Homog a, au, av;
    const int p = s_.uDegree, q = s_.vDegree;
    for (int i = 0; i <= p; ++i) {
        // Row contraction over v first, then scale by the u basis.
        Homog r, rv;
        const double* row = s_.cv(size_t(bu.first + i), size_t(bv.first));
        for (int j = 0; j <= q; ++j) {
            const double* c = row + 4 * j;
            double w = c[3];
            double nv = bv.n[size_t(j)] * w, dnv = bv.dn[size_t(j)] * w;
            r.x += nv * c[0]; r.y += nv * c[1]; r.z += nv * c[2]; r.w += nv;
            rv.x += dnv * c[0]; rv.y += dnv * c[1]; rv.z += dnv * c[2]; rv.w += dnv;
        }
        double nu = bu.n[size_t(i)], dnu = bu.dn[size_t(i)];
        a.x += nu * r.x; a.y += nu * r.y; a.z += nu * r.z; a.w += nu * r.w;
        au.x += dnu * r.x; au.y += dnu * r.y; au.z += dnu * r.z; au.w += dnu * r.w;
        av.x += nu * rv.x; av.y += nu * rv.y; av.z += nu * rv.z; av.w += nu * rv.w;
    }
    SurfaceDerivs d;
    if (a.w == 0) return d;
    double iw = 1.0 / a.w;
    d.point = {a.x * iw, a.y * iw, a.z * iw};
    // Quotient rule: S' = (A' - w' S) / w.
    d.du = {(au.x - au.w * d.point.x) * iw, (au.y - au.w * d.point.y) * iw, (au.z - au.w * d.point.z) * iw};
    d.dv = {(av.x - av.w * d.point.x) * iw, (av.y - av.w * d.point.y) * iw, (av.z - av.w * d.point.z) * iw};
    return d;
}

MeshVec SurfaceEvaluator::point(const BasisValues& bu, const BasisValues& bv) const {
    Homog a;
    const int p = s_.uDegree, q = s_.vDegree;
    for (int i = 0; i <= p; ++i) {
        Homog r;
        const double* row = s_.cv(size_t(bu.first + i), size_t(bv.first));
        for (int j = 0; j <= q; ++j) {
            const double* c = row + 4 * j;
            double nv = bv.n[size_t(j)] * c[3];
            r.x += nv * c[0]; r.y += nv * c[1]; r.z += nv * c[2]; r.w += nv;
        }
        double nu = bu.n[size_t(i)];
        a.x += nu * r.x; a.y += nu * r.y; a.z += nu * r.z; a.w += nu * r.w;
    }
    if (a.w == 0) return {};
    return {a.x / a.w, a.y / a.w, a.z / a.w};
}

SurfaceDerivs SurfaceEvaluator::derivs(double u, double v) const {
    if (!valid_) return {};
    thread_local BasisValues bu, bv;
    basisU(u, bu, true);
    basisV(v, bv, true);
    return derivs(bu, bv);
}

MeshVec SurfaceEvaluator::point(double u, double v) const {
    if (!valid_) return {};
    thread_local BasisValues bu, bv;
    basisU(u, bu, false);
    basisV(v, bv, false);
    return point(bu, bv);
}

bool SurfaceEvaluator::crossUsable(const MeshVec& su, const MeshVec& sv, MeshVec& n) const {
    n = su.cross(sv);
    double len = n.length();
    // Derivatives scaled to the domain are lengths; compare with the size of the surface.
    double scale = diagonal_ > 0 ? diagonal_ : 1.0;
    double ref = scale * scale / (std::max(du_.length(), 1e-300) * std::max(dv_.length(), 1e-300));
    if (!(len > 1e-14 * ref) || !(len > 1e-10 * su.length() * sv.length()) || !std::isfinite(len)) return false;
    n = n * (1.0 / len);
    return true;
}

MeshVec SurfaceEvaluator::normal(const SurfaceDerivs& d, double u, double v) const {
    if (!valid_) return {0, 0, 1};
    MeshVec n;
    if (crossUsable(d.du, d.dv, n)) return n;
    // Step towards the middle of the domain, further each time.
    u = du_.clamp(u);
    v = dv_.clamp(v);
    double cu = 0.5 * (du_.start + du_.end), cv = 0.5 * (dv_.start + dv_.end);
    double signU = u < cu ? 1.0 : -1.0, signV = v < cv ? 1.0 : -1.0;
    for (double step = 1e-7; step < 0.3; step *= 8) {
        // Inside along u, along v, then both.
        const double du[3] = {signU * step * du_.length(), 0, signU * step * du_.length()};
        const double dv[3] = {0, signV * step * dv_.length(), signV * step * dv_.length()};
        for (int k = 0; k < 3; ++k) {
            SurfaceDerivs e = derivs(u + du[k], v + dv[k]);
            if (crossUsable(e.du, e.dv, n)) return n;
        }
    }
    return {0, 0, 1};
}

MeshVec SurfaceEvaluator::normal(double u, double v) const { return normal(derivs(u, v), u, v); }

SurfaceDerivs surfaceDerivs(const NurbsSurface& s, double u, double v) { return SurfaceEvaluator(s).derivs(u, v); }
MeshVec surfacePoint(const NurbsSurface& s, double u, double v) { return SurfaceEvaluator(s).point(u, v); }
MeshVec surfaceNormal(const NurbsSurface& s, double u, double v) { return SurfaceEvaluator(s).normal(u, v); }

}  // namespace mayahost
