// Maya's NURBS primitive creators: the circle arcs every round primitive is
// made of, the revolve that sweeps a profile round the axis, the flat patches
// of plane and cube, the circle curve, and the generic entry the dependency
// graph calls.

#include "nurbs/NurbsCreators.h"
#include "common/platform/StableMath.h"

#include "base/Limits.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <vector>

namespace mayahost {
namespace {

constexpr double kPi = std::numbers::pi;
// Sections chosen from a tolerance stop here, however small the tolerance.
constexpr int kMaxToleranceSections = 1024;

int atLeast(int value, int minimum) { return value < minimum ? minimum : value; }

size_t mul(size_t a, size_t b) {
    if (a != 0 && b > size_t(-1) / a) return size_t(-1);
    return a * b;
}

// Files store 360 degrees, which reaches us as radians with some rounding.
bool fullTurn(double sweep) { return std::fabs(sweep) >= 2.0 * kPi - 1e-6; }

int revolvedDegree(int degree) { return degree <= 1 ? 1 : 3; }

// --- planar curves ----------------------------------------------------------

// A curve in a plane: knots in Maya's convention and control points (a, b).
struct Curve2 {
    int degree = 1;
    NurbsForm form = NurbsForm::Open;
    std::vector<double> knots;
    std::vector<double> a, b;
};

// Maya's knots of an open (clamped) curve of `spans` spans: degree-fold end
// knots, interior knots one apart, all times `scale`.
std::vector<double> clampedKnots(int spans, int degree, double scale) {
    std::vector<double> k;
    k.reserve(size_t(spans) + 2 * size_t(degree) - 1);
    for (int i = 0; i < degree; ++i) k.push_back(0.0);
    for (int i = 1; i < spans; ++i) k.push_back(i * scale);
    for (int i = 0; i < degree; ++i) k.push_back(spans * scale);
    return k;
}

// Where control point i of a clamped uniform curve sits as a fraction of its
// range (the Greville abscissa): control points placed there make the curve
// linear in its parameter, as Maya's planes and cylinders are.
double greville(int i, int spans, int degree) {
    double sum = 0.0;
    for (int k = i + 1; k <= i + degree; ++k) sum += std::clamp(k - degree, 0, spans);
    return sum / degree / spans;
}

// Basis functions N[span-p .. span] at u over textbook knots t.
void basisFuns(const std::vector<double>& t, size_t span, double u, int p, double* N) {
    double left[4], right[4];
    N[0] = 1.0;
    for (int j = 1; j <= p; ++j) {
        left[j] = u - t[span + 1 - j];
        right[j] = t[span + j] - u;
        double saved = 0.0;
        for (int r = 0; r < j; ++r) {
            const double tmp = N[r] / (right[r + 1] + left[j - r]);
            N[r] = saved + right[r + 1] * tmp;
            saved = left[j - r] * tmp;
        }
        N[j] = saved;
    }
}

// The unit-circle arc from angle a0 over `sweep` with `sections` spans,
// through the circle's points at every knot. A full turn is periodic; its
// cubic control points lie at 3 / (2 + cos(step)), control point k at angle
// a0 + (k - 1) * step so that the curve starts at a0. An open cubic arc is
// clamped, with end tangents along the circle as long as one span's chord.
Curve2 circleArc(double a0, double sweep, int sections, int degree) {
    Curve2 c;
    c.degree = degree;
    const bool periodic = fullTurn(sweep);
    if (periodic) sweep = std::copysign(2.0 * kPi, sweep);
    const int n = sections;
    const double step = sweep / n;
    c.form = periodic ? NurbsForm::Periodic : NurbsForm::Open;
    const size_t count = size_t(n) + size_t(degree);
    c.a.resize(count);
    c.b.resize(count);

    if (degree == 1) {
        for (int k = 0; k <= n; ++k) c.knots.push_back(k);
        for (int k = 0; k < n; ++k) {
            c.a[size_t(k)] = stablemath::cos(a0 + k * step);
            c.b[size_t(k)] = stablemath::sin(a0 + k * step);
        }
        c.a[size_t(n)] = periodic ? c.a[0] : stablemath::cos(a0 + sweep);
        c.b[size_t(n)] = periodic ? c.b[0] : stablemath::sin(a0 + sweep);
        return c;
    }
    if (periodic) {
        for (int k = -2; k <= n + 2; ++k) c.knots.push_back(k);
        const double R = 3.0 / (2.0 + stablemath::cos(step));
        for (int k = 0; k < n; ++k) {
            c.a[size_t(k)] = R * stablemath::cos(a0 + (k - 1) * step);
            c.b[size_t(k)] = R * stablemath::sin(a0 + (k - 1) * step);
        }
        for (size_t k = 0; k < 3; ++k) {
            c.a[size_t(n) + k] = c.a[k];
            c.b[size_t(n) + k] = c.b[k];
        }
        return c;
    }

    c.knots = clampedKnots(n, 3, 1.0);
    const double chord = 2.0 * stablemath::sin(std::fabs(step) / 2.0) * (step < 0 ? -1.0 : 1.0);
    const double e0 = a0, e1 = a0 + sweep;
    const size_t last = count - 1;
    c.a[0] = stablemath::cos(e0);
    c.b[0] = stablemath::sin(e0);
    c.a[1] = c.a[0] - stablemath::sin(e0) * chord / 3.0;
    c.b[1] = c.b[0] + stablemath::cos(e0) * chord / 3.0;
    c.a[last] = stablemath::cos(e1);
    c.b[last] = stablemath::sin(e1);
    c.a[last - 1] = c.a[last] + stablemath::sin(e1) * chord / 3.0;
    c.b[last - 1] = c.b[last] - stablemath::cos(e1) * chord / 3.0;
    if (n < 2) return c;

    // Interpolation at the interior knots j = 1 .. n-1 touches control points
    // j, j+1, j+2: a tridiagonal system in the unknown points 2 .. n.
    std::vector<double> t(size_t(n) + 7);
    for (size_t k = 0; k < t.size(); ++k) t[k] = std::clamp(int(k) - 3, 0, n);
    const size_t m = size_t(n) - 1;
    std::vector<double> sub(m), diag(m), sup(m), ra(m), rb(m);
    for (size_t r = 0; r < m; ++r) {
        const int j = int(r) + 1;
        double N[4];
        basisFuns(t, size_t(j) + 3, j, 3, N);
        sub[r] = N[0];
        diag[r] = N[1];
        sup[r] = N[2];
        ra[r] = stablemath::cos(a0 + j * step);
        rb[r] = stablemath::sin(a0 + j * step);
        if (r == 0) {
            ra[r] -= N[0] * c.a[1];
            rb[r] -= N[0] * c.b[1];
        }
        if (r == m - 1) {
            ra[r] -= N[2] * c.a[last - 1];
            rb[r] -= N[2] * c.b[last - 1];
        }
    }
    for (size_t r = 1; r < m; ++r) {
        const double f = sub[r] / diag[r - 1];
        diag[r] -= f * sup[r - 1];
        ra[r] -= f * ra[r - 1];
        rb[r] -= f * rb[r - 1];
    }
    for (size_t r = m; r-- > 0;) {
        if (r + 1 < m) {
            ra[r] -= sup[r] * c.a[r + 3];
            rb[r] -= sup[r] * c.b[r + 3];
        }
        c.a[r + 2] = ra[r] / diag[r];
        c.b[r + 2] = rb[r] / diag[r];
    }
    return c;
}

// A straight profile from (a0, b0) to (a1, b1) whose knots measure `length`
// (falling back to one per span when the length is zero).
Curve2 straightLine(double a0, double b0, double a1, double b1, int spans, int degree, double length) {
    Curve2 c;
    c.degree = degree;
    const double scale = (std::isfinite(length) && length > 0) ? length / spans : 1.0;
    c.knots = clampedKnots(spans, degree, scale);
    for (int i = 0; i < spans + degree; ++i) {
        const double f = greville(i, spans, degree);
        c.a.push_back(a0 + (a1 - a0) * f);
        c.b.push_back(b0 + (b1 - b0) * f);
    }
    return c;
}

// Fewest sections (from `minimum`) whose arc stays within `tolerance` of a
// circle of `radius`: the sagitta for linear, the mid-span deviation of the
// interpolating cubic otherwise.
int toleranceSections(double radius, double sweep, double tolerance, int degree, int minimum) {
    const double r = std::fabs(radius), s = std::fabs(sweep);
    for (int n = minimum; n < kMaxToleranceSections; ++n) {
        const double d = s / n;
        const double error = degree == 1
                                 ? r * (1.0 - stablemath::cos(d / 2.0))
                                 : r * std::fabs(1.0 - 3.0 / (2.0 + stablemath::cos(d)) *
                                                           (2.0 * stablemath::cos(1.5 * d) + 46.0 * stablemath::cos(0.5 * d)) / 48.0);
        if (error <= tolerance) return n;
    }
    return kMaxToleranceSections;
}

int sweepSections(int sections, double sweep, bool useTolerance, double tolerance, double radius, int degree) {
    const int minimum = fullTurn(sweep) ? 3 : 1;
    if (useTolerance && tolerance > 0 && std::isfinite(radius) && radius != 0)
        return toleranceSections(radius, sweep, tolerance, degree, minimum);
    return atLeast(sections, minimum);
}

// --- placing the result -------------------------------------------------------

// Rotation taking +Y onto the unit `to` along the shortest arc; a reversed
// direction turns the build upside down about X (as the polygon creators do).
void rotationFromY(const NurbsVector& to, double (&m)[3][3]) {
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) m[r][c] = r == c ? 1.0 : 0.0;
    const double len = std::sqrt(to.x * to.x + to.y * to.y + to.z * to.z);
    if (!(len > 1e-12) || !std::isfinite(len)) return;
    const double ax = to.x / len, ay = to.y / len, az = to.z / len;
    if (ay < -1.0 + 1e-12) {
        m[1][1] = m[2][2] = -1.0;
        return;
    }
    // Rodrigues with k = y x a (sin(angle) times the unit axis), cos(angle) = ay.
    const double K[3][3] = {{0, ax, 0}, {-ax, 0, -az}, {0, az, 0}};
    const double f = 1.0 / (1.0 + ay);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            double k2 = 0;
            for (int i = 0; i < 3; ++i) k2 += K[r][i] * K[i][c];
            m[r][c] += K[r][c] + k2 * f;
        }
}

void place(std::vector<double>& cvs, const NurbsVector& axis, const NurbsVector& offset) {
    double m[3][3];
    rotationFromY(axis, m);
    for (size_t i = 0; i + 3 < cvs.size(); i += 4) {
        const double x = cvs[i], y = cvs[i + 1], z = cvs[i + 2];
        cvs[i] = m[0][0] * x + m[0][1] * y + m[0][2] * z + offset.x;
        cvs[i + 1] = m[1][0] * x + m[1][1] * y + m[1][2] * z + offset.y;
        cvs[i + 2] = m[2][0] * x + m[2][1] * y + m[2][2] * z + offset.z;
    }
}

// The profile (a = distance from the axis, b = height) swept round Y: u
// follows the profile, v the sweep, cv (u, v) = (a cos, b, a sin).
NurbsSurface revolve(const Curve2& profile, const Curve2& around, const NurbsPrimitiveParams& p) {
    NurbsSurface s;
    s.uDegree = profile.degree;
    s.vDegree = around.degree;
    s.uForm = profile.form;
    s.vForm = around.form;
    s.uKnots = profile.knots;
    s.vKnots = around.knots;
    s.numU = profile.a.size();
    s.numV = around.a.size();
    s.cvs.resize(4 * s.numU * s.numV);
    for (size_t u = 0; u < s.numU; ++u)
        for (size_t v = 0; v < s.numV; ++v) {
            double* cv = s.cv(u, v);
            cv[0] = profile.a[u] * around.a[v];
            cv[1] = profile.b[u];
            cv[2] = profile.a[u] * around.b[v];
            cv[3] = 1.0;
        }
    place(s.cvs, p.axis, p.pivot);
    return s;
}

Curve2 sweepCurve(const NurbsRevolvedParams& p, double radius, int degree) {
    const double sweep = p.endSweep - p.startSweep;
    const int n = sweepSections(p.sections, sweep, p.useTolerance, p.tolerance, radius, degree);
    return circleArc(p.startSweep, sweep, n, degree);
}

size_t revolvedCount(const NurbsRevolvedParams& p, size_t profileCVs, double radius) {
    const int d = revolvedDegree(p.degree);
    const int n = sweepSections(p.sections, p.endSweep - p.startSweep, p.useTolerance, p.tolerance, radius, d);
    return mul(profileCVs, size_t(n) + size_t(d));
}

int torusSpans(const NurbsTorusParams& p, int degree) {
    return sweepSections(p.spans, p.minorSweep, p.useTolerance, p.tolerance, p.radius * p.heightRatio, degree);
}

// --- flat patches ------------------------------------------------------------

// A patch over corner + s * U + t * V for s, t in [0, 1], knots 0 .. patches.
NurbsSurface flatPatch(const NurbsPlaneParams& p, const NurbsVector& corner, const NurbsVector& U,
                       const NurbsVector& V) {
    const int d = std::clamp(p.degree, 1, 7);
    const int nu = atLeast(p.patchesU, 1), nv = atLeast(p.patchesV, 1);
    NurbsSurface s;
    s.uDegree = s.vDegree = d;
    s.uKnots = clampedKnots(nu, d, 1.0);
    s.vKnots = clampedKnots(nv, d, 1.0);
    s.numU = size_t(nu) + size_t(d);
    s.numV = size_t(nv) + size_t(d);
    s.cvs.resize(4 * s.numU * s.numV);
    for (size_t u = 0; u < s.numU; ++u) {
        const double fu = greville(int(u), nu, d);
        for (size_t v = 0; v < s.numV; ++v) {
            const double fv = greville(int(v), nv, d);
            double* cv = s.cv(u, v);
            cv[0] = corner.x + fu * U.x + fv * V.x;
            cv[1] = corner.y + fu * U.y + fv * V.y;
            cv[2] = corner.z + fu * U.z + fv * V.z;
            cv[3] = 1.0;
        }
    }
    place(s.cvs, p.axis, p.pivot);
    return s;
}

}  // namespace

// --- builders -------------------------------------------------------------------

size_t nurbsControlPointCount(const NurbsSphereParams& p) {
    return revolvedCount(p, size_t(atLeast(p.spans, 1)) + size_t(revolvedDegree(p.degree)), p.radius);
}

size_t nurbsControlPointCount(const NurbsCylinderParams& p) {
    return revolvedCount(p, size_t(atLeast(p.spans, 1)) + size_t(revolvedDegree(p.degree)), p.radius);
}

size_t nurbsControlPointCount(const NurbsConeParams& p) {
    return revolvedCount(p, size_t(atLeast(p.spans, 1)) + size_t(revolvedDegree(p.degree)), p.radius);
}

size_t nurbsControlPointCount(const NurbsTorusParams& p) {
    const int d = revolvedDegree(p.degree);
    const double outer = std::fabs(p.radius) + std::fabs(p.radius * p.heightRatio);
    return revolvedCount(p, size_t(torusSpans(p, d)) + size_t(d), outer);
}

size_t nurbsControlPointCount(const NurbsPlaneParams& p) {
    const size_t d = size_t(std::clamp(p.degree, 1, 7));
    return mul(size_t(atLeast(p.patchesU, 1)) + d, size_t(atLeast(p.patchesV, 1)) + d);
}

size_t nurbsControlPointCount(const NurbsCircleParams& p) {
    const int d = revolvedDegree(p.degree);
    return size_t(sweepSections(p.sections, p.sweep, p.useTolerance, p.tolerance, p.radius, d)) + size_t(d);
}

NurbsSurface makeNurbSphere(const NurbsSphereParams& p) {
    const int d = revolvedDegree(p.degree);
    Curve2 profile = circleArc(-kPi / 2, kPi, atLeast(p.spans, 1), d);
    for (size_t i = 0; i < profile.a.size(); ++i) {
        profile.a[i] *= p.radius;
        profile.b[i] *= p.radius;
    }
    return revolve(profile, sweepCurve(p, p.radius, d), p);
}

NurbsSurface makeNurbCylinder(const NurbsCylinderParams& p) {
    const int d = revolvedDegree(p.degree);
    const double h = p.radius * p.heightRatio;
    const Curve2 profile = straightLine(p.radius, -h / 2, p.radius, h / 2, atLeast(p.spans, 1), d, std::fabs(h));
    return revolve(profile, sweepCurve(p, p.radius, d), p);
}

NurbsSurface makeNurbCone(const NurbsConeParams& p) {
    const int d = revolvedDegree(p.degree);
    const double h = p.radius * p.heightRatio;
    const double base = p.useOldInitBehaviour ? 0.0 : -h / 2;
    const Curve2 profile = straightLine(p.radius, base, 0.0, base + h, atLeast(p.spans, 1), d, stablemath::hypot(p.radius, h));
    return revolve(profile, sweepCurve(p, p.radius, d), p);
}

NurbsSurface makeNurbTorus(const NurbsTorusParams& p) {
    const int d = revolvedDegree(p.degree);
    const double minor = p.radius * p.heightRatio;
    // Starts at the lowest point of the minor circle and runs outwards, so
    // that Su x Sv points away from the tube's centre line.
    Curve2 profile = circleArc(-kPi / 2, p.minorSweep, torusSpans(p, d), d);
    for (size_t i = 0; i < profile.a.size(); ++i) {
        profile.a[i] = p.radius + minor * profile.a[i];
        profile.b[i] = minor * profile.b[i];
    }
    return revolve(profile, sweepCurve(p, std::fabs(p.radius) + std::fabs(minor), d), p);
}

NurbsSurface makeNurbPlane(const NurbsPlaneParams& p) {
    const double hx = p.width / 2, hz = p.width * p.lengthRatio / 2;
    return flatPatch(p, {-hx, 0, hz}, {2 * hx, 0, 0}, {0, 0, -2 * hz});
}

NurbsSurface makeNurbCube(const NurbsCubeParams& p, NurbsCubeFace face) {
    const double hx = p.width / 2, hy = p.width * p.heightRatio / 2, hz = p.width * p.lengthRatio / 2;
    // Corner, u and v edges of each face as Maya lays them out.
    switch (face) {
    case NurbsCubeFace::Top:
        return flatPatch(p, {-hx, hy, hz}, {2 * hx, 0, 0}, {0, 0, -2 * hz});
    case NurbsCubeFace::Bottom:
        return flatPatch(p, {-hx, -hy, hz}, {0, 0, -2 * hz}, {2 * hx, 0, 0});
    case NurbsCubeFace::Left:
        return flatPatch(p, {-hx, -hy, hz}, {2 * hx, 0, 0}, {0, 2 * hy, 0});
    case NurbsCubeFace::Right:
        return flatPatch(p, {-hx, -hy, -hz}, {0, 2 * hy, 0}, {2 * hx, 0, 0});
    case NurbsCubeFace::Front:
        return flatPatch(p, {hx, -hy, hz}, {0, 0, -2 * hz}, {0, 2 * hy, 0});
    case NurbsCubeFace::Back:
        break;
    }
    return flatPatch(p, {-hx, -hy, hz}, {0, 2 * hy, 0}, {0, 0, -2 * hz});
}

NurbsCurve makeNurbCircle(const NurbsCircleParams& p) {
    const int d = revolvedDegree(p.degree);
    const int n = sweepSections(p.sections, p.sweep, p.useTolerance, p.tolerance, p.radius, d);
    // About Y the circle is (cos, 0, -sin) from a quarter turn, so that it
    // turns counter-clockwise seen from the normal and starts at -Z.
    const Curve2 arc = circleArc(kPi / 2, p.sweep, n, d);
    NurbsCurve c;
    c.degree = d;
    c.form = arc.form;
    c.knots = arc.knots;
    c.cvs.resize(4 * arc.a.size());
    for (size_t i = 0; i < arc.a.size(); ++i) {
        c.cvs[4 * i] = p.radius * arc.a[i];
        c.cvs[4 * i + 1] = 0.0;
        c.cvs[4 * i + 2] = -p.radius * arc.b[i];
        c.cvs[4 * i + 3] = 1.0;
    }
    place(c.cvs, p.normal, p.center);
    return c;
}

NurbsCurve makeNurbsSquareSide(const NurbsSquareParams& p, int side) {
    // Corners about Y, walked top (+Z), left (-X), bottom (-Z), right (+X).
    const double hx = p.sideLength1 / 2, hz = p.sideLength2 / 2;
    const double corners[5][2] = {{hx, hz}, {-hx, hz}, {-hx, -hz}, {hx, -hz}, {hx, hz}};
    const double* a = corners[side];
    const double* b = corners[side + 1];
    const int degree = std::clamp(p.degree, 1, 7), spans = atLeast(p.spansPerSide, 1);
    const double length = stablemath::hypot(b[0] - a[0], b[1] - a[1]);
    const Curve2 line = straightLine(a[0], a[1], b[0], b[1], spans, degree, length > 0 ? spans : 1.0);
    NurbsCurve c;
    c.degree = degree;
    c.knots = line.knots;
    for (size_t i = 0; i < line.a.size(); ++i) c.cvs.insert(c.cvs.end(), {line.a[i], 0.0, line.b[i], 1.0});
    place(c.cvs, p.normal, p.center);
    return c;
}

std::string makeThreePointArc(const NurbsThreePointArcParams& p, NurbsCurve& out) {
    const double P1[3] = {p.point1.x, p.point1.y, p.point1.z}, P2[3] = {p.point2.x, p.point2.y, p.point2.z},
                 P3[3] = {p.point3.x, p.point3.y, p.point3.z};
    double a[3], b[3], n[3];
    for (int k = 0; k < 3; ++k) a[k] = P2[k] - P1[k], b[k] = P3[k] - P1[k];
    n[0] = a[1] * b[2] - a[2] * b[1], n[1] = a[2] * b[0] - a[0] * b[2], n[2] = a[0] * b[1] - a[1] * b[0];
    const double nn = n[0] * n[0] + n[1] * n[1] + n[2] * n[2];
    const double aa = a[0] * a[0] + a[1] * a[1] + a[2] * a[2], bb = b[0] * b[0] + b[1] * b[1] + b[2] * b[2];
    if (!(nn > 1e-24 * aa * bb) || !std::isfinite(nn)) return "its three points lie on a line";
    // Circumcentre: P1 + (|a|^2 (b x n) + |b|^2 (n x a)) / (2 |n|^2).
    const double bxn[3] = {b[1] * n[2] - b[2] * n[1], b[2] * n[0] - b[0] * n[2], b[0] * n[1] - b[1] * n[0]};
    const double nxa[3] = {n[1] * a[2] - n[2] * a[1], n[2] * a[0] - n[0] * a[2], n[0] * a[1] - n[1] * a[0]};
    double centre[3], e1[3], e2[3];
    for (int k = 0; k < 3; ++k) centre[k] = P1[k] + (aa * bxn[k] + bb * nxa[k]) / (2 * nn);
    double radius = 0;
    for (int k = 0; k < 3; ++k) e1[k] = P1[k] - centre[k], radius += e1[k] * e1[k];
    radius = std::sqrt(radius);
    const double nl = std::sqrt(nn);
    for (int k = 0; k < 3; ++k) e1[k] /= radius;
    // n is the turn from P1 through P2 to P3; e2 = n x e1 points the way the arc goes.
    e2[0] = (n[1] * e1[2] - n[2] * e1[1]) / nl, e2[1] = (n[2] * e1[0] - n[0] * e1[2]) / nl,
    e2[2] = (n[0] * e1[1] - n[1] * e1[0]) / nl;
    double x = 0, y = 0;
    for (int k = 0; k < 3; ++k) x += (P3[k] - centre[k]) * e1[k], y += (P3[k] - centre[k]) * e2[k];
    double sweep = stablemath::atan2(y, x);
    if (sweep <= 0) sweep += 2 * kPi;
    const int degree = revolvedDegree(p.degree);
    const Curve2 arc = circleArc(0.0, std::min(sweep, 2 * kPi - 1e-6), atLeast(p.sections, 1), degree);
    NurbsCurve c;
    c.degree = degree;
    c.form = arc.form;
    c.knots = arc.knots;
    for (size_t i = 0; i < arc.a.size(); ++i)
        for (int k = 0; k <= 3; ++k)
            c.cvs.push_back(k == 3 ? 1.0 : centre[k] + radius * (arc.a[i] * e1[k] + arc.b[i] * e2[k]));
    out = std::move(c);
    return {};
}

NurbsCurve makeNurbCylinderCap(const NurbsCylinderParams& p, bool top) {
    const double h = p.radius * p.heightRatio;
    const double y = top ? h / 2 : -h / 2;
    const double rimX = p.radius * stablemath::cos(p.startSweep), rimZ = p.radius * stablemath::sin(p.startSweep);
    NurbsCurve c;
    c.degree = 1;
    c.knots = {0.0, std::fabs(p.radius) > 0 ? std::fabs(p.radius) : 1.0};
    c.cvs = top ? std::vector<double>{rimX, y, rimZ, 1.0, 0.0, y, 0.0, 1.0}
                : std::vector<double>{0.0, y, 0.0, 1.0, rimX, y, rimZ, 1.0};
    place(c.cvs, p.axis, p.pivot);
    return c;
}

std::string revolveSurface(const NurbsCurve& profile, const RevolveParams& p, NurbsSurface& out) {
    if (std::string why = nurbsCurveProblem(profile); !why.empty()) return "its profile is no valid curve (" + why + ")";
    const double len = std::sqrt(p.axis.x * p.axis.x + p.axis.y * p.axis.y + p.axis.z * p.axis.z);
    if (!(len > 1e-12) || !std::isfinite(len)) return "its axis has no direction";
    const double A[3] = {p.axis.x / len, p.axis.y / len, p.axis.z / len};
    const double sweep = p.endSweep - p.startSweep;
    if (!(std::fabs(sweep) > 1e-9) || !std::isfinite(sweep)) return "its sweep is zero";
    // Each control point as its height on the axis, its radial offset and that offset turned a quarter.
    const size_t n = profile.numCVs();
    std::vector<double> axial(3 * n), radial(3 * n), turned(3 * n);
    double radius = 0;
    for (size_t i = 0; i < n; ++i) {
        const double d[3] = {profile.cvs[4 * i] - p.pivot.x, profile.cvs[4 * i + 1] - p.pivot.y, profile.cvs[4 * i + 2] - p.pivot.z};
        const double h = d[0] * A[0] + d[1] * A[1] + d[2] * A[2];
        for (size_t k = 0; k < 3; ++k) {
            axial[3 * i + k] = h * A[k];
            radial[3 * i + k] = d[k] - h * A[k];
        }
        const double* r = &radial[3 * i];
        // r x A: +X about +Y turns towards +Z, as the primitives turn.
        turned[3 * i] = r[1] * A[2] - r[2] * A[1];
        turned[3 * i + 1] = r[2] * A[0] - r[0] * A[2];
        turned[3 * i + 2] = r[0] * A[1] - r[1] * A[0];
        radius = std::max(radius, std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2]));
    }
    const int d = revolvedDegree(p.degree);
    const int sections = sweepSections(p.sections, sweep, p.useTolerance, p.tolerance, radius, d);
    if (mul(n, size_t(sections) + size_t(d)) > limits().maxMeshFaces)
        return "it would make more than " + std::to_string(limits().maxMeshFaces) + " control points";
    // The arc starts on the radial direction itself: its angles count from the start sweep.
    const Curve2 around = circleArc(0.0, sweep, sections, d);
    const double c0 = stablemath::cos(p.startSweep), s0 = stablemath::sin(p.startSweep);
    NurbsSurface s;
    s.uDegree = profile.degree;
    s.uForm = profile.form;
    s.uKnots = profile.knots;
    s.numU = n;
    s.vDegree = around.degree;
    s.vForm = around.form;
    s.vKnots = around.knots;
    s.numV = around.a.size();
    s.cvs.resize(4 * s.numU * s.numV);
    for (size_t u = 0; u < n; ++u)
        for (size_t v = 0; v < s.numV; ++v) {
            // The arc's point turned by the start sweep.
            const double a = around.a[v] * c0 - around.b[v] * s0, b = around.a[v] * s0 + around.b[v] * c0;
            double* cv = s.cv(u, v);
            const double pivot[3] = {p.pivot.x, p.pivot.y, p.pivot.z};
            for (size_t k = 0; k < 3; ++k) cv[k] = pivot[k] + axial[3 * u + k] + a * radial[3 * u + k] + b * turned[3 * u + k];
            cv[3] = profile.cvs[4 * u + 3];
        }
    if (std::string why = nurbsSurfaceProblem(s); !why.empty()) return "its result is no valid surface (" + why + ")";
    out = std::move(s);
    return {};
}

// --- Generic entry ---------------------------------------------------------------

namespace {

constexpr double kTurn = 2.0 * kPi;

constexpr PolyCreatorAttribute kSphere[] = {
    {"radius", "r", 1},       {"startSweep", "ssw", 0},  {"endSweep", "esw", kTurn},
    {"degree", "d", 3},       {"sections", "s", 8},      {"spans", "nsp", 4},
    {"heightRatio", "hr", 2}, {"useTolerance", "ut", 0}, {"tolerance", "tol", 0.01}};
constexpr PolyCreatorAttribute kCylinder[] = {
    {"radius", "r", 1},       {"startSweep", "ssw", 0},  {"endSweep", "esw", kTurn},
    {"degree", "d", 3},       {"sections", "s", 8},      {"spans", "nsp", 1},
    {"heightRatio", "hr", 2}, {"useTolerance", "ut", 0}, {"tolerance", "tol", 0.01}};
constexpr PolyCreatorAttribute kCone[] = {{"radius", "r", 1},         {"startSweep", "ssw", 0},
                                          {"endSweep", "esw", kTurn}, {"degree", "d", 3},
                                          {"sections", "s", 8},       {"spans", "nsp", 1},
                                          {"heightRatio", "hr", 2},   {"useTolerance", "ut", 0},
                                          {"tolerance", "tol", 0.01}, {"useOldInitBehaviour", "oib", 0}};
constexpr PolyCreatorAttribute kTorus[] = {
    {"radius", "r", 1},         {"startSweep", "ssw", 0},    {"endSweep", "esw", kTurn}, {"degree", "d", 3},
    {"sections", "s", 8},       {"spans", "nsp", 1},         {"heightRatio", "hr", 2},   {"useTolerance", "ut", 0},
    {"tolerance", "tol", 0.01}, {"minorSweep", "msw", kTurn}};
constexpr PolyCreatorAttribute kPlane[] = {
    {"width", "w", 1}, {"lengthRatio", "lr", 1}, {"patchesU", "u", 1}, {"patchesV", "v", 1}, {"degree", "d", 3}};
constexpr PolyCreatorAttribute kCube[] = {{"width", "w", 1},    {"lengthRatio", "lr", 1}, {"heightRatio", "hr", 1},
                                          {"patchesU", "u", 1}, {"patchesV", "v", 1},     {"degree", "d", 3}};
constexpr PolyCreatorAttribute kCircle[] = {
    {"radius", "r", 1},        {"degree", "d", 3},         {"sections", "s", 8},  {"sweep", "sw", kTurn},
    {"useTolerance", "ut", 0}, {"tolerance", "tol", 0.01}, {"fixCenter", "fc", 1}};

constexpr PolyCreatorAttribute kSquare[] = {
    {"sideLength1", "sl1", 1}, {"sideLength2", "sl2", 1}, {"spansPerSide", "sps", 1}, {"degree", "d", 3}};
constexpr PolyCreatorAttribute kThreePointArc[] = {{"sections", "s", 8}, {"degree", "d", 3}};

using Values = CreatorValues;

NurbsVector vectorOf(const Values& v, std::string_view shortName, NurbsVector fallback) {
    double out[3] = {fallback.x, fallback.y, fallback.z};
    v.vector3(shortName, out);
    return {out[0], out[1], out[2]};
}

void readPrimitive(const Values& v, NurbsPrimitiveParams& p) {
    p.axis = vectorOf(v, "ax", p.axis);
    p.pivot = vectorOf(v, "p", p.pivot);
}

void readRevolved(const Values& v, NurbsRevolvedParams& p) {
    readPrimitive(v, p);
    p.radius = v.number("r");
    p.startSweep = v.number("ssw");
    p.endSweep = v.number("esw");
    p.degree = v.integer("d");
    p.sections = v.integer("s");
    p.spans = v.integer("nsp");
    p.heightRatio = v.number("hr");
    p.useTolerance = v.flag("ut");
    p.tolerance = v.number("tol");
}

template <class P>
P revolvedParams(const Values& v) {
    P p;
    readRevolved(v, p);
    return p;
}

NurbsConeParams coneParams(const Values& v) {
    NurbsConeParams p = revolvedParams<NurbsConeParams>(v);
    p.useOldInitBehaviour = v.flag("oib");
    return p;
}

NurbsTorusParams torusParams(const Values& v) {
    NurbsTorusParams p = revolvedParams<NurbsTorusParams>(v);
    p.minorSweep = v.number("msw");
    return p;
}

NurbsCubeParams planeParams(const Values& v) {
    NurbsCubeParams p;
    readPrimitive(v, p);
    p.width = v.number("w");
    p.lengthRatio = v.number("lr");
    p.heightRatio = v.number("hr");
    p.patchesU = v.integer("u");
    p.patchesV = v.integer("v");
    p.degree = v.integer("d");
    return p;
}

// An empty sweep gives a surface with no area; Maya builds nothing either.
const char* sweepProblem(const Values& v) {
    if (std::fabs(v.number("esw") - v.number("ssw")) < 1e-9) return "its start and end sweep are equal";
    return nullptr;
}

// One entry per creator node type: its attributes, its outputs, the control
// points it will make (checked before building) and the build.
struct CreatorKind {
    std::string_view type;
    std::span<const PolyCreatorAttribute> attrs;
    int outputs;
    size_t (*count)(const Values&);
    const char* (*problem)(const Values&);
    NurbsSurface (*build)(const Values&, int output);
};

const CreatorKind kCreators[] = {
    {"makeNurbSphere", kSphere, 1,
     [](const Values& v) { return nurbsControlPointCount(revolvedParams<NurbsSphereParams>(v)); }, sweepProblem,
     [](const Values& v, int) { return makeNurbSphere(revolvedParams<NurbsSphereParams>(v)); }},
    {"makeNurbCylinder", kCylinder, 1,
     [](const Values& v) { return nurbsControlPointCount(revolvedParams<NurbsCylinderParams>(v)); }, sweepProblem,
     [](const Values& v, int) { return makeNurbCylinder(revolvedParams<NurbsCylinderParams>(v)); }},
    {"makeNurbCone", kCone, 1, [](const Values& v) { return nurbsControlPointCount(coneParams(v)); }, sweepProblem,
     [](const Values& v, int) { return makeNurbCone(coneParams(v)); }},
    {"makeNurbTorus", kTorus, 1, [](const Values& v) { return nurbsControlPointCount(torusParams(v)); },
     [](const Values& v) -> const char* {
         if (std::fabs(v.number("msw")) < 1e-9) return "its minor sweep is zero";
         return sweepProblem(v);
     },
     [](const Values& v, int) { return makeNurbTorus(torusParams(v)); }},
    {"makeNurbPlane", kPlane, 1, [](const Values& v) { return nurbsControlPointCount(planeParams(v)); },
     [](const Values&) -> const char* { return nullptr; },
     [](const Values& v, int) { return makeNurbPlane(planeParams(v)); }},
    {"makeNurbCube", kCube, 6, [](const Values& v) { return nurbsControlPointCount(planeParams(v)); },
     [](const Values&) -> const char* { return nullptr; },
     [](const Values& v, int output) { return makeNurbCube(planeParams(v), NurbsCubeFace(output)); }},
};

const CreatorKind* findCreator(std::string_view type) {
    for (const CreatorKind& k : kCreators)
        if (k.type == type) return &k;
    return nullptr;
}

std::string tooLarge(std::string_view type, size_t count) {
    const std::string n = count == size_t(-1) ? std::string("too many") : std::to_string(count);
    return std::string(type) + " would create " + n + " control points, more than the " +
           std::to_string(limits().maxMeshFaces) + " allowed";
}

}  // namespace

const PolyCreatorAttribute* nurbsCreatorAttributes(std::string_view nodeType, size_t& count) {
    if (nodeType == "makeNurbCircle") {
        count = std::size(kCircle);
        return kCircle;
    }
    const CreatorKind* k = findCreator(nodeType);
    count = k ? k->attrs.size() : 0;
    return k ? k->attrs.data() : nullptr;
}

bool isNurbsCreatorType(std::string_view nodeType) { return findCreator(nodeType) != nullptr; }

std::string makeNurbsCreatorSurface(std::string_view nodeType, const PolyAttributeReader& reader, int outputIndex,
                                    NurbsSurface& out) {
    const CreatorKind* k = findCreator(nodeType);
    if (!k) return "node type " + std::string(nodeType) + " is not a NURBS primitive creator";
    if (outputIndex < 0 || outputIndex >= k->outputs)
        return std::string(nodeType) + " has no output surface " + std::to_string(outputIndex);
    const Values v(k->attrs, reader);
    if (const char* why = k->problem(v)) return std::string(nodeType) + " builds nothing: " + why;
    const size_t count = k->count(v);
    if (count > limits().maxMeshFaces) return tooLarge(nodeType, count);
    NurbsSurface s = k->build(v, outputIndex);
    if (std::string why = nurbsSurfaceProblem(s); !why.empty())
        return std::string(nodeType) + " values give no valid surface (" + why + ")";
    out = std::move(s);
    return {};
}

bool isNurbsCurveCreatorType(std::string_view nodeType) {
    return nodeType == "makeNurbCircle" || nodeType == "makeNurbsSquare" || nodeType == "makeThreePointCircularArc";
}

std::string makeNurbCylinderCapCurve(const PolyAttributeReader& reader, bool top, NurbsCurve& out) {
    const Values v(kCylinder, reader);
    NurbsCurve c = makeNurbCylinderCap(revolvedParams<NurbsCylinderParams>(v), top);
    if (std::string why = nurbsCurveProblem(c); !why.empty()) return "makeNurbCylinder values give no valid cap curve (" + why + ")";
    out = std::move(c);
    return {};
}

std::string makeNurbsCreatorCurve(std::string_view nodeType, const PolyAttributeReader& reader, int outputIndex,
                                  NurbsCurve& out) {
    NurbsCurve c;
    if (nodeType == "makeNurbCircle") {
        const Values v(kCircle, reader);
        NurbsCircleParams p;
        p.center = vectorOf(v, "c", p.center);
        p.normal = vectorOf(v, "nr", p.normal);
        p.radius = v.number("r");
        p.degree = v.integer("d");
        p.sections = v.integer("s");
        p.sweep = v.number("sw");
        p.useTolerance = v.flag("ut");
        p.tolerance = v.number("tol");
        if (std::fabs(p.sweep) < 1e-9) return std::string(nodeType) + " builds nothing: its sweep is zero";
        const size_t count = nurbsControlPointCount(p);
        if (count > limits().maxMeshFaces) return tooLarge(nodeType, count);
        c = makeNurbCircle(p);
    } else if (nodeType == "makeNurbsSquare") {
        const Values v(kSquare, reader);
        NurbsSquareParams p;
        p.center = vectorOf(v, "c", p.center);
        p.normal = vectorOf(v, "nr", p.normal);
        p.sideLength1 = v.number("sl1");
        p.sideLength2 = v.number("sl2");
        p.spansPerSide = v.integer("sps");
        p.degree = v.integer("d");
        if (outputIndex < 0 || outputIndex > 3) return std::string(nodeType) + " has no output curve " + std::to_string(outputIndex);
        if (size_t(std::clamp(p.spansPerSide, 1, 1 << 30)) > limits().maxMeshFaces) return tooLarge(nodeType, size_t(p.spansPerSide));
        c = makeNurbsSquareSide(p, outputIndex);
    } else if (nodeType == "makeThreePointCircularArc") {
        const Values v(kThreePointArc, reader);
        NurbsThreePointArcParams p;
        p.point1 = vectorOf(v, "pt1", p.point1);
        p.point2 = vectorOf(v, "pt2", p.point2);
        p.point3 = vectorOf(v, "pt3", p.point3);
        p.sections = v.integer("s");
        p.degree = v.integer("d");
        if (size_t(std::clamp(p.sections, 1, 1 << 30)) > limits().maxMeshFaces) return tooLarge(nodeType, size_t(p.sections));
        if (std::string why = makeThreePointArc(p, c); !why.empty()) return std::string(nodeType) + " builds nothing: " + why;
    } else {
        return "node type " + std::string(nodeType) + " is not a NURBS curve creator";
    }
    if (std::string why = nurbsCurveProblem(c); !why.empty())
        return std::string(nodeType) + " values give no valid curve (" + why + ")";
    out = std::move(c);
    return {};
}

}  // namespace mayahost
