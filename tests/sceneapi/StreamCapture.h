#pragma once
// Test support: a temporary stream whose bytes can be read back while a
// writer is still appending to it.

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <type_traits>

namespace sceneapitest {

class StreamCapture {
public:
    StreamCapture() : stream_(std::tmpfile()) {
        if (!stream_) throw std::runtime_error("no temporary file");
    }
    ~StreamCapture() { std::fclose(stream_); }
    StreamCapture(const StreamCapture&) = delete;
    StreamCapture& operator=(const StreamCapture&) = delete;

    FILE* stream() { return stream_; }

    std::string bytes() {
        std::fflush(stream_);
        const long end = std::ftell(stream_);
        std::string out(static_cast<std::size_t>(end), '\0');
        std::rewind(stream_);
        out.resize(std::fread(out.data(), 1, out.size(), stream_));
        std::fseek(stream_, 0, SEEK_END);
        return out;
    }

private:
    FILE* stream_;
};

// The bytes a binary block starts with, spelled out independently of the
// writer: marker, tag letter, little-endian scalar count.
inline std::string blockHeader(char tag, std::uint32_t scalars) {
    std::string header = {'\x01', '\x02', '\x03', tag};
    for (int shift = 0; shift < 32; shift += 8) header += static_cast<char>((scalars >> shift) & 0xFF);
    return header;
}

// Values as little-endian bytes, built from their bit patterns so that the
// expectation does not depend on the host's byte order.
template <typename T>
std::string littleEndian(const T* values, std::size_t n) {
    using Bits = std::conditional_t<sizeof(T) == 8, std::uint64_t, std::uint32_t>;
    std::string out;
    for (std::size_t i = 0; i < n; ++i) {
        const Bits bits = std::bit_cast<Bits>(values[i]);
        for (std::size_t b = 0; b < sizeof(T); ++b) out += static_cast<char>((bits >> (8 * b)) & 0xFF);
    }
    return out;
}

}  // namespace sceneapitest
