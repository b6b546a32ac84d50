#include "nurbs/Attach.h"

#include "nurbs/KnotOps.h"

#include <algorithm>
#include <cmath>

namespace mayahost {
namespace {

double scaleOf(const NurbsSurface& a, const NurbsSurface& b) {
    double m = 0;
    for (const NurbsSurface* s : {&a, &b})
        for (size_t i = 0; i + 3 < s->cvs.size(); i += 4)
            for (size_t c = 0; c < 3; ++c) m = std::max(m, std::fabs(s->cvs[i + c]));
    return m;
}

// Largest distance between the Cartesian points of two homogeneous rows.
double rowDistance(const double* a, const double* b, size_t width) {
    double d = 0;
    for (size_t i = 0; i + 3 < width; i += 4) {
        double sq = 0;
        for (size_t c = 0; c < 3; ++c) {
            const double x = a[i + 3] != 0 ? a[i + c] / a[i + 3] : 0, y = b[i + 3] != 0 ? b[i + c] / b[i + 3] : 0;
            sq += (x - y) * (x - y);
        }
        d = std::max(d, std::sqrt(sq));
    }
    return d;
}

// Length of the strip's first span inside its domain (its last when `atEnd`).
double endSpan(const Strip& s, bool atEnd) {
    const size_t p = size_t(s.degree);
    if (atEnd) {
        const double end = stripEnd(s);
        for (size_t k = s.count() - 1; k-- > p - 1;)
            if (s.knots[k] < end) return end - s.knots[k];
    } else {
        const double start = stripStart(s);
        for (size_t k = p; k < s.count(); ++k)
            if (s.knots[k] > start) return s.knots[k] - start;
    }
    return 0;
}

}  // namespace

std::string attachSurfaces(NurbsSurface a, NurbsSurface b, const AttachParams& params, NurbsSurface& out) {
    for (const NurbsSurface* s : {&a, &b})
        if (std::string why = nurbsSurfaceProblem(*s); !why.empty())
            return std::string(s == &a ? "its first" : "its second") + " surface: " + why;
    if (params.swap1) a = transposed(a);
    if (params.swap2) b = transposed(b);
    // The join is made along u; a v attach works on the surfaces turned round.
    if (!params.directionU) a = transposed(a), b = transposed(b);
    if (a.uDegree != b.uDegree || a.vDegree != b.vDegree)
        return "its surfaces have degrees " + std::to_string(a.uDegree) + " x " + std::to_string(a.vDegree) + " and " +
               std::to_string(b.uDegree) + " x " + std::to_string(b.vDegree) + " (raising a degree is not done)";
    const double tolerance = 1e-7 * std::max(1.0, scaleOf(a, b));

    {
        const NurbsSurface ta = transposed(a), tb = transposed(b);
        Strip acrossA = stripAlongU(ta), acrossB = stripAlongU(tb);
        if (params.twist) reverseStrip(acrossB);
        makeStripsCompatible(acrossA, acrossB);
        a = transposed(surfaceFromStrip(acrossA, ta));
        b = transposed(surfaceFromStrip(acrossB, tb));
    }

    Strip A = stripAlongU(a), B = stripAlongU(b);
    if (params.reverse1) reverseStrip(A);
    if (params.reverse2) reverseStrip(B);
    clampStrip(A);
    clampStrip(B);
    const size_t p = size_t(A.degree), w = A.width;
    const bool blend = params.method == 1;
    if (blend && params.blendKnotInsertion) {
        const double f = std::clamp(params.parameter, 1e-6, 1 - 1e-6);
        insertKnot(A, stripEnd(A) - f * endSpan(A, true));
        insertKnot(B, stripStart(B) + f * endSpan(B, false));
    }
    const double* last = A.at(A.count() - 1);
    const double* first = B.at(0);
    const bool apart = rowDistance(last, first, w) > tolerance;

    Strip J{int(p), NurbsForm::Open, A.knots, w, {}};
    J.pts.assign(A.pts.begin(), A.pts.end() - std::ptrdiff_t(w));
    std::vector<size_t> joins;  // Maya index of each join knot's last copy
    double shift = stripEnd(A) - stripStart(B);
    if (!blend && apart) {
        // A straight span between the edges, as long in parameter as the
        // spans beside it on average (Maya's span length is not documented).
        const double length = std::max(0.5 * (endSpan(A, true) + endSpan(B, false)), 1e-9);
        J.pts.insert(J.pts.end(), last, last + w);
        for (size_t k = 1; k < p; ++k)
            for (size_t c = 0; c < w; ++c) J.pts.push_back(last[c] + (first[c] - last[c]) * double(k) / double(p));
        joins.push_back(J.knots.size() - 1);
        shift += length;
        for (double k : B.knots) J.knots.push_back(k + shift);
        joins.push_back(J.knots.size() - B.knots.size() + p - 1);
        J.pts.insert(J.pts.end(), B.pts.begin(), B.pts.end());
    } else {
        const double bias = blend ? std::clamp(params.blendBias, 0.0, 1.0) : 0.5;
        for (size_t c = 0; c < w; ++c) J.pts.push_back((1 - bias) * last[c] + bias * first[c]);
        joins.push_back(J.knots.size() - 1);
        for (size_t k = p; k < B.knots.size(); ++k) J.knots.push_back(B.knots[k] + shift);
        J.pts.insert(J.pts.end(), B.pts.begin() + std::ptrdiff_t(w), B.pts.end());
    }

    if (blend) {
        for (size_t r = 1; r < p; ++r) removeKnot(J, joins.front() - (r - 1), std::clamp(params.blendBias, 0.0, 1.0), 0, true);
    } else if (!params.keepMultipleKnots) {
        // The later join first, so that the earlier one's index still holds.
        for (auto it = joins.rbegin(); it != joins.rend(); ++it)
            for (size_t r = 0; r < p && removeKnot(J, *it - r, 0.5, tolerance, false); ++r) {}
    }

    NurbsSurface s = surfaceFromStrip(J, a);
    if (!params.directionU) s = transposed(s);
    if (std::string why = nurbsSurfaceProblem(s); !why.empty()) return "its result is no valid surface (" + why + ")";
    out = std::move(s);
    return {};
}

}  // namespace mayahost
