#pragma once
// The importer writes `progress "label" 0.455` statements into the scene file
// between objects. Reading them from the growing file is how the launcher
// learns how far an import has come: the importer has no other channel.
//
// Kept in a header: the end-to-end test executable checks it without linking
// the launcher.

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

struct ProgressMark {
  std::string label;
  double fraction = 0;  // 0 .. 1
};

namespace progress_detail {

inline bool isBlank(char c) { return c == ' ' || c == '\t'; }

inline int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// One line without its line feed; a mark only when the whole line is one.
inline std::optional<ProgressMark> parseLine(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  size_t at = 0;
  while (at < line.size() && isBlank(line[at])) ++at;
  constexpr std::string_view kKey = "progress ";
  if (line.substr(at, kKey.size()) != kKey) return std::nullopt;
  at += kKey.size();
  ProgressMark mark;
  if (at < line.size() && line[at] == '"') {
    const size_t close = line.find('"', at + 1);
    if (close == std::string_view::npos) return std::nullopt;
    mark.label = std::string(line.substr(at + 1, close - at - 1));
    at = close + 1;
  } else if (line.substr(at, 2) == "xX") {
    // Names the writer cannot quote arrive as "xX" and hex digits.
    for (at += 2; at + 1 < line.size() && !isBlank(line[at]); at += 2) {
      const int high = hexValue(line[at]), low = hexValue(line[at + 1]);
      if (high < 0 || low < 0) return std::nullopt;
      mark.label.push_back(static_cast<char>(high * 16 + low));
    }
  } else {
    return std::nullopt;
  }
  if (at >= line.size() || !isBlank(line[at])) return std::nullopt;
  while (at < line.size() && isBlank(line[at])) ++at;
  size_t end = line.size();
  while (end > at && isBlank(line[end - 1])) --end;
  double value = 0;
  const auto [stop, error] = std::from_chars(line.data() + at, line.data() + end, value);
  if (error != std::errc() || stop != line.data() + end || !std::isfinite(value)) return std::nullopt;
  mark.fraction = std::clamp(value, 0.0, 1.0);
  return mark;
}

}  // namespace progress_detail

// The last complete progress statement in `bytes`, which start at a line
// start. A line still being written (no line feed yet) is not a mark: its
// number may be cut short.
inline std::optional<ProgressMark> lastProgressMark(std::string_view bytes) {
  size_t end = bytes.rfind('\n');
  if (end == std::string_view::npos) return std::nullopt;
  // Backwards, line by line: the newest mark is near the end.
  while (true) {
    const size_t previous = end == 0 ? std::string_view::npos : bytes.rfind('\n', end - 1);
    const size_t start = previous == std::string_view::npos ? 0 : previous + 1;
    if (auto mark = progress_detail::parseLine(bytes.substr(start, end - start))) return mark;
    if (previous == std::string_view::npos) return std::nullopt;
    end = previous;
  }
}

// Follows a file as it grows, chunk by chunk, remembering the newest mark.
class ProgressScanner {
 public:
  void feed(std::string_view chunk) {
    pending_.append(chunk);
    const size_t lastLineEnd = pending_.rfind('\n');
    if (lastLineEnd == std::string::npos) {
      // Binary array blocks can run for megabytes without a line feed; a
      // mark is never that long, so what cannot be one is dropped.
      if (pending_.size() > kLongestLine) {
        pending_.clear();
        midLine_ = true;
      }
      return;
    }
    // A line whose start was dropped is no mark, whatever its end looks like.
    const size_t from = midLine_ ? pending_.find('\n') + 1 : 0;
    midLine_ = false;
    if (auto mark = lastProgressMark(std::string_view(pending_).substr(from, lastLineEnd + 1 - from))) last_ = std::move(mark);
    pending_.erase(0, lastLineEnd + 1);
  }

  void restart() {
    pending_.clear();
    midLine_ = false;
    last_.reset();
  }

  const std::optional<ProgressMark>& last() const { return last_; }

 private:
  static constexpr size_t kLongestLine = 64 * 1024;
  std::string pending_;
  bool midLine_ = false;
  std::optional<ProgressMark> last_;
};
