// glowbox-import as a person runs it: options, the settings it encodes, its
// errors, and how it starts the importer and reports the importer's log.

#include "common/ImportArgs.h"
#include "common/Log.h"
#include "tests/importer/ProcessRunner.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

namespace fs = std::filesystem;

namespace {

const std::string kLauncher = std::string(GLOWBOX_BIN_DIR) + "/glowbox-import";

void writeFile(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

void makeExecutable(const fs::path& path) {
  fs::permissions(path, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec,
                  fs::perm_options::replace);
}

// The lines between two headings of --print-args output, without their indent.
std::vector<std::string> section(const std::string& text, const std::string& from, const std::string& to) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  bool inside = false;
  while (std::getline(in, line)) {
    if (line == from) {
      inside = true;
    } else if (line == to) {
      break;
    } else if (inside) {
      lines.push_back(line.size() > 2 && line.compare(0, 2, "  ") == 0 ? line.substr(2) : line);
    }
  }
  return lines;
}

ImportArgs decodeArguments(const std::vector<std::string>& encoded) {
  std::vector<char*> argv{const_cast<char*>("mayaimport")};
  for (const std::string& arg : encoded) argv.push_back(const_cast<char*>(arg.c_str()));
  return ImportArgs(static_cast<int>(argv.size()), argv.data());
}

std::string dump(const ImportArgs& args) {
  std::ostringstream out;
  out << args;
  return out.str();
}

// Every test gets a scratch folder, a private log location and a scene file.
class LauncherTest : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"TMPDIR", "VANTOR_SYSCONFDIR", "XDG_CONFIG_HOME", "HOME", "GLOWBOX_MAYAIMPORT"}) {
      const char* value = std::getenv(name);
      savedEnv_[name] = value ? std::optional<std::string>(value) : std::nullopt;
    }
    std::string pattern = (fs::temp_directory_path() / "glowbox-launch-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    fs::create_directories(root_ / "tmp");
    ::setenv("TMPDIR", (root_ / "tmp").c_str(), 1);
    ::setenv("VANTOR_SYSCONFDIR", (root_ / "etc").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
    ::setenv("HOME", (root_ / "home").c_str(), 1);
    ::unsetenv("GLOWBOX_MAYAIMPORT");
    scene_ = root_ / "scenes" / "cube.ma";
    writeFile(scene_, "//Maya ASCII 2011 scene\n");
  }

  void TearDown() override {
    for (const auto& [name, value] : savedEnv_) {
      if (value)
        ::setenv(name.c_str(), value->c_str(), 1);
      else
        ::unsetenv(name.c_str());
    }
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }

  testproc::Outcome launch(const std::vector<std::string>& args, const std::map<std::string, std::string>& env = {},
                           const std::string& program = kLauncher) {
    return testproc::run(program, args, env, root_, cwd_);
  }

  // Runs --print-args and decodes the arguments it prints, checking on the
  // way that its own dump agrees with the decoding.
  ImportArgs printedSettings(std::vector<std::string> args) {
    args.insert(args.begin(), "--print-args");
    const testproc::Outcome outcome = launch(args);
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    const std::vector<std::string> encoded = section(outcome.out, "encoded arguments:", "decoded settings:");
    const ImportArgs decoded = decodeArguments(encoded);
    const size_t dumpStart = outcome.out.find("decoded settings:\n");
    EXPECT_NE(dumpStart, std::string::npos) << outcome.out;
    if (dumpStart != std::string::npos) {
      EXPECT_EQ(outcome.out.substr(dumpStart + std::strlen("decoded settings:\n")), dump(decoded));
    }
    return decoded;
  }

  fs::path root_;
  fs::path scene_;
  std::string cwd_;  // the child's working folder; empty: the test's own
  std::map<std::string, std::optional<std::string>> savedEnv_;
};

TEST_F(LauncherTest, DefaultsCarryArgumentVersionSceneOutputAndEverySwitch) {
  const ImportArgs args = printedSettings({scene_.string()});
  EXPECT_EQ(args.getString(MAJOR_VERSION, "?"), "6");
  EXPECT_EQ(args.getString(MINOR_VERSION, "?"), "2");
  EXPECT_EQ(args.getString(IMPORT_FILENAME, "?"), scene_.string());
  EXPECT_EQ(args.getString(OUTPUT_FILENAME, "?"), (root_ / "scenes" / "cube.dal").string());
  EXPECT_EQ(args.getString(LOGLEVEL, "?"), "INFO");
  EXPECT_FALSE(args.getBool(DEBUGSCN, true));
  EXPECT_FALSE(args.getBool(INCLUDE_NURBS, true));
  EXPECT_TRUE(args.getBool(TESSELLATE, false));
  EXPECT_FALSE(args.getBool(SPLIT_LAYERS, true));
  EXPECT_FALSE(args.getBool(UNIQUE_MATERIALS, true));
  EXPECT_TRUE(args.getBool(COLLAPSE_HIERARCHY, false));
  // Nothing the launcher has no option for is sent.
  EXPECT_FALSE(args.has(FRAME));
  EXPECT_FALSE(args.has(EXPERIMENTAL));
  EXPECT_EQ(args.entries().size(), 11u);
}

TEST_F(LauncherTest, EverySwitchTurnsItsSettingOver) {
  const ImportArgs args =
      printedSettings({"--readable", "--include-nurbs", "--no-tessellate", "--split-layers", "--unique-materials",
                       "--no-collapse-hierarchy", scene_.string()});
  EXPECT_TRUE(args.getBool(DEBUGSCN, false));
  EXPECT_TRUE(args.getBool(INCLUDE_NURBS, false));
  EXPECT_FALSE(args.getBool(TESSELLATE, true));
  EXPECT_TRUE(args.getBool(SPLIT_LAYERS, false));
  EXPECT_TRUE(args.getBool(UNIQUE_MATERIALS, false));
  EXPECT_FALSE(args.getBool(COLLAPSE_HIERARCHY, true));
}

TEST_F(LauncherTest, OutputAndLogLevelInEachSpelling) {
  EXPECT_EQ(printedSettings({scene_.string(), "-o", "out/a.dal"}).getString(OUTPUT_FILENAME, "?"), "out/a.dal");
  EXPECT_EQ(printedSettings({"--output=b.dal", scene_.string()}).getString(OUTPUT_FILENAME, "?"), "b.dal");
  EXPECT_EQ(printedSettings({"--output", "-", scene_.string()}).getString(OUTPUT_FILENAME, "?"), "-");
  EXPECT_EQ(printedSettings({scene_.string(), "--log-level", "debug3"}).getString(LOGLEVEL, "?"), "DEBUG3");
  EXPECT_EQ(printedSettings({scene_.string(), "--log-level=ERROR"}).getString(LOGLEVEL, "?"), "ERROR");
}

TEST_F(LauncherTest, DefaultOutputReplacesOnlyTheFileNamesLastExtension) {
  const fs::path dotted = root_ / "v1.2" / "ship.final.ma";
  const fs::path bare = root_ / "v1.2" / "noextension";
  writeFile(dotted, "");
  writeFile(bare, "");
  EXPECT_EQ(printedSettings({dotted.string()}).getString(OUTPUT_FILENAME, "?"), (root_ / "v1.2" / "ship.final.dal").string());
  EXPECT_EQ(printedSettings({bare.string()}).getString(OUTPUT_FILENAME, "?"), (root_ / "v1.2" / "noextension.dal").string());
}

TEST_F(LauncherTest, NamesWithBlanksAndDashesArriveWhole) {
  const fs::path spaced = root_ / "my scenes" / "-odd name.ma";
  writeFile(spaced, "");
  ImportArgs args = printedSettings({"-o", "my out.dal", spaced.string()});
  EXPECT_EQ(args.getString(IMPORT_FILENAME, "?"), spaced.string());
  EXPECT_EQ(args.getString(OUTPUT_FILENAME, "?"), "my out.dal");
  // A scene whose name starts with a dash needs "--" before it.
  cwd_ = spaced.parent_path().string();
  args = printedSettings({"--", "-odd name.ma"});
  EXPECT_EQ(args.getString(IMPORT_FILENAME, "?"), "-odd name.ma");
  EXPECT_EQ(args.getString(OUTPUT_FILENAME, "?"), "-odd name.dal");
  EXPECT_EQ(launch({"-odd name.ma"}).status, 2);
}

TEST_F(LauncherTest, HelpExplainsEveryOptionAndWhereTheLogIs) {
  const testproc::Outcome outcome = launch({"--help"});
  EXPECT_EQ(outcome.status, 0);
  for (const char* option : {"-o, --output", "--log-level", "--readable", "--include-nurbs", "--no-tessellate",
                             "--split-layers", "--unique-materials", "--no-collapse-hierarchy", "--print-args"})
    EXPECT_NE(outcome.out.find(option), std::string::npos) << option;
  const std::string logPath = logFilePath();
  EXPECT_NE(logPath.find((root_ / "tmp").string()), std::string::npos) << logPath;
  EXPECT_NE(outcome.out.find(logPath), std::string::npos) << outcome.out;
}

TEST_F(LauncherTest, CommandLineMistakesExitWithTwoAndSayWhat) {
  struct Case {
    std::vector<std::string> args;
    std::string says;
  };
  const std::vector<Case> cases = {
      {{scene_.string(), "--frobnicate"}, "unknown option '--frobnicate'"},
      {{"-x", scene_.string()}, "unknown option '-x'"},
      {{}, "no scene file given"},
      {{scene_.string(), "-o"}, "option -o needs a value"},
      {{scene_.string(), "--log-level", "LOUD"}, "unknown log level 'LOUD'"},
      {{scene_.string(), scene_.string()}, "only one scene file"},
      {{(root_ / "missing.ma").string()}, "scene file not found: " + (root_ / "missing.ma").string()},
      {{(root_ / "scenes").string()}, "not a regular file"},
  };
  for (const Case& c : cases) {
    const testproc::Outcome outcome = launch(c.args);
    EXPECT_EQ(outcome.status, 2) << c.says;
    EXPECT_NE(outcome.err.find(c.says), std::string::npos) << outcome.err;
    EXPECT_EQ(outcome.out, "") << c.says;
  }
}

// --- Starting the real importer ---------------------------------------------

const std::string kRealImporter = std::string(GLOWBOX_BIN_DIR) + "/mayaimport";

class LauncherWithImporter : public LauncherTest {
 protected:
  void SetUp() override {
    LauncherTest::SetUp();
    writeFile(scene_,
              "//Maya ASCII 2020 scene\nrequires maya \"2020\";\n"
              "createNode transform -n \"box\";\n\tsetAttr \".t\" -type \"double3\" 1 2 3 ;\n"
              "createNode transform -n \"lid\" -p \"box\";\n");
    env_ = {{"GLOWBOX_MAYAIMPORT", kRealImporter}};
    cwd_ = root_.string();
  }

  std::string log() const { return testproc::slurp(root_ / "tmp" / "sceneapi.log"); }

  std::map<std::string, std::string> env_;
};

TEST_F(LauncherWithImporter, TheImporterRunsWithExactlyTheSettingsPrinted) {
  const std::vector<std::string> options = {scene_.string(), "--split-layers", "--log-level", "DEBUG4", "-o", "x.dal"};
  const ImportArgs expected = printedSettings(options);
  const testproc::Outcome outcome = launch(options, env_);
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out, "");
  // The importer logs the settings it decoded, in the same form.
  EXPECT_NE(log().find("INFO:  cnf parsed to:\n" + dump(expected)), std::string::npos) << log();
  EXPECT_NE(outcome.err.find("scene written to x.dal"), std::string::npos) << outcome.err;
  const std::string scene = testproc::slurp(root_ / "x.dal");
  EXPECT_EQ(scene.rfind("//---vantor:dal:7---\n", 0), 0u) << scene.substr(0, 100);
  EXPECT_NE(scene.find("\ngroup \"cube\" {"), std::string::npos);
}

TEST_F(LauncherWithImporter, SwitchesReachTheWrittenScene) {
  ASSERT_EQ(launch({scene_.string()}, env_).status, 0);
  const fs::path written = root_ / "scenes" / "cube.dal";
  std::string scene = testproc::slurp(written);
  EXPECT_NE(scene.find("\ngroup \"lid\" {\nflags 32768\n"), std::string::npos) << scene;

  ASSERT_EQ(launch({"--readable", "--no-collapse-hierarchy", scene_.string()}, env_).status, 0);
  scene = testproc::slurp(written);
  EXPECT_NE(scene.find("\n  group \"lid\" {\n   flags 32769\n"), std::string::npos) << scene;
}

TEST_F(LauncherWithImporter, DashPrintsTheSceneOnStandardOutput) {
  const testproc::Outcome outcome = launch({scene_.string(), "-o", "-"}, env_);
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out.rfind("//---vantor:dal:7---\n", 0), 0u) << outcome.out.substr(0, 100);
  EXPECT_NE(outcome.out.find("\ngroup \"cube\" {"), std::string::npos);
  EXPECT_EQ(outcome.err.find("scene written"), std::string::npos) << outcome.err;
  EXPECT_FALSE(fs::exists(root_ / "scenes" / "cube.dal"));
}

TEST_F(LauncherWithImporter, FailureShowsTheLastErrorOfThisRunOnly) {
  // An earlier run's complaints are not this run's.
  writeFile(root_ / "tmp" / "sceneapi.log", "old.cpp:1 - 10:00:00.000 ERROR:  stale error\n");
  const fs::path output = root_ / "no such folder" / "x.dal";
  const testproc::Outcome outcome = launch({scene_.string(), "-o", output.string()}, env_);
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("exit status 1"), std::string::npos) << outcome.err;
  EXPECT_NE(outcome.err.find("last ERROR:   main.cpp:"), std::string::npos) << outcome.err;
  EXPECT_NE(outcome.err.find("ERROR:  could not open file: \"" + output.string() + "\""), std::string::npos)
      << outcome.err;
  EXPECT_EQ(outcome.err.find("stale error"), std::string::npos) << outcome.err;
  EXPECT_EQ(outcome.err.find("scene written"), std::string::npos) << outcome.err;
  EXPECT_EQ(outcome.out, "");
}

TEST_F(LauncherWithImporter, WarningsOfASuccessfulRunAreShownWithTheirPlace) {
  writeFile(scene_, "//Maya ASCII 2020 scene\nfrobnicate -now;\ncreateNode transform -n \"box\";\n");
  const testproc::Outcome outcome = launch({scene_.string()}, env_);
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_NE(outcome.err.find("last WARNING: "), std::string::npos) << outcome.err;
  EXPECT_NE(outcome.err.find("cube.ma:2: "), std::string::npos) << outcome.err;
  EXPECT_EQ(outcome.err.find("last ERROR"), std::string::npos) << outcome.err;
  EXPECT_NE(outcome.err.find("scene written to"), std::string::npos) << outcome.err;
}

TEST_F(LauncherWithImporter, FindsTheImporterBesideItselfThenOnPath) {
  // Beside the launcher: a copy of the launcher in a folder with the importer.
  const fs::path besideDir = root_ / "beside";
  fs::create_directories(besideDir);
  fs::copy_file(kLauncher, besideDir / "glowbox-import");
  fs::create_symlink(kRealImporter, besideDir / "mayaimport");
  const std::map<std::string, std::string> nowhere = {{"PATH", (root_ / "nothing-here").string()}};
  testproc::Outcome outcome = launch({scene_.string()}, nowhere, (besideDir / "glowbox-import").string());
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_NE(outcome.err.find("scene written"), std::string::npos) << outcome.err;

  // Alone: found on PATH.
  const fs::path aloneDir = root_ / "alone";
  fs::create_directories(aloneDir);
  fs::copy_file(kLauncher, aloneDir / "glowbox-import");
  const std::map<std::string, std::string> onPath = {
      {"PATH", (root_ / "nothing-here").string() + ":" + fs::path(kRealImporter).parent_path().string()}};
  outcome = launch({scene_.string()}, onPath, (aloneDir / "glowbox-import").string());
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_NE(outcome.err.find("scene written"), std::string::npos) << outcome.err;

  // Nowhere: a launch failure, not a usage error.
  outcome = launch({scene_.string()}, nowhere, (aloneDir / "glowbox-import").string());
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("cannot find mayaimport"), std::string::npos) << outcome.err;
}

// --- Failure modes the real importer cannot be made to show ------------------
// STAND-IN IMPORTER: the real mayaimport logs every failure in one-line
// records and never dies by a signal on any input, so these tests run a shell
// script in its place to check how the launcher copes when an importer does.

// Appends the records in $FAKE_LOG_LINES to the log and ends as $FAKE_END
// says: an exit status, or "kill".
constexpr const char* kStandInImporter = R"(#!/bin/sh
if [ -n "$FAKE_LOG_LINES" ]; then cat "$FAKE_LOG_LINES" >> "$TMPDIR/sceneapi.log"; fi
if [ "$FAKE_END" = kill ]; then kill -9 $$; fi
exit "${FAKE_END:-0}"
)";

class LauncherWithStandInImporter : public LauncherTest {
 protected:
  void SetUp() override {
    LauncherTest::SetUp();
    importer_ = root_ / "fake" / "mayaimport";
    writeFile(importer_, kStandInImporter);
    makeExecutable(importer_);
    env_ = {{"GLOWBOX_MAYAIMPORT", importer_.string()}};
  }

  void logLines(const std::string& text) {
    writeFile(root_ / "loglines", text);
    env_["FAKE_LOG_LINES"] = (root_ / "loglines").string();
  }

  fs::path importer_;
  std::map<std::string, std::string> env_;
};

TEST_F(LauncherWithStandInImporter, ARecordSpanningLinesIsShownWhole) {
  logLines(
      "main.cpp:41 - 12:00:00.001 WARNING:  first warning\n"
      "main.cpp:41 - 12:00:00.002 ERROR:  settings were:\nMAJOR_VERSION: 5\nLOGLEVEL: INFO\n"
      "main.cpp:43 - 12:00:00.005 DEBUG:  after\n");
  env_["FAKE_END"] = "1";
  const testproc::Outcome outcome = launch({scene_.string()}, env_);
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("settings were:\nMAJOR_VERSION: 5\nLOGLEVEL: INFO"), std::string::npos) << outcome.err;
  EXPECT_NE(outcome.err.find("last WARNING: main.cpp:41 - 12:00:00.001 WARNING:  first warning"), std::string::npos)
      << outcome.err;
  EXPECT_EQ(outcome.err.find("after"), std::string::npos) << outcome.err;
}

TEST_F(LauncherWithStandInImporter, FailureWithoutLogRecordsSaysSo) {
  env_["FAKE_END"] = "3";
  const testproc::Outcome outcome = launch({scene_.string()}, env_);
  EXPECT_EQ(outcome.status, 3);
  EXPECT_NE(outcome.err.find("exit status 3"), std::string::npos) << outcome.err;
  EXPECT_NE(outcome.err.find("holds no ERROR or WARNING record"), std::string::npos) << outcome.err;
}

TEST_F(LauncherWithStandInImporter, AnImporterKilledBySignalIsReported) {
  env_["FAKE_END"] = "kill";
  const testproc::Outcome outcome = launch({scene_.string()}, env_);
  EXPECT_EQ(outcome.status, 128 + 9);
  EXPECT_NE(outcome.err.find("signal 9"), std::string::npos) << outcome.err;
}

}  // namespace
