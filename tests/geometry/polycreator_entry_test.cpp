// The entry the dependency graph uses: a creator node's values read by short
// name, the node defaults for what a file leaves out, and refusal of sizes a
// hostile file could ask for.

#include "mesh/PolyCreators.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <map>
#include <string>

using mayahost::MeshData;

namespace {

class MapReader : public mayahost::PolyAttributeReader {
public:
    std::map<std::string, double> numbers;
    bool hasAxis = false;
    double axis[3] = {0, 1, 0};

    bool number(std::string_view shortName, double& value) const override {
        auto it = numbers.find(std::string(shortName));
        if (it == numbers.end()) return false;
        value = it->second;
        return true;
    }
    bool vector3(std::string_view shortName, double (&value)[3]) const override {
        if (!hasAxis || shortName != "ax") return false;
        for (int i = 0; i < 3; ++i) value[i] = axis[i];
        return true;
    }
};

const char* const kTypes[] = {"polyCube", "polyPlane",   "polySphere", "polyCylinder", "polyCone",
                              "polyTorus", "polyPyramid", "polyPipe",   "polyPrism"};

TEST(PolyCreatorEntry, EveryCreatorBuildsFromItsDefaults) {
    for (const char* type : kTypes) {
        SCOPED_TRACE(type);
        EXPECT_TRUE(mayahost::isPolyCreatorType(type));
        size_t count = 0;
        const mayahost::PolyCreatorAttribute* attrs = mayahost::polyCreatorAttributes(type, count);
        ASSERT_NE(attrs, nullptr);
        EXPECT_GT(count, 0u);
        MeshData m;
        EXPECT_EQ(mayahost::makePolyCreatorMesh(type, MapReader{}, m), "");
        EXPECT_GT(m.numFaces(), 0u);
        EXPECT_EQ(m.numFaces(), mayahost::polyCreatorFaceCount(type, MapReader{}));
    }
}

TEST(PolyCreatorEntry, NodeDefaultsAreWhatAFileLeavesOut) {
    MeshData m;
    // A cylinder node without values has flat one-polygon caps (the node's
    // subdivisionsCaps is 0; only the interactive command writes 1).
    ASSERT_EQ(mayahost::makePolyCreatorMesh("polyCylinder", MapReader{}, m), "");
    EXPECT_EQ(m.numFaces(), 22u);
    EXPECT_EQ(m.numVertices(), 40u);
    // A plane node defaults to 10 x 10.
    ASSERT_EQ(mayahost::makePolyCreatorMesh("polyPlane", MapReader{}, m), "");
    EXPECT_EQ(m.numFaces(), 100u);
    // The table agrees with the parameter structs' defaults.
    size_t count = 0;
    const mayahost::PolyCreatorAttribute* a = mayahost::polyCreatorAttributes("polySphere", count);
    std::map<std::string, double> byName;
    for (size_t i = 0; i < count; ++i) byName[a[i].shortName] = a[i].defaultValue;
    const mayahost::PolySphereParams s;
    EXPECT_EQ(byName.at("r"), s.radius);
    EXPECT_EQ(byName.at("sa"), s.subdivisionsAxis);
    EXPECT_EQ(byName.at("sh"), s.subdivisionsHeight);
    EXPECT_EQ(byName.at("cuv"), s.createUVs);
}

TEST(PolyCreatorEntry, ValuesReachTheCreator) {
    MapReader r;
    r.numbers = {{"r", 2.5}, {"sa", 7}, {"sh", 4}, {"cuv", 0}};
    r.hasAxis = true;
    r.axis[0] = 1;
    r.axis[1] = 0;
    MeshData viaEntry;
    ASSERT_EQ(mayahost::makePolyCreatorMesh("polySphere", r, viaEntry), "");
    mayahost::PolySphereParams p;
    p.radius = 2.5;
    p.subdivisionsAxis = 7;
    p.subdivisionsHeight = 4;
    p.createUVs = 0;
    p.axis = {1, 0, 0};
    const MeshData direct = mayahost::makePolySphere(p);
    EXPECT_EQ(viaEntry.points, direct.points);
    EXPECT_EQ(viaEntry.faceVertices, direct.faceVertices);
    EXPECT_TRUE(viaEntry.uvSets.at(0).u.empty());

    MapReader cyl;
    cyl.numbers = {{"sc", 1}, {"cuv", 3}, {"ouv", 0}, {"h", 5}};
    ASSERT_EQ(mayahost::makePolyCreatorMesh("polyCylinder", cyl, viaEntry), "");
    mayahost::PolyCylinderParams c;
    c.subdivisionsCaps = 1;
    c.createUVs = 3;
    c.maya2022UVs = false;
    c.height = 5;
    const MeshData directCyl = mayahost::makePolyCylinder(c);
    EXPECT_EQ(viaEntry.points, directCyl.points);
    EXPECT_EQ(viaEntry.uvSets[0].v, directCyl.uvSets[0].v);
}

TEST(PolyCreatorEntry, UnknownTypeIsRefusedAndLeavesTheMeshAlone) {
    MeshData m;
    m.points = {1, 2, 3};
    const std::string error = mayahost::makePolyCreatorMesh("polyHelix", MapReader{}, m);
    EXPECT_NE(error.find("polyHelix"), std::string::npos);
    EXPECT_EQ(m.points.size(), 3u);
    EXPECT_FALSE(mayahost::isPolyCreatorType("mesh"));
    size_t count = 7;
    EXPECT_EQ(mayahost::polyCreatorAttributes("mesh", count), nullptr);
    EXPECT_EQ(count, 0u);
}

TEST(PolyCreatorEntry, HugeSubdivisionsAreRefusedBeforeAllocating) {
    const auto start = std::chrono::steady_clock::now();
    for (const char* type : kTypes) {
        SCOPED_TRACE(type);
        MapReader r;
        for (const char* name : {"sw", "sh", "sd", "sa", "sc", "ns"}) r.numbers[name] = 1e12;
        MeshData m;
        const std::string error = mayahost::makePolyCreatorMesh(type, r, m);
        if (std::string(type) == "polyPyramid") {
            // Its sides are capped at five; only height and caps can grow.
            EXPECT_NE(error, "");
        } else {
            EXPECT_NE(error.find("faces"), std::string::npos) << error;
        }
        EXPECT_EQ(m.numFaces(), 0u);
    }
    // Just over the limit is refused, at the limit is not.
    MapReader plane;
    plane.numbers = {{"sw", 4096}, {"sh", 4097}};
    MeshData m;
    EXPECT_NE(mayahost::makePolyCreatorMesh("polyPlane", plane, m), "");
    EXPECT_EQ(mayahost::polyCreatorFaceCount("polyPlane", plane), 4096u * 4097u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(PolyCreatorEntry, NonsenseValuesFallBackOrClamp) {
    MapReader r;
    r.numbers = {{"r", std::numeric_limits<double>::quiet_NaN()},
                 {"sa", -30},
                 {"sh", std::numeric_limits<double>::infinity()}};
    MeshData m;
    ASSERT_EQ(mayahost::makePolyCreatorMesh("polySphere", r, m), "");
    // NaN and infinity are ignored (node default 20 rows, radius 1); the
    // negative count is raised to Maya's minimum of 3.
    EXPECT_EQ(m.numFaces(), 3u * 20u);
    for (float c : m.points) ASSERT_TRUE(std::isfinite(c));
    EXPECT_FLOAT_EQ(m.points[m.points.size() - 2], 1.0f);  // the north pole at radius 1

    MapReader axis;
    axis.hasAxis = true;
    axis.axis[0] = std::numeric_limits<double>::quiet_NaN();
    ASSERT_EQ(mayahost::makePolyCreatorMesh("polyCube", axis, m), "");
    for (float c : m.points) ASSERT_TRUE(std::isfinite(c));
}

TEST(PolyCreatorEntry, FaceCountPredictionMatchesEveryBuild) {
    // The size check runs before building: it must count what the builders make.
    for (const char* type : kTypes)
        for (double sh : {1.0, 3.0})
            for (double sc : {0.0, 1.0, 3.0}) {
                SCOPED_TRACE(testing::Message() << type << " sh " << sh << " sc " << sc);
                MapReader r;
                r.numbers = {{"sh", sh}, {"sc", sc}, {"sa", 7}, {"sw", 2}, {"sd", 3}, {"ns", 5}};
                MeshData m;
                ASSERT_EQ(mayahost::makePolyCreatorMesh(type, r, m), "");
                EXPECT_EQ(mayahost::polyCreatorFaceCount(type, r), m.numFaces());
            }
}

}  // namespace
