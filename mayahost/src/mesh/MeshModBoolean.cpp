// polyBoolOp: union, difference and intersection of closed meshes.
//
// The inputs are joined by polyUnite first (world space, uv and colour sets
// merged by its rules), so the boolean works on one mesh whose faces belong
// to one solid or the other. Their triangles are crossed pairwise (candidates
// from a sweep over bounding boxes). Each crossing is a segment of the curve
// where the surfaces meet; its ends are points where an edge of one surface
// passes through a triangle of the other, computed from the edge and the
// triangle alone, so that every triangle sharing the edge splits at the very
// same point (and points closer than the tolerance are one point). Each
// triangle is then cut along its segments: the segments and its sides, split
// where points lie on them, form a planar graph whose faces are the pieces.
// Pieces not parted by a curve lie on the same side of the other solid, found
// once per such region by the other solid's winding number at a point inside
// it; a piece lying on the other surface is sorted by the way both face. The
// kept pieces of a face are joined again along the face's own triangulation.
// Whatever the input, the result is checked to close up before it is used.

#include "mesh/MeshModBoolean.h"

#include "base/EvalBudget.h"
#include "base/Limits.h"
#include "common/platform/StableMath.h"
#include "mesh/MeshModUtil.h"
#include "mesh/MeshValidate.h"
#include "mesh/MeshVec.h"
#include "mesh/Triangulate.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <numeric>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace mayahost {
namespace {

using meshmod::addWarning;
using meshmod::directedKey;
using meshmod::pairKey;

constexpr double kPi = 3.14159265358979323846;
// One triangle's cut beyond this many edges is not a cut a surface makes.
constexpr size_t kMaxCutEdges = size_t(1) << 14;

struct Vec2 {
    double x = 0, y = 0;
    Vec2 operator-(const Vec2& o) const { return {x - o.x, y - o.y}; }
};
double cross2(const Vec2& a, const Vec2& b) { return a.x * b.y - a.y * b.x; }
double dot2(const Vec2& a, const Vec2& b) { return a.x * b.x + a.y * b.y; }

// A direction's angle as a number rising with it over [0, 4): angles are
// only compared, and this needs no trigonometry.
double pseudoAngle(const Vec2& d) {
    const double s = std::fabs(d.x) + std::fabs(d.y);
    if (s == 0) return 0;
    const double c = d.x / s;
    return d.y >= 0 ? 1 - c : 3 + c;
}

// How far `to` turns counter-clockwise from `from`, in pseudo-angle units (0, 4].
double turn(const Vec2& from, const Vec2& to) {
    double a = pseudoAngle(to) - pseudoAngle(from);
    while (a <= 0) a += 4;
    return a;
}

// The plane a triangle or face is drawn on: two of the axes, ordered so that
// a loop turning positively about `normal` has positive area.
struct Frame {
    int i = 0, j = 1;
    explicit Frame(const MeshVec& n) {
        const double ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
        if (az >= ax && az >= ay) {
            i = 0, j = 1;
            if (n.z < 0) std::swap(i, j);
        } else if (ax >= ay) {
            i = 1, j = 2;
            if (n.x < 0) std::swap(i, j);
        } else {
            i = 2, j = 0;
            if (n.y < 0) std::swap(i, j);
        }
    }
    static double axis(const MeshVec& p, int k) { return k == 0 ? p.x : k == 1 ? p.y : p.z; }
    Vec2 operator()(const MeshVec& p) const { return {axis(p, i), axis(p, j)}; }
};

double area2(const std::vector<Vec2>& loop) {
    double a = 0;
    for (size_t k = 0; k < loop.size(); ++k) a += cross2(loop[k], loop[(k + 1) % loop.size()]);
    return 0.5 * a;
}

bool insidePolygon(const Vec2& p, const std::vector<Vec2>& loop) {
    bool in = false;
    for (size_t k = 0, m = loop.size() - 1; k < loop.size(); m = k++) {
        const Vec2& a = loop[k];
        const Vec2& b = loop[m];
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) in = !in;
    }
    return in;
}

// Points of the boolean: the inputs' vertices at their ids, then the cut
// points. A point closer than the tolerance to one already made is that point.
class PointTable {
public:
    explicit PointTable(double tolerance) : tol_(tolerance), cell_(2 * tolerance) {}
    const MeshVec& operator[](int32_t id) const { return pts_[size_t(id)]; }
    size_t size() const { return pts_.size(); }

    // Appends `p`; `findable` lets later points find it.
    int32_t append(const MeshVec& p, bool findable) {
        pts_.push_back(p);
        const int32_t id = int32_t(pts_.size() - 1);
        if (findable) grid_[cellKey(cell(p.x), cell(p.y), cell(p.z))].push_back(id);
        return id;
    }
    // The nearest point within the tolerance (the lowest id on a tie), or -1.
    int32_t find(const MeshVec& p) const {
        const int64_t cx = cell(p.x), cy = cell(p.y), cz = cell(p.z);
        int32_t best = -1;
        double bestDistance = tol_ * tol_;
        for (int64_t x = cx - 1; x <= cx + 1; ++x)
            for (int64_t y = cy - 1; y <= cy + 1; ++y)
                for (int64_t z = cz - 1; z <= cz + 1; ++z) {
                    auto it = grid_.find(cellKey(x, y, z));
                    if (it == grid_.end()) continue;
                    for (int32_t id : it->second) {
                        const MeshVec d = pts_[size_t(id)] - p;
                        const double dd = d.dot(d);
                        if (dd < bestDistance || (dd == bestDistance && best >= 0 && id < best) ||
                            (dd == bestDistance && best < 0))
                            best = id, bestDistance = dd;
                    }
                }
        return best;
    }
    int32_t add(const MeshVec& p) {
        const int32_t id = find(p);
        return id >= 0 ? id : append(p, true);
    }

private:
    int64_t cell(double v) const { return int64_t(std::floor(v / cell_)); }
    static uint64_t cellKey(int64_t x, int64_t y, int64_t z) {
        return uint64_t(x) * 0x9E3779B97F4A7C15ull ^ uint64_t(y) * 0xC2B2AE3D27D4EB4Full ^ uint64_t(z) * 0x165667B19E3779F9ull;
    }
    double tol_, cell_;
    std::vector<MeshVec> pts_;
    std::unordered_map<uint64_t, std::vector<int32_t>> grid_;
};

struct Tri {
    std::array<int32_t, 3> v{};        // point ids
    std::array<uint32_t, 3> corner{};  // the mesh corners they stand for
    int32_t face = 0;
    uint8_t side = 0;
    bool flat = false;                 // too thin to cut: kept as it is, points on its sides added
    MeshVec n;                         // unit normal
    double d = 0;                      // plane: n . p = d
    MeshVec lo, hi;                    // bounds, widened by the tolerance
};

enum Class : uint8_t { kOutside, kInside, kSame, kOpposite };

// A face that no curve touches, kept whole, or one piece of a triangle.
struct Unit {
    int32_t face = 0;
    int32_t tri = -1;  // -1: the whole face
    uint8_t side = 0;
    std::vector<std::vector<int32_t>> loops;
    uint8_t cls = kOutside;
    bool coplanar = false;
};

// A corner of the result: its point, and the mesh corner it copies or the
// triangle its values are interpolated in.
struct OutCorner {
    int32_t point = 0;
    int64_t corner = -1;
    int32_t tri = -1;
};

struct OutFace {
    int32_t face = 0;  // the face of the joined inputs it comes from
    std::vector<std::vector<OutCorner>> loops;
};

class BooleanSolver {
public:
    // `coarse` widens the tolerance (1 for the finest).
    BooleanSolver(const MeshData& mesh, size_t firstFaceOfB, BooleanOperation op, double coarse)
        : m_(mesh), firstB_(firstFaceOfB), op_(op), coarse_(coarse), pts_(1) {}

    // The boolean, and per result face the face of the joined inputs it
    // comes from; false with `why` when it cannot be made.
    bool run(MeshData& out, std::vector<int32_t>& faceSource, std::string& why) {
        if (!prepare(why) || !closed(why)) {
            final_ = true;
            return false;
        }
        triangulate();
        if (!crossTriangles(why)) return false;
        collectEdgePoints();
        if (!makeUnits(why) || !classify(why)) return false;
        assemble();
        if (failed_) {
            why = "the kept pieces of a cut face do not join into faces";
            return false;
        }
        dropStraightCutPoints();
        build(out, faceSource);
        return true;
    }

private:
    uint8_t sideOf(size_t face) const { return face < firstB_ ? 0 : 1; }

    // Counts `steps` against limits().maxBooleanWork; false once it is spent.
    bool spend(uint64_t steps) {
        work_ += steps;
        return work_ <= limits().maxBooleanWork;
    }
    bool overWork(std::string& why) {
        why += " (more than " + std::to_string(limits().maxBooleanWork) + " steps)";
        final_ = true;
        return false;
    }
    const MeshVec& P(int32_t id) const { return pts_[id]; }
    int sign(double d) const { return d > tol_ ? 1 : d < -tol_ ? -1 : 0; }

    // --- the inputs, welded
    bool prepare(std::string& why) {
        double lo[3] = {std::numeric_limits<double>::max(), std::numeric_limits<double>::max(),
                        std::numeric_limits<double>::max()};
        double hi[3] = {-lo[0], -lo[1], -lo[2]};
        double far = 0;
        for (size_t k = 0; k < m_.points.size(); ++k) {
            const double v = m_.points[k];
            if (!std::isfinite(v)) {
                why = "an input has points that are not finite";
                return false;
            }
            lo[k % 3] = std::min(lo[k % 3], v), hi[k % 3] = std::max(hi[k % 3], v);
            far = std::max(far, std::fabs(v));
        }
        const double extent = m_.points.empty() ? 0 : std::hypot(hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2]);
        if (!(extent > 0)) {
            why = "the inputs have no extent";
            return false;
        }
        // Points are floats: anything closer than a few of their steps is the same point.
        tol_ = 1e-6 * coarse_ * std::max(extent, far);
        pts_ = PointTable(tol_);
        rep_.resize(m_.numVertices());
        for (size_t v = 0; v < m_.numVertices(); ++v) {
            const MeshVec p = meshPoint(m_.points.data(), int(v));
            const int32_t near = pts_.find(p);
            rep_[v] = near >= 0 ? near : int32_t(v);
            pts_.append(p, near < 0);
        }
        originals_ = int32_t(m_.numVertices());
        // Each face's loops on welded points, repeated points dropped.
        loops_.resize(m_.numFaces());
        for (size_t f = 0; f < m_.numFaces(); ++f) {
            for (uint32_t l = m_.faceLoopStart[f]; l < m_.faceLoopStart[f + 1]; ++l) {
                std::vector<std::pair<int32_t, uint32_t>> loop;
                for (uint32_t c = m_.loopStart[l]; c < m_.loopStart[l + 1]; ++c) {
                    const int32_t p = rep_[size_t(m_.faceVertices[c])];
                    if (loop.empty() || loop.back().first != p) loop.push_back({p, c});
                }
                while (loop.size() > 1 && loop.back().first == loop.front().first) loop.pop_back();
                if (loop.size() >= 3) loops_[f].push_back(std::move(loop));
                else if (l == m_.faceLoopStart[f]) break;  // an outline without area: the face has none
            }
        }
        return true;
    }

    // Every edge of each solid walked once each way: a closed surface whose faces turn alike.
    bool closed(std::string& why) {
        for (uint8_t side = 0; side < 2; ++side) {
            std::unordered_map<uint64_t, uint32_t> walked;
            size_t faces = 0;
            for (size_t f = 0; f < loops_.size(); ++f) {
                if (sideOf(f) != side || loops_[f].empty()) continue;
                ++faces;
                for (const auto& loop : loops_[f])
                    for (size_t k = 0; k < loop.size(); ++k) ++walked[directedKey(loop[k].first, loop[(k + 1) % loop.size()].first)];
            }
            const std::string name = side == 0 ? "the first input" : "input " + std::to_string(inputName_[side]);
            if (faces == 0) {
                why = name + " has no faces";
                return false;
            }
            for (const auto& [key, count] : walked) {
                auto back = walked.find((key << 32) | (key >> 32));
                if (count != 1 || back == walked.end() || back->second != 1) {
                    why = name + " is not a closed surface with its faces turned alike (vertex " +
                          std::to_string(int32_t(key >> 32)) + " to " + std::to_string(int32_t(uint32_t(key))) + ")";
                    return false;
                }
            }
        }
        return true;
    }

public:
    // The input index the second solid stands for, for warnings.
    void nameSecond(size_t index) { inputName_[1] = index; }
    // Whether the failure is one no coarser tolerance helps (the inputs, the work bounds).
    bool final() const { return final_; }

private:
    // --- triangles
    void triangulate() {
        TriangulateScratch scratch;
        std::vector<MeshVec> corners;
        std::vector<uint32_t> sizes, triples;
        std::vector<std::pair<int32_t, uint32_t>> flat;
        firstTri_.assign(loops_.size() + 1, 0);
        for (size_t f = 0; f < loops_.size(); ++f) {
            firstTri_[f] = uint32_t(tris_.size());
            corners.clear(), sizes.clear(), triples.clear(), flat.clear();
            for (const auto& loop : loops_[f]) {
                sizes.push_back(uint32_t(loop.size()));
                for (const auto& [p, c] : loop) corners.push_back(P(p)), flat.push_back({p, c});
            }
            if (corners.empty()) continue;
            triangulatePolygon(corners, sizes, triples, scratch);
            for (size_t t = 0; t + 2 < triples.size(); t += 3) {
                Tri tri;
                for (int k = 0; k < 3; ++k) tri.v[k] = flat[triples[t + k]].first, tri.corner[k] = flat[triples[t + k]].second;
                if (tri.v[0] == tri.v[1] || tri.v[1] == tri.v[2] || tri.v[2] == tri.v[0]) continue;
                tri.face = int32_t(f);
                tri.side = sideOf(f);
                const MeshVec a = P(tri.v[0]), b = P(tri.v[1]), c = P(tri.v[2]);
                const MeshVec n = (b - a).cross(c - a);
                const double longest = std::max({(b - a).length(), (c - b).length(), (a - c).length()});
                tri.flat = n.length() <= 2 * tol_ * longest;  // thinner than the tolerance
                tri.n = n.normalized();
                tri.d = tri.n.dot(a);
                tri.lo = {std::min({a.x, b.x, c.x}) - tol_, std::min({a.y, b.y, c.y}) - tol_, std::min({a.z, b.z, c.z}) - tol_};
                tri.hi = {std::max({a.x, b.x, c.x}) + tol_, std::max({a.y, b.y, c.y}) + tol_, std::max({a.z, b.z, c.z}) + tol_};
                tris_.push_back(tri);
            }
        }
        firstTri_[loops_.size()] = uint32_t(tris_.size());
        segments_.resize(tris_.size());
        partners_.resize(tris_.size());
    }

    // --- crossing the two solids' triangles
    // Candidates come from a grid over the box both solids share: the second
    // solid's triangles are filed in the cells their bounds cover, and each
    // triangle of the first meets those filed where its own bounds reach.
    bool crossTriangles(std::string& why) {
        MeshVec lo[2], hi[2];
        for (int s = 0; s < 2; ++s) {
            lo[s] = {std::numeric_limits<double>::max(), std::numeric_limits<double>::max(), std::numeric_limits<double>::max()};
            hi[s] = lo[s] * -1;
        }
        for (const Tri& t : tris_) {
            MeshVec& l = lo[t.side];
            MeshVec& h = hi[t.side];
            l = {std::min(l.x, t.lo.x), std::min(l.y, t.lo.y), std::min(l.z, t.lo.z)};
            h = {std::max(h.x, t.hi.x), std::max(h.y, t.hi.y), std::max(h.z, t.hi.z)};
        }
        const MeshVec boxLo{std::max(lo[0].x, lo[1].x), std::max(lo[0].y, lo[1].y), std::max(lo[0].z, lo[1].z)};
        const MeshVec boxHi{std::min(hi[0].x, hi[1].x), std::min(hi[0].y, hi[1].y), std::min(hi[0].z, hi[1].z)};
        if (boxLo.x > boxHi.x || boxLo.y > boxHi.y || boxLo.z > boxHi.z) return true;
        auto overlaps = [&](const Tri& t) {
            return t.lo.x <= boxHi.x && t.hi.x >= boxLo.x && t.lo.y <= boxHi.y && t.hi.y >= boxLo.y && t.lo.z <= boxHi.z &&
                   t.hi.z >= boxLo.z;
        };
        std::vector<uint32_t> first, second;
        for (uint32_t t = 0; t < tris_.size(); ++t)
            if (overlaps(tris_[t])) (tris_[t].side == 0 ? first : second).push_back(t);
        if (first.empty() || second.empty()) return true;
        // About one cell per triangle, cells as near cubes as the box allows.
        const MeshVec size = boxHi - boxLo;
        const double largest = std::max({size.x, size.y, size.z, tol_});
        const double target = double(std::min<size_t>(first.size() + second.size(), size_t(1) << 21));
        double cell = std::cbrt(std::max(size.x, largest / 1024) * std::max(size.y, largest / 1024) *
                                std::max(size.z, largest / 1024) / target);
        cell = std::max(cell, largest / 1024);
        int64_t dims[3];
        for (int k = 0; k < 3; ++k) dims[k] = std::clamp<int64_t>(int64_t(Frame::axis(size, k) / cell) + 1, 1, 1024);
        auto range = [&](const Tri& t, int k, int64_t& from, int64_t& to) {
            const double o = Frame::axis(boxLo, k);
            from = std::clamp<int64_t>(int64_t(std::floor((Frame::axis(t.lo, k) - o) / cell)), 0, dims[k] - 1);
            to = std::clamp<int64_t>(int64_t(std::floor((Frame::axis(t.hi, k) - o) / cell)), 0, dims[k] - 1);
        };
        auto tooMuch = [&]() {
            why = "the inputs have too many faces near one another";
            return overWork(why);
        };
        std::unordered_map<int64_t, std::vector<uint32_t>> cells;
        for (uint32_t b : second) {
            int64_t from[3], to[3];
            for (int k = 0; k < 3; ++k) range(tris_[b], k, from[k], to[k]);
            for (int64_t x = from[0]; x <= to[0]; ++x)
                for (int64_t y = from[1]; y <= to[1]; ++y)
                    for (int64_t z = from[2]; z <= to[2]; ++z) {
                        if (!spend(1)) return tooMuch();
                        cells[(x * dims[1] + y) * dims[2] + z].push_back(b);
                    }
        }
        std::vector<uint32_t> met(tris_.size(), UINT32_MAX);
        for (uint32_t a : first) {
            const Tri& ta = tris_[a];
            int64_t from[3], to[3];
            for (int k = 0; k < 3; ++k) range(ta, k, from[k], to[k]);
            for (int64_t x = from[0]; x <= to[0]; ++x)
                for (int64_t y = from[1]; y <= to[1]; ++y)
                    for (int64_t z = from[2]; z <= to[2]; ++z) {
                        auto it = cells.find((x * dims[1] + y) * dims[2] + z);
                        if (!spend(1)) return tooMuch();
                        if (it == cells.end()) continue;
                        for (uint32_t b : it->second) {
                            if (met[b] == a) continue;
                            met[b] = a;
                            if (!spend(1)) return tooMuch();
                            const Tri& tb = tris_[b];
                            if (ta.lo.x > tb.hi.x || tb.lo.x > ta.hi.x || ta.lo.y > tb.hi.y || tb.lo.y > ta.hi.y ||
                                ta.lo.z > tb.hi.z || tb.lo.z > ta.hi.z)
                                continue;
                            cross(int32_t(a), int32_t(b));
                        }
                    }
        }
        return true;
    }

    // Where edge u-v (any order) passes through the plane of triangle t.
    int32_t edgeThroughPlane(int32_t u, int32_t v, const Tri& t) {
        if (u > v) std::swap(u, v);
        const double du = t.n.dot(P(u)) - t.d, dv = t.n.dot(P(v)) - t.d;
        const double s = du / (du - dv);
        return pts_.add(P(u) + (P(v) - P(u)) * s);
    }

    // The ids where triangle `t` meets the plane of `other` (its vertices on
    // the plane, its edges across it): two for a stretch, fewer when it only touches.
    std::vector<int32_t> stretchOn(const Tri& t, const int s[3], const Tri& other) {
        std::vector<int32_t> ids;
        for (int k = 0; k < 3; ++k) {
            if (s[k] == 0) ids.push_back(t.v[k]);
            const int l = (k + 1) % 3;
            if (s[k] * s[l] < 0) ids.push_back(edgeThroughPlane(t.v[k], t.v[l], other));
        }
        return ids;
    }

    void addSegment(int32_t t, int32_t a, int32_t b) {
        if (a != b) segments_[size_t(t)].push_back({a, b});
    }

    void cross(int32_t ia, int32_t ib) {
        const Tri& a = tris_[size_t(ia)];
        const Tri& b = tris_[size_t(ib)];
        if (a.flat || b.flat) return;
        int sb[3], sa[3];
        for (int k = 0; k < 3; ++k) sb[k] = sign(a.n.dot(P(b.v[k])) - a.d);
        if ((sb[0] > 0 && sb[1] > 0 && sb[2] > 0) || (sb[0] < 0 && sb[1] < 0 && sb[2] < 0)) return;
        for (int k = 0; k < 3; ++k) sa[k] = sign(b.n.dot(P(a.v[k])) - b.d);
        if ((sa[0] > 0 && sa[1] > 0 && sa[2] > 0) || (sa[0] < 0 && sa[1] < 0 && sa[2] < 0)) return;
        if ((sb[0] == 0 && sb[1] == 0 && sb[2] == 0) || (sa[0] == 0 && sa[1] == 0 && sa[2] == 0)) {
            coplanar(ia, ib);
            return;
        }
        std::vector<int32_t> ea = stretchOn(a, sa, b), eb = stretchOn(b, sb, a);
        if (ea.size() != 2 || eb.size() != 2) return;
        const MeshVec dir = a.n.cross(b.n).normalized();
        if (dir.length() == 0) return;
        double ta[2] = {dir.dot(P(ea[0])), dir.dot(P(ea[1]))}, tb[2] = {dir.dot(P(eb[0])), dir.dot(P(eb[1]))};
        if (ta[0] > ta[1]) std::swap(ta[0], ta[1]), std::swap(ea[0], ea[1]);
        if (tb[0] > tb[1]) std::swap(tb[0], tb[1]), std::swap(eb[0], eb[1]);
        const double lo = std::max(ta[0], tb[0]), hi = std::min(ta[1], tb[1]);
        if (hi - lo <= tol_) return;
        const int32_t start = ta[0] >= tb[0] ? ea[0] : eb[0];
        const int32_t end = ta[1] <= tb[1] ? ea[1] : eb[1];
        addSegment(ia, start, end);
        addSegment(ib, start, end);
    }

    // Where edges a-b and c-d cross (the point of a-b nearest to c-d), the
    // same whichever triangle asks.
    int32_t edgeCrossing(int32_t a, int32_t b, int32_t c, int32_t d) {
        if (a > b) std::swap(a, b);
        if (c > d) std::swap(c, d);
        if (pairKey(a, b) > pairKey(c, d)) std::swap(a, c), std::swap(b, d);
        const MeshVec u = P(b) - P(a), w = P(d) - P(c);
        const MeshVec m = u.cross(w);
        const double mm = m.dot(m);
        if (mm == 0) return -1;
        const double s = (P(c) - P(a)).cross(w).dot(m) / mm;
        return pts_.add(P(a) + u * std::clamp(s, 0.0, 1.0));
    }

    // Triangles on one plane: each is cut by the other's sides where they cross it.
    void coplanar(int32_t ia, int32_t ib) {
        partners_[size_t(ia)].push_back(ib);
        partners_[size_t(ib)].push_back(ia);
        clipSides(ib, ia);
        clipSides(ia, ib);
    }

    void clipSides(int32_t from, int32_t into) {
        const Tri& src = tris_[size_t(from)];
        const Tri& dst = tris_[size_t(into)];
        const Frame frame(dst.n);
        Vec2 c[3];
        for (int k = 0; k < 3; ++k) c[k] = frame(P(dst.v[k]));
        for (int e = 0; e < 3; ++e) {
            const int32_t u = src.v[e], v = src.v[(e + 1) % 3];
            const Vec2 p = frame(P(u)), q = frame(P(v));
            double t0 = 0, t1 = 1;
            int enter = -1, leave = -1;
            bool outside = false;
            for (int k = 0; k < 3 && !outside; ++k) {
                const Vec2 side = c[(k + 1) % 3] - c[k];
                const double len = std::sqrt(dot2(side, side));
                if (len == 0) continue;
                double f0 = cross2(side, p - c[k]) / len, f1 = cross2(side, q - c[k]) / len;
                if (std::fabs(f0) <= tol_) f0 = 0;
                if (std::fabs(f1) <= tol_) f1 = 0;
                if (f0 < 0 && f1 < 0) outside = true;
                else if (f0 < 0) {
                    const double t = f0 / (f0 - f1);
                    if (t > t0) t0 = t, enter = k;
                } else if (f1 < 0) {
                    const double t = f0 / (f0 - f1);
                    if (t < t1) t1 = t, leave = k;
                }
            }
            if (outside || t1 <= t0) continue;
            const int32_t a = enter < 0 ? u : edgeCrossing(u, v, dst.v[enter], dst.v[(enter + 1) % 3]);
            const int32_t b = leave < 0 ? v : edgeCrossing(u, v, dst.v[leave], dst.v[(leave + 1) % 3]);
            if (a >= 0 && b >= 0) addSegment(into, a, b);
        }
    }

    // --- points on the triangles' sides
    double distanceToEdge(const MeshVec& p, int32_t a, int32_t b, double& t) const {
        const MeshVec ab = P(b) - P(a);
        const double ll = ab.dot(ab);
        t = ll > 0 ? (p - P(a)).dot(ab) / ll : 0;
        const MeshVec off = P(a) + ab * t - p;
        return off.length();
    }

    // Registers each segment end lying on a triangle's side with that side
    // (shared by the triangles on both sides of it).
    void registerSidePoints() {
        edgePoints_.clear();
        for (size_t t = 0; t < tris_.size(); ++t) {
            const Tri& tri = tris_[t];
            for (const auto& [a, b] : segments_[t])
                for (int32_t p : {a, b}) {
                    if (p == tri.v[0] || p == tri.v[1] || p == tri.v[2]) continue;
                    for (int k = 0; k < 3; ++k) {
                        double s = 0;
                        const int32_t u = tri.v[k], v = tri.v[(k + 1) % 3];
                        if (distanceToEdge(P(p), u, v, s) <= tol_ && s > 0 && s < 1) {
                            std::vector<int32_t>& on = edgePoints_[pairKey(u, v)];
                            if (std::find(on.begin(), on.end(), p) == on.end()) on.push_back(p);
                        }
                    }
                }
        }
    }

    void collectEdgePoints() {
        // A point within the tolerance of two sides (close to the corner
        // where thin triangles meet) would sit on both and fold an outline
        // onto itself: it becomes the corner the sides share, everywhere.
        for (int round = 0; round < 4; ++round) {
            registerSidePoints();
            std::unordered_map<int32_t, std::vector<uint64_t>> sidesOf;
            for (const auto& [side, points] : edgePoints_)
                for (int32_t p : points) sidesOf[p].push_back(side);
            std::unordered_map<int32_t, int32_t> corner;
            for (auto& [p, sides] : sidesOf) {
                if (sides.size() < 2) continue;
                std::sort(sides.begin(), sides.end());
                const int32_t a = int32_t(sides[0] >> 32), b = int32_t(uint32_t(sides[0]));
                int32_t shared = -1;
                for (int32_t v : {a, b}) {
                    bool all = true;
                    for (uint64_t side : sides) all &= int32_t(side >> 32) == v || int32_t(uint32_t(side)) == v;
                    if (all) shared = v;
                }
                if (shared >= 0) corner.emplace(p, shared);
            }
            if (corner.empty()) return;
            for (auto& list : segments_) {
                std::vector<std::pair<int32_t, int32_t>> kept;
                for (auto [a, b] : list) {
                    if (auto it = corner.find(a); it != corner.end()) a = it->second;
                    if (auto it = corner.find(b); it != corner.end()) b = it->second;
                    if (a != b) kept.push_back({a, b});
                }
                list = std::move(kept);
            }
        }
        registerSidePoints();
    }

    // The points on side u-v in order from u.
    std::vector<int32_t> sidePoints(int32_t u, int32_t v) const {
        auto it = edgePoints_.find(pairKey(u, v));
        if (it == edgePoints_.end()) return {};
        std::vector<std::pair<double, int32_t>> at;
        const MeshVec d = P(v) - P(u);
        for (int32_t p : it->second) at.push_back({(P(p) - P(u)).dot(d), p});
        std::sort(at.begin(), at.end());
        std::vector<int32_t> out;
        for (const auto& e : at) out.push_back(e.second);
        return out;
    }

    bool touched(size_t t) const {
        const Tri& tri = tris_[t];
        if (!segments_[t].empty() || !partners_[t].empty()) return true;
        for (int k = 0; k < 3; ++k)
            if (edgePoints_.count(pairKey(tri.v[k], tri.v[(k + 1) % 3]))) return true;
        return false;
    }

    // --- cutting one triangle
    // The pieces of triangle t, as loops of point ids wound like it; false
    // when its cut does not make sense (loops outside it, too many segments).
    bool cutTriangle(int32_t t, std::vector<Unit>& pieces) {
        const Tri& tri = tris_[size_t(t)];
        std::vector<int32_t> outline;
        for (int k = 0; k < 3; ++k) {
            outline.push_back(tri.v[k]);
            for (int32_t p : sidePoints(tri.v[k], tri.v[(k + 1) % 3])) outline.push_back(p);
        }
        auto piece = [&](std::vector<std::vector<int32_t>> loops) {
            Unit u;
            u.face = tri.face, u.tri = t, u.side = tri.side, u.loops = std::move(loops);
            pieces.push_back(std::move(u));
        };
        if (tri.flat || segments_[size_t(t)].empty()) {
            piece({outline});
            return true;
        }
        const Frame frame(tri.n);
        std::vector<int32_t> ids;
        std::unordered_map<int32_t, int32_t> local;
        std::vector<Vec2> at;
        auto vertex = [&](int32_t id) {
            auto [it, made] = local.emplace(id, int32_t(ids.size()));
            if (made) ids.push_back(id), at.push_back(frame(P(id)));
            return it->second;
        };
        std::vector<std::pair<int32_t, int32_t>> edges;
        for (size_t k = 0; k < outline.size(); ++k) edges.push_back({vertex(outline[k]), vertex(outline[(k + 1) % outline.size()])});
        const size_t boundaryEdges = edges.size();
        for (const auto& [a, b] : segments_[size_t(t)]) edges.push_back({vertex(a), vertex(b)});
        // Split every segment at the points on it, and where two segments cross.
        auto split = [&](size_t e, int32_t w) {
            const auto [a, b] = edges[e];
            edges[e] = {a, w};
            edges.push_back({w, b});
        };
        for (size_t pass = 0; pass < 4; ++pass) {
            bool changed = false;
            for (size_t e = boundaryEdges; e < edges.size(); ++e) {
                if (edges.size() > kMaxCutEdges) return false;
                if (!spend(ids.size() + edges.size())) return false;
                const auto [a, b] = edges[e];
                if (a == b) continue;
                const Vec2 d = at[size_t(b)] - at[size_t(a)];
                const double len = std::sqrt(dot2(d, d));
                if (len <= tol_) continue;
                int32_t best = -1;
                double bestS = 2;
                for (size_t w = 0; w < ids.size(); ++w) {
                    if (int32_t(w) == a || int32_t(w) == b) continue;
                    const Vec2 o = at[w] - at[size_t(a)];
                    const double s = dot2(o, d) / (len * len);
                    if (s <= 0 || s >= 1 || std::fabs(cross2(d, o)) / len > tol_) continue;
                    if (s < bestS) bestS = s, best = int32_t(w);
                }
                if (best >= 0) {
                    split(e, best);
                    changed = true;
                    --e;  // the shortened edge may hold further points
                    continue;
                }
                for (size_t g = boundaryEdges; g < e; ++g) {
                    const auto [c, dd] = edges[g];
                    if (c == dd || c == a || c == b || dd == a || dd == b) continue;
                    const Vec2 q = at[size_t(dd)] - at[size_t(c)];
                    const double den = cross2(d, q);
                    if (den == 0) continue;
                    const double s = cross2(at[size_t(c)] - at[size_t(a)], q) / den;
                    const double r = cross2(at[size_t(c)] - at[size_t(a)], d) / den;
                    if (s * len <= tol_ || (1 - s) * len <= tol_ || r <= 0 || r >= 1) continue;
                    const int32_t x = edgeCrossing(ids[size_t(a)], ids[size_t(b)], ids[size_t(c)], ids[size_t(dd)]);
                    if (x < 0) continue;
                    const int32_t w = vertex(x);
                    if (w == a || w == b || w == c || w == dd) continue;
                    split(g, w);
                    split(e, w);
                    changed = true;
                    --e;
                    break;
                }
            }
            if (!changed) break;
        }
        // Distinct undirected edges, then no loose ends.
        std::unordered_set<uint64_t> seen;
        std::vector<std::pair<int32_t, int32_t>> graph;
        for (size_t e = 0; e < edges.size(); ++e) {
            const auto [a, b] = edges[e];
            if (a == b) continue;
            // A segment along the triangle's side still parts the pieces on either side of it.
            if (e >= boundaryEdges) cutEdges_.insert(pairKey(ids[size_t(a)], ids[size_t(b)]));
            if (seen.insert(pairKey(a, b)).second) graph.push_back({a, b});
        }
        std::vector<int> degree(ids.size(), 0);
        for (const auto& [a, b] : graph) ++degree[size_t(a)], ++degree[size_t(b)];
        for (bool pruned = true; pruned;) {
            pruned = false;
            for (size_t e = 0; e < graph.size(); ++e) {
                const auto [a, b] = graph[e];
                if (degree[size_t(a)] == 1 || degree[size_t(b)] == 1) {
                    --degree[size_t(a)], --degree[size_t(b)];
                    graph[e] = graph.back();
                    graph.pop_back();
                    pruned = true;
                    --e;
                }
            }
        }
        // Half-edges round each vertex by angle; faces traced with their inside on the left.
        const size_t half = 2 * graph.size();
        std::vector<std::vector<uint32_t>> around(ids.size());
        auto from = [&](uint32_t h) { return h % 2 == 0 ? graph[h / 2].first : graph[h / 2].second; };
        auto to = [&](uint32_t h) { return h % 2 == 0 ? graph[h / 2].second : graph[h / 2].first; };
        for (uint32_t h = 0; h < half; ++h) around[size_t(from(h))].push_back(h);
        std::vector<uint32_t> slot(half, 0);
        for (auto& list : around) {
            std::sort(list.begin(), list.end(), [&](uint32_t x, uint32_t y) {
                const double ax = pseudoAngle(at[size_t(to(x))] - at[size_t(from(x))]);
                const double ay = pseudoAngle(at[size_t(to(y))] - at[size_t(from(y))]);
                return ax < ay || (ax == ay && x < y);
            });
            for (size_t k = 0; k < list.size(); ++k) slot[list[k]] = uint32_t(k);
        }
        std::vector<uint8_t> used(half, 0);
        std::vector<std::vector<int32_t>> loops;
        std::vector<double> areas;
        for (uint32_t h0 = 0; h0 < half; ++h0) {
            if (used[h0]) continue;
            std::vector<int32_t> loop;
            std::vector<Vec2> shape;
            uint32_t h = h0;
            for (size_t steps = 0; !used[h]; ++steps) {
                if (steps > half) return false;
                used[h] = 1;
                loop.push_back(from(h));
                shape.push_back(at[size_t(from(h))]);
                const std::vector<uint32_t>& list = around[size_t(to(h))];
                const uint32_t twin = h ^ 1u;
                h = list[(slot[twin] + list.size() - 1) % list.size()];
            }
            if (h != h0) return false;
            loops.push_back(std::move(loop));
            areas.push_back(area2(shape));
        }
        // Components: each has one loop of negative area round it; the
        // triangle's own is its outline, the others are holes in a piece.
        meshmod::LowUnion component(ids.size());
        for (const auto& [a, b] : graph) component.unite(a, b);
        const int32_t outer = component.find(0);
        std::vector<std::vector<std::vector<int32_t>>> faces;
        std::vector<size_t> faceLoop;
        for (size_t l = 0; l < loops.size(); ++l)
            if (areas[l] > 0) faces.push_back({}), faceLoop.push_back(l);
        auto shapeOf = [&](const std::vector<int32_t>& loop) {
            std::vector<Vec2> s;
            for (int32_t w : loop) s.push_back(at[size_t(w)]);
            return s;
        };
        for (size_t l = 0; l < loops.size(); ++l) {
            if (areas[l] > 0 || component.find(loops[l].front()) == outer) continue;
            const Vec2 probe = at[size_t(loops[l].front())];
            int best = -1;
            for (size_t f = 0; f < faceLoop.size(); ++f) {
                const size_t fl = faceLoop[f];
                if (component.find(loops[fl].front()) == component.find(loops[l].front())) continue;
                if (insidePolygon(probe, shapeOf(loops[fl])) && (best < 0 || areas[fl] < areas[faceLoop[size_t(best)]]))
                    best = int(f);
            }
            if (best < 0) return false;
            faces[size_t(best)].push_back(loops[l]);
        }
        for (size_t f = 0; f < faceLoop.size(); ++f) {
            std::vector<std::vector<int32_t>> result{loops[faceLoop[f]]};
            for (auto& hole : faces[f]) result.push_back(hole);
            for (auto& loop : result)
                for (int32_t& w : loop) w = ids[size_t(w)];
            piece(std::move(result));
        }
        return true;
    }

    // --- units: whole faces and pieces
    bool makeUnits(std::string& why) {
        for (size_t f = 0; f < loops_.size(); ++f) {
            if (loops_[f].empty()) continue;
            bool cut = false;
            for (uint32_t t = firstTri_[f]; t < firstTri_[f + 1] && !cut; ++t) cut = touched(t);
            if (!cut) {
                Unit u;
                u.face = int32_t(f), u.side = sideOf(f);
                for (const auto& loop : loops_[f]) {
                    u.loops.push_back({});
                    for (const auto& corner : loop) u.loops.back().push_back(corner.first);
                }
                units_.push_back(std::move(u));
                continue;
            }
            for (uint32_t t = firstTri_[f]; t < firstTri_[f + 1]; ++t)
                if (!cutTriangle(int32_t(t), units_)) {
                    if (work_ > limits().maxBooleanWork) {
                        why = "the curves where the inputs meet cut their faces too finely";
                        return overWork(why);
                    }
                    why = "a face could not be cut along the curves where the inputs meet (face " + std::to_string(f) + ")";
                    return false;
                }
        }
        return true;
    }

    MeshVec unitNormal(const Unit& u) const {
        MeshVec n;
        for (const auto& loop : u.loops)
            for (size_t k = 0; k < loop.size(); ++k) n += P(loop[k]).cross(P(loop[(k + 1) % loop.size()]));
        return n;
    }

    // A point well inside the unit: the middle of its largest triangle.
    MeshVec sample(const Unit& u) {
        std::vector<MeshVec> corners;
        std::vector<uint32_t> sizes, triples;
        for (const auto& loop : u.loops) {
            sizes.push_back(uint32_t(loop.size()));
            for (int32_t p : loop) corners.push_back(P(p));
        }
        triangulatePolygon(corners, sizes, triples, scratch_);
        MeshVec best = corners.front();
        double bestArea = -1;
        for (size_t t = 0; t + 2 < triples.size(); t += 3) {
            const MeshVec a = corners[triples[t]], b = corners[triples[t + 1]], c = corners[triples[t + 2]];
            const double area = (b - a).cross(c - a).length();
            if (area > bestArea) bestArea = area, best = (a + b + c) * (1.0 / 3);
        }
        return best;
    }

    // How many times the solid of `side` winds round p: about 1 inside, 0 outside.
    double winding(const MeshVec& p, uint8_t side) const {
        double sum = 0;
        for (const Tri& t : tris_) {
            if (t.side != side) continue;
            const MeshVec a = P(t.v[0]) - p, b = P(t.v[1]) - p, c = P(t.v[2]) - p;
            const double la = a.length(), lb = b.length(), lc = c.length();
            const double num = a.dot(b.cross(c));
            const double den = la * lb * lc + a.dot(b) * lc + a.dot(c) * lb + b.dot(c) * la;
            sum += 2 * stablemath::atan2(num, den);
        }
        return sum / (4 * kPi);
    }

    // Whether p (on triangle a's plane) lies inside triangle b.
    bool within(const MeshVec& p, const Tri& b) const {
        const Frame frame(b.n);
        const Vec2 q = frame(p);
        for (int k = 0; k < 3; ++k) {
            const Vec2 c = frame(P(b.v[k])), d = frame(P(b.v[(k + 1) % 3]));
            if (cross2(d - c, q - c) < 0) return false;
        }
        return true;
    }

    bool classify(std::string& why) {
        // Pieces lying on the other surface.
        for (Unit& u : units_) {
            if (u.tri < 0 || partners_[size_t(u.tri)].empty()) continue;
            const MeshVec s = sample(u);
            for (int32_t other : partners_[size_t(u.tri)]) {
                const Tri& b = tris_[size_t(other)];
                if (!within(s, b)) continue;
                u.coplanar = true;
                u.cls = tris_[size_t(u.tri)].n.dot(b.n) > 0 ? kSame : kOpposite;
                break;
            }
        }
        // The others by regions not parted by a curve, one winding number each.
        meshmod::LowUnion region(units_.size());
        std::unordered_map<uint64_t, int32_t> byEdge;
        for (size_t i = 0; i < units_.size(); ++i) {
            const Unit& u = units_[i];
            if (u.coplanar) continue;
            for (const auto& loop : u.loops)
                for (size_t k = 0; k < loop.size(); ++k) {
                    const uint64_t key = pairKey(loop[k], loop[(k + 1) % loop.size()]);
                    if (cutEdges_.count(key)) continue;
                    auto [it, made] = byEdge.emplace(key, int32_t(i));
                    if (!made && units_[size_t(it->second)].side == u.side) region.unite(it->second, int32_t(i));
                }
        }
        // Each region is sorted at its largest unit; a few others across it
        // must agree, or a curve failed to part it (a gap in the cut).
        std::unordered_map<int32_t, std::vector<int32_t>> members;
        for (size_t i = 0; i < units_.size(); ++i)
            if (!units_[i].coplanar) members[region.find(int32_t(i))].push_back(int32_t(i));
        size_t otherTris[2] = {0, 0};
        for (const Tri& t : tris_) ++otherTris[1 - t.side];
        std::unordered_map<int32_t, uint8_t> regionClass;
        for (const auto& [root, list] : members) {
            int32_t best = list.front();
            double bestArea = -1;
            for (int32_t i : list)
                if (const double area = unitNormal(units_[size_t(i)]).length(); area > bestArea) bestArea = area, best = i;
            std::vector<int32_t> probes{best};
            for (size_t k = 1; k <= 3 && list.size() > 1; ++k)
                if (const int32_t i = list[k * (list.size() - 1) / 3]; i != best) probes.push_back(i);
            const uint8_t side = units_[size_t(best)].side;
            int inside = 0;
            for (int32_t i : probes) {
                if (!spend(otherTris[side])) {
                    why = "the cut leaves too many separate regions to sort";
                    return overWork(why);
                }
                inside += std::fabs(winding(sample(units_[size_t(i)]), uint8_t(1 - side))) > 0.5 ? 1 : 0;
            }
            if (inside != 0 && inside != int(probes.size())) {
                why = "the cut leaves a region partly inside the other solid";
                return false;
            }
            regionClass[root] = inside ? kInside : kOutside;
        }
        for (size_t i = 0; i < units_.size(); ++i)
            if (!units_[i].coplanar) units_[i].cls = regionClass[region.find(int32_t(i))];
        return true;
    }

    bool keeps(const Unit& u) const {
        const bool first = u.side == 0;
        switch (op_) {
        case BooleanOperation::Union: return u.cls == kOutside || (first && u.cls == kSame);
        case BooleanOperation::Intersection: return u.cls == kInside || (first && u.cls == kSame);
        case BooleanOperation::Difference:
            return first ? u.cls == kOutside || u.cls == kOpposite : u.cls == kInside;
        }
        return false;
    }

    // --- the result's faces
    // The corner of face f at point p when the face has one there.
    int64_t faceCornerAt(int32_t f, int32_t p) const {
        for (const auto& loop : loops_[size_t(f)])
            for (const auto& [q, c] : loop)
                if (q == p) return c;
        return -1;
    }

    OutCorner cornerOf(int32_t p, int32_t t) const {
        const Tri& tri = tris_[size_t(t)];
        for (int k = 0; k < 3; ++k)
            if (tri.v[k] == p) return {p, tri.corner[k], t};
        return {p, faceCornerAt(tri.face, p), t};
    }

    // The kept pieces of face f joined along their shared sides into the face's parts.
    void join(int32_t f, const std::vector<const Unit*>& pieces) {
        struct Side {
            int32_t from, to, tri;
            bool alive = true, used = false;
        };
        std::vector<Side> sides;
        std::unordered_map<uint64_t, std::vector<size_t>> byDirection;
        for (const Unit* u : pieces)
            for (const auto& loop : u->loops)
                for (size_t k = 0; k < loop.size(); ++k) {
                    const int32_t a = loop[k], b = loop[(k + 1) % loop.size()];
                    auto back = byDirection.find(directedKey(b, a));
                    if (back != byDirection.end() && !back->second.empty()) {
                        sides[back->second.back()].alive = false;
                        back->second.pop_back();
                        continue;
                    }
                    byDirection[directedKey(a, b)].push_back(sides.size());
                    sides.push_back({a, b, u->tri});
                }
        std::unordered_map<int32_t, std::vector<size_t>> leaving;
        for (size_t s = 0; s < sides.size(); ++s)
            if (sides[s].alive) leaving[sides[s].from].push_back(s);
        MeshVec normal;
        for (const auto& loop : loops_[size_t(f)])
            for (size_t k = 0; k < loop.size(); ++k) normal += P(loop[k].first).cross(P(loop[(k + 1) % loop.size()].first));
        const Frame frame(normal);
        std::vector<std::vector<OutCorner>> outers, holes;
        std::vector<std::vector<Vec2>> outerShapes;
        std::vector<double> outerAreas;
        for (size_t s0 = 0; s0 < sides.size(); ++s0) {
            if (!sides[s0].alive || sides[s0].used) continue;
            std::vector<OutCorner> loop;
            std::vector<Vec2> shape;
            size_t s = s0;
            bool closedUp = false;
            for (size_t steps = 0; steps <= sides.size(); ++steps) {
                sides[s].used = true;
                loop.push_back(cornerOf(sides[s].from, sides[s].tri));
                shape.push_back(frame(P(sides[s].from)));
                const Vec2 back = frame(P(sides[s].from)) - frame(P(sides[s].to));
                size_t next = SIZE_MAX;
                double widest = -1;
                for (size_t c : leaving[sides[s].to]) {
                    if (sides[c].used && c != s0) continue;
                    const double a = turn(back, frame(P(sides[c].to)) - frame(P(sides[c].from)));
                    if (a > widest) widest = a, next = c;
                }
                if (next == SIZE_MAX) break;
                if (next == s0) {
                    closedUp = true;
                    break;
                }
                s = next;
            }
            if (!closedUp || loop.size() < 3) {
                failed_ = true;
                return;
            }
            // Start where the face's own outline starts, when it is there.
            size_t start = 0;
            int64_t first = -1;
            for (size_t k = 0; k < loop.size(); ++k)
                if (loop[k].corner >= 0 && loop[k].point < originals_ &&
                    (first < 0 || loop[k].corner < first))
                    first = loop[k].corner, start = k;
            std::rotate(loop.begin(), loop.begin() + long(start), loop.end());
            std::rotate(shape.begin(), shape.begin() + long(start), shape.end());
            const double a = area2(shape);
            if (a > 0) outers.push_back(std::move(loop)), outerShapes.push_back(std::move(shape)), outerAreas.push_back(a);
            else holes.push_back(std::move(loop));
        }
        std::vector<OutFace> parts(outers.size());
        for (size_t o = 0; o < outers.size(); ++o) parts[o] = {f, {outers[o]}};
        for (auto& hole : holes) {
            int best = -1;
            for (size_t o = 0; o < outers.size(); ++o) {
                std::unordered_set<int32_t> on;
                for (const OutCorner& c : outers[o]) on.insert(c.point);
                const OutCorner* probe = nullptr;
                for (const OutCorner& c : hole)
                    if (!on.count(c.point)) {
                        probe = &c;
                        break;
                    }
                if (!probe || !insidePolygon(frame(P(probe->point)), outerShapes[o])) continue;
                if (best < 0 || outerAreas[o] < outerAreas[size_t(best)]) best = int(o);
            }
            if (best < 0) {
                failed_ = true;
                return;
            }
            parts[size_t(best)].loops.push_back(std::move(hole));
        }
        // Parts in the order of the first of the face's corners each keeps (its start), those keeping none last.
        auto firstCorner = [](const OutFace& part) {
            const int64_t c = part.loops.front().front().corner;
            return c >= 0 ? c : std::numeric_limits<int64_t>::max();
        };
        std::stable_sort(parts.begin(), parts.end(),
                         [&](const OutFace& a, const OutFace& b) { return firstCorner(a) < firstCorner(b); });
        for (auto& part : parts) faces_.push_back(std::move(part));
    }

    void assemble() {
        const bool flipSecond = op_ == BooleanOperation::Difference;
        size_t unit = 0;
        for (size_t f = 0; f < loops_.size(); ++f) {
            if (loops_[f].empty()) continue;
            const size_t begin = unit;
            while (unit < units_.size() && units_[unit].face == int32_t(f)) ++unit;
            const size_t before = faces_.size();
            if (unit - begin == 1 && units_[begin].tri < 0) {
                if (keeps(units_[begin])) {
                    OutFace out{int32_t(f), {}};
                    for (const auto& loop : loops_[f]) {
                        out.loops.push_back({});
                        for (const auto& [p, c] : loop) out.loops.back().push_back({p, c, -1});
                    }
                    faces_.push_back(std::move(out));
                }
            } else {
                std::vector<const Unit*> kept;
                for (size_t u = begin; u < unit; ++u)
                    if (keeps(units_[u])) kept.push_back(&units_[u]);
                if (!kept.empty()) join(int32_t(f), kept);
            }
            if (flipSecond && sideOf(f) == 1)
                for (size_t o = before; o < faces_.size(); ++o)
                    for (auto& loop : faces_[o].loops) std::reverse(loop.begin() + 1, loop.end());
        }
    }

    // A point where the cut runs straight on between two faces, neither of
    // which has it as a corner of its own (a cut point, or the other solid's
    // corner lying on a side), only marks where the other solid's
    // triangulation crossed: it goes, so that a box through a box leaves
    // quads, not pentagons.
    void dropStraightCutPoints() {
        std::unordered_map<int32_t, std::vector<int32_t>> neighbours;
        std::unordered_set<int32_t> corners;
        for (const OutFace& face : faces_)
            for (const auto& loop : face.loops)
                for (size_t k = 0; k < loop.size(); ++k) {
                    const int32_t p = loop[k].point;
                    if (loop[k].corner >= 0) corners.insert(p);
                    std::vector<int32_t>& n = neighbours[p];
                    for (int32_t q : {loop[(k + 1) % loop.size()].point, loop[(k + loop.size() - 1) % loop.size()].point})
                        if (std::find(n.begin(), n.end(), q) == n.end()) n.push_back(q);
                }
        std::unordered_set<int32_t> drop;
        for (const auto& [p, n] : neighbours) {
            if (n.size() != 2 || corners.count(p)) continue;
            double s = 0;
            if (distanceToEdge(P(p), n[0], n[1], s) <= tol_ && s > 0 && s < 1) drop.insert(p);
        }
        // A loop must keep three corners: its points stay where it would not.
        for (bool changed = true; changed && !drop.empty();) {
            changed = false;
            for (const OutFace& face : faces_)
                for (const auto& loop : face.loops) {
                    size_t left = 0;
                    for (const OutCorner& c : loop) left += drop.count(c.point) ? 0 : 1;
                    if (left >= 3) continue;
                    for (const OutCorner& c : loop) changed |= drop.erase(c.point) > 0;
                }
        }
        if (drop.empty()) return;
        for (int32_t p : drop) {
            const std::vector<int32_t>& n = neighbours[p];
            if (cutEdges_.count(pairKey(p, n[0])) || cutEdges_.count(pairKey(p, n[1]))) cutEdges_.insert(pairKey(n[0], n[1]));
        }
        for (OutFace& face : faces_)
            for (auto& loop : face.loops)
                loop.erase(std::remove_if(loop.begin(), loop.end(), [&](const OutCorner& c) { return drop.count(c.point) > 0; }),
                           loop.end());
    }

    // --- the mesh
    void build(MeshData& out, std::vector<int32_t>& faceSource) {
        // Vertices: the inputs' own in order, then the cut points by first use.
        std::vector<int32_t> newId(pts_.size(), -1);
        std::vector<uint8_t> usedOriginal(size_t(originals_), 0);
        for (const OutFace& face : faces_)
            for (const auto& loop : face.loops)
                for (const OutCorner& c : loop)
                    if (c.point < originals_) usedOriginal[size_t(c.point)] = 1;
        int32_t count = 0;
        for (int32_t v = 0; v < originals_; ++v)
            if (usedOriginal[size_t(v)]) newId[size_t(v)] = count++;
        for (const OutFace& face : faces_)
            for (const auto& loop : face.loops)
                for (const OutCorner& c : loop)
                    if (newId[size_t(c.point)] < 0) newId[size_t(c.point)] = count++;
        out.points.assign(3 * size_t(count), 0.f);
        for (size_t p = 0; p < newId.size(); ++p) {
            if (newId[p] < 0) continue;
            const MeshVec& q = pts_[int32_t(p)];
            float* dst = &out.points[3 * size_t(newId[p])];
            dst[0] = float(q.x), dst[1] = float(q.y), dst[2] = float(q.z);
        }
        // Faces, and the values their corners carry.
        out.uvSets.clear();
        for (const MeshUVSet& set : m_.uvSets) out.uvSets.push_back({set.name, set.u, set.v, {}});
        out.currentUVSet = m_.currentUVSet;
        for (const MeshColorSet& set : m_.colorSets) out.colorSets.push_back({set.name, set.rgba, {}});
        out.currentColorSet = m_.currentColorSet;
        std::vector<std::map<std::pair<float, float>, int32_t>> madeUV(m_.uvSets.size());
        std::vector<std::map<std::array<float, 4>, int32_t>> madeColor(m_.colorSets.size());
        const size_t corners = m_.numFaceVertices();
        out.faceLoopStart.push_back(0);
        out.loopStart.push_back(0);
        for (const OutFace& face : faces_) {
            for (const auto& loop : face.loops) {
                for (const OutCorner& c : loop) {
                    out.faceVertices.push_back(newId[size_t(c.point)]);
                    double w[3] = {0, 0, 0};
                    if (c.corner < 0) weights(c, w);
                    for (size_t s = 0; s < m_.uvSets.size(); ++s) {
                        const MeshUVSet& set = m_.uvSets[s];
                        if (set.faceVertexUV.size() != corners) {
                            out.uvSets[s].faceVertexUV.push_back(-1);
                            continue;
                        }
                        out.uvSets[s].faceVertexUV.push_back(c.corner >= 0 ? set.faceVertexUV[size_t(c.corner)]
                                                                           : interpolatedUV(s, c.tri, w, madeUV[s], out));
                    }
                    for (size_t s = 0; s < m_.colorSets.size(); ++s) {
                        const MeshColorSet& set = m_.colorSets[s];
                        if (set.faceVertexColor.size() != corners) {
                            out.colorSets[s].faceVertexColor.push_back(-1);
                            continue;
                        }
                        out.colorSets[s].faceVertexColor.push_back(
                            c.corner >= 0 ? set.faceVertexColor[size_t(c.corner)]
                                          : interpolatedColor(s, c.tri, w, madeColor[s], out));
                    }
                }
                out.loopStart.push_back(uint32_t(out.faceVertices.size()));
            }
            out.faceLoopStart.push_back(uint32_t(out.loopStart.size() - 1));
            faceSource.push_back(face.face);
        }
        buildEdges(out, newId);
        if (out.numFaces() == 0) out.faceLoopStart.clear(), out.loopStart.clear();
    }

    // Barycentric weights of a cut corner in its triangle.
    void weights(const OutCorner& c, double w[3]) const {
        const Tri& t = tris_[size_t(c.tri)];
        const MeshVec a = P(t.v[0]), v0 = P(t.v[1]) - a, v1 = P(t.v[2]) - a, v2 = P(c.point) - a;
        const double d00 = v0.dot(v0), d01 = v0.dot(v1), d11 = v1.dot(v1), d20 = v2.dot(v0), d21 = v2.dot(v1);
        const double den = d00 * d11 - d01 * d01;
        if (den == 0) {
            w[0] = 1, w[1] = w[2] = 0;
            return;
        }
        w[1] = (d11 * d20 - d01 * d21) / den;
        w[2] = (d00 * d21 - d01 * d20) / den;
        w[0] = 1 - w[1] - w[2];
    }

    int32_t interpolatedUV(size_t s, int32_t t, const double w[3], std::map<std::pair<float, float>, int32_t>& made,
                           MeshData& out) const {
        const MeshUVSet& set = m_.uvSets[s];
        double u = 0, v = 0;
        for (int k = 0; k < 3; ++k) {
            const int32_t id = set.faceVertexUV[tris_[size_t(t)].corner[size_t(k)]];
            if (id < 0) return -1;
            u += w[k] * set.u[size_t(id)], v += w[k] * set.v[size_t(id)];
        }
        MeshUVSet& target = out.uvSets[s];
        auto [it, isNew] = made.emplace(std::pair{float(u), float(v)}, int32_t(target.u.size()));
        if (isNew) target.u.push_back(float(u)), target.v.push_back(float(v));
        return it->second;
    }

    int32_t interpolatedColor(size_t s, int32_t t, const double w[3], std::map<std::array<float, 4>, int32_t>& made,
                              MeshData& out) const {
        const MeshColorSet& set = m_.colorSets[s];
        double rgba[4] = {0, 0, 0, 0};
        for (int k = 0; k < 3; ++k) {
            const int32_t id = set.faceVertexColor[tris_[size_t(t)].corner[size_t(k)]];
            if (id < 0) return -1;
            for (size_t i = 0; i < 4; ++i) rgba[i] += w[k] * set.rgba[4 * size_t(id) + i];
        }
        std::array<float, 4> key{float(rgba[0]), float(rgba[1]), float(rgba[2]), float(rgba[3])};
        std::vector<float>& target = out.colorSets[s].rgba;
        auto [it, isNew] = made.emplace(key, int32_t(target.size() / 4));
        if (isNew) target.insert(target.end(), key.begin(), key.end());
        return it->second;
    }

    // The kept original edges in their order, then the new ones as the faces walk them.
    void buildEdges(MeshData& out, const std::vector<int32_t>& newId) {
        std::unordered_map<uint64_t, uint8_t> smoothOf;  // by point pair: original edges and their pieces
        const bool flags = m_.edgeSmooth.size() == m_.numEdges();
        for (size_t e = 0; e < m_.numEdges(); ++e) {
            const int32_t a = rep_[size_t(m_.edges[2 * e])], b = rep_[size_t(m_.edges[2 * e + 1])];
            if (a == b) continue;
            const uint8_t smooth = flags ? m_.edgeSmooth[e] : 0;
            int32_t prev = a;
            for (int32_t p : sidePoints(a, b)) smoothOf.emplace(pairKey(prev, p), smooth), prev = p;
            smoothOf.emplace(pairKey(prev, b), smooth);
        }
        std::unordered_map<uint64_t, int32_t> walked;
        std::vector<uint64_t> order;
        for (size_t f = 0; f < out.numFaces(); ++f)
            for (uint32_t l = out.faceLoopStart[f]; l < out.faceLoopStart[f + 1]; ++l)
                for (uint32_t c = out.loopStart[l]; c < out.loopStart[l + 1]; ++c) {
                    const uint32_t n = c + 1 < out.loopStart[l + 1] ? c + 1 : out.loopStart[l];
                    const uint64_t key = pairKey(out.faceVertices[c], out.faceVertices[n]);
                    if (walked.emplace(key, 0).second) order.push_back(key);
                }
        auto add = [&](uint64_t key, uint8_t smooth) {
            auto it = walked.find(key);
            if (it == walked.end() || it->second) return;
            it->second = 1;
            out.edges.push_back(int32_t(key >> 32));
            out.edges.push_back(int32_t(uint32_t(key)));
            out.edgeSmooth.push_back(smooth);
        };
        for (size_t e = 0; e < m_.numEdges(); ++e) {
            const int32_t a = newId[size_t(rep_[size_t(m_.edges[2 * e])])], b = newId[size_t(rep_[size_t(m_.edges[2 * e + 1])])];
            if (a >= 0 && b >= 0 && a != b) add(pairKey(a, b), flags ? m_.edgeSmooth[e] : 0);
        }
        std::vector<int32_t> oldId(out.numVertices(), -1);
        for (size_t p = 0; p < newId.size(); ++p)
            if (newId[p] >= 0) oldId[size_t(newId[p])] = int32_t(p);
        for (uint64_t key : order) {
            const int32_t a = oldId[size_t(key >> 32)], b = oldId[size_t(uint32_t(key))];
            auto it = smoothOf.find(pairKey(a, b));
            add(key, it != smoothOf.end() ? it->second : uint8_t(cutEdges_.count(pairKey(a, b)) ? 0 : 1));
        }
    }

    const MeshData& m_;
    size_t firstB_;
    BooleanOperation op_;
    double coarse_ = 1;
    size_t inputName_[2] = {0, 1};
    double tol_ = 0;
    PointTable pts_;
    std::vector<int32_t> rep_;
    int32_t originals_ = 0;
    std::vector<std::vector<std::vector<std::pair<int32_t, uint32_t>>>> loops_;
    std::vector<Tri> tris_;
    std::vector<uint32_t> firstTri_;
    std::vector<std::vector<std::pair<int32_t, int32_t>>> segments_;
    std::vector<std::vector<int32_t>> partners_;
    std::unordered_map<uint64_t, std::vector<int32_t>> edgePoints_;
    std::unordered_set<uint64_t> cutEdges_;
    std::vector<Unit> units_;
    std::vector<OutFace> faces_;
    TriangulateScratch scratch_;
    bool failed_ = false;
    bool final_ = false;
    uint64_t work_ = 0;
};

// Every edge of the result walked once each way.
std::string openness(const MeshData& mesh) {
    std::unordered_map<uint64_t, uint32_t> walked;
    for (size_t f = 0; f < mesh.numFaces(); ++f)
        for (uint32_t l = mesh.faceLoopStart[f]; l < mesh.faceLoopStart[f + 1]; ++l)
            for (uint32_t c = mesh.loopStart[l]; c < mesh.loopStart[l + 1]; ++c) {
                const uint32_t n = c + 1 < mesh.loopStart[l + 1] ? c + 1 : mesh.loopStart[l];
                ++walked[directedKey(mesh.faceVertices[c], mesh.faceVertices[n])];
            }
    size_t open = 0;
    for (const auto& [key, count] : walked) {
        auto back = walked.find((key << 32) | (key >> 32));
        if (count != 1 || back == walked.end() || back->second != 1) ++open;
    }
    return open == 0 ? std::string() : std::to_string(open) + " sides of its faces are not matched by a neighbour";
}

// The first input placed in world space: what the node gives when it cannot compute.
MeshData firstInputPlaced(const PolyBoolOpParams& params) {
    PolyUniteParams one;
    one.inputs.push_back(params.inputs.front());
    one.mergeUVSets = params.mergeUVSets;
    std::string ignored;
    return applyPolyUnite(one, &ignored);
}

}  // namespace

MeshData applyPolyBoolOp(const PolyBoolOpParams& params, std::string* warning, std::vector<int32_t>* faceInput) {
    auto passFirst = [&](const std::string& why) {
        if (params.inputs.empty()) {
            addWarning(warning, "polyBoolOp: no input mesh, the result is empty");
            if (faceInput) faceInput->clear();
            return MeshData{};
        }
        addWarning(warning, "polyBoolOp: " + why + "; the first input is passed on");
        MeshData first = firstInputPlaced(params);
        if (faceInput) faceInput->assign(first.numFaces(), 0);
        return first;
    };
    const int op = int(params.operation);
    if (op < 1 || op > 3) return passFirst("operation " + std::to_string(op) + " is not known");
    if (params.inputs.size() < 2) return passFirst("it needs two inputs");
    uint64_t faces = 0;
    for (size_t i = 0; i < params.inputs.size(); ++i) {
        const UnionInput& input = params.inputs[i];
        if (std::string error = meshDataError(input.mesh); !error.empty())
            return passFirst("input " + std::to_string(i) + " is inconsistent: " + error);
        if (!meshmod::isFiniteMatrix(input.matrix))
            return passFirst("the matrix of input " + std::to_string(i) + " has values that are not finite");
        faces += input.mesh.numFaces();
    }
    if (std::string why = refuseFaces(2 * faces); !why.empty()) return passFirst(why);

    // Combined one input after the other: the result so far is the first solid.
    MeshData result;
    std::vector<int32_t> origin;
    for (size_t i = 1; i < params.inputs.size(); ++i) {
        PolyUniteParams unite;
        if (i == 1) unite.inputs.push_back(params.inputs[0]);
        else unite.inputs.push_back({std::move(result), MMatrix()});
        unite.inputs.push_back(params.inputs[i]);
        unite.mergeUVSets = params.mergeUVSets;
        const size_t firstOfB = unite.inputs[0].mesh.numFaces();
        if (i == 1) origin.assign(firstOfB, 0);
        std::string united;
        MeshData both = applyPolyUnite(unite, &united);
        if (!united.empty()) addWarning(warning, "polyBoolOp: " + united);
        both.faceVertexNormals.clear();
        if (!params.preserveColor) both.colorSets.clear(), both.currentColorSet = 0;
        // Features closer than the tolerance but not quite together can
        // leave the cut inconsistent: the result is then made again with a
        // coarser tolerance, which takes them as one.
        std::vector<int32_t> source;
        std::string why;
        MeshData next;
        for (double coarse : {1.0, 16.0, 256.0}) {
            BooleanSolver solver(both, firstOfB, params.operation, coarse);
            solver.nameSecond(i);
            source.clear();
            next = MeshData{};
            if (!solver.run(next, source, why)) {
                if (solver.final()) break;
                continue;
            }
            if (std::string open = openness(next); !open.empty()) {
                why = "the result does not close up (" + open + ")";
                continue;
            }
            why.clear();
            break;
        }
        if (!why.empty()) return passFirst(why);
        if (std::string refused = refuseFaces(next.numFaces()); !refused.empty()) return passFirst(refused);
        std::vector<int32_t> nextOrigin;
        nextOrigin.reserve(source.size());
        for (int32_t f : source) nextOrigin.push_back(size_t(f) < firstOfB ? origin[size_t(f)] : int32_t(i));
        origin = std::move(nextOrigin);
        result = std::move(next);
    }
    meshmod::dropUnusedMaps(result);
    if (params.useThresholds && params.vertexDistanceThreshold > 0 && std::isfinite(params.vertexDistanceThreshold)) {
        // Points the cut left closer than the threshold become one, when the
        // surface stays closed that way.
        bool close = false;
        for (size_t e = 0; e < result.numEdges() && !close; ++e) {
            const MeshVec a = meshPoint(result.points.data(), result.edges[2 * e]);
            const MeshVec b = meshPoint(result.points.data(), result.edges[2 * e + 1]);
            close = (a - b).length() < params.vertexDistanceThreshold;
        }
        if (close) {
            PolyMergeVertParams merge;
            merge.distance = params.vertexDistanceThreshold;
            std::string merged;
            MeshData joined = applyPolyMergeVert(result, merge, &merged);
            if (joined.numFaces() == result.numFaces() && openness(joined).empty() && meshDataError(joined).empty())
                result = std::move(joined);
        }
    }
    if (faceInput) *faceInput = origin;
    return result;
}

}  // namespace mayahost
