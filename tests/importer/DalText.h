#pragma once
// Reads the readable form of a written scene back into a tree of blocks, so
// that tests can ask for groups, cameras and materials by name instead of
// matching text. Only the readable form is understood: binary array blocks
// are skipped over as opaque bytes inside their brackets.

#include <cctype>
#include <cstdlib>
#include <string>
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

  // Depth-first search of the whole subtree, this block excluded.
  const Block* findAnywhere(const std::string& kind, const std::string& name) const {
    for (const Block& b : children) {
      if (b.kind() == kind && b.name() == name) return &b;
      if (const Block* inner = b.findAnywhere(kind, name)) return inner;
    }
    return nullptr;
  }

  // The words after `key` on the first statement that starts with it.
  const std::vector<std::string>* line(const std::string& key) const {
    for (const auto& l : lines)
      if (!l.empty() && l.front() == key) return &l;
    return nullptr;
  }

  std::vector<double> numbers(const std::string& key) const {
    std::vector<double> values;
    if (const auto* l = line(key))
      for (size_t i = 1; i < l->size(); ++i) values.push_back(std::strtod((*l)[i].c_str(), nullptr));
    return values;
  }

  std::string word(const std::string& key) const {
    const auto* l = line(key);
    return l && l->size() > 1 ? (*l)[1] : std::string();
  }
};

namespace detail {

inline int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Names holding quotes, line breaks or non-ASCII bytes are written as "xX"
// and lowercase hex; this turns them back into their bytes.
inline std::string decodeHexName(const std::string& word) {
  if (word.size() < 2 || word.compare(0, 2, "xX") != 0 || word.size() % 2 != 0) return word;
  std::string bytes;
  for (size_t i = 2; i < word.size(); i += 2) {
    const int high = hexDigit(word[i]), low = hexDigit(word[i + 1]);
    if (high < 0 || low < 0) return word;
    bytes.push_back(static_cast<char>(high * 16 + low));
  }
  return bytes;
}

class Parser {
 public:
  explicit Parser(const std::string& text) : text_(text) {}

  Block parse() {
    Block root;
    std::vector<Block*> open{&root};
    std::vector<std::string> statement;
    int arrayDepth = 0;
    auto endStatement = [&] {
      if (!statement.empty()) open.back()->lines.push_back(statement);
      statement.clear();
    };
    while (pos_ < text_.size()) {
      const char c = text_[pos_];
      if (c == '\n') {
        ++pos_;
        if (arrayDepth == 0) endStatement();
      } else if (c == ' ' || c == '\t' || c == '\r' || c == ',') {
        ++pos_;
      } else if (c == '/' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '/' && arrayDepth == 0) {
        while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
      } else if (c == '\x01' && text_.compare(pos_, 3, "\x01\x02\x03") == 0) {
        // A binary array block: skip to its closing bracket.
        while (pos_ < text_.size() && text_[pos_] != ']') ++pos_;
      } else if (c == '{') {
        ++pos_;
        Block block;
        block.header = statement;
        statement.clear();
        open.back()->children.push_back(std::move(block));
        open.push_back(&open.back()->children.back());
      } else if (c == '}') {
        ++pos_;
        endStatement();
        if (open.size() > 1) open.pop_back();
      } else if (c == '[') {
        ++pos_;
        ++arrayDepth;
        statement.push_back("[");
      } else if (c == ']') {
        ++pos_;
        if (arrayDepth > 0) --arrayDepth;
        statement.push_back("]");
      } else if (c == '"') {
        statement.push_back(quoted());
      } else {
        statement.push_back(decodeHexName(bareWord()));
      }
    }
    endStatement();
    return root;
  }

 private:
  std::string quoted() {
    ++pos_;
    const size_t end = text_.find('"', pos_);
    std::string value = text_.substr(pos_, end == std::string::npos ? std::string::npos : end - pos_);
    pos_ = end == std::string::npos ? text_.size() : end + 1;
    return value;
  }

  std::string bareWord() {
    const size_t start = pos_;
    while (pos_ < text_.size()) {
      const char c = text_[pos_];
      if (std::isspace(static_cast<unsigned char>(c)) || c == ',' || c == '{' || c == '}' || c == '[' || c == ']' ||
          c == '"')
        break;
      ++pos_;
    }
    if (pos_ == start) ++pos_;  // a lone unexpected byte: step over it
    return text_.substr(start, pos_ - start);
  }

  const std::string& text_;
  size_t pos_ = 0;
};

}  // namespace detail

// The whole document as the children and statements of an unnamed root.
inline Block parse(const std::string& text) { return detail::Parser(text).parse(); }

// `#define material "name" { ... }` blocks of the document.
inline const Block* materialDefinition(const Block& document, const std::string& name) {
  for (const Block& b : document.children)
    if (b.header.size() == 3 && b.header[0] == "#define" && b.header[1] == "material" && b.header[2] == name)
      return &b;
  return nullptr;
}

}  // namespace daltext
