#include "SceneOutput.h"

#include <vector>

using namespace modeltest;

namespace {

const std::string kSteel = "material \"steel\" {\nsurface \"orb_diffuse\" {\n\"diffuse\" 0.5 0.5 0.5,\n}\n}\n";

// A bilinear patch with Maya-style knots (placeholder, extension) and one
// trim loop of one edge, plus a one-triangle tessellation as alternative.
// Every u value differs from its v counterpart, so that no swap goes unseen.
std::shared_ptr<NurbsSurface> makePlane() {
    auto surface = std::make_shared<NurbsSurface>("plane");
    auto steel = std::make_shared<Diffuse>("steel");
    steel->setColor(0.5f, 0.5f, 0.5f);
    surface->setMaterial(steel);
    surface->setRange(0, 1, 0.25, 0.75);
    surface->setOrder(2, 3);
    for (double k : {0, 1}) surface->addUKnot(k);
    for (double k : {0, 2}) surface->addVKnot(k);
    surface->prependKnotPlaceholders();
    surface->extendKnots();
    for (const auto& [x, y, w] : {std::tuple{0, 0, 1}, {1, 0, 1}, {0, 1, 1}, {2, 2, 2}}) surface->addControlPoint(x, y, 0, w);

    auto trim = std::make_shared<NurbsCurve>();
    trim->loopEdgeCounts.push_back(1);
    trim->loopInsideFlags.push_back(1);
    trim->edgeOrders.push_back(2);
    trim->edgeKnotCounts.push_back(4);
    for (double k : {-1.0, 0.0, 1.0, 2.0}) trim->addKnot(k);
    trim->edgeMinima.push_back(0);
    trim->edgeMaxima.push_back(1);
    for (double c : {0, 1}) trim->addPoint(c, c, 1);
    surface->setTrimCurves(trim);

    auto tessellation = std::make_shared<TriangleObject>("tess");
    for (int i = 0; i < 3; ++i) tessellation->addVertex(i == 1, i == 2, 0);
    tessellation->addTriangle(0, 1, 2);
    surface->setAlternative(tessellation);
    return surface;
}

const std::string kPlaneNurbs =
    "geometry \"nurbs\" {\n\"umin\" 0.0000000000000000,\n\"umax\" 1.0000000000000000,\n"
    "\"vmin\" 0.2500000000000000,\n\"vmax\" 0.7500000000000000,\n"
    "\"uorder\" 2.0000000000000000,\n\"vorder\" 3.0000000000000000,\n" +
    arrayParam("uknot", doubleBlock({-1, 0, 1, 2})) + arrayParam("vknot", doubleBlock({-2, 0, 2, 4})) +
    arrayParam("Pw", doubleBlock({0, 0, 0, 1, 1, 0, 0, 1, 0, 1, 0, 1, 2, 2, 0, 2})) +
    arrayParam("trim_nedges", intBlock({1})) + arrayParam("trim_inside", intBlock({1})) +
    arrayParam("edge_order", intBlock({2})) + arrayParam("edge_nknots", intBlock({4})) +
    arrayParam("edge_min", doubleBlock({0})) + arrayParam("edge_max", doubleBlock({1})) +
    arrayParam("edge_knot", doubleBlock({-1, 0, 1, 2})) + arrayParam("edge_uvw", doubleBlock({0, 0, 1, 1, 1, 1})) +
    "}\n";

const std::string kTessellation = "geometry \"triangles\" {\n" +
                                  arrayParam("vertices", floatBlock('c', {0, 0, 0, 1, 0, 0, 0, 1, 0})) +
                                  arrayParam("triangles", intBlock({0, 1, 2})) + "}\n";

// The group every surface is written in.
std::string surfaceGroup(const std::string& name, const std::string& body) {
    return "\ngroup \"" + name + "\" {\nflags 65536\n" + body + "}\n";
}

TEST(NurbsOutput, UnsetSurfaceThenItsDefinitionWithoutAlternativeOrTrim) {
    SceneOutput out;
    NurbsSurface surface("srf");
    out.scene().write(&surface);
    // Unset ranges run from the largest float down to zero.
    const std::string unsetRange = "340282346638528859811704183484516925440.0000000000000000,\n";
    const std::string geometry = "\"umin\" " + unsetRange + "\"umax\" 0.0000000000000000,\n\"vmin\" " + unsetRange +
                                 "\"vmax\" 0.0000000000000000,\n\"uorder\" -1.0000000000000000,\n\"vorder\" -1.0000000000000000,\n" +
                                 arrayParam("uknot", doubleBlock({})) + arrayParam("vknot", doubleBlock({})) +
                                 arrayParam("Pw", doubleBlock({}));
    const std::string plain = out.text();
    EXPECT_EQ(plain, surfaceGroup("srf", objectBlock("srf", "nurbs", geometry)));

    surface.writeInstanceSource(out.scene());
    surface.write(out.scene());
    EXPECT_EQ(out.text().substr(plain.size()),
              "#define object \"srf\" {\nid 1\ngeometry \"nurbs\" {\n" + geometry + "}\n}\n" +
                  surfaceGroup("srf", objectBlock("srf", "instance", "\"id\" 1,\n")));
}

TEST(NurbsOutput, AlternativeComesFirstAndTrimCurvesWithoutLoopsWriteEmptyArrays) {
    auto plane = makePlane();
    EXPECT_EQ(written(*plane), surfaceGroup("plane", "object \"plane\" {\n" + kTessellation + kSteel +
                                                           "}\nobject \"plane\" {\n" + kPlaneNurbs + kSteel + "}\n"));
    // Trim curves without loops write eight empty arrays.
    NurbsSurface surface("s");
    surface.setTrimCurves(std::make_shared<NurbsCurve>());
    std::string empty = arrayParam("Pw", doubleBlock({}));
    for (const char* key : {"trim_nedges", "trim_inside", "edge_order", "edge_nknots"}) empty += arrayParam(key, intBlock({}));
    for (const char* key : {"edge_min", "edge_max", "edge_knot", "edge_uvw"}) empty += arrayParam(key, doubleBlock({}));
    EXPECT_NE(written(surface).find(empty + "}\n"), std::string::npos);
}

TEST(NurbsInstance, DefinitionsOfSurfaceAndAlternativeThenReferences) {
    SceneOutput out;
    auto surface = makePlane();
    auto alternative = surface->alternative();
    auto trim = surface->trimCurves();
    surface->writeInstanceSource(out.scene());
    EXPECT_TRUE(alternative->isInstance());
    EXPECT_EQ(std::tuple(surface->memorySize(), trim->memorySize(), alternative->memorySize()),
              std::tuple(size_t(0), size_t(0), size_t(0)));

    const std::size_t definitions = out.text().size();
    EXPECT_EQ(out.text(), "#define object \"plane\" {\nid 1\n" + kPlaneNurbs + "}\n" +
                              "#define object \"plane\" {\nid 2\n" + kTessellation + "}\n");
    surface->write(out.scene());
    surface->write(out.scene());
    const std::string reference =
        surfaceGroup("plane", objectBlock("plane", "instance", "\"id\" 2,\n", kSteel) +
                                  objectBlock("plane", "instance", "\"id\" 1,\n", kSteel));
    EXPECT_EQ(out.text().substr(definitions), reference + reference);
}

TEST(NurbsKnots, ExtendKnotRunMirrorsTheEndsOfARunOfThreeOrMore) {
    const double p = NurbsSurface::kKnotPlaceholder;
    const struct {
        std::vector<double> knots;
        std::size_t start;
        std::vector<double> expected;
    } cases[] = {
        {{p, 0.5, 2.0, 2.25, 3.0}, 0, {-1.0, 0.5, 2.0, 2.25, 3.0, 3.75}},
        {{p, 1.0, 4.0}, 0, {-2.0, 1.0, 4.0, 7.0}},
        {{-1, 0, 1, 2, p, 0, 0, 1, 1}, 4, {-1, 0, 1, 2, 0, 0, 0, 1, 1, 1}},  // earlier edges stay
        {{p, 1.0}, 0, {p, 1.0}},                                              // too short: unchanged
        {{}, 0, {}},
        {{1, 2, 3}, 5, {1, 2, 3}},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        std::vector<double> knots = cases[i].knots;
        extendKnotRun(knots, cases[i].start);
        EXPECT_EQ(knots, cases[i].expected) << "case " << i;
    }
}

TEST(NurbsData, MemorySizeClearDataAndAlternative) {
    auto surface = makePlane();
    auto trim = surface->trimCurves();
    // Trim: 4 ints, 4 + 1 + 1 + 6 doubles; surface: 4 + 4 knots, 16 point doubles.
    EXPECT_EQ(trim->memorySize(), 4u * 4 + 8u * 12);
    EXPECT_EQ(surface->memorySize(), 8u * 24 + trim->memorySize());
    surface->clearData();  // leaves the trim curves alone
    EXPECT_TRUE(surface->uKnots().empty());
    EXPECT_EQ(surface->memorySize(), trim->memorySize());
    EXPECT_FALSE(trim->isInstance());
    EXPECT_TRUE(surface->hasAlternative());
    surface->setAlternative(nullptr);
    EXPECT_FALSE(surface->hasAlternative());
}

} // namespace
