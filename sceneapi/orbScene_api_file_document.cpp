// The document side of the writer: construction, the writing primitives,
// value and array forms, binary blocks, lists and shader capture.

#include <algorithm>
#include <bit>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstring>
#include <type_traits>

#include "common/platform/Platform.h"
#include "sceneapi/orbScene_api_file.h"

namespace {

constexpr double kFloatLimit = 3.4028235e38;
constexpr double kDoubleArrayLimit = 3.4028234663852886e38;

// "%g" in the "C" locale, without printf's per-call overhead. Its longest
// output ("-2.22507e-308", "-nan") is far below the room given.
constexpr std::size_t kMaxGChars = 24;
char* formatG(char* out, double value) {
    return std::to_chars(out, out + kMaxGChars, value, std::chars_format::general, 6).ptr;
}

// "%16.16f" of a value below kFixedLimit in magnitude: at most 39 integer
// digits, a sign, the point and 16 decimals.
constexpr double kFixedLimit = 1e39;
constexpr std::size_t kMaxFixedChars = 64;
char* formatFixed16(char* out, double value) {
    return std::to_chars(out, out + kMaxFixedChars, value, std::chars_format::fixed, 16).ptr;
}

// Room for one element of any text array (four "%g" numbers or one
// "%16.16f" of a value below kDoubleArrayLimit) and its separator.
constexpr std::size_t kMaxElementChars = 4 * (kMaxGChars + 1) + 1;
static_assert(kMaxElementChars > kMaxFixedChars);

char* formatInt(char* out, int value) { return std::to_chars(out, out + 16, value).ptr; }

// N numbers separated by single spaces: "%g" for floating point, "%d" for ints.
template <int N, typename T>
char* formatTuple(char* out, const T* values) {
    for (int k = 0; k < N; ++k) {
        if (k > 0) *out++ = ' ';
        if constexpr (std::is_same_v<T, int>)
            out = formatInt(out, values[k]);
        else
            out = formatG(out, values[k]);
    }
    return out;
}

// A float parameter outside the float range (or NaN) would not read back; the
// reader gets -1 instead.
double clampFloat(double value) {
    return (value > -kFloatLimit && value < kFloatLimit) ? value : -1.0;
}

double clampDoubleArray(double value) {
    return (value > -kDoubleArrayLimit && value < kDoubleArrayLimit) ? value : -1.0;
}

bool needsHex(const char* s) {
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(s); *p; ++p)
        if (*p == '\n' || *p == '\r' || *p == '"' || *p >= 0x80) return true;
    return false;
}

const char kHexDigits[] = "0123456789abcdef";

}  // namespace

orbScene_api_file::orbScene_api_file(FILE* stream, bool binary)
    : stream_(stream),
      binary_(binary),
      formatBuffer_(std::make_unique<char[]>(kBufferSize)),
      lineBuffer_(std::make_unique<char[]>(kBufferSize)) {
    // "%g" must write a decimal point whatever locale the host process runs in.
    if (const char* current = std::setlocale(LC_NUMERIC, nullptr))
        savedNumericLocale_ = std::make_unique<std::string>(current);
    std::setlocale(LC_NUMERIC, "C");
    allCaptures_.push(nullptr);
}

orbScene_api_file::orbScene_api_file(const std::string& fileName, bool binary)
    : orbScene_api_file(platform::openFileUtf8(fileName, "wb+"), binary) {
    ownsStream_ = true;
}

orbScene_api_file::~orbScene_api_file() {
    formatBuffer_.reset();
    lineBuffer_.reset();
    if (ownsStream_ && stream_) std::fclose(stream_);
    if (savedNumericLocale_) std::setlocale(LC_NUMERIC, savedNumericLocale_->c_str());
    savedNumericLocale_.reset();
    while (ShaderText* capture = allCaptures_.pop()) delete capture;
}

// ---------------------------------------------------------------------------
// Primitives

int orbScene_api_file::indentWidth() const {
    if (outputFlags_ & kFlagNoIndent) return 0;
    return std::max(depth_, 0);
}

void orbScene_api_file::emitText(const char* data, std::size_t n) {
    if (n == 0 || !stream_) return;
    if (capturing_) {
        if (currentCapture_) currentCapture_->appendText(data, static_cast<int>(n));
    } else {
        std::fwrite(data, 1, n, stream_);
    }
}

void orbScene_api_file::writeBytes(const void* data, std::size_t n) {
    if (!stream_ || n == 0) return;
    if (!capturing_) {
        std::fwrite(data, 1, n, stream_);
        return;
    }
    if (!currentCapture_) return;
    constexpr std::size_t kChunk = std::size_t{1} << 30;
    for (std::size_t done = 0; done < n; done += kChunk) {
        std::size_t part = std::min(kChunk, n - done);
        currentCapture_->appendBytes(static_cast<const char*>(data) + done, static_cast<int>(part));
    }
}

void orbScene_api_file::printIndented(const char* format, ...) {
    va_list args;
    va_start(args, format);
    printIndentedV(format, args);
    va_end(args);
}

void orbScene_api_file::printIndentedV(const char* format, va_list args) {
    if (!stream_) return;
    int formatted = std::vsnprintf(formatBuffer_.get(), kBufferSize, format, args);
    if (formatted < 0) return;
    std::size_t length = std::min<std::size_t>(static_cast<std::size_t>(formatted), kBufferSize - 1);
    writeIndented(formatBuffer_.get(), length);
}

// Every call starts with the indentation, and so does every line after a
// newline that the same output continues.
void orbScene_api_file::writeIndented(const char* text, std::size_t length) {
    std::size_t indent = static_cast<std::size_t>(indentWidth());
    if (indent == 0) {
        emitText(text, length);
        return;
    }
    char* line = lineBuffer_.get();
    const std::size_t limit = kBufferSize - 1;
    std::size_t out = 0;
    auto putIndent = [&] {
        std::size_t n = std::min(indent, limit - out);
        std::memset(line + out, ' ', n);
        out += n;
    };
    putIndent();
    for (std::size_t i = 0; i < length && out < limit; ++i) {
        line[out++] = text[i];
        if (text[i] == '\n' && i + 1 < length) putIndent();
    }
    emitText(line, out);
}

void orbScene_api_file::printRaw(const char* format, ...) {
    if (!stream_) return;
    va_list args;
    va_start(args, format);
    int formatted = std::vsnprintf(formatBuffer_.get(), kBufferSize, format, args);
    va_end(args);
    if (formatted < 0) return;
    emitText(formatBuffer_.get(), std::min<std::size_t>(static_cast<std::size_t>(formatted), kBufferSize - 1));
}

void orbScene_api_file::writeQuoted(const char* s) {
    if (!stream_) return;
    if (!s) s = "";
    if (!needsHex(s)) {
        printIndented("\"%s\"", s);
        return;
    }
    std::size_t length = std::strlen(s);
    std::string hex = "xX";
    hex.reserve(2 + length * 2);
    for (std::size_t i = 0; i < length; ++i) {
        unsigned char byte = static_cast<unsigned char>(s[i]);
        hex += kHexDigits[byte >> 4];
        hex += kHexDigits[byte & 0xF];
    }
    writeBytes(hex.data(), hex.size());
}

void orbScene_api_file::writeName(const char* s) {
    int depth = depth_;
    depth_ = 0;
    writeQuoted(s);
    depth_ = depth;
}

void orbScene_api_file::writeHex(const unsigned char* data, int n) {
    std::string hex = "bX";
    if (data && n > 0) {
        hex.reserve(2 + static_cast<std::size_t>(n) * 2);
        for (int i = 0; i < n; ++i) {
            hex += kHexDigits[data[i] >> 4];
            hex += kHexDigits[data[i] & 0xF];
        }
    }
    writeBytes(hex.data(), hex.size());
}

void orbScene_api_file::writeCapture(const ShaderText* text) {
    if (!text || !text->data) return;
    if (text->binary)
        writeBytes(text->data, static_cast<std::size_t>(text->length));
    else
        printIndented("%s", text->data);
}

// ---------------------------------------------------------------------------
// Values

template <int N, typename T>
void orbScene_api_file::writeTuple(const void* values) {
    char buffer[N * (kMaxGChars + 1)];
    const char* end = formatTuple<N>(buffer, static_cast<const T*>(values));
    emitText(buffer, static_cast<std::size_t>(end - buffer));
}

void orbScene_api_file::writeValue(unsigned type, const void* value) {
    if (!stream_ || !value) return;
    if (type & ParamType::ArrayBit) {
        writeArray(type, value);
        return;
    }
    switch (type) {
        case ParamType::Float3: writeTuple<3, float>(value); break;
        case ParamType::Float4:
        case ParamType::Float4b: writeTuple<4, float>(value); break;
        case ParamType::Float2: writeTuple<2, float>(value); break;
        case ParamType::Float: {
            double clamped = clampFloat(*static_cast<const float*>(value));
            char buffer[64];
            emitText(buffer, static_cast<std::size_t>(formatG(buffer, clamped) - buffer));
            break;
        }
        case ParamType::Double: {
            char buffer[kMaxFixedChars];
            const double v = *static_cast<const double*>(value);
            if (std::fabs(v) < kFixedLimit)
                emitText(buffer, static_cast<std::size_t>(formatFixed16(buffer, v) - buffer));
            else
                printRaw("%16.16f", v);
            break;
        }
        case ParamType::Double3: writeTuple<3, double>(value); break;
        case ParamType::Int:
        case ParamType::IntAlt: writeTuple<1, int>(value); break;
        case ParamType::Int2: writeTuple<2, int>(value); break;
        case ParamType::Int3: writeTuple<3, int>(value); break;
        case ParamType::Int4: writeTuple<4, int>(value); break;
        case ParamType::Bool: printRaw("%s", *static_cast<const int*>(value) ? "on" : "off"); break;
        case ParamType::Matrix: {
            const double* m = static_cast<const double*>(value);
            float rounded[16];
            for (int i = 0; i < 16; ++i) rounded[i] = static_cast<float>(m[i]);
            writeTuple<16, float>(rounded);
            break;
        }
        case ParamType::String:
        case ParamType::StringRef: writeName(static_cast<const char*>(value)); break;
        case ParamType::Text: {
            int depth = depth_;
            depth_ = 2;
            writeCapture(static_cast<const ShaderText*>(value));
            depth_ = depth;
            break;
        }
        default: break;  // unknown codes write nothing
    }
}

// `parameter` and `listItem` hand their value here after resolving the codes
// whose value pointer points to the real pointer.
const void* orbScene_api_file::resolveValue(unsigned type, const void* value) {
    if (!value) return nullptr;
    if (type == ParamType::StringRef) return *static_cast<const char* const*>(value);
    if (type == ParamType::Text) return *static_cast<const ShaderText* const*>(value);
    return value;
}

// ---------------------------------------------------------------------------
// Arrays

void orbScene_api_file::Staging::put(const char* data, std::size_t n) {
    while (n > 0) {
        if (used == kBufferSize) flush();
        std::size_t part = std::min(n, kBufferSize - used);
        std::memcpy(writer.lineBuffer_.get() + used, data, part);
        used += part;
        data += part;
        n -= part;
    }
}

void orbScene_api_file::Staging::indent(std::size_t n) {
    while (n > 0) {
        if (used == kBufferSize) flush();
        std::size_t part = std::min(n, kBufferSize - used);
        std::memset(writer.lineBuffer_.get() + used, ' ', part);
        used += part;
        n -= part;
    }
}

char* orbScene_api_file::Staging::reserve(std::size_t n) {
    if (used + n > kBufferSize) flush();
    return writer.lineBuffer_.get() + used;
}

void orbScene_api_file::Staging::commit(char* end) {
    used = static_cast<std::size_t>(end - writer.lineBuffer_.get());
}

void orbScene_api_file::Staging::flush() {
    writer.emitText(writer.lineBuffer_.get(), used);
    used = 0;
}

// The common text layout: "[ ", elements separated by ",", a single space
// after the last, a line break after every ninth element, "] ".
template <typename FormatElement>
void orbScene_api_file::writeTextArray(std::uint32_t count, FormatElement formatElement) {
    Staging stage{*this};
    const std::size_t indent = static_cast<std::size_t>(indentWidth());
    stage.put("[ ", 2);
    for (std::uint32_t i = 0; i < count; ++i) {
        char* p = formatElement(stage.reserve(kMaxElementChars), i);
        *p++ = (i + 1 == count) ? ' ' : ',';
        stage.commit(p);
        if (i > 0 && i % 8 == 0) {
            stage.put("\n", 1);
            stage.indent(indent);
        }
    }
    stage.put("] ", 2);
    stage.flush();
}

void orbScene_api_file::writeBinaryBlock(char tag, const void* data, std::uint32_t scalars, std::size_t scalarSize) {
    printRaw("[ ");
    const unsigned char header[8] = {
        0x01, 0x02, 0x03, static_cast<unsigned char>(tag),
        static_cast<unsigned char>(scalars), static_cast<unsigned char>(scalars >> 8),
        static_cast<unsigned char>(scalars >> 16), static_cast<unsigned char>(scalars >> 24)};
    writeBytes(header, sizeof header);
    writeLittleEndian(data, scalars, scalarSize);
    printRaw("] ");
}

void orbScene_api_file::writeLittleEndian(const void* data, std::size_t scalars, std::size_t scalarSize) {
    if constexpr (std::endian::native == std::endian::little) {
        writeBytes(data, scalars * scalarSize);
    } else {
        const unsigned char* in = static_cast<const unsigned char*>(data);
        unsigned char swapped[8];
        for (std::size_t i = 0; i < scalars; ++i, in += scalarSize) {
            for (std::size_t b = 0; b < scalarSize; ++b) swapped[b] = in[scalarSize - 1 - b];
            writeBytes(swapped, scalarSize);
        }
    }
}

void orbScene_api_file::writeArray(unsigned type, const void* value) {
    // Every descriptor has the same layout whatever its element type.
    const auto& raw = *static_cast<const ParamArray<void>*>(value);
    const std::uint32_t count = raw.data ? raw.count : 0;
    switch (type) {
        case ParamType::FloatArray: {
            const float* data = static_cast<const float*>(raw.data);
            if (binary_) return writeBinaryBlock('f', data, count, sizeof(float));
            return writeTextArray(count, [data](char* p, std::uint32_t i) { return formatG(p, clampFloat(data[i])); });
        }
        case ParamType::DoubleArray: {
            const double* data = static_cast<const double*>(raw.data);
            if (binary_) return writeBinaryBlock('r', data, count, sizeof(double));
            return writeTextArray(count, [data](char* p, std::uint32_t i) { return formatFixed16(p, clampDoubleArray(data[i])); });
        }
        case ParamType::IntArray:
        case ParamType::IntAltArray: {
            const int* data = static_cast<const int*>(raw.data);
            if (binary_) return writeBinaryBlock('i', data, count, sizeof(int));
            return writeTextArray(count, [data](char* p, std::uint32_t i) { return formatInt(p, data[i]); });
        }
        case ParamType::Float3Array: {
            const float* data = static_cast<const float*>(raw.data);
            if (binary_) return writeBinaryBlock('c', data, count * 3u, sizeof(float));
            return writeTextArray(count, [data](char* p, std::uint32_t i) { return formatTuple<3>(p, data + std::size_t{i} * 3); });
        }
        case ParamType::Float4Array: {
            const float* data = static_cast<const float*>(raw.data);
            return writeTextArray(count, [data](char* p, std::uint32_t i) { return formatTuple<4>(p, data + std::size_t{i} * 4); });
        }
        case ParamType::Double3Array: {
            const double* data = static_cast<const double*>(raw.data);
            return writeTextArray(count, [data](char* p, std::uint32_t i) { return formatTuple<3>(p, data + std::size_t{i} * 3); });
        }
        case ParamType::BoolArray: {
            const int* data = static_cast<const int*>(raw.data);
            return writeTextArray(count, [data](char* p, std::uint32_t i) {
                *p++ = data[i] ? '1' : '0';
                return p;
            });
        }
        case ParamType::MatrixArray:
            return writeMatrixArray(static_cast<const double*>(raw.data), count);
        case ParamType::StringArray:
        case ParamType::StringRefArray:
            return writeStringArray(static_cast<const char* const*>(raw.data), count);
        default: return;  // other array codes write nothing at all
    }
}

void orbScene_api_file::writeMatrixArray(const double* matrices, std::uint32_t count) {
    Staging stage{*this};
    const std::size_t indent = static_cast<std::size_t>(indentWidth());
    stage.put("[ ", 2);
    for (std::uint32_t i = 0; i < count; ++i) {
        stage.indent(indent);
        const double* m = matrices + std::size_t{i} * 16;
        for (int k = 0; k < 16; ++k) {
            char* p = formatG(stage.reserve(kMaxElementChars), m[k]);
            *p++ = ' ';
            stage.commit(p);
        }
        if (i + 1 < count)
            stage.put(",\n", 2);
        else
            stage.put("\n", 1);
    }
    stage.put("] ", 2);
    stage.flush();
}

void orbScene_api_file::writeStringArray(const char* const* strings, std::uint32_t count) {
    printRaw("[ ");
    for (std::uint32_t i = 0; i < count; ++i) {
        writeName(strings[i]);
        printRaw("%s", i + 1 == count ? " " : ",");
        if (i > 0 && i % 8 == 0) {
            printIndented("%s", "");
            printRaw("\n");
        }
    }
    printRaw("] ");
}

// ---------------------------------------------------------------------------
// Lists

bool orbScene_api_file::beginList(const char* name) {
    listCount_ = 0;
    writeQuoted(name);
    printRaw(" [\n");
    ++depth_;
    printIndented("%s", "");
    listValueCount_ = 0;
    return true;
}

void orbScene_api_file::collectListValues(char tag, const void* values, int n) {
    const std::uint32_t* words = static_cast<const std::uint32_t*>(values);
    for (int i = 0; i < n; ++i) {
        if (listValueCount_ >= listValueCapacity_) {
            std::uint32_t capacity = listValueCount_ + listValueCapacity_ + 65536;
            auto grown = std::make_unique<std::uint32_t[]>(capacity);
            if (listValueCount_) std::memcpy(grown.get(), listValues_.get(), listValueCount_ * sizeof(std::uint32_t));
            listValues_ = std::move(grown);
            listValueCapacity_ = capacity;
        }
        std::memcpy(&listValues_[listValueCount_++], words + i, sizeof(std::uint32_t));
    }
    binaryListTag_ = tag;
}

void orbScene_api_file::listItem(unsigned type, const void* value) {
    if (!value) return;
    if (binary_) {
        switch (type) {
            case ParamType::Float3: return collectListValues('c', value, 3);
            case ParamType::Float: return collectListValues('f', value, 1);
            case ParamType::Int: return collectListValues('i', value, 1);
            default: break;
        }
    }
    if (listCount_ > 0) {
        // Two triples per line, six of anything else.
        bool breakLine = type == ParamType::Float3 ? listCount_ % 2 == 0 : listCount_ % 6 == 0;
        if (breakLine) {
            printRaw(",\n");
            printIndented("%s", "");
        } else {
            printRaw(", ");
        }
    }
    writeValue(type, resolveValue(type, value));
    ++listCount_;
}

void orbScene_api_file::endList() {
    if (binary_ && listValueCount_ > 0) {
        const unsigned char header[8] = {
            0x01, 0x02, 0x03, static_cast<unsigned char>(binaryListTag_),
            static_cast<unsigned char>(listValueCount_), static_cast<unsigned char>(listValueCount_ >> 8),
            static_cast<unsigned char>(listValueCount_ >> 16), static_cast<unsigned char>(listValueCount_ >> 24)};
        writeBytes(header, sizeof header);
        writeLittleEndian(listValues_.get(), listValueCount_, sizeof(std::uint32_t));
        listValueCount_ = 0;
    }
    printRaw(" ],\n");
    --depth_;
}

// ---------------------------------------------------------------------------
// Parameters

bool orbScene_api_file::parameter(const char* name, unsigned type, const void* value) {
    if (!name) name = "";
    const void* resolved = resolveValue(type, value);
    if (type == ParamType::IntAlt) {
        writeName(name);
        printRaw(" ");
        if (value) printRaw("%d,\n", *static_cast<const int*>(value));
    }
    if (settingsMode_) {
        printIndented("%s ", name);
        writeValue(type, resolved);
        printRaw("\n");
    } else {
        writeQuoted(name);
        printRaw(" ");
        writeValue(type, resolved);
        printRaw(",\n");
    }
    return true;
}

// ---------------------------------------------------------------------------
// Shader capture

bool orbScene_api_file::beginShader(const char* name, const char* shaderClass) {
    savedCapturing_.push(capturing_);
    captureStack_.push(currentCapture_);
    savedBlockModes_.push(settingsMode_);
    settingsMode_ = false;
    if (name) {
        capturing_ = false;
        printIndented("#define shader ");
        writeName(name);
        printRaw(" ");
        writeName(shaderClass);
    } else {
        auto* capture = new ShaderText;
        allCaptures_.push(capture);
        currentCapture_ = capture;
        capturing_ = true;
        savedDepths_.push(depth_);
        depth_ = 0;
        writeQuoted(shaderClass);
    }
    printRaw(" {\n");
    ++depth_;
    return true;
}

void orbScene_api_file::endShader() {
    --depth_;
    if (capturing_) {
        printRaw("}");
        depth_ = savedDepths_.pop();
    } else {
        printIndented("}\n");
    }
    settingsMode_ = savedBlockModes_.pop() != 0;
    captureStack_.pop();  // the finished capture stays current for currentText
    capturing_ = savedCapturing_.pop() != 0;
}

ShaderText* orbScene_api_file::currentText() { return currentCapture_; }

void orbScene_api_file::pushText() { captureStack_.push(currentCapture_); }

void orbScene_api_file::popText() { currentCapture_ = captureStack_.pop(); }
