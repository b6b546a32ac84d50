// The record of each operation, lists, shader capture and sections.

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "WriterFixture.h"
#include "sceneapi/LightFactory.h"
#include "sceneapi/NullApi.h"
#include "sceneapi/model/LightNode.h"
#include "sceneapi/orbSceneapi_oo.h"

using namespace sceneapitest;

// ---------------------------------------------------------------------------
// Blocks

TEST_F(WriterTest, BlockRecordsCloseWithTheBraceAloneAndRestoreTheMode) {
    const int v = 1;
    auto& w = writer();
    expectSteps({
        {[&] { EXPECT_TRUE(w.beginObject("o", true)); w.parameter("visible", ParamType::Int, &v); },
         "object \"o\" {\nvisible 1\n"},
        {[&] { EXPECT_TRUE(w.beginGeometry("mesh")); w.parameter("n", ParamType::Int, &v); w.endGeometry(); },
         "geometry \"mesh\" {\n\"n\" 1,\n}\n"},
        {[&] { w.parameter("visible", ParamType::Int, &v); w.endObject(); }, "visible 1\n}\n"},
        {[&] { w.beginObject("d", false); w.endObject(); }, "#define object \"d\" {\n}\n"},
        {[&] { EXPECT_TRUE(w.beginGroup("g", false)); w.endGroup(); }, "\n#define group \"g\" {\n}\n"},
        {[&] { w.beginAnimation("a", "b"); w.endAnimation(); }, "animation \"a\" \"b\" {\n}\n"},
        {[&] { w.beginLoad("module"); w.endLoad(); }, "load \"module\" {\n}\n"},
        {[&] { w.beginLight("sun"); w.endLight(); }, "\nlight \"sun\" {\n}\n"},
        {[&] { w.beginAccel("bvh"); w.endAccel(); }, "\naccel \"bvh\" {\n}\n"},
        {[&] { w.beginMatrix("m"); w.endMatrix(); }, "#define matrix \"m\" {\n}\n"},
        {[&] { w.beginMaterial("inPlace", true); w.endMaterial(); }, "material \"inPlace\" {\n}\n"},
        // Shader form inside an output, settings form after it.
        {[&] { w.beginOutput("a", "b", "c"); w.parameter("p", ParamType::Int, &v); w.endOutput(); },
         "output \"a\" \"b\" \"c\" {\n\"p\" 1,\n}\n"},
        {[&] { w.parameter("p", ParamType::Int, &v); }, "p 1\n"},
        {[&] { EXPECT_EQ(w.endAnimation(), 0); }, "}\n"},
    });
}

TEST_F(WriterTest, CamerasOptionsAndImagesAreSettingsSections) {
    const float fov = 45;
    auto& w = writer();
    expectSteps({
        {[&] { EXPECT_TRUE(w.beginCamera(nullptr)); w.parameter("fov", ParamType::Float, &fov); w.endCamera(); },
         "\ncamera {\nfov 45\n}\n"},
        {[&] { EXPECT_TRUE(w.beginCamera("cam")); w.endCamera(); }, "\ncamera \"cam\" {\n}\n"},
        {[&] { EXPECT_TRUE(w.beginModifyCamera("cam")); w.endCamera(); }, "#modify \ncamera \"cam\" {\n}\n"},
        {[&] { EXPECT_TRUE(w.beginOptions()); w.endOptions(); }, "\noptions {\n}\n"},
        {[&] { EXPECT_TRUE(w.beginImage()); w.endImage(); }, "\nimage {\n}\n"},
        {[&] { w.parameter("fov", ParamType::Float, &fov); }, "\"fov\" 45,\n"},
    });
}

TEST_F(WriterTest, ASecondSectionIsRefusedAndItsEndLeavesNoneOpen) {
    EXPECT_TRUE(writer().beginOptions());
    const std::string opened = out();
    EXPECT_FALSE(writer().beginCamera("c"));
    EXPECT_FALSE(writer().beginImage());
    EXPECT_FALSE(writer().beginOptions());
    EXPECT_FALSE(writer().beginModifyCamera("c"));  // its "#modify " is written all the same
    EXPECT_EQ(out(), opened + "#modify ");
    writer().endCamera();
    EXPECT_EQ(out(), opened + "#modify ");
    EXPECT_TRUE(writer().beginImage());  // the refused end closed the section
    writer().endImage();
    EXPECT_EQ(out(), opened + "#modify \nimage {\n}\n");
    writer().beginObject("o", true);  // an object is a section too
    EXPECT_FALSE(writer().beginCamera("c"));
    writer().endObject();
    EXPECT_TRUE(writer().beginCamera("c"));
}

// ---------------------------------------------------------------------------
// Lines

TEST_F(WriterTest, TransformsRoundToFloatAndScalingRecordsDoNot) {
    double m[16] = {};
    m[0] = 1.0000000001;  // collapses to 1 as a float
    m[5] = 123456789.0;
    m[15] = 1;
    auto& w = writer();
    expectSteps({
        {[&] { w.transform(m); }, "transform 1 0 0 0 0 1.23457e+08 0 0 0 0 0 0 0 0 0 1\n"},
        {[&] { w.setTransform(m); }, "set transform 1 0 0 0 0 1.23457e+08 0 0 0 0 0 0 0 0 0 1\n"},
        {[&] { w.scale(1, 2, 3); }, "scale 1 2 3\n"},
        {[&] { w.rotate(0.5, -90, 1e-7); }, "rotate 0.5 -90 1e-07\n"},
        {[&] { w.translate(1.0000000001, 0, 0); }, "translate 1 0 0\n"},
    });
}

TEST_F(WriterTest, SmallRecords) {
    const unsigned char bytes[] = {0x00, 0xAB, 0x10, 0xFF};
    const int alt = 42;
    const int kinds[] = {ShaderKind::Surface, ShaderKind::Shadow, ShaderKind::Volume, ShaderKind::ReflectionMap,
                         ShaderKind::Init, 5};
    int id = 0;
    auto& w = writer();
    expectSteps({
        {[&] { w.version(-1); }, "version 8\n\n"},
        {[&] { w.version(6); }, "version 6\n\n"},
        {[&] { w.progress("Loading", 0.5f); }, "progress \"Loading\" 0.500\n\n"},
        {[&] { w.print("100% done %s %d"); }, "#print \"100% done %s %d\"\n"},
        {[&] { w.error("bad \"x\""); }, "#error \"bad \"x\"\"\n"},
        {[&] { w.id(4000000000u); }, "id 4000000000\n"},
        {[&] { w.flags(32768); }, "flags 32768\n"},
        {[&] { w.attribute("key", "value"); }, "attribute \"key\" \"value\"\n"},
        {[&] { w.text("%d-%s\n", 7, "x"); }, "7-x\n"},
        {[&] { EXPECT_TRUE(w.render()); }, "\nrender\n"},
        {[&] { EXPECT_TRUE(w.parameterShaderId("color", 12)); }, "\"color\" ! 12,\n"},
        // Hex bytes are lower case; empty data is the bare marker.
        {[&] { w.icon(bytes, 4); w.icon(bytes, 0); w.icon(nullptr, -3); }, "icon bX00ab10ff\nicon bX\nicon bX\n"},
        {[&] { w.binaryValue("thumb", bytes + 1, 2); }, "thumb bXab10\n"},
        // An unknown shader kind is taken for a surface, with a note.
        {[&] { for (int kind : kinds) w.shaderRef(kind, ++id); },
         "surface 1\nshadow 2\nvolume 3\nreflection map 4\ninit 5\n// assuming surface shader\nsurface  6\n"},
        // IntAlt writes its own line, then the general form of the mode.
        {[&] { w.parameter("alt", ParamType::IntAlt, &alt); }, "\"alt\" 42,\n\"alt\" 42,\n"},
        {[&] { w.beginGroup("g", true); w.parameter("alt", ParamType::IntAlt, &alt); },
         "\ngroup \"g\" {\n\"alt\" 42,\nalt 42\n"},
    });
}

// ---------------------------------------------------------------------------
// Captured shaders

TEST_F(WriterTest, NestedCapturesFollowTheMaterialSequence) {
    const float half = 0.5f;
    writer().setFlags(1);
    writer().beginMaterial("m", false);  // depth 1 afterwards
    writer().pushText();
    writer().beginShader(nullptr, "outer");
    writer().parameter("k", ParamType::Float, &half);
    writer().pushText();
    writer().beginShader(nullptr, "inner");
    writer().parameter("t", ParamType::String, "file.png");
    writer().endShader();
    const ShaderText* inner = writer().currentText();
    writer().popText();
    writer().parameterShader("diffuse", inner);
    writer().endShader();
    const ShaderText* outer = writer().currentText();
    writer().popText();
    writer().shaderBlock(ShaderKind::Surface, outer);
    writer().shaderBlock(ShaderKind::Surface, nullptr);
    writer().shaderBlock(9, outer);
    writer().endMaterial();

    ASSERT_NE(inner, nullptr);
    ASSERT_NE(outer, inner);
    // Captures start at depth 0; a nested capture is re-indented where it is used.
    EXPECT_STREQ(inner->data, "\"inner\" {\n \"t\" \"file.png\",\n}");
    EXPECT_STREQ(outer->data,
                 "\"outer\" {\n"
                 " \"k\" 0.5,\n"
                 " \"diffuse\" !  \"inner\" {\n"
                 "  \"t\" \"file.png\",\n"
                 " } ,\n"
                 "}");
    EXPECT_FALSE(outer->binary);
    const std::string block =
        " surface  \"outer\" {\n"
        "  \"k\" 0.5,\n"
        "  \"diffuse\" !  \"inner\" {\n"
        "   \"t\" \"file.png\",\n"
        "  } ,\n"
        " } \n";
    EXPECT_EQ(out(), "\n#define material \"m\" {\n" + block + " // assuming surface shader\n" + block + "}\n");
}

TEST_F(WriterTest, TextValuesWriteTheCaptureAtDepthTwo) {
    writer().setFlags(1);
    writer().beginShader(nullptr, "env");
    writer().endShader();
    const ShaderText* text = writer().currentText();
    writer().beginCamera("c");
    writer().parameter("reflection map", ParamType::Text, &text);
    writer().endCamera();
    EXPECT_EQ(out(), "\ncamera \"c\" {\n reflection map   \"env\" {\n  }\n}\n");
}

TEST_F(WriterTest, CapturesHoldingBinaryBlocksAreWrittenUnchanged) {
    useWriter(true);
    const float values[] = {1, 2};
    const ParamArray<float> array{values, 2};
    writer().setFlags(3);  // indentation on, binary on
    writer().beginGroup("g", true);
    writer().beginShader(nullptr, "s");
    writer().parameter("a", ParamType::FloatArray, &array);
    writer().endShader();
    const ShaderText* text = writer().currentText();
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->binary);
    const std::string captured = "\"s\" {\n \"a\" [ " + blockHeader('f', 2) + littleEndian(values, 2) + "] ,\n}";
    EXPECT_EQ(std::string(text->data, static_cast<std::size_t>(text->length)), captured);
    const std::string before = out();
    writer().shaderBlock(ShaderKind::Shadow, text);
    EXPECT_EQ(out().substr(before.size()), " shadow " + captured + " \n");
}

TEST_F(WriterTest, NamedShadersAreWrittenAndNumberedOnesUseTheBareClass) {
    const int v = 1;
    writer().beginGroup("g", true);
    EXPECT_TRUE(writer().beginShader("name", "class"));
    writer().parameter("p", ParamType::Int, &v);
    writer().endShader();
    EXPECT_TRUE(writer().beginShaderId("orb_x", 3));
    writer().endShader();
    writer().parameter("p", ParamType::Int, &v);  // settings mode again
    writer().endGroup();
    EXPECT_EQ(out(),
              "\ngroup \"g\" {\n#define shader \"name\" \"class\" {\n\"p\" 1,\n}\n"
              "#define shader 3 orb_x {\n}\np 1\n}\n");
}

TEST_F(WriterTest, UnbalancedEndsNeverFail) {
    writer().endShader();
    writer().popText();
    writer().endGroup();
    writer().endGeometry();
    writer().endList();
    EXPECT_EQ(writer().currentText(), nullptr);
    writer().beginGroup("g", true);  // still writes, at whatever depth is left
    writer().endGroup();
    EXPECT_FALSE(out().empty());
}

TEST(ShaderTextGrowth, CapacityFollowsTheSlackRule) {
    ShaderText text;
    EXPECT_EQ(text.capacity, -1);
    text.append("abc");
    EXPECT_EQ(text.capacity, 3 + (-1 + 256) * 2);
    EXPECT_EQ(text.length, 3);
    EXPECT_FALSE(text.binary);
    const std::string big(600, 'y');
    text.append(big.c_str());
    EXPECT_EQ(text.capacity, 600 + (513 + 256) * 2);
    EXPECT_EQ(text.length, 603);
    EXPECT_EQ(std::string(text.data), "abc" + big);
    const unsigned char zero[] = {0};
    text.appendBytes(zero, 0);
    EXPECT_FALSE(text.binary);
    text.appendBytes(zero, 1);
    EXPECT_TRUE(text.binary);
    EXPECT_EQ(text.length, 604);
}

TEST(WriterStackGrowth, GrowsOneEntryBeforeFullAndPopsTheBottomWhenEmpty) {
    WriterStack<int> stack;
    for (int i = 1; i <= 31; ++i) stack.push(i);
    EXPECT_EQ(stack.capacity(), 32u);
    stack.push(32);
    EXPECT_EQ(stack.capacity(), 32u * 2 + 32);
    for (int i = 32; i >= 1; --i) EXPECT_EQ(stack.pop(), i);
    EXPECT_EQ(stack.size(), 0u);
    EXPECT_EQ(stack.pop(), 1);  // the bottom entry
    EXPECT_EQ(stack.size(), 0u);
    WriterStack<int> fresh;
    EXPECT_EQ(fresh.pop(), 0);
}

// ---------------------------------------------------------------------------
// Lists

TEST_F(WriterTest, TextListsPutSixItemsOrTwoTriplesOnAnIndentedLine) {
    writer().beginList("ints");
    for (int i = 1; i <= 8; ++i) writer().listItem(ParamType::Int, &i);
    writer().endList();
    writer().setFlags(1);
    writer().beginList("points");
    const float p[] = {1, 2, 3};
    for (int i = 0; i < 3; ++i) writer().listItem(ParamType::Float3, p);
    writer().endList();
    writer().beginList("l");
    const char* names[] = {"a", "b"};
    for (const char* name : names) writer().listItem(ParamType::StringRef, &name);
    for (int i = 0; i < 5; ++i) writer().listItem(ParamType::Bool, &i);
    writer().endList();
    EXPECT_EQ(out(),
              "\"ints\" [\n1, 2, 3, 4, 5, 6,\n7, 8 ],\n"
              "\"points\" [\n 1 2 3, 1 2 3,\n 1 2 3 ],\n"
              "\"l\" [\n \"a\", \"b\", off, on, on, on,\n on ],\n");
}

TEST_F(WriterTest, BinaryListsCollectNumbersIntoOneBlock) {
    useWriter(true);
    writer().beginList("p");
    const float a[] = {1, 2, 3}, b[] = {4, 5, 6};
    writer().listItem(ParamType::Float3, a);
    writer().listItem(ParamType::Float3, b);
    writer().endList();
    writer().beginList("empty");
    writer().endList();
    writer().beginList("mixed");
    writer().listItem(ParamType::String, "s");
    const float f = 0.5f;
    writer().listItem(ParamType::Float, &f);
    writer().listItem(ParamType::String, "t");
    writer().endList();
    std::vector<int> values(70000);  // past the first chunk of collected values
    for (int i = 0; i < 70000; ++i) values[i] = i * 3 - 5;
    writer().beginList("big");
    for (int& v : values) writer().listItem(ParamType::Int, &v);
    writer().endList();
    const float all[] = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(out(),
              "\"p\" [\n" + blockHeader('c', 6) + littleEndian(all, 6) + " ],\n" +
              "\"empty\" [\n ],\n" +
              "\"mixed\" [\n\"s\", \"t\"" + blockHeader('f', 1) + littleEndian(&f, 1) + " ],\n" +
              "\"big\" [\n" + blockHeader('i', 70000) + littleEndian(values.data(), values.size()) + " ],\n");
}

TEST_F(WriterTest, NullPointersAreWrittenAsEmptyNamesOrNothing) {
    const ParamArray<const char*> holes{nullptr, 3};
    const char* names[] = {nullptr};
    const ParamArray<const char*> nullName{names, 1};
    const ShaderText* noText = nullptr;
    auto& w = writer();
    expectSteps({
        {[&] { w.beginGroup(nullptr, true); }, "\ngroup \"\" {\n"},
        {[&] { w.parameter(nullptr, ParamType::Int, nullptr); }, " \n"},
        {[&] { w.parameter("a", ParamType::StringArray, &holes); }, "a [ ] \n"},
        {[&] { w.parameter("b", ParamType::StringArray, &nullName); }, "b [ \"\" ] \n"},
        {[&] { w.parameter("t", ParamType::Text, &noText); }, "t \n"},
        {[&] { w.parameter("r", ParamType::StringRef, nullptr); }, "r \n"},
        {[&] { w.transform(nullptr); }, ""},
        {[&] { w.attribute(nullptr, nullptr); }, "attribute \"\" \"\"\n"},
        {[&] { w.binaryValue(nullptr, nullptr, 5); }, " bX\n"},
        {[&] { w.progress(nullptr, 1.0f); }, "progress \"\" 1.000\n\n"},
        {[&] { w.print(nullptr); }, "#print \"\"\n"},
        {[&] { w.text(nullptr); }, ""},
        {[&] { w.parameterShader("p", nullptr); }, "\"p\" ! ,\n"},
        {[&] { w.beginShaderId(nullptr, 2); w.endShader(); }, "#define shader 2  {\n}\n"},
        {[&] { w.listItem(ParamType::Float, nullptr); }, ""},
        {[&] { w.endGroup(); }, "}\n"},
    });
}

// ---------------------------------------------------------------------------
// The scene front over the file writer, and NullApi's answers.

namespace {

// Checks that the one-argument transform goes through the virtual two-argument one.
class CountingFront : public orb::orbSceneapi_oo {
public:
    using orb::orbSceneapi_oo::orbSceneapi_oo;
    using orb::orbSceneapi_oo::transform;
    int calls = 0;
    void transform(const double m[16], bool set) override {
        ++calls;
        orb::orbSceneapi_oo::transform(m, set);
    }
};

class PrintingNode : public orb::LightNode {
public:
    void write(orb::orbSceneapi_oo& scene) override { scene.print("node"); }
    void writeInstanceSource(orb::orbSceneapi_oo&) override {}
    bool isInstance() const override { return false; }
};

// A front over the fixture's writer; text arrays, no indentation.
class FrontTest : public WriterTest {
protected:
    FrontTest() : factory_(&writer()), scene_(&factory_), start_(out().size()) {}

    std::string written() { return out().substr(start_); }

    orb::PassThroughFactory factory_;
    CountingFront scene_;
    std::size_t start_;
};

}  // namespace

TEST_F(FrontTest, StartsWithTheBannerAndCountsIdsAndShaderIdsFromOneAgainWithANewApi) {
    EXPECT_EQ(scene_.api(), &writer());
    EXPECT_EQ(out(), "#print \"Glowbox SceneApi oo 6.2.85  (built Mon Oct 26 10:26:53 2015)\"\nversion 6\n\n");
    EXPECT_EQ(scene_.newId(), 1);
    EXPECT_EQ(scene_.newId(), 2);
    EXPECT_EQ(scene_.beginShader("orb_a"), 1);
    scene_.endShader();
    EXPECT_EQ(scene_.beginShader("orb_b"), 2);
    EXPECT_EQ(scene_.newId(), 3);
    EXPECT_EQ(written(), "id 1\nid 2\n#define shader 1 orb_a {\n}\n#define shader 2 orb_b {\nid 3\n");

    StreamCapture otherCapture;
    orbScene_api_file other(otherCapture.stream(), false);
    scene_.setApi(&other);
    EXPECT_EQ(scene_.api(), &other);
    EXPECT_EQ(scene_.newId(), 1);
    EXPECT_EQ(scene_.beginShader("x"), 1);
    EXPECT_EQ(otherCapture.bytes(), "id 1\n#define shader 1 x {\n");
}

TEST_F(FrontTest, ArraySettersDescribeTheVectorsAndMatricesTakeALineEach) {
    std::vector<Matrix4d> matrices(2);
    for (int i = 0; i < 32; ++i) matrices[i / 16][i % 16] = i * 0.5;
    writer().setFlags(1);
    writer().beginGeometry("g");
    scene_.setFloat3Array("c", {1, 2, 3, 4, 5, 6, 7});  // whole triples only
    scene_.setMatrixArray("m", matrices);
    scene_.setMatrixArray("none", {});
    scene_.setFloatArray("empty", {});
    EXPECT_EQ(written(),
              "geometry \"g\" {\n \"c\" [ 1 2 3,4 5 6 ] ,\n"
              " \"m\" [  0 0.5 1 1.5 2 2.5 3 3.5 4 4.5 5 5.5 6 6.5 7 7.5 ,\n"
              " 8 8.5 9 9.5 10 10.5 11 11.5 12 12.5 13 13.5 14 14.5 15 15.5 \n"
              "] ,\n \"none\" [ ] ,\n \"empty\" [ ] ,\n");
}

TEST_F(FrontTest, PassThroughOperationsAndNoConstCharStrings) {
    PrintingNode node;
    double m[16] = {};
    m[12] = 7;
    auto& w = scene_;
    expectSteps({
        {[&] { w.write(&node); }, "#print \"node\"\n"},
        {[&] { w.beginGroup("g"); w.endGroup(); }, "\ngroup \"g\" {\n}\n"},
        {[&] { w.flags(32768); }, "flags 32768\n"},
        {[&] { w.progress("step", 0.25f); }, "progress \"step\" 0.250\n\n"},
        {[&] { w.print("hello"); }, "#print \"hello\"\n"},
        {[&] { w.transform(m); }, "transform 0 0 0 0 0 0 0 0 0 0 0 0 7 0 0 0\n"},
        {[&] { w.transform(m, true); }, "set transform 0 0 0 0 0 0 0 0 0 0 0 0 7 0 0 0\n"},
        {[&] {
             try {
                 w.setString("s", "literal");
                 ADD_FAILURE() << "no exception";
             } catch (const std::invalid_argument& e) {
                 EXPECT_STREQ(e.what(), "const char * are deprecated");
             }
         },
         ""},
    });
    EXPECT_EQ(scene_.calls, 2);  // the plain transform went through the set form
}

TEST(NullApiResults, AFrontBindsToOneByDefaultAndEveryOperationAnswersFalseZeroOrNull) {
    orb::orbSceneapi_oo scene;
    EXPECT_NE(dynamic_cast<NullApi*>(scene.api()), nullptr);
    EXPECT_EQ(scene.newId(), 1);
    NullApi api;
    EXPECT_EQ(driveEverySlot(api), "0 0 0 0 0 0 0 " "0 0 0 0 0 0 0 " "0 0 0 0 0 0 0 " "-1 0 0 0 0 0 0 0 0 ");
    orbScene_api* owned = new NullApi;
    delete owned;  // through the interface
}
