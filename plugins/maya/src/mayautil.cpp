#include "plugins/maya/src/mayautil.h"

#include "common/Log.h"
#include "plugins/maya/src/StatusCheck.h"

#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnNurbsCurve.h>
#include <maya/MFnTransform.h>
#include <maya/MGlobal.h>
#include <maya/MDoubleArray.h>
#include <maya/MPointArray.h>
#include <maya/MTrimBoundaryArray.h>
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

// --- NURBS -------------------------------------------------------------------

void readNurbsSurface(const MFnNurbsSurface& nurbs, orb::NurbsSurface& surface) {
  double startU = 0, endU = 0, startV = 0, endV = 0;
  nurbs.getKnotDomain(startU, endU, startV, endV);
  surface.setRange(startU, endU, startV, endV);
  const int degreeU = nurbs.degreeU(), degreeV = nurbs.degreeV();
  LOG(logDEBUG4) << "Nurbs degree (u,v): " << degreeU << ", " << degreeV;
  surface.setOrder(degreeU + 1, degreeV + 1);
  surface.prependKnotPlaceholders();
  MDoubleArray knots;
  nurbs.getKnotsInU(knots);
  for (unsigned i = 0; i < knots.length(); ++i) surface.addUKnot(knots[i]);
  nurbs.getKnotsInV(knots);
  for (unsigned i = 0; i < knots.length(); ++i) surface.addVKnot(knots[i]);
  surface.extendKnots();
  LOG(logDEBUG4) << "knots (u,v): " << nurbs.numKnotsInU() << ", " << nurbs.numKnotsInV();

  MPointArray points;
  nurbs.getCVs(points, MSpace::kObject);
  const unsigned nu = static_cast<unsigned>(nurbs.numCVsInU()), nv = static_cast<unsigned>(nurbs.numCVsInV());
  for (unsigned v = 0; v < nv; ++v)
    for (unsigned u = 0; u < nu; ++u) {
      const unsigned at = u * nv + v;
      if (at >= points.length()) continue;
      const MPoint& p = points[at];
      surface.addControlPoint(p.w * p.x, p.w * p.y, p.w * p.z, p.w);
    }
  if (nurbs.isTrimmedSurface()) surface.setTrimCurves(readTrimCurves(nurbs));
}

std::shared_ptr<orb::NurbsCurve> readTrimCurves(const MFnNurbsSurface& nurbs) {
  auto trims = std::make_shared<orb::NurbsCurve>();
  const unsigned regions = nurbs.numRegions();
  LOG(logDEBUG4) << "writting " << regions << " trimcurves";
  for (unsigned r = 0; r < regions; ++r) {
    MTrimBoundaryArray boundaries;
    nurbs.getTrimBoundaries(boundaries, r, true);
    for (unsigned b = 0; b < boundaries.length(); ++b) {
      const MObjectArray& curves = boundaries[b];
      LOG(logDEBUG4) << "here is   " << curves.length() << " edges";
      int edges = 0;
      for (unsigned e = 0; e < curves.length(); ++e) {
        if (!curves[e].hasFn(MFn::kNurbsCurve)) continue;
        MFnNurbsCurve curve(curves[e]);
        double start = 0, end = 0;
        curve.getKnotDomain(start, end);
        ++edges;
        trims->edgeOrders.push_back(curve.degree() + 1);
        trims->edgeMinima.push_back(start);
        trims->edgeMaxima.push_back(end);
        MPointArray points;
        curve.getCVs(points, MSpace::kObject);
        for (unsigned i = 0; i < points.length(); ++i)
          trims->addPoint(points[i].w * points[i].x, points[i].w * points[i].y, points[i].w);
        MDoubleArray knots;
        curve.getKnots(knots);
        trims->edgeKnotCounts.push_back(static_cast<int>(knots.length()) + 2);
        const size_t stretch = trims->edgeKnots.size();
        trims->addKnot(orb::NurbsSurface::kKnotPlaceholder);
        for (unsigned i = 0; i < knots.length(); ++i) trims->addKnot(knots[i]);
        orb::extendKnotRun(trims->edgeKnots, stretch);
      }
      if (edges > 0) {
        trims->loopEdgeCounts.push_back(edges);
        trims->loopInsideFlags.push_back(b == 0 ? 1 : 0);
      }
    }
  }
  return trims;
}
