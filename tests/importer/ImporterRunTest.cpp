// The real mayaimport, run as the renderer runs it: exit statuses, where the
// scene text goes, the output forms the settings choose, broken input, and
// the written scene read back.

#include "tests/importer/DalText.h"
#include "tests/importer/ImporterRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using importer_test::kSceneHeader;
using importer_test::recordsWith;
using importer_test::Sandbox;
using importer_test::settingsFor;
namespace fs = std::filesystem;

// A small scene as Maya writes one: persp moved, a user camera, a two-level
// hierarchy with a rotation, a hidden transform, a locator, a Lambert and a
// Blinn with a file texture on two history cubes.
constexpr const char* kSmallScene = R"(//Maya ASCII 2020 scene
//Name: small.ma
requires maya "2020";
currentUnit -l centimeter -a degree -t film;
fileInfo "application" "maya";
createNode transform -s -n "persp";
	setAttr ".v" no;
	setAttr ".t" -type "double3" 10 20 30 ;
createNode camera -s -n "perspShape" -p "persp";
	setAttr -k off ".v" no;
	setAttr ".fl" 35;
createNode transform -n "shotCam";
	setAttr ".t" -type "double3" 0 0 10 ;
createNode camera -n "shotCamShape" -p "shotCam";
	setAttr ".fl" 50;
	setAttr ".ncp" 1;
	setAttr ".fcp" 5000;
createNode transform -n "base";
	setAttr ".t" -type "double3" 1 2 3 ;
createNode transform -n "arm" -p "base";
	setAttr ".t" -type "double3" 0 5 0 ;
	setAttr ".r" -type "double3" 0 0 90 ;
createNode mesh -n "armShape" -p "arm";
createNode transform -n "hidden";
	setAttr ".v" no;
	setAttr ".s" -type "double3" 2 2 2 ;
createNode mesh -n "hiddenShape" -p "hidden";
createNode transform -n "marker";
createNode locator -n "markerShape" -p "marker";
createNode polyCube -n "polyCube1";
createNode polyCube -n "polyCube2";
createNode lambert -n "red";
	setAttr ".c" -type "float3" 0.8 0.1 0.1 ;
	setAttr ".dc" 0.5;
createNode shadingEngine -n "redSG";
	setAttr ".ihi" 0;
	setAttr ".ro" yes;
createNode blinn -n "shiny";
createNode shadingEngine -n "shinySG";
createNode file -n "wood";
	setAttr ".ftn" -type "string" "textures/wood.png";
createNode place2dTexture -n "place1";
connectAttr "polyCube1.out" "armShape.i";
connectAttr "polyCube2.out" "hiddenShape.i";
connectAttr "red.oc" "redSG.ss";
connectAttr "armShape.iog" "redSG.dsm" -na;
connectAttr "shiny.oc" "shinySG.ss";
connectAttr "hiddenShape.iog" "shinySG.dsm" -na;
connectAttr "wood.oc" "shiny.c";
connectAttr "place1.o" "wood.uv";
connectAttr "redSG.pa" ":renderPartition.st" -na;
connectAttr "shinySG.pa" ":renderPartition.st" -na;
)";

// Numbers in the scene carry six significant digits.
void expectNumbers(const std::vector<double>& actual, const std::vector<double>& expected, const std::string& what) {
  ASSERT_EQ(actual.size(), expected.size()) << what;
  for (size_t i = 0; i < expected.size(); ++i)
    EXPECT_NEAR(actual[i], expected[i], 1e-5 + 1e-6 * std::abs(expected[i])) << what << " [" << i << "]";
}

class ImporterRunTest : public testing::Test {
 protected:
  // Converts `sceneText` (saved as small.ma) with readable output and returns
  // the written scene text.
  std::string convert(const std::string& sceneText) {
    const fs::path scene = box_.write("small.ma", sceneText);
    return convertWith(settingsFor(scene.string(), output().string()));
  }

  fs::path output() const { return box_.root() / "small.dal"; }

  // Runs the importer on settings that write to output().
  std::string convertWith(const ImportArgs& args) {
    const testproc::Outcome outcome = box_.runImporter(args);
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "");
    return testproc::slurp(output());
  }

  Sandbox box_;
};

// --- Exit statuses ------------------------------------------------------------

TEST_F(ImporterRunTest, AGoodSceneEndsWithZeroAndLogsTheRun) {
  const std::string text = convert(kSmallScene);
  EXPECT_EQ(text.compare(0, kSceneHeader.size(), kSceneHeader), 0) << text.substr(0, 300);
  const std::string log = box_.log();
  EXPECT_EQ(recordsWith(log, "INFO", "Starting maya importer (built ").size(), 1u) << log;
  EXPECT_EQ(recordsWith(log, "INFO", "for MAYA_API_VERSION:201100").size(), 1u) << log;
  const auto settings = recordsWith(log, "INFO", "cnf parsed to:\n");
  ASSERT_EQ(settings.size(), 1u) << log;
  EXPECT_NE(settings[0].find("\nOUTPUT_FILENAME: " + (box_.root() / "small.dal").string() + "\n"), std::string::npos);
  EXPECT_EQ(recordsWith(log, "INFO", "Openining: ").size(), 1u) << log;
  EXPECT_TRUE(recordsWith(log, "ERROR", "").empty()) << log;
}

TEST_F(ImporterRunTest, OldOrMissingArgumentVersionEndsWithOneBeforeMaya) {
  const fs::path scene = box_.write("small.ma", kSmallScene);
  const fs::path output = box_.root() / "never.dal";
  ImportArgs version5 = settingsFor(scene.string(), output.string());
  version5.setInt(MAJOR_VERSION, 5);
  const std::vector<std::vector<std::string>> commandLines = {
      {},                                  // nothing at all
      importer_test::encoded(version5),    // too old
      {"!!not base64!!", "also-not-base64"},  // undecodable: stored under key 0 as empty text
  };
  for (const auto& arguments : commandLines) {
    fs::remove(box_.logPath());
    const testproc::Outcome outcome = box_.runImporter(arguments);
    EXPECT_EQ(outcome.status, 1) << outcome.err;
    EXPECT_EQ(outcome.out, "");
    EXPECT_FALSE(fs::exists(output));
    const std::string log = box_.log();
    EXPECT_EQ(recordsWith(log, "ERROR", "trying to use old Glowbox Version").size(), 1u) << log;
    if (arguments.empty()) {
      // The settings dump of an empty command line lists nothing.
      const auto dump = recordsWith(log, "INFO", "cnf parsed to:");
      ASSERT_EQ(dump.size(), 1u) << log;
      EXPECT_EQ(dump[0].substr(dump[0].find("cnf parsed to:")), "cnf parsed to:\n") << log;
    }
    // Maya was never started, so nothing of the scene was read.
    EXPECT_TRUE(recordsWith(log, "INFO", "Openining: ").empty()) << log;
  }
}

TEST_F(ImporterRunTest, LogLevelChosenInTheSettingsFiltersTheRecords) {
  const fs::path scene = box_.write("small.ma", kSmallScene);
  ImportArgs quiet = settingsFor(scene.string(), (box_.root() / "q.dal").string());
  quiet.setString(LOGLEVEL, "ERROR");
  ASSERT_EQ(box_.runImporter(quiet).status, 0);
  std::string log = box_.log();
  // Only the start-up line precedes the level switch.
  EXPECT_EQ(importer_test::logRecords(log).size(), 1u) << log;
  EXPECT_TRUE(recordsWith(log, "INFO", "cnf parsed to:").empty()) << log;

  fs::remove(box_.logPath());
  ImportArgs chatty = quiet;
  chatty.setString(LOGLEVEL, "DEBUG4");
  ASSERT_EQ(box_.runImporter(chatty).status, 0);
  log = box_.log();
  EXPECT_EQ(recordsWith(log, "DEBUG4", "could  initialize MAYA ").size(), 1u) << log;
  EXPECT_FALSE(recordsWith(log, "DEBUG4", "TRACE CHECK: could not open Maya file").empty()) << log;
}

TEST_F(ImporterRunTest, AnUnknownLogLevelFallsBackToInfoWithAWarning) {
  const fs::path scene = box_.write("small.ma", kSmallScene);
  ImportArgs args = settingsFor(scene.string(), output().string());
  args.setString(LOGLEVEL, "debug");  // level names are upper case
  convertWith(args);
  const std::string log = box_.log();
  const auto warnings =
      recordsWith(log, "WARNING", "Unknown logging level 'debug'. Using INFO level as default.");
  ASSERT_EQ(warnings.size(), 1u) << log;
  EXPECT_EQ(warnings[0].rfind(":0 - ", 0), 0u) << warnings[0];
  EXPECT_EQ(recordsWith(log, "INFO", "cnf parsed to:").size(), 1u) << log;
  EXPECT_TRUE(recordsWith(log, "DEBUG", "").empty()) << log;
}

TEST_F(ImporterRunTest, TheLogGoesToTheResourceFolderOfTheInstallationRecord) {
  const fs::path resources = box_.root() / "resources";
  fs::create_directories(resources);
  box_.write("config/vantor/registry.ini", "[SOFTWARE\\Vantor]\nGlowboxVersion=6.2\n\n[SOFTWARE\\Vantor\\6.2]\n"
                                           "ResourceFolder=" + resources.string() + "\n");
  convert(kSmallScene);
  const std::string log = testproc::slurp(resources / "sceneapi.log");
  EXPECT_EQ(recordsWith(log, "INFO", "Openining: ").size(), 1u) << log;
  EXPECT_FALSE(fs::exists(box_.logPath()));
}

TEST_F(ImporterRunTest, ALogThatCannotBeOpenedDoesNotStopTheImport) {
  box_.write("config/vantor/registry.ini", "[SOFTWARE\\Vantor]\nGlowboxVersion=6.2\n\n[SOFTWARE\\Vantor\\6.2]\n"
                                           "ResourceFolder=" + (box_.root() / "no such folder").string() + "\n");
  const fs::path scene = box_.write("small.ma", kSmallScene);
  const testproc::Outcome outcome = box_.runImporter(settingsFor(scene.string(), output().string()));
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_NE(outcome.err.find("could not open log file:\n"), std::string::npos) << outcome.err;
  EXPECT_NE(outcome.err.find("opening log: "), std::string::npos) << outcome.err;
  EXPECT_NE(daltext::parse(testproc::slurp(output())).child("group", "small"), nullptr);
  EXPECT_FALSE(fs::exists(box_.logPath()));
}

TEST_F(ImporterRunTest, AMissingSceneStillEndsWithZeroAndOnlyTheHeaderIsWritten) {
  const fs::path missing = box_.root() / "no such scene.ma";
  const fs::path output = box_.root() / "out.dal";
  const testproc::Outcome outcome = box_.runImporter(settingsFor(missing.string(), output.string()));
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out, "");
  EXPECT_EQ(testproc::slurp(output), kSceneHeader);
  const auto warnings = recordsWith(box_.log(), "WARNING", "could not open Maya file: ");
  ASSERT_EQ(warnings.size(), 1u) << box_.log();
  EXPECT_NE(warnings[0].find("no such scene.ma"), std::string::npos) << warnings[0];
  EXPECT_NE(outcome.err.find("could not open Maya file"), std::string::npos) << outcome.err;
}

TEST_F(ImporterRunTest, AnUnwritableOutputEndsWithOneAndNoSceneTextAnywhere) {
  const fs::path scene = box_.write("small.ma", kSmallScene);
  fs::create_directories(box_.root() / "a folder");
  const std::vector<fs::path> outputs = {box_.root() / "missing folder" / "out.dal", box_.root() / "a folder"};
  for (const fs::path& output : outputs) {
    fs::remove(box_.logPath());
    const testproc::Outcome outcome = box_.runImporter(settingsFor(scene.string(), output.string()));
    EXPECT_EQ(outcome.status, 1) << output;
    const std::string message = "could not open file: \"" + output.string() + "\"";
    EXPECT_NE(outcome.err.find(message), std::string::npos) << outcome.err;
    EXPECT_NE(outcome.err.find("opening file"), std::string::npos) << outcome.err;
    EXPECT_EQ(recordsWith(box_.log(), "ERROR", message).size(), 1u) << box_.log();
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err.find("//---vantor"), std::string::npos) << outcome.err;
    EXPECT_FALSE(fs::exists(box_.root() / "missing folder"));
    EXPECT_TRUE(fs::is_directory(box_.root() / "a folder"));
    EXPECT_TRUE(fs::is_empty(box_.root() / "a folder"));
    // Nothing of the Maya scene was read before giving up.
    EXPECT_TRUE(recordsWith(box_.log(), "INFO", "Openining: ").empty()) << box_.log();
  }
}

TEST_F(ImporterRunTest, AQuotedPathWithBackslashesIsOpenedAsAPlainPath) {
  // The renderer may hand over a quoted Windows-style path; the run's working
  // folder is the sandbox, so the relative name finds the scene.
  box_.write("sub/small.ma", kSmallScene);
  const std::string text = convertWith(settingsFor("\"sub\\small.ma\"", output().string()));
  EXPECT_NE(daltext::parse(text).child("group", "small"), nullptr) << text;
  EXPECT_EQ(recordsWith(box_.log(), "INFO", "Openining: \"sub\\small.ma\"  as  sub/small.ma").size(), 1u)
      << box_.log();
}

// --- Where the scene goes and in which form ----------------------------------

TEST_F(ImporterRunTest, DashSendsTheSceneAndNothingElseToStandardOutput) {
  const fs::path scene = box_.write("small.ma", kSmallScene);
  const fs::path file = box_.root() / "small.dal";
  ASSERT_EQ(box_.runImporter(settingsFor(scene.string(), file.string())).status, 0);
  const std::string written = testproc::slurp(file);

  const ImportArgs toStdout = settingsFor(scene.string(), "-");
  ImportArgs noOutputGiven;  // the default output is standard output
  noOutputGiven.setString(IMPORT_FILENAME, scene.string());
  noOutputGiven.setBool(DEBUGSCN, true);
  ImportArgs withNotice = toStdout;
  withNotice.setString(EXPERIMENTAL, "beta");  // prints a notice while exporting
  for (const ImportArgs* args : std::vector<const ImportArgs*>{&toStdout, &noOutputGiven, &withNotice}) {
    const testproc::Outcome outcome = box_.runImporter(*args);
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    // The same bytes as the file: nothing printed on the way is mixed in.
    EXPECT_EQ(outcome.out, written);
    EXPECT_EQ(outcome.err.find("//---vantor"), std::string::npos);
  }
  const testproc::Outcome noticed = box_.runImporter(withNotice);
  EXPECT_NE(noticed.err.find("to old version for experiments\n"), std::string::npos) << noticed.err;
}

TEST_F(ImporterRunTest, DebugscnChoosesReadableOrCompactOutput) {
  // Two history cubes give the scene arrays; the compact form writes them as
  // binary blocks and indents nothing.
  const fs::path scene = box_.write("small.ma", kSmallScene);
  auto runWith = [&](const char* debugscn) {
    ImportArgs args = settingsFor(scene.string(), "-", false);
    if (debugscn) args.setString(DEBUGSCN, debugscn);
    const testproc::Outcome outcome = box_.runImporter(args);
    EXPECT_EQ(outcome.status, 0);
    return outcome.out;
  };
  auto indentedLines = [](const std::string& text) {
    size_t count = 0;
    for (size_t at = text.find("\n "); at != std::string::npos; at = text.find("\n ", at + 1)) ++count;
    return count;
  };
  const std::string readable = runWith("true");
  EXPECT_GT(indentedLines(readable), 10u);
  EXPECT_NE(readable.find("\n flags 32768\n"), std::string::npos);
  EXPECT_EQ(readable.find("\x01\x02\x03"), std::string::npos);
  EXPECT_EQ(runWith("1"), readable);
  for (const char* compactValue : {"false", "0", static_cast<const char*>(nullptr)}) {
    const std::string compact = runWith(compactValue);
    EXPECT_EQ(indentedLines(compact), 0u) << (compactValue ? compactValue : "absent");
    EXPECT_NE(compact.find("\nflags 32768\n"), std::string::npos);
    EXPECT_EQ(compact.compare(0, kSceneHeader.size(), kSceneHeader), 0);
    if (readable.find("\"vertices\" [ -") != std::string::npos) {
      EXPECT_NE(compact.find("\x01\x02\x03"), std::string::npos) << "meshes are written, their arrays as blocks";
    }
  }
}

TEST_F(ImporterRunTest, HierarchyNotCollapsedFlagsEveryGroup) {
  const fs::path scene = box_.write("small.ma", kSmallScene);
  ImportArgs args = settingsFor(scene.string(), output().string());
  args.setBool(COLLAPSE_HIERARCHY, false);
  const std::string text = convertWith(args);
  const daltext::Block document = daltext::parse(text);
  const daltext::Block* root = document.child("group", "small");
  ASSERT_NE(root, nullptr) << text;
  size_t groups = 0;
  std::vector<const daltext::Block*> pending{root};
  while (!pending.empty()) {
    const daltext::Block* group = pending.back();
    pending.pop_back();
    ++groups;
    EXPECT_EQ(group->word("flags"), "32769") << group->name();
    for (const daltext::Block* child : group->childrenOfKind("group")) pending.push_back(child);
  }
  EXPECT_EQ(groups, 11u);  // root, 4 default cameras, shotCam, base, arm, hidden, marker, markerShape
  EXPECT_EQ(text.find("flags 32768"), std::string::npos);
}

// --- Broken input ---------------------------------------------------------------

TEST_F(ImporterRunTest, BrokenScenesNeverCrashAndSayWhereTheyBroke) {
  struct Case {
    std::string name;
    std::string text;
    std::string says;  // a WARNING record holds this
  };
  const std::string small = kSmallScene;
  const size_t cut = small.find("\"double3\" 0 5 0") + 10;  // inside arm's translate
  const std::vector<Case> cases = {
      {"truncated.ma", small.substr(0, cut), "truncated.ma:21: "},
      {"garbage.ma", "//Maya ASCII 2020 scene\ncreateNode transform -n \"ok\";\n\x01\x02\xff garbage(;\n",
       "garbage.ma:3: "},
      {"quotes.ma", "//Maya ASCII 2020 scene\ncreateNode transform -n \"ok\";\nsetAttr \".t\" -type \"string\" \"open\n",
       "quotes.ma:3: "},
      {"huge.ma",
       "//Maya ASCII 2020 scene\ncreateNode transform -n \"ok\";\ncreateNode mesh -n \"okShape\" -p \"ok\";\n"
       "\tsetAttr -s 2000000000 \".vt[0:1999999999]\" 1 2 3;\n",
       "huge.ma:"},
      {"numbers.ma", "//Maya ASCII 2020 scene\ncreateNode transform -n \"ok\";\n\tsetAttr \".t\" -type \"double3\" 1 x 3;\n",
       "numbers.ma:3: "},
      {"random.ma", std::string("\x7f\x45\x4c\x46\x02\x01\x01\x00\xde\xad\xbe\xef", 12), "random.ma"},
      {"empty.ma", "", "empty.ma"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(box_.logPath());
    const fs::path scene = box_.write(c.name, c.text);
    const fs::path output = box_.root() / (c.name + ".dal");
    const testproc::Outcome outcome = box_.runImporter(settingsFor(scene.string(), output.string()));
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "");
    const std::string text = testproc::slurp(output);
    EXPECT_EQ(text.compare(0, kSceneHeader.size(), kSceneHeader), 0);
    EXPECT_FALSE(recordsWith(box_.log(), "WARNING", c.says).empty()) << box_.log();
    // What a readable scene held before the damage is still converted.
    if (c.text.find("-n \"ok\"") != std::string::npos) {
      const daltext::Block document = daltext::parse(text);
      const daltext::Block* root = document.child("group", c.name.substr(0, c.name.size() - 3));
      ASSERT_NE(root, nullptr) << text;
      EXPECT_NE(root->child("group", "ok"), nullptr) << text;
    }
  }
}

// --- The scene read back ---------------------------------------------------------

class WrittenSceneTest : public ImporterRunTest {
 protected:
  void SetUp() override {
    text_ = convert(kSmallScene);
    document_ = daltext::parse(text_);
    root_ = document_.child("group", "small");
    ASSERT_NE(root_, nullptr) << text_;
  }

  std::string text_;
  daltext::Block document_;
  const daltext::Block* root_ = nullptr;
};

TEST_F(WrittenSceneTest, RenderModuleCarriesYUpAndCentimetres) {
  const daltext::Block* module = document_.child("load", "orbrtopt.so");
  ASSERT_NE(module, nullptr) << text_;
  EXPECT_EQ(module->word("import_up_vector"), "1");
  EXPECT_EQ(module->word("meter_scale"), "100");
  EXPECT_EQ(module->word("import_keep_original"), "on");
  EXPECT_EQ(module->word("import_adjust_camera"), "off");
}

TEST_F(WrittenSceneTest, CamerasExceptTheOrthographicViewsWithTheirPlacement) {
  std::vector<std::string> names;
  for (const daltext::Block* camera : document_.childrenOfKind("camera")) names.push_back(camera->name());
  EXPECT_EQ(names, (std::vector<std::string>{"persp", "shotCam"}));

  const daltext::Block* shot = document_.child("camera", "shotCam");
  ASSERT_NE(shot, nullptr);
  expectNumbers(shot->numbers("position"), {0, 0, 0}, "eye point in object space");
  expectNumbers(shot->numbers("direction"), {0, 0, -1}, "view direction");
  expectNumbers(shot->numbers("up"), {0, 1, 0}, "up direction");
  expectNumbers(shot->numbers("clipping"), {1, 5000}, "clipping planes");
  // 35 mm film gate (1.41732 in) behind a 50 mm lens.
  const double fov = 2.0 * std::atan(0.5 * 1.41732 * 25.4 / 50.0) * 180.0 / 3.141592653589793;
  expectNumbers(shot->numbers("fov"), {fov}, "field of view");
  expectNumbers(shot->numbers("transform"), {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 10, 1}, "world matrix");

  const daltext::Block* persp = document_.child("camera", "persp");
  ASSERT_NE(persp, nullptr);
  const std::vector<double> world = persp->numbers("transform");
  ASSERT_EQ(world.size(), 16u);
  expectNumbers({world[12], world[13], world[14]}, {10, 20, 30}, "persp position");
  const double perspFov = 2.0 * std::atan(0.5 * 1.41732 * 25.4 / 35.0) * 180.0 / 3.141592653589793;
  expectNumbers(persp->numbers("fov"), {perspFov}, "persp field of view");
}

TEST_F(WrittenSceneTest, EveryTransformBecomesAGroupWithItsLocalMatrix) {
  std::vector<std::string> topLevel;
  for (const daltext::Block* group : root_->childrenOfKind("group")) topLevel.push_back(group->name());
  EXPECT_EQ(topLevel,
            (std::vector<std::string>{"persp", "top", "front", "side", "shotCam", "base", "hidden", "marker"}));
  EXPECT_EQ(root_->word("flags"), "32768");
  EXPECT_EQ(root_->line("transform"), nullptr);  // the root is placed nowhere

  const daltext::Block* base = root_->child("group", "base");
  ASSERT_NE(base, nullptr);
  expectNumbers(base->numbers("transform"), {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1}, "base");
  const daltext::Block* arm = base->child("group", "arm");
  ASSERT_NE(arm, nullptr);
  // 90 degrees about Z in row-vector form, then the translation.
  expectNumbers(arm->numbers("transform"), {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 5, 0, 1}, "arm");

  // A hidden transform is still a group; its shape adds nothing.
  const daltext::Block* hidden = root_->child("group", "hidden");
  ASSERT_NE(hidden, nullptr);
  expectNumbers(hidden->numbers("transform"), {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1}, "hidden");
  EXPECT_TRUE(hidden->children.empty()) << text_;

  // A shape of a type the walk does not convert becomes an identity group,
  // and is reported once in the scene.
  const daltext::Block* marker = root_->child("group", "marker");
  ASSERT_NE(marker, nullptr);
  const daltext::Block* locator = marker->child("group", "markerShape");
  ASSERT_NE(locator, nullptr);
  expectNumbers(locator->numbers("transform"), {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, "locator");
  EXPECT_NE(text_.find("#print \"Maya2011:Unhandled node(2): markerShape: locator  dagPath: |marker|markerShape\""),
            std::string::npos);
}

TEST_F(WrittenSceneTest, MaterialsAreDefinedOnceAheadOfTheGeometry) {
  const daltext::Block* red = daltext::materialDefinition(document_, "red");
  ASSERT_NE(red, nullptr) << text_;
  const daltext::Block* redSurface = red->child("surface", "orb_diffuse");
  ASSERT_NE(redSurface, nullptr);
  expectNumbers(redSurface->numbers("diffuse"), {0.4, 0.05, 0.05}, "colour times diffuse weight");

  const daltext::Block* shiny = daltext::materialDefinition(document_, "shiny");
  ASSERT_NE(shiny, nullptr) << text_;
  const daltext::Block* shinySurface = shiny->child("surface", "orb_advanced");
  ASSERT_NE(shinySurface, nullptr);
  const daltext::Block* texture = shinySurface->child("diffuse", "texture_rgb");
  ASSERT_NE(texture, nullptr) << text_;
  EXPECT_EQ(texture->word("texture"), "textures/wood.png");

  EXPECT_NE(daltext::materialDefinition(document_, "lambert1"), nullptr);
  for (const char* name : {"lambert1", "red", "shiny"}) {
    const size_t definition = text_.find(std::string("#define material \"") + name + "\"");
    EXPECT_EQ(text_.find(std::string("#define material \"") + name + "\"", definition + 1), std::string::npos) << name;
    EXPECT_LT(definition, text_.find("\ngroup \"small\"")) << name;
  }

  // Whatever geometry is placed names a material defined ahead.
  const daltext::Block* arm = root_->findAnywhere("group", "arm");
  ASSERT_NE(arm, nullptr);
  for (const daltext::Block* object : arm->childrenOfKind("object")) {
    const std::string material = object->word("material");
    EXPECT_EQ(material, "red") << object->name();
  }
}

// --- Up axis and units -------------------------------------------------------------

TEST_F(ImporterRunTest, AZUpSceneInMetresReachesTheRenderModule) {
  // The script node Maya saves with a Z-up scene.
  const std::string zUp = R"(//Maya ASCII 2022 scene
requires maya "2022";
currentUnit -l meter -a degree -t film;
createNode transform -n "thing";
createNode script -n "upAxisScriptNode";
	rename -uid "3D1C8A20-4C4E-A1B2-0001-000000000001";
	setAttr ".b" -type "string" "string $currentAxis = \"z\"; if ($currentAxis != `upAxis -q -ax`){ upAxis -ax $currentAxis; rotate -r -os 90 0 0 $currentCamera; }";
	setAttr ".st" 2;
)";
  const daltext::Block document = daltext::parse(convert(zUp));
  const daltext::Block* module = document.child("load", "orbrtopt.so");
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(module->word("import_up_vector"), "2");
  EXPECT_EQ(module->word("meter_scale"), "1");

  // The same node switching back to Y.
  std::string yUp = zUp;
  yUp.replace(yUp.find("\\\"z\\\""), 5, "\\\"y\\\"");
  EXPECT_EQ(daltext::parse(convert(yUp)).child("load", "orbrtopt.so")->word("import_up_vector"), "1");
}

// --- Drivers the stand-in does not evaluate ---------------------------------------

TEST_F(ImporterRunTest, EachUnevaluatedDriverTypeIsWarnedAboutOnce) {
  const std::string driven = R"(//Maya ASCII 2020 scene
requires maya "2020";
createNode transform -n "a";
	setAttr ".t" -type "double3" 1 2 3 ;
createNode transform -n "b";
createNode transform -n "target";
createNode expression -n "expression1";
	setAttr -k on ".nds";
	setAttr ".ixp" -type "string" ".O[0] = time;";
createNode expression -n "expression2";
	setAttr ".ixp" -type "string" ".O[0] = 2;";
createNode parentConstraint -n "target_parentConstraint1" -p "target";
createNode transform -n "follower";
createNode mesh -n "followerShape" -p "follower";
createNode polyCube -n "polyCube1";
createNode skinCluster -n "skinCluster1";
createNode tweak -n "tweak1";
connectAttr "polyCube1.out" "skinCluster1.ip[0].ig";
connectAttr "skinCluster1.og[0]" "followerShape.i";
connectAttr "tweak1.vl[0].vt[0]" "followerShape.twl";
connectAttr "expression1.out[0]" "a.tx";
connectAttr "expression2.out[0]" "b.ty";
connectAttr "target_parentConstraint1.ctx" "target.tx";
connectAttr "a.t" "follower.t";
)";
  const daltext::Block document = daltext::parse(convert(driven));
  const std::string log = box_.log();
  const auto expressions = recordsWith(log, "WARNING", "expression nodes are not evaluated");
  ASSERT_EQ(expressions.size(), 1u) << log;
  EXPECT_NE(expressions[0].find("small.ma"), std::string::npos) << expressions[0];
  EXPECT_EQ(recordsWith(log, "WARNING", "parentConstraint nodes are not evaluated").size(), 1u) << log;
  // A transform feeding another is evaluated and never reported; geometry
  // inputs are the mesh evaluation's to report, and a plug the database does
  // not know carries no value to warn about.
  for (const char* quiet : {"transform nodes", "skinCluster nodes", "tweak nodes"})
    EXPECT_TRUE(recordsWith(log, "WARNING", quiet).empty()) << quiet << "\n" << log;
  // The driven attribute keeps what the file stores.
  const daltext::Block* a = document.findAnywhere("group", "a");
  ASSERT_NE(a, nullptr);
  const std::vector<double> m = a->numbers("transform");
  ASSERT_EQ(m.size(), 16u);
  expectNumbers({m[12], m[13], m[14]}, {1, 2, 3}, "stored translation");
}

TEST_F(ImporterRunTest, ASceneWithoutUnevaluatedDriversGetsNoSuchWarning) {
  convert(kSmallScene);
  EXPECT_TRUE(recordsWith(box_.log(), "WARNING", "nodes are not evaluated").empty()) << box_.log();
}

}  // namespace
