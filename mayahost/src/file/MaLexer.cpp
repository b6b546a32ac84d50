#include "file/MaLexer.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <limits>

// The number readers are small and hot: inlined into the list readers.
#if defined(__GNUC__)
#define LEXER_INLINE __attribute__((always_inline)) inline
#else
#define LEXER_INLINE inline
#endif

namespace mayahost::scenefile {

namespace {

// Character classes: bit 1 white space, bit 2 ends a bare word.
struct CharClasses {
    uint8_t bits[256] = {};
    constexpr CharClasses() {
        for (unsigned char c : {' ', '\t', '\n', '\r', '\f', '\v'}) bits[c] = 3;
        for (unsigned char c : {'"', '{', '}', '(', ')', ',', ';'}) bits[c] = 2;
    }
};
constexpr CharClasses kClasses;

bool isSpace(char c) { return kClasses.bits[static_cast<unsigned char>(c)] & 1; }
bool endsWord(char c) { return kClasses.bits[static_cast<unsigned char>(c)] & 2; }

// Plain decimal integers ("-12", "407") are most of what a mesh holds; they
// skip the general conversion.
bool parseSimpleInt(std::string_view w, int64_t& out) {
    size_t i = 0;
    const bool negative = !w.empty() && w[0] == '-';
    if (negative) i = 1;
    if (i == w.size() || w.size() - i > 18) return false;
    int64_t v = 0;
    for (; i < w.size(); ++i) {
        const unsigned d = unsigned(w[i]) - '0';
        if (d > 9) return false;
        v = v * 10 + int64_t(d);
    }
    out = negative ? -v : v;
    return true;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

}  // namespace

void Lexer::skipSpaceAndComments() {
    const size_t n = text_.size();
    while (pos_ < n) {
        char c = text_[pos_];
        if (c == '\n') {
            ++pos_;
            ++line_;
            lineStart_ = int64_t(pos_);
        } else if (isSpace(c)) {
            ++pos_;
        } else if (c == '/' && pos_ + 1 < n && text_[pos_ + 1] == '/') {
            while (pos_ < n && text_[pos_] != '\n') ++pos_;
        } else if (c == '/' && pos_ + 1 < n && text_[pos_ + 1] == '*') {
            pos_ += 2;
            while (pos_ < n && !(text_[pos_] == '*' && pos_ + 1 < n && text_[pos_ + 1] == '/')) {
                if (text_[pos_] == '\n') { ++line_; lineStart_ = int64_t(pos_) + 1; }
                ++pos_;
            }
            pos_ = pos_ < n ? pos_ + 2 : n;
        } else {
            return;
        }
    }
}

Token Lexer::scan() {
    skipSpaceAndComments();
    Token t;
    t.line = line_;
    t.column = uint32_t(int64_t(pos_) - lineStart_ + 1);
    const size_t n = text_.size();
    if (pos_ >= n) {
        t.kind = TokenKind::End;
        return t;
    }
    const char c = text_[pos_];
    switch (c) {
    case '{': t.kind = TokenKind::LBrace; t.text = text_.substr(pos_++, 1); return t;
    case '}': t.kind = TokenKind::RBrace; t.text = text_.substr(pos_++, 1); return t;
    case '(': t.kind = TokenKind::LParen; t.text = text_.substr(pos_++, 1); return t;
    case ')': t.kind = TokenKind::RParen; t.text = text_.substr(pos_++, 1); return t;
    case ',': t.kind = TokenKind::Comma; t.text = text_.substr(pos_++, 1); return t;
    default: break;
    }
    if (c == '"') {
        const size_t start = ++pos_;
        while (pos_ < n) {
            const char d = text_[pos_];
            if (d == '"') {
                t.kind = TokenKind::String;
                t.text = text_.substr(start, pos_ - start);
                ++pos_;
                return t;
            }
            if (d == '\\') {
                t.escaped = true;
                // A backslash before a raw newline does not continue the string.
                if (pos_ + 1 < n && text_[pos_ + 1] != '\n') ++pos_;
            } else if (d == '\n') {
                break;   // Maya never writes a raw newline inside a string
            }
            ++pos_;
        }
        t.kind = TokenKind::BadString;
        t.text = text_.substr(start, pos_ - start);
        return t;
    }
    const size_t start = pos_;
    while (pos_ < n && !endsWord(text_[pos_])) ++pos_;
    if (pos_ == start) {   // a stray ';' inside a statement text
        ++pos_;
    }
    t.kind = TokenKind::Word;
    t.text = text_.substr(start, pos_ - start);
    return t;
}

namespace {

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

bool endsNumber(const char* p, const char* end) { return p == end || endsWord(*p); }

// Where a plain number may start from p: one blank is stepped over here (numbers in a list are
// mostly one blank apart); null when anything else lies between, for the lexer's general skip.
LEXER_INLINE const char* afterOneBlank(const char* p, const char* end) {
    if (end - p >= 2 && *p == ' ' && !isSpace(p[1]) && p[1] != '/') return p + 1;
    return nullptr;
}

// A plain decimal integer of up to 18 digits at `first`: where it ends, or null.
LEXER_INLINE const char* scanPlainInt(const char* first, const char* end, int64_t& v) {
    const bool negative = first < end && *first == '-';
    const char* p = first + negative;
    const char* const digits = p;
    const char* const limit = end - digits > 18 ? digits + 18 : end;
    int64_t value = 0;
    for (unsigned d; p < limit && (d = unsigned(*p - '0')) <= 9; ++p) value = value * 10 + int64_t(d);
    if (p == digits || !endsNumber(p, end)) return nullptr;
    // Signs in a list are as good as random: no branch on them.
    v = (value ^ -int64_t(negative)) + int64_t(negative);
    return p;
}

// A plain decimal number at `first`, converted exactly as parseDouble does: where it ends, or null.
LEXER_INLINE const char* scanPlainNumber(const char* first, const char* end, double& v) {
    const bool negative = first < end && *first == '-';
    const char* p = first + negative;
    // Up to 19 significant digits fit the mantissa exactly.
    uint64_t mantissa = 0;
    int digits = 0, exponent = 0;
    bool any = false;
    while (p < end && *p == '0') ++p, any = true;
    for (; p < end && unsigned(*p - '0') <= 9; ++p, any = true) {
        if (digits < 19) mantissa = mantissa * 10 + unsigned(*p - '0'), ++digits;
        else ++exponent;
    }
    if (p < end && *p == '.') {
        ++p;
        if (digits == 0)
            while (p < end && *p == '0') ++p, --exponent, any = true;
        for (; p < end && unsigned(*p - '0') <= 9; ++p, any = true)
            if (digits < 19) mantissa = mantissa * 10 + unsigned(*p - '0'), ++digits, --exponent;
    }
    if (!any) return nullptr;
    if (p < end && (*p == 'e' || *p == 'E')) {
        ++p;
        const bool down = p < end && *p == '-';
        p += (p < end && (*p == '-' || *p == '+'));
        const char* const start = p;
        int e = 0;
        while (p < end && unsigned(*p - '0') <= 9 && p - start < 5) e = e * 10 + (*p++ - '0');
        if (p == start) return nullptr;
        exponent += down ? -e : e;
    }
    if (!endsNumber(p, end)) return nullptr;
    double value = 0;
    // A mantissa below 2^53 and a power of ten that doubles hold exactly: one
    // rounding, so the result is the correctly rounded one.
    if (mantissa <= (uint64_t(1) << 53) && exponent >= -22 && exponent <= 22) {
        value = double(mantissa);
        value = exponent < 0 ? value / kPowersOfTen[-exponent] : value * kPowersOfTen[exponent];
        value = std::bit_cast<double>(std::bit_cast<uint64_t>(value) | uint64_t(negative) << 63);
    } else if (auto [at, error] = std::from_chars(first, p, value); at != p || error != std::errc()) {
        return nullptr;   // out of range: the general path says what that gives
    }
    v = value;
    return p;
}

}  // namespace

LEXER_INLINE const char* Lexer::plainStart() {
    if (hasPeek_) return nullptr;
    const char* const base = text_.data();
    if (const char* q = afterOneBlank(base + pos_, base + text_.size())) return q;
    skipSpaceAndComments();
    return base + pos_;
}

// `scan` reads one number where it may start and says where it ends (null:
// not a plain number, nothing read); `full` stops the run after one. The
// cursor stays in a local: stores into the output vector would otherwise make
// the compiler reload the lexer's members for every number.
template <typename Scan, typename Full>
LEXER_INLINE void Lexer::readPlain(Scan scan, Full full) {
    const char* p = plainStart();
    if (!p) return;
    const char* const base = text_.data();
    const char* const end = base + text_.size();
    while (const char* const after = scan(p, end)) {
        p = after;
        if (full()) break;
        if (const char* q = afterOneBlank(p, end)) {
            p = q;
        } else {
            pos_ = size_t(p - base);
            skipSpaceAndComments();
            p = base + pos_;
        }
    }
    pos_ = size_t(p - base);
}

template <typename T>
LEXER_INLINE bool Lexer::readOnePlain(T& v, const char* (*scan)(const char*, const char*, T&)) {
    const char* const p = plainStart();
    const char* const after = p ? scan(p, text_.data() + text_.size(), v) : nullptr;
    if (after) pos_ = size_t(after - text_.data());
    return after != nullptr;
}

bool Lexer::nextPlainInt(int64_t& v) { return readOnePlain(v, scanPlainInt); }
bool Lexer::nextPlainNumber(double& v) { return readOnePlain(v, scanPlainNumber); }

void Lexer::readPlainNumbers(std::vector<double>& out) {
    readPlain([&out](const char* p, const char* end) {
        double v = 0;
        const char* const after = scanPlainNumber(p, end, v);
        if (after) out.push_back(v);
        return after;
    }, [] { return false; });
}

size_t Lexer::readPlainInts(std::vector<int32_t>& out, size_t count, bool& outOfRange) {
    outOfRange = false;
    if (count == 0) return 0;
    size_t n = 0;
    readPlain([&](const char* p, const char* end) -> const char* {
        int64_t v = 0;
        const char* const after = scanPlainInt(p, end, v);
        if (!after) return nullptr;
        if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max()) {
            outOfRange = true;
            return nullptr;
        }
        out.push_back(int32_t(v));
        ++n;
        return after;
    }, [&] { return n == count; });
    return n;
}

void unescape(std::string_view raw, std::string& out) {
    out.clear();
    out.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        char c = raw[i];
        if (c != '\\' || i + 1 == raw.size()) {
            out.push_back(c);
            continue;
        }
        c = raw[++i];
        switch (c) {
        case 'n': out.push_back('\n'); break;
        case 't': out.push_back('\t'); break;
        case 'r': out.push_back('\r'); break;
        case 'a': out.push_back('\a'); break;
        case 'b': out.push_back('\b'); break;
        case 'f': out.push_back('\f'); break;
        case 'v': out.push_back('\v'); break;
        default: out.push_back(c); break;   // \" \\ \' and anything else
        }
    }
}

std::optional<double> parseDouble(std::string_view w) {
    if (w.empty()) return std::nullopt;
    if (int64_t i = 0; parseSimpleInt(w, i)) return (i == 0 && w[0] == '-') ? -0.0 : double(i);
    {
        // The common case: from_chars takes a leading '-' itself.
        const bool plus = w[0] == '+';
        const char* first = w.data() + (plus ? 1 : 0);
        const char* last = w.data() + w.size();
        double v = 0;
        if (first < last && !(plus && (*first == '+' || *first == '-'))) {
            auto [ptr, ec] = std::from_chars(first, last, v, std::chars_format::general);
            if (ptr == last && ec == std::errc()) return v;
        }
    }
    bool negative = false;
    std::string_view body = w;
    if (body[0] == '+' || body[0] == '-') {
        negative = body[0] == '-';
        body.remove_prefix(1);
        if (body.empty() || body[0] == '+' || body[0] == '-') return std::nullopt;
    }
    double v = 0;
    const char* first = body.data();
    const char* last = body.data() + body.size();
    auto [ptr, ec] = std::from_chars(first, last, v, std::chars_format::general);
    if (ptr == last && ec == std::errc()) return negative ? -v : v;
    if (ec == std::errc::result_out_of_range && ptr == last) {
        // Overflow to infinity, underflow to zero, as strtod would.
        const size_t e = body.find_first_of("eE");
        const bool tiny = e != std::string_view::npos && e + 1 < body.size() && body[e + 1] == '-';
        const double r = tiny ? 0.0 : std::numeric_limits<double>::infinity();
        return negative ? -r : r;
    }
    // Windows runtime spellings: 1.#INF, 1.#IND, 1.#QNAN, 1.#SNAN.
    const size_t hash = body.find(".#");
    if (hash != std::string_view::npos) {
        std::string_view tag = body.substr(hash + 2);
        while (!tag.empty() && tag.back() >= '0' && tag.back() <= '9') tag.remove_suffix(1);
        if (equalsNoCase(tag, "INF")) {
            const double r = std::numeric_limits<double>::infinity();
            return negative ? -r : r;
        }
        if (equalsNoCase(tag, "IND") || equalsNoCase(tag, "QNAN") || equalsNoCase(tag, "SNAN"))
            return std::numeric_limits<double>::quiet_NaN();
    }
    return std::nullopt;
}

std::optional<int64_t> parseInt(std::string_view w) {
    if (int64_t i = 0; parseSimpleInt(w, i)) return i;
    if (w.empty()) return std::nullopt;
    if (w[0] == '+') {
        w.remove_prefix(1);
        if (w.empty() || w[0] == '-' || w[0] == '+') return std::nullopt;
    }
    int64_t v = 0;
    auto [ptr, ec] = std::from_chars(w.data(), w.data() + w.size(), v);
    if (ec == std::errc() && ptr == w.data() + w.size()) return v;
    return std::nullopt;
}

std::optional<bool> parseBool(std::string_view w) {
    if (w == "yes" || w == "on" || w == "true" || w == "1") return true;
    if (w == "no" || w == "off" || w == "false" || w == "0") return false;
    return std::nullopt;
}

std::optional<double> parseNumberOrBool(std::string_view w) {
    if (!w.empty()) {
        const char c = w[0];
        if ((c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.') return parseDouble(w);
    }
    if (auto b = parseBool(w)) return *b ? 1.0 : 0.0;
    return parseDouble(w);   // inf, nan
}

bool isFlag(std::string_view w) {
    if (w.size() < 2 || w[0] != '-') return false;
    const char c = w[1];
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) return false;
    return !parseDouble(w).has_value();
}

}  // namespace mayahost::scenefile
