#pragma once
// A Windows program receives one command-line string and splits it into its
// arguments itself. Quoting each argument for the rules of that split (the C
// runtime's and CommandLineToArgvW's, which agree on everything written here)
// lets any argument arrive as it was given.
//
// Kept in a header: the test executables start programs on Windows with it.

#include <cstddef>
#include <string>
#include <vector>

namespace cmdline {

// Backslashes are literal unless a quote follows them; then each pair stands
// for one backslash and an odd one out escapes the quote. So backslashes are
// doubled exactly where a quote follows, the closing quote included.
inline std::string quote(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos) return argument;
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (const char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    quoted.push_back(c);
  }
  quoted.append(2 * backslashes, '\\');
  quoted.push_back('"');
  return quoted;
}

inline std::string join(const std::vector<std::string>& arguments) {
  std::string line;
  for (const std::string& argument : arguments) {
    if (!line.empty()) line.push_back(' ');
    line += quote(argument);
  }
  return line;
}

}  // namespace cmdline
