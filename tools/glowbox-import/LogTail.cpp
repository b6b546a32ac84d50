#include "tools/glowbox-import/LogTail.h"

#include "tools/glowbox-import/System.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <system_error>

std::uintmax_t logSizeNow(const std::string& path) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(sys::pathOf(path), error);
  return error ? 0 : size;
}

std::vector<LogRecord> recordsSince(const std::string& path, std::uintmax_t startSize) {
  std::ifstream in(sys::pathOf(path), std::ios::binary);
  if (!in) return {};
  if (logSizeNow(path) >= startSize) in.seekg(static_cast<std::streamoff>(startSize));
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  sys::plainLineEnds(text);
  return splitRecords(text);
}

std::vector<LogRecord> splitRecords(const std::string& text) {
  static const std::regex recordStart(R"(^[^ ]*:-?\d+ - \S+ ([A-Z0-9]+):  )");
  std::vector<LogRecord> records;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    std::smatch match;
    if (std::regex_search(line, match, recordStart)) {
      records.push_back({match[1].str(), line, match.suffix().str()});
    } else if (!records.empty()) {
      records.back().text += "\n" + line;
      records.back().message += "\n" + line;
    }
  }
  return records;
}

WarningKind classifyWarning(const std::string& message) {
  const auto has = [&message](const char* part) { return message.find(part) != std::string::npos; };
  if (message.rfind(kOpenFailureLabel, 0) == 0) return WarningKind::OpenFailed;
  // Drivers (expressions, constraints) and history nodes the evaluation does
  // not build: the stored or upstream values stand in for them.
  if (has(" not evaluated")) return WarningKind::HistoryNotEvaluated;
  if (has("referenced file not found")) return WarningKind::MissingReferences;
  if (has(": is not in connected, skipping") || has(": is not in a shading group") ||
      has(": is not a renderable object") || has("how to extract material"))
    return WarningKind::NoMaterial;
  if (has(" is empty: ") || has(": tessellation: ") || message.rfind("tessellation: ", 0) == 0)
    return WarningKind::EmptyGeometry;
  // The readers say where in the file: "<scene>.ma:<line>: " or "at byte <n>: ".
  static const std::regex located(R"(\.m[ab]:\d+: |(^|: )at byte \d+: )", std::regex::icase);
  if (std::regex_search(message, located)) return WarningKind::UnreadableParts;
  // The evaluation names the shape whose history it could not follow:
  // "<scene>: mesh <name>: <node>: ...", the geometry passed through instead.
  static const std::regex shapeHistory(R"((^|: )(mesh|surface|curve) [^ ]+: )");
  if (std::regex_search(message, shapeHistory)) return WarningKind::HistoryNotEvaluated;
  return WarningKind::Other;
}

const char* describeKind(WarningKind kind) {
  switch (kind) {
    case WarningKind::OpenFailed: return "scene not opened";
    case WarningKind::HistoryNotEvaluated: return "history not evaluated";
    case WarningKind::UnreadableParts: return "parts of the file skipped";
    case WarningKind::MissingReferences: return "referenced files missing";
    case WarningKind::NoMaterial: return "shapes without material";
    case WarningKind::EmptyGeometry: return "shapes without geometry";
    case WarningKind::Other: break;
  }
  return "other";
}

std::string plainReason(const std::string& openFailure) {
  std::string reason = openFailure;
  if (reason.rfind(kOpenFailureLabel, 0) == 0) reason.erase(0, std::string(kOpenFailureLabel).size());
  static const std::regex statusCode(R"(^\(k[A-Za-z]+\): )");
  reason = std::regex_replace(reason, statusCode, "", std::regex_constants::format_first_only);
  // The logged form ends in a tab.
  while (!reason.empty() && std::isspace(static_cast<unsigned char>(reason.back()))) reason.pop_back();
  return reason;
}
