#include "plugins/maya/src/mayautil.h"

#include "common/Log.h"
#include "plugins/maya/src/StatusCheck.h"

#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnTransform.h>
#include <maya/MGlobal.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MTransformationMatrix.h>
#include <maya/MVector.h>

#include <cstring>

namespace {

struct UnitScale {
  const char* shortName;
  const char* longName;
  double metersPerUnit;  // scene units in one meter, as tabled, not derived
};

constexpr UnitScale kUnits[] = {
    {"mm", "millimeter", 1000.0},       {"cm", "centimeter", 100.0},     {"m", "meter", 1.0},
    {"km", "kilometer", 0.001},         {"in", "inch", 39.3700787402},   {"ft", "foot", 3.28083989501},
    {"yd", "yard", 1.09361329834},      {"mi", "mile", 0.000621371192237},
};

constexpr double kCentimetreScale = 100.0;

}  // namespace

int upAxis() {
  const MVector up = MGlobal::upAxis();
  const MVector* const axes[] = {&MVector::xAxis,    &MVector::yAxis,    &MVector::zAxis,
                                 &MVector::xNegAxis, &MVector::yNegAxis, &MVector::zNegAxis};
  for (int code = 0; code < 6; ++code) {
    const MVector& axis = *axes[code];
    if (up.x == axis.x && up.y == axis.y && up.z == axis.z) return code;
  }
  MGlobal::displayWarning("unknown up axis");
  return -1;
}

double meterScale() {
  MStringArray result;
  const MStatus status = MGlobal::executeCommand("currentUnit -query -linear", result, false, false);
  STATUS_REPORT(status, "getting current unit");
  if (status.error() || result.length() == 0) return kCentimetreScale;
  const MString unit = result[0];
  double scale = 0.0;
  bool known = false;
  for (const UnitScale& entry : kUnits) {
    if (unit == entry.shortName || unit == entry.longName) {
      scale = entry.metersPerUnit;
      known = true;
      break;
    }
  }
  if (!known) LOG(logERROR) << "unkown unit in scene";
  LOG(logDEBUG) << "file unit is " << unit << " setting glowbox meter scale as " << scale;
  return scale;
}

Matrix4d localMatrix(const MDagPath& path) {
  Matrix4d matrix = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  MStatus status;
  MFnTransform transform(path, &status);
  if (status.error()) return matrix;
  toOrbMatrix(transform.transformation().asMatrix(), matrix);
  return matrix;
}

void toOrbMatrix(const MMatrix& source, Matrix4d& target) {
  target = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  for (unsigned row = 0; row < 4; ++row)
    for (unsigned column = 0; column < 3; ++column) target[row * 4 + column] = source(row, column);
}

std::string nodeName(const MObject& node) {
  MStatus status;
  MFnDagNode dagNode(node, &status);
  STATUS_REPORT(status, "casting to dagnode");
  if (status.error()) return "unknown object";
  return dagNode.name().asChar();
}

MStringArray pathComponents(const MDagPath& path) {
  MStringArray components;
  path.fullPathName().split('|', components);
  return components;
}

MString fileBaseName(const MString& path) {
  return path.substring(path.rindex('/') + 1, path.rindex('.') - 1);
}

std::vector<MObject> layerMembers(const MObject& layer) {
  std::vector<MObject> members;
  MPlugArray connections;
  MFnDependencyNode(layer).getConnections(connections);
  for (unsigned i = 0; i < connections.length(); ++i) {
    MPlugArray fed;
    connections[i].connectedTo(fed, false, true);
    for (unsigned j = 0; j < fed.length(); ++j) members.push_back(fed[j].node());
  }
  return members;
}
