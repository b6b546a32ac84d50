#pragma once
// Whether a scene file that reads well also holds together: every placed
// instance refers to an earlier definition, indices stay inside their arrays,
// per-vertex arrays match the vertices, surfaces and curves have the sizes
// their counts declare. What the reader itself rejects (unclosed blocks,
// truncated binary blocks) never reaches here.

#include "sceneapi/DalReader.h"

#include <cstddef>
#include <string>
#include <vector>

namespace dal {

struct Fault {
  std::size_t offset = 0;
  std::string message;
};

// Every fault, in the order of the file.
std::vector<Fault> check(const Document& document);

}  // namespace dal
