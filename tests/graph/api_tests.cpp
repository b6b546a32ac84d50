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
#include <maya/MItDependencyGraph.h>
#include <maya/MItDependencyNodes.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MIntArray.h>
#include <maya/MStringArray.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

class ApiTest : public ::testing::Test {
protected:
    fs::path dir_;
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("graph_api_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                            "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string write(const std::string& name, const std::string& text) {
        fs::path p = dir_ / name;
        std::ofstream(p, std::ios::binary) << text;
        return p.string();
    }
    MStatus open(const std::string& text) { return MFileIO::open(write("scene.ma", text).c_str(), NULL, true, 2, true); }
};

MObject nodeNamed(const char* name) {
    for (MItDependencyNodes it; !it.isDone(); it.next()) {
        MFnDependencyNode fn(it.item());
        if (fn.name() == name) return it.item();
    }
    return MObject();
}

std::vector<std::string> dagWalk(MFn::Type filter = MFn::kInvalid) {
    std::vector<std::string> out;
    for (MItDag it(MItDag::kDepthFirst, filter); !it.isDone(); it.next()) {
        MDagPath p;
        it.getPath(p);
        out.push_back(std::to_string(it.depth()) + ":" + (p.length() ? p.fullPathName().asChar() : "world"));
    }
    return out;
}

const char* kHierarchy = R"(//Maya ASCII 2017 scene
currentUnit -l centimeter -a degree -t film;
createNode transform -n "group1";
	setAttr ".t" -type "double3" 0 5 0 ;
createNode transform -n "pCube1" -p "group1";
	setAttr ".t" -type "double3" 1 0 0 ;
	setAttr ".s" -type "double3" 2 2 2 ;
createNode mesh -n "pCubeShape1" -p "pCube1";
createNode mesh -n "pCubeShapeOrig" -p "pCube1";
	setAttr ".io" yes;
createNode transform -n "pCube2";
	setAttr ".t" -type "double3" 0 0 -3 ;
parent -s -nc -r -add "|group1|pCube1|pCubeShape1" "pCube2" ;
createNode joint -n "joint1";
createNode blinn -n "blinn1";
	setAttr ".c" -type "float3" 0.5 0.25 1 ;
	setAttr ".dc" 0.5;
createNode shadingEngine -n "blinn1SG";
createNode file -n "file1";
	setAttr ".ftn" -type "string" "C:/tex/wood.png";
	setAttr ".tf" -type "float2" 0.25 0.5 ;
createNode place2dTexture -n "p2d";
createNode multiplyDivide -n "md";
createNode displayLayer -n "layer1";
	setAttr ".dt" 2;
connectAttr "blinn1.oc" "blinn1SG.ss";
connectAttr "file1.oc" "md.i1";
connectAttr "md.o" "blinn1.c";
connectAttr "p2d.o" "file1.uv";
connectAttr "layer1.di" "group1.do";
connectAttr "pCubeShape1.iog" "blinn1SG.dsm" -na;
)";

}  // namespace

TEST_F(ApiTest, DagWalkVisitsEveryPathParentsFirst) {
    ASSERT_TRUE(open(kHierarchy));
    std::vector<std::string> walk = dagWalk();
    std::vector<std::string> expected = {"0:world", "1:|persp", "2:|persp|perspShape", "1:|top", "2:|top|topShape",
                                         "1:|front", "2:|front|frontShape", "1:|side", "2:|side|sideShape",
                                         "1:|group1", "2:|group1|pCube1", "3:|group1|pCube1|pCubeShape1",
                                         "3:|group1|pCube1|pCubeShapeOrig", "1:|pCube2", "2:|pCube2|pCubeShape1",
                                         "1:|joint1"};
    EXPECT_EQ(walk, expected);
    std::vector<std::string> meshes = dagWalk(MFn::kMesh);
    EXPECT_EQ(meshes, (std::vector<std::string>{"3:|group1|pCube1|pCubeShape1", "3:|group1|pCube1|pCubeShapeOrig",
                                                 "2:|pCube2|pCubeShape1"}));
    EXPECT_EQ(dagWalk(MFn::kCamera).size(), 4u);
}

TEST_F(ApiTest, InstancedShapeHasTwoPathsAndWorldMatrices) {
    ASSERT_TRUE(open(kHierarchy));
    MObject shape = nodeNamed("pCubeShape1");
    ASSERT_FALSE(shape.isNull());
    MDagPathArray paths;
    ASSERT_TRUE(MDagPath::getAllPathsTo(shape, paths));
    ASSERT_EQ(paths.length(), 2u);
    EXPECT_EQ(paths[0].fullPathName(), MString("|group1|pCube1|pCubeShape1"));
    EXPECT_EQ(paths[1].fullPathName(), MString("|pCube2|pCubeShape1"));
    EXPECT_TRUE(paths[1].isInstanced());
    EXPECT_EQ(paths[0].instanceNumber(), 0u);
    EXPECT_EQ(paths[1].instanceNumber(), 1u);
    EXPECT_EQ(paths[0].length(), 3u);
    MMatrix m0 = paths[0].inclusiveMatrix();
    MMatrix m1 = paths[1].inclusiveMatrix();
    EXPECT_DOUBLE_EQ(m0(3, 0), 1.0);   // pCube1 translate under group1
    EXPECT_DOUBLE_EQ(m0(3, 1), 5.0);
    EXPECT_DOUBLE_EQ(m0(0, 0), 2.0);   // pCube1 scale
    EXPECT_DOUBLE_EQ(m1(3, 2), -3.0);
    EXPECT_DOUBLE_EQ(m1(0, 0), 1.0);

    MDagPath p = paths[0];
    ASSERT_TRUE(p.pop());
    EXPECT_EQ(p.fullPathName(), MString("|group1|pCube1"));
    ASSERT_TRUE(p.extendToShape()) << "two shapes, but one is intermediate: extends to the other";
    EXPECT_EQ(p.fullPathName(), MString("|group1|pCube1|pCubeShape1"));
}

TEST_F(ApiTest, ExtendToShapeSkipsIntermediateAndTransformFindsParent) {
    ASSERT_TRUE(open(kHierarchy));
    MDagPath p;
    ASSERT_TRUE(MDagPath::getAPathTo(nodeNamed("pCube2"), p));
    ASSERT_TRUE(p.extendToShape());
    EXPECT_EQ(p.fullPathName(), MString("|pCube2|pCubeShape1"));
    EXPECT_TRUE(p.hasFn(MFn::kMesh));
    EXPECT_EQ(MFnDependencyNode(p.transform()).name(), MString("pCube2"));
    MFnDagNode orig(nodeNamed("pCubeShapeOrig"));
    EXPECT_TRUE(orig.isIntermediateObject());
    EXPECT_FALSE(MFnDagNode(nodeNamed("pCubeShape1")).isIntermediateObject());
    MDagPath world;
    ASSERT_TRUE(MDagPath::getAPathTo(nodeNamed("group1"), world));
    ASSERT_TRUE(world.pop());
    EXPECT_EQ(world.length(), 0u);
    EXPECT_FALSE(world.pop());
}

TEST_F(ApiTest, TypeInheritanceThroughHasFn) {
    ASSERT_TRUE(open(kHierarchy));
    MObject joint = nodeNamed("joint1");
    EXPECT_TRUE(joint.hasFn(MFn::kJoint));
    EXPECT_TRUE(joint.hasFn(MFn::kTransform));
    EXPECT_TRUE(joint.hasFn(MFn::kDagNode));
    EXPECT_FALSE(joint.hasFn(MFn::kShape));
    MObject blinn = nodeNamed("blinn1");
    EXPECT_TRUE(blinn.hasFn(MFn::kLambert));
    EXPECT_EQ(blinn.apiType(), MFn::kBlinn);
    EXPECT_FALSE(blinn.hasFn(MFn::kDagNode));
    EXPECT_TRUE(nodeNamed("pCubeShape1").hasFn(MFn::kShape));
    MStatus st;
    MFnDagNode notDag(blinn, &st);
    EXPECT_EQ(st, MStatus::kInvalidParameter);
    MFnLambertShader shader(blinn, &st);
    EXPECT_TRUE(st);
    int lamberts = 0;
    for (MItDependencyNodes it(MFn::kLambert); !it.isDone(); it.next()) ++lamberts;
    EXPECT_EQ(lamberts, 2);   // lambert1 and blinn1
    EXPECT_EQ(MFnDependencyNode(nodeNamed("file1")).typeName(), MString("file"));
}

TEST_F(ApiTest, PlugValuesFollowConnectionsAndNumericData) {
    ASSERT_TRUE(open(kHierarchy));
    MFnDependencyNode blinn(nodeNamed("blinn1"));
    MStatus st;
    MPlug dc = blinn.findPlug("diffuse", true, &st);
    ASSERT_TRUE(st);
    EXPECT_FLOAT_EQ(dc.asFloat(), 0.5f);
    // color is fed by md.o, which nothing evaluates: the shader keeps its own colour.
    MPlug color = blinn.findPlug("color", true, &st);
    ASSERT_TRUE(st);
    EXPECT_EQ(color.numChildren(), 3u);
    EXPECT_EQ(color.child(0).partialName(), MString("cr"));
    MObject data;
    ASSERT_TRUE(color.getValue(data));
    MFnNumericData nd(data, &st);
    ASSERT_TRUE(st);
    EXPECT_EQ(nd.numericType(), MFnNumericData::k3Float);
    float r = -1, g = -1, b = -1;
    ASSERT_TRUE(nd.getData(r, g, b));
    EXPECT_FLOAT_EQ(r, 0.5f);
    EXPECT_FLOAT_EQ(g, 0.25f);
    EXPECT_FLOAT_EQ(b, 1.0f);
    // The specular colour is not connected: its default.
    MPlug sc = blinn.findPlug("specularColor", true, &st);
    ASSERT_TRUE(st);
    ASSERT_TRUE(sc.getValue(data));
    ASSERT_TRUE(MFnNumericData(data).getData(r, g, b));
    EXPECT_FLOAT_EQ(g, 0.5f);
    float x = 0, y = 0;
    EXPECT_FALSE(MFnNumericData(data).getData(x, y)) << "three values are not two";

    MFnDependencyNode file(nodeNamed("file1"));
    EXPECT_EQ(file.findPlug("fileTextureName", true).asString(), MString("C:/tex/wood.png"));
    MPlug tf = file.findPlug("translateFrame", true);
    ASSERT_TRUE(tf.getValue(data));
    ASSERT_TRUE(MFnNumericData(data).getData(x, y));
    EXPECT_FLOAT_EQ(x, 0.25f);
    EXPECT_FLOAT_EQ(y, 0.5f);
    EXPECT_EQ(file.findPlug("rotateFrame", true).asDouble(), 0.0);
    file.findPlug("noSuchAttribute", true, &st);
    EXPECT_EQ(st, MStatus::kInvalidParameter);
    EXPECT_FALSE(file.hasAttribute("noSuchAttribute"));
    EXPECT_TRUE(file.hasAttribute("ftn"));
}

TEST_F(ApiTest, ConnectionsBothWaysAndNextAvailable) {
    ASSERT_TRUE(open(kHierarchy));
    MFnDependencyNode blinn(nodeNamed("blinn1"));
    MPlugArray plugs;
    blinn.findPlug("outColor", true).connectedTo(plugs, true, true);
    ASSERT_EQ(plugs.length(), 1u);
    EXPECT_EQ(plugs[0].name(), MString("blinn1SG.surfaceShader"));
    EXPECT_EQ(MFnDependencyNode(plugs[0].node()).name(), MString("blinn1SG"));
    blinn.findPlug("color", true).connectedTo(plugs, true, false);
    ASSERT_EQ(plugs.length(), 1u);
    EXPECT_EQ(plugs[0].name(), MString("md.o"));   // an attribute of an unknown schema keeps its written name
    blinn.findPlug("color", true).connectedTo(plugs, false, true);
    EXPECT_EQ(plugs.length(), 0u);

    MFnDependencyNode layer(nodeNamed("layer1"));
    MPlugArray layerPlugs;
    ASSERT_TRUE(layer.getConnections(layerPlugs));
    bool foundMember = false;
    for (unsigned i = 0; i < layerPlugs.length(); ++i) {
        MPlugArray members;
        layerPlugs[i].connectedTo(members, false, true);
        for (unsigned k = 0; k < members.length(); ++k)
            foundMember = foundMember || MFnDependencyNode(members[k].node()).name() == "group1";
    }
    EXPECT_TRUE(foundMember);
    EXPECT_EQ(layer.findPlug("displayType", true).asInt(), 2);
    EXPECT_TRUE(layer.findPlug("visibility", true).asBool());

    MFnDependencyNode sg(nodeNamed("blinn1SG"));
    MPlug dsm = sg.findPlug("dagSetMembers", true);
    ASSERT_TRUE(dsm.isArray());
    EXPECT_EQ(dsm.numElements(), 1u);
    EXPECT_EQ(dsm.elementByPhysicalIndex(0).logicalIndex(), 0u);
    MFnDependencyNode shape(nodeNamed("pCubeShape1"));
    MPlug iog0 = shape.findPlug("instObjGroups", true).elementByLogicalIndex(0);
    EXPECT_EQ(iog0.partialName(), MString("iog[0]"));
}

TEST_F(ApiTest, UpstreamWalkFindsTextureThroughOtherNodes) {
    ASSERT_TRUE(open(kHierarchy));
    MFnDependencyNode blinn(nodeNamed("blinn1"));
    MPlug color = blinn.findPlug("color", true);
    MStatus st;
    MItDependencyGraph walk(color, MFn::kFileTexture, MItDependencyGraph::kUpstream, MItDependencyGraph::kBreadthFirst,
                            MItDependencyGraph::kNodeLevel, &st);
    ASSERT_TRUE(st);
    // With pruning the walk stops at the multiplyDivide node in between.
    EXPECT_TRUE(walk.isDone());
    walk.disablePruningOnFilter();
    ASSERT_FALSE(walk.isDone());
    EXPECT_EQ(MFnDependencyNode(walk.thisNode()).name(), MString("file1"));
    walk.next();
    EXPECT_TRUE(walk.isDone());
    // From the specular plug nothing is upstream.
    MPlug sc = blinn.findPlug("specularColor", true);
    MItDependencyGraph none(sc, MFn::kFileTexture, MItDependencyGraph::kUpstream, MItDependencyGraph::kBreadthFirst,
                            MItDependencyGraph::kNodeLevel);
    none.disablePruningOnFilter();
    EXPECT_TRUE(none.isDone());
}

TEST_F(ApiTest, DefaultNodesExistAndSharedCreateReusesThem) {
    ASSERT_TRUE(MFileIO::newFile(true));
    for (const char* name : {"persp", "perspShape", "top", "front", "side", "time1", "lambert1", "initialShadingGroup",
                             "initialParticleSE", "defaultLayer", "layerManager", "renderPartition",
                             "defaultRenderGlobals"})
        EXPECT_FALSE(nodeNamed(name).isNull()) << name;
    MFnDependencyNode persp(nodeNamed("perspShape"));
    EXPECT_DOUBLE_EQ(persp.findPlug("focalLength", true).asDouble(), 35.0);
    EXPECT_FALSE(persp.findPlug("orthographic", true).asBool());
    EXPECT_TRUE(MFnDependencyNode(nodeNamed("topShape")).findPlug("orthographic", true).asBool());

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
    EXPECT_EQ(persps, 1);
    EXPECT_EQ(layers, 1);
    EXPECT_DOUBLE_EQ(MFnDependencyNode(nodeNamed("perspShape")).findPlug("fl", true).asDouble(), 50.0);
    MDagPath p;
    ASSERT_TRUE(MDagPath::getAPathTo(nodeNamed("perspShape"), p));
    EXPECT_DOUBLE_EQ(p.inclusiveMatrix()(3, 2), 3.0);
    MFnLambertShader lambert(nodeNamed("lambert1"));
    EXPECT_FLOAT_EQ(lambert.color().r, 1.0f);
    EXPECT_FLOAT_EQ(lambert.diffuseCoeff(), 0.8f);
    EXPECT_DOUBLE_EQ(MFnDependencyNode(nodeNamed("time1")).findPlug("outTime", true).asDouble(), 12.0);
}

TEST_F(ApiTest, NamespacesAndPathNames) {
    ASSERT_TRUE(open("createNode transform -n \"ns:a\";\ncreateNode transform -n \"b\" -p \"ns:a\";\n"
                     "createNode transform -n \"c\";\ncreateNode transform -n \"b\" -p \"c\";\n"
                     "setAttr \"|c|b.tx\" 4;\nsetAttr \":ns:a.ty\" 2;\n"));
    MItDag it(MItDag::kDepthFirst, MFn::kTransform);
    std::vector<std::string> names;
    for (; !it.isDone(); it.next()) names.push_back(it.partialPathName().asChar());
    EXPECT_EQ(names, (std::vector<std::string>{"persp", "top", "front", "side", "ns:a", "|ns:a|b", "c", "|c|b"}));
    MObject a = nodeNamed("ns:a");
    ASSERT_FALSE(a.isNull());
    EXPECT_DOUBLE_EQ(MFnDependencyNode(a).findPlug("ty", true).asDouble(), 2.0);
    MFnDagNode c(nodeNamed("c"));
    ASSERT_EQ(c.childCount(), 1u);
    EXPECT_DOUBLE_EQ(MFnDependencyNode(c.child(0)).findPlug("tx", true).asDouble(), 4.0);
}

TEST_F(ApiTest, CommandsAnswerAsMaya) {
    ASSERT_TRUE(open(kHierarchy));
    MStringArray result;
    ASSERT_TRUE(MGlobal::executeCommand("ls -shapes", result, false, false));
    // four default cameras, the mesh and its intermediate original
    EXPECT_EQ(result.length(), 6u);
    ASSERT_TRUE(MGlobal::executeCommand("currentUnit -query -linear", result, false, false));
    ASSERT_EQ(result.length(), 1u);
    EXPECT_EQ(result[0], MString("cm"));
    ASSERT_TRUE(MGlobal::executeCommand("currentUnit -query -linear -fullName", result));
    EXPECT_EQ(result[0], MString("centimeter"));
    EXPECT_FALSE(MGlobal::executeCommand("polyCube -w 3", result));
    EXPECT_TRUE(MGlobal::upAxis() == MVector::yAxis);

    ASSERT_TRUE(open("currentUnit -l inch;\ncreateNode script -n \"upAxisScriptNode\";\n"
                     "\tsetAttr \".b\" -type \"string\" \"string $currentAxis = `upAxis -q -ax`; if ($currentAxis != "
                     "\\\"z\\\") { upAxis -ax \\\"z\\\"; viewSet -home persp; }\";\n"));
    ASSERT_TRUE(MGlobal::executeCommand("currentUnit -query -linear", result, false, false));
    EXPECT_EQ(result[0], MString("in"));
    EXPECT_TRUE(MGlobal::upAxis() == MVector::zAxis);
}

TEST_F(ApiTest, OpenFailuresSayWhy) {
    MStatus st = MFileIO::open((dir_ / "missing.ma").string().c_str(), NULL, true, 2, true);
    EXPECT_FALSE(st);
    EXPECT_NE(st.errorString().str().find("missing.ma"), std::string::npos) << st.errorString();
    st = MFileIO::open(write("empty.ma", "").c_str(), NULL, true, 2, true);
    EXPECT_FALSE(st);
    st = MFileIO::open(write("binary.mb", std::string("FOR4\0\0\0\x20Maya", 12)).c_str(), NULL, true, 2, true);
    EXPECT_FALSE(st);
    EXPECT_NE(st.errorString().toLowerCase().str().find("binary"), std::string::npos) << st.errorString();
    st = MFileIO::open(write("junk.ma", std::string("\x01\x02\x03\xff\xfe garbage \x00\x01", 16)).c_str(), NULL, true, 2, true);
    EXPECT_FALSE(st);
    st = MFileIO::open(dir_.string().c_str(), NULL, true, 2, true);
    EXPECT_FALSE(st);
    // A good file afterwards opens and becomes the current file.
    std::string good = write("good.ma", "createNode transform -n \"x\";\n");
    ASSERT_TRUE(MFileIO::open(good.c_str(), NULL, true, 2, true));
    EXPECT_EQ(MFileIO::currentFile(), MString(good.c_str()));
    EXPECT_FALSE(nodeNamed("x").isNull());
}

TEST(ApiCorpus, EveryCorpusSceneOpens) {
    fs::path corpus = GLOWBOX_CORPUS_DIR;
    if (!fs::exists(corpus)) GTEST_SKIP() << "corpus not present at " << corpus;
    int opened = 0;
    for (const auto& entry : fs::recursive_directory_iterator(corpus)) {
        if (entry.path().extension() != ".ma") continue;
        MStatus st = MFileIO::open(entry.path().string().c_str(), NULL, true, 2, true);
        EXPECT_TRUE(st) << entry.path() << ": " << st.errorString();
        // Walk it the way an exporter does: every path, every plug read of a transform.
        size_t paths = 0;
        for (MItDag it; !it.isDone(); it.next()) {
            MDagPath p;
            ASSERT_TRUE(it.getPath(p));
            p.inclusiveMatrix();
            ++paths;
        }
        EXPECT_GE(paths, 9u) << entry.path();
        ++opened;
    }
    EXPECT_GT(opened, 100);
}

TEST_F(ApiTest, BreadthFirstAndPrunedWalks) {
    ASSERT_TRUE(open("createNode transform -n \"a\";\ncreateNode transform -n \"b\" -p \"a\";\n"
                     "createNode transform -n \"c\" -p \"b\";\ncreateNode transform -n \"d\";\n"));
    std::vector<std::string> order;
    for (MItDag it(MItDag::kBreadthFirst, MFn::kTransform); !it.isDone(); it.next())
        order.push_back(it.partialPathName().asChar());
    EXPECT_EQ(order, (std::vector<std::string>{"persp", "top", "front", "side", "a", "d", "b", "c"}));
    order.clear();
    for (MItDag it; !it.isDone(); it.next()) {
        MFnDependencyNode fn(it.currentItem());
        order.push_back(fn.name().asChar());
        if (fn.name() == "a") it.prune();
    }
    EXPECT_EQ(std::vector<std::string>(order.end() - 2, order.end()), (std::vector<std::string>{"a", "d"}));
}

TEST_F(ApiTest, DownstreamDepthFirstWalkAndCycles) {
    ASSERT_TRUE(open("createNode transform -n \"a\";\ncreateNode transform -n \"b\";\n"
                     "createNode transform -n \"c\";\ncreateNode transform -n \"d\";\n"
                     "connectAttr \"a.tx\" \"b.tx\";\nconnectAttr \"b.tx\" \"c.tx\";\n"
                     "connectAttr \"a.ty\" \"d.ty\";\nconnectAttr \"c.tx\" \"a.tz\";\n"));
    MObject a = nodeNamed("a");
    MItDependencyGraph walk(a, MFn::kInvalid, MItDependencyGraph::kDownstream, MItDependencyGraph::kDepthFirst);
    std::vector<std::string> order;
    for (; !walk.isDone(); walk.next()) order.push_back(MFnDependencyNode(walk.thisNode()).name().asChar());
    EXPECT_EQ(order, (std::vector<std::string>{"a", "b", "c", "d"}));
    // From one plug only that plug's connections are followed first.
    MPlug ty = MFnDependencyNode(a).findPlug("ty", true);
    MItDependencyGraph fromPlug(ty, MFn::kInvalid, MItDependencyGraph::kDownstream, MItDependencyGraph::kBreadthFirst);
    order.clear();
    for (; !fromPlug.isDone(); fromPlug.next()) order.push_back(MFnDependencyNode(fromPlug.thisNode()).name().asChar());
    EXPECT_EQ(order, (std::vector<std::string>{"a", "d"}));
}

TEST_F(ApiTest, TextureOutputReadsItsDefaultColourThroughGainAndOffset) {
    ASSERT_TRUE(open("createNode blinn -n \"b\";\ncreateNode file -n \"f\";\n"
                     "\tsetAttr \".dc\" -type \"float3\" 0.2 0.4 0.6 ;\n\tsetAttr \".cg\" -type \"float3\" 2 1 0.5 ;\n"
                     "\tsetAttr \".co\" -type \"float3\" 0.1 0 0 ;\n"
                     "createNode file -n \"plainFile\";\ncreateNode lambert -n \"l\";\n"
                     "connectAttr \"f.oc\" \"b.c\";\nconnectAttr \"plainFile.ocg\" \"l.cr\";\n"));
    MObject data;
    ASSERT_TRUE(MFnDependencyNode(nodeNamed("b")).findPlug("color", true).getValue(data));
    float r = 0, g = 0, b = 0;
    ASSERT_TRUE(MFnNumericData(data).getData(r, g, b));
    EXPECT_FLOAT_EQ(r, 0.5f);
    EXPECT_FLOAT_EQ(g, 0.4f);
    EXPECT_FLOAT_EQ(b, 0.3f);
    // A single channel of an untouched texture: its default colour's channel.
    MFnLambertShader l(nodeNamed("l"));
    EXPECT_FLOAT_EQ(l.color().r, 0.5f);
}

TEST_F(ApiTest, ParentMovesOrAddsAndNamesStayUniquePerParent) {
    ASSERT_TRUE(open("createNode transform -n \"a\";\ncreateNode transform -n \"b\";\n"
                     "createNode transform -n \"k\" -p \"a\";\n"
                     "parent \"|a|k\" \"b\";\n"                      // move: a loses k
                     "createNode transform -n \"k\" -p \"a\";\n"     // free again under a
                     "createNode lambert -n \"shader\";\ncreateNode lambert -n \"shader\";\n"
                     "createNode myPluginLocator -n \"loc\" -p \"a\";\n"));
    MFnDagNode a(nodeNamed("a"));
    MFnDagNode b(nodeNamed("b"));
    ASSERT_EQ(a.childCount(), 2u);
    EXPECT_EQ(b.childCount(), 1u);
    EXPECT_EQ(MFnDependencyNode(b.child(0)).name(), MString("k"));
    EXPECT_EQ(MFnDependencyNode(a.child(0)).name(), MString("k"));
    EXPECT_NE(a.child(0), b.child(0));
    // Dependency nodes get Maya's numbered name on a clash.
    EXPECT_FALSE(nodeNamed("shader").isNull());
    EXPECT_FALSE(nodeNamed("shader1").isNull());
    // An unknown type created under a transform is a DAG node of that type name.
    MObject loc = nodeNamed("loc");
    EXPECT_TRUE(loc.hasFn(MFn::kDagNode));
    EXPECT_EQ(MFnDependencyNode(loc).typeName(), MString("myPluginLocator"));
    MStringArray result;
    ASSERT_TRUE(MGlobal::executeCommand("ls -long -type transform", result));
    std::vector<std::string> names;
    for (unsigned i = 0; i < result.length(); ++i) names.push_back(result[i].asChar());
    EXPECT_NE(std::find(names.begin(), names.end(), "|b|k"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "|a|k"), names.end());
    EXPECT_EQ(std::find(names.begin(), names.end(), "|a|loc"), names.end());
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
    MItDag cameras(MItDag::kDepthFirst, MFn::kCamera, &st);
    ASSERT_TRUE(st);
    int count = 0;
    for (; !cameras.isDone(); cameras.next()) ++count;
    EXPECT_EQ(count, 4);
    EXPECT_FALSE(cameras.next());
    MDagPath after;
    EXPECT_FALSE(cameras.getPath(after));
    // A string plug read as a number, and a number plug read as a string.
    MFnDependencyNode persp(nodeNamed("perspShape"));
    persp.findPlug("imageName", true).asDouble(MDGContext::fsNormal, &st);
    EXPECT_FALSE(st);
    persp.findPlug("focalLength", true).asString(MDGContext::fsNormal, &st);
    EXPECT_FALSE(st);
    EXPECT_EQ(persp.findPlug("imageName", true).asString(), MString("persp"));
}

TEST_F(ApiTest, MultiElementsLogicalAndPhysical) {
    ASSERT_TRUE(open("createNode transform -n \"t\";\n"
                     "\taddAttr -ci true -m -sn \"w\" -ln \"weights\" -at \"double\";\n"
                     "\tsetAttr \".w[2]\" 0.5;\n\tsetAttr \".w[7]\" 0.25;\n"));
    MFnDependencyNode t(nodeNamed("t"));
    MStatus st;
    MPlug w = t.findPlug("weights", true, &st);
    ASSERT_TRUE(st);
    ASSERT_TRUE(w.isArray());
    EXPECT_EQ(w.numElements(), 2u);
    MPlug second = w.elementByPhysicalIndex(1, &st);
    ASSERT_TRUE(st);
    EXPECT_EQ(second.logicalIndex(), 7u);
    EXPECT_DOUBLE_EQ(second.asDouble(), 0.25);
    EXPECT_DOUBLE_EQ(w.elementByLogicalIndex(2).asDouble(), 0.5);
    EXPECT_EQ(w.elementByLogicalIndex(2).name(), MString("t.weights[2]"));
    w.elementByPhysicalIndex(2, &st);
    EXPECT_FALSE(st);
    MIntArray indices;
    EXPECT_EQ(w.getExistingArrayAttributeIndices(indices), 2);
    EXPECT_EQ(indices[1], 7);
}
