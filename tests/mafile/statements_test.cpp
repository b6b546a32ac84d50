// Each command of the .ma subset, as Maya writes it, reaches the builder with
// its arguments and its line.

#include <gtest/gtest.h>

#include "RecordingBuilder.h"

using namespace mayahost::scenefile;
using namespace mayahost::scenefile::test;

namespace {

std::vector<std::string> callsOf(std::string_view text) {
    RecordingBuilder b;
    ReadResult r = read(text, b);
    EXPECT_TRUE(r.ok()) << r.message;
    EXPECT_TRUE(b.warnings.empty()) << b.warningText();
    return b.calls;
}

}  // namespace

TEST(MaStatements, HeaderCommands) {
    const auto calls = callsOf(
        "//Maya ASCII 2018 scene\n"
        "//Name: a.ma\n"
        "requires maya \"2018\";\n"
        "requires -nodeType \"gpuCache\" -dataType \"xgmData\" \"gpuCache\" \"1.0\";\n"
        "currentUnit -l centimeter -a degree -t film;\n"
        "currentUnit -linear meter -angle radian -time ntsc;\n"
        "fileInfo \"osv\" \"Microsoft Windows 8 Business Edition, 64-bit  (Build 9200)\\n\";\n");
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[0], "requires maya 2018");
    EXPECT_EQ(calls[1], "requires gpuCache 1.0 nt=gpuCache dt=xgmData");
    EXPECT_EQ(calls[2], "currentUnit l=centimeter a=degree t=film");
    EXPECT_EQ(calls[3], "currentUnit l=meter a=radian t=ntsc");
    EXPECT_EQ(calls[4], "fileInfo osv=Microsoft Windows 8 Business Edition, 64-bit  (Build 9200)\n");
}

TEST(MaStatements, FileReferences) {
    const auto calls = callsOf(
        "file -rdi 1 -ns \"SimpleCube1\" -rfn \"SimpleCube1RN\" -op \"v=0;\" -typ \"mayaAscii\"\n"
        "\t\t \"/scenes/SimpleCube.ma\";\n"
        "file -r -ns \"SimpleCube1\" -dr 1 -rfn \"SimpleCube1RN\" -op \"v=0;\" -typ \"mayaAscii\" \"/scenes/SimpleCube.ma\";\n");
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0], "file /scenes/SimpleCube.ma ns=SimpleCube1 rfn=SimpleCube1RN typ=mayaAscii op=v=0; r=0 dr=0 rdi=1");
    EXPECT_EQ(calls[1], "file /scenes/SimpleCube.ma ns=SimpleCube1 rfn=SimpleCube1RN typ=mayaAscii op=v=0; r=1 dr=1 rdi=-");
}

TEST(MaStatements, CreateNodeRenameSelect) {
    const auto calls = callsOf(
        "createNode transform -s -n \"persp\";\n"
        "\trename -uid \"64EF2D57-4B2E-A4E4-8C5E-A0AA2C2B5C44\";\n"
        "createNode mesh -n \"pCubeShape1\" -p \"|group1|pCube1\";\n"
        "createNode transform -name \"ns:node\" -parent \"grp\" -shared -ss;\n"
        "createNode polyCube;\n"
        "rename \"old\" \"new\";\n"
        "rename -uuid \"X\";\n"
        "select -ne :time1;\n"
        "select -noExpand \":defaultRenderGlobals\";\n"
        "select -ne -add a b;\n");
    ASSERT_EQ(calls.size(), 10u);
    EXPECT_EQ(calls[0], "createNode transform n=persp p= s=1 ss=0");
    EXPECT_EQ(calls[1], "rename > uid=64EF2D57-4B2E-A4E4-8C5E-A0AA2C2B5C44");
    EXPECT_EQ(calls[2], "createNode mesh n=pCubeShape1 p=|group1|pCube1 s=0 ss=0");
    EXPECT_EQ(calls[3], "createNode transform n=ns:node p=grp s=1 ss=1");
    EXPECT_EQ(calls[4], "createNode polyCube n= p= s=0 ss=0");
    EXPECT_EQ(calls[5], "rename old>new uid=");
    EXPECT_EQ(calls[6], "rename > uid=X");
    EXPECT_EQ(calls[7], "select ne=1 add=0 :time1");
    EXPECT_EQ(calls[8], "select ne=1 add=0 :defaultRenderGlobals");
    EXPECT_EQ(calls[9], "select ne=1 add=1 a b");
}

TEST(MaStatements, AddAttrFlags) {
    const auto calls = callsOf(
        "addAttr -ci true -sn \"Normal\" -ln \"Normal\" -at \"compound\" -nc 3;\n"
        "addAttr -ci true -k true -sn \"RMNCFaxis\" -ln \"RMNCFaxis\" -dv 1 -min -2.5 -max 1e+20 -at \"float\";\n"
        "addAttr -ci true -h true -sn \"aal\" -ln \"attributeAliasList\" -dt \"attributeAlias\";\n"
        "addAttr -ci true -uac -sn \"col\" -ln \"color\" -at \"float3\" -p \"Normal\";\n"
        "addAttr -ci true -m -s false -sn \"e\" -ln \"choice\" -at \"enum\" -en \"a:b:c\" -dcb 2;\n"
        "addAttr -cachedInternally true -hidden true -shortName \"dss\" -longName \"defaultSurfaceShader\" -dataType \"string\";\n");
    ASSERT_EQ(calls.size(), 6u);
    EXPECT_EQ(calls[0], "addAttr ln=Normal sn=Normal at=compound p= m=0 h=0 k=0 uac=0 s=1 nc=3");
    EXPECT_EQ(calls[1], "addAttr ln=RMNCFaxis sn=RMNCFaxis at=float p= m=0 h=0 k=1 uac=0 s=1 dv=1 min=-2.5 "
                        "max=1e+20");
    EXPECT_EQ(calls[2], "addAttr ln=attributeAliasList sn=aal at= dt=attributeAlias p= m=0 h=1 k=0 uac=0 s=1");
    EXPECT_EQ(calls[3], "addAttr ln=color sn=col at=float3 p=Normal m=0 h=0 k=0 uac=1 s=1");
    EXPECT_EQ(calls[4], "addAttr ln=choice sn=e at=enum p= m=1 h=0 k=0 uac=0 s=0 en=a:b:c -dcb=2");
    EXPECT_EQ(calls[5], "addAttr ln=defaultSurfaceShader sn=dss at= dt=string p= m=0 h=1 k=0 uac=0 s=1");
}

TEST(MaStatements, ConnectionsParentingAndTheRest) {
    const auto calls = callsOf(
        "connectAttr \"polyCube1.out\" \"pCubeShape1.i\";\n"
        "connectAttr \"pCubeShape1.iog\" \":initialShadingGroup.dsm\" -na;\n"
        "connectAttr -f \"a.b\" \"c.d\";\n"
        "connectAttr \"x.y\" \"z.w\" -nextAvailable;\n"
        "disconnectAttr \"a.b\" \"c.d\";\n"
        "parent -s -nc -r -add \"|pCube1|pCubeShape1\" \"pCube2\";\n"
        "parent -w \"child\";\n"
        "parent a b grp;\n"
        "relationship \"link\" \":lightLinker1\" \":initialShadingGroup.message\" \":defaultLightSet.message\";\n"
        "lockNode -l 1 ;\n"
        "lockNode -l 0 -lu 1 \"n1\";\n"
        "dataStructure -fmt \"raw\" -as \"name=faceConnectMarkingData:string=value\";\n"
        "applyMetadata -fmt \"raw\" -v \"channel face\\n0 1\\nendChannels\" \"pCubeShape1\";\n");
    ASSERT_EQ(calls.size(), 13u);
    EXPECT_EQ(calls[12], "applyMetadata fmt=raw scn=0 v=channel face\n0 1\nendChannels pCubeShape1");
    EXPECT_EQ(calls[0], "connectAttr polyCube1.out pCubeShape1.i na=0 f=0");
    EXPECT_EQ(calls[1], "connectAttr pCubeShape1.iog :initialShadingGroup.dsm na=1 f=0");
    EXPECT_EQ(calls[2], "connectAttr a.b c.d na=0 f=1");
    EXPECT_EQ(calls[3], "connectAttr x.y z.w na=1 f=0");
    EXPECT_EQ(calls[4], "disconnectAttr a.b c.d na=0");
    EXPECT_EQ(calls[5], "parent |pCube1|pCubeShape1 to=pCube2 w=0 s=1 nc=1 r=1 add=1");
    EXPECT_EQ(calls[6], "parent child to= w=1 s=0 nc=0 r=0 add=0");
    EXPECT_EQ(calls[7], "parent a b to=grp w=0 s=0 nc=0 r=0 add=0");
    EXPECT_EQ(calls[8], "relationship link :lightLinker1 :initialShadingGroup.message :defaultLightSet.message");
    EXPECT_EQ(calls[9], "lockNode l=1 lu=-");
    EXPECT_EQ(calls[10], "lockNode l=0 lu=1 n1");
    EXPECT_EQ(calls[11], "dataStructure fmt=raw as=name=faceConnectMarkingData:string=value");
}

TEST(MaStatements, CommentsLinesAndLocations) {
    RecordingBuilder b;
    ReadResult r = read(
        "//Maya ASCII 2018 scene\n"
        "/* a block\n comment; with a semicolon */ createNode\n"
        "   transform // trailing; comment\n"
        "   -n \"a;b\";\n"
        "\n"
        "\tsetAttr \".t\" -type \"double3\" 1 2\n"
        "\t\t3 ;  connectAttr \"a.b\" \"c.d\";\n",
        b);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_TRUE(b.warnings.empty()) << b.warningText();
    ASSERT_EQ(b.calls.size(), 3u);
    EXPECT_EQ(b.calls[0], "createNode transform n=a;b p= s=0 ss=0");
    EXPECT_EQ(b.callLines[0], 3u);
    EXPECT_EQ(b.callLines[1], 7u);
    EXPECT_EQ(b.callLines[2], 8u);
    EXPECT_EQ(b.fileNames[0], "test.ma");
    EXPECT_EQ(r.statements, 3u);
}

TEST(MaStatements, StatementsAcrossChunkBoundaries) {
    const std::string text =
        "//Maya ASCII 2018 scene\n"
        "createNode transform -n \"pCube1\";/* c */\n"
        "\tsetAttr \".t\" -type \"double3\" 1.5 -2 3e+2 ;\n"
        "\tsetAttr \".s\" -type \"string\" \"quote \\\" and ; and \\\\\";\n"
        "// comment ; \"\n"
        "connectAttr \"a.b\" \"c.d\" -na;\n";
    RecordingBuilder whole;
    read(text, whole);
    ASSERT_EQ(whole.calls.size(), 4u);
    for (size_t chunk : {1u, 2u, 3u, 5u, 7u, 13u}) {
        RecordingBuilder b;
        ReadResult r = read(text, b, chunk);
        ASSERT_TRUE(r.ok()) << r.message;
        EXPECT_EQ(b.calls, whole.calls) << "chunk " << chunk;
        EXPECT_EQ(b.callLines, whole.callLines) << "chunk " << chunk;
        EXPECT_TRUE(b.warnings.empty()) << b.warningText();
        const auto* s = b.setAttrs.size() == 2 ? std::get_if<StringValue>(&b.setAttrs[1].value) : nullptr;
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->text, "quote \" and ; and \\");
    }
}
