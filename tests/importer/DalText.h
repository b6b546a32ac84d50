#pragma once
// Reads the readable form of a written scene back into a tree of blocks, so
// that tests can ask for groups, cameras and materials by name instead of
// matching text. Only the readable form is understood: binary array blocks
// are skipped over as opaque bytes inside their brackets.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace daltext {

// One `kind "name" { ... }` block: its header words (quotes removed), the
// statements directly inside it (one word list per line, commas dropped, an
// array kept as the words between "[" and "]") and its nested blocks.
struct Block {
  std::vector<std::string> header;
  std::vector<std::vector<std::string>> lines;
  std::vector<Block> children;

  std::string kind() const { return header.empty() ? std::string() : header.front(); }
  std::string name() const { return header.size() < 2 ? std::string() : header.back(); }

  // The first nested block whose header starts with `kind` and ends with
  // `name`; null when there is none.
  const Block* child(const std::string& kind, const std::string& name) const {
    for (const Block& b : children)
      if (b.kind() == kind && b.name() == name) return &b;
    return nullptr;
  }

  std::vector<const Block*> childrenOfKind(const std::string& kind) const {
    std::vector<const Block*> found;
    for (const Block& b : children)
      if (b.kind() == kind) found.push_back(&b);
    return found;
  }

  // The words after `key` on the first statement that starts with it.
  const std::vector<std::string>* line(const std::string& key) const {
    for (const auto& l : lines)
      if (!l.empty() && l.front() == key) return &l;
    return nullptr;
  }

  // The numbers after `key`, of an array too.
  std::vector<double> numbers(const std::string& key) const {
    std::vector<double> values;
    if (const auto* l = line(key))
      for (size_t i = 1; i < l->size(); ++i)
        if ((*l)[i] != "[" && (*l)[i] != "]") values.push_back(std::strtod((*l)[i].c_str(), nullptr));
    return values;
  }

  std::string word(const std::string& key) const {
    const auto* l = line(key);
    return l && l->size() > 1 ? (*l)[1] : std::string();
  }
};

// Names holding quotes, line breaks or non-ASCII bytes are written as "xX"
// and lowercase hex; this turns them back into their bytes.
inline std::string decodeHexName(const std::string& word) {
  if (word.size() < 2 || word.compare(0, 2, "xX") != 0 || word.size() % 2 != 0) return word;
  std::string bytes;
  for (size_t i = 2; i < word.size(); i += 2) {
    const std::string pair = word.substr(i, 2);
    if (pair.find_first_not_of("0123456789abcdef") != std::string::npos) return word;
    bytes.push_back(static_cast<char>(std::stoi(pair, nullptr, 16)));
  }
  return bytes;
}

// The whole document as the children and statements of an unnamed root.
inline Block parse(const std::string& text) {
  Block root;
  std::vector<Block*> open{&root};
  std::vector<std::string> statement;
  int arrayDepth = 0;
  auto endStatement = [&] {
    if (!statement.empty()) open.back()->lines.push_back(statement);
    statement.clear();
  };
  for (size_t pos = 0; pos < text.size();) {
    const char c = text[pos];
    if (text.compare(pos, 2, "//") == 0 && arrayDepth == 0) {
      pos = std::min(text.find('\n', pos), text.size());
    } else if (text.compare(pos, 3, "\x01\x02\x03") == 0) {
      // A binary array block: skip to its closing bracket.
      pos = std::min(text.find(']', pos), text.size());
    } else if (c == '"') {
      const size_t end = std::min(text.find('"', pos + 1), text.size());
      statement.push_back(text.substr(pos + 1, end - pos - 1));
      pos = end + 1;
    } else if (std::string_view("\n \t\r,{}[]").find(c) == std::string_view::npos) {
      // A bare word; a lone unexpected byte is stepped over.
      const size_t end = std::max(std::min(text.find_first_of(" \t\n\r\v\f,{}[]\"", pos), text.size()), pos + 1);
      statement.push_back(decodeHexName(text.substr(pos, end - pos)));
      pos = end;
    } else if (++pos; c == '\n' && arrayDepth == 0) {  // single-character tokens from here on
      endStatement();
    } else if (c == '{') {
      open.back()->children.push_back(Block{statement, {}, {}});
      statement.clear();
      open.push_back(&open.back()->children.back());
    } else if (c == '}') {
      endStatement();
      if (open.size() > 1) open.pop_back();
    } else if (c == '[' || c == ']') {
      arrayDepth = std::max(0, arrayDepth + (c == '[' ? 1 : -1));
      statement.push_back(std::string(1, c));
    }
  }
  endStatement();
  return root;
}

// `block`, or after a failure naming `what` an empty block, whose lookups
// then fail in turn.
inline const Block& need(const Block* block, const std::string& what) {
  static const Block none;
  if (!block) ADD_FAILURE() << "no " << what;
  return block ? *block : none;
}

// The `#define <kind> "name" { ... }` block of the document ("material", "object").
inline const Block* definition(const Block& document, const std::string& kind, const std::string& name) {
  for (const Block& b : document.children)
    if (b.header == std::vector<std::string>{"#define", kind, name}) return &b;
  return nullptr;
}

}  // namespace daltext
