#pragma once
// Reading a Maya ASCII file into a builder.
//
// The file is read in chunks, so a large scene is never held whole in memory;
// a statement may span chunk boundaries. Statements the reader cannot make
// sense of are reported through `StatementBuilder::warning` and skipped; only a file
// that cannot be read at all (or is not Maya ASCII) fails the read.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "file/StatementBuilder.h"

namespace mayahost::scenefile {

enum class ReadError {
    None,
    FileNotFound,
    Unreadable,      // exists but cannot be opened or read (a folder, no permission, I/O error)
    Empty,           // zero bytes, or only white space and comments
    NotMayaAscii,    // binary garbage or some other text
    MayaBinary,      // an IFF file ("FOR4"/"FOR8"): a .mb scene
};

struct ReadResult {
    ReadError error = ReadError::None;
    std::string message;         // names the file and says why; empty on success
    uint64_t statements = 0;     // statements handed to the builder
    uint64_t warnings = 0;       // warnings given
    uint64_t bytes = 0;          // bytes read

    bool ok() const { return error == ReadError::None; }
};

ReadResult readMaFile(const std::string& path, StatementBuilder& builder);

// The same over text already in memory (tests, embedded scenes). `fileName`
// is what locations and messages name.
ReadResult readMaText(std::string_view text, std::string_view fileName, StatementBuilder& builder);

// "file not found", "Maya Binary scenes are not read yet" ...
const char* readErrorText(ReadError error);

}  // namespace mayahost::scenefile
