// polyPlatonic: a platonic solid on a sphere of the given radius, its faces
// subdivided a number of times and the new points pushed towards the sphere.
//
// Maya's numbering, read off scenes that keep the node's output: the
// icosahedron has its poles on Z (vertex 0 the -Z pole, then the ring below
// the equator, the ring above, the +Z pole), the octahedron starts at the +Z
// pole; a triangle step splits (a, b, c) into (a, ab, ca), (ab, b, bc),
// (ab, bc, ca), (ca, bc, c), new points numbered as the new faces first use
// them, edges as the faces first walk them. The uvs are a latitude-longitude
// map around Y, one uv per vertex, with copies past u = 1 where a face
// straddles the seam behind the solid.

#include "mesh/PolyCreators.h"
#include "common/platform/StableMath.h"

#include "mesh/PolyBuilder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace mayahost {

namespace {

constexpr double kPi = std::numbers::pi;

struct Point {
    double x, y, z;
};

// Faces as one flat array of corners.
struct Polys {
    std::vector<Point> points;
    std::vector<uint32_t> start{0};
    std::vector<int32_t> corners;

    size_t faces() const { return start.size() - 1; }
    void face(std::initializer_list<int32_t> ids) {
        corners.insert(corners.end(), ids);
        start.push_back(uint32_t(corners.size()));
    }
};

Point unit(Point p) {
    const double len = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
    return len > 0 ? Point{p.x / len, p.y / len, p.z / len} : p;
}

Polys icosahedron() {
    Polys s;
    const double z = 1.0 / std::sqrt(5.0), r = 2.0 / std::sqrt(5.0);
    s.points.push_back({0, 0, -1});
    for (int k = 0; k < 5; ++k) {
        const double a = (36.0 + 72.0 * k) * kPi / 180.0;
        s.points.push_back({r * stablemath::cos(a), r * stablemath::sin(a), -z});
    }
    for (int k = 0; k < 5; ++k) {
        const double a = 72.0 * k * kPi / 180.0;
        s.points.push_back({r * stablemath::cos(a), r * stablemath::sin(a), z});
    }
    s.points.push_back({0, 0, 1});
    // Round the -Z pole, the band's upward then downward triangles, round
    // the +Z pole.
    for (int32_t k = 0; k < 5; ++k) s.face({0, 1 + (k + 1) % 5, 1 + k});
    for (int32_t k = 0; k < 5; ++k) s.face({1 + k, 1 + (k + 1) % 5, 6 + (k + 1) % 5});
    for (int32_t k = 0; k < 5; ++k) s.face({1 + k, 6 + (k + 1) % 5, 6 + k});
    for (int32_t k = 0; k < 5; ++k) s.face({6 + k, 6 + (k + 1) % 5, 11});
    return s;
}

Polys octahedron() {
    Polys s;
    s.points = {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}, {-1, 0, 0}, {0, -1, 0}, {0, 0, -1}};
    for (auto f : {std::array<int32_t, 3>{1, 2, 0}, {2, 3, 0}, {3, 4, 0}, {0, 4, 1}, {5, 2, 1}, {5, 3, 2}, {5, 4, 3},
                   {5, 1, 4}})
        s.face({f[0], f[1], f[2]});
    return s;
}

// No scene keeps a tetrahedron, cube or dodecahedron: the tetrahedron stands
// on a +Z apex like the octahedron, the cube and dodecahedron are the duals
// of the octahedron and icosahedron (a vertex per face, in face order; a face
// per vertex, in vertex order, starting at its lowest face and turning
// counter-clockwise seen from outside).
Polys tetrahedron() {
    Polys s;
    s.points.push_back({0, 0, 1});
    const double z = -1.0 / 3.0, r = std::sqrt(8.0) / 3.0;
    for (int k = 0; k < 3; ++k) {
        const double a = 2 * kPi * k / 3;
        s.points.push_back({r * stablemath::cos(a), r * stablemath::sin(a), z});
    }
    s.face({1, 2, 0});
    s.face({2, 3, 0});
    s.face({3, 1, 0});
    s.face({3, 2, 1});
    return s;
}

Polys dual(const Polys& p) {
    Polys d;
    for (size_t f = 0; f < p.faces(); ++f) {
        Point c{0, 0, 0};
        for (uint32_t i = p.start[f]; i < p.start[f + 1]; ++i) {
            const Point& q = p.points[size_t(p.corners[i])];
            c = {c.x + q.x, c.y + q.y, c.z + q.z};
        }
        d.points.push_back(unit(c));
    }
    // The face that follows corner v with w: around v, the next face
    // counter-clockwise is the one where v is followed by this face's last
    // corner before v.
    std::unordered_map<uint64_t, int32_t> faceAfter;
    std::vector<int32_t> firstFace(p.points.size(), -1);
    auto key = [](int32_t a, int32_t b) { return (uint64_t(uint32_t(a)) << 32) | uint32_t(b); };
    for (size_t f = 0; f < p.faces(); ++f) {
        const uint32_t b = p.start[f], n = p.start[f + 1] - b;
        for (uint32_t i = 0; i < n; ++i) {
            const int32_t v = p.corners[b + i], w = p.corners[b + (i + 1) % n];
            faceAfter[key(v, w)] = int32_t(f);
            if (firstFace[size_t(v)] < 0) firstFace[size_t(v)] = int32_t(f);
        }
    }
    for (size_t v = 0; v < p.points.size(); ++v) {
        int32_t f = firstFace[v];
        do {
            d.corners.push_back(f);
            const uint32_t b = p.start[size_t(f)], n = p.start[size_t(f) + 1] - b;
            uint32_t i = 0;
            while (p.corners[b + i] != int32_t(v)) ++i;
            f = faceAfter.at(key(int32_t(v), p.corners[b + (i + n - 1) % n]));
        } while (f != firstFace[v]);
        d.start.push_back(uint32_t(d.corners.size()));
    }
    return d;
}

Polys baseSolid(int primitive) {
    switch (primitive) {
    case 0: return tetrahedron();
    case 1: return dual(octahedron());
    case 2: return octahedron();
    case 3: return dual(icosahedron());
    default: return icosahedron();
    }
}

uint64_t edgeKey(int32_t a, int32_t b) {
    if (a > b) std::swap(a, b);
    return (uint64_t(uint32_t(a)) << 32) | uint32_t(b);
}

// One subdivision step. New points are the flat ones (edge midpoints, face
// centres) moved `inflation` of the way onto the sphere of `radius`; a face's
// hard sides stay hard on their halves, the new inner edges are soft.
struct Step {
    const Polys& in;
    double radius, inflation;
    Polys out;
    std::unordered_map<uint64_t, int32_t> midpoints;

    Point inflate(Point p) const {
        const Point s = unit(p);
        const double t = inflation;
        return {p.x + (s.x * radius - p.x) * t, p.y + (s.y * radius - p.y) * t, p.z + (s.z * radius - p.z) * t};
    }
    int32_t add(Point p) {
        out.points.push_back(inflate(p));
        return int32_t(out.points.size() - 1);
    }
    int32_t mid(int32_t a, int32_t b) {
        auto [it, isNew] = midpoints.try_emplace(edgeKey(a, b), 0);
        if (isNew) {
            const Point& p = in.points[size_t(a)];
            const Point& q = in.points[size_t(b)];
            it->second = add({(p.x + q.x) / 2, (p.y + q.y) / 2, (p.z + q.z) / 2});
        }
        return it->second;
    }
    Point lerp(int32_t a, const Point& c, double t) const {
        const Point& p = in.points[size_t(a)];
        return {p.x + (c.x - p.x) * t, p.y + (c.y - p.y) * t, p.z + (c.z - p.z) * t};
    }
};

// `hard` holds the input's hard edges and leaves with the output's.
Polys subdivide(const Polys& in, int mode, double radius, double inflation, std::unordered_set<uint64_t>& hard) {
    Step s{in, radius, inflation, {}, {}};
    s.out.points = in.points;
    s.out.points.reserve(in.points.size() + in.corners.size() * 2);
    for (size_t f = 0; f < in.faces(); ++f) {
        const uint32_t b = in.start[f];
        const int32_t n = int32_t(in.start[f + 1] - b);
        auto v = [&](int32_t i) { return in.corners[b + uint32_t((i % n + n) % n)]; };
        if (mode == 1 && n == 3) {
            const int32_t ab = s.mid(v(0), v(1)), ca = s.mid(v(2), v(0)), bc = s.mid(v(1), v(2));
            s.out.face({v(0), ab, ca});
            s.out.face({ab, v(1), bc});
            s.out.face({ab, bc, ca});
            s.out.face({ca, bc, v(2)});
            continue;
        }
        Point c{0, 0, 0};
        for (int32_t i = 0; i < n; ++i) {
            const Point& p = in.points[size_t(v(i))];
            c = {c.x + p.x / n, c.y + p.y / n, c.z + p.z / n};
        }
        if (mode == 0) {
            // A quad at each corner: the corner, the midpoint after it, the
            // centre, the midpoint before it.
            int32_t centre = -1;
            for (int32_t i = 0; i < n; ++i) {
                const int32_t next = s.mid(v(i), v(i + 1));
                if (centre < 0) centre = s.add(c);
                s.out.face({v(i), next, centre, s.mid(v(i - 1), v(i))});
            }
        } else if (mode == 3) {
            // Caps: a ring of quads round an inset copy of the face halfway
            // to its centre, which stays one polygon.
            const int32_t first = int32_t(s.out.points.size());
            for (int32_t i = 0; i < n; ++i) s.out.points.push_back(s.inflate(s.lerp(v(i), c, 0.5)));
            for (int32_t i = 0; i < n; ++i)
                s.out.face({v(i), v(i + 1), first + (i + 1) % n, first + i});
            for (int32_t i = 0; i < n; ++i) s.out.corners.push_back(first + i);
            s.out.start.push_back(uint32_t(s.out.corners.size()));
        } else {
            // Pie, and a triangle step on a face of more than three sides: a
            // fan round the face's centre.
            const int32_t centre = s.add(c);
            for (int32_t i = 0; i < n; ++i) s.out.face({v(i), v(i + 1), centre});
        }
    }
    std::unordered_set<uint64_t> next;
    next.reserve(hard.size() * 2);
    for (uint64_t k : hard) {
        const auto m = s.midpoints.find(k);
        if (m == s.midpoints.end()) {
            next.insert(k);
            continue;
        }
        next.insert(edgeKey(int32_t(k >> 32), m->second));
        next.insert(edgeKey(int32_t(k & 0xffffffffu), m->second));
    }
    hard = std::move(next);
    return std::move(s.out);
}

struct Counts {
    size_t triangles = 0, otherFaces = 0, otherCorners = 0;
};

size_t sat(size_t a, size_t b) { return a != 0 && b > size_t(-1) / a ? size_t(-1) : a * b; }
size_t satAdd(size_t a, size_t b) { return a > size_t(-1) - b ? size_t(-1) : a + b; }

Counts baseCounts(int primitive) {
    switch (primitive) {
    case 0: return {4, 0, 0};
    case 1: return {0, 6, 24};
    case 2: return {8, 0, 0};
    case 3: return {0, 12, 60};
    default: return {20, 0, 0};
    }
}

}  // namespace

static int platonicPrimitive(int primitive) { return primitive < 0 || primitive > 4 ? 4 : primitive; }

size_t polyPlatonicFaceCount(int primitive, int mode, int subdivisions) {
    Counts c = baseCounts(platonicPrimitive(primitive));
    const int steps = std::clamp(subdivisions, 0, 64);
    for (int i = 0; i < steps; ++i) {
        const size_t corners = satAdd(sat(c.triangles, 3), c.otherCorners);
        const size_t faces = satAdd(c.triangles, c.otherFaces);
        if (mode == 1) c = {satAdd(sat(c.triangles, 4), c.otherCorners), 0, 0};
        else if (mode == 2) c = {corners, 0, 0};
        else if (mode == 3) c = {0, satAdd(corners, faces), satAdd(sat(corners, 4), corners)};
        else c = {0, corners, sat(corners, 4)};
        if (satAdd(c.triangles, c.otherFaces) == size_t(-1)) break;
    }
    return satAdd(c.triangles, c.otherFaces);
}

MeshData makePolyPlatonic(const PolyPlatonicParams& p) {
    const int mode = p.subdivisionMode < 0 || p.subdivisionMode > 3 ? 0 : p.subdivisionMode;
    const double radius = p.radius;
    const double inflation = std::isfinite(p.sphericalInflation) ? p.sphericalInflation : 1.0;
    Polys solid = baseSolid(platonicPrimitive(p.primitive));
    for (Point& q : solid.points) q = {q.x * radius, q.y * radius, q.z * radius};
    std::unordered_set<uint64_t> hard;
    for (size_t f = 0; f < solid.faces(); ++f)
        for (uint32_t i = solid.start[f]; i < solid.start[f + 1]; ++i)
            hard.insert(edgeKey(solid.corners[i], solid.corners[i + 1 < solid.start[f + 1] ? i + 1 : solid.start[f]]));
    for (int i = 0; i < std::clamp(p.subdivisions, 0, 64); ++i)
        solid = subdivide(solid, mode, radius, inflation, hard);

    // Uvs: latitude and longitude about Y, u = 0.5 on +Z; a face spanning
    // more than half the width takes copies of its low corners one to the
    // right, one copy per vertex, numbered as the faces first need them.
    const bool withUVs = p.createUVs != 0;
    std::vector<double> us, vs;
    std::vector<int32_t> copyOf;
    std::vector<int32_t> faceUVs(withUVs ? solid.corners.size() : 0);
    if (withUVs) {
        us.reserve(solid.points.size());
        vs.reserve(solid.points.size());
        for (const Point& q : solid.points) {
            // A point on the axis (x exactly zero, of either sign) faces +X's
            // side of the seam, as Maya's poles do.
            const double x = q.x == 0 ? 0.0 : q.x;
            const double len = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z);
            us.push_back(0.5 + stablemath::atan2(x, q.z) / (2 * kPi));
            vs.push_back(len > 0 ? 0.5 + stablemath::asin(std::clamp(q.y / len, -1.0, 1.0)) / kPi : 0.5);
        }
        copyOf.assign(solid.points.size(), -1);
        for (size_t f = 0; f < solid.faces(); ++f) {
            double lo = 2, hi = -1;
            for (uint32_t i = solid.start[f]; i < solid.start[f + 1]; ++i) {
                lo = std::min(lo, us[size_t(solid.corners[i])]);
                hi = std::max(hi, us[size_t(solid.corners[i])]);
            }
            for (uint32_t i = solid.start[f]; i < solid.start[f + 1]; ++i) {
                const int32_t v = solid.corners[i];
                faceUVs[i] = v;
                if (hi - lo <= 0.5 || us[size_t(v)] >= 0.5) continue;
                if (copyOf[size_t(v)] < 0) {
                    copyOf[size_t(v)] = int32_t(us.size());
                    us.push_back(us[size_t(v)] + 1);
                    vs.push_back(vs[size_t(v)]);
                }
                faceUVs[i] = copyOf[size_t(v)];
            }
        }
    }

    poly::Sizes sizes;
    sizes.vertices = solid.points.size();
    sizes.faces = solid.faces();
    sizes.faceVertices = solid.corners.size();
    sizes.edges = solid.corners.size() / 2;  // closed: every side shared by two faces
    sizes.uvs = us.size();
    poly::Builder b(sizes, withUVs);
    for (const Point& q : solid.points) b.point(q.x, q.y, q.z);
    for (size_t i = 0; i < us.size(); ++i) b.uv(us[i], vs[i]);
    for (size_t f = 0; f < solid.faces(); ++f)
        b.face(solid.corners.data() + solid.start[f], withUVs ? faceUVs.data() + solid.start[f] : nullptr,
               solid.start[f + 1] - solid.start[f]);
    // Edges as the faces first walk them.
    std::unordered_set<uint64_t> seen;
    seen.reserve(sizes.edges);
    for (size_t f = 0; f < solid.faces(); ++f)
        for (uint32_t i = solid.start[f]; i < solid.start[f + 1]; ++i) {
            const int32_t a = solid.corners[i], c = solid.corners[i + 1 < solid.start[f + 1] ? i + 1 : solid.start[f]];
            if (seen.insert(edgeKey(a, c)).second) b.edge(a, c, !hard.contains(edgeKey(a, c)));
        }
    return b.finish(p.axis);
}

}  // namespace mayahost
