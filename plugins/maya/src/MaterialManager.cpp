#include "plugins/maya/src/MaterialManager.h"

#include "common/Log.h"
#include "plugins/maya/src/StatusCheck.h"

#include <maya/MFn.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnLambertShader.h>
#include <maya/MFnMesh.h>
#include <maya/MFnNumericData.h>
#include <maya/MItDependencyGraph.h>
#include <maya/MItDependencyNodes.h>
#include <maya/MObjectArray.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MString.h>

#include <cmath>

namespace {

constexpr const char* kNoShader = "No maya shader found";

std::string nameOf(const MObject& node) {
  MFnDependencyNode fn(node);
  return fn.name().asChar();
}

// A plug's compound value as numeric data; false when it cannot be read so.
bool readFloats(const MPlug& plug, float& a, float& b) {
  MObject data;
  if (plug.getValue(data).error()) return false;
  MStatus status;
  MFnNumericData numeric(data, &status);
  return !status.error() && !numeric.getData(a, b).error();
}

bool readFloats(const MPlug& plug, float& a, float& b, float& c) {
  MObject data;
  if (plug.getValue(data).error()) return false;
  MStatus status;
  MFnNumericData numeric(data, &status);
  return !status.error() && !numeric.getData(a, b, c).error();
}

// The first file texture met walking upstream of the colour, breadth first.
void applyFileTexture(MPlug& colorPlug, orb::OldSCeneapiLightMultiMaterial& material) {
  MStatus status;
  MItDependencyGraph upstream(colorPlug, MFn::kFileTexture, MItDependencyGraph::kUpstream,
                              MItDependencyGraph::kBreadthFirst, MItDependencyGraph::kNodeLevel, &status);
  STATUS_REPORT(status, "MItDependencyGraph::MItDependencyGraph");
  if (status.error()) return;
  upstream.disablePruningOnFilter();
  if (upstream.isDone()) return;
  MFnDependencyNode texture(upstream.thisNode());

  MString fileName;
  texture.findPlug("fileTextureName").getValue(fileName);
  material.setTexture(fileName.asChar());
  float u = 0.0f, v = 0.0f;
  readFloats(texture.findPlug("translateFrame"), u, v);
  material.setShiftU(u);
  material.setShiftV(v);
  double radians = 0.0;
  texture.findPlug("rotateFrame").getValue(radians);
  material.setAngle(static_cast<float>(radians / 3.141592653589793 * 180));
}

}  // namespace

// The shader of the first of the mesh instance's shading sets that has one.
MObject MaterialManager::shaderOfMesh(const MDagPath& shape) const {
  MStatus status;
  MFnMesh mesh(shape, &status);
  STATUS_REPORT(status, "creating a mesh");
  MObjectArray sets;
  MObjectArray components;
  mesh.getConnectedSetsAndMembers(shape.instanceNumber(), sets, components, true);
  for (unsigned i = 0; i < sets.length(); ++i) {
    const std::string setName = nameOf(sets[i]);
    LOG(logDEBUG2) << "Shading Group: " << setName << "\n";
    MObject shader = shaderOfSet(setName);
    if (!shader.isNull()) return shader;
  }
  return MObject::kNullObj;
}

// A NURBS surface is a member of its shading set through its first
// instObjGroups element.
MObject MaterialManager::shaderOfNurbsSurface(const MDagPath& shape) const {
  MStatus status;
  MFnDependencyNode node(shape.node(), &status);
  STATUS_REPORT(status, "create node");
  const MString name = node.name();
  MObject attribute = node.attribute("instObjGroups", &status);
  if (status.error()) {
    LOG(logWARNING) << name << ": is not a renderable object, skipping\n";
    return MObject::kNullObj;
  }
  MPlugArray fed;
  MPlug(shape.node(), attribute).elementByLogicalIndex(0).connectedTo(fed, false, true, &status);
  if (status.error()) {
    LOG(logWARNING) << name << ": is not in a shading group, skipping\n";
    return MObject::kNullObj;
  }
  if (fed.length() == 0) {
    LOG(logWARNING) << name << ": is not in connected, skipping\n";
    return MObject::kNullObj;
  }
  return shaderOfSet(nameOf(fed[0].node()));
}

void MaterialManager::loadMaterials() {
  shaderMap.clear();
  LOG(logINFO) << "loading materials";
  MStatus status;
  MItDependencyNodes shaders(MFn::kLambert, &status);
  STATUS_REPORT(status, "shader map iterator");
  for (; !shaders.isDone(); shaders.next()) {
    MObject shader = shaders.item();
    MFnLambertShader lambert(shader, &status);
    STATUS_REPORT(status, "MFnLambertShader");
    MPlugArray connected;
    lambert.findPlug("outColor").connectedTo(connected, true, true, &status);
    STATUS_REPORT(status, "connected to outColor");
    for (unsigned i = 0; i < connected.length(); ++i) {
      const std::string target = nameOf(connected[i].node());
      shaderMap[target] = shader;
      LOG(logDEBUG3) << target << ": " << connected[i].name() << "->" << lambert.typeName();
    }
  }
  LOG(logINFO) << "Loaded " << shaderMap.size() << " shader nodes";
  defineMaterials();
}

void MaterialManager::defineMaterials() {
  for (const auto& [setName, shader] : shaderMap) {
    const std::string name = nameOf(shader);
    if (materials.count(name)) continue;
    std::shared_ptr<orb::Material> material = convertNodeToMaterial(shader);
    if (instanceScene && !uniqueMaterials) material->writeInstanceSource(*instanceScene);
    materials[name] = material;
    LOG(logDEBUG2) << "Defined a material for: " << name;
  }
}

MObject MaterialManager::shaderOfSet(const std::string& setName) const {
  LOG(logDEBUG2) << "shader we are looking for " << setName;
  const auto found = shaderMap.find(setName);
  if (found != shaderMap.end()) return found->second;
  LOG(logDEBUG2) << "shader was not in material map: " << setName;
  return MObject::kNullObj;
}

std::shared_ptr<orb::Material> MaterialManager::materialForShadingGroup(MObject shadingSet,
                                                                        std::string instanceName) {
  const std::string setName = nameOf(shadingSet);
  LOG(logDEBUG3) << "The shader set node: " << setName;
  return materialFor(shaderOfSet(setName), instanceName);
}

std::shared_ptr<orb::Material> MaterialManager::materialForPath(const MDagPath& shape) {
  LOG(logDEBUG3) << "looking for a material for " << shape.fullPathName();
  const std::string instanceName = nameOf(shape.node());
  MObject shader = MObject::kNullObj;
  if (shape.hasFn(MFn::kMesh)) {
    shader = shaderOfMesh(shape);
  } else if (shape.hasFn(MFn::kNurbsSurface)) {
    shader = shaderOfNurbsSurface(shape);
  } else {
    LOG(logWARNING) << "Do not know how to extract material for this type for node: " << shape.fullPathName();
  }
  return materialFor(shader, instanceName);
}

std::shared_ptr<orb::Material> MaterialManager::materialFor(const MObject& shader, const std::string& instanceName) {
  if (uniqueMaterials) {
    std::shared_ptr<orb::Material> material = convertNodeToMaterial(shader);
    material->setName(instanceName + ":" + material->name());
    return material;
  }
  const std::string name = nameOf(shader);
  LOG(logDEBUG4) << "looking for a material for: " << name;
  std::shared_ptr<orb::Material>& material = materials[name];
  if (!material) material = convertNodeToMaterial(shader);
  return material;
}

std::shared_ptr<orb::Material> MaterialManager::convertNodeToMaterial(const MObject& shader) {
  LOG(logDEBUG3) << "convertNodeToMaterial";
  if (shader.isNull()) return std::make_shared<orb::Diffuse>(kNoShader);
  MFnDependencyNode node(shader);
  auto material = std::make_shared<orb::OldSCeneapiLightMultiMaterial>(node.name().asChar());

  MStatus status;
  MPlug colorPlug = node.findPlug("color", &status);
  STATUS_REPORT(status, "MFnDependencyNode::findPlug");
  float r = 1.0f, g = 1.0f, b = 1.0f;
  applyFileTexture(colorPlug, *material);
  readFloats(colorPlug, r, g, b);

  MPlug plug = node.findPlug("diffuse", &status);
  if (!status.error()) {
    float weight = 1.0f;
    if (plug.getValue(weight).error()) weight = 1.0f;
    material->setDiffuse(r * weight, g * weight, b * weight);
  }
  plug = node.findPlug("transparency", &status);
  if (!status.error()) {
    float tr = 0.0f, tg = 0.0f, tb = 0.0f;
    readFloats(plug, tr, tg, tb);
    const float alpha = ((1.0f - tg) + (1.0f - tr) + (1.0f - tb)) / 3.0f;
    if (std::fabs(alpha - 1.0f) > 0.01f) material->setAlpha(alpha);
  }
  plug = node.findPlug("specularColor", &status);
  if (!status.error()) {
    float sr = 0.0f, sg = 0.0f, sb = 0.0f;
    readFloats(plug, sr, sg, sb);
    material->setSpecular(sr, sg, sb);
  }
  return material;
}
