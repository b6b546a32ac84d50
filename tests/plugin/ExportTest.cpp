// The export driver on small scenes: what reaches the scene file.

#include "plugins/maya/src/maya2glowbox.h"
#include "sceneapi/LightFactory.h"
#include "sceneapi/orbSceneapi_oo.h"
#include "tests/plugin/MayaScene.h"

#include <unistd.h>

#include <regex>

namespace {

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
    return testSlurp(out);
  }

  std::string write(const std::string& body, const std::string& name) {
    const std::string path = (root_ / (name + ".ma")).string();
    std::ofstream(path) << "//Maya ASCII 2011 scene\nrequires maya \"2011\";\n"
                           "currentUnit -l centimeter -a degree -t film;\n"
                        << body;
    return path;
  }

  static std::string testSlurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  static size_t count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
  }
};

TEST_F(ExportTest, DefaultSceneWritesModulePerspOnlyAndAnEmptyRootNamedAfterTheFile) {
  const std::string scene = exportScene(write("", "empty.v2"));
  EXPECT_NE(scene.find("\"import_up_vector\" 1,"), std::string::npos) << scene;
  EXPECT_NE(scene.find("\"meter_scale\" 100,"), std::string::npos);
  EXPECT_EQ(count(scene, "\ncamera "), 1u) << scene;
  EXPECT_NE(scene.find("camera \"persp\""), std::string::npos);
  EXPECT_NE(scene.find("#print \"Export geometry. Using Maya2011. Glowbox 6.2.85 (built "), std::string::npos);
  // The root is named without folder and last extension; the default
  // cameras' transforms still make (empty) groups.
  EXPECT_NE(scene.find("group \"empty.v2\" {\n flags 32768\n"), std::string::npos) << scene;
  EXPECT_NE(scene.find("group \"persp\""), std::string::npos);
  // The module comes first, cameras next, the hierarchy last.
  EXPECT_LT(scene.find("load "), scene.find("camera \"persp\""));
  EXPECT_LT(scene.find("camera \"persp\""), scene.find("group \"empty.v2\""));
}

TEST_F(ExportTest, CameraNamesDropShapeAndMayasOwnViewsAreSkipped) {
  const std::string scene = exportScene(write(R"(
createNode transform -n "myTop";
createNode camera -n "topShape" -p "myTop";
createNode transform -n "f1";
createNode camera -n "frontShape1" -p "f1";
	setAttr ".ncp" 0;
createNode transform -n "a";
createNode camera -n "aShape" -p "a";
createNode transform -n "c";
createNode camera -n "plainCam" -p "c";
	setAttr ".ncp" 2;
	setAttr ".fcp" 500;
)", "cams"));
  EXPECT_EQ(scene.find("camera \"top\""), std::string::npos) << scene;
  EXPECT_EQ(scene.find("camera \"front\""), std::string::npos);
  EXPECT_EQ(scene.find("camera \"side\""), std::string::npos);
  EXPECT_NE(scene.find("camera \"front1\""), std::string::npos);
  EXPECT_NE(scene.find("camera \"aShape\""), std::string::npos);
  EXPECT_NE(scene.find("camera \"plainCam\""), std::string::npos);
  EXPECT_NE(scene.find("clipping 2 500"), std::string::npos);
  // A near plane of 0 writes no clipping.
  const size_t front1 = scene.find("camera \"front1\"");
  const size_t front1End = scene.find("\n}", front1);
  EXPECT_EQ(scene.substr(front1, front1End - front1).find("clipping"), std::string::npos);
  // Camera shapes add nothing to the hierarchy.
  EXPECT_EQ(scene.find("group \"frontShape1\""), std::string::npos);
}

TEST_F(ExportTest, HierarchyCarriesLocalMatricesHiddenShapesAddNothingUnhandledTypesReportedOnce) {
  const std::string scene = exportScene(write(R"(
createNode transform -n "parent";
	setAttr ".t" -type "double3" 1 2 3 ;
createNode transform -n "kid" -p "parent";
	setAttr ".t" -type "double3" 10 0 0 ;
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
  EXPECT_NE(scene.find("group \"parent\" {\n  flags 32768\n  transform 1 0 0 0 0 1 0 0 0 0 1 0 1 2 3 1\n"),
            std::string::npos)
      << scene;
  EXPECT_NE(scene.find("group \"kid\" {\n   flags 32768\n   transform 1 0 0 0 0 1 0 0 0 0 1 0 10 0 0 1\n"),
            std::string::npos);
  EXPECT_EQ(count(scene, "#print \"Maya2011:Unhandled node("), 2u) << scene;
  EXPECT_NE(scene.find("#print \"Maya2011:Unhandled node(2): loc1Shape: locator  dagPath: |loc1|loc1Shape\""),
            std::string::npos);
  EXPECT_NE(scene.find("#print \"Maya2011:Unhandled node(2): lampShape: pointLight  dagPath: |lamp|lampShape\""),
            std::string::npos);
  // Shapes of other types become empty groups with an identity matrix.
  EXPECT_NE(scene.find("group \"loc2Shape\" {\n   flags 32768\n   transform 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1\n  }"),
            std::string::npos);
  // The visible hair shape adds one empty curve node to its transform's group; the hidden one nothing.
  const size_t kid = scene.find("group \"kid\"");
  const size_t kidEnd = scene.find("\n  }", kid);
  const std::string kidBlock = scene.substr(kid, kidEnd - kid);
  EXPECT_EQ(count(kidBlock, "curves"), 1u) << kidBlock;
}

TEST_F(ExportTest, QuotedBackslashedNameIsOpenedAndAMissingFileWritesNoModule) {
  const std::string path = write("createNode transform -n \"only\";\n", "quoted");
  std::string windowsForm = path;
  for (char& c : windowsForm)
    if (c == '/') c = '\\';
  MStatus status;
  std::string scene = exportScene("\"" + windowsForm + "\"", ImportArgs(), &status);
  EXPECT_FALSE(status.error());
  EXPECT_NE(scene.find("group \"only\""), std::string::npos) << scene;
  bool opened = false;
  for (const std::string& record : records())
    if (record == "INFO:  Openining: \"" + windowsForm + "\"  as  " + path) opened = true;
  EXPECT_TRUE(opened);

  newRecords();
  scene = exportScene((root_ / "absent.ma").string(), ImportArgs(), &status);
  EXPECT_TRUE(status.error());
  EXPECT_EQ(scene.find("load "), std::string::npos) << scene;
  EXPECT_EQ(scene.find("group "), std::string::npos);
  bool warned = false;
  for (const std::string& record : newRecords())
    if (record.rfind("WARNING:  could not open Maya file: ", 0) == 0) warned = true;
  EXPECT_TRUE(warned);
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
  ImportArgs args;
  args.setBool(SPLIT_LAYERS, true);
  const std::string scene = exportScene(write(kLayers, "layers"), args);
  EXPECT_NE(scene.find("group \"defaultLayer\""), std::string::npos) << scene;
  const size_t props = scene.find("group \"props\"");
  ASSERT_NE(props, std::string::npos) << scene;
  const std::string layer = scene.substr(props);
  EXPECT_NE(layer.find("group \"solo\" {\n   flags 32768\n   transform 1 0 0 0 0 1 0 0 0 0 1 0 0 0 7 1"),
            std::string::npos)
      << layer;
  // inner's world matrix: its own translation plus its parent's.
  EXPECT_NE(layer.find("group \"inner\" {\n   flags 32768\n   transform 1 0 0 0 0 1 0 0 0 0 1 0 1 5 0 1"),
            std::string::npos)
      << layer;
  EXPECT_EQ(scene.find("There were no layers to split"), std::string::npos);
}

TEST_F(ExportTest, LayerHoldingAShapeFallsBackToTheUnsplitTree) {
  ImportArgs args;
  args.setBool(SPLIT_LAYERS, true);
  const std::string scene = exportScene(write(std::string(kLayers) + R"(
createNode mesh -n "soloShape" -p "solo";
connectAttr "props.di" "soloShape.do";
)", "shapelayer"), args);
  EXPECT_EQ(scene.find("group \"defaultLayer\""), std::string::npos) << scene;
  EXPECT_NE(scene.find("group \"shapelayer\""), std::string::npos);
  bool warned = false;
  for (const std::string& record : records())
    if (record == "WARNING:  could not locate the group: |solo|soloShape") warned = true;
  EXPECT_TRUE(warned);
}

TEST_F(ExportTest, OnlyTheDefaultLayerMeansNoSplit) {
  ImportArgs args;
  args.setBool(SPLIT_LAYERS, true);
  const std::string scene = exportScene(write("createNode transform -n \"solo\";\n", "nolayers"), args);
  EXPECT_NE(scene.find("#print \"There were no layers to split\""), std::string::npos) << scene;
  EXPECT_NE(scene.find("group \"nolayers\""), std::string::npos);
  EXPECT_EQ(scene.find("group \"defaultLayer\""), std::string::npos);
}

TEST_F(ExportTest, SharedMaterialsAreDefinedAheadWithColourWeightTransparencyAndUpstreamTexture) {
  const std::string scene = exportScene(write(R"(
createNode lambert -n "matte";
	setAttr ".c" -type "float3" 0.5 0.5 0.5 ;
	setAttr ".dc" 0.8;
createNode shadingEngine -n "matteSG";
connectAttr "matte.oc" "matteSG.ss";
createNode lambert -n "glass";
	setAttr ".it" -type "float3" 0.5 0.5 0.5 ;
createNode shadingEngine -n "glassSG";
connectAttr "glass.oc" "glassSG.ss";
createNode lambert -n "faint";
	setAttr ".it" -type "float3" 0.005 0 0 ;
createNode shadingEngine -n "faintSG";
connectAttr "faint.oc" "faintSG.ss";
createNode blinn -n "shiny";
createNode shadingEngine -n "shinySG";
connectAttr "shiny.oc" "shinySG.ss";
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
  EXPECT_NE(scene.find("#define material \"matte\" {\n surface  \"orb_diffuse\" {\n  \"diffuse\" 0.4 0.4 0.4,"),
            std::string::npos)
      << scene;
  const size_t glass = scene.find("#define material \"glass\"");
  ASSERT_NE(glass, std::string::npos);
  EXPECT_NE(scene.find("\"alpha\" 0.5,", glass), std::string::npos);
  const size_t faint = scene.find("#define material \"faint\"");
  ASSERT_NE(faint, std::string::npos);
  EXPECT_EQ(scene.substr(faint, scene.find("\n}", faint) - faint).find("alpha"), std::string::npos);
  const size_t shiny = scene.find("#define material \"shiny\"");
  ASSERT_NE(shiny, std::string::npos);
  const std::string shinyBlock = scene.substr(shiny, scene.find("\n}", shiny) - shiny);
  EXPECT_NE(shinyBlock.find("orb_advanced"), std::string::npos) << shinyBlock;
  EXPECT_NE(shinyBlock.find("\"texture\" \"near.png\""), std::string::npos) << shinyBlock;
  // A shader that feeds no set is not converted.
  EXPECT_EQ(scene.find("material \"unused\""), std::string::npos);
  EXPECT_NE(scene.find("#define material \"lambert1\""), std::string::npos);
}

TEST_F(ExportTest, UniqueMaterialsDefineNothingAhead) {
  ImportArgs args;
  args.setBool(UNIQUE_MATERIALS, true);
  const std::string scene = exportScene(write("", "unique"), args);
  EXPECT_EQ(scene.find("#define material"), std::string::npos) << scene;
}

}  // namespace

namespace {

TEST_F(ExportTest, AnInstancedMeshIsDefinedOnceAndPlacedUnderEachOfItsTransforms) {
  const std::string scene = exportScene(write(R"(
createNode transform -n "a";
	setAttr ".t" -type "double3" 1 0 0 ;
createNode mesh -n "shared" -p "a";
createNode polyCube -n "cube";
connectAttr "cube.out" "shared.i";
createNode transform -n "b";
	setAttr ".t" -type "double3" -1 0 0 ;
parent -s -nc -r -add "|a|shared" "b";
createNode lambert -n "grey";
createNode shadingEngine -n "greySG";
connectAttr "grey.oc" "greySG.ss";
connectAttr "shared.iog" "greySG.dsm" -na;
connectAttr "shared.iog[1]" "greySG.dsm" -na;
)", "instanced"));
  EXPECT_EQ(count(scene, "#define object \"shared\" {"), 1u) << scene;
  EXPECT_EQ(count(scene, "\"vertices\" ["), 1u);
  // Each placement is a reference to the definition, with the shared material.
  const std::string placement = "object \"shared\" {\n   geometry \"instance\" {\n    \"id\" 1,\n   }\n"
                                "   material \"grey\"";
  EXPECT_EQ(count(scene, placement), 2u) << scene;
  EXPECT_LT(scene.find("group \"a\""), scene.find(placement));
  EXPECT_LT(scene.find(placement), scene.find("group \"b\""));
  EXPECT_NE(scene.find("progress \"shared\" "), std::string::npos);
  // Definitions come before the hierarchy that refers to them.
  EXPECT_LT(scene.find("#define object"), scene.find("group \"instanced\""));
}

}  // namespace
