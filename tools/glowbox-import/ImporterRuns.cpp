#include "tools/glowbox-import/ImporterRuns.h"

#include "tools/glowbox-import/LogTail.h"
#include "tools/glowbox-import/ProgressMark.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <list>

namespace {

// How often the scene files are looked at for progress while nothing is said.
constexpr int kPollMilliseconds = 150;
constexpr int kEndingPollMilliseconds = 5;
// A line the importer never ends is passed on in pieces of this size.
constexpr std::size_t kLongestLine = 64 * 1024;

// The line shown with "\r" on a terminal. Whatever else is written to
// standard error first wipes it, then draws it again.
class StatusLine {
 public:
  explicit StatusLine(bool enabled) : enabled_(enabled) {}
  ~StatusLine() { wipe(); }

  void show(std::string text) {
    if (!enabled_) return;
    const std::size_t width = terminalWidth();
    if (text.size() >= width) {
      text.resize(width - 1);
      // Not half a UTF-8 character at the cut.
      while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80) text.pop_back();
      if (!text.empty() && (static_cast<unsigned char>(text.back()) & 0x80)) text.pop_back();
    }
    if (text == text_) return;
    std::string line = "\r" + text;
    if (text.size() < text_.size()) line += std::string(text_.size() - text.size(), ' ') + "\r" + text;
    std::cerr << line << std::flush;
    text_ = std::move(text);
  }

  void print(const std::string& line) {
    const std::string shown = text_;
    wipe();
    std::cerr << line << "\n";
    if (!shown.empty()) show(shown);
  }

  void wipe() {
    if (!enabled_ || text_.empty()) return;
    std::cerr << "\r" << std::string(text_.size(), ' ') << "\r" << std::flush;
    text_.clear();
  }

 private:
  static std::size_t terminalWidth() {
    struct winsize size {};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 8) return size.ws_col;
    return 80;
  }

  bool enabled_;
  std::string text_;
};

// Where a run's scene file stood before the run: until the importer has
// truncated it, the file still holds an earlier run's marks.
struct FileStamp {
  bool exists = false;
  ino_t inode = 0;
  struct timespec modified {};
};

// Only a regular file is followed: reading a terminal, a pipe or a device
// named as the output would take what is not ours or wait for ever.
FileStamp stampOf(const std::string& path) {
  struct stat info {};
  FileStamp stamp;
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return stamp;
  stamp.exists = true;
  stamp.inode = info.st_ino;
  stamp.modified = info.st_mtim;
  return stamp;
}

bool sameStamp(const FileStamp& a, const FileStamp& b) {
  return a.exists == b.exists && a.inode == b.inode && a.modified.tv_sec == b.modified.tv_sec &&
         a.modified.tv_nsec == b.modified.tv_nsec;
}

struct Child {
  std::size_t run = 0;
  pid_t pid = -1;
  int errorPipe = -1;  // read end of the importer's standard error; -1 once closed
  std::string partialLine;
  std::size_t linesPassed = 0, linesHeld = 0;
  FileStamp outputBefore;
  int outputFd = -1;
  off_t outputRead = 0;
  ProgressScanner progress;
};

void closeOnExec(int fd) { ::fcntl(fd, F_SETFD, ::fcntl(fd, F_GETFD) | FD_CLOEXEC); }

// Control characters of a node name would move the cursor about.
std::string printable(const std::string& text) {
  std::string out = text;
  for (char& c : out)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
  return out;
}

class Runner {
 public:
  Runner(std::vector<ImporterRun>& runs, const RunSettings& settings)
      : runs_(runs), settings_(settings), status_(settings.showProgress) {}

  void run() {
    std::size_t next = 0;
    while (next < runs_.size() || !children_.empty()) {
      while (next < runs_.size() && children_.size() < std::max<std::size_t>(settings_.jobs, 1)) start(next++);
      if (children_.empty()) continue;
      waitForOutput();
      reapFinished();
      if (settings_.showProgress) showProgress();
    }
    status_.wipe();
  }

 private:
  void start(std::size_t index) {
    ImporterRun& run = runs_[index];
    if (!run.refused.empty()) {
      ++finished_;
      return;
    }
    char** argv = run.args.toArgv(settings_.program);
    int errorPipe[2] = {-1, -1}, execPipe[2] = {-1, -1};
    if (!argv || ::pipe(errorPipe) != 0 || ::pipe(execPipe) != 0) {
      run.startError = argv ? errno : ENOMEM;
      for (int fd : {errorPipe[0], errorPipe[1], execPipe[0], execPipe[1]})
        if (fd >= 0) ::close(fd);
      ImportArgs::freeArgv(argv);
      return;
    }
    // Every end stays out of later children: an importer holding another's
    // pipe open would keep that pipe from ever reporting its end.
    for (int fd : {errorPipe[0], errorPipe[1], execPipe[0], execPipe[1]}) closeOnExec(fd);
    Child child;
    child.run = index;
    child.outputBefore = run.output == "-" ? FileStamp{} : stampOf(run.output);
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    child.pid = ::fork();
    if (child.pid == 0) {
      // Only async-signal-safe calls between fork and exec. A launcher
      // started without standard error may have got the pipe as its fd 2,
      // which dup2 would leave marked to close.
      if (errorPipe[1] == STDERR_FILENO)
        ::fcntl(STDERR_FILENO, F_SETFD, 0);
      else
        ::dup2(errorPipe[1], STDERR_FILENO);
      ::execv(settings_.program.c_str(), argv);
      const int error = errno;
      [[maybe_unused]] const ssize_t ignored = ::write(execPipe[1], &error, sizeof error);
      ::_exit(127);
    }
    const int forkError = errno;
    ImportArgs::freeArgv(argv);
    ::close(errorPipe[1]);
    ::close(execPipe[1]);
    if (child.pid < 0) {
      run.startError = forkError;
      ::close(errorPipe[0]);
      ::close(execPipe[0]);
      return;
    }
    // The pipe closes empty on a successful exec; else it carries errno.
    int execError = 0;
    ssize_t got;
    while ((got = ::read(execPipe[0], &execError, sizeof execError)) < 0 && errno == EINTR) {
    }
    ::close(execPipe[0]);
    if (got == static_cast<ssize_t>(sizeof execError)) {
      run.startError = execError;
      ::close(errorPipe[0]);
      int ignored = 0;
      while (::waitpid(child.pid, &ignored, 0) < 0 && errno == EINTR) {
      }
      return;
    }
    run.started = true;
    ::fcntl(errorPipe[0], F_SETFL, ::fcntl(errorPipe[0], F_GETFL) | O_NONBLOCK);
    child.errorPipe = errorPipe[0];
    children_.push_back(std::move(child));
  }

  void waitForOutput() {
    std::vector<pollfd> watched;
    std::vector<Child*> owners;
    for (Child& child : children_) {
      if (child.errorPipe < 0) continue;
      watched.push_back({child.errorPipe, POLLIN, 0});
      owners.push_back(&child);
    }
    // A run whose pipe has closed is ending: look again soon to collect it.
    bool ending = false;
    for (const Child& child : children_) ending = ending || child.errorPipe < 0;
    const int ready = ::poll(watched.data(), watched.size(), ending ? kEndingPollMilliseconds : kPollMilliseconds);
    if (ready <= 0) return;  // EINTR included: the loop comes straight back
    for (std::size_t i = 0; i < watched.size(); ++i)
      if (watched[i].revents) readErrors(*owners[i]);
  }

  // Reads what is there; closes the pipe at its end.
  void readErrors(Child& child) {
    char buffer[8192];
    while (child.errorPipe >= 0) {
      const ssize_t got = ::read(child.errorPipe, buffer, sizeof buffer);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
      if (got <= 0) {
        ::close(child.errorPipe);
        child.errorPipe = -1;
        if (!child.partialLine.empty()) passOn(child, child.partialLine);
        child.partialLine.clear();
        return;
      }
      child.partialLine.append(buffer, static_cast<std::size_t>(got));
      std::size_t end;
      while ((end = child.partialLine.find('\n')) != std::string::npos) {
        passOn(child, child.partialLine.substr(0, end));
        child.partialLine.erase(0, end + 1);
      }
      if (child.partialLine.size() > kLongestLine) {
        passOn(child, child.partialLine);
        child.partialLine.clear();
      }
    }
  }

  void passOn(Child& child, const std::string& line) {
    ImporterRun& run = runs_[child.run];
    if (run.openFailure.empty() && line.rfind(kOpenFailureLabel, 0) == 0) run.openFailure = line;
    if (settings_.linesPerRun && child.linesPassed >= settings_.linesPerRun) {
      ++child.linesHeld;
      return;
    }
    ++child.linesPassed;
    status_.print(settings_.nameLines ? run.name + ": " + line : line);
  }

  void reapFinished() {
    for (auto it = children_.begin(); it != children_.end();) {
      int status = 0;
      const pid_t done = ::waitpid(it->pid, &status, WNOHANG);
      if (done == 0 || (done < 0 && errno == EINTR)) {
        ++it;
        continue;
      }
      ImporterRun& run = runs_[it->run];
      if (done < 0) {
        run.status = -1;  // someone else reaped it; nothing is known
      } else if (WIFEXITED(status)) {
        run.status = WEXITSTATUS(status);
      } else if (WIFSIGNALED(status)) {
        run.signal = WTERMSIG(status);
        run.status = 128 + run.signal;
      }
      // Whatever it wrote last is still in the pipe.
      readErrors(*it);
      if (it->linesHeld)
        status_.print((settings_.nameLines ? run.name + ": " : std::string()) + "... and " +
                      std::to_string(it->linesHeld) + " more lines not shown");
      if (it->errorPipe >= 0) ::close(it->errorPipe);
      if (it->outputFd >= 0) ::close(it->outputFd);
      ++finished_;
      it = children_.erase(it);
    }
  }

  // Reads what the importer has added to its scene file since the last look.
  void followOutput(Child& child) {
    const ImporterRun& run = runs_[child.run];
    if (run.output == "-") return;
    if (child.outputFd < 0) {
      const FileStamp now = stampOf(run.output);
      if (!now.exists || sameStamp(now, child.outputBefore)) return;
      child.outputFd = ::open(run.output.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
      if (child.outputFd < 0) return;
      struct stat info {};
      if (::fstat(child.outputFd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(child.outputFd);
        child.outputFd = -1;
        return;
      }
    }
    struct stat info {};
    if (::fstat(child.outputFd, &info) != 0) return;
    if (info.st_size < child.outputRead) {
      child.outputRead = 0;
      child.progress.restart();
    }
    char buffer[1 << 16];
    while (child.outputRead < info.st_size) {
      const ssize_t got = ::pread(child.outputFd, buffer, sizeof buffer, child.outputRead);
      if (got <= 0) break;
      child.progress.feed(std::string_view(buffer, static_cast<std::size_t>(got)));
      child.outputRead += got;
    }
  }

  static std::string percent(double fraction) {
    char text[8];
    std::snprintf(text, sizeof text, "%3d%%", static_cast<int>(std::floor(fraction * 100)));
    return text;
  }

  void showProgress() {
    for (Child& child : children_) followOutput(child);
    std::string line;
    if (runs_.size() == 1) {
      // The importer marks its progress only once it writes shapes.
      if (!children_.empty() && children_.front().progress.last()) {
        const ProgressMark& mark = *children_.front().progress.last();
        line = "[" + percent(mark.fraction) + "] " + printable(mark.label);
      }
    } else {
      line = "[" + std::to_string(finished_) + "/" + std::to_string(runs_.size()) + " done]";
      for (const Child& child : children_) {
        line += "  " + printable(runs_[child.run].name);
        if (child.progress.last()) line += " " + percent(child.progress.last()->fraction);
      }
    }
    if (line.empty())
      status_.wipe();
    else
      status_.show(line);
  }

  std::vector<ImporterRun>& runs_;
  const RunSettings& settings_;
  StatusLine status_;
  std::list<Child> children_;
  std::size_t finished_ = 0;
};

}  // namespace

void runImporters(std::vector<ImporterRun>& runs, const RunSettings& settings) { Runner(runs, settings).run(); }
