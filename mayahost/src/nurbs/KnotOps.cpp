#include "nurbs/KnotOps.h"

#include <algorithm>
#include <cmath>

namespace mayahost {
namespace {

constexpr double kKnotTolerance = 1e-9;

// Textbook knot k (1 .. count + degree - 1) from Maya's knots.
double U(const Strip& s, size_t k) { return s.knots[k - 1]; }

bool sameKnots(const std::vector<double>& a, const std::vector<double>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::fabs(a[i] - b[i]) > kKnotTolerance) return false;
    return true;
}

void clampStart(Strip& s) {
    const size_t p = size_t(s.degree);
    const double a = stripStart(s);
    size_t have = size_t(std::count_if(s.knots.begin(), s.knots.begin() + std::ptrdiff_t(p),
                                       [&](double k) { return std::fabs(k - a) <= kKnotTolerance; }));
    for (; have < p; ++have) insertKnot(s, a);
    size_t drop = 0;
    while (drop < s.knots.size() && s.knots[drop] < a - kKnotTolerance) ++drop;
    s.knots.erase(s.knots.begin(), s.knots.begin() + std::ptrdiff_t(drop));
    s.pts.erase(s.pts.begin(), s.pts.begin() + std::ptrdiff_t(s.width * drop));
}

// Interior knots with their multiplicities, in order.
std::vector<std::pair<double, int>> interior(const Strip& s) {
    std::vector<std::pair<double, int>> out;
    const double a = stripStart(s), b = stripEnd(s);
    for (double k : s.knots) {
        if (k <= a + kKnotTolerance || k >= b - kKnotTolerance) continue;
        if (!out.empty() && std::fabs(out.back().first - k) <= kKnotTolerance) ++out.back().second;
        else out.push_back({k, 1});
    }
    return out;
}

}  // namespace

Strip stripAlongU(const NurbsSurface& s) {
    Strip out{s.uDegree, s.uForm, s.uKnots, 4 * s.numV, std::vector<double>(s.cvs.size())};
    for (size_t i = 0; i + 3 < s.cvs.size(); i += 4) {
        const double w = s.cvs[i + 3];
        out.pts[i] = s.cvs[i] * w, out.pts[i + 1] = s.cvs[i + 1] * w, out.pts[i + 2] = s.cvs[i + 2] * w;
        out.pts[i + 3] = w;
    }
    return out;
}

NurbsSurface surfaceFromStrip(const Strip& strip, const NurbsSurface& like) {
    NurbsSurface s;
    s.uDegree = strip.degree, s.uForm = strip.form, s.uKnots = strip.knots, s.numU = strip.count();
    s.vDegree = like.vDegree, s.vForm = like.vForm, s.vKnots = like.vKnots, s.numV = like.numV;
    s.cvs.resize(strip.pts.size());
    for (size_t i = 0; i + 3 < strip.pts.size(); i += 4) {
        const double w = strip.pts[i + 3];
        for (size_t c = 0; c < 3; ++c) s.cvs[i + c] = w != 0 ? strip.pts[i + c] / w : 0.0;
        s.cvs[i + 3] = w;
    }
    return s;
}

NurbsSurface transposed(const NurbsSurface& s) {
    NurbsSurface t{s.vDegree, s.uDegree, s.vForm, s.uForm, s.vKnots, s.uKnots, s.numV, s.numU, s.cvs};
    for (size_t u = 0; u < s.numU; ++u)
        for (size_t v = 0; v < s.numV; ++v) std::copy_n(s.cv(u, v), 4, t.cv(v, u));
    return t;
}

Strip stripOfCurve(const NurbsCurve& c) {
    NurbsSurface one{c.degree, 1, c.form, NurbsForm::Open, c.knots, {}, c.numCVs(), 1, c.cvs};
    return stripAlongU(one);
}

NurbsCurve curveOfStrip(const Strip& s, int dimension) {
    const NurbsSurface one = surfaceFromStrip(s, NurbsSurface{1, 1, NurbsForm::Open, NurbsForm::Open, {}, {}, 0, 1, {}});
    NurbsCurve c;
    c.degree = s.degree, c.form = s.form, c.dimension = dimension, c.knots = s.knots, c.cvs = one.cvs;
    return c;
}

double stripStart(const Strip& s) { return s.knots[size_t(s.degree) - 1]; }
double stripEnd(const Strip& s) { return s.knots[s.count() - 1]; }

void insertKnot(Strip& s, double t) {
    const size_t p = size_t(s.degree), n = s.count(), w = s.width;
    size_t k = p;
    while (k + 1 <= n - 1 && U(s, k + 1) <= t) ++k;
    std::vector<double> q(w * (n + 1));
    for (size_t i = 0; i <= n; ++i) {
        double* out = &q[w * i];
        if (i + p <= k) {
            std::copy_n(s.at(i), w, out);
        } else if (i > k) {
            std::copy_n(s.at(i - 1), w, out);
        } else {
            const double span = U(s, i + p) - U(s, i);
            const double a = span > 0 ? (t - U(s, i)) / span : 0.0;
            for (size_t c = 0; c < w; ++c) out[c] = (1 - a) * s.at(i - 1)[c] + a * s.at(i)[c];
        }
    }
    s.pts = std::move(q);
    s.knots.insert(s.knots.begin() + std::ptrdiff_t(k), t);
    if (s.form == NurbsForm::Periodic) s.form = NurbsForm::Closed;
}

void reverseStrip(Strip& s) {
    const size_t n = s.count();
    for (size_t i = 0; i < n / 2; ++i) std::swap_ranges(s.at(i), s.at(i) + s.width, s.at(n - 1 - i));
    std::reverse(s.knots.begin(), s.knots.end());
    for (double& k : s.knots) k = -k;
}

void clampStrip(Strip& s) {
    clampStart(s);
    reverseStrip(s);
    clampStart(s);
    reverseStrip(s);
    if (s.form == NurbsForm::Periodic) s.form = NurbsForm::Closed;
}

void reparameterise(Strip& s, double a, double b) {
    const double start = stripStart(s), length = stripEnd(s) - start;
    if (!(length > 0)) return;
    for (double& k : s.knots) k = a + (k - start) / length * (b - a);
}

bool removeKnot(Strip& s, size_t k, double bias, double tolerance, bool force) {
    const size_t p = size_t(s.degree), n = s.count(), w = s.width;
    const size_t r = k + 1;  // textbook index of the knot's last copy
    const double u = s.knots[k];
    size_t mult = 0;
    while (mult < r && std::fabs(U(s, r - mult) - u) <= kKnotTolerance) ++mult;
    if (r < p + 1 || mult > p || r + 1 >= n + p || r - mult + 1 >= n) return false;
    const size_t first = r - p, last = r - mult, off = first - 1;
    std::vector<double> temp(w * (last + 2 - off));
    auto T = [&](size_t i) { return &temp[w * i]; };
    std::copy_n(s.at(off), w, T(0));
    std::copy_n(s.at(last + 1), w, T(last + 1 - off));
    size_t i = first, j = last, ii = 1, jj = last - off;
    while (j > i) {
        const double ai = (u - U(s, i)) / (U(s, i + p + 1) - U(s, i));
        const double aj = (u - U(s, j)) / (U(s, j + p + 1) - U(s, j));
        for (size_t c = 0; c < w; ++c) {
            T(ii)[c] = (s.at(i)[c] - (1 - ai) * T(ii - 1)[c]) / ai;
            T(jj)[c] = (s.at(j)[c] - aj * T(jj + 1)[c]) / (1 - aj);
        }
        ++i, ++ii, --j, --jj;
    }
    double error = 0;
    if (j < i) {  // both sides computed the same new point
        for (size_t c = 0; c < w; ++c) error = std::max(error, std::fabs(T(ii - 1)[c] - T(jj + 1)[c]));
        if (!force && error > tolerance) return false;
        for (size_t c = 0; c < w; ++c) T(ii - 1)[c] = T(jj + 1)[c] = (1 - bias) * T(ii - 1)[c] + bias * T(jj + 1)[c];
    } else if (!force) {  // the dropped point must lie between its new neighbours
        const double ai = (u - U(s, i)) / (U(s, i + p + 1) - U(s, i));
        for (size_t c = 0; c < w; ++c)
            error = std::max(error, std::fabs(s.at(i)[c] - (ai * T(ii + 1)[c] + (1 - ai) * T(ii - 1)[c])));
        if (error > tolerance) return false;
    }
    for (i = first, j = last; j > i; ++i, --j) {
        std::copy_n(T(i - off), w, s.at(i));
        std::copy_n(T(j - off), w, s.at(j));
    }
    const size_t drop = (2 * r - mult - p) / 2;
    s.pts.erase(s.pts.begin() + std::ptrdiff_t(w * drop), s.pts.begin() + std::ptrdiff_t(w * (drop + 1)));
    s.knots.erase(s.knots.begin() + std::ptrdiff_t(k));
    if (s.form == NurbsForm::Periodic) s.form = NurbsForm::Closed;
    return true;
}

void makeStripsCompatible(Strip& a, Strip& b) {
    const double start = stripStart(a), end = stripEnd(a);
    reparameterise(b, start, end);
    if (a.form == NurbsForm::Periodic && b.form == NurbsForm::Periodic && sameKnots(a.knots, b.knots)) return;
    clampStrip(a);
    clampStrip(b);
    std::vector<std::pair<double, int>> merged = interior(a);
    // Plain pairs, not structured bindings: older clang cannot capture those in a lambda.
    auto near = [](double k) { return [k](const std::pair<double, int>& e) { return std::fabs(e.first - k) <= kKnotTolerance; }; };
    for (const std::pair<double, int>& knot : interior(b)) {
        auto it = std::find_if(merged.begin(), merged.end(), near(knot.first));
        if (it != merged.end()) it->second = std::max(it->second, knot.second);
        else merged.push_back(knot);
    }
    for (Strip* s : {&a, &b}) {
        const std::vector<std::pair<double, int>> have = interior(*s);
        for (const std::pair<double, int>& knot : merged) {
            auto it = std::find_if(have.begin(), have.end(), near(knot.first));
            for (int c = it != have.end() ? it->second : 0; c < knot.second; ++c) insertKnot(*s, knot.first);
        }
    }
}

}  // namespace mayahost
