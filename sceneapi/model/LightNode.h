#pragma once

namespace orb {

class orbSceneapi_oo;

// The protocol every scene node follows. Nodes live in shared pointers of
// their concrete type and are never deleted through this interface, which is
// why the destructor is protected and not virtual.
class LightNode {
public:
    // Write the node in place, inside whatever block is open.
    virtual void write(orbSceneapi_oo& scene) = 0;
    // Write the node once as a named definition that later writes refer to;
    // nodes that cannot be shared write nothing here.
    virtual void writeInstanceSource(orbSceneapi_oo& scene) = 0;
    // Whether the definition has been written already.
    virtual bool isInstance() const = 0;

protected:
    LightNode() = default;
    LightNode(const LightNode&) = default;
    LightNode& operator=(const LightNode&) = default;
    ~LightNode() = default;
};

} // namespace orb
