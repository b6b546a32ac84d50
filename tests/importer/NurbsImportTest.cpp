// NURBS surfaces through the real importer, checked independently: the exact
// surface is evaluated from the written "nurbs" record (textbook Cox-de Boor
// on the written knots and homogeneous points), and its tessellation, written
// beside it, is measured against it.

#include "tests/fixtures/NurbsReference.h"
#include "tests/fixtures/NurbsScenes.h"
#include "tests/importer/DalText.h"
#include "tests/importer/ImporterRun.h"
#include "tests/geometry/ObjReference.h"

namespace {

using importer_test::Sandbox;
namespace fs = std::filesystem;
namespace ref = nurbs_reference;

const fs::path kCorpus = GLOWBOX_CORPUS_DIR;

// The surface a "nurbs" record states, and its trim loops sampled densely
// in (u, v): a region starts at each loop marked as outside.
struct Written {
  ref::Surface surface;
  std::vector<std::vector<std::vector<std::array<double, 2>>>> regions;

  // Even-odd per region, with the loops' crossings of the line at v kept
  // while v stays the same (the area sum walks row by row).
  bool inside(double u, double v) const {
    if (regions.empty()) return true;
    if (v != rowV_) {
      rowV_ = v;
      rowCrossings_.assign(regions.size(), {});
      for (size_t r = 0; r < regions.size(); ++r) {
        for (const auto& loop : regions[r])
          for (size_t a = 0, b = loop.size() - 1; a < loop.size(); b = a++)
            if ((loop[a][1] > v) != (loop[b][1] > v))
              rowCrossings_[r].push_back(loop[a][0] + (v - loop[a][1]) * (loop[b][0] - loop[a][0]) / (loop[b][1] - loop[a][1]));
        std::sort(rowCrossings_[r].begin(), rowCrossings_[r].end());
      }
    }
    for (const auto& crossings : rowCrossings_)
      if ((std::upper_bound(crossings.begin(), crossings.end(), u) - crossings.begin()) % 2 == 1) return true;
    return false;
  }

 private:
  mutable double rowV_ = std::nan("");
  mutable std::vector<std::vector<double>> rowCrossings_;
};

Written readSurface(const daltext::Block& nurbs) {
  Written w;
  ref::Surface& s = w.surface;
  s.umin = nurbs.numbers("umin").at(0), s.umax = nurbs.numbers("umax").at(0);
  s.vmin = nurbs.numbers("vmin").at(0), s.vmax = nurbs.numbers("vmax").at(0);
  s.uorder = int(nurbs.numbers("uorder").at(0)), s.vorder = int(nurbs.numbers("vorder").at(0));
  s.uknot = nurbs.numbers("uknot"), s.vknot = nurbs.numbers("vknot"), s.pw = nurbs.numbers("Pw");
  if (s.pw.empty()) return w;
  EXPECT_EQ(s.pw.size(), 4 * s.nu() * s.nv());
  const std::vector<double> counts = nurbs.numbers("trim_nedges"), outer = nurbs.numbers("trim_inside");
  const std::vector<double> orders = nurbs.numbers("edge_order"), nknots = nurbs.numbers("edge_nknots");
  const std::vector<double> knots = nurbs.numbers("edge_knot"), uvw = nurbs.numbers("edge_uvw");
  const std::vector<double> lo = nurbs.numbers("edge_min"), hi = nurbs.numbers("edge_max");
  size_t edge = 0, knotAt = 0, pointAt = 0;
  for (size_t l = 0; l < counts.size(); ++l) {
    if (outer.at(l) == 1 || w.regions.empty()) w.regions.emplace_back();
    std::vector<std::array<double, 2>> loop;
    for (int e = 0; e < int(counts[l]); ++e, ++edge) {
      const int order = int(orders.at(edge));
      const std::vector<double> k(knots.begin() + long(knotAt), knots.begin() + long(knotAt + size_t(nknots.at(edge))));
      for (int step = 0; step < 400; ++step) {
        const double t = lo.at(edge) + (hi.at(edge) - lo.at(edge)) * step / 400.0;
        double h[3] = {0, 0, 0};
        for (size_t i = 0; i + size_t(order) < k.size(); ++i)
          for (size_t c = 0; c < 3; ++c) h[c] += ref::basis(k, i, order, t, hi.at(edge)) * uvw.at(3 * (pointAt + i) + c);
        loop.push_back({h[0] / h[2], h[1] / h[2]});
      }
      knotAt += k.size(), pointAt += k.size() - size_t(order);
    }
    w.regions.back().push_back(loop);
  }
  return w;
}

// The triangles of a "triangles" record, each corner with the surface
// parameters its uvs stand for (the surface's range mapped to 0..1).
ref::Triangles readTriangles(const daltext::Block& mesh, const ref::Surface& s) {
  const std::vector<double> p = mesh.numbers("vertices"), uv = mesh.numbers("uv_tex"), n = mesh.numbers("normals");
  const std::vector<double> tri = mesh.numbers("triangles"), triUV = mesh.numbers("triangles_uv");
  const std::vector<double> triN = mesh.numbers("triangles_norm");
  ref::Triangles out;
  for (size_t c = 0; c < tri.size(); ++c) {
    const size_t k = size_t(tri[c]), t = size_t(triUV.empty() ? tri[c] : triUV[c]);
    const size_t m = size_t(triN.empty() ? tri[c] : triN[c]);
    out.points.push_back({p.at(3 * k), p.at(3 * k + 1), p.at(3 * k + 2)});
    out.normals.push_back({n.at(3 * m), n.at(3 * m + 1), n.at(3 * m + 2)});
    out.params.push_back({s.umin + uv.at(2 * t) * (s.umax - s.umin), s.vmin + uv.at(2 * t + 1) * (s.vmax - s.vmin)});
  }
  return out;
}

// Every surface of a converted scene: its definition as a surface is
// followed by its tessellation, which must lie on it.
void checkEverySurface(const std::string& text, const std::string& scene, size_t expected,
                       double expectedArea = 0) {
  const daltext::Block document = daltext::parse(text);
  size_t surfaces = 0;
  for (size_t i = 0; i + 1 < document.children.size(); ++i) {
    const daltext::Block& def = document.children[i];
    const daltext::Block* nurbs = def.kind() == "#define" ? def.child("geometry", "nurbs") : nullptr;
    if (!nurbs) continue;
    ++surfaces;
    SCOPED_TRACE(scene + ": " + def.name());
    const Written w = readSurface(*nurbs);
    if (w.surface.pw.empty()) continue;  // a surface the stand-in could not evaluate: no triangles either
    const daltext::Block& next = document.children[i + 1];
    const daltext::Block* mesh = next.child("geometry", "triangles");
    ASSERT_TRUE(mesh && next.name() == def.name()) << "no tessellation after the surface";
    const ref::Triangles triangles = readTriangles(*mesh, w.surface);
    ASSERT_FALSE(triangles.points.empty());
    // Six significant digits in the readable form: positions and uvs are off by their rounding.
    double largest = 0;
    for (const ref::Vec& q : triangles.points) largest = std::max({largest, std::fabs(q[0]), std::fabs(q[1]), std::fabs(q[2])});
    const auto inside = [&w](double u, double v) { return w.inside(u, v); };
    const ref::Measures m =
        ref::measure(w.surface, triangles, inside, 1e-5 * largest + 2e-6 * w.surface.controlDiagonal());
    EXPECT_LT(m.offSurface, 1e-6);
    EXPECT_LT(m.chord, 0.005);
    EXPECT_LT(m.normalDegrees, 5.0);
    EXPECT_EQ(m.flipped, 0u);
    EXPECT_EQ(m.outside, 0u);
    // A trimmed part needs a fine sampling: its edge decides the rest.
    const double area = expectedArea > 0 ? expectedArea : w.surface.area(inside, w.regions.empty() ? 60 : 240);
    EXPECT_NEAR(m.area, area, 0.01 * area);
  }
  EXPECT_EQ(surfaces, expected) << scene;
}

std::string convert(const Sandbox& box, const fs::path& scene) {
  const fs::path output = box.root() / "out.dal";
  ImportArgs args = importer_test::settingsFor(scene.string(), output.string());
  args.setBool(INCLUDE_NURBS, true);
  const testproc::Outcome run = box.runImporter(args);
  EXPECT_EQ(run.status, 0) << box.log();
  return testproc::slurp(output);
}

TEST(NurbsImport, OwnSurfacesTessellateOnTheExactSurface) {
  const std::string header = "//Maya ASCII 2011 scene\nrequires maya \"2011\";\n";
  Sandbox box;
  // The trimmed card's area is known exactly.
  checkEverySurface(convert(box, box.write("card.ma", header + nurbs_scenes::trimmedPlane("card"))), "card.ma", 1,
                    nurbs_scenes::kTrimmedPlaneArea);
  checkEverySurface(convert(box, box.write("own.ma", header + nurbs_scenes::cubicSurface("grid") +
                                                         "createNode transform -n \"ball\";\n"
                                                         "createNode nurbsSurface -n \"ballShape\" -p \"ball\";\n"
                                                         "createNode makeNurbSphere -n \"make\";\nsetAttr \".r\" 3;\n"
                                                         "connectAttr \"make.os\" \"ballShape.cr\";\n")),
                    "own.ma", 2);
}

TEST(NurbsImport, CorpusSurfacesTessellateOnTheExactSurface) {
  const fs::path folder = kCorpus / "nurbs";
  if (!fs::exists(folder)) GTEST_SKIP() << "corpus not found at " << kCorpus;
  for (const char* name :
       {"hochimint__CSE682__alarmClock.ma", "Adelaide-AAA__Essentials__Unit4_CurvesLab.ma",
        "Nobl3Nob0dy__Modeling-Surfacing--DAGV-1200__Projects__CornerRoom__CornerRoom_Save_OhGodWhatHaveIDone.ma"}) {
    Sandbox box;
    const std::string text = convert(box, folder / name);
    const size_t surfaces = importer_test::countOf(text, "geometry \"nurbs\"");
    EXPECT_GT(surfaces, 0u) << name;
    checkEverySurface(text, name, surfaces);
  }
}

// Meshes through the real importer: what reaches the scene file, read back.

// The numbers of an array statement `"key" [ ... ]` of a block.
template <class T>
std::vector<T> arrayOf(const daltext::Block& block, const std::string& key) {
  const std::vector<double> values = block.numbers(key);
  return std::vector<T>(values.begin(), values.end());
}

TEST(MeshImport, TheHelmetIsMayasOwnExportTriangleForTriangle) {
  const fs::path scene = kCorpus / "maya2gltf" / "DamagedHelmet2024.ma";
  const fs::path reference = kCorpus / "reference" / "DamagedHelmet2024.maya-export.obj";
  if (!fs::exists(scene) || !fs::exists(reference)) GTEST_SKIP() << "corpus not found at " << kCorpus;
  Sandbox box;
  const fs::path output = box.root() / "helmet.dal";
  ASSERT_EQ(box.runImporter(importer_test::settingsFor(scene.string(), output.string())).status, 0) << box.log();
  const std::string text = testproc::slurp(output);
  const daltext::Block document = daltext::parse(text);

  const daltext::Block* object = document.definition("object", "helmet:helmetShape");
  const daltext::Block* helmet = object ? object->child("geometry", "triangles") : nullptr;
  ASSERT_TRUE(helmet) << "no triangle object for the helmet";
  const auto triangles = arrayOf<int>(*helmet, "triangles");
  ASSERT_EQ(triangles.size(), 3u * 15452);
  const objref::ObjMesh obj = objref::readObj(testproc::slurp(reference));
  EXPECT_EQ(objref::compareWithExport(arrayOf<float>(*helmet, "vertices"), arrayOf<float>(*helmet, "uv_tex"),
                                      arrayOf<float>(*helmet, "normals"), triangles, obj, 1e-5f),
            "");
  // Defined once, placed once, by reference: the definition and the one placement name it.
  EXPECT_EQ(importer_test::countOf(text, "#define object "), 1u);
  EXPECT_EQ(importer_test::countOf(text, "object \"helmet:helmetShape\""), 2u);
}

}  // namespace
