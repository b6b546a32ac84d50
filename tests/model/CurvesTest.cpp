#include "SceneOutput.h"

#include "sceneapi/model/BezierCurves.h"
#include "sceneapi/model/Material.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using modeltest::arrayParam;
using modeltest::floatBlock;
using modeltest::intBlock;
using modeltest::SceneOutput;
using orb::BezierCurves;

namespace {

TEST(CurvesOutput, UnfilledSetWritesEmptyGeometryWithoutMaterial) {
    SceneOutput out;
    BezierCurves curves("");
    EXPECT_EQ(curves.material(), nullptr);
    out.scene().write(&curves);
    EXPECT_EQ(out.text(), "object \"\" {\n"
                          "geometry \"orb_curves\" {\n"
                          "\"radius\" 1,\n"
                          "\"fitToCubic\" off,\n" +
                              arrayParam("p", floatBlock('c', {})) + arrayParam("nvertices", intBlock({})) +
                              "}\n"
                              "}\n");
}

TEST(CurvesOutput, FilledSetWithEveryOptionalArrayAndMaterial) {
    SceneOutput out;
    BezierCurves curves("hair");
    curves.setOrder(4);
    curves.setRadius(0.25f);
    curves.fitToCubicOn();
    curves.addPoint(0, 0, 0);
    curves.addPoint(0, 1, 0);
    curves.addPoint(1, 1, 0);
    curves.addCurve(2);
    curves.addCurve(1);
    curves.addPointRadius(0.5f);
    curves.addPointRadius(0.125f);
    curves.addPointColor(1, 0, 0);
    curves.setMaterial(std::make_shared<orb::Diffuse>("default"));
    out.scene().write(&curves);
    EXPECT_EQ(out.text(), "object \"hair\" {\n"
                          "geometry \"orb_curves\" {\n"
                          "\"radius\" 0.25,\n"
                          "\"order\" 4,\n"
                          "\"fitToCubic\" on,\n" +
                              arrayParam("p", floatBlock('c', {0, 0, 0, 0, 1, 0, 1, 1, 0})) +
                              arrayParam("nvertices", intBlock({2, 1})) +
                              arrayParam("pr", floatBlock('f', {0.5f, 0.125f})) +
                              arrayParam("pcol", floatBlock('c', {1, 0, 0})) + "}\n" + modeltest::kDefaultMaterial +
                              "}\n");
}

TEST(CurvesOutput, OrderIsWrittenOnlyAboveZero) {
    for (int order : {0, -1, -7}) {
        SceneOutput out;
        BezierCurves curves("c");
        curves.setOrder(order);
        out.scene().write(&curves);
        EXPECT_EQ(out.text().find("\"order\""), std::string::npos) << order;
    }
    SceneOutput out;
    BezierCurves curves("c");
    curves.setOrder(1);
    out.scene().write(&curves);
    EXPECT_NE(out.text().find("\"radius\" 1,\n\"order\" 1,\n\"fitToCubic\" off,\n"), std::string::npos);
}

TEST(CurvesOutput, ReadableForm) {
    SceneOutput out(true);
    BezierCurves curves("c");
    curves.addPoint(1, 2, 3);
    curves.addCurve(1);
    curves.fitToCubicOn();
    curves.fitToCubicOff();
    out.scene().write(&curves);
    EXPECT_EQ(out.text(),
              "object \"c\" {\n"
              " geometry \"orb_curves\" {\n"
              "  \"radius\" 1,\n"
              "  \"fitToCubic\" off,\n"
              "  \"p\" [ 1 2 3 ] ,\n"
              "  \"nvertices\" [ 1 ] ,\n"
              " }\n"
              "}\n");
}

TEST(CurvesData, NeverBecomesAnInstanceAndCountsItsBytes) {
    SceneOutput out;
    BezierCurves curves("c");
    curves.addPoint(1, 2, 3);
    curves.addPoint(1, 2, 3);
    curves.addPointRadius(1);
    curves.addPointColor(1, 1, 1);
    curves.addCurve(2);
    EXPECT_EQ(curves.memorySize(), 4u * (6 + 1 + 3 + 1));
    curves.writeInstanceSource(out.scene());
    EXPECT_EQ(out.text(), "");
    EXPECT_FALSE(curves.isInstance());
    EXPECT_EQ(curves.memorySize(), 4u * 11);
}

} // namespace
