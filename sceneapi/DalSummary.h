#pragma once
// What a scene file holds, counted: the table a person reads after an import
// to see whether everything came through.

#include "sceneapi/DalReader.h"

#include <array>
#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

namespace dal {

struct TextureUse {
  std::string material;
  std::string file;
  bool found = false;  // as written, or beside the scene file
};

struct CameraInfo {
  std::string name;
  std::array<double, 3> position{};  // where its transform puts it
  double fov = 0;                    // horizontal, degrees
};

struct KindSize {
  std::string kind;  // "object definitions", "materials", "groups", ...
  std::size_t count = 0;
  std::size_t bytes = 0;
};

struct Summary {
  std::size_t groups = 0;
  std::size_t objectDefinitions = 0;
  std::size_t objectPlacements = 0;  // object blocks in the hierarchy, instances or not
  std::size_t triangles = 0;         // in the definitions and in-place objects
  std::size_t vertices = 0;
  std::size_t placedTriangles = 0;   // counted once per placement
  std::size_t nurbsSurfaces = 0;
  std::size_t trimLoops = 0;
  std::size_t curveSets = 0;
  std::size_t curves = 0;
  std::vector<std::string> materials;
  std::vector<TextureUse> textures;
  std::vector<CameraInfo> cameras;
  std::string renderModule;                       // the loaded module's name
  std::vector<std::vector<std::string>> settings;  // its settings, one word list each
  std::vector<KindSize> sizes;
  std::vector<std::string> errors;  // "#error" records
  std::vector<std::string> prints;  // "#print" records

  std::size_t missingTextures() const;
};

// `sceneFolder` is where relative texture paths are looked for besides the
// working folder.
Summary summarize(const Document& document, const std::string& sceneFolder);

// Brief leaves out the render module's settings, the sizes and the textures
// that were found: what a person wants to see after every import.
enum class SummaryDetail { Full, Brief };

// The summary as a short table for a terminal.
void printSummary(std::ostream& out, const Summary& summary, SummaryDetail detail = SummaryDetail::Full);

}  // namespace dal
