#pragma once
// Writes the scene as "dal" text, with optional binary blocks for the large
// numeric arrays. The document primitives and value forms live in
// orbScene_api_file_document.cpp, the records of the operations in
// orbScene_api_file_records.cpp.

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "sceneapi/ShaderText.h"
#include "sceneapi/WriterStack.h"
#include "sceneapi/orbScene_api.h"

class orbScene_api_file : public orbScene_api {
public:
    // Output flag bits.
    static constexpr unsigned kFlagBinaryArrays = 0x2;
    static constexpr unsigned kFlagNoIndent = 0x400000;
    static constexpr unsigned kDefaultFlags = 0x400001;
    static constexpr std::size_t kBufferSize = 0x100000;

    // Writes to an open stream it does not own; null drops every write.
    orbScene_api_file(FILE* stream, bool binary);
    // Opens (creates or truncates) a UTF-8 named file and owns it; if it
    // cannot be opened, the writer behaves as on a null stream.
    orbScene_api_file(const std::string& fileName, bool binary);
    ~orbScene_api_file() override;
    orbScene_api_file(const orbScene_api_file&) = delete;
    orbScene_api_file& operator=(const orbScene_api_file&) = delete;

    void reserved1() override;
    bool beginGroup(const char* name, bool inPlace) override;
    void endGroup() override;
    bool beginObject(const char* name, bool inPlace) override;
    void endObject() override;
    bool beginGeometry(const char* name) override;
    void endGeometry() override;
    bool beginAnimation(const char* a, const char* b) override;
    int endAnimation() override;
    bool beginLoad(const char* module) override;
    void endLoad() override;
    bool beginOptions() override;
    void endOptions() override;
    bool beginCamera(const char* name) override;
    void endCamera() override;
    bool beginImage() override;
    void endImage() override;
    bool beginOutput(const char* a, const char* b, const char* c) override;
    void endOutput() override;
    bool beginLight(const char* name) override;
    void endLight() override;
    bool beginAccel(const char* name) override;
    void endAccel() override;
    void transform(const double m[16]) override;
    void setTransform(const double m[16]) override;
    void scale(const double& x, const double& y, const double& z) override;
    void rotate(const double& x, const double& y, const double& z) override;
    void translate(const double& x, const double& y, const double& z) override;
    bool beginMatrix(const char* name) override;
    void endMatrix() override;
    bool beginMaterial(const char* name, bool inPlace) override;
    bool material(const char* name) override;
    void endMaterial() override;
    void shaderBlock(int kind, const ShaderText* text) override;
    void shaderRef(int kind, int shaderId) override;
    bool beginShader(const char* name, const char* shaderClass) override;
    bool beginShaderId(const char* shaderClass, int shaderId) override;
    void endShader() override;
    ShaderText* currentText() override;
    void pushText() override;
    void popText() override;
    bool parameter(const char* name, unsigned type, const void* value) override;
    bool parameterShaderId(const char* name, int shaderId) override;
    bool parameterShader(const char* name, const ShaderText* text) override;
    bool beginList(const char* name) override;
    void endList() override;
    void listItem(unsigned type, const void* value) override;
    int reserved51() override;
    int reserved52() override;
    int reserved53() override;
    void attribute(const char* key, const char* value) override;
    void text(const char* format, ...) override;
    void setFlags(unsigned flags) override;
    void version(int v) override;
    void reserved58() override;
    void progress(const char* label, float fraction) override;
    void icon(const unsigned char* data, int size) override;
    void binaryValue(const char* key, const unsigned char* data, int size) override;
    void id(unsigned id) override;
    void flags(unsigned flags) override;
    bool reserved64() override;
    bool render() override;
    void print(const char* text) override;
    void error(const char* text) override;

    // Slot 68: "#modify " followed by a camera block.
    virtual bool beginModifyCamera(const char* name);

private:
    enum Section : int { kNoSection = 0, kOptions = 1, kCamera = 2, kImage = 3, kObject = 4 };

    // Collects text-array output in the line buffer so that large arrays are
    // formatted without a printf call or an allocation per element.
    struct Staging {
        orbScene_api_file& writer;
        std::size_t used = 0;
        void put(const char* data, std::size_t n);
        void indent(std::size_t n);
        char* reserve(std::size_t n);  // room for n bytes; commit what was written
        void commit(char* end);
        void flush();
    };

    // Document primitives; all of them write nothing when the stream is null.
    int indentWidth() const;
    void emitText(const char* data, std::size_t n);
    void writeIndented(const char* text, std::size_t length);
    void printIndented(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void printIndentedV(const char* format, va_list args);
    void printRaw(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void writeBytes(const void* data, std::size_t n);
    void writeQuoted(const char* s);
    void writeName(const char* s);
    void writeHex(const unsigned char* data, int n);
    void writeCapture(const ShaderText* text);

    // Value forms.
    static const void* resolveValue(unsigned type, const void* value);
    void writeValue(unsigned type, const void* value);
    template <int N, typename T>
    void writeTuple(const void* values);
    void writeArray(unsigned type, const void* value);
    template <typename FormatElement>
    void writeTextArray(std::uint32_t count, FormatElement formatElement);
    void writeMatrixArray(const double* matrices, std::uint32_t count);
    void writeStringArray(const char* const* strings, std::uint32_t count);
    void writeBinaryBlock(char tag, const void* data, std::uint32_t scalars, std::size_t scalarSize);
    void writeLittleEndian(const void* data, std::size_t scalars, std::size_t scalarSize);
    void collectListValues(char tag, const void* values, int n);

    // Records.
    bool beginSection(Section section);
    void endSection(Section section);
    void closeBlock();
    void pushMode(bool settings);
    void popMode();
    void writeVisibility();
    void writeMatrixRecord(const char* keyword, const double m[16]);
    void writeMessage(const char* directive, const char* text);

    WriterStack<int> savedDepths_;
    WriterStack<ShaderText*> allCaptures_;  // owns every capture; null at the bottom
    WriterStack<ShaderText*> captureStack_;
    WriterStack<unsigned char> savedCapturing_;
    WriterStack<unsigned char> savedBlockModes_;
    bool capturing_ = false;
    ShaderText* currentCapture_ = nullptr;
    FILE* stream_;
    unsigned visibility_ = 0;
    int depth_ = 0;
    int listCount_ = 0;
    bool settingsMode_ = false;  // false: shader mode
    int section_ = kNoSection;
    bool binary_;
    bool ownsStream_ = false;
    char binaryListTag_ = 'f';
    std::unique_ptr<std::uint32_t[]> listValues_;
    std::uint32_t listValueCount_ = 0;
    std::uint32_t listValueCapacity_ = 0;
    unsigned outputFlags_ = kDefaultFlags;
    std::unique_ptr<char[]> formatBuffer_;
    std::unique_ptr<char[]> lineBuffer_;
    std::unique_ptr<std::string> savedNumericLocale_;
};
