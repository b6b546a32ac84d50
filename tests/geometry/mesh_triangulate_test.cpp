#include "mesh/Triangulate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

using mayahost::MeshVec;
using mayahost::TriangulateScratch;
using mayahost::triangulatePolygon;

namespace {

struct Polygon {
    std::vector<MeshVec> corners;
    std::vector<uint32_t> sizes;

    void addLoop(const std::vector<MeshVec>& loop) {
        corners.insert(corners.end(), loop.begin(), loop.end());
        sizes.push_back(uint32_t(loop.size()));
    }
};

std::vector<MeshVec> xy(std::initializer_list<std::pair<double, double>> pts) {
    std::vector<MeshVec> out;
    for (auto [x, y] : pts) out.push_back({x, y, 0});
    return out;
}

double signedArea(const std::vector<MeshVec>& p, size_t begin, size_t end) {
    double a = 0;
    for (size_t i = begin; i < end; ++i) {
        const MeshVec& u = p[i];
        const MeshVec& v = p[i + 1 == end ? begin : i + 1];
        a += u.x * v.y - v.x * u.y;
    }
    return a / 2;
}

// Even-odd rule over all loops: inside the outline and outside every hole.
bool insidePolygon(const Polygon& poly, double x, double y) {
    bool inside = false;
    size_t begin = 0;
    for (uint32_t size : poly.sizes) {
        for (size_t i = begin, j = begin + size - 1; i < begin + size; j = i++) {
            const MeshVec& a = poly.corners[i];
            const MeshVec& b = poly.corners[j];
            if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) inside = !inside;
        }
        begin += size;
    }
    return inside;
}

struct Outcome {
    size_t count = 0;
    std::vector<uint32_t> tris;
};

Outcome run(const Polygon& poly) {
    TriangulateScratch scratch;
    Outcome o;
    o.count = triangulatePolygon(poly.corners, poly.sizes, o.tris, scratch);
    return o;
}

// What every valid triangulation of a planar polygon in the xy plane must
// satisfy: the expected number of triangles, no triangle turned over, the
// triangles covering exactly the polygon's area, and each triangle inside it.
void expectValid(const Polygon& poly, const Outcome& o, const std::string& what) {
    SCOPED_TRACE(what);
    size_t holes = 0;
    for (size_t i = 1; i < poly.sizes.size(); ++i) holes += poly.sizes[i] >= 3;
    ASSERT_EQ(o.count, poly.corners.size() - 2 + 2 * holes);
    ASSERT_EQ(o.tris.size(), 3 * o.count);
    double outer = signedArea(poly.corners, 0, poly.sizes[0]);
    double orientation = outer >= 0 ? 1 : -1;
    double expected = std::fabs(outer);
    size_t begin = poly.sizes[0];
    for (size_t i = 1; i < poly.sizes.size(); begin += poly.sizes[i], ++i)
        expected -= std::fabs(signedArea(poly.corners, begin, begin + poly.sizes[i]));
    double total = 0;
    for (size_t t = 0; t < o.count; ++t) {
        const MeshVec& a = poly.corners.at(o.tris[3 * t]);
        const MeshVec& b = poly.corners.at(o.tris[3 * t + 1]);
        const MeshVec& c = poly.corners.at(o.tris[3 * t + 2]);
        double area = orientation * ((b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x)) / 2;
        EXPECT_GE(area, -1e-9) << "triangle " << t << " is turned over";
        total += area;
        if (area > 1e-9) {
            EXPECT_TRUE(insidePolygon(poly, (a.x + b.x + c.x) / 3, (a.y + b.y + c.y) / 3))
                << "triangle " << t << " lies outside the polygon";
        }
    }
    EXPECT_NEAR(total, expected, 1e-9 * std::max(1.0, expected));
}

bool usesDiagonal(const std::vector<uint32_t>& tris, uint32_t a, uint32_t b) {
    int both = 0;
    for (size_t t = 0; t < tris.size(); t += 3) {
        bool hasA = tris[t] == a || tris[t + 1] == a || tris[t + 2] == a;
        bool hasB = tris[t] == b || tris[t + 1] == b || tris[t + 2] == b;
        both += hasA && hasB;
    }
    return both == 2;
}

TEST(MeshTriangulate, SimpleAndConcaveOutlines) {
    Polygon triangle, pentagon, lShape, comb, star;
    triangle.addLoop(xy({{0, 0}, {1, 0}, {0, 1}}));
    pentagon.addLoop(xy({{0, 0}, {2, 0}, {3, 1}, {1, 3}, {-1, 1}}));
    lShape.addLoop(xy({{0, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 2}, {0, 2}}));
    comb.addLoop(xy({{0, 0}, {9, 0}, {9, 3}, {8, 3}, {8, 1}, {7, 1}, {7, 3}, {6, 3}, {6, 1}, {5, 1},
                     {5, 3}, {4, 3}, {4, 1}, {3, 1}, {3, 3}, {2, 3}, {2, 1}, {1, 1}, {1, 3}, {0, 3}}));
    std::vector<MeshVec> starPts;
    for (int i = 0; i < 10; ++i) {
        double r = i % 2 ? 0.4 : 1.0, a = i * std::numbers::pi / 5;
        starPts.push_back({r * std::cos(a), r * std::sin(a), 0});
    }
    star.addLoop(starPts);
    for (auto [poly, name] : {std::pair{&triangle, "triangle"}, {&pentagon, "pentagon"}, {&lShape, "L"},
                              {&comb, "comb"}, {&star, "star"}})
        expectValid(*poly, run(*poly), name);
}

TEST(MeshTriangulate, ClockwiseOutlineKeepsItsWinding) {
    Polygon lShape;
    lShape.addLoop(xy({{0, 2}, {1, 2}, {1, 1}, {2, 1}, {2, 0}, {0, 0}}));
    expectValid(lShape, run(lShape), "clockwise L");
}

TEST(MeshTriangulate, HolesAreLeftOpen) {
    Polygon square;
    square.addLoop(xy({{0, 0}, {4, 0}, {4, 4}, {0, 4}}));
    square.addLoop(xy({{1, 1}, {1, 3}, {3, 3}, {3, 1}}));
    expectValid(square, run(square), "one hole");

    // Holes wound like the outline, side by side, and an L outline around them.
    Polygon two;
    two.addLoop(xy({{0, 0}, {10, 0}, {10, 4}, {0, 4}}));
    two.addLoop(xy({{1, 1}, {3, 1}, {3, 3}, {1, 3}}));
    two.addLoop(xy({{6, 1}, {9, 1}, {9, 3}, {6, 3}}));
    expectValid(two, run(two), "two holes");

    Polygon lWithHole;
    lWithHole.addLoop(xy({{0, 0}, {6, 0}, {6, 2}, {2, 2}, {2, 6}, {0, 6}}));
    lWithHole.addLoop(xy({{0.5, 3}, {1.5, 3}, {1.5, 5}, {0.5, 5}}));
    expectValid(lWithHole, run(lWithHole), "hole in the leg of an L");
}

TEST(MeshTriangulate, CollinearAndRepeatedPoints) {
    Polygon midpoints;
    midpoints.addLoop(xy({{0, 0}, {1, 0}, {2, 0}, {2, 1}, {2, 2}, {1, 2}, {0, 2}, {0, 1}}));
    expectValid(midpoints, run(midpoints), "points on the edges");

    Polygon repeated;
    repeated.addLoop(xy({{0, 0}, {2, 0}, {2, 0}, {2, 2}, {1, 1}, {0, 2}}));
    expectValid(repeated, run(repeated), "repeated corner");
}

TEST(MeshTriangulate, DegenerateInputStillGivesTriangles) {
    struct Case { const char* name; std::vector<MeshVec> pts; };
    std::vector<Case> cases = {
        {"collinear", xy({{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}})},
        {"one point", xy({{1, 1}, {1, 1}, {1, 1}, {1, 1}, {1, 1}})},
        {"bow tie", xy({{0, 0}, {2, 2}, {2, 0}, {0, 2}})},
        {"self-crossing", xy({{0, 0}, {4, 0}, {4, 4}, {2, -2}, {0, 4}, {3, 1}})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Polygon poly;
        poly.addLoop(c.pts);
        Outcome o = run(poly);
        EXPECT_EQ(o.count, c.pts.size() - 2);
        for (uint32_t corner : o.tris) EXPECT_LT(corner, c.pts.size());
    }
}

TEST(MeshTriangulate, MalformedLoopListsAreRejectedQuietly) {
    Polygon poly;
    poly.addLoop(xy({{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0.5, 1.5}}));
    Outcome o;
    TriangulateScratch scratch;
    std::vector<uint32_t> tooMany = {6};
    EXPECT_EQ(triangulatePolygon(poly.corners, tooMany, o.tris, scratch), 0u);
    std::vector<uint32_t> tiny = {2, 3};
    EXPECT_EQ(triangulatePolygon(poly.corners, tiny, o.tris, scratch), 0u);
    EXPECT_TRUE(o.tris.empty());
    // A two-point "hole" is ignored, the outline still triangulates.
    std::vector<uint32_t> shortHole = {3, 2};
    EXPECT_EQ(triangulatePolygon(poly.corners, shortHole, o.tris, scratch), 1u);
}

TEST(MeshTriangulate, QuadsSplitAlongTheShorterDiagonal) {
    Polygon square, wide, dart;
    square.addLoop(xy({{0, 0}, {1, 0}, {1, 1}, {0, 1}}));
    Outcome s = run(square);
    EXPECT_TRUE(usesDiagonal(s.tris, 0, 2)) << "a tie takes the 0-2 diagonal";
    expectValid(square, s, "square");

    wide.addLoop(xy({{0, 0}, {2, -0.5}, {4, 0}, {2, 0.5}}));  // 1-3 is the short diagonal
    Outcome w = run(wide);
    EXPECT_TRUE(usesDiagonal(w.tris, 1, 3));
    expectValid(wide, w, "wide rhombus");

    wide.corners = xy({{0, -0.5}, {2, 0}, {0, 0.5}, {-2, 0}});  // now 0-2 is short
    EXPECT_TRUE(usesDiagonal(run(wide).tris, 0, 2));

    // Concave at corner 3: only the 1-3 split stays inside, although 0-2 is shorter.
    dart.addLoop(xy({{0, 0}, {2, 1}, {0, 3}, {0.5, 1}}));
    Outcome d = run(dart);
    EXPECT_TRUE(usesDiagonal(d.tris, 1, 3));
    expectValid(dart, d, "dart");
}

// A polygon placed in an arbitrary plane in 3D: every triangle must face the
// same way as the polygon's own normal.
TEST(MeshTriangulate, TiltedPolygonsInSpace) {
    Polygon lShape;
    lShape.addLoop(xy({{0, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 2}, {0, 2}}));
    lShape.addLoop(xy({{0.2, 0.2}, {0.2, 0.8}, {0.8, 0.8}, {0.8, 0.2}}));
    MeshVec axisU = MeshVec{1, 2, 3}.normalized();
    MeshVec axisV = axisU.cross(MeshVec{0, 0, 1}).normalized();
    MeshVec normal = axisU.cross(axisV);
    for (int flip = 0; flip < 2; ++flip) {
        Polygon tilted = lShape;
        for (MeshVec& p : tilted.corners) p = axisU * p.x + axisV * (flip ? -p.y : p.y) + MeshVec{5, -3, 7};
        Outcome o = run(tilted);
        ASSERT_EQ(o.count, 10u);
        MeshVec faceNormal = mayahost::newellNormal(std::span(tilted.corners).first(6)).normalized();
        EXPECT_NEAR(std::fabs(faceNormal.dot(normal)), 1.0, 1e-9);
        double total = 0;
        for (size_t t = 0; t < o.count; ++t) {
            const MeshVec& a = tilted.corners[o.tris[3 * t]];
            MeshVec n = (tilted.corners[o.tris[3 * t + 1]] - a).cross(tilted.corners[o.tris[3 * t + 2]] - a);
            EXPECT_GT(n.dot(faceNormal), 0) << "triangle " << t << " faces away";
            total += n.length() / 2;
        }
        EXPECT_NEAR(total, 3.0 - 0.36, 1e-9);
    }
}

// Random star-shaped outlines (always simple), some with a hole around the
// centre: many concave corners in varied arrangements.
TEST(MeshTriangulate, RandomStarShapedPolygons) {
    std::mt19937 rng(20261205);
    std::uniform_real_distribution<double> radius(0.3, 1.0);
    for (int round = 0; round < 300; ++round) {
        int n = 5 + round % 40;
        Polygon poly;
        std::vector<MeshVec> outline;
        for (int i = 0; i < n; ++i) {
            double a = 2 * std::numbers::pi * i / n, r = radius(rng);
            outline.push_back({r * std::cos(a), r * std::sin(a), 0});
        }
        poly.addLoop(outline);
        if (round % 3 == 0) {
            std::vector<MeshVec> hole;
            for (int i = 0; i < 7; ++i) {
                double a = -2 * std::numbers::pi * i / 7;
                hole.push_back({0.2 * std::cos(a), 0.2 * std::sin(a), 0});
            }
            poly.addLoop(hole);
        }
        expectValid(poly, run(poly), "round " + std::to_string(round));
        if (HasFailure()) break;
    }
}

// Many holes in one face, in random cells of a grid, wound either way: every
// bridge must find its way past the bridges made before it.
TEST(MeshTriangulate, RandomHolesInAGrid) {
    std::mt19937 rng(77);
    std::uniform_real_distribution<double> jitter(0.1, 0.3);
    for (int round = 0; round < 100; ++round) {
        Polygon poly;
        poly.addLoop(xy({{0, 0}, {6, 0}, {6, 6}, {3, 6.5}, {0, 6}}));
        for (int cell = 0; cell < 36; ++cell) {
            if (rng() % 3) continue;
            double x = cell % 6, y = cell / 6, a = jitter(rng), b = jitter(rng);
            auto hole = xy({{x + a, y + b}, {x + 1 - b, y + a}, {x + 1 - a, y + 1 - b}, {x + b, y + 1 - a}});
            if (rng() % 2) std::reverse(hole.begin(), hole.end());
            poly.addLoop(hole);
        }
        expectValid(poly, run(poly), "round " + std::to_string(round));
        if (HasFailure()) break;
    }
}

}  // namespace
