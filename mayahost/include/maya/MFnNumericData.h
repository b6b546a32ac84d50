#pragma once
// Numeric data objects: the value of a numeric compound plug (a colour, a
// point) as one object.

#include <maya/MFnBase.h>

class MFnNumericData : public MFnBase {
public:
    enum Type {
        kInvalid, kBoolean, kByte, kChar, kShort, k2Short, k3Short, kLong, kInt = kLong, k2Long,
        k2Int = k2Long, k3Long, k3Int = k3Long, kFloat, k2Float, k3Float, kDouble, k2Double, k3Double,
        k4Double, kAddr, kLast
    };

    MFnNumericData() = default;
    MFnNumericData(const MObject& object, MStatus* ReturnStatus = NULL);

    MFn::Type type() const override { return MFn::kNumericData; }
    MObject create(Type dataType, MStatus* ReturnStatus = NULL);
    Type numericType(MStatus* ReturnStatus = NULL) const;

    MStatus getData(short& v1, short& v2) const;
    MStatus getData(int& v1, int& v2) const;
    MStatus getData(float& v1, float& v2) const;
    MStatus getData(double& v1, double& v2) const;
    MStatus getData(short& v1, short& v2, short& v3) const;
    MStatus getData(int& v1, int& v2, int& v3) const;
    MStatus getData(float& v1, float& v2, float& v3) const;
    MStatus getData(double& v1, double& v2, double& v3) const;
    MStatus getData(double& v1, double& v2, double& v3, double& v4) const;
    MStatus setData(int v1, int v2);
    MStatus setData(float v1, float v2);
    MStatus setData(double v1, double v2);
    MStatus setData(int v1, int v2, int v3);
    MStatus setData(float v1, float v2, float v3);
    MStatus setData(double v1, double v2, double v3);
    MStatus setData(double v1, double v2, double v3, double v4);

private:
    MStatus get(double* out, unsigned int count) const;
    MStatus put(const double* in, unsigned int count);
};
