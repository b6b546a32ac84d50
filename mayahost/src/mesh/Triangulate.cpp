#include "mesh/Triangulate.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace mayahost {
namespace {

using Node = TriangulateScratch::Node;
constexpr uint32_t kNone = std::numeric_limits<uint32_t>::max();

double cross2(const Node& a, const Node& b, const Node& c) {
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

bool samePosition(const Node& a, const Node& b) { return a.x == b.x && a.y == b.y; }

// Inside or on the boundary of triangle abc, whatever its winding.
bool inTriangle(const Node& a, const Node& b, const Node& c, const Node& p) {
    double d1 = cross2(a, b, p), d2 = cross2(b, c, p), d3 = cross2(c, a, p);
    bool negative = d1 < 0 || d2 < 0 || d3 < 0;
    bool positive = d1 > 0 || d2 > 0 || d3 > 0;
    return !(negative && positive);
}

// Orthonormal axes u, v of the plane with u x v along the normal, so that a
// loop wound counter-clockwise about the normal stays counter-clockwise.
void planeAxes(const MeshVec& normal, MeshVec& u, MeshVec& v) {
    MeshVec n = normal.normalized();
    double ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
    MeshVec helper = (ax <= ay && ax <= az) ? MeshVec{1, 0, 0}
                     : (ay <= az)          ? MeshVec{0, 1, 0}
                                           : MeshVec{0, 0, 1};
    u = helper.cross(n).normalized();
    v = n.cross(u);
}

void emit(std::vector<uint32_t>& out, uint32_t a, uint32_t b, uint32_t c) {
    out.push_back(a);
    out.push_back(b);
    out.push_back(c);
}

size_t triangulateFan(size_t count, std::vector<uint32_t>& out) {
    for (size_t i = 1; i + 1 < count; ++i) emit(out, 0, uint32_t(i), uint32_t(i + 1));
    return count - 2;
}

size_t triangulateQuad(std::span<const MeshVec> p, std::vector<uint32_t>& out) {
    MeshVec normal = newellNormal(p);
    if (normal.length() == 0) return triangulateFan(4, out);
    // The turn at each corner, measured about the face normal: negative at a reflex corner.
    int reflex = -1;
    double mostNegative = 0;
    for (int k = 0; k < 4; ++k) {
        double turn = (p[k] - p[(k + 3) % 4]).cross(p[(k + 1) % 4] - p[k]).dot(normal);
        if (turn < mostNegative) { mostNegative = turn; reflex = k; }
    }
    if (reflex >= 0) {
        uint32_t k = uint32_t(reflex);
        emit(out, k, (k + 1) % 4, (k + 2) % 4);
        emit(out, k, (k + 2) % 4, (k + 3) % 4);
        return 2;
    }
    MeshVec d02 = p[2] - p[0], d13 = p[3] - p[1];
    // A relative margin keeps float noise on a square from picking the other diagonal.
    if (d13.dot(d13) < d02.dot(d02) * (1 - 1e-6)) {
        emit(out, 1, 2, 3);
        emit(out, 1, 3, 0);
    } else {
        emit(out, 0, 1, 2);
        emit(out, 0, 2, 3);
    }
    return 2;
}

// Appends a closed ring of nodes for corners [first, first + count) and returns
// the index of its first node.
uint32_t addRing(TriangulateScratch& s, std::span<const MeshVec> corners, uint32_t first, uint32_t count,
                 const MeshVec& u, const MeshVec& v) {
    uint32_t base = uint32_t(s.nodes.size());
    for (uint32_t i = 0; i < count; ++i) {
        const MeshVec& c = corners[first + i];
        s.nodes.push_back(Node{c.dot(u), c.dot(v), first + i, base + (i + count - 1) % count,
                               base + (i + 1) % count, false, false});
    }
    return base;
}

double ringArea(const TriangulateScratch& s, uint32_t start) {
    double area = 0;
    uint32_t n = start;
    do {
        const Node& a = s.nodes[n];
        const Node& b = s.nodes[a.next];
        area += a.x * b.y - b.x * a.y;
        n = a.next;
    } while (n != start);
    return area / 2;
}

void reverseRing(TriangulateScratch& s, uint32_t start) {
    uint32_t n = start;
    do {
        Node& node = s.nodes[n];
        std::swap(node.prev, node.next);
        n = node.prev;  // the old next
    } while (n != start);
}

uint32_t rightmostNode(const TriangulateScratch& s, uint32_t start) {
    uint32_t best = start, n = start;
    do {
        const Node& node = s.nodes[n];
        if (node.x > s.nodes[best].x || (node.x == s.nodes[best].x && node.y < s.nodes[best].y)) best = n;
        n = node.next;
    } while (n != start);
    return best;
}

// Whether m lies inside the polygon's corner at node p, looking out from p.
bool insideCorner(const TriangulateScratch& s, uint32_t p, const Node& m) {
    const Node& a = s.nodes[s.nodes[p].prev];
    const Node& node = s.nodes[p];
    const Node& b = s.nodes[node.next];
    if (cross2(a, node, b) >= 0) return cross2(a, node, m) >= 0 && cross2(node, b, m) >= 0;
    return cross2(a, node, m) >= 0 || cross2(node, b, m) >= 0;
}

// A vertex that earlier bridges already used appears several times in the
// ring; the bridge must leave from the copy whose corner faces the hole, or
// it would cross the earlier bridge.
uint32_t chooseCopy(const TriangulateScratch& s, uint32_t outerStart, uint32_t chosen, const Node& hole) {
    uint32_t n = outerStart;
    do {
        if (samePosition(s.nodes[n], s.nodes[chosen]) && insideCorner(s, n, hole)) return n;
        n = s.nodes[n].next;
    } while (n != outerStart);
    return chosen;
}

// Finds the outer-ring node that the hole's rightmost node M can see: cast a
// ray from M towards +x, take the nearest crossed edge's right end, and
// prefer a reflex node inside the triangle M, hit point, end that is closest
// in angle to the ray. Returns kNone when the hole lies outside the outline.
uint32_t findBridge(const TriangulateScratch& s, uint32_t outerStart, uint32_t m) {
    const Node& hole = s.nodes[m];
    double bestX = std::numeric_limits<double>::infinity();
    uint32_t candidate = kNone;
    uint32_t n = outerStart;
    do {
        const Node& a = s.nodes[n];
        const Node& b = s.nodes[a.next];
        if (a.y != b.y && ((a.y <= hole.y && b.y >= hole.y) || (a.y >= hole.y && b.y <= hole.y))) {
            double x = a.x + (hole.y - a.y) * (b.x - a.x) / (b.y - a.y);
            if (x >= hole.x && x < bestX) {
                bestX = x;
                candidate = a.x > b.x ? n : a.next;
                if (x == a.x && hole.y == a.y) candidate = n;
                if (x == b.x && hole.y == b.y) candidate = a.next;
            }
        }
        n = a.next;
    } while (n != outerStart);
    if (candidate == kNone) return kNone;

    Node hit = hole;
    hit.x = bestX;
    const Node& end = s.nodes[candidate];
    if (samePosition(end, hit)) return chooseCopy(s, outerStart, candidate, hole);
    uint32_t best = candidate;
    double bestTan = std::numeric_limits<double>::infinity(), bestDist = bestTan;
    n = outerStart;
    do {
        const Node& r = s.nodes[n];
        if (n != candidate && r.x > hole.x && inTriangle(hole, hit, end, r) &&
            cross2(s.nodes[r.prev], r, s.nodes[r.next]) < 0) {
            double dx = r.x - hole.x, dy = std::fabs(r.y - hole.y);
            double tan = dy / dx, dist = dx * dx + dy * dy;
            if (tan < bestTan || (tan == bestTan && dist < bestDist)) {
                bestTan = tan;
                bestDist = dist;
                best = n;
            }
        }
        n = r.next;
    } while (n != outerStart);
    return chooseCopy(s, outerStart, best, hole);
}

// Joins the hole ring (entered at m) to the outer ring at p by a pair of
// coincident edges p-m and m'-p'.
void splice(TriangulateScratch& s, uint32_t p, uint32_t m) {
    uint32_t m2 = uint32_t(s.nodes.size());
    s.nodes.push_back(s.nodes[m]);
    uint32_t p2 = uint32_t(s.nodes.size());
    s.nodes.push_back(s.nodes[p]);
    uint32_t pNext = s.nodes[p].next, mPrev = s.nodes[m].prev;
    s.nodes[p].next = m;
    s.nodes[m].prev = p;
    s.nodes[mPrev].next = m2;
    s.nodes[m2].prev = mPrev;
    s.nodes[m2].next = p2;
    s.nodes[p2].prev = m2;
    s.nodes[p2].next = pNext;
    s.nodes[pNext].prev = p2;
}

class EarClipper {
public:
    EarClipper(TriangulateScratch& s, double eps, std::vector<uint32_t>& out) : s_(s), eps_(eps), out_(out) {}

    size_t run(uint32_t start) {
        uint32_t remaining = 0, n = start;
        s_.reflexNodes.clear();
        do {
            updateReflex(n);
            ++remaining;
            n = s_.nodes[n].next;
        } while (n != start);

        size_t emitted = 0;
        uint32_t node = s_.nodes[start].next;
        while (remaining > 3) {
            uint32_t ear = findEar(node, remaining, Mode::Strict);
            if (ear == kNone) ear = findEar(node, remaining, Mode::AllowFlat);
            if (ear == kNone) ear = node;  // self-crossing outline: clip anyway rather than stall
            node = clip(ear);
            --remaining;
            ++emitted;
        }
        const Node& b = s_.nodes[node];
        emit(out_, s_.nodes[b.prev].corner, b.corner, s_.nodes[b.next].corner);
        return emitted + 1;
    }

private:
    enum class Mode { Strict, AllowFlat };

    void updateReflex(uint32_t n) {
        Node& node = s_.nodes[n];
        bool reflex = cross2(s_.nodes[node.prev], node, s_.nodes[node.next]) <= eps_;
        if (reflex && !node.reflex) s_.reflexNodes.push_back(n);
        node.reflex = reflex;
    }

    bool isEar(uint32_t n, Mode mode) const {
        const Node& b = s_.nodes[n];
        const Node& a = s_.nodes[b.prev];
        const Node& c = s_.nodes[b.next];
        double area = cross2(a, b, c);
        if (mode == Mode::Strict ? area <= eps_ : area < -eps_) return false;
        for (uint32_t r : s_.reflexNodes) {
            const Node& p = s_.nodes[r];
            if (p.removed || !p.reflex || r == n || r == b.prev || r == b.next) continue;
            if (samePosition(p, a) || samePosition(p, b) || samePosition(p, c)) continue;
            if (inTriangle(a, b, c, p)) return false;
        }
        return true;
    }

    uint32_t findEar(uint32_t from, uint32_t remaining, Mode mode) const {
        uint32_t n = from;
        for (uint32_t i = 0; i < remaining; ++i, n = s_.nodes[n].next)
            if (isEar(n, mode)) return n;
        return kNone;
    }

    // Emits the ear at n, unlinks n and returns the node after it.
    uint32_t clip(uint32_t n) {
        Node& b = s_.nodes[n];
        emit(out_, s_.nodes[b.prev].corner, b.corner, s_.nodes[b.next].corner);
        b.removed = true;
        s_.nodes[b.prev].next = b.next;
        s_.nodes[b.next].prev = b.prev;
        updateReflex(b.prev);
        updateReflex(b.next);
        return b.next;
    }

    TriangulateScratch& s_;
    double eps_;
    std::vector<uint32_t>& out_;
};

}  // namespace

MeshVec newellNormal(std::span<const MeshVec> loop) {
    MeshVec n;
    for (size_t i = 0, count = loop.size(); i < count; ++i) {
        const MeshVec& a = loop[i];
        const MeshVec& b = loop[i + 1 == count ? 0 : i + 1];
        n.x += (a.y - b.y) * (a.z + b.z);
        n.y += (a.z - b.z) * (a.x + b.x);
        n.z += (a.x - b.x) * (a.y + b.y);
    }
    return n;
}

size_t triangulatePolygon(std::span<const MeshVec> corners, std::vector<uint32_t>& out,
                          TriangulateScratch& scratch) {
    uint32_t size = uint32_t(corners.size());
    return triangulatePolygon(corners, std::span<const uint32_t>(&size, 1), out, scratch);
}

size_t triangulatePolygon(std::span<const MeshVec> corners, std::span<const uint32_t> loopSizes,
                          std::vector<uint32_t>& out, TriangulateScratch& scratch) {
    if (loopSizes.empty()) return 0;
    uint64_t total = 0;
    for (uint32_t size : loopSizes) total += size;
    if (total > corners.size()) return 0;
    uint32_t outerSize = loopSizes[0];
    if (outerSize < 3) return 0;
    bool hasHoles = false;
    for (size_t i = 1; i < loopSizes.size(); ++i) hasHoles |= loopSizes[i] >= 3;
    if (!hasHoles && outerSize == 3) {
        emit(out, 0, 1, 2);
        return 1;
    }
    if (!hasHoles && outerSize == 4) return triangulateQuad(corners.first(4), out);

    MeshVec normal = newellNormal(corners.first(outerSize));
    if (normal.length() == 0) return triangulateFan(outerSize, out);
    MeshVec u, v;
    planeAxes(normal, u, v);

    scratch.nodes.clear();
    scratch.holeOrder.clear();
    uint32_t outer = addRing(scratch, corners, 0, outerSize, u, v);
    for (uint32_t loop = 1, first = outerSize; loop < loopSizes.size(); first += loopSizes[loop], ++loop) {
        if (loopSizes[loop] < 3) continue;
        uint32_t ring = addRing(scratch, corners, first, loopSizes[loop], u, v);
        // Holes must run against the outline for the bridge edges to pair up.
        if (ringArea(scratch, ring) > 0) reverseRing(scratch, ring);
        scratch.holeOrder.push_back(rightmostNode(scratch, ring));
    }

    double minX = scratch.nodes[0].x, maxX = minX, minY = scratch.nodes[0].y, maxY = minY;
    for (const Node& n : scratch.nodes) {
        minX = std::min(minX, n.x), maxX = std::max(maxX, n.x);
        minY = std::min(minY, n.y), maxY = std::max(maxY, n.y);
    }
    double extent = std::max(maxX - minX, maxY - minY);
    double eps = extent * extent * 1e-12;

    // Bridge the holes from right to left so that each bridge only crosses
    // the outline built so far.
    std::sort(scratch.holeOrder.begin(), scratch.holeOrder.end(),
              [&](uint32_t a, uint32_t b) { return scratch.nodes[a].x > scratch.nodes[b].x; });
    for (size_t i = 0; i < scratch.holeOrder.size(); ++i) {
        uint32_t m = scratch.holeOrder[i];
        uint32_t p = findBridge(scratch, outer, m);
        if (p != kNone) splice(scratch, p, m);
    }

    EarClipper clipper(scratch, eps, out);
    return clipper.run(outer);
}

}  // namespace mayahost
