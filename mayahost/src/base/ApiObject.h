#pragma once
// The polymorphic object behind an MObject handle. Scene nodes, components and
// data objects each derive from it; function sets find out what they hold with
// apiType/hasFn and then downcast with objectAs<T>.

#include <maya/MFn.h>
#include <maya/MObject.h>

namespace mayahost {

class ApiObject {
public:
    virtual ~ApiObject() = default;
    virtual MFn::Type apiType() const = 0;
    // True for the object's own type and every type it derives from. kBase
    // always answers true.
    virtual bool hasFn(MFn::Type type) const { return type == MFn::kBase || type == apiType(); }
    virtual const char* apiTypeStr() const;
};

// Name of an MFn code ("kMesh"); "kInvalid" for an unknown code.
const char* apiTypeName(MFn::Type type);

// The object behind a handle as a T, or null when it is none (or the handle is null).
template <class T>
T* objectAs(const MObject& handle) {
    return dynamic_cast<T*>(handle.object());
}

}  // namespace mayahost
