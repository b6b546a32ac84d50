#include <maya/MString.h>
#include <maya/MStringArray.h>

#include "base/Utf8.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <ostream>

namespace {

std::string formatDouble(double value, int precision = 6) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*g", precision, value);
    return buf;
}

// Inclusive [start, end] clipped to [0, size); empty when nothing is left.
bool clipRange(int& start, int end, int size, int& count) {
    if (start < 0) start = 0;
    if (end >= size) end = size - 1;
    if (size <= 0 || start > end) return false;
    count = end - start + 1;
    return true;
}

std::string_view trimmed(const std::string& s) {
    std::string_view v(s);
    while (!v.empty() && std::isspace(static_cast<unsigned char>(v.front()))) v.remove_prefix(1);
    while (!v.empty() && std::isspace(static_cast<unsigned char>(v.back()))) v.remove_suffix(1);
    return v;
}

}  // namespace

MString::MString(const char* text) : s_(text ? text : "") {}
MString::MString(const char* text, int length) { set(text, length); }
MString::MString(const wchar_t* text) { setWChar(text); }
MString::MString(const wchar_t* text, int length) { setWChar(text, length); }

MString& MString::operator=(const char* text) { return set(text); }
MString& MString::operator=(double value) { return set(value); }

MString& MString::operator+=(const MString& other) { s_ += other.s_; return *this; }
MString& MString::operator+=(const char* text) { if (text) s_ += text; return *this; }
MString& MString::operator+=(double value) { s_ += formatDouble(value); return *this; }
MString& MString::operator+=(int value) { s_ += std::to_string(value); return *this; }
MString& MString::operator+=(unsigned int value) { s_ += std::to_string(value); return *this; }
MString& MString::operator+=(float value) { s_ += formatDouble(value); return *this; }

bool MString::operator==(const char* other) const {
    return s_ == (other ? other : "");
}

MString& MString::set(const char* text) { s_ = text ? text : ""; return *this; }
MString& MString::set(const char* text, int length) {
    if (!text || length <= 0) s_.clear();
    else s_.assign(text, static_cast<size_t>(length));
    return *this;
}
MString& MString::set(double value) { s_ = formatDouble(value); return *this; }
MString& MString::set(double value, int precision) { s_ = formatDouble(value, std::clamp(precision, 0, 17)); return *this; }

const char* MString::asChar(int& length) const { length = static_cast<int>(s_.size()); return s_.c_str(); }
const char* MString::asUTF8(int& length) const { return asChar(length); }

const wchar_t* MString::asWChar() const {
    wide_ = mayahost::utf8ToWide(s_);
    return wide_.c_str();
}

const wchar_t* MString::asWChar(int& length) const {
    const wchar_t* w = asWChar();
    length = static_cast<int>(wide_.size());
    return w;
}

MStatus MString::setUTF8(const char* text) {
    s_ = text ? text : "";
    if (!mayahost::isValidUtf8(s_))
        return MStatus::withReason(MStatus::kInvalidParameter, "text is not valid UTF-8");
    return MStatus::kSuccess;
}

MStatus MString::setWChar(const wchar_t* text) {
    if (!text) { s_.clear(); return MStatus::kSuccess; }
    return setWChar(text, static_cast<int>(std::wcslen(text)));
}

MStatus MString::setWChar(const wchar_t* text, int length) {
    if (!text || length <= 0) { s_.clear(); return MStatus::kSuccess; }
    s_ = mayahost::wideToUtf8(std::wstring_view(text, static_cast<size_t>(length)));
    return MStatus::kSuccess;
}

unsigned int MString::numChars() const {
    return static_cast<unsigned int>(mayahost::utf8ToWide(s_).size());
}

void MString::clear() { s_.clear(); wide_.clear(); }

MString MString::substring(int start, int end) const {
    int count = 0;
    if (!clipRange(start, end, static_cast<int>(s_.size()), count)) return MString();
    return MString(s_.data() + start, count);
}

MString MString::substringW(int start, int end) const {
    std::wstring w = mayahost::utf8ToWide(s_);
    int count = 0;
    if (!clipRange(start, end, static_cast<int>(w.size()), count)) return MString();
    MString result;
    result.setWChar(w.data() + start, count);
    return result;
}

int MString::index(char c) const {
    size_t at = s_.find(c);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int MString::rindex(char c) const {
    size_t at = s_.rfind(c);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int MString::indexW(const MString& text) const {
    std::wstring w = mayahost::utf8ToWide(s_);
    size_t at = w.find(mayahost::utf8ToWide(text.s_));
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int MString::indexW(char c) const {
    std::wstring w = mayahost::utf8ToWide(s_);
    size_t at = w.find(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int MString::rindexW(const MString& text) const {
    std::wstring w = mayahost::utf8ToWide(s_);
    size_t at = w.rfind(mayahost::utf8ToWide(text.s_));
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int MString::rindexW(char c) const {
    std::wstring w = mayahost::utf8ToWide(s_);
    size_t at = w.rfind(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

MStatus MString::split(char c, MStringArray& pieces) const {
    pieces.clear();
    size_t begin = 0;
    while (begin <= s_.size()) {
        size_t end = s_.find(c, begin);
        if (end == std::string::npos) end = s_.size();
        if (end > begin) pieces.append(MString(s_.data() + begin, static_cast<int>(end - begin)));
        begin = end + 1;
    }
    return MStatus::kSuccess;
}

MString MString::toLowerCase() const {
    MString r(*this);
    for (char& ch : r.s_) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return r;
}

MString MString::toUpperCase() const {
    MString r(*this);
    for (char& ch : r.s_) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return r;
}

MString MString::substitute(const MString& match, const MString& replacement) const {
    if (match.s_.empty()) return *this;
    MString r;
    size_t pos = 0;
    for (size_t at; (at = s_.find(match.s_, pos)) != std::string::npos; pos = at + match.s_.size()) {
        r.s_.append(s_, pos, at - pos);
        r.s_ += replacement.s_;
    }
    r.s_.append(s_, pos, std::string::npos);
    return r;
}

bool MString::isInt() const {
    std::string_view v = trimmed(s_);
    if (!v.empty() && v.front() == '+') v.remove_prefix(1);
    long long value = 0;
    auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), value);
    return !v.empty() && ec == std::errc() && end == v.data() + v.size();
}

bool MString::isUnsigned() const {
    return isInt() && asInt() >= 0;
}

bool MString::isDouble() const {
    std::string_view v = trimmed(s_);
    if (!v.empty() && v.front() == '+') v.remove_prefix(1);
    double value = 0;
    auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), value);
    return !v.empty() && ec == std::errc() && end == v.data() + v.size();
}

int MString::asInt() const {
    std::string_view v = trimmed(s_);
    if (!v.empty() && v.front() == '+') v.remove_prefix(1);
    int value = 0;
    std::from_chars(v.data(), v.data() + v.size(), value);
    return value;
}

unsigned int MString::asUnsigned() const {
    int v = asInt();
    return v < 0 ? 0u : static_cast<unsigned int>(v);
}

double MString::asDouble() const {
    std::string_view v = trimmed(s_);
    if (!v.empty() && v.front() == '+') v.remove_prefix(1);
    double value = 0;
    std::from_chars(v.data(), v.data() + v.size(), value);
    return value;
}

MString operator+(const MString& a, const MString& b) { MString r(a); r += b; return r; }
MString operator+(const MString& a, const char* b) { MString r(a); r += b; return r; }
MString operator+(const char* a, const MString& b) { MString r(a); r += b; return r; }
MString operator+(const MString& a, double b) { MString r(a); r += b; return r; }
MString operator+(const MString& a, int b) { MString r(a); r += b; return r; }

std::ostream& operator<<(std::ostream& os, const MString& s) {
    return os << s.s_;
}
