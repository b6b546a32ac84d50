#include "SceneOutput.h"

#include <cstdint>
#include <vector>

using namespace modeltest;

namespace {

// One triangle on three vertices.
void fillTriangle(TriangleObject& t) {
    t.addVertex(0, 0, 0);
    t.addVertex(1, 0, 0);
    t.addVertex(0, 1, 0);
    t.addTriangle(0, 1, 2);
}

const std::string kTriangleArrays = arrayParam("vertices", floatBlock('c', {0, 0, 0, 1, 0, 0, 0, 1, 0})) +
                                    arrayParam("triangles", intBlock({0, 1, 2}));

TEST(TriangleOutput, GoldenObjects) {
    const struct {
        const char* label;
        void (*fill)(TriangleObject&);
        std::string expected;
    } cases[] = {
        {"vertices and triangles only", fillTriangle, objectBlock("t", "triangles", kTriangleArrays)},
        {"all seven arrays in their fixed order, whatever the order of filling",
         [](TriangleObject& t) {
             for (int i = 0; i < 3; ++i) t.addVertexColor(i == 0, i == 1, i == 2);
             t.addNormal(0, 0, 1);
             t.addNormalTriangle(0, 0, 0);
             t.addUV(0, 0);
             t.addUV(1, 0.5f);
             t.addUVTriangle(0, 1, 1);
             fillTriangle(t);
         },
         objectBlock("t", "triangles",
                     kTriangleArrays + arrayParam("triangles_uv", intBlock({0, 1, 1})) +
                         arrayParam("uv_tex", floatBlock('f', {0, 0, 1, 0.5f})) +
                         arrayParam("triangles_norm", intBlock({0, 0, 0})) +
                         arrayParam("normals", floatBlock('c', {0, 0, 1})) +
                         arrayParam("vcolors", floatBlock('c', {1, 0, 0, 0, 1, 0, 0, 0, 1})))},
        {"without triangles only the error line", [](TriangleObject& t) { t.addVertex(0, 0, 0); },
         "#error \"No triangles defined\"\n"},
        {"inconsistent arrays are still written, then reported",
         [](TriangleObject& t) {
             fillTriangle(t);
             t.addNormal(0, 0, 1);
             t.addNormal(0, 0, 1);
             t.addUVTriangle(0, 1, 2);
             t.addTriangle(0, 0x7FFFFFFFu, 0xFFFFFFFFu);  // indices keep their bits
         },
         objectBlock("t", "triangles",
                     arrayParam("vertices", floatBlock('c', {0, 0, 0, 1, 0, 0, 0, 1, 0})) +
                         arrayParam("triangles", intBlock({0, 1, 2, 0, 0x7FFFFFFF, -1})) +
                         arrayParam("triangles_uv", intBlock({0, 1, 2})) +
                         arrayParam("normals", floatBlock('c', {0, 0, 1, 0, 0, 1}))) +
             "#error \"Number of normals does not equal number of verticesNo uvs defined for index\"\n"},
        {"another material replaces the default",
         [](TriangleObject& t) {
             fillTriangle(t);
             auto red = std::make_shared<Diffuse>("red");
             red->setColor(1, 0, 0);
             t.setMaterial(red);
         },
         objectBlock("t", "triangles", kTriangleArrays,
                     "material \"red\" {\nsurface \"orb_diffuse\" {\n\"diffuse\" 1 0 0,\n}\n}\n")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        TriangleObject t("t");
        c.fill(t);
        EXPECT_EQ(written(t), c.expected);
    }
}

TEST(TriangleInstance, DefinitionsThenReferencesWithIdsFromOne) {
    SceneOutput out;
    TriangleObject first("first");
    TriangleObject empty("empty");
    fillTriangle(first);
    first.writeInstanceSource(out.scene());
    empty.writeInstanceSource(out.scene());  // without check or material
    EXPECT_EQ(std::tuple(first.instanceId(), empty.instanceId()), std::tuple(1u, 2u));
    first.write(out.scene());
    empty.write(out.scene());
    first.write(out.scene());
    const std::string firstRef = objectBlock("first", "instance", "\"id\" 1,\n");
    EXPECT_EQ(out.text(), "#define object \"first\" {\nid 1\ngeometry \"triangles\" {\n" + kTriangleArrays +
                              "}\n}\n#define object \"empty\" {\nid 2\ngeometry \"triangles\" {\n" +
                              arrayParam("vertices", floatBlock('c', {})) + arrayParam("triangles", intBlock({})) +
                              "}\n}\n" + firstRef + objectBlock("empty", "instance", "\"id\" 2,\n") + firstRef);
    EXPECT_EQ(empty.problems(), "");
}

TEST(TriangleInstance, DefinitionReleasesTheArraysAndKeepsTheLastReport) {
    SceneOutput out;
    TriangleObject t("t");
    fillTriangle(t);
    t.addUV(0, 1);
    t.addUVTriangle(0, 0, 0);
    t.addNormal(0, 0, 1);
    t.addNormalTriangle(0, 0, 0);
    t.addVertexColor(1, 1, 1);  // too few: a finding to keep
    EXPECT_TRUE(t.validate());
    EXPECT_EQ(t.memorySize(), 4u * (9 + 3 + 2 + 3 + 3 + 3 + 3));
    t.writeInstanceSource(out.scene());
    EXPECT_EQ(std::tuple(t.memorySize(), t.capacityBytes()), std::tuple(0u, 0u));
    EXPECT_TRUE(t.validate());
    EXPECT_EQ(t.problems(), "VetexColor count does not match number of vertices");
}

TEST(TriangleCheck, ReportsEveryFindingInItsOrder) {
    // Counts of what is added after the optional triangle.
    const struct {
        const char* label;
        bool triangle;
        int vertices, uvs, uvTriangles, normals, normalTriangles, colours;
        const char* report;
    } cases[] = {
        {"consistent", true, 0, 0, 0, 0, 0, 0, ""},
        {"per-vertex attributes match", true, 0, 3, 0, 3, 0, 3, ""},
        {"normal index without normals", true, 0, 0, 0, 0, 1, 0, "No normals defined for index"},
        {"normal index count", true, 0, 0, 0, 1, 2, 0, "Normals count does not match number of triangles 6 vs 3"},
        {"indexed normals need not match vertices", true, 0, 0, 0, 1, 1, 0, ""},
        {"per-vertex normals short", true, 0, 0, 0, 1, 0, 0, "Number of normals does not equal number of vertices"},
        {"uv index without uvs", true, 0, 0, 1, 0, 0, 0, "No uvs defined for index"},
        {"uv index count", true, 0, 1, 2, 0, 0, 0, "UV index count does not match triangle count"},
        {"per-vertex uvs short", true, 1, 3, 0, 0, 0, 0, "Number of uvs(6)  does not match vertex count(12)"},
        {"vertex colours", true, 0, 0, 0, 0, 0, 1, "VetexColor count does not match number of vertices"},
        {"no triangles", false, 1, 0, 0, 0, 0, 0, "No triangles defined"},
        {"nothing", false, 0, 0, 0, 0, 0, 0, "No triangles defined"},
        {"several run together in order", false, 1, 2, 0, 2, 0, 2,
         "Number of normals does not equal number of vertices"
         "Number of uvs(4)  does not match vertex count(3)"
         "VetexColor count does not match number of vertices"
         "No triangles defined"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        TriangleObject t("t");
        if (c.triangle) fillTriangle(t);
        for (int i = 0; i < c.vertices; ++i) t.addVertex(1, 1, 0);
        for (int i = 0; i < c.uvs; ++i) t.addUV(0, 0);
        for (int i = 0; i < c.uvTriangles; ++i) t.addUVTriangle(0, 0, 0);
        for (int i = 0; i < c.normals; ++i) t.addNormal(0, 0, 1);
        for (int i = 0; i < c.normalTriangles; ++i) t.addNormalTriangle(0, 0, 0);
        for (int i = 0; i < c.colours; ++i) t.addVertexColor(1, 1, 1);
        EXPECT_EQ(t.validate(), c.triangle);
        EXPECT_EQ(t.problems(), c.report);
    }
    // A new check replaces the old report.
    TriangleObject t("t");
    EXPECT_FALSE(t.validate());
    fillTriangle(t);
    EXPECT_TRUE(t.validate());
    EXPECT_EQ(t.problems(), "");
}

TEST(TriangleData, SettersCopyWholeArraysAndClearEmptiesAll) {
    TriangleObject t("t");
    // Each object gets its own default material.
    EXPECT_NE(TriangleObject("u").material(), t.material());
    const float points[] = {1, 2, 3, 4, 5, 6};
    const std::uint32_t indices[] = {0, 1, 0, 1, 0, 1};
    const float uvs[] = {0.5f, 0.25f};
    t.setVertices(points, 6);
    t.setTriangles(indices, 6);
    t.setUVs(uvs, 2);
    t.setNormals(points, 3);
    t.addUVTriangle(0, 0, 0);
    t.addNormalTriangle(0, 0, 0);
    t.addVertexColor(1, 1, 1);
    EXPECT_EQ(t.vertices(), std::vector<float>(points, points + 6));
    EXPECT_EQ(t.triangles(), (std::vector<int>{0, 1, 0, 1, 0, 1}));
    EXPECT_EQ(t.uvs(), (std::vector<float>{0.5f, 0.25f}));
    EXPECT_EQ(t.normals(), (std::vector<float>{1, 2, 3}));
    EXPECT_EQ(t.memorySize(), 4u * (6 + 6 + 2 + 3 + 3 + 3 + 3));
    t.setVertices(points, 3);
    EXPECT_EQ(t.vertices(), (std::vector<float>{1, 2, 3}));
    t.clearData();
    EXPECT_EQ(t.memorySize(), 0u);
}

TEST(CurvesOutput, UnfilledSetWritesEmptyGeometryAndAFilledOneEveryArrayAndItsMaterial) {
    BezierCurves unfilled("");
    unfilled.setOrder(0);  // written only above zero
    unfilled.fitToCubicOn();
    unfilled.fitToCubicOff();
    EXPECT_EQ(written(unfilled), "object \"\" {\ngeometry \"orb_curves\" {\n\"radius\" 1,\n\"fitToCubic\" off,\n" +
                                   arrayParam("p", floatBlock('c', {})) + arrayParam("nvertices", intBlock({})) +
                                   "}\n}\n");
    // Filled, with every optional array and a material, it is never an instance.
    SceneOutput out;
    BezierCurves curves("hair");
    curves.setOrder(1);
    curves.setRadius(0.25f);
    curves.fitToCubicOn();
    for (int i = 0; i < 3; ++i) curves.addPoint(i == 2, i > 0, 0);
    for (int n : {2, 1}) curves.addCurve(n);
    for (float r : {0.5f, 0.125f}) curves.addPointRadius(r);
    curves.addPointColor(1, 0, 0);
    curves.setMaterial(std::make_shared<Diffuse>("default"));
    EXPECT_EQ(curves.memorySize(), 4u * (9 + 2 + 3 + 2));
    curves.writeInstanceSource(out.scene());
    EXPECT_EQ(out.text(), "");
    EXPECT_FALSE(curves.isInstance());
    out.scene().write(&curves);
    EXPECT_EQ(out.text(), objectBlock("hair", "orb_curves",
                                      "\"radius\" 0.25,\n\"order\" 1,\n\"fitToCubic\" on,\n" +
                                          arrayParam("p", floatBlock('c', {0, 0, 0, 0, 1, 0, 1, 1, 0})) +
                                          arrayParam("nvertices", intBlock({2, 1})) +
                                          arrayParam("pr", floatBlock('f', {0.5f, 0.125f})) +
                                          arrayParam("pcol", floatBlock('c', {1, 0, 0}))));
}

} // namespace
