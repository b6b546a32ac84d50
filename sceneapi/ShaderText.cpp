#include "sceneapi/ShaderText.h"

#include <climits>
#include <cstdint>
#include <cstring>

ShaderText::~ShaderText() { delete[] data; }

void ShaderText::append(const char* text) {
    if (text) add(text, static_cast<int>(std::strlen(text)));
}

void ShaderText::appendText(const char* text, int n) {
    if (text && n > 0) add(text, n);
}

void ShaderText::appendBytes(const void* bytes, int n) {
    if (!bytes || n <= 0) return;
    add(static_cast<const char*>(bytes), n);
    binary = true;
}

void ShaderText::add(const char* bytes, int n) {
    if (static_cast<std::int64_t>(length) + 1 + n >= capacity) {
        // Grow with slack so that a capture built from many small records
        // reallocates only a few times.
        std::int64_t grown = n + (static_cast<std::int64_t>(capacity) + 256) * 2;
        if (grown > INT_MAX - 2) return;  // a capture this large is not a shader any more
        char* buffer = new char[grown + 2];
        if (data) std::memcpy(buffer, data, static_cast<std::size_t>(length));
        delete[] data;
        data = buffer;
        capacity = static_cast<int>(grown);
    }
    std::memcpy(data + length, bytes, static_cast<std::size_t>(n));
    length += n;
    data[length] = '\0';
}
