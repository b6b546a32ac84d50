#pragma once
// What the launcher needs from the operating system: its command line, its
// terminal, where it and the importer are, the files the importers write, and
// the importer processes themselves. Everything above this interface reads
// the same on POSIX and on Windows (SystemPosix.cpp, SystemWin32.cpp). Text is
// UTF-8 on both sides of it; Windows' UTF-16 stays inside SystemWin32.cpp.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sys {

// --- The launcher's own process -------------------------------------------

// The command line as UTF-8, argv[0] included. On Windows `argv` holds only
// what fits the ANSI code page, so the wide command line is read instead.
std::vector<std::string> commandLine(int argc, char** argv);

// Makes standard output and error carry bytes as written: the tests and any
// program reading the report compare line feeds, not CR LF pairs.
void prepareStandardStreams();

bool standardErrorIsTerminal();
// Columns of the terminal on standard error; 80 when it cannot be told.
std::size_t terminalWidth();

// The folder this program's file is in; empty when it cannot be told.
std::string ownFolder();

// The variable's value as UTF-8; nullopt when it is not set.
std::optional<std::string> environment(const char* name);

// --- Names and paths -------------------------------------------------------

extern const char* const kExecutableSuffix;       // "" or ".exe"
extern const char kFolderSeparator;               // the one written between names
extern const std::string_view kFolderSeparators;  // every one that is read as such

// The folders of PATH in order, as the system's own search reads them.
std::vector<std::string> searchPath();
bool isExecutableFile(const std::string& path);

// The narrow std::filesystem conversions follow the ANSI code page on
// Windows; paths in this program are UTF-8 and go through these instead.
std::filesystem::path pathOf(const std::string& utf8);
std::string utf8Of(const std::filesystem::path& path);

// Windows programs end lines of text with CR LF, in the log as well; the
// launcher reads lines by their LF alone. Does nothing on POSIX.
void plainLineEnds(std::string& text);

// --- Files another process is writing ----------------------------------------

// Which file a name leads to and when it was last written. Only a regular
// file is followed: reading a terminal, a pipe or a device named as the output
// would take what is not ours or wait for ever.
struct FileStamp {
  bool exists = false;
  std::uint64_t identity = 0;
  std::int64_t modified = 0;
  bool operator==(const FileStamp&) const = default;
};
FileStamp stampOf(const std::string& path);

// A regular file opened for reading while its writer goes on writing it.
class FollowedFile {
 public:
  FollowedFile() = default;
  ~FollowedFile();
  FollowedFile(const FollowedFile&) = delete;
  FollowedFile& operator=(const FollowedFile&) = delete;

  // False, and nothing open, unless `path` is a regular file that opens.
  bool open(const std::string& path);
  bool isOpen() const { return handle_ != kClosed; }
  // Bytes in the file now; -1 when that cannot be told.
  std::int64_t size() const;
  // Bytes read at `offset`; 0 or less at the end or on failure.
  std::int64_t readAt(std::int64_t offset, char* buffer, std::size_t size) const;

 private:
  static constexpr std::intptr_t kClosed = -1;
  std::intptr_t handle_ = kClosed;
};

// --- Importer processes ----------------------------------------------------

struct Ending {
  std::optional<int> status;  // exit status; 128 + N when signal N ended it; none when not observed
  std::string cause;          // what ended it from outside ("signal 9"); empty when it exited
};

enum class ErrorRead { Piece, Nothing, Ended };

// One importer with its standard error in a pipe that this process reads; its
// standard input and output are the launcher's own.
class ImporterProcess {
 public:
  ImporterProcess();
  ~ImporterProcess();
  ImporterProcess(const ImporterProcess&) = delete;
  ImporterProcess& operator=(const ImporterProcess&) = delete;

  // `arguments` start with the name the program sees as its own. False with
  // the system's words in `failure` when the program could not be started.
  bool start(const std::string& program, const std::vector<std::string>& arguments, std::string& failure);

  // One piece of what the importer wrote to standard error, without waiting:
  // Nothing while it has said nothing more, Ended once the stream has ended
  // and every piece has been taken.
  ErrorRead readErrors(std::string& piece);

  // Without waiting: true, with `ending`, once the process has ended.
  bool ended(Ending& ending);

  struct State;

 private:
  friend std::vector<bool> waitForErrors(const std::vector<ImporterProcess*>& processes, int milliseconds);
  std::unique_ptr<State> state_;
};

// Waits until one of `processes` has something to read on standard error (or
// its stream has ended) or `milliseconds` have passed; which of them have.
std::vector<bool> waitForErrors(const std::vector<ImporterProcess*>& processes, int milliseconds);

}  // namespace sys
