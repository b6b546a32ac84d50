#pragma once
// The statement parser: turns the text of one statement into one builder call.
//
// It is fed complete statements (found by the reader's splitter) and keeps its
// scratch storage from one statement to the next, so that steady-state parsing
// allocates nothing.

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "file/StatementBuilder.h"
#include "file/MaLexer.h"

namespace mayahost::scenefile {

class StatementParser {
public:
    StatementParser(StatementBuilder& builder, std::string_view fileName, uint64_t maxWarnings = 1000)
        : builder_(builder), fileName_(fileName), maxWarnings_(maxWarnings) {}

    // `text` is one statement without its ';', starting at `line`/`column`.
    void parse(std::string_view text, uint32_t line, uint32_t column);

    // Reports a problem found outside any statement (by the reader).
    void warn(uint32_t line, uint32_t column, std::string_view message);

    uint64_t statements() const { return statements_; }
    uint64_t warnings() const { return warnings_; }

private:
    // Arguments of a command other than setAttr: gathered, then interpreted.
    struct Arg {
        std::string_view text;   // resolved (unescaped strings point into arena_)
        bool quoted = false;
        uint32_t line = 0;
        uint32_t column = 0;
    };

    bool gatherArgs(Lexer& lex);
    std::string_view resolve(const Token& t);
    std::string_view store(std::string&& s);
    void fail(const Token& at, std::string_view message);
    void failAt(uint32_t line, uint32_t column, std::string_view message);

    void parseRequires();
    void parseCurrentUnit();
    void parseFileInfo();
    void parseFile();
    void parseCreateNode();
    void parseRename();
    void parseSelect();
    void parseAddAttr();
    void parseConnectAttr(bool connect);
    void parseParent();
    void parseRelationship();
    void parseLockNode();
    void parseDataStructure();
    void parseApplyMetadata();

    // setAttr and its value forms (MaSetAttr.cpp).
    void parseSetAttr(Lexer& lex);
    bool parseSetAttrFlag(Lexer& lex, const Token& flag);
    bool parseValue(Lexer& lex);
    bool parseUntyped(Lexer& lex);
    bool parseTuple(Lexer& lex, NumberKind kind, uint8_t components);
    bool parseString(Lexer& lex);
    bool parseStringList(Lexer& lex, bool counted);
    bool parseBracedStrings(Lexer& lex);
    bool parseMatrix(Lexer& lex);
    bool parseNumberArray(Lexer& lex, NumberKind kind);
    bool parsePointArray(Lexer& lex, uint8_t components);
    bool parsePolyFaces(Lexer& lex);
    bool parseNurbsCurve(Lexer& lex, NurbsCurveData& out);
    bool parseNurbsSurface(Lexer& lex);
    bool parseTrimface(Lexer& lex);
    bool parsePolyComponent(Lexer& lex);
    bool parseRaw(Lexer& lex);
    bool readCount(Lexer& lex, int64_t& count, std::string_view what);
    bool readDouble(Lexer& lex, double& v, std::string_view what);
    // A count of control points, then that many points of `stride` numbers;
    // refused when the statement cannot hold them all.
    bool readCvs(Lexer& lex, uint64_t stride, std::vector<double>& out, std::string_view what);
    bool readInt(Lexer& lex, int64_t& v, std::string_view what);
    bool expectEnd(Lexer& lex);

    StatementBuilder& builder_;
    std::string_view fileName_;
    uint64_t maxWarnings_;
    uint64_t statements_ = 0;
    uint64_t warnings_ = 0;
    FileLoc loc_;
    bool failed_ = false;

    std::vector<Arg> args_;
    std::deque<std::string> arena_;   // unescaped strings of the current statement
    size_t arenaUsed_ = 0;
    std::string scratch_;

    SetAttr setAttr_;
    // Reused value storage: moved into setAttr_.value for the builder call
    // and taken back afterwards, so capacity survives between statements.
    Numbers numbers_;
    PolyFaces polyFaces_;
};

}  // namespace mayahost::scenefile
