#pragma once
// The deformers (tweak, cluster, skinCluster, blendShape, nonLinear) as the
// history walks of meshes and of NURBS surfaces and curves read them. A mesh
// walk moves vertices; the NURBS walks move control points, numbered as Maya
// numbers a shape's CVs, through the same point functions.

#include "eval/AttributeReader.h"
#include "mesh/MeshModifiers.h"
#include "nurbs/NurbsData.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace mayahost {

// The points of the live blendShape target connected on `plug` (x y z each),
// or nothing when it cannot be evaluated.
using LiveTargetPoints = std::function<std::optional<std::vector<float>>(const std::string& plug)>;

// The groupParts that tags the deformer's input `geometry` with the
// deformer's own group (its components are the deformer set), else null.
const Node* deformerGroupParts(const AttributeReader& deformer, int64_t geometry);

// The deformers' values, without their set membership (the caller's, as it
// numbers components). `points` is the size of the deformed geometry.
TweakParams readTweakParams(const AttributeReader& r, int64_t geometry);
SkinClusterParams readSkinClusterParams(const AttributeReader& r, size_t points, std::string* warning);
BlendShapeParams readBlendShapeParams(const AttributeReader& r, int64_t geometry, size_t points,
                                      const LiveTargetPoints& liveTarget, std::string* warning);

// The control points a deformer sees, in Maya's CV order: a surface's are
// u-major (id = u * numV + v), and a periodic direction's last `degree`
// points, which repeat its first ones, are left out.
struct ControlPointGrid {
    size_t numU = 0;  // a curve: its point count
    size_t numV = 0;  // 0 for a curve, whose components have one index
    size_t count() const { return numV ? numU * numV : numU; }
};
ControlPointGrid controlPointGrid(const NurbsSurface& surface);
ControlPointGrid controlPointGrid(const NurbsCurve& curve);

// The ids "cv[...]" items name (a curve: "cv[2:5]", "cv[*]"; a surface:
// "cv[0:3][1]", "cv[*][*]"), sorted and unique. Indices beyond the grid are
// dropped with a warning; a malformed item or another kind of component
// names nothing and warns.
std::vector<int32_t> controlPointIds(const std::vector<std::string>& items, const ControlPointGrid& grid,
                                     std::string* warning);

// True for the node types deformControlPoints evaluates.
bool isControlPointDeformer(const Node& node);

// Moves the control points of the surface or curve arriving at the
// deformer's input `geometry` as the deformer would move a mesh's vertices;
// bad values warn and leave points where they are. `liveTarget` gives a
// blendShape's connected targets, as control points in the same order.
void deformControlPoints(const AttributeReader& r, int64_t geometry, NurbsSurface& surface,
                         const LiveTargetPoints& liveTarget, std::string* warning);
void deformControlPoints(const AttributeReader& r, int64_t geometry, NurbsCurve& curve,
                         const LiveTargetPoints& liveTarget, std::string* warning);

// The distinct control points (x y z each) of a surface or curve, as floats,
// for a blendShape target.
std::vector<float> controlPointTarget(const NurbsSurface& surface);
std::vector<float> controlPointTarget(const NurbsCurve& curve);

}  // namespace mayahost
