// The scene database built from small Maya ASCII texts.
#include "file/MaReader.h"
#include "db/Scene.h"
#include "db/SceneBuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <memory>

using namespace mayahost;

namespace {

using Numbers = std::vector<double>;

std::unique_ptr<Scene> load(std::string_view text) {
    auto scene = std::make_unique<Scene>();
    SceneBuilder builder(*scene, "test.ma");
    scenefile::readMaText(text, "test.ma", builder);
    return scene;
}

Numbers numbers(const Scene& s, const char* node, const char* attr) {
    Node* n = s.findNode(node);
    EXPECT_NE(n, nullptr) << node;
    PlugPath p;
    EXPECT_TRUE(n && s.resolvePlug(*n, attr, p)) << attr;
    return n ? s.read(*n, p).numbers : Numbers{};
}

std::string text(const Scene& s, const char* node, const char* attr) {
    PlugPath p;
    std::string out;
    EXPECT_TRUE(s.resolvePlug(*s.findNode(node), attr, p)) << attr;
    EXPECT_TRUE(s.readString(*s.findNode(node), p, out)) << attr;
    return out;
}

// Each plug's numbers, as `numbers` reads them.
struct Reading {
    const char* node;
    const char* attr;
    Numbers want;
};
void expectNumbers(const Scene& s, std::initializer_list<Reading> readings) {
    for (const Reading& r : readings) EXPECT_EQ(numbers(s, r.node, r.attr), r.want) << r.node << "." << r.attr;
}

size_t warningsContaining(const Scene& s, const std::string& text) {
    size_t n = 0;
    for (const auto& w : s.warnings()) n += w.message.find(text) != std::string::npos;
    return n;
}

const char* kCube = R"(//Maya ASCII 2017 scene
requires maya "2017";
currentUnit -l centimeter -a degree -t film;
createNode transform -n "pCube1"; setAttr ".t" -type "double3" 1 2 3 ; setAttr ".rx" 90;
createNode mesh -n "pCubeShape1" -p "pCube1";
	setAttr -s 4 ".vt[0:3]"  -0.5 -0.5 0.5 0.5 -0.5 0.5 -0.5 0.5 0.5 0.5 0.5 0.5; setAttr ".vt[5]" -type "float3" 7 8 9;
	setAttr -s 2 ".uvst[0].uvsp[0:1]" -type "float2" 0 0 1 1; setAttr ".uvst[0].uvsn" -type "string" "map1";
	setAttr -s 2 ".ed[0:1]"  0 1 0 1 3 1;
createNode polyCube -n "polyCube1"; setAttr ".w" 2;
connectAttr "polyCube1.out" "pCubeShape1.i";
)";

}  // namespace

TEST(SceneDatabase, NumbersTuplesUnitsAndDenseArrays) {
    auto s = load(kCube);
    EXPECT_TRUE(s->warnings().empty()) << s->warnings().front().message;
    // Scale is the default; vt[4] is missing; polyCube's own parameters, not in the schema, are kept as written.
    expectNumbers(*s, {{"pCube1", "t", {1, 2, 3}}, {"pCube1", "translateY", {2}}, {"pCube1", "s", {1, 1, 1}},
                       {"pCubeShape1", "vt[5]", {7, 8, 9}}, {"pCubeShape1", "vt[1].vy", {-0.5}}, {"polyCube1", "w", {2}}});
    auto r = numbers(*s, "pCube1", "r");
    ASSERT_EQ(r.size(), 3u);
    EXPECT_NEAR(r[0], std::numbers::pi / 2, 1e-12);   // degrees in the file, radians inside

    Node* shape = s->findNode("pCubeShape1");
    ASSERT_NE(shape, nullptr);
    const DenseArray* vt = shape->denseArray("vrts");
    ASSERT_NE(vt, nullptr);
    EXPECT_EQ(std::tuple(vt->storage, vt->components, vt->count(), vt->presentCount(), vt->has(4), vt->at(3, 1)),
              std::tuple(DenseArray::Storage::Float, 3, size_t(6), size_t(5), false, 0.5));
    const DenseArray* ed = shape->denseArray("edge");
    const DenseArray* uv = shape->denseArray("uvSet[0].uvSetPoints");
    ASSERT_TRUE(ed && uv);
    EXPECT_EQ(std::tuple(ed->storage, ed->at(1, 2), uv->components), std::tuple(DenseArray::Storage::Int, 1.0, 2));
    EXPECT_EQ(text(*s, "pCubeShape1", "uvst[0].uvsn"), "map1");
    PlugPath multi;
    ASSERT_TRUE(s->resolvePlug(*shape, "vrts", multi));
    EXPECT_EQ(shape->logicalIndices(multi), (std::vector<int64_t>{0, 1, 2, 3, 5}));

    // The history source.
    PlugPath inMesh;
    ASSERT_TRUE(s->resolvePlug(*shape, "inMesh", inMesh));
    PlugRef src = s->sourceOf(*shape, inMesh);
    ASSERT_TRUE(src);
    EXPECT_EQ(src.node->name() + "." + src.path.key(), "polyCube1.output");

    auto m = load("currentUnit -l meter -a radian;\ncreateNode transform -n \"a\";\nsetAttr \".t\" -type \"double3\" 1 0 0;\n"
                  "setAttr \".s\" -type \"double3\" 2 2 2;\nsetAttr \".ry\" 1;\n");
    // The linear unit converts distances only.
    expectNumbers(*m, {{"a", "tx", {100}}, {"a", "sx", {2}}, {"a", "ry", {1}}});
    EXPECT_EQ(m->linearUnit(), "meter");
}

TEST(SceneDatabase, BadStatementsWarnAndLoadingGoesOn) {
    auto s = load("createNode transform -n \"a\";\n"
                  "setAttr \".vt[5:2]\" 1 2 3;\n"          // reversed range
                  "setAttr \"nosuch.t\" -type \"double3\" 1 2 3;\nsetAttr \".t\" -type \"double3\" 4 5 6;\n"
                  "setAttr \".t[0]\" 1;\n"                 // translate takes no index
                  "connectAttr \"a.t\" \"missing.t\";\n"
                  "setAttr \".pts[200000000]\" 1 2 3;\n"   // far index: never allocated
                  "setAttr \".pts[2000000000]\" 1 2 3;\nparent \"a\" \"a\";\n"
                  "createNode someFancyPluginNode -n \"p1\";\nsetAttr \".foo[0].bar\" 3;\n");
    EXPECT_EQ(numbers(*s, "a", "t"), (Numbers{4, 5, 6}));
    for (const char* warned : {"missing", "takes no index", "far beyond", "index out of range", "someFancyPluginNode"})
        EXPECT_GT(warningsContaining(*s, warned), 0u) << warned;
    for (const auto& w : s->warnings()) EXPECT_GT(w.line, 0u) << w.message;
    Node* p1 = s->findNode("p1");
    ASSERT_NE(p1, nullptr);
    EXPECT_EQ(p1->typeName(), "someFancyPluginNode");
    EXPECT_EQ(numbers(*s, "p1", "foo[0].bar"), Numbers{3});
}

TEST(SceneDatabase, PlugValuesFollowIncomingConnections) {
    auto s = load("createNode transform -n \"src\";\n\tsetAttr \".t\" -type \"double3\" 1 2 3 ;\n\tsetAttr \".sx\" 4;\n"
                  "createNode transform -n \"dst\";\n\tsetAttr \".t\" -type \"double3\" 9 9 9 ;\n"
                  "createNode transform -n \"kid\";\ncreateNode transform -n \"chain\";\n"
                  "connectAttr \"src.t\" \"dst.t\";\nconnectAttr \"src.sx\" \"kid.ty\";\n"
                  "connectAttr \"dst.tz\" \"chain.rx\";\n"
                  "createNode transform -n \"loopA\";\ncreateNode transform -n \"loopB\";\n"
                  "connectAttr \"loopA.tx\" \"loopB.tx\";\nconnectAttr \"loopB.tx\" \"loopA.tx\";\n");
    // A whole compound, a child of a connected compound, one child connected, through two connections.
    expectNumbers(*s, {{"dst", "t", {1, 2, 3}}, {"dst", "ty", {2}}, {"kid", "t", {0, 4, 0}}, {"chain", "rx", {3}}});
    // A cycle ends instead of recursing forever.
    EXPECT_LE(numbers(*s, "loopA", "tx").size(), 1u);

    const std::string three = "createNode transform -n \"a\";\n\tsetAttr \".tx\" 1;\n"
                              "createNode transform -n \"b\";\n\tsetAttr \".tx\" 2;\ncreateNode transform -n \"c\";\n"
                              "connectAttr \"a.tx\" \"c.tx\";\n";
    auto refused = load(three + "connectAttr \"b.tx\" \"c.tx\";\n"        // refused: already connected
                                "connectAttr \"b.tx\" \"c.ty\";\ndisconnectAttr \"b.tx\" \"c.ty\";\n"
                                "connectAttr -f \"b.tx\" \"c.tz\";\n");
    EXPECT_EQ(numbers(*refused, "c", "t"), (Numbers{1, 0, 2}));
    EXPECT_GT(warningsContaining(*refused, "already has an incoming connection"), 0u);
    EXPECT_EQ(numbers(*load(three + "connectAttr -f \"b.tx\" \"c.tx\";\n"), "c", "tx"), Numbers{2});
}

TEST(SceneDatabase, SelectRenameLockAndReferences) {
    auto s = load("file -rdi 1 -ns \"ref\" -rfn \"refRN\" \"/x/ref.ma\";\nfile -r -ns \"ref\" -dr 1 -rfn \"refRN\" \"/x/ref.ma\";\n"
                  "createNode transform -n \"a\";\n\trename -uid \"1234-ABCD\";\n"
                  "select -ne :defaultRenderGlobals;\n\tsetAttr \".imfkey\" -type \"string\" \"png\";\n"
                  "select -ne :noSuchNode;\n\tsetAttr \".foo\" 1;\n\tsetAttr \".bar\" 2;\n"
                  "rename \"a\" \"renamed\";\nlockNode -l 1 \"renamed\";\n");
    ASSERT_EQ(s->references().size(), 1u);
    EXPECT_EQ(s->references()[0].path, "/x/ref.ma");
    EXPECT_GT(warningsContaining(*s, "/x/ref.ma"), 0u);
    Node* renamed = s->findNode("renamed");
    ASSERT_NE(renamed, nullptr);
    EXPECT_EQ(std::pair(renamed->uuid(), renamed->locked()), std::pair(std::string("1234-ABCD"), true));
    EXPECT_EQ(s->findNode("a"), nullptr);
    ASSERT_NE(s->findNode(":defaultRenderGlobals"), nullptr);
    EXPECT_EQ(text(*s, ":defaultRenderGlobals", "imfkey"), "png");
    // The missing selection is reported once; its attributes are skipped quietly.
    EXPECT_EQ(warningsContaining(*s, "noSuchNode"), 1u);
}

TEST(SceneDatabase, FacesInSeveralStatementsJoinInOrder) {
    auto s = load("createNode mesh -n \"m\";\n"
                  "\tsetAttr -s 3 \".fc[0:1]\" -type \"polyFaces\" f 3 0 1 2 mu 0 3 0 1 2 f 3 3 4 -1 ;\n"
                  "\tsetAttr \".fc[2]\" -type \"polyFaces\" f 3 5 -5 -4 mu 0 3 2 1 0 ;\n"
                  "\tsetAttr \".fc[7]\" -type \"polyFaces\" f 3 1 2 3 ;\n");
    const scenefile::Value* v = s->findNode("m")->data("fc");
    const auto* faces = v ? std::get_if<scenefile::PolyFaces>(v) : nullptr;
    ASSERT_NE(faces, nullptr);
    ASSERT_EQ(faces->faceCount(), 3u);
    EXPECT_EQ(faces->edges, (std::vector<int32_t>{0, 1, 2, 3, 4, -1, 5, -5, -4}));
    EXPECT_EQ(faces->loopStart.back(), 9u);
    ASSERT_EQ(faces->uvLoops.size(), 2u);
    EXPECT_EQ(std::tuple(faces->uvLoops[1].loop, faces->uvLoops[1].start), std::tuple(2u, 3u));
    EXPECT_GT(warningsContaining(*s, "do not follow"), 0u);
}

TEST(SceneDatabase, UnevaluatedSourceLeavesTheSavedValue) {
    auto s = load("createNode file -n \"file1\";\n"
                  "createNode lambert -n \"lit\";\n\tsetAttr \".c\" -type \"float3\" 0.2 0.3 0.4 ;\n"
                  "createNode lambert -n \"plain\";\ncreateNode transform -n \"src\";\n\tsetAttr \".tx\" 5;\n"
                  "createNode transform -n \"dst\";\n\tsetAttr \".t\" -type \"double3\" 1 1 1 ;\n"
                  "connectAttr \"file1.oc\" \"lit.c\";\nconnectAttr \"file1.oc\" \"plain.c\";\n"
                  "connectAttr \"file1.ocr\" \"dst.ty\";\nconnectAttr \"src.tx\" \"dst.tx\";\n");
    // The texture computes nothing here: the colour saved on the shader stays; with nothing
    // saved there either, the source's default. A source with a value wins over the saved
    // one; an unset one does not.
    expectNumbers(*s, {{"lit", "c", {0.2, 0.3, 0.4}}, {"lit", "cg", {0.3}}, {"plain", "c", {0, 0, 0}}, {"dst", "t", {5, 1, 1}}});
}

TEST(SceneDatabase, NestedRangesWorldParentsAndDeclaredSizes) {
    auto s = load("createNode skinCluster -n \"skin\";\n\tsetAttr \".wl[0:1].w\" 2 0 0.25 1 0.75 1 0 1;\n"
                  "createNode transform -n \"t\" -p \"|world\";\nconnectAttr \"skin.wl[0:1].w\" \"t.tx\";\n"
                  "select -ne :standardSurface1;\n"
                  "createNode mesh -n \"m\";\n\tsetAttr -s 2000000000 \".vt[0:1]\" 0 0 0 1 1 1;\n"
                  "createNode mesh -n \"n\";\n\tsetAttr -s 4 \".vt[0:1]\" 0 0 0 1 1 1;\n"
                  "\tsetAttr -s 4 \".vt[2:3]\" 2 2 2 3 3 3;\n");
    const StoredValue* w = s->findNode("skin")->stored("wl[0:1].w");
    ASSERT_TRUE(w && w->data);
    const auto* numbersValue = std::get_if<scenefile::Numbers>(w->data.get());
    EXPECT_EQ(numbersValue ? numbersValue->values.size() : 0u, 8u);
    const Node* t = s->findNode("t");
    ASSERT_EQ(t->parents().size(), 1u);
    EXPECT_TRUE(t->parents()[0]->isWorld());
    EXPECT_EQ(warningsContaining(*s, "index range"), 1u);   // the connection cannot take it
    EXPECT_EQ(warningsContaining(*s, "standardSurface1"), 0u);
    // Declared sizes are hints within bounds: not two billion elements.
    const DenseArray* huge = s->findNode("m")->denseArray("vrts");
    ASSERT_NE(huge, nullptr);
    EXPECT_TRUE(huge->count() == 2u && huge->f.capacity() <= size_t(3 * 64)) << huge->count();
    const DenseArray* fair = s->findNode("n")->denseArray("vrts");
    ASSERT_NE(fair, nullptr);
    EXPECT_EQ(std::tuple(fair->count(), fair->at(3, 2)), std::tuple(4u, 3.0));
}

TEST(SceneDatabase, ATransformNamedWorldIsAnOrdinaryTopLevelNode) {
    auto s = load("createNode transform -n \"world\";\ncreateNode transform -n \"kid\" -p \"|world\";\n"
                  "createNode transform -n \"top\" -p \"|world|kid\";\n");
    Node* world = s->findNode("|world");
    ASSERT_NE(world, nullptr);
    EXPECT_FALSE(world->isWorld());
    EXPECT_EQ(world->name(), "world");  // not renamed away from the root's name
    ASSERT_EQ(world->parents().size(), 1u);
    EXPECT_TRUE(world->parents()[0]->isWorld());
    Node* kid = s->findNode("kid");
    ASSERT_TRUE(kid && kid->parents().size() == 1u);
    EXPECT_EQ(kid->parents()[0], world);
    EXPECT_EQ(s->findNode("|world|kid|top"), s->findNode("top"));
    // Without such a node the names lead to the root.
    auto plain = load("createNode transform -n \"t\" -p \"|world\";\n");
    ASSERT_NE(plain->findNode("world"), nullptr);
    EXPECT_TRUE(plain->findNode("world")->isWorld());
    EXPECT_TRUE(plain->findNode("|world")->isWorld());
}
