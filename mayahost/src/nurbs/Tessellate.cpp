#include "nurbs/Tessellate.h"
#include "common/platform/StableMath.h"

#include "base/EvalBudget.h"
#include "base/Limits.h"
#include "mesh/MeshVec.h"
#include "mesh/Triangulate.h"
#include "nurbs/NurbsEval.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <unordered_map>

namespace mayahost {
namespace {

struct UV {
    double u = 0, v = 0;
    bool operator==(const UV& o) const { return u == o.u && v == o.v; }
    bool operator<(const UV& o) const { return u < o.u || (u == o.u && v < o.v); }
};

struct Span {
    double a, b;
};

// Distinct knot intervals of the domain (zero-length spans skipped).
std::vector<Span> domainSpans(const std::vector<double>& knots, int degree) {
    std::vector<Span> spans;
    size_t first = size_t(degree) - 1, last = knots.size() - size_t(degree);
    for (size_t k = first; k < last; ++k)
        if (knots[k + 1] > knots[k]) spans.push_back({knots[k], knots[k + 1]});
    return spans;
}

void buildLines(const std::vector<Span>& spans, const std::vector<int>& counts, std::vector<double>& lines,
                std::vector<int>& spanOfInterval) {
    lines.clear();
    spanOfInterval.clear();
    lines.push_back(spans.front().a);
    for (size_t k = 0; k < spans.size(); ++k) {
        int n = counts[k];
        for (int s = 1; s <= n; ++s) {
            lines.push_back(s == n ? spans[k].b : spans[k].a + (spans[k].b - spans[k].a) * double(s) / double(n));
            spanOfInterval.push_back(int(k));
        }
    }
}

double distPointSegment(const MeshVec& p, const MeshVec& a, const MeshVec& b) {
    MeshVec ab = b - a, ap = p - a;
    double len2 = ab.dot(ab);
    double t = len2 > 0 ? std::clamp(ap.dot(ab) / len2, 0.0, 1.0) : 0.0;
    return (ap - ab * t).length();
}

// Distance from p to triangle abc (Ericson, Real-Time Collision Detection 5.1.5).
double distPointTriangle(const MeshVec& p, const MeshVec& a, const MeshVec& b, const MeshVec& c) {
    MeshVec ab = b - a, ac = c - a, ap = p - a;
    double d1 = ab.dot(ap), d2 = ac.dot(ap);
    if (d1 <= 0 && d2 <= 0) return ap.length();
    MeshVec bp = p - b;
    double d3 = ab.dot(bp), d4 = ac.dot(bp);
    if (d3 >= 0 && d4 <= d3) return bp.length();
    double vc = d1 * d4 - d3 * d2;
    if (vc <= 0 && d1 >= 0 && d3 <= 0) return distPointSegment(p, a, b);
    MeshVec cp = p - c;
    double d5 = ab.dot(cp), d6 = ac.dot(cp);
    if (d6 >= 0 && d5 <= d6) return cp.length();
    double vb = d5 * d2 - d1 * d6;
    if (vb <= 0 && d2 >= 0 && d6 <= 0) return distPointSegment(p, a, c);
    double va = d3 * d6 - d5 * d4;
    if (va <= 0 && (d4 - d3) >= 0 && (d5 - d6) >= 0) return distPointSegment(p, b, c);
    double den = va + vb + vc;
    if (!(den > 0)) return std::min({distPointSegment(p, a, b), distPointSegment(p, b, c), distPointSegment(p, a, c)});
    double v = vb / den, w = vc / den;
    return (p - (a + ab * v + ac * w)).length();
}

// Index k of the interval lines[k] <= x < lines[k + 1], clamped to the intervals.
size_t intervalOf(const std::vector<double>& lines, double x) {
    size_t k = size_t(std::upper_bound(lines.begin(), lines.end(), x) - lines.begin());
    if (k == 0) return 0;
    return std::min(k - 1, lines.size() - 2);
}

struct Segment {
    UV a, b;  // canonical order: a < b
    int loop;
};

// Point of segment (a < b) on the line u = x (or v = x when alongV); the same
// inputs always give the same bits, so the cells on both sides of a grid line agree.
UV crossAt(const UV& a, const UV& b, double x, bool alongV) {
    if (!alongV) {
        if (b.u == a.u) return {x, a.v};
        if (x == a.u) return a;
        if (x == b.u) return b;
        return {x, a.v + (x - a.u) * (b.v - a.v) / (b.u - a.u)};
    }
    if (b.v == a.v) return {a.u, x};
    if (x == a.v) return a;
    if (x == b.v) return b;
    return {a.u + (x - a.v) * (b.u - a.u) / (b.v - a.v), x};
}

struct Rect {
    double u0, u1, v0, v1;
};

// Liang-Barsky clip of segment a < b to the closed rectangle; endpoints on
// the rectangle's sides come from crossAt.
bool clipSegment(const UV& a, const UV& b, const Rect& r, UV& pa, UV& pb) {
    double t0 = 0, t1 = 1;
    int s0 = -1, s1 = -1;  // side limiting each end: 0 u0, 1 u1, 2 v0, 3 v1
    double d[2] = {b.u - a.u, b.v - a.v};
    double lo[2] = {r.u0 - a.u, r.v0 - a.v}, hi[2] = {r.u1 - a.u, r.v1 - a.v};
    for (int k = 0; k < 2; ++k) {
        if (d[k] == 0) {
            if (lo[k] > 0 || hi[k] < 0) return false;
            continue;
        }
        double ta = lo[k] / d[k], tb = hi[k] / d[k];
        int sa = 2 * k, sb = 2 * k + 1;
        if (ta > tb) {
            std::swap(ta, tb);
            std::swap(sa, sb);
        }
        if (ta > t0) { t0 = ta; s0 = sa; }
        if (tb < t1) { t1 = tb; s1 = sb; }
        if (t0 > t1) return false;
    }
    auto onSide = [&](int side) {
        double x = side == 0 ? r.u0 : side == 1 ? r.u1 : side == 2 ? r.v0 : r.v1;
        UV p = crossAt(a, b, x, side >= 2);
        p.u = std::clamp(p.u, r.u0, r.u1);
        p.v = std::clamp(p.v, r.v0, r.v1);
        return p;
    };
    pa = s0 < 0 ? a : onSide(s0);
    pb = s1 < 0 ? b : onSide(s1);
    return true;
}

double orient(double ax, double ay, double bx, double by, double cx, double cy) {
    return (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
}

class Tessellator {
public:
    Tessellator(const TrimmedSurface& ts, const TessellationParams& params, TessellationResult& res)
        : ts_(ts), s_(ts.surface), params_(params), res_(res), ev_(ts.surface) {}

    void run();

private:
    // --- fit
    bool fitGrid();
    double need(double h, double len) const;
    // --- trims
    void buildLoops();
    void sampleCurve(const NurbsCurve& c, std::vector<UV>& pts, bool& capped);
    void bisect(const NurbsCurve& c, double ta, const UV& pa, const MeshVec& Pa, double tb, const UV& pb,
                const MeshVec& Pb, int depth, std::vector<UV>& pts, bool& capped);
    void bucketSegments();
    bool membership(const std::vector<uint8_t>& parity) const;
    bool insideAt(const UV& p, size_t row);
    // --- mesh
    void detectWelds();
    UV canonical(UV p) const;
    int cornerNode(size_t i, size_t j);
    int paramNode(const UV& p);
    int vertexFor(const UV& canon);
    void emitTriangle(int a, int b, int c);
    void wholeCell(size_t i, size_t j);
    void boundaryCell(size_t i, size_t j, const uint32_t* segs, size_t count);
    void assemble();

    const TrimmedSurface& ts_;
    const NurbsSurface& s_;
    const TessellationParams& params_;
    TessellationResult& res_;
    SurfaceEvaluator ev_;
    double tol_ = 0;

    std::vector<Span> spansU_, spansV_;
    std::vector<double> U_, V_;  // grid lines
    std::vector<BasisValues> basisU_, basisV_;

    // Trim loops.
    struct Loop {
        std::vector<UV> pts;
    };
    std::vector<Loop> loops_;
    struct RegionLoops {
        int outer;
        std::vector<int> holes;
    };
    std::vector<RegionLoops> regions_;
    std::vector<Segment> segs_;
    std::vector<std::vector<uint32_t>> rowSegs_;
    std::vector<std::pair<uint64_t, uint32_t>> cellSegs_;  // (cell, segment), sorted
    std::vector<uint8_t> parity_;
    bool crossingsSeen_ = false;
    bool crowdedCells_ = false;
    static constexpr size_t kMaxCellSegments = 256;

    // Welds.
    bool closedU_ = false, closedV_ = false;
    bool poleU0_ = false, poleU1_ = false, poleV0_ = false, poleV1_ = false;

    // Parameter nodes (one per exact (u, v)) and vertices (one per canonical (u, v)).
    struct Node {
        UV p;
        int vertex;
        MeshVec normal;  // exact surface normal at p
    };
    std::vector<Node> nodes_;
    std::vector<int> gridNode_, gridVertex_;
    struct UVHash {
        size_t operator()(const UV& p) const {
            uint64_t a, b;
            std::memcpy(&a, &p.u, 8);
            std::memcpy(&b, &p.v, 8);
            return size_t(a * 0x9E3779B97F4A7C15ull ^ (b + 0x632BE59BD9B4E019ull + (a << 6) + (a >> 2)));
        }
    };
    std::unordered_map<UV, int, UVHash> nodeMap_, vertexMap_;
    std::vector<MeshVec> vertexPos_;
    std::vector<int32_t> tris_;  // node ids, 3 per triangle

    TriangulateScratch triScratch_;
};

double Tessellator::need(double h, double len) const {
    double f = 1;
    if (h > tol_) f = std::sqrt(h / tol_);
    double floorAbs = 1e-9 * ev_.diagonal();
    if (params_.chordHeightRatio > 0 && len > 0 && h > floorAbs && h > params_.chordHeightRatio * len)
        f = std::max(f, h / (params_.chordHeightRatio * len));
    return f > 1 ? f * 1.05 : 1.0;
}

bool Tessellator::fitGrid() {
    // The fixed face cap, lowered to what the scene's evaluation budget has left.
    const size_t maxFaces = size_t(faceAllowance());
    spansU_ = domainSpans(s_.uKnots, s_.uDegree);
    spansV_ = domainSpans(s_.vKnots, s_.vDegree);
    if (spansU_.empty() || spansV_.empty()) {
        res_.error = "the surface has an empty parameter range";
        return false;
    }
    double minFaces = 2.0 * double(spansU_.size()) * double(spansV_.size());
    if (minFaces > double(maxFaces)) {
        res_.error = "tessellating " + std::to_string(spansU_.size()) + " x " + std::to_string(spansV_.size()) +
                     " spans needs at least " + std::to_string(size_t(minFaces)) + " triangles, above the limit of " +
                     std::to_string(maxFaces) + " (maxMeshFaces, or what the evaluation budget has left)";
        spansU_.clear();
        spansV_.clear();
        return false;
    }
    int maxPer = std::max(1, params_.maxSubdivisionsPerSpan);
    std::vector<int> nU(spansU_.size(), std::min(maxPer, s_.uDegree == 1 ? 1 : 2));
    std::vector<int> nV(spansV_.size(), std::min(maxPer, s_.vDegree == 1 ? 1 : 2));
    auto faces = [](const std::vector<int>& a, const std::vector<int>& b) {
        double su = 0, sv = 0;
        for (int x : a) su += x;
        for (int x : b) sv += x;
        return 2.0 * su * sv;
    };
    if (faces(nU, nV) > double(maxFaces)) {
        std::fill(nU.begin(), nU.end(), 1);
        std::fill(nV.begin(), nV.end(), 1);
    }

    std::vector<int> spanOfU, spanOfV;
    std::vector<BasisValues> bVl, bVm;
    BasisValues bu;
    // Rows of the control net contracted over u at one u (homogeneous), then
    // points along v from them: (q + 1) products per point instead of (p + 1)(q + 1).
    const size_t numV = s_.numV;
    const int p = s_.uDegree, q = s_.vDegree;
    std::vector<double> row(4 * numV);
    auto contract = [&](double u) {
        ev_.basisU(u, bu, false);
        std::fill(row.begin(), row.end(), 0.0);
        for (int a = 0; a <= p; ++a) {
            const double* c = s_.cv(size_t(bu.first + a), 0);
            double n = bu.n[size_t(a)];
            for (size_t k = 0; k < numV; ++k) {
                double nw = n * c[4 * k + 3];
                row[4 * k] += nw * c[4 * k];
                row[4 * k + 1] += nw * c[4 * k + 1];
                row[4 * k + 2] += nw * c[4 * k + 2];
                row[4 * k + 3] += nw;
            }
        }
    };
    auto along = [&](const BasisValues& bv) {
        double x = 0, y = 0, z = 0, w = 0;
        const double* r = &row[4 * size_t(bv.first)];
        for (int k = 0; k <= q; ++k) {
            double n = bv.n[size_t(k)];
            x += n * r[4 * k];
            y += n * r[4 * k + 1];
            z += n * r[4 * k + 2];
            w += n * r[4 * k + 3];
        }
        return w != 0 ? MeshVec{x / w, y / w, z / w} : MeshVec{};
    };
    std::vector<MeshVec> gPrev, gCur, mv, mu, cen;
    bool capped = false;
    for (int pass = 0; pass < std::max(1, params_.maxRefinementPasses); ++pass) {
        buildLines(spansU_, nU, U_, spanOfU);
        buildLines(spansV_, nV, V_, spanOfV);
        size_t nu = U_.size() - 1, nv = V_.size() - 1;
        bVl.resize(nv + 1);
        bVm.resize(nv);
        for (size_t k = 0; k <= nv; ++k) {
            ev_.basisV(V_[k], bVl[k], false);
            if (k < nv) ev_.basisV(0.5 * (V_[k] + V_[k + 1]), bVm[k], false);
        }
        gPrev.resize(nv + 1);
        gCur.resize(nv + 1);
        mv.resize(nv);
        mu.resize(nv + 1);
        cen.resize(nv);
        std::vector<double> fU(spansU_.size(), 1.0), fV(spansV_.size(), 1.0);
        for (size_t i = 0; i <= nu; ++i) {
            contract(U_[i]);
            for (size_t j = 0; j <= nv; ++j) gCur[j] = along(bVl[j]);
            for (size_t j = 0; j < nv; ++j) {
                mv[j] = along(bVm[j]);
                const MeshVec &a = gCur[j], &b = gCur[j + 1];
                double f = need(distPointSegment(mv[j], a, b), (b - a).length());
                double& slot = fV[size_t(spanOfV[j])];
                slot = std::max(slot, f);
            }
            if (i > 0) {
                contract(0.5 * (U_[i - 1] + U_[i]));
                for (size_t j = 0; j <= nv; ++j) mu[j] = along(bVl[j]);
                for (size_t j = 0; j < nv; ++j) cen[j] = along(bVm[j]);
                double& su = fU[size_t(spanOfU[i - 1])];
                for (size_t j = 0; j <= nv; ++j) {
                    const MeshVec &a = gPrev[j], &b = gCur[j];
                    su = std::max(su, need(distPointSegment(mu[j], a, b), (b - a).length()));
                    if (j == nv) break;
                    const MeshVec &p00 = gPrev[j], &p10 = gCur[j], &p11 = gCur[j + 1], &p01 = gPrev[j + 1];
                    const MeshVec& c = cen[j];
                    double d0 = (p11 - p00).length(), d1 = (p01 - p10).length();
                    double h = d0 <= d1 ? std::min(distPointTriangle(c, p00, p10, p11), distPointTriangle(c, p00, p11, p01))
                                        : std::min(distPointTriangle(c, p00, p10, p01), distPointTriangle(c, p10, p11, p01));
                    double f = need(h, std::min(d0, d1));
                    if (f > 1) {
                        double& sv = fV[size_t(spanOfV[j])];
                        su = std::max(su, f);
                        sv = std::max(sv, f);
                    }
                }
            }
            std::swap(gPrev, gCur);
        }
        std::vector<int> nU2 = nU, nV2 = nV;
        bool changed = false;
        auto grow = [&](std::vector<int>& n, const std::vector<double>& f) {
            for (size_t k = 0; k < n.size(); ++k)
                if (f[k] > 1 && n[k] < maxPer) {
                    int want = int(std::ceil(double(n[k]) * std::min(f[k], 8.0)));
                    n[k] = std::min(maxPer, std::max(n[k] + 1, want));
                    changed = true;
                } else if (f[k] > 1) {
                    capped = true;
                }
        };
        grow(nU2, fU);
        grow(nV2, fV);
        if (!changed) break;
        if (faces(nU2, nV2) > double(maxFaces)) {
            res_.warnings.push_back("refinement stopped at the face limit (" + std::to_string(maxFaces) +
                                    "); the chord tolerance is not met everywhere");
            capped = false;
            break;
        }
        nU = nU2;
        nV = nV2;
    }
    buildLines(spansU_, nU, U_, spanOfU);
    buildLines(spansV_, nV, V_, spanOfV);
    if (capped)
        res_.warnings.push_back("refinement stopped at " + std::to_string(maxPer) +
                                " subdivisions per span; the chord tolerance is not met everywhere");
    return true;
}

void Tessellator::bisect(const NurbsCurve& c, double ta, const UV& pa, const MeshVec& Pa, double tb, const UV& pb,
                         const MeshVec& Pb, int depth, std::vector<UV>& pts, bool& capped) {
    if (depth < params_.maxTrimBisections && pts.size() < limits().maxMeshFaces) {
        double tm = 0.5 * (ta + tb);
        MeshVec q = curvePoint(c, tm);
        UV pm{q.x, q.y};
        MeshVec Pm = ev_.point(pm.u, pm.v);
        double h = distPointSegment(Pm, Pa, Pb);
        // Also in (u, v), so that a boundary over a collapsed part of the surface keeps its shape.
        MeshVec ua{pa.u, pa.v, 0}, ub{pb.u, pb.v, 0}, um{pm.u, pm.v, 0};
        double huv = distPointSegment(um, ua, ub) / std::max(1e-300, std::max(ev_.domainU().length(), ev_.domainV().length()));
        if (need(4 * h, (Pb - Pa).length()) > 1 || huv > 0.005) {
            bisect(c, ta, pa, Pa, tm, pm, Pm, depth + 1, pts, capped);
            bisect(c, tm, pm, Pm, tb, pb, Pb, depth + 1, pts, capped);
            return;
        }
    } else if (depth < params_.maxTrimBisections) {
        capped = true;
    }
    pts.push_back(pb);
}

void Tessellator::sampleCurve(const NurbsCurve& c, std::vector<UV>& pts, bool& capped) {
    std::vector<Span> spans = domainSpans(c.knots, c.degree);
    int n0 = c.degree == 1 ? 1 : 2 * c.degree;
    auto at = [&](double t) {
        MeshVec q = curvePoint(c, t);
        return UV{q.x, q.y};
    };
    UV prev = at(spans.front().a);
    pts.push_back(prev);
    MeshVec Pprev = ev_.point(prev.u, prev.v);
    double tprev = spans.front().a;
    for (const Span& sp : spans)
        for (int k = 1; k <= n0; ++k) {
            double t = k == n0 ? sp.b : sp.a + (sp.b - sp.a) * double(k) / double(n0);
            UV p = at(t);
            MeshVec P = ev_.point(p.u, p.v);
            bisect(c, tprev, prev, Pprev, t, p, P, 0, pts, capped);
            prev = p;
            Pprev = P;
            tprev = t;
        }
}

void Tessellator::buildLoops() {
    double uvSize = std::max(ev_.domainU().length(), ev_.domainV().length());
    double closeTol = 1e-6 * uvSize;
    bool capped = false;
    for (size_t r = 0; r < ts_.regions.size(); ++r) {
        const TrimRegion& region = ts_.regions[r];
        RegionLoops rl{-1, {}};
        for (size_t b = 0; b < region.boundaries.size(); ++b) {
            const TrimBoundary& boundary = region.boundaries[b];
            std::vector<UV> pts;
            bool gap = false;
            for (size_t k = 0; k < boundary.curves.size(); ++k) {
                const NurbsCurve& c = boundary.curves[k];
                std::string why = nurbsCurveProblem(c);
                if (why.empty() && c.degree > limits().maxNurbsDegree) why = "degree above the limit";
                if (!why.empty()) {
                    res_.warnings.push_back("trim curve " + std::to_string(k) + " of boundary " + std::to_string(b) +
                                            " of region " + std::to_string(r) + " is skipped: " + why);
                    continue;
                }
                std::vector<UV> cp;
                sampleCurve(c, cp, capped);
                if (!pts.empty() && !cp.empty()) {
                    double du = cp.front().u - pts.back().u, dv = cp.front().v - pts.back().v;
                    if (std::sqrt(du * du + dv * dv) > closeTol) gap = true;
                }
                for (const UV& p : cp)
                    if (pts.empty() || !(pts.back() == p)) pts.push_back(p);
            }
            if (pts.size() >= 2) {
                double du = pts.front().u - pts.back().u, dv = pts.front().v - pts.back().v;
                if (std::sqrt(du * du + dv * dv) > closeTol) gap = true;
                else pts.pop_back();  // closes onto the first point
            }
            if (gap)
                res_.warnings.push_back("trim boundary " + std::to_string(b) + " of region " + std::to_string(r) +
                                        " is not closed; a straight segment closes it");
            // Points within a hair of a grid line are put on it, so that cells agree on them.
            auto snap = [](const std::vector<double>& lines, double x, double eps) {
                size_t k = size_t(std::lower_bound(lines.begin(), lines.end(), x) - lines.begin());
                if (k < lines.size() && std::fabs(lines[k] - x) <= eps) return lines[k];
                if (k > 0 && std::fabs(lines[k - 1] - x) <= eps) return lines[k - 1];
                return x;
            };
            double epsU = 1e-9 * ev_.domainU().length(), epsV = 1e-9 * ev_.domainV().length();
            std::vector<UV> clean;
            for (UV p : pts) {
                p.u = snap(U_, p.u, epsU);
                p.v = snap(V_, p.v, epsV);
                if (clean.empty() || !(clean.back() == p)) clean.push_back(p);
            }
            while (clean.size() > 1 && clean.back() == clean.front()) clean.pop_back();
            int id = -1;
            if (clean.size() >= 3) {
                id = int(loops_.size());
                loops_.push_back({std::move(clean)});
            }
            if (b == 0) rl.outer = id;
            else if (id >= 0) rl.holes.push_back(id);
        }
        if (rl.outer >= 0) regions_.push_back(std::move(rl));
    }
    if (capped) res_.warnings.push_back("trim curve sampling stopped at its bisection limit");
    for (size_t l = 0; l < loops_.size(); ++l) {
        const std::vector<UV>& pts = loops_[l].pts;
        for (size_t k = 0; k < pts.size(); ++k) {
            UV a = pts[k], b = pts[(k + 1) % pts.size()];
            if (b < a) std::swap(a, b);
            segs_.push_back({a, b, int(l)});
        }
    }
    parity_.assign(loops_.size(), 0);
}

void Tessellator::bucketSegments() {
    size_t nu = U_.size() - 1, nv = V_.size() - 1;
    rowSegs_.assign(nv, {});
    double mU = 5e-10 * ev_.domainU().length(), mV = 5e-10 * ev_.domainV().length();
    for (size_t s = 0; s < segs_.size(); ++s) {
        const Segment& g = segs_[s];
        double vlo = std::min(g.a.v, g.b.v), vhi = std::max(g.a.v, g.b.v);
        if (vhi < V_.front() - mV || vlo > V_.back() + mV) continue;
        for (size_t j = intervalOf(V_, vlo - mV); j <= intervalOf(V_, vhi + mV); ++j) rowSegs_[j].push_back(uint32_t(s));
        double ulo = g.a.u, uhi = g.b.u;  // a < b orders by u first
        if (uhi < U_.front() - mU || ulo > U_.back() + mU) continue;
        size_t i0 = intervalOf(U_, ulo - mU), i1 = intervalOf(U_, uhi + mU);
        for (size_t i = i0; i <= i1; ++i) {
            double lo = U_[i] - mU, hi = U_[i + 1] + mU;
            double va, vb;
            if (g.b.u == g.a.u) {
                va = g.a.v;
                vb = g.b.v;
            } else {
                double ta = std::clamp((lo - g.a.u) / (g.b.u - g.a.u), 0.0, 1.0);
                double tb = std::clamp((hi - g.a.u) / (g.b.u - g.a.u), 0.0, 1.0);
                va = g.a.v + ta * (g.b.v - g.a.v);
                vb = g.a.v + tb * (g.b.v - g.a.v);
            }
            double lov = std::min(va, vb) - mV, hiv = std::max(va, vb) + mV;
            if (hiv < V_.front() || lov > V_.back()) continue;
            for (size_t j = intervalOf(V_, lov); j <= intervalOf(V_, hiv); ++j)
                cellSegs_.push_back({uint64_t(j) * nu + i, uint32_t(s)});
        }
    }
    std::sort(cellSegs_.begin(), cellSegs_.end());
}

bool Tessellator::membership(const std::vector<uint8_t>& parity) const {
    for (const RegionLoops& r : regions_) {
        if (!parity[size_t(r.outer)]) continue;
        bool inHole = false;
        for (int h : r.holes)
            if (parity[size_t(h)]) {
                inHole = true;
                break;
            }
        if (!inHole) return true;
    }
    return false;
}

bool Tessellator::insideAt(const UV& p, size_t row) {
    std::fill(parity_.begin(), parity_.end(), 0);
    for (uint32_t s : rowSegs_[row]) {
        const Segment& g = segs_[s];
        if ((g.a.v > p.v) != (g.b.v > p.v)) {
            double x = g.a.u + (p.v - g.a.v) * (g.b.u - g.a.u) / (g.b.v - g.a.v);
            if (x < p.u) parity_[size_t(g.loop)] ^= 1;
        }
    }
    return membership(parity_);
}

void Tessellator::detectWelds() {
    // Boundary curves of the domain, sampled at the grid lines and between them.
    double eps = 1e-7 * std::max(ev_.diagonal(), 1e-300);
    auto samples = [](const std::vector<double>& lines) {
        std::vector<double> t;
        for (size_t k = 0; k < lines.size(); ++k) {
            t.push_back(lines[k]);
            if (k + 1 < lines.size()) t.push_back(0.5 * (lines[k] + lines[k + 1]));
        }
        return t;
    };
    std::vector<double> tu = samples(U_), tv = samples(V_);
    double u0 = U_.front(), u1 = U_.back(), v0 = V_.front(), v1 = V_.back();
    auto near = [&](const MeshVec& a, const MeshVec& b) { return (a - b).length() <= eps; };
    // The two domain edges across one direction, sampled along the other:
    // closed when they meet, each a pole when it stays at one point.
    auto edges = [&](const std::vector<double>& along, auto at0, auto at1, bool& closed, bool& pole0, bool& pole1) {
        closed = pole0 = pole1 = true;
        const MeshVec first0 = at0(along.front()), first1 = at1(along.front());
        for (double t : along) {
            const MeshVec p = at0(t), q = at1(t);
            closed = closed && near(p, q);
            pole0 = pole0 && near(p, first0);
            pole1 = pole1 && near(q, first1);
        }
    };
    edges(tv, [&](double v) { return ev_.point(u0, v); }, [&](double v) { return ev_.point(u1, v); }, closedU_,
          poleU0_, poleU1_);
    edges(tu, [&](double u) { return ev_.point(u, v0); }, [&](double u) { return ev_.point(u, v1); }, closedV_,
          poleV0_, poleV1_);
}

UV Tessellator::canonical(UV p) const {
    for (int pass = 0; pass < 3; ++pass) {
        UV q = p;
        if (closedU_ && q.u == U_.back()) q.u = U_.front();
        if (closedV_ && q.v == V_.back()) q.v = V_.front();
        if (poleU0_ && q.u == U_.front()) q.v = V_.front();
        if (poleU1_ && q.u == U_.back()) q.v = V_.front();
        if (poleV0_ && q.v == V_.front()) q.u = U_.front();
        if (poleV1_ && q.v == V_.back()) q.u = U_.front();
        if (q == p) break;
        p = q;
    }
    return p;
}

int Tessellator::vertexFor(const UV& c) {
    // Grid points through their index, the rest through the map.
    auto iu = std::lower_bound(U_.begin(), U_.end(), c.u);
    auto iv = std::lower_bound(V_.begin(), V_.end(), c.v);
    int* slot;
    if (iu != U_.end() && *iu == c.u && iv != V_.end() && *iv == c.v) {
        slot = &gridVertex_[size_t(iu - U_.begin()) * V_.size() + size_t(iv - V_.begin())];
    } else {
        auto it = vertexMap_.try_emplace(c, -1).first;
        slot = &it->second;
    }
    if (*slot < 0) {
        *slot = int(vertexPos_.size());
        if (iu != U_.end() && *iu == c.u && iv != V_.end() && *iv == c.v)
            vertexPos_.push_back(ev_.point(basisU_[size_t(iu - U_.begin())], basisV_[size_t(iv - V_.begin())]));
        else
            vertexPos_.push_back(ev_.point(c.u, c.v));
    }
    return *slot;
}

int Tessellator::cornerNode(size_t i, size_t j) {
    int& slot = gridNode_[i * V_.size() + j];
    if (slot < 0) {
        UV p{U_[i], V_[j]};
        slot = int(nodes_.size());
        SurfaceDerivs d = ev_.derivs(basisU_[i], basisV_[j]);
        nodes_.push_back({p, vertexFor(canonical(p)), ev_.normal(d, p.u, p.v)});
    }
    return slot;
}

int Tessellator::paramNode(const UV& p) {
    auto it = nodeMap_.try_emplace(p, -1).first;
    if (it->second < 0) {
        it->second = int(nodes_.size());
        nodes_.push_back({p, vertexFor(canonical(p)), ev_.normal(p.u, p.v)});
    }
    return it->second;
}

void Tessellator::emitTriangle(int a, int b, int c) {
    int va = nodes_[size_t(a)].vertex, vb = nodes_[size_t(b)].vertex, vc = nodes_[size_t(c)].vertex;
    if (va == vb || vb == vc || va == vc) return;
    const MeshVec &A = vertexPos_[size_t(va)], &B = vertexPos_[size_t(vb)], &C = vertexPos_[size_t(vc)];
    if ((B - A).cross(C - A).length() == 0) return;
    tris_.push_back(a);
    tris_.push_back(b);
    tris_.push_back(c);
}

void Tessellator::wholeCell(size_t i, size_t j) {
    int n00 = cornerNode(i, j), n10 = cornerNode(i + 1, j), n11 = cornerNode(i + 1, j + 1), n01 = cornerNode(i, j + 1);
    const MeshVec& p00 = vertexPos_[size_t(nodes_[size_t(n00)].vertex)];
    const MeshVec& p10 = vertexPos_[size_t(nodes_[size_t(n10)].vertex)];
    const MeshVec& p11 = vertexPos_[size_t(nodes_[size_t(n11)].vertex)];
    const MeshVec& p01 = vertexPos_[size_t(nodes_[size_t(n01)].vertex)];
    // The shorter diagonal (the 00-11 one on a tie).
    if ((p11 - p00).length() <= (p01 - p10).length()) {
        emitTriangle(n00, n10, n11);
        emitTriangle(n00, n11, n01);
    } else {
        emitTriangle(n00, n10, n01);
        emitTriangle(n10, n11, n01);
    }
}

// A cell that trim boundaries touch: the arrangement of the boundary pieces
// and the cell sides is traced into faces, each face is classified by one
// interior point and the kept ones are triangulated.
void Tessellator::boundaryCell(size_t i, size_t j, const uint32_t* segs, size_t count) {
    Rect r{U_[i], U_[i + 1], V_[j], V_[j + 1]};
    double su = r.u1 - r.u0, sv = r.v1 - r.v0;
    struct CNode {
        UV p;       // exact parameters
        double x, y;  // cell-local 0..1
    };
    std::vector<CNode> nodes;
    auto local = [&](const UV& p) { return CNode{p, (p.u - r.u0) / su, (p.v - r.v0) / sv}; };
    nodes.push_back(local({r.u0, r.v0}));
    nodes.push_back(local({r.u1, r.v0}));
    nodes.push_back(local({r.u1, r.v1}));
    nodes.push_back(local({r.u0, r.v1}));
    const double eps = 1e-10;
    auto addNode = [&](const UV& p) {
        for (size_t k = 0; k < nodes.size(); ++k)
            if (nodes[k].p == p) return int(k);
        CNode c = local(p);
        for (size_t k = 0; k < nodes.size(); ++k)
            if (std::fabs(nodes[k].x - c.x) <= eps && std::fabs(nodes[k].y - c.y) <= eps) return int(k);
        nodes.push_back(c);
        return int(nodes.size() - 1);
    };
    std::vector<std::pair<int, int>> pieces;
    for (size_t k = 0; k < count; ++k) {
        const Segment& g = segs_[segs[k]];
        UV pa, pb;
        if (!clipSegment(g.a, g.b, r, pa, pb)) continue;
        int na = addNode(pa), nb = addNode(pb);
        if (na != nb) pieces.push_back({na, nb});
    }
    // Crossings between pieces (only self-crossing or mutually crossing loops have them).
    size_t np = pieces.size();
    for (size_t a = 0; a < np; ++a)
        for (size_t b = a + 1; b < np; ++b) {
            auto [a0, a1] = pieces[a];
            auto [b0, b1] = pieces[b];
            if (a0 == b0 || a0 == b1 || a1 == b0 || a1 == b1) continue;
            const CNode &A = nodes[size_t(a0)], &B = nodes[size_t(a1)], &Cn = nodes[size_t(b0)], &D = nodes[size_t(b1)];
            double o1 = orient(A.x, A.y, B.x, B.y, Cn.x, Cn.y), o2 = orient(A.x, A.y, B.x, B.y, D.x, D.y);
            double o3 = orient(Cn.x, Cn.y, D.x, D.y, A.x, A.y), o4 = orient(Cn.x, Cn.y, D.x, D.y, B.x, B.y);
            if (((o1 > 0 && o2 < 0) || (o1 < 0 && o2 > 0)) && ((o3 > 0 && o4 < 0) || (o3 < 0 && o4 > 0))) {
                double t = o3 / (o3 - o4);
                UV p{A.p.u + t * (B.p.u - A.p.u), A.p.v + t * (B.p.v - A.p.v)};
                p.u = std::clamp(p.u, r.u0, r.u1);
                p.v = std::clamp(p.v, r.v0, r.v1);
                addNode(p);
                crossingsSeen_ = true;
            }
        }
    // Edges: cell sides and pieces, split at the nodes lying on them.
    std::vector<std::pair<int, int>> edges;
    std::vector<std::pair<double, int>> on;
    auto splitInto = [&](int a, int b) {
        std::sort(on.begin(), on.end());
        int prev = a;
        for (auto& [t, n] : on) {
            if (n != prev) edges.push_back({std::min(prev, n), std::max(prev, n)});
            prev = n;
        }
        if (prev != b) edges.push_back({std::min(prev, b), std::max(prev, b)});
    };
    for (int side = 0; side < 4; ++side) {
        int a = side, b = (side + 1) % 4;
        on.clear();
        for (size_t k = 4; k < nodes.size(); ++k) {
            const CNode& c = nodes[k];
            bool hit = false;
            double t = 0;
            switch (side) {
                case 0: hit = c.p.v == r.v0; t = c.x; break;
                case 1: hit = c.p.u == r.u1; t = c.y; break;
                case 2: hit = c.p.v == r.v1; t = 1 - c.x; break;
                case 3: hit = c.p.u == r.u0; t = 1 - c.y; break;
            }
            if (hit) on.push_back({t, int(k)});
        }
        splitInto(a, b);
    }
    for (auto [a, b] : pieces) {
        on.clear();
        const CNode &A = nodes[size_t(a)], &B = nodes[size_t(b)];
        double dx = B.x - A.x, dy = B.y - A.y, len2 = dx * dx + dy * dy;
        for (size_t k = 0; k < nodes.size(); ++k) {
            if (int(k) == a || int(k) == b) continue;
            const CNode& c = nodes[k];
            double t = ((c.x - A.x) * dx + (c.y - A.y) * dy) / len2;
            if (!(t > 0 && t < 1)) continue;
            double ex = A.x + t * dx - c.x, ey = A.y + t * dy - c.y;
            if (ex * ex + ey * ey <= eps * eps * 4) on.push_back({t, int(k)});
        }
        splitInto(a, b);
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    // Drop dangling edges.
    size_t nn = nodes.size();
    std::vector<int> degree(nn, 0);
    std::vector<uint8_t> alive(edges.size(), 1);
    for (auto [a, b] : edges) ++degree[size_t(a)], ++degree[size_t(b)];
    for (bool again = true; again;) {
        again = false;
        for (size_t e = 0; e < edges.size(); ++e)
            if (alive[e] && (degree[size_t(edges[e].first)] < 2 || degree[size_t(edges[e].second)] < 2)) {
                alive[e] = 0;
                --degree[size_t(edges[e].first)];
                --degree[size_t(edges[e].second)];
                again = true;
            }
    }
    // Half-edges, sorted by angle around each node.
    std::vector<std::vector<std::pair<double, int>>> out(nn);
    auto dest = [&](int h) { return h & 1 ? edges[size_t(h >> 1)].first : edges[size_t(h >> 1)].second; };
    auto orig = [&](int h) { return h & 1 ? edges[size_t(h >> 1)].second : edges[size_t(h >> 1)].first; };
    for (size_t e = 0; e < edges.size(); ++e) {
        if (!alive[e]) continue;
        for (int side = 0; side < 2; ++side) {
            int h = int(2 * e) + side;
            const CNode &A = nodes[size_t(orig(h))], &B = nodes[size_t(dest(h))];
            out[size_t(orig(h))].push_back({stablemath::atan2(B.y - A.y, B.x - A.x), h});
        }
    }
    std::vector<int> posInNode(2 * edges.size(), -1);
    for (size_t n = 0; n < nn; ++n) {
        std::sort(out[n].begin(), out[n].end());
        for (size_t k = 0; k < out[n].size(); ++k) posInNode[size_t(out[n][k].second)] = int(k);
    }
    // Components (union-find over nodes).
    std::vector<int> parent(nn);
    for (size_t n = 0; n < nn; ++n) parent[n] = int(n);
    auto find = [&](int x) {
        while (parent[size_t(x)] != x) x = parent[size_t(x)] = parent[size_t(parent[size_t(x)])];
        return x;
    };
    for (size_t e = 0; e < edges.size(); ++e)
        if (alive[e]) parent[size_t(find(edges[e].first))] = find(edges[e].second);
    struct Cycle {
        std::vector<int> nodes;
        double area;
        int comp;
    };
    std::vector<Cycle> faces, holes;
    std::vector<uint8_t> seen(2 * edges.size(), 0);
    int cornerComp = find(0);
    for (size_t h0 = 0; h0 < 2 * edges.size(); ++h0) {
        if (!alive[h0 >> 1] || seen[h0]) continue;
        Cycle c;
        int h = int(h0);
        size_t guard = 0;
        while (!seen[size_t(h)] && guard++ <= 2 * edges.size()) {
            seen[size_t(h)] = 1;
            c.nodes.push_back(orig(h));
            int b = dest(h);
            int twin = h ^ 1;
            const auto& list = out[size_t(b)];
            int k = posInNode[size_t(twin)];
            h = list[size_t((k - 1 + int(list.size())) % int(list.size()))].second;
        }
        double area = 0;
        for (size_t k = 0; k < c.nodes.size(); ++k) {
            const CNode &A = nodes[size_t(c.nodes[k])], &B = nodes[size_t(c.nodes[(k + 1) % c.nodes.size()])];
            area += A.x * B.y - B.x * A.y;
        }
        c.area = 0.5 * area;
        c.comp = find(c.nodes.front());
        if (c.area > 0) faces.push_back(std::move(c));
        else if (c.area < 0 && c.comp != cornerComp) holes.push_back(std::move(c));
    }
    auto pointInCycle = [&](double x, double y, const Cycle& c) {
        bool in = false;
        for (size_t k = 0, m = c.nodes.size(); k < m; ++k) {
            const CNode &A = nodes[size_t(c.nodes[k])], &B = nodes[size_t(c.nodes[(k + 1) % m])];
            if ((A.y > y) != (B.y > y) && A.x + (y - A.y) * (B.x - A.x) / (B.y - A.y) < x) in = !in;
        }
        return in;
    };
    std::vector<std::vector<size_t>> faceHoles(faces.size());
    for (size_t hI = 0; hI < holes.size(); ++hI) {
        const CNode& p = nodes[size_t(holes[hI].nodes.front())];
        size_t best = faces.size();
        for (size_t f = 0; f < faces.size(); ++f)
            if (faces[f].comp != holes[hI].comp && pointInCycle(p.x, p.y, faces[f]) &&
                (best == faces.size() || faces[f].area < faces[best].area))
                best = f;
        if (best < faces.size()) faceHoles[best].push_back(hI);
    }
    std::vector<MeshVec> corners;
    std::vector<uint32_t> loopSizes, triOut;
    std::vector<int> cornerNodes;
    for (size_t f = 0; f < faces.size(); ++f) {
        corners.clear();
        loopSizes.clear();
        cornerNodes.clear();
        triOut.clear();
        auto addLoop = [&](const Cycle& c) {
            for (int n : c.nodes) {
                corners.push_back({nodes[size_t(n)].x, nodes[size_t(n)].y, 0});
                cornerNodes.push_back(n);
            }
            loopSizes.push_back(uint32_t(c.nodes.size()));
        };
        addLoop(faces[f]);
        for (size_t hI : faceHoles[f]) addLoop(holes[hI]);
        size_t nt = triangulatePolygon(corners, loopSizes, triOut, triScratch_);
        if (nt == 0) continue;
        // Classify by the centroid of the largest triangle.
        double bestArea = 0;
        double cx = 0, cy = 0;
        for (size_t t = 0; t < nt; ++t) {
            const MeshVec &A = corners[triOut[3 * t]], &B = corners[triOut[3 * t + 1]], &C = corners[triOut[3 * t + 2]];
            double a = std::fabs(orient(A.x, A.y, B.x, B.y, C.x, C.y));
            if (a > bestArea) {
                bestArea = a;
                cx = (A.x + B.x + C.x) / 3;
                cy = (A.y + B.y + C.y) / 3;
            }
        }
        if (!(bestArea > 0)) continue;
        UV centre{r.u0 + cx * su, r.v0 + cy * sv};
        if (!insideAt(centre, j)) continue;
        std::vector<int> ids(cornerNodes.size());
        for (size_t k = 0; k < cornerNodes.size(); ++k) {
            int n = cornerNodes[k];
            ids[k] = n == 0 ? cornerNode(i, j) : n == 1 ? cornerNode(i + 1, j) : n == 2 ? cornerNode(i + 1, j + 1)
                   : n == 3 ? cornerNode(i, j + 1) : paramNode(nodes[size_t(n)].p);
        }
        // An ear cut at a corner lying on the segment between its neighbours is
        // a sliver that folds once mapped onto a curved surface: flip it with
        // the triangle across its long side, which keeps the corner in the mesh.
        auto area2 = [&](size_t t) {
            const MeshVec &A = corners[triOut[3 * t]], &B = corners[triOut[3 * t + 1]], &C = corners[triOut[3 * t + 2]];
            return orient(A.x, A.y, B.x, B.y, C.x, C.y);
        };
        auto sliver = [&](size_t t, int& apex) {
            double longest = 0;
            apex = 0;
            for (int k = 0; k < 3; ++k) {
                const MeshVec &A = corners[triOut[3 * t + size_t((k + 1) % 3)]], &B = corners[triOut[3 * t + size_t((k + 2) % 3)]];
                double l2 = (B.x - A.x) * (B.x - A.x) + (B.y - A.y) * (B.y - A.y);
                if (l2 > longest) longest = l2, apex = k;
            }
            return area2(t) <= 1e-9 * longest;
        };
        for (int round = 0; round < 4; ++round) {
            bool flipped = false;
            for (size_t t = 0; t < nt; ++t) {
                int apex;
                if (!sliver(t, apex)) continue;
                uint32_t x = triOut[3 * t + size_t(apex)], a = triOut[3 * t + size_t((apex + 1) % 3)],
                         b = triOut[3 * t + size_t((apex + 2) % 3)];
                for (size_t o = 0; o < nt; ++o) {
                    if (o == t) continue;
                    for (int k = 0; k < 3; ++k) {
                        // The other triangle runs b -> a; y is its third corner.
                        if (triOut[3 * o + size_t(k)] != b || triOut[3 * o + size_t((k + 1) % 3)] != a) continue;
                        uint32_t y = triOut[3 * o + size_t((k + 2) % 3)];
                        uint32_t saveT[3] = {triOut[3 * t], triOut[3 * t + 1], triOut[3 * t + 2]};
                        uint32_t saveO[3] = {triOut[3 * o], triOut[3 * o + 1], triOut[3 * o + 2]};
                        // The quad a y b x (counter-clockwise) split along x-y instead of a-b.
                        triOut[3 * t] = a, triOut[3 * t + 1] = y, triOut[3 * t + 2] = x;
                        triOut[3 * o] = y, triOut[3 * o + 1] = b, triOut[3 * o + 2] = x;
                        int dummy;
                        if (area2(t) > 0 && area2(o) > 0 && !sliver(t, dummy) && !sliver(o, dummy)) {
                            flipped = true;
                        } else {
                            std::copy(saveT, saveT + 3, &triOut[3 * t]);
                            std::copy(saveO, saveO + 3, &triOut[3 * o]);
                        }
                        o = nt;
                        break;
                    }
                }
            }
            if (!flipped) break;
        }
        for (size_t t = 0; t < nt; ++t) {
            if (!(area2(t) > 0)) continue;  // slivers of collinear corners
            emitTriangle(ids[triOut[3 * t]], ids[triOut[3 * t + 1]], ids[triOut[3 * t + 2]]);
        }
    }
}

void Tessellator::assemble() {
    MeshData& m = res_.mesh;
    size_t nt = tris_.size() / 3;
    m.points.resize(3 * vertexPos_.size());
    for (size_t k = 0; k < vertexPos_.size(); ++k) {
        m.points[3 * k] = float(vertexPos_[k].x);
        m.points[3 * k + 1] = float(vertexPos_[k].y);
        m.points[3 * k + 2] = float(vertexPos_[k].z);
    }
    m.faceLoopStart.resize(nt + 1);
    m.loopStart.resize(nt + 1);
    for (size_t f = 0; f <= nt; ++f) {
        m.faceLoopStart[f] = uint32_t(f);
        m.loopStart[f] = uint32_t(3 * f);
    }
    m.faceVertices.resize(tris_.size());
    MeshUVSet set;
    set.name = "map1";
    set.faceVertexUV.resize(tris_.size());
    // uv points and normals only for the parameter nodes that triangles use, in first-use order.
    std::vector<int> uvOf(nodes_.size(), -1);
    double u0 = ev_.domainU().start, du = ev_.domainU().length();
    double v0 = ev_.domainV().start, dv = ev_.domainV().length();
    m.faceVertexNormals.resize(3 * tris_.size());
    for (size_t k = 0; k < tris_.size(); ++k) {
        const Node& n = nodes_[size_t(tris_[k])];
        m.faceVertices[k] = n.vertex;
        int& id = uvOf[size_t(tris_[k])];
        if (id < 0) {
            id = int(set.u.size());
            set.u.push_back(float((n.p.u - u0) / du));
            set.v.push_back(float((n.p.v - v0) / dv));
        }
        set.faceVertexUV[k] = id;
        const MeshVec& nn = n.normal;
        m.faceVertexNormals[3 * k] = float(nn.x);
        m.faceVertexNormals[3 * k + 1] = float(nn.y);
        m.faceVertexNormals[3 * k + 2] = float(nn.z);
    }
    m.uvSets.push_back(std::move(set));
    m.currentUVSet = 0;
    std::vector<uint64_t> keys;
    keys.reserve(tris_.size());
    for (size_t t = 0; t < nt; ++t)
        for (int e = 0; e < 3; ++e) {
            uint32_t a = uint32_t(m.faceVertices[3 * t + size_t(e)]), b = uint32_t(m.faceVertices[3 * t + size_t((e + 1) % 3)]);
            if (a > b) std::swap(a, b);
            keys.push_back(uint64_t(a) << 32 | b);
        }
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    m.edges.resize(2 * keys.size());
    for (size_t e = 0; e < keys.size(); ++e) {
        m.edges[2 * e] = int32_t(keys[e] >> 32);
        m.edges[2 * e + 1] = int32_t(keys[e] & 0xffffffffu);
    }
    m.edgeSmooth.assign(keys.size(), 1);
}

void Tessellator::run() {
    if (params_.format != TessellationParams::StandardFit || params_.polyType != TessellationParams::Triangles)
        res_.warnings.push_back("only the standard fit into triangles is implemented; the surface is tessellated that way");
    std::string why = nurbsSurfaceProblem(s_);
    if (why.empty() && std::max(s_.uDegree, s_.vDegree) > limits().maxNurbsDegree) why = "degree above the limit";
    if (!why.empty()) {
        res_.error = "cannot tessellate the surface: " + why;
        return;
    }
    double diag = ev_.diagonal();
    tol_ = params_.fitTolerance > 0 ? params_.fitTolerance * diag : 0.0025 * diag;
    if (params_.absoluteTolerance > 0) tol_ = std::min(tol_, params_.absoluteTolerance);
    if (!(tol_ > 0)) tol_ = 1e-300;  // a surface collapsed to one point: nothing to refine
    if (!fitGrid()) return;
    size_t nu = U_.size() - 1, nv = V_.size() - 1;
    detectWelds();
    basisU_.resize(nu + 1);
    basisV_.resize(nv + 1);
    for (size_t i = 0; i <= nu; ++i) ev_.basisU(U_[i], basisU_[i], true);
    for (size_t j = 0; j <= nv; ++j) ev_.basisV(V_[j], basisV_[j], true);
    gridNode_.assign((nu + 1) * (nv + 1), -1);
    gridVertex_.assign((nu + 1) * (nv + 1), -1);
    nodes_.reserve((nu + 1) * (nv + 1));
    vertexPos_.reserve((nu + 1) * (nv + 1));
    size_t maxFaces = size_t(faceAllowance());
    tris_.reserve(6 * nu * nv);
    if (ts_.regions.empty()) {
        for (size_t j = 0; j < nv; ++j)
            for (size_t i = 0; i < nu; ++i) wholeCell(i, j);
    } else {
        buildLoops();
        bucketSegments();
        std::vector<std::pair<double, int>> crossings;
        size_t cs = 0;
        for (size_t j = 0; j < nv; ++j) {
            // Row sweep for the cells no boundary touches: parity at the row's middle line.
            double vc = 0.5 * (V_[j] + V_[j + 1]);
            crossings.clear();
            for (uint32_t s : rowSegs_[j]) {
                const Segment& g = segs_[s];
                if ((g.a.v > vc) != (g.b.v > vc))
                    crossings.push_back({g.a.u + (vc - g.a.v) * (g.b.u - g.a.u) / (g.b.v - g.a.v), g.loop});
            }
            std::sort(crossings.begin(), crossings.end());
            std::fill(parity_.begin(), parity_.end(), 0);
            size_t next = 0;
            bool in = membership(parity_), dirty = false;
            for (size_t i = 0; i < nu; ++i) {
                uint64_t cell = uint64_t(j) * nu + i;
                while (cs < cellSegs_.size() && cellSegs_[cs].first < cell) ++cs;
                size_t ce = cs;
                while (ce < cellSegs_.size() && cellSegs_[ce].first == cell) ++ce;
                if (ce > cs) {
                    std::vector<uint32_t> list;
                    list.reserve(ce - cs);
                    for (size_t k = cs; k < ce; ++k) list.push_back(cellSegs_[k].second);
                    std::vector<uint8_t> saved = parity_;
                    // Cutting a cell costs the square of the boundary pieces in
                    // it: a cell crowded beyond reason (a trim curve of
                    // millions of points over one flat span) is kept or dropped
                    // whole by its centre instead of hanging the load.
                    if (list.size() > kMaxCellSegments) {
                        crowdedCells_ = true;
                        if (insideAt({0.5 * (U_[i] + U_[i + 1]), 0.5 * (V_[j] + V_[j + 1])}, j)) wholeCell(i, j);
                    } else {
                        boundaryCell(i, j, list.data(), list.size());
                    }
                    parity_ = saved;
                    cs = ce;
                } else {
                    double uc = 0.5 * (U_[i] + U_[i + 1]);
                    while (next < crossings.size() && crossings[next].first < uc) {
                        parity_[size_t(crossings[next].second)] ^= 1;
                        ++next;
                        dirty = true;
                    }
                    if (dirty) {
                        in = membership(parity_);
                        dirty = false;
                    }
                    if (in) wholeCell(i, j);
                }
                if (tris_.size() / 3 > maxFaces) break;
            }
            if (tris_.size() / 3 > maxFaces) break;
        }
        if (crowdedCells_)
            res_.warnings.push_back("trim boundaries too detailed for the surface's cells: some cells are kept or "
                                    "dropped whole");
        if (crossingsSeen_)
            res_.warnings.push_back("trim boundaries cross each other; the even-odd rule decides what is kept");
    }
    if (tris_.size() / 3 > maxFaces) {
        res_.error = "the tessellation exceeds the limit of " + std::to_string(maxFaces) + " triangles";
        tris_.clear();
        return;
    }
    if (tris_.empty()) res_.warnings.push_back("the surface has no area to tessellate");
    assemble();
}

}  // namespace

TessellationResult tessellateSurface(const TrimmedSurface& surface, const TessellationParams& params) {
    TessellationResult res;
    Tessellator t(surface, params, res);
    t.run();
    if (!res.error.empty()) res.mesh = MeshData{};
    return res;
}

}  // namespace mayahost
