// glowbox-import as a person runs it: options, the settings it encodes, its
// errors, and how it starts the importer and reports the importer's log.

#include "tests/importer/ImporterRun.h"

#include <tuple>

namespace {

using importer_test::contains;
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
  for (const char* option : {"-o, --output", "--log-level", "--readable", "--include-nurbs", "--no-tessellate",
                             "--split-layers", "--unique-materials", "--no-collapse-hierarchy", "--print-args"})
    EXPECT_TRUE(contains(outcome.out, option)) << option;
  // The log's place follows $TMPDIR.
  EXPECT_TRUE(contains(outcome.out, "\n  " + (root_ / "tmp").string() + "/")) << outcome.out;
  EXPECT_TRUE(contains(outcome.out, "/sceneapi.log\n")) << outcome.out;
}

TEST_F(LauncherTest, CommandLineMistakesExitWithTwoAndSayWhat) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{scene_.string(), "--frobnicate"}, "unknown option '--frobnicate'"},
      {{"-x", scene_.string()}, "unknown option '-x'"},
      {{}, "no scene file given"},
      {{scene_.string(), "-o"}, "option -o needs a value"},
      {{scene_.string(), "--log-level", "LOUD"}, "unknown log level 'LOUD'"},
      {{scene_.string(), scene_.string()}, "only one scene file"},
      {{(root_ / "missing.ma").string()}, "scene file not found: " + (root_ / "missing.ma").string()},
      {{(root_ / "scenes").string()}, "not a regular file"},
  };
  for (const auto& [args, says] : cases) {
    const testproc::Outcome outcome = launch(args);
    EXPECT_EQ(outcome.status, 2) << says;
    EXPECT_TRUE(contains(outcome.err, says)) << outcome.err;
    EXPECT_EQ(outcome.out, "") << says;
  }
}

// --- Starting the real importer ---------------------------------------------

class LauncherWithImporter : public LauncherTest {
 protected:
  void SetUp() override {
    // Line 3 is a command the reader does not know: a warning, not a failure.
    box_.write("scenes/cube.ma", "//Maya ASCII 2020 scene\nrequires maya \"2020\";\nfrobnicate -now;\n"
                                 "createNode transform -n \"box\";\n\tsetAttr \".t\" -type \"double3\" 1 2 3 ;\n"
                                 "createNode transform -n \"lid\" -p \"box\";\n");
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
  outcome = launch(options, env_);
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out, "");
  // The importer logs the settings it decoded, in the same form.
  EXPECT_TRUE(contains(box_.log(), "INFO:  cnf parsed to:\n" + ::testing::PrintToString(expected))) << box_.log();
  for (const char* shown : {"scene written to x.dal", "last WARNING: ", "cube.ma:3: "})
    EXPECT_TRUE(contains(outcome.err, shown)) << shown << " in\n" << outcome.err;
  EXPECT_FALSE(contains(outcome.err, "last ERROR")) << outcome.err;
  EXPECT_EQ(testproc::slurp(root_ / "x.dal").rfind("//---vantor:dal:7---\n", 0), 0u);

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

TEST_F(LauncherWithImporter, FindsTheImporterBesideItselfThenOnPath) {
  // Copies of the launcher: one beside the importer, one alone.
  for (const char* dir : {"beside", "alone"}) {
    fs::create_directories(root_ / dir);
    fs::copy_file(kLauncher, root_ / dir / "glowbox-import");
  }
  fs::create_symlink(kImporter, root_ / "beside" / "mayaimport");
  const std::string nowhere = (root_ / "nothing-here").string();
  // Launcher folder, PATH, exit status, message.
  const std::tuple<const char*, std::string, int, const char*> cases[] = {
      {"beside", nowhere, 0, "scene written"},
      {"alone", nowhere + ":" + fs::path(kImporter).parent_path().string(), 0, "scene written"},
      {"alone", nowhere, 1, "cannot find mayaimport"},  // a launch failure, not a usage error
  };
  for (const auto& [dir, path, status, says] : cases) {
    const testproc::Outcome outcome = launch({scene_.string()}, {{"PATH", path}}, (root_ / dir / "glowbox-import").string());
    EXPECT_EQ(outcome.status, status) << dir << " " << path << "\n" << outcome.err;
    EXPECT_TRUE(contains(outcome.err, says)) << outcome.err;
  }
}

// --- Failure modes the real importer cannot be made to show ------------------
// STAND-IN IMPORTER: the real mayaimport logs every failure in one-line
// records and never dies by a signal on any input, so this test runs a shell
// script in its place to check how the launcher copes when an importer does.

// Appends the records in $FAKE_LOG_LINES to the log and ends as $FAKE_END
// says: an exit status, or "kill".
constexpr const char* kStandInImporter = R"(#!/bin/sh
if [ -n "$FAKE_LOG_LINES" ]; then cat "$FAKE_LOG_LINES" >> "$TMPDIR/sceneapi.log"; fi
if [ "$FAKE_END" = kill ]; then kill -9 $$; fi
exit "${FAKE_END:-0}"
)";

TEST_F(LauncherTest, FailuresOfAStandInImporterAreReported) {
  const fs::path importer = box_.write("fake/mayaimport", kStandInImporter);
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
      {"kill", false, 128 + 9, {"signal 9"}},
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
