// Words, numbers and attribute paths: the pieces every statement is made of.

#include <gtest/gtest.h>

#include <cmath>

#include "file/MaLexer.h"
#include "file/Values.h"

using namespace mayahost::scenefile;

TEST(MaLexer, TokensCarryKindsLinesAndColumns) {
    Lexer lex("setAttr \".t\" /* c\n */ {\"a\",b} (\"x\\\"y\"\n  + 1e-3) // tail\n-k", 4, 9);
    Token t = lex.next();
    EXPECT_EQ(t.kind, TokenKind::Word);
    EXPECT_EQ(t.text, "setAttr");
    EXPECT_EQ(t.line, 4u);
    EXPECT_EQ(t.column, 9u);
    t = lex.next();
    EXPECT_EQ(t.kind, TokenKind::String);
    EXPECT_EQ(t.text, ".t");
    EXPECT_FALSE(t.escaped);
    EXPECT_EQ(lex.next().kind, TokenKind::LBrace);
    t = lex.next();
    EXPECT_EQ(t.line, 5u);     // after the block comment's newline
    EXPECT_EQ(t.column, 6u);
    EXPECT_EQ(t.text, "a");
    EXPECT_EQ(lex.next().kind, TokenKind::Comma);
    EXPECT_EQ(lex.next().text, "b");
    EXPECT_EQ(lex.next().kind, TokenKind::RBrace);
    EXPECT_EQ(lex.next().kind, TokenKind::LParen);
    t = lex.next();
    EXPECT_TRUE(t.escaped);
    std::string s;
    unescape(t.text, s);
    EXPECT_EQ(s, "x\"y");
    t = lex.next();
    EXPECT_EQ(t.text, "+");
    EXPECT_EQ(t.line, 6u);
    EXPECT_EQ(t.column, 3u);
    EXPECT_EQ(lex.next().text, "1e-3");
    EXPECT_EQ(lex.next().kind, TokenKind::RParen);
    t = lex.next();
    EXPECT_EQ(t.text, "-k");
    EXPECT_EQ(t.line, 7u);
    EXPECT_EQ(lex.next().kind, TokenKind::End);
    EXPECT_EQ(lex.next().kind, TokenKind::End);
}

TEST(MaLexer, StringsBrokenByNewlineOrEnd) {
    Lexer a("\"abc\n\"", 1, 1);
    EXPECT_EQ(a.next().kind, TokenKind::BadString);
    Lexer b("\"abc\\", 1, 1);
    EXPECT_EQ(b.next().kind, TokenKind::BadString);
    Lexer c("\"a\\\\\" x", 1, 1);   // an escaped backslash closes normally
    Token t = c.next();
    EXPECT_EQ(t.kind, TokenKind::String);
    std::string s;
    unescape(t.text, s);
    EXPECT_EQ(s, "a\\");
    EXPECT_EQ(c.next().text, "x");
}

TEST(MaLexer, UnescapeKnownAndUnknownEscapes) {
    std::string s;
    unescape("a\\n\\tb\\r\\\\\\\"\\q", s);
    EXPECT_EQ(s, "a\n\tb\r\\\"q");
}

TEST(MaNumbers, DoublesIntsAndBooleans) {
    EXPECT_EQ(parseDouble("0"), 0.0);
    EXPECT_EQ(parseDouble("-12"), -12.0);
    EXPECT_TRUE(std::signbit(*parseDouble("-0")));
    EXPECT_EQ(parseDouble("+2.5"), 2.5);
    EXPECT_EQ(parseDouble("1e+20"), 1e20);
    EXPECT_EQ(parseDouble("-.5"), -0.5);
    EXPECT_EQ(parseDouble("0.70710678118654757"), 0.70710678118654757);
    EXPECT_EQ(parseDouble("123456789012345678901234"), 123456789012345678901234.0);
    EXPECT_TRUE(std::isinf(*parseDouble("1e999")));
    EXPECT_EQ(parseDouble("1e-999"), 0.0);
    EXPECT_TRUE(std::isinf(*parseDouble("-1.#INF")) && *parseDouble("-1.#INF") < 0);
    EXPECT_TRUE(std::isnan(*parseDouble("1.#QNAN")));
    EXPECT_TRUE(std::isnan(*parseDouble("nan")));
    for (const char* bad : {"", "-", "+", "+-1", "--1", "1..2", "1e", "0x10", "abc", "1,5", "2f"})
        EXPECT_FALSE(parseDouble(bad).has_value()) << bad;

    EXPECT_EQ(parseInt("2147483648"), 2147483648LL);
    EXPECT_EQ(parseInt("-7"), -7);
    EXPECT_EQ(parseInt("+7"), 7);
    EXPECT_EQ(parseInt("9223372036854775807"), INT64_MAX);
    for (const char* bad : {"", "1.5", "99999999999999999999", "1e3", "-", "x"})
        EXPECT_FALSE(parseInt(bad).has_value()) << bad;

    EXPECT_EQ(parseBool("yes"), true);
    EXPECT_EQ(parseBool("off"), false);
    EXPECT_EQ(parseBool("true"), true);
    EXPECT_FALSE(parseBool("Yes").has_value());
    EXPECT_EQ(parseNumberOrBool("no"), 0.0);
    EXPECT_EQ(parseNumberOrBool("on"), 1.0);
    EXPECT_EQ(parseNumberOrBool("-3"), -3.0);
    EXPECT_FALSE(parseNumberOrBool("maybe").has_value());

    EXPECT_TRUE(isFlag("-k"));
    EXPECT_TRUE(isFlag("-type"));
    EXPECT_FALSE(isFlag("-1"));
    EXPECT_FALSE(isFlag("-.5"));
    EXPECT_FALSE(isFlag("-inf"));
    EXPECT_FALSE(isFlag("-nan"));
    EXPECT_FALSE(isFlag("-"));
    EXPECT_FALSE(isFlag("k"));
}

TEST(MaAttrPaths, NodeSegmentsAndRanges) {
    AttrPath p;
    ASSERT_TRUE(parseAttrPath(".uvst[0].uvsp[0:17]", p));
    EXPECT_EQ(p.node, "");
    ASSERT_EQ(p.segments.size(), 2u);
    EXPECT_EQ(p.segments[0].name, "uvst");
    EXPECT_TRUE(p.segments[0].hasIndex);
    EXPECT_EQ(p.segments[0].first, 0);
    EXPECT_EQ(p.segments[0].last, 0);
    EXPECT_EQ(p.segments[1].name, "uvsp");
    EXPECT_EQ(p.segments[1].first, 0);
    EXPECT_EQ(p.segments[1].last, 17);

    ASSERT_TRUE(parseAttrPath("|group1|ns:pCube1.t", p));
    EXPECT_EQ(p.node, "|group1|ns:pCube1");
    ASSERT_EQ(p.segments.size(), 1u);
    EXPECT_EQ(p.segments[0].name, "t");
    EXPECT_FALSE(p.segments[0].hasIndex);

    ASSERT_TRUE(parseAttrPath(":defaultRenderGlobals.cch", p));
    EXPECT_EQ(p.node, ":defaultRenderGlobals");

    ASSERT_TRUE(parseAttrPath("skin.wl[12].w[3000000000]", p));
    EXPECT_EQ(p.segments[1].first, 3000000000LL);

    for (const char* bad : {"persp", ".t[", ".t[1", ".t[]", ".t[a]", ".t[5:2]", ".t[-1]", ".t..r", ".t.", ".",
                            ".t[0]x", ".t[0:]", ".[0]", "a.b]"})
        EXPECT_FALSE(parseAttrPath(bad, p)) << bad;
}
