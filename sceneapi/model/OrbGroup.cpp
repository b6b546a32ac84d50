#include "sceneapi/model/OrbGroup.h"

#include "sceneapi/model/TriangleObject.h"
#include "sceneapi/orbScene_api.h"
#include "sceneapi/orbSceneapi_oo.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace orb {

OrbGroup::OrbGroup(std::string name) : name_(std::move(name)) {}

std::shared_ptr<OrbGroup> OrbGroup::createRoot(std::string name) {
    auto root = std::make_shared<OrbGroup>(std::move(name));
    root->setFlags(kRootFlag);
    return root;
}

void OrbGroup::write(orbSceneapi_oo& scene) {
    // Nested groups are written from a stack of our own: a scene's nesting
    // depth must not become the depth of the call stack.
    struct Open {
        OrbGroup* group;
        std::size_t next;   // the next child group to write
    };
    std::vector<Open> open;
    auto begin = [&](OrbGroup& group) {
        if (group.writing_)
            return;
        group.writing_ = true;
        scene.beginGroup(group.name_);
        if (group.flags_ != 0)
            scene.flags(group.flags_);
        for (const auto& [key, value] : group.attributes_)
            scene.api()->attribute(key.c_str(), value.c_str());
        if (group.transformNode_)
            scene.write(group.transformNode_.get());
        else if (group.hasTransform_)
            scene.transform(group.transform_.data());
        for (const auto& node : group.nodes_)
            node->write(scene);
        open.push_back({&group, 0});
    };
    begin(*this);
    while (!open.empty()) {
        OrbGroup& group = *open.back().group;
        if (open.back().next < group.groups_.size()) {
            begin(*group.groups_[open.back().next++]);
            continue;
        }
        scene.endGroup();
        group.writing_ = false;
        open.pop_back();
    }
}

void OrbGroup::writeInstanceSource(orbSceneapi_oo&) {}

bool OrbGroup::isInstance() const { return false; }

std::shared_ptr<OrbGroup> OrbGroup::createGroup(std::string name) {
    auto group = std::make_shared<OrbGroup>(std::move(name));
    groups_.push_back(group);
    return group;
}

std::shared_ptr<TriangleObject> OrbGroup::createTriangleObject(std::string name) {
    auto object = std::make_shared<TriangleObject>(std::move(name));
    nodes_.push_back(object);
    return object;
}

void OrbGroup::addNode(std::shared_ptr<LightNode> node) {
    if (node)
        nodes_.push_back(std::move(node));
}

void OrbGroup::addGroup(std::shared_ptr<OrbGroup> group) {
    if (group)
        groups_.push_back(std::move(group));
}

void OrbGroup::setAttribute(std::string key, std::string value) {
    attributes_.insert_or_assign(std::move(key), std::move(value));
}

void OrbGroup::setTransform(const double m[16]) {
    std::copy(m, m + 16, transform_.begin());
    hasTransform_ = true;
}

void OrbGroup::setTransformNode(std::shared_ptr<LightNode> node) { transformNode_ = std::move(node); }

void OrbGroup::setName(const std::string& name) {
    if (&name != &name_)
        name_ = name;
}

std::shared_ptr<OrbGroup> OrbGroup::findGroup(std::string name) const {
    auto it = std::find_if(groups_.begin(), groups_.end(),
                           [&](const std::shared_ptr<OrbGroup>& g) { return g->name_ == name; });
    return it == groups_.end() ? nullptr : *it;
}

std::shared_ptr<OrbGroup> OrbGroup::clone() const {
    auto copy = std::make_shared<OrbGroup>(name_);
    if (hasTransform_)
        copy->setTransform(transform_.data());
    copy->flags_ = flags_;
    copy->transformNode_ = transformNode_;
    copy->attributes_ = attributes_;
    copy->groups_ = groups_;
    copy->nodes_ = nodes_;
    return copy;
}

} // namespace orb
