// glowbox-dal's dump, and the program as a person runs it on a converted
// scene and on a broken one.

#include "sceneapi/LightFactory.h"
#include "sceneapi/orbSceneapi_oo.h"
#include "tests/importer/ImporterRun.h"
#include "tests/sceneapi/WriterFixture.h"
#include "tools/glowbox-dal/DalDump.h"

#include <sstream>

namespace {

namespace fs = std::filesystem;
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
