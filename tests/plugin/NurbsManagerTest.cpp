// The NURBS manager and its readers on small scenes: what reaches the
// surface, its trim loops and its tessellated alternative.

#include "plugins/maya/src/MaterialManager.h"
#include "plugins/maya/src/NurbsManager.h"
#include "plugins/maya/src/mayautil.h"
#include "sceneapi/model/Material.h"
#include "sceneapi/model/NurbsSurface.h"
#include "sceneapi/model/TriangleObject.h"
#include "tests/fixtures/NurbsScenes.h"
#include "tests/plugin/MayaScene.h"

#include <maya/MFnNurbsSurface.h>

namespace {

class NurbsManagerTest : public MayaSceneTest {
 protected:
  static std::shared_ptr<orb::NurbsSurface> extract(const std::string& path, bool tessellate) {
    auto materials = std::make_shared<MaterialManager>();
    materials->loadMaterials();
    NurbsManager manager;
    manager.setMaterialProvider(materials);
    manager.setTessellate(tessellate);
    GeometryList list = manager.extractGeometry(pathTo(path));
    EXPECT_EQ(list.size(), 1u);
    return list.empty() ? nullptr : std::dynamic_pointer_cast<orb::NurbsSurface>(list.front());
  }
};

TEST_F(NurbsManagerTest, CubicSurfaceWritesExtendedKnotsAndHomogeneousPointsRowByRow) {
  load(nurbs_scenes::cubicSurface("grid"));
  orb::NurbsSurface surface("grid");
  readNurbsSurface(MFnNurbsSurface(pathTo("|grid|gridShape")), surface);
  EXPECT_EQ(std::pair(surface.uKnots().size(), surface.vKnots().size()), std::pair(size_t(8), size_t(8)));
  // Maya's 0 0 0 1 1 1 with a mirrored knot at each end.
  EXPECT_EQ(surface.uKnots(), std::vector<double>({0, 0, 0, 0, 1, 1, 1, 1}));
  ASSERT_EQ(surface.controlPoints().size(), 64u);
  // u varies fastest: point k is grid point (k % 4, k / 4).
  for (size_t k = 0; k < 16; ++k) {
    const double* p = &surface.controlPoints()[4 * k];
    EXPECT_EQ(std::vector<double>(p, p + 4), std::vector<double>({double(k % 4), double((k % 4) * (k / 4)) / 4.0,
                                                                   -double(k / 4), 1.0}))
        << k;
  }
  EXPECT_FALSE(surface.trimCurves());
  for (const char* record : {"DEBUG4:  Nurbs degree (u,v): 3, 3", "DEBUG4:  knots (u,v): 6, 6"})
    EXPECT_TRUE(logged(record)) << record;
}

TEST_F(NurbsManagerTest, OuterBoundaryOfFourEdgesAndAHoleOfOneMakeTwoLoops) {
  load(nurbs_scenes::trimmedPlane("card"));
  const std::shared_ptr<orb::NurbsCurve> trims = readTrimCurves(MFnNurbsSurface(pathTo("|card|cardShape")));
  EXPECT_EQ(trims->loopEdgeCounts, std::vector<int>({4, 1}));
  EXPECT_EQ(trims->loopInsideFlags, std::vector<int>({1, 0}));
  EXPECT_EQ(trims->edgeOrders, std::vector<int>({2, 2, 2, 2, 3}));
  EXPECT_EQ(trims->edgeMinima, std::vector<double>({0, 1, 2, 3, 0}));
  EXPECT_EQ(trims->edgeMaxima, std::vector<double>({1, 2, 3, 4, 4}));
  EXPECT_EQ(trims->edgeKnotCounts, std::vector<int>({4, 4, 4, 4, 12}));
  // Edge 1's knots 1 2, mirrored out to 0 and 3; (u w, v w, w) per point.
  EXPECT_EQ(std::vector<double>(trims->edgeKnots.begin() + 4, trims->edgeKnots.begin() + 8),
            std::vector<double>({0, 1, 2, 3}));
  ASSERT_EQ(trims->edgePoints.size(), 3u * (8 + 9));
  EXPECT_NEAR(trims->edgePoints[3 * 9], 0.7 * std::sqrt(0.5), 1e-6);
  for (const char* record : {"DEBUG4:  writting 1 trimcurves", "DEBUG4:  here is   4 edges",
                             "DEBUG4:  here is   1 edges"})
    EXPECT_TRUE(logged(record)) << record;
}

TEST_F(NurbsManagerTest, TessellationIsTheAlternativeWithTheShapesMaterial) {
  load(nurbs_scenes::trimmedPlane("card") + shader("lambert", "paper") +
       "connectAttr \"cardShape.iog\" \"paperSG.dsm\" -na;\n");
  auto surface = extract("|card|cardShape", true);
  ASSERT_TRUE(surface && surface->trimCurves());
  ASSERT_TRUE(surface->material());
  EXPECT_EQ(surface->material()->name(), "paper");
  auto triangles = std::dynamic_pointer_cast<orb::TriangleObject>(surface->alternative());
  ASSERT_TRUE(triangles);
  EXPECT_EQ(triangles->name(), "cardShape");
  EXPECT_EQ(triangles->material(), surface->material());
  EXPECT_GT(triangles->triangles().size(), 3u * 8);
  for (const char* record : {"DEBUG4:  TRACE CHECK: tessellation", "DEBUG4:  TRACE CHECK: tri path"})
    EXPECT_TRUE(logged(record)) << record;

  EXPECT_FALSE(extract("|card|cardShape", false)->alternative());
}

TEST_F(NurbsManagerTest, EveryVisibleSurfaceIsCountedAndAnEmptyOneStillGetsItsNode) {
  load(nurbs_scenes::cubicSurface("a") + nurbs_scenes::cubicSurface("b") +
       "setAttr \"b.v\" no;\ncreateNode transform -n \"c\";\ncreateNode nurbsSurface -n \"cShape\" -p \"c\";\n");
  NurbsManager manager;
  manager.setMaterialProvider(std::make_shared<MaterialManager>());
  manager.setTessellate(true);
  AlwaysDirty dirty;
  manager.extractAll(dirty);
  EXPECT_TRUE(logged("INFO:  Loaded 2 NurbSurfaces"));
  EXPECT_EQ(manager.getGeometry(pathTo("|b|bShape")).size(), 0u);
  // No data: the surface node is there, empty, and its tessellation failed.
  const GeometryList empty = manager.getGeometry(pathTo("|c|cShape"));
  ASSERT_EQ(empty.size(), 1u);
  auto surface = std::dynamic_pointer_cast<orb::NurbsSurface>(empty.front());
  ASSERT_TRUE(surface);
  EXPECT_TRUE(surface->controlPoints().empty());
  EXPECT_TRUE(logged("WARNING:  nurbs constructor: ") || logged("WARNING:  tessellation: "));
}

}  // namespace
