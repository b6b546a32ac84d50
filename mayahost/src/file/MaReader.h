#pragma once
// Reading a Maya ASCII file into a builder.
//
// The file is read in chunks, so a large scene is never held whole in memory;
// a statement may span chunk boundaries. Statements the reader cannot make
// sense of are reported through `MaBuilder::warning` and skipped; only a file
// that cannot be read at all (or is not Maya ASCII) fails the read.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "file/MaBuilder.h"

namespace mayahost::ma {

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

struct ReadLimits {
    // Read size per chunk.
    size_t chunkBytes = size_t(4) << 20;
    // A single statement longer than this is skipped with a warning (Maya
    // writes long arrays in many statements of at most a few hundred KiB).
    size_t maxStatementBytes = size_t(256) << 20;
    // After this many warnings the rest are counted but not sent.
    uint64_t maxWarnings = 1000;
};

ReadResult readMaFile(const std::string& path, MaBuilder& builder, const ReadLimits& limits = {});

// The same over text already in memory (tests, embedded scenes). `fileName`
// is what locations and messages name.
ReadResult readMaText(std::string_view text, std::string_view fileName, MaBuilder& builder,
                      const ReadLimits& limits = {});

// "file not found", "Maya Binary scenes are not read yet" ...
const char* readErrorText(ReadError error);

}  // namespace mayahost::ma
