#include "SceneOutput.h"

#include "sceneapi/model/Material.h"
#include "sceneapi/model/TriangleObject.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

using modeltest::arrayParam;
using modeltest::floatBlock;
using modeltest::intBlock;
using modeltest::kDefaultMaterial;
using modeltest::SceneOutput;
using orb::TriangleObject;

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

TEST(TriangleOutput, VerticesAndTrianglesOnlyWriteJustThoseArrays) {
    SceneOutput out;
    TriangleObject t("tri");
    fillTriangle(t);
    out.scene().write(&t);
    EXPECT_EQ(out.text(), "object \"tri\" {\ngeometry \"triangles\" {\n" + kTriangleArrays + "}\n" + kDefaultMaterial +
                              "}\n");
    EXPECT_EQ(t.problems(), "");
}

TEST(TriangleOutput, AllSevenArraysInTheirFixedOrder) {
    SceneOutput out;
    TriangleObject t("full");
    // Filled in an order different from the written one.
    t.addVertexColor(1, 0, 0);
    t.addVertexColor(0, 1, 0);
    t.addVertexColor(0, 0, 1);
    t.addNormal(0, 0, 1);
    t.addNormalTriangle(0, 0, 0);
    t.addUV(0, 0);
    t.addUV(1, 0.5f);
    t.addUVTriangle(0, 1, 1);
    fillTriangle(t);
    out.scene().write(&t);
    EXPECT_EQ(out.text(), "object \"full\" {\ngeometry \"triangles\" {\n" + kTriangleArrays +
                              arrayParam("triangles_uv", intBlock({0, 1, 1})) +
                              arrayParam("uv_tex", floatBlock('f', {0, 0, 1, 0.5f})) +
                              arrayParam("triangles_norm", intBlock({0, 0, 0})) +
                              arrayParam("normals", floatBlock('c', {0, 0, 1})) +
                              arrayParam("vcolors", floatBlock('c', {1, 0, 0, 0, 1, 0, 0, 0, 1})) + "}\n" +
                              kDefaultMaterial + "}\n");
    EXPECT_EQ(t.problems(), "");
}

TEST(TriangleOutput, LargeIndicesKeepTheirBits) {
    SceneOutput out;
    TriangleObject t("big");
    t.addVertex(0, 0, 0);
    t.addTriangle(0, 0x7FFFFFFFu, 0xFFFFFFFFu);
    out.scene().write(&t);
    EXPECT_NE(out.text().find(arrayParam("triangles", intBlock({0, 0x7FFFFFFF, -1}))), std::string::npos);
}

TEST(TriangleOutput, ObjectWithoutTrianglesWritesOnlyItsErrorLine) {
    SceneOutput out;
    TriangleObject t("none");
    t.addVertex(0, 0, 0);
    out.scene().write(&t);
    EXPECT_EQ(out.text(), "#error \"No triangles defined\"\n");
}

TEST(TriangleOutput, EmptyObjectReportsEarlierFindingsFirst) {
    SceneOutput out;
    TriangleObject t("none");
    t.addVertexColor(1, 1, 1);
    t.addUVTriangle(0, 1, 2);
    out.scene().write(&t);
    EXPECT_EQ(out.text(),
              "#error \"No uvs defined for indexVetexColor count does not match number of verticesNo triangles defined\"\n");
}

TEST(TriangleOutput, ShortPerVertexNormalsAreWrittenAndReported) {
    SceneOutput out;
    TriangleObject t("n");
    fillTriangle(t);
    t.addNormal(0, 0, 1);
    t.addNormal(0, 0, 1);
    out.scene().write(&t);
    EXPECT_EQ(out.text(), "object \"n\" {\ngeometry \"triangles\" {\n" + kTriangleArrays +
                              arrayParam("normals", floatBlock('c', {0, 0, 1, 0, 0, 1})) + "}\n" + kDefaultMaterial +
                              "}\n#error \"Number of normals does not equal number of vertices\"\n");
}

TEST(TriangleOutput, NormalIndexWithoutNormalsIsStillWritten) {
    SceneOutput out;
    TriangleObject t("n");
    fillTriangle(t);
    t.addNormalTriangle(0, 1, 2);
    out.scene().write(&t);
    EXPECT_EQ(out.text(), "object \"n\" {\ngeometry \"triangles\" {\n" + kTriangleArrays +
                              arrayParam("triangles_norm", intBlock({0, 1, 2})) + "}\n" + kDefaultMaterial +
                              "}\n#error \"No normals defined for index\"\n");
}

TEST(TriangleOutput, OtherMaterialIsWrittenInsteadOfTheDefault) {
    SceneOutput out;
    TriangleObject t("tri");
    fillTriangle(t);
    auto red = std::make_shared<orb::Diffuse>("red");
    red->setColor(1, 0, 0);
    t.setMaterial(red);
    out.scene().write(&t);
    EXPECT_EQ(out.text(), "object \"tri\" {\ngeometry \"triangles\" {\n" + kTriangleArrays +
                              "}\nmaterial \"red\" {\nsurface \"orb_diffuse\" {\n\"diffuse\" 1 0 0,\n}\n}\n}\n");
}

TEST(TriangleOutput, ReadableFormWithPerVertexUVs) {
    SceneOutput out(true);
    TriangleObject t("tri");
    fillTriangle(t);
    t.addUV(0, 0);
    t.addUV(1, 0);
    t.addUV(0, 1);
    out.scene().write(&t);
    EXPECT_EQ(out.text(),
              "object \"tri\" {\n"
              " geometry \"triangles\" {\n"
              "  \"vertices\" [ 0 0 0,1 0 0,0 1 0 ] ,\n"
              "  \"triangles\" [ 0,1,2 ] ,\n"
              "  \"uv_tex\" [ 0,0,1,0,0,1 ] ,\n"
              " }\n"
              " material \"default\" {\n"
              "  surface   \"orb_diffuse\" {\n"
              "   \"diffuse\" 0.75 0.5 0.5,\n"
              "  }  \n"
              " }\n"
              "}\n");
    EXPECT_EQ(t.problems(), "");
}

// ---------------------------------------------------------------------------

TEST(TriangleInstance, DefinitionThenReferencesWithIdsFromOne) {
    SceneOutput out;
    TriangleObject first("first");
    fillTriangle(first);
    TriangleObject second("second");
    second.addVertex(2, 2, 2);
    second.addTriangle(0, 0, 0);

    first.writeInstanceSource(out.scene());
    second.writeInstanceSource(out.scene());
    EXPECT_TRUE(first.isInstance());
    EXPECT_EQ(first.instanceId(), 1u);
    EXPECT_EQ(second.instanceId(), 2u);
    first.write(out.scene());
    second.write(out.scene());
    first.write(out.scene());

    const std::string firstRef =
        "object \"first\" {\ngeometry \"instance\" {\n\"id\" 1,\n}\n" + kDefaultMaterial + "}\n";
    EXPECT_EQ(out.text(), "#define object \"first\" {\nid 1\ngeometry \"triangles\" {\n" + kTriangleArrays +
                              "}\n}\n"
                              "#define object \"second\" {\nid 2\ngeometry \"triangles\" {\n" +
                              arrayParam("vertices", floatBlock('c', {2, 2, 2})) +
                              arrayParam("triangles", intBlock({0, 0, 0})) + "}\n}\n" + firstRef +
                              "object \"second\" {\ngeometry \"instance\" {\n\"id\" 2,\n}\n" + kDefaultMaterial +
                              "}\n" + firstRef);
}

TEST(TriangleInstance, DefinitionIsWrittenWithoutCheckOrMaterial) {
    SceneOutput out;
    TriangleObject t("empty");
    t.writeInstanceSource(out.scene());
    EXPECT_EQ(out.text(), "#define object \"empty\" {\nid 1\ngeometry \"triangles\" {\n" +
                              arrayParam("vertices", floatBlock('c', {})) + arrayParam("triangles", intBlock({})) +
                              "}\n}\n");
    EXPECT_EQ(t.problems(), "");
}

TEST(TriangleInstance, ReadableDefinition) {
    SceneOutput out(true);
    TriangleObject t("tri");
    fillTriangle(t);
    t.writeInstanceSource(out.scene());
    t.write(out.scene());
    EXPECT_EQ(out.text(),
              "#define object \"tri\" {\n"
              " id 1\n"
              " geometry \"triangles\" {\n"
              "  \"vertices\" [ 0 0 0,1 0 0,0 1 0 ] ,\n"
              "  \"triangles\" [ 0,1,2 ] ,\n"
              " }\n"
              "}\n"
              "object \"tri\" {\n"
              " geometry \"instance\" {\n"
              "  \"id\" 1,\n"
              " }\n"
              " material \"default\" {\n"
              "  surface   \"orb_diffuse\" {\n"
              "   \"diffuse\" 0.75 0.5 0.5,\n"
              "  }  \n"
              " }\n"
              "}\n");
}

TEST(TriangleInstance, ArraysAreReleasedAndTheCheckNoLongerRuns) {
    SceneOutput out;
    TriangleObject t("t");
    for (int i = 0; i < 1000; ++i) {
        t.addVertex(1, 2, 3);
        t.addTriangle(0, 1, 2);
        t.addUV(0, 1);
        t.addNormal(0, 0, 1);
        t.addVertexColor(1, 1, 1);
    }
    t.addVertexColor(1, 1, 1);  // one too many: a finding to keep
    EXPECT_TRUE(t.validate());
    const std::string findings = t.problems();
    EXPECT_EQ(findings, "VetexColor count does not match number of vertices");
    EXPECT_EQ(t.memorySize(), 4u * (3000 + 3000 + 2000 + 3000 + 3003));

    t.writeInstanceSource(out.scene());
    EXPECT_EQ(t.memorySize(), 0u);
    EXPECT_EQ(t.capacityBytes(), 0u);
    EXPECT_TRUE(t.vertices().empty());
    EXPECT_TRUE(t.validate());
    EXPECT_EQ(t.problems(), findings);
}

// ---------------------------------------------------------------------------

struct ReportCase {
    const char* label;
    void (*fill)(TriangleObject&);
    const char* report;
    bool writable;
};

class TriangleReport : public ::testing::TestWithParam<ReportCase> {};

TEST_P(TriangleReport, ComposesTheExpectedText) {
    TriangleObject t("t");
    GetParam().fill(t);
    EXPECT_EQ(t.validate(), GetParam().writable);
    EXPECT_EQ(t.problems(), GetParam().report);
}

INSTANTIATE_TEST_SUITE_P(
    Findings, TriangleReport,
    ::testing::Values(
        ReportCase{"Consistent", [](TriangleObject& t) { fillTriangle(t); }, "", true},
        ReportCase{"PerVertexAttributesMatch",
                   [](TriangleObject& t) {
                       fillTriangle(t);
                       for (int i = 0; i < 3; ++i) {
                           t.addUV(0, 0);
                           t.addNormal(0, 1, 0);
                           t.addVertexColor(1, 1, 1);
                       }
                   },
                   "", true},
        ReportCase{"NormalIndexWithoutNormals",
                   [](TriangleObject& t) {
                       fillTriangle(t);
                       t.addNormalTriangle(0, 1, 2);
                   },
                   "No normals defined for index", true},
        ReportCase{"NormalIndexCount",
                   [](TriangleObject& t) {
                       fillTriangle(t);
                       t.addNormal(0, 0, 1);
                       t.addNormalTriangle(0, 0, 0);
                       t.addNormalTriangle(0, 0, 0);
                   },
                   "Normals count does not match number of triangles 6 vs 3", true},
        ReportCase{"IndexedNormalsNeedNotMatchVertices",
                   [](TriangleObject& t) {
                       fillTriangle(t);
                       t.addNormal(0, 0, 1);
                       t.addNormalTriangle(0, 0, 0);
                   },
                   "", true},
        ReportCase{"PerVertexNormalsShort",
                   [](TriangleObject& t) {
                       fillTriangle(t);
                       t.addNormal(0, 0, 1);
                   },
                   "Number of normals does not equal number of vertices", true},
        ReportCase{"UVIndexWithoutUVs",
                   [](TriangleObject& t) {
                       fillTriangle(t);
                       t.addUVTriangle(0, 1, 2);
                   },
                   "No uvs defined for index", true},
        ReportCase{"UVIndexCount",
                   [](TriangleObject& t) {
                       fillTriangle(t);
                       t.addUV(0, 0);
                       t.addUVTriangle(0, 0, 0);
                       t.addUVTriangle(0, 0, 0);
                   },
                   "UV index count does not match triangle count", true},
        ReportCase{"PerVertexUVsShort",
                   [](TriangleObject& t) {
                       fillTriangle(t);
                       t.addVertex(1, 1, 0);
                       t.addUV(0, 0);
                       t.addUV(1, 0);
                       t.addUV(0, 1);
                   },
                   "Number of uvs(6)  does not match vertex count(12)", true},
        ReportCase{"VertexColours",
                   [](TriangleObject& t) {
                       fillTriangle(t);
                       t.addVertexColor(1, 0, 0);
                   },
                   "VetexColor count does not match number of vertices", true},
        ReportCase{"NoTriangles", [](TriangleObject& t) { t.addVertex(0, 0, 0); }, "No triangles defined", false},
        ReportCase{"Nothing", [](TriangleObject&) {}, "No triangles defined", false},
        ReportCase{"SeveralRunTogetherInOrder",
                   [](TriangleObject& t) {
                       t.addVertex(0, 0, 0);
                       t.addUV(0, 0);
                       t.addUV(0, 0);
                       t.addVertexColor(1, 1, 1);
                       t.addVertexColor(1, 1, 1);
                       t.addNormal(0, 0, 1);
                       t.addNormal(0, 0, 1);
                   },
                   "Number of normals does not equal number of vertices"
                   "Number of uvs(4)  does not match vertex count(3)"
                   "VetexColor count does not match number of vertices"
                   "No triangles defined",
                   false}),
    [](const ::testing::TestParamInfo<ReportCase>& info) { return std::string(info.param.label); });

TEST(TriangleCheck, ANewCheckReplacesTheOldReport) {
    TriangleObject t("t");
    EXPECT_FALSE(t.validate());
    EXPECT_EQ(t.problems(), "No triangles defined");
    fillTriangle(t);
    EXPECT_TRUE(t.validate());
    EXPECT_EQ(t.problems(), "");
}

// ---------------------------------------------------------------------------

TEST(TriangleData, NewObjectIsEmptyWithTheDefaultDiffuse) {
    TriangleObject t("t");
    EXPECT_EQ(t.name(), "t");
    EXPECT_EQ(t.memorySize(), 0u);
    EXPECT_FALSE(t.isInstance());
    EXPECT_EQ(t.problems(), "");
    auto material = std::dynamic_pointer_cast<orb::Diffuse>(t.material());
    ASSERT_NE(material, nullptr);
    EXPECT_EQ(material->name(), "default");
    EXPECT_EQ(material->shaderClass(), "orb_diffuse");
    // Each object gets its own default material.
    TriangleObject other("u");
    EXPECT_NE(other.material(), t.material());
}

TEST(TriangleData, SettersCopyWholeArraysAndClearEmptiesAll) {
    TriangleObject t("t");
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
    EXPECT_TRUE(t.uvTriangles().empty());
    EXPECT_TRUE(t.normalTriangles().empty());
    EXPECT_TRUE(t.vertexColors().empty());
}

} // namespace
