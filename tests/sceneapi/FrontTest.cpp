// The scene front over the file writer, and NullApi's answers.

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

TEST_F(FrontTest, StartsWithTheBannerThenTheVersion) {
    EXPECT_EQ(scene_.api(), &writer());
    EXPECT_EQ(out(), "#print \"Glowbox SceneApi oo 6.2.85  (built Mon Oct 26 10:26:53 2015)\"\nversion 6\n\n");
}

TEST_F(FrontTest, IdsAndShaderIdsCountIndependentlyFromOneAndRestartWithANewApi) {
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

TEST(FrontDefault, BindsToANullApi) {
    orb::orbSceneapi_oo scene;
    EXPECT_NE(dynamic_cast<NullApi*>(scene.api()), nullptr);
    EXPECT_EQ(scene.newId(), 1);
}

TEST(NullApiResults, EveryOperationAnswersFalseZeroOrNull) {
    NullApi api;
    EXPECT_EQ(driveEverySlot(api), "0 0 0 0 0 0 0 " "0 0 0 0 0 0 0 " "0 0 0 0 0 0 0 " "-1 0 0 0 0 0 0 0 0 ");
    orbScene_api* owned = new NullApi;
    delete owned;  // through the interface
}
