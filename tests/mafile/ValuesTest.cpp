// The value forms of setAttr: numbers, strings, matrices, arrays, meshes,
// NURBS and the kept-as-is forms.

#include <gtest/gtest.h>

#include <cmath>

#include "RecordingBuilder.h"

using namespace mayahost::scenefile;
using namespace mayahost::scenefile::test;

namespace {

// Reads one statement (after a createNode) and returns the recorder.
RecordingBuilder readOne(std::string_view statement) {
    RecordingBuilder b;
    std::string text = "createNode mesh -n \"m\";\n";
    text += statement;
    ReadResult r = read(text, b);
    EXPECT_TRUE(r.ok()) << r.message;
    EXPECT_TRUE(b.warnings.empty()) << b.warningText();
    EXPECT_EQ(b.setAttrs.size(), 1u) << statement;
    return b;
}

// The value of one statement as T; a failure and an empty T if it is another form.
template <typename T>
T valueOf(std::string_view statement) {
    const RecordingBuilder b = readOne(statement);
    const T* v = b.lastValue<T>();
    EXPECT_NE(v, nullptr) << statement;
    return v ? *v : T{};
}

template <typename... A>
std::vector<double> flat(const A&... arrays) {
    std::vector<double> out;
    (out.insert(out.end(), arrays.begin(), arrays.end()), ...);
    return out;
}

}  // namespace

TEST(MaValues, FlagsOnlyAndUntypedNumbers) {
    auto b = readOne("setAttr -k off -cb on -l on -av -s 3 -ch 12 \".v\";");
    const RecordedSetAttr& s = b.setAttrs.back();
    EXPECT_EQ(s.attribute, ".v");
    EXPECT_TRUE(std::holds_alternative<NoValue>(s.value));
    // keyable, channel box, lock, caching; altered; size and capacity.
    const SetAttr& f = s.flags;
    EXPECT_EQ(opt(f.keyable) + opt(f.channelBox) + opt(f.lock) + opt(f.caching), "011-");
    EXPECT_TRUE(f.alteredValue);
    EXPECT_EQ(std::tuple(f.size, f.capacityHint), std::tuple(std::optional<int64_t>(3), std::optional<int64_t>(12)));

    const Numbers n = valueOf<Numbers>("setAttr \".ed[0:2]\"  0 74 0 74 14 1\n\t\t 14 +75 -0;");
    EXPECT_EQ(std::tuple(n.kind, n.components), std::tuple(NumberKind::Untyped, 1));
    EXPECT_EQ(n.values, (std::vector<double>{0, 74, 0, 74, 14, 1, 14, 75, 0}));
    for (const auto& [word, value] : {std::pair{"no", 0.0}, {"yes", 1.0}, {"on", 1.0}, {"true", 1.0}})
        EXPECT_EQ(valueOf<Numbers>(std::string("setAttr \".x\" ") + word + ";").values, std::vector<double>{value}) << word;
    // Infinities and the NaN another writer spells -1.#IND.
    const auto v = valueOf<Numbers>("setAttr \".a[0:3]\" inf -inf 1.#INF -1.#IND;").values;
    ASSERT_EQ(v.size(), 4u);
    EXPECT_TRUE(std::isinf(v[0]) && v[0] > 0 && std::isinf(v[1]) && v[1] < 0 && std::isinf(v[2]) && v[2] > 0);
    EXPECT_TRUE(std::isnan(v[3]));
}

TEST(MaValues, TypedTuplesKeepKindAndComponents) {
    struct Case { const char* type; NumberKind kind; int components; const char* values; size_t count; };
    const Case cases[] = {
        {"double3", NumberKind::Double, 3, "1 2 3", 3}, {"float3", NumberKind::Float, 3, "1 2 3 4 5 6", 6},
        {"double2", NumberKind::Double, 2, "0.5 0.25", 2}, {"float2", NumberKind::Float, 2, "0.375 0 0.375 1", 4},
        {"long2", NumberKind::Int, 2, "1000000 2000000", 2}, {"short3", NumberKind::Int, 3, "1 2 3", 3},
        {"long3", NumberKind::Int, 3, "4 5 6", 3}, {"double4", NumberKind::Double, 4, "1 0 0 1", 4},
    };
    for (const Case& c : cases) {
        auto b = readOne(std::string("setAttr \".x\" -type \"") + c.type + "\" " + c.values + ";");
        const Numbers* n = b.lastValue<Numbers>();
        ASSERT_NE(n, nullptr) << c.type;
        EXPECT_EQ(std::tuple(n->kind, n->components, n->values.size()), std::tuple(c.kind, c.components, c.count)) << c.type;
        EXPECT_EQ(b.setAttrs.back().typeName, c.type);
    }
    auto b = readOne("setAttr -s 2 \".uvst[0].uvsp[0:1]\" -type \"float2\" 0.375 0 0.625 1;");
    EXPECT_EQ(b.setAttrs.back().attribute, ".uvst[0].uvsp[0:1]");
    EXPECT_EQ(b.lastValue<Numbers>()->elementCount(), 2u);
}

TEST(MaValues, Strings) {
    EXPECT_EQ(valueOf<StringValue>("setAttr \".ftn\" -type \"string\" \"C:/tex/a b.png\";").text, "C:/tex/a b.png");
    EXPECT_EQ(valueOf<StringValue>("setAttr \".b\" -type \"string\" (\n\t\t\"line1\\n\\t\\\"q\\\"\"\n\t\t+ "
                                   "\"line2\\\\\" \n\t\t+ \"3\");").text,
              "line1\n\t\"q\"line2\\3");
    EXPECT_EQ(valueOf<StringValue>("setAttr \".e\" -type \"string\" \"\";").text, "");
    using Items = std::vector<std::string>;
    EXPECT_EQ(valueOf<StringArray>("setAttr \".sa\" -type \"stringArray\" 3 \"a\" \"\" \"c d\"  ;").items,
              (Items{"a", "", "c d"}));
    EXPECT_EQ(valueOf<StringArray>("setAttr \".ics\" -type \"componentList\" 2 \"f[0:3]\" \"vtx[7]\";").items,
              (Items{"f[0:3]", "vtx[7]"}));
    EXPECT_EQ(valueOf<StringArray>("setAttr \".aal\" -type \"attributeAlias\" {\"pCube2\",\"weight[0]\",\"b\"\n,"
                                   "\"weight[1]\"} ;").items,
              (Items{"pCube2", "weight[0]", "b", "weight[1]"}));
    EXPECT_TRUE(valueOf<StringArray>("setAttr \".ict\" -type \"componentList\" ;").items.empty());
}

TEST(MaValues, Matrices) {
    const MatrixValue m = valueOf<MatrixValue>("setAttr \".wm\" -type \"matrix\" 1 0 0 0 0 1 0 0 0 0 1 0 5 6 7 1;");
    EXPECT_EQ(flat(m.m), (std::vector<double>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 5, 6, 7, 1}));
    const XformMatrix x = valueOf<XformMatrix>(
        "setAttr \".xm[0]\" -type \"matrix\" \"xform\" 2 3 4 0.1 0.2 0.3 5 -2 8 9 0.5 0.6 0.7\n"
        "\t\t 10 11 12 13 14 15 16 17 18 19 20 21 0 0 0.70710678118654757 0.70710678118654757\n"
        "\t\t 0 0.6 0 0.8 1 1 0.5 no;");
    EXPECT_EQ(flat(x.scale, x.rotate), (std::vector<double>{2, 3, 4, 0.1, 0.2, 0.3}));
    EXPECT_EQ(x.rotateOrder, 5);
    EXPECT_EQ(flat(x.translate, x.shear, x.scalePivot, x.scalePivotTranslation, x.rotatePivot,
                   x.rotatePivotTranslation, x.rotateOrientation, x.jointOrient, x.inverseParentScale),
              (std::vector<double>{-2, 8, 9, 0.5, 0.6, 0.7, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 0, 0,
                                   0.70710678118654757, 0.70710678118654757, 0, 0.6, 0, 0.8, 1, 1, 0.5}));
    EXPECT_FALSE(x.compensateForParentScale);
}

TEST(MaValues, CountedArrays) {
    struct Case { const char* statement; NumberKind kind; std::vector<double> values; };
    for (const Case& c : {Case{"setAttr \".otfva\" -type \"Int32Array\" 5 0 1 1\n\t\t 1 -7 ;", NumberKind::Int, {0, 1, 1, 1, -7}},
                          Case{"setAttr \".d\" -type \"doubleArray\" 2 3.5 -1e-3;", NumberKind::Double, {3.5, -1e-3}},
                          Case{"setAttr \".f\" -type \"floatArray\" 0;", NumberKind::Float, {}}}) {
        const DoubleArray a = valueOf<DoubleArray>(c.statement);
        EXPECT_EQ(std::tuple(a.kind, a.values), std::tuple(c.kind, c.values)) << c.statement;
    }
    const PointArray p = valueOf<PointArray>("setAttr \".p\" -type \"pointArray\" 2 1 2 3 1 4 5 6 0.5 ;");
    EXPECT_EQ(std::tuple(p.components, p.count(), p.values[7]), std::tuple(4, size_t(2), 0.5));
    const PointArray v = valueOf<PointArray>("setAttr \".v\" -type \"vectorArray\" 1 1 2 3 ;");
    EXPECT_EQ(std::tuple(v.components, v.count()), std::tuple(3, size_t(1)));
}

TEST(MaValues, PolyFacesWithHolesUvsAndColours) {
    auto b = readOne("setAttr -s 3 -ch 11 \".fc[0:2]\" -type \"polyFaces\" \n"
                     "\t\tf 4 0 5 -2 -5\n\t\tmu 0 4 0 1 3 2\n\t\tmu 1 4 9 8 7 6\n\t\tmc 0 4 0 1 2 3\n"
                     "\t\tf 4 10 11 12 13\n\t\th 3 -15 -16 -17\n\t\tmu 0 4 4 5 6 7\n\t\tmu 0 3 8 9 10\n"
                     "\t\tf 3 1 2 3\n\t\tmf 3 0 1 2\n\t\tfc 3 5 6 7 ;");
    const PolyFaces* pf = b.lastValue<PolyFaces>();
    ASSERT_NE(pf, nullptr);
    EXPECT_EQ(std::tuple(pf->faceCount(), pf->loopCount()), std::tuple(size_t(3), size_t(4)));
    EXPECT_EQ(pf->faceLoopStart, (std::vector<uint32_t>{0, 1, 3, 4}));
    EXPECT_EQ(pf->loopStart, (std::vector<uint32_t>{0, 4, 8, 11, 14}));
    EXPECT_EQ(pf->edges, (std::vector<int32_t>{0, 5, -2, -5, 10, 11, 12, 13, -15, -16, -17, 1, 2, 3}));
    // (loop, set, count) of each uv run: face 0 in sets 0 and 1, face 1's outer
    // loop then its hole, face 2 in the old single-set form.
    std::vector<std::array<int64_t, 3>> uvRuns, colorRuns;
    for (const auto& r : pf->uvLoops) uvRuns.push_back({r.loop, r.set, r.count});
    for (const auto& r : pf->colorLoops) colorRuns.push_back({r.loop, r.set, r.count});
    EXPECT_EQ(uvRuns, (std::vector<std::array<int64_t, 3>>{{0, 0, 4}, {0, 1, 4}, {1, 0, 4}, {2, 0, 3}, {3, 0, 3}}));
    EXPECT_EQ(colorRuns, (std::vector<std::array<int64_t, 3>>{{0, 0, 4}, {3, 0, 3}}));
    ASSERT_EQ(pf->uvLoops.size(), 5u);
    EXPECT_EQ(pf->uvIds[pf->uvLoops[1].start], 9);
    EXPECT_EQ(pf->uvIds[pf->uvLoops[3].start + 2], 10);
    EXPECT_EQ(pf->colorIds[pf->colorLoops[1].start], 5);
    EXPECT_EQ(b.setAttrs.back().flags.size, 3);
}

TEST(MaValues, PolyFacesStorageIsReusedWithoutLeakingBetweenStatements) {
    RecordingBuilder b;
    read("createNode mesh;\nsetAttr \".fc[0]\" -type \"polyFaces\" f 3 0 1 2 mu 0 3 0 1 2;\n"
         "setAttr \".fc[1]\" -type \"polyFaces\" f 4 3 4 5 6;\n",
         b);
    ASSERT_EQ(b.setAttrs.size(), 2u);
    const PolyFaces* second = std::get_if<PolyFaces>(&b.setAttrs[1].value);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->edges, (std::vector<int32_t>{3, 4, 5, 6}));
    EXPECT_TRUE(second->uvLoops.empty());
    EXPECT_TRUE(second->uvIds.empty());
}

TEST(MaValues, NurbsCurveAndSurface) {
    const NurbsCurveData c = valueOf<NurbsCurveData>(
        "setAttr \".cc\" -type \"nurbsCurve\" \n\t\t3 5 0 no 3\n\t\t10 0 0 0 1 2 3 4 5 5 5\n\t\t8\n"
        "\t\t0 0 0 1 0 0 2 0 0 3 0 0 4 0 0 5 0 0 6 0 0 7 0 1.5\n\t\t;");
    EXPECT_EQ((std::vector<int>{c.degree, c.spans, c.form, c.rational, c.dimension}), (std::vector<int>{3, 5, 0, 0, 3}));
    EXPECT_EQ(std::tuple(c.knots.size(), c.cvCount(), c.cvs.back()), std::tuple(size_t(10), size_t(8), 1.5));
    const NurbsSurfaceData s = valueOf<NurbsSurfaceData>(
        "setAttr \".cc\" -type \"nurbsSurface\" \n\t\t1 1 0 0 no \n\t\t2 0.28431372549019612 0.71568627450980393\n"
        "\t\t2 0.38235294117647062 0.61764705882352944\n\t\t\n\t\t4\n"
        "\t\t-2 10 -10\n\t\t10 10 -10\n\t\t-2 10 12\n\t\t10 10 12\n\t\t\n\t\t;");
    EXPECT_EQ(std::tuple(s.uDegree, s.vForm), std::tuple(1, 0));
    EXPECT_FALSE(s.trimmed.has_value());
    EXPECT_EQ(s.uKnots, (std::vector<double>{0.28431372549019612, 0.71568627450980393}));
    EXPECT_EQ(std::tuple(s.vKnots.size(), s.cvCount(), s.cvs[11]), std::tuple(size_t(2), size_t(4), 12.0));
    const NurbsSurfaceData t = valueOf<NurbsSurfaceData>(
        "setAttr \".cc\" -type \"nurbsSurface\" 1 1 0 0 yes TRIM 2 0 1 2 0 1 4 0 0 0 1 1 0 0 1 0 1 0 1 1 1 0 0.5;");
    EXPECT_TRUE(t.rational && t.trimmed == true);
    EXPECT_EQ(std::tuple(t.cvCount(), t.cvs.back()), std::tuple(size_t(4), 0.5));
}

TEST(MaValues, TrimfaceComponentsAndUnknownTypes) {
    const NurbsTrimface t = valueOf<NurbsTrimface>(
        "setAttr \".tf[0]\" -type \"nurbsTrimface\" no 1\n\t\t0 8\n\t\t0 0 0 0 0 0 0 0 \n\t\t1\n"
        "\t\t1 1 0 no 2\n\t\t2 -7 -6\n\t\t2\n\t\t0.5 0.25\n\t\t0.75 0.25\n\t\t1 0.001;");
    EXPECT_EQ(std::tuple(t.flipNormal, t.boundaryCount), std::tuple(false, 1));
    ASSERT_EQ(t.numbers.size(), 2u + 8 + 1 + 5 + 3 + 1 + 4 + 2);
    EXPECT_EQ(t.numbers.back(), 0.001);

    // flip, one boundary of two edges: one world curve and two parameter
    // curves, then no world curve (its three numbers still there) and one.
    NurbsTrimface raw;
    raw.flipNormal = true, raw.boundaryCount = 1;
    raw.numbers = {0, 2, 7, 8, 1, 1, 1, 0, 0, 3, 2, 0, 1, 2, 0, 0, 0, 1, 1, 1, 0.5, 1, -1,
                   2, 1, 1, 0, 0, 2, 2, 0, 1, 2, 0, 0, 1, 0, 1, 1, 0, 0, 2, 2, 0, 1, 2, 1, 0, 1, 1, 1, 0.2,
                   0, 0.3, 1, -1, 1, 1, 1, 0, 0, 2, 2, 0, 1, 2, 0, 0, 1, 1, 1, 0.4};
    TrimfaceData d;
    ASSERT_TRUE(decodeTrimface(raw, d));
    EXPECT_TRUE(d.flipNormal);
    ASSERT_EQ(std::pair(d.boundaries.size(), d.boundaries.empty() ? 0 : d.boundaries[0].edges.size()), (std::pair<std::size_t, std::size_t>(1, 2)));
    EXPECT_EQ(d.boundaries[0].edgeValues, (std::vector<double>{7, 8}));
    const TrimEdge& e = d.boundaries[0].edges[0];
    ASSERT_EQ(std::pair(e.worldCurves.size(), e.paramCurves.size()), (std::pair<std::size_t, std::size_t>(1, 2)));
    EXPECT_EQ(e.worldCurves[0].cvs, (std::vector<double>{0, 0, 0, 1, 1, 1}));
    EXPECT_EQ(e.worldCurveInfo, (std::array<double, 3>{0.5, 1, -1}));
    EXPECT_EQ(e.paramCurves[1].cvs, (std::vector<double>{1, 0, 1, 1}));
    EXPECT_EQ(e.paramCurveInfo, (std::array<double, 2>{1, 0.2}));
    const TrimEdge& second = d.boundaries[0].edges[1];
    EXPECT_EQ(std::pair(second.worldCurves.size(), second.paramCurves.size()), (std::pair<std::size_t, std::size_t>(0, 1)));
    EXPECT_EQ(std::pair(second.worldCurveInfo[0], second.paramCurveInfo[1]), std::pair(0.3, 0.4));
    raw.numbers.push_back(4);   // a number left over
    EXPECT_FALSE(decodeTrimface(raw, d));
    raw.numbers.resize(raw.numbers.size() - 4);   // cut short
    EXPECT_FALSE(decodeTrimface(raw, d));
    raw.boundaryCount = 1000000;   // more than the numbers can hold
    EXPECT_FALSE(decodeTrimface(raw, d));

    const PolyComponentData none = valueOf<PolyComponentData>("setAttr \".pd[0]\" -type \"dataPolyComponent\" Index_Data UV 0 ;");
    EXPECT_EQ(std::tuple(none.dataKind, none.component), std::tuple(std::string("Index_Data"), std::string("UV")));
    EXPECT_TRUE(none.ids.empty());
    const PolyComponentData two = valueOf<PolyComponentData>(
        "setAttr \".cd\" -type \"dataPolyComponent\" Index_Data Edge 2\n\t\t5 10\n\t\t9 0.5;");
    EXPECT_EQ(two.ids, (std::vector<int32_t>{5, 9}));
    EXPECT_EQ(two.values, (std::vector<double>{10, 0.5}));
    const RawData r = valueOf<RawData>("setAttr \".ed\" -type \"dataReferenceEdits\" \n\t\t\"SimpleCube1RN\"\n\t\t\"SimpleCube1RN\" 0;");
    EXPECT_EQ(r.tokens, (std::vector<std::string>{"SimpleCube1RN", "SimpleCube1RN", "0"}));
    EXPECT_EQ(r.quoted, (std::vector<bool>{true, true, false}));
}

// Each command of the .ma subset, as Maya writes it, reaches the builder with
// its arguments and its line.
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
