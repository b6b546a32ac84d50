// What a file can make the stand-in do: each bound holds with a warning that
// names the node, the limit and the value asked for, and the rest of the
// scene still loads. Sizes are small (the bounds are lowered) so that the
// sanitizer run covers the same paths; the full-size files run through the
// real program in the importer tests.

#include "MeshHistoryTestUtil.h"
#include "../common/TestEnv.h"

#include "base/EvalBudget.h"
#include "base/Limits.h"
#include "eval/SurfaceEval.h"
#include "file/MbReader.h"
#include "mesh/MeshValidate.h"

#include <filesystem>
#include <fstream>
#include <sstream>

using history_test::load;
using history_test::meshNamed;

namespace {

std::string sphere(int n) {
    const std::string i = std::to_string(n);
    return "createNode transform -n \"s" + i + "\";\ncreateNode mesh -n \"s" + i + "Shape\" -p \"s" + i +
           "\";\ncreateNode polySphere -n \"polySphere" + i + "\";\n\tsetAttr \".sa\" 100;\n\tsetAttr \".sh\" 100;\n" +
           "connectAttr \"polySphere" + i + ".out\" \"s" + i + "Shape.i\";\n";
}

// A polyCube through `count` polySmoothFace nodes of zero divisions.
std::string smoothChain(int count) {
    std::string text = history_test::kCube;
    std::string previous = "polyCube1.out";
    for (int i = 0; i < count; ++i) {
        const std::string n = "sm" + std::to_string(i);
        text += "createNode polySmoothFace -n \"" + n + "\";\n\tsetAttr \".dv\" 0;\nconnectAttr \"" + previous + "\" \"" +
                n + ".ip\";\n";
        previous = n + ".out";
    }
    return text + "connectAttr \"" + previous + "\" \"pCubeShape1.i\";\n";
}

std::string warningsOf(const mayahost::Scene& scene) {
    std::string all;
    for (const auto& w : scene.warnings()) all += w.message + "\n";
    return all;
}

}  // namespace

TEST(EvalBudget, MeshesBeyondTheScenesBudgetFailAndTheOthersStay) {
    // A 100 x 100 sphere is judged at 1.28 MB before it is made and keeps
    // about 0.8 MB: two fit in 2.5 MB, the third does not.
    mayahost::Limits small = mayahost::limits();
    small.evalBudgetFloor = 2500000;
    mayahost::ScopedLimits scope(small);
    auto scene = load(sphere(1) + sphere(2) + sphere(3));
    EXPECT_EQ(meshNamed(*scene, "s1Shape").mesh->numFaces(), 10000u);
    EXPECT_EQ(meshNamed(*scene, "s2Shape").mesh->numFaces(), 10000u);
    const mayahost::MeshEvaluation& third = meshNamed(*scene, "s3Shape");
    EXPECT_EQ(third.mesh->numFaces(), 0u);
    for (const char* part : {"polySphere3", "10000 faces asked for", "evaluation budget of 2500000 bytes"})
        EXPECT_NE(third.error.find(part), std::string::npos) << part << " in " << third.error;
    EXPECT_LE(scene->cached<mayahost::EvalBudget>().used(), small.evalBudgetFloor);
    // A shape that also holds its data keeps it, with the refusal as a warning.
    const std::string stored = sphere(4) + "select -ne s4Shape;\n\tsetAttr -s 3 \".vt[0:2]\" 0 0 0 1 0 0 0 1 0;\n"
                               "\tsetAttr -s 3 \".ed[0:2]\" 0 1 0 1 2 0 2 0 0;\n"
                               "\tsetAttr -s 1 \".fc[0]\" -type \"polyFaces\" f 3 0 1 2;\n";
    small.evalBudgetFloor = 100000;
    mayahost::ScopedLimits tiny(small);
    history_test::checkMesh(*load(stored), {.what = "stored", .shape = "s4Shape", .faces = 1, .warnings = -1,
                                            .warned = {"polySphere4: polySphere: 10000 faces asked for"}, .error = ""});
}

TEST(EvalBudget, SmoothingStopsAtTheLevelTheBudgetCannotHold) {
    // 6 -> 24 -> 96 -> 384 faces: a budget for about 200 faces lets two levels through.
    mayahost::Limits small = mayahost::limits();
    small.evalBudgetFloor = 200 * mayahost::kMeshBytesPerFace;
    mayahost::ScopedLimits scope(small);
    history_test::checkMesh(*load(history_test::onCube("polySmoothFace", "setAttr \".dv\" 4;")),
                            {.what = "smooth", .faces = 96, .warnings = -1,
                             .warned = {"polySmoothFace: level 3: 384 faces asked for"}});
    // The fixed face cap speaks for itself.
    small.maxMeshFaces = 30;
    mayahost::ScopedLimits capped(small);
    history_test::checkMesh(*load(history_test::onCube("polySmoothFace", "setAttr \".dv\" 4;")),
                            {.what = "cap", .faces = 24, .warnings = -1,
                             .warned = {"level 2: 96 faces asked for, more than the 30 allowed (maxMeshFaces)"}});
}

TEST(EvalBudget, FilesWidenTheBudgetByTheirSize) {
    mayahost::Limits l = mayahost::limits();
    l.evalBudgetFloor = 1000;
    l.evalBudgetPerFileByte = 16;
    mayahost::ScopedLimits scope(l);
    mayahost::EvalBudget budget;
    budget.addFileBytes(100);
    budget.addFileBytes(uint64_t(1) << 62);   // saturates instead of wrapping
    EXPECT_EQ(budget.limit(), UINT64_MAX);
    mayahost::EvalBudget small;
    small.addFileBytes(100);
    small.charge(2000);
    EXPECT_EQ(std::pair(small.limit(), small.left()), std::pair(uint64_t(2600), uint64_t(600)));
    EXPECT_EQ(small.refuse(600), "");
    EXPECT_NE(small.refuse(601), "");
}

TEST(HostileHistory, CyclesAndDeepChainsStopWithAWarningThatSaysWhich) {
    mayahost::Limits shallow = mayahost::limits();
    shallow.maxHistoryDepth = 10;
    mayahost::ScopedLimits scope(shallow);
    const std::string cycle = std::string(history_test::kCube) + R"(
createNode polySmoothFace -n "a"; createNode polySmoothFace -n "b";
connectAttr "b.out" "a.ip"; connectAttr "a.out" "b.ip"; connectAttr "b.out" "pCubeShape1.i";
)";
    history_test::checkMeshes({
        {.what = "cycle", .scene = cycle, .faces = 0, .warnings = -1, .warned = {"history cycle: b feeds itself"}},
        {.what = "deep", .scene = smoothChain(20), .faces = 0, .warnings = -1,
         .warned = {"history deeper than 10 nodes (maxHistoryDepth): sm9 and what feeds it are not evaluated"}},
        {.what = "within", .scene = smoothChain(9), .faces = 6, .warnings = -1},
    });
}

TEST(HostileHistory, AChainAtTheDefaultDepthFitsOnTheStack) {
    // Each node of a history is a level of recursion: the default bound must
    // hold on the stack in every build, the sanitizers' included.
    const int depth = mayahost::limits().maxHistoryDepth;
    history_test::checkMeshes({
        {.what = "at the bound", .scene = smoothChain(depth - 1), .faces = 6, .warnings = -1},
        {.what = "past it", .scene = smoothChain(depth + 5), .faces = 0, .warnings = -1, .warned = {"history deeper than"}},
    });
}

TEST(HostileLoad, ManyAttributesOnOneNodeAreEachFoundByEitherName) {
    std::string text = "createNode transform -n \"a\";\n";
    constexpr int kCount = 20000;
    for (int i = 0; i < kCount; ++i)
        text += "addAttr -ci true -sn \"s" + std::to_string(i) + "\" -ln \"long" + std::to_string(i) +
                "\" -at \"compound\" -nc 1;\naddAttr -ci true -ln \"x\" -at \"double\" -p \"long" + std::to_string(i) +
                "\";\n";
    text += "setAttr \".s19999.x\" 7;\n";
    auto scene = load(text);
    const mayahost::Node& a = *scene->findNode("a");
    for (int i : {0, 1234, kCount - 1}) {
        const mayahost::AttrSpec* byShort = a.findAttr("s" + std::to_string(i));
        ASSERT_TRUE(byShort) << i;
        EXPECT_EQ(byShort, a.findAttr("long" + std::to_string(i)));
        const mayahost::AttrSpec* child = a.findChild(byShort, "x");
        ASSERT_TRUE(child) << i;
        EXPECT_EQ(child->parent, byShort);
    }
    EXPECT_EQ(a.findChild(a.findAttr("s5"), "s6"), nullptr);   // a name under another parent is not a child
    EXPECT_EQ(scene->readDouble(a, "long19999.x", 0), 7.0);
    EXPECT_EQ(warningsOf(*scene), "");
}

TEST(HostileLoad, WarningsAndNamesHaveCeilings) {
    std::string text = "createNode transform -n \"a\";\n";
    for (int i = 0; i < 1500; ++i) text += "connectAttr \"a.none" + std::to_string(i) + "\" \"a.t\";\n";
    text += "createNode transform -n \"" + std::string(70000, 'n') + "\";\ncreateNode transform -n \"b\";\n";
    mayahost::Limits few = mayahost::limits();
    few.maxWarnings = 100;
    mayahost::ScopedLimits scope(few);
    auto scene = load(text);
    EXPECT_EQ(scene->warnings().size(), 100u);
    // The first connection is made (to a new attribute); the other 1499 and the long name warn.
    EXPECT_EQ(scene->warningsNotKept(), 1400u);
    EXPECT_TRUE(scene->findNode("b"));
    few.maxWarnings = 1000;
    mayahost::ScopedLimits more(few);
    auto named = load("createNode transform -n \"" + std::string(70000, 'n') + "\";\ncreateNode transform -n \"b\";\n" +
                      "createNode transform -n \"c\" -p \"" + std::string(5000, 'p') + "\";\n");
    const std::string all = warningsOf(*named);
    EXPECT_NE(all.find("a name of 70000 bytes, more than the 65536 allowed (maxNameBytes)"), std::string::npos) << all;
    EXPECT_NE(all.find("... ("), std::string::npos);   // the quoted 5000-byte name is cut in the message
    EXPECT_LT(all.size(), 3000u);
    EXPECT_EQ(named->nodes().size(), load("createNode transform -n \"b\";\n")->nodes().size() + 1);   // b and c
}

// A scene cut at every statement boundary: each prefix loads and evaluates,
// and holds at least the nodes of the one before.
static void cutAtEveryStatement(const std::filesystem::path& file) {
    SCOPED_TRACE(file.filename().string());
    std::ifstream in(file, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::string text = bytes.str();
    ASSERT_GT(text.size(), 1000u);
    size_t previous = 0, cuts = 0;
    for (size_t at = text.find(";\n"); at != std::string::npos; at = text.find(";\n", at + 1)) {
        // Cut just before the ';' (a statement left open) and just after it.
        for (size_t cut : {at, at + 2}) {
            auto scene = load(text.substr(0, cut));
            for (const auto& node : scene->nodes()) {
                if (node->typeName() == "mesh") mayahost::evaluateMesh(*scene, *node);
                else if (node->typeName() == "nurbsSurface") mayahost::evaluateSurface(*scene, *node);
            }
            if (cut == at + 2) {
                EXPECT_GE(scene->nodes().size(), previous) << "cut at byte " << cut;
                previous = scene->nodes().size();
            }
        }
        ++cuts;
    }
    EXPECT_GT(cuts, 100u);
    EXPECT_EQ(previous, load(text)->nodes().size());
}

TEST(HostileLoad, ScenesCutAtEveryStatementLoadWhatCameBefore) {
    cutAtEveryStatement(std::filesystem::path(GLOWBOX_SOURCE_DIR) / "examples" / "demo_scene.ma");
    // One Maya saved, with lofts, tessellations and extrusions in its history.
    const std::filesystem::path saved =
        std::filesystem::path(GLOWBOX_CORPUS_DIR) / "oracle" / "KadenCampbell1__1660Spring2020__scenes__Hat.ma";
    if (!std::filesystem::exists(saved)) GTEST_SKIP() << "no corpus at " << GLOWBOX_CORPUS_DIR << ": only the example was cut";
    cutAtEveryStatement(saved);
}

// Inputs the fuzz targets once failed on, loaded as the targets load them:
// read into a scene, then every mesh and surface evaluated. Under the
// sanitizers a regression shows as the report it gave then.
TEST(FuzzRegressions, EveryFoundInputLoadsAndEvaluatesCleanly) {
    const std::filesystem::path dir = std::filesystem::path(GLOWBOX_SOURCE_DIR) / "tests" / "fuzz_regressions";
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        SCOPED_TRACE(entry.path().filename().string());
        mayahost::Scene scene;
        mayahost::installSceneEvaluators(scene);
        mayahost::SceneBuilder builder(scene, entry.path().string());
        const std::string text = commontest::readFile(entry.path());
        const auto result = entry.path().extension() == ".mb"
                                ? mayahost::scenefile::readMbBytes(text, "fuzz.mb", builder)
                                : mayahost::scenefile::readMaText(text, "fuzz.ma", builder);
        EXPECT_TRUE(result.ok() || !result.message.empty());
        for (const auto& node : scene.nodes()) {
            if (node->typeName() == "mesh") {
                const mayahost::MeshEvaluation& mesh = mayahost::evaluateMesh(scene, *node);
                if (mesh.mesh) {
                    EXPECT_EQ(mayahost::meshDataError(*mesh.mesh), "") << node->name();
                }
            } else if (node->typeName() == "nurbsSurface") {
                mayahost::evaluateSurface(scene, *node);
            }
        }
        ++files;
    }
    EXPECT_GE(files, 2u);
}
