#include "tools/glowbox-import/ImporterRuns.h"

#include "tools/glowbox-import/LogTail.h"
#include "tools/glowbox-import/ProgressMark.h"
#include "tools/glowbox-import/System.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
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
    const std::size_t width = sys::terminalWidth();
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
  bool enabled_;
  std::string text_;
};

struct Child {
  std::size_t run = 0;
  sys::ImporterProcess process;
  bool errorsOpen = true;  // until the importer's standard error has ended
  std::string partialLine;
  std::size_t linesPassed = 0, linesHeld = 0;
  // Where the scene file stood before the run: until the importer has
  // truncated it, the file still holds an earlier run's marks.
  sys::FileStamp outputBefore;
  sys::FollowedFile output;
  std::int64_t outputRead = 0;
  ProgressScanner progress;
};

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
    std::vector<std::string> arguments = {settings_.program};
    run.args.encode(arguments);
    Child& child = children_.emplace_back();
    child.run = index;
    child.outputBefore = run.output == "-" ? sys::FileStamp{} : sys::stampOf(run.output);
    // The importer writes to the same standard output and error.
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    if (!child.process.start(settings_.program, arguments, run.startFailure)) {
      children_.pop_back();
      return;
    }
    run.started = true;
  }

  void waitForOutput() {
    std::vector<sys::ImporterProcess*> watched;
    std::vector<Child*> owners;
    // A run whose pipe has closed is ending: look again soon to collect it.
    bool ending = false;
    for (Child& child : children_) {
      ending = ending || !child.errorsOpen;
      if (!child.errorsOpen) continue;
      watched.push_back(&child.process);
      owners.push_back(&child);
    }
    const std::vector<bool> ready =
        sys::waitForErrors(watched, ending ? kEndingPollMilliseconds : kPollMilliseconds);
    for (std::size_t i = 0; i < watched.size(); ++i)
      if (ready[i]) readErrors(*owners[i]);
  }

  // Reads what is there; notes the end of the stream.
  void readErrors(Child& child) {
    std::string piece;
    while (child.errorsOpen) {
      switch (child.process.readErrors(piece)) {
        case sys::ErrorRead::Nothing:
          return;
        case sys::ErrorRead::Ended:
          child.errorsOpen = false;
          if (!child.partialLine.empty()) passOn(child, child.partialLine);
          child.partialLine.clear();
          return;
        case sys::ErrorRead::Piece:
          break;
      }
      child.partialLine += piece;
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
      sys::Ending ending;
      if (!it->process.ended(ending)) {
        ++it;
        continue;
      }
      ImporterRun& run = runs_[it->run];
      run.status = ending.status;
      run.endedBy = ending.cause;
      // Whatever it wrote last is still in the pipe.
      readErrors(*it);
      if (it->linesHeld)
        status_.print((settings_.nameLines ? run.name + ": " : std::string()) + "... and " +
                      std::to_string(it->linesHeld) + " more lines not shown");
      ++finished_;
      it = children_.erase(it);
    }
  }

  // Reads what the importer has added to its scene file since the last look.
  void followOutput(Child& child) {
    const ImporterRun& run = runs_[child.run];
    if (run.output == "-") return;
    if (!child.output.isOpen()) {
      const sys::FileStamp now = sys::stampOf(run.output);
      if (!now.exists || now == child.outputBefore) return;
      if (!child.output.open(run.output)) return;
    }
    const std::int64_t size = child.output.size();
    if (size < 0) return;
    if (size < child.outputRead) {
      child.outputRead = 0;
      child.progress.restart();
    }
    char buffer[1 << 16];
    while (child.outputRead < size) {
      const std::int64_t got = child.output.readAt(child.outputRead, buffer, sizeof buffer);
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
    // Appended piece by piece: MinGW's g++ 12 warns, wrongly, of overlapping
    // copies in "[" + a string made on the spot.
    std::string line;
    if (runs_.size() == 1) {
      // The importer marks its progress only once it writes shapes.
      if (!children_.empty() && children_.front().progress.last()) {
        const ProgressMark& mark = *children_.front().progress.last();
        line.append("[").append(percent(mark.fraction)).append("] ").append(printable(mark.label));
      }
    } else {
      line.append("[").append(std::to_string(finished_)).append("/").append(std::to_string(runs_.size()));
      line.append(" done]");
      for (const Child& child : children_) {
        line.append("  ").append(printable(runs_[child.run].name));
        if (child.progress.last()) line.append(" ").append(percent(child.progress.last()->fraction));
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
