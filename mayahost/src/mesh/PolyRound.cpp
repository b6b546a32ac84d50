// The round creators: sphere, cylinder and prism (one tube builder), cone and
// pyramid (one cone builder), torus and pipe (a closed profile revolved).
//
// All rings follow Maya's angle convention (see poly::ringAngle): vertex j of
// a ring of n at 2*pi*(j+1)/n, the last one on +X.

#include "mesh/PolyCreators.h"
#include "common/platform/StableMath.h"

#include "mesh/PolyBuilder.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace mayahost {

using poly::atLeast;
using poly::Builder;
using poly::ringAngle;

namespace {

constexpr double kPi = std::numbers::pi;

// The cylinder's uv layout: a side band u 0.375..0.625, v 0.3125..top, with
// the caps as circles of radius 0.15625 below and above it. The layout Maya
// used before 2023 ends the band slightly higher and puts the cap centres
// off the circles' centres; scenes saved then hold exactly those values.
struct TubeUVLayout {
    double bandTop;
    double bottomCentreV;
    double topCentreV;
};
constexpr TubeUVLayout kTubeUVsBefore2023{0.68843985, 0.15, 0.8375};
constexpr TubeUVLayout kTubeUVs{0.6875, 0.15625, 0.84375};
constexpr double kCapRadiusUV = 0.15625;
constexpr double kBottomCircleV = 0.15625, kTopCircleV = 0.84375;

struct TubeSpec {
    double radius = 1, height = 2;
    int around = 20, rows = 1, caps = 0;
    bool smoothSides = true;  // edges running up the side
    bool withUVs = true;
    TubeUVLayout uvLayout = kTubeUVsBefore2023;
    PolyAxis axis;
};

// Cylinder and prism: side rings bottom to top, then the inner cap rings
// (bottom cap outside in, top cap outside in), then the two cap centres.
// Faces: the side row by row, the bottom cap, the top cap. A cap without
// subdivisions is one polygon.
MeshData buildTube(const TubeSpec& s) {
    const int n = s.around, sh = s.rows, sc = s.caps;
    const size_t N = size_t(n);
    const size_t inner = sc >= 1 ? size_t(sc - 1) * N : 0;

    poly::Sizes sizes;
    sizes.vertices = N * (sh + 1) + (sc >= 1 ? 2 * inner + 2 : 0);
    sizes.faces = N * sh + (sc >= 1 ? 2 * size_t(sc) * N : 2);
    sizes.faceVertices = 4 * N * sh + (sc >= 1 ? 2 * (4 * inner + 3 * N) : 2 * N);
    sizes.edges = N * (sh + 1) + N * sh + (sc >= 1 ? 2 * (2 * inner + N) : 0);
    sizes.uvs = 2 * N + (N + 1) * (sh + 1) + (sc >= 1 ? 2 * inner + 2 : 0);
    Builder b(sizes, s.withUVs);

    std::vector<double> cosA, sinA;
    poly::unitRing(n, cosA, sinA);
    const double r = s.radius, h = s.height;
    for (int k = 0; k <= sh; ++k) {
        const double y = -h / 2 + k * h / sh;
        for (int j = 0; j < n; ++j) b.point(r * cosA[j], y, -r * sinA[j]);
    }
    for (int cap = 0; cap < 2 && sc >= 1; ++cap)
        for (int i = 1; i < sc; ++i) {
            const double ri = r * double(sc - i) / sc;
            for (int j = 0; j < n; ++j) b.point(ri * cosA[j], cap == 0 ? -h / 2 : h / 2, -ri * sinA[j]);
        }
    const int32_t sideBase = 0, innerBase = int32_t(N * (sh + 1));
    const int32_t centreBottom = innerBase + int32_t(2 * inner), centreTop = centreBottom + 1;
    if (sc >= 1) {
        b.point(0, -h / 2, 0);
        b.point(0, h / 2, 0);
    }
    auto side = [&](int k, int j) { return sideBase + int32_t(k * n + (j % n)); };
    // Ring i of a cap (0 = the rim), j around.
    auto capRing = [&](int cap, int i, int j) {
        if (i == 0) return side(cap == 0 ? 0 : sh, j);
        return innerBase + int32_t(size_t(cap) * inner + size_t(i - 1) * N + size_t(j % n));
    };

    // Uvs: bottom circle, side band, top circle, inner cap rings, centres.
    const TubeUVLayout& L = s.uvLayout;
    const int32_t uvSide = n, uvTop = n + (n + 1) * (sh + 1), uvInner = uvTop + n;
    const int32_t uvCentreBottom = uvInner + int32_t(2 * inner), uvCentreTop = uvCentreBottom + 1;
    if (s.withUVs) {
        for (int j = 0; j < n; ++j)
            b.uv(0.5 + kCapRadiusUV * cosA[j], kBottomCircleV - kCapRadiusUV * sinA[j]);
        for (int k = 0; k <= sh; ++k)
            for (int j = 0; j <= n; ++j)
                b.uv(0.375 + j * 0.25 / n, 0.3125 + double(k) / sh * (L.bandTop - 0.3125));
        for (int j = 0; j < n; ++j)
            b.uv(0.5 + kCapRadiusUV * cosA[j], kTopCircleV - kCapRadiusUV * sinA[j]);
        for (int cap = 0; cap < 2 && sc >= 1; ++cap)
            for (int i = 1; i < sc; ++i) {
                const double ri = kCapRadiusUV * double(sc - i) / sc;
                const double cv = cap == 0 ? kBottomCircleV : kTopCircleV;
                for (int j = 0; j < n; ++j) b.uv(0.5 + ri * cosA[j], cv - ri * sinA[j]);
            }
        if (sc >= 1) {
            b.uv(0.5, L.bottomCentreV);
            b.uv(0.5, L.topCentreV);
        }
    }
    // The top cap is seen from above, so its vertices take the circle's uvs
    // mirrored: vertex j uses the point at angle -angle(j).
    auto mirrored = [n](int j) { return ((n - 2 - j) % n + n) % n; };
    auto capUV = [&](int cap, int i, int j) -> int32_t {
        j %= n;
        if (cap == 0) return i == 0 ? j : uvInner + int32_t(size_t(i - 1) * N + size_t(j));
        const int m = mirrored(j);
        return i == 0 ? uvTop + m : uvInner + int32_t(inner + size_t(i - 1) * N + size_t(m));
    };
    auto sideUV = [&](int k, int j) { return uvSide + int32_t(k * (n + 1) + j); };

    for (int k = 0; k < sh; ++k)
        for (int j = 0; j < n; ++j)
            b.face({side(k, j), side(k, j + 1), side(k + 1, j + 1), side(k + 1, j)},
                   {sideUV(k, j), sideUV(k, j + 1), sideUV(k + 1, j + 1), sideUV(k + 1, j)});
    if (sc == 0) {
        std::vector<int32_t> verts(N), uvs(N);
        for (int j = 0; j < n; ++j) {  // bottom, seen from below
            const int jj = (n - j) % n;
            verts[j] = side(0, jj);
            uvs[j] = capUV(0, 0, jj);
        }
        b.face(verts.data(), uvs.data(), N);
        for (int j = 0; j < n; ++j) {
            verts[j] = side(sh, j);
            uvs[j] = capUV(1, 0, j);
        }
        b.face(verts.data(), uvs.data(), N);
    } else {
        for (int i = 0; i + 1 < sc; ++i)
            for (int j = 0; j < n; ++j)
                b.face({capRing(0, i, j + 1), capRing(0, i, j), capRing(0, i + 1, j), capRing(0, i + 1, j + 1)},
                       {capUV(0, i, j + 1), capUV(0, i, j), capUV(0, i + 1, j), capUV(0, i + 1, j + 1)});
        for (int j = 0; j < n; ++j)
            b.face({capRing(0, sc - 1, j + 1), capRing(0, sc - 1, j), centreBottom},
                   {capUV(0, sc - 1, j + 1), capUV(0, sc - 1, j), uvCentreBottom});
        for (int i = 0; i + 1 < sc; ++i)
            for (int j = 0; j < n; ++j)
                b.face({capRing(1, i, j), capRing(1, i, j + 1), capRing(1, i + 1, j + 1), capRing(1, i + 1, j)},
                       {capUV(1, i, j), capUV(1, i, j + 1), capUV(1, i + 1, j + 1), capUV(1, i + 1, j)});
        for (int j = 0; j < n; ++j)
            b.face({capRing(1, sc - 1, j), capRing(1, sc - 1, j + 1), centreTop},
                   {capUV(1, sc - 1, j), capUV(1, sc - 1, j + 1), uvCentreTop});
    }

    // Edges: the rings bottom to top (the rims hard), the side's vertical
    // edges, then each cap's edges ending with the spokes to its centre.
    for (int k = 0; k <= sh; ++k)
        for (int j = 0; j < n; ++j) b.edge(side(k, j), side(k, j + 1), !(k == 0 || k == sh));
    for (int k = 0; k < sh; ++k)
        for (int j = 0; j < n; ++j) b.edge(side(k, j), side(k + 1, j), s.smoothSides);
    for (int cap = 0; cap < 2 && sc >= 1; ++cap) {
        for (int i = 1; i < sc; ++i)
            for (int j = 0; j < n; ++j) b.edge(capRing(cap, i, j), capRing(cap, i, j + 1), true);
        for (int i = 0; i + 1 < sc; ++i)
            for (int j = 0; j < n; ++j) b.edge(capRing(cap, i, j), capRing(cap, i + 1, j), true);
        for (int j = 0; j < n; ++j) {
            if (cap == 0)
                b.edge(centreBottom, capRing(0, sc - 1, j), true);
            else
                b.edge(capRing(1, sc - 1, j), centreTop, true);
        }
    }
    return b.finish(s.axis);
}

struct ConeSpec {
    double radius = 1, bottom = -1, top = 1;
    int around = 20, rows = 1, caps = 0;
    bool smoothSides = true;  // edges running up to the apex
    bool withUVs = true;
    PolyAxis axis;
};

// Cone and pyramid: side rings from the base up (shrinking towards the apex),
// the apex, then the base's inner rings and centre. Faces: the base, then the
// side row by row ending with the triangles at the apex.
MeshData buildCone(const ConeSpec& s) {
    const int n = s.around, sh = s.rows, sc = s.caps;
    const size_t N = size_t(n);
    const size_t inner = sc >= 1 ? size_t(sc - 1) * N : 0;

    poly::Sizes sizes;
    sizes.vertices = N * sh + 1 + (sc >= 1 ? inner + 1 : 0);
    sizes.faces = N * sh + (sc >= 1 ? size_t(sc) * N : 1);
    sizes.faceVertices = 4 * N * (sh - 1) + 3 * N + (sc >= 1 ? 4 * inner + 3 * N : N);
    sizes.edges = N * sh + N * (sh - 1) + N + (sc >= 1 ? 2 * inner + N : 0);
    sizes.uvs = N + (N + 1) * sh + 1 + (sc >= 1 ? inner + 1 : 0);
    Builder b(sizes, s.withUVs);

    std::vector<double> cosA, sinA;
    poly::unitRing(n, cosA, sinA);
    const double r = s.radius;
    for (int k = 0; k < sh; ++k) {
        const double t = double(k) / sh;
        const double y = s.bottom + t * (s.top - s.bottom), rk = r * (1 - t);
        for (int j = 0; j < n; ++j) b.point(rk * cosA[j], y, -rk * sinA[j]);
    }
    const int32_t apex = b.point(0, s.top, 0);
    for (int i = 1; i < sc; ++i) {
        const double ri = r * double(sc - i) / sc;
        for (int j = 0; j < n; ++j) b.point(ri * cosA[j], s.bottom, -ri * sinA[j]);
    }
    const int32_t centre = sc >= 1 ? b.point(0, s.bottom, 0) : -1;
    auto side = [&](int k, int j) { return int32_t(k * n + (j % n)); };
    auto baseRing = [&](int i, int j) {
        return i == 0 ? side(0, j) : apex + 1 + int32_t(size_t(i - 1) * N + size_t(j % n));
    };

    // Uvs as Maya stores them: the base as a circle in the lower half, the
    // side as a band across the middle, one uv for the apex at the top; then
    // the base's inner rings and centre.
    const int32_t uvSide = n, uvApex = int32_t(N + (N + 1) * sh);
    const int32_t uvInner = uvApex + 1, uvCentre = uvInner + int32_t(inner);
    if (s.withUVs) {
        for (int j = 0; j < n; ++j) b.uv(0.5 + 0.25 * cosA[j], 0.25 - 0.25 * sinA[j]);
        for (int k = 0; k < sh; ++k)
            for (int j = 0; j <= n; ++j) b.uv(0.25 + j * 0.5 / n, 0.5 + 0.5 * double(k) / sh);
        b.uv(0.5, 1.0);
        for (int i = 1; i < sc; ++i) {
            const double ri = 0.25 * double(sc - i) / sc;
            for (int j = 0; j < n; ++j) b.uv(0.5 + ri * cosA[j], 0.25 - ri * sinA[j]);
        }
        if (sc >= 1) b.uv(0.5, 0.25);
    }
    auto sideUV = [&](int k, int j) { return uvSide + int32_t(k * (n + 1) + j); };
    auto baseUV = [&](int i, int j) {
        return i == 0 ? int32_t(j % n) : uvInner + int32_t(size_t(i - 1) * N + size_t(j % n));
    };

    // The base first (seen from below), then the side.
    if (sc == 0) {
        std::vector<int32_t> verts(N), uvs(N);
        for (int j = 0; j < n; ++j) {
            const int jj = (n - j) % n;
            verts[j] = side(0, jj);
            uvs[j] = baseUV(0, jj);
        }
        b.face(verts.data(), uvs.data(), N);
    } else {
        for (int i = 0; i + 1 < sc; ++i)
            for (int j = 0; j < n; ++j)
                b.face({baseRing(i, j + 1), baseRing(i, j), baseRing(i + 1, j), baseRing(i + 1, j + 1)},
                       {baseUV(i, j + 1), baseUV(i, j), baseUV(i + 1, j), baseUV(i + 1, j + 1)});
        for (int j = 0; j < n; ++j)
            b.face({baseRing(sc - 1, j + 1), baseRing(sc - 1, j), centre},
                   {baseUV(sc - 1, j + 1), baseUV(sc - 1, j), uvCentre});
    }
    for (int k = 0; k + 1 < sh; ++k)
        for (int j = 0; j < n; ++j)
            b.face({side(k, j), side(k, j + 1), side(k + 1, j + 1), side(k + 1, j)},
                   {sideUV(k, j), sideUV(k, j + 1), sideUV(k + 1, j + 1), sideUV(k + 1, j)});
    for (int j = 0; j < n; ++j)
        b.face({side(sh - 1, j), side(sh - 1, j + 1), apex}, {sideUV(sh - 1, j), sideUV(sh - 1, j + 1), uvApex});

    for (int k = 0; k < sh; ++k)
        for (int j = 0; j < n; ++j) b.edge(side(k, j), side(k, j + 1), k != 0);
    for (int k = 0; k + 1 < sh; ++k)
        for (int j = 0; j < n; ++j) b.edge(side(k, j), side(k + 1, j), s.smoothSides);
    for (int j = 0; j < n; ++j) b.edge(side(sh - 1, j), apex, s.smoothSides);
    if (sc >= 1) {
        for (int i = 1; i < sc; ++i)
            for (int j = 0; j < n; ++j) b.edge(baseRing(i, j), baseRing(i, j + 1), true);
        for (int i = 0; i + 1 < sc; ++i)
            for (int j = 0; j < n; ++j) b.edge(baseRing(i, j), baseRing(i + 1, j), true);
        for (int j = 0; j < n; ++j) b.edge(centre, baseRing(sc - 1, j), true);
    }
    return b.finish(s.axis);
}

struct ProfilePoint {
    double radius, y;
    bool hardRing;  // the ring through this point is a crease
};

// A closed profile in the (radius, y) half plane, clockwise (up the inside,
// down the outside), revolved around Y: ring after ring, faces ring after
// ring, uvs a grid with a seam in both directions whose rows run from v = 1
// down, as Maya lays out its torus.
MeshData buildRevolved(const std::vector<ProfilePoint>& profile, int around, bool withUVs,
                       const PolyAxis& axis) {
    const int n = around, P = int(profile.size());
    const size_t N = size_t(n);
    poly::Sizes sizes;
    sizes.vertices = N * P;
    sizes.faces = N * P;
    sizes.faceVertices = 4 * sizes.faces;
    sizes.edges = 2 * N * P;
    sizes.uvs = (N + 1) * size_t(P + 1);
    Builder b(sizes, withUVs);

    std::vector<double> cosA, sinA;
    poly::unitRing(n, cosA, sinA);
    for (const ProfilePoint& p : profile)
        for (int j = 0; j < n; ++j) b.point(p.radius * cosA[j], p.y, -p.radius * sinA[j]);
    if (withUVs)
        for (int p = 0; p <= P; ++p)
            for (int j = 0; j <= n; ++j) b.uv(double(j) / n, 1.0 - double(p) / P);
    auto v = [&](int p, int j) { return int32_t((p % P) * n + (j % n)); };
    auto t = [&](int p, int j) { return int32_t(p * (n + 1) + j); };
    for (int p = 0; p < P; ++p)
        for (int j = 0; j < n; ++j)
            b.face({v(p, j + 1), v(p, j), v(p + 1, j), v(p + 1, j + 1)},
                   {t(p, j + 1), t(p, j), t(p + 1, j), t(p + 1, j + 1)});
    for (int p = 0; p < P; ++p)
        for (int j = 0; j < n; ++j) b.edge(v(p, j), v(p, j + 1), !profile[p].hardRing);
    for (int p = 0; p < P; ++p)
        for (int j = 0; j < n; ++j) b.edge(v(p, j), v(p + 1, j), true);
    return b.finish(axis);
}

}  // namespace

// --- polySphere ------------------------------------------------------------
//
// Latitude rings from the bottom up, then the bottom and top poles. Faces:
// quads ring after ring, then the triangles at the bottom pole, then at the
// top. Uvs: one row per ring with a seam column, then one uv per pole
// triangle (sawtooth) or one per pole (pinched). All edges soft.

MeshData makePolySphere(const PolySphereParams& p) {
    const int n = atLeast(p.subdivisionsAxis, 3), sh = atLeast(p.subdivisionsHeight, 2);
    const size_t N = size_t(n), rings = size_t(sh - 1);
    const bool withUVs = p.createUVs != 0, pinched = p.createUVs == 1;
    const size_t poleUVs = pinched ? 1 : N;

    poly::Sizes sizes;
    sizes.vertices = N * rings + 2;
    sizes.faces = N * size_t(sh);
    sizes.faceVertices = 4 * N * (rings - 1) + 6 * N;
    sizes.edges = N * rings + N * (rings - 1) + 2 * N;
    sizes.uvs = (N + 1) * rings + 2 * poleUVs;
    Builder b(sizes, withUVs);

    std::vector<double> cosA, sinA;
    poly::unitRing(n, cosA, sinA);
    const double R = p.radius;
    for (size_t r = 0; r < rings; ++r) {
        const double theta = kPi * double(r + 1) / sh;
        const double y = -R * stablemath::cos(theta), rho = R * stablemath::sin(theta);
        for (int j = 0; j < n; ++j) b.point(rho * cosA[j], y, -rho * sinA[j]);
    }
    const int32_t south = b.point(0, -R, 0);
    const int32_t north = b.point(0, R, 0);

    const int32_t uvSouth = int32_t((N + 1) * rings), uvNorth = uvSouth + int32_t(poleUVs);
    if (withUVs) {
        for (size_t r = 0; r < rings; ++r)
            for (int j = 0; j <= n; ++j) b.uv(double(j) / n, double(r + 1) / sh);
        for (int pole = 0; pole < 2; ++pole)
            for (size_t j = 0; j < poleUVs; ++j)
                b.uv(pinched ? 0.5 : (double(j) + 0.5) / n, pole == 0 ? 0.0 : 1.0);
    }
    auto v = [&](size_t r, int j) { return int32_t(r * N + size_t(j % n)); };
    auto t = [&](size_t r, int j) { return int32_t(r * (N + 1) + size_t(j)); };
    auto poleUV = [&](int32_t base, int j) { return pinched ? base : base + j; };

    for (size_t r = 0; r + 1 < rings; ++r)
        for (int j = 0; j < n; ++j)
            b.face({v(r, j), v(r, j + 1), v(r + 1, j + 1), v(r + 1, j)},
                   {t(r, j), t(r, j + 1), t(r + 1, j + 1), t(r + 1, j)});
    for (int j = 0; j < n; ++j)
        b.face({v(0, j + 1), v(0, j), south}, {t(0, j + 1), t(0, j), poleUV(uvSouth, j)});
    const size_t last = rings - 1;
    for (int j = 0; j < n; ++j)
        b.face({v(last, j), v(last, j + 1), north}, {t(last, j), t(last, j + 1), poleUV(uvNorth, j)});

    for (size_t r = 0; r < rings; ++r)
        for (int j = 0; j < n; ++j) b.edge(v(r, j), v(r, j + 1), true);
    for (size_t r = 0; r + 1 < rings; ++r)
        for (int j = 0; j < n; ++j) b.edge(v(r, j), v(r + 1, j), true);
    for (int j = 0; j < n; ++j) b.edge(south, v(0, j), true);
    for (int j = 0; j < n; ++j) b.edge(v(last, j), north, true);
    return b.finish(p.axis);
}

// --- polyCylinder / polyPrism ------------------------------------------------

MeshData makePolyCylinder(const PolyCylinderParams& p) {
    TubeSpec s;
    s.radius = p.radius;
    s.height = p.height;
    s.around = atLeast(p.subdivisionsAxis, 3);
    s.rows = atLeast(p.subdivisionsHeight, 1);
    s.caps = atLeast(p.subdivisionsCaps, 0);
    s.smoothSides = true;
    s.withUVs = p.createUVs != 0;
    s.uvLayout = p.maya2022UVs ? kTubeUVsBefore2023 : kTubeUVs;
    s.axis = p.axis;
    return buildTube(s);
}

MeshData makePolyPrism(const PolyPrismParams& p) {
    TubeSpec s;
    s.around = atLeast(p.numberOfSides, 3);
    s.radius = p.sideLength / (2 * stablemath::sin(kPi / s.around));  // side length -> circumradius
    s.height = p.length;
    s.rows = atLeast(p.subdivisionsHeight, 1);
    s.caps = atLeast(p.subdivisionsCaps, 0);
    s.smoothSides = false;  // flat sides meet at creases
    s.withUVs = p.createUVs != 0;
    s.uvLayout = p.maya2022UVs ? kTubeUVsBefore2023 : kTubeUVs;
    s.axis = p.axis;
    return buildTube(s);
}

// --- polyCone / polyPyramid ---------------------------------------------------

MeshData makePolyCone(const PolyConeParams& p) {
    ConeSpec s;
    s.radius = p.radius;
    s.bottom = -p.height / 2;
    s.top = p.height / 2;
    s.around = atLeast(p.subdivisionsAxis, 3);
    s.rows = atLeast(p.subdivisionsHeight, 1);
    s.caps = atLeast(p.subdivisionsCap, 0);
    s.smoothSides = true;
    s.withUVs = p.createUVs != 0;
    s.axis = p.axis;
    return buildCone(s);
}

MeshData makePolyPyramid(const PolyPyramidParams& p) {
    ConeSpec s;
    s.around = p.numberOfSides < 3 ? 3 : p.numberOfSides > 5 ? 5 : p.numberOfSides;
    // Side length gives the base's circumradius; the height makes every side
    // an equilateral triangle.
    const double side = p.sideLength;
    s.radius = side / (2 * stablemath::sin(kPi / s.around));
    const double h = std::sqrt(std::fmax(side * side - s.radius * s.radius, 0.0));
    s.bottom = -h / 2;
    s.top = h / 2;
    s.rows = atLeast(p.subdivisionsHeight, 1);
    s.caps = atLeast(p.subdivisionsCaps, 0);
    s.smoothSides = false;
    s.withUVs = p.createUVs != 0;
    s.axis = p.axis;
    return buildCone(s);
}

// --- polyTorus / polyPipe -------------------------------------------------------

MeshData makePolyTorus(const PolyTorusParams& p) {
    const int n = atLeast(p.subdivisionsAxis, 3), sh = atLeast(p.subdivisionsHeight, 3);
    std::vector<ProfilePoint> profile;
    profile.reserve(size_t(sh));
    const double twist = p.twist * kPi / 180.0;
    for (int i = 0; i < sh; ++i) {
        // From the inner equator up over the top, then down the outside.
        const double theta = 2 * kPi * i / sh + twist;
        profile.push_back({p.radius - p.sectionRadius * stablemath::cos(theta), p.sectionRadius * stablemath::sin(theta), false});
    }
    return buildRevolved(profile, n, p.createUVs, p.axis);
}

MeshData makePolyPipe(const PolyPipeParams& p) {
    const int n = atLeast(p.subdivisionsAxis, 3), sh = atLeast(p.subdivisionsHeight, 1);
    const int sc = atLeast(p.subdivisionsCaps, 1);
    const double outer = p.radius, innerR = p.radius - p.thickness, h = p.height;
    std::vector<ProfilePoint> profile;
    profile.reserve(size_t(2 * sh + 2 * sc));
    // Up the inside, out across the top, down the outside, in across the bottom.
    for (int k = 0; k < sh; ++k) profile.push_back({innerR, -h / 2 + k * h / sh, k == 0});
    for (int i = 0; i < sc; ++i) profile.push_back({innerR + i * p.thickness / sc, h / 2, i == 0});
    for (int k = 0; k < sh; ++k) profile.push_back({outer, h / 2 - k * h / sh, k == 0});
    for (int i = 0; i < sc; ++i) profile.push_back({outer - i * p.thickness / sc, -h / 2, i == 0});
    return buildRevolved(profile, n, p.createUVs, p.axis);
}

}  // namespace mayahost
