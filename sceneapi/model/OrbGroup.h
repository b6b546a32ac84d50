#pragma once

#include "sceneapi/Matrix4d.h"
#include "sceneapi/model/LightNode.h"

#include <array>
#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace orb {

class TriangleObject;

// A group of the scene tree: flags, attributes and a placement, then its
// non-group children, then its child groups. Children are shared, so one
// group or geometry may hang below several parents.
class OrbGroup final : public LightNode {
public:
    // Flag of the group that stands for the whole scene.
    static constexpr unsigned kRootFlag = 0x10000;

    explicit OrbGroup(std::string name);
    OrbGroup(const OrbGroup&) = default;
    OrbGroup& operator=(const OrbGroup&) = default;
    ~OrbGroup() = default;

    static std::shared_ptr<OrbGroup> createRoot(std::string name);

    void write(orbSceneapi_oo& scene) override;
    void writeInstanceSource(orbSceneapi_oo& scene) override;
    bool isInstance() const override;

    std::shared_ptr<OrbGroup> createGroup(std::string name);
    std::shared_ptr<TriangleObject> createTriangleObject(std::string name);
    void addNode(std::shared_ptr<LightNode> node);
    void addGroup(std::shared_ptr<OrbGroup> group);

    void setAttribute(std::string key, std::string value);
    const std::map<std::string, std::string>& attributes() const { return attributes_; }

    void addFlags(unsigned flags) { flags_ |= flags; }
    void setFlags(unsigned flags) { flags_ = flags; }
    unsigned flags() const { return flags_; }

    void setTransform(const double m[16]);
    void setTransform(const Matrix4d& m) { setTransform(m.data()); }
    bool hasTransform() const { return hasTransform_; }
    const double* transform() const { return transform_.data(); }
    void setTransformNode(std::shared_ptr<LightNode> node);
    std::shared_ptr<LightNode> transformNode() const { return transformNode_; }

    void setName(const std::string& name);
    std::string name() const { return name_; }

    const std::vector<std::shared_ptr<LightNode>>& nodes() const { return nodes_; }
    const std::vector<std::shared_ptr<OrbGroup>>& groups() const { return groups_; }
    std::size_t nodeCount() const { return nodes_.size(); }
    std::size_t groupCount() const { return groups_.size(); }
    // Only children count: a group with flags or a transform but no children is empty.
    bool isEmpty() const { return nodes_.empty() && groups_.empty(); }

    // The first direct child group with exactly this name, or empty.
    std::shared_ptr<OrbGroup> findGroup(std::string name) const;
    // A new group sharing this group's children (the child vectors are copies).
    std::shared_ptr<OrbGroup> clone() const;

private:
    std::string name_;
    bool hasTransform_ = false;
    std::array<double, 16> transform_{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    unsigned flags_ = 0;
    std::vector<std::shared_ptr<LightNode>> nodes_;
    std::vector<std::shared_ptr<OrbGroup>> groups_;
    std::shared_ptr<LightNode> transformNode_;
    std::map<std::string, std::string> attributes_;
    // Set while the group writes its children: a group that turns up inside
    // itself is skipped there instead of recursing without end.
    bool writing_ = false;
};

} // namespace orb
