// The NURBS primitive creators: knots, forms and sizes, points on the shape,
// outward normals, axis and pivot, refusals, and Maya's own stored .cc data.

#include "NurbsTestUtil.h"
#include "../geometry/MeshTestUtil.h"

#include "nurbs/NurbsCreators.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <numbers>
#include <sstream>
#include <string>
#include <tuple>

using namespace nurbstest;
using nurbs_reference::dot;
using nurbs_reference::sub;

namespace {

constexpr double kPi = std::numbers::pi;
using Numbers = meshtest::AttrReader::Numbers;
using Vectors = meshtest::AttrReader::Vectors;
struct Reader : meshtest::AttrReader {
    Reader() : AttrReader({}, {{"ax", {0, 1, 0}}}) {}  // as every creation command writes it
};

double radial(Vec p) { return std::hypot(p[0], p[2]); }  // distance from the Y axis

// Signed distance-like measure of each ideal shape: zero on it, growing outwards.
using Shape = std::function<double(Vec)>;
Shape sphere(double r, Vec c = {}) { return [=](Vec p) { return nurbs_reference::norm(sub(p, c)) - r; }; }
Shape cylinder(double r, double h) { return [=](Vec p) { return radial(p) - r + (std::fabs(p[1]) > h / 2 + 1e-9); }; }
Shape cone(double r, double h, double base) { return [=](Vec p) { return radial(p) - r * (base + h - p[1]) / h; }; }
Shape torus(double r, double rm) { return [=](Vec p) { return std::hypot(radial(p) - r, p[1]) - rm; }; }
// A plane `normal` . p == offset, the other coordinates within `half`.
Shape flat(Vec normal, double offset, Vec half) {
    return [=](Vec p) {
        double e = dot(p, normal) - offset;
        for (size_t i = 0; i < 3; ++i) e += normal[i] == 0 && std::fabs(p[i]) > half[i] + 1e-9;
        return e;
    };
}

// The numbers of the .cc value stored on the shape named `shape` ("no" as 0).
std::vector<double> storedCC(const std::string& path, const std::string& shape) {
    std::stringstream all;
    all << std::ifstream(path).rdbuf();
    const std::string text = all.str();
    const size_t at = text.find("\".cc\"", text.find("-n \"" + shape + "\""));  // npos when not there
    if (at == std::string::npos) return {};
    std::istringstream body(text.substr(at, text.find(';', at) - at));
    std::vector<double> values;
    for (std::string word; body >> word;) {
        char* stop = nullptr;
        const double d = std::strtod(word.c_str(), &stop);
        if (word == "no" || *stop == '\0') values.push_back(d);
    }
    return values;
}

// The same numbers as Maya writes them for a non-rational curve or surface.
std::vector<double> ccOf(std::vector<double> v, const std::vector<std::vector<double>>& knots,
                         const std::vector<double>& cvs) {
    for (const auto& k : knots) {
        v.push_back(double(k.size()));
        v.insert(v.end(), k.begin(), k.end());
    }
    v.push_back(double(cvs.size() / 4));
    for (size_t i = 0; i < cvs.size(); ++i)
        if (i % 4 != 3) v.push_back(cvs[i]);
    return v;
}

void expectSame(const std::vector<double>& maya, const std::vector<double>& ours) {
    ASSERT_EQ(maya.size(), ours.size());
    for (size_t i = 0; i < maya.size(); ++i) EXPECT_NEAR(maya[i], ours[i], 1e-12) << "value " << i;
}

struct Case {
    std::string name, type;  // the creator's node type after "makeNurb"
    Numbers numbers;
    Vectors vectors;
    int output;
    size_t numU, numV;
    NurbsForm uForm, vForm;
    double uMax, vMax, midTolerance;  // ranges start at 0; off the shape between knots, on it at integer knots
    Shape shape;
};

}  // namespace

TEST(NurbsCreatorsTest, ShapesKnotsAndOrientation) {
    const NurbsForm O = NurbsForm::Open, P = NurbsForm::Periodic;
    // clang-format off
    std::vector<Case> cases = {
        {"sphere", "Sphere", {}, {}, 0, 7, 11, O, P, 4, 8, 0.01, sphere(1)},
        {"linear sphere", "Sphere", {{"r", 2}, {"d", 1}, {"s", 6}, {"nsp", 3}}, {}, 0, 4, 7, O, P, 3, 6, 0.6,
         sphere(2)},
        {"half sphere", "Sphere", {{"esw", kPi}, {"s", 4}}, {}, 0, 7, 7, O, O, 4, 4, 0.01,
         [](Vec p) { return nurbs_reference::norm(p) - 1 + (p[2] < -1e-9); }},
        {"sphere on X, moved", "Sphere", {{"r", 3}}, {{"ax", {1, 0, 0}}, {"p", {1, 2, 3}}}, 0, 7, 11, O, P, 4, 8, 0.03,
         sphere(3, {1, 2, 3})},
        {"cylinder", "Cylinder", {}, {}, 0, 4, 11, O, P, 2, 8, 0.01, cylinder(1, 2)},
        {"tall cylinder", "Cylinder", {{"r", 0.5}, {"hr", 8}, {"nsp", 3}, {"s", 12}}, {}, 0, 6, 15, O, P, 4, 12, 0.005,
         cylinder(0.5, 4)},
        {"quarter cylinder", "Cylinder", {{"ssw", kPi / 2}, {"esw", kPi}, {"s", 2}}, {}, 0, 4, 5, O, O, 2, 2, 0.01,
         cylinder(1, 2)},
        {"cone", "Cone", {}, {}, 0, 4, 11, O, P, std::hypot(1, 2), 8, 0.01, cone(1, 2, -1)},
        {"old linear cone", "Cone", {{"oib", 1}, {"d", 1}, {"nsp", 2}}, {}, 0, 3, 9, O, P, std::hypot(1, 2), 8, 0.1,
         cone(1, 2, 0)},
        {"torus", "Torus", {{"nsp", 4}, {"hr", 0.5}}, {}, 0, 7, 11, P, P, 4, 8, 0.02, torus(1, 0.5)},
        {"open torus", "Torus", {{"nsp", 4}, {"hr", 0.25}, {"r", 2}, {"msw", kPi}}, {}, 0, 7, 11, O, P, 4, 8, 0.02,
         torus(2, 0.5)},
        // Sections of its own choosing, more than 8.
        {"tolerance cylinder", "Cylinder", {{"ut", 1}, {"tol", 1e-4}, {"r", 5}}, {}, 0, 4, 0, O, P, 10, 0, 1e-4,
         cylinder(5, 10)},
        {"plane", "Plane", {}, {}, 0, 4, 4, O, O, 1, 1, 1e-9, flat({0, 1, 0}, 0, {0.5, 0, 0.5})},
        {"linear plane facing Z", "Plane", {{"w", 4}, {"lr", 0.5}, {"u", 3}, {"v", 2}, {"d", 1}}, {{"ax", {0, 0, 1}}},
         0, 4, 3, O, O, 3, 2, 1e-9, flat({0, 0, 1}, 0, {2, 1, 0})},
        {"quintic plane", "Plane", {{"u", 2}, {"d", 5}}, {}, 0, 7, 6, O, O, 2, 1, 1e-9,
         flat({0, 1, 0}, 0, {0.5, 0, 0.5})},
        {"raised to the minimum", "Sphere", {{"s", -5}, {"nsp", 0}}, {}, 0, 4, 6, O, P, 1, 3, 1, sphere(1)},
    };
    // The cube's faces in output order (top, bottom, left, right, front, back).
    const Vec half{1, 1.5, 0.5}, normals[6] = {{0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}, {1, 0, 0}, {-1, 0, 0}};
    for (int f = 0; f < 6; ++f) {
        Vec within = half;
        for (size_t i = 0; i < 3; ++i) within[i] *= normals[f][i] == 0;
        cases.push_back({"cube face " + std::to_string(f), "Cube", {{"w", 2}, {"hr", 1.5}, {"lr", 0.5}, {"u", 2},
                         {"v", 3}}, {}, f, 5, 6, O, O, 2, 3, 1e-9,
                         flat(normals[f], std::fabs(dot(normals[f], half)), within)});
    }
    // clang-format on
    for (Case c : cases) {
        SCOPED_TRACE(c.name);
        Reader r;
        r.numbers = c.numbers;
        for (const auto& [k, v] : c.vectors) r.vectors[k] = v;
        NurbsSurface s;
        ASSERT_EQ(makeNurbsCreatorSurface("makeNurb" + c.type, r, c.output, s), "");
        ASSERT_EQ(nurbsSurfaceProblem(s), "");
        const auto ref = toReference(s);
        if (c.numV == 0) {
            EXPECT_GT(s.numV, 11u);
            c.numV = s.numV;
            c.vMax = ref.vmax;
        }
        EXPECT_EQ(std::tie(s.numU, s.numV, s.uForm, s.vForm), std::tie(c.numU, c.numV, c.uForm, c.vForm));
        EXPECT_EQ(std::tie(ref.umin, ref.vmin), std::make_tuple(0., 0.));
        EXPECT_LT(std::hypot(ref.umax - c.uMax, ref.vmax - c.vMax), 1e-12);
        for (int i = 0; i <= int(c.uMax * 4 + 0.5); ++i)
            for (int j = 0; j <= int(c.vMax * 4 + 0.5); ++j) {
                const double u = std::min(i / 4.0, c.uMax), v = std::min(j / 4.0, c.vMax);
                const bool knot = i % 4 == 0 && j % 4 == 0 && c.uMax == std::floor(c.uMax);
                EXPECT_LE(std::fabs(c.shape(ref.at(u, v))), knot ? 1e-8 : c.midTolerance) << u << ", " << v;
            }
        // Su x Sv along the shape's outward gradient in the middle of the range.
        const double um = c.uMax / 2 + 0.1, vm = c.vMax / 2 + 0.1, h = 1e-5;
        const Vec p = ref.at(um, vm), n = ref.normal(um, vm);
        const Vec out{c.shape({p[0] + h, p[1], p[2]}) - c.shape({p[0] - h, p[1], p[2]}),
                      c.shape({p[0], p[1] + h, p[2]}) - c.shape({p[0], p[1] - h, p[2]}),
                      c.shape({p[0], p[1], p[2] + h}) - c.shape({p[0], p[1], p[2] - h})};
        EXPECT_GT(dot(n, out), 0);
    }
}

TEST(NurbsCreatorsTest, CircleArcAboutAnotherNormal) {
    Reader r;
    r.numbers = {{"sw", kPi}, {"r", 2}, {"s", 4}};
    r.vectors = {{"nr", {1, 0, 0}}, {"c", {0, 0, 5}}};
    NurbsCurve c;
    ASSERT_EQ(makeNurbsCreatorCurve("makeNurbCircle", r, 0, c), "");
    EXPECT_EQ(nurbsCurveProblem(c), "");
    EXPECT_EQ(std::tie(c.form, c.knots.back()), std::make_tuple(NurbsForm::Open, 4.0));
    const auto ref = toReference(c);
    for (double u = 0; u <= 4; u += 0.25) {
        const Vec p = ref.at(u, 0);
        EXPECT_NEAR(p[0], 0, 1e-12);
        EXPECT_NEAR(std::hypot(p[1], p[2] - 5), 2, std::fmod(u, 1) == 0 ? 1e-12 : 0.01);
    }
}

TEST(NurbsCreatorsTest, RefusesAbsurdAndEmptyInput) {
    // clang-format off
    const std::tuple<const char*, Numbers, int> bad[] = {
        {"makeNurbSphere", {{"s", 1e9}, {"nsp", 1e9}}, 0}, {"makeNurbTorus", {{"s", 3e9}}, 0},
        {"makeNurbPlane", {{"u", 1e12}, {"v", 1e12}}, 0}, {"makeNurbCube", {{"u", 1e6}, {"v", 1e6}}, 0},
        {"makeNurbCylinder", {{"esw", 0}}, 0}, {"makeNurbTorus", {{"msw", 0}}, 0}, {"makeNurbFoo", {}, 0},
        {"makeNurbCube", {}, 6}, {"makeNurbSphere", {}, 1}};
    // clang-format on
    Reader r;
    NurbsSurface s;
    s.numU = 42;
    for (const auto& [type, numbers, output] : bad) {
        r.numbers = numbers;
        EXPECT_NE(makeNurbsCreatorSurface(type, r, output, s), "") << type;
    }
    EXPECT_EQ(s.numU, 42u);
    NurbsCurve c;
    r.numbers = {{"s", 1e9}};
    EXPECT_NE(makeNurbsCreatorCurve("makeNurbCircle", r, 0, c), "");
    EXPECT_NE(makeNurbsCreatorCurve("makeNurbSphere", r, 0, c), "");
}

// A default torus (written with nsp 4, hr 0.5) and a default circle, saved by
// Maya 2018 with their history deleted.
TEST(NurbsCreatorsTest, MatchesMayaStoredTorusAndCircle) {
    const std::string scene =
        GLOWBOX_CORPUS_DIR "/nurbs/cclarke468__1660spring2020__scenes__messing around with curves.ma";
    if (!std::ifstream(scene)) GTEST_SKIP() << "corpus scene not found: " << scene;
    const std::vector<double> torus = storedCC(scene, "nurbsTorusShape1");
    ASSERT_FALSE(torus.empty());
    Reader r;
    r.numbers = {{"nsp", 4}, {"hr", 0.5}};
    NurbsSurface s;
    ASSERT_EQ(makeNurbsCreatorSurface("makeNurbTorus", r, 0, s), "");
    expectSame(torus, ccOf({double(s.uDegree), double(s.vDegree), double(s.uForm), double(s.vForm), 0},
                           {s.uKnots, s.vKnots}, s.cvs));
    NurbsCurve c;
    ASSERT_EQ(makeNurbsCreatorCurve("makeNurbCircle", Reader{}, 0, c), "");
    expectSame(storedCC(scene, "nurbsCircleShape1"),
               ccOf({double(c.degree), double(c.numCVs()) - c.degree, double(c.form), 0, 3}, {c.knots}, c.cvs));
}

// A default square about Y whose curves Maya saved as data: the four sides
// head to tail, control points at thirds.
TEST(NurbsCreatorsTest, MatchesMayaStoredSquare) {
    const std::string scene = GLOWBOX_CORPUS_DIR
        "/nurbs/Nobl3Nob0dy__Modeling-Surfacing--DAGV-1200__Projects__CornerRoom__CornerRoom_Save_Fbr.ma";
    if (!std::ifstream(scene)) GTEST_SKIP() << "corpus scene not found: " << scene;
    Reader r;
    r.vectors = {{"nr", {0, 1, 0}}};
    const char* sides[] = {"top", "left", "bottom", "right"};
    for (int side = 0; side < 4; ++side) {
        NurbsCurve c;
        ASSERT_EQ(makeNurbsCreatorCurve("makeNurbsSquare", r, side, c), "");
        // The transform's name, then its shape's data.
        const std::vector<double> maya = storedCC(scene, std::string(sides[side]) + "nurbsSquare1\" -p \"nurbsSquare2");
        expectSame(maya, ccOf({double(c.degree), double(c.numCVs()) - c.degree, double(c.form), 0, 3}, {c.knots}, c.cvs));
    }
    NurbsCurve c;
    EXPECT_NE(makeNurbsCreatorCurve("makeNurbsSquare", r, 4, c), "");
}

TEST(NurbsCreatorsTest, ThreePointArcRunsThroughItsPointsInOrder) {
    Reader r;
    r.vectors = {{"pt1", {1, 0, 0}}, {"pt2", {0, 1, 0}}, {"pt3", {-1, 0, 0}}};
    NurbsCurve c;
    ASSERT_EQ(makeNurbsCreatorCurve("makeThreePointCircularArc", r, 0, c), "");
    const auto ref = toReference(c);
    const double end = c.knots.back();
    const Vec start = ref.at(0, 0), middle = ref.at(end / 2, 0), last = ref.at(end, 0);
    EXPECT_NEAR(start[0], 1, 1e-12);
    EXPECT_NEAR(middle[1], 1, 1e-12);  // the half way knot of 8 sections is on the circle
    EXPECT_NEAR(last[0], -1, 1e-12);
    // Collinear points make no arc.
    r.vectors["pt2"] = {0, 0, 0};
    EXPECT_NE(makeNurbsCreatorCurve("makeThreePointCircularArc", r, 0, c), "");
}

// Points typed from Maya-saved scenes whose shapes keep the creator's output:
// the sphere of the scene above (rows Maya had not tweaked, as distance from
// the axis and height), a default cylinder (a public Maya 2017 rig scene) and
// a default cube's top face (a public Maya 2019 scene).
TEST(NurbsCreatorsTest, MatchesMayaStoredSphereCylinderAndCube) {
    NurbsSurface s;
    ASSERT_EQ(makeNurbsCreatorSurface("makeNurbSphere", Reader{}, 0, s), "");
    const double rows[3][2] = {
        {0.28272503694690360, -1}, {0.87176363753180319, -0.78361162489122427}, {1.2264094625656803, 0}};
    for (size_t u = 1; u <= 3; ++u) {
        const double* cv = s.cv(u, 2);  // 45 degrees from +X towards +Z
        EXPECT_NEAR(std::hypot(cv[0], cv[2]), rows[u - 1][0], 1e-12);
        EXPECT_NEAR(cv[1], rows[u - 1][1], 1e-12);
        EXPECT_GT(cv[2], 0);
    }
    ASSERT_EQ(makeNurbsCreatorSurface("makeNurbCylinder", Reader{}, 0, s), "");
    EXPECT_EQ(s.uKnots, (std::vector<double>{0, 0, 0, 2, 2, 2}));
    for (size_t u = 0; u < 4; ++u) {
        EXPECT_NEAR(s.cv(u, 1)[0], 1.1081941875543879, 1e-12);
        EXPECT_NEAR(s.cv(u, 1)[1], -1 + double(u) / 1.5, 1e-12);
    }
    ASSERT_EQ(makeNurbsCreatorSurface("makeNurbCube", Reader{}, 0, s), "");
    const double x[4] = {-0.5, -1.0 / 6, 1.0 / 6, 0.5};
    for (size_t u = 0; u < 4; ++u)
        for (size_t v = 0; v < 4; ++v)
            for (size_t k = 0; k < 3; ++k) EXPECT_NEAR(s.cv(u, v)[k], (Vec{x[u], 0.5, -x[v]})[k], 1e-12);
}
