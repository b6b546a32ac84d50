#if !defined(_WIN32)

#include "common/platform/Platform.h"

#include <fcntl.h>
#if defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#endif
#include <time.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <fstream>

namespace platform {

int dupFd(int fd) { return ::dup(fd); }
int dup2Fd(int from, int to) { return ::dup2(from, to); }
int closeFd(int fd) { return ::close(fd); }
int fileNo(FILE* file) { return file ? ::fileno(file) : -1; }
FILE* fdOpen(int fd, const char* mode) { return ::fdopen(fd, mode); }
void setBinaryMode(int) {}
FILE* openFileUtf8(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }

namespace {

// An unset and an empty variable mean the same, as the XDG rules have it.
std::string envOr(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return (value && *value) ? std::string(value) : fallback;
}

std::string hiveFile(Hive hive) {
  if (hive == Hive::LocalMachine) return envOr("VANTOR_SYSCONFDIR", "/etc") + "/vantor/registry.ini";
  std::string configHome = envOr("XDG_CONFIG_HOME", "");
  if (configHome.empty()) {
    std::string home = envOr("HOME", "");
    if (home.empty()) return {};
    configHome = home + "/.config";
  }
  return configHome + "/vantor/registry.ini";
}

std::string trim(const std::string& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
  while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
  return text.substr(begin, end - begin);
}

bool equalsNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// Size of the text as the registry would store it: UTF-16 units plus the
// terminator, two bytes each. Keeps the limits identical on both platforms.
size_t utf16StorageBytes(const std::string& utf8) {
  size_t units = 1;
  for (unsigned char c : utf8) {
    if ((c & 0xC0) == 0x80) continue;  // continuation byte
    units += (c >= 0xF0) ? 2 : 1;      // four-byte sequences need a surrogate pair
  }
  return units * 2;
}

}  // namespace

bool readRegistryString(Hive hive, const std::string& key, const std::string& valueName,
                        std::string& out, size_t maxBytes) {
  const std::string path = hiveFile(hive);
  if (path.empty()) return false;
  std::ifstream in(path);
  if (!in) return false;
  bool inSection = false;
  std::string line;
  while (std::getline(in, line)) {
    const std::string text = trim(line);
    if (text.empty() || text[0] == ';' || text[0] == '#') continue;
    if (text.front() == '[') {
      inSection = text.back() == ']' && equalsNoCase(trim(text.substr(1, text.size() - 2)), key);
      continue;
    }
    if (!inSection) continue;
    const size_t eq = text.find('=');
    if (eq == std::string::npos || !equalsNoCase(trim(text.substr(0, eq)), valueName)) continue;
    std::string value = trim(text.substr(eq + 1));
    // Folders with blanks are often written quoted; the quotes are not part of the value.
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    if (utf16StorageBytes(value) > maxBytes) return false;
    out = std::move(value);
    return true;
  }
  return false;
}

std::string tempFolder() {
  std::string folder = envOr("TMPDIR", "/tmp");
  if (folder.back() != '/') folder += '/';
  return folder;
}

char pathSeparator() { return '/'; }

bool formatLocalTime(char* buf, size_t size) {
  const time_t now = ::time(nullptr);
  struct tm local {};
  if (now == static_cast<time_t>(-1) || !::localtime_r(&now, &local)) return false;
  return ::strftime(buf, size, "%H:%M:%S", &local) != 0;
}

uint32_t tickCountMs() {
  struct timespec now {};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  const uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<uint32_t>(ms);
}

void tuneAllocatorForLargeArrays() {
#if defined(__GLIBC__)
  mallopt(M_MMAP_THRESHOLD, 1 << 30);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
#if defined(MADV_HUGEPAGE)
  // The heap grows in one step by a gigabyte of address space (pages are
  // only backed when touched), marked for huge pages: the arrays then fault
  // in 2 MB at a time instead of 4 KB.
  constexpr size_t kHeapStep = size_t(1) << 30;
  mallopt(M_TOP_PAD, static_cast<int>(kHeapStep));
  char* const before = static_cast<char*>(::sbrk(0));
  // Bigger than what is left of the heap set up before main, so it grows now
  // (volatile: a compiler may drop an allocation that is freed unused).
  void* volatile block = ::malloc(size_t(4) << 20);
  ::free(block);
  char* const after = static_cast<char*>(::sbrk(0));
  if (before != reinterpret_cast<char*>(-1) && after > before) {
    const uintptr_t page = uintptr_t(2) << 20;
    const uintptr_t from = (reinterpret_cast<uintptr_t>(before) + page - 1) & ~(page - 1);
    if (reinterpret_cast<uintptr_t>(after) > from)
      ::madvise(reinterpret_cast<void*>(from), reinterpret_cast<uintptr_t>(after) - from, MADV_HUGEPAGE);
  }
#endif
#endif
}

}  // namespace platform

#endif
