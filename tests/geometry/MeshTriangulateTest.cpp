// Triangulation of one polygon with holes, checked against what every valid
// triangulation must satisfy rather than against one particular answer.

#include "mesh/Triangulate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <random>

using mayahost::MeshVec;

namespace {

struct Polygon {
    std::vector<MeshVec> corners;
    std::vector<uint32_t> sizes;
};

// Loops in the xy plane, outline first, each a flat list of x y pairs.
Polygon xy(std::initializer_list<std::vector<double>> loops) {
    Polygon p;
    for (const auto& loop : loops) {
        for (size_t i = 0; i + 1 < loop.size(); i += 2) p.corners.push_back({loop[i], loop[i + 1], 0});
        p.sizes.push_back(uint32_t(loop.size() / 2));
    }
    return p;
}

// A circle of n points at radius r(i), counter-clockwise unless n < 0.
std::vector<double> circle(int n, const std::function<double(int)>& r) {
    std::vector<double> out;
    for (int i = 0; i < std::abs(n); ++i) {
        const double a = 2 * std::numbers::pi * i / n, ri = r(i);
        out.insert(out.end(), {ri * std::cos(a), ri * std::sin(a)});
    }
    return out;
}

double signedArea(const std::vector<MeshVec>& p, size_t begin, size_t end) {
    double a = 0;
    for (size_t i = begin; i < end; ++i) {
        const MeshVec& v = p[i + 1 == end ? begin : i + 1];
        a += p[i].x * v.y - v.x * p[i].y;
    }
    return a / 2;
}

// Even-odd rule over all loops: inside the outline and outside every hole.
bool insidePolygon(const Polygon& poly, double x, double y) {
    bool inside = false;
    size_t begin = 0;
    for (uint32_t size : poly.sizes) {
        for (size_t i = begin, j = begin + size - 1; i < begin + size; j = i++) {
            const MeshVec &a = poly.corners[i], &b = poly.corners[j];
            if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) inside = !inside;
        }
        begin += size;
    }
    return inside;
}

std::vector<uint32_t> run(const Polygon& poly, size_t* count = nullptr) {
    mayahost::TriangulateScratch scratch;
    std::vector<uint32_t> tris;
    const size_t n = mayahost::triangulatePolygon(poly.corners, poly.sizes, tris, scratch);
    if (count) *count = n;
    EXPECT_EQ(tris.size(), 3 * n);
    return tris;
}

// What every valid triangulation of a planar polygon in the xy plane must
// satisfy: the expected number of triangles, no triangle turned over, the
// triangles covering exactly the polygon's area, and each triangle inside it.
std::vector<uint32_t> expectValid(const Polygon& poly, const std::string& what) {
    SCOPED_TRACE(what);
    size_t count = 0, holes = 0;
    const std::vector<uint32_t> tris = run(poly, &count);
    for (size_t i = 1; i < poly.sizes.size(); ++i) holes += poly.sizes[i] >= 3;
    EXPECT_EQ(count, poly.corners.size() - 2 + 2 * holes);
    const double outer = signedArea(poly.corners, 0, poly.sizes[0]), orientation = outer >= 0 ? 1 : -1;
    double expected = std::fabs(outer), total = 0;
    for (size_t i = 1, begin = poly.sizes[0]; i < poly.sizes.size(); begin += poly.sizes[i], ++i)
        expected -= std::fabs(signedArea(poly.corners, begin, begin + poly.sizes[i]));
    for (size_t t = 0; t < tris.size() / 3; ++t) {
        const MeshVec &a = poly.corners.at(tris[3 * t]), &b = poly.corners.at(tris[3 * t + 1]),
                      &c = poly.corners.at(tris[3 * t + 2]);
        const double area = orientation * (b - a).cross(c - a).z / 2;
        EXPECT_GE(area, -1e-9) << "triangle " << t << " is turned over";
        total += area;
        EXPECT_TRUE(area <= 1e-9 || insidePolygon(poly, (a.x + b.x + c.x) / 3, (a.y + b.y + c.y) / 3))
            << "triangle " << t << " lies outside the polygon";
    }
    EXPECT_NEAR(total, expected, 1e-9 * std::max(1.0, expected));
    return tris;
}

bool usesDiagonal(const std::vector<uint32_t>& tris, uint32_t a, uint32_t b) {
    int both = 0;
    for (size_t t = 0; t < tris.size(); t += 3) {
        auto has = [&](uint32_t v) { return tris[t] == v || tris[t + 1] == v || tris[t + 2] == v; };
        both += has(a) && has(b);
    }
    return both == 2;
}

TEST(MeshTriangulate, OutlinesHolesAndRepeatedPoints) {
    const std::pair<const char*, Polygon> cases[] = {
        {"triangle", xy({{0, 0, 1, 0, 0, 1}})},
        {"pentagon", xy({{0, 0, 2, 0, 3, 1, 1, 3, -1, 1}})},
        {"L", xy({{0, 0, 2, 0, 2, 1, 1, 1, 1, 2, 0, 2}})},
        {"clockwise L", xy({{0, 2, 1, 2, 1, 1, 2, 1, 2, 0, 0, 0}})},
        {"comb", xy({{0, 0, 9, 0, 9, 3, 8, 3, 8, 1, 7, 1, 7, 3, 6, 3, 6, 1, 5, 1,
                      5, 3, 4, 3, 4, 1, 3, 1, 3, 3, 2, 3, 2, 1, 1, 1, 1, 3, 0, 3}})},
        {"star", xy({circle(10, [](int i) { return i % 2 ? 0.4 : 1.0; })})},
        {"one hole", xy({{0, 0, 4, 0, 4, 4, 0, 4}, {1, 1, 1, 3, 3, 3, 3, 1}})},
        // Holes wound like the outline, side by side.
        {"two holes", xy({{0, 0, 10, 0, 10, 4, 0, 4}, {1, 1, 3, 1, 3, 3, 1, 3}, {6, 1, 9, 1, 9, 3, 6, 3}})},
        {"hole in the leg of an L", xy({{0, 0, 6, 0, 6, 2, 2, 2, 2, 6, 0, 6}, {0.5, 3, 1.5, 3, 1.5, 5, 0.5, 5}})},
        {"points on the edges", xy({{0, 0, 1, 0, 2, 0, 2, 1, 2, 2, 1, 2, 0, 2, 0, 1}})},
        {"repeated corner", xy({{0, 0, 2, 0, 2, 0, 2, 2, 1, 1, 0, 2}})},
    };
    for (const auto& [name, poly] : cases) expectValid(poly, name);
}

TEST(MeshTriangulate, DegenerateInputStillGivesTriangles) {
    const std::pair<const char*, Polygon> cases[] = {
        {"collinear", xy({{0, 0, 1, 0, 2, 0, 3, 0, 4, 0}})},
        {"one point", xy({{1, 1, 1, 1, 1, 1, 1, 1, 1, 1}})},
        {"bow tie", xy({{0, 0, 2, 2, 2, 0, 0, 2}})},
        {"self-crossing", xy({{0, 0, 4, 0, 4, 4, 2, -2, 0, 4, 3, 1}})},
    };
    for (const auto& [name, poly] : cases) {
        size_t count = 0;
        for (uint32_t corner : run(poly, &count)) EXPECT_LT(corner, poly.corners.size()) << name;
        EXPECT_EQ(count, poly.corners.size() - 2) << name;
    }
}

TEST(MeshTriangulate, MalformedLoopListsAreRejectedQuietly) {
    Polygon poly = xy({{0, 0, 1, 0, 1, 1, 0, 1, 0.5, 1.5}});
    for (const auto& sizes : {std::vector<uint32_t>{6}, {2, 3}}) {
        poly.sizes = sizes;
        EXPECT_TRUE(run(poly).empty()) << sizes.size() << " loops";
    }
    // A two-point "hole" is ignored, the outline still triangulates.
    poly.sizes = {3, 2};
    EXPECT_EQ(run(poly).size(), 3u);
}

TEST(MeshTriangulate, QuadsSplitAlongTheShorterDiagonal) {
    EXPECT_TRUE(usesDiagonal(expectValid(xy({{0, 0, 1, 0, 1, 1, 0, 1}}), "square"), 0, 2)) << "a tie takes 0-2";
    EXPECT_TRUE(usesDiagonal(expectValid(xy({{0, 0, 2, -0.5, 4, 0, 2, 0.5}}), "wide rhombus"), 1, 3));
    EXPECT_TRUE(usesDiagonal(run(xy({{0, -0.5, 2, 0, 0, 0.5, -2, 0}})), 0, 2)) << "tall rhombus";
    // Concave at corner 3: only the 1-3 split stays inside, although 0-2 is shorter.
    EXPECT_TRUE(usesDiagonal(expectValid(xy({{0, 0, 2, 1, 0, 3, 0.5, 1}}), "dart"), 1, 3));
}

// A polygon placed in an arbitrary plane in 3D: every triangle must face the
// same way as the polygon's own normal.
TEST(MeshTriangulate, TiltedPolygonsInSpace) {
    const Polygon lShape = xy({{0, 0, 2, 0, 2, 1, 1, 1, 1, 2, 0, 2}, {0.2, 0.2, 0.2, 0.8, 0.8, 0.8, 0.8, 0.2}});
    const MeshVec axisU = MeshVec{1, 2, 3}.normalized(), axisV = axisU.cross(MeshVec{0, 0, 1}).normalized();
    const MeshVec normal = axisU.cross(axisV);
    for (int flip = 0; flip < 2; ++flip) {
        Polygon tilted = lShape;
        for (MeshVec& p : tilted.corners) p = axisU * p.x + axisV * (flip ? -p.y : p.y) + MeshVec{5, -3, 7};
        const std::vector<uint32_t> tris = run(tilted);
        ASSERT_EQ(tris.size(), 30u);
        const MeshVec faceNormal = mayahost::newellNormal(std::span(tilted.corners).first(6)).normalized();
        EXPECT_NEAR(std::fabs(faceNormal.dot(normal)), 1.0, 1e-9);
        double total = 0;
        for (size_t t = 0; t < 10; ++t) {
            const MeshVec& a = tilted.corners[tris[3 * t]];
            const MeshVec n = (tilted.corners[tris[3 * t + 1]] - a).cross(tilted.corners[tris[3 * t + 2]] - a);
            EXPECT_GT(n.dot(faceNormal), 0) << "triangle " << t << " faces away";
            total += n.length() / 2;
        }
        EXPECT_NEAR(total, 3.0 - 0.36, 1e-9);
    }
}

// Random star-shaped outlines (always simple), some with a hole around the
// centre: many concave corners in varied arrangements. Then many holes in one
// face, in random cells of a grid, wound either way: every bridge must find
// its way past the bridges made before it.
TEST(MeshTriangulate, RandomPolygonsAndHoles) {
    std::mt19937 rng(20261205);
    std::uniform_real_distribution<double> radius(0.3, 1.0);
    for (int round = 0; round < 300 && !HasFailure(); ++round) {
        const std::vector<double> outline = circle(5 + round % 40, [&](int) { return radius(rng); });
        expectValid(round % 3 ? xy({outline}) : xy({outline, circle(-7, [](int) { return 0.2; })}),
                    "star round " + std::to_string(round));
    }
    std::mt19937 grid(77);
    std::uniform_real_distribution<double> jitter(0.1, 0.3);
    for (int round = 0; round < 100 && !HasFailure(); ++round) {
        Polygon poly = xy({{0, 0, 6, 0, 6, 6, 3, 6.5, 0, 6}});
        for (int cell = 0; cell < 36; ++cell) {
            if (grid() % 3) continue;
            const double x = cell % 6, y = cell / 6, a = jitter(grid), b = jitter(grid);
            std::vector<MeshVec> hole = xy({{x + a, y + b, x + 1 - b, y + a, x + 1 - a, y + 1 - b, x + b, y + 1 - a}}).corners;
            if (grid() % 2) std::reverse(hole.begin(), hole.end());
            poly.corners.insert(poly.corners.end(), hole.begin(), hole.end());
            poly.sizes.push_back(4);
        }
        expectValid(poly, "grid round " + std::to_string(round));
    }
}

}  // namespace
