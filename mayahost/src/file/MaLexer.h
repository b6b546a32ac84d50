#pragma once
// Tokens of one Maya ASCII statement, and number/word conversions.
//
// The lexer works over the text of one statement (without its ';') held in a
// contiguous buffer; tokens are views into it. Quoted strings keep their raw
// content; `unescape` resolves their escapes into caller storage only when a
// string has any.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mayahost::scenefile {

enum class TokenKind : uint8_t {
    Word,        // bare word or number: createNode, -n, 1.5e+20, :time1, f
    String,      // "..." (text = content without quotes, escapes unresolved)
    LBrace, RBrace, LParen, RParen, Comma,
    End,
    BadString,   // a string cut by a raw newline or the end of the statement
};

struct Token {
    TokenKind kind = TokenKind::End;
    bool escaped = false;   // String: holds at least one backslash
    std::string_view text;
    uint32_t line = 0;
    uint32_t column = 0;
};

class Lexer {
public:
    Lexer(std::string_view text, uint32_t line, uint32_t column)
        : text_(text), line_(line), lineStart_(-int64_t(column) + 1) {}

    Token next() {
        if (hasPeek_) { hasPeek_ = false; return peeked_; }
        return scan();
    }
    const Token& peek() {
        if (!hasPeek_) { peeked_ = scan(); hasPeek_ = true; }
        return peeked_;
    }
    // A plain decimal number ("-12", "0.25", "3e-05") next, read where it
    // lies; false, with nothing read, for any other token (the caller then
    // takes the general path). Converts exactly as parseDouble does.
    bool nextPlainNumber(double& v);
    // The same for a plain decimal integer that fits 18 digits.
    bool nextPlainInt(int64_t& v);
    // As many plain numbers as follow, appended to `out`: a list's bulk in
    // one call.
    void readPlainNumbers(std::vector<double>& out);
    // Up to `count` plain integers that follow, appended to `out`; how many.
    // One beyond 32 bits is read and stops the run with `outOfRange` set.
    size_t readPlainInts(std::vector<int32_t>& out, size_t count, bool& outOfRange);
    // Bytes not yet scanned (an upper bound on what the rest can hold).
    size_t remaining() const { return text_.size() - pos_; }
    // The text not yet read (a peeked token is already read).
    std::string_view rest() const { return text_.substr(pos_); }
    uint32_t line() const { return line_; }

private:
    Token scan();
    void skipSpaceAndComments();
    // After blanks, where a plain number may start; null while a token is
    // peeked.
    const char* plainStart();
    template <typename Scan, typename Full>
    void readPlain(Scan scan, Full full);
    template <typename T>
    bool readOnePlain(T& v, const char* (*scan)(const char*, const char*, T&));

    std::string_view text_;
    size_t pos_ = 0;
    uint32_t line_;
    int64_t lineStart_;   // offset of the current line's first byte (may be < 0)
    Token peeked_;
    bool hasPeek_ = false;
};

// Resolves \" \\ \n \t \r and friends; an unknown escape keeps its character.
void unescape(std::string_view raw, std::string& out);

// A number as Maya writes it: ints, decimals, exponents, a leading '+',
// inf/nan in their C and Windows spellings ("1.#INF", "-1.#IND", "1.#QNAN").
std::optional<double> parseDouble(std::string_view word);
std::optional<int64_t> parseInt(std::string_view word);
// yes/no, on/off, true/false and 1/0.
std::optional<bool> parseBool(std::string_view word);
// A number, or a boolean word as 1/0.
std::optional<double> parseNumberOrBool(std::string_view word);

// A flag: '-' then a letter ("-k", "-type"); "-1", "-inf" and "-nan" are not.
bool isFlag(std::string_view word);

}  // namespace mayahost::scenefile
