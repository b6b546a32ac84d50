// Deformers on NURBS surfaces and curves: they move the control points, in
// Maya's CV order, with the set membership a groupParts gives as "cv[...]".

#include <maya/MFnNurbsSurface.h>
#include <maya/MPointArray.h>

#include "MeshHistoryTestUtil.h"
#include "eval/CurveEval.h"
#include "eval/HistoryDeformers.h"
#include "eval/SurfaceEval.h"

#include <cmath>
#include <functional>

using namespace mayahost;
using namespace history_test;

namespace {

constexpr double kPi = 3.14159265358979323846;

// Two planes (in the YZ plane, as made by default) from one creator, 2 x 1
// patches (5 x 4 CVs, so that u and v cannot be mistaken), "plain" as made and "bent" through a nonLinear whose
// handle is turned so that its Y axis runs along the world's Z.
std::string deformedPlane(const char* handleType, const std::string& values, const std::string& members) {
    std::string s = R"(
createNode transform -n "plain"; createNode nurbsSurface -n "plainShape" -p "plain";
createNode transform -n "bent"; createNode nurbsSurface -n "bentShape" -p "bent";
createNode makeNurbPlane -n "make"; setAttr ".u" 2; setAttr ".v" 1;
createNode transform -n "h"; setAttr ".r" -type "double3" 90 0 0;
createNode )" + std::string(handleType) + R"( -n "hShape" -p "h";
createNode nonLinear -n "nl";
)" + values + R"(
connectAttr "make.os" "plainShape.cr"; connectAttr "nl.og[0]" "bentShape.cr";
connectAttr "hShape.dd" "nl.dd"; connectAttr "h.wm" "nl.ma";
)";
    if (members.empty()) return s + "connectAttr \"make.os\" \"nl.ip[0].ig\";\n";
    return s + "createNode groupId -n \"gid\"; createNode groupParts -n \"gp\";\n"
               "setAttr \".ic\" -type \"componentList\" 1 \"" + members + "\";\n"
               "connectAttr \"make.os\" \"gp.ig\"; connectAttr \"gid.id\" \"gp.gi\";\n"
               "connectAttr \"gp.og\" \"nl.ip[0].ig\"; connectAttr \"gid.id\" \"nl.ip[0].gi\";\n";
}

struct Xyz {
    double x, y, z;
};

TEST(NurbsDeformer, NonLinearMovesASurfacesControlPoints) {
    const std::string twist = "addAttr -sn \"ea\" -ln \"endAngle\" -at \"doubleAngle\"; setAttr \".ea\" 90;\n";
    const std::string sine = "addAttr -sn \"amp\" -ln \"amplitude\" -at \"double\"; setAttr \".amp\" 0.25;\n"
                             "addAttr -sn \"wav\" -ln \"wavelength\" -at \"double\"; setAttr \".wav\" 1.5;\n";
    // In world terms the handle's Y is z and its X is x: the twist turns
    // about the z axis by a quarter turn from z = -1 to z = 1, the sine
    // pushes along x by a wave in z.
    const auto twisted = [](Xyz p) {
        const double a = (p.z + 1) / 2 * kPi / 2;
        return Xyz{p.x * std::cos(a) - p.y * std::sin(a), p.x * std::sin(a) + p.y * std::cos(a), p.z};
    };
    const auto waved = [](Xyz p) { return Xyz{p.x + 0.25 * std::sin(2 * kPi * p.z / 1.5), p.y, p.z}; };
    const auto still = [](Xyz p) { return p; };
    struct Case {
        const char* what;
        std::string scene;
        std::function<Xyz(Xyz)> moved;
        std::function<bool(unsigned u, unsigned v)> member;
    };
    const auto all = [](unsigned, unsigned) { return true; };
    const Case cases[] = {
        {"twist", deformedPlane("deformTwist", twist, ""), twisted, all},
        {"sine", deformedPlane("deformSine", sine, ""), waved, all},
        {"sine on rows u 1 to 2", deformedPlane("deformSine", sine, "cv[1:2][*]"), waved,
         [](unsigned u, unsigned) { return u == 1 || u == 2; }},
        {"twist on a block", deformedPlane("deformTwist", twist, "cv[3:4][0:1]"), twisted,
         [](unsigned u, unsigned v) { return u >= 3 && v <= 1; }},
        {"no handle kind", deformedPlane("transform", twist, ""), still, all},
    };
    for (const Case& c : cases) {
        auto scene = load(c.scene);
        MStatus status;
        MFnNurbsSurface plain(pathOf(*scene, "plainShape")), bent(pathOf(*scene, "bentShape"), &status);
        ASSERT_TRUE(status) << c.what;
        ASSERT_EQ(bent.numCVsInU(), 5) << c.what;
        ASSERT_EQ(bent.numCVsInV(), 4) << c.what;
        MPointArray before, after;
        ASSERT_TRUE(plain.getCVs(before));
        ASSERT_TRUE(bent.getCVs(after));
        ASSERT_EQ(after.length(), 20u);
        size_t movedCount = 0;
        for (unsigned u = 0; u < 5; ++u)
            for (unsigned v = 0; v < 4; ++v) {
                const unsigned i = u * 4 + v;
                const Xyz p{before[i].x, before[i].y, before[i].z};
                const Xyz want = c.member(u, v) ? c.moved(p) : p;
                EXPECT_NEAR(after[i].x, want.x, 1e-9) << c.what << " cv " << u << "," << v;
                EXPECT_NEAR(after[i].y, want.y, 1e-9) << c.what << " cv " << u << "," << v;
                EXPECT_NEAR(after[i].z, want.z, 1e-9) << c.what << " cv " << u << "," << v;
                movedCount += std::fabs(after[i].x - p.x) + std::fabs(after[i].y - p.y) > 1e-6;
            }
        // Guards against a deformer that moves nothing matching a formula that moves nothing.
        EXPECT_EQ(movedCount > 0, c.moved.target<decltype(still)>() == nullptr) << c.what;
        const SurfaceEvaluation& e = evaluateSurface(*scene, *scene->findNode("bentShape"));
        std::string said;
        for (const std::string& w : e.warnings) said += w + " | ";
        EXPECT_EQ(said.find("not evaluated: its input surface is used"), std::string::npos) << c.what << ": " << said;
    }
}

// Deformers on part of an open curve, the part a groupParts names: a cluster
// on CVs 2 to 4 whose handle lifts them by 3 (CV 3 weighs half) with a tweak
// after it, so that the two chain; a blendShape at half weight toward a live
// target curve on CVs 0 and 1, the target counting in its own space (its
// transform's 50 in x does not).
TEST(NurbsDeformer, ClusterTweakAndBlendShapeOnPartOfACurve) {
    struct Case {
        const char* what;
        std::string scene;
        std::vector<double> y, z;
    };
    const Case cases[] = {
        {"cluster and tweak", R"(
createNode transform -n "a"; createNode nurbsCurve -n "aShape" -p "a";
setAttr ".cc" -type "nurbsCurve" 1 5 0 no 3 6 0 1 2 3 4 5 6 0 0 0 1 0 0 2 0 0 3 0 0 4 0 0 5 0 0;
createNode transform -n "b"; createNode nurbsCurve -n "bShape" -p "b";
createNode cluster -n "c"; setAttr ".wl[0].w[3]" 0.5;
setAttr ".ma" -type "matrix" 1 0 0 0 0 1 0 0 0 0 1 0 0 0 3 1;
createNode groupId -n "gid"; createNode groupParts -n "gp";
setAttr ".ic" -type "componentList" 1 "cv[2:4]";
createNode tweak -n "tw"; setAttr ".pl[0].cp[0]" -type "double3" 0 1 0;
connectAttr "aShape.ws[0]" "gp.ig"; connectAttr "gid.id" "gp.gi";
connectAttr "gp.og" "c.ip[0].ig"; connectAttr "gid.id" "c.ip[0].gi";
connectAttr "c.og[0]" "tw.ip[0].ig"; connectAttr "tw.og[0]" "bShape.cr";
)", {1, 0, 0, 0, 0, 0}, {0, 0, 3, 1.5, 3, 0}},
        {"blendShape", R"(
createNode transform -n "a"; createNode nurbsCurve -n "aShape" -p "a";
setAttr ".cc" -type "nurbsCurve" 1 2 0 no 3 3 0 1 2 3 0 0 0 1 0 0 2 0 0;
createNode transform -n "t"; setAttr ".t" -type "double3" 50 0 0;
createNode nurbsCurve -n "tShape" -p "t";
setAttr ".cc" -type "nurbsCurve" 1 2 0 no 3 3 0 1 2 3 0 4 0 1 4 0 2 4 0;
createNode transform -n "b"; createNode nurbsCurve -n "bShape" -p "b";
createNode blendShape -n "bs"; setAttr ".w[0]" 0.5;
createNode groupId -n "gid"; createNode groupParts -n "gp";
setAttr ".ic" -type "componentList" 1 "cv[0:1]";
connectAttr "aShape.ws[0]" "gp.ig"; connectAttr "gid.id" "gp.gi";
connectAttr "gp.og" "bs.ip[0].ig"; connectAttr "gid.id" "bs.ip[0].gi";
connectAttr "tShape.ws[0]" "bs.it[0].itg[0].iti[6000].igt"; connectAttr "bs.og[0]" "bShape.cr";
)", {2, 2, 0}, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto loaded = load(c.scene);
        const CurveEvaluation& e = evaluateCurve(*loaded, *loaded->findNode("bShape"));
        ASSERT_FALSE(e.empty()) << e.error;
        ASSERT_EQ(e.curve->numCVs(), c.y.size());
        for (size_t i = 0; i < c.y.size(); ++i) {
            EXPECT_DOUBLE_EQ(e.curve->cvs[4 * i], double(i)) << i;
            EXPECT_DOUBLE_EQ(e.curve->cvs[4 * i + 1], c.y[i]) << i;
            EXPECT_DOUBLE_EQ(e.curve->cvs[4 * i + 2], c.z[i]) << i;
        }
        EXPECT_TRUE(e.warnings.empty()) << e.warnings.front();
    }
}

TEST(NurbsDeformer, ControlPointComponentsNameCvIds) {
    const ControlPointGrid curve{6, 0}, surface{3, 4};
    struct Case {
        const char* what;
        ControlPointGrid grid;
        std::vector<std::string> items;
        std::vector<int32_t> ids;
        bool warns;
    };
    const Case cases[] = {
        {"curve run", curve, {"cv[2:4]"}, {2, 3, 4}, false},
        {"curve all, repeated", curve, {"cv[*]", "cv[1]"}, {0, 1, 2, 3, 4, 5}, false},
        {"surface row", surface, {"cv[1][*]"}, {4, 5, 6, 7}, false},
        {"surface column", surface, {"cv[*][2]"}, {2, 6, 10}, false},
        {"surface block", surface, {"cv[0:1][2:3]"}, {2, 3, 6, 7}, false},
        {"beyond the grid", surface, {"cv[2:9][0]", "cv[0][7]"}, {8}, true},
        {"a vertex is no cv", surface, {"vtx[0]", "cv[0][0]"}, {0}, true},
        {"a curve index on a surface", surface, {"cv[1]"}, {}, true},
        {"malformed", curve, {"cv[2:]", "cv[x]", "cv[1", "cv[-1]"}, {}, true},
    };
    for (const Case& c : cases) {
        std::string warning;
        EXPECT_EQ(controlPointIds(c.items, c.grid, &warning), c.ids) << c.what;
        EXPECT_EQ(!warning.empty(), c.warns) << c.what << ": " << warning;
    }
}

}  // namespace
