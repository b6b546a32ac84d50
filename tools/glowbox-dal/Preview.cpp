// The preview rasteriser. Every placement is brought into the camera's frame
// once, its triangles clipped against the near plane (a triangle reaching
// behind the camera would otherwise project through infinity) and filled with
// a depth test on 1/z, which stays linear across the screen and so also gives
// perspective-correct texture coordinates.

#include "tools/glowbox-dal/Preview.h"

#include "tools/glowbox-dal/PngImage.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <limits>
#include <map>
#include <memory>
#include <new>
#include <optional>

namespace daltool {
namespace {

struct Vec3 {
  double x = 0, y = 0, z = 0;
};

Vec3 operator-(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 operator+(const Vec3& a, const Vec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator*(const Vec3& a, double s) { return {a.x * s, a.y * s, a.z * s}; }
double dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 cross(const Vec3& a, const Vec3& b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double length(const Vec3& a) { return std::sqrt(dot(a, a)); }
bool finite(const Vec3& a) { return std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(a.z); }

// Row-major, row vectors: a point p maps to p * M, as the scene writes them.
struct Matrix {
  std::array<double, 16> m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

  Vec3 point(const Vec3& p) const {
    return {p.x * m[0] + p.y * m[4] + p.z * m[8] + m[12], p.x * m[1] + p.y * m[5] + p.z * m[9] + m[13],
            p.x * m[2] + p.y * m[6] + p.z * m[10] + m[14]};
  }
  Vec3 direction(const Vec3& d) const {
    return {d.x * m[0] + d.y * m[4] + d.z * m[8], d.x * m[1] + d.y * m[5] + d.z * m[9], d.x * m[2] + d.y * m[6] + d.z * m[10]};
  }
};

Matrix operator*(const Matrix& a, const Matrix& b) {
  Matrix r;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      double sum = 0;
      for (int k = 0; k < 4; ++k) sum += a.m[i * 4 + k] * b.m[k * 4 + j];
      r.m[i * 4 + j] = sum;
    }
  return r;
}

std::string quoted(const std::string& name) { return "\"" + name + "\""; }

// As short as the value allows: an index reads "438", not "438.000000".
std::string number(double value) {
  char text[32];
  const auto [end, fault] = std::to_chars(text, text + sizeof text, value);
  return fault == std::errc() ? std::string(text, end) : std::string("?");
}

bool readTransform(const dal::Block& block, const std::string& what, Matrix& matrix, std::string& error) {
  matrix = Matrix{};
  if (!block.statement("transform")) return true;
  const std::vector<double> values = block.numbers("transform");
  if (values.size() != 16 || !std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); })) {
    error = what + ": its transform needs 16 finite numbers, " +
            (values.size() == 16 ? std::string("some of them are not") : "it has " + std::to_string(values.size()));
    return false;
  }
  std::copy(values.begin(), values.end(), matrix.m.begin());
  return true;
}

// A local vector from a statement, or `fallback` when it is absent.
bool readVector(const dal::Block& block, std::string_view key, Vec3 fallback, const std::string& what, Vec3& out,
                std::string& error) {
  out = fallback;
  if (!block.statement(key)) return true;
  const std::vector<double> v = block.numbers(key);
  if (v.size() != 3 || !finite({v[0], v[1], v[2]})) {
    error = what + ": \"" + std::string(key) + "\" needs three finite numbers";
    return false;
  }
  out = {v[0], v[1], v[2]};
  return true;
}

// The camera as an orthonormal frame, so that a scale in its transform cannot
// skew the picture or the lighting.
struct View {
  Vec3 eye, right, up, back;  // the camera looks down -back
  double focal = 1;           // pixels per unit of x/z
  double nearZ = 0.1;
  double farZ = std::numeric_limits<double>::infinity();

  Vec3 toCamera(const Vec3& world) const {
    const Vec3 d = world - eye;
    return {dot(d, right), dot(d, up), dot(d, back)};
  }
};

std::string cameraList(const std::vector<const dal::Block*>& cameras) {
  std::string names;
  for (const dal::Block* camera : cameras) names += (names.empty() ? "" : ", ") + quoted(camera->name());
  return names;
}

bool setUpView(const dal::Document& scene, const PreviewOptions& options, View& view, std::string& error) {
  const std::vector<const dal::Block*> cameras = scene.root.childrenOfKind("camera");
  if (cameras.empty()) {
    error = "the scene has no camera to look through";
    return false;
  }
  const dal::Block* camera = cameras.front();
  if (!options.camera.empty()) {
    const auto found = std::find_if(cameras.begin(), cameras.end(), [&](const dal::Block* c) { return c->name() == options.camera; });
    if (found == cameras.end()) {
      error = "the scene has no camera " + quoted(options.camera) + "; its cameras: " + cameraList(cameras);
      return false;
    }
    camera = *found;
  }
  const std::string what = "camera " + quoted(camera->name());
  Matrix world;
  Vec3 position, direction, up;
  if (!readTransform(*camera, what, world, error) || !readVector(*camera, "position", {0, 0, 0}, what, position, error) ||
      !readVector(*camera, "direction", {0, 0, -1}, what, direction, error) ||
      !readVector(*camera, "up", {0, 1, 0}, what, up, error))
    return false;
  view.eye = world.point(position);
  const Vec3 forward = world.direction(direction), upward = world.direction(up);
  const Vec3 right = cross(forward, upward);
  const double forwardLength = length(forward), rightLength = length(right);
  if (!(forwardLength > 1e-12) || !(rightLength > 1e-12 * forwardLength * length(upward)) || !finite(view.eye)) {
    error = what + ": its direction and up vector do not make a view";
    return false;
  }
  view.back = forward * (-1 / forwardLength);
  view.right = right * (1 / rightLength);
  view.up = cross(view.back, view.right);

  double fov = 54.4321;  // a 35 mm lens, the usual default, when a camera states none
  if (camera->statement("fov")) {
    const std::vector<double> v = camera->numbers("fov");
    fov = v.empty() ? -1 : v.front();
    if (!(fov > 0.01 && fov < 179.99)) {
      error = what + ": a field of view of " + (v.empty() ? std::string("nothing") : number(fov)) +
              " degrees cannot be drawn (it needs more than 0 and less than 180)";
      return false;
    }
  }
  view.focal = options.width / 2.0 / std::tan(fov * std::acos(-1.0) / 360);
  const std::vector<double> clipping = camera->numbers("clipping");
  if (!clipping.empty() && std::isfinite(clipping[0]) && clipping[0] > 0) view.nearZ = clipping[0];
  if (clipping.size() > 1 && std::isfinite(clipping[1]) && clipping[1] > view.nearZ) view.farZ = clipping[1];
  return true;
}

// Integral, non-negative and below `limit`; scene indices are doubles here.
bool validIndex(double value, std::size_t limit) {
  return value >= 0 && value < static_cast<double>(limit) && value == std::floor(value);
}

struct Mesh {
  std::vector<Vec3> positions;
  std::vector<std::array<std::uint32_t, 3>> triangles;
  std::vector<std::array<double, 2>> uvs;             // empty when the mesh has none usable
  std::vector<std::array<std::uint32_t, 3>> uvCorners;  // per triangle, into uvs
};

bool indexArray(const std::vector<double>& values, std::size_t limit, const char* elements, const std::string& what,
                const char* key, std::vector<std::array<std::uint32_t, 3>>& out, std::string& error) {
  if (values.size() % 3 != 0) {
    error = what + ": \"" + key + "\" holds " + std::to_string(values.size()) + " indices, not whole triangles";
    return false;
  }
  out.resize(values.size() / 3);
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (!validIndex(values[i], limit)) {
      error = what + ": \"" + key + "\" holds " + number(values[i]) + " (its number " + std::to_string(i) +
              "), but there are " + std::to_string(limit) + " " + elements;
      return false;
    }
    out[i / 3][i % 3] = static_cast<std::uint32_t>(values[i]);
  }
  return true;
}

bool readMesh(const dal::Block& geometry, const std::string& what, Mesh& mesh, std::string& error) {
  const std::vector<double> vertices = geometry.numbers("vertices");
  if (vertices.size() % 3 != 0) {
    error = what + ": \"vertices\" holds " + std::to_string(vertices.size()) + " numbers, not whole points";
    return false;
  }
  if (vertices.size() / 3 > std::numeric_limits<std::uint32_t>::max()) {
    error = what + ": too many vertices";
    return false;
  }
  mesh.positions.resize(vertices.size() / 3);
  for (std::size_t i = 0; i < mesh.positions.size(); ++i)
    mesh.positions[i] = {vertices[3 * i], vertices[3 * i + 1], vertices[3 * i + 2]};
  if (!indexArray(geometry.numbers("triangles"), mesh.positions.size(), "vertices", what, "triangles", mesh.triangles, error)) return false;

  const std::vector<double> uv = geometry.numbers("uv_tex");
  if (uv.empty() || uv.size() % 2 != 0) return true;  // drawn untextured
  mesh.uvs.resize(uv.size() / 2);
  for (std::size_t i = 0; i < mesh.uvs.size(); ++i) mesh.uvs[i] = {uv[2 * i], uv[2 * i + 1]};
  if (geometry.statement("triangles_uv")) {
    if (!indexArray(geometry.numbers("triangles_uv"), mesh.uvs.size(), "uv pairs", what, "triangles_uv", mesh.uvCorners, error)) return false;
    if (mesh.uvCorners.size() != mesh.triangles.size()) {
      error = what + ": \"triangles_uv\" has " + std::to_string(mesh.uvCorners.size()) + " triangles, \"triangles\" " +
              std::to_string(mesh.triangles.size());
      return false;
    }
  } else if (mesh.uvs.size() >= mesh.positions.size()) {
    mesh.uvCorners = mesh.triangles;
  } else {
    mesh.uvs.clear();
  }
  return true;
}

struct Texture {
  std::shared_ptr<const Image> image;  // null: the file is missing or not a PNG
  double scaleU = 1, scaleV = 1, shiftU = 0, shiftV = 0;
  bool wrap = true;
};

struct Material {
  std::array<double, 3> colour{0.7, 0.7, 0.7};  // what untextured or unreadable textures show
  std::optional<Texture> texture;
};

double firstNumber(const dal::Block& block, std::string_view key, double fallback) {
  const std::vector<double> v = block.numbers(key);
  return !v.empty() && std::isfinite(v.front()) ? v.front() : fallback;
}

bool readColour(const dal::Block& block, std::string_view key, std::array<double, 3>& colour) {
  const std::vector<double> v = block.numbers(key);
  if (v.size() < 3 || !finite({v[0], v[1], v[2]})) return false;
  colour = {v[0], v[1], v[2]};
  return true;
}

class Renderer {
 public:
  Renderer(const dal::Document& scene, const PreviewOptions& options, const View& view, Image& image)
      : scene_(scene), options_(options), view_(view), image_(image) {
    for (const dal::Block& block : scene.root.children) {
      if (block.header.size() != 3 || block.header[0] != "#define" || block.header[1] != "object") continue;
      const std::vector<double> id = block.numbers("id");
      if (!id.empty() && std::isfinite(id.front())) definitions_.emplace(id.front(), &block);
    }
  }

  bool run(std::string& error) {
    for (const dal::Block& block : scene_.root.children)
      if (block.kind() == "group" && !drawGroup(block, Matrix{}, error)) return false;
    return true;
  }

  void allocate() {
    const std::size_t pixels = std::size_t(image_.width) * std::size_t(image_.height);
    image_.rgb.assign(pixels * 3, kBackground);
    depth_.assign(pixels, 0.0f);
  }

 private:
  static constexpr std::uint8_t kBackground = 128;

  struct Corner {
    Vec3 p;  // camera space
    double u = 0, v = 0;
  };

  struct Projected {
    double x = 0, y = 0;     // pixels, y down
    double w = 0;            // 1 / distance along the view
    double uw = 0, vw = 0;   // u and v times w
  };

  bool drawGroup(const dal::Block& group, const Matrix& parent, std::string& error) {
    Matrix local;
    if (!readTransform(group, "group " + quoted(group.name()), local, error)) return false;
    const Matrix world = local * parent;
    for (const dal::Block& child : group.children) {
      if (child.kind() == "group" && !drawGroup(child, world, error)) return false;
      if (child.kind() == "object" && !drawObject(child, world, error)) return false;
    }
    return true;
  }

  bool drawObject(const dal::Block& object, const Matrix& world, std::string& error) {
    const std::string what = "object " + quoted(object.name());
    const std::vector<const dal::Block*> geometries = object.childrenOfKind("geometry");
    if (geometries.empty()) return true;
    const dal::Block* geometry = geometries.front();
    if (geometry->name() == "instance") {
      const std::vector<double> id = geometry->numbers("id");
      const auto found = id.empty() ? definitions_.end() : definitions_.find(id.front());
      if (found == definitions_.end()) {
        error = what + " places " + (id.empty() ? std::string("no id") : "id " + number(id.front())) +
                ", which no object definition has";
        return false;
      }
      const std::vector<const dal::Block*> defined = found->second->childrenOfKind("geometry");
      geometry = defined.empty() ? nullptr : defined.front();
    }
    // NURBS surfaces come as triangles too, and hair is left out of a preview.
    if (!geometry || geometry->name() != "triangles") return true;

    const Mesh* mesh = nullptr;
    if (!meshOf(*geometry, what, mesh, error)) return false;
    const Material& material = materialOf(object);

    std::vector<Vec3> camera(mesh->positions.size());
    for (std::size_t i = 0; i < camera.size(); ++i) camera[i] = view_.toCamera(world.point(mesh->positions[i]));
    const bool textured = material.texture && material.texture->image && !mesh->uvs.empty();
    for (std::size_t t = 0; t < mesh->triangles.size(); ++t) {
      std::array<Corner, 3> corners;
      for (int k = 0; k < 3; ++k) {
        corners[k].p = camera[mesh->triangles[t][k]];
        if (textured) {
          const auto& uv = mesh->uvs[mesh->uvCorners[t][k]];
          corners[k].u = uv[0];
          corners[k].v = uv[1];
        }
      }
      drawTriangle(corners, material, textured);
    }
    return true;
  }

  bool meshOf(const dal::Block& geometry, const std::string& what, const Mesh*& mesh, std::string& error) {
    auto found = meshes_.find(&geometry);
    if (found == meshes_.end()) {
      Mesh read;
      if (!readMesh(geometry, what, read, error)) return false;
      found = meshes_.emplace(&geometry, std::move(read)).first;
    }
    mesh = &found->second;
    return true;
  }

  const Material& materialOf(const dal::Block& object) {
    const std::vector<const dal::Block*> own = object.childrenOfKind("material");
    const dal::Block* block = !own.empty() ? own.front() : scene_.root.definition("material", object.word("material"));
    auto found = materials_.find(block);
    if (found != materials_.end()) return found->second;
    Material material;
    const std::vector<const dal::Block*> surfaces = block ? block->childrenOfKind("surface") : std::vector<const dal::Block*>{};
    if (!surfaces.empty()) {
      const dal::Block& surface = *surfaces.front();
      readColour(surface, "diffuse", material.colour);
      for (const dal::Block& shader : surface.children) {
        if (shader.header.size() < 2 || shader.header.front() != "diffuse" || shader.header.back() != "texture_rgb") continue;
        readColour(shader, "default_color", material.colour);
        Texture texture;
        texture.image = textureImage(shader.word("texture"));
        texture.scaleU = firstNumber(shader, "scale_u", 1);
        texture.scaleV = firstNumber(shader, "scale_v", 1);
        texture.shiftU = firstNumber(shader, "shift_u", 0);
        texture.shiftV = firstNumber(shader, "shift_v", 0);
        texture.wrap = shader.word("wrap") != "off";
        material.texture = texture;
        break;
      }
    }
    return materials_.emplace(block, std::move(material)).first->second;
  }

  // Beside the scene first, then from the working folder; anything but a
  // readable PNG leaves the material in its default colour.
  std::shared_ptr<const Image> textureImage(const std::string& path) {
    if (path.empty()) return nullptr;
    auto found = textures_.find(path);
    if (found != textures_.end()) return found->second;
    std::vector<std::string> candidates;
    if (!std::filesystem::path(path).is_absolute() && !options_.sceneFolder.empty())
      candidates.push_back((std::filesystem::path(options_.sceneFolder) / path).string());
    candidates.push_back(path);
    std::shared_ptr<const Image> loaded;
    for (const std::string& candidate : candidates) {
      std::error_code ignored;
      if (!std::filesystem::is_regular_file(candidate, ignored)) continue;
      auto image = std::make_shared<Image>();
      std::string unreadable;
      if (readPng(candidate, *image, unreadable)) loaded = std::move(image);
      break;
    }
    return textures_.emplace(path, std::move(loaded)).first->second;
  }

  // Sutherland-Hodgman against z = -near: a triangle becomes at most a quad.
  int clipNear(const std::array<Corner, 3>& in, std::array<Corner, 4>& out) const {
    const double plane = -view_.nearZ;
    int count = 0;
    for (int i = 0; i < 3; ++i) {
      const Corner& a = in[i];
      const Corner& b = in[(i + 1) % 3];
      const bool aIn = a.p.z <= plane, bIn = b.p.z <= plane;
      if (aIn) out[count++] = a;
      if (aIn != bIn) {
        const double t = (plane - a.p.z) / (b.p.z - a.p.z);
        Corner c;
        c.p = a.p + (b.p - a.p) * t;
        c.p.z = plane;
        c.u = a.u + (b.u - a.u) * t;
        c.v = a.v + (b.v - a.v) * t;
        out[count++] = c;
      }
    }
    return count;
  }

  void drawTriangle(const std::array<Corner, 3>& corners, const Material& material, bool textured) {
    for (const Corner& c : corners)
      if (!finite(c.p) || !std::isfinite(c.u) || !std::isfinite(c.v)) return;
    if (std::min({corners[0].p.z, corners[1].p.z, corners[2].p.z}) > -view_.nearZ) return;
    if (std::max({corners[0].p.z, corners[1].p.z, corners[2].p.z}) < -view_.farZ) return;

    std::array<Corner, 4> clipped;
    const int count = clipNear(corners, clipped);
    if (count < 3) return;
    // Lit as seen: towards the middle of the part in front of the camera.
    const Vec3 normal = cross(corners[1].p - corners[0].p, corners[2].p - corners[0].p);
    Vec3 centre;
    for (int i = 0; i < count; ++i) centre = centre + clipped[i].p * (1.0 / count);
    const double normalLength = length(normal), centreLength = length(centre);
    if (!(normalLength > 0) || !(centreLength > 0) || !std::isfinite(normalLength * centreLength)) return;
    const double shade = 0.25 + 0.75 * std::min(1.0, std::abs(dot(normal, centre)) / (normalLength * centreLength));

    std::array<Projected, 4> projected;
    for (int i = 0; i < count; ++i) projected[i] = project(clipped[i]);
    for (int i = 1; i + 1 < count; ++i) fill(projected[0], projected[i], projected[i + 1], material, textured, shade);
  }

  Projected project(const Corner& c) const {
    const double w = 1 / -c.p.z;
    return {image_.width / 2.0 + view_.focal * c.p.x * w, image_.height / 2.0 - view_.focal * c.p.y * w, w, c.u * w, c.v * w};
  }

  void fill(const Projected& a, const Projected& b, const Projected& c, const Material& material, bool textured, double shade) {
    const double area = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    if (!std::isfinite(area) || std::abs(area) < 1e-12) return;
    const double minX = std::max(0.0, std::floor(std::min({a.x, b.x, c.x})));
    const double maxX = std::min(image_.width - 1.0, std::ceil(std::max({a.x, b.x, c.x})));
    const double minY = std::max(0.0, std::floor(std::min({a.y, b.y, c.y})));
    const double maxY = std::min(image_.height - 1.0, std::ceil(std::max({a.y, b.y, c.y})));
    if (minX > maxX || minY > maxY) return;
    const double farW = 1 / view_.farZ;

    std::array<double, 3> flat{};
    if (!textured)
      for (int k = 0; k < 3; ++k) flat[k] = material.colour[k] * shade;

    for (int y = static_cast<int>(minY); y <= static_cast<int>(maxY); ++y) {
      const double py = y + 0.5;
      for (int x = static_cast<int>(minX); x <= static_cast<int>(maxX); ++x) {
        const double px = x + 0.5;
        // Barycentric weights, signed by the area so that either winding fills.
        const double wa = ((b.x - px) * (c.y - py) - (b.y - py) * (c.x - px)) / area;
        const double wb = ((c.x - px) * (a.y - py) - (c.y - py) * (a.x - px)) / area;
        const double wc = 1 - wa - wb;
        if (wa < 0 || wb < 0 || wc < 0) continue;
        const double w = wa * a.w + wb * b.w + wc * c.w;
        const std::size_t at = std::size_t(y) * std::size_t(image_.width) + std::size_t(x);
        if (!(w > depth_[at]) || w < farW) continue;
        depth_[at] = static_cast<float>(w);
        std::array<double, 3> colour = flat;
        if (textured) {
          const double u = (wa * a.uw + wb * b.uw + wc * c.uw) / w, v = (wa * a.vw + wb * b.vw + wc * c.vw) / w;
          colour = sample(*material.texture, u, v);
          for (double& channel : colour) channel *= shade;
        }
        for (int k = 0; k < 3; ++k)
          image_.rgb[at * 3 + k] = static_cast<std::uint8_t>(std::lround(std::clamp(colour[k], 0.0, 1.0) * 255));
      }
    }
  }

  // Nearest texel; v runs up the image, rows run down it.
  static std::array<double, 3> sample(const Texture& texture, double u, double v) {
    u = u * texture.scaleU + texture.shiftU;
    v = v * texture.scaleV + texture.shiftV;
    if (texture.wrap) {
      u -= std::floor(u);
      v -= std::floor(v);
    }
    const Image& image = *texture.image;
    const auto texel = [](double t, int size) {
      const double scaled = std::clamp(t, 0.0, 1.0) * size;
      return std::min(size - 1, static_cast<int>(scaled));
    };
    const int x = texel(u, image.width), y = texel(1 - v, image.height);
    const std::size_t at = (std::size_t(y) * std::size_t(image.width) + std::size_t(x)) * 3;
    return {image.rgb[at] / 255.0, image.rgb[at + 1] / 255.0, image.rgb[at + 2] / 255.0};
  }

  const dal::Document& scene_;
  const PreviewOptions& options_;
  const View& view_;
  Image& image_;
  std::vector<float> depth_;  // 1 / distance; 0 is nothing drawn yet
  std::map<double, const dal::Block*> definitions_;
  std::map<const dal::Block*, Mesh> meshes_;
  std::map<const dal::Block*, Material> materials_;
  std::map<std::string, std::shared_ptr<const Image>> textures_;
};

}  // namespace

bool renderPreview(const dal::Document& scene, const PreviewOptions& options, Image& image, std::string& error) {
  image = Image{};
  if (options.width < 1 || options.height < 1 || options.width > kMaxPreviewSide || options.height > kMaxPreviewSide) {
    error = "a preview of " + std::to_string(options.width) + "x" + std::to_string(options.height) +
            " pixels cannot be made: each side must lie in 1.." + std::to_string(kMaxPreviewSide);
    return false;
  }
  View view;
  if (!setUpView(scene, options, view, error)) return false;
  Image drawn;
  drawn.width = options.width;
  drawn.height = options.height;
  try {
    Renderer renderer(scene, options, view, drawn);
    renderer.allocate();
    if (!renderer.run(error)) return false;
  } catch (const std::bad_alloc&) {
    error = "not enough memory for a preview of " + std::to_string(options.width) + "x" + std::to_string(options.height) +
            " pixels of this scene";
    return false;
  }
  image = std::move(drawn);
  return true;
}

}  // namespace daltool
