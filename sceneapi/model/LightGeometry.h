#pragma once

#include "sceneapi/model/LightNode.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace orb {

class Material;

// Common base of the geometry nodes: a name, a material and the record of
// having been written as a shared definition.
class LightGeometry : public LightNode {
public:
    explicit LightGeometry(std::string name);

    void write(orbSceneapi_oo& scene) override = 0;
    void writeInstanceSource(orbSceneapi_oo& scene) override = 0;
    bool isInstance() const override;
    // Bytes held by the node's data arrays.
    virtual std::size_t memorySize() const = 0;
    virtual void setMaterial(std::shared_ptr<Material> material);
    virtual std::shared_ptr<Material> material() const;
    virtual void setName(const std::string& name);
    virtual std::string name() const;

    void setInstanceId(std::uint64_t id);
    std::uint64_t instanceId() const;

protected:
    LightGeometry(const LightGeometry&) = default;
    LightGeometry& operator=(const LightGeometry&) = default;
    ~LightGeometry() = default;

private:
    std::string name_;
    std::shared_ptr<Material> material_;
    bool instance_ = false;
    std::uint64_t instanceId_ = 0;
};

} // namespace orb
