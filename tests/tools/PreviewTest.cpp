// The preview drawn from written scenes: small hand-made scenes probed at
// pixels whose colour follows from the camera alone, real conversions compared
// with stored pictures, and broken input that must end in a message.

#include "sceneapi/LightFactory.h"
#include "sceneapi/orbSceneapi_oo.h"
#include "tests/importer/ImporterRun.h"
#include "tests/sceneapi/WriterFixture.h"
#include "tools/glowbox-dal/DalDump.h"
#include "tools/glowbox-dal/PngImage.h"
#include "tools/glowbox-dal/Preview.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using daltool::Image;
using daltool::PreviewOptions;
using importer_test::Sandbox;

dal::Document parse(const std::string& text) {
  dal::Document document;
  dal::ReadError error;
  EXPECT_TRUE(dal::read(text, document, error)) << error.describe();
  return document;
}

// An image of equal rectangles, `cells` row by row, `cellsPerRow` to a row.
Image tiles(int width, int height, const std::vector<std::array<std::uint8_t, 3>>& cells, int cellsPerRow) {
  Image image{width, height, std::vector<std::uint8_t>(std::size_t(width) * height * 3)};
  const int cellW = width / cellsPerRow, cellH = height / (int(cells.size()) / cellsPerRow);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int k = 0; k < 3; ++k) image.rgb[(std::size_t(y) * width + x) * 3 + k] = cells[(y / cellH) * cellsPerRow + x / cellW][k];
  return image;
}

// Whether this build can write PNG files at all; without libpng the
// picture comparisons have nothing to compare.
bool pngSupported(const fs::path& folder) {
  std::string error;
  return daltool::writePng((folder / "probe.png").string(), tiles(1, 1, {{0, 0, 0}}, 1), error);
}

// A pixel as one letter: '.' for the background grey, else by the channels
// that carry its hue (so that shading does not change the letter): r g b,
// y for red and green, w for all three, '?' for a mixture.
char colourAt(const Image& image, int x, int y) {
  const std::uint8_t* p = &image.rgb[(std::size_t(y) * image.width + x) * 3];
  if (std::abs(p[0] - 128) < 8 && std::abs(p[1] - 128) < 8 && std::abs(p[2] - 128) < 8) return '.';
  const int top = std::max({p[0], p[1], p[2]});
  if (top < 40) return '?';
  int on = 0;
  for (int k = 0; k < 3; ++k) {
    if (p[k] * 2 > top) on |= 1 << k;
    else if (p[k] * 6 > top) return '?';
  }
  return "?rgyb??w"[on];
}

// A camera at the origin looking down -Z with a 90 degree horizontal view,
// so that a point at depth d and height h lands h/d * width/2 pixels from the
// centre; materials in pure colours; a unit quad facing +Z.
const std::string kStage = R"(
camera "eye" {
 position 0 0 0
 direction 0 0 -1
 up 0 1 0
 clipping 0.5 1000
 fov 90
}
#define material "red" {
 surface "orb_diffuse" {
  "diffuse" 1 0 0,
 }
}
#define material "blue" {
 surface "orb_advanced" {
  "diffuse" 0 0 1,
  "specular" 1 1 1,
 }
}
#define material "checker" {
 surface "orb_advanced" {
  "diffuse" 0 0 0,
  "diffuse" ! "texture_rgb" {
   "texture" "tex/checker.png",
   "default_color" 1 1 0,
  } ,
 }
}
#define material "unreadable" {
 surface "orb_diffuse" {
  "diffuse" ! "texture_rgb" {
   "texture" "tex/notapng.png",
   "default_color" 1 1 0,
  } ,
 }
}
#define object "quad" {
 id 1
 geometry "triangles" {
  "vertices" [ -1 -1 0, 1 -1 0, 1 1 0, -1 1 0 ] ,
  "triangles" [ 0,1,2, 0,2,3 ] ,
  "uv_tex" [ 0 0, 1 0, 1 1, 0 1 ] ,
 }
}
)";

// A quad of `material` under `transform` (row-vector convention).
std::string quad(const std::string& material, const std::string& transform) {
  return "group \"g\" {\n transform " + transform + "\n object \"quad\" {\n  geometry \"instance\" {\n   \"id\" 1,\n  }\n  material \"" +
         material + "\"\n }\n}\n";
}

const std::string kAt10 = "5 0 0 0 0 5 0 0 0 0 1 0 0 0 -10 1";  // 10 wide and high at depth 10

struct Probe {
  int x, y;
  char colour;
};

TEST(PreviewTest, DrawsWhatTheCameraSeesWhereItSeesIt) {
  struct Case {
    const char* what;
    std::string groups;
    std::vector<Probe> probes;
  };
  // 200x100 pixels: 100 pixels per unit of x/z, so a 10-unit quad at depth
  // 10 spans columns 50..150 and rows 0..100.
  const std::vector<Case> cases = {
      {"horizontal fov, aspect, top row first",
       quad("red", "5 0 0 0 0 1 0 0 0 0 1 0 0 2 -10 1"),
       {{100, 30, 'r'}, {55, 30, 'r'}, {145, 30, 'r'}, {45, 30, '.'}, {155, 30, '.'}, {100, 15, '.'}, {100, 45, '.'}, {100, 70, '.'}}},
      {"world = local * parent: a child's scale before its parent's move",
       "group \"parent\" {\n transform 1 0 0 0 0 1 0 0 0 0 1 0 3 0 -10 1\n" + quad("red", "2 0 0 0 0 2 0 0 0 0 1 0 0 0 0 1") + "}\n",
       {{130, 50, 'r'}, {115, 50, 'r'}, {105, 50, '.'}, {160, 50, '.'}}},
      {"the nearer quad hides the farther whatever their order",
       quad("blue", "2 0 0 0 0 2 0 0 0 0 1 0 0 0 -8 1") + quad("red", kAt10),
       {{100, 50, 'b'}, {60, 50, 'r'}}},
      {"a floor reaching behind the camera is clipped, not flipped",
       quad("red", "10 0 0 0 0 0 -20 0 0 10 0 0 0 -1 0 1"),
       {{100, 90, 'r'}, {20, 99, 'r'}, {100, 10, '.'}, {100, 49, '.'}}},
      {"a PNG texture sampled at the interpolated uv, v up",
       quad("checker", kAt10),
       {{75, 25, 'r'}, {125, 25, 'g'}, {75, 75, 'b'}, {125, 75, 'w'}}},
      {"a texture that is no PNG gives the default colour", quad("unreadable", kAt10), {{100, 50, 'y'}}},
  };
  Sandbox box;
  if (!pngSupported(box.root())) GTEST_SKIP() << "built without PNG support";
  fs::create_directories(box.root() / "tex");
  std::string error;
  ASSERT_TRUE(daltool::writePng((box.root() / "tex/checker.png").string(),
                                tiles(4, 4, {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}}, 2), error))
      << error;
  box.write("tex/notapng.png", "GIF89a, whatever it claims");

  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const dal::Document scene = parse(kStage + c.groups);
    Image image;
    ASSERT_TRUE(daltool::renderPreview(scene, {"", 200, 100, box.root().string()}, image, error)) << error;
    ASSERT_EQ(image.rgb.size(), 200u * 100u * 3u);
    for (const Probe& p : c.probes) EXPECT_EQ(colourAt(image, p.x, p.y), p.colour) << "at " << p.x << "," << p.y;
  }
}

TEST(PreviewTest, BrokenInputEndsInAMessage) {
  const std::string placed = quad("red", kAt10);
  struct Case {
    const char* what;
    std::string scene;
    PreviewOptions options;
    std::vector<std::string> said;  // every one must appear in the message
  };
  const std::vector<Case> cases = {
      {"unknown camera", kStage + "camera \"side\" {\n}\n" + placed, {"top", 64, 48, ""}, {"\"top\"", "\"eye\", \"side\""}},
      {"no camera", "group \"g\" {\n}\n", {}, {"no camera"}},
      {"zero size", kStage + placed, {"", 0, 0, ""}, {"0x0", "1..8192"}},
      {"oversized", kStage + placed, {"", 100000, 100000, ""}, {"100000x100000"}},
      {"one side too big", kStage + placed, {"", 640, 8193, ""}, {"640x8193"}},
      {"negative size", kStage + placed, {"", -4, 3, ""}, {"-4x3"}},
      {"flat field of view", "camera \"c\" {\n fov 180\n}\n" + placed, {}, {"camera \"c\"", "field of view"}},
      {"camera looking along its up", "camera \"c\" {\n direction 0 1 0\n}\n" + placed, {}, {"camera \"c\"", "direction"}},
      {"short transform", kStage + "group \"bad\" {\n transform 1 0 0\n}\n", {}, {"group \"bad\"", "16"}},
      {"index beyond the vertices",
       kStage + "group \"g\" {\n object \"loose\" {\n  geometry \"triangles\" {\n   \"vertices\" [ 0 0 -5, 1 0 -5, 0 1 -5 ],\n"
                "   \"triangles\" [ 0, 1, 3 ],\n  }\n }\n}\n",
       {},
       {"object \"loose\"", "holds 3 (its number 2), but there are 3 vertices"}},
      {"placement of an undefined id",
       kStage + "group \"g\" {\n object \"ghost\" {\n  geometry \"instance\" {\n   \"id\" 42,\n  }\n }\n}\n",
       {},
       {"object \"ghost\"", "42"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Image image;
    std::string error;
    EXPECT_FALSE(daltool::renderPreview(parse(c.scene), c.options, image, error));
    EXPECT_TRUE(image.rgb.empty());
    for (const std::string& part : c.said) EXPECT_NE(error.find(part), std::string::npos) << error;
  }
}

// --- Real conversions against stored pictures ------------------------------

struct Reference {
  const char* name;   // of the stored picture
  const char* scene;  // "demo": the project's example, else under the corpus
  const char* camera;
};

// Pixels that differ by more than kTolerance in some channel; more than
// kAllowed of them is a visible change.
constexpr int kTolerance = 24;
constexpr double kAllowed = 0.01;

std::size_t differingPixels(const Image& a, const Image& b) {
  std::size_t count = 0;
  for (std::size_t i = 0; i + 2 < a.rgb.size(); i += 3)
    for (int k = 0; k < 3; ++k)
      if (std::abs(int(a.rgb[i + k]) - int(b.rgb[i + k])) > kTolerance) {
        ++count;
        break;
      }
  return count;
}

void PrintTo(const Reference& reference, std::ostream* out) { *out << reference.name; }

class PreviewReference : public testing::TestWithParam<Reference> {};

TEST_P(PreviewReference, LooksAsItsStoredPicture) {
  const Reference& ref = GetParam();
  const bool demo = std::string(ref.scene) == "demo";
  const fs::path scene = demo ? fs::path(GLOWBOX_SOURCE_DIR) / "examples/demo_scene.ma" : fs::path(GLOWBOX_CORPUS_DIR) / ref.scene;
  if (!fs::exists(scene)) GTEST_SKIP() << "no corpus scene " << scene << ": the picture " << ref.name << " is not compared";
  Sandbox box;
  if (!pngSupported(box.root())) GTEST_SKIP() << "built without PNG support";

  const fs::path converted = box.root() / "scene.dal";
  const testproc::Outcome run = box.run(importer_test::kLauncher, {scene.string(), "-o", converted.string()});
  ASSERT_EQ(run.status, 0) << run.err;
  std::string error;
  if (demo) {
    // The demo's crates name a wood texture the example does not ship: tiles
    // of 64 colours in its place show whether uvs and their shift come through.
    fs::create_directories(box.root() / "textures");
    std::vector<std::array<std::uint8_t, 3>> cells;
    for (int i = 0; i < 64; ++i)
      cells.push_back({std::uint8_t(20 + 30 * (i % 8)), std::uint8_t(20 + 30 * (i / 8)), std::uint8_t((i + i / 8) % 2 ? 230 : 30)});
    const Image checker = tiles(64, 64, cells, 8);
    ASSERT_TRUE(daltool::writePng((box.root() / "textures/wood.png").string(), checker, error)) << error;
  }
  dal::Document document;
  dal::ReadError readError;
  ASSERT_TRUE(dal::readFile(converted.string(), document, readError)) << readError.describe();
  Image image;
  ASSERT_TRUE(daltool::renderPreview(document, {ref.camera, 160, 120, box.root().string()}, image, error)) << error;

  const fs::path stored = fs::path(GLOWBOX_SOURCE_DIR) / "tests/tools/previews" / (std::string(ref.name) + ".png");
  if (std::getenv("GLOWBOX_UPDATE_PREVIEWS") || !fs::exists(stored)) {
    fs::create_directories(stored.parent_path());
    ASSERT_TRUE(daltool::writePng(stored.string(), image, error)) << error;
    FAIL() << "wrote " << stored << ": look at it, then run again without GLOWBOX_UPDATE_PREVIEWS";
  }
  Image expected;
  ASSERT_TRUE(daltool::readPng(stored.string(), expected, error)) << error;
  ASSERT_EQ(expected.width, image.width);
  ASSERT_EQ(expected.height, image.height);
  const std::size_t differing = differingPixels(image, expected);
  if (differing > kAllowed * image.width * image.height) {
    const fs::path actual = fs::temp_directory_path() / ("preview-" + std::string(ref.name) + ".png");
    daltool::writePng(actual.string(), image, error);
    ADD_FAILURE() << differing << " of " << image.width * image.height << " pixels differ from " << stored
                  << "; this run's picture is " << actual;
  }
}

INSTANTIATE_TEST_SUITE_P(Scenes, PreviewReference,
                         testing::Values(Reference{"demo_scene", "demo", "shotCam"},
                                         Reference{"color_sets", "mayausd/UsdExportColorSetsTest__UsdExportColorSetsTest.ma", ""},
                                         Reference{"geom_subset", "mayausd/UsdExportGeomSubsetTest__UsdExportGeomSubsetTest.ma", ""},
                                         Reference{"robot_chain", "maya2gltf/RobotChainTest1.ma", ""}),
                         [](const testing::TestParamInfo<Reference>& info) { return std::string(info.param.name); });

// glowbox-dal's dump, and the program as a person runs it on a converted
// scene and on a broken one.

const std::string kDalTool = importer_test::program("glowbox-dal");

// Every number form the writer has, a hex name, a list and a nested shader.
std::string writeScene(bool binary) {
  sceneapitest::StreamCapture capture;
  orbScene_api_file writer(capture.stream(), binary);
  orb::PassThroughFactory factory(&writer);
  orb::orbSceneapi_oo scene(&factory);
  writer.beginObject("n\xc3\xa9", false);
  scene.newId();
  writer.beginGeometry("triangles");
  scene.setFloat3Array("vertices", {0.1f, -2.5f, 1e-7f, 3, 4, 1234567});
  scene.setIntArray("triangles", {0, 1, 1, 2000000});
  scene.setFloatArray("uv_tex", {0.25f, 1.0f / 3});
  scene.setDoubleArray("knots", {0, 1.0 / 3, -12.5, 1e-9});
  const float item[3] = {1, 2, 3};
  writer.beginList("items");
  for (int i = 0; i < 3; ++i) writer.listItem(ParamType::Float3, item);
  writer.endList();
  writer.endGeometry();
  writer.endObject();
  return capture.bytes();
}

std::string dumped(const std::string& text) {
  dal::Document document;
  dal::ReadError error;
  EXPECT_TRUE(dal::read(text, document, error)) << error.describe();
  std::ostringstream out;
  daltool::dump(out, document);
  return out.str();
}

TEST(DalDump, BothFormsDumpAlikeAndADumpReadsBackToItself) {
  const std::string text = dumped(writeScene(false));
  EXPECT_EQ(dumped(writeScene(true)), text);
  EXPECT_EQ(dumped(text), text);
  EXPECT_NE(text.find("xX6ec3a9"), std::string::npos) << text;  // the name as the writer spells it
  EXPECT_NE(text.find("0.3333333333333333"), std::string::npos) << text;
  EXPECT_NE(text.find("2000000"), std::string::npos) << text;
}

TEST(DalTool, ChecksDumpsAndSummarisesAConvertedSceneAndRejectsABrokenOne) {
  importer_test::Sandbox box;
  const fs::path scene = box.root() / "demo.dal";
  ASSERT_EQ(box.run(importer_test::kLauncher, {std::string(GLOWBOX_SOURCE_DIR) + "/examples/demo_scene.ma", "-o", scene.string()}).status, 0);
  const std::string bytes = testproc::slurp(scene);
  // Cut inside the first binary block.
  const fs::path cut = box.write("cut.dal", bytes.substr(0, bytes.find("\x01\x02\x03") + 20));
  const std::string path = scene.string();
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string out, err;
  } const cases[] = {
      {{"check", path}, 0, "well formed", ""},
      {{"info", path}, 0, "materials         3: lambert1, redLambert, woodBlinn", ""},
      {{"dump", path}, 0, "#define object \"boxShape\" {", ""},
      {{"check", cut.string()}, 1, "", "needs"},
      {{"info", cut.string()}, 1, "", "byte "},
      {{"check", (box.root() / "missing.dal").string()}, 1, "", "cannot read"},
      {{"frobnicate", path}, 2, "", "unknown command frobnicate"},
      {{"check"}, 2, "", "no scene file"},
      {{"preview", path}, 2, "", "preview needs -o"},
      {{"preview", path, "-o", "x.png", "--size", "12by4"}, 2, "", "--size wants WIDTHxHEIGHT"},
  };
  for (const Case& c : cases) {
    const testproc::Outcome outcome = box.run(kDalTool, c.args);
    SCOPED_TRACE(c.args.front() + " " + (c.args.size() > 1 ? c.args[1] : ""));
    EXPECT_EQ(outcome.status, c.status) << outcome.err;
    EXPECT_NE(outcome.out.find(c.out), std::string::npos) << outcome.out;
    EXPECT_NE(outcome.err.find(c.err), std::string::npos) << outcome.err;
  }
}

}  // namespace
