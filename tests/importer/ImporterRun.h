#pragma once
// Runs the built programs as child processes in a private sandbox: a scratch
// folder of their own and a log location inside it (no installation record,
// so the log goes to $TMPDIR), so that tests running side by side never share
// a log or a file.

#include "common/ImportArgs.h"
#include "tests/common/TestEnv.h"
#include "tests/importer/ProcessRunner.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>

namespace importer_test {

namespace fs = std::filesystem;

// A program built into the tree's bin folder.
inline std::string program(const std::string& name) {
  return std::string(GLOWBOX_BIN_DIR) + "/" + name + GLOWBOX_EXE_SUFFIX;
}

inline const std::string kImporter = program("mayaimport");
inline const std::string kLauncher = program("glowbox-import");

#ifdef _WIN32
constexpr char kPathListSeparator = ';';
#else
constexpr char kPathListSeparator = ':';
#endif

// The four header lines, the banner and the version line that every scene
// file begins with, before anything of the Maya scene.
inline const std::string kSceneHeader =
    "//---vantor:dal:7---\n//---import:dal:1---\n//---id:1---\n// This is a Glowbox scene file\n\n"
    "#print \"Glowbox SceneApi oo 6.2.85  (built Mon Oct 26 10:26:53 2015)\"\nversion 6\n\n";

inline bool contains(const std::string& text, const std::string& what) { return text.find(what) != std::string::npos; }

inline size_t countOf(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// Settings as the renderer sends them for one scene: argument version 6.2,
// readable output unless told otherwise.
inline ImportArgs settingsFor(const std::string& scene, const std::string& output, bool readable = true) {
  ImportArgs args;
  args.setString(IMPORT_FILENAME, scene);
  args.setString(OUTPUT_FILENAME, output);
  args.setString(LOGLEVEL, "INFO");
  if (readable) args.setBool(DEBUGSCN, true);
  return args;
}

inline std::vector<std::string> encoded(const ImportArgs& args) {
  std::vector<std::string> out;
  args.encode(out);
  return out;
}

class Sandbox {
 public:
  Sandbox() : root_(commontest::makeScratchFolder("glowbox-e2e-")) { fs::create_directories(root_ / "tmp"); }
  ~Sandbox() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  const fs::path& root() const { return root_; }
  fs::path logPath() const { return root_ / "tmp" / "sceneapi.log"; }
  std::string log() const {
#ifdef _WIN32
    // The importer writes its log in text mode.
    return testproc::detail::plainLineEnds(testproc::slurp(logPath()));
#else
    return testproc::slurp(logPath());
#endif
  }

  // `name` is UTF-8 with '/' between folders, made the system's own path.
  fs::path write(const std::string& name, const std::string& text) const {
    const fs::path path = (root_ / testproc::pathOf(name)).make_preferred();
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  // Runs `program` with the log in this sandbox, no installation record and
  // no importer location from the test's own environment, plus `env`.
  testproc::Outcome run(const std::string& program, const std::vector<std::string>& arguments,
                        const std::map<std::string, std::string>& env = {}, const std::string& cwd = {},
                        unsigned deadlineSeconds = 0) const {
    std::map<std::string, std::string> all = {{"TMPDIR", (root_ / "tmp").string()},
                                              {"VANTOR_SYSCONFDIR", (root_ / "etc").string()},
                                              {"XDG_CONFIG_HOME", (root_ / "config").string()},
                                              {"HOME", (root_ / "home").string()},
                                              {"GLOWBOX_MAYAIMPORT", ""}};
#ifdef _WIN32
    // Where Windows programs, the importer's log among them, keep temporary files.
    all["TMP"] = all["TEMP"] = all["TMPDIR"];
#endif
    for (const auto& [name, value] : env) all[name] = value;
    return testproc::run(program, arguments, all, root_, cwd, deadlineSeconds);
  }

  // The importer runs with the sandbox as its working folder.
  testproc::Outcome runImporter(const std::vector<std::string>& arguments, unsigned deadlineSeconds = 0) const {
    return run(kImporter, arguments, {}, root_.string(), deadlineSeconds);
  }
  testproc::Outcome runImporter(const ImportArgs& args, unsigned deadlineSeconds = 0) const {
    return runImporter(encoded(args), deadlineSeconds);
  }

 private:
  fs::path root_;
};

// Every log record (one per entry; continuation lines stay with their record).
inline std::vector<std::string> logRecords(const std::string& log) {
  static const std::regex kRecordStart(R"(^[^ ]*:[0-9]+ - [0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{3} [A-Z0-9]+:  )");
  std::vector<std::string> records;
  std::istringstream in(log);
  for (std::string line; std::getline(in, line);) {
    if (std::regex_search(line, kRecordStart) || records.empty())
      records.push_back(line);
    else
      records.back() += "\n" + line;
  }
  return records;
}

// Records of one level ("ERROR", "WARNING" ...) that contain `text`.
inline std::vector<std::string> recordsWith(const std::string& log, const std::string& level, const std::string& text) {
  std::vector<std::string> found;
  for (const std::string& record : logRecords(log))
    if (contains(record, " " + level + ":  ") && contains(record, text)) found.push_back(record);
  return found;
}

}  // namespace importer_test
