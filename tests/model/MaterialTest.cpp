#include "SceneOutput.h"

#include <limits>

using namespace modeltest;

namespace {

TEST(MaterialSharing, DefinitionThenOnlyReferences) {
    SceneOutput out;
    Diffuse material("m");
    material.setColor(0.25f, 0.5f, 1);
    EXPECT_FALSE(material.isInstance());
    material.writeInstanceSource(out.scene());
    EXPECT_TRUE(material.isInstance());
    material.write(out.scene());
    material.write(out.scene());
    EXPECT_EQ(out.text(), "\n#define material \"m\" {\nsurface \"orb_diffuse\" {\n\"diffuse\" 0.25 0.5 1,\n}\n}\n"
                          "material \"m\"\nmaterial \"m\"\n");
}

// The advanced shader's block up to its alpha line.
std::string advanced(const std::string& diffuse, const std::string& specular, const std::string& alpha) {
    return "surface \"orb_advanced\" {\n\"diffuse\" " + diffuse + ",\n\"specular\" " + specular +
           ",\n\"fresnel\" on,\n\"roughness\" 0,\n\"ior\" 1.5,\n\"glossy\" on,\n\"glossy_samples\" 9,\n\"alpha\" " +
           alpha + ",\n";
}

TEST(MultiMaterial, PlainDiffuseUnlessSpecularOrTextureGiveTheAdvancedForm) {
    OldSCeneapiLightMultiMaterial plain("lambert1");
    plain.setDiffuse(-0.2f, 0.4f, 1.6f);  // clamped to [0, 1]
    plain.setAngle(30);                   // texture placement alone changes nothing
    plain.setShiftU(0.5f);
    EXPECT_EQ(written(plain), "material \"lambert1\" {\nsurface \"orb_diffuse\" {\n\"diffuse\" 0 0.4 1,\n}\n}\n");

    OldSCeneapiLightMultiMaterial shiny("blinn1");
    shiny.setDiffuse(0.5f, 0.5f, 0.5f);
    shiny.setSpecular(-0.25f, 0.5f, 2.0f);
    EXPECT_EQ(written(shiny), "material \"blinn1\" {\n" + advanced("0.5 0.5 0.5", "0 0.5 1", "1") + "}\n}\n");

    OldSCeneapiLightMultiMaterial textured("file1");
    textured.setDiffuse(1, 0, 0.5f);
    textured.setTexture("C:/tex/wood grain.png");
    textured.setAngle(90);
    textured.setShiftU(0.25f);
    textured.setShiftV(-0.5f);
    EXPECT_EQ(written(textured), "material \"file1\" {\n" + advanced("1 0 0.5", "0 0 0", "1") +
                                     "\"diffuse\" ! \"texture_rgb\" {\n\"project\" 3,\n\"wrap\" on,\n"
                                     "\"texture\" \"C:/tex/wood grain.png\",\n\"default_color\" 1 0 0.5,\n\"angle\" 90,\n"
                                     "\"shift_u\" 0.25,\n\"shift_v\" -0.5,\n\"scale_u\" 1,\n\"scale_v\" 1,\n},\n}\n}\n");
}

TEST(MultiMaterial, AnyAlphaGivesTheAdvancedFormWithAFloorOfOneTenth) {
    const std::pair<float, const char*> cases[] = {
        {1.0f, "1"},    {0.02f, "0.1"},  {0.5f, "0.5"},   {0.0f, "0.1"}, {-3.0f, "0.1"},
        {0.1f, "0.1"},  {0.099f, "0.1"}, {0.11f, "0.11"}, {1.5f, "1.5"},
        // A NaN is not below the floor and leaves as a non-finite float.
        {std::numeric_limits<float>::quiet_NaN(), "-1"}};
    for (const auto& [alpha, text] : cases) {
        OldSCeneapiLightMultiMaterial material("m");
        material.setAlpha(alpha);
        EXPECT_EQ(written(material), "material \"m\" {\n" + advanced("0 0 0", "0 0 0", text) + "}\n}\n") << alpha;
    }
}

} // namespace
