#include "common/Log.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <thread>

namespace fs = std::filesystem;

namespace {

constexpr const char* kPrefix = R"(\d\d:\d\d:\d\d\.\d{3})";

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

// Points every location the log consults into a private scratch folder and
// gives the logger a fresh start; undoes both afterwards.
class LogTest : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"TMPDIR", "VANTOR_SYSCONFDIR", "XDG_CONFIG_HOME", "HOME"}) {
      const char* value = std::getenv(name);
      savedEnv_[name] = value ? std::optional<std::string>(value) : std::nullopt;
    }
    std::string pattern = (fs::temp_directory_path() / "glowbox-log-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    tmp_ = root_ / "tmp";
    fs::create_directories(tmp_);
    setenv("TMPDIR", tmp_.c_str(), 1);
    setenv("VANTOR_SYSCONFDIR", (root_ / "etc").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
    setenv("HOME", (root_ / "home").c_str(), 1);
    savedLevel_ = reportingLevel();
    reportingLevel() = logDEBUG4;
    Output2FILE::resetForTesting();
  }

  void TearDown() override {
    Output2FILE::resetForTesting();
    reportingLevel() = savedLevel_;
    for (const auto& [name, value] : savedEnv_) {
      if (value)
        setenv(name.c_str(), value->c_str(), 1);
      else
        unsetenv(name.c_str());
    }
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }

  // The temporary folder keeps its trailing separator and gets one more.
  std::string tempLog() const { return tmp_.string() + "//sceneapi.log"; }

  void writeMachineRecord(const std::string& ini) { writeFile(root_ / "etc/vantor/registry.ini", ini); }
  void writeUserRecord(const std::string& ini) { writeFile(root_ / "config/vantor/registry.ini", ini); }

  static std::string installation(const std::string& version, const std::string& folder) {
    return "[SOFTWARE\\Vantor]\nGlowboxVersion=" + version + "\n\n[SOFTWARE\\Vantor\\" + version +
           "]\nResourceFolder=" + folder + "\n";
  }

  fs::path root_, tmp_;
  std::map<std::string, std::optional<std::string>> savedEnv_;
  int savedLevel_ = logDEBUG4;
};

TEST_F(LogTest, RecordCarriesFileLineTimeAndLevelBeforeTheMessage) {
  const int line = __LINE__; LOG(logINFO) << "hello " << 42 << ' ' << 1.5;
  const std::string text = readFile(tempLog());
  const std::regex record(std::string("LogTest\\.cpp:") + std::to_string(line) + " - " + kPrefix +
                          " INFO:  hello 42 1\\.5\n");
  EXPECT_TRUE(std::regex_match(text, record)) << text;
}

TEST_F(LogTest, EachLevelShowsItsName) {
  for (LogLevel level : {logERROR, logWARNING, logDEBUG, logDEBUG1, logDEBUG2, logDEBUG3, logDEBUG4})
    LOG(level) << "m";
  const std::string text = readFile(tempLog());
  const std::regex record(std::string("(LogTest\\.cpp:\\d+ - ") + kPrefix + " ([A-Z0-9]+):  m\n)");
  std::vector<std::string> names;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), record); it != std::sregex_iterator(); ++it)
    names.push_back((*it)[2]);
  EXPECT_EQ(names, (std::vector<std::string>{"ERROR", "WARNING", "DEBUG", "DEBUG1", "DEBUG2", "DEBUG3", "DEBUG4"}));
}

TEST_F(LogTest, RecordsAreAppendedToEarlierContent) {
  writeFile(tempLog(), "earlier run\n");
  LOG(logERROR) << "first";
  LOG(logERROR) << "second";
  const std::string text = readFile(tempLog());
  EXPECT_EQ(text.rfind("earlier run\n", 0), 0u) << text;
  const size_t first = text.find("ERROR:  first\n");
  ASSERT_NE(first, std::string::npos) << text;
  EXPECT_NE(text.find("ERROR:  second\n", first), std::string::npos) << text;
}

TEST_F(LogTest, EmbeddedNewlinesFollowOnePrefixAndEndWithOneNewline) {
  LOG(logWARNING) << "line one\nline two\n" << "line three";
  const std::string text = readFile(tempLog());
  const std::regex record(std::string("LogTest\\.cpp:\\d+ - ") + kPrefix +
                          " WARNING:  line one\nline two\nline three\n");
  EXPECT_TRUE(std::regex_match(text, record)) << text;
}

TEST_F(LogTest, DisabledStatementsEvaluateNothing) {
  reportingLevel() = logINFO;
  int evaluations = 0;
  auto expensive = [&evaluations] { return ++evaluations; };
  LOG(logDEBUG1) << "skipped " << expensive();
  LOG(logDEBUG) << expensive();
  EXPECT_EQ(evaluations, 0);
  EXPECT_FALSE(fs::exists(tempLog())) << "a disabled statement must not even open the log";
  LOG(logINFO) << "kept " << expensive();
  EXPECT_EQ(evaluations, 1);
  EXPECT_NE(readFile(tempLog()).find("INFO:  kept 1\n"), std::string::npos);
}

TEST_F(LogTest, ReportingLevelNoneAdmitsEverythingLikeDebug4) {
  reportingLevel() = FILELog::fromString("NONE");
  LOG(logDEBUG4) << "deepest";
  EXPECT_NE(readFile(tempLog()).find("DEBUG4:  deepest\n"), std::string::npos);
}

TEST_F(LogTest, StatementsNestInsideTheCallersIfElse) {
  for (bool flag : {true, false}) {
    if (flag)
      LOG(logINFO) << "then";
    else
      LOG(logINFO) << "else";
  }
  const std::string text = readFile(tempLog());
  const size_t thenAt = text.find("INFO:  then\n");
  ASSERT_NE(thenAt, std::string::npos) << text;
  EXPECT_NE(text.find("INFO:  else\n", thenAt), std::string::npos) << text;
}

// Collects finished records in memory instead of a file.
struct MemorySink {
  static std::vector<std::string>& records() {
    static std::vector<std::string> all;
    return all;
  }
  static void output(const std::string& record) { records().push_back(record); }
};

std::string prefixFileAndLine(const char* file, int line) {
  MemorySink::records().clear();
  { Log<MemorySink>().get(logINFO, file, line) << "m"; }
  const std::string record = MemorySink::records().at(0);
  return record.substr(0, record.find(" - "));
}

TEST(LogPrefix, ShowsTheBaseNameAfterEitherKindOfSeparator) {
  EXPECT_EQ(prefixFileAndLine("C:\\build\\src/maya\\export.cpp", 12), "export.cpp:12");
  EXPECT_EQ(prefixFileAndLine("/home/dev/src\\odd/walk.cpp", 3), "walk.cpp:3");
  EXPECT_EQ(prefixFileAndLine("main.cpp", 1), "main.cpp:1");
  EXPECT_EQ(prefixFileAndLine("src/", 7), ":7");
  EXPECT_EQ(prefixFileAndLine("", 0), ":0");
}

TEST(LogPrefix, LevelNameIsFollowedByAColonAndTwoBlanks) {
  MemorySink::records().clear();
  { Log<MemorySink>().get(logDEBUG2, "a.cpp", 9) << "two\nlines"; }
  ASSERT_EQ(MemorySink::records().size(), 1u);
  EXPECT_TRUE(std::regex_match(MemorySink::records()[0],
                               std::regex(std::string("a\\.cpp:9 - ") + kPrefix + " DEBUG2:  two\nlines\n")))
      << MemorySink::records()[0];
}

TEST_F(LogTest, FromStringReadsExactNames) {
  const std::pair<const char*, LogLevel> names[] = {
      {"ERROR", logERROR},   {"WARNING", logWARNING}, {"INFO", logINFO},     {"DEBUG", logDEBUG},
      {"DEBUG1", logDEBUG1}, {"DEBUG2", logDEBUG2},   {"DEBUG3", logDEBUG3}, {"DEBUG4", logDEBUG4},
      {"NONE", logNONE}};
  for (const auto& [name, level] : names) {
    EXPECT_EQ(FILELog::fromString(name), level) << name;
    EXPECT_EQ(FILELog::toString(level), name);
  }
  EXPECT_FALSE(fs::exists(tempLog())) << "known names make no record";
}

TEST_F(LogTest, UnknownLevelNameWarnsEvenWhenWarningsAreFilteredAndGivesInfo) {
  reportingLevel() = logERROR;
  EXPECT_EQ(FILELog::fromString("debug"), logINFO);
  EXPECT_EQ(FILELog::fromString(""), logINFO);
  const std::string text = readFile(tempLog());
  const std::string stamp = std::string(":0 - ") + kPrefix + " WARNING:  ";
  const std::regex records(stamp + "Unknown logging level 'debug'\\. Using INFO level as default\\.\n" + stamp +
                           "Unknown logging level ''\\. Using INFO level as default\\.\n");
  EXPECT_TRUE(std::regex_match(text, records)) << text;
}

TEST_F(LogTest, TimeStampCountsMillisecondsFromTheFirstStamp) {
  using Clock = std::chrono::steady_clock;
  const std::regex format(kPrefix);
  const auto before = Clock::now();
  const std::string first = nowTime();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const std::string second = nowTime();
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - before).count();
  ASSERT_TRUE(std::regex_match(first, format)) << first;
  ASSERT_TRUE(std::regex_match(second, format)) << second;
  const int firstFraction = std::stoi(first.substr(9));
  const int secondFraction = std::stoi(second.substr(9));
  // Both clocks truncate to whole milliseconds: allow one for rounding.
  EXPECT_LE(firstFraction, elapsed + 1);
  if (elapsed >= 999) GTEST_SKIP() << "machine too busy to bound the fraction";
  EXPECT_GE(secondFraction, 300);
  EXPECT_LE(secondFraction, elapsed + 1);
}

TEST_F(LogTest, LogGoesToTheTemporaryFolderWithoutAnInstallation) {
  EXPECT_EQ(logFilePath(), tempLog());
  LOG(logINFO) << "here";
  EXPECT_NE(readFile(tempLog()).find("INFO:  here\n"), std::string::npos);
}

TEST_F(LogTest, MachineWideInstallationGivesTheFolder) {
  writeMachineRecord(installation("6.2", (root_ / "machine").string()));
  EXPECT_EQ(logFilePath(), (root_ / "machine").string() + "/sceneapi.log");
}

TEST_F(LogTest, PerUserInstallationWinsOverMachineWide) {
  fs::create_directories(root_ / "user");
  writeMachineRecord(installation("6.2", (root_ / "machine").string()));
  writeUserRecord(installation("7.0", (root_ / "user").string()));
  EXPECT_EQ(logFilePath(), (root_ / "user").string() + "/sceneapi.log");
  LOG(logINFO) << "for the user";
  EXPECT_NE(readFile(root_ / "user/sceneapi.log").find("INFO:  for the user\n"), std::string::npos);
  EXPECT_FALSE(fs::exists(tempLog()));
}

TEST_F(LogTest, UserVersionWithoutResourceFolderKeepsTheMachineFolder) {
  writeMachineRecord(installation("6.2", (root_ / "machine").string()));
  writeUserRecord("[SOFTWARE\\Vantor]\nGlowboxVersion=7.0\n[SOFTWARE\\Vantor\\6.2]\nResourceFolder=/wrong\n");
  EXPECT_EQ(logFilePath(), (root_ / "machine").string() + "/sceneapi.log");
}

TEST_F(LogTest, IncompleteRecordsFallBackToTheTemporaryFolder) {
  writeMachineRecord("[SOFTWARE\\Vantor]\nGlowboxVersion=6.2\n");
  writeUserRecord("[SOFTWARE\\Vantor\\6.2]\nResourceFolder=/no/version/key\n");
  EXPECT_EQ(logFilePath(), tempLog());
}

TEST_F(LogTest, OverlongVersionNameIsNotFollowed) {
  // 32 characters and the terminator exceed the 64 bytes a version may take.
  const std::string version(32, 'v');
  writeUserRecord(installation(version, (root_ / "user").string()));
  EXPECT_EQ(logFilePath(), tempLog());
  writeUserRecord(installation(version.substr(1), (root_ / "user").string()));
  EXPECT_EQ(logFilePath(), (root_ / "user").string() + "/sceneapi.log");
}

TEST_F(LogTest, RecordNamesIgnoreCaseAndSurroundingBlanks) {
  writeUserRecord("; installed by setup\n[software\\vantor]\n  glowboxversion = 6.2 \n"
                  "[Software\\Vantor\\6.2]\nRESOURCEFOLDER=" + (root_ / "user").string() + "\n");
  EXPECT_EQ(logFilePath(), (root_ / "user").string() + "/sceneapi.log");
}

TEST_F(LogTest, PerUserRecordDefaultsToTheHomeConfigFolder) {
  unsetenv("XDG_CONFIG_HOME");
  writeFile(root_ / "home/.config/vantor/registry.ini", installation("6.2", (root_ / "home").string()));
  EXPECT_EQ(logFilePath(), (root_ / "home").string() + "/sceneapi.log");
}

TEST_F(LogTest, LogOfTwentyMebibytesStartsAfresh) {
  const fs::path log = tempLog();
  writeFile(log, "old");
  fs::resize_file(log, 0x1400000);
  LOG(logINFO) << "fresh";
  const std::string text = readFile(log);
  EXPECT_LT(text.size(), 100u);
  EXPECT_EQ(text.rfind("LogTest.cpp:", 0), 0u);
  EXPECT_NE(text.find("INFO:  fresh\n"), std::string::npos);
}

TEST_F(LogTest, LogJustBelowTwentyMebibytesIsAppendedTo) {
  const fs::path log = tempLog();
  writeFile(log, "old");
  fs::resize_file(log, 0x1400000 - 1);
  LOG(logINFO) << "appended";
  const std::string text = readFile(log);
  ASSERT_GT(text.size(), size_t{0x1400000 - 1});
  EXPECT_EQ(text.substr(0, 3), "old");
  EXPECT_NE(text.find("INFO:  appended\n", 0x1400000 - 1), std::string::npos);
}

TEST_F(LogTest, UnopenableLogSaysSoOnStandardErrorAtEveryAttempt) {
  setenv("TMPDIR", (root_ / "missing").c_str(), 1);
  Output2FILE::resetForTesting();
  int evaluations = 0;
  testing::internal::CaptureStderr();
  LOG(logERROR) << "lost " << ++evaluations;
  LOG(logERROR) << "lost " << ++evaluations;
  const FILE* stream = Output2FILE::stream();
  const std::string stderrText = testing::internal::GetCapturedStderr();
  const std::string once = std::string("could not open log file:\nopening log: ") + std::strerror(ENOENT) + "\n";
  EXPECT_EQ(stderrText, once + once + once);
  EXPECT_EQ(evaluations, 0);
  EXPECT_EQ(stream, nullptr);

  // Once the folder appears, the next statement opens the log.
  fs::create_directories(root_ / "missing");
  LOG(logERROR) << "found";
  EXPECT_NE(readFile(root_ / "missing/sceneapi.log").find("ERROR:  found\n"), std::string::npos);
}

TEST_F(LogTest, UnknownLevelWarningIsDroppedWhenTheLogCannotOpen) {
  writeUserRecord(installation("6.2", (root_ / "missing").string()));
  testing::internal::CaptureStderr();
  EXPECT_EQ(FILELog::fromString("verbose"), logINFO);
  const std::string stderrText = testing::internal::GetCapturedStderr();
  EXPECT_EQ(stderrText.rfind("could not open log file:\nopening log: ", 0), 0u) << stderrText;
  EXPECT_FALSE(fs::exists(root_ / "missing"));
}

}  // namespace
