#include "file/MaReader.h"

#include "base/Limits.h"
#include "base/Utf8.h"
#include "common/platform/Platform.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "file/MaParser.h"

namespace mayahost::scenefile {

namespace {

constexpr size_t npos = size_t(-1);

// Splits a byte stream into statements ending with ';' outside strings and
// comments, and hands each to the statement parser. Bytes arrive in chunks;
// a statement that spans chunks is kept (and only it) until its end arrives.
class StatementSplitter {
public:
    StatementSplitter(StatementParser& parser, const Limits& limits) : parser_(parser), limits_(limits) {
        for (unsigned char c : {';', '"', '/'}) special_[c] = true;
    }

    // Room for `n` more bytes at the end of the buffer (the reader reads
    // straight into it); `commit` then makes them part of the stream.
    char* prepare(size_t n) {
        compact();
        if (cap_ - size_ < n) {
            size_t cap = std::max(cap_ * 2, size_ + n);
            std::unique_ptr<char[]> bigger(new char[cap]);
            if (size_) std::memcpy(bigger.get(), data_.get(), size_);
            data_ = std::move(bigger);
            cap_ = cap;
        }
        return data_.get() + size_;
    }
    void commit(size_t n) { size_ += n; }
    void scanCommitted() { scan(false); }
    std::string_view pending() const { return std::string_view(data_.get() + pos_, size_ - pos_); }
    // Drops `n` unscanned bytes at the current position (a byte order mark).
    void skip(size_t n) {
        pos_ += n;
        lineStart_ += n;
    }

    void finish() {
        scan(true);
        switch (state_) {
        case State::Between:
            break;
        case State::LineComment:
            if (returnState_ == State::Between) break;
            [[fallthrough]];
        default:
            if (state_ == State::BlockComment && returnState_ == State::Between) {
                parser_.warn(line_, 0, "file ends inside a /* comment");
            } else if (!skipping_) {
                parser_.warn(stmtLine_, stmtColumn_,
                             state_ == State::String ? "file ends inside a string: last statement skipped"
                                                     : "file ends before ';': last statement skipped");
            }
            break;
        }
        data_.reset();
        size_ = cap_ = 0;
    }

    bool sawStatement() const { return sawStatement_; }

private:
    enum class State : uint8_t { Between, Statement, String, LineComment, BlockComment };

    void compact() {
        size_t keep = stmtStart_ != npos ? stmtStart_ : pos_;
        if (keep == 0) return;
        if (size_ > keep) std::memmove(data_.get(), data_.get() + keep, size_ - keep);
        size_ -= keep;
        base_ += keep;
        pos_ -= keep;
        if (stmtStart_ != npos) stmtStart_ -= keep;
    }

    void newline(size_t at) {
        ++line_;
        lineStart_ = base_ + at + 1;
    }

    void beginStatement() {
        stmtStart_ = pos_;
        stmtLine_ = line_;
        stmtColumn_ = uint32_t(base_ + pos_ - lineStart_ + 1);
        sawStatement_ = true;
        state_ = State::Statement;
    }

    void endStatement() {   // data_[pos_] is the ';'
        if (!skipping_) {
            std::string_view text(data_.get() + stmtStart_, pos_ - stmtStart_);
            parser_.parse(text, stmtLine_, stmtColumn_);
        }
        skipping_ = false;
        stmtStart_ = npos;
        state_ = State::Between;
    }

    // The first byte from `i` that can end or change a statement (';', '"'
    // or '/'); the newlines before it are counted on the way. Sixteen bytes
    // are tested at once where the machine has the vector instructions,
    // eight (with the zero-byte test, whose lowest flagged byte is always a
    // true one) elsewhere.
    size_t skipPlain(const char* b, size_t i, size_t n) {
#if defined(__SSE2__)
        const __m128i semicolon = _mm_set1_epi8(';'), quote = _mm_set1_epi8('"'), slash = _mm_set1_epi8('/'),
                      lineFeed = _mm_set1_epi8('\n');
        for (; n - i >= 16; i += 16) {
            const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
            const unsigned stops = unsigned(_mm_movemask_epi8(_mm_or_si128(
                _mm_or_si128(_mm_cmpeq_epi8(x, semicolon), _mm_cmpeq_epi8(x, quote)), _mm_cmpeq_epi8(x, slash))));
            unsigned lines = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(x, lineFeed)));
            if (stops) lines &= (1u << std::countr_zero(stops)) - 1;
            if (lines) {
                line_ += uint32_t(std::popcount(lines));
                lineStart_ = base_ + i + size_t(31 - std::countl_zero(lines)) + 1;
            }
            if (stops) return i + size_t(std::countr_zero(stops));
        }
#else
        if constexpr (std::endian::native == std::endian::little) {
            constexpr uint64_t kOnes = 0x0101010101010101u, kHighs = 0x8080808080808080u;
            auto zeroBytes = [](uint64_t v) { return (v - kOnes) & ~v & kHighs; };
            while (n - i >= 8) {
                uint64_t x;
                std::memcpy(&x, b + i, 8);
                const uint64_t hits = zeroBytes(x ^ (kOnes * ';')) | zeroBytes(x ^ (kOnes * '"')) |
                                      zeroBytes(x ^ (kOnes * '/')) | zeroBytes(x ^ (kOnes * '\n'));
                if (!hits) {
                    i += 8;
                    continue;
                }
                i += size_t(std::countr_zero(hits)) / 8;
                if (b[i] != '\n') return i;
                newline(i++);
            }
        }
#endif
        for (; i < n; ++i) {
            if (b[i] == '\n') newline(i);
            else if (special_[static_cast<unsigned char>(b[i])]) break;
        }
        return i;
    }

    void scan(bool final) {
        const char* b = data_.get();
        const size_t n = size_;
        while (pos_ < n) {
            const char c = b[pos_];
            switch (state_) {
            case State::Between:
                if (c == '\n') {
                    newline(pos_);
                    ++pos_;
                } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
                    ++pos_;
                } else if (c == '/' && pos_ + 1 >= n && !final) {
                    return;   // wait for the byte that says whether a comment starts
                } else if (c == '/' && pos_ + 1 < n && b[pos_ + 1] == '/') {
                    returnState_ = State::Between;
                    state_ = State::LineComment;
                    pos_ += 2;
                } else if (c == '/' && pos_ + 1 < n && b[pos_ + 1] == '*') {
                    returnState_ = State::Between;
                    state_ = State::BlockComment;
                    pos_ += 2;
                } else {
                    beginStatement();
                }
                break;
            case State::Statement:
                pos_ = skipPlain(b, pos_, n);
                if (pos_ >= n) break;
                switch (b[pos_]) {
                case ';':
                    endStatement();
                    ++pos_;
                    break;
                case '"':
                    state_ = State::String;
                    ++pos_;
                    break;
                default:   // '/'
                    if (pos_ + 1 >= n && !final) return;
                    if (pos_ + 1 < n && (b[pos_ + 1] == '/' || b[pos_ + 1] == '*')) {
                        returnState_ = State::Statement;
                        state_ = b[pos_ + 1] == '/' ? State::LineComment : State::BlockComment;
                        pos_ += 2;
                    } else {
                        ++pos_;
                    }
                    break;
                }
                break;
            case State::String:
                while (pos_ < n && b[pos_] != '"' && b[pos_] != '\\' && b[pos_] != '\n') ++pos_;
                if (pos_ >= n) break;
                if (b[pos_] == '"') {
                    state_ = State::Statement;
                    ++pos_;
                } else if (b[pos_] == '\n') {
                    // A raw newline ends a broken string; the parser reports it.
                    newline(pos_);
                    state_ = State::Statement;
                    ++pos_;
                } else {   // backslash: skip the escaped byte, but never a newline
                    if (pos_ + 1 >= n && !final) return;
                    pos_ += (pos_ + 1 < n && b[pos_ + 1] != '\n') ? 2 : 1;
                }
                break;
            case State::LineComment:
                while (pos_ < n && b[pos_] != '\n') ++pos_;
                if (pos_ < n) state_ = returnState_;   // the newline is counted there
                break;
            case State::BlockComment:
                while (pos_ < n && !(b[pos_] == '*' && pos_ + 1 < n && b[pos_ + 1] == '/')) {
                    if (b[pos_] == '\n') newline(pos_);
                    ++pos_;
                }
                if (pos_ >= n) break;
                if (pos_ + 1 >= n) {
                    if (!final) return;
                    ++pos_;
                    break;
                }
                pos_ += 2;
                state_ = returnState_;
                break;
            }
        }
        checkLength();
    }

    // A statement longer than the limit is dropped as it streams by; its end
    // is still found so that reading resumes after it.
    void checkLength() {
        if (stmtStart_ == npos || skipping_) return;
        if (size_ - stmtStart_ <= limits_.maxStatementBytes) return;
        parser_.warn(stmtLine_, stmtColumn_,
                     "statement longer than " + std::to_string(limits_.maxStatementBytes) + " bytes skipped");
        skipping_ = true;
        stmtStart_ = npos;
    }

    StatementParser& parser_;
    const Limits& limits_;
    std::array<bool, 256> special_{};
    std::unique_ptr<char[]> data_;
    size_t size_ = 0, cap_ = 0;
    size_t pos_ = 0;
    uint64_t base_ = 0;          // file offset of data_[0]
    uint64_t lineStart_ = 0;     // file offset of the current line's first byte
    uint32_t line_ = 1;
    State state_ = State::Between;
    State returnState_ = State::Between;
    size_t stmtStart_ = npos;
    uint32_t stmtLine_ = 0, stmtColumn_ = 0;
    bool skipping_ = false;
    bool sawStatement_ = false;
};

bool startsWith(std::string_view s, std::string_view p) { return s.substr(0, p.size()) == p; }

bool isKnownCommand(std::string_view w) {
    static constexpr std::string_view kCommands[] = {
        "requires", "currentUnit", "fileInfo", "file", "createNode", "rename", "select", "setAttr",
        "addAttr", "connectAttr", "disconnectAttr", "parent", "relationship", "lockNode", "dataStructure",
        "applyMetadata"};
    for (std::string_view c : kCommands)
        if (w == c) return true;
    return false;
}

// Classifies the first bytes of a file: Maya Binary, Maya ASCII, or neither.
ReadError classify(std::string_view head) {
    if (startsWith(head, "FOR4") || startsWith(head, "FOR8") || startsWith(head, "CAT4") ||
        startsWith(head, "CAT8"))
        return ReadError::MayaBinary;
    if (startsWith(head, "\xEF\xBB\xBF")) head.remove_prefix(3);
    if (startsWith(head, "//Maya ASCII")) return ReadError::None;
    const std::string_view probe = head.substr(0, 4096);
    size_t control = 0;
    for (char ch : probe) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c == 0) return ReadError::NotMayaAscii;
        if (c < 32 && c != '\n' && c != '\r' && c != '\t' && c != '\f' && c != '\v') ++control;
    }
    if (control * 20 > probe.size()) return ReadError::NotMayaAscii;
    // No header: accept hand-written scenes whose first statement is a command
    // Maya writes into .ma files.
    Lexer lex(head.substr(0, 65536), 1, 1);
    const Token t = lex.next();
    if (t.kind == TokenKind::End) return ReadError::Empty;
    if (t.kind == TokenKind::Word && isKnownCommand(t.text)) return ReadError::None;
    return ReadError::NotMayaAscii;
}

// What a file that is not Maya ASCII looks like instead, where that helps
// the user (a scene saved by an editor as UTF-16, a file of zeros).
std::string_view notAsciiDetail(ReadError kind, std::string_view head) {
    if (kind != ReadError::NotMayaAscii) return {};
    if (startsWith(head, "\xFF\xFE") || startsWith(head, "\xFE\xFF"))
        return "it is UTF-16 text; Maya ASCII files are UTF-8";
    if (head.find_first_not_of('\0') == std::string_view::npos) return "its first bytes are all zero";
    return {};
}

ReadResult failure(ReadError error, std::string_view fileName, std::string_view detail = {}) {
    ReadResult r;
    r.error = error;
    r.message = "cannot read \"" + std::string(fileName) + "\": " + readErrorText(error);
    if (!detail.empty()) {
        r.message += " (";
        r.message += detail;
        r.message += ")";
    }
    return r;
}

// Feeds chunks from `next` (which fills a buffer and returns the byte count,
// 0 at the end, or -1 on a read error) through the splitter.
template <typename NextChunk>
ReadResult readStream(std::string_view fileName, StatementBuilder& builder, const Limits& limits, NextChunk next) {
    const size_t chunk = limits.chunkBytes ? limits.chunkBytes : 1;
    StatementParser parser(builder, fileName, limits.maxWarnings);
    StatementSplitter splitter(parser, limits);

    // Gather enough of the head to classify the file before parsing any of it.
    uint64_t bytes = 0;
    bool eof = false;
    auto readChunk = [&]() {
        const int64_t got = next(splitter.prepare(chunk), chunk);
        if (got < 0) return false;
        if (got == 0) eof = true;
        splitter.commit(size_t(got));
        bytes += uint64_t(got);
        return true;
    };
    while (splitter.pending().size() < 4096 && !eof)
        if (!readChunk()) return failure(ReadError::Unreadable, fileName, "read error");
    const std::string_view head = splitter.pending();
    if (head.empty()) return failure(ReadError::Empty, fileName);
    const ReadError kind = classify(head);
    if (kind != ReadError::None) return failure(kind, fileName, notAsciiDetail(kind, head));
    const bool hasHeader = head.find("//Maya ASCII") <= 3;
    if (startsWith(head, "\xEF\xBB\xBF")) splitter.skip(3);

    splitter.scanCommitted();
    while (!eof) {
        if (!readChunk()) return failure(ReadError::Unreadable, fileName, "read error");
        splitter.scanCommitted();
    }
    splitter.finish();
    if (!splitter.sawStatement() && !hasHeader) return failure(ReadError::Empty, fileName);

    if (parser.warnings() > limits.maxWarnings) {
        FileLoc loc{fileName, 0, 0};
        builder.warning(loc, std::to_string(parser.warnings() - limits.maxWarnings) + " further warnings not shown");
    }
    ReadResult r;
    r.statements = parser.statements();
    r.warnings = parser.warnings();
    r.bytes = bytes;
    return r;
}

}  // namespace

const char* readErrorText(ReadError error) {
    switch (error) {
    case ReadError::None: return "no error";
    case ReadError::FileNotFound: return "file not found";
    case ReadError::Unreadable: return "file cannot be read";
    case ReadError::Empty: return "file is empty";
    case ReadError::NotMayaAscii: return "not a Maya ASCII file";
    case ReadError::MayaBinary: return "Maya Binary scenes are not read yet";
    }
    return "unknown error";
}

// The limits for reading `bytes` bytes: no chunk larger than the whole (a
// small scene does not need a 4 MB buffer, and fuzzing reads millions).
static Limits limitsFor(uint64_t bytes) {
    Limits l = limits();
    l.chunkBytes = size_t(std::min<uint64_t>(l.chunkBytes, std::max<uint64_t>(bytes, 4096)));
    return l;
}

ReadResult readMaText(std::string_view text, std::string_view fileName, StatementBuilder& builder) {
    size_t offset = 0;
    return readStream(fileName, builder, limitsFor(text.size()), [&](char* out, size_t cap) -> int64_t {
        const size_t n = std::min(cap, text.size() - offset);
        if (n) std::memcpy(out, text.data() + offset, n);
        offset += n;
        return int64_t(n);
    });
}

ReadResult readMaFile(const std::string& path, StatementBuilder& builder) {
    std::error_code ec;
    const std::filesystem::path file = mayahost::utf8Path(path);
    const auto status = std::filesystem::status(file, ec);
    if (ec || !std::filesystem::exists(status)) return failure(ReadError::FileNotFound, path);
    if (std::filesystem::is_directory(status)) return failure(ReadError::Unreadable, path, "is a folder");
    std::FILE* f = platform::openFileUtf8(path, "rb");
    if (!f) return failure(ReadError::Unreadable, path, std::strerror(errno));
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> guard(f, &std::fclose);
    // A file that reports no size (a pipe) is read in whole chunks.
    const uint64_t size = std::filesystem::file_size(file, ec);
    return readStream(path, builder, ec ? limits() : limitsFor(size), [&](char* out, size_t cap) -> int64_t {
        const size_t n = std::fread(out, 1, cap, f);
        if (n == 0 && std::ferror(f)) return -1;
        return int64_t(n);
    });
}

}  // namespace mayahost::scenefile
