#pragma once
// The importer's diagnostics: one record per LOG statement, appended to
// "sceneapi.log" in the renderer's resource folder (the temporary folder when
// no installation is registered). Standard output carries scene data, so the
// log never writes there.
//
//   LOG(logWARNING) << "could not open Maya file: " << name;
//
// writes a line such as
//
//   maya2glowbox.cpp:120 - 14:03:27.042 WARNING:  could not open Maya file: a.ma
//
// A record is assembled in memory and written with one fprintf and a flush
// when the statement ends, so a crash loses at most the record being built.
// Single-threaded by design: nothing here is locked.

#include <cstdio>
#include <sstream>
#include <string>

enum LogLevel {
  logERROR = 0,
  logWARNING = 1,
  logINFO = 2,
  logDEBUG = 3,
  logDEBUG1 = 4,
  logDEBUG2 = 5,
  logDEBUG3 = 6,
  logDEBUG4 = 7,
  // Highest value: as a reporting level it admits everything, like DEBUG4.
  // No record is ever made at this level.
  logNONE = 8
};

// The process-wide reporting level: a record of level L is made when L is at
// most this. Starts at DEBUG4 so that everything before the settings are read
// is recorded.
int& reportingLevel();

// "HH:MM:SS.mmm", where mmm counts milliseconds since the first time stamp of
// the process modulo 1000 (a cheap monotonic clue for ordering, not the wall
// clock's milliseconds). "Error in NowTime()" when the clock cannot be read.
std::string nowTime();

// Where the log goes: the registered resource folder (per-user over
// machine-wide), else the temporary folder, then a separator and "sceneapi.log".
std::string logFilePath();

// The file sink. Static only: the open FILE* is process-wide.
class Output2FILE {
 public:
  // The log file, opened on first use: appended to while below 20 MiB,
  // emptied once it has reached that. Null when it cannot be opened, after
  // saying so on standard error; the next call then tries again.
  static FILE*& stream();
  // Writes one finished record with one fprintf and flushes it.
  static void output(const std::string& record);
  // For tests only: closes and forgets the open file and the time-stamp tick
  // base, so that the next record recomputes the path (from TMPDIR,
  // VANTOR_SYSCONFDIR, XDG_CONFIG_HOME) and counts milliseconds afresh.
  static void resetForTesting();
};

template <typename OutputPolicy>
class Log {
 public:
  Log() = default;
  Log(const Log&) = delete;
  Log& operator=(const Log&) = delete;
  virtual ~Log() {
    os << std::endl;
    OutputPolicy::output(os.str());
  }

  // Writes the prefix "<file base name>:<line> - <time> <LEVEL>:  " and
  // returns the stream that collects the message.
  std::ostringstream& get(LogLevel level, const char* file, int line) {
    os << baseName(file) << ":" << line << " " << "- " << nowTime() << " " << toString(level) << ": " << " ";
    return os;
  }

  static int& reportingLevel() { return ::reportingLevel(); }

  static std::string toString(LogLevel level) {
    static const char* const names[] = {"ERROR",  "WARNING", "INFO",   "DEBUG", "DEBUG1",
                                        "DEBUG2", "DEBUG3",  "DEBUG4", "NONE"};
    const int index = static_cast<int>(level);
    return (index >= 0 && index <= logNONE) ? names[index] : "UNKNOWN";
  }

  // Case-sensitive. An unknown name is recorded as a WARNING, whatever the
  // reporting level, and read as INFO.
  static LogLevel fromString(const std::string& name) {
    static const LogLevel order[] = {logNONE,   logDEBUG4, logDEBUG3, logDEBUG2, logDEBUG1,
                                     logDEBUG,  logINFO,   logWARNING, logERROR};
    for (LogLevel level : order)
      if (name == toString(level)) return level;
    Log<OutputPolicy>().get(logWARNING, "", 0)
        << "Unknown logging level '" << name << "'. Using INFO level as default.";
    return logINFO;
  }

 protected:
  std::ostringstream os;

 private:
  static const char* baseName(const char* path) {
    if (!path) return "";
    const char* base = path;
    for (const char* c = path; *c; ++c)
      if (*c == '/' || *c == '\\') base = c + 1;
    return base;
  }
};

class FILELog : public Log<Output2FILE> {
 public:
  ~FILELog() override {}
};

namespace logdetail {
// Lets a disabled LOG statement be a void expression of the same shape as an
// enabled one; & binds looser than << and tighter than ?:.
struct Voidify {
  void operator&(std::ostream&) const {}
};
}  // namespace logdetail

// Nothing after LOG(level) is evaluated unless the level passes and the log
// file is open. An expression rather than an if/else, so that it nests in the
// caller's own if/else without ambiguity.
#define LOG(level)                                                                \
  (static_cast<int>(level) > ::reportingLevel() || !::Output2FILE::stream())      \
      ? (void)0                                                                   \
      : ::logdetail::Voidify() & ::FILELog().get(static_cast<LogLevel>(level), __FILE__, __LINE__)
