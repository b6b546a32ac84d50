// The scene file reader. One pass over the bytes: words, quoted and hex
// names, "{" and "}" for blocks, "[ ... ]" for arrays (text or a binary block
// whose declared size is checked against the bytes left before anything is
// allocated), and the "#print"/"#error" lines whose text is taken whole.

#include "sceneapi/DalReader.h"

#include "common/platform/Platform.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>

namespace dal {
namespace {

const std::string kNothing;

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }
bool endsWord(char c) { return isSpace(c) || c == '\n' || (c != '\0' && std::strchr(",{}[]\"", c) != nullptr); }

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// "xX" and lowercase hex pairs back to their bytes; anything else unchanged.
std::string decodeWord(std::string_view word) {
  if (word.size() < 2 || word.substr(0, 2) != "xX" || word.size() % 2 != 0) return std::string(word);
  std::string bytes;
  for (std::size_t i = 2; i < word.size(); i += 2) {
    const int high = hexDigit(word[i]), low = hexDigit(word[i + 1]);
    if (high < 0 || low < 0) return std::string(word);
    bytes.push_back(static_cast<char>(high * 16 + low));
  }
  return bytes;
}

NumberForm formOf(std::string_view token) {
  const std::size_t digits = token.find_first_not_of("+-0123456789");
  if (digits == std::string_view::npos) return NumberForm::Integer;
  const std::size_t point = token.find('.');
  if (point != std::string_view::npos && token.size() - point - 1 == 16 &&
      token.find_first_of("eE", point) == std::string_view::npos)
    return NumberForm::Fixed16;
  return NumberForm::General;
}

bool parseNumber(std::string_view token, double& value) {
  const char* first = token.data();
  if (!token.empty() && token.front() == '+') ++first;
  const auto [end, error] = std::from_chars(first, token.data() + token.size(), value);
  return error == std::errc() && end == token.data() + token.size();
}

template <typename T>
T loadLittleEndian(const char* bytes) {
  unsigned char raw[sizeof(T)];
  std::memcpy(raw, bytes, sizeof(T));
  if constexpr (std::endian::native == std::endian::big) std::reverse(raw, raw + sizeof(T));
  T value;
  std::memcpy(&value, raw, sizeof(T));
  return value;
}

class Reader {
 public:
  Reader(std::string_view text, Document& out, ReadError& error, const ReadLimits& limits)
      : text_(text), error_(error), limits_(limits), open_{&out.root} {}

  bool run() {
    while (pos_ < text_.size() && !failed_) step();
    if (failed_) return false;
    endStatement();
    if (open_.size() > 1) return fail(open_.back()->offset, "the block \"" + describeHeader(*open_.back()) + "\" is not closed");
    return true;
  }

 private:
  void step() {
    const char c = text_[pos_];
    if (c == '\n') {
      endStatement();
      ++pos_;
    } else if (isSpace(c) || c == ',') {
      ++pos_;
    } else if (text_.compare(pos_, 2, "//") == 0) {
      pos_ = std::min(text_.find('\n', pos_), text_.size());
    } else if (statement_.words.empty() && (text_.compare(pos_, 8, "#print \"") == 0 || text_.compare(pos_, 8, "#error \"") == 0)) {
      readRecordText();
    } else if (c == '"') {
      readQuoted();
    } else if (c == '{') {
      openBlock();
    } else if (c == '}') {
      closeBlock();
    } else if (c == '[') {
      readArray();
    } else if (c == ']') {
      fail(pos_, "a ']' closes no array");
    } else {
      const std::size_t start = pos_;
      while (pos_ < text_.size() && !endsWord(text_[pos_])) ++pos_;
      const std::string_view word = text_.substr(start, pos_ - start);
      std::string decoded = decodeWord(word);
      const bool wasHex = decoded != word;
      addWord(start, std::move(decoded), wasHex);
    }
  }

  bool fail(std::size_t offset, std::string message) {
    if (failed_) return false;
    failed_ = true;
    error_.offset = offset;
    error_.line = 1 + static_cast<std::size_t>(std::count(text_.begin(), text_.begin() + std::min(offset, text_.size()), '\n'));
    error_.message = std::move(message);
    return false;
  }

  static std::string describeHeader(const Block& block) {
    std::string words;
    for (const std::string& w : block.header) words += (words.empty() ? "" : " ") + w;
    return words;
  }

  void addWord(std::size_t offset, std::string word, bool quoted) {
    if (statement_.words.empty() && statement_.arrays.empty()) statement_.offset = offset;
    statement_.words.push_back(std::move(word));
    statement_.quoted.push_back(quoted);
  }

  void endStatement() {
    if (!statement_.words.empty() || !statement_.arrays.empty()) open_.back()->statements.push_back(std::move(statement_));
    statement_ = Statement{};
  }

  // The text of a print or error record runs to the quote that ends its line:
  // the text itself is written unescaped and may hold quotes.
  void readRecordText() {
    const std::size_t start = pos_;
    const std::size_t textStart = pos_ + 8;
    std::size_t end = text_.find("\"\n", textStart);
    if (end == std::string_view::npos) {
      end = text_.size() - 1;
      if (text_.size() <= textStart || text_.back() != '"') {
        fail(start, "the text of " + std::string(text_.substr(start, 6)) + " has no closing quote");
        return;
      }
    }
    addWord(start, std::string(text_.substr(start, 6)), false);
    addWord(textStart, std::string(text_.substr(textStart, end - textStart)), true);
    pos_ = end + 1;
  }

  void readQuoted() {
    const std::size_t start = pos_;
    const std::size_t end = text_.find_first_of("\"\n", start + 1);
    if (end == std::string_view::npos || text_[end] != '"') {
      fail(start, "a quoted name has no closing quote on its line");
      return;
    }
    addWord(start, std::string(text_.substr(start + 1, end - start - 1)), true);
    pos_ = end + 1;
  }

  void openBlock() {
    if (open_.size() > limits_.maxDepth) {
      fail(pos_, "blocks nested deeper than " + std::to_string(limits_.maxDepth));
      return;
    }
    Block block;
    block.offset = statement_.words.empty() ? pos_ : statement_.offset;
    block.header = std::move(statement_.words);
    block.headerQuoted = std::move(statement_.quoted);
    statement_ = Statement{};
    open_.back()->children.push_back(std::move(block));
    open_.push_back(&open_.back()->children.back());
    ++pos_;
  }

  void closeBlock() {
    endStatement();
    if (open_.size() == 1) {
      fail(pos_, "a '}' closes no block");
      return;
    }
    open_.back()->end = ++pos_;
    open_.pop_back();
  }

  void skipArraySpace() {
    while (pos_ < text_.size() && (isSpace(text_[pos_]) || text_[pos_] == '\n')) ++pos_;
  }

  void readArray() {
    Array array;
    array.offset = pos_++;
    skipArraySpace();
    const bool ok = text_.compare(pos_, 3, "\x01\x02\x03") == 0 ? readBinaryBlock(array) : readTextArray(array);
    if (!ok) return;
    if (statement_.words.empty() && statement_.arrays.empty()) statement_.offset = array.offset;
    statement_.arrays.push_back(std::move(array));
  }

  bool readBinaryBlock(Array& array) {
    const std::size_t start = pos_;
    if (text_.size() - pos_ < 8) return fail(start, "a binary block is cut short in its header");
    const char tag = text_[pos_ + 3];
    const std::size_t scalarSize = tag == 'r' ? 8 : 4;
    if (!std::strchr("fric", tag) || tag == '\0') return fail(start, std::string("a binary block of unknown type '") + tag + "'");
    const std::uint32_t count = loadLittleEndian<std::uint32_t>(text_.data() + pos_ + 4);
    pos_ += 8;
    const std::uint64_t bytes = std::uint64_t{count} * scalarSize;
    if (bytes > text_.size() - pos_)
      return fail(start, "a binary block of " + std::to_string(count) + " values needs " + std::to_string(bytes) +
                             " bytes, but the file has " + std::to_string(text_.size() - pos_) + " left");
    if (tag == 'c' && count % 3 != 0) return fail(start, "a binary block of triples holds " + std::to_string(count) + " values");
    array.binary = true;
    array.tupleSize = tag == 'c' ? 3 : 1;
    array.form = tag == 'i' ? NumberForm::Integer : tag == 'r' ? NumberForm::Fixed16 : NumberForm::General;
    array.values.resize(count);
    const char* data = text_.data() + pos_;
    for (std::uint32_t i = 0; i < count; ++i, data += scalarSize) {
      if (tag == 'r') array.values[i] = loadLittleEndian<double>(data);
      else if (tag == 'i') array.values[i] = loadLittleEndian<std::int32_t>(data);
      else array.values[i] = loadLittleEndian<float>(data);
    }
    pos_ += static_cast<std::size_t>(bytes);
    skipArraySpace();
    if (pos_ >= text_.size() || text_[pos_] != ']') return fail(start, "a binary block is not followed by its ']'");
    ++pos_;
    return true;
  }

  bool readTextArray(Array& array) {
    std::size_t itemNumbers = 0, firstItem = 0;
    bool sameSize = true, general = false, fixed16 = false;
    auto endItem = [&] {
      if (itemNumbers == 0) return;
      if (firstItem == 0) firstItem = itemNumbers;
      sameSize = sameSize && itemNumbers == firstItem;
      itemNumbers = 0;
    };
    while (true) {
      skipArraySpace();
      if (pos_ >= text_.size()) return fail(array.offset, "an array is not closed");
      const char c = text_[pos_];
      if (c == ']') break;
      if (c == ',') {
        endItem();
        ++pos_;
      } else if (c == '[' || c == '{' || c == '}') {
        return fail(pos_, std::string("a '") + c + "' inside an array");
      } else if (c == '"') {
        const std::size_t end = text_.find_first_of("\"\n", pos_ + 1);
        if (end == std::string_view::npos || text_[end] != '"') return fail(pos_, "a quoted name has no closing quote on its line");
        array.names.emplace_back(text_.substr(pos_ + 1, end - pos_ - 1));
        pos_ = end + 1;
      } else {
        const std::size_t start = pos_;
        while (pos_ < text_.size() && !endsWord(text_[pos_])) ++pos_;
        const std::string_view token = text_.substr(start, pos_ - start);
        double value = 0;
        if (!parseNumber(token, value)) {
          array.names.push_back(decodeWord(token));
          continue;
        }
        array.values.push_back(value);
        ++itemNumbers;
        const NumberForm form = formOf(token);
        general = general || form == NumberForm::General;
        fixed16 = fixed16 || form == NumberForm::Fixed16;
      }
    }
    endItem();
    ++pos_;
    array.tupleSize = sameSize && firstItem > 0 ? static_cast<std::uint32_t>(firstItem) : 1;
    array.form = fixed16 ? NumberForm::Fixed16 : general ? NumberForm::General : NumberForm::Integer;
    return true;
  }

  std::string_view text_;
  ReadError& error_;
  const ReadLimits& limits_;
  std::vector<Block*> open_;
  Statement statement_;
  std::size_t pos_ = 0;
  bool failed_ = false;
};

}  // namespace

const std::string& Statement::key() const { return words.empty() ? kNothing : words.front(); }

std::vector<double> Statement::numbers() const {
  std::vector<double> values;
  for (std::size_t i = 1; i < words.size(); ++i)
    if (double v = 0; parseNumber(words[i], v)) values.push_back(v);
  for (const Array& array : arrays) values.insert(values.end(), array.values.begin(), array.values.end());
  return values;
}

const std::string& Block::kind() const { return header.empty() ? kNothing : header.front(); }
const std::string& Block::name() const { return header.size() < 2 ? kNothing : header.back(); }

const Block* Block::child(std::string_view kind, std::string_view name) const {
  for (const Block& b : children)
    if (b.kind() == kind && b.name() == name) return &b;
  return nullptr;
}

std::vector<const Block*> Block::childrenOfKind(std::string_view kind) const {
  std::vector<const Block*> found;
  for (const Block& b : children)
    if (b.kind() == kind) found.push_back(&b);
  return found;
}

const Block* Block::definition(std::string_view kind, std::string_view name) const {
  for (const Block& b : children)
    if (b.header.size() == 3 && b.header[0] == "#define" && b.header[1] == kind && b.header[2] == name) return &b;
  return nullptr;
}

const Statement* Block::statement(std::string_view key) const {
  for (const Statement& s : statements)
    if (s.key() == key) return &s;
  return nullptr;
}

std::vector<double> Block::numbers(std::string_view key) const {
  const Statement* s = statement(key);
  return s ? s->numbers() : std::vector<double>{};
}

std::string Block::word(std::string_view key) const {
  const Statement* s = statement(key);
  return s && s->words.size() > 1 ? s->words[1] : std::string();
}

std::string ReadError::describe() const {
  return "byte " + std::to_string(offset) + " (line " + std::to_string(line) + "): " + message;
}

bool read(std::string_view text, Document& out, ReadError& error, const ReadLimits& limits) {
  out = Document{};
  return Reader(text, out, error, limits).run();
}

// By the UTF-8 name on every system (a narrow stream takes Windows' code page).
bool loadBytes(const std::string& path, std::string& bytes) {
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(platform::openFileUtf8(path, "rb"), &std::fclose);
  if (!file) return false;
  bytes.clear();
  std::vector<char> chunk(std::size_t{1} << 20);
  while (const std::size_t got = std::fread(chunk.data(), 1, chunk.size(), file.get())) bytes.append(chunk.data(), got);
  return !std::ferror(file.get());
}

bool readFile(const std::string& path, Document& out, ReadError& error, const ReadLimits& limits) {
  std::string bytes;
  if (!loadBytes(path, bytes)) {
    out = Document{};
    error = ReadError{0, 0, "cannot read " + path + ": " + std::strerror(errno)};
    return false;
  }
  return read(bytes, out, error, limits);
}

std::string encodeName(std::string_view name) {
  const bool plain = std::none_of(name.begin(), name.end(), [](char c) {
    return c == '\n' || c == '\r' || c == '"' || static_cast<unsigned char>(c) >= 0x80;
  });
  if (plain) return "\"" + std::string(name) + "\"";
  static const char* digits = "0123456789abcdef";
  std::string hex = "xX";
  for (const char c : name) {
    hex.push_back(digits[static_cast<unsigned char>(c) >> 4]);
    hex.push_back(digits[static_cast<unsigned char>(c) & 15]);
  }
  return hex;
}

}  // namespace dal
