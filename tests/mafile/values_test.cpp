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
    EXPECT_EQ(b.setAttrs.size(), 1u);
    return b;
}

}  // namespace

TEST(MaValues, FlagsOnlyAndUntypedNumbers) {
    {
        auto b = readOne("setAttr -k off -cb on -l on -av -s 3 -ch 12 \".v\";");
        const RecordedSetAttr& s = b.setAttrs.back();
        EXPECT_EQ(s.attribute, ".v");
        EXPECT_TRUE(std::holds_alternative<NoValue>(s.value));
        EXPECT_EQ(s.flags.keyable, false);
        EXPECT_EQ(s.flags.channelBox, true);
        EXPECT_EQ(s.flags.lock, true);
        EXPECT_TRUE(s.flags.alteredValue);
        EXPECT_EQ(s.flags.size, 3);
        EXPECT_EQ(s.flags.capacityHint, 12);
        EXPECT_FALSE(s.flags.caching.has_value());
    }
    {
        auto b = readOne("setAttr \".ed[0:2]\"  0 74 0 74 14 1\n\t\t 14 +75 -0;");
        const Numbers* n = b.lastValue<Numbers>();
        ASSERT_NE(n, nullptr);
        EXPECT_EQ(n->kind, NumberKind::Untyped);
        EXPECT_EQ(n->components, 1);
        EXPECT_EQ(n->values, (std::vector<double>{0, 74, 0, 74, 14, 1, 14, 75, 0}));
    }
    {
        auto b = readOne("setAttr \".vbc\" no;");
        ASSERT_NE(b.lastValue<Numbers>(), nullptr);
        EXPECT_EQ(b.lastValue<Numbers>()->values, std::vector<double>{0});
    }
    for (const char* word : {"yes", "on", "true"}) {
        auto b = readOne(std::string("setAttr \".x\" ") + word + ";");
        ASSERT_NE(b.lastValue<Numbers>(), nullptr) << word;
        EXPECT_EQ(b.lastValue<Numbers>()->values, std::vector<double>{1}) << word;
    }
}

TEST(MaValues, NumberSpellings) {
    auto b = readOne("setAttr \".a[0:8]\" 1e+20 -1.5E-3 .5 7. +2 inf -inf 1.#INF -1.#IND;");
    const Numbers* n = b.lastValue<Numbers>();
    ASSERT_NE(n, nullptr);
    ASSERT_EQ(n->values.size(), 9u);
    EXPECT_EQ(n->values[0], 1e20);
    EXPECT_DOUBLE_EQ(n->values[1], -1.5e-3);
    EXPECT_EQ(n->values[2], 0.5);
    EXPECT_EQ(n->values[3], 7.0);
    EXPECT_EQ(n->values[4], 2.0);
    EXPECT_TRUE(std::isinf(n->values[5]) && n->values[5] > 0);
    EXPECT_TRUE(std::isinf(n->values[6]) && n->values[6] < 0);
    EXPECT_TRUE(std::isinf(n->values[7]) && n->values[7] > 0);
    EXPECT_TRUE(std::isnan(n->values[8]));
}

TEST(MaValues, TypedTuplesKeepKindAndComponents) {
    struct Case { const char* type; NumberKind kind; int components; const char* values; size_t count; };
    const Case cases[] = {
        {"double3", NumberKind::Double, 3, "1 2 3", 3},
        {"float3", NumberKind::Float, 3, "1 2 3 4 5 6", 6},
        {"double2", NumberKind::Double, 2, "0.5 0.25", 2},
        {"float2", NumberKind::Float, 2, "0.375 0 0.375 1", 4},
        {"long2", NumberKind::Int, 2, "1000000 2000000", 2},
        {"short3", NumberKind::Int, 3, "1 2 3", 3},
        {"long3", NumberKind::Int, 3, "4 5 6", 3},
        {"double4", NumberKind::Double, 4, "1 0 0 1", 4},
    };
    for (const Case& c : cases) {
        auto b = readOne(std::string("setAttr \".x\" -type \"") + c.type + "\" " + c.values + ";");
        const Numbers* n = b.lastValue<Numbers>();
        ASSERT_NE(n, nullptr) << c.type;
        EXPECT_EQ(n->kind, c.kind) << c.type;
        EXPECT_EQ(n->components, c.components) << c.type;
        EXPECT_EQ(n->values.size(), c.count) << c.type;
        EXPECT_EQ(b.setAttrs.back().typeName, c.type);
    }
    auto b = readOne("setAttr -s 2 \".uvst[0].uvsp[0:1]\" -type \"float2\" 0.375 0 0.625 1;");
    EXPECT_EQ(b.setAttrs.back().attribute, ".uvst[0].uvsp[0:1]");
    EXPECT_EQ(b.lastValue<Numbers>()->elementCount(), 2u);
}

TEST(MaValues, Strings) {
    {
        auto b = readOne("setAttr \".ftn\" -type \"string\" \"C:/tex/a b.png\";");
        ASSERT_NE(b.lastValue<StringValue>(), nullptr);
        EXPECT_EQ(b.lastValue<StringValue>()->text, "C:/tex/a b.png");
    }
    {
        auto b = readOne("setAttr \".b\" -type \"string\" (\n\t\t\"line1\\n\\t\\\"q\\\"\"\n\t\t+ \"line2\\\\\" \n\t\t+ \"3\");");
        ASSERT_NE(b.lastValue<StringValue>(), nullptr);
        EXPECT_EQ(b.lastValue<StringValue>()->text, "line1\n\t\"q\"line2\\3");
    }
    {
        auto b = readOne("setAttr \".e\" -type \"string\" \"\";");
        ASSERT_NE(b.lastValue<StringValue>(), nullptr);
        EXPECT_EQ(b.lastValue<StringValue>()->text, "");
    }
    {
        auto b = readOne("setAttr \".sa\" -type \"stringArray\" 3 \"a\" \"\" \"c d\"  ;");
        ASSERT_NE(b.lastValue<StringArray>(), nullptr);
        EXPECT_EQ(b.lastValue<StringArray>()->items, (std::vector<std::string>{"a", "", "c d"}));
    }
    {
        auto b = readOne("setAttr \".ics\" -type \"componentList\" 2 \"f[0:3]\" \"vtx[7]\";");
        ASSERT_NE(b.lastValue<StringArray>(), nullptr);
        EXPECT_EQ(b.lastValue<StringArray>()->items, (std::vector<std::string>{"f[0:3]", "vtx[7]"}));
    }
    {
        auto b = readOne("setAttr \".aal\" -type \"attributeAlias\" {\"pCube2\",\"weight[0]\",\"b\"\n,\"weight[1]\"} ;");
        ASSERT_NE(b.lastValue<StringArray>(), nullptr);
        EXPECT_EQ(b.lastValue<StringArray>()->items,
                  (std::vector<std::string>{"pCube2", "weight[0]", "b", "weight[1]"}));
    }
}

TEST(MaValues, Matrices) {
    {
        auto b = readOne("setAttr \".wm\" -type \"matrix\" 1 0 0 0 0 1 0 0 0 0 1 0 5 6 7 1;");
        const MatrixValue* m = b.lastValue<MatrixValue>();
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->m[0], 1);
        EXPECT_EQ(m->m[12], 5);
        EXPECT_EQ(m->m[13], 6);
        EXPECT_EQ(m->m[14], 7);
        EXPECT_EQ(m->m[15], 1);
    }
    {
        auto b = readOne(
            "setAttr \".xm[0]\" -type \"matrix\" \"xform\" 2 3 4 0.1 0.2 0.3 5 -2 8 9 0.5 0.6 0.7\n"
            "\t\t 10 11 12 13 14 15 16 17 18 19 20 21 0 0 0.70710678118654757 0.70710678118654757\n"
            "\t\t 0 0.6 0 0.8 1 1 0.5 no;");
        const XformMatrix* x = b.lastValue<XformMatrix>();
        ASSERT_NE(x, nullptr);
        EXPECT_EQ(x->scale, (std::array<double, 3>{2, 3, 4}));
        EXPECT_EQ(x->rotate, (std::array<double, 3>{0.1, 0.2, 0.3}));
        EXPECT_EQ(x->rotateOrder, 5);
        EXPECT_EQ(x->translate, (std::array<double, 3>{-2, 8, 9}));
        EXPECT_EQ(x->shear, (std::array<double, 3>{0.5, 0.6, 0.7}));
        EXPECT_EQ(x->scalePivot, (std::array<double, 3>{10, 11, 12}));
        EXPECT_EQ(x->scalePivotTranslation, (std::array<double, 3>{13, 14, 15}));
        EXPECT_EQ(x->rotatePivot, (std::array<double, 3>{16, 17, 18}));
        EXPECT_EQ(x->rotatePivotTranslation, (std::array<double, 3>{19, 20, 21}));
        EXPECT_EQ(x->rotateOrientation, (std::array<double, 4>{0, 0, 0.70710678118654757, 0.70710678118654757}));
        EXPECT_EQ(x->jointOrient, (std::array<double, 4>{0, 0.6, 0, 0.8}));
        EXPECT_EQ(x->inverseParentScale, (std::array<double, 3>{1, 1, 0.5}));
        EXPECT_FALSE(x->compensateForParentScale);
    }
}

TEST(MaValues, CountedArrays) {
    {
        auto b = readOne("setAttr \".otfva\" -type \"Int32Array\" 5 0 1 1\n\t\t 1 -7 ;");
        const DoubleArray* a = b.lastValue<DoubleArray>();
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->kind, NumberKind::Int);
        EXPECT_EQ(a->values, (std::vector<double>{0, 1, 1, 1, -7}));
    }
    {
        auto b = readOne("setAttr \".d\" -type \"doubleArray\" 2 3.5 -1e-3;");
        const DoubleArray* a = b.lastValue<DoubleArray>();
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->kind, NumberKind::Double);
        EXPECT_EQ(a->values, (std::vector<double>{3.5, -1e-3}));
    }
    {
        auto b = readOne("setAttr \".f\" -type \"floatArray\" 0;");
        ASSERT_NE(b.lastValue<DoubleArray>(), nullptr);
        EXPECT_EQ(b.lastValue<DoubleArray>()->kind, NumberKind::Float);
        EXPECT_TRUE(b.lastValue<DoubleArray>()->values.empty());
    }
    {
        auto b = readOne("setAttr \".p\" -type \"pointArray\" 2 1 2 3 1 4 5 6 0.5 ;");
        const PointArray* p = b.lastValue<PointArray>();
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->components, 4);
        EXPECT_EQ(p->count(), 2u);
        EXPECT_EQ(p->values[7], 0.5);
    }
    {
        auto b = readOne("setAttr \".v\" -type \"vectorArray\" 1 1 2 3 ;");
        const PointArray* p = b.lastValue<PointArray>();
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->components, 3);
        EXPECT_EQ(p->count(), 1u);
    }
}

TEST(MaValues, PolyFacesWithHolesUvsAndColours) {
    auto b = readOne(
        "setAttr -s 3 -ch 11 \".fc[0:2]\" -type \"polyFaces\" \n"
        "\t\tf 4 0 5 -2 -5\n"
        "\t\tmu 0 4 0 1 3 2\n"
        "\t\tmu 1 4 9 8 7 6\n"
        "\t\tmc 0 4 0 1 2 3\n"
        "\t\tf 4 10 11 12 13\n"
        "\t\th 3 -15 -16 -17\n"
        "\t\tmu 0 4 4 5 6 7\n"
        "\t\tmu 0 3 8 9 10\n"
        "\t\tf 3 1 2 3\n"
        "\t\tmf 3 0 1 2\n"
        "\t\tfc 3 5 6 7 ;");
    const PolyFaces* pf = b.lastValue<PolyFaces>();
    ASSERT_NE(pf, nullptr);
    EXPECT_EQ(pf->faceCount(), 3u);
    EXPECT_EQ(pf->loopCount(), 4u);
    EXPECT_EQ(pf->faceLoopStart, (std::vector<uint32_t>{0, 1, 3, 4}));
    EXPECT_EQ(pf->loopStart, (std::vector<uint32_t>{0, 4, 8, 11, 14}));
    EXPECT_EQ(pf->edges, (std::vector<int32_t>{0, 5, -2, -5, 10, 11, 12, 13, -15, -16, -17, 1, 2, 3}));
    ASSERT_EQ(pf->uvLoops.size(), 5u);
    // face 0: set 0 and set 1 both on loop 0
    EXPECT_EQ(pf->uvLoops[0].loop, 0u);
    EXPECT_EQ(pf->uvLoops[0].set, 0);
    EXPECT_EQ(pf->uvLoops[1].loop, 0u);
    EXPECT_EQ(pf->uvLoops[1].set, 1);
    EXPECT_EQ(pf->uvIds[pf->uvLoops[1].start], 9);
    // face 1: outer loop then its hole, both in set 0
    EXPECT_EQ(pf->uvLoops[2].loop, 1u);
    EXPECT_EQ(pf->uvLoops[3].loop, 2u);
    EXPECT_EQ(pf->uvLoops[3].count, 3u);
    EXPECT_EQ(pf->uvIds[pf->uvLoops[3].start + 2], 10);
    // face 2: the old single-set form
    EXPECT_EQ(pf->uvLoops[4].loop, 3u);
    EXPECT_EQ(pf->uvLoops[4].set, 0);
    ASSERT_EQ(pf->colorLoops.size(), 2u);
    EXPECT_EQ(pf->colorLoops[0].loop, 0u);
    EXPECT_EQ(pf->colorLoops[1].loop, 3u);
    EXPECT_EQ(pf->colorIds[pf->colorLoops[1].start], 5);
    EXPECT_EQ(b.setAttrs.back().flags.size, 3);
}

TEST(MaValues, PolyFacesStorageIsReusedWithoutLeakingBetweenStatements) {
    RecordingBuilder b;
    read("createNode mesh;\n"
         "setAttr \".fc[0]\" -type \"polyFaces\" f 3 0 1 2 mu 0 3 0 1 2;\n"
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
    {
        auto b = readOne(
            "setAttr \".cc\" -type \"nurbsCurve\" \n"
            "\t\t3 5 0 no 3\n"
            "\t\t10 0 0 0 1 2 3 4 5 5 5\n"
            "\t\t8\n"
            "\t\t0 0 0 1 0 0 2 0 0 3 0 0 4 0 0 5 0 0 6 0 0 7 0 1.5\n\t\t;");
        const NurbsCurveData* c = b.lastValue<NurbsCurveData>();
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->degree, 3);
        EXPECT_EQ(c->spans, 5);
        EXPECT_EQ(c->form, 0);
        EXPECT_FALSE(c->rational);
        EXPECT_EQ(c->dimension, 3);
        EXPECT_EQ(c->knots.size(), 10u);
        EXPECT_EQ(c->cvCount(), 8u);
        EXPECT_EQ(c->cvs.back(), 1.5);
    }
    {
        auto b = readOne(
            "setAttr \".cc\" -type \"nurbsSurface\" \n"
            "\t\t1 1 0 0 no \n"
            "\t\t2 0.28431372549019612 0.71568627450980393\n"
            "\t\t2 0.38235294117647062 0.61764705882352944\n"
            "\t\t\n\t\t4\n"
            "\t\t-2 10 -10\n\t\t10 10 -10\n\t\t-2 10 12\n\t\t10 10 12\n\t\t\n\t\t;");
        const NurbsSurfaceData* s = b.lastValue<NurbsSurfaceData>();
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->uDegree, 1);
        EXPECT_EQ(s->vForm, 0);
        EXPECT_FALSE(s->trimmed.has_value());
        EXPECT_EQ(s->uKnots, (std::vector<double>{0.28431372549019612, 0.71568627450980393}));
        EXPECT_EQ(s->vKnots.size(), 2u);
        EXPECT_EQ(s->cvCount(), 4u);
        EXPECT_EQ(s->cvs[11], 12);
    }
    {
        auto b = readOne("setAttr \".cc\" -type \"nurbsSurface\" 1 1 0 0 yes TRIM 2 0 1 2 0 1 4 "
                         "0 0 0 1 1 0 0 1 0 1 0 1 1 1 0 0.5;");
        const NurbsSurfaceData* s = b.lastValue<NurbsSurfaceData>();
        ASSERT_NE(s, nullptr);
        EXPECT_TRUE(s->rational);
        EXPECT_EQ(s->trimmed, true);
        EXPECT_EQ(s->cvCount(), 4u);
        EXPECT_EQ(s->cvs.back(), 0.5);
    }
}

TEST(MaValues, TrimfaceComponentsAndUnknownTypes) {
    {
        auto b = readOne("setAttr \".tf[0]\" -type \"nurbsTrimface\" no 1\n\t\t0 8\n\t\t0 0 0 0 0 0 0 0 \n\t\t1\n"
                         "\t\t1 1 0 no 2\n\t\t2 -7 -6\n\t\t2\n\t\t0.5 0.25\n\t\t0.75 0.25\n\t\t;");
        const NurbsTrimface* t = b.lastValue<NurbsTrimface>();
        ASSERT_NE(t, nullptr);
        EXPECT_FALSE(t->flipNormal);
        EXPECT_EQ(t->boundaryCount, 1);
        ASSERT_EQ(t->numbers.size(), 2u + 8 + 1 + 5 + 3 + 1 + 4);
        EXPECT_EQ(t->numbers.back(), 0.25);
    }
    {
        // flip, one boundary of one edge: one world curve and two parameter curves.
        NurbsTrimface raw;
        raw.flipNormal = true;
        raw.boundaryCount = 1;
        raw.numbers = {0, 1, 7,
                       1, 1, 1, 0, 0, 3, 2, 0, 1, 2, 0, 0, 0, 1, 1, 1, 0.5, 1, -1,
                       2, 1, 1, 0, 0, 2, 2, 0, 1, 2, 0, 0, 1, 0, 1, 0.1,
                          1, 1, 0, 0, 2, 2, 0, 1, 2, 1, 0, 1, 1, 1, 0.2};
        TrimfaceData d;
        ASSERT_TRUE(decodeTrimface(raw, d));
        EXPECT_TRUE(d.flipNormal);
        ASSERT_EQ(d.boundaries.size(), 1u);
        EXPECT_EQ(d.boundaries[0].edgeValues, std::vector<double>{7});
        ASSERT_EQ(d.boundaries[0].edges.size(), 1u);
        const TrimEdge& e = d.boundaries[0].edges[0];
        ASSERT_EQ(e.worldCurves.size(), 1u);
        EXPECT_EQ(e.worldCurves[0].cvs, (std::vector<double>{0, 0, 0, 1, 1, 1}));
        EXPECT_EQ(e.worldCurveInfo[0], (std::array<double, 3>{0.5, 1, -1}));
        ASSERT_EQ(e.paramCurves.size(), 2u);
        EXPECT_EQ(e.paramCurves[1].cvs, (std::vector<double>{1, 0, 1, 1}));
        EXPECT_EQ(e.paramCurveInfo[1], (std::array<double, 2>{1, 0.2}));

        raw.numbers.push_back(4);   // a number left over
        EXPECT_FALSE(decodeTrimface(raw, d));
        raw.numbers.pop_back();
        raw.numbers.resize(raw.numbers.size() - 3);   // cut short
        EXPECT_FALSE(decodeTrimface(raw, d));
        raw.boundaryCount = 1000000;   // more than the numbers can hold
        EXPECT_FALSE(decodeTrimface(raw, d));
    }
    {
        auto b = readOne("setAttr \".pd[0]\" -type \"dataPolyComponent\" Index_Data UV 0 ;");
        const PolyComponentData* d = b.lastValue<PolyComponentData>();
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->dataKind, "Index_Data");
        EXPECT_EQ(d->component, "UV");
        EXPECT_TRUE(d->ids.empty());
    }
    {
        auto b = readOne("setAttr \".cd\" -type \"dataPolyComponent\" Index_Data Edge 2\n\t\t5 10\n\t\t9 0.5;");
        ASSERT_NE(b.lastValue<PolyComponentData>(), nullptr);
        EXPECT_EQ(b.lastValue<PolyComponentData>()->ids, (std::vector<int32_t>{5, 9}));
        EXPECT_EQ(b.lastValue<PolyComponentData>()->values, (std::vector<double>{10, 0.5}));
    }
    {
        auto b = readOne("setAttr \".ict\" -type \"componentList\" ;");
        ASSERT_NE(b.lastValue<StringArray>(), nullptr);
        EXPECT_TRUE(b.lastValue<StringArray>()->items.empty());
    }
    {
        auto b = readOne("setAttr \".ed\" -type \"dataReferenceEdits\" \n\t\t\"SimpleCube1RN\"\n\t\t\"SimpleCube1RN\" 0;");
        const RawData* r = b.lastValue<RawData>();
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(r->tokens, (std::vector<std::string>{"SimpleCube1RN", "SimpleCube1RN", "0"}));
        EXPECT_EQ(r->quoted, (std::vector<bool>{true, true, false}));
    }
}
