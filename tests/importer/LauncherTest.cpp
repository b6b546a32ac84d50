// glowbox-import as a person runs it: options, the settings it encodes, its
// errors, and how it starts the importer and reports the importer's log.

#include "tests/importer/DalText.h"
#include "tests/importer/ImporterRun.h"
#include "tools/glowbox-import/ProgressMark.h"

#include <functional>
#include <optional>
#include <tuple>

namespace {

using importer_test::contains;
using importer_test::countOf;
using importer_test::kImporter;
using importer_test::kLauncher;
namespace fs = std::filesystem;

// The lines between two headings of --print-args output, without their indent.
std::vector<std::string> section(const std::string& text, const std::string& from, const std::string& to) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  bool inside = false;
  for (std::string line; std::getline(in, line) && line != to;) {
    if (inside) lines.push_back(line.compare(0, 2, "  ") == 0 ? line.substr(2) : line);
    inside = inside || line == from;
  }
  return lines;
}

// Every test gets a sandbox with a scene file in it.
class LauncherTest : public testing::Test {
 protected:
  testproc::Outcome launch(const std::vector<std::string>& args, const std::map<std::string, std::string>& env = {},
                           const std::string& program = kLauncher) {
    return box_.run(program, args, env, cwd_);
  }

  // Runs --print-args and decodes the arguments it prints, checking on the
  // way that its own dump agrees with the decoding.
  ImportArgs printedSettings(std::vector<std::string> args) {
    args.insert(args.begin(), "--print-args");
    const testproc::Outcome outcome = launch(args);
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    std::vector<std::string> argv = section(outcome.out, "encoded arguments:", "decoded settings:");
    argv.insert(argv.begin(), "mayaimport");
    std::vector<char*> pointers;
    for (std::string& arg : argv) pointers.push_back(arg.data());
    const ImportArgs decoded(static_cast<int>(pointers.size()), pointers.data());
    const std::string dumped = "\ndecoded settings:\n" + ::testing::PrintToString(decoded);
    EXPECT_EQ(outcome.out.substr(outcome.out.size() - std::min(outcome.out.size(), dumped.size())), dumped);
    return decoded;
  }

  importer_test::Sandbox box_;
  const fs::path root_ = box_.root();
  const fs::path scene_ = box_.write("scenes/cube.ma", "//Maya ASCII 2011 scene\n");
  std::string cwd_;  // the child's working folder; empty: the test's own
};

TEST_F(LauncherTest, EverySwitchHasItsDefaultAndTurnsItsSettingOver) {
  // Setting, option, default.
  const std::tuple<int, const char*, bool> switches[] = {
      {DEBUGSCN, "--readable", false},           {INCLUDE_NURBS, "--include-nurbs", false},
      {TESSELLATE, "--no-tessellate", true},     {SPLIT_LAYERS, "--split-layers", false},
      {UNIQUE_MATERIALS, "--unique-materials", false}, {COLLAPSE_HIERARCHY, "--no-collapse-hierarchy", true}};
  const ImportArgs defaults = printedSettings({scene_.string()});
  std::vector<std::string> options;
  for (const auto& [key, option, byDefault] : switches) {
    EXPECT_EQ(defaults.getBool(key, !byDefault), byDefault) << option;
    options.push_back(option);
  }
  options.push_back(scene_.string());
  const ImportArgs flipped = printedSettings(options);
  for (const auto& [key, option, byDefault] : switches) EXPECT_EQ(flipped.getBool(key, byDefault), !byDefault) << option;
  // Nothing the launcher has no option for is sent.
  EXPECT_FALSE(defaults.has(FRAME));
  EXPECT_FALSE(defaults.has(EXPERIMENTAL));
  EXPECT_EQ(defaults.entries().size(), 11u);
}

TEST_F(LauncherTest, SettingsFromTheCommandLineInEachSpelling) {
  const fs::path dotted = box_.write("v1.2/ship.final.ma", ""), bare = box_.write("v1.2/noextension", "");
  const fs::path spaced = box_.write("my scenes/-odd name.ma", "");
  const std::pair<std::vector<std::string>, std::map<int, std::string>> cases[] = {
      // The default output replaces only the file name's last extension.
      {{scene_.string()},
       {{MAJOR_VERSION, "6"}, {MINOR_VERSION, "2"}, {IMPORT_FILENAME, scene_.string()}, {LOGLEVEL, "INFO"},
        {OUTPUT_FILENAME, (root_ / "scenes" / "cube.dal").string()}}},
      {{dotted.string()}, {{OUTPUT_FILENAME, (root_ / "v1.2" / "ship.final.dal").string()}}},
      {{bare.string()}, {{OUTPUT_FILENAME, (root_ / "v1.2" / "noextension.dal").string()}}},
      {{scene_.string(), "-o", "out/a.dal"}, {{OUTPUT_FILENAME, "out/a.dal"}}},
      {{"--output=b.dal", scene_.string()}, {{OUTPUT_FILENAME, "b.dal"}}},
      {{"--output", "-", scene_.string()}, {{OUTPUT_FILENAME, "-"}}},
      {{scene_.string(), "--log-level", "debug3"}, {{LOGLEVEL, "DEBUG3"}}},
      {{scene_.string(), "--log-level=ERROR"}, {{LOGLEVEL, "ERROR"}}},
      // Names with blanks and dashes arrive whole.
      {{"-o", "my out.dal", spaced.string()}, {{IMPORT_FILENAME, spaced.string()}, {OUTPUT_FILENAME, "my out.dal"}}},
  };
  for (const auto& [options, settings] : cases) {
    const ImportArgs args = printedSettings(options);
    for (const auto& [key, value] : settings)
      EXPECT_EQ(args.getString(key, "?"), value) << key << " from " << ::testing::PrintToString(options);
  }
  // A scene whose name starts with a dash needs "--" before it.
  cwd_ = spaced.parent_path().string();
  const ImportArgs args = printedSettings({"--", "-odd name.ma"});
  EXPECT_EQ(args.getString(IMPORT_FILENAME, "?"), "-odd name.ma");
  EXPECT_EQ(args.getString(OUTPUT_FILENAME, "?"), "-odd name.dal");
  EXPECT_EQ(launch({"-odd name.ma"}).status, 2);
}

TEST_F(LauncherTest, HelpExplainsEveryOptionAndWhereTheLogIs) {
  const testproc::Outcome outcome = launch({"--help"});
  EXPECT_EQ(outcome.status, 0);
  for (const char* option : {"-o, --output", "-j, --jobs", "--log-level", "--readable", "--include-nurbs",
                             "--no-tessellate", "--split-layers", "--unique-materials", "--no-collapse-hierarchy",
                             "--print-args", "\n  0  ", "\n  1  ", "\n  2  ", "\n  3  "})
    EXPECT_TRUE(contains(outcome.out, option)) << option;
  // The log's place follows $TMPDIR, which has no trailing slash here: the
  // folder and the name are joined by one.
  EXPECT_TRUE(contains(outcome.out, "\n  " + (root_ / "tmp" / "sceneapi.log").string() + "\n")) << outcome.out;
}

// On Windows a program gets one command line and splits it again itself:
// blanks, quotes and the backslashes before a quote each have their rule, and
// an empty argument is easily lost.
TEST_F(LauncherTest, ArgumentsArriveWholeWhateverTheirBlanksQuotesAndBackslashes) {
  const std::string awkward[] = {"two  words.dal", "say \"hi\".dal", "\\\"quoted\\\".dal", "a\\\\\"b c.dal",
                                 "tab\there.dal",  "\"",              "ends in a backslash\\",  "ends in two \\\\"};
  for (const std::string& output : awkward) {
    const ImportArgs args = printedSettings({scene_.string(), "-o", output});
    // A name that ends in a folder separator is a folder to write into.
    const std::string expected = fs::path(output).has_filename() ? output : output + "cube.dal";
    EXPECT_EQ(args.getString(OUTPUT_FILENAME, "?"), expected) << output;
  }
  const testproc::Outcome outcome = launch({scene_.string(), "-o", ""});
  EXPECT_EQ(outcome.status, 2);
  EXPECT_TRUE(contains(outcome.err, "the output file name is empty")) << outcome.err;
}

TEST_F(LauncherTest, CommandLineMistakesExitWithTwoAndSayWhat) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{scene_.string(), "--frobnicate"}, "unknown option '--frobnicate'"},
      {{"-x", scene_.string()}, "unknown option '-x'"},
      {{}, "no scene file given"},
      {{scene_.string(), "-o"}, "option -o needs a value"},
      {{scene_.string(), "--log-level", "LOUD"}, "unknown log level 'LOUD'"},
      {{scene_.string(), "-j", "0"}, "number of jobs must be a whole number from 1"},
      {{scene_.string(), "-j2x"}, "(got '2x')"},
      {{scene_.string(), "--jobs="}, "(got '')"},
      // Several scenes go to a folder, never all to one file.
      {{scene_.string(), "-o", "-", (root_ / "scenes").string()}, "cannot all be written to standard output"},
      {{scene_.string(), box_.write("b.ma", "").string(), "-o", "one.dal"}, "-o names a folder"},
      {{(root_ / "empty folder").string() + "/"}, "no scene file given"},
      // Scenes of one name from two folders would share one output.
      {{scene_.string(), box_.write("other/cube.ma", "").string(), "-o", "out/"}, "would both be written to"},
      {{box_.write("v.dal", "").string()}, "would be overwritten by its own conversion"},
  };
  fs::create_directories(root_ / "empty folder");
  for (const auto& [args, says] : cases) {
    const testproc::Outcome outcome = launch(args);
    EXPECT_EQ(outcome.status, 2) << says;
    EXPECT_TRUE(contains(outcome.err, says)) << outcome.err;
    EXPECT_EQ(outcome.out, "") << says;
  }
}

// --- Starting the real importer ---------------------------------------------

// A 12-triangle cube whose history holds a node the evaluation passes over.
const std::string kLidHistory =
    "createNode mesh -n \"lidShape\" -p \"lid\";\ncreateNode polyCube -n \"pc\";\n"
    "createNode polyRemesh -n \"bev\";\nconnectAttr \"pc.out\" \"bev.ip\";\nconnectAttr \"bev.out\" \"lidShape.i\";\n"
    "connectAttr \"lidShape.iog\" \":initialShadingGroup.dsm\" -na;\n";

// Triangles of every triangle geometry a scene file holds, counted from the
// file itself.
size_t trianglesIn(const std::string& sceneText) {
  size_t triangles = 0;
  const std::function<void(const daltext::Block&)> walk = [&](const daltext::Block& block) {
    if (block.kind() == "geometry" && block.name() == "triangles") triangles += block.numbers("triangles").size() / 3;
    for (const daltext::Block& child : block.children) walk(child);
  };
  walk(daltext::parse(sceneText));
  return triangles;
}

class LauncherWithImporter : public LauncherTest {
 protected:
  void SetUp() override {
    // Line 3 is a command the reader does not know: a warning, not a failure.
    box_.write("scenes/cube.ma", "//Maya ASCII 2020 scene\nrequires maya \"2020\";\nfrobnicate -now;\n"
                                 "createNode transform -n \"box\";\n\tsetAttr \".t\" -type \"double3\" 1 2 3 ;\n"
                                 "createNode transform -n \"lid\" -p \"box\";\n" + kLidHistory);
    cwd_ = root_.string();
  }

  const std::map<std::string, std::string> env_ = {{"GLOWBOX_MAYAIMPORT", kImporter}};
};

TEST_F(LauncherWithImporter, TheImporterRunsWithExactlyTheSettingsPrintedAndItsWarningsAreShown) {
  // A dash prints the scene on standard output.
  testproc::Outcome outcome = launch({scene_.string(), "-o", "-"}, env_);
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out.rfind("//---vantor:dal:7---\n", 0), 0u) << outcome.out.substr(0, 100);
  EXPECT_TRUE(contains(outcome.out, "\ngroup \"cube\" {"));
  EXPECT_FALSE(contains(outcome.err, "scene written")) << outcome.err;
  EXPECT_FALSE(fs::exists(root_ / "scenes" / "cube.dal"));

  const std::vector<std::string> options = {scene_.string(), "--split-layers", "--log-level", "DEBUG4", "-o", "x.dal"};
  const ImportArgs expected = printedSettings(options);
  const size_t logBefore = box_.log().size();
  outcome = launch(options, env_);
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out, "");
  // The importer logs the settings it decoded, in the same form.
  EXPECT_TRUE(contains(box_.log(), "INFO:  cnf parsed to:\n" + ::testing::PrintToString(expected))) << box_.log();
  // The report starts with the outcome, after what the importer said itself.
  EXPECT_EQ(outcome.err.find("glowbox-import: "), outcome.err.find("glowbox-import: converted " + scene_.string() + ": "))
      << outcome.err;
  const std::string written = testproc::slurp(root_ / "x.dal");
  EXPECT_EQ(written.rfind("//---vantor:dal:7---\n", 0), 0u);
  for (const std::string& shown : {"\nglowbox-import: log: " + box_.logPath().string() + "\n",
                                   "\nglowbox-import: scene written to x.dal (" + std::to_string(written.size()) + " bytes)\n"})
    EXPECT_TRUE(contains(outcome.err, shown)) << shown << " in\n" << outcome.err;

  // The warnings by kind: every WARNING record of the run is counted once,
  // and each kind's example is one of them, its folder left out.
  std::vector<std::string> warnings;
  for (const std::string& record : importer_test::recordsWith(box_.log().substr(logBefore), "WARNING", ""))
    warnings.push_back(record.substr(record.find("WARNING:  ") + 10));
  const std::regex kindLine(R"(\n +(\d+)  ([a-z]+(?: [a-z]+)*)  +(\S[^\n]*))");
  std::map<std::string, std::string> examples;
  size_t counted = 0;
  for (std::sregex_iterator it(outcome.err.begin(), outcome.err.end(), kindLine), end; it != end; ++it) {
    counted += std::stoul((*it)[1]);
    examples[(*it)[2]] = (*it)[3];
  }
  EXPECT_EQ(counted, warnings.size()) << outcome.err;
  // Line 3 is an unknown command, line 9 an unknown node type whose mesh is
  // then built without it.
  EXPECT_EQ(examples["parts of the file skipped"], "cube.ma:3: unknown command 'frobnicate' skipped") << outcome.err;
  EXPECT_TRUE(contains(examples["history not evaluated"], "cube.ma: mesh lidShape: node type polyRemesh")) << outcome.err;
  for (const auto& [kind, example] : examples) {
    const std::string shown = example.substr(0, example.find("..."));
    EXPECT_TRUE(std::any_of(warnings.begin(), warnings.end(), [&](const std::string& w) { return contains(w, shown); }))
        << kind << ": " << example;
  }
}

TEST_F(LauncherWithImporter, FailureShowsTheLastErrorOfThisRunOnly) {
  // An earlier run's complaints are not this run's.
  box_.write("tmp/sceneapi.log", "old.cpp:1 - 10:00:00.000 ERROR:  stale error\n");
  const fs::path output = root_ / "no such folder" / "x.dal";
  const testproc::Outcome outcome = launch({scene_.string(), "-o", output.string()}, env_);
  EXPECT_EQ(outcome.status, 1);
  for (const std::string& shown :
       {std::string("exit status 1"), std::string("last ERROR:   main.cpp:"),
        "ERROR:  could not open file: \"" + output.string() + "\""})
    EXPECT_TRUE(contains(outcome.err, shown)) << shown << " in\n" << outcome.err;
  EXPECT_FALSE(contains(outcome.err, "stale error")) << outcome.err;
  EXPECT_FALSE(contains(outcome.err, "scene written")) << outcome.err;
  EXPECT_EQ(outcome.out, "");
}

TEST_F(LauncherWithImporter, TheDemoSceneReportCountsWhatTheWrittenFileHolds) {
  const std::string demo = std::string(GLOWBOX_SOURCE_DIR) + "/examples/demo_scene.ma";
  const testproc::Outcome outcome = launch({demo, "-o", "demo.dal"}, env_);
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  const std::string written = testproc::slurp(root_ / "demo.dal");
  const daltext::Block scene = daltext::parse(written);
  const size_t triangles = trianglesIn(written);
  ASSERT_GT(triangles, 0u);
  std::vector<std::string> missingTextures;
  for (const daltext::Block& material : scene.children) {
    if (material.header.size() < 2 || material.header[1] != "material") continue;
    const std::function<void(const daltext::Block&)> walk = [&](const daltext::Block& block) {
      const std::string texture = block.word("texture");
      if (!texture.empty() && !fs::exists(root_ / texture)) missingTextures.push_back(texture);
      for (const daltext::Block& child : block.children) walk(child);
    };
    walk(material);
  }
  ASSERT_FALSE(missingTextures.empty()) << "the demo names a texture it does not ship";

  // The first line is the outcome, with the triangles; the table and the
  // warnings agree with the file.
  EXPECT_EQ(outcome.err.rfind("glowbox-import: converted " + demo + ": " + std::to_string(triangles) + " triangles\n", 0),
            0u) << outcome.err;
  // The table's first number on a row, thousands separators and all.
  const auto rowNumber = [&](const std::string& row) -> long {
    const std::regex pattern("\n  " + row + " +([0-9,]+)");
    std::smatch match;
    if (!std::regex_search(outcome.err, match, pattern)) return -1;
    std::string digits = match[1];
    digits.erase(std::remove(digits.begin(), digits.end(), ','), digits.end());
    return std::stol(digits);
  };
  EXPECT_EQ(rowNumber("triangles"), static_cast<long>(triangles)) << outcome.err;
  EXPECT_EQ(rowNumber("materials"), static_cast<long>(countOf(written, "#define material \""))) << outcome.err;
  EXPECT_EQ(rowNumber("cameras"), static_cast<long>(scene.childrenOfKind("camera").size())) << outcome.err;
  EXPECT_TRUE(std::regex_search(outcome.err, std::regex("\n +" + std::to_string(missingTextures.size()) +
                                                          "  texture files not found +" + missingTextures.front() + "\n")))
      << outcome.err;
  EXPECT_TRUE(importer_test::recordsWith(box_.log(), "WARNING", "").empty()) << box_.log();
}

// Scenes the importer cannot open leave a scene file of the header alone and
// an importer that ends normally: the launcher says no scene came of it, and
// why, whatever the log level and wherever the scene goes.
TEST_F(LauncherWithImporter, ASceneThatCannotBeOpenedIsReportedAsNotConverted) {
  const fs::path empty = box_.write("in/empty.ma", ""), text = box_.write("in/notes.ma", "shopping list\n");
  // An IFF file of another program: the right container, not a Maya form.
  const char kOtherIff[] = "FOR4\0\0\0\x10" "XXXXabcdabcdabcd";
  const fs::path otherBinary = box_.write("in/other.mb", std::string(kOtherIff, sizeof kOtherIff - 1));
  // Scene, extra options, the reason given.
  const std::tuple<std::string, std::vector<std::string>, std::string> cases[] = {
      {(root_ / "in" / "missing.ma").string(), {}, "scene file not found: " + (root_ / "in" / "missing.ma").string()},
      // The importer names the scene as Maya does, with forward slashes.
      {empty.string(), {}, "cannot read \"" + empty.generic_string() + "\": file is empty"},
      {empty.string(), {"--log-level", "ERROR"}, "file is empty"},
      {text.string(), {"-o", "-"}, "not a Maya ASCII file"},
      {otherBinary.string(), {}, "Maya Binary scenes are not read yet"},
  };
  for (const auto& [scene, options, reason] : cases) {
    SCOPED_TRACE(scene + " " + ::testing::PrintToString(options));
    std::vector<std::string> args = options;
    args.insert(args.begin(), scene);
    const testproc::Outcome outcome = launch(args, env_);
    EXPECT_EQ(outcome.status, 3);
    // The launcher's first line, after whatever the importer said itself.
    const size_t first = outcome.err.find("glowbox-import: ");
    ASSERT_NE(first, std::string::npos) << outcome.err;
    const std::string line = outcome.err.substr(first, outcome.err.find('\n', first) - first);
    EXPECT_EQ(line.rfind("glowbox-import: no scene was converted: ", 0), 0u) << outcome.err;
    EXPECT_EQ(line.substr(line.size() - std::min(line.size(), reason.size())), reason) << outcome.err;
    EXPECT_FALSE(contains(outcome.err, "scene written")) << outcome.err;
    EXPECT_FALSE(contains(outcome.err, "glowbox-import: converted")) << outcome.err;
  }
}

TEST_F(LauncherWithImporter, SeveralScenesAndAFolderAreEachConvertedAndTotalled) {
  const std::string one = box_.write("one/single.ma", "//Maya ASCII 2020 scene\ncreateNode transform -n \"lid\";\n" +
                                                         kLidHistory).string();
  const std::string cubeScene = testproc::slurp(scene_);
  for (const char* name : {"many/a.ma", "many/b.MA", "many/sub/deeper.ma"}) box_.write(name, cubeScene);
  box_.write("many/readme.txt", "not a scene\n");
  const testproc::Outcome outcome =
      launch({scene_.string(), one, (root_ / "many").string(), "-o", "out/", "-j", "2", "--readable"}, env_);
  ASSERT_EQ(outcome.status, 0) << outcome.err;

  // The folder's scenes by name, in that order, not its subfolders nor other files.
  const std::pair<std::string, const char*> converted[] = {{scene_.string(), "cube.dal"},
                                                           {one, "single.dal"},
                                                           {(root_ / "many" / "a.ma").string(), "a.dal"},
                                                           {(root_ / "many" / "b.MA").string(), "b.dal"}};
  size_t triangles = 0, previousLine = 0;
  for (const auto& [scene, output] : converted) {
    ASSERT_TRUE(fs::exists(root_ / "out" / output)) << output << "\n" << outcome.err;
    const size_t own = trianglesIn(testproc::slurp(root_ / "out" / output));
    EXPECT_EQ(own, 12u) << output;
    triangles += own;
    const size_t line = outcome.err.find("\n  converted      " + scene + " -> out/" + output + ": " +
                                         std::to_string(own) + " triangles\n");
    EXPECT_NE(line, std::string::npos) << scene << " in\n" << outcome.err;
    EXPECT_GT(line, previousLine) << scene;
    previousLine = line;
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(root_ / "out"), fs::directory_iterator()), 4);
  const std::string last = outcome.err.substr(outcome.err.rfind('\n', outcome.err.size() - 2) + 1);
  EXPECT_EQ(last, "total: 4 scenes, 4 converted, 0 not converted, " + std::to_string(triangles) + " triangles\n")
      << outcome.err;
}

TEST_F(LauncherWithImporter, ASceneThatFailsAmongGoodOnesLeavesTheOthersConverted) {
  const fs::path broken = box_.write("scenes/broken.ma", "");
  const fs::path good = box_.write("scenes/good.ma", testproc::slurp(scene_));
  const testproc::Outcome outcome =
      launch({broken.string(), scene_.string(), (root_ / "scenes" / "gone.ma").string(), good.string(), "-j", "2"}, env_);
  EXPECT_EQ(outcome.status, 3) << outcome.err;
  // Outputs beside their scenes when no -o is given.
  for (const char* output : {"cube.dal", "good.dal"})
    EXPECT_EQ(trianglesIn(testproc::slurp(root_ / "scenes" / output)), 12u) << output;
  for (const std::string& line :
       {"\n  not converted  " + broken.string() + ": cannot read \"" + broken.generic_string() + "\": file is empty\n",
        "\n  converted      " + scene_.string() + " -> " + (root_ / "scenes" / "cube.dal").string() + ": 12 triangles\n",
        "\n  not converted  " + (root_ / "scenes" / "gone.ma").string() + ": scene file not found",
        "\n  converted      " + good.string() + " -> " + (root_ / "scenes" / "good.dal").string() + ": 12 triangles\n",
        std::string("\ntotal: 4 scenes, 2 converted, 2 not converted, 24 triangles\n"),
        // What the importer says on its standard error is told apart by the scene's name.
        broken.string() + ": could not open Maya file: "})
    EXPECT_TRUE(contains(outcome.err, line)) << line << " in\n" << outcome.err;
}

TEST(LauncherProgress, TheLastCompleteMarkIsFoundHoweverTheBytesArrive) {
  const std::string bin(300, '\x07');
  // Bytes read so far, the mark expected (label, fraction) or none.
  const std::pair<std::string, std::optional<std::pair<std::string, double>>> cases[] = {
      {"", std::nullopt},
      {"version 6\n\ngroup \"a\" {\n}\n", std::nullopt},
      {"progress \"boxShape\" 0.091\n\nprogress \"crateShape\" 0.182\n\n", {{"crateShape", 0.182}}},
      // The newest mark is still being written: its number may be cut short.
      {"progress \"a\" 0.25\n\nprogress \"b\" 0.5", {{"a", 0.25}}},
      {"progress \"a\" 0.25\n\nprogr", {{"a", 0.25}}},
      // Indented in the readable form; names the writer cannot quote in hex.
      {"  progress \"in \tside\" 0.300\r\n", {{"in \tside", 0.3}}},
      {"progress xX6122620a63 1.000\n", {{"a\"b\nc", 1.0}}},
      // Not marks: another statement's name or value, a broken number or name.
      {"progress \"a\" 0.25\ngroup \"progress \\\" 0.9\n\"progress\" 0.75\n", {{"a", 0.25}}},
      {"progress \"a\" 0.25\nprogress \"b\" 0.5x\nprogress \"c\" \nprogress \"d 0.6\nprogress xX6g 0.7\n", {{"a", 0.25}}},
      {"progress \"a\" 0.25\nprogress \"b\"0.5\nprogressive \"c\" 0.6\n", {{"a", 0.25}}},
      // Fractions outside 0..1 are held to it; binary blocks do not confuse it.
      {"progress \"over\" 1.5\n[" + bin + "]\n", {{"over", 1.0}}},
      {"progress \"a\" 0.2\n[" + bin + "\nprogress \"fake\" 0.9 junk" + bin + "]\n", {{"a", 0.2}}},
  };
  for (const auto& [bytes, expected] : cases) {
    SCOPED_TRACE(::testing::PrintToString(bytes.substr(0, 80)));
    const std::optional<ProgressMark> whole = lastProgressMark(bytes);
    ASSERT_EQ(whole.has_value(), expected.has_value());
    if (whole) {
      EXPECT_EQ(whole->label, expected->first);
      EXPECT_DOUBLE_EQ(whole->fraction, expected->second);
    }
    // Read in two pieces, split anywhere, the file gives the same mark.
    for (size_t cut = 0; cut <= bytes.size(); ++cut) {
      ProgressScanner scanner;
      scanner.feed(std::string_view(bytes).substr(0, cut));
      scanner.feed(std::string_view(bytes).substr(cut));
      ASSERT_EQ(scanner.last().has_value(), expected.has_value()) << "cut at " << cut;
      if (expected) {
        EXPECT_EQ(scanner.last()->label, expected->first) << "cut at " << cut;
      }
    }
  }
  // A line too long for a mark is let go as it comes; its end, which looks
  // like a mark, is no mark, and the next line is read again.
  ProgressScanner scanner;
  scanner.feed("progress \"a\" 0.1\n");
  for (int i = 0; i < 10; ++i) scanner.feed(std::string(50000, 'x'));
  scanner.feed("progress \"end of a long line\" 0.9\n");
  ASSERT_TRUE(scanner.last().has_value());
  EXPECT_EQ(scanner.last()->label, "a");
  scanner.feed("progress \"b\" 0.4\n");
  EXPECT_EQ(scanner.last()->label, "b");
}

TEST_F(LauncherWithImporter, FindsTheImporterBesideItselfThenOnPath) {
  const std::string launcherFile = fs::path(kLauncher).filename().string();
  // Copies of the launcher: one beside the importer, one alone.
  for (const char* dir : {"beside", "alone"}) {
    fs::create_directories(root_ / dir);
    fs::copy_file(kLauncher, root_ / dir / launcherFile);
  }
#ifdef _WIN32
  // Symbolic links take a privilege on Windows; a copy is found the same way.
  fs::copy_file(kImporter, root_ / "beside" / fs::path(kImporter).filename());
#else
  fs::create_symlink(kImporter, root_ / "beside" / "mayaimport");
#endif
  const std::string nowhere = (root_ / "nothing-here").string();
  // Launcher folder, PATH, exit status, message.
  const std::tuple<const char*, std::string, int, const char*> cases[] = {
      {"beside", nowhere, 0, "scene written"},
      {"alone", nowhere + importer_test::kPathListSeparator + fs::path(kImporter).parent_path().string(), 0,
       "scene written"},
      {"alone", nowhere, 1, "cannot find mayaimport"},  // a launch failure, not a usage error
  };
  for (const auto& [dir, path, status, says] : cases) {
    const testproc::Outcome outcome = launch({scene_.string()}, {{"PATH", path}}, (root_ / dir / launcherFile).string());
    EXPECT_EQ(outcome.status, status) << dir << " " << path << "\n" << outcome.err;
    EXPECT_TRUE(contains(outcome.err, says)) << outcome.err;
  }
  // One that is named but cannot run is a launch failure too, not an
  // importer's exit status.
  const testproc::Outcome outcome = launch({scene_.string()}, {{"GLOWBOX_MAYAIMPORT", box_.write("not-a-program", "").string()}});
  EXPECT_EQ(outcome.status, 1) << outcome.err;
#ifdef _WIN32
  // The system's words differ between its versions; they name the file.
  const std::string why = (root_ / "not-a-program").string();
#else
  const std::string why = "Permission denied";
#endif
  const std::string said = "no scene was converted: the importer could not be started: ";
  ASSERT_TRUE(contains(outcome.err, said)) << outcome.err;
  const std::string reason = outcome.err.substr(outcome.err.find(said) + said.size());
  EXPECT_TRUE(contains(reason.substr(0, reason.find('\n')), why)) << outcome.err;
}

TEST_F(LauncherWithImporter, ScenesNamedInAnyScriptAndWithBlanksConvert) {
  // The importer's own name starts the command line it is given: in a folder
  // with a blank it must still arrive as one argument.
  const fs::path importer = root_ / "the importer" / fs::path(kImporter).filename();
  fs::create_directories(importer.parent_path());
  fs::copy_file(kImporter, importer);
  const fs::path scene = box_.write("scènes ß/日本語 scène.ma", testproc::slurp(scene_));
  const std::string name = testproc::utf8Of(scene);
  const testproc::Outcome outcome = launch({name}, {{"GLOWBOX_MAYAIMPORT", testproc::utf8Of(importer)}});
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.err.rfind("glowbox-import: converted " + name + ": 12 triangles\n", 0), 0u) << outcome.err;
  const fs::path output = scene.parent_path() / testproc::pathOf("日本語 scène.dal");
  EXPECT_TRUE(contains(outcome.err, "scene written to " + testproc::utf8Of(output) + " (")) << outcome.err;
  EXPECT_EQ(trianglesIn(testproc::slurp(output)), 12u);
}

// --- Failure modes the real importer cannot be made to show ------------------
// STAND-IN IMPORTER: the real mayaimport logs every failure in one-line
// records and never dies by a signal on any input, so this test runs a
// script in its place to check how the launcher copes when an importer does.

// Appends the records in $FAKE_LOG_LINES to the log and ends as $FAKE_END
// says: an exit status, or "kill".
#ifdef _WIN32
// CreateProcessW runs a .cmd file with cmd.exe. An unhandled exception's
// status (an access violation's here) is what stands for a signal.
constexpr const char* kStandInName = "fake/mayaimport.cmd";
constexpr const char* kStandInImporter =
    "@echo off\r\n"
    "if not \"%FAKE_LOG_LINES%\"==\"\" type \"%FAKE_LOG_LINES%\" >> \"%TMP%\\sceneapi.log\"\r\n"
    "if \"%FAKE_END%\"==\"kill\" exit /b -1073741819\r\n"
    "exit /b %FAKE_END%\r\n";
const int kKilledStatus = static_cast<int>(0xC0000005u);
constexpr const char* kKilledSays = "ended by exception 0xC0000005";
#else
constexpr const char* kStandInName = "fake/mayaimport";
constexpr const char* kStandInImporter = R"(#!/bin/sh
if [ -n "$FAKE_LOG_LINES" ]; then cat "$FAKE_LOG_LINES" >> "$TMPDIR/sceneapi.log"; fi
if [ "$FAKE_END" = kill ]; then kill -9 $$; fi
exit "${FAKE_END:-0}"
)";
const int kKilledStatus = 128 + 9;
constexpr const char* kKilledSays = "signal 9";
#endif

TEST_F(LauncherTest, FailuresOfAStandInImporterAreReported) {
  const fs::path importer = box_.write(kStandInName, kStandInImporter);
  fs::permissions(importer, fs::perms::owner_all, fs::perm_options::replace);
  const fs::path records = box_.write("loglines",
                                      "main.cpp:41 - 12:00:00.001 WARNING:  first warning\n"
                                      "main.cpp:41 - 12:00:00.002 ERROR:  settings were:\nMAJOR_VERSION: 5\n"
                                      "LOGLEVEL: INFO\nmain.cpp:43 - 12:00:00.005 DEBUG:  after\n");
  // How the importer ends, whether it logs the records, the launcher's status and what it shows.
  const std::tuple<const char*, bool, int, std::vector<std::string>> cases[] = {
      // A record spanning lines is shown whole; later lower-level records are not.
      {"1", true, 1,
       {"settings were:\nMAJOR_VERSION: 5\nLOGLEVEL: INFO",
        "last WARNING: main.cpp:41 - 12:00:00.001 WARNING:  first warning"}},
      {"3", false, 3, {"exit status 3", "holds no ERROR or WARNING record"}},
      {"kill", false, kKilledStatus, {kKilledSays}},
  };
  for (const auto& [end, withRecords, status, shownAll] : cases) {
    SCOPED_TRACE(end);
    fs::remove(box_.logPath());
    const testproc::Outcome outcome = launch({scene_.string()}, {{"GLOWBOX_MAYAIMPORT", importer.string()},
                                                                 {"FAKE_END", end},
                                                                 {"FAKE_LOG_LINES", withRecords ? records.string() : ""}});
    EXPECT_EQ(outcome.status, status);
    for (const std::string& shown : shownAll) EXPECT_TRUE(contains(outcome.err, shown)) << shown << " in\n" << outcome.err;
    EXPECT_FALSE(contains(outcome.err, "DEBUG:  after")) << outcome.err;
  }
}

}  // namespace
