#pragma once
// Test support: environment variables set for one scope, and whole files
// written and read back.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace commontest {

// Sets a variable of this process's environment; null removes it.
inline void setEnv(const std::string& name, const char* value) {
#ifdef _WIN32
  ::_putenv_s(name.c_str(), value ? value : "");
#else
  if (value) ::setenv(name.c_str(), value, 1);
  else ::unsetenv(name.c_str());
#endif
}

// A new, empty folder under the temporary folder, named `prefix` and a random tail.
inline std::filesystem::path makeScratchFolder(const std::string& prefix) {
  std::random_device seed;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / (prefix + std::to_string(seed()));
    if (std::filesystem::create_directory(folder)) return folder;
  }
  throw std::runtime_error("no scratch folder under " + std::filesystem::temp_directory_path().string());
}

// Sets an environment variable (unsets it for null) for one scope and
// restores it afterwards.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) saved_ = old;
    set(value);
  }
  ~ScopedEnv() { set(saved_ ? saved_->c_str() : nullptr); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

  void set(const char* value) { setEnv(name_, value); }

 private:
  std::string name_;
  std::optional<std::string> saved_;
};

// One value of the installation record: key path, value name, value.
struct RecordEntry {
  std::string key, name, value;
};

#ifdef _WIN32
// The registry's 32-bit view, as the installer writes it. Under Wine the
// keys land in the test run's own prefix; on Windows the machine-wide hive
// needs an elevated run.
inline void writeInstallationRecord(bool machineWide, const std::vector<RecordEntry>& entries) {
  const std::string hive = machineWide ? "HKLM" : "HKCU";
  std::system(("reg delete \"" + hive + "\\SOFTWARE\\Vantor\" /f /reg:32 >NUL 2>&1").c_str());
  for (const RecordEntry& e : entries)
    std::system(("reg add \"" + hive + "\\" + e.key + "\" /v \"" + e.name + "\" /d \"" + e.value +
                 "\" /f /reg:32 >NUL 2>&1").c_str());
}
#else
// The INI file that stands for the registry: $VANTOR_SYSCONFDIR/vantor/ for
// the machine, $XDG_CONFIG_HOME/vantor/ for the user.
inline void writeInstallationRecord(bool machineWide, const std::vector<RecordEntry>& entries) {
  const char* base = std::getenv(machineWide ? "VANTOR_SYSCONFDIR" : "XDG_CONFIG_HOME");
  if (!base && entries.empty()) return;  // nowhere to clear
  if (!base) throw std::runtime_error("no folder for the installation record");
  std::string ini;
  for (const RecordEntry& e : entries) ini += "[" + e.key + "]\n" + e.name + "=" + e.value + "\n";
  const std::filesystem::path path = std::filesystem::path(base) / "vantor" / "registry.ini";
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << ini;
}
#endif

// A text file as read back on any system: Windows writes a text file's line
// ends as "\r\n".
inline std::string readText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::string text(std::istreambuf_iterator<char>(in), {}), out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out.push_back(text[i]);
  return out;
}

inline std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeFile(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

}  // namespace commontest
