// glowbox-dal: looks into a written scene file. "info" counts what it holds,
// "dump" writes it in the readable form, "check" says whether it holds
// together, "preview" draws it from one of its cameras.

#include "sceneapi/DalCheck.h"
#include "sceneapi/DalSummary.h"
#include "tools/glowbox-dal/DalDump.h"
#include "tools/glowbox-dal/PngImage.h"
#include "tools/glowbox-dal/Preview.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr int kFault = 1;
constexpr int kUsage = 2;

const char* kUsageText =
    "Usage: glowbox-dal COMMAND SCENE.dal [options]\n"
    "\n"
    "Commands:\n"
    "  info SCENE       what the scene holds: groups, objects, triangles, NURBS surfaces,\n"
    "                   curve sets, materials and their textures (found or missing),\n"
    "                   cameras, the render module, sizes per kind, #error and #print records\n"
    "  dump SCENE       the scene in the readable form (binary arrays as text), for diff\n"
    "  check SCENE      whether the scene is well formed and holds together; every fault\n"
    "                   with its byte offset and line\n"
    "  preview SCENE -o IMAGE.png [--camera NAME] [--size WxH]\n"
    "                   a flat-lit picture from the first (or the named) camera, 640x480\n"
    "\n"
    "Exit status: 0 done; 1 the scene cannot be read, or check found a fault, or the\n"
    "preview could not be made; 2 a bad command line.\n";

int usage(const std::string& problem) {
  std::cerr << "glowbox-dal: " << problem << "\n" << kUsageText;
  return kUsage;
}

std::string folderOf(const std::string& path) {
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  return parent.empty() ? std::string(".") : parent.string();
}

bool readScene(const std::string& path, dal::Document& document) {
  dal::ReadError error;
  if (dal::readFile(path, document, error)) return true;
  std::cerr << path << ": " << error.describe() << "\n";
  return false;
}

int runCheck(const std::string& path) {
  dal::Document document;
  if (!readScene(path, document)) return kFault;
  const std::vector<dal::Fault> faults = dal::check(document);
  if (faults.empty()) {
    std::cout << path << ": well formed\n";
    return 0;
  }
  // The line of a fault, counted in the file as it lies (binary blocks included).
  std::string bytes;
  dal::loadBytes(path, bytes);
  for (std::size_t i = 0; i < faults.size() && i < 20; ++i) {
    const std::size_t end = std::min(faults[i].offset, bytes.size());
    const auto line = 1 + std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(end), '\n');
    std::cerr << path << ": byte " << faults[i].offset << " (line " << line << "): " << faults[i].message << "\n";
  }
  if (faults.size() > 20) std::cerr << path << ": ... " << faults.size() - 20 << " more faults\n";
  return kFault;
}

bool parseSize(const std::string& text, int& width, int& height) {
  const std::size_t x = text.find('x');
  if (x == std::string::npos) return false;
  try {
    std::size_t used = 0;
    width = std::stoi(text.substr(0, x), &used);
    if (used != x) return false;
    height = std::stoi(text.substr(x + 1), &used);
    return used == text.size() - x - 1;
  } catch (const std::exception&) {
    return false;
  }
}

int runPreview(const std::string& path, const std::vector<std::string>& options) {
  daltool::PreviewOptions preview;
  preview.sceneFolder = folderOf(path);
  std::string image;
  for (std::size_t i = 0; i < options.size(); ++i) {
    const std::string& option = options[i];
    const bool hasValue = i + 1 < options.size();
    if ((option == "-o" || option == "--output") && hasValue) image = options[++i];
    else if (option == "--camera" && hasValue) preview.camera = options[++i];
    else if (option == "--size" && hasValue) {
      if (!parseSize(options[++i], preview.width, preview.height)) return usage("--size wants WIDTHxHEIGHT, not " + options[i]);
    } else return usage("unknown or incomplete option " + option);
  }
  if (image.empty()) return usage("preview needs -o IMAGE.png");
  dal::Document document;
  if (!readScene(path, document)) return kFault;
  daltool::Image picture;
  std::string error;
  if (!daltool::renderPreview(document, preview, picture, error) || !daltool::writePng(image, picture, error)) {
    std::cerr << "glowbox-dal: " << error << "\n";
    return kFault;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return usage("no command");
  const std::string& command = args[0];
  if (command == "-h" || command == "--help") {
    std::cout << kUsageText;
    return 0;
  }
  if (args.size() < 2) return usage("no scene file");
  const std::string& path = args[1];
  const std::vector<std::string> options(args.begin() + 2, args.end());
  if (command == "preview") return runPreview(path, options);
  if (!options.empty()) return usage("unexpected " + options.front());
  if (command == "check") return runCheck(path);
  if (command != "info" && command != "dump") return usage("unknown command " + command);
  dal::Document document;
  if (!readScene(path, document)) return kFault;
  if (command == "dump") daltool::dump(std::cout, document);
  else dal::printSummary(std::cout, dal::summarize(document, folderOf(path)));
  return std::cout.flush() ? 0 : kFault;
}
