// Each command of the .ma subset, as Maya writes it, reaches the builder with
// its arguments and its line.

#include <gtest/gtest.h>

#include "RecordingBuilder.h"

using namespace mayahost::scenefile;
using namespace mayahost::scenefile::test;

TEST(MaStatements, EachCommandWithItsFlags) {
    // One statement each, and the single call it must give.
    const std::pair<const char*, const char*> cases[] = {
        {"//Maya ASCII 2018 scene\n//Name: a.ma\nrequires maya \"2018\";", "requires maya 2018"},
        {"requires -nodeType \"gpuCache\" -dataType \"xgmData\" \"gpuCache\" \"1.0\";",
         "requires gpuCache 1.0 nt=gpuCache dt=xgmData"},
        {"currentUnit -l centimeter -a degree -t film;", "currentUnit l=centimeter a=degree t=film"},
        {"currentUnit -linear meter -angle radian -time ntsc;", "currentUnit l=meter a=radian t=ntsc"},
        {"fileInfo \"osv\" \"Microsoft Windows 8 Business Edition, 64-bit  (Build 9200)\\n\";",
         "fileInfo osv=Microsoft Windows 8 Business Edition, 64-bit  (Build 9200)\n"},
        {"file -rdi 1 -ns \"SimpleCube1\" -rfn \"SimpleCube1RN\" -op \"v=0;\" -typ \"mayaAscii\"\n\t\t \"/scenes/SimpleCube.ma\";",
         "file /scenes/SimpleCube.ma ns=SimpleCube1 rfn=SimpleCube1RN typ=mayaAscii op=v=0; r=0 dr=0 rdi=1"},
        {"file -r -ns \"SimpleCube1\" -dr 1 -rfn \"SimpleCube1RN\" -op \"v=0;\" -typ \"mayaAscii\" \"/scenes/SimpleCube.ma\";",
         "file /scenes/SimpleCube.ma ns=SimpleCube1 rfn=SimpleCube1RN typ=mayaAscii op=v=0; r=1 dr=1 rdi=-"},
        {"createNode transform -s -n \"persp\";", "createNode transform n=persp p= s=1 ss=0"},
        {"\trename -uid \"64EF2D57-4B2E-A4E4-8C5E-A0AA2C2B5C44\";", "rename > uid=64EF2D57-4B2E-A4E4-8C5E-A0AA2C2B5C44"},
        {"createNode mesh -n \"pCubeShape1\" -p \"|group1|pCube1\";", "createNode mesh n=pCubeShape1 p=|group1|pCube1 s=0 ss=0"},
        {"createNode transform -name \"ns:node\" -parent \"grp\" -shared -ss;", "createNode transform n=ns:node p=grp s=1 ss=1"},
        {"createNode polyCube;", "createNode polyCube n= p= s=0 ss=0"},
        {"rename \"old\" \"new\";", "rename old>new uid="},
        {"rename -uuid \"X\";", "rename > uid=X"},
        {"select -ne :time1;", "select ne=1 add=0 :time1"},
        {"select -noExpand \":defaultRenderGlobals\";", "select ne=1 add=0 :defaultRenderGlobals"},
        {"select -ne -add a b;", "select ne=1 add=1 a b"},
        {"addAttr -ci true -sn \"Normal\" -ln \"Normal\" -at \"compound\" -nc 3;",
         "addAttr ln=Normal sn=Normal at=compound p= m=0 h=0 k=0 uac=0 s=1 nc=3"},
        {"addAttr -ci true -k true -sn \"RMNCFaxis\" -ln \"RMNCFaxis\" -dv 1 -min -2.5 -max 1e+20 -at \"float\";",
         "addAttr ln=RMNCFaxis sn=RMNCFaxis at=float p= m=0 h=0 k=1 uac=0 s=1 dv=1 min=-2.5 max=1e+20"},
        {"addAttr -ci true -h true -sn \"aal\" -ln \"attributeAliasList\" -dt \"attributeAlias\";",
         "addAttr ln=attributeAliasList sn=aal at= dt=attributeAlias p= m=0 h=1 k=0 uac=0 s=1"},
        {"addAttr -ci true -uac -sn \"col\" -ln \"color\" -at \"float3\" -p \"Normal\";",
         "addAttr ln=color sn=col at=float3 p=Normal m=0 h=0 k=0 uac=1 s=1"},
        {"addAttr -ci true -m -s false -sn \"e\" -ln \"choice\" -at \"enum\" -en \"a:b:c\" -dcb 2;",
         "addAttr ln=choice sn=e at=enum p= m=1 h=0 k=0 uac=0 s=0 en=a:b:c -dcb=2"},
        {"addAttr -cachedInternally true -hidden true -shortName \"dss\" -longName \"defaultSurfaceShader\" -dataType \"string\";",
         "addAttr ln=defaultSurfaceShader sn=dss at= dt=string p= m=0 h=1 k=0 uac=0 s=1"},
        {"connectAttr \"polyCube1.out\" \"pCubeShape1.i\";", "connectAttr polyCube1.out pCubeShape1.i na=0 f=0"},
        {"connectAttr \"pCubeShape1.iog\" \":initialShadingGroup.dsm\" -na;",
         "connectAttr pCubeShape1.iog :initialShadingGroup.dsm na=1 f=0"},
        {"connectAttr -f \"a.b\" \"c.d\";", "connectAttr a.b c.d na=0 f=1"},
        {"connectAttr \"x.y\" \"z.w\" -nextAvailable;", "connectAttr x.y z.w na=1 f=0"},
        {"disconnectAttr \"a.b\" \"c.d\";", "disconnectAttr a.b c.d na=0"},
        {"parent -s -nc -r -add \"|pCube1|pCubeShape1\" \"pCube2\";", "parent |pCube1|pCubeShape1 to=pCube2 w=0 s=1 nc=1 r=1 add=1"},
        {"parent -w \"child\";", "parent child to= w=1 s=0 nc=0 r=0 add=0"},
        {"parent a b grp;", "parent a b to=grp w=0 s=0 nc=0 r=0 add=0"},
        {"relationship \"link\" \":lightLinker1\" \":initialShadingGroup.message\" \":defaultLightSet.message\";",
         "relationship link :lightLinker1 :initialShadingGroup.message :defaultLightSet.message"},
        {"lockNode -l 1 ;", "lockNode l=1 lu=-"},
        {"lockNode -l 0 -lu 1 \"n1\";", "lockNode l=0 lu=1 n1"},
        {"dataStructure -fmt \"raw\" -as \"name=faceConnectMarkingData:string=value\";",
         "dataStructure fmt=raw as=name=faceConnectMarkingData:string=value"},
        {"applyMetadata -fmt \"raw\" -v \"channel face\\n0 1\\nendChannels\" \"pCubeShape1\";",
         "applyMetadata fmt=raw scn=0 v=channel face\n0 1\nendChannels pCubeShape1"},
    };
    for (const auto& [text, call] : cases) {
        RecordingBuilder b;
        ReadResult r = read(text, b);
        EXPECT_TRUE(r.ok()) << r.message;
        EXPECT_TRUE(b.warnings.empty()) << text << "\n" << b.warningText();
        EXPECT_EQ(b.calls, std::vector<std::string>{call}) << text;
    }
}

TEST(MaStatements, CommentsLinesAndLocations) {
    RecordingBuilder b;
    ReadResult r = read("//Maya ASCII 2018 scene\n/* a block\n comment; with a semicolon */ createNode\n"
                        "   transform // trailing; comment\n   -n \"a;b\";\n\n"
                        "\tsetAttr \".t\" -type \"double3\" 1 2\n\t\t3 ;  connectAttr \"a.b\" \"c.d\";\n",
                        b);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_TRUE(b.warnings.empty()) << b.warningText();
    ASSERT_EQ(b.calls.size(), 3u);
    EXPECT_EQ(b.calls[0], "createNode transform n=a;b p= s=0 ss=0");
    EXPECT_EQ(b.callLines, (std::vector<uint32_t>{3, 7, 8}));
    EXPECT_EQ(b.fileNames[0], "test.ma");
    EXPECT_EQ(r.statements, 3u);
}

TEST(MaStatements, StatementsAcrossChunkBoundaries) {
    const std::string text =
        "//Maya ASCII 2018 scene\ncreateNode transform -n \"pCube1\";/* c */\n"
        "\tsetAttr \".t\" -type \"double3\" 1.5 -2 3e+2 ;\n"
        "\tsetAttr \".s\" -type \"string\" \"quote \\\" and ; and \\\\\";\n"
        "// comment ; \"\nconnectAttr \"a.b\" \"c.d\" -na;\n";
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
