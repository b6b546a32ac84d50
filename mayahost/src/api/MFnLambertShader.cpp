#include <maya/MFnLambertShader.h>

#include "api/ApiSupport.h"

using namespace mayahost;

MFnLambertShader::MFnLambertShader(const MObject& object, MStatus* ReturnStatus) {
    MStatus s = attach(object);
    if (ReturnStatus) *ReturnStatus = s;
}

MStatus MFnLambertShader::setObject(const MObject& object) { return attach(object); }

MColor MFnLambertShader::colorOf(const char* attr, MStatus* ReturnStatus) const {
    Node* n = nodeOf(obj_);
    PlugPath p;
    if (!n || !n->scene().resolvePlug(*n, attr, p)) {
        if (ReturnStatus) *ReturnStatus = MStatus::withReason(MStatus::kInvalidParameter, "no shader attached");
        return MColor();
    }
    double rgb[3] = {0, 0, 0};
    n->scene().readNumbers(*n, p, rgb, 3);
    if (ReturnStatus) *ReturnStatus = MStatus::kSuccess;
    return MColor(static_cast<float>(rgb[0]), static_cast<float>(rgb[1]), static_cast<float>(rgb[2]));
}

float MFnLambertShader::floatOf(const char* attr, MStatus* ReturnStatus) const {
    Node* n = nodeOf(obj_);
    PlugPath p;
    if (!n || !n->scene().resolvePlug(*n, attr, p)) {
        if (ReturnStatus) *ReturnStatus = MStatus::withReason(MStatus::kInvalidParameter, "no shader attached");
        return 0.0f;
    }
    double v = 0;
    n->scene().readNumbers(*n, p, &v, 1);
    if (ReturnStatus) *ReturnStatus = MStatus::kSuccess;
    return static_cast<float>(v);
}

MColor MFnLambertShader::color(MStatus* s) const { return colorOf("color", s); }
MColor MFnLambertShader::transparency(MStatus* s) const { return colorOf("transparency", s); }
MColor MFnLambertShader::ambientColor(MStatus* s) const { return colorOf("ambientColor", s); }
MColor MFnLambertShader::incandescence(MStatus* s) const { return colorOf("incandescence", s); }
float MFnLambertShader::diffuseCoeff(MStatus* s) const { return floatOf("diffuse", s); }
float MFnLambertShader::translucenceCoeff(MStatus* s) const { return floatOf("translucence", s); }
float MFnLambertShader::glowIntensity(MStatus* s) const { return floatOf("glowIntensity", s); }
float MFnLambertShader::refractiveIndex(MStatus* s) const { return floatOf("refractiveIndex", s); }
