#pragma once
// The chain of open groups of the scene walk, from the root group down to the
// group that receives the next node. Pushing attaches a group to the group
// below it, so the stack builds the tree as the walk descends; popping only
// closes a group, it stays in its parent.

#include "sceneapi/model/LightNode.h"
#include "sceneapi/model/OrbGroup.h"

#include <cstddef>
#include <iosfwd>
#include <memory>
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
