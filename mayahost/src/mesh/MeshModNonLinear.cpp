// The cluster and nonLinear deformers: points moved through the handle's space.

#include "common/platform/StableMath.h"
#include "mesh/MeshModNonLinear.h"

#include "mesh/MeshModUtil.h"

#include <algorithm>
#include <cmath>

namespace mayahost {
namespace {

using meshmod::addWarning;

constexpr double kTwoPi = 6.28318530717958647692;

struct Vec3 {
    double x, y, z;
};

// Row vector times an affine matrix; the stand-in's matrices are affine
// (finite, last column checked by the caller where it matters).
Vec3 apply(const MMatrix& m, const Vec3& p) {
    return {p.x * m.matrix[0][0] + p.y * m.matrix[1][0] + p.z * m.matrix[2][0] + m.matrix[3][0],
            p.x * m.matrix[0][1] + p.y * m.matrix[1][1] + p.z * m.matrix[2][1] + m.matrix[3][1],
            p.x * m.matrix[0][2] + p.y * m.matrix[1][2] + p.z * m.matrix[2][2] + m.matrix[3][2]};
}

bool invertible(const MMatrix& m) { return meshmod::isFiniteMatrix(m) && !m.isSingular(); }

// The per-vertex weight of a weightGeometryFilter: 1 where the list says nothing.
double weightOf(const std::vector<std::optional<float>>& weights, size_t v) {
    return v < weights.size() && weights[v] ? double(*weights[v]) : 1.0;
}

// Moves every member vertex from its point p toward target(p) by envelope *
// weight; a vertex whose weight or target is not finite keeps its point.
template <class Target>
void blendPoints(std::vector<double>& points, double envelope, const std::vector<std::optional<float>>& weights,
                 const std::optional<std::vector<int32_t>>& members, const char* node, std::string* warning,
                 Target target) {
    const size_t n = points.size() / 3;
    std::vector<uint8_t> member = meshmod::memberMask(members, n, node, warning);
    size_t badWeight = 0, badPoint = 0;
    for (size_t v = 0; v < n; ++v) {
        if (!member[v]) continue;
        const double w = envelope * weightOf(weights, v);
        if (!std::isfinite(w)) {
            ++badWeight;
            continue;
        }
        if (w == 0) continue;
        double* p = &points[3 * v];
        const Vec3 to = target(Vec3{p[0], p[1], p[2]});
        const double next[3] = {p[0] + w * (to.x - p[0]), p[1] + w * (to.y - p[1]), p[2] + w * (to.z - p[2])};
        if (!std::isfinite(next[0]) || !std::isfinite(next[1]) || !std::isfinite(next[2]) ||
            std::fabs(next[0]) > 3e38 || std::fabs(next[1]) > 3e38 || std::fabs(next[2]) > 3e38) {
            ++badPoint;
            continue;
        }
        std::copy(next, next + 3, p);
    }
    if (weights.size() > n)
        addWarning(warning, std::string(node) + ": weights for " + std::to_string(weights.size() - n) +
                                " vertices beyond the mesh's " + std::to_string(n) + " were ignored");
    if (badWeight)
        addWarning(warning, std::string(node) + ": " + std::to_string(badWeight) + " non-finite weights, their vertices kept");
    if (badPoint)
        addWarning(warning, std::string(node) + ": " + std::to_string(badPoint) +
                                " vertices sent beyond float range kept their points");
}

}  // namespace

// --- cluster ------------------------------------------------------------------

MeshData applyCluster(const MeshData& in, const ClusterParams& params, std::string* warning) {
    if (!meshmod::usableMesh(in, "cluster", warning)) return in;
    MeshData out = in;
    std::vector<double> points = meshPoints(in);
    deformCluster(points, params, warning);
    setMeshPoints(out, points);
    return out;
}

void deformCluster(std::vector<double>& points, const ClusterParams& params, std::string* warning) {
    if (!std::isfinite(params.envelope)) {
        addWarning(warning, "cluster: envelope is not a number, geometry passed through");
        return;
    }
    if (!invertible(params.geomMatrix)) {
        addWarning(warning, "cluster: geomMatrix cannot be inverted, geometry passed through");
        return;
    }
    const MMatrix deform = params.relative ? params.weightedMatrix : params.bindPreMatrix * params.matrix;
    if (!meshmod::isFiniteMatrix(deform)) {
        addWarning(warning, "cluster: the handle's matrices are not finite, geometry passed through");
        return;
    }
    // One matrix from object space to object space: the shape's world matrix,
    // the handle's move in world space, and back.
    const MMatrix move = params.geomMatrix * deform * params.geomMatrix.inverse();
    blendPoints(points, params.envelope, params.weights, params.members, "cluster", warning,
                [&](const Vec3& p) { return apply(move, p); });
}

// --- nonLinear ------------------------------------------------------------------

namespace {

double clamp(double v, double lo, double hi) { return std::min(std::max(v, lo), hi); }

// Where y lies between the bounds, 0 at the low bound and 1 at the high one;
// bounds that meet give a step.
double along(double y, double lo, double hi) {
    if (hi - lo <= 0) return y >= hi ? 1.0 : 0.0;
    return (clamp(y, lo, hi) - lo) / (hi - lo);
}

// How much of the amplitude is left at u (0 at the handle's centre, 1 at its
// bounds): a positive dropoff fades away from the centre, a negative one toward it.
double dropoffScale(double dropoff, double u) {
    u = clamp(u, 0.0, 1.0);
    return dropoff >= 0 ? 1.0 - dropoff * u : 1.0 + dropoff * (1.0 - u);
}

double smoothstep(double s) { return s * s * (3 - 2 * s); }

Vec3 bend(const NonLinearParams& p, Vec3 h) {
    const double c = p.curvature;
    if (std::fabs(c) < 1e-12) return h;
    const double yc = clamp(h.y, p.lowBound, p.highBound);
    const double beyond = h.y - yc;
    // The Y axis becomes an arc of radius 1/c about the point (1/c, 0): a
    // positive curvature bends toward +X. A point's distance from the axis
    // becomes its distance from the arc; beyond the bounds it goes on along
    // the arc's tangent.
    const double r = 1.0 / c, theta = c * yc;
    const double s = stablemath::sin(theta), co = stablemath::cos(theta);
    const double dist = r - h.x;
    return {r - dist * co + beyond * s, dist * s + beyond * co, h.z};
}

Vec3 twist(const NonLinearParams& p, Vec3 h) {
    const double t = along(h.y, p.lowBound, p.highBound);
    const double a = p.startAngle + t * (p.endAngle - p.startAngle);
    // A right-handed turn about +Y, as Maya's rotateY turns points.
    const double s = stablemath::sin(a), c = stablemath::cos(a);
    return {h.x * c + h.z * s, h.y, -h.x * s + h.z * c};
}

Vec3 flare(const NonLinearParams& p, Vec3 h) {
    const double t = along(h.y, p.lowBound, p.highBound);
    // The curve bulges the profile between the bounds, most at its middle.
    const double bulge = p.curve * 4 * t * (1 - t);
    const double sx = p.startFlareX + t * (p.endFlareX - p.startFlareX) + bulge;
    const double sz = p.startFlareZ + t * (p.endFlareZ - p.startFlareZ) + bulge;
    return {h.x * sx, h.y, h.z * sz};
}

Vec3 sine(const NonLinearParams& p, Vec3 h) {
    const double yc = clamp(h.y, p.lowBound, p.highBound);
    const double reach = yc >= 0 ? p.highBound : -p.lowBound;
    const double u = reach > 0 ? std::fabs(yc) / reach : 0.0;
    const double amount = p.amplitude * dropoffScale(p.dropoff, u);
    return {h.x + amount * stablemath::sin(kTwoPi * (yc / p.wavelength + p.offset)), h.y, h.z};
}

Vec3 wave(const NonLinearParams& p, Vec3 h) {
    const double r = std::sqrt(h.x * h.x + h.z * h.z);
    const double rc = clamp(r, p.minRadius, p.maxRadius);
    double u = p.maxRadius > p.minRadius ? (rc - p.minRadius) / (p.maxRadius - p.minRadius) : 0.0;
    // The dropoff starts at dropoffPosition of the way out.
    u = p.dropoffPosition < 1 ? clamp((u - p.dropoffPosition) / (1 - p.dropoffPosition), 0.0, 1.0) : 0.0;
    const double amount = p.amplitude * dropoffScale(p.dropoff, u);
    return {h.x, h.y + amount * stablemath::sin(kTwoPi * (rc / p.wavelength + p.offset)), h.z};
}

// The squash's height scale: stretch 1 + factor, squash 1 / (1 - factor), so
// that no factor turns the shape inside out.
double squashScale(double factor) { return factor >= 0 ? 1.0 + factor : 1.0 / (1.0 - factor); }

Vec3 squash(const NonLinearParams& p, Vec3 h) {
    const double yc = clamp(h.y, p.lowBound, p.highBound);
    const double s = squashScale(p.factor);
    const double t = along(h.y, p.lowBound, p.highBound);
    // The bulge rises from the low bound to maxExpandPos and falls to the
    // high bound; the smoothness eases each end into a flat start.
    const double mp = clamp(p.maxExpandPos, 0.01, 0.99);
    double profile;
    if (t <= mp) {
        const double a = t / mp;
        profile = a + clamp(p.startSmoothness, 0.0, 1.0) * (smoothstep(a) - a);
    } else {
        const double a = (1 - t) / (1 - mp);
        profile = a + clamp(p.endSmoothness, 0.0, 1.0) * (smoothstep(a) - a);
    }
    // Volume kept by the sideways scale 1 / sqrt(s), reached at the bulge's top
    // with expand 1.
    const double side = 1.0 + p.expand * profile * (1.0 / std::sqrt(s) - 1.0);
    return {h.x * side, yc * s + (h.y - yc), h.z * side};
}

Vec3 deformInHandle(const NonLinearParams& p, const Vec3& h) {
    switch (p.kind) {
    case NonLinearKind::Bend: return bend(p, h);
    case NonLinearKind::Flare: return flare(p, h);
    case NonLinearKind::Sine: return sine(p, h);
    case NonLinearKind::Squash: return squash(p, h);
    case NonLinearKind::Twist: return twist(p, h);
    case NonLinearKind::Wave: return wave(p, h);
    }
    return h;
}

// Empty when the parameters can be used, else why not.
std::string badParameters(NonLinearParams& p) {
    const double values[] = {p.lowBound,  p.highBound, p.curvature,   p.startFlareX,    p.startFlareZ,
                             p.endFlareX, p.endFlareZ, p.curve,       p.amplitude,      p.wavelength,
                             p.offset,    p.dropoff,   p.minRadius,   p.maxRadius,      p.factor,
                             p.expand,    p.maxExpandPos, p.startSmoothness, p.endSmoothness, p.startAngle,
                             p.endAngle,  p.dropoffPosition};
    for (double v : values)
        if (!std::isfinite(v) || std::fabs(v) > 1e12) return "a parameter is not a usable number";
    if ((p.kind == NonLinearKind::Sine || p.kind == NonLinearKind::Wave) && std::fabs(p.wavelength) < 1e-6)
        return "wavelength " + std::to_string(p.wavelength) + " is too small";
    return {};
}

}  // namespace

MeshData applyNonLinear(const MeshData& in, const NonLinearParams& params, std::string* warning) {
    if (!meshmod::usableMesh(in, "nonLinear", warning)) return in;
    MeshData out = in;
    std::vector<double> points = meshPoints(in);
    deformNonLinear(points, params, warning);
    setMeshPoints(out, points);
    return out;
}

void deformNonLinear(std::vector<double>& points, const NonLinearParams& params, std::string* warning) {
    NonLinearParams p = params;
    if (!std::isfinite(p.envelope)) {
        addWarning(warning, "nonLinear: envelope is not a number, geometry passed through");
        return;
    }
    if (std::string why = badParameters(p); !why.empty()) {
        addWarning(warning, "nonLinear: " + why + ", geometry passed through");
        return;
    }
    if (!invertible(p.matrix)) {
        addWarning(warning, "nonLinear: the handle's matrix cannot be inverted, geometry passed through");
        return;
    }
    if (!invertible(p.geomMatrix)) {
        addWarning(warning, "nonLinear: the shape's world matrix cannot be inverted, geometry passed through");
        return;
    }
    if (p.lowBound > p.highBound) {
        addWarning(warning, "nonLinear: lowBound is above highBound, the two swapped");
        std::swap(p.lowBound, p.highBound);
    }
    if (p.minRadius > p.maxRadius) {
        addWarning(warning, "nonLinear: minRadius is above maxRadius, the two swapped");
        std::swap(p.minRadius, p.maxRadius);
    }
    const MMatrix toHandle = p.geomMatrix * p.matrix.inverse();
    const MMatrix fromHandle = p.matrix * p.geomMatrix.inverse();
    blendPoints(points, p.envelope, p.weights, p.members, "nonLinear", warning,
                [&](const Vec3& point) { return apply(fromHandle, deformInHandle(p, apply(toHandle, point))); });
}

}  // namespace mayahost
