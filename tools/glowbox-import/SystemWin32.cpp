#ifdef _WIN32

#include "common/platform/Platform.h"
#include "tools/glowbox-import/CommandLine.h"
#include "tools/glowbox-import/System.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <deque>
#include <mutex>
#include <thread>

namespace sys {

namespace {

std::wstring widen(const std::string& utf8) { return platform::utf8ToUtf16(utf8); }
std::string narrow(const wchar_t* wide, std::size_t units) { return platform::utf16ToUtf8(wide, units); }
std::string narrow(const wchar_t* wide) { return narrow(wide, std::wcslen(wide)); }

// The system's words for an error, without the full stop, as strerror gives
// them; some name the file they are about as "%1", filled in with `subject`.
std::string systemMessage(DWORD code, const std::string& subject = {}) {
  wchar_t* text = nullptr;
  const DWORD units = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
      reinterpret_cast<LPWSTR>(&text), 0, nullptr);
  std::string message = units && text ? narrow(text, units) : std::string();
  if (text) ::LocalFree(text);
  while (!message.empty() && (std::isspace(static_cast<unsigned char>(message.back())) || message.back() == '.'))
    message.pop_back();
  for (std::size_t at = message.find("%1"); at != std::string::npos; at = message.find("%1", at + subject.size()))
    message.replace(at, 2, subject);
  return message.empty() ? "system error " + std::to_string(code) : message;
}

bool isConsole(DWORD which) {
  DWORD mode = 0;
  return ::GetConsoleMode(::GetStdHandle(which), &mode) != 0;
}

UINT consoleCodePageBefore = 0;

}  // namespace

std::vector<std::string> commandLine(int argc, char** argv) {
  std::vector<std::string> arguments;
  int count = 0;
  if (LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
    for (int i = 0; i < count; ++i) arguments.push_back(narrow(wide[i]));
    ::LocalFree(wide);
    return arguments;
  }
  for (int i = 0; i < argc; ++i) arguments.push_back(argv[i] ? argv[i] : "");
  return arguments;
}

void prepareStandardStreams() {
  std::fflush(nullptr);
  ::_setmode(::_fileno(stdout), _O_BINARY);
  ::_setmode(::_fileno(stderr), _O_BINARY);
  // What the launcher writes is UTF-8, scene names included; the console is
  // given back its own code page when the launcher ends.
  if ((isConsole(STD_OUTPUT_HANDLE) || isConsole(STD_ERROR_HANDLE)) && ::GetConsoleOutputCP() != CP_UTF8) {
    consoleCodePageBefore = ::GetConsoleOutputCP();
    if (::SetConsoleOutputCP(CP_UTF8)) std::atexit([] { ::SetConsoleOutputCP(consoleCodePageBefore); });
  }
}

// The C runtime calls the NUL device a terminal as well.
bool standardErrorIsTerminal() { return ::_isatty(::_fileno(stderr)) != 0 && isConsole(STD_ERROR_HANDLE); }

std::size_t terminalWidth() {
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (::GetConsoleScreenBufferInfo(::GetStdHandle(STD_ERROR_HANDLE), &info)) {
    const int columns = info.srWindow.Right - info.srWindow.Left + 1;
    if (columns > 8) return static_cast<std::size_t>(columns);
  }
  return 80;
}

std::string ownFolder() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD units = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (units == 0) return {};
    if (units < buffer.size()) {
      buffer.resize(units);
      break;
    }
    // Cut short: long paths go past MAX_PATH.
    buffer.resize(buffer.size() * 2);
  }
  const std::string self = narrow(buffer.data(), buffer.size());
  const std::size_t slash = self.find_last_of(kFolderSeparators);
  return slash == std::string::npos ? std::string() : self.substr(0, slash);
}

std::optional<std::string> environment(const char* name) {
  const std::wstring wideName = widen(name);
  std::wstring value(64, L'\0');
  for (;;) {
    ::SetLastError(ERROR_SUCCESS);
    const DWORD units = ::GetEnvironmentVariableW(wideName.c_str(), value.data(), static_cast<DWORD>(value.size()));
    if (units == 0) {
      if (::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
      return std::string();
    }
    if (units < value.size()) return narrow(value.data(), units);
    value.resize(units);  // the size asked for, terminator included
  }
}

const char* const kExecutableSuffix = ".exe";
const char kFolderSeparator = '\\';
const std::string_view kFolderSeparators = "\\/";

// Empty entries name nothing; an entry may be quoted for the ';' it holds.
std::vector<std::string> searchPath() {
  const std::string entries = environment("PATH").value_or("");
  std::vector<std::string> folders;
  std::string folder;
  bool quoted = false;
  for (std::size_t at = 0; at <= entries.size(); ++at) {
    const char c = at < entries.size() ? entries[at] : ';';
    if (c == '"') {
      quoted = !quoted;
    } else if (c == ';' && !quoted) {
      if (!folder.empty()) folders.push_back(folder);
      folder.clear();
    } else {
      folder.push_back(c);
    }
  }
  return folders;
}

bool isExecutableFile(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::filesystem::path pathOf(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string utf8Of(const std::filesystem::path& path) {
  const std::u8string utf8 = path.u8string();
  return std::string(utf8.begin(), utf8.end());
}

void plainLineEnds(std::string& text) {
  std::size_t kept = 0;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] != '\r' || i + 1 == text.size() || text[i + 1] != '\n') text[kept++] = text[i];
  text.resize(kept);
}

// --- Followed files ------------------------------------------------------------

namespace {

// Every sharing mode: the importer writes, truncates or replaces the file
// while the launcher has it open.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE asHandle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

bool describesRegularFile(HANDLE file, BY_HANDLE_FILE_INFORMATION& info) {
  return ::GetFileType(file) == FILE_TYPE_DISK && ::GetFileInformationByHandle(file, &info) &&
         !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

FileStamp stampOf(const std::string& path) {
  FileStamp stamp;
  // Attributes only: no access that the importer's sharing could refuse.
  const HANDLE file = ::CreateFileW(widen(path).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return stamp;
  BY_HANDLE_FILE_INFORMATION info{};
  if (describesRegularFile(file, info)) {
    stamp.exists = true;
    stamp.identity = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    stamp.modified = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) | info.ftLastWriteTime.dwLowDateTime);
  }
  ::CloseHandle(file);
  return stamp;
}

FollowedFile::~FollowedFile() {
  if (isOpen()) ::CloseHandle(asHandle(handle_));
}

bool FollowedFile::open(const std::string& path) {
  const HANDLE file =
      ::CreateFileW(widen(path).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!describesRegularFile(file, info)) {
    ::CloseHandle(file);
    return false;
  }
  handle_ = reinterpret_cast<std::intptr_t>(file);
  return true;
}

std::int64_t FollowedFile::size() const {
  LARGE_INTEGER size{};
  return ::GetFileSizeEx(asHandle(handle_), &size) ? size.QuadPart : -1;
}

std::int64_t FollowedFile::readAt(std::int64_t offset, char* buffer, std::size_t size) const {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
  DWORD got = 0;
  const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
  if (!::ReadFile(asHandle(handle_), buffer, wanted, &got, &at)) return ::GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
  return got;
}

// --- Importer processes ------------------------------------------------------

namespace {

// Anonymous pipes cannot be waited on, so a thread per importer reads its
// standard error and hands the pieces over here. One lock and one condition
// for all of them: the launcher waits for whichever speaks first. Never
// destroyed: a reader outliving its importer (a process the importer started
// may still hold the pipe) may touch it while the launcher exits.
struct Notice {
  std::mutex mutex;
  std::condition_variable changed;
};

Notice& notice() {
  static Notice* const shared = new Notice;
  return *shared;
}

struct ErrorStream {
  HANDLE pipe = INVALID_HANDLE_VALUE;  // read end
  // Guarded by the notice's lock.
  std::deque<std::string> pieces;
  bool ended = false;

  explicit ErrorStream(HANDLE readEnd) : pipe(readEnd) {}
  ~ErrorStream() { ::CloseHandle(pipe); }
  ErrorStream(const ErrorStream&) = delete;
  ErrorStream& operator=(const ErrorStream&) = delete;
};

void readUntilEnd(const std::shared_ptr<ErrorStream>& stream) {
  char buffer[8192];
  // The importer's standard error is in text mode: its lines end in CR LF,
  // and a CR at the end of one read may meet its LF in the next.
  bool heldReturn = false;
  DWORD got = 0;
  // Fails with ERROR_BROKEN_PIPE once every writer is gone.
  while (::ReadFile(stream->pipe, buffer, sizeof buffer, &got, nullptr)) {
    std::string piece = heldReturn ? "\r" : "";
    piece.append(buffer, got);
    heldReturn = !piece.empty() && piece.back() == '\r';
    if (heldReturn) piece.pop_back();
    plainLineEnds(piece);
    if (piece.empty()) continue;
    {
      const std::lock_guard<std::mutex> lock(notice().mutex);
      stream->pieces.push_back(std::move(piece));
    }
    notice().changed.notify_all();
  }
  {
    const std::lock_guard<std::mutex> lock(notice().mutex);
    if (heldReturn) stream->pieces.push_back("\r");
    stream->ended = true;
  }
  notice().changed.notify_all();
}

// A copy of one of the launcher's standard handles that the child inherits;
// the launcher's own stays as it is.
class InheritedCopy {
 public:
  explicit InheritedCopy(HANDLE own) : handle_(own) {
    if (own == nullptr || own == INVALID_HANDLE_VALUE) return;
    HANDLE copy = nullptr;
    if (::DuplicateHandle(::GetCurrentProcess(), own, ::GetCurrentProcess(), &copy, 0, TRUE, DUPLICATE_SAME_ACCESS)) {
      handle_ = copy;
      owned_ = true;
    }
  }
  ~InheritedCopy() {
    if (owned_) ::CloseHandle(handle_);
  }
  InheritedCopy(const InheritedCopy&) = delete;
  InheritedCopy& operator=(const InheritedCopy&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
  bool owned_ = false;
};

// How long an ended importer's last words may take to come through the pipe.
constexpr auto kLastWordsWait = std::chrono::seconds(2);

}  // namespace

struct ImporterProcess::State {
  HANDLE process = nullptr;
  std::shared_ptr<ErrorStream> errors;
  std::thread reader;
};

ImporterProcess::ImporterProcess() : state_(std::make_unique<State>()) {}

ImporterProcess::~ImporterProcess() {
  if (state_->reader.joinable()) {
    bool done = false;
    {
      const std::lock_guard<std::mutex> lock(notice().mutex);
      done = state_->errors->ended;
    }
    // A reader still waiting owns its share of the stream and ends with it.
    if (done)
      state_->reader.join();
    else
      state_->reader.detach();
  }
  if (state_->process) ::CloseHandle(state_->process);
}

bool ImporterProcess::start(const std::string& program, const std::vector<std::string>& arguments,
                            std::string& failure) {
  SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, FALSE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!::CreatePipe(&readEnd, &writeEnd, &attributes, 0)) {
    failure = systemMessage(::GetLastError());
    return false;
  }
  // Processes are started from this thread alone, and the write end is
  // closed here right after: no later importer inherits it, which would keep
  // this pipe from ever reporting its end.
  ::SetHandleInformation(writeEnd, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
  const InheritedCopy input(::GetStdHandle(STD_INPUT_HANDLE)), output(::GetStdHandle(STD_OUTPUT_HANDLE));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input.get();
  startup.hStdOutput = output.get();
  startup.hStdError = writeEnd;
  std::wstring line = widen(cmdline::join(arguments));
  PROCESS_INFORMATION started{};
  const BOOL ok = ::CreateProcessW(widen(program).c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                   &startup, &started);
  const DWORD error = ::GetLastError();
  ::CloseHandle(writeEnd);
  if (!ok) {
    failure = systemMessage(error, program);
    ::CloseHandle(readEnd);
    return false;
  }
  ::CloseHandle(started.hThread);
  state_->process = started.hProcess;
  state_->errors = std::make_shared<ErrorStream>(readEnd);
  state_->reader = std::thread(readUntilEnd, state_->errors);
  return true;
}

ErrorRead ImporterProcess::readErrors(std::string& piece) {
  const std::lock_guard<std::mutex> lock(notice().mutex);
  ErrorStream& errors = *state_->errors;
  if (!errors.pieces.empty()) {
    piece = std::move(errors.pieces.front());
    errors.pieces.pop_front();
    return ErrorRead::Piece;
  }
  return errors.ended ? ErrorRead::Ended : ErrorRead::Nothing;
}

bool ImporterProcess::ended(Ending& ending) {
  if (::WaitForSingleObject(state_->process, 0) != WAIT_OBJECT_0) return false;
  ending = Ending{};
  DWORD code = 0;
  if (::GetExitCodeProcess(state_->process, &code)) {
    ending.status = static_cast<int>(code);
    // An unhandled exception ends a process with its NTSTATUS code, the
    // counterpart of a signal.
    if ((code & 0xC0000000u) == 0xC0000000u) {
      char text[32];
      std::snprintf(text, sizeof text, "exception 0x%08lX", static_cast<unsigned long>(code));
      ending.cause = text;
    }
  }
  std::unique_lock<std::mutex> lock(notice().mutex);
  notice().changed.wait_for(lock, kLastWordsWait, [this] { return state_->errors->ended; });
  return true;
}

std::vector<bool> waitForErrors(const std::vector<ImporterProcess*>& processes, int milliseconds) {
  std::vector<bool> ready(processes.size(), false);
  const auto check = [&] {
    bool any = false;
    for (std::size_t i = 0; i < processes.size(); ++i) {
      const ErrorStream& errors = *processes[i]->state_->errors;
      ready[i] = !errors.pieces.empty() || errors.ended;
      any = any || ready[i];
    }
    return any;
  };
  std::unique_lock<std::mutex> lock(notice().mutex);
  notice().changed.wait_for(lock, std::chrono::milliseconds(milliseconds), check);
  return ready;
}

}  // namespace sys

#endif
