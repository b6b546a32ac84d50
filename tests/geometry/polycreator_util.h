#pragma once
// Helpers for the creator tests: a small JSON reader for Maya's reference
// export, and mesh views (face vertex lists, uv ids) that the checks share.

#include "mesh/MeshData.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace polytest {

// --- JSON ---------------------------------------------------------------------

struct Json {
    enum class Kind { Null, Bool, Number, String, Array, Object } kind = Kind::Null;
    double number = 0;
    bool boolean = false;
    std::string text;
    std::vector<Json> items;
    std::map<std::string, Json> fields;

    const Json& at(const std::string& key) const {
        auto it = fields.find(key);
        if (kind != Kind::Object || it == fields.end()) throw std::runtime_error("missing key " + key);
        return it->second;
    }
    bool has(const std::string& key) const { return kind == Kind::Object && fields.count(key) != 0; }
};

class JsonParser {
public:
    explicit JsonParser(std::string text) : s_(std::move(text)) {}

    Json parse() {
        Json v = value();
        skip();
        if (i_ != s_.size()) fail("trailing characters");
        return v;
    }

private:
    [[noreturn]] void fail(const std::string& what) const {
        throw std::runtime_error("JSON: " + what + " at offset " + std::to_string(i_));
    }
    void skip() {
        while (i_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[i_]))) ++i_;
    }
    bool eat(char c) {
        skip();
        if (i_ < s_.size() && s_[i_] == c) {
            ++i_;
            return true;
        }
        return false;
    }
    void expect(char c) {
        if (!eat(c)) fail(std::string("expected '") + c + "'");
    }
    std::string string() {
        expect('"');
        std::string out;
        while (i_ < s_.size() && s_[i_] != '"') {
            if (s_[i_] == '\\') {
                if (++i_ >= s_.size()) fail("bad escape");
                const char e = s_[i_];
                out += e == 'n' ? '\n' : e == 't' ? '\t' : e;  // enough for key names
            } else {
                out += s_[i_];
            }
            ++i_;
        }
        if (i_ >= s_.size()) fail("unterminated string");
        ++i_;
        return out;
    }
    Json value() {
        skip();
        if (i_ >= s_.size()) fail("unexpected end");
        Json v;
        const char c = s_[i_];
        if (c == '{') {
            ++i_;
            v.kind = Json::Kind::Object;
            if (eat('}')) return v;
            do {
                skip();
                std::string key = string();
                expect(':');
                v.fields[key] = value();
            } while (eat(','));
            expect('}');
        } else if (c == '[') {
            ++i_;
            v.kind = Json::Kind::Array;
            if (eat(']')) return v;
            do v.items.push_back(value());
            while (eat(','));
            expect(']');
        } else if (c == '"') {
            v.kind = Json::Kind::String;
            v.text = string();
        } else if (s_.compare(i_, 4, "true") == 0 || s_.compare(i_, 5, "false") == 0) {
            v.kind = Json::Kind::Bool;
            v.boolean = s_[i_] == 't';
            i_ += v.boolean ? 4 : 5;
        } else if (s_.compare(i_, 4, "null") == 0) {
            i_ += 4;
        } else {
            const char* begin = s_.c_str() + i_;
            char* end = nullptr;
            v.kind = Json::Kind::Number;
            v.number = std::strtod(begin, &end);
            if (end == begin) fail("bad value");
            i_ += size_t(end - begin);
        }
        return v;
    }

    std::string s_;
    size_t i_ = 0;
};

inline bool readFile(const std::string& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream ss;
    ss << in.rdbuf();
    out = ss.str();
    return true;
}

// --- Mesh views -----------------------------------------------------------------

// Vertex ids of each face (outer loop; creators make no holes).
inline std::vector<std::vector<int32_t>> faceLoops(const mayahost::MeshData& m) {
    std::vector<std::vector<int32_t>> out(m.numFaces());
    for (size_t f = 0; f < m.numFaces(); ++f) {
        const uint32_t loop = m.faceLoopStart[f];
        for (uint32_t i = m.loopStart[loop]; i < m.loopStart[loop + 1]; ++i)
            out[f].push_back(m.faceVertices[i]);
    }
    return out;
}

// Renumbers ids in order of first appearance: two id lists with the same
// sharing pattern map to the same result.
inline std::vector<int32_t> firstAppearance(const std::vector<int32_t>& ids) {
    std::map<int32_t, int32_t> seen;
    std::vector<int32_t> out;
    out.reserve(ids.size());
    for (int32_t id : ids) out.push_back(seen.emplace(id, int32_t(seen.size())).first->second);
    return out;
}

}  // namespace polytest
