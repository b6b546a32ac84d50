// The consistency rules of written geometry, as the renderer relies on them.

#include "sceneapi/DalCheck.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <numeric>
#include <set>

namespace dal {
namespace {

struct Values {
  const std::vector<double>* numbers = nullptr;
  std::size_t offset = 0;
  bool present() const { return numbers != nullptr; }
  std::size_t size() const { return numbers ? numbers->size() : 0; }
};

// The first array of `key`; a key written without an array counts as absent.
Values arrayOf(const Block& block, std::string_view key) {
  const Statement* s = block.statement(key);
  if (!s || s->arrays.empty()) return {};
  return {&s->arrays.front().values, s->arrays.front().offset};
}

std::string str(std::size_t n) { return std::to_string(n); }

class Checker {
 public:
  std::vector<Fault> run(const Document& document) {
    collect(document.root);
    for (const Placement& p : placements_) {
      const auto found = definitions_.find(p.id);
      if (found == definitions_.end()) add(p.offset, "instance id " + p.id + " is placed but never defined");
      else if (found->second > p.offset) add(p.offset, "instance id " + p.id + " is placed before its definition");
    }
    for (const Placement& m : materialUses_)
      if (!materials_.count(m.id)) add(m.offset, "material \"" + m.id + "\" is used but never defined");
    std::stable_sort(faults_.begin(), faults_.end(), [](const Fault& a, const Fault& b) { return a.offset < b.offset; });
    return std::move(faults_);
  }

 private:
  struct Placement {
    std::string id;
    std::size_t offset;
  };

  void add(std::size_t offset, std::string message) { faults_.push_back({offset, std::move(message)}); }

  void collect(const Block& block) {
    const bool definesObject = block.header.size() == 3 && block.header[0] == "#define" && block.header[1] == "object";
    if (definesObject) {
      const Statement* id = block.statement("id");
      if (!id || id->words.size() < 2) add(block.offset, "object definition \"" + block.name() + "\" has no id");
      else if (!definitions_.emplace(id->words[1], block.offset).second)
        add(id->offset, "instance id " + id->words[1] + " is defined twice");
    }
    if ((block.header.size() == 3 && block.header[0] == "#define" && block.header[1] == "material") ||
        (block.kind() == "material" && block.header.size() == 2))
      materials_.insert(block.name());
    if (block.kind() == "object")
      for (const Statement& s : block.statements)
        if (s.key() == "material" && s.words.size() > 1) materialUses_.push_back({s.words[1], s.offset});
    if (block.kind() == "geometry") {
      const std::string& type = block.name();
      if (type == "instance") placements_.push_back({block.word("id"), block.offset});
      else if (type == "triangles") checkTriangles(block);
      else if (type == "nurbs") checkNurbs(block);
      else if (type == "orb_curves") checkCurves(block);
    }
    for (const Block& child : block.children) collect(child);
  }

  bool wholeTuples(const Values& values, std::size_t size, const char* what) {
    if (values.size() % size == 0) return true;
    add(values.offset, std::string(what) + " hold " + str(values.size()) + " numbers, not whole groups of " + str(size));
    return false;
  }

  // Indices must be whole numbers inside [0, limit).
  void indicesWithin(const Values& indices, std::size_t limit, const char* what, const char* target) {
    for (std::size_t i = 0; i < indices.size(); ++i) {
      const double index = (*indices.numbers)[i];
      if (index < 0 || index >= static_cast<double>(limit) || index != std::floor(index)) {
        char shown[32];  // any double, NaN and 1e300 too: no conversion to an integer
        std::snprintf(shown, sizeof shown, "%.17g", index);
        add(indices.offset, std::string(what) + " element " + str(i) + " is " + shown +
                                ", outside the " + str(limit) + " " + target);
        return;
      }
    }
  }

  void sizeIs(const Values& values, std::size_t expected, const std::string& what, const std::string& because) {
    if (values.present() && values.size() != expected)
      add(values.offset, what + " hold " + str(values.size()) + " numbers; " + because + " needs " + str(expected));
  }

  void checkTriangles(const Block& g) {
    const Values vertices = arrayOf(g, "vertices"), triangles = arrayOf(g, "triangles");
    if (!vertices.present() || !triangles.present()) {
      add(g.offset, "triangle geometry without \"vertices\" or \"triangles\"");
      return;
    }
    if (!wholeTuples(vertices, 3, "vertices") || !wholeTuples(triangles, 3, "triangles")) return;
    const std::size_t vertexCount = vertices.size() / 3;
    indicesWithin(triangles, vertexCount, "triangles", "vertices");
    const std::string perVertex = str(vertexCount) + " vertices";
    // Attributes come per vertex, or through index triangles of their own.
    auto indexed = [&](const char* indexKey, const char* dataKey, std::size_t width) {
      const Values index = arrayOf(g, indexKey), data = arrayOf(g, dataKey);
      if (!index.present()) return sizeIs(data, vertexCount * width, dataKey, perVertex);
      sizeIs(index, triangles.size(), indexKey, str(triangles.size() / 3) + " triangles");
      if (wholeTuples(data, width, dataKey)) indicesWithin(index, data.size() / width, indexKey, dataKey);
    };
    indexed("triangles_uv", "uv_tex", 2);
    indexed("triangles_norm", "normals", 3);
    sizeIs(arrayOf(g, "vcolors"), vertexCount * 3, "vcolors", perVertex);
  }

  static std::size_t sum(const Values& v) {
    return v.present() ? static_cast<std::size_t>(std::max(0.0, std::accumulate(v.numbers->begin(), v.numbers->end(), 0.0))) : 0;
  }

  void checkNurbs(const Block& g) {
    const std::vector<double> uorder = g.numbers("uorder"), vorder = g.numbers("vorder");
    const Values uknot = arrayOf(g, "uknot"), vknot = arrayOf(g, "vknot"), points = arrayOf(g, "Pw");
    if (uorder.size() != 1 || vorder.size() != 1 || !uknot.present() || !vknot.present() || !points.present()) {
      add(g.offset, "NURBS geometry without its orders, knots or \"Pw\"");
      return;
    }
    const auto cvs = [&](const Values& knots, double order, const char* dir) -> std::size_t {
      if (order < 1 || static_cast<double>(knots.size()) < order) {
        add(knots.offset, std::string(dir) + " knots: " + str(knots.size()) + " for order " + std::to_string(static_cast<int>(order)));
        return 0;
      }
      return knots.size() - static_cast<std::size_t>(order);
    };
    const std::size_t faultsBefore = faults_.size();
    const std::size_t cu = cvs(uknot, uorder[0], "u"), cv = cvs(vknot, vorder[0], "v");
    const bool failedKnots = faults_.size() != faultsBefore;
    if (!failedKnots) sizeIs(points, 4 * cu * cv, "Pw", str(cu) + " x " + str(cv) + " control points");

    const Values loops = arrayOf(g, "trim_nedges");
    if (!loops.present()) return;
    const std::size_t edges = sum(loops);
    sizeIs(arrayOf(g, "trim_inside"), loops.size(), "trim_inside", str(loops.size()) + " trim loops");
    for (const char* key : {"edge_order", "edge_nknots", "edge_min", "edge_max"})
      sizeIs(arrayOf(g, key), edges, key, str(edges) + " trim edges");
    const Values orders = arrayOf(g, "edge_order"), knotCounts = arrayOf(g, "edge_nknots");
    if (orders.size() != edges || knotCounts.size() != edges) return;
    sizeIs(arrayOf(g, "edge_knot"), sum(knotCounts), "edge_knot", "the edges' knot counts");
    const std::size_t edgePoints = sum(knotCounts) - std::min(sum(knotCounts), sum(orders));
    sizeIs(arrayOf(g, "edge_uvw"), 3 * edgePoints, "edge_uvw", str(edgePoints) + " trim control points");
  }

  void checkCurves(const Block& g) {
    const Values points = arrayOf(g, "p"), counts = arrayOf(g, "nvertices");
    if (!wholeTuples(points, 3, "p")) return;
    const std::size_t pointCount = points.size() / 3;
    if (sum(counts) != pointCount)
      add(counts.present() ? counts.offset : g.offset,
          "nvertices add up to " + str(sum(counts)) + " points, but \"p\" holds " + str(pointCount));
    sizeIs(arrayOf(g, "pr"), pointCount, "pr", str(pointCount) + " points");
    sizeIs(arrayOf(g, "pcol"), pointCount * 3, "pcol", str(pointCount) + " points");
  }

  std::vector<Fault> faults_;
  std::map<std::string, std::size_t> definitions_;
  std::vector<Placement> placements_;
  std::set<std::string> materials_;
  std::vector<Placement> materialUses_;
};

}  // namespace

std::vector<Fault> check(const Document& document) { return Checker().run(document); }

}  // namespace dal
