#include "plugins/maya/src/maya2glowbox.h"

#include "common/Log.h"
#include "plugins/maya/src/BuildStamp.h"
#include "plugins/maya/src/ProgressCounter.h"
#include "plugins/maya/src/StatusCheck.h"
#include "plugins/maya/src/mayautil.h"
#include "sceneapi/model/BezierCurves.h"
#include "sceneapi/model/LightModule.h"
#include "sceneapi/model/NurbsSurface.h"

#include <maya/MFileIO.h>
#include <maya/MFn.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MItDag.h>
#include <maya/MItDependencyNodes.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MPoint.h>
#include <maya/MSpace.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>
#include <maya/MVector.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <set>

namespace {

constexpr unsigned kCollapsedGroup = 0x8000;
constexpr unsigned kKeptGroup = 0x8001;
constexpr const char* kMayaVersion = "2011";

bool isGeometryType(const std::string& type) {
  return type == "mesh" || type == "nurbsSurface" || type == "pfxHair";
}

bool isTransformType(const std::string& type) { return type == "transform" || type == "joint"; }

// Row-major product a * b.
Matrix4d multiply(const double* a, const double* b) {
  Matrix4d product{};
  for (int row = 0; row < 4; ++row)
    for (int column = 0; column < 4; ++column) {
      double sum = 0.0;
      for (int k = 0; k < 4; ++k) sum += a[row * 4 + k] * b[k * 4 + column];
      product[row * 4 + column] = sum;
    }
  return product;
}

struct FreeDeleter {
  void operator()(char* text) const { std::free(text); }
};

}  // namespace

Maya2Glowbox::Maya2Glowbox(orb::orbSceneapi_oo* scene, const ImportArgs& args) : scene(scene), args(args) {
  LOG(logDEBUG2) << "Creating a Maya2Glowbox Instance, with ImportArgs: " << this->args;
}

unsigned Maya2Glowbox::groupFlags(const ImportArgs& args) {
  static const unsigned flags = args.getBool(COLLAPSE_HIERARCHY, true) ? kCollapsedGroup : kKeptGroup;
  return flags;
}

MStatus Maya2Glowbox::openAndExport() {
  const std::unique_ptr<char, FreeDeleter> fileName(args.getCString(IMPORT_FILENAME, "-"));
  MString converted;
  STATUS_CHECK(converted.setUTF8(fileName.get()), "could not Convert filename to UTF-8");
  // The renderer may quote a Windows path and use backslashes; Maya wants neither.
  std::wstring wide = converted.asWChar();
  if (!wide.empty() && wide.front() == L'"') {
    wide.erase(0, 1);
    if (!wide.empty()) wide.pop_back();
  }
  std::replace(wide.begin(), wide.end(), L'\\', L'/');
  converted.setWChar(wide.c_str());
  LOG(logINFO) << "Openining: " << fileName.get() << "  as  " << converted;
  // Forced, references not loaded (mode 2), file version ignored.
  STATUS_CHECK(MFileIO::open(converted, NULL, true, MFileIO::kLoadNoReferences, true), "could not open Maya file");

  auto module = std::make_shared<orb::DefaultRTModule>();
  module->setUpVector(upAxis());
  module->setMeterScale(static_cast<float>(meterScale()));
  module->setAdjustCamera(false);
  module->setCenterGeometry(false);
  module->setSnapToGround(false);
  module->setKeepOriginal(true);
  scene->write(module.get());
  return exportFullScene();
}

MStatus Maya2Glowbox::exportFullScene() {
  AlwaysDirty everything;
  return exportFullScene(everything);
}

MStatus Maya2Glowbox::exportFullScene(IDirtyChecker& checker) {
  LOG(logDEBUG2) << "exportFullScene using args: " << args;
  LOG(logINFO) << "No animation support";
  STATUS_CHECK(exportCameras(), "could not export cameras ");
  STATUS_CHECK(exportGeometry(checker), "could not export geometry ");
  return MStatus::kSuccess;
}

// --- Cameras -----------------------------------------------------------------

MStatus Maya2Glowbox::exportCameras() {
  LOG(logDEBUG4) << "export cameras";
  MStatus status;
  MItDag cameras(MItDag::kDepthFirst, MFn::kCamera, &status);
  std::vector<std::shared_ptr<orb::LightCamera>> converted;
  for (; !cameras.isDone(); cameras.next()) {
    MDagPath path;
    status = cameras.getPath(path);
    STATUS_CHECK(status, "MItDag::getPath");
    converted.push_back(convertCamera(path));
    STATUS_CHECK(status, "convert camera");
  }
  // Maya's own orthographic views are of no use to the renderer.
  for (const auto& camera : converted) {
    const std::string& name = camera->name();
    if (name != "top" && name != "front" && name != "side") scene->write(camera.get());
  }
  return status;
}

std::shared_ptr<orb::LightCamera> Maya2Glowbox::convertCamera(const MDagPath& path) {
  MStatus status;
  MFnDagNode dagNode(path, &status);
  STATUS_REPORT(status, "MFnDagNode constructor");
  MFnCamera fn(path, &status);
  STATUS_REPORT(status, "camera construct");
  auto camera = std::make_shared<orb::LightCamera>(cameraName(fn));

  const double nearPlane = fn.nearClippingPlane();
  const double farPlane = fn.farClippingPlane();
  const MPoint eye = fn.eyePoint(MSpace::kObject);
  const MVector view = fn.viewDirection(MSpace::kObject);
  const MVector up = fn.upDirection(MSpace::kObject);
  camera->setPosition(static_cast<float>(eye.x), static_cast<float>(eye.y), static_cast<float>(eye.z));
  camera->setDirection(static_cast<float>(view.x), static_cast<float>(view.y), static_cast<float>(view.z));
  camera->setUp(static_cast<float>(up.x), static_cast<float>(up.y), static_cast<float>(up.z));
  const double degrees = fn.horizontalFieldOfView() * 180.0 / 3.141592653589793;
  camera->setFov(static_cast<float>(degrees));
  camera->setClipping(static_cast<float>(nearPlane), static_cast<float>(farPlane));

  // No animation support: the camera's world matrix at load time places it.
  const MMatrix world = path.inclusiveMatrix(&status);
  STATUS_REPORT(status, "xform");
  Matrix4d matrix;
  toOrbMatrix(world, matrix);
  camera->setTransform(matrix);
  return camera;
}

std::string Maya2Glowbox::cameraName(const MFnCamera& camera) {
  const MString name = camera.name();
  const int at = name.rindexW("Shape");
  if (at <= 1) return name.asChar();
  const int length = static_cast<int>(name.numChars());
  MString joined = name.substringW(0, at - 1);
  const int afterShape = at + 5;
  if (afterShape < length) joined += name.substringW(afterShape, length - 1);
  return joined.asChar();
}

// --- Geometry and the walk ---------------------------------------------------

void Maya2Glowbox::prepareManagers(IDirtyChecker& checker) {
  MStringArray shapes;
  const MStatus counted = MGlobal::executeCommand("ls -shapes", shapes, false, false);
  ProgressCounter progress{scene, counted.error() ? -1 : static_cast<int>(shapes.length()), 0, -1.0f};
  if (!materialProvider) materialProvider = std::make_shared<MaterialManager>();
  materialProvider->setInstanceScene(scene);
  materialProvider->setUniqueMaterials(args.getBool(UNIQUE_MATERIALS, false));
  materialProvider->loadMaterials();
  meshManager.setInstanceScene(scene);
  meshManager.setMaterialProvider(materialProvider);
  meshManager.setProgress(&progress);
  if (args.getString(EXPERIMENTAL, "") == "beta") std::cerr << "to old version for experiments" << std::endl;
  meshManager.extractAll(checker);
  nurbsManager.setInstanceScene(scene);
  nurbsManager.setTessellate(args.getBool(TESSELLATE, true));
  nurbsManager.setMaterialProvider(materialProvider);
  nurbsManager.setProgress(&progress);
  nurbsManager.extractAll(checker);
  // The counter dies with this call; nothing may advance it afterwards.
  meshManager.setProgress(nullptr);
  nurbsManager.setProgress(nullptr);
}

std::string Maya2Glowbox::versionString() {
  return std::string("Export geometry. Using Maya") + kMayaVersion + ". Glowbox " +
         std::to_string(orb::orbSceneapi_oo::kVersionMajor) + "." +
         std::to_string(orb::orbSceneapi_oo::kVersionMinor) + "." +
         std::to_string(orb::orbSceneapi_oo::kVersionPatch) + " (built " + buildStamp() + ")";
}

MStatus Maya2Glowbox::exportGeometry(IDirtyChecker& checker) {
  prepareManagers(checker);
  auto root = std::make_shared<orb::OrbGroup>(fileBaseName(MFileIO::currentFile()).asChar());
  root->addFlags(groupFlags(args));
  GroupStack stack;
  std::set<std::string> unhandledTypes;

  const std::string version = versionString();
  LOG(logDEBUG) << version;
  scene->api()->print(version.c_str());

  MStatus status;
  MItDag dag(MItDag::kDepthFirst, MFn::kInvalid, &status);
  STATUS_CHECK(status, "MItDag constructor");
  for (; !dag.isDone(); dag.next()) {
    MDagPath path;
    STATUS_CHECK(dag.getPath(path), "MItDag::getPath");
    MFnDagNode node(path, &status);
    STATUS_CHECK(status, "MFnDagNode constructor");
    const unsigned depth = dag.depth();
    stack.popTo(depth);
    const std::string name = node.name().asChar();
    const std::string type = node.typeName().asChar();
    LOG(logDEBUG3) << "Handle node@" << depth << ": " << name << ": " << type << "  dagPath: " << path.fullPathName()
                   << " Stack:" << stack;

    if (isGeometryType(type)) {
      MStatus visibility;
      if (!isVisible(path, &visibility)) continue;
      const bool dirty = checker.isDirty(path);
      LOG(logDEBUG2) << path.fullPathName() << " is " << (dirty ? "dirty" : "clean");
      if (dirty) {
        for (const auto& geometry : extractGeometry(path)) stack.add(geometry);
      } else if (type == "nurbsSurface") {
        addEmptyNurbsGroup(stack, name);
      }
    } else if (name == "world" && depth == 0) {
      stack.push(root);
    } else if (type == "camera") {
      // Written by exportCameras.
    } else if (isTransformType(type)) {
      stack.push(makeTransformGroup(path));
    } else {
      if (unhandledTypes.insert(type).second) {
        const std::string report = std::string("Maya") + kMayaVersion + ":Unhandled node(" + std::to_string(depth) +
                                   "): " + name + ": " + type + "  dagPath: " + path.fullPathName().asChar();
        scene->api()->print(report.c_str());
        LOG(logDEBUG) << report;
      }
      // Its children still need a parent group.
      stack.push(makeGroup(path));
    }
  }

  if (args.getBool(SPLIT_LAYERS, false)) root = splitLayers(root);
  scene->write(root.get());
  return MStatus::kSuccess;
}

std::vector<std::shared_ptr<orb::LightNode>> Maya2Glowbox::extractGeometry(const MDagPath& path) {
  MStatus status;
  MFnDagNode node(path, &status);
  STATUS_REPORT(status, "MFnDagNode constructor");
  const std::string type = node.typeName().asChar();
  LOG(logDEBUG) << "extractGeometry(" << pathComponents(path) << ") type: " << type;
  LOG(logDEBUG3) << path.fullPathName() << "Shall be cleaned";
  std::vector<std::shared_ptr<orb::LightNode>> geometry;
  if (type == "mesh") {
    for (const auto& node : meshManager.getGeometry(path)) geometry.push_back(node);
  } else if (type == "nurbsSurface") {
    const GeometryList surfaces = nurbsManager.getGeometry(path);
    if (args.getBool(INCLUDE_NURBS, false)) {
      for (const auto& node : surfaces) geometry.push_back(node);
    } else if (!surfaces.empty()) {
      // Only the triangles: the exact surface stays out of the scene.
      const auto surface = std::dynamic_pointer_cast<orb::NurbsSurface>(surfaces.front());
      if (surface && surface->alternative()) geometry.push_back(surface->alternative());
    }
  } else if (type == "pfxHair") {
    geometry.push_back(std::make_shared<orb::BezierCurves>(""));
  }
  return geometry;
}

std::shared_ptr<orb::OrbGroup> Maya2Glowbox::makeGroup(const MDagPath& path) const {
  auto group = std::make_shared<orb::OrbGroup>(nodeName(path.node()));
  const Matrix4d local = localMatrix(path);
  group->setTransform(local.data());
  group->setFlags(groupFlags(args));
  return group;
}

std::shared_ptr<orb::OrbGroup> Maya2Glowbox::makeTransformGroup(const MDagPath& path) const {
  // No animation support: every transform keeps its matrix at load time.
  return makeGroup(path);
}

void Maya2Glowbox::addEmptyNurbsGroup(GroupStack& stack, const std::string& name) const {
  LOG(logDEBUG3) << "Adding a empty body group for NURBS" << name;
  auto group = orb::OrbGroup::createRoot(name);
  group->setFlags(groupFlags(args));
  stack.push(group);
  stack.pop();
}

// --- Layers ------------------------------------------------------------------

std::shared_ptr<orb::OrbGroup> Maya2Glowbox::splitLayers(const std::shared_ptr<orb::OrbGroup>& root) {
  MItDependencyNodes layers(MFn::kDisplayLayer);
  auto layerRoot = std::make_shared<orb::OrbGroup>(root->name());
  layerRoot->addFlags(groupFlags(args));
  int placed = 0;
  for (; !layers.isDone(); layers.next()) {
    MStatus status;
    const MObject layerNode = layers.thisNode(&status);
    STATUS_REPORT(status, "this node");
    MFnDependencyNode layer(layerNode);
    LOG(logDEBUG2) << "Layer Name: " << layer.name();
    if (layer.name() == "defaultLayer") {
      auto everything = root->clone();
      everything->setName("defaultLayer");
      layerRoot->addGroup(everything);
      continue;
    }
    auto layerGroup = layerRoot->createGroup(layer.name().asChar());
    LOG(logDEBUG2) << "Adding the layer: " << layerGroup->name();
    for (const MObject& node : layerMembers(layerNode)) {
      MDagPath member;
      const bool isDag = !MDagPath::getAPathTo(node, member).error();
      auto located = isDag ? locateGroup(root, member) : nullptr;
      if (!located) {
        LOG(logWARNING) << "could not locate the group: " << member.fullPathName();
        return root;
      }
      ++placed;
      LOG(logDEBUG3) << "Adding objs to layer: " << member.fullPathName();
      layerGroup->addGroup(located);
    }
  }
  if (placed > 0) return layerRoot;
  std::cerr << "no layers to day" << std::endl;
  scene->api()->print("There were no layers to split");
  return root;
}

std::shared_ptr<orb::OrbGroup> Maya2Glowbox::locateGroup(const std::shared_ptr<orb::OrbGroup>& root,
                                                         const MDagPath& path) {
  const MStringArray components = pathComponents(path);
  std::shared_ptr<orb::OrbGroup> current = root;
  Matrix4d accumulated;
  std::copy(root->transform(), root->transform() + 16, accumulated.begin());
  for (unsigned i = 0; i < components.length(); ++i) {
    if (components[i].length() == 0) continue;  // before the leading "|"
    auto child = current->findGroup(components[i].asChar());
    if (!child) return nullptr;
    accumulated = multiply(child->transform(), accumulated.data());
    current = child;
  }
  auto placedCopy = current->clone();
  placedCopy->setTransform(accumulated.data());
  return placedCopy;
}
