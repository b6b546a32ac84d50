// Primitives and document forms of the file writer: names, indentation,
// single values, arrays in text and binary form, limits and locale.

#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "WriterFixture.h"

using namespace sceneapitest;

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

std::string printfG(double v) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g", v);
    return buffer;
}

std::string printfFixed(double v) {
    std::string text(static_cast<std::size_t>(std::snprintf(nullptr, 0, "%16.16f", v)), '\0');
    std::snprintf(text.data(), text.size() + 1, "%16.16f", v);
    return text;
}

}  // namespace

// ---------------------------------------------------------------------------
// Names

TEST_F(WriterTest, NamesAreQuotedUnlessTheyHoldQuotesLineBreaksOrNonAscii) {
    const std::pair<const char*, const char*> names[] = {
        {"plain name", "\"plain name\""}, {"A\n", "xX410a"},        {"say \"hi\"", "xX7361792022686922"},
        {"cr\r", "xX63720d"},             {"caf\xc3\xa9", "xX636166c3a9"}, {"", "\"\""},
        {nullptr, "\"\""}};
    for (const auto& [name, written] : names) {
        const std::size_t before = out().size();
        writer().material(name);
        EXPECT_EQ(out().substr(before), std::string("material ") + written + "\n") << (name ? name : "(null)");
    }
}

// ---------------------------------------------------------------------------
// Indentation

TEST_F(WriterTest, IndentationIsOffByDefaultAndOnGivesOneSpacePerOpenBlockAndContinuedLine) {
    auto blocks = [this] {
        writer().beginGroup("a", true);
        writer().flags(1);
        writer().beginGroup("b", true);
        writer().text("x\ny\n");
        writer().endGroup();
        writer().endGroup();
    };
    blocks();
    writer().setFlags(1);
    blocks();
    EXPECT_EQ(out(), "\ngroup \"a\" {\nflags 1\n\ngroup \"b\" {\nx\ny\n}\n}\n"
                     "\ngroup \"a\" {\n flags 1\n\n group \"b\" {\n  x\n  y\n }\n}\n");
    // Every indented call starts with its indentation, even mid-line.
    const std::size_t before = out().size();
    writer().beginGroup("g", true);
    writer().beginMaterial("m", false);
    EXPECT_EQ(out().substr(before), "\ngroup \"g\" {\n \n #define  material \"m\" {\n");
}

// ---------------------------------------------------------------------------
// Single values (shader mode: quoted name, value, comma)

TEST_F(WriterTest, SingleValueForms) {
    const float f4[] = {1.5f, -2.0f, 0.25f, 1e-5f};
    const double d3[] = {0.5, 1e20, -3.0};
    const int i4[] = {1, -2, 3, 2147483647};
    const float f = 0.1f;
    const double d = 0.1;
    const int yes = 7, no = 0;
    const char* ref = "by ref";
    double m[16] = {};
    for (int i = 0; i < 16; ++i) m[i] = i;
    m[1] = 0.1;  // rounded to float first: still "%g" 0.1
    m[2] = 1.0 + 1e-9;  // collapses to 1 as a float
    expectParameters({
        {"f3", ParamType::Float3, f4, "1.5 -2 0.25"},
        {"f4", ParamType::Float4, f4, "1.5 -2 0.25 1e-05"},
        {"f4b", ParamType::Float4b, f4, "1.5 -2 0.25 1e-05"},
        {"f2", ParamType::Float2, f4, "1.5 -2"},
        {"f", ParamType::Float, &f, "0.1"},
        {"d", ParamType::Double, &d, "0.1000000000000000"},
        {"d3", ParamType::Double3, d3, "0.5 1e+20 -3"},
        {"i", ParamType::Int, i4 + 1, "-2"},
        {"i2", ParamType::Int2, i4, "1 -2"},
        {"i3", ParamType::Int3, i4, "1 -2 3"},
        {"i4", ParamType::Int4, i4, "1 -2 3 2147483647"},
        {"on", ParamType::Bool, &yes, "on"},
        {"off", ParamType::Bool, &no, "off"},
        {"s", ParamType::String, "text", "\"text\""},
        {"r", ParamType::StringRef, &ref, "\"by ref\""},
        {"m", ParamType::Matrix, m, "0 0.1 1 3 4 5 6 7 8 9 10 11 12 13 14 15"},
        // Unknown codes and null values write no value.
        {"u", 8, &yes, ""},
        {"u2", 0x4000, &yes, ""},
        {"n", ParamType::Float, nullptr, ""},
    });
}

// Doubles keep the fixed form at any size; floats that cannot be read back become -1.
TEST_F(WriterTest, LargeAndNonFiniteNumbers) {
    const double doubles[] = {1e38, 9.99e38, -1e39, 1e99, -2.5e300, std::numeric_limits<double>::infinity(),
                              std::nan("")};
    const float floats[] = {kNaN, kInf, -kInf, FLT_MAX, -FLT_MAX};
    std::string expected;
    for (double v : doubles) {
        writer().parameter("d", ParamType::Double, &v);
        expected += "\"d\" " + printfFixed(v) + ",\n";
    }
    for (float v : floats) writer().parameter("f", ParamType::Float, &v);
    EXPECT_EQ(out(), expected + "\"f\" -1,\n\"f\" -1,\n\"f\" -1,\n\"f\" 3.40282e+38,\n\"f\" -3.40282e+38,\n");
}

// ---------------------------------------------------------------------------
// Text arrays

TEST_F(WriterTest, LineBreaksOfIntAndStringArrays) {
    std::vector<int> values(9, 1);
    const ParamArray<int> array{values.data(), 9};
    writer().setFlags(1);
    writer().beginGeometry("g");
    writer().parameter("a", ParamType::IntArray, &array);
    EXPECT_EQ(out(), "geometry \"g\" {\n \"a\" [ 1,1,1,1,1,1,1,1,1 \n ] ,\n");
    const std::size_t before = out().size();
    const char* names[10] = {"a", "b", "c", "d", "e", "f", "g", "h", "i\"", "j"};
    const ParamArray<const char*> strings{names, 10};
    writer().parameter("s", ParamType::StringArray, &strings);
    writer().parameter("r", ParamType::StringRefArray, &strings);
    const std::string body = "[ \"a\",\"b\",\"c\",\"d\",\"e\",\"f\",\"g\",\"h\",xX6922, \n\"j\" ] ";
    EXPECT_EQ(out().substr(before), " \"s\" " + body + ",\n \"r\" " + body + ",\n");
}

TEST_F(WriterTest, TextArrayElementForms) {
    const float f3[] = {1, 2, 3, 4, 5, 6};
    const float f4[] = {1, 2, 3, 4};
    const double d3[] = {0.5, 1.5, 2.5};
    const int bools[] = {0, 5, -1};
    const int ints[] = {-7, 0, 2147483647};
    const ParamArray<float> float3{f3, 2};
    const ParamArray<float> float4{f4, 1};
    const ParamArray<double> double3{d3, 1};
    const ParamArray<int> boolArray{bools, 3};
    const ParamArray<int> intArray{ints, 3};
    const ParamArray<float> empty{nullptr, 0};
    const ParamArray<float> nullData{nullptr, 12};  // a count without data writes nothing inside
    expectParameters({
        {"a", ParamType::FloatArray, &empty, "[ ] "},
        {"n", ParamType::Float3Array, &nullData, "[ ] "},
        {"c", ParamType::Float3Array, &float3, "[ 1 2 3,4 5 6 ] "},
        {"q", ParamType::Float4Array, &float4, "[ 1 2 3 4 ] "},
        {"t", ParamType::Double3Array, &double3, "[ 0.5 1.5 2.5 ] "},
        {"b", ParamType::BoolArray, &boolArray, "[ 0,1,1 ] "},
        {"i", ParamType::IntArray, &intArray, "[ -7,0,2147483647 ] "},
        {"j", ParamType::IntAltArray, &intArray, "[ -7,0,2147483647 ] "},
        {"none", 0x8008, &intArray, ""},
    });
}

TEST_F(WriterTest, TextArraysReplaceUnreadableValuesButOnlyOutsideTheirOwnRange) {
    const float floats[] = {kNaN, kInf, 2.5f};
    const double doubles[] = {std::nan(""), 3.4028234663852886e38, 3.4e38, -1e39, 0.25};
    const ParamArray<float> floatArray{floats, 3};
    const ParamArray<double> doubleArray{doubles, 5};
    writer().parameter("f", ParamType::FloatArray, &floatArray);
    writer().parameter("d", ParamType::DoubleArray, &doubleArray);
    // The replacement takes the element's own form.
    const std::string minusOne = "-1.0000000000000000";
    EXPECT_EQ(out(), "\"f\" [ -1,-1,2.5 ] ,\n\"d\" [ " + minusOne + "," + minusOne + "," + printfFixed(3.4e38) + "," +
                         minusOne + ",0.2500000000000000 ] ,\n");
}

TEST_F(WriterTest, TextArrayNumbersMatchPrintf) {
    std::mt19937 random(12345);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> exponent(-40, 37);  // inside the float range: no -1 replacements
    std::vector<float> floats = {0.0f, -0.0f, 1e-5f, 1e-4f, 123456.0f, 1234567.0f, 999999.5f, FLT_MIN, 1e-45f};
    std::vector<double> doubles = {0.0, -0.0, 1e-17, 123456789.123456789, 5e-324, 1e38};
    for (int i = 0; i < 2000; ++i) {
        const double v = mantissa(random) * std::pow(10.0, exponent(random));
        floats.push_back(static_cast<float>(v));
        doubles.push_back(v);
    }
    const ParamArray<float> floatArray{floats.data(), static_cast<std::uint32_t>(floats.size())};
    const ParamArray<double> doubleArray{doubles.data(), static_cast<std::uint32_t>(doubles.size())};
    writer().parameter("f", ParamType::FloatArray, &floatArray);
    writer().parameter("d", ParamType::DoubleArray, &doubleArray);

    auto layout = [](const std::vector<std::string>& elements) {
        std::string text = "[ ";
        for (std::size_t i = 0; i < elements.size(); ++i) {
            text += elements[i] + (i + 1 == elements.size() ? " " : ",");
            if (i > 0 && i % 8 == 0) text += "\n";
        }
        return text + "] ";
    };
    std::vector<std::string> floatTexts, doubleTexts;
    for (float v : floats) floatTexts.push_back(printfG(v));
    for (double v : doubles) doubleTexts.push_back(printfFixed(v));
    EXPECT_EQ(out(), "\"f\" " + layout(floatTexts) + ",\n\"d\" " + layout(doubleTexts) + ",\n");
}

// ---------------------------------------------------------------------------
// Binary blocks

// Binary floats keep the values text arrays replace.
TEST_F(WriterTest, BinaryBlocksHoldMarkerCountAndRawValues) {
    useWriter(true);
    const float floats[] = {1.0f, kNaN, -kInf};
    const double doubles[] = {0.1, std::nan("")};
    const int ints[] = {-1, 0x12345678};
    const ParamArray<float> floatArray{floats, 3};
    const ParamArray<double> doubleArray{doubles, 2};
    const ParamArray<int> intArray{ints, 2};
    const ParamArray<float> empty{nullptr, 0};
    const float f4[] = {1, 2, 3, 4};
    const ParamArray<float> float4{f4, 1};
    const int bools[] = {1};
    const ParamArray<int> boolArray{bools, 1};
    expectParameters({
        {"f", ParamType::FloatArray, &floatArray, "[ " + blockHeader('f', 3) + littleEndian(floats, 3) + "] "},
        {"d", ParamType::DoubleArray, &doubleArray, "[ " + blockHeader('r', 2) + littleEndian(doubles, 2) + "] "},
        {"j", ParamType::IntAltArray, &intArray, "[ " + blockHeader('i', 2) + littleEndian(ints, 2) + "] "},
        // An empty array still has its block; the other array kinds stay text.
        {"e", ParamType::FloatArray, &empty, "[ " + blockHeader('f', 0) + "] "},
        {"q", ParamType::Float4Array, &float4, "[ 1 2 3 4 ] "},
        {"b", ParamType::BoolArray, &boolArray, "[ 1 ] "},
    });
    // setFlags turns binary arrays off (readable) and on again.
    const std::size_t before = out().size();
    writer().setFlags(1);
    writer().parameter("a", ParamType::FloatArray, &float4);
    writer().setFlags(0x400003);  // binary on, no indentation
    writer().parameter("b", ParamType::FloatArray, &float4);
    EXPECT_EQ(out().substr(before), "\"a\" [ 1 ] ,\n\"b\" [ " + blockHeader('f', 1) + littleEndian(f4, 1) + "] ,\n");
}

// ---------------------------------------------------------------------------
// Limits, null stream, locale

TEST_F(WriterTest, FormattedAndIndentedOutputIsCutAtTheBufferLimit) {
    const std::string big(orbScene_api_file::kBufferSize * 2, 'x');
    writer().text("%s", big.c_str());
    EXPECT_EQ(out().size(), orbScene_api_file::kBufferSize - 1);
    // Indentation added to short lines stays within the limit too.
    const std::string lines(orbScene_api_file::kBufferSize - 10, '\n');
    writer().setFlags(1);
    writer().beginGroup("g", true);
    const std::size_t before = out().size();
    writer().text("%s", lines.c_str());
    const std::string written = out().substr(before);
    EXPECT_EQ(written.size(), orbScene_api_file::kBufferSize - 1);
    EXPECT_EQ(written.substr(0, 4), " \n \n");
}

TEST(WriterNullStream, EveryOperationKeepsItsAnswerAndTheLocaleIsCMeanwhile) {
    orbScene_api_file writer(nullptr, true);
    EXPECT_EQ(driveEverySlot(writer), "0 0 0 1 1 1 1 1 1 0 1 1 1 1 1 1 1 1 1 1 1 0 1 1 1 10 10 0 0 1 ");
    // The numeric locale is C for the writer's lifetime and restored after.
    if (!std::setlocale(LC_NUMERIC, "C.UTF-8") && !std::setlocale(LC_NUMERIC, "C.utf8"))
        GTEST_SKIP() << "no second numeric locale on this host";
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    {
        orbScene_api_file writer(nullptr, true);
        EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    }
    EXPECT_EQ(before, std::setlocale(LC_NUMERIC, nullptr));
    std::setlocale(LC_NUMERIC, "C");
}
