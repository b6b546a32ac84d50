#if !defined(_WIN32)

#include "tools/glowbox-import/System.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace sys {

std::vector<std::string> commandLine(int argc, char** argv) {
  std::vector<std::string> arguments;
  for (int i = 0; i < argc; ++i) arguments.push_back(argv[i] ? argv[i] : "");
  return arguments;
}

void prepareStandardStreams() {}

bool standardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

std::size_t terminalWidth() {
  struct winsize size {};
  if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 8) return size.ws_col;
  return 80;
}

std::string ownFolder() {
  char buffer[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) return {};
  const std::string self(buffer, static_cast<size_t>(length));
  const size_t slash = self.find_last_of('/');
  return slash == std::string::npos ? std::string() : self.substr(0, slash);
}

std::optional<std::string> environment(const char* name) {
  const char* value = std::getenv(name);
  if (!value) return std::nullopt;
  return std::string(value);
}

const char* const kExecutableSuffix = "";
const char kFolderSeparator = '/';
const std::string_view kFolderSeparators = "/";

// An empty entry is the working folder.
std::vector<std::string> searchPath() {
  const char* path = std::getenv("PATH");
  const std::string entries = path ? path : "";
  std::vector<std::string> folders;
  std::size_t start = 0;
  while (start <= entries.size()) {
    std::size_t end = entries.find(':', start);
    if (end == std::string::npos) end = entries.size();
    folders.push_back(end > start ? entries.substr(start, end - start) : ".");
    start = end + 1;
  }
  return folders;
}

bool isExecutableFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

std::filesystem::path pathOf(const std::string& utf8) { return utf8; }
std::string utf8Of(const std::filesystem::path& path) { return path.string(); }

void plainLineEnds(std::string&) {}

// --- Followed files ------------------------------------------------------------

FileStamp stampOf(const std::string& path) {
  struct stat info {};
  FileStamp stamp;
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return stamp;
  stamp.exists = true;
  stamp.identity = info.st_ino;
  stamp.modified = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
  return stamp;
}

FollowedFile::~FollowedFile() {
  if (isOpen()) ::close(static_cast<int>(handle_));
}

bool FollowedFile::open(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return false;
  }
  handle_ = fd;
  return true;
}

std::int64_t FollowedFile::size() const {
  struct stat info {};
  if (::fstat(static_cast<int>(handle_), &info) != 0) return -1;
  return info.st_size;
}

std::int64_t FollowedFile::readAt(std::int64_t offset, char* buffer, std::size_t size) const {
  return ::pread(static_cast<int>(handle_), buffer, size, static_cast<off_t>(offset));
}

// --- Importer processes ------------------------------------------------------

struct ImporterProcess::State {
  pid_t pid = -1;
  int errorPipe = -1;  // read end of the importer's standard error; -1 once closed
};

namespace {

void closeOnExec(int fd) { ::fcntl(fd, F_SETFD, ::fcntl(fd, F_GETFD) | FD_CLOEXEC); }

}  // namespace

ImporterProcess::ImporterProcess() : state_(std::make_unique<State>()) {}

ImporterProcess::~ImporterProcess() {
  if (state_->errorPipe >= 0) ::close(state_->errorPipe);
}

bool ImporterProcess::start(const std::string& program, const std::vector<std::string>& arguments,
                            std::string& failure) {
  // Built before the fork: the child may not allocate.
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  int errorPipe[2] = {-1, -1}, execPipe[2] = {-1, -1};
  if (::pipe(errorPipe) != 0 || ::pipe(execPipe) != 0) {
    failure = std::strerror(errno);
    for (int fd : {errorPipe[0], errorPipe[1], execPipe[0], execPipe[1]})
      if (fd >= 0) ::close(fd);
    return false;
  }
  // Every end stays out of later children: an importer holding another's
  // pipe open would keep that pipe from ever reporting its end.
  for (int fd : {errorPipe[0], errorPipe[1], execPipe[0], execPipe[1]}) closeOnExec(fd);
  const pid_t pid = ::fork();
  if (pid == 0) {
    // Only async-signal-safe calls between fork and exec. A launcher
    // started without standard error may have got the pipe as its fd 2,
    // which dup2 would leave marked to close.
    if (errorPipe[1] == STDERR_FILENO)
      ::fcntl(STDERR_FILENO, F_SETFD, 0);
    else
      ::dup2(errorPipe[1], STDERR_FILENO);
    ::execv(program.c_str(), argv.data());
    const int error = errno;
    [[maybe_unused]] const ssize_t ignored = ::write(execPipe[1], &error, sizeof error);
    ::_exit(127);
  }
  const int forkError = errno;
  ::close(errorPipe[1]);
  ::close(execPipe[1]);
  if (pid < 0) {
    failure = std::strerror(forkError);
    ::close(errorPipe[0]);
    ::close(execPipe[0]);
    return false;
  }
  // The pipe closes empty on a successful exec; else it carries errno.
  int execError = 0;
  ssize_t got;
  while ((got = ::read(execPipe[0], &execError, sizeof execError)) < 0 && errno == EINTR) {
  }
  ::close(execPipe[0]);
  if (got == static_cast<ssize_t>(sizeof execError)) {
    failure = std::strerror(execError);
    ::close(errorPipe[0]);
    int ignored = 0;
    while (::waitpid(pid, &ignored, 0) < 0 && errno == EINTR) {
    }
    return false;
  }
  ::fcntl(errorPipe[0], F_SETFL, ::fcntl(errorPipe[0], F_GETFL) | O_NONBLOCK);
  state_->pid = pid;
  state_->errorPipe = errorPipe[0];
  return true;
}

ErrorRead ImporterProcess::readErrors(std::string& piece) {
  if (state_->errorPipe < 0) return ErrorRead::Ended;
  char buffer[8192];
  for (;;) {
    const ssize_t got = ::read(state_->errorPipe, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return ErrorRead::Nothing;
    if (got <= 0) {
      ::close(state_->errorPipe);
      state_->errorPipe = -1;
      return ErrorRead::Ended;
    }
    piece.assign(buffer, static_cast<std::size_t>(got));
    return ErrorRead::Piece;
  }
}

bool ImporterProcess::ended(Ending& ending) {
  int status = 0;
  const pid_t done = ::waitpid(state_->pid, &status, WNOHANG);
  if (done == 0 || (done < 0 && errno == EINTR)) return false;
  ending = Ending{};
  if (done < 0) return true;  // someone else reaped it; nothing is known
  if (WIFEXITED(status)) {
    ending.status = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    ending.status = 128 + WTERMSIG(status);
    ending.cause = "signal " + std::to_string(WTERMSIG(status));
  }
  return true;
}

std::vector<bool> waitForErrors(const std::vector<ImporterProcess*>& processes, int milliseconds) {
  std::vector<pollfd> watched;
  std::vector<std::size_t> owners;
  for (std::size_t i = 0; i < processes.size(); ++i) {
    if (processes[i]->state_->errorPipe < 0) continue;
    watched.push_back({processes[i]->state_->errorPipe, POLLIN, 0});
    owners.push_back(i);
  }
  std::vector<bool> ready(processes.size(), false);
  // EINTR included: the caller's loop comes straight back.
  if (::poll(watched.data(), watched.size(), milliseconds) <= 0) return ready;
  for (std::size_t i = 0; i < watched.size(); ++i) ready[owners[i]] = watched[i].revents != 0;
  return ready;
}

}  // namespace sys

#endif
