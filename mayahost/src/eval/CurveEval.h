#pragma once
// The NURBS curve a nurbsCurve shape holds, as Maya has it after loading:
// what its construction history feeds into its create plug (a circle
// creator, transformGeometry, another curve shape) with the shape's own
// control point tweaks added, or else its stored data (.cc). Evaluated once
// per node and kept, in the shape's own space; the world space a shape puts
// out on worldSpace[i] is that curve moved by the i-th instance's matrix.

#include <maya/MMatrix.h>

#include "db/Scene.h"
#include "nurbs/NurbsData.h"

#include <memory>
#include <string>
#include <vector>

namespace mayahost {

struct CurveEvaluation {
    std::shared_ptr<const NurbsCurve> curve;  // never null; no control points when nothing could be built
    std::string error;                        // why the curve is empty
    std::vector<std::string> warnings;        // upstream nodes not evaluated, data dropped

    bool empty() const { return curve->cvs.empty(); }
};

const CurveEvaluation& evaluateCurve(const Scene& scene, const Node& curveNode);

// The curve the plug `source` puts out (a curve shape's local or world space,
// a creator's output, a transformGeometry's), for the nodes that build from
// curves. False with `error` set when none can be had.
bool curveFromPlug(const Scene& scene, const PlugRef& source, NurbsCurve& out, std::vector<std::string>& warnings,
                   std::string& error);

// Control points (4 values each) moved by a matrix: row vectors, translation
// in the last row; weights stay, since an affine map commutes with the
// projection.
void transformControlPoints(std::vector<double>& cvs, const MMatrix& m);

// A shape's control point tweaks (.cp) on what its history delivers, in
// `rows` rows of points; a periodic form's repeated points follow the first
// ones of their row. `beyond` counts
// tweaks past the last control point.
void addControlPointTweaks(const Node& shape, std::vector<double>& cvs, size_t rows, size_t repeatedPerRow,
                           size_t& beyond);

}  // namespace mayahost
