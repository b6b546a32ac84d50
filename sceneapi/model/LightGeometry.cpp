#include "sceneapi/model/LightGeometry.h"

#include "sceneapi/model/Material.h"

#include <utility>

namespace orb {

LightGeometry::LightGeometry(std::string name) : name_(std::move(name)) {}

bool LightGeometry::isInstance() const { return instance_; }

void LightGeometry::setMaterial(std::shared_ptr<Material> material) { material_ = std::move(material); }

std::shared_ptr<Material> LightGeometry::material() const { return material_; }

void LightGeometry::setName(const std::string& name) {
    if (&name != &name_)
        name_ = name;
}

std::string LightGeometry::name() const { return name_; }

void LightGeometry::setInstanceId(std::uint64_t id) {
    instance_ = true;
    instanceId_ = id;
}

std::uint64_t LightGeometry::instanceId() const { return instanceId_; }

} // namespace orb
