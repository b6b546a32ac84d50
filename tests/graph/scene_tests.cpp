// The scene database built from small Maya ASCII texts.
#include "file/MaReader.h"
#include "db/Scene.h"
#include "db/SceneBuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace mayahost;

namespace {

std::unique_ptr<Scene> load(std::string_view text) {
    auto scene = std::make_unique<Scene>();
    SceneBuilder builder(*scene, "test.ma");
    scenefile::readMaText(text, "test.ma", builder);
    return scene;
}

std::vector<double> numbers(const Scene& s, const char* node, const char* attr) {
    Node* n = s.findNode(node);
    EXPECT_NE(n, nullptr) << node;
    if (!n) return {};
    PlugPath p;
    EXPECT_TRUE(s.resolvePlug(*n, attr, p)) << attr;
    return s.read(*n, p).numbers;
}

bool hasWarningContaining(const Scene& s, const std::string& text) {
    for (const auto& w : s.warnings())
        if (w.message.find(text) != std::string::npos) return true;
    return false;
}

const char* kCube = R"(//Maya ASCII 2017 scene
requires maya "2017";
currentUnit -l centimeter -a degree -t film;
createNode transform -n "pCube1";
	setAttr ".t" -type "double3" 1 2 3 ;
	setAttr ".rx" 90;
createNode mesh -n "pCubeShape1" -p "pCube1";
	setAttr -s 4 ".vt[0:3]"  -0.5 -0.5 0.5 0.5 -0.5 0.5 -0.5 0.5 0.5 0.5 0.5 0.5;
	setAttr ".vt[5]" -type "float3" 7 8 9;
	setAttr -s 2 ".uvst[0].uvsp[0:1]" -type "float2" 0 0 1 1;
	setAttr ".uvst[0].uvsn" -type "string" "map1";
	setAttr -s 2 ".ed[0:1]"  0 1 0 1 3 1;
createNode polyCube -n "polyCube1";
	setAttr ".w" 2;
connectAttr "polyCube1.out" "pCubeShape1.i";
)";

}  // namespace

TEST(SceneDatabase, NumbersTuplesAndUnits) {
    auto s = load(kCube);
    EXPECT_TRUE(s->warnings().empty()) << s->warnings().front().message;
    EXPECT_EQ(numbers(*s, "pCube1", "t"), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(numbers(*s, "pCube1", "translateY"), (std::vector<double>{2}));
    auto r = numbers(*s, "pCube1", "r");
    ASSERT_EQ(r.size(), 3u);
    EXPECT_NEAR(r[0], M_PI / 2, 1e-12);   // degrees in the file, radians inside
    EXPECT_EQ(numbers(*s, "pCube1", "s"), (std::vector<double>{1, 1, 1}));  // default
}

TEST(SceneDatabase, LinearUnitConvertsDistancesOnly) {
    auto s = load("currentUnit -l meter -a radian;\ncreateNode transform -n \"a\";\n"
                  "setAttr \".t\" -type \"double3\" 1 0 0;\nsetAttr \".s\" -type \"double3\" 2 2 2;\nsetAttr \".ry\" 1;\n");
    EXPECT_EQ(numbers(*s, "a", "tx"), (std::vector<double>{100}));
    EXPECT_EQ(numbers(*s, "a", "sx"), (std::vector<double>{2}));
    EXPECT_EQ(numbers(*s, "a", "ry"), (std::vector<double>{1}));
    EXPECT_EQ(s->linearUnit(), "meter");
}

TEST(SceneDatabase, DenseArraysKeepElementsAndGaps) {
    auto s = load(kCube);
    Node* shape = s->findNode("pCubeShape1");
    ASSERT_NE(shape, nullptr);
    const DenseArray* vt = shape->denseArray("vrts");
    ASSERT_NE(vt, nullptr);
    EXPECT_EQ(vt->storage, DenseArray::Storage::Float);
    EXPECT_EQ(vt->components, 3);
    EXPECT_EQ(vt->count(), 6u);
    EXPECT_EQ(vt->presentCount(), 5u);
    EXPECT_FALSE(vt->has(4));
    EXPECT_EQ(vt->at(3, 1), 0.5);
    EXPECT_EQ(numbers(*s, "pCubeShape1", "vt[5]"), (std::vector<double>{7, 8, 9}));
    EXPECT_EQ(numbers(*s, "pCubeShape1", "vt[1].vy"), (std::vector<double>{-0.5}));
    const DenseArray* ed = shape->denseArray("edge");
    ASSERT_NE(ed, nullptr);
    EXPECT_EQ(ed->storage, DenseArray::Storage::Int);
    EXPECT_EQ(ed->at(1, 2), 1);
    const DenseArray* uv = shape->denseArray("uvSet[0].uvSetPoints");
    ASSERT_NE(uv, nullptr);
    EXPECT_EQ(uv->components, 2);
    PlugPath name;
    ASSERT_TRUE(s->resolvePlug(*shape, "uvst[0].uvsn", name));
    std::string text;
    ASSERT_TRUE(s->readString(*shape, name, text));
    EXPECT_EQ(text, "map1");
    PlugPath multi;
    ASSERT_TRUE(s->resolvePlug(*shape, "vrts", multi));
    EXPECT_EQ(shape->logicalIndices(multi), (std::vector<int64_t>{0, 1, 2, 3, 5}));
}

TEST(SceneDatabase, HistorySourceAndUnknownAttributes) {
    auto s = load(kCube);
    Node* shape = s->findNode("pCubeShape1");
    PlugPath inMesh;
    ASSERT_TRUE(s->resolvePlug(*shape, "inMesh", inMesh));
    PlugRef src = s->sourceOf(*shape, inMesh);
    ASSERT_TRUE(src);
    EXPECT_EQ(src.node->name(), "polyCube1");
    EXPECT_EQ(src.path.key(), "output");
    // polyCube's own parameters are not in the schema: kept as written.
    EXPECT_EQ(numbers(*s, "polyCube1", "w"), (std::vector<double>{2}));
}

TEST(SceneDatabase, BadStatementsWarnAndLoadingGoesOn) {
    auto s = load("createNode transform -n \"a\";\n"
                  "setAttr \".vt[5:2]\" 1 2 3;\n"          // reversed range
                  "setAttr \"nosuch.t\" -type \"double3\" 1 2 3;\n"
                  "setAttr \".t\" -type \"double3\" 4 5 6;\n"
                  "setAttr \".t[0]\" 1;\n"                 // translate takes no index
                  "connectAttr \"a.t\" \"missing.t\";\n"
                  "setAttr \".pts[200000000]\" 1 2 3;\n"   // far index: never allocated
                  "setAttr \".pts[2000000000]\" 1 2 3;\n"
                  "parent \"a\" \"a\";\n"
                  "createNode someFancyPluginNode -n \"p1\";\n"
                  "setAttr \".foo[0].bar\" 3;\n");
    EXPECT_EQ(numbers(*s, "a", "t"), (std::vector<double>{4, 5, 6}));
    EXPECT_TRUE(hasWarningContaining(*s, "missing"));
    EXPECT_TRUE(hasWarningContaining(*s, "takes no index"));
    EXPECT_TRUE(hasWarningContaining(*s, "far beyond"));
    EXPECT_TRUE(hasWarningContaining(*s, "index out of range"));
    EXPECT_TRUE(hasWarningContaining(*s, "someFancyPluginNode"));
    for (const auto& w : s->warnings()) EXPECT_GT(w.line, 0u) << w.message;
    Node* p1 = s->findNode("p1");
    ASSERT_NE(p1, nullptr);
    EXPECT_EQ(p1->typeName(), "someFancyPluginNode");
    EXPECT_EQ(numbers(*s, "p1", "foo[0].bar"), (std::vector<double>{3}));
}

TEST(SceneDatabase, PlugValuesFollowIncomingConnections) {
    auto s = load("createNode transform -n \"src\";\n\tsetAttr \".t\" -type \"double3\" 1 2 3 ;\n"
                  "\tsetAttr \".sx\" 4;\n"
                  "createNode transform -n \"dst\";\n\tsetAttr \".t\" -type \"double3\" 9 9 9 ;\n"
                  "createNode transform -n \"kid\";\n"
                  "createNode transform -n \"chain\";\n"
                  "connectAttr \"src.t\" \"dst.t\";\n"
                  "connectAttr \"src.sx\" \"kid.ty\";\n"
                  "connectAttr \"dst.tz\" \"chain.rx\";\n"
                  "createNode transform -n \"loopA\";\ncreateNode transform -n \"loopB\";\n"
                  "connectAttr \"loopA.tx\" \"loopB.tx\";\nconnectAttr \"loopB.tx\" \"loopA.tx\";\n");
    EXPECT_EQ(numbers(*s, "dst", "t"), (std::vector<double>{1, 2, 3}));     // whole compound
    EXPECT_EQ(numbers(*s, "dst", "ty"), (std::vector<double>{2}));          // child of a connected compound
    EXPECT_EQ(numbers(*s, "kid", "t"), (std::vector<double>{0, 4, 0}));     // one child connected
    EXPECT_EQ(numbers(*s, "chain", "rx"), (std::vector<double>{3}));        // through two connections
    // A cycle ends instead of recursing forever.
    EXPECT_LE(numbers(*s, "loopA", "tx").size(), 1u);
}

TEST(SceneDatabase, DisconnectAndForcedReconnect) {
    auto s = load("createNode transform -n \"a\";\n\tsetAttr \".tx\" 1;\n"
                  "createNode transform -n \"b\";\n\tsetAttr \".tx\" 2;\n"
                  "createNode transform -n \"c\";\n"
                  "connectAttr \"a.tx\" \"c.tx\";\n"
                  "connectAttr \"b.tx\" \"c.tx\";\n"        // refused: already connected
                  "connectAttr \"b.tx\" \"c.ty\";\n"
                  "disconnectAttr \"b.tx\" \"c.ty\";\n"
                  "connectAttr -f \"b.tx\" \"c.tz\";\n");
    EXPECT_EQ(numbers(*s, "c", "t"), (std::vector<double>{1, 0, 2}));
    EXPECT_TRUE(hasWarningContaining(*s, "already has an incoming connection"));
    auto s2 = load("createNode transform -n \"a\";\n\tsetAttr \".tx\" 1;\n"
                   "createNode transform -n \"b\";\n\tsetAttr \".tx\" 2;\n"
                   "createNode transform -n \"c\";\n"
                   "connectAttr \"a.tx\" \"c.tx\";\nconnectAttr -f \"b.tx\" \"c.tx\";\n");
    EXPECT_EQ(numbers(*s2, "c", "tx"), (std::vector<double>{2}));
}

TEST(SceneDatabase, SelectRenameLockAndReferences) {
    auto s = load("file -rdi 1 -ns \"ref\" -rfn \"refRN\" \"/x/ref.ma\";\n"
                  "file -r -ns \"ref\" -dr 1 -rfn \"refRN\" \"/x/ref.ma\";\n"
                  "createNode transform -n \"a\";\n\trename -uid \"1234-ABCD\";\n"
                  "select -ne :defaultRenderGlobals;\n\tsetAttr \".imfkey\" -type \"string\" \"png\";\n"
                  "select -ne :noSuchNode;\n\tsetAttr \".foo\" 1;\n\tsetAttr \".bar\" 2;\n"
                  "rename \"a\" \"renamed\";\nlockNode -l 1 \"renamed\";\n");
    ASSERT_EQ(s->references().size(), 1u);
    EXPECT_EQ(s->references()[0].path, "/x/ref.ma");
    EXPECT_TRUE(hasWarningContaining(*s, "/x/ref.ma"));
    Node* renamed = s->findNode("renamed");
    ASSERT_NE(renamed, nullptr);
    EXPECT_EQ(renamed->uuid(), "1234-ABCD");
    EXPECT_TRUE(renamed->locked());
    EXPECT_EQ(s->findNode("a"), nullptr);
    Node* rg = s->findNode(":defaultRenderGlobals");
    ASSERT_NE(rg, nullptr);
    PlugPath p;
    ASSERT_TRUE(s->resolvePlug(*rg, "imfkey", p));
    std::string text;
    ASSERT_TRUE(s->readString(*rg, p, text));
    EXPECT_EQ(text, "png");
    // The missing selection is reported once; its attributes are skipped quietly.
    size_t selectWarnings = 0;
    for (const auto& w : s->warnings()) selectWarnings += w.message.find("noSuchNode") != std::string::npos;
    EXPECT_EQ(selectWarnings, 1u);
}

TEST(SceneDatabase, FacesInSeveralStatementsJoinInOrder) {
    auto s = load("createNode mesh -n \"m\";\n"
                  "\tsetAttr -s 3 \".fc[0:1]\" -type \"polyFaces\" f 3 0 1 2 mu 0 3 0 1 2 f 3 3 4 -1 ;\n"
                  "\tsetAttr \".fc[2]\" -type \"polyFaces\" f 3 5 -5 -4 mu 0 3 2 1 0 ;\n"
                  "\tsetAttr \".fc[7]\" -type \"polyFaces\" f 3 1 2 3 ;\n");
    Node* m = s->findNode("m");
    const scenefile::Value* v = m->data("fc");
    ASSERT_NE(v, nullptr);
    const auto* faces = std::get_if<scenefile::PolyFaces>(v);
    ASSERT_NE(faces, nullptr);
    ASSERT_EQ(faces->faceCount(), 3u);
    EXPECT_EQ(faces->edges, (std::vector<int32_t>{0, 1, 2, 3, 4, -1, 5, -5, -4}));
    EXPECT_EQ(faces->loopStart.back(), 9u);
    ASSERT_EQ(faces->uvLoops.size(), 2u);
    EXPECT_EQ(faces->uvLoops[1].loop, 2u);
    EXPECT_EQ(faces->uvLoops[1].start, 3u);
    EXPECT_TRUE(hasWarningContaining(*s, "do not follow"));
}

TEST(SceneDatabase, UnevaluatedSourceLeavesTheSavedValue) {
    auto s = load("createNode file -n \"file1\";\n"
                  "createNode lambert -n \"lit\";\n\tsetAttr \".c\" -type \"float3\" 0.2 0.3 0.4 ;\n"
                  "createNode lambert -n \"plain\";\n"
                  "createNode transform -n \"src\";\n\tsetAttr \".tx\" 5;\n"
                  "createNode transform -n \"dst\";\n\tsetAttr \".t\" -type \"double3\" 1 1 1 ;\n"
                  "connectAttr \"file1.oc\" \"lit.c\";\n"
                  "connectAttr \"file1.oc\" \"plain.c\";\n"
                  "connectAttr \"file1.ocr\" \"dst.ty\";\n"
                  "connectAttr \"src.tx\" \"dst.tx\";\n");
    // The texture computes nothing here: the colour saved on the shader stays.
    EXPECT_EQ(numbers(*s, "lit", "c"), (std::vector<double>{0.2, 0.3, 0.4}));
    EXPECT_EQ(numbers(*s, "lit", "cg"), (std::vector<double>{0.3}));
    // Nothing saved on the shader either: the source's default.
    EXPECT_EQ(numbers(*s, "plain", "c"), (std::vector<double>{0, 0, 0}));
    // A source with a value wins over the saved one; an unset one does not.
    EXPECT_EQ(numbers(*s, "dst", "t"), (std::vector<double>{5, 1, 1}));
}

TEST(SceneDatabase, NestedRangesAndWorldParentAreKept) {
    auto s = load("createNode skinCluster -n \"skin\";\n"
                  "\tsetAttr \".wl[0:1].w\" 2 0 0.25 1 0.75 1 0 1;\n"
                  "createNode transform -n \"t\" -p \"|world\";\n"
                  "connectAttr \"skin.wl[0:1].w\" \"t.tx\";\n"
                  "select -ne :standardSurface1;\n");
    Node* skin = s->findNode("skin");
    ASSERT_NE(skin, nullptr);
    const StoredValue* w = skin->stored("wl[0:1].w");
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(w->data);
    const auto* numbersValue = std::get_if<scenefile::Numbers>(w->data.get());
    ASSERT_NE(numbersValue, nullptr);
    EXPECT_EQ(numbersValue->values.size(), 8u);
    Node* t = s->findNode("t");
    ASSERT_NE(t, nullptr);
    ASSERT_EQ(t->parents().size(), 1u);
    EXPECT_TRUE(t->parents()[0]->isWorld());
    EXPECT_TRUE(hasWarningContaining(*s, "index range"));   // the connection cannot take it
    EXPECT_FALSE(hasWarningContaining(*s, "standardSurface1"));
}

TEST(SceneDatabase, DeclaredSizesAreHintsWithinBounds) {
    auto s = load("createNode mesh -n \"m\";\n"
                  "\tsetAttr -s 2000000000 \".vt[0:1]\" 0 0 0 1 1 1;\n"
                  "createNode mesh -n \"n\";\n"
                  "\tsetAttr -s 4 \".vt[0:1]\" 0 0 0 1 1 1;\n"
                  "\tsetAttr -s 4 \".vt[2:3]\" 2 2 2 3 3 3;\n");
    const DenseArray* huge = s->findNode("m")->denseArray("vrts");
    ASSERT_NE(huge, nullptr);
    EXPECT_EQ(huge->count(), 2u);
    EXPECT_LE(huge->f.capacity(), size_t(3 * 64));   // not two billion elements
    const DenseArray* fair = s->findNode("n")->denseArray("vrts");
    ASSERT_NE(fair, nullptr);
    EXPECT_EQ(fair->count(), 4u);
    EXPECT_EQ(fair->at(3, 2), 3.0);
}

TEST(SceneDatabase, ATransformNamedWorldIsAnOrdinaryTopLevelNode) {
    auto s = load("createNode transform -n \"world\";\n"
                  "createNode transform -n \"kid\" -p \"|world\";\n"
                  "createNode transform -n \"top\" -p \"|world|kid\";\n");
    Node* world = s->findNode("|world");
    ASSERT_NE(world, nullptr);
    EXPECT_FALSE(world->isWorld());
    EXPECT_EQ(world->name(), "world");  // not renamed away from the root's name
    ASSERT_EQ(world->parents().size(), 1u);
    EXPECT_TRUE(world->parents()[0]->isWorld());
    Node* kid = s->findNode("kid");
    ASSERT_NE(kid, nullptr);
    ASSERT_EQ(kid->parents().size(), 1u);
    EXPECT_EQ(kid->parents()[0], world);
    EXPECT_EQ(s->findNode("|world|kid|top"), s->findNode("top"));
    // Without such a node the names lead to the root.
    auto plain = load("createNode transform -n \"t\" -p \"|world\";\n");
    ASSERT_NE(plain->findNode("world"), nullptr);
    EXPECT_TRUE(plain->findNode("world")->isWorld());
    EXPECT_TRUE(plain->findNode("|world")->isWorld());
}
