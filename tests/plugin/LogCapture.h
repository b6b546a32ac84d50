#pragma once
// Sends the log into a private scratch folder for one test and reads back the
// messages (the text after "LEVEL:  ") that were recorded.

#include "common/Log.h"
#include "../common/TestEnv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

class LogCapture : public testing::Test {
 protected:
  void SetUp() override {
    root_ = commontest::makeScratchFolder("glowbox-plugin-");
    for (const char* name : {"TMPDIR", "TMP", "VANTOR_SYSCONFDIR", "XDG_CONFIG_HOME", "HOME"})
      env_.push_back(std::make_unique<commontest::ScopedEnv>(name, (name[0] == 'T' ? root_ : root_ / name).string().c_str()));
    savedLevel_ = reportingLevel();
    reportingLevel() = logDEBUG4;
    Output2FILE::resetForTesting();
  }

  void TearDown() override {
    Output2FILE::resetForTesting();
    reportingLevel() = savedLevel_;
    env_.clear();
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }

  // "LEVEL:  message" of every record so far, continuation lines joined with "\n".
  std::vector<std::string> records() const {
    std::istringstream in(commontest::readText(root_ / "sceneapi.log"));
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);) {
      // "<file>:<line> - HH:MM:SS.mmm LEVEL:  message"
      const size_t dash = line.find(" - ");
      const size_t level = dash == std::string::npos ? dash : line.find(' ', dash + 3);
      if (level != std::string::npos && line.find(":  ", level) != std::string::npos)
        out.push_back(line.substr(level + 1));
      else if (!out.empty())
        out.back() += "\n" + line;
    }
    return out;
  }

  // Records made since the last call.
  std::vector<std::string> newRecords() {
    std::vector<std::string> all = records();
    const size_t from = std::min(seen_, all.size());
    seen_ = all.size();
    return {all.begin() + static_cast<std::ptrdiff_t>(from), all.end()};
  }

  // Whether any record so far starts with `prefix`.
  bool logged(const std::string& prefix) const {
    const auto all = records();
    return std::any_of(all.begin(), all.end(), [&](const std::string& r) { return r.rfind(prefix, 0) == 0; });
  }

  std::filesystem::path root_;

 private:
  std::vector<std::unique_ptr<commontest::ScopedEnv>> env_;
  int savedLevel_ = logDEBUG4;
  size_t seen_ = 0;
};
