#pragma once
// Base64 with the standard alphabet (A-Z, a-z, 0-9, '+', '/'), as the
// importer's command-line arguments carry it.

#include <string>

namespace base64 {

// Decoding is lenient: it stops at the first '=' or at the first character
// outside the alphabet and ignores the rest. A trailing group of three
// characters yields two bytes, of two characters one byte, of one nothing.
std::string decode(const std::string& text);

// Encodes every byte, padding the last group with '=' to four characters.
std::string encode(const std::string& bytes);

}  // namespace base64
