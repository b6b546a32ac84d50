// Bad input: files that cannot be read, and statements that are skipped with
// a warning naming the right line while reading goes on.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "RecordingBuilder.h"

using namespace mayahost::scenefile;
using namespace mayahost::scenefile::test;

namespace {

std::filesystem::path writeTemp(const std::string& name, std::string_view bytes) {
    const auto path = std::filesystem::temp_directory_path() / ("mafile_test_" + name);
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    return path;
}

// The one warning of a read, or a failure naming all of them.
const RecordedWarning& onlyWarning(const RecordingBuilder& b) {
    EXPECT_EQ(b.warnings.size(), 1u) << b.warningText();
    static const RecordedWarning none{};
    return b.warnings.empty() ? none : b.warnings.front();
}

bool contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

}  // namespace

TEST(MaFileErrors, UnreadableFilesFailWithATypedErrorNamingTheFile) {
    RecordingBuilder b;
    ReadResult r = readMaFile("/nonexistent/dir/scene.ma", b);
    EXPECT_EQ(r.error, ReadError::FileNotFound);
    EXPECT_TRUE(contains(r.message, "/nonexistent/dir/scene.ma") && contains(r.message, "not found")) << r.message;

    r = readMaFile(std::filesystem::temp_directory_path().string(), b);
    EXPECT_EQ(r.error, ReadError::Unreadable);

    std::string garbage(5000, '\0');
    for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = char((i * 7919) & 0xff);
    for (const auto& [name, bytes, error] :
         {std::tuple{"empty.ma", std::string(), ReadError::Empty},
          {"blank.ma", "  \n\t\n// only a comment\n/* and another */\n", ReadError::Empty},
          {"garbage.ma", garbage, ReadError::NotMayaAscii},
          {"prose.ma", "Dear diary; today I wrote no scene.\n", ReadError::NotMayaAscii}})
        EXPECT_EQ(readMaFile(writeTemp(name, bytes).string(), b).error, error) << name;
    const std::string mb("FOR4\0\0\0\x20" "Maya" "FOR4\0\0\0\x10HEAD", 24);
    const auto mbPath = writeTemp("binary.mb", mb);
    r = readMaFile(mbPath.string(), b);
    EXPECT_EQ(r.error, ReadError::MayaBinary);
    EXPECT_TRUE(contains(r.message, "Maya Binary") && contains(r.message, mbPath.string())) << r.message;
    EXPECT_TRUE(b.calls.empty() && b.warnings.empty());
}

TEST(MaFileErrors, HeaderlessSceneAndHeaderOnlySceneAreAccepted) {
    RecordingBuilder b;
    EXPECT_TRUE(read("\xEF\xBB\xBF" "createNode transform -n \"a\";", b).ok());
    EXPECT_EQ(b.calls.size(), 1u);
    RecordingBuilder h;
    ReadResult r = read("//Maya ASCII 2020 scene\n//Name: empty.ma\n// End of empty.ma\n", h);
    EXPECT_TRUE(r.ok()) << r.message;
    EXPECT_TRUE(h.calls.empty());
}

TEST(MaMalformed, TruncatedFileKeepsWhatCameBeforeAndWarnsAtTheCutStatement) {
    const char* cuts[] = {
        "createNode transform -n \"a\";\nsetAttr \".t\" -type \"double3\" 1 2",   // no ';'
        "createNode transform -n \"a\";\nsetAttr \".nm\" -type \"string\" \"abc",  // inside a string
    };
    for (const char* text : cuts) {
        RecordingBuilder b;
        ReadResult r = read(text, b);
        ASSERT_TRUE(r.ok()) << r.message;
        ASSERT_EQ(b.calls.size(), 1u) << text;
        EXPECT_EQ(onlyWarning(b).line, 2u) << text;
        EXPECT_TRUE(contains(onlyWarning(b).message, "file ends")) << onlyWarning(b).message;
    }
    RecordingBuilder c;
    read("createNode transform;\n/* never closed\n", c);
    EXPECT_EQ(c.calls.size(), 1u);
    EXPECT_EQ(onlyWarning(c).line, 3u);
}

TEST(MaMalformed, UnbalancedQuoteSkipsOnlyItsStatement) {
    RecordingBuilder b;
    read("createNode transform -n \"a;\nsetAttr \".t\" 1 2 3;\ncreateNode mesh -n \"b\";\n", b);
    ASSERT_EQ(b.calls.size(), 1u);
    EXPECT_EQ(b.calls[0], "createNode mesh n=b p= s=0 ss=0");
    EXPECT_EQ(onlyWarning(b).line, 1u);
    EXPECT_TRUE(contains(onlyWarning(b).message, "unterminated string"));
}

TEST(MaMalformed, BadNumbersAndUnknownCommandsWarnAtTheirLine) {
    RecordingBuilder b;
    read("createNode transform -n \"a\";\n\tsetAttr \".t\" -type \"double3\"\n\t\t1 2\n\t\tthree ;\n"
         "frobnicate -x 1 \"y\";\n\tsetAttr \".r\" -type \"double3\" 1 2;\n\tsetAttr \".s\" -type \"double3\" 1 1 1;\n"
         "\tsetAttr \".m\" -type \"matrix\" 1 0 0 0 0 1 0 0 0 0 1;\n"
         "\tsetAttr \".x\" -type \"matrix\" \"xform\" 1 1 1 0 0 0 9 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1 0 0 0 1 1 1 1 yes;\n"
         "\tsetAttr \".v\" 1..2;\n\tsetAttr -zz on \".v\" 1;\n", b);
    std::vector<uint32_t> lines;
    for (const auto& w : b.warnings) lines.push_back(w.line);
    // The bad word's line, not the statement start; then 2 values for a double3,
    // a short matrix, rotate order 9, a bad number and an unknown flag.
    EXPECT_EQ(lines, (std::vector<uint32_t>{4, 5, 6, 8, 9, 10, 11})) << b.warningText();
    ASSERT_EQ(b.warnings.size(), 7u);
    EXPECT_TRUE(contains(b.warnings[0].message, "three")) << b.warnings[0].message;
    EXPECT_EQ(b.warnings[0].file, "test.ma");
    EXPECT_EQ(b.warnings[0].column, 3u);
    EXPECT_EQ(b.warnings[1].column, 1u);
    EXPECT_TRUE(contains(b.warnings[1].message, "unknown command 'frobnicate'")) << b.warnings[1].message;
    EXPECT_TRUE(contains(b.warnings[6].message, "-zz")) << b.warnings[6].message;
    // The good statements in between still arrive.
    ASSERT_EQ(b.calls.size(), 2u);
    EXPECT_EQ(b.calls[1], "setAttr .s");
    EXPECT_EQ(b.setAttrs.size(), 1u);
}

// Each statement after the first gives one warning: huge declared counts are
// checked rather than allocated, and counts must match what follows.
TEST(MaMalformed, HugeCountsCountMismatchesAndMisplacedPolyFaceEntries) {
    RecordingBuilder b;
    read("createNode mesh;\n"
         "setAttr \".a\" -type \"Int32Array\" 2000000000 1 2;\n"
         "setAttr \".p\" -type \"pointArray\" 900000000 1 2 3 1;\n"
         "setAttr \".s\" -type \"stringArray\" 3000000000 \"a\";\n"
         "setAttr \".fc[0]\" -type \"polyFaces\" f 2000000000 1 2;\n"
         "setAttr \".fc[0]\" -type \"polyFaces\" f 3 1 2 3 mu 999999999 3 0 1 2;\n"
         "setAttr \".cc\" -type \"nurbsCurve\" 3 1 0 no 3 4000000000 0 0;\n"
         "setAttr \".cc\" -type \"nurbsCurve\" 1 1 0 no 3 2 0 1 3 0 0 0;\n"
         "setAttr \".cc\" -type \"nurbsSurface\" 1 1 0 0 no 2 0 1 2 0 1 3 0 0 0;\n"
         "setAttr \".d\" -type \"doubleArray\" -5 1;\n"
         "setAttr \".a\" -type \"Int32Array\" 3 1 2;\n"
         "setAttr \".b\" -type \"Int32Array\" 1 1 2;\n"
         "setAttr \".s\" -type \"stringArray\" 2 \"a\" \"b\" \"c\";\n"
         "setAttr \".fc[0]\" -type \"polyFaces\" h 3 1 2 3;\n"
         "setAttr \".fc[0]\" -type \"polyFaces\" mu 0 3 1 2 3;\n"
         "setAttr \".fc[0]\" -type \"polyFaces\" f 3 1 2 3 mu 0 3 0 1 2 mu 0 3 0 1 2;\n"
         "setAttr \".fc[0]\" -type \"polyFaces\" f 3 1 2 3 zz 1;\n"
         "setAttr -s 2000000000 \".vt[0:1999999999]\" 1 2 3;\n",
         b);
    EXPECT_EQ(b.warnings.size(), 16u) << b.warningText();
    EXPECT_NE(b.warningText().find("nurbsCurve: declares more cvs than the statement holds"), std::string::npos);
    EXPECT_NE(b.warningText().find("nurbsSurface: declares more cvs than the statement holds"), std::string::npos);
    for (size_t i = 0; i < b.warnings.size(); ++i) EXPECT_EQ(b.warnings[i].line, i + 2) << b.warningText();
    // -s is only a declaration: kept, never trusted.
    ASSERT_EQ(b.setAttrs.size(), 1u);
    EXPECT_EQ(b.setAttrs[0].flags.size, 2000000000);
    EXPECT_EQ(b.lastValue<Numbers>()->values.size(), 3u);
}

TEST(MaMalformed, OverlongStatementIsSkippedAndReadingResumes) {
    std::string text = "createNode mesh;\nsetAttr \".vt[0:9999]\"";
    for (int i = 0; i < 10000; ++i) text += " 0.5";
    text += ";\ncreateNode transform -n \"after\";\n";
    RecordingBuilder b;
    const mayahost::ScopedLimits small({.chunkBytes = 1000, .maxStatementBytes = 4096});
    ReadResult r = readMaText(text, "long.ma", b);
    ASSERT_TRUE(r.ok());
    ASSERT_EQ(b.calls.size(), 2u);
    EXPECT_EQ(b.calls[1], "createNode transform n=after p= s=0 ss=0");
    EXPECT_EQ(onlyWarning(b).line, 2u);
    EXPECT_TRUE(contains(onlyWarning(b).message, "longer than")) << onlyWarning(b).message;
}

TEST(MaMalformed, WarningFloodIsCappedWithASummary) {
    std::string text;
    for (int i = 0; i < 50; ++i) text += "bogus;\n";
    RecordingBuilder b;
    const mayahost::ScopedLimits few({.maxWarnings = 10});
    ReadResult r = readMaText("createNode transform;\n" + text, "flood.ma", b);
    EXPECT_EQ(r.warnings, 50u);
    ASSERT_EQ(b.warnings.size(), 11u);
    EXPECT_TRUE(contains(b.warnings.back().message, "40 further warnings")) << b.warnings.back().message;
}

TEST(MaMalformed, RandomMutationsNeverCrashOrHang) {
    const std::string fixture =
        "//Maya ASCII 2018 scene\nrequires maya \"2018\";\ncurrentUnit -l centimeter -a degree -t film;\n"
        "fileInfo \"osv\" \"Linux\\n\";\ncreateNode transform -s -n \"persp\";\n\trename -uid \"X\";\n"
        "\tsetAttr \".t\" -type \"double3\" 28 21 28 ;\ncreateNode mesh -n \"s\" -p \"persp\";\n"
        "\tsetAttr -k off \".v\";\n\tsetAttr -s 2 \".uvst[0].uvsp[0:1]\" -type \"float2\" 0.375 0 0.625 1;\n"
        "\tsetAttr -s 8 \".vt[0:7]\"  -0.5 -0.5 0.5 0.5 -0.5 0.5 -0.5 0.5 0.5 0.5 0.5 0.5\n"
        "\t\t -0.5 0.5 -0.5 0.5 0.5 -0.5 -0.5 -0.5 -0.5 0.5 -0.5 -0.5;\n"
        "\tsetAttr -s 6 -ch 24 \".fc[0:5]\" -type \"polyFaces\" \n\t\tf 4 0 5 -2 -5\n\t\tmu 0 4 0 1 3 2\n"
        "\t\th 3 1 2 3\n\t\tmc 0 4 0 1 2 3;\n\tsetAttr \".xm[0]\" -type \"matrix\" \"xform\" 1 1 1 0 0 0 0 -2 0 0 0 0 0 0 0 0 0 0\n"
        "\t\t 0 0 0 0 0 0 0 0 0 0 1 0 0 0 1 1 1 1 yes;\n"
        "\tsetAttr \".cc\" -type \"nurbsCurve\" 1 1 0 no 3 2 0 1 2 0 0 0 1 1 1;\n"
        "\tsetAttr \".aal\" -type \"attributeAlias\" {\"a\",\"w[0]\"} ;\n\tsetAttr \".b\" -type \"string\" (\"x\\\"y\" + \"z\");\n"
        "\tsetAttr \".sa\" -type \"stringArray\" 2 \"a\" \"b\";\n\tsetAttr \".i\" -type \"Int32Array\" 2 1 2;\n"
        "/* block */ addAttr -ci true -sn \"a\" -ln \"a\" -at \"double\" -dv 1;\n"
        "connectAttr \"a.b\" \"c.d\" -na;\nparent -s -nc -r -add \"a\" \"b\";\n"
        "relationship \"link\" \":l\" \":s.message\";\nselect -ne :time1;\nlockNode -l 1;\n";
    std::mt19937 rng(12345);
    const char specials[] = {'"', ';', '\\', '\n', '{', '}', '(', ')', '[', ']', '/', '*', '-', '+', ',', '\0'};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    int iterations = 0;
    for (; iterations < 3000 && std::chrono::steady_clock::now() < deadline; ++iterations) {
        std::string text = fixture;
        const int edits = 1 + int(rng() % 8);
        for (int e = 0; e < edits && !text.empty(); ++e) {
            const size_t at = rng() % text.size();
            switch (rng() % 5) {
            case 0: text[at] = specials[rng() % sizeof specials]; break;
            case 1: text[at] = char(rng() & 0xff); break;
            case 2: text.erase(at, rng() % 40); break;
            case 3: text.insert(at, text.substr(rng() % text.size(), rng() % 60)); break;
            default: text.insert(at, 1, specials[rng() % sizeof specials]); break;
            }
        }
        RecordingBuilder b;
        const mayahost::ScopedLimits chunks({.chunkBytes = 1 + rng() % 300});
        ReadResult r = readMaText(text, "fuzz.ma", b);
        if (!r.ok()) {
            EXPECT_TRUE(b.calls.empty());
            continue;
        }
        EXPECT_EQ(b.calls.size(), r.statements);
        EXPECT_EQ(b.warnings.size(), r.warnings);
        for (const auto& w : b.warnings) {
            EXPECT_GE(w.line, 1u);
            EXPECT_LE(w.line, uint32_t(std::count(text.begin(), text.end(), '\n') + 1));
        }
    }
    EXPECT_GT(iterations, 200);
}

// Statements are split several bytes at a time: a string, a comment and the
// closing ';', and the line breaks counted on the way to them, are each seen
// at every offset of those bytes (records of growing length put them there).
// Each statement starts on the line whose break the one before it held, so
// its column tells where that break was seen.
TEST(MaSplitter, EveryByteThatEndsOrBreaksAStatementIsSeenWhereverItFalls) {
    std::string text;
    constexpr uint32_t kRecords = 40;
    std::vector<uint32_t> lines, columns;
    for (uint32_t k = 0; k < kRecords; ++k) {
        text += std::string(k % 5, ' ');
        const size_t newline = text.rfind('\n');
        lines.push_back(uint32_t(std::count(text.begin(), text.end(), '\n') + 1));
        columns.push_back(uint32_t(text.size() - (newline == std::string::npos ? 0 : newline + 1) + 1));
        text += "createNode transform" + std::string(k, ' ') + "\n-n /* c; */ \"n" + std::to_string(k) + ";\"\n\n" +
                std::string(k, ' ') + ";";
    }
    RecordingBuilder b;
    ASSERT_TRUE(readMaText(text, "split.ma", b).ok());
    ASSERT_EQ(b.calls.size(), kRecords);
    for (uint32_t k = 0; k < kRecords; ++k) {
        EXPECT_EQ(b.callLines[k], lines[k]);
        EXPECT_EQ(b.callColumns[k], columns[k]);
        EXPECT_NE(b.calls[k].find("n=n" + std::to_string(k) + ";"), std::string::npos) << b.calls[k];
    }
}
