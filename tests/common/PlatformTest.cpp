#include "common/platform/Platform.h"

#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <thread>

#include "TestEnv.h"

namespace fs = std::filesystem;
using commontest::ScopedEnv;

namespace {

TEST(Platform, TempFolderAlwaysEndsInOneSeparator) {
#ifdef _WIN32
  const char* variable = "TMP";
  const char separator = '\\';
  const std::pair<const char*, const char*> cases[] = {{"C:\\scratch", "C:\\scratch\\"},
                                                       {"C:\\scratch\\", "C:\\scratch\\"}};
#else
  const char* variable = "TMPDIR";
  const char separator = '/';
  const std::pair<const char*, const char*> cases[] = {
      {nullptr, "/tmp/"}, {"", "/tmp/"}, {"/var/scratch", "/var/scratch/"}, {"/var/scratch/", "/var/scratch/"}};
#endif
  for (const auto& [value, folder] : cases) {
    ScopedEnv tmp(variable, value);
    EXPECT_EQ(platform::tempFolder(), folder) << (value ? value : "(unset)");
  }
  EXPECT_EQ(platform::pathSeparator(), separator);
}

TEST(Platform, LocalTimeIsTwentyFourHourClockText) {
  char buffer[200];
  ASSERT_TRUE(platform::formatLocalTime(buffer, sizeof buffer));
  std::cmatch parts;
  ASSERT_TRUE(std::regex_match(buffer, parts, std::regex(R"((\d\d):(\d\d):(\d\d))"))) << buffer;
  EXPECT_LT(std::stoi(parts[1]), 24);
  EXPECT_LT(std::stoi(parts[2]), 60);
  EXPECT_LE(std::stoi(parts[3]), 60);  // leap second
  char tooSmall[8];
  EXPECT_FALSE(platform::formatLocalTime(tooSmall, sizeof tooSmall));
  char justEnough[9];
  EXPECT_TRUE(platform::formatLocalTime(justEnough, sizeof justEnough));
}

TEST(Platform, TickCountAdvancesInMilliseconds) {
  using Clock = std::chrono::steady_clock;
  const auto before = Clock::now();
  const uint32_t first = platform::tickCountMs();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  const uint32_t second = platform::tickCountMs();
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - before).count();
  const uint32_t ticks = second - first;  // wraps like the counter
  // Windows' tick counter moves in steps of 10 to 16 ms, so the two reads may
  // be a step off either way; a wrong unit is off by a factor of 1000.
  const uint32_t step = 20;
  EXPECT_GE(ticks + step, 50u);
  EXPECT_LE(ticks, static_cast<uint32_t>(elapsed) + step);
}

TEST(Platform, DescriptorsDuplicateAndRedirect) {
  const fs::path path = commontest::makeScratchFolder("glowbox-platform-") / "file";
  FILE* file = platform::openFileUtf8(path.string(), "w+");
  ASSERT_NE(file, nullptr);
  const int fd = platform::fileNo(file);
  ASSERT_GE(fd, 0);
  const int copy = platform::dupFd(fd);
  ASSERT_GE(copy, 0);
  FILE* second = platform::fdOpen(copy, "w");
  ASSERT_NE(second, nullptr);
  platform::setBinaryMode(copy);
  std::fputs("through the duplicate", second);
  std::fclose(second);  // closes `copy`, not `fd`
  EXPECT_NE(platform::dup2Fd(fd, fd), -1);  // the runtimes differ in what success returns
  std::fclose(file);
  EXPECT_EQ(commontest::readFile(path), "through the duplicate");
  fs::remove_all(path.parent_path());
  EXPECT_EQ(platform::fileNo(nullptr), -1);
  EXPECT_EQ(platform::closeFd(-1), -1);
  EXPECT_EQ(platform::openFileUtf8((path / "no/such/dir").string(), "r"), nullptr);
}

#ifdef _WIN32
TEST(Platform, RegistryReadsTheThirtyTwoBitViewAndLeavesTheOutputAloneOnFailure) {
  using platform::Hive;
  commontest::writeInstallationRecord(true, {});
  commontest::writeInstallationRecord(false, {});
  std::string out = "untouched";
  EXPECT_FALSE(platform::readRegistryString(Hive::LocalMachine, "SOFTWARE\\Vantor", "GlowboxVersion", out));
  EXPECT_EQ(out, "untouched");
  commontest::writeInstallationRecord(true, {{"SOFTWARE\\Vantor", "GlowboxVersion", "6.2"},
                                             {"SOFTWARE\\Vantor\\6.2", "ResourceFolder", "C:\\My Glowbox"}});
  EXPECT_FALSE(platform::readRegistryString(Hive::LocalMachine, "SOFTWARE\\Vantor", "Missing", out));
  EXPECT_FALSE(platform::readRegistryString(Hive::LocalMachine, "SOFTWARE", "GlowboxVersion", out));
  EXPECT_FALSE(platform::readRegistryString(Hive::CurrentUser, "SOFTWARE\\Vantor", "GlowboxVersion", out));
  EXPECT_EQ(out, "untouched");
  EXPECT_TRUE(platform::readRegistryString(Hive::LocalMachine, "SOFTWARE\\Vantor", "GlowboxVersion", out));
  EXPECT_EQ(out, "6.2");
  // "6.2" needs four UTF-16 units with its terminator: eight bytes.
  EXPECT_FALSE(platform::readRegistryString(Hive::LocalMachine, "SOFTWARE\\Vantor", "GlowboxVersion", out, 7));
  EXPECT_TRUE(platform::readRegistryString(Hive::LocalMachine, "SOFTWARE\\Vantor", "GlowboxVersion", out, 8));
  EXPECT_TRUE(platform::readRegistryString(Hive::LocalMachine, "SOFTWARE\\Vantor\\6.2", "ResourceFolder", out));
  EXPECT_EQ(out, "C:\\My Glowbox");
  commontest::writeInstallationRecord(true, {});
}
#else
TEST(Platform, RegistryReadLeavesTheOutputAloneOnFailure) {
  const fs::path root = commontest::makeScratchFolder("glowbox-registry-");
  fs::create_directories(root / "vantor");
  ScopedEnv machine("VANTOR_SYSCONFDIR", root.string().c_str());
  std::string out = "untouched";
  EXPECT_FALSE(platform::readRegistryString(platform::Hive::LocalMachine, "SOFTWARE\\Vantor", "GlowboxVersion", out));
  EXPECT_EQ(out, "untouched");

  std::ofstream(root / "vantor/registry.ini") << "GlowboxVersion=outside\n[SOFTWARE\\Vantor]\nOther=1\n"
                                               << "[SOFTWARE\\Vantor\\6.2]\nGlowboxVersion=wrong section\n"
                                               << "[SOFTWARE\\Vantor]\nGlowboxVersion=6.2\n";
  EXPECT_FALSE(platform::readRegistryString(platform::Hive::LocalMachine, "SOFTWARE\\Vantor", "Missing", out));
  EXPECT_FALSE(platform::readRegistryString(platform::Hive::LocalMachine, "SOFTWARE", "GlowboxVersion", out));
  EXPECT_EQ(out, "untouched");
  EXPECT_TRUE(platform::readRegistryString(platform::Hive::LocalMachine, "SOFTWARE\\Vantor", "GlowboxVersion", out));
  EXPECT_EQ(out, "6.2");
  // "6.2" needs four UTF-16 units with its terminator: eight bytes.
  EXPECT_FALSE(platform::readRegistryString(platform::Hive::LocalMachine, "SOFTWARE\\Vantor", "GlowboxVersion", out, 7));
  EXPECT_TRUE(platform::readRegistryString(platform::Hive::LocalMachine, "SOFTWARE\\Vantor", "GlowboxVersion", out, 8));

  std::ofstream(root / "vantor/registry.ini") << "; installed by setup\r\n[software\\vantor\\6.2]\r\n"
                                               << "  resourcefolder = \"/opt/My Glowbox\" \r\n";
  EXPECT_TRUE(platform::readRegistryString(platform::Hive::LocalMachine, "SOFTWARE\\Vantor\\6.2", "ResourceFolder", out));
  EXPECT_EQ(out, "/opt/My Glowbox");

  ScopedEnv user("XDG_CONFIG_HOME", nullptr);
  ScopedEnv home("HOME", nullptr);
  EXPECT_FALSE(platform::readRegistryString(platform::Hive::CurrentUser, "SOFTWARE\\Vantor", "GlowboxVersion", out));
  fs::remove_all(root);
}
#endif

}  // namespace
