#include "common/Log.h"
#include "common/platform/Platform.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cerrno>
#include <cstring>
#include <regex>
#include <stdexcept>
#include <thread>

#include "TestEnv.h"

namespace fs = std::filesystem;
using commontest::readText;
using commontest::ScopedEnv;
using commontest::writeFile;

namespace {

constexpr const char* kPrefix = R"(\d\d:\d\d:\d\d\.\d{3})";

fs::path makeScratchFolder() {
  const fs::path folder = commontest::makeScratchFolder("glowbox-log-");
  fs::create_directories(folder / "tmp");
  return folder;
}

// Points every location the log consults into a private scratch folder and
// gives the logger a fresh start; undoes both afterwards.
class LogTest : public testing::Test {
 protected:
  LogTest() {
    writeMachineRecord({});
    writeUserRecord({});
    reportingLevel() = logDEBUG4;
    Output2FILE::resetForTesting();
  }
  ~LogTest() override {
    // On Windows the records are the registry's, shared with every later test program.
    writeMachineRecord({});
    writeUserRecord({});
    Output2FILE::resetForTesting();
    reportingLevel() = savedLevel_;
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }

  // The temporary folder keeps its trailing separator and gets one more.
  std::string tempLog() const { return tmp_ + kSeparator + kSeparator + "sceneapi.log"; }
  static std::string logIn(const std::string& folder) { return folder + kSeparator + "sceneapi.log"; }

  using Record = std::vector<commontest::RecordEntry>;
  void writeMachineRecord(const Record& record) { commontest::writeInstallationRecord(true, record); }
  void writeUserRecord(const Record& record) { commontest::writeInstallationRecord(false, record); }

  static Record installation(const std::string& version, const std::string& folder) {
    return {{"SOFTWARE\\Vantor", "GlowboxVersion", version}, {"SOFTWARE\\Vantor\\" + version, "ResourceFolder", folder}};
  }

  static inline const std::string kSeparator = std::string(1, platform::pathSeparator());

  const int savedLevel_ = reportingLevel();
  const fs::path root_ = makeScratchFolder();
  const std::string tmp_ = (root_ / "tmp").string();
  ScopedEnv tmpDir_{"TMPDIR", tmp_.c_str()};
  ScopedEnv tmpWindows_{"TMP", tmp_.c_str()};  // where Windows looks first
  ScopedEnv machine_{"VANTOR_SYSCONFDIR", (root_ / "etc").string().c_str()};
  ScopedEnv user_{"XDG_CONFIG_HOME", (root_ / "config").string().c_str()};
  ScopedEnv home_{"HOME", (root_ / "home").string().c_str()};
};

TEST_F(LogTest, RecordsCarryFileLineTimeAndLevelBeforeTheMessageAndAreAppended) {
  writeFile(tempLog(), "earlier run\n");
  const int line = __LINE__; LOG(logINFO) << "hello " << 42 << ' ' << 1.5;
  LOG(logWARNING) << "line one\nline two\n" << "line three";  // one prefix, one final newline
  const std::string text = readText(tempLog());
  const std::regex records("earlier run\nLogTest\\.cpp:" + std::to_string(line) + " - " + kPrefix +
                           " INFO:  hello 42 1\\.5\nLogTest\\.cpp:" + std::to_string(line + 1) + " - " + kPrefix +
                           " WARNING:  line one\nline two\nline three\n");
  EXPECT_TRUE(std::regex_match(text, records)) << text;
}

TEST_F(LogTest, DisabledStatementsEvaluateNothingNoneDisablesNoneAndStatementsNestInIfElse) {
  reportingLevel() = logINFO;
  int evaluations = 0;
  auto expensive = [&evaluations] { return ++evaluations; };
  LOG(logDEBUG1) << "skipped " << expensive();
  LOG(logDEBUG) << expensive();
  EXPECT_EQ(evaluations, 0);
  EXPECT_FALSE(fs::exists(tempLog())) << "a disabled statement must not even open the log";
  LOG(logINFO) << "kept " << expensive();
  EXPECT_EQ(evaluations, 1);
  EXPECT_NE(readText(tempLog()).find("INFO:  kept 1\n"), std::string::npos);
  reportingLevel() = FILELog::fromString("NONE");  // admits everything, like DEBUG4
  LOG(logDEBUG4) << "deepest";
  EXPECT_NE(readText(tempLog()).find("DEBUG4:  deepest\n"), std::string::npos);
  // A statement nests inside the caller's if and else.
  for (bool flag : {true, false}) {
    if (flag)
      LOG(logINFO) << "then";
    else
      LOG(logINFO) << "else";
  }
  const std::string text = readText(tempLog());
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

TEST_F(LogTest, FromStringReadsExactNamesAndWarnsOfOthers) {
  const std::pair<const char*, LogLevel> names[] = {
      {"ERROR", logERROR},   {"WARNING", logWARNING}, {"INFO", logINFO},     {"DEBUG", logDEBUG},
      {"DEBUG1", logDEBUG1}, {"DEBUG2", logDEBUG2},   {"DEBUG3", logDEBUG3}, {"DEBUG4", logDEBUG4},
      {"NONE", logNONE}};
  for (const auto& [name, level] : names) {
    EXPECT_EQ(FILELog::fromString(name), level) << name;
    EXPECT_EQ(FILELog::toString(level), name);
  }
  EXPECT_FALSE(fs::exists(tempLog())) << "known names make no record";
  // Unknown names warn even when warnings are filtered, and give INFO.
  reportingLevel() = logERROR;
  EXPECT_EQ(FILELog::fromString("debug"), logINFO);
  EXPECT_EQ(FILELog::fromString(""), logINFO);
  const std::string text = readText(tempLog());
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
  ASSERT_TRUE(std::regex_match(first, format) && std::regex_match(second, format)) << first << " " << second;
  // The stamp's tick and this clock are different sources; a Windows tick moves in steps of up
  // to 16 ms, so allow that much on either side.
  constexpr long kSlack = 16;
  EXPECT_LE(std::stoi(first.substr(9)), elapsed + kSlack);
  if (elapsed + kSlack >= 999) GTEST_SKIP() << "machine too busy to bound the fraction";
  EXPECT_GE(std::stoi(second.substr(9)), 300 - kSlack);
  EXPECT_LE(std::stoi(second.substr(9)), elapsed + kSlack);
}

TEST_F(LogTest, LogFolderFollowsTheInstallationRecordsPerUserOverMachineWide) {
  const std::string machine = (root_ / "machine").string(), user = (root_ / "user").string();
  const std::string machineLog = logIn(machine), userLog = logIn(user);
  const struct {
    const char* label;
    Record machineRecord, userRecord;
    std::string log;
  } cases[] = {
      {"no installation", {}, {}, tempLog()},
      {"machine-wide", installation("6.2", machine), {}, machineLog},
      {"user version without its folder", installation("6.2", machine),
       {{"SOFTWARE\\Vantor", "GlowboxVersion", "7.0"}, {"SOFTWARE\\Vantor\\6.2", "ResourceFolder", "/wrong"}}, machineLog},
      {"incomplete records", {{"SOFTWARE\\Vantor", "GlowboxVersion", "6.2"}},
       {{"SOFTWARE\\Vantor\\6.2", "ResourceFolder", "/no/version/key"}}, tempLog()},
      // 32 characters and the terminator exceed the 64 bytes a version may take.
      {"overlong version", {}, installation(std::string(32, 'v'), user), tempLog()},
      {"longest version", {}, installation(std::string(31, 'v'), user), userLog},
      {"names ignore case", {},
       {{"software\\vantor", "glowboxversion", "6.2"}, {"Software\\Vantor\\6.2", "RESOURCEFOLDER", user}}, userLog},
      {"per-user wins", installation("6.2", machine), installation("7.0", user), userLog},
  };
  for (const auto& c : cases) {
    writeMachineRecord(c.machineRecord);
    writeUserRecord(c.userRecord);
    EXPECT_EQ(logFilePath(), c.log) << c.label;
  }
  fs::create_directories(user);
  LOG(logINFO) << "for the user";
  EXPECT_NE(readText(userLog).find("INFO:  for the user\n"), std::string::npos);
  EXPECT_FALSE(fs::exists(tempLog()));
}

#ifndef _WIN32
TEST_F(LogTest, PerUserRecordDefaultsToTheHomeConfigFolder) {
  user_.set(nullptr);
  writeFile(root_ / "home/.config/vantor/registry.ini",
            "[SOFTWARE\\Vantor]\nGlowboxVersion=6.2\n[SOFTWARE\\Vantor\\6.2]\nResourceFolder=" + (root_ / "home").string() + "\n");
  EXPECT_EQ(logFilePath(), logIn((root_ / "home").string()));
}
#endif

TEST_F(LogTest, LogOfTwentyMebibytesStartsAfreshJustBelowItIsAppendedTo) {
  for (const long size : {0x1400000L - 1, 0x1400000L}) {
    const bool afresh = size == 0x1400000L;
    Output2FILE::resetForTesting();
    writeFile(tempLog(), "old");
    fs::resize_file(tempLog(), static_cast<std::uintmax_t>(size));
    LOG(logINFO) << "record";
    const std::string text = readText(tempLog());
    EXPECT_EQ(text.substr(0, 3), afresh ? "Log" : "old") << size;
    EXPECT_NE(text.find("INFO:  record\n", afresh ? 0 : static_cast<size_t>(size)), std::string::npos) << size;
    if (afresh) { EXPECT_LT(text.size(), 100u); }
  }
}

TEST_F(LogTest, UnopenableLogSaysSoOnStandardErrorAtEveryAttempt) {
  // A folder where the log file would be: no system opens that for appending.
  fs::create_directories(tempLog());
  errno = 0;
  if (FILE* file = std::fopen(tempLog().c_str(), "a")) std::fclose(file);
  const int openError = errno;
  Output2FILE::resetForTesting();
  int evaluations = 0;
  testing::internal::CaptureStderr();
  LOG(logERROR) << "lost " << ++evaluations;
  LOG(logERROR) << "lost " << ++evaluations;
  const FILE* stream = Output2FILE::stream();
  const std::string stderrText = testing::internal::GetCapturedStderr();
  const std::string once = std::string("could not open log file:\nopening log: ") + std::strerror(openError) + "\n";
  EXPECT_EQ(stderrText, once + once + once);
  EXPECT_EQ(evaluations, 0);
  EXPECT_EQ(stream, nullptr);

  // Once the folder is gone, the next statement opens the log.
  fs::remove(tempLog());
  LOG(logERROR) << "found";
  EXPECT_NE(readText(tempLog()).find("ERROR:  found\n"), std::string::npos);
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
