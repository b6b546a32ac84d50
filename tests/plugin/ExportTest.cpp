// The export driver on small scenes: what reaches the scene file.

#include "plugins/maya/src/maya2glowbox.h"
#include "sceneapi/LightFactory.h"
#include "sceneapi/orbSceneapi_oo.h"
#include "tests/fixtures/NurbsScenes.h"
#include "tests/plugin/MayaScene.h"

namespace {

const auto npos = std::string::npos;

size_t count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// From the first `from` in `text` up to the next `end` after it.
std::string block(const std::string& text, const std::string& from, const std::string& end = "\n}") {
  const size_t at = text.find(from);
  EXPECT_NE(at, npos) << from << " in\n" << text;
  return at == npos ? std::string() : text.substr(at, text.find(end, at) - at);
}

class ExportTest : public MayaSceneTest {
 protected:
  // Opens `path` through the driver and returns the readable scene text.
  std::string exportScene(const std::string& path, ImportArgs args = ImportArgs(), MStatus* result = nullptr) {
    args.setString(IMPORT_FILENAME, path);
    const std::string out = (root_ / "out.dal").string();
    {
      orb::LightFileFactory factory(out);
      orb::orbSceneapi_oo front(&factory);
      front.api()->setFlags(1);
      Maya2Glowbox driver(&front, args);
      const MStatus status = driver.openAndExport();
      if (result) *result = status;
    }
    return commontest::readFile(out);
  }

  std::string exportWith(int option, const std::string& body, const std::string& name) {
    ImportArgs args;
    args.setBool(option, true);
    return exportScene(write(body, name), args);
  }
};

TEST_F(ExportTest, CameraNamesDropShapeAndMayasOwnViewsAreSkipped) {
  const std::string scene = exportScene(write(R"(
createNode transform -n "myTop";
createNode camera -n "topShape" -p "myTop";
createNode transform -n "f1";
createNode camera -n "frontShape1" -p "f1";
	setAttr ".ncp" 0;
createNode transform -n "a";
createNode camera -n "aShape" -p "a";
)", "cams"));
  for (const char* skipped : {"top", "front", "side"})
    EXPECT_EQ(scene.find("camera \"" + std::string(skipped) + "\""), npos) << skipped << "\n" << scene;
  EXPECT_NE(scene.find("camera \"aShape\""), npos);
  // A near plane of 0 writes no clipping.
  EXPECT_EQ(block(scene, "camera \"front1\"").find("clipping"), npos);
  // Camera shapes add nothing to the hierarchy.
  EXPECT_EQ(scene.find("group \"frontShape1\""), npos);
}

TEST_F(ExportTest, HiddenShapesAddNothingAndUnhandledTypesAreReportedOnce) {
  const std::string scene = exportScene(write(R"(
createNode transform -n "kid";
createNode pfxHair -n "hairShape" -p "kid";
createNode pfxHair -n "hiddenHairShape" -p "kid";
	setAttr ".v" no;
createNode transform -n "loc1";
createNode locator -n "loc1Shape" -p "loc1";
createNode transform -n "loc2";
createNode locator -n "loc2Shape" -p "loc2";
createNode transform -n "lamp";
createNode pointLight -n "lampShape" -p "lamp";
)", "walk"));
  // Each unhandled type is reported once.
  const char* const expected[] = {
      "#print \"Maya2011:Unhandled node(2): loc1Shape: locator  dagPath: |loc1|loc1Shape\"",
      "#print \"Maya2011:Unhandled node(2): lampShape: pointLight  dagPath: |lamp|lampShape\"",
      "group \"loc2Shape\" {\n"};
  for (const char* text : expected) EXPECT_NE(scene.find(text), npos) << text << "\nin\n" << scene;
  EXPECT_EQ(count(scene, "#print \"Maya2011:Unhandled node("), 2u) << scene;
  // The visible hair shape adds one empty curve node to its transform's group; the hidden one nothing.
  EXPECT_EQ(count(block(scene, "group \"kid\"", "\n }"), "curves"), 1u) << scene;
}

TEST_F(ExportTest, AMissingFileFails) {
  MStatus status;
  exportScene((root_ / "absent.ma").string(), ImportArgs(), &status);
  EXPECT_TRUE(status.error());
  EXPECT_TRUE(logged("WARNING:  could not open Maya file: "));
}

const char* const kLayers = R"(
createNode transform -n "outer";
	setAttr ".t" -type "double3" 0 5 0 ;
createNode transform -n "inner" -p "outer";
	setAttr ".t" -type "double3" 1 0 0 ;
createNode transform -n "solo";
	setAttr ".t" -type "double3" 0 0 7 ;
createNode displayLayer -n "props";
connectAttr "layerManager.dli[1]" "props.id";
connectAttr "props.di" "solo.do";
connectAttr "props.di" "inner.do";
)";

TEST_F(ExportTest, LayerSplittingPlacesMembersWithWorldMatricesBesideTheWholeScene) {
  const std::string scene = exportWith(SPLIT_LAYERS, kLayers, "layers");
  EXPECT_NE(scene.find("group \"defaultLayer\""), npos) << scene;
  const std::string layer = block(scene, "group \"props\"", "\n}\n");
  EXPECT_NE(layer.find("group \"solo\" {\n   flags 32768\n   transform 1 0 0 0 0 1 0 0 0 0 1 0 0 0 7 1"), npos)
      << layer;
  // inner's world matrix: its own translation plus its parent's.
  EXPECT_NE(layer.find("group \"inner\" {\n   flags 32768\n   transform 1 0 0 0 0 1 0 0 0 0 1 0 1 5 0 1"), npos)
      << layer;
  EXPECT_EQ(scene.find("There were no layers to split"), npos);
}

TEST_F(ExportTest, LayerHoldingAShapeOrOnlyTheDefaultLayerFallsBackToTheUnsplitTree) {
  std::string scene = exportWith(SPLIT_LAYERS, std::string(kLayers) + R"(
createNode mesh -n "soloShape" -p "solo";
connectAttr "props.di" "soloShape.do";
)", "shapelayer");
  EXPECT_EQ(scene.find("group \"defaultLayer\""), npos) << scene;
  EXPECT_NE(scene.find("group \"shapelayer\""), npos);
  EXPECT_TRUE(logged("WARNING:  could not locate the group: |solo|soloShape"));

  scene = exportWith(SPLIT_LAYERS, "createNode transform -n \"solo\";\n", "nolayers");
  EXPECT_NE(scene.find("#print \"There were no layers to split\""), npos) << scene;
  EXPECT_NE(scene.find("group \"nolayers\""), npos);
  EXPECT_EQ(scene.find("group \"defaultLayer\""), npos);
}

TEST_F(ExportTest, SharedMaterialsAreDefinedAheadWithColourWeightTransparencyAndUpstreamTexture) {
  const std::string scene = exportScene(write(shader("lambert", "glass", "\tsetAttr \".it\" -type \"float3\" 0.5 0.5 0.5;\n") +
                                                  shader("lambert", "faint", "\tsetAttr \".it\" -type \"float3\" 0.005 0 0;\n") +
                                                  shader("blinn", "shiny") + R"(
createNode file -n "near";
	setAttr ".ftn" -type "string" "near.png";
createNode file -n "far";
	setAttr ".ftn" -type "string" "far.png";
createNode multiplyDivide -n "mix";
connectAttr "near.oc" "mix.i1";
connectAttr "mix.o" "shiny.c";
createNode place2dTexture -n "p2d";
connectAttr "far.oc" "p2d.ofs";
createNode lambert -n "unused";
)", "mats"));
  EXPECT_NE(block(scene, "#define material \"glass\"").find("\"alpha\" 0.5,"), npos);
  EXPECT_EQ(block(scene, "#define material \"faint\"").find("alpha"), npos);
  const std::string shiny = block(scene, "#define material \"shiny\"");
  EXPECT_NE(shiny.find("orb_advanced"), npos) << shiny;
  EXPECT_NE(shiny.find("\"texture\" \"near.png\""), npos) << shiny;
  // A shader that feeds no set is not converted.
  EXPECT_EQ(scene.find("material \"unused\""), npos);
  // Unique materials are written with each object instead.
  EXPECT_EQ(exportWith(UNIQUE_MATERIALS, "", "unique").find("#define material"), npos);
}

TEST_F(ExportTest, AnInstancedMeshIsDefinedOnceAndPlacedUnderEachOfItsTransforms) {
  const std::string scene = exportScene(write(meshNode("a", "polyCube", false) + shader("lambert", "grey") + R"(
setAttr "a.t" -type "double3" 1 0 0;
createNode transform -n "b";
	setAttr ".t" -type "double3" -1 0 0 ;
parent -s -nc -r -add "|a|aShape" "b";
connectAttr "aShape.iog" "greySG.dsm" -na;
connectAttr "aShape.iog[1]" "greySG.dsm" -na;
)", "instanced"));
  EXPECT_EQ(count(scene, "#define object \"aShape\" {"), 1u) << scene;
  EXPECT_EQ(count(scene, "\"vertices\" ["), 1u);
  // Each placement is a reference to the definition, with the shared material.
  const std::string placement = "object \"aShape\" {\n   geometry \"instance\" {\n    \"id\" 1,\n   }\n"
                                "   material \"grey\"";
  EXPECT_EQ(count(scene, placement), 2u) << scene;
  EXPECT_LT(scene.find("group \"a\""), scene.find(placement));
  EXPECT_LT(scene.find(placement), scene.find("group \"b\""));
  EXPECT_NE(scene.find("progress \"aShape\" "), npos);
  // Converted once, and every path to it gets the same nodes.
  for (const char* record : {"INFO:  Loaded 1 meshes", "DEBUG3:  Create map entry for:|a|aShape",
                             "DEBUG3:  Create map entry for:|b|aShape", "DEBUG2:  Get mesh for |b|aShape"})
    EXPECT_TRUE(logged(record)) << record;
  // Definitions come before the hierarchy that refers to them.
  EXPECT_LT(scene.find("#define object"), scene.find("group \"instanced\""));
}

// A surface under two transforms: converted once, written once as a
// definition, placed under each transform as triangles or as the surface.
TEST_F(ExportTest, NurbsSurfacesArePlacedAsTrianglesOrAsSurfacesAsTheSettingsSay) {
  const std::string body = nurbs_scenes::trimmedPlane("card") + shader("lambert", "paper") + R"(
createNode transform -n "copy";
parent -s -nc -r -add "|card|cardShape" "copy";
connectAttr "cardShape.iog" "paperSG.dsm" -na;
connectAttr "cardShape.iog[1]" "paperSG.dsm" -na;
)";
  const std::string path = write(body, "cards");
  const std::string triangles = exportScene(path);
  EXPECT_TRUE(logged("INFO:  Loaded 1 NurbSurfaces"));
  EXPECT_EQ(count(triangles, "geometry \"nurbs\""), 1u) << triangles;
  EXPECT_EQ(count(triangles, "\"uknot\""), 1u);
  const std::string placement = "object \"cardShape\" {\n   geometry \"instance\"";
  EXPECT_EQ(count(triangles, placement), 2u) << triangles;
  EXPECT_EQ(count(triangles, "material \"paper\""), 2u + count(triangles, "#define material \"paper\""));

  ImportArgs exact;
  exact.setBool(INCLUDE_NURBS, true);
  const std::string surfaces = exportScene(path, exact);
  // The surface group holds the triangles and the exact surface.
  EXPECT_EQ(count(surfaces, "group \"cardShape\""), 2u) << surfaces;

  ImportArgs none;
  none.setBool(TESSELLATE, false);
  const std::string bare = exportScene(path, none);
  EXPECT_EQ(count(bare, "\"triangles\""), 0u) << bare;
  EXPECT_EQ(count(bare, placement), 0u);
}

}  // namespace
