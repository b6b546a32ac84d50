#pragma once
// The NURBS surface a nurbsSurface shape holds, as Maya has it after loading:
// what its construction history feeds into its create plug (a primitive
// creator, transformGeometry, tweaks, another surface shape), or else its own
// stored data (.cc) with the trim faces stored beside it (.tf). Evaluated once
// per node and kept.

#include "db/Scene.h"
#include "file/Values.h"
#include "nurbs/NurbsData.h"

#include <memory>
#include <string>
#include <vector>

namespace mayahost {

struct SurfaceEvaluation {
    std::shared_ptr<const TrimmedSurface> surface;  // never null; no control points when nothing could be built
    std::string error;                              // why the surface is empty
    std::vector<std::string> warnings;              // upstream nodes not evaluated, data dropped

    bool empty() const { return surface->surface.cvs.empty(); }
};

const SurfaceEvaluation& evaluateSurface(const Scene& scene, const Node& surfaceNode);

// The surface the plug `source` puts out (a surface shape's, a creator's, a
// loft's ...), for the nodes that build from surfaces. False with `error`
// set when none can be had.
bool surfaceFromPlug(const Scene& scene, const PlugRef& source, TrimmedSurface& out,
                     std::vector<std::string>& warnings, std::string& error);

// The reader's curve and surface values in the stand-in's form; false (with
// the reason) when their numbers do not make a curve or surface.
bool curveFromData(const scenefile::NurbsCurveData& data, NurbsCurve& out, std::string& why);
bool surfaceFromData(const scenefile::NurbsSurfaceData& data, NurbsSurface& out, std::string& why);

// A curve shape's own stored curve (.cc), without its history.
bool storedCurve(const Node& curveNode, NurbsCurve& out, std::string& why);

// The trim regions of one stored trim face: its boundaries' curves in the
// surface's parameter space, the outer boundary first.
bool trimRegionFromData(const scenefile::NurbsTrimface& data, TrimRegion& out, std::string& why);

}  // namespace mayahost
