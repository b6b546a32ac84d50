#include "sceneapi/NullApi.h"

void NullApi::reserved1() {}
bool NullApi::beginGroup(const char*, bool) { return false; }
void NullApi::endGroup() {}
bool NullApi::beginObject(const char*, bool) { return false; }
void NullApi::endObject() {}
bool NullApi::beginGeometry(const char*) { return false; }
void NullApi::endGeometry() {}
bool NullApi::beginAnimation(const char*, const char*) { return false; }
int NullApi::endAnimation() { return 0; }
bool NullApi::beginLoad(const char*) { return false; }
void NullApi::endLoad() {}
bool NullApi::beginOptions() { return false; }
void NullApi::endOptions() {}
bool NullApi::beginCamera(const char*) { return false; }
void NullApi::endCamera() {}
bool NullApi::beginImage() { return false; }
void NullApi::endImage() {}
bool NullApi::beginOutput(const char*, const char*, const char*) { return false; }
void NullApi::endOutput() {}
bool NullApi::beginLight(const char*) { return false; }
void NullApi::endLight() {}
bool NullApi::beginAccel(const char*) { return false; }
void NullApi::endAccel() {}
void NullApi::transform(const double[16]) {}
void NullApi::setTransform(const double[16]) {}
void NullApi::scale(const double&, const double&, const double&) {}
void NullApi::rotate(const double&, const double&, const double&) {}
void NullApi::translate(const double&, const double&, const double&) {}
bool NullApi::beginMatrix(const char*) { return false; }
void NullApi::endMatrix() {}
bool NullApi::beginMaterial(const char*, bool) { return false; }
bool NullApi::material(const char*) { return false; }
void NullApi::endMaterial() {}
void NullApi::shaderBlock(int, const ShaderText*) {}
void NullApi::shaderRef(int, int) {}
bool NullApi::beginShader(const char*, const char*) { return false; }
bool NullApi::beginShaderId(const char*, int) { return false; }
void NullApi::endShader() {}
ShaderText* NullApi::currentText() { return nullptr; }
void NullApi::pushText() {}
void NullApi::popText() {}
bool NullApi::parameter(const char*, unsigned, const void*) { return false; }
bool NullApi::parameterShaderId(const char*, int) { return false; }
bool NullApi::parameterShader(const char*, const ShaderText*) { return false; }
bool NullApi::beginList(const char*) { return false; }
void NullApi::endList() {}
void NullApi::listItem(unsigned, const void*) {}
int NullApi::reserved51() { return 0; }
int NullApi::reserved52() { return 0; }
int NullApi::reserved53() { return 0; }
void NullApi::attribute(const char*, const char*) {}
void NullApi::text(const char*, ...) {}
void NullApi::setFlags(unsigned) {}
void NullApi::version(int) {}
void NullApi::reserved58() {}
void NullApi::progress(const char*, float) {}
void NullApi::icon(const unsigned char*, int) {}
void NullApi::binaryValue(const char*, const unsigned char*, int) {}
void NullApi::id(unsigned) {}
void NullApi::flags(unsigned) {}
bool NullApi::reserved64() { return false; }
bool NullApi::render() { return false; }
void NullApi::print(const char*) {}
void NullApi::error(const char*) {}
