// The API classes over a scene opened with MFileIO: paths, instancing,
// connections, plug values, type inheritance, default nodes, commands.
#include <maya/MDagPath.h>
#include <maya/MDagPathArray.h>
#include <maya/MFileIO.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnLambertShader.h>
#include <maya/MFnNumericData.h>
#include <maya/MGlobal.h>
#include <maya/MItDag.h>
#include "base/Limits.h"
#include <maya/MItDependencyGraph.h>
#include <maya/MItDependencyNodes.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MIntArray.h>
#include <maya/MStringArray.h>

#include "TransformSceneUtil.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

using ApiTest = transform_test::SceneFileTest;
using Names = std::vector<std::string>;
using transform_test::nodeNamed;

std::string nameOf(const MObject& o) { return MFnDependencyNode(o).name().asChar(); }
MPlug plugOf(const char* node, const char* attr) { return MFnDependencyNode(nodeNamed(node)).findPlug(attr, true); }

// Each plug connected to `plug`, and its node.
Names connected(const MPlug& plug, bool asDst, bool asSrc) {
    MPlugArray plugs;
    plug.connectedTo(plugs, asDst, asSrc);
    Names out;
    for (unsigned i = 0; i < plugs.length(); ++i) out.push_back(std::string(plugs[i].name().asChar()) + " on " + nameOf(plugs[i].node()));
    return out;
}

// A command's result, or "failed".
Names command(const char* text) {
    MStringArray result;
    if (!MGlobal::executeCommand(text, result, false, false)) return {"failed"};
    Names out;
    for (unsigned i = 0; i < result.length(); ++i) out.push_back(result[i].asChar());
    return out;
}

// The three floats of a numeric plug's data, or -1s.
std::vector<float> float3Of(const MPlug& plug) {
    MObject data;
    float r = -1, g = -1, b = -1;
    EXPECT_TRUE(plug.getValue(data));
    EXPECT_TRUE(MFnNumericData(data).getData(r, g, b));
    return {r, g, b};
}

Names dagWalk(MFn::Type filter = MFn::kInvalid) {
    Names out;
    for (MItDag it(MItDag::kDepthFirst, filter); !it.isDone(); it.next()) {
        MDagPath p;
        it.getPath(p);
        out.push_back(std::to_string(it.depth()) + ":" + (p.length() ? p.fullPathName().asChar() : "world"));
    }
    return out;
}

// The nodes a dependency graph walk from `root` visits.
template <typename Root>
Names walkFrom(Root root, MFn::Type filter, MItDependencyGraph::Direction direction,
               MItDependencyGraph::Traversal traversal, bool pruned = true) {
    MStatus st;
    MItDependencyGraph walk(root, filter, direction, traversal, MItDependencyGraph::kNodeLevel, &st);
    EXPECT_TRUE(st);
    if (!pruned) walk.disablePruningOnFilter();
    Names out;
    for (; !walk.isDone(); walk.next()) out.push_back(nameOf(walk.thisNode()));
    return out;
}

const char* kHierarchy = R"(//Maya ASCII 2017 scene
currentUnit -l centimeter -a degree -t film;
createNode transform -n "group1"; setAttr ".t" -type "double3" 0 5 0 ;
createNode transform -n "pCube1" -p "group1"; setAttr ".t" -type "double3" 1 0 0 ; setAttr ".s" -type "double3" 2 2 2 ;
createNode mesh -n "pCubeShape1" -p "pCube1";
createNode mesh -n "pCubeShapeOrig" -p "pCube1"; setAttr ".io" yes;
createNode transform -n "pCube2"; setAttr ".t" -type "double3" 0 0 -3 ;
parent -s -nc -r -add "|group1|pCube1|pCubeShape1" "pCube2" ;
createNode joint -n "joint1";
createNode blinn -n "blinn1"; setAttr ".c" -type "float3" 0.5 0.25 1 ; setAttr ".dc" 0.5;
createNode shadingEngine -n "blinn1SG";
createNode file -n "file1"; setAttr ".ftn" -type "string" "C:/tex/wood.png"; setAttr ".tf" -type "float2" 0.25 0.5 ;
createNode place2dTexture -n "p2d"; createNode multiplyDivide -n "md";
createNode displayLayer -n "layer1"; setAttr ".dt" 2;
connectAttr "blinn1.oc" "blinn1SG.ss"; connectAttr "file1.oc" "md.i1"; connectAttr "md.o" "blinn1.c";
connectAttr "p2d.o" "file1.uv"; connectAttr "layer1.di" "group1.do";
connectAttr "pCubeShape1.iog" "blinn1SG.dsm" -na;
)";

}  // namespace

TEST_F(ApiTest, DagWalkPathsInstancesAndIntermediateShapes) {
    ASSERT_TRUE(open(kHierarchy));
    EXPECT_EQ(dagWalk(), (Names{"0:world", "1:|persp", "2:|persp|perspShape", "1:|top", "2:|top|topShape", "1:|front",
                                "2:|front|frontShape", "1:|side", "2:|side|sideShape", "1:|group1", "2:|group1|pCube1",
                                "3:|group1|pCube1|pCubeShape1", "3:|group1|pCube1|pCubeShapeOrig", "1:|pCube2",
                                "2:|pCube2|pCubeShape1", "1:|joint1"}));
    EXPECT_EQ(dagWalk(MFn::kMesh), (Names{"3:|group1|pCube1|pCubeShape1", "3:|group1|pCube1|pCubeShapeOrig",
                                          "2:|pCube2|pCubeShape1"}));
    EXPECT_EQ(dagWalk(MFn::kCamera).size(), 4u);

    MDagPathArray paths;
    ASSERT_TRUE(MDagPath::getAllPathsTo(nodeNamed("pCubeShape1"), paths));
    ASSERT_EQ(paths.length(), 2u);
    EXPECT_EQ((Names{paths[0].fullPathName().asChar(), paths[1].fullPathName().asChar()}),
              (Names{"|group1|pCube1|pCubeShape1", "|pCube2|pCubeShape1"}));
    EXPECT_EQ((std::vector<unsigned>{paths[1].isInstanced(), paths[0].instanceNumber(), paths[1].instanceNumber(),
                                     paths[0].length()}), (std::vector<unsigned>{1, 0, 1, 3}));
    const MMatrix m0 = paths[0].inclusiveMatrix(), m1 = paths[1].inclusiveMatrix();
    // pCube1's translate under group1 and its scale; pCube2's translate.
    EXPECT_EQ((std::vector<double>{m0(3, 0), m0(3, 1), m0(0, 0), m1(3, 2), m1(0, 0)}),
              (std::vector<double>{1, 5, 2, -3, 1}));

    MDagPath p = paths[0];
    ASSERT_TRUE(p.pop());
    EXPECT_EQ(p.fullPathName(), MString("|group1|pCube1"));
    ASSERT_TRUE(p.extendToShape()) << "two shapes, but one is intermediate: extends to the other";
    EXPECT_EQ(p.fullPathName(), MString("|group1|pCube1|pCubeShape1"));
    ASSERT_TRUE(MDagPath::getAPathTo(nodeNamed("pCube2"), p));
    ASSERT_TRUE(p.extendToShape());
    EXPECT_EQ(p.fullPathName(), MString("|pCube2|pCubeShape1"));
    EXPECT_TRUE(p.hasFn(MFn::kMesh));
    EXPECT_EQ(nameOf(p.transform()), "pCube2");
    EXPECT_TRUE(MFnDagNode(nodeNamed("pCubeShapeOrig")).isIntermediateObject());
    EXPECT_FALSE(MFnDagNode(nodeNamed("pCubeShape1")).isIntermediateObject());
    MDagPath world;
    ASSERT_TRUE(MDagPath::getAPathTo(nodeNamed("group1"), world));
    ASSERT_TRUE(world.pop());
    EXPECT_EQ(world.length(), 0u);
    EXPECT_FALSE(world.pop());
}

TEST_F(ApiTest, DagWalkStopsAtTheDepthBound) {
    // A chain of transforms, each the child of the one before, deeper than the bound.
    std::string text = "createNode transform -n \"n0\";\n";
    for (int i = 1; i < 12; ++i) text += "createNode transform -n \"n" + std::to_string(i) + "\" -p \"n" + std::to_string(i - 1) + "\";\n";
    ASSERT_TRUE(open(text));
    mayahost::Limits shallow = mayahost::limits();
    shallow.maxDagDepth = 5;
    mayahost::ScopedLimits scope(shallow);
    const Names walk = dagWalk(MFn::kTransform);
    ASSERT_EQ(walk.size(), 4u + 5u);   // the four cameras' transforms, then n0 to n4
    EXPECT_EQ(walk.back(), "5:|n0|n1|n2|n3|n4");
    // Breadth first holds to the same bound.
    size_t breadth = 0;
    for (MItDag it(MItDag::kBreadthFirst, MFn::kTransform); !it.isDone(); it.next()) ++breadth;
    EXPECT_EQ(breadth, walk.size());
}

TEST_F(ApiTest, TypeInheritanceThroughHasFnAndCommandsAnswerAsMaya) {
    ASSERT_TRUE(open(kHierarchy));
    MObject joint = nodeNamed("joint1"), blinn = nodeNamed("blinn1");
    EXPECT_EQ((std::vector<bool>{joint.hasFn(MFn::kJoint), joint.hasFn(MFn::kTransform), joint.hasFn(MFn::kDagNode),
                                 joint.hasFn(MFn::kShape), blinn.hasFn(MFn::kLambert), blinn.hasFn(MFn::kDagNode),
                                 nodeNamed("pCubeShape1").hasFn(MFn::kShape)}),
              (std::vector<bool>{true, true, true, false, true, false, true}));
    EXPECT_EQ(blinn.apiType(), MFn::kBlinn);
    MStatus st;
    MFnDagNode notDag(blinn, &st);
    EXPECT_EQ(st, MStatus::kInvalidParameter);
    MFnLambertShader shader(blinn, &st);
    EXPECT_TRUE(st);
    int lamberts = 0;
    for (MItDependencyNodes it(MFn::kLambert); !it.isDone(); it.next()) ++lamberts;
    EXPECT_EQ(lamberts, 2);   // lambert1 and blinn1
    EXPECT_EQ(MFnDependencyNode(nodeNamed("file1")).typeName(), MString("file"));
    // Commands answer as Maya's do.
    EXPECT_EQ(command("ls -shapes").size(), 6u) << "four default cameras, the mesh and its intermediate original";
    EXPECT_EQ(command("currentUnit -query -linear"), Names{"cm"});
    EXPECT_EQ(command("currentUnit -query -linear -fullName"), Names{"centimeter"});
    EXPECT_EQ(command("polyCube -w 3"), Names{"failed"});
    EXPECT_TRUE(MGlobal::upAxis() == MVector::yAxis);
    ASSERT_TRUE(open("currentUnit -l inch;\n"));
    EXPECT_EQ(command("currentUnit -query -linear"), Names{"in"});
}

TEST_F(ApiTest, PlugValuesFollowConnectionsAndNumericData) {
    ASSERT_TRUE(open(kHierarchy));
    MFnDependencyNode blinn(nodeNamed("blinn1"));
    MStatus st;
    EXPECT_FLOAT_EQ(blinn.findPlug("diffuse", true).asFloat(), 0.5f);
    // color is fed by md.o, which nothing evaluates: the shader keeps its own colour.
    MPlug color = blinn.findPlug("color", true);
    EXPECT_EQ(std::pair(color.numChildren(), color.child(0).partialName()), std::pair(3u, MString("cr")));
    MObject data;
    ASSERT_TRUE(color.getValue(data));
    EXPECT_EQ(MFnNumericData(data).numericType(), MFnNumericData::k3Float);
    EXPECT_EQ(float3Of(color), (std::vector<float>{0.5f, 0.25f, 1}));
    // The specular colour is not connected: its default.
    EXPECT_FLOAT_EQ(float3Of(blinn.findPlug("specularColor", true, &st))[1], 0.5f);
    ASSERT_TRUE(st);
    float x = 0, y = 0;
    ASSERT_TRUE(blinn.findPlug("specularColor", true).getValue(data));
    EXPECT_FALSE(MFnNumericData(data).getData(x, y)) << "three values are not two";

    MFnDependencyNode file(nodeNamed("file1"));
    EXPECT_EQ(file.findPlug("fileTextureName", true).asString(), MString("C:/tex/wood.png"));
    ASSERT_TRUE(file.findPlug("translateFrame", true).getValue(data));
    ASSERT_TRUE(MFnNumericData(data).getData(x, y));
    EXPECT_EQ(std::tuple(x, y, file.findPlug("rotateFrame", true).asDouble()), std::tuple(0.25f, 0.5f, 0.0));
    file.findPlug("noSuchAttribute", true, &st);
    EXPECT_EQ(st, MStatus::kInvalidParameter);
    EXPECT_EQ(std::pair(file.hasAttribute("noSuchAttribute"), file.hasAttribute("ftn")), std::pair(false, true));
}

TEST_F(ApiTest, ConnectionsBothWaysNextAvailableAndUpstreamWalks) {
    ASSERT_TRUE(open(kHierarchy));
    EXPECT_EQ(connected(plugOf("blinn1", "outColor"), true, true), Names{"blinn1SG.surfaceShader on blinn1SG"});
    // An attribute of an unknown schema keeps its written name.
    EXPECT_EQ(connected(plugOf("blinn1", "color"), true, false), Names{"md.o on md"});
    EXPECT_EQ(connected(plugOf("blinn1", "color"), false, true), Names{});

    MFnDependencyNode layer(nodeNamed("layer1"));
    MPlugArray layerPlugs;
    ASSERT_TRUE(layer.getConnections(layerPlugs));
    bool foundMember = false;
    for (unsigned i = 0; i < layerPlugs.length(); ++i)
        for (const std::string& member : connected(layerPlugs[i], false, true)) foundMember |= member.ends_with(" on group1");
    EXPECT_TRUE(foundMember);
    EXPECT_EQ(std::pair(layer.findPlug("displayType", true).asInt(), layer.findPlug("visibility", true).asBool()),
              std::pair(2, true));

    MPlug dsm = plugOf("blinn1SG", "dagSetMembers");
    ASSERT_TRUE(dsm.isArray());
    EXPECT_EQ(std::pair(dsm.numElements(), dsm.elementByPhysicalIndex(0).logicalIndex()), std::pair(1u, 0u));
    EXPECT_EQ(plugOf("pCubeShape1", "instObjGroups").elementByLogicalIndex(0).partialName(), MString("iog[0]"));

    // An upstream walk finds the texture through the nodes in between.
    using G = MItDependencyGraph;
    // With pruning the walk stops at the multiplyDivide node in between.
    EXPECT_EQ(walkFrom(plugOf("blinn1", "color"), MFn::kFileTexture, G::kUpstream, G::kBreadthFirst), Names{});
    EXPECT_EQ(walkFrom(plugOf("blinn1", "color"), MFn::kFileTexture, G::kUpstream, G::kBreadthFirst, false),
              Names{"file1"});
    // From the specular plug nothing is upstream.
    EXPECT_EQ(walkFrom(plugOf("blinn1", "specularColor"), MFn::kFileTexture, G::kUpstream, G::kBreadthFirst, false),
              Names{});
}

TEST_F(ApiTest, DefaultNodesExistAndSharedCreateReusesThem) {
    ASSERT_TRUE(MFileIO::newFile(true));
    for (const char* name : {"persp", "perspShape", "top", "front", "side", "time1", "lambert1", "initialShadingGroup",
                             "initialParticleSE", "defaultLayer", "layerManager", "renderPartition",
                             "defaultRenderGlobals"})
        EXPECT_FALSE(nodeNamed(name).isNull()) << name;
    EXPECT_DOUBLE_EQ(plugOf("perspShape", "focalLength").asDouble(), 35.0);
    EXPECT_EQ(std::pair(plugOf("perspShape", "orthographic").asBool(), plugOf("topShape", "orthographic").asBool()),
              std::pair(false, true));

    ASSERT_TRUE(open("createNode transform -s -n \"persp\";\n\tsetAttr \".t\" -type \"double3\" 1 2 3 ;\n"
                     "createNode camera -s -n \"perspShape\" -p \"persp\";\n\tsetAttr \".fl\" 50;\n"
                     "createNode displayLayer -n \"defaultLayer\";\n"
                     "select -ne :lambert1;\n\tsetAttr \".c\" -type \"float3\" 1 0 0 ;\n"
                     "select -ne :time1;\n\tsetAttr \".o\" 12;\n"));
    int persps = 0, layers = 0;
    for (MItDependencyNodes it; !it.isDone(); it.next()) {
        MFnDependencyNode fn(it.item());
        persps += fn.name() == "persp";
        layers += fn.typeName() == "displayLayer";
    }
    EXPECT_EQ(std::pair(persps, layers), std::pair(1, 1));
    EXPECT_DOUBLE_EQ(plugOf("perspShape", "fl").asDouble(), 50.0);
    MDagPath p;
    ASSERT_TRUE(MDagPath::getAPathTo(nodeNamed("perspShape"), p));
    EXPECT_DOUBLE_EQ(p.inclusiveMatrix()(3, 2), 3.0);
    MFnLambertShader lambert(nodeNamed("lambert1"));
    EXPECT_EQ(std::pair(lambert.color().r, lambert.diffuseCoeff()), std::pair(1.0f, 0.8f));
    EXPECT_DOUBLE_EQ(plugOf("time1", "outTime").asDouble(), 12.0);
}

TEST_F(ApiTest, NamespacesAndPathNames) {
    ASSERT_TRUE(open("createNode transform -n \"ns:a\";\ncreateNode transform -n \"b\" -p \"ns:a\";\n"
                     "createNode transform -n \"c\";\ncreateNode transform -n \"b\" -p \"c\";\n"
                     "setAttr \"|c|b.tx\" 4;\nsetAttr \":ns:a.ty\" 2;\n"));
    Names names;
    for (MItDag it(MItDag::kDepthFirst, MFn::kTransform); !it.isDone(); it.next())
        names.push_back(it.partialPathName().asChar());
    EXPECT_EQ(names, (Names{"persp", "top", "front", "side", "ns:a", "|ns:a|b", "c", "|c|b"}));
    ASSERT_FALSE(nodeNamed("ns:a").isNull());
    EXPECT_DOUBLE_EQ(plugOf("ns:a", "ty").asDouble(), 2.0);
    MFnDagNode c(nodeNamed("c"));
    ASSERT_EQ(c.childCount(), 1u);
    EXPECT_DOUBLE_EQ(MFnDependencyNode(c.child(0)).findPlug("tx", true).asDouble(), 4.0);
}

TEST_F(ApiTest, OpenFailuresSayWhy) {
    auto openFile = [](const std::string& path) { return MFileIO::open(path.c_str(), NULL, true, 2, true); };
    MStatus st = openFile((dir_ / "missing.ma").string());
    EXPECT_FALSE(st);
    EXPECT_NE(st.errorString().str().find("missing.ma"), std::string::npos) << st.errorString();
    EXPECT_FALSE(openFile(write("empty.ma", "")));
    st = openFile(write("binary.mb", std::string("FOR4\0\0\0\x20Maya", 12)));
    EXPECT_FALSE(st);
    EXPECT_NE(st.errorString().toLowerCase().str().find("binary"), std::string::npos) << st.errorString();
    EXPECT_FALSE(openFile(write("junk.ma", std::string("\x01\x02\x03\xff\xfe garbage \x00\x01", 16))));
    EXPECT_FALSE(openFile(dir_.string()));
    // A good file afterwards opens and becomes the current file.
    const std::string good = write("good.ma", "createNode transform -n \"x\";\n");
    ASSERT_TRUE(openFile(good));
    EXPECT_EQ(MFileIO::currentFile(), MString(good.c_str()));
    EXPECT_FALSE(nodeNamed("x").isNull());
}

TEST_F(ApiTest, WalksBreadthFirstPrunedDownstreamAndThroughCycles) {
    ASSERT_TRUE(open("createNode transform -n \"a\";\ncreateNode transform -n \"b\" -p \"a\";\n"
                     "createNode transform -n \"c\" -p \"b\";\ncreateNode transform -n \"d\";\n"
                     "createNode transform -n \"e\";\ncreateNode transform -n \"f\";\ncreateNode transform -n \"g\";\n"
                     "connectAttr \"d.tx\" \"e.tx\";\nconnectAttr \"e.tx\" \"f.tx\";\n"
                     "connectAttr \"d.ty\" \"g.ty\";\nconnectAttr \"f.tx\" \"d.tz\";\n"));
    Names order;
    for (MItDag it(MItDag::kBreadthFirst, MFn::kTransform); !it.isDone(); it.next())
        order.push_back(it.partialPathName().asChar());
    EXPECT_EQ(order, (Names{"persp", "top", "front", "side", "a", "d", "e", "f", "g", "b", "c"}));
    order.clear();
    for (MItDag it; !it.isDone(); it.next()) {
        order.push_back(nameOf(it.currentItem()));
        if (order.back() == "a") it.prune();
    }
    EXPECT_EQ(Names(order.end() - 5, order.end()), (Names{"a", "d", "e", "f", "g"}));

    using G = MItDependencyGraph;
    EXPECT_EQ(walkFrom(nodeNamed("d"), MFn::kInvalid, G::kDownstream, G::kDepthFirst), (Names{"d", "e", "f", "g"}));
    // From one plug only that plug's connections are followed first.
    EXPECT_EQ(walkFrom(plugOf("d", "ty"), MFn::kInvalid, G::kDownstream, G::kBreadthFirst), (Names{"d", "g"}));
}

TEST_F(ApiTest, TextureOutputReadsItsDefaultColourThroughGainAndOffset) {
    ASSERT_TRUE(open("createNode blinn -n \"b\";\ncreateNode file -n \"f\";\n"
                     "\tsetAttr \".dc\" -type \"float3\" 0.2 0.4 0.6 ;\n\tsetAttr \".cg\" -type \"float3\" 2 1 0.5 ;\n"
                     "\tsetAttr \".co\" -type \"float3\" 0.1 0 0 ;\n"
                     "createNode file -n \"plainFile\";\ncreateNode lambert -n \"l\";\n"
                     "connectAttr \"f.oc\" \"b.c\";\nconnectAttr \"plainFile.ocg\" \"l.cr\";\n"));
    const std::vector<float> c = float3Of(plugOf("b", "color"));
    for (int i = 0; i < 3; ++i) EXPECT_FLOAT_EQ(c[i], (std::vector<float>{0.5f, 0.4f, 0.3f})[i]) << i;
    // A single channel of an untouched texture: its default colour's channel.
    EXPECT_FLOAT_EQ(MFnLambertShader(nodeNamed("l")).color().r, 0.5f);
}

TEST_F(ApiTest, ParentMovesOrAddsAndNamesStayUniquePerParent) {
    ASSERT_TRUE(open("createNode transform -n \"a\";\ncreateNode transform -n \"b\";\n"
                     "createNode transform -n \"k\" -p \"a\";\n"
                     "parent \"|a|k\" \"b\";\n"                      // move: a loses k
                     "createNode transform -n \"k\" -p \"a\";\n"     // free again under a
                     "createNode lambert -n \"shader\";\ncreateNode lambert -n \"shader\";\n"
                     "createNode myPluginLocator -n \"loc\" -p \"a\";\n"));
    MFnDagNode a(nodeNamed("a")), b(nodeNamed("b"));
    ASSERT_EQ(std::pair(a.childCount(), b.childCount()), std::pair(2u, 1u));
    EXPECT_EQ(std::pair(nameOf(a.child(0)), nameOf(b.child(0))), std::pair(std::string("k"), std::string("k")));
    EXPECT_NE(a.child(0), b.child(0));
    // Dependency nodes get Maya's numbered name on a clash.
    EXPECT_FALSE(nodeNamed("shader").isNull() || nodeNamed("shader1").isNull());
    // An unknown type created under a transform is a DAG node of that type name.
    EXPECT_TRUE(nodeNamed("loc").hasFn(MFn::kDagNode));
    EXPECT_EQ(MFnDependencyNode(nodeNamed("loc")).typeName(), MString("myPluginLocator"));
    const Names names = command("ls -long -type transform");
    auto has = [&names](const char* n) { return std::find(names.begin(), names.end(), n) != names.end(); };
    EXPECT_EQ((std::vector<bool>{has("|b|k"), has("|a|k"), has("|a|loc")}), (std::vector<bool>{true, true, false}));
}

TEST_F(ApiTest, NullHandlesAndWrongObjectsFailWithStatus) {
    ASSERT_TRUE(MFileIO::newFile(true));
    MStatus st;
    MFnDependencyNode none(MObject::kNullObj, &st);
    EXPECT_EQ(st, MStatus::kInvalidParameter);
    EXPECT_EQ(none.name(&st), MString());
    EXPECT_FALSE(st);
    MPlug nullPlug;
    EXPECT_TRUE(nullPlug.isNull());
    nullPlug.asDouble(MDGContext::fsNormal, &st);
    EXPECT_FALSE(st);
    MPlugArray arr;
    EXPECT_FALSE(nullPlug.connectedTo(arr, true, true, &st));
    EXPECT_FALSE(st);
    MDagPath empty;
    EXPECT_FALSE(empty.isValid());
    empty.fullPathName(&st);
    EXPECT_FALSE(st);
    EXPECT_FALSE(MDagPath::getAPathTo(nodeNamed("lambert1"), empty));
    // Four cameras, as the DAG walk test counts; then the iterator is done.
    MItDag cameras(MItDag::kDepthFirst, MFn::kCamera, &st);
    ASSERT_TRUE(st);
    while (!cameras.isDone()) cameras.next();
    EXPECT_FALSE(cameras.next());
    MDagPath after;
    EXPECT_FALSE(cameras.getPath(after));
    // A string plug read as a number, and a number plug read as a string.
    plugOf("perspShape", "imageName").asDouble(MDGContext::fsNormal, &st);
    EXPECT_FALSE(st);
    plugOf("perspShape", "focalLength").asString(MDGContext::fsNormal, &st);
    EXPECT_FALSE(st);
    EXPECT_EQ(plugOf("perspShape", "imageName").asString(), MString("persp"));
}

TEST_F(ApiTest, MultiElementsLogicalAndPhysical) {
    ASSERT_TRUE(open("createNode transform -n \"t\";\n\taddAttr -ci true -m -sn \"w\" -ln \"weights\" -at \"double\";\n"
                     "\tsetAttr \".w[2]\" 0.5;\n\tsetAttr \".w[7]\" 0.25;\n"));
    MStatus st;
    MPlug w = MFnDependencyNode(nodeNamed("t")).findPlug("weights", true, &st);
    ASSERT_TRUE(st);
    ASSERT_TRUE(w.isArray());
    EXPECT_EQ(w.numElements(), 2u);
    MPlug second = w.elementByPhysicalIndex(1, &st);
    ASSERT_TRUE(st);
    EXPECT_EQ(std::tuple(second.logicalIndex(), second.asDouble(), w.elementByLogicalIndex(2).asDouble()),
              std::tuple(7u, 0.25, 0.5));
    EXPECT_EQ(w.elementByLogicalIndex(2).name(), MString("t.weights[2]"));
    w.elementByPhysicalIndex(2, &st);
    EXPECT_FALSE(st);
    MIntArray indices;
    EXPECT_EQ(w.getExistingArrayAttributeIndices(indices), 2);
    EXPECT_EQ(indices[1], 7);
}
