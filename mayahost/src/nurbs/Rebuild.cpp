#include "nurbs/Rebuild.h"

#include "base/Limits.h"
#include "nurbs/KnotOps.h"
#include "nurbs/NurbsEval.h"

#include <algorithm>
#include <cmath>

namespace mayahost {
namespace {

// The periodic fit solves a dense system: beyond this many spans it would take too long.
constexpr int kMaxPeriodicSpans = 1000;

// Solves the symmetric positive definite `a` (n x n, dense rows) for rhs (n rows of `width`).
// Only entries within `band` of the diagonal (cyclically when `wrap`) are nonzero;
// the open fit stays inside the band, so elimination never leaves it.
bool solve(std::vector<double>& a, size_t n, size_t band, bool wrap, std::vector<double>& rhs, size_t width) {
    for (size_t i = 0; i < n; ++i) {
        const double pivot = a[i * n + i];
        if (!(std::fabs(pivot) > 1e-300)) return false;
        const size_t end = wrap ? n : std::min(n, i + band + 1);
        for (size_t r = i + 1; r < end; ++r) {
            const double f = a[r * n + i] / pivot;
            if (f == 0) continue;
            for (size_t c = i; c < end; ++c) a[r * n + c] -= f * a[i * n + c];
            for (size_t k = 0; k < width; ++k) rhs[r * width + k] -= f * rhs[i * width + k];
        }
    }
    for (size_t i = n; i-- > 0;) {
        const size_t end = wrap ? n : std::min(n, i + band + 1);
        for (size_t c = i + 1; c < end; ++c)
            for (size_t k = 0; k < width; ++k) rhs[i * width + k] -= a[i * n + c] * rhs[c * width + k];
        for (size_t k = 0; k < width; ++k) rhs[i * width + k] /= a[i * n + i];
    }
    return true;
}

void evaluate(const Strip& s, double t, BasisValues& b, std::vector<double>& out) {
    basisAt(s.knots, s.degree, s.count(), t, b, false);
    out.assign(s.width, 0.0);
    for (size_t j = 0; j < b.n.size(); ++j)
        for (size_t c = 0; c < s.width; ++c) out[c] += b.n[j] * s.at(size_t(b.first) + j)[c];
}

// Evenly spaced knots over [a, b] for `spans` spans: clamped, or periodic
// (degree - 1 more knots each side at the same spacing).
std::vector<double> uniformKnots(double a, double b, int spans, int degree, bool periodic) {
    const double h = (b - a) / spans;
    std::vector<double> k;
    if (periodic) {
        for (int i = -(degree - 1); i <= spans + degree - 1; ++i) k.push_back(a + i * h);
        return k;
    }
    k.assign(size_t(degree), a);
    for (int i = 1; i < spans; ++i) k.push_back(a + i * h);
    k.insert(k.end(), size_t(degree), b);
    return k;
}

std::string uniform(const Strip& in, int spans, int degree, double A, double B, bool keepEnds, Strip& out) {
    const bool periodic = in.form == NurbsForm::Periodic;
    if (periodic && spans > kMaxPeriodicSpans)
        return "a periodic rebuild of more than " + std::to_string(kMaxPeriodicSpans) + " spans is not built";
    const size_t d = size_t(degree), w = in.width;
    const size_t n = size_t(spans) + d;            // control points of the result
    const size_t unknowns = periodic ? size_t(spans) : n;
    out = Strip{degree, periodic ? NurbsForm::Periodic : NurbsForm::Open, uniformKnots(A, B, spans, degree, periodic), w, {}};
    out.pts.assign(n * w, 0.0);
    const double a = stripStart(in), b = stripEnd(in);
    // Enough samples that every span sees more than degree + 1 of them.
    const size_t samples = (2 * d + 2) * size_t(spans) + 1;
    std::vector<double> m(unknowns * unknowns, 0.0), rhs(unknowns * w, 0.0), point;
    BasisValues inBasis, outBasis;
    const bool fixEnds = keepEnds && !periodic;
    std::vector<double> first, last;
    if (fixEnds) evaluate(in, a, inBasis, first), evaluate(in, b, inBasis, last);
    for (size_t k = 0; k < samples; ++k) {
        if (periodic && k + 1 == samples) break;  // the end repeats the start
        const double f = double(k) / double(samples - 1);
        evaluate(in, a + f * (b - a), inBasis, point);
        basisAt(out.knots, degree, n, A + f * (B - A), outBasis, false);
        for (size_t i = 0; i <= d; ++i) {
            const size_t ci = (size_t(outBasis.first) + i) % unknowns;
            for (size_t j = 0; j <= d; ++j)
                m[ci * unknowns + (size_t(outBasis.first) + j) % unknowns] += outBasis.n[i] * outBasis.n[j];
            for (size_t c = 0; c < w; ++c) rhs[ci * w + c] += outBasis.n[i] * point[c];
        }
    }
    if (fixEnds) {
        // The end points are known: their columns move to the right-hand side
        // and their rows say so.
        for (size_t e : {size_t(0), n - 1}) {
            const std::vector<double>& value = e == 0 ? first : last;
            for (size_t r = 0; r < n; ++r) {
                if (r == e) continue;
                for (size_t c = 0; c < w; ++c) rhs[r * w + c] -= m[r * n + e] * value[c];
                m[r * n + e] = m[e * n + r] = 0;
            }
            m[e * n + e] = 1;
            std::copy(value.begin(), value.end(), rhs.begin() + std::ptrdiff_t(e * w));
        }
    }
    if (!solve(m, unknowns, d, periodic, rhs, w)) return "its fit cannot be solved";
    for (size_t i = 0; i < n; ++i) std::copy_n(&rhs[(i % unknowns) * w], w, out.at(i));
    return {};
}

std::string rebuildStrip(Strip& s, const RebuildParams& p) {
    const int spansIn = int(s.count()) - s.degree;
    const double a = stripStart(s), b = stripEnd(s);
    auto range = [&](int spans, double& A, double& B) {
        A = p.keepRange == 1 ? a : 0.0;
        B = p.keepRange == 1 ? b : p.keepRange == 2 ? double(spans) : 1.0;
    };
    double A = 0, B = 1;
    if (p.type == 1) {
        // Each distinct interior knot, from the last, removed as often as the tolerance allows.
        for (size_t k = s.count() - 1; k-- > size_t(s.degree);)
            if (s.knots[k] > a && s.knots[k] < b && (k + 1 >= s.knots.size() || s.knots[k + 1] != s.knots[k]))
                while (removeKnot(s, k, 0.5, std::max(p.tolerance, 0.0), false) && k > 0 && s.knots[k - 1] == s.knots[k]) --k;
        range(int(s.count()) - s.degree, A, B);
        reparameterise(s, A, B);
        return {};
    }
    if (p.keepControlPoints) {
        range(spansIn, A, B);
        s.knots = uniformKnots(A, B, spansIn, s.degree, s.form == NurbsForm::Periodic);
        return {};
    }
    const int degree = p.degree == 0 ? s.degree : p.degree;
    const int spans = p.spans == 0 ? spansIn : p.spans;
    if (degree < 1 || degree > 7) return "a rebuild to degree " + std::to_string(degree) + " is not built";
    if (spans < 1 || size_t(spans) > limits().maxMeshFaces / std::max<size_t>(s.width, 1))
        return "it asks for " + std::to_string(spans) + " spans";
    range(spans, A, B);
    Strip out;
    if (std::string error = uniform(s, spans, degree, A, B, p.keepEndPoints, out); !error.empty()) return error;
    s = std::move(out);
    return {};
}

std::string unbuilt(int type) { return "rebuild type " + std::to_string(type) + " is not built"; }

}  // namespace

bool rebuildTypeBuilt(int type) { return type == 0 || type == 1; }

std::string rebuildCurve(const NurbsCurve& in, const RebuildParams& params, NurbsCurve& out) {
    if (std::string why = nurbsCurveProblem(in); !why.empty()) return why;
    if (!rebuildTypeBuilt(params.type)) return unbuilt(params.type);
    Strip s = stripOfCurve(in);
    if (std::string error = rebuildStrip(s, params); !error.empty()) return error;
    NurbsCurve c = curveOfStrip(s, in.dimension);
    if (std::string why = nurbsCurveProblem(c); !why.empty()) return "its result is no valid curve (" + why + ")";
    out = std::move(c);
    return {};
}

std::string rebuildSurface(const NurbsSurface& in, RebuildParams u, RebuildParams v, int direction, NurbsSurface& out) {
    if (std::string why = nurbsSurfaceProblem(in); !why.empty()) return why;
    if (!rebuildTypeBuilt(u.type)) return unbuilt(u.type);
    NurbsSurface s = in;
    for (int along : {0, 1}) {
        if (direction != 2 && direction != along) continue;
        const NurbsSurface turned = along == 0 ? s : transposed(s);
        Strip strip = stripAlongU(turned);
        if (std::string error = rebuildStrip(strip, along == 0 ? u : v); !error.empty())
            return std::string(along == 0 ? "u: " : "v: ") + error;
        s = surfaceFromStrip(strip, turned);
        if (along == 1) s = transposed(s);
    }
    if (std::string why = nurbsSurfaceProblem(s); !why.empty()) return "its result is no valid surface (" + why + ")";
    out = std::move(s);
    return {};
}

}  // namespace mayahost
