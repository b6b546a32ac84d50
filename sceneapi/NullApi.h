#pragma once
// An implementation that accepts every call and writes nothing: it backs a
// scene front that can be driven without producing any output.

#include "sceneapi/orbScene_api.h"

class NullApi : public orbScene_api {
public:
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
};
