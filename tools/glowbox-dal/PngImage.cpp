// Both directions go through libpng's simplified interface: it reports its
// faults in the image record rather than through longjmp, so no error path
// here can skip a destructor.

#include "tools/glowbox-dal/PngImage.h"

#include <cstdint>
#include <limits>
#include <new>

#ifdef GLOWBOX_HAVE_PNG
#include <png.h>
#endif

namespace daltool {

#ifdef GLOWBOX_HAVE_PNG

namespace {

// Textures bigger than this are refused before any memory is taken: a
// corrupt header may claim four billion rows.
constexpr std::uint64_t kMaxPixels = std::uint64_t{1} << 26;

bool shapeFault(const Image& image, std::string& error) {
  if (image.width <= 0 || image.height <= 0) {
    error = "an image of " + std::to_string(image.width) + "x" + std::to_string(image.height) + " pixels cannot be written";
    return true;
  }
  const std::uint64_t bytes = std::uint64_t(image.width) * std::uint64_t(image.height) * 3;
  if (image.rgb.size() != bytes) {
    error = "the image holds " + std::to_string(image.rgb.size()) + " bytes, not the " + std::to_string(bytes) + " of " +
            std::to_string(image.width) + "x" + std::to_string(image.height) + " RGB pixels";
    return true;
  }
  return false;
}

}  // namespace

bool writePng(const std::string& path, const Image& image, std::string& error) {
  if (shapeFault(image, error)) return false;
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(image.width);
  png.height = static_cast<png_uint_32>(image.height);
  png.format = PNG_FORMAT_RGB;
  if (!png_image_write_to_file(&png, path.c_str(), 0, image.rgb.data(), 0, nullptr)) {
    error = "cannot write " + path + ": " + png.message;
    png_image_free(&png);
    return false;
  }
  return true;
}

bool readPng(const std::string& path, Image& image, std::string& error) {
  image = Image{};
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) {
    error = "cannot read " + path + " as a PNG image: " + png.message;
    png_image_free(&png);
    return false;
  }
  if (std::uint64_t(png.width) * png.height > kMaxPixels || png.width > std::uint32_t(std::numeric_limits<int>::max() / 3)) {
    error = path + ": an image of " + std::to_string(png.width) + "x" + std::to_string(png.height) + " pixels is too big";
    png_image_free(&png);
    return false;
  }
  png.format = PNG_FORMAT_RGB;
  std::vector<std::uint8_t> pixels;
  try {
    pixels.resize(PNG_IMAGE_SIZE(png));
  } catch (const std::bad_alloc&) {
    error = path + ": no memory for " + std::to_string(png.width) + "x" + std::to_string(png.height) + " pixels";
    png_image_free(&png);
    return false;
  }
  const png_color black{0, 0, 0};
  if (!png_image_finish_read(&png, &black, pixels.data(), 0, nullptr)) {
    error = "cannot read " + path + " as a PNG image: " + png.message;
    png_image_free(&png);
    return false;
  }
  image.width = static_cast<int>(png.width);
  image.height = static_cast<int>(png.height);
  image.rgb = std::move(pixels);
  return true;
}

#else

bool writePng(const std::string& path, const Image&, std::string& error) {
  error = "cannot write " + path + ": built without PNG support";
  return false;
}

bool readPng(const std::string& path, Image& image, std::string& error) {
  image = Image{};
  error = "cannot read " + path + ": built without PNG support";
  return false;
}

#endif

}  // namespace daltool
