#pragma once
// Text of the API. Stored as UTF-8; the wide form (wchar_t: UTF-16 where it is
// 16 bits wide, code points where it is 32) is made on request. Byte-indexed
// operations (substring, index, rindex) count bytes; the W forms count wide
// characters.

#include <maya/MStatus.h>
#include <maya/MTypes.h>

#include <iosfwd>
#include <string>

class MStringArray;

class MString {
public:
    MString() = default;
    MString(const char* text);                      // NOLINT: implicit as in the API
    MString(const char* text, int length);
    MString(const wchar_t* text);                   // NOLINT
    MString(const wchar_t* text, int length);
    MString(const MString& other) = default;
    MString(MString&& other) noexcept = default;
    ~MString() = default;

    MString& operator=(const MString& other) = default;
    MString& operator=(MString&& other) noexcept = default;
    MString& operator=(const char* text);
    MString& operator=(double value);

    MString& operator+=(const MString& other);
    MString& operator+=(const char* text);
    MString& operator+=(double value);
    MString& operator+=(int value);
    MString& operator+=(unsigned int value);
    MString& operator+=(float value);

    bool operator==(const MString& other) const { return s_ == other.s_; }
    bool operator!=(const MString& other) const { return s_ != other.s_; }
    bool operator==(const char* other) const;
    bool operator!=(const char* other) const { return !(*this == other); }

    MString& set(const char* text);
    MString& set(const char* text, int length);
    MString& set(double value);
    MString& set(double value, int precision);

    const char* asChar() const { return s_.c_str(); }
    const char* asChar(int& length) const;
    const char* asUTF8() const { return s_.c_str(); }
    const char* asUTF8(int& length) const;
    const wchar_t* asWChar() const;
    const wchar_t* asWChar(int& length) const;
    // Fails (keeping the bytes) when the text is not valid UTF-8.
    MStatus setUTF8(const char* text);
    MStatus setWChar(const wchar_t* text);
    MStatus setWChar(const wchar_t* text, int length);

    unsigned int length() const { return static_cast<unsigned int>(s_.size()); }
    unsigned int numChars() const;
    void clear();

    // Inclusive end; out-of-range bounds are clipped, an empty range gives "".
    MString substring(int start, int end) const;
    MString substringW(int start, int end) const;
    int index(char c) const;
    int rindex(char c) const;
    int indexW(const MString& text) const;
    int indexW(char c) const;
    int rindexW(const MString& text) const;
    int rindexW(char c) const;
    // Splits at every occurrence of c; empty pieces are left out.
    MStatus split(char c, MStringArray& pieces) const;

    MString toLowerCase() const;
    MString toUpperCase() const;
    MString substitute(const MString& match, const MString& replacement) const;
    bool isShort() const { return isInt(); }
    bool isInt() const;
    bool isUnsigned() const;
    bool isFloat() const { return isDouble(); }
    bool isDouble() const;
    short asShort() const { return static_cast<short>(asInt()); }
    int asInt() const;
    unsigned int asUnsigned() const;
    float asFloat() const { return static_cast<float>(asDouble()); }
    double asDouble() const;

    // Stand-in extension: the UTF-8 bytes.
    const std::string& str() const { return s_; }

    friend MString operator+(const MString& a, const MString& b);
    friend MString operator+(const MString& a, const char* b);
    friend MString operator+(const char* a, const MString& b);
    friend MString operator+(const MString& a, double b);
    friend MString operator+(const MString& a, int b);
    friend std::ostream& operator<<(std::ostream& os, const MString& s);

private:
    std::string s_;
    mutable std::wstring wide_;
};
