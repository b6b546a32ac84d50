// NURBS surfaces through the real importer, checked independently: the exact
// surface is evaluated from the written "nurbs" record (textbook Cox-de Boor
// on the written knots and homogeneous points), and its tessellation, written
// beside it, is measured against it.

#include "tests/fixtures/NurbsScenes.h"
#include "tests/importer/DalText.h"
#include "tests/importer/ImporterRun.h"

#include <array>
#include <cmath>

namespace {

using importer_test::Sandbox;
namespace fs = std::filesystem;
using Vec = std::array<double, 3>;

const fs::path kCorpus = GLOWBOX_CORPUS_DIR;

Vec sub(const Vec& a, const Vec& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Vec cross(const Vec& a, const Vec& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double dot(const Vec& a, const Vec& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
double norm(const Vec& a) { return std::sqrt(dot(a, a)); }

// B-spline basis N_{i,k}(t) by the recursion, on a full knot vector.
double basis(const std::vector<double>& knots, size_t i, int order, double t, double last) {
  if (order == 1) {
    if (t == last) return knots[i] < t && t <= knots[i + 1] ? 1 : 0;  // the end belongs to the last span
    return knots[i] <= t && t < knots[i + 1] ? 1 : 0;
  }
  double value = 0;
  const double a = knots[i + size_t(order) - 1] - knots[i], b = knots[i + size_t(order)] - knots[i + 1];
  if (a > 0) value += (t - knots[i]) / a * basis(knots, i, order - 1, t, last);
  if (b > 0) value += (knots[i + size_t(order)] - t) / b * basis(knots, i + 1, order - 1, t, last);
  return value;
}

// A surface as the "nurbs" record states it.
struct WrittenSurface {
  double umin = 0, umax = 0, vmin = 0, vmax = 0;
  int uorder = 0, vorder = 0;
  std::vector<double> uknot, vknot, pw;
  size_t nu = 0, nv = 0;
  // Trim loops sampled densely in (u, v): a region starts at each outer loop.
  std::vector<std::vector<std::vector<std::array<double, 2>>>> regions;

  Vec at(double u, double v) const {
    std::vector<double> bu(nu), bv(nv);
    for (size_t i = 0; i < nu; ++i) bu[i] = basis(uknot, i, uorder, u, umax);
    for (size_t j = 0; j < nv; ++j) bv[j] = basis(vknot, j, vorder, v, vmax);
    double h[4] = {0, 0, 0, 0};
    for (size_t j = 0; j < nv; ++j)
      for (size_t i = 0; i < nu; ++i)
        if (const double b = bu[i] * bv[j]; b != 0)
          for (int c = 0; c < 4; ++c) h[c] += b * pw[4 * (j * nu + i) + size_t(c)];
    return {h[0] / h[3], h[1] / h[3], h[2] / h[3]};
  }
  // Su x Sv by central differences, kept inside the domain.
  Vec normal(double u, double v) const {
    const double du = (umax - umin) * 1e-5, dv = (vmax - vmin) * 1e-5;
    const double u0 = std::max(umin, u - du), u1 = std::min(umax, u + du);
    const double v0 = std::max(vmin, v - dv), v1 = std::min(vmax, v + dv);
    return cross(sub(at(u1, v), at(u0, v)), sub(at(u, v1), at(u, v0)));
  }
  bool inside(double u, double v) const {
    if (regions.empty()) return true;
    for (const auto& loops : regions) {
      bool in = false;
      for (const auto& loop : loops)
        for (size_t a = 0, b = loop.size() - 1; a < loop.size(); b = a++)
          if ((loop[a][1] > v) != (loop[b][1] > v) &&
              u < loop[a][0] + (v - loop[a][1]) * (loop[b][0] - loop[a][0]) / (loop[b][1] - loop[a][1]))
            in = !in;
      if (in) return true;
    }
    return false;
  }
};

WrittenSurface readSurface(const daltext::Block& nurbs) {
  WrittenSurface s;
  s.umin = nurbs.numbers("umin").at(0), s.umax = nurbs.numbers("umax").at(0);
  s.vmin = nurbs.numbers("vmin").at(0), s.vmax = nurbs.numbers("vmax").at(0);
  s.uorder = int(nurbs.numbers("uorder").at(0)), s.vorder = int(nurbs.numbers("vorder").at(0));
  s.uknot = nurbs.numbers("uknot"), s.vknot = nurbs.numbers("vknot"), s.pw = nurbs.numbers("Pw");
  s.nu = s.uknot.size() - size_t(s.uorder), s.nv = s.vknot.size() - size_t(s.vorder);
  EXPECT_EQ(s.pw.size(), 4 * s.nu * s.nv);
  // Trim edges: rational curves in (u, v), each sampled over its range.
  const std::vector<double> counts = nurbs.numbers("trim_nedges"), inside = nurbs.numbers("trim_inside");
  const std::vector<double> orders = nurbs.numbers("edge_order"), nknots = nurbs.numbers("edge_nknots");
  const std::vector<double> knots = nurbs.numbers("edge_knot"), uvw = nurbs.numbers("edge_uvw");
  const std::vector<double> lo = nurbs.numbers("edge_min"), hi = nurbs.numbers("edge_max");
  size_t edge = 0, knotAt = 0, pointAt = 0;
  for (size_t l = 0; l < counts.size(); ++l) {
    if (inside.at(l) == 1 || s.regions.empty()) s.regions.emplace_back();
    std::vector<std::array<double, 2>> loop;
    for (int e = 0; e < int(counts[l]); ++e, ++edge) {
      const int order = int(orders.at(edge));
      const std::vector<double> k(knots.begin() + long(knotAt), knots.begin() + long(knotAt + size_t(nknots.at(edge))));
      const size_t points = k.size() - size_t(order);
      for (int step = 0; step < 400; ++step) {
        const double t = lo.at(edge) + (hi.at(edge) - lo.at(edge)) * step / 400.0;
        double h[3] = {0, 0, 0};
        for (size_t i = 0; i < points; ++i) {
          const double b = basis(k, i, order, t, hi.at(edge));
          for (int c = 0; c < 3; ++c) h[c] += b * uvw.at(3 * (pointAt + i) + size_t(c));
        }
        loop.push_back({h[0] / h[2], h[1] / h[2]});
      }
      knotAt += k.size(), pointAt += points;
    }
    s.regions.back().push_back(loop);
  }
  return s;
}

// What the tessellation of one surface measures up to, relative to the
// bounding box diagonal of the control points.
struct Measures {
  double offSurface = 0, chord = 0, normalDegrees = 0, area = 0, trueArea = 0;
  size_t triangles = 0, flipped = 0, outside = 0;
};

Measures measure(const WrittenSurface& s, const daltext::Block& mesh, double& diagonal) {
  Vec lo{1e300, 1e300, 1e300}, hi{-1e300, -1e300, -1e300};
  for (size_t i = 0; i + 3 < s.pw.size(); i += 4)
    for (int c = 0; c < 3; ++c) lo[c] = std::min(lo[c], s.pw[i + size_t(c)] / s.pw[i + 3]),
                                hi[c] = std::max(hi[c], s.pw[i + size_t(c)] / s.pw[i + 3]);
  diagonal = norm(sub(hi, lo));
  const std::vector<double> p = mesh.numbers("vertices"), uv = mesh.numbers("uv_tex"), n = mesh.numbers("normals");
  const std::vector<double> tri = mesh.numbers("triangles"), triUV = mesh.numbers("triangles_uv");
  const std::vector<double> triN = mesh.numbers("triangles_norm");
  Measures m;
  m.triangles = tri.size() / 3;
  auto param = [&](size_t corner) {
    const size_t k = size_t(triUV.empty() ? tri[corner] : triUV[corner]);
    return std::array<double, 2>{s.umin + uv[2 * k] * (s.umax - s.umin), s.vmin + uv[2 * k + 1] * (s.vmax - s.vmin)};
  };
  auto point = [&](size_t corner) {
    const size_t k = size_t(tri[corner]);
    return Vec{p[3 * k], p[3 * k + 1], p[3 * k + 2]};
  };
  for (size_t t = 0; t < m.triangles; ++t) {
    Vec centroid{0, 0, 0};
    std::array<double, 2> mid{0, 0};
    for (size_t c = 3 * t; c < 3 * t + 3; ++c) {
      const auto [u, v] = param(c);
      const Vec q = point(c);
      // Six significant digits in the readable form: allow their rounding of q and of (u, v).
      const double rounding = 5e-6 * (std::fabs(q[0]) + std::fabs(q[1]) + std::fabs(q[2])) + 2e-6 * diagonal;
      m.offSurface = std::max(m.offSurface, std::max(0.0, norm(sub(q, s.at(u, v))) - rounding) / diagonal);
      const Vec exact = s.normal(u, v);
      const size_t k = size_t(triN.empty() ? tri[c] : triN[c]);
      const Vec written{n[3 * k], n[3 * k + 1], n[3 * k + 2]};
      if (norm(exact) > 1e-9 * diagonal * diagonal)
        m.normalDegrees = std::max(m.normalDegrees, std::acos(std::clamp(dot(exact, written) / norm(exact) / norm(written),
                                                                         -1.0, 1.0)) * 180 / M_PI);
      for (int i = 0; i < 3; ++i) centroid[size_t(i)] += q[size_t(i)] / 3;
      mid[0] += u / 3, mid[1] += v / 3;
    }
    const Vec face = cross(sub(point(3 * t + 1), point(3 * t)), sub(point(3 * t + 2), point(3 * t)));
    m.area += norm(face) / 2;
    // The chord height: how far the surface at the triangle's middle lies off its plane.
    if (norm(face) > 0)
      m.chord = std::max(m.chord, std::fabs(dot(sub(s.at(mid[0], mid[1]), centroid), face)) / norm(face) / diagonal);
    // Where the surface folds or closes to a point its normal turns fast: a
    // triangle is flipped only when it faces away from the surface at its
    // corners and its middle alike.
    bool agrees = false, judged = false;
    for (size_t c = 3 * t; c <= 3 * t + 3; ++c) {
      const Vec e = c < 3 * t + 3 ? s.normal(param(c)[0], param(c)[1]) : s.normal(mid[0], mid[1]);
      if (norm(e) <= 1e-9 * diagonal * diagonal) continue;
      judged = true;
      agrees = agrees || dot(face, e) > 0;
    }
    if (judged && norm(face) > 1e-12 * diagonal * diagonal && !agrees) ++m.flipped;
    if (!s.inside(mid[0], mid[1])) ++m.outside;
  }
  // The true area by the midpoint rule over the parameter domain.
  const int steps = 120;
  const double du = (s.umax - s.umin) / steps, dv = (s.vmax - s.vmin) / steps;
  for (int i = 0; i < steps; ++i)
    for (int j = 0; j < steps; ++j) {
      const double u = s.umin + (i + 0.5) * du, v = s.vmin + (j + 0.5) * dv;
      if (s.inside(u, v)) m.trueArea += norm(s.normal(u, v)) / (4 * (s.umax - s.umin) * 1e-5 * (s.vmax - s.vmin) * 1e-5) * du * dv;
    }
  return m;
}

// Every surface of a converted scene: its definition as a surface and as triangles.
void checkEverySurface(const std::string& text, const std::string& scene, size_t expected) {
  const daltext::Block document = daltext::parse(text);
  size_t surfaces = 0;
  for (size_t i = 0; i + 1 < document.children.size(); ++i) {
    const daltext::Block& def = document.children[i];
    const daltext::Block* nurbs = def.kind() == "#define" ? def.child("geometry", "nurbs") : nullptr;
    if (!nurbs) continue;
    ++surfaces;
    const daltext::Block& next = document.children[i + 1];
    SCOPED_TRACE(scene + ": " + def.name());
    const daltext::Block* mesh = next.child("geometry", "triangles");
    ASSERT_TRUE(mesh && next.name() == def.name()) << "no tessellation after the surface";
    const WrittenSurface s = readSurface(*nurbs);
    if (s.pw.empty()) continue;  // a surface the stand-in could not evaluate: no triangles either
    double diagonal = 0;
    const Measures m = measure(s, *mesh, diagonal);
    ASSERT_GT(m.triangles, 0u);
    EXPECT_LT(m.offSurface, 1e-6);
    EXPECT_LT(m.chord, 0.005);
    EXPECT_LT(m.normalDegrees, 5.0);
    EXPECT_EQ(m.flipped, 0u);
    EXPECT_EQ(m.outside, 0u);
    EXPECT_NEAR(m.area, m.trueArea, 0.01 * m.trueArea);
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
  Sandbox box;
  const std::string text = convert(
      box, box.write("own.ma", "//Maya ASCII 2011 scene\nrequires maya \"2011\";\n" +
                                   nurbs_scenes::trimmedPlane("card") + nurbs_scenes::cubicSurface("grid") +
                                   "createNode transform -n \"ball\";\ncreateNode nurbsSurface -n \"ballShape\" -p "
                                   "\"ball\";\ncreateNode makeNurbSphere -n \"make\";\nsetAttr \".r\" 3;\n"
                                   "connectAttr \"make.os\" \"ballShape.cr\";\n"));
  checkEverySurface(text, "own.ma", 3);
  // The trimmed card: its area is known exactly.
  const daltext::Block document = daltext::parse(text);
  for (size_t i = 0; i + 1 < document.children.size(); ++i)
    if (document.children[i].child("geometry", "nurbs") && document.children[i].name() == "cardShape") {
      double diagonal = 0;
      const Measures m = measure(readSurface(*document.children[i].child("geometry", "nurbs")),
                                 *document.children[i + 1].child("geometry", "triangles"), diagonal);
      EXPECT_NEAR(m.area, nurbs_scenes::kTrimmedPlaneArea, 0.01 * nurbs_scenes::kTrimmedPlaneArea);
    }
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

}  // namespace
