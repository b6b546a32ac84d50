#pragma once
// The chain of open groups of the scene walk, from the root group down to the
// group that receives the next node. Pushing attaches a group to the group
// below it, so the stack builds the tree as the walk descends; popping only
// closes a group, it stays in its parent.

#include "sceneapi/model/LightNode.h"
#include "sceneapi/model/OrbGroup.h"

#include <maya/MDagPath.h>
#include <maya/MFnDagNode.h>
#include <maya/MStatus.h>

#include <cstddef>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

class GroupStack {
 public:
  void push(std::shared_ptr<orb::OrbGroup> group);
  void pop();
  // Pops until at most `depth` groups remain.
  void popTo(unsigned depth);
  // Into the top group; an empty stack first gets a parentless group "root".
  void add(std::shared_ptr<orb::LightNode> node);
  std::shared_ptr<orb::OrbGroup> top() const;
  std::size_t size() const { return groups.size(); }

  friend std::ostream& operator<<(std::ostream& out, const GroupStack& stack);

 private:
  std::vector<std::shared_ptr<orb::OrbGroup>> groups;  // element 0 is the bottom
};

// Whether a shape is exported at all: it and every ancestor are visible and
// not intermediate, and no display layer hides its top-level node. Failures
// to read the node go into `status`; the answer is given regardless.
bool isVisible(const MDagPath& path, MStatus* status);
// The node's "visibility" is on and it is no intermediate object.
bool nodeVisible(const MDagPath& path);
// nodeVisible for the path and each of its ancestors down to the top level.
bool ancestorsVisible(const MDagPath& path);
// False for an intermediate object or a shape whose "visibility" cannot be read.
bool shapeVisible(const MFnDagNode& node, MStatus* status);
// False when a layer other than "defaultLayer" that holds the named node is
// hidden or templated, or the node itself is hidden.
bool layerVisible(const std::string& topLevelName);
