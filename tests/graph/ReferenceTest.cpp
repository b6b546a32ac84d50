// Referenced scenes load into the scene under their namespaces, found as
// Maya finds them, with the referencing file's edits applied; what cannot be
// found or loops back says so and the rest loads.

#include "../common/TestEnv.h"

#include "db/Scene.h"
#include "db/SceneBuilder.h"
#include "eval/Evaluators.h"
#include "eval/TransformEval.h"
#include "file/MaReader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>
#include <string>

using namespace mayahost;
namespace fs = std::filesystem;

namespace {

class References : public testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("glowbox-references-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(root_);
        fs::create_directories(root_);
    }
    void TearDown() override { fs::remove_all(root_); }

    void write(const std::string& name, const std::string& text) { commontest::writeFile(root_ / name, text); }

    std::unique_ptr<Scene> open(const std::string& name) {
        auto scene = std::make_unique<Scene>();
        installSceneEvaluators(*scene);
        createDefaultNodes(*scene);
        SceneBuilder builder(*scene, (root_ / name).string());
        EXPECT_TRUE(scenefile::readMaFile((root_ / name).string(), builder).ok());
        return scene;
    }

    static std::string warnings(const Scene& scene) {
        std::string all;
        for (const SceneWarning& w : scene.warnings()) all += w.message + "\n";
        return all;
    }

    static double translateX(const Scene& scene, const char* name) {
        const Node* node = scene.findNode(name);
        return node ? localMatrixOf(scene, *node)(3, 0) : -1e9;
    }

    fs::path root_;
};

// A cube transform, moved to x = 1, and its default cameras (shared nodes).
const char* kCube = R"(//Maya ASCII 2011 scene
select -ne :defaultResolution;
    setAttr ".w" 4096;
createNode transform -s -n "persp";
    setAttr ".t" -type "double3" 99 99 99 ;
createNode camera -s -n "perspShape" -p "persp";
createNode transform -n "box";
    setAttr ".t" -type "double3" 1 0 0 ;
createNode mesh -n "boxShape" -p "box";
createNode polyCube -n "polyCube1";
connectAttr "polyCube1.out" "boxShape.i";
connectAttr "boxShape.iog" ":initialShadingGroup.dsm" -na;
)";

TEST_F(References, TheSameFileTwiceByAbsoluteRelativeAndVariablePaths) {
    write("assets/cube.ma", kCube);
    commontest::ScopedEnv base("GLOWBOX_TEST_ASSETS", root_.string().c_str());
    write("shot.ma", "file -rdi 1 -ns \"a\" -rfn \"aRN\" \"assets/cube.ma\";\n"
                     "file -r -ns \"a\" -dr 1 -rfn \"aRN\" \"assets/cube.ma\";\n"
                     "file -r -ns \"b\" -rfn \"bRN\" \"" + (root_ / "assets/cube.ma").generic_string() + "\";\n"
                     "file -r -ns \"c\" -rfn \"cRN\" \"${GLOWBOX_TEST_ASSETS}/assets/cube.ma\";\n"
                     "file -r -ns \"d\" -rfn \"dRN\" \"%GLOWBOX_TEST_ASSETS%\\\\assets\\\\cube.ma\";\n"
                     "createNode transform -n \"box\";\n");
    auto scene = open("shot.ma");
    EXPECT_EQ(warnings(*scene), "");
    for (const char* name : {"a:box", "b:box", "c:box", "d:box", "a:boxShape", "d:polyCube1", "box"})
        EXPECT_NE(scene->findNode(name), nullptr) << name;
    // Each copy has its own history; the copies' shared cameras are the scene's own, untouched.
    const Node* shape = scene->findNode("b:boxShape");
    PlugPath inMesh;
    ASSERT_TRUE(scene->resolvePlug(*shape, "i", inMesh));
    EXPECT_EQ(scene->sourceOf(*shape, inMesh).node, scene->findNode("b:polyCube1"));
    EXPECT_EQ(scene->findNode("a:persp"), nullptr);
    EXPECT_NE(translateX(*scene, "persp"), 99);
    // The reference's render setting does not reach the scene's node (an
    // unknown attribute set there would exist now).
    const Node* resolution = scene->findNode("defaultResolution");
    PlugPath width;
    ASSERT_NE(resolution, nullptr);
    EXPECT_FALSE(scene->resolvePlug(*resolution, "w", width));
    EXPECT_EQ(scene->references().size(), 4u);
}

TEST_F(References, NestedReferencesNestTheirNamespacesAndEditsApply) {
    write("cube.ma", kCube);
    write("set.ma", "file -r -ns \"prop\" -rfn \"propRN\" \"cube.ma\";\n"
                    "createNode transform -n \"table\";\n");
    // The shot moves the nested cube by a statement and the set by a stored edit.
    write("shot.ma",
          "file -r -ns \"set\" -rfn \"setRN\" \"set.ma\";\n"
          "createNode reference -n \"setRN\";\n"
          "    setAttr \".ed\" -type \"dataReferenceEdits\" \"setRN\" \"setRN\" 1 "
          "2 \"|set:table\" \"translate\" \" -type \\\"double3\\\" 7 0 0\";\n"
          "setAttr \"set:prop:box.tx\" 5;\n");
    auto scene = open("shot.ma");
    EXPECT_EQ(warnings(*scene), "");
    EXPECT_EQ(translateX(*scene, "set:prop:box"), 5);
    EXPECT_EQ(translateX(*scene, "set:table"), 7);
    // An edit naming a node the reference does not hold says so.
    write("bad.ma", "file -r -ns \"set\" -rfn \"setRN\" \"set.ma\";\n"
                    "createNode reference -n \"setRN\";\n"
                    "    setAttr \".ed\" -type \"dataReferenceEdits\" \"setRN\" \"setRN\" 1 "
                    "2 \"|set:chair\" \"translate\" \" -type \\\"double3\\\" 7 0 0\";\n");
    auto bad = open("bad.ma");
    EXPECT_NE(warnings(*bad).find("set:chair"), std::string::npos) << warnings(*bad);
}

TEST_F(References, MissingFilesAndCyclesWarnAndTheRestLoads) {
    write("cube.ma", kCube);
    // A Windows path that does not exist here: the file name next to the scene is used.
    write("shot.ma", "file -r -ns \"gone\" -rfn \"goneRN\" \"/nowhere/lost.ma\";\n"
                     "file -r -ns \"win\" -rfn \"winRN\" \"C:\\\\projects\\\\scenes\\\\cube.ma\";\n"
                     "createNode transform -n \"here\";\n");
    auto scene = open("shot.ma");
    const std::string said = warnings(*scene);
    EXPECT_NE(said.find("referenced file not found: \"/nowhere/lost.ma\" (namespace \"gone:\")"), std::string::npos) << said;
    EXPECT_NE(scene->findNode("win:box"), nullptr);
    EXPECT_NE(scene->findNode("here"), nullptr);

    // a references b references a: the second a is not loaded.
    write("a.ma", "file -r -ns \"b\" -rfn \"bRN\" \"b.ma\";\ncreateNode transform -n \"fromA\";\n");
    write("b.ma", "file -r -ns \"a\" -rfn \"aRN\" \"a.ma\";\ncreateNode transform -n \"fromB\";\n");
    auto cycle = open("a.ma");
    // An empty file and a special file that calls itself regular are not scenes to read.
    write("empty.ma", "");
    write("odd.ma", "file -r -ns \"e\" -rfn \"eRN\" \"empty.ma\";\nfile -r -ns \"k\" -rfn \"kRN\" \"/proc/self/mem\";\n");
    auto odd = open("odd.ma");
    EXPECT_NE(warnings(*odd).find("\"empty.ma\" (namespace \"e:\") not loaded"), std::string::npos) << warnings(*odd);
    EXPECT_NE(warnings(*cycle).find("reference cycle"), std::string::npos) << warnings(*cycle);
    EXPECT_NE(cycle->findNode("b:fromB"), nullptr);
    EXPECT_EQ(cycle->findNode("b:a:fromA"), nullptr);
}

// The corpus's reference fixtures, laid out as their paths name them.
TEST(ReferenceCorpus, ThreeDeepReferencesPlaceEveryCopy) {
    const fs::path corpus = fs::path(GLOWBOX_CORPUS_DIR) / "maya85";
    if (!fs::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
    const fs::path base = fs::temp_directory_path() / "glowbox-reference-corpus";
    fs::remove_all(base);
    const std::string prefix = "adamcobabe__mrv__test__fixtures__ma__";
    for (const auto& entry : fs::directory_iterator(corpus)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) == 0) {
            fs::create_directories(base / "ma");
            fs::copy_file(entry.path(), base / "ma" / name.substr(prefix.size()));
            // A read-only copy could not be removed afterwards on Windows.
            fs::permissions(base / "ma" / name.substr(prefix.size()), fs::perms::owner_write, fs::perm_options::add);
        }
    }
    if (!fs::exists(base / "ma/ref2re.ma")) GTEST_SKIP() << "reference fixtures not in the corpus";
    commontest::ScopedEnv variable("MAYAFILEBASE", base.string().c_str());
    const struct {
        const char* file;
        size_t meshes;
        const char* deepest;
    } cases[] = {{"ref2re.ma", 44, "ref4m2r1:ref8m:"}, {"refbase.ma", 18, "subrefbase:subsubrefbase:cube:"}};
    for (const auto& c : cases) {
        Scene scene;
        installSceneEvaluators(scene);
        SceneBuilder builder(scene, (base / "ma" / c.file).string());
        ASSERT_TRUE(scenefile::readMaFile((base / "ma" / c.file).string(), builder).ok());
        size_t meshes = 0;
        std::set<std::string> spaces;
        for (const auto& node : scene.nodes())
            if (node->hasFn(MFn::kMesh)) {
                ++meshes;
                spaces.insert(node->name().substr(0, node->name().rfind(':') + 1));
            }
        for (const SceneWarning& w : scene.warnings())
            EXPECT_EQ(w.message.find("referenced file"), std::string::npos) << c.file << ": " << w.message;
        EXPECT_EQ(meshes, c.meshes) << c.file;
        EXPECT_TRUE(spaces.count(c.deepest)) << c.file;
        if (std::string(c.file) == "ref2re.ma") {
            // Two copies of ref4m2r, each with its own ref10m and ref8m.
            EXPECT_TRUE(spaces.count("ref4m2r:ref10m:") && spaces.count("ref4m2r1:ref10m:") &&
                        spaces.count("ref4m2r:ref8m:") && spaces.count("ref4m2r1:ref8m:"));
            EXPECT_NEAR(localMatrixOf(scene, *scene.findNode("ref4m2r1:pCylinder1"))(3, 0), 4.149239, 1e-9);
        }
    }
    fs::remove_all(base);
}

}  // namespace
