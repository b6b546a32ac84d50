// The scene front over a recording api, and NullApi's results.

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "StreamCapture.h"
#include "sceneapi/LightFactory.h"
#include "sceneapi/NullApi.h"
#include "sceneapi/model/LightNode.h"
#include "sceneapi/orbScene_api_file.h"
#include "sceneapi/orbSceneapi_oo.h"

using namespace sceneapitest;

namespace {

// Records what the front passes on, reading array descriptors as the writer
// would.
class RecordingApi : public NullApi {
public:
    std::vector<std::string> calls;
    std::vector<std::uint32_t> arrayCounts;
    std::vector<const void*> arrayData;

    bool parameter(const char* name, unsigned type, const void* value) override {
        std::string call = "parameter " + std::string(name) + " " + std::to_string(type);
        if (type & ParamType::ArrayBit) {
            const auto& array = *static_cast<const ParamArray<void>*>(value);
            arrayCounts.push_back(array.count);
            arrayData.push_back(array.data);
        } else if (type == ParamType::String) {
            call += " " + std::string(static_cast<const char*>(value));
        } else if (type == ParamType::Bool || type == ParamType::Int) {
            call += " " + std::to_string(*static_cast<const int*>(value));
        } else if (type == ParamType::Float) {
            call += " " + std::to_string(*static_cast<const float*>(value));
        } else if (type == ParamType::Double) {
            call += " " + std::to_string(*static_cast<const double*>(value));
        } else if (type == ParamType::Double3) {
            const double* v = static_cast<const double*>(value);
            call += " " + std::to_string(v[0]) + "," + std::to_string(v[1]) + "," + std::to_string(v[2]);
        }
        calls.push_back(call);
        return true;
    }
    void id(unsigned id) override { calls.push_back("id " + std::to_string(id)); }
    bool beginShaderId(const char* shaderClass, int shaderId) override {
        calls.push_back("beginShaderId " + std::string(shaderClass) + " " + std::to_string(shaderId));
        return true;
    }
    void endShader() override { calls.push_back("endShader"); }
    bool beginGroup(const char* name, bool inPlace) override {
        calls.push_back("beginGroup " + std::string(name) + (inPlace ? " inPlace" : " definition"));
        return true;
    }
    void endGroup() override { calls.push_back("endGroup"); }
    void print(const char* text) override { calls.push_back("print " + std::string(text)); }
    void version(int v) override { calls.push_back("version " + std::to_string(v)); }
    void transform(const double m[16]) override { calls.push_back("transform " + std::to_string(m[12])); }
    void setTransform(const double m[16]) override { calls.push_back("setTransform " + std::to_string(m[12])); }
    void flags(unsigned f) override { calls.push_back("flags " + std::to_string(f)); }
    void progress(const char* label, float fraction) override {
        calls.push_back("progress " + std::string(label) + " " + std::to_string(fraction));
    }
};

class FrontTest : public ::testing::Test {
protected:
    FrontTest() : factory_(&api_), scene_(&factory_) { api_.calls.clear(); }

    RecordingApi api_;
    orb::PassThroughFactory factory_;
    orb::orbSceneapi_oo scene_;
};

}  // namespace

TEST(FrontStart, WritesTheBannerThenTheVersion) {
    RecordingApi api;
    orb::PassThroughFactory factory(&api);
    orb::orbSceneapi_oo scene(&factory);
    EXPECT_EQ(scene.api(), &api);
    ASSERT_EQ(api.calls.size(), 2u);
    EXPECT_EQ(api.calls[0], "print Glowbox SceneApi oo 6.2.85  (built Mon Oct 26 10:26:53 2015)");
    EXPECT_EQ(api.calls[1], "version 6");
}

TEST_F(FrontTest, IdsAndShaderIdsCountIndependentlyFromOne) {
    EXPECT_EQ(scene_.newId(), 1);
    EXPECT_EQ(scene_.newId(), 2);
    EXPECT_EQ(scene_.beginShader("orb_a"), 1);
    scene_.endShader();
    EXPECT_EQ(scene_.beginShader("orb_b"), 2);
    EXPECT_EQ(scene_.newId(), 3);
    EXPECT_EQ(api_.calls, (std::vector<std::string>{"id 1", "id 2", "beginShaderId orb_a 1", "endShader",
                                                    "beginShaderId orb_b 2", "id 3"}));
}

TEST_F(FrontTest, SetApiRestartsBothCounters) {
    scene_.newId();
    scene_.beginShader("x");
    RecordingApi other;
    scene_.setApi(&other);
    EXPECT_EQ(scene_.api(), &other);
    EXPECT_EQ(scene_.newId(), 1);
    EXPECT_EQ(scene_.beginShader("x"), 1);
    EXPECT_EQ(other.calls, (std::vector<std::string>{"id 1", "beginShaderId x 1"}));
}

TEST_F(FrontTest, TypedSettersPassTheirCodesAndValues) {
    const double xyz[] = {1, 2, 3};
    scene_.setString("s", std::string("text"));
    scene_.setDouble3("d3", xyz);
    scene_.setDouble("d", 0.25);
    scene_.setFloat("f", 0.5f);
    scene_.setInt("i", -4);
    scene_.setBool("yes", true);
    scene_.setBool("no", false);
    EXPECT_EQ(api_.calls, (std::vector<std::string>{
                              "parameter s 10 text",
                              "parameter d3 5 1.000000,2.000000,3.000000",
                              "parameter d 4 0.250000",
                              "parameter f 3 0.500000",
                              "parameter i 6 -4",
                              "parameter yes 7 1",
                              "parameter no 7 0",
                          }));
}

TEST_F(FrontTest, ArraySettersDescribeTheVectorsData) {
    const std::vector<int> ints = {1, 2, 3};
    const std::vector<float> floats = {1, 2, 3, 4, 5, 6, 7};
    const std::vector<double> doubles = {1, 2};
    const std::vector<Matrix4d> matrices(2);
    scene_.setIntArray("i", ints);
    scene_.setFloatArray("f", floats);
    scene_.setDoubleArray("d", doubles);
    scene_.setFloat3Array("c", floats);
    scene_.setMatrixArray("m", matrices);
    scene_.setFloatArray("empty", {});
    EXPECT_EQ(api_.calls, (std::vector<std::string>{"parameter i 32774", "parameter f 32771", "parameter d 32772",
                                                    "parameter c 32769", "parameter m 32777",
                                                    "parameter empty 32771"}));
    EXPECT_EQ(api_.arrayCounts, (std::vector<std::uint32_t>{3, 7, 2, 2, 2, 0}));  // 7 floats: 2 whole triples
    EXPECT_EQ(api_.arrayData[0], ints.data());
    EXPECT_EQ(api_.arrayData[1], floats.data());
    EXPECT_EQ(api_.arrayData[2], doubles.data());
    EXPECT_EQ(api_.arrayData[3], floats.data());
    EXPECT_EQ(api_.arrayData[4], matrices.data());
}

TEST_F(FrontTest, ConstCharStringsAreRejectedWithoutWriting) {
    try {
        scene_.setString("s", "literal");
        FAIL() << "no exception";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "const char * are deprecated");
    }
    EXPECT_TRUE(api_.calls.empty());
}

namespace {

// Checks that the one-argument transform goes through the virtual two-argument one.
class CountingFront : public orb::orbSceneapi_oo {
public:
    using orb::orbSceneapi_oo::orbSceneapi_oo;
    using orb::orbSceneapi_oo::transform;
    int calls = 0;
    bool lastSet = true;
    void transform(const double m[16], bool set) override {
        ++calls;
        lastSet = set;
        orb::orbSceneapi_oo::transform(m, set);
    }
};

class RecordingNode : public orb::LightNode {
public:
    orb::orbSceneapi_oo* writtenTo = nullptr;
    void write(orb::orbSceneapi_oo& scene) override { writtenTo = &scene; }
    void writeInstanceSource(orb::orbSceneapi_oo&) override {}
    bool isInstance() const override { return false; }
};

}  // namespace

TEST(FrontTransforms, PlainTransformGoesThroughTheVirtualSetForm) {
    RecordingApi api;
    orb::PassThroughFactory factory(&api);
    CountingFront scene(&factory);
    api.calls.clear();
    double m[16] = {};
    m[12] = 7;
    scene.transform(m);
    EXPECT_EQ(scene.calls, 1);
    EXPECT_FALSE(scene.lastSet);
    scene.transform(m, true);
    EXPECT_EQ(api.calls, (std::vector<std::string>{"transform 7.000000", "setTransform 7.000000"}));
}

TEST_F(FrontTest, PassThroughOperations) {
    RecordingNode node;
    scene_.write(&node);
    EXPECT_EQ(node.writtenTo, &scene_);
    scene_.beginGroup("g");
    scene_.endGroup();
    scene_.flags(32768);
    scene_.progress("step", 0.25f);
    scene_.print("hello");
    EXPECT_EQ(api_.calls, (std::vector<std::string>{"beginGroup g inPlace", "endGroup", "flags 32768",
                                                    "progress step 0.250000", "print hello"}));
}

TEST(FrontDefault, BindsToANullApi) {
    orb::orbSceneapi_oo scene;
    ASSERT_NE(scene.api(), nullptr);
    EXPECT_NE(dynamic_cast<NullApi*>(scene.api()), nullptr);
    EXPECT_EQ(scene.newId(), 1);
    EXPECT_FALSE(scene.api()->beginObject("o", true));
}

TEST(FrontOverWriter, NewIdWritesTheIdLine) {
    StreamCapture capture;
    orbScene_api_file writer(capture.stream(), true);
    orb::PassThroughFactory factory(&writer);
    orb::orbSceneapi_oo scene(&factory);
    const std::size_t start = capture.bytes().size();
    scene.newId();
    scene.beginShader("orb_diffuse");
    scene.setFloat("kd", 0.5f);
    scene.endShader();
    const std::vector<float> seven = {1, 2, 3, 4, 5, 6, 7};
    scene.api()->setFlags(1);
    scene.setFloat3Array("p", seven);
    EXPECT_EQ(capture.bytes().substr(start),
              "id 1\n#define shader 1 orb_diffuse {\n\"kd\" 0.5,\n}\n\"p\" [ 1 2 3,4 5 6 ] ,\n");
}

// ---------------------------------------------------------------------------
// NullApi

TEST(NullApiResults, EverySlotClassAnswersFalseZeroNullOrNothing) {
    NullApi null;
    orbScene_api& api = null;
    const double m[16] = {};
    const double one = 1;
    EXPECT_FALSE(api.reserved2());
    EXPECT_FALSE(api.reserved3());
    EXPECT_FALSE(api.reserved4());
    EXPECT_FALSE(api.beginGroup(nullptr, true));
    EXPECT_FALSE(api.beginObject(nullptr, false));
    EXPECT_FALSE(api.beginGeometry(nullptr));
    EXPECT_FALSE(api.beginAnimation(nullptr, nullptr));
    EXPECT_FALSE(api.beginLoad(nullptr));
    EXPECT_FALSE(api.beginOptions());
    EXPECT_FALSE(api.beginCamera(nullptr));
    EXPECT_FALSE(api.beginImage());
    EXPECT_FALSE(api.beginOutput(nullptr, nullptr, nullptr));
    EXPECT_FALSE(api.beginLight(nullptr));
    EXPECT_FALSE(api.beginAccel(nullptr));
    EXPECT_FALSE(api.beginMatrix(nullptr));
    EXPECT_FALSE(api.beginMaterial(nullptr, false));
    EXPECT_FALSE(api.material(nullptr));
    EXPECT_FALSE(api.beginShader(nullptr, nullptr));
    EXPECT_FALSE(api.beginShaderId(nullptr, 1));
    EXPECT_FALSE(api.parameter(nullptr, ParamType::Float, nullptr));
    EXPECT_FALSE(api.parameterShaderId(nullptr, 1));
    EXPECT_FALSE(api.parameterShader(nullptr, nullptr));
    EXPECT_FALSE(api.beginList(nullptr));
    EXPECT_FALSE(api.reserved64());
    EXPECT_FALSE(api.render());
    EXPECT_EQ(api.endAnimation(), 0);
    EXPECT_EQ(api.currentText(), nullptr);
    EXPECT_EQ(api.reserved51(), 0);
    EXPECT_EQ(api.reserved52(), 0);
    EXPECT_EQ(api.reserved53(), 0);
    // The rest only have to accept anything, null pointers included.
    api.reserved1();
    api.endGroup();
    api.endObject();
    api.endGeometry();
    api.endLoad();
    api.endOptions();
    api.endCamera();
    api.endImage();
    api.endOutput();
    api.endLight();
    api.endAccel();
    api.transform(m);
    api.setTransform(nullptr);
    api.scale(one, one, one);
    api.rotate(one, one, one);
    api.translate(one, one, one);
    api.endMatrix();
    api.endMaterial();
    api.shaderBlock(0, nullptr);
    api.shaderRef(0, 0);
    api.endShader();
    api.pushText();
    api.popText();
    api.endList();
    api.listItem(0, nullptr);
    api.attribute(nullptr, nullptr);
    api.text(nullptr);
    api.setFlags(0);
    api.version(-1);
    api.reserved58();
    api.progress(nullptr, 0);
    api.icon(nullptr, 0);
    api.binaryValue(nullptr, nullptr, 0);
    api.id(0);
    api.flags(0);
    api.print(nullptr);
    api.error(nullptr);
    orbScene_api* owned = new NullApi;
    delete owned;  // through the interface
}
