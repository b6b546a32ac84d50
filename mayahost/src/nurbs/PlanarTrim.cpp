#include "nurbs/PlanarTrim.h"

#include "nurbs/NurbsEval.h"

#include <algorithm>
#include <cmath>

namespace mayahost {
namespace {

// A closed chain of curves, each taken forwards or backwards.
struct Loop {
    std::vector<NurbsCurve> curves;
    std::vector<MeshVec> samples;  // points along the loop, for its area and plane
};

MeshVec start(const NurbsCurve& c) { return curvePoint(c, curveDomain(c).start); }
MeshVec end(const NurbsCurve& c) { return curvePoint(c, curveDomain(c).end); }

// Chains the curves into loops; false when a chain does not close.
bool chain(std::vector<NurbsCurve> curves, double tolerance, std::vector<Loop>& loops) {
    while (!curves.empty()) {
        Loop loop;
        loop.curves.push_back(std::move(curves.front()));
        curves.erase(curves.begin());
        while ((end(loop.curves.back()) - start(loop.curves.front())).length() > tolerance) {
            const MeshVec tail = end(loop.curves.back());
            auto next = std::find_if(curves.begin(), curves.end(), [&](const NurbsCurve& c) {
                return (start(c) - tail).length() <= tolerance || (end(c) - tail).length() <= tolerance;
            });
            if (next == curves.end()) return false;
            if ((start(*next) - tail).length() > tolerance) reverseCurve(*next);
            loop.curves.push_back(std::move(*next));
            curves.erase(next);
        }
        for (const NurbsCurve& c : loop.curves) {
            const NurbsRange d = curveDomain(c);
            const int steps = 8 * std::max<int>(1, int(c.numCVs()));
            for (int i = 0; i < steps; ++i) loop.samples.push_back(curvePoint(c, d.start + d.length() * i / steps));
        }
        loops.push_back(std::move(loop));
    }
    return true;
}

// Newell's sum: twice the loop's vector area.
MeshVec vectorArea(const std::vector<MeshVec>& p) {
    MeshVec n{0, 0, 0};
    for (size_t i = 0; i < p.size(); ++i) {
        const MeshVec& a = p[i];
        const MeshVec& b = p[(i + 1) % p.size()];
        n = n + MeshVec{(a.y - b.y) * (a.z + b.z), (a.z - b.z) * (a.x + b.x), (a.x - b.x) * (a.y + b.y)};
    }
    return n;
}

}  // namespace

std::string planarTrimSurface(const std::vector<NurbsCurve>& curves, TrimmedSurface& out) {
    if (curves.empty()) return "it has no curves";
    MeshVec lo{1e300, 1e300, 1e300}, hi{-1e300, -1e300, -1e300};
    for (size_t i = 0; i < curves.size(); ++i) {
        if (std::string why = nurbsCurveProblem(curves[i]); !why.empty())
            return "curve " + std::to_string(i) + ": " + why;
        for (size_t k = 0; k + 3 < curves[i].cvs.size(); k += 4) {
            const double* cv = &curves[i].cvs[k];
            lo = {std::min(lo.x, cv[0]), std::min(lo.y, cv[1]), std::min(lo.z, cv[2])};
            hi = {std::max(hi.x, cv[0]), std::max(hi.y, cv[1]), std::max(hi.z, cv[2])};
        }
    }
    const double diagonal = (hi - lo).length();
    if (!(diagonal > 0) || !std::isfinite(diagonal)) return "its curves enclose no area";
    std::vector<Loop> loops;
    if (!chain(curves, 1e-4 * diagonal, loops)) return "its curves do not close into loops";
    std::sort(loops.begin(), loops.end(), [](const Loop& a, const Loop& b) {
        return vectorArea(a.samples).length() > vectorArea(b.samples).length();
    });
    MeshVec n = vectorArea(loops.front().samples);
    if (!(n.length() > 1e-12 * diagonal * diagonal)) return "its curves enclose no area";
    n = n * (1.0 / n.length());
    const MeshVec origin = loops.front().samples.front();
    for (const NurbsCurve& c : curves)
        for (size_t k = 0; k + 3 < c.cvs.size(); k += 4) {
            const MeshVec p{c.cvs[k], c.cvs[k + 1], c.cvs[k + 2]};
            if (std::fabs((p - origin).dot(n)) > 1e-3 * diagonal) return "its curves do not lie in one plane";
        }
    MeshVec eu = std::fabs(n.x) < 0.9 ? MeshVec{1, 0, 0} : MeshVec{0, 1, 0};
    eu = eu - n * eu.dot(n);
    eu = eu * (1.0 / eu.length());
    const MeshVec ev{n.y * eu.z - n.z * eu.y, n.z * eu.x - n.x * eu.z, n.x * eu.y - n.y * eu.x};
    // The rectangle the control points span in the plane.
    double s0 = 1e300, s1 = -1e300, t0 = 1e300, t1 = -1e300;
    for (const NurbsCurve& c : curves)
        for (size_t k = 0; k + 3 < c.cvs.size(); k += 4) {
            const MeshVec p = MeshVec{c.cvs[k], c.cvs[k + 1], c.cvs[k + 2]} - origin;
            s0 = std::min(s0, p.dot(eu)), s1 = std::max(s1, p.dot(eu));
            t0 = std::min(t0, p.dot(ev)), t1 = std::max(t1, p.dot(ev));
        }
    if (!(s1 - s0 > 1e-12 * diagonal) || !(t1 - t0 > 1e-12 * diagonal)) return "its curves enclose no area";

    TrimmedSurface result;
    NurbsSurface& s = result.surface;
    s.uDegree = s.vDegree = 1;
    s.uKnots = s.vKnots = {0.0, 1.0};
    s.numU = s.numV = 2;
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) {
            const MeshVec p = origin + eu * (i ? s1 : s0) + ev * (j ? t1 : t0);
            s.cvs.insert(s.cvs.end(), {p.x, p.y, p.z, 1.0});
        }
    TrimRegion region;
    for (const Loop& loop : loops) {
        TrimBoundary boundary;
        for (NurbsCurve c : loop.curves) {
            for (size_t k = 0; k + 3 < c.cvs.size(); k += 4) {
                const MeshVec p = MeshVec{c.cvs[k], c.cvs[k + 1], c.cvs[k + 2]} - origin;
                c.cvs[k] = (p.dot(eu) - s0) / (s1 - s0);
                c.cvs[k + 1] = (p.dot(ev) - t0) / (t1 - t0);
                c.cvs[k + 2] = 0.0;
            }
            c.dimension = 2;
            boundary.curves.push_back(std::move(c));
        }
        region.boundaries.push_back(std::move(boundary));
    }
    result.regions.push_back(std::move(region));
    if (std::string why = nurbsSurfaceProblem(s); !why.empty()) return "its result is no valid surface (" + why + ")";
    out = std::move(result);
    return {};
}

}  // namespace mayahost
