#pragma once
// Reads a scene file as the writer writes it, in either form (text arrays or
// binary array blocks), into a tree of blocks and statements. Every element
// keeps its byte offset, and a malformed file gives the offset of its first
// fault, so that tools can say where a scene went wrong.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dal {

// How the numbers of an array were written: "%d", "%g" or "%16.16f". A binary
// block says it by its tag; a text array by the shape of its numbers.
enum class NumberForm : std::uint8_t { Integer, General, Fixed16 };

struct Array {
  std::vector<double> values;
  std::vector<std::string> names;  // an array of names instead of numbers
  std::uint32_t tupleSize = 1;     // numbers per element ("x y z" items, 'c' blocks: 3)
  NumberForm form = NumberForm::Integer;
  bool binary = false;
  std::size_t offset = 0;  // of its "["

  std::size_t elements() const { return values.size() / tupleSize; }
};

// One line of a block: its words (quotes removed, hex names decoded) and the
// arrays that follow them. `#print` and `#error` keep their text as one word.
struct Statement {
  std::vector<std::string> words;
  std::vector<bool> quoted;  // per word: written as a name, not as a bare word
  std::vector<Array> arrays;
  std::size_t offset = 0;

  const std::string& key() const;
  // The numbers after the key: its numeric words, then every array's values.
  std::vector<double> numbers() const;
};

struct Block {
  std::vector<std::string> header;  // the words before "{"
  std::vector<bool> headerQuoted;
  std::vector<Statement> statements;
  std::vector<Block> children;
  std::size_t offset = 0;  // of the header's first word
  std::size_t end = 0;     // just after its "}"

  const std::string& kind() const;  // first header word ("#define" for definitions)
  const std::string& name() const;  // last header word when there are two or more

  const Block* child(std::string_view kind, std::string_view name) const;
  std::vector<const Block*> childrenOfKind(std::string_view kind) const;
  // A definition: `#define <kind> "name" { ... }` directly inside this block.
  const Block* definition(std::string_view kind, std::string_view name) const;
  const Statement* statement(std::string_view key) const;
  std::vector<double> numbers(std::string_view key) const;
  // The first word after `key`; empty when there is none.
  std::string word(std::string_view key) const;
};

// The file is the statements and blocks of an unnamed root block.
struct Document {
  Block root;
};

struct ReadError {
  std::size_t offset = 0;
  std::size_t line = 0;  // counted from 1; binary blocks may hold line feeds too
  std::string message;

  std::string describe() const;  // "byte 123 (line 4): message"
};

struct ReadLimits {
  // Nested blocks: well above the deepest hierarchy the importer writes, low
  // enough that walking the tree recursively stays within any stack.
  std::size_t maxDepth = 4096;
};

// True when `text` is one well-formed scene; otherwise false with the first
// fault. `out` holds what was read up to the fault.
bool read(std::string_view text, Document& out, ReadError& error, const ReadLimits& limits = {});
// The same for a file; a file that cannot be read is a fault at offset 0.
bool readFile(const std::string& path, Document& out, ReadError& error, const ReadLimits& limits = {});

// The bytes of a whole file; false when it cannot be opened or read.
bool loadBytes(const std::string& path, std::string& bytes);

// A name as the writer writes it: quoted, or "xX" and hex when quoting cannot hold it.
std::string encodeName(std::string_view name);

}  // namespace dal
