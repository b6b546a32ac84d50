// Counting what a scene file holds. Definitions are counted where they are
// written; placements add their definition's triangles once per placement,
// which is what the renderer will draw.

#include "sceneapi/DalSummary.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <ostream>
#include <set>
#include <sstream>

namespace dal {
namespace {

bool isDefinition(const Block& block, std::string_view kind) {
  return block.header.size() == 3 && block.header[0] == "#define" && block.header[1] == kind;
}

std::size_t tuples(const Block& geometry, std::string_view key, std::size_t size) {
  const Statement* s = geometry.statement(key);
  std::size_t values = 0;
  if (s)
    for (const Array& a : s->arrays) values += a.values.size();
  return values / size;
}

bool textureExists(const std::string& file, const std::string& sceneFolder) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path path(file);
  if (fs::is_regular_file(path, error)) return true;
  return path.is_relative() && !sceneFolder.empty() && fs::is_regular_file(fs::path(sceneFolder) / path, error);
}

void collectTextures(const Block& block, const std::string& material, const std::string& sceneFolder, Summary& summary) {
  for (const Statement& s : block.statements)
    if (s.key() == "texture" && s.words.size() > 1)
      summary.textures.push_back({material, s.words[1], textureExists(s.words[1], sceneFolder)});
  for (const Block& child : block.children) collectTextures(child, material, sceneFolder, summary);
}

class Counter {
 public:
  Counter(Summary& summary, const std::string& sceneFolder) : summary_(summary), sceneFolder_(sceneFolder) {}

  // Cameras and the render module count only at the top of the file.
  void visit(const Block& block, int depth) {
    for (const Statement& s : block.statements) {
      if (s.key() == "#error" && s.words.size() > 1) summary_.errors.push_back(s.words[1]);
      if (s.key() == "#print" && s.words.size() > 1) summary_.prints.push_back(s.words[1]);
    }
    const std::string& kind = block.kind();
    if (kind == "group" || isDefinition(block, "group")) ++summary_.groups;
    if (isDefinition(block, "object")) {
      ++summary_.objectDefinitions;
      const std::size_t triangles = countGeometry(block);
      if (const Statement* id = block.statement("id"); id && id->words.size() > 1) trianglesById_[id->words[1]] = triangles;
      return;
    }
    if (kind == "object") {
      ++summary_.objectPlacements;
      if (const Block* instance = block.child("geometry", "instance")) {
        const auto found = trianglesById_.find(instance->word("id"));
        if (found != trianglesById_.end()) summary_.placedTriangles += found->second;
      } else {
        summary_.placedTriangles += countGeometry(block);
      }
    }
    if (isDefinition(block, "material") || (kind == "material" && block.header.size() == 2)) {
      if (materialNames_.insert(block.name()).second) summary_.materials.push_back(block.name());
      collectTextures(block, block.name(), sceneFolder_, summary_);
      return;
    }
    if (depth == 1 && kind == "camera") addCamera(block);
    if (depth == 1 && kind == "load") {
      summary_.renderModule = block.name();
      for (const Statement& s : block.statements) summary_.settings.push_back(s.words);
    }
    for (const Block& child : block.children) visit(child, depth + 1);
  }

 private:
  // The triangles of an object's own geometry block, counted into the totals.
  std::size_t countGeometry(const Block& object) {
    for (const Block& geometry : object.children) {
      if (geometry.kind() != "geometry") continue;
      const std::string& type = geometry.name();
      if (type == "triangles") {
        const std::size_t triangles = tuples(geometry, "triangles", 3);
        summary_.triangles += triangles;
        summary_.vertices += tuples(geometry, "vertices", 3);
        return triangles;
      }
      if (type == "nurbs") {
        ++summary_.nurbsSurfaces;
        summary_.trimLoops += tuples(geometry, "trim_nedges", 1);
      } else if (type == "orb_curves") {
        ++summary_.curveSets;
        summary_.curves += tuples(geometry, "nvertices", 1);
      }
    }
    return 0;
  }

  void addCamera(const Block& block) {
    CameraInfo camera;
    camera.name = block.name();
    const std::vector<double> transform = block.numbers("transform");
    const std::vector<double> position = block.numbers("position");
    if (transform.size() == 16) camera.position = {transform[12], transform[13], transform[14]};
    else if (position.size() == 3) camera.position = {position[0], position[1], position[2]};
    const std::vector<double> fov = block.numbers("fov");
    camera.fov = fov.empty() ? 0 : fov.front();
    summary_.cameras.push_back(camera);
  }

  Summary& summary_;
  const std::string& sceneFolder_;
  std::map<std::string, std::size_t> trianglesById_;
  std::set<std::string> materialNames_;
};

const char* sizeKind(const Block& block) {
  if (isDefinition(block, "object")) return "object definitions";
  if (isDefinition(block, "material") || block.kind() == "material") return "materials";
  if (block.kind() == "group" || isDefinition(block, "group")) return "hierarchy";
  if (block.kind() == "camera") return "cameras";
  if (block.kind() == "load") return "render module";
  return "other blocks";
}

std::string withThousands(std::size_t value) {
  std::string digits = std::to_string(value);
  for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) digits.insert(static_cast<std::size_t>(i), ",");
  return digits;
}

}  // namespace

std::size_t Summary::missingTextures() const {
  return static_cast<std::size_t>(std::count_if(textures.begin(), textures.end(), [](const TextureUse& t) { return !t.found; }));
}

Summary summarize(const Document& document, const std::string& sceneFolder) {
  Summary summary;
  Counter(summary, sceneFolder).visit(document.root, 0);
  for (const Block& block : document.root.children) {
    const char* kind = sizeKind(block);
    auto found = std::find_if(summary.sizes.begin(), summary.sizes.end(), [&](const KindSize& k) { return k.kind == kind; });
    if (found == summary.sizes.end()) found = summary.sizes.insert(summary.sizes.end(), KindSize{kind, 0, 0});
    ++found->count;
    found->bytes += block.end - block.offset;
  }
  return summary;
}

void printSummary(std::ostream& out, const Summary& s, SummaryDetail detail) {
  const bool full = detail == SummaryDetail::Full;
  auto row = [&out](const char* label, const std::string& value) {
    out << "  " << label << std::string(18 - std::min<std::size_t>(17, std::char_traits<char>::length(label)), ' ') << value << "\n";
  };
  row("groups", withThousands(s.groups));
  row("objects", withThousands(s.objectDefinitions) + " definitions, " + withThousands(s.objectPlacements) + " placements");
  row("triangles", withThousands(s.triangles) + " defined (" + withThousands(s.vertices) + " vertices), " +
                       withThousands(s.placedTriangles) + " placed");
  row("NURBS surfaces", withThousands(s.nurbsSurfaces) + " (" + withThousands(s.trimLoops) + " trim loops)");
  row("curve sets", withThousands(s.curveSets) + " (" + withThousands(s.curves) + " curves)");
  std::string materials = withThousands(s.materials.size());
  for (std::size_t i = 0; i < s.materials.size() && i < 8; ++i) materials += (i ? ", " : ": ") + s.materials[i];
  if (s.materials.size() > 8) materials += ", ...";
  row("materials", materials);
  row("textures", withThousands(s.textures.size()) + " (" + withThousands(s.missingTextures()) + " missing)");
  if (full)
    for (const TextureUse& t : s.textures)
      out << "    " << (t.found ? "found    " : "MISSING  ") << t.file << "  (" << t.material << ")\n";
  row("cameras", withThousands(s.cameras.size()));
  for (const CameraInfo& c : s.cameras) {
    std::ostringstream line;
    line << "    " << c.name << " at (" << c.position[0] << ", " << c.position[1] << ", " << c.position[2] << "), fov "
         << c.fov << "\n";
    out << line.str();
  }
  row("render module", s.renderModule.empty() ? "none" : s.renderModule + " (" + withThousands(s.settings.size()) + " settings)");
  if (full) {
    for (const std::vector<std::string>& setting : s.settings) {
      out << "   ";
      for (const std::string& w : setting) out << " " << w;
      out << "\n";
    }
    for (const KindSize& k : s.sizes)
      out << "  " << k.kind << ": " << withThousands(k.count) << " in " << withThousands(k.bytes) << " bytes\n";
  }
  row("records", withThousands(s.errors.size()) + " #error, " + withThousands(s.prints.size()) + " #print");
  for (std::size_t i = 0; i < s.errors.size() && i < 10; ++i) out << "    #error " << s.errors[i] << "\n";
  if (s.errors.size() > 10) out << "    ... and " << withThousands(s.errors.size() - 10) << " more\n";
}

}  // namespace dal
