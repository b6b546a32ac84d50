// Words, numbers and attribute paths: the pieces every statement is made of.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "file/MaLexer.h"
#include "file/Values.h"

using namespace mayahost::scenefile;

TEST(MaLexer, TokensCarryKindsLinesAndColumns) {
    Lexer lex("setAttr \".t\" /* c\n */ {\"a\",b} (\"x\\\"y\"\n  + 1e-3) // tail\n-k", 4, 9);
    // Text is only checked for words and strings; lines and columns from the
    // start at line 4, column 9, and past the block comment's newline.
    struct Want { TokenKind kind; const char* text; uint32_t line, column; bool escaped; };
    using K = TokenKind;
    const Want tokens[] = {
        {K::Word, "setAttr", 4, 9, false}, {K::String, ".t", 4, 17, false}, {K::LBrace, nullptr, 5, 5, false},
        {K::String, "a", 5, 6, false}, {K::Comma, nullptr, 5, 9, false}, {K::Word, "b", 5, 10, false},
        {K::RBrace, nullptr, 5, 11, false}, {K::LParen, nullptr, 5, 13, false}, {K::String, nullptr, 5, 14, true},
        {K::Word, "+", 6, 3, false}, {K::Word, "1e-3", 6, 5, false}, {K::RParen, nullptr, 6, 9, false},
        {K::Word, "-k", 7, 1, false}, {K::End, nullptr, 0, 0, false}, {K::End, nullptr, 0, 0, false},
    };
    for (const Want& w : tokens) {
        const Token t = lex.next();
        SCOPED_TRACE(w.text ? w.text : "punctuation " + std::to_string(int(w.kind)));
        EXPECT_EQ(t.kind, w.kind);
        if (w.text) { EXPECT_EQ(t.text, w.text); }
        if (w.kind != K::End) { EXPECT_EQ(std::pair(t.line, t.column), std::pair(w.line, w.column)); }
        EXPECT_EQ(t.escaped, w.escaped);
        if (t.escaped) {
            std::string s;
            unescape(t.text, s);
            EXPECT_EQ(s, "x\"y");
        }
    }
}

TEST(MaLexer, StringsBrokenByNewlineOrEndAndEscapes) {
    EXPECT_EQ(Lexer("\"abc\n\"", 1, 1).next().kind, TokenKind::BadString);
    EXPECT_EQ(Lexer("\"abc\\", 1, 1).next().kind, TokenKind::BadString);
    Lexer c("\"a\\\\\" x", 1, 1);   // an escaped backslash closes normally
    Token t = c.next();
    EXPECT_EQ(t.kind, TokenKind::String);
    std::string s;
    unescape(t.text, s);
    EXPECT_EQ(s, "a\\");
    EXPECT_EQ(c.next().text, "x");
    unescape("a\\n\\tb\\r\\\\\\\"\\q", s);   // known and unknown escapes
    EXPECT_EQ(s, "a\n\tb\r\\\"q");
}

TEST(MaNumbers, DoublesIntsAndBooleans) {
    for (const auto& [text, value] : {std::pair{"0", 0.0}, {"-12", -12.0}, {"+2.5", 2.5}, {"1e+20", 1e20}, {"-.5", -0.5},
                                      {".5", 0.5}, {"7.", 7.0}, {"-1.5E-3", -1.5e-3}, {"1e-999", 0.0},
                                      {"0.70710678118654757", 0.70710678118654757},
                                      {"123456789012345678901234", 123456789012345678901234.0}})
        EXPECT_EQ(parseDouble(text), value) << text;
    EXPECT_TRUE(std::signbit(*parseDouble("-0")));
    EXPECT_TRUE(std::isinf(*parseDouble("1e999")));
    EXPECT_TRUE(std::isinf(*parseDouble("-1.#INF")) && *parseDouble("-1.#INF") < 0);
    EXPECT_TRUE(std::isnan(*parseDouble("1.#QNAN")));
    EXPECT_TRUE(std::isnan(*parseDouble("nan")));
    for (const char* bad : {"", "-", "+", "+-1", "--1", "1..2", "1e", "0x10", "abc", "1,5", "2f"})
        EXPECT_FALSE(parseDouble(bad).has_value()) << bad;

    for (const auto& [text, value] : {std::pair{"2147483648", 2147483648LL}, {"-7", -7LL}, {"+7", 7LL},
                                      {"9223372036854775807", INT64_MAX}})
        EXPECT_EQ(parseInt(text), value) << text;
    for (const char* bad : {"", "1.5", "99999999999999999999", "1e3", "-", "x"})
        EXPECT_FALSE(parseInt(bad).has_value()) << bad;

    for (const auto& [text, value] : {std::pair{"yes", std::optional(true)}, {"off", false}, {"true", true}, {"Yes", {}}})
        EXPECT_EQ(parseBool(text), value) << text;
    for (const auto& [text, value] : {std::pair{"no", std::optional(0.0)}, {"on", 1.0}, {"-3", -3.0}, {"maybe", {}}})
        EXPECT_EQ(parseNumberOrBool(text), value) << text;

    for (const auto& [text, flag] : {std::pair{"-k", true}, {"-type", true}, {"-1", false}, {"-.5", false},
                                     {"-inf", false}, {"-nan", false}, {"-", false}, {"k", false}})
        EXPECT_EQ(isFlag(text), flag) << text;
}

// The lexer reads plain numbers where they lie: the same bits as the general
// conversion, or nothing read so that the general path sees the word.
TEST(MaNumbers, PlainNumbersReadInPlaceConvertAsTheGeneralPath) {
    std::mt19937_64 rng(5);
    std::vector<std::string> words = {"0", "-0", "007", "1.", ".25", "-0.001", "1e5", "2.5E-3", "1e22", "1e23", "9007199254740993",
                                      "0.70710678118654757", "123456789012345678901234", "4.9406564584124654e-324",
                                      "1.7976931348623157e308"};
    for (int i = 0; i < 3000; ++i) {
        char buf[40];
        const double x = std::ldexp(double(rng() >> 11), int(rng() % 120) - 90) * (rng() % 2 ? 1 : -1);
        std::snprintf(buf, sizeof buf, "%.*g", int(rng() % 17) + 1, x);
        words.push_back(buf);
    }
    // Each word both inside a longer text and as the text's last bytes.
    for (const std::string& word : words)
        for (const std::string& text : {word + " x", word}) {
            Lexer lex(text, 1, 1);
            double v = 0;
            ASSERT_TRUE(lex.nextPlainNumber(v)) << word;
            const double general = *parseDouble(word);
            EXPECT_EQ(std::memcmp(&v, &general, sizeof v), 0) << word;
            EXPECT_EQ(lex.next().text, text == word ? "" : "x") << word;
        }
    for (const char* other : {"+1", "1e999", "1e-400", "-k", "yes", "1.#INF", "nan", "1e", "2f", "-", "\"1\""}) {
        Lexer lex(other, 1, 1);
        double v = 0;
        int64_t i = 0;
        EXPECT_FALSE(lex.nextPlainNumber(v)) << other;
        EXPECT_FALSE(lex.nextPlainInt(i)) << other;
        EXPECT_NE(lex.next().kind, TokenKind::End) << other;   // the word is still there
    }
    Lexer ints("12 -7 1234567890123456789 ;", 1, 1);
    int64_t a = 0, b = 0, c = 0;
    EXPECT_TRUE(ints.nextPlainInt(a) && ints.nextPlainInt(b));
    EXPECT_EQ(a, 12);
    EXPECT_EQ(b, -7);
    EXPECT_FALSE(ints.nextPlainInt(c));   // 19 digits: the general path decides
}

TEST(MaAttrPaths, NodeSegmentsAndRanges) {
    // The node, then each segment with its inclusive range if it has one.
    auto parsed = [](const char* text) {
        AttrPath p;
        if (!parseAttrPath(text, p)) return std::string("bad");
        std::string out(p.node);
        for (const AttrSegment& g : p.segments)
            out += "." + std::string(g.name) + (g.hasIndex ? "[" + std::to_string(g.first) + ":" + std::to_string(g.last) + "]" : "");
        return out;
    };
    for (const auto& [text, want] : {std::pair{".uvst[0].uvsp[0:17]", ".uvst[0:0].uvsp[0:17]"},
                                     {"|group1|ns:pCube1.t", "|group1|ns:pCube1.t"},
                                     {":defaultRenderGlobals.cch", ":defaultRenderGlobals.cch"},
                                     {"skin.wl[12].w[3000000000]", "skin.wl[12:12].w[3000000000:3000000000]"}})
        EXPECT_EQ(parsed(text), want);
    for (const char* bad : {"persp", ".t[", ".t[1", ".t[]", ".t[a]", ".t[5:2]", ".t[-1]", ".t..r", ".t.", ".",
                            ".t[0]x", ".t[0:]", ".[0]", "a.b]"})
        EXPECT_EQ(parsed(bad), "bad");
}
