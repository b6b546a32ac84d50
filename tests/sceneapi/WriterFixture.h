#pragma once
// Test support: a temporary stream whose bytes can be read back while a
// writer is still appending to it, a file writer on one, and the bytes of
// binary blocks spelled out independently of the writer.

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <type_traits>

#include "sceneapi/orbScene_api_file.h"

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
        std::string out(static_cast<std::size_t>(std::ftell(stream_)), '\0');
        std::rewind(stream_);
        out.resize(std::fread(out.data(), 1, out.size(), stream_));
        std::fseek(stream_, 0, SEEK_END);
        return out;
    }

private:
    FILE* stream_;
};

// Marker, tag letter, little-endian scalar count.
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

class WriterTest : public ::testing::Test {
protected:
    // Readable text arrays by default; tests of binary blocks ask for them.
    void useWriter(bool binary) { writer_ = std::make_unique<orbScene_api_file>(capture_.stream(), binary); }

    orbScene_api_file& writer() {
        if (!writer_) useWriter(false);
        return *writer_;
    }

    std::string out() { return capture_.bytes(); }

    // Each call must append exactly its own text; a failure names the step.
    struct Step {
        std::function<void()> call;
        std::string expected;
    };
    void expectSteps(std::initializer_list<Step> steps) {
        int index = 0;
        for (const Step& step : steps) {
            const std::size_t before = out().size();
            step.call();
            EXPECT_EQ(out().substr(before), step.expected) << "step " << index++;
        }
    }

    // Single parameters in shader mode: each appends `"name" written,`.
    struct Param {
        const char* name;
        unsigned type;
        const void* value;
        std::string written;
    };
    void expectParameters(std::initializer_list<Param> params) {
        for (const Param& p : params) {
            const std::size_t before = out().size();
            writer().parameter(p.name, p.type, p.value);
            std::string expected = "\"";  // built in steps: MinGW g++ 12 warns wrongly of overlap at "a" + b + "c"
            expected.append(p.name).append("\" ").append(p.written).append(",\n");
            EXPECT_EQ(out().substr(before), expected);
        }
    }

    StreamCapture capture_;
    std::unique_ptr<orbScene_api_file> writer_;
};

// Calls every operation of the interface once, in an order the file writer
// accepts, and lists what the answering ones returned; a capture is listed
// by its length, -1 for none.
inline std::string driveEverySlot(orbScene_api& api) {
    const double m[16] = {};
    const double one = 1;
    const float f = 1;
    const unsigned char bytes[] = {1};
    std::string answers;
    auto note = [&answers](long v) { answers += std::to_string(v) + " "; };
    api.reserved1();
    note(api.reserved2());
    note(api.reserved3());
    note(api.reserved4());
    note(api.beginGroup("g", true));
    note(api.beginObject("o", false));
    note(api.beginGeometry("geo"));
    note(api.parameter("p", ParamType::Float, &f));
    note(api.beginList("l"));
    api.listItem(ParamType::Float, &f);
    api.endList();
    api.endGeometry();
    api.endObject();
    note(api.beginAnimation("a", "b"));
    note(api.endAnimation());
    note(api.beginLoad("m"));
    api.endLoad();
    note(api.beginOptions());
    api.endOptions();
    note(api.beginCamera(nullptr));
    api.endCamera();
    note(api.beginImage());
    api.endImage();
    note(api.beginOutput("a", "b", "c"));
    api.endOutput();
    note(api.beginLight("l"));
    api.endLight();
    note(api.beginAccel("a"));
    api.endAccel();
    api.transform(m);
    api.setTransform(m);
    api.scale(one, one, one);
    api.rotate(one, one, one);
    api.translate(one, one, one);
    note(api.beginMatrix("m"));
    api.endMatrix();
    note(api.beginMaterial("m", false));
    api.pushText();
    note(api.beginShader(nullptr, "s"));
    note(api.parameterShaderId("p", 1));
    api.endShader();
    const ShaderText* text = api.currentText();
    note(text ? text->length : -1);
    api.popText();
    note(api.parameterShader("p", text));
    api.shaderBlock(ShaderKind::Surface, text);
    api.shaderRef(ShaderKind::Shadow, 1);
    note(api.material("m"));
    api.endMaterial();
    note(api.beginShaderId("s", 2));
    api.endShader();
    note(api.reserved51());
    note(api.reserved52());
    note(api.reserved53());
    api.attribute("k", "v");
    api.text("%d", 1);
    api.setFlags(orbScene_api_file::kDefaultFlags);
    api.version(-1);
    api.reserved58();
    api.progress("p", 0.5f);
    api.icon(bytes, 1);
    api.binaryValue("b", bytes, 1);
    api.id(1);
    api.flags(1);
    note(api.reserved64());
    note(api.render());
    api.print("p");
    api.error("e");
    api.endGroup();
    return answers;
}

}  // namespace sceneapitest
