#include "SceneOutput.h"

#include "sceneapi/model/Material.h"
#include "sceneapi/model/NurbsCurve.h"
#include "sceneapi/model/NurbsSurface.h"
#include "sceneapi/model/TriangleObject.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using modeltest::arrayParam;
using modeltest::doubleBlock;
using modeltest::floatBlock;
using modeltest::intBlock;
using modeltest::kDefaultMaterial;
using modeltest::SceneOutput;
using orb::NurbsCurve;
using orb::NurbsSurface;

namespace {

const std::string kSteel = "material \"steel\" {\nsurface \"orb_diffuse\" {\n\"diffuse\" 0.5 0.5 0.5,\n}\n}\n";

// A bilinear patch with Maya-style knots (placeholder, extension) and one
// trim loop of one edge, plus a one-triangle tessellation as alternative.
std::shared_ptr<NurbsSurface> makePlane() {
    auto surface = std::make_shared<NurbsSurface>("plane");
    auto steel = std::make_shared<orb::Diffuse>("steel");
    steel->setColor(0.5f, 0.5f, 0.5f);
    surface->setMaterial(steel);
    surface->setRange(0, 1, 0, 1);
    surface->setOrder(2, 2);
    surface->addUKnot(0);
    surface->addUKnot(1);
    surface->addVKnot(0);
    surface->addVKnot(1);
    surface->prependKnotPlaceholders();
    surface->extendKnots();
    surface->addControlPoint(0, 0, 0, 1);
    surface->addControlPoint(1, 0, 0, 1);
    surface->addControlPoint(0, 1, 0, 1);
    surface->addControlPoint(2, 2, 0, 2);

    auto trim = std::make_shared<NurbsCurve>();
    trim->loopEdgeCounts.push_back(1);
    trim->loopInsideFlags.push_back(1);
    trim->edgeOrders.push_back(2);
    trim->edgeKnotCounts.push_back(4);
    for (double k : {-1.0, 0.0, 1.0, 2.0})
        trim->addKnot(k);
    trim->edgeMinima.push_back(0);
    trim->edgeMaxima.push_back(1);
    trim->addPoint(0, 0, 1);
    trim->addPoint(1, 1, 1);
    surface->setTrimCurves(trim);

    auto tessellation = std::make_shared<orb::TriangleObject>("tess");
    tessellation->addVertex(0, 0, 0);
    tessellation->addVertex(1, 0, 0);
    tessellation->addVertex(0, 1, 0);
    tessellation->addTriangle(0, 1, 2);
    surface->setAlternative(tessellation);
    return surface;
}

const std::string kPlaneTrim =
    arrayParam("trim_nedges", intBlock({1})) + arrayParam("trim_inside", intBlock({1})) +
    arrayParam("edge_order", intBlock({2})) + arrayParam("edge_nknots", intBlock({4})) +
    arrayParam("edge_min", doubleBlock({0})) + arrayParam("edge_max", doubleBlock({1})) +
    arrayParam("edge_knot", doubleBlock({-1, 0, 1, 2})) + arrayParam("edge_uvw", doubleBlock({0, 0, 1, 1, 1, 1}));

const std::string kPlaneNurbs = "geometry \"nurbs\" {\n"
                                "\"umin\" 0.0000000000000000,\n"
                                "\"umax\" 1.0000000000000000,\n"
                                "\"vmin\" 0.0000000000000000,\n"
                                "\"vmax\" 1.0000000000000000,\n"
                                "\"uorder\" 2.0000000000000000,\n"
                                "\"vorder\" 2.0000000000000000,\n" +
                                arrayParam("uknot", doubleBlock({-1, 0, 1, 2})) +
                                arrayParam("vknot", doubleBlock({-1, 0, 1, 2})) +
                                arrayParam("Pw", doubleBlock({0, 0, 0, 1, 1, 0, 0, 1, 0, 1, 0, 1, 2, 2, 0, 2})) +
                                kPlaneTrim + "}\n";

const std::string kTessellation = "geometry \"triangles\" {\n" +
                                  arrayParam("vertices", floatBlock('c', {0, 0, 0, 1, 0, 0, 0, 1, 0})) +
                                  arrayParam("triangles", intBlock({0, 1, 2})) + "}\n";

TEST(NurbsOutput, UnsetSurfaceWritesDefaultRangeOrdersAndEmptyArrays) {
    SceneOutput out;
    NurbsSurface surface("srf");
    out.scene().write(&surface);
    EXPECT_EQ(out.text(), "\ngroup \"srf\" {\n"
                          "flags 65536\n"
                          "object \"srf\" {\n"
                          "geometry \"nurbs\" {\n"
                          "\"umin\" 340282346638528859811704183484516925440.0000000000000000,\n"
                          "\"umax\" 0.0000000000000000,\n"
                          "\"vmin\" 340282346638528859811704183484516925440.0000000000000000,\n"
                          "\"vmax\" 0.0000000000000000,\n"
                          "\"uorder\" -1.0000000000000000,\n"
                          "\"vorder\" -1.0000000000000000,\n" +
                              arrayParam("uknot", doubleBlock({})) + arrayParam("vknot", doubleBlock({})) +
                              arrayParam("Pw", doubleBlock({})) + "}\n" + kDefaultMaterial + "}\n}\n");
}

TEST(NurbsOutput, AlternativeComesFirstWithTheSurfaceNameAndMaterial) {
    SceneOutput out;
    auto surface = makePlane();
    out.scene().write(surface.get());
    EXPECT_EQ(out.text(), "\ngroup \"plane\" {\nflags 65536\n"
                          "object \"plane\" {\n" +
                              kTessellation + kSteel + "}\nobject \"plane\" {\n" + kPlaneNurbs + kSteel + "}\n}\n");
    EXPECT_EQ(surface->alternative()->name(), "plane");
    EXPECT_EQ(surface->alternative()->material(), surface->material());
}

TEST(NurbsOutput, TrimCurvesWithoutLoopsWriteEightEmptyArrays) {
    SceneOutput out;
    NurbsSurface surface("s");
    surface.setTrimCurves(std::make_shared<NurbsCurve>());
    out.scene().write(&surface);
    const std::string empty = arrayParam("trim_nedges", intBlock({})) + arrayParam("trim_inside", intBlock({})) +
                              arrayParam("edge_order", intBlock({})) + arrayParam("edge_nknots", intBlock({})) +
                              arrayParam("edge_min", doubleBlock({})) + arrayParam("edge_max", doubleBlock({})) +
                              arrayParam("edge_knot", doubleBlock({})) + arrayParam("edge_uvw", doubleBlock({}));
    EXPECT_NE(out.text().find(arrayParam("Pw", doubleBlock({})) + empty + "}\n"), std::string::npos);
}

TEST(NurbsOutput, NoTrimCurvesNoTrimArrays) {
    SceneOutput out;
    NurbsSurface surface("s");
    out.scene().write(&surface);
    EXPECT_EQ(out.text().find("trim_"), std::string::npos);
    EXPECT_EQ(out.text().find("edge_"), std::string::npos);
}

TEST(NurbsOutput, ReadableForm) {
    SceneOutput out(true);
    NurbsSurface surface("s");
    surface.setRange(0, 1, 0.5, 1);
    surface.setOrder(2, 3);
    for (double k : {0.0, 0.0, 1.0, 1.0}) {
        surface.addUKnot(k);
        surface.addVKnot(k);
    }
    surface.addControlPoint(0, 0, 0, 1);
    surface.addControlPoint(1, 0, 0, 1);
    out.scene().write(&surface);
    const std::string zero = "0.0000000000000000";
    const std::string one = "1.0000000000000000";
    const std::string knots = "[ " + zero + "," + zero + "," + one + "," + one + " ] ";
    EXPECT_EQ(out.text(), "\ngroup \"s\" {\n"
                          " flags 65536\n"
                          " object \"s\" {\n"
                          "  geometry \"nurbs\" {\n"
                          "   \"umin\" 0.0000000000000000,\n"
                          "   \"umax\" 1.0000000000000000,\n"
                          "   \"vmin\" 0.5000000000000000,\n"
                          "   \"vmax\" 1.0000000000000000,\n"
                          "   \"uorder\" 2.0000000000000000,\n"
                          "   \"vorder\" 3.0000000000000000,\n"
                          "   \"uknot\" " +
                              knots + ",\n   \"vknot\" " + knots + ",\n   \"Pw\" [ " + zero + "," + zero + "," + zero +
                              "," + one + "," + one + "," + zero + "," + zero + "," + one +
                              " ] ,\n"
                              "  }\n"
                              "  material \"default\" {\n"
                              "   surface    \"orb_diffuse\" {\n"
                              "    \"diffuse\" 0.75 0.5 0.5,\n"
                              "   }   \n"
                              "  }\n"
                              " }\n"
                              "}\n");
}

TEST(NurbsInstance, DefinitionsOfSurfaceAndAlternativeThenReferences) {
    SceneOutput out;
    auto surface = makePlane();
    auto alternative = surface->alternative();
    auto trim = surface->trimCurves();
    surface->writeInstanceSource(out.scene());
    EXPECT_TRUE(surface->isInstance());
    EXPECT_TRUE(alternative->isInstance());
    EXPECT_EQ(surface->instanceId(), 1u);
    EXPECT_EQ(surface->memorySize(), 0u);
    EXPECT_EQ(trim->memorySize(), 0u);
    EXPECT_EQ(alternative->memorySize(), 0u);
    EXPECT_TRUE(surface->uKnots().empty());

    const std::size_t definitions = out.text().size();
    EXPECT_EQ(out.text(), "#define object \"plane\" {\nid 1\n" + kPlaneNurbs + "}\n" +
                              "#define object \"plane\" {\nid 2\n" + kTessellation + "}\n");

    surface->write(out.scene());
    surface->write(out.scene());
    const std::string reference = "\ngroup \"plane\" {\nflags 65536\n"
                                  "object \"plane\" {\ngeometry \"instance\" {\n\"id\" 2,\n}\n" +
                                  kSteel +
                                  "}\n"
                                  "object \"plane\" {\ngeometry \"instance\" {\n\"id\" 1,\n}\n" +
                                  kSteel + "}\n}\n";
    EXPECT_EQ(out.text().substr(definitions), reference + reference);
}

TEST(NurbsInstance, SurfaceWithoutAlternativeOrTrim) {
    SceneOutput out;
    NurbsSurface surface("s");
    surface.addUKnot(3);
    surface.writeInstanceSource(out.scene());
    surface.write(out.scene());
    const std::string text = out.text();
    EXPECT_EQ(text.rfind("#define object \"s\" {\nid 1\ngeometry \"nurbs\" {\n", 0), 0u);
    EXPECT_NE(text.find(arrayParam("uknot", doubleBlock({3}))), std::string::npos);
    EXPECT_EQ(text.substr(text.find("\ngroup")), "\ngroup \"s\" {\nflags 65536\n"
                                                 "object \"s\" {\ngeometry \"instance\" {\n\"id\" 1,\n}\n" +
                                                     kDefaultMaterial + "}\n}\n");
}

// ---------------------------------------------------------------------------

TEST(NurbsKnots, PlaceholdersGoInFrontOfBothVectors) {
    NurbsSurface surface("s");
    surface.addUKnot(0);
    surface.addVKnot(5);
    surface.addVKnot(6);
    surface.prependKnotPlaceholders();
    EXPECT_EQ(surface.uKnots(), (std::vector<double>{12648430.0, 0}));
    EXPECT_EQ(surface.vKnots(), (std::vector<double>{12648430.0, 5, 6}));
}

TEST(NurbsKnots, ClampedKnotsGetRepeatedEnds) {
    NurbsSurface surface("s");
    for (double k : {0.0, 0.0, 1.0, 1.0})
        surface.addUKnot(k);
    for (double k : {0.0, 1.0, 2.0, 3.0})
        surface.addVKnot(k);
    surface.prependKnotPlaceholders();
    surface.extendKnots();
    EXPECT_EQ(surface.uKnots(), (std::vector<double>{0, 0, 0, 1, 1, 1}));
    EXPECT_EQ(surface.vKnots(), (std::vector<double>{-1, 0, 1, 2, 3, 4}));
}

TEST(NurbsKnots, NonUniformEndsMirrorTheirNeighbours) {
    std::vector<double> knots{12648430.0, 0.5, 2.0, 2.25, 3.0};
    orb::extendKnotRun(knots, 0);
    EXPECT_EQ(knots, (std::vector<double>{-1.0, 0.5, 2.0, 2.25, 3.0, 3.75}));
}

TEST(NurbsKnots, ThreeEntriesAreEnough) {
    std::vector<double> knots{12648430.0, 1.0, 4.0};
    orb::extendKnotRun(knots, 0);
    EXPECT_EQ(knots, (std::vector<double>{-2.0, 1.0, 4.0, 7.0}));
}

TEST(NurbsKnots, ARunAfterEarlierEdgesLeavesThemAlone) {
    std::vector<double> knots{-1, 0, 1, 2, 12648430.0, 0, 0, 1, 1};
    orb::extendKnotRun(knots, 4);
    EXPECT_EQ(knots, (std::vector<double>{-1, 0, 1, 2, 0, 0, 0, 1, 1, 1}));
}

TEST(NurbsKnots, TooShortRunsAreLeftUnchanged) {
    std::vector<double> two{12648430.0, 1.0};
    orb::extendKnotRun(two, 0);
    EXPECT_EQ(two, (std::vector<double>{12648430.0, 1.0}));
    std::vector<double> none;
    orb::extendKnotRun(none, 0);
    EXPECT_TRUE(none.empty());
    std::vector<double> past{1, 2, 3};
    orb::extendKnotRun(past, 5);
    EXPECT_EQ(past, (std::vector<double>{1, 2, 3}));
}

// ---------------------------------------------------------------------------

TEST(NurbsData, MemorySizeCountsKnotsPointsAndTrim) {
    auto surface = makePlane();
    // 4 + 4 knots, 16 point doubles; trim: 4 ints, 4 + 1 + 1 + 6 doubles.
    EXPECT_EQ(surface->trimCurves()->memorySize(), 4u * 4 + 8u * 12);
    EXPECT_EQ(surface->memorySize(), 8u * 24 + 4u * 4 + 8u * 12);
}

TEST(NurbsData, ClearDataEmptiesSurfaceArraysAndCurveArrays) {
    auto surface = makePlane();
    surface->clearData();
    EXPECT_TRUE(surface->uKnots().empty());
    EXPECT_TRUE(surface->vKnots().empty());
    EXPECT_TRUE(surface->controlPoints().empty());
    EXPECT_EQ(surface->memorySize(), surface->trimCurves()->memorySize());
    auto trim = surface->trimCurves();
    trim->clearData();
    EXPECT_EQ(trim->memorySize(), 0u);
    EXPECT_TRUE(trim->loopEdgeCounts.empty());
    EXPECT_TRUE(trim->edgePoints.empty());
    EXPECT_FALSE(trim->isInstance());
}

TEST(NurbsData, AlternativeIsRenamedWhenSet) {
    NurbsSurface surface("named");
    auto tess = std::make_shared<orb::TriangleObject>("other");
    surface.setAlternative(tess);
    EXPECT_TRUE(surface.hasAlternative());
    EXPECT_EQ(tess->name(), "named");
    surface.setAlternative(nullptr);
    EXPECT_FALSE(surface.hasAlternative());
}

} // namespace
