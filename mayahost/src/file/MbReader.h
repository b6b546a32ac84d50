#pragma once
// Reading a Maya Binary (.mb) file into the same builder the ASCII reader
// feeds: the IFF groups and chunks become the statements a .ma would give.
//
// The whole file is read into memory (binary chunks need random access); every
// size in it is checked against its parent and the file before use. Chunks the
// reader cannot decode are skipped with a warning naming their byte offset;
// locations carry the chunk's byte offset as `line` and column 0.

#include <string>
#include <string_view>

#include "file/MaReader.h"
#include "file/StatementBuilder.h"

namespace mayahost::scenefile {

// True when `head` (the first bytes of a file) opens a Maya Binary scene:
// "FOR4" or "FOR8" with the form type "Maya".
bool looksLikeMayaBinary(std::string_view head);

ReadResult readMbFile(const std::string& path, StatementBuilder& builder);

// Whether the file at `path` opens as a Maya Binary scene, by its first bytes
// rather than its extension (scenes are often renamed).
bool isMayaBinaryFile(const std::string& path);

// A scene file of either kind, read by the reader its first bytes call for.
ReadResult readSceneFile(const std::string& path, StatementBuilder& builder);

// The same over bytes already in memory. `fileName` is what locations name.
ReadResult readMbBytes(std::string_view bytes, std::string_view fileName, StatementBuilder& builder);

// The Maya type name of a built-in node form type ("XFRM" -> "transform"),
// empty when the code is not in the table.
std::string_view mbNodeTypeName(std::string_view code);

}  // namespace mayahost::scenefile
