#pragma once
// Reading back what one importer run wrote into the shared log file.

#include <cstdint>
#include <string>
#include <vector>

struct LogRecord {
  std::string level;  // "ERROR", "WARNING", ...
  std::string text;   // the whole record, continuation lines included
};

// Size of the file now, 0 when it does not exist.
std::uintmax_t logSizeNow(const std::string& path);

// The records appended since the file had `startSize` bytes. A file that is
// now shorter was restarted meanwhile and is read from its beginning.
std::vector<LogRecord> recordsSince(const std::string& path, std::uintmax_t startSize);

// Splits log text into records: a record starts with a line of the form
// "<file>:<line> - <time> <LEVEL>:  "; other lines continue the record before.
std::vector<LogRecord> splitRecords(const std::string& text);
