// Value types of the API: MString, MStatus, arrays, MObject handles.
#include <maya/MDoubleArray.h>
#include <maya/MIntArray.h>
#include <maya/MObject.h>
#include <maya/MObjectArray.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

#include "base/ApiObject.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

TEST(MStringTest, SubstringEndIsInclusiveAndClipped) {
    MString s("pCubeShape1");
    for (const auto& [first, last, want] : {std::tuple{0, 4, "pCube"}, {5, 9, "Shape"}, {5, 100, "Shape1"}, {-3, 0, "p"},
                                            {4, 3, ""}})
        EXPECT_EQ(s.substring(first, last), MString(want)) << first << ":" << last;
    // the folder/extension split a caller does with rindex and substring
    MString path("C:/scenes/my.scene.v2.ma");
    EXPECT_EQ(path.substring(path.rindex('/') + 1, path.rindex('.') - 1), MString("my.scene.v2"));
    EXPECT_EQ(MString("noslash").rindex('/'), -1);
}

TEST(MStringTest, WideIndicesCountCharactersNotBytes) {
    MString s;
    ASSERT_TRUE(s.setUTF8("\xC3\xA9t\xC3\xA9Shape2"));  // "été" + "Shape2"
    EXPECT_EQ(std::tuple(s.length(), s.numChars()), std::tuple(11u, 9u));
    EXPECT_EQ(s.substringW(0, 2), MString("\xC3\xA9t\xC3\xA9"));
    EXPECT_EQ(s.substringW(8, 8), MString("2"));
    EXPECT_EQ((std::vector<int>{s.rindexW(MString("Shape")), s.indexW('t'), s.rindexW(MString("missing")),
                                MString("aShapeShape").rindexW(MString("Shape"))}),
              (std::vector<int>{3, 1, -1, 6}));
}

TEST(MStringTest, WideRoundTripAndInvalidUtf8) {
    const char* text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z";  // a é € 😀 z
    MString back;
    ASSERT_TRUE(back.setWChar(MString(text).asWChar()));
    EXPECT_EQ(back, MString(text));
    EXPECT_EQ(MString(L"C:\\x").asWChar()[2], L'\\');
    // Invalid bytes fail but are kept.
    MString s;
    EXPECT_FALSE(s.setUTF8("ab\xFF"));
    EXPECT_EQ(s.length(), 3u);
    EXPECT_FALSE(s.setUTF8("\xC3"));  // truncated sequence
}

TEST(MStringTest, SplitDropsEmptyPieces) {
    MStringArray parts;
    ASSERT_TRUE(MString("|group1|pCube1|pCubeShape1").split('|', parts));
    std::ostringstream os;
    os << parts;
    MString("a||b|").split('|', parts);
    os << parts;
    MString("").split('|', parts);
    os << parts;
    EXPECT_EQ(os.str(), "[group1,pCube1,pCubeShape1][a,b][]");
}

TEST(MStringTest, ConcatenationNumbersAndStream) {
    MString s = MString("a") + "b" + MString("c");
    s += 3;
    s += 0.5;
    EXPECT_EQ(s, MString("abc30.5"));
    EXPECT_EQ("x" + MString("y"), MString("xy"));
    std::ostringstream os;
    os << s;
    EXPECT_EQ(os.str(), "abc30.5");
    EXPECT_EQ(std::tuple(MString(" 42 ").isInt(), MString("4x").isInt(), MString("42").asInt()), std::tuple(true, false, 42));
    EXPECT_DOUBLE_EQ(MString("1.5e2").asDouble(), 150.0);
    EXPECT_EQ(MString("AbC").toLowerCase(), MString("abc"));
    EXPECT_EQ(MString("a.b.c").substitute(".", "::"), MString("a::b::c"));
}

TEST(MStatusTest, CodesTextsAndPerror) {
    MStatus ok;
    EXPECT_TRUE(ok && !ok.error());
    MStatus bad(MStatus::kInvalidParameter);
    EXPECT_TRUE(!bad && bad == MStatus::kInvalidParameter && bad.statusCode() == MStatus::kInvalidParameter);
    EXPECT_EQ(bad.errorString(), MString("(kInvalidParameter): Object is incompatible with this method"));

    MStatus why = MStatus::withReason(MStatus::kNotFound, "file not found: a.ma");
    EXPECT_EQ(why.errorString(), MString("(kNotFound): file not found: a.ma"));
    EXPECT_EQ(why, MStatus(MStatus::kNotFound));

    testing::internal::CaptureStderr();
    why.perror("could not open Maya file");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "could not open Maya file: (kNotFound): file not found: a.ma\n");
    why.clear();
    EXPECT_TRUE(why && why.reason().empty());
}

TEST(ArraysTest, IndexOperations) {
    MIntArray a;
    for (int v : {1, 3}) a.append(v);
    ASSERT_TRUE(a.insert(2, 1));
    EXPECT_FALSE(a.insert(9, 7));
    ASSERT_EQ(a.length(), 3u);
    EXPECT_EQ(a[1], 2);
    ASSERT_TRUE(a.remove(0));
    EXPECT_FALSE(a.remove(5));
    MDoubleArray d(3, 1.5);
    double raw[3] = {};
    d.get(raw);
    EXPECT_EQ(raw[2], 1.5);
    MStringArray s;
    s.append("x");
    std::ostringstream os;
    os << a << s;
    EXPECT_EQ(os.str(), "[2,3][x]");
}

namespace {
struct FakeShape : mayahost::ApiObject {
    MFn::Type apiType() const override { return MFn::kMesh; }
    bool hasFn(MFn::Type t) const override { return t == MFn::kShape || ApiObject::hasFn(t); }
};
}  // namespace

TEST(MObjectTest, HandlesShareIdentityAndType) {
    MObject null;
    EXPECT_TRUE(null.isNull() && null == MObject::kNullObj);
    EXPECT_EQ(std::pair(null.apiType(), null.hasFn(MFn::kBase)), std::pair(MFn::kInvalid, false));

    MObject a(std::make_shared<FakeShape>());
    MObject b = a;
    MObject c(std::make_shared<FakeShape>());
    EXPECT_TRUE(a == b && a != c);
    EXPECT_EQ(std::tuple(a.hasFn(MFn::kShape), a.hasFn(MFn::kBase), a.hasFn(MFn::kTransform)), std::tuple(true, true, false));
    EXPECT_STREQ(a.apiTypeStr(), "kMesh");
    EXPECT_NE(mayahost::objectAs<FakeShape>(a), nullptr);

    MObjectArray arr(2);
    EXPECT_TRUE(arr[1].isNull());
}

TEST(MFnTest, FixedCodesAndDistinctNames) {
    EXPECT_EQ((std::vector<int>{MFn::kCamera, MFn::kNurbsCurve, MFn::kNurbsSurface, MFn::kMesh, MFn::kLambert,
                                MFn::kFileTexture, MFn::kMeshPolygonComponent, MFn::kDisplayLayer}),
              (std::vector<int>{249, 266, 293, 295, 362, 488, 540, 718}));
    std::set<std::string> names;
    for (int t = 0; t <= MFn::kLast; ++t) {
        std::string n = mayahost::apiTypeName(static_cast<MFn::Type>(t));
        if (n != "kInvalid") { EXPECT_TRUE(names.insert(n).second) << n; }
    }
    EXPECT_GT(names.size(), 200u);
}
