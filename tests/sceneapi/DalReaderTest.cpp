// The scene file reader against the writer that produces its input, the
// faults it must find in broken files, and the consistency check and summary
// built on it.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "WriterFixture.h"
#include "sceneapi/DalCheck.h"
#include "sceneapi/DalReader.h"
#include "sceneapi/DalSummary.h"
#include "sceneapi/LightFactory.h"
#include "sceneapi/orbSceneapi_oo.h"

using namespace sceneapitest;

namespace {

const std::vector<float> kVertices = {0, 0, 0, 1.5f, 0, 0, 0, -2.25f, 0.1f, 1024, 3, 7};
const std::vector<int> kTriangles = {0, 1, 2, 0, 2, 3};
const std::vector<double> kKnots = {0, 0, 0.1, 1.0 / 3, 1, 1};
const std::string kOddName = "crate \"A\" \xc3\xa9";  // a quote and a UTF-8 letter: written as hex
const std::string kPrinted = "50% \"done\"";

// A small scene through the real writer: a definition, a group placing it
// with a material, a print record.
std::string writeScene(bool binary) {
    StreamCapture capture;
    orbScene_api_file writer(capture.stream(), binary);
    orb::PassThroughFactory factory(&writer);
    orb::orbSceneapi_oo scene(&factory);
    writer.beginMaterial("red", false);
    writer.endMaterial();
    writer.beginObject(kOddName.c_str(), false);
    scene.newId();
    writer.beginGeometry("triangles");
    scene.setFloat3Array("vertices", kVertices);
    scene.setIntArray("triangles", kTriangles);
    scene.setDoubleArray("knots", kKnots);
    writer.endGeometry();
    writer.endObject();
    scene.print(kPrinted);
    scene.beginGroup("root");
    const double m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 5, 6, 7, 1};
    scene.transform(m);
    writer.beginObject(kOddName.c_str(), true);
    writer.beginGeometry("instance");
    scene.setInt("id", 1);
    writer.endGeometry();
    writer.material("red");
    writer.endObject();
    scene.endGroup();
    return capture.bytes();
}

TEST(DalReader, ReadsBackWhatTheWriterWroteInBothForms) {
    for (const bool binary : {false, true}) {
        SCOPED_TRACE(binary ? "binary" : "text");
        const std::string text = writeScene(binary);
        dal::Document document;
        dal::ReadError error;
        ASSERT_TRUE(dal::read(text, document, error)) << error.describe();
        const dal::Block& root = document.root;
        EXPECT_EQ(root.word("version"), "6");
        EXPECT_NE(root.definition("material", "red"), nullptr);

        const dal::Block* object = root.definition("object", kOddName);
        ASSERT_NE(object, nullptr);
        EXPECT_EQ(object->word("id"), "1");
        const dal::Block* geometry = object->child("geometry", "triangles");
        ASSERT_NE(geometry, nullptr);
        const dal::Array& vertices = geometry->statement("vertices")->arrays.at(0);
        EXPECT_EQ(vertices.binary, binary);
        EXPECT_EQ(vertices.tupleSize, 3u);
        ASSERT_EQ(vertices.values.size(), kVertices.size());
        for (std::size_t i = 0; i < kVertices.size(); ++i) EXPECT_EQ(static_cast<float>(vertices.values[i]), kVertices[i]) << i;
        EXPECT_EQ(geometry->numbers("triangles"), std::vector<double>(kTriangles.begin(), kTriangles.end()));
        EXPECT_EQ(geometry->statement("triangles")->arrays.at(0).form, dal::NumberForm::Integer);
        EXPECT_EQ(geometry->numbers("knots"), kKnots);
        EXPECT_EQ(geometry->statement("knots")->arrays.at(0).form, dal::NumberForm::Fixed16);

        const dal::Statement* print = nullptr;
        for (const dal::Statement& s : root.statements)
            if (s.key() == "#print" && s.words.at(1) == kPrinted) print = &s;
        EXPECT_NE(print, nullptr) << "the print record with its quotes";

        const dal::Block* group = root.child("group", "root");
        ASSERT_NE(group, nullptr);
        EXPECT_EQ(group->numbers("transform").at(12), 5);
        const dal::Block* placed = group->child("object", kOddName);
        ASSERT_NE(placed, nullptr);
        EXPECT_EQ(placed->word("material"), "red");
        EXPECT_EQ(text.substr(group->offset, 12), "group \"root\"");
        EXPECT_EQ(text[group->end - 1], '}');
        EXPECT_TRUE(dal::check(document).empty());
    }
}

// Each broken file is rejected at the place of its fault.
TEST(DalReader, NamesTheFirstFaultOfABrokenFile) {
    const std::string block = blockHeader('f', 4) + std::string(8, '\0');  // four floats declared, two given
    struct Case {
        const char* why;
        std::string text;
        std::size_t offset;
        const char* message;
    } const cases[] = {
        {"unclosed block", "group \"a\" {\nflags 1\n", 0, "is not closed"},
        {"stray closing", "version 6\n}\n", 10, "closes no block"},
        {"truncated binary block", "\"p\" [ " + block, 6, "needs 16 bytes, but the file has 8 left"},
        {"block without its bracket", "\"p\" [ " + blockHeader('i', 0) + "x", 6, "not followed by its ']'"},
        {"unknown block type", "\"p\" [ " + blockHeader('q', 0) + "] ", 6, "unknown type 'q'"},
        {"triples not whole", "\"p\" [ " + blockHeader('c', 2) + std::string(8, '\0') + "] ", 6, "holds 2 values"},
        {"unclosed array", "\"p\" [ 1,2,\n3", 4, "array is not closed"},
        {"block inside an array", "\"p\" [ 1, { ]", 9, "inside an array"},
        {"unclosed name", "group \"a {\n}\n", 6, "no closing quote"},
        {"unclosed print", "#print \"text", 0, "no closing quote"},
    };
    for (const Case& c : cases) {
        dal::Document document;
        dal::ReadError error;
        EXPECT_FALSE(dal::read(c.text, document, error)) << c.why;
        EXPECT_EQ(error.offset, c.offset) << c.why;
        EXPECT_NE(error.message.find(c.message), std::string::npos) << c.why << ": " << error.message;
    }
}

TEST(DalReader, RefusesNestingBeyondItsLimitAndStepsOverNulBytes) {
    dal::Document document;
    dal::ReadError error;
    // A NUL inside a word or an array once stopped the reader in its tracks, forever.
    ASSERT_TRUE(dal::read(std::string("a\0b [ 1 \0 ]\n", 13), document, error)) << error.describe();
    EXPECT_EQ(document.root.statements.at(0).words, std::vector<std::string>{std::string("a\0b", 3)});
    EXPECT_FALSE(dal::read(std::string(100, '{'), document, error, dal::ReadLimits{50}));
    EXPECT_EQ(error.offset, 50u);
    EXPECT_TRUE(dal::read(std::string(50, '{') + std::string(50, '}'), document, error, dal::ReadLimits{50}));
}

// A definition, then its placement; each case breaks one rule.
TEST(DalCheck, FindsWhatDoesNotHoldTogether) {
    const std::string good =
        "#define material \"m\" {\n}\n"
        "#define object \"o\" {\nid 1\ngeometry \"triangles\" {\n"
        "\"vertices\" [ 0 0 0,1 0 0,0 1 0 ],\n\"triangles\" [ 0,1,2 ],\n\"uv_tex\" [ 0,0,1,0,0,1 ],\n}\n}\n";
    const std::string place = "group \"g\" {\nobject \"o\" {\ngeometry \"instance\" {\n\"id\" 1,\n}\nmaterial \"m\"\n}\n}\n";
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = good + place;
        return text.replace(text.find(from), from.size(), to);
    };
    struct Case {
        const char* why;
        std::string text;
        const char* fault;  // null: none
    } const cases[] = {
        {"consistent", good + place, nullptr},
        {"placed before defined", place + good, "placed before its definition"},
        {"never defined", replaced("\"id\" 1", "\"id\" 9"), "instance id 9 is placed but never defined"},
        {"defined twice", good + good + place, "defined twice"},
        {"index beyond the vertices", replaced("[ 0,1,2 ]", "[ 0,1,3 ]"), "element 2 is 3, outside the 3 vertices"},
        {"partial triangle", replaced("[ 0,1,2 ]", "[ 0,1 ]"), "not whole groups of 3"},
        {"index far beyond any integer", replaced("[ 0,1,2 ]", "[ 0,1,1e300 ]"), "element 2 is 1.0000000000000001e+300"},
        {"uvs not per vertex", replaced("0,0,1,0,0,1", "0,0,1,0"), "uv_tex hold 4 numbers; 3 vertices needs 6"},
        {"uv index beyond the uvs", replaced("\"uv_tex\"", "\"triangles_uv\" [ 0,1,3 ],\n\"uv_tex\""), "outside the 3 uv_tex"},
        {"material never defined", replaced("material \"m\"\n}\n}", "material \"x\"\n}\n}"), "material \"x\" is used"},
        {"surface short of points",
         "#define object \"s\" {\nid 1\ngeometry \"nurbs\" {\n\"uorder\" 2,\n\"vorder\" 2,\n\"uknot\" [ 0,0,1,1 ],\n"
         "\"vknot\" [ 0,0,1,1 ],\n\"Pw\" [ 0,0,0,1 ],\n}\n}\n",
         "Pw hold 4 numbers; 2 x 2 control points needs 16"},
        {"trim edges miscounted",
         "#define object \"s\" {\nid 1\ngeometry \"nurbs\" {\n\"uorder\" 1,\n\"vorder\" 1,\n\"uknot\" [ 0 ],\n\"vknot\" [ 0 ],\n"
         "\"Pw\" [ ],\n\"trim_nedges\" [ 2 ],\n\"trim_inside\" [ 1 ],\n\"edge_order\" [ 2 ],\n}\n}\n",
         "edge_order hold 1 numbers; 2 trim edges needs 2"},
        {"curves miscounted",
         "#define object \"c\" {\nid 1\ngeometry \"orb_curves\" {\n\"p\" [ 0 0 0,1 1 1 ],\n\"nvertices\" [ 3 ],\n}\n}\n",
         "nvertices add up to 3 points, but \"p\" holds 2"},
    };
    for (const Case& c : cases) {
        dal::Document document;
        dal::ReadError error;
        ASSERT_TRUE(dal::read(c.text, document, error)) << c.why << ": " << error.describe();
        const std::vector<dal::Fault> faults = dal::check(document);
        if (!c.fault) {
            EXPECT_TRUE(faults.empty()) << c.why << ": " << faults.front().message;
            continue;
        }
        ASSERT_EQ(faults.size(), 1u) << c.why;
        EXPECT_NE(faults[0].message.find(c.fault), std::string::npos) << c.why << ": " << faults[0].message;
        EXPECT_LT(faults[0].offset, c.text.size()) << c.why;
    }
}

TEST(DalSummary, CountsPlacementsOncePerPlaceAndFindsTextures) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("dal_summary_" + std::to_string(::getpid()));
    fs::create_directories(folder / "maps");
    std::ofstream(folder / "maps" / "wood.png") << "x";
    const std::string text =
        "#define material \"wood\" {\nsurface \"orb_diffuse\" {\n\"diffuse\" ! \"texture_rgb\" {\n\"texture\" \"maps/wood.png\",\n} ,\n}\n}\n"
        "#define material \"bark\" {\nsurface \"orb_diffuse\" {\n\"diffuse\" ! \"texture_rgb\" {\n\"texture\" \"maps/bark.png\",\n} ,\n}\n}\n"
        "\ncamera \"persp\" {\nfov 54\ntransform 1 0 0 0 0 1 0 0 0 0 1 0 4 5 6 1\n}\n"
        "#define object \"o\" {\nid 1\ngeometry \"triangles\" {\n\"vertices\" [ 0 0 0,1 0 0,0 1 0,1 1 0 ],\n\"triangles\" [ 0,1,2,1,3,2 ],\n}\n}\n"
        "group \"g\" {\nobject \"o\" {\ngeometry \"instance\" {\n\"id\" 1,\n}\n}\ngroup \"h\" {\nobject \"o\" {\ngeometry \"instance\" {\n"
        "\"id\" 1,\n}\n}\n}\n}\n#error \"No triangles defined\"\n";
    dal::Document document;
    dal::ReadError error;
    ASSERT_TRUE(dal::read(text, document, error)) << error.describe();
    const dal::Summary summary = dal::summarize(document, folder.string());
    fs::remove_all(folder);
    EXPECT_EQ(summary.groups, 2u);
    EXPECT_EQ(summary.objectDefinitions, 1u);
    EXPECT_EQ(summary.objectPlacements, 2u);
    EXPECT_EQ(summary.triangles, 2u);
    EXPECT_EQ(summary.vertices, 4u);
    EXPECT_EQ(summary.placedTriangles, 4u);
    ASSERT_EQ(summary.textures.size(), 2u);
    EXPECT_TRUE(summary.textures[0].found);
    EXPECT_FALSE(summary.textures[1].found);
    EXPECT_EQ(summary.textures[1].material, "bark");
    ASSERT_EQ(summary.cameras.size(), 1u);
    EXPECT_EQ(summary.cameras[0].position, (std::array<double, 3>{4, 5, 6}));
    EXPECT_EQ(summary.cameras[0].fov, 54);
    EXPECT_EQ(summary.errors, std::vector<std::string>{"No triangles defined"});
}

}  // namespace
