// The record each operation of the scene API writes.

#include "sceneapi/orbScene_api_file.h"

// ---------------------------------------------------------------------------
// Block bookkeeping

void orbScene_api_file::pushMode(bool settings) {
    savedBlockModes_.push(settingsMode_);
    settingsMode_ = settings;
}

void orbScene_api_file::popMode() { settingsMode_ = savedBlockModes_.pop() != 0; }

void orbScene_api_file::closeBlock() {
    --depth_;
    printIndented("}\n");
}

// Options, camera and image are top-level sections; a second one cannot open
// inside the first.
bool orbScene_api_file::beginSection(Section section) {
    if (section_ != kNoSection) return false;
    capturing_ = false;
    settingsMode_ = true;
    section_ = section;
    return true;
}

void orbScene_api_file::endSection(Section section) {
    if (section_ == section) closeBlock();
    section_ = kNoSection;
    settingsMode_ = false;
}

// ---------------------------------------------------------------------------
// Blocks

void orbScene_api_file::reserved1() {}

bool orbScene_api_file::beginGroup(const char* name, bool inPlace) {
    printRaw("\n");
    if (!inPlace) printIndented("#define ");
    printIndented("group ");
    writeName(name);
    printRaw(" {\n");
    pushMode(true);
    ++depth_;
    return true;
}

void orbScene_api_file::endGroup() {
    closeBlock();
    popMode();
}

bool orbScene_api_file::beginObject(const char* name, bool inPlace) {
    printIndented(inPlace ? "object " : "#define object ");
    writeName(name);
    printRaw(" {\n");
    pushMode(true);
    section_ = kObject;
    visibility_ = 0xF00;
    ++depth_;
    return true;
}

void orbScene_api_file::writeVisibility() {
    if (!(visibility_ & 0x200)) printIndented("caustics store off\n");
    if (!(visibility_ & 0x100)) printIndented("caustics trace off\n");
    if (!(visibility_ & 0x800)) printIndented("ambient store off\n");
    if (!(visibility_ & 0x400)) printIndented("ambient trace off\n");
    if (visibility_ & 0x4000) printIndented("invisible on\n");
}

void orbScene_api_file::endObject() {
    writeVisibility();
    popMode();
    section_ = kNoSection;
    closeBlock();
}

bool orbScene_api_file::beginGeometry(const char* name) {
    printIndented("geometry ");
    writeName(name);
    printRaw(" {\n");
    pushMode(false);
    ++depth_;
    return true;
}

void orbScene_api_file::endGeometry() {
    closeBlock();
    popMode();
}

bool orbScene_api_file::beginAnimation(const char* a, const char* b) {
    printIndented("animation ");
    writeName(a);
    printIndented(" ");
    writeName(b);
    printRaw(" {\n");
    pushMode(false);
    ++depth_;
    return true;
}

int orbScene_api_file::endAnimation() {
    closeBlock();
    popMode();
    return 0;
}

bool orbScene_api_file::beginLoad(const char* module) {
    printIndented("load ");
    writeName(module);
    printRaw(" {\n");
    ++depth_;
    return true;
}

void orbScene_api_file::endLoad() { closeBlock(); }

bool orbScene_api_file::beginOptions() {
    if (!beginSection(kOptions)) return false;
    printIndented("\noptions {\n");
    ++depth_;
    return true;
}

void orbScene_api_file::endOptions() { endSection(kOptions); }

bool orbScene_api_file::beginCamera(const char* name) {
    if (!beginSection(kCamera)) return false;
    if (name) {
        printIndented("\ncamera ");
        writeName(name);
        printRaw(" {\n");
    } else {
        printIndented("\ncamera {\n");
    }
    ++depth_;
    return true;
}

void orbScene_api_file::endCamera() { endSection(kCamera); }

bool orbScene_api_file::beginModifyCamera(const char* name) {
    printIndented("#modify ");
    return beginCamera(name);
}

bool orbScene_api_file::beginImage() {
    if (!beginSection(kImage)) return false;
    printIndented("\nimage {\n");
    ++depth_;
    return true;
}

void orbScene_api_file::endImage() { endSection(kImage); }

bool orbScene_api_file::beginOutput(const char* a, const char* b, const char* c) {
    settingsMode_ = false;
    printIndented("output ");
    writeName(a);
    printRaw(" ");
    writeName(b);
    printRaw(" ");
    writeName(c);
    printRaw(" {\n");
    ++depth_;
    return true;
}

void orbScene_api_file::endOutput() {
    --depth_;
    settingsMode_ = true;
    printIndented("}\n");
}

bool orbScene_api_file::beginLight(const char* name) {
    printRaw("\n");
    printIndented("light ");
    writeName(name);
    printRaw(" {\n");
    ++depth_;
    return true;
}

void orbScene_api_file::endLight() { closeBlock(); }

bool orbScene_api_file::beginAccel(const char* name) {
    printIndented("\naccel ");
    writeName(name);
    printRaw(" {\n");
    pushMode(false);
    ++depth_;
    return true;
}

void orbScene_api_file::endAccel() {
    closeBlock();
    popMode();
}

bool orbScene_api_file::beginMatrix(const char* name) {
    printIndented("#define matrix ");
    writeName(name);
    printRaw(" {\n");
    ++depth_;
    return true;
}

void orbScene_api_file::endMatrix() { closeBlock(); }

bool orbScene_api_file::beginMaterial(const char* name, bool inPlace) {
    if (!inPlace) printIndented("\n#define ");
    printIndented("material ");
    writeName(name);
    printRaw(" {\n");
    ++depth_;
    return true;
}

void orbScene_api_file::endMaterial() { closeBlock(); }

bool orbScene_api_file::beginShaderId(const char* shaderClass, int shaderId) {
    savedCapturing_.push(capturing_);
    captureStack_.push(currentCapture_);
    savedBlockModes_.push(settingsMode_);
    settingsMode_ = false;
    capturing_ = false;
    printIndented("#define shader %d %s {\n", shaderId, shaderClass ? shaderClass : "");
    ++depth_;
    return true;
}

// ---------------------------------------------------------------------------
// Lines inside blocks

void orbScene_api_file::writeMatrixRecord(const char* keyword, const double m[16]) {
    if (!m) return;
    float f[16];
    for (int i = 0; i < 16; ++i) f[i] = static_cast<float>(m[i]);
    printIndented("%s %g %g %g %g %g %g %g %g %g %g %g %g %g %g %g %g\n", keyword, f[0], f[1], f[2], f[3], f[4],
                  f[5], f[6], f[7], f[8], f[9], f[10], f[11], f[12], f[13], f[14], f[15]);
}

void orbScene_api_file::transform(const double m[16]) { writeMatrixRecord("transform", m); }

void orbScene_api_file::setTransform(const double m[16]) { writeMatrixRecord("set transform", m); }

void orbScene_api_file::scale(const double& x, const double& y, const double& z) {
    printIndented("scale %g %g %g\n", x, y, z);
}

void orbScene_api_file::rotate(const double& x, const double& y, const double& z) {
    printIndented("rotate %g %g %g\n", x, y, z);
}

void orbScene_api_file::translate(const double& x, const double& y, const double& z) {
    printIndented("translate %g %g %g\n", x, y, z);
}

bool orbScene_api_file::material(const char* name) {
    printIndented("material ");
    writeName(name);
    printRaw("\n");
    return true;
}

namespace {

// The keyword of a shader attachment; unknown kinds fall back to surface.
const char* kindWord(int kind) {
    switch (kind) {
        case ShaderKind::Surface: return "surface";
        case ShaderKind::Shadow: return "shadow";
        case ShaderKind::Volume: return "volume";
        case ShaderKind::ReflectionMap: return "reflection map";
        case ShaderKind::Init: return "init";
        default: return nullptr;
    }
}

}  // namespace

void orbScene_api_file::shaderBlock(int kind, const ShaderText* text) {
    if (!text) return;
    const char* word = kindWord(kind);
    if (!word) {
        printIndented("// assuming surface shader\n");
        word = "surface";
    }
    printIndented("%s ", word);
    writeCapture(text);
    printIndented("\n");
}

void orbScene_api_file::shaderRef(int kind, int shaderId) {
    const char* word = kindWord(kind);
    if (!word) {
        printIndented("// assuming surface shader\n");
        word = "surface ";
    }
    printIndented("%s", word);
    printRaw(" %d\n", shaderId);
}

bool orbScene_api_file::parameterShaderId(const char* name, int shaderId) {
    writeQuoted(name);
    printRaw(" ! %d,\n", shaderId);
    return true;
}

bool orbScene_api_file::parameterShader(const char* name, const ShaderText* text) {
    writeQuoted(name);
    printRaw(" ! ");
    writeCapture(text);
    printIndented(",\n");
    return true;
}

int orbScene_api_file::reserved51() { return 10; }
int orbScene_api_file::reserved52() { return 10; }
int orbScene_api_file::reserved53() { return 0; }

void orbScene_api_file::attribute(const char* key, const char* value) {
    printIndented("attribute ");
    writeName(key);
    printRaw(" ");
    writeName(value);
    printRaw("\n");
}

void orbScene_api_file::text(const char* format, ...) {
    if (!format) return;
    va_list args;
    va_start(args, format);
    printIndentedV(format, args);
    va_end(args);
}

void orbScene_api_file::setFlags(unsigned flags) {
    outputFlags_ = flags;
    binary_ = (flags & kFlagBinaryArrays) != 0;
}

void orbScene_api_file::version(int v) { printIndented("version %d\n\n", v == -1 ? 8 : v); }

void orbScene_api_file::reserved58() {}

void orbScene_api_file::progress(const char* label, float fraction) {
    printIndented("progress ");
    writeName(label);
    printRaw(" %.3f\n\n", static_cast<double>(fraction));
}

void orbScene_api_file::icon(const unsigned char* data, int size) {
    printIndented("icon ");
    writeHex(data, size);
    printIndented("\n");
}

void orbScene_api_file::binaryValue(const char* key, const unsigned char* data, int size) {
    printIndented("%s ", key ? key : "");
    writeHex(data, size);
    printIndented("\n");
}

void orbScene_api_file::id(unsigned id) { printIndented("id %u\n", id); }

void orbScene_api_file::flags(unsigned flags) { printIndented("flags %u\n", flags); }

bool orbScene_api_file::reserved64() { return false; }

bool orbScene_api_file::render() {
    printIndented("\nrender\n");
    return true;
}

void orbScene_api_file::writeMessage(const char* directive, const char* text) {
    printIndented("%s \"", directive);
    printIndented("%s", text ? text : "");
    printRaw("\"\n");
}

void orbScene_api_file::print(const char* text) { writeMessage("#print", text); }

void orbScene_api_file::error(const char* text) { writeMessage("#error", text); }
