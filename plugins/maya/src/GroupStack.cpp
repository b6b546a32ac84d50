#include "plugins/maya/src/GroupStack.h"

#include "common/Log.h"

#include <ostream>

void GroupStack::push(std::shared_ptr<orb::OrbGroup> group) {
  // No empty pointer ever enters, so every element can be dereferenced.
  if (!group) return;
  if (!groups.empty()) groups.back()->addGroup(group);
  LOG(logDEBUG4) << "push " << group->name();
  groups.push_back(std::move(group));
}

void GroupStack::pop() {
  if (groups.empty()) return;
  LOG(logDEBUG4) << "pop " << groups.back()->name();
  groups.pop_back();
}

void GroupStack::popTo(unsigned depth) {
  LOG(logDEBUG4) << "pop to " << depth;
  while (groups.size() > depth) pop();
}

void GroupStack::add(std::shared_ptr<orb::LightNode> node) {
  if (groups.empty()) push(std::make_shared<orb::OrbGroup>("root"));
  // The group ignores an empty pointer.
  groups.back()->addNode(std::move(node));
}

std::shared_ptr<orb::OrbGroup> GroupStack::top() const {
  return groups.empty() ? nullptr : groups.back();
}

std::ostream& operator<<(std::ostream& out, const GroupStack& stack) {
  for (const auto& group : stack.groups) out << "|" << group->name();
  return out;
}
