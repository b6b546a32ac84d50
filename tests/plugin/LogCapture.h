#pragma once
// Sends the log into a private scratch folder for one test and reads back the
// messages (the text after "LEVEL:  ") that were recorded.

#include "common/Log.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

class LogCapture : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"TMPDIR", "VANTOR_SYSCONFDIR", "XDG_CONFIG_HOME", "HOME"}) {
      const char* value = std::getenv(name);
      savedEnv_[name] = value ? std::optional<std::string>(value) : std::nullopt;
    }
    std::string pattern = (std::filesystem::temp_directory_path() / "glowbox-plugin-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    ::setenv("TMPDIR", root_.c_str(), 1);
    ::setenv("VANTOR_SYSCONFDIR", (root_ / "etc").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
    ::setenv("HOME", (root_ / "home").c_str(), 1);
    savedLevel_ = reportingLevel();
    reportingLevel() = logDEBUG4;
    Output2FILE::resetForTesting();
  }

  void TearDown() override {
    Output2FILE::resetForTesting();
    reportingLevel() = savedLevel_;
    for (const auto& [name, value] : savedEnv_) {
      if (value)
        ::setenv(name.c_str(), value->c_str(), 1);
      else
        ::unsetenv(name.c_str());
    }
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }

  // "LEVEL:  message" of every record so far, continuation lines joined with "\n".
  std::vector<std::string> records() const {
    std::ifstream in(root_ / "sceneapi.log", std::ios::binary);
    std::vector<std::string> out;
    std::string line;
    while (std::getline(in, line)) {
      // "<file>:<line> - HH:MM:SS.mmm LEVEL:  message"
      const size_t dash = line.find(" - ");
      const size_t levelStart = dash == std::string::npos ? std::string::npos : line.find(' ', dash + 3);
      if (dash != std::string::npos && levelStart != std::string::npos && line.find(":  ", levelStart) != std::string::npos) {
        out.push_back(line.substr(levelStart + 1));
      } else if (!out.empty()) {
        out.back() += "\n" + line;
      }
    }
    return out;
  }

  // Records made since the last call.
  std::vector<std::string> newRecords() {
    std::vector<std::string> all = records();
    std::vector<std::string> fresh(all.begin() + static_cast<std::ptrdiff_t>(std::min(seen_, all.size())), all.end());
    seen_ = all.size();
    return fresh;
  }

  std::filesystem::path root_;

 private:
  std::map<std::string, std::optional<std::string>> savedEnv_;
  int savedLevel_ = logDEBUG4;
  size_t seen_ = 0;
};
