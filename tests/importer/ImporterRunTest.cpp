// The real mayaimport, run as the renderer runs it: exit statuses, where the
// scene text goes, the output forms the settings choose, broken input, and
// the written scene read back.

#include "tests/importer/DalText.h"
#include "tests/importer/ImporterRun.h"

#include <cmath>
#include <tuple>

namespace {

using importer_test::contains;
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
  fs::path output() const { return box_.root() / "small.dal"; }

  // Settings that convert `sceneText` (saved as small.ma) to output().
  ImportArgs small(const std::string& sceneText = kSmallScene) const {
    return settingsFor(box_.write("small.ma", sceneText).string(), output().string());
  }

  // Runs the importer on settings that write to output() and returns the written text.
  std::string convertWith(const ImportArgs& args) {
    const testproc::Outcome outcome = box_.runImporter(args);
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "");
    return testproc::slurp(output());
  }
  std::string convert(const std::string& sceneText) { return convertWith(small(sceneText)); }

  // Runs with settings whose output is never written, from a fresh log.
  testproc::Outcome failingRun(const std::vector<std::string>& arguments) {
    fs::remove(box_.logPath());
    const testproc::Outcome outcome = box_.runImporter(arguments);
    EXPECT_EQ(outcome.status, 1) << outcome.err;
    EXPECT_EQ(outcome.out, "");
    // Nothing of the Maya scene was read before giving up.
    EXPECT_TRUE(recordsWith(box_.log(), "INFO", "Openining: ").empty()) << box_.log();
    return outcome;
  }

  Sandbox box_;
};

// --- Exit statuses and the log ------------------------------------------------

TEST_F(ImporterRunTest, OldOrMissingArgumentVersionEndsWithOneBeforeMaya) {
  ImportArgs version5 = small();
  version5.setInt(MAJOR_VERSION, 5);
  const std::vector<std::vector<std::string>> commandLines = {
      {},                                     // nothing at all
      importer_test::encoded(version5),       // too old
      {"!!not base64!!", "also-not-base64"},  // undecodable: stored under key 0 as empty text
  };
  for (const auto& arguments : commandLines) {
    failingRun(arguments);
    EXPECT_FALSE(fs::exists(output()));
    const std::string log = box_.log();
    EXPECT_EQ(recordsWith(log, "ERROR", "trying to use old Glowbox Version").size(), 1u) << log;
    if (arguments.empty()) {
      // The settings dump of an empty command line lists nothing.
      const auto dump = recordsWith(log, "INFO", "cnf parsed to:");
      ASSERT_EQ(dump.size(), 1u) << log;
      EXPECT_EQ(dump[0].substr(dump[0].find("cnf parsed to:")), "cnf parsed to:\n") << log;
    }
  }
}

TEST_F(ImporterRunTest, LogLevelChosenInTheSettingsFiltersTheRecords) {
  ImportArgs args = small();
  args.setString(LOGLEVEL, "ERROR");
  convertWith(args);
  // Only the start-up line precedes the level switch.
  EXPECT_EQ(importer_test::logRecords(box_.log()).size(), 1u) << box_.log();

  fs::remove(box_.logPath());
  args.setString(LOGLEVEL, "DEBUG4");
  convertWith(args);
  EXPECT_EQ(recordsWith(box_.log(), "DEBUG4", "could  initialize MAYA ").size(), 1u) << box_.log();
  EXPECT_FALSE(recordsWith(box_.log(), "DEBUG4", "TRACE CHECK: could not open Maya file").empty()) << box_.log();

  fs::remove(box_.logPath());
  args.setString(LOGLEVEL, "debug");  // level names are upper case
  convertWith(args);
  const std::string log = box_.log();
  const auto warnings = recordsWith(log, "WARNING", "Unknown logging level 'debug'. Using INFO level as default.");
  ASSERT_EQ(warnings.size(), 1u) << log;
  EXPECT_EQ(warnings[0].rfind(":0 - ", 0), 0u) << warnings[0];
  EXPECT_EQ(recordsWith(log, "INFO", "cnf parsed to:").size(), 1u) << log;
  EXPECT_TRUE(recordsWith(log, "DEBUG", "").empty()) << log;
}

TEST_F(ImporterRunTest, TheLogGoesToTheResourceFolderOfTheInstallationRecordIfItCanBeOpened) {
#ifdef _WIN32
  GTEST_SKIP() << "the installation record is the user's registry on Windows: a record written here would send the "
                  "log of every test running meanwhile into its folder";
#endif
  const fs::path resources = box_.root() / "resource folder";
  box_.write("config/vantor/registry.ini", "[SOFTWARE\\Vantor]\nGlowboxVersion=6.2\n\n[SOFTWARE\\Vantor\\6.2]\n"
                                           "ResourceFolder=" + resources.string() + "\n");
  // While the folder does not exist the import goes on without a log.
  const testproc::Outcome outcome = box_.runImporter(small());
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_TRUE(contains(outcome.err, "could not open log file:\n")) << outcome.err;
  EXPECT_TRUE(contains(outcome.err, "opening log: ")) << outcome.err;
  EXPECT_NE(daltext::parse(testproc::slurp(output())).child("group", "small"), nullptr);

  fs::create_directories(resources);
  convert(kSmallScene);
  const std::string log = testproc::slurp(resources / "sceneapi.log");
  EXPECT_EQ(recordsWith(log, "INFO", "Openining: ").size(), 1u) << log;
  EXPECT_FALSE(fs::exists(box_.logPath()));
}

// --- Missing and unwritable files ----------------------------------------------

TEST_F(ImporterRunTest, AMissingSceneStillEndsWithZeroAndOnlyTheHeaderIsWritten) {
  const testproc::Outcome outcome =
      box_.runImporter(settingsFor((box_.root() / "no such scene.ma").string(), output().string()));
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out, "");
  EXPECT_EQ(testproc::slurp(output()), kSceneHeader);
  const auto warnings = recordsWith(box_.log(), "WARNING", "could not open Maya file: ");
  ASSERT_EQ(warnings.size(), 1u) << box_.log();
  EXPECT_TRUE(contains(warnings[0], "no such scene.ma")) << warnings[0];
  EXPECT_TRUE(contains(outcome.err, "could not open Maya file")) << outcome.err;
}

TEST_F(ImporterRunTest, AnUnwritableOutputEndsWithOneAndNoSceneTextAnywhere) {
  const fs::path scene = box_.write("small.ma", kSmallScene);
  fs::create_directories(box_.root() / "a folder");
  for (const fs::path& output : {box_.root() / "missing folder" / "out.dal", box_.root() / "a folder"}) {
    const testproc::Outcome outcome = failingRun(importer_test::encoded(settingsFor(scene.string(), output.string())));
    const std::string message = "could not open file: \"" + output.string() + "\"";
    EXPECT_TRUE(contains(outcome.err, message)) << outcome.err;
    EXPECT_TRUE(contains(outcome.err, "opening file")) << outcome.err;
    EXPECT_EQ(recordsWith(box_.log(), "ERROR", message).size(), 1u) << box_.log();
    EXPECT_FALSE(contains(outcome.err, "//---vantor")) << outcome.err;
    EXPECT_FALSE(fs::exists(box_.root() / "missing folder"));
    EXPECT_TRUE(fs::is_directory(box_.root() / "a folder"));
    EXPECT_TRUE(fs::is_empty(box_.root() / "a folder"));
  }
}

// --- Where the scene goes and in which form ----------------------------------

TEST_F(ImporterRunTest, StandardOutputGetsTheSceneAloneAndDebugscnChoosesReadableOrCompact) {
  const std::string written = convertWith(small());
  const std::string scene = (box_.root() / "small.ma").string();
  auto run = [&](const ImportArgs& args) {
    const testproc::Outcome outcome = box_.runImporter(args);
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_FALSE(contains(outcome.err, "//---vantor"));
    EXPECT_EQ(contains(outcome.err, "to old version for experiments\n"), args.has(EXPERIMENTAL)) << outcome.err;
    return outcome.out;
  };
  // A dash, or no output at all: the same bytes as the file, nothing printed on the way mixed in.
  ImportArgs noOutputGiven;
  noOutputGiven.setString(IMPORT_FILENAME, scene);
  noOutputGiven.setBool(DEBUGSCN, true);
  ImportArgs withNotice = settingsFor(scene, "-");
  withNotice.setString(EXPERIMENTAL, "beta");  // prints a notice while exporting
  for (const ImportArgs& args : {settingsFor(scene, "-"), noOutputGiven, withNotice}) EXPECT_EQ(run(args), written);

  // Readable text is indented; the compact form indents nothing and writes
  // the arrays of the two history cubes as binary blocks.
  auto withDebugscn = [&](const char* value) {
    ImportArgs args = settingsFor(scene, "-", false);
    if (value) args.setString(DEBUGSCN, value);
    return run(args);
  };
  EXPECT_EQ(withDebugscn("true"), written);
  EXPECT_EQ(withDebugscn("1"), written);
  EXPECT_GT(importer_test::countOf(written, "\n "), 10u);
  EXPECT_TRUE(contains(written, "\n flags 32768\n"));
  EXPECT_TRUE(contains(written, "\"vertices\" [ -"));
  EXPECT_FALSE(contains(written, "\x01\x02\x03"));
  for (const char* compactValue : {"false", "0", static_cast<const char*>(nullptr)}) {
    SCOPED_TRACE(compactValue ? compactValue : "absent");
    const std::string compact = withDebugscn(compactValue);
    EXPECT_EQ(importer_test::countOf(compact, "\n "), 0u);
    EXPECT_TRUE(contains(compact, "\nflags 32768\n"));
    EXPECT_EQ(compact.rfind(kSceneHeader, 0), 0u);
    EXPECT_TRUE(contains(compact, "\x01\x02\x03")) << "meshes are written, their arrays as blocks";
  }
}

TEST_F(ImporterRunTest, HierarchyNotCollapsedFlagsEveryGroup) {
  ImportArgs args = small();
  args.setBool(COLLAPSE_HIERARCHY, false);
  const std::string text = convertWith(args);
  const size_t groups = importer_test::countOf(text, "flags 32769\n");
  EXPECT_EQ(groups, 11u) << text;  // root, 4 default cameras, shotCam, base, arm, hidden, marker, markerShape
  EXPECT_EQ(groups, importer_test::countOf(text, "group \"")) << text;
  EXPECT_FALSE(contains(text, "flags 32768"));
}

// --- Broken input ---------------------------------------------------------------

TEST_F(ImporterRunTest, BrokenScenesNeverCrashAndSayWhereTheyBroke) {
  const std::string small = kSmallScene;
  const size_t cut = small.find("\"double3\" 0 5 0") + 10;  // inside arm's translate
  const std::string ok = "//Maya ASCII 2020 scene\ncreateNode transform -n \"ok\";\n";
  std::string deep = ok;   // transforms nested past the walk's depth bound
  for (int i = 1; i <= 1100; ++i) {
    // Appended piece by piece: MinGW's g++ -O3 warns, wrongly, of overlap in "d" + std::to_string(...).
    deep.append("createNode transform -n \"d").append(std::to_string(i)).append("\" -p \"");
    if (i == 1)
      deep.append("ok");
    else
      deep.append("d").append(std::to_string(i - 1));
    deep.append("\";\n");
  }
  // Scene file name, text, and what a WARNING record says.
  const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
      {"deep.ma", deep, "deeper than 1024 levels at d1024"},
      {"truncated.ma", small.substr(0, cut), "truncated.ma:21: "},
      // The root is named without the last extension only.
      {"garbage.v2.ma", ok + "\x01\x02\xff garbage(;\n", "garbage.v2.ma:3: "},
      {"quotes.ma", ok + "setAttr \".t\" -type \"string\" \"open\n", "quotes.ma:3: "},
      {"huge.ma", ok + "createNode mesh -n \"okShape\" -p \"ok\";\n\tsetAttr -s 2000000000 \".vt[0:1999999999]\" 1 2 3;\n",
       "huge.ma:"},
      {"numbers.ma", ok + "\tsetAttr \".t\" -type \"double3\" 1 x 3;\n", "numbers.ma:3: "},
      {"random.ma", std::string("\x7f\x45\x4c\x46\x02\x01\x01\x00\xde\xad\xbe\xef", 12), "random.ma"},
      {"zeros.ma", std::string(1 << 20, '\0'), "zeros.ma\": not a Maya ASCII file (its first bytes are all zero)"},
      {"utf16.ma", std::string("\xFF\xFE/\0/\0M\0", 8), "utf16.ma\": not a Maya ASCII file (it is UTF-16 text"},
      {"cycle.ma", ok + "createNode mesh -n \"okShape\" -p \"ok\";\ncreateNode polySmoothFace -n \"a\";\n"
                        "createNode polySmoothFace -n \"b\";\nconnectAttr \"b.out\" \"a.ip\";\nconnectAttr \"a.out\" \"b.ip\";\n"
                        "connectAttr \"b.out\" \"okShape.i\";\n",
       "mesh okShape: history cycle: b feeds itself"},
      {"empty.ma", "", "empty.ma"},
  };
  for (const auto& [name, text, says] : cases) {
    SCOPED_TRACE(name);
    fs::remove(box_.logPath());
    const fs::path scene = box_.write(name, text);
    const fs::path output = box_.root() / (name + ".dal");
    const testproc::Outcome outcome = box_.runImporter(settingsFor(scene.string(), output.string()));
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "");
    const std::string written = testproc::slurp(output);
    EXPECT_EQ(written.rfind(kSceneHeader, 0), 0u);
    EXPECT_FALSE(recordsWith(box_.log(), "WARNING", says).empty()) << box_.log();
    // What a readable scene held before the damage is still converted.
    if (text.rfind(ok, 0) == 0) {
      const daltext::Block document = daltext::parse(written);
      const daltext::Block* root = document.child("group", name.substr(0, name.size() - 3));
      EXPECT_TRUE(root && root->child("group", "ok")) << written;
    }
  }
}

// --- The scene read back ---------------------------------------------------------

TEST_F(ImporterRunTest, AGoodSceneEndsWithZeroLogsTheRunAndHoldsModuleCamerasGroupsAndMaterials) {
  using daltext::need;
  // The renderer may hand over a quoted Windows-style path; the run's working
  // folder is the sandbox, so the relative name finds the scene.
  box_.write("sub/small.ma", kSmallScene);
  const std::string text = convertWith(settingsFor("\"sub\\small.ma\"", output().string()));
  EXPECT_EQ(text.rfind(kSceneHeader, 0), 0u) << text.substr(0, 300);
  const std::string log = box_.log();
  for (const char* once : {"Starting maya importer (built ", "for MAYA_API_VERSION:201100", "Openining: ",
                           "Openining: \"sub\\small.ma\"  as  sub/small.ma"})
    EXPECT_EQ(recordsWith(log, "INFO", once).size(), 1u) << once << "\n" << log;
  const auto settings = recordsWith(log, "INFO", "cnf parsed to:\n");
  ASSERT_EQ(settings.size(), 1u) << log;
  EXPECT_TRUE(contains(settings[0], "\nOUTPUT_FILENAME: " + output().string() + "\n")) << settings[0];
  EXPECT_TRUE(recordsWith(log, "ERROR", "").empty()) << log;
  // The scene has no drivers the stand-in leaves unevaluated.
  EXPECT_TRUE(recordsWith(log, "WARNING", "nodes are not evaluated").empty()) << log;

  const daltext::Block document = daltext::parse(text);
  const daltext::Block& root = need(document.child("group", "small"), "root group");

  // The render module carries Y up and centimetres.
  const daltext::Block& module = need(document.child("load", "orbrtopt.so"), "render module");
  for (const auto& [key, value] : std::map<std::string, std::string>{
           {"import_up_vector", "1"}, {"meter_scale", "100"}, {"import_keep_original", "on"}, {"import_adjust_camera", "off"}})
    EXPECT_EQ(module.word(key), value) << key;
  EXPECT_TRUE(contains(text, "\n#print \"Export geometry. Using Maya2011. Glowbox 6.2.85 (built ")) << text;
  // The module comes first, cameras next, the hierarchy last.
  EXPECT_LT(text.find("\nload "), text.find("\ncamera \"persp\""));
  EXPECT_LT(text.find("\ncamera \"shotCam\""), text.find("\ngroup \"small\""));

  // Cameras, except the orthographic views, with their placement.
  std::vector<std::string> names;
  for (const daltext::Block* camera : document.childrenOfKind("camera")) names.push_back(camera->name());
  EXPECT_EQ(names, (std::vector<std::string>{"persp", "shotCam"}));
  const daltext::Block& shot = need(document.child("camera", "shotCam"), "shotCam");
  expectNumbers(shot.numbers("position"), {0, 0, 0}, "eye point in object space");
  expectNumbers(shot.numbers("direction"), {0, 0, -1}, "view direction");
  expectNumbers(shot.numbers("up"), {0, 1, 0}, "up direction");
  expectNumbers(shot.numbers("clipping"), {1, 5000}, "clipping planes");
  // 35 mm film gate (1.41732 in) behind a 50 mm (shotCam) or 35 mm (persp) lens.
  auto fov = [](double lens) { return 2.0 * std::atan(0.5 * 1.41732 * 25.4 / lens) * 180.0 / 3.141592653589793; };
  expectNumbers(shot.numbers("fov"), {fov(50)}, "field of view");
  expectNumbers(shot.numbers("transform"), {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 10, 1}, "world matrix");
  const daltext::Block& persp = need(document.child("camera", "persp"), "persp");
  std::vector<double> world = persp.numbers("transform");
  world.resize(16);
  expectNumbers({world[12], world[13], world[14]}, {10, 20, 30}, "persp position");
  expectNumbers(persp.numbers("fov"), {fov(35)}, "persp field of view");

  // Every transform becomes a group with its local matrix.
  std::vector<std::string> topLevel;
  for (const daltext::Block* group : root.childrenOfKind("group")) topLevel.push_back(group->name());
  EXPECT_EQ(topLevel,
            (std::vector<std::string>{"persp", "top", "front", "side", "shotCam", "base", "hidden", "marker"}));
  EXPECT_EQ(root.word("flags"), "32768");
  EXPECT_EQ(root.statement("transform"), nullptr);  // the root is placed nowhere
  const daltext::Block& base = need(root.child("group", "base"), "base");
  expectNumbers(base.numbers("transform"), {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1}, "base");
  const daltext::Block& arm = need(base.child("group", "arm"), "arm");
  // 90 degrees about Z in row-vector form, then the translation.
  expectNumbers(arm.numbers("transform"), {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 5, 0, 1}, "arm");
  // A hidden transform is still a group; its shape adds nothing.
  const daltext::Block& hidden = need(root.child("group", "hidden"), "hidden");
  expectNumbers(hidden.numbers("transform"), {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1}, "hidden");
  EXPECT_TRUE(hidden.children.empty()) << text;
  // A shape of a type the walk does not convert becomes an identity group,
  // and is reported once in the scene.
  const daltext::Block& locator = need(need(root.child("group", "marker"), "marker").child("group", "markerShape"), "locator");
  expectNumbers(locator.numbers("transform"), {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, "locator");
  EXPECT_EQ(importer_test::countOf(text, "#print \"Maya2011:Unhandled node(2): markerShape: locator  dagPath: |marker|markerShape\""), 1u);

  // Materials are defined once, ahead of the geometry.
  const daltext::Block& red = need(document.definition("material", "red"), "red");
  expectNumbers(need(red.child("surface", "orb_diffuse"), "red surface").numbers("diffuse"), {0.4, 0.05, 0.05},
                "colour times diffuse weight");
  const daltext::Block& shiny = need(document.definition("material", "shiny"), "shiny");
  const daltext::Block& shinySurface = need(shiny.child("surface", "orb_advanced"), "shiny surface");
  EXPECT_EQ(need(shinySurface.child("diffuse", "texture_rgb"), "texture").word("texture"), "textures/wood.png");
  for (const char* name : {"lambert1", "red", "shiny"}) {
    const std::string header = std::string("#define material \"") + name + "\"";
    EXPECT_EQ(importer_test::countOf(text, header), 1u) << name;
    EXPECT_LT(text.find(header), text.find("\ngroup \"small\"")) << name;
  }
  // Whatever geometry is placed names a material defined ahead.
  for (const daltext::Block* object : arm.childrenOfKind("object"))
    EXPECT_EQ(object->word("material"), "red") << object->name();
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
  const daltext::Block& module = daltext::need(document.child("load", "orbrtopt.so"), "render module");
  EXPECT_EQ(module.word("import_up_vector"), "2");
  EXPECT_EQ(module.word("meter_scale"), "1");

  // The same node switching back to Y.
  std::string yUp = zUp;
  yUp.replace(yUp.find("\\\"z\\\""), 5, "\\\"y\\\"");
  EXPECT_EQ(daltext::need(daltext::parse(convert(yUp)).child("load", "orbrtopt.so"), "module").word("import_up_vector"),
            "1");
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
  EXPECT_TRUE(contains(expressions[0], "small.ma")) << expressions[0];
  EXPECT_EQ(recordsWith(log, "WARNING", "parentConstraint nodes are not evaluated").size(), 1u) << log;
  // A transform feeding another is evaluated and never reported; geometry
  // inputs are the mesh evaluation's to report, and a plug the database does
  // not know carries no value to warn about.
  for (const char* quiet : {"transform nodes", "skinCluster nodes", "tweak nodes"})
    EXPECT_TRUE(recordsWith(log, "WARNING", quiet).empty()) << quiet << "\n" << log;
  // The driven attribute keeps what the file stores.
  std::vector<double> m =
      daltext::need(daltext::need(document.child("group", "small"), "root").child("group", "a"), "a").numbers("transform");
  m.resize(16);
  expectNumbers({m[12], m[13], m[14]}, {1, 2, 3}, "stored translation");
}

}  // namespace
