#include <maya/MFnNumericData.h>

#include "api/ApiSupport.h"

using namespace mayahost;

namespace {

unsigned int componentsOf(MFnNumericData::Type t) {
    switch (t) {
    case MFnNumericData::k2Short:
    case MFnNumericData::k2Long:
    case MFnNumericData::k2Float:
    case MFnNumericData::k2Double: return 2;
    case MFnNumericData::k3Short:
    case MFnNumericData::k3Long:
    case MFnNumericData::k3Float:
    case MFnNumericData::k3Double: return 3;
    case MFnNumericData::k4Double: return 4;
    case MFnNumericData::kInvalid:
    case MFnNumericData::kLast:
    case MFnNumericData::kAddr: return 0;
    default: return 1;
    }
}

}  // namespace

MFnNumericData::MFnNumericData(const MObject& object, MStatus* ReturnStatus) {
    MStatus s = attach(object);
    if (ReturnStatus) *ReturnStatus = s;
}

MObject MFnNumericData::create(Type dataType, MStatus* ReturnStatus) {
    if (componentsOf(dataType) == 0) {
        if (ReturnStatus) *ReturnStatus = MStatus::withReason(MStatus::kInvalidParameter, "not a numeric data type");
        return MObject();
    }
    auto data = std::make_shared<NumericDataObject>();
    data->numericType = dataType;
    obj_ = MObject(std::move(data));
    if (ReturnStatus) *ReturnStatus = MStatus::kSuccess;
    return obj_;
}

MFnNumericData::Type MFnNumericData::numericType(MStatus* ReturnStatus) const {
    auto* data = objectAs<NumericDataObject>(obj_);
    if (ReturnStatus)
        *ReturnStatus = data ? MStatus(MStatus::kSuccess)
                             : MStatus::withReason(MStatus::kInvalidParameter, "no numeric data attached");
    return data ? data->numericType : kInvalid;
}

MStatus MFnNumericData::get(double* out, unsigned int count) const {
    auto* data = objectAs<NumericDataObject>(obj_);
    if (!data) return MStatus::withReason(MStatus::kInvalidParameter, "no numeric data attached");
    if (componentsOf(data->numericType) != count)
        return MStatus::withReason(MStatus::kInvalidParameter, "numeric data has " +
                                                                   std::to_string(componentsOf(data->numericType)) +
                                                                   " values, " + std::to_string(count) + " asked for");
    std::copy_n(data->values, count, out);
    return MStatus::kSuccess;
}

MStatus MFnNumericData::put(const double* in, unsigned int count) {
    auto* data = objectAs<NumericDataObject>(obj_);
    if (!data) return MStatus::withReason(MStatus::kInvalidParameter, "no numeric data attached");
    if (componentsOf(data->numericType) != count)
        return MStatus::withReason(MStatus::kInvalidParameter, "value count does not match the data type");
    std::copy_n(in, count, data->values);
    return MStatus::kSuccess;
}

#define GET2(T)                                              \
    MStatus MFnNumericData::getData(T& v1, T& v2) const {    \
        double d[2];                                         \
        MStatus s = get(d, 2);                               \
        if (s) {                                             \
            v1 = static_cast<T>(d[0]);                       \
            v2 = static_cast<T>(d[1]);                       \
        }                                                    \
        return s;                                            \
    }
#define GET3(T)                                                   \
    MStatus MFnNumericData::getData(T& v1, T& v2, T& v3) const {  \
        double d[3];                                              \
        MStatus s = get(d, 3);                                    \
        if (s) {                                                  \
            v1 = static_cast<T>(d[0]);                            \
            v2 = static_cast<T>(d[1]);                            \
            v3 = static_cast<T>(d[2]);                            \
        }                                                         \
        return s;                                                 \
    }
GET2(short)
GET2(int)
GET2(float)
GET2(double)
GET3(short)
GET3(int)
GET3(float)
GET3(double)
#undef GET2
#undef GET3

MStatus MFnNumericData::getData(double& v1, double& v2, double& v3, double& v4) const {
    double d[4];
    MStatus s = get(d, 4);
    if (s) {
        v1 = d[0];
        v2 = d[1];
        v3 = d[2];
        v4 = d[3];
    }
    return s;
}

MStatus MFnNumericData::setData(int v1, int v2) { const double d[2] = {double(v1), double(v2)}; return put(d, 2); }
MStatus MFnNumericData::setData(float v1, float v2) { const double d[2] = {v1, v2}; return put(d, 2); }
MStatus MFnNumericData::setData(double v1, double v2) { const double d[2] = {v1, v2}; return put(d, 2); }
MStatus MFnNumericData::setData(int v1, int v2, int v3) {
    const double d[3] = {double(v1), double(v2), double(v3)};
    return put(d, 3);
}
MStatus MFnNumericData::setData(float v1, float v2, float v3) { const double d[3] = {v1, v2, v3}; return put(d, 3); }
MStatus MFnNumericData::setData(double v1, double v2, double v3) { const double d[3] = {v1, v2, v3}; return put(d, 3); }
MStatus MFnNumericData::setData(double v1, double v2, double v3, double v4) {
    const double d[4] = {v1, v2, v3, v4};
    return put(d, 4);
}
