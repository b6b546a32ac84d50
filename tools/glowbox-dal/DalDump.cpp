#include "tools/glowbox-dal/DalDump.h"

#include <cstdio>
#include <ostream>
#include <string>

namespace daltool {
namespace {

void writeNumber(std::ostream& out, double value, dal::NumberForm form) {
  char text[512];
  switch (form) {
    case dal::NumberForm::Integer: std::snprintf(text, sizeof text, "%.0f", value); break;
    case dal::NumberForm::General: std::snprintf(text, sizeof text, "%g", value); break;
    case dal::NumberForm::Fixed16: std::snprintf(text, sizeof text, "%16.16f", value); break;
  }
  out << text;
}

bool startsRecord(const std::string& word) { return word == "#print" || word == "#error"; }

// A bare "#print" or "#error" leading anything but a record would read back as
// one, so it is written quoted.
void writeWords(std::ostream& out, const std::vector<std::string>& words, const std::vector<bool>& quoted) {
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i) out << ' ';
    if ((i < quoted.size() && quoted[i]) || (i == 0 && startsRecord(words[i]))) out << dal::encodeName(words[i]);
    else out << words[i];
  }
}

// Nine elements on the first line, eight on each after, as text arrays are written.
void writeArray(std::ostream& out, const dal::Array& array, const std::string& indent) {
  out << "[ ";
  const std::size_t elements = array.names.empty() ? array.elements() : array.names.size();
  for (std::size_t i = 0; i < elements; ++i) {
    if (array.names.empty()) {
      for (std::uint32_t k = 0; k < array.tupleSize; ++k) {
        if (k) out << ' ';
        writeNumber(out, array.values[i * array.tupleSize + k], array.form);
      }
    } else {
      out << dal::encodeName(array.names[i]);
    }
    out << (i + 1 < elements ? "," : " ");
    if (i % 8 == 0 && i > 0 && i + 1 < elements) out << "\n" << indent;
  }
  out << "]";
}

void writeStatement(std::ostream& out, const dal::Statement& s, const std::string& indent) {
  out << indent;
  if (startsRecord(s.key()) && s.words.size() == 2 && s.arrays.empty() && !s.quoted[0] && s.quoted[1]) {
    out << s.key() << " \"" << s.words[1] << "\"\n";
    return;
  }
  writeWords(out, s.words, s.quoted);
  for (const dal::Array& array : s.arrays) {
    if (!s.words.empty() || &array != &s.arrays.front()) out << ' ';
    writeArray(out, array, indent);
  }
  out << "\n";
}

void writeBlock(std::ostream& out, const dal::Block& block, const std::string& indent) {
  const std::string inner = indent + " ";
  // Statements and nested blocks in the order of the file.
  std::size_t s = 0, c = 0;
  while (s < block.statements.size() || c < block.children.size()) {
    const bool statementFirst =
        c == block.children.size() || (s < block.statements.size() && block.statements[s].offset < block.children[c].offset);
    if (statementFirst) {
      writeStatement(out, block.statements[s++], indent);
      continue;
    }
    const dal::Block& child = block.children[c++];
    out << indent;
    writeWords(out, child.header, child.headerQuoted);
    out << (child.header.empty() ? "{\n" : " {\n");
    writeBlock(out, child, inner);
    out << indent << "}\n";
  }
}

}  // namespace

void dump(std::ostream& out, const dal::Document& document) { writeBlock(out, document.root, ""); }

}  // namespace daltool
