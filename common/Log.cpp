#include "common/Log.h"

#include "common/platform/Platform.h"

#include <cstdint>

namespace {

// Once a log reaches this size the next run starts it afresh.
constexpr long kLogRestartSize = 0x1400000;  // 20 MiB

// Registry value limits in bytes, terminator included (UTF-16 on Windows).
constexpr size_t kVersionMaxBytes = 64;
constexpr size_t kFolderMaxBytes = 520;

FILE* logFile = nullptr;
bool tickBaseTaken = false;
uint32_t tickBase = 0;

long existingSize(const std::string& path) {
  FILE* file = platform::openFileUtf8(path, "rb");
  if (!file) return 0;
  long size = 0;
  if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
  std::fclose(file);
  return size < 0 ? 0 : size;
}

FILE* openLog() {
  const std::string path = logFilePath();
  const char* mode = existingSize(path) < kLogRestartSize ? "a" : "w";
  FILE* file = platform::openFileUtf8(path, mode);
  if (!file) {
    std::fprintf(stderr, "could not open log file:\n");
    std::perror("opening log");
  }
  return file;
}

}  // namespace

int& reportingLevel() {
  static int level = logDEBUG4;
  return level;
}

std::string nowTime() {
  char clock[200];
  if (!platform::formatLocalTime(clock, sizeof clock)) return "Error in NowTime()";
  if (!tickBaseTaken) {
    tickBase = platform::tickCountMs();
    tickBaseTaken = true;
  }
  // Unsigned subtraction wraps with the 32-bit tick; read back as signed.
  const long fraction = static_cast<int32_t>(platform::tickCountMs() - tickBase) % 1000;
  // The clock text is at most a few dozen characters; a longer one is cut.
  char stamp[100];
  if (std::snprintf(stamp, sizeof stamp, "%s.%03ld", clock, fraction) < 0) return "Error in NowTime()";
  return stamp;
}

std::string logFilePath() {
  std::string folder = platform::tempFolder();
  // Machine-wide first, so that a per-user installation wins.
  for (platform::Hive hive : {platform::Hive::LocalMachine, platform::Hive::CurrentUser}) {
    std::string version;
    if (!platform::readRegistryString(hive, "SOFTWARE\\Vantor", "GlowboxVersion", version, kVersionMaxBytes))
      continue;
    std::string resourceFolder;
    if (platform::readRegistryString(hive, "SOFTWARE\\Vantor\\" + version, "ResourceFolder", resourceFolder,
                                     kFolderMaxBytes))
      folder = resourceFolder;
  }
  return folder + platform::pathSeparator() + "sceneapi.log";
}

FILE*& Output2FILE::stream() {
  if (!logFile) logFile = openLog();
  return logFile;
}

void Output2FILE::output(const std::string& record) {
  FILE* file = stream();
  if (!file) return;
  std::fprintf(file, "%s", record.c_str());
  std::fflush(file);
}

void Output2FILE::resetForTesting() {
  if (logFile) std::fclose(logFile);
  logFile = nullptr;
  tickBaseTaken = false;
  tickBase = 0;
}
