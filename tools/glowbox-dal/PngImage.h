#pragma once
// PNG files for the preview: the picture it writes and the textures it reads.
// Without libpng at build time both calls fail with a message instead.

#include "tools/glowbox-dal/Preview.h"

#include <string>

namespace daltool {

bool writePng(const std::string& path, const Image& image, std::string& error);
// Any PNG (palette, grey, 16-bit, with alpha, interlaced) as 8-bit RGB; alpha
// is composed onto black, as a renderer without transparency would show it.
bool readPng(const std::string& path, Image& image, std::string& error);

}  // namespace daltool
