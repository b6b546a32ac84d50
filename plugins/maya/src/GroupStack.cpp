#include "plugins/maya/src/GroupStack.h"

#include "common/Log.h"
#include "plugins/maya/src/mayautil.h"

#include <maya/MFn.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MItDependencyNodes.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>

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

namespace {

// The plug's boolean value, or `fallback` when the node has no such plug.
bool boolPlug(const MFnDependencyNode& node, const char* name, bool fallback) {
  MStatus status;
  const MPlug plug = node.findPlug(name, &status);
  if (status.error()) return fallback;
  bool value = fallback;
  if (plug.getValue(value, MDGContext::fsNormal).error()) return fallback;
  return value;
}

int intPlug(const MFnDependencyNode& node, const char* name, int fallback) {
  MStatus status;
  const MPlug plug = node.findPlug(name, &status);
  if (status.error()) return fallback;
  int value = fallback;
  if (plug.getValue(value, MDGContext::fsNormal).error()) return fallback;
  return value;
}

}  // namespace

bool nodeVisible(const MDagPath& path) {
  MFnDagNode node(path);
  return boolPlug(node, "visibility", true) && !boolPlug(node, "intermediateObject", false);
}

bool ancestorsVisible(const MDagPath& path) {
  MDagPath ancestor(path);
  bool visible = true;
  while (ancestor.length() >= 1) {
    visible = nodeVisible(ancestor) && visible;
    if (ancestor.length() == 1) break;
    ancestor.pop(1);
  }
  return visible;
}

bool shapeVisible(const MFnDagNode& node, MStatus* status) {
  if (node.isIntermediateObject()) return false;
  const MPlug plug = node.findPlug("visibility", status);
  if (status && status->error()) return false;
  bool visible = false;
  if (plug.getValue(visible, MDGContext::fsNormal).error()) return false;
  return visible;
}

bool layerVisible(const std::string& topLevelName) {
  bool visible = true;
  for (MItDependencyNodes layers(MFn::kDisplayLayer); !layers.isDone(); layers.next()) {
    MFnDependencyNode layer(layers.item());
    if (layer.name() == "defaultLayer") continue;
    const bool layerShown = boolPlug(layer, "visibility", true);
    for (const MObject& node : layerMembers(layers.item())) {
      MFnDependencyNode member(node);
      if (std::string(member.name().asChar()) != topLevelName) continue;
      const bool memberShown = boolPlug(member, "visibility", true);
      const int displayType = intPlug(layer, "displayType", 0);
      // 1 is "template"; 2 ("reference") still renders.
      if (displayType == 1 || !memberShown || !layerShown) visible = false;
      break;
    }
  }
  return visible;
}

bool isVisible(const MDagPath& path, MStatus* status) {
  MFnDagNode node(path.node(), status);
  // All four are asked every time; the order of the answers does not matter.
  const bool ancestors = ancestorsVisible(path);
  const bool self = nodeVisible(path);
  const bool shape = shapeVisible(node, status);
  std::string topLevel = path.fullPathName().asChar();
  if (!topLevel.empty()) topLevel.erase(0, 1);
  topLevel = topLevel.substr(0, topLevel.find('|'));
  const bool layer = layerVisible(topLevel);
  return ancestors && self && shape && layer;
}
