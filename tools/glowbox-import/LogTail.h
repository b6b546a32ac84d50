#pragma once
// Reading back what importer runs wrote into the shared log file, and sorting
// their warnings into the kinds a person acts on differently.

#include <cstdint>
#include <string>
#include <vector>

struct LogRecord {
  std::string level;    // "ERROR", "WARNING", ...
  std::string text;     // the whole record, continuation lines included
  std::string message;  // the text after the record's prefix
};

// Size of the file now, 0 when it does not exist.
std::uintmax_t logSizeNow(const std::string& path);

// The records appended since the file had `startSize` bytes. A file that is
// now shorter was restarted meanwhile and is read from its beginning.
std::vector<LogRecord> recordsSince(const std::string& path, std::uintmax_t startSize);

// Splits log text into records: a record starts with a line of the form
// "<file>:<line> - <time> <LEVEL>:  "; other lines continue the record before.
std::vector<LogRecord> splitRecords(const std::string& text);

enum class WarningKind {
  OpenFailed,         // the scene could not be opened at all
  HistoryNotEvaluated,
  UnreadableParts,    // statements, nodes or chunks of the scene file skipped
  MissingReferences,  // referenced scene files not found
  NoMaterial,         // shapes left without a material
  EmptyGeometry,      // shapes that yielded no geometry
  Other,
};

WarningKind classifyWarning(const std::string& message);
const char* describeKind(WarningKind kind);

// The importer's complaint when it cannot open the scene, as logged and as
// printed on its standard error; followed by the reason.
inline constexpr const char* kOpenFailureLabel = "could not open Maya file: ";

// "(kEndOfFile): cannot read "x.ma": file is empty" -> "cannot read "x.ma": file
// is empty": the status code means nothing to a person.
std::string plainReason(const std::string& openFailure);
