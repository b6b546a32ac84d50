#pragma once
// A handle to anything the API hands out: a dependency node, a component, a
// data object. Copies share the object; two handles are equal when they refer
// to the same object.

#include <maya/MFn.h>
#include <maya/MTypes.h>

#include <memory>

namespace mayahost {
class ApiObject;
}

class MObject {
public:
    MObject() = default;
    MObject(const MObject& other) = default;
    MObject(MObject&& other) noexcept = default;
    ~MObject() = default;
    MObject& operator=(const MObject& other) = default;
    MObject& operator=(MObject&& other) noexcept = default;

    bool hasFn(MFn::Type type) const;
    bool isNull() const { return !obj_; }
    MFn::Type apiType() const;
    const char* apiTypeStr() const;

    bool operator==(const MObject& other) const { return obj_ == other.obj_; }
    bool operator!=(const MObject& other) const { return obj_ != other.obj_; }

    static const MObject kNullObj;

    // Stand-in extension: wrap and reach the object behind the handle.
    explicit MObject(std::shared_ptr<mayahost::ApiObject> object) : obj_(std::move(object)) {}
    mayahost::ApiObject* object() const { return obj_.get(); }
    const std::shared_ptr<mayahost::ApiObject>& shared() const { return obj_; }

private:
    std::shared_ptr<mayahost::ApiObject> obj_;
};
