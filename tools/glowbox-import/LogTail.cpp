#include "tools/glowbox-import/LogTail.h"

#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <system_error>
#include <filesystem>

std::uintmax_t logSizeNow(const std::string& path) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  return error ? 0 : size;
}

std::vector<LogRecord> recordsSince(const std::string& path, std::uintmax_t startSize) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  if (logSizeNow(path) >= startSize) in.seekg(static_cast<std::streamoff>(startSize));
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
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
      records.push_back({match[1].str(), line});
    } else if (!records.empty()) {
      records.back().text += "\n" + line;
    }
  }
  return records;
}
