// glowbox-import: runs the Maya importer on one scene with readable options.
// The importer itself only understands Base64-encoded settings; this program
// builds them, starts mayaimport and tells a person what went wrong.

#include "common/ImportArgs.h"
#include "common/Log.h"
#include "tools/glowbox-import/LaunchOptions.h"
#include "tools/glowbox-import/LogTail.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

namespace {

constexpr int kUsageError = 2;
constexpr int kLaunchError = 1;
constexpr const char* kImporterName = "mayaimport";

void printHelp(std::ostream& out) {
  out << "Usage: glowbox-import SCENE.ma [options]\n"
         "\n"
         "Converts a Maya ASCII scene into a Glowbox scene file (.dal) by running\n"
         "the importer program " << kImporterName << " with the settings below.\n"
         "\n"
         "Options:\n"
         "  -o, --output OUT          scene file to write; \"-\" writes to standard output.\n"
         "                            Default: SCENE with the extension .dal, beside SCENE.\n"
         "  --log-level LEVEL         detail of the log: ERROR, WARNING, INFO (default),\n"
         "                            DEBUG, DEBUG1, DEBUG2, DEBUG3 or DEBUG4.\n"
         "  --readable                write arrays as text and indent the scene file,\n"
         "                            instead of compact binary array blocks.\n"
         "  --include-nurbs           write NURBS surfaces as NURBS with trim curves\n"
         "                            instead of their tessellated meshes.\n"
         "  --no-tessellate           do not tessellate NURBS surfaces.\n"
         "  --split-layers            regroup the scene by Maya display layer.\n"
         "  --unique-materials        one material per object instead of shared ones.\n"
         "  --no-collapse-hierarchy   mark groups so the renderer keeps the hierarchy.\n"
         "  --print-args              print the encoded settings and what they decode to,\n"
         "                            and exit without importing.\n"
         "  -h, --help                show this text.\n"
         "\n"
         "The importer is looked for beside this program, then on PATH; the\n"
         "environment variable GLOWBOX_MAYAIMPORT names another one to run.\n"
         "\n"
         "The importer's log is appended to:\n"
         "  " << logFilePath() << "\n"
         "When the import fails, the last ERROR and WARNING records of this run are\n"
         "shown here.\n"
         "\n"
         "Exit status: the importer's own; 2 for a bad command line or a missing scene,\n"
         "1 when the importer cannot be started.\n";
}

bool isExecutableFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

std::string ownFolder() {
  char buffer[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) return {};
  const std::string self(buffer, static_cast<size_t>(length));
  const size_t slash = self.find_last_of('/');
  return slash == std::string::npos ? std::string() : self.substr(0, slash);
}

// Empty when no importer can be found.
std::string locateImporter() {
  if (const char* chosen = std::getenv("GLOWBOX_MAYAIMPORT"); chosen && *chosen) return chosen;
  const std::string folder = ownFolder();
  if (!folder.empty() && isExecutableFile(folder + "/" + kImporterName)) return folder + "/" + kImporterName;
  const char* path = std::getenv("PATH");
  std::string entries = path ? path : "";
  size_t start = 0;
  while (start <= entries.size()) {
    size_t end = entries.find(':', start);
    if (end == std::string::npos) end = entries.size();
    const std::string dir = end > start ? entries.substr(start, end - start) : ".";
    if (isExecutableFile(dir + "/" + kImporterName)) return dir + "/" + kImporterName;
    start = end + 1;
  }
  return {};
}

void printArgs(const ImportArgs& args, const std::string& program) {
  char** argv = args.toArgv(program);
  std::cout << "program: " << program << "\n";
  std::cout << "encoded arguments:\n";
  for (int i = 1; i < args.argc(); ++i) std::cout << "  " << argv[i] << "\n";
  // Decoded from the encoded vector, not from `args`: what the importer will see.
  const ImportArgs decoded(args.argc(), argv);
  std::cout << "decoded settings:\n" << decoded;
  ImportArgs::freeArgv(argv);
}

// The child's exit status, 128 + signal for a killed child, -1 when it could
// not be waited for.
int runAndWait(const std::string& program, const ImportArgs& args) {
  char** argv = args.toArgv(program);
  if (!argv) return -1;
  std::cout.flush();
  std::cerr.flush();
  const pid_t child = ::fork();
  if (child == 0) {
    ::execv(program.c_str(), argv);
    const int error = errno;
    std::fprintf(stderr, "glowbox-import: cannot run %s: %s\n", program.c_str(), std::strerror(error));
    ::_exit(127);
  }
  ImportArgs::freeArgv(argv);
  if (child < 0) {
    std::cerr << "glowbox-import: cannot start " << program << ": " << std::strerror(errno) << "\n";
    return -1;
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) {
      std::cerr << "glowbox-import: lost track of " << program << ": " << std::strerror(errno) << "\n";
      return -1;
    }
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) {
    std::cerr << "glowbox-import: " << program << " was ended by signal " << WTERMSIG(status) << "\n";
    return 128 + WTERMSIG(status);
  }
  return -1;
}

// The importer exits 0 even when it could not read the scene, so its own
// complaints are worth showing whatever the status.
void reportProblems(const std::string& logPath, std::uintmax_t logStart, int status) {
  const std::vector<LogRecord> records = recordsSince(logPath, logStart);
  const LogRecord* lastError = nullptr;
  const LogRecord* lastWarning = nullptr;
  for (const LogRecord& record : records) {
    if (record.level == "ERROR") lastError = &record;
    if (record.level == "WARNING") lastWarning = &record;
  }
  if (status != 0) std::cerr << "glowbox-import: the import failed with exit status " << status << "\n";
  if (!lastError && !lastWarning) {
    if (status != 0) std::cerr << "glowbox-import: the log (" << logPath << ") holds no ERROR or WARNING record of this run\n";
    return;
  }
  std::cerr << "glowbox-import: from the log " << logPath << ":\n";
  if (lastError) std::cerr << "  last ERROR:   " << lastError->text << "\n";
  if (lastWarning) std::cerr << "  last WARNING: " << lastWarning->text << "\n";
}

}  // namespace

int main(int argc, char** argv) {
  const ParseResult parsed = parseLaunchOptions(argc, argv);
  if (!parsed.error.empty()) {
    std::cerr << "glowbox-import: " << parsed.error << "\n"
              << "Try 'glowbox-import --help' for the options.\n";
    return kUsageError;
  }
  const LaunchOptions& options = parsed.options;
  if (options.help) {
    printHelp(std::cout);
    return 0;
  }
  struct stat info {};
  if (::stat(options.scene.c_str(), &info) != 0) {
    std::cerr << "glowbox-import: scene file not found: " << options.scene << "\n";
    return kUsageError;
  }
  if (!S_ISREG(info.st_mode)) {
    std::cerr << "glowbox-import: not a regular file: " << options.scene << "\n";
    return kUsageError;
  }

  const ImportArgs args = toImportArgs(options);
  const std::string program = locateImporter();
  if (options.printArgs) {
    printArgs(args, program.empty() ? kImporterName : program);
    return 0;
  }
  if (program.empty()) {
    std::cerr << "glowbox-import: cannot find " << kImporterName << " beside this program or on PATH\n";
    return kLaunchError;
  }

  const std::string logPath = logFilePath();
  const std::uintmax_t logStart = logSizeNow(logPath);
  const int status = runAndWait(program, args);
  if (status < 0) return kLaunchError;
  reportProblems(logPath, logStart, status);
  const std::string output = args.getString(OUTPUT_FILENAME, "-");
  if (status == 0 && output != "-") std::cerr << "glowbox-import: scene written to " << output << "\n";
  return status;
}
