#include "SceneOutput.h"

using namespace modeltest;

namespace {

TEST(CurvesOutput, UnfilledSetWritesEmptyGeometryWithoutMaterial) {
    BezierCurves curves("");
    curves.setOrder(0);  // written only above zero
    curves.fitToCubicOn();
    curves.fitToCubicOff();
    EXPECT_EQ(written(curves), "object \"\" {\ngeometry \"orb_curves\" {\n\"radius\" 1,\n\"fitToCubic\" off,\n" +
                                   arrayParam("p", floatBlock('c', {})) + arrayParam("nvertices", intBlock({})) +
                                   "}\n}\n");
}

TEST(CurvesOutput, FilledSetWithEveryOptionalArrayAndMaterialIsNeverAnInstance) {
    SceneOutput out;
    BezierCurves curves("hair");
    curves.setOrder(1);
    curves.setRadius(0.25f);
    curves.fitToCubicOn();
    for (int i = 0; i < 3; ++i) curves.addPoint(i == 2, i > 0, 0);
    for (int n : {2, 1}) curves.addCurve(n);
    for (float r : {0.5f, 0.125f}) curves.addPointRadius(r);
    curves.addPointColor(1, 0, 0);
    curves.setMaterial(std::make_shared<Diffuse>("default"));
    EXPECT_EQ(curves.memorySize(), 4u * (9 + 2 + 3 + 2));
    curves.writeInstanceSource(out.scene());
    EXPECT_EQ(out.text(), "");
    EXPECT_FALSE(curves.isInstance());
    out.scene().write(&curves);
    EXPECT_EQ(out.text(), objectBlock("hair", "orb_curves",
                                      "\"radius\" 0.25,\n\"order\" 1,\n\"fitToCubic\" on,\n" +
                                          arrayParam("p", floatBlock('c', {0, 0, 0, 0, 1, 0, 1, 1, 0})) +
                                          arrayParam("nvertices", intBlock({2, 1})) +
                                          arrayParam("pr", floatBlock('f', {0.5f, 0.125f})) +
                                          arrayParam("pcol", floatBlock('c', {1, 0, 0}))));
}

} // namespace
