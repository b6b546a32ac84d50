#include "SceneOutput.h"

#include "sceneapi/model/Material.h"
#include "sceneapi/model/TriangleObject.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>

using modeltest::SceneOutput;
using orb::Diffuse;
using orb::OldSCeneapiLightMultiMaterial;

namespace {

// The "alpha" line of an advanced shader in unindented output.
std::string alphaLine(const std::string& text) {
    const auto at = text.find("\"alpha\" ");
    if (at == std::string::npos)
        return "";
    return text.substr(at, text.find('\n', at) - at);
}

TEST(DiffuseOutput, DefaultMaterialBlock) {
    SceneOutput out;
    Diffuse material("default");
    out.scene().write(&material);
    EXPECT_EQ(out.text(), modeltest::kDefaultMaterial);
    EXPECT_EQ(material.shaderClass(), "orb_diffuse");
}

TEST(DiffuseOutput, ReadableBlock) {
    SceneOutput out(true);
    Diffuse material("default");
    out.scene().write(&material);
    EXPECT_EQ(out.text(),
              "material \"default\" {\n"
              " surface  \"orb_diffuse\" {\n"
              "  \"diffuse\" 0.75 0.5 0.5,\n"
              " } \n"
              "}\n");
}

TEST(MaterialSharing, DefinitionThenOnlyReferences) {
    SceneOutput out;
    auto shared = std::make_shared<Diffuse>("shared");
    shared->setColor(0.25f, 0.5f, 1);
    EXPECT_FALSE(shared->isInstance());
    shared->writeInstanceSource(out.scene());
    EXPECT_TRUE(shared->isInstance());

    orb::TriangleObject a("a");
    orb::TriangleObject b("b");
    for (auto* t : {&a, &b}) {
        t->addVertex(0, 0, 0);
        t->addTriangle(0, 0, 0);
        t->setMaterial(shared);
    }
    const std::size_t definitionEnd = out.text().size();
    EXPECT_EQ(out.text(), "\n#define material \"shared\" {\nsurface \"orb_diffuse\" {\n\"diffuse\" 0.25 0.5 1,\n}\n}\n");
    a.write(out.scene());
    b.write(out.scene());
    const std::string objects = out.text().substr(definitionEnd);
    const std::string arrays = modeltest::arrayParam("vertices", modeltest::floatBlock('c', {0, 0, 0})) +
                               modeltest::arrayParam("triangles", modeltest::intBlock({0, 0, 0}));
    EXPECT_EQ(objects, "object \"a\" {\ngeometry \"triangles\" {\n" + arrays + "}\nmaterial \"shared\"\n}\n" +
                           "object \"b\" {\ngeometry \"triangles\" {\n" + arrays + "}\nmaterial \"shared\"\n}\n");
}

TEST(MaterialSharing, ReadableDefinitionAndReferenceInsideAGroupDepth) {
    SceneOutput out(true);
    Diffuse material("m");
    out.api().beginGroup("g", true);
    material.writeInstanceSource(out.scene());
    material.write(out.scene());
    out.api().endGroup();
    EXPECT_EQ(out.text(),
              "\ngroup \"g\" {\n"
              " \n"
              " #define  material \"m\" {\n"
              "  surface   \"orb_diffuse\" {\n"
              "   \"diffuse\" 0.75 0.5 0.5,\n"
              "  }  \n"
              " }\n"
              " material \"m\"\n"
              "}\n");
}

// ---------------------------------------------------------------------------

TEST(MultiMaterial, WithoutExtrasItIsAPlainDiffuse) {
    SceneOutput out;
    OldSCeneapiLightMultiMaterial material("lambert1");
    EXPECT_EQ(material.shaderClass(), "orb_advanced");
    material.setDiffuse(0.2f, 0.4f, 0.6f);
    material.setAngle(30);
    material.setShiftU(0.5f);
    out.scene().write(&material);
    EXPECT_EQ(out.text(), "material \"lambert1\" {\nsurface \"orb_diffuse\" {\n\"diffuse\" 0.2 0.4 0.6,\n}\n}\n");
}

TEST(MultiMaterial, SpecularGivesTheAdvancedForm) {
    SceneOutput out;
    OldSCeneapiLightMultiMaterial material("blinn1");
    material.setDiffuse(0.5f, 0.5f, 0.5f);
    material.setSpecular(0.25f, 0.5f, 2.0f);
    out.scene().write(&material);
    EXPECT_EQ(out.text(),
              "material \"blinn1\" {\n"
              "surface \"orb_advanced\" {\n"
              "\"diffuse\" 0.5 0.5 0.5,\n"
              "\"specular\" 0.25 0.5 1,\n"
              "\"fresnel\" on,\n"
              "\"roughness\" 0,\n"
              "\"ior\" 1.5,\n"
              "\"glossy\" on,\n"
              "\"glossy_samples\" 9,\n"
              "\"alpha\" 1,\n"
              "}\n"
              "}\n");
}

TEST(MultiMaterial, AnAlphaCallSelectsTheAdvancedFormEvenAtOne) {
    SceneOutput out;
    OldSCeneapiLightMultiMaterial material("m");
    material.setAlpha(1.0f);
    out.scene().write(&material);
    const std::string text = out.text();
    EXPECT_EQ(text.rfind("material \"m\" {\nsurface \"orb_advanced\" {\n\"diffuse\" 0 0 0,\n\"specular\" 0 0 0,\n", 0), 0u)
        << text;
    EXPECT_EQ(alphaLine(text), "\"alpha\" 1,");
}

struct AlphaCase {
    float alpha;
    const char* written;
};

class MultiMaterialAlpha : public ::testing::TestWithParam<AlphaCase> {};

TEST_P(MultiMaterialAlpha, IsFlooredAtOneTenth) {
    SceneOutput out;
    OldSCeneapiLightMultiMaterial material("m");
    material.setAlpha(GetParam().alpha);
    out.scene().write(&material);
    EXPECT_EQ(alphaLine(out.text()), std::string("\"alpha\" ") + GetParam().written + ",");
}

INSTANTIATE_TEST_SUITE_P(Values, MultiMaterialAlpha,
                         ::testing::Values(AlphaCase{0.02f, "0.1"}, AlphaCase{0.5f, "0.5"}, AlphaCase{0.0f, "0.1"},
                                           AlphaCase{-3.0f, "0.1"}, AlphaCase{0.1f, "0.1"},
                                           AlphaCase{0.099f, "0.1"}, AlphaCase{0.11f, "0.11"},
                                           AlphaCase{1.5f, "1.5"},
                                           // A NaN is not below the floor and leaves as a non-finite float.
                                           AlphaCase{std::numeric_limits<float>::quiet_NaN(), "-1"}));

TEST(MultiMaterial, AlphaIsStoredUnclampedAndColoursAreClamped) {
    OldSCeneapiLightMultiMaterial material("m");
    EXPECT_FALSE(material.hasAlpha());
    EXPECT_FALSE(material.hasSpecular());
    material.setAlpha(0.02f);
    EXPECT_EQ(material.alpha(), 0.02f);
    EXPECT_TRUE(material.hasAlpha());
    material.setDiffuse(1.2f, -0.1f, 0.5f);
    EXPECT_EQ(material.diffuse(), (std::array<float, 3>{1.0f, 0.0f, 0.5f}));
    material.setSpecular(-5.0f, 7.0f, 0.0f);
    EXPECT_EQ(material.specular(), (std::array<float, 3>{0.0f, 1.0f, 0.0f}));
    EXPECT_TRUE(material.hasSpecular());
}

TEST(MultiMaterial, TextureAloneGivesTheAdvancedFormLinkedToDiffuse) {
    SceneOutput out;
    OldSCeneapiLightMultiMaterial material("file1");
    material.setDiffuse(1, 0, 0.5f);
    material.setTexture("C:/tex/wood grain.png");
    material.setAngle(90);
    material.setShiftU(0.25f);
    material.setShiftV(-0.5f);
    out.scene().write(&material);
    EXPECT_EQ(out.text(),
              "material \"file1\" {\n"
              "surface \"orb_advanced\" {\n"
              "\"diffuse\" 1 0 0.5,\n"
              "\"specular\" 0 0 0,\n"
              "\"fresnel\" on,\n"
              "\"roughness\" 0,\n"
              "\"ior\" 1.5,\n"
              "\"glossy\" on,\n"
              "\"glossy_samples\" 9,\n"
              "\"alpha\" 1,\n"
              "\"diffuse\" ! \"texture_rgb\" {\n"
              "\"project\" 3,\n"
              "\"wrap\" on,\n"
              "\"texture\" \"C:/tex/wood grain.png\",\n"
              "\"default_color\" 1 0 0.5,\n"
              "\"angle\" 90,\n"
              "\"shift_u\" 0.25,\n"
              "\"shift_v\" -0.5,\n"
              "\"scale_u\" 1,\n"
              "\"scale_v\" 1,\n"
              "},\n"
              "}\n"
              "}\n");
}

TEST(MultiMaterial, ReadableTextureForm) {
    SceneOutput out(true);
    OldSCeneapiLightMultiMaterial material("t");
    material.setTexture("a.png");
    material.setAlpha(0.5f);
    out.scene().write(&material);
    EXPECT_EQ(out.text(),
              "material \"t\" {\n"
              " surface  \"orb_advanced\" {\n"
              "  \"diffuse\" 0 0 0,\n"
              "  \"specular\" 0 0 0,\n"
              "  \"fresnel\" on,\n"
              "  \"roughness\" 0,\n"
              "  \"ior\" 1.5,\n"
              "  \"glossy\" on,\n"
              "  \"glossy_samples\" 9,\n"
              "  \"alpha\" 0.5,\n"
              "  \"diffuse\" !  \"texture_rgb\" {\n"
              "   \"project\" 3,\n"
              "   \"wrap\" on,\n"
              "   \"texture\" \"a.png\",\n"
              "   \"default_color\" 0 0 0,\n"
              "   \"angle\" 0,\n"
              "   \"shift_u\" 0,\n"
              "   \"shift_v\" 0,\n"
              "   \"scale_u\" 1,\n"
              "   \"scale_v\" 1,\n"
              "  } ,\n"
              " } \n"
              "}\n");
}

} // namespace
