#include <maya/MObject.h>

#include "base/ApiObject.h"

const MObject MObject::kNullObj;

bool MObject::hasFn(MFn::Type type) const {
    if (!obj_) return type == MFn::kInvalid;
    return obj_->hasFn(type);
}

MFn::Type MObject::apiType() const {
    return obj_ ? obj_->apiType() : MFn::kInvalid;
}

const char* MObject::apiTypeStr() const {
    return obj_ ? obj_->apiTypeStr() : "kInvalid";
}

namespace mayahost {

const char* ApiObject::apiTypeStr() const {
    return apiTypeName(apiType());
}

}  // namespace mayahost
