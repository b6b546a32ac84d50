#include "nurbs/Loft.h"

#include "base/Limits.h"
#include "nurbs/KnotOps.h"
#include "nurbs/NurbsEval.h"

#include <algorithm>
#include <cmath>

namespace mayahost {
namespace {

constexpr double kKnotTolerance = 1e-9;

// Textbook knot k (1 .. n + p - 1) of a curve with Maya's knots.
double U(const std::vector<double>& knots, size_t k) { return knots[k - 1]; }

// Inserts `t` (at the domain start or inside it) once, in homogeneous space.
bool insertAt(NurbsCurve& c, double t) {
    const NurbsRange dom = curveDomain(c);
    if (t < dom.start - kKnotTolerance || t >= dom.end) return false;
    Strip s = stripOfCurve(c);
    insertKnot(s, t);
    c = curveOfStrip(s, c.dimension);
    return true;
}

void clamp(NurbsCurve& c) {
    Strip s = stripOfCurve(c);
    clampStrip(s);
    c = curveOfStrip(s, c.dimension);
}

void normaliseDomain(NurbsCurve& c) {
    const NurbsRange dom = curveDomain(c);
    const double length = dom.length();
    for (double& k : c.knots) k = (k - dom.start) / length;
}

bool sameKnots(const std::vector<double>& a, const std::vector<double>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::fabs(a[i] - b[i]) > kKnotTolerance) return false;
    return true;
}

// Brings every section to one knot vector over [0, 1].
void makeCompatible(std::vector<NurbsCurve>& sections) {
    for (NurbsCurve& c : sections) normaliseDomain(c);
    bool same = true;
    for (const NurbsCurve& c : sections) same = same && sameKnots(c.knots, sections.front().knots);
    if (same) return;
    std::vector<double> merged;  // every interior knot, as often as the curve that has it most
    for (NurbsCurve& c : sections) {
        clamp(c);
        std::vector<double> mine;
        for (double k : c.knots)
            if (k > kKnotTolerance && k < 1 - kKnotTolerance) mine.push_back(k);
        std::vector<double> out;
        std::set_union(merged.begin(), merged.end(), mine.begin(), mine.end(), std::back_inserter(out),
                       [](double x, double y) { return x < y - kKnotTolerance; });
        merged = std::move(out);
    }
    for (NurbsCurve& c : sections) {
        std::vector<double> have = c.knots;
        for (double k : merged) {
            auto it = std::find_if(have.begin(), have.end(), [&](double h) { return std::fabs(h - k) <= kKnotTolerance; });
            if (it != have.end()) have.erase(it);
            else insertAt(c, k);
        }
    }
}

double distance(const double* a, const double* b) {
    return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) + (a[2] - b[2]) * (a[2] - b[2]));
}

// An open section that starts nearer the end of the one before than its start runs against it.
void autoReverse(std::vector<NurbsCurve>& sections) {
    for (size_t i = 1; i < sections.size(); ++i) {
        NurbsCurve& c = sections[i];
        const NurbsCurve& before = sections[i - 1];
        if (c.form != NurbsForm::Open || before.form != NurbsForm::Open) continue;
        const double* s0 = &before.cvs[0];
        const double* e0 = &before.cvs[before.cvs.size() - 4];
        const double* s1 = &c.cvs[0];
        const double* e1 = &c.cvs[c.cvs.size() - 4];
        if (distance(s1, e0) + distance(e1, s0) < distance(s1, s0) + distance(e1, e0)) reverseCurve(c);
    }
}

std::vector<double> sectionParameters(const std::vector<NurbsCurve>& sections, bool uniform) {
    std::vector<double> t(sections.size(), 0.0);
    for (size_t k = 1; k < sections.size(); ++k) {
        double step = 1.0;
        if (!uniform) {
            const NurbsCurve& a = sections[k - 1];
            const NurbsCurve& b = sections[k];
            double sum = 0;
            for (size_t i = 0; i < a.numCVs(); ++i) sum += distance(&a.cvs[4 * i], &b.cvs[4 * i]);
            step = sum / double(a.numCVs());
        }
        t[k] = t[k - 1] + step;
    }
    if (!uniform && !(t.back() > 0)) return sectionParameters(sections, true);
    return t;
}

// A band matrix solved without pivoting: B-spline collocation rows with the
// end conditions beside their end rows are diagonally led.
class BandSystem {
public:
    BandSystem(size_t n, size_t halfWidth) : n_(n), w_(halfWidth), a_(n * (2 * halfWidth + 1), 0.0) {}
    double& at(size_t row, size_t col) { return a_[row * (2 * w_ + 1) + (col + w_ - row)]; }
    bool inBand(size_t row, size_t col) const { return col + w_ >= row && col <= row + w_; }
    // Solves in place for `rhs` (n rows of `width` values each).
    bool solve(std::vector<double>& rhs, size_t width) {
        for (size_t i = 0; i < n_; ++i) {
            const double pivot = at(i, i);
            if (std::fabs(pivot) < 1e-300) return false;
            for (size_t r = i + 1; r < n_ && r <= i + w_; ++r) {
                if (!inBand(r, i)) continue;
                const double f = at(r, i) / pivot;
                if (f == 0) continue;
                for (size_t c = i; c < n_ && c <= i + w_; ++c)
                    if (inBand(r, c)) at(r, c) -= f * at(i, c);
                for (size_t k = 0; k < width; ++k) rhs[r * width + k] -= f * rhs[i * width + k];
            }
        }
        for (size_t i = n_; i-- > 0;) {
            for (size_t c = i + 1; c < n_ && c <= i + w_; ++c)
                for (size_t k = 0; k < width; ++k) rhs[i * width + k] -= at(i, c) * rhs[c * width + k];
            for (size_t k = 0; k < width; ++k) rhs[i * width + k] /= at(i, i);
        }
        return true;
    }

private:
    size_t n_, w_;
    std::vector<double> a_;
};

// Coefficients of the second derivative at the start of a clamped curve on
// its first three control points (textbook knots from `U`).
void secondDerivativeRow(const std::vector<double>& knots, int p, double (&row)[3]) {
    const double a0 = U(knots, size_t(p) + 1) - U(knots, 1);
    const double a1 = U(knots, size_t(p) + 2) - U(knots, 2);
    row[0] = a0 > 0 ? 1 / a0 : 0;
    row[2] = a1 > 0 ? 1 / a1 : 0;
    row[1] = -(row[0] + row[2]);
}

// Control rows across the sections: one per section for degree 1, else the
// interpolating spline's. `columns` holds, per section, the homogeneous
// control points of the curve (4 values each).
bool interpolate(const std::vector<double>& t, int p, const std::vector<std::vector<double>>& columns,
                 std::vector<double>& knots, std::vector<std::vector<double>>& rows) {
    const size_t n = t.size();
    if (p == 1) {
        knots = t;
        rows = columns;
        return true;
    }
    knots.assign(size_t(p) - 1, t.front());
    knots.insert(knots.end(), t.begin(), t.end());
    knots.insert(knots.end(), size_t(p) - 1, t.back());
    const size_t count = n + size_t(p) - 1;
    BandSystem system(count, size_t(p));
    // Rows: the first section, the start condition, the inner sections, the
    // end condition (the cubic only), the last section.
    const size_t startFree = size_t(p) / 2;
    std::vector<size_t> sectionRow(n);
    for (size_t k = 0; k < n; ++k) sectionRow[k] = k == 0 ? 0 : k + 1 == n ? count - 1 : k + startFree;
    BasisValues basis;
    for (size_t k = 0; k < n; ++k) {
        basisAt(knots, p, count, t[k], basis, false);
        for (size_t j = 0; j <= size_t(p); ++j) {
            const size_t col = size_t(basis.first) + j;
            if (basis.n[j] == 0) continue;
            if (!system.inBand(sectionRow[k], col)) return false;
            system.at(sectionRow[k], col) = basis.n[j];
        }
    }
    double row[3];
    secondDerivativeRow(knots, p, row);
    for (size_t j = 0; j < 3; ++j) system.at(1, j) = row[j];
    if (p == 3) {
        std::vector<double> reversed(knots.rbegin(), knots.rend());
        for (double& k : reversed) k = -k;
        secondDerivativeRow(reversed, p, row);
        for (size_t j = 0; j < 3; ++j) system.at(count - 2, count - 1 - j) = row[j];
    }
    const size_t width = columns.front().size();
    std::vector<double> rhs(count * width, 0.0);
    for (size_t k = 0; k < n; ++k) std::copy(columns[k].begin(), columns[k].end(), rhs.begin() + std::ptrdiff_t(sectionRow[k] * width));
    if (!system.solve(rhs, width)) return false;
    rows.assign(count, {});
    for (size_t r = 0; r < count; ++r) rows[r].assign(rhs.begin() + std::ptrdiff_t(r * width), rhs.begin() + std::ptrdiff_t((r + 1) * width));
    return true;
}

std::vector<double> homogeneous(const NurbsCurve& c) {
    std::vector<double> h(c.cvs.size());
    for (size_t i = 0; i + 3 < c.cvs.size(); i += 4) {
        const double w = c.cvs[i + 3];
        h[i] = c.cvs[i] * w;
        h[i + 1] = c.cvs[i + 1] * w;
        h[i + 2] = c.cvs[i + 2] * w;
        h[i + 3] = w;
    }
    return h;
}

}  // namespace

bool insertCurveKnot(NurbsCurve& curve, double t) {
    const NurbsRange dom = curveDomain(curve);
    if (t <= dom.start || t >= dom.end) return false;
    return insertAt(curve, t);
}

std::string loftSurface(std::vector<NurbsCurve> sections, const LoftParams& params, NurbsSurface& out,
                        std::string* approximate) {
    if (sections.size() < 2) return "it needs two section curves, it has " + std::to_string(sections.size());
    for (size_t i = 0; i < sections.size(); ++i)
        if (std::string why = nurbsCurveProblem(sections[i]); !why.empty())
            return "section " + std::to_string(i) + ": " + why;
    const int q = sections.front().degree;
    for (const NurbsCurve& c : sections)
        if (c.degree != q)
            return "its sections have degrees " + std::to_string(q) + " and " + std::to_string(c.degree) +
                   " (raising a degree is not done)";
    for (size_t i = 0; i < sections.size() && i < params.reverse.size(); ++i)
        if (params.reverse[i]) reverseCurve(sections[i]);
    if (params.autoReverse) autoReverse(sections);
    makeCompatible(sections);
    if (params.close) sections.push_back(sections.front());
    const size_t n = sections.size();
    const int p = std::clamp(params.degree, 1, int(n) - 1);
    if (p > 3) return "a loft of degree " + std::to_string(p) + " is not built";
    if (approximate && p > 1) {
        // Beyond degree 1 the rows outnumber the sections; the end conditions
        // that settle the rest are chosen here, Maya's not being known.
        *approximate = "the ends of a loft of degree " + std::to_string(p) +
                       " follow a natural spline, not known to be Maya's end condition";
        if (params.close) *approximate += "; a closed one is built open through the first section again";
    }
    const size_t numV = sections.front().numCVs();
    const size_t spans = size_t(std::max(params.sectionSpans, 1));
    const size_t numU = n + size_t(p) - 1 + (spans - 1) * (n - 1);
    if (numU > limits().maxMeshFaces / std::max<size_t>(numV, 1))
        return "it would make more than " + std::to_string(limits().maxMeshFaces) + " control points";

    std::vector<std::vector<double>> columns;
    for (const NurbsCurve& c : sections) columns.push_back(homogeneous(c));
    const std::vector<double> t = sectionParameters(sections, params.uniform);
    std::vector<double> knots;
    std::vector<std::vector<double>> rows;
    if (!interpolate(t, p, columns, knots, rows)) return "its sections cannot be interpolated";
    // Further spans between sections: knots inserted into every column across them.
    if (spans > 1) {
        std::vector<NurbsCurve> across(numV);
        for (size_t v = 0; v < numV; ++v) {
            NurbsCurve& c = across[v];
            c.degree = p;
            c.knots = knots;
            for (const auto& r : rows) {
                const double w = r[4 * v + 3];
                for (size_t k = 0; k < 3; ++k) c.cvs.push_back(w != 0 ? r[4 * v + k] / w : 0.0);
                c.cvs.push_back(w);
            }
            for (size_t k = 0; k + 1 < n; ++k)
                for (size_t s = 1; s < spans; ++s) insertCurveKnot(c, t[k] + (t[k + 1] - t[k]) * double(s) / double(spans));
        }
        knots = across.front().knots;
        rows.assign(across.front().numCVs(), std::vector<double>(4 * numV));
        for (size_t v = 0; v < numV; ++v)
            for (size_t r = 0; r < rows.size(); ++r) {
                const double* cv = &across[v].cvs[4 * r];
                for (size_t k = 0; k < 3; ++k) rows[r][4 * v + k] = cv[k] * cv[3];
                rows[r][4 * v + 3] = cv[3];
            }
    }

    NurbsSurface s;
    s.uDegree = p;
    s.uForm = params.close && p == 1 ? NurbsForm::Closed : NurbsForm::Open;
    s.uKnots = knots;
    s.numU = rows.size();
    s.vDegree = q;
    s.vForm = sections.front().form;
    s.vKnots = sections.front().knots;
    s.numV = numV;
    s.cvs.resize(4 * s.numU * s.numV);
    for (size_t u = 0; u < s.numU; ++u)
        for (size_t v = 0; v < s.numV; ++v) {
            const double* h = &rows[u][4 * v];
            double* cv = s.cv(u, v);
            for (size_t k = 0; k < 3; ++k) cv[k] = h[3] != 0 ? h[k] / h[3] : 0.0;
            cv[3] = h[3];
        }
    if (params.reverseSurfaceNormals) {
        NurbsSurface swapped = s;
        std::swap(swapped.uDegree, swapped.vDegree);
        std::swap(swapped.uForm, swapped.vForm);
        std::swap(swapped.uKnots, swapped.vKnots);
        std::swap(swapped.numU, swapped.numV);
        for (size_t u = 0; u < s.numU; ++u)
            for (size_t v = 0; v < s.numV; ++v) std::copy_n(s.cv(u, v), 4, swapped.cv(v, u));
        s = std::move(swapped);
    }
    if (std::string why = nurbsSurfaceProblem(s); !why.empty()) return "its result is no valid surface (" + why + ")";
    out = std::move(s);
    return {};
}

}  // namespace mayahost
