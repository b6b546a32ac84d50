#pragma once
// Function set of the Lambert shader family (lambert, blinn, phong, phongE,
// anisotropic ...).

#include <maya/MColor.h>
#include <maya/MFnDependencyNode.h>

class MFnLambertShader : public MFnDependencyNode {
public:
    MFnLambertShader() = default;
    MFnLambertShader(const MObject& object, MStatus* ReturnStatus = NULL);

    MFn::Type type() const override { return MFn::kLambert; }
    MStatus setObject(const MObject& object) override;

    MColor color(MStatus* ReturnStatus = NULL) const;
    MColor transparency(MStatus* ReturnStatus = NULL) const;
    MColor ambientColor(MStatus* ReturnStatus = NULL) const;
    MColor incandescence(MStatus* ReturnStatus = NULL) const;
    float diffuseCoeff(MStatus* ReturnStatus = NULL) const;
    float translucenceCoeff(MStatus* ReturnStatus = NULL) const;
    float glowIntensity(MStatus* ReturnStatus = NULL) const;
    float refractiveIndex(MStatus* ReturnStatus = NULL) const;

private:
    MColor colorOf(const char* attr, MStatus* ReturnStatus) const;
    float floatOf(const char* attr, MStatus* ReturnStatus) const;
};
