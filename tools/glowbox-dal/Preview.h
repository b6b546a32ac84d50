#pragma once
// A quick look at a written scene: its triangles as one camera sees them,
// flat-lit in their materials' diffuse colours (or diffuse PNG textures), so
// that a person can tell at a glance whether an import put things where they
// belong.

#include "sceneapi/DalReader.h"

#include <cstdint>
#include <string>
#include <vector>

namespace daltool {

struct PreviewOptions {
  std::string camera;       // empty: the first camera block
  int width = 640;
  int height = 480;
  std::string sceneFolder;  // where relative texture paths are looked for first
};

struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // row-major, top row first
};

// Each side of a preview lies in 1 .. kMaxPreviewSide.
inline constexpr int kMaxPreviewSide = 8192;

// False with a message when the size is out of range, the camera is missing or
// unusable, or the scene's geometry cannot be drawn (indices out of range,
// malformed transforms, placements of undefined objects).
bool renderPreview(const dal::Document& scene, const PreviewOptions& options, Image& image, std::string& error);

}  // namespace daltool
