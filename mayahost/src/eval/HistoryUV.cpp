#include "eval/HistoryUV.h"

#include "mesh/MeshModUV.h"
#include "mesh/MeshModUtil.h"

#include <array>
#include <cmath>

namespace mayahost {
namespace {

constexpr double kDegrees = 3.14159265358979323846 / 180.0;

template <size_t N>
void readTuple(const AttributeReader& r, const char* plug, std::array<double, N>& out) {
    if (std::optional<std::vector<double>> v = r.tuple(plug, N))
        for (size_t i = 0; i < N; ++i) out[i] = (*v)[i];
}

// An integer setting: whole and within [lo, hi], else the fallback with a warning.
int wholeSetting(const AttributeReader& r, const char* plug, int fallback, int lo, int hi, std::string* warning) {
    const double v = r.number(plug, fallback);
    if (v >= lo && v <= hi && v == std::floor(v)) return int(v);
    meshmod::addWarning(warning, std::string(plug) + " " + std::to_string(v) + " is out of range, " +
                                     std::to_string(fallback) + " used");
    return fallback;
}

MeshData projection(UVProjectionKind kind, const AttributeReader& r, const MeshData& mesh, std::string* warning) {
    UVProjectionParams p;
    p.kind = kind;
    p.inputComponents = r.componentList("ics");
    readTuple(r, "pc", p.projectionCenter);
    readTuple(r, "ro", p.rotate);
    p.projectionScale = defaultProjectionScale(kind);
    readTuple(r, "ps", p.projectionScale);
    // The cylinder's sweep shares its compound with a height, so the schema
    // cannot convert it: it is read in degrees, the unit Maya writes.
    if (kind == UVProjectionKind::Cylindrical && r.tuple("ps", 2)) p.projectionScale[0] *= kDegrees;
    readTuple(r, "ic", p.imageCenter);
    readTuple(r, "is", p.imageScale);
    p.rotationAngle = r.number("ra", 0);
    p.seamCorrect = r.number("sc", 1) != 0;
    p.worldSpace = r.number("ws", 0) != 0;
    if (std::optional<MMatrix> m = r.matrix("ix")) p.inputMatrix = *m;
    p.uvSetName = r.string("uvs").value_or("");
    return applyUVProjection(mesh, p, warning);
}

PolyMapEdgesParams edgeParams(const AttributeReader& r) {
    PolyMapEdgesParams p;
    p.inputComponents = r.componentList("ics");
    p.uvSetName = r.string("uvs").value_or("");
    return p;
}

}  // namespace

MeshData evalPolyPlanarProj(const AttributeReader& r, const MeshData& mesh, std::string* warning) {
    return projection(UVProjectionKind::Planar, r, mesh, warning);
}

MeshData evalPolyCylProj(const AttributeReader& r, const MeshData& mesh, std::string* warning) {
    return projection(UVProjectionKind::Cylindrical, r, mesh, warning);
}

MeshData evalPolySphProj(const AttributeReader& r, const MeshData& mesh, std::string* warning) {
    return projection(UVProjectionKind::Spherical, r, mesh, warning);
}

MeshData evalPolyAutoProj(const AttributeReader& r, const MeshData& mesh, std::string* warning) {
    PolyAutoProjParams p;
    p.inputComponents = r.componentList("ics");
    p.planes = wholeSetting(r, "p", 6, 3, 12, warning);
    p.optimize = wholeSetting(r, "o", 1, 0, 1, warning);
    p.layout = wholeSetting(r, "l", 2, 0, 3, warning);
    p.scaleMode = wholeSetting(r, "sc", 1, 0, 2, warning);
    p.percentageSpace = r.number("ps", 0);
    p.projectBothDirections = r.number("pb", 0) != 0;
    readTuple(r, "t", p.translate);
    readTuple(r, "r", p.rotate);
    readTuple(r, "s", p.scale);
    readTuple(r, "pvt", p.pivot);
    p.worldSpace = r.number("ws", 0) != 0;
    if (std::optional<MMatrix> m = r.matrix("ix")) p.inputMatrix = *m;
    p.uvSetName = r.string("uvs").value_or("");
    return applyPolyAutoProj(mesh, p, warning);
}

MeshData evalPolyLayoutUV(const AttributeReader& r, const MeshData& mesh, std::string* warning) {
    PolyLayoutUVParams p;
    p.inputComponents = r.componentList("ics");
    p.layout = wholeSetting(r, "l", 2, 0, 3, warning);
    p.scale = wholeSetting(r, "sc", 1, 0, 2, warning);
    p.percentageSpace = r.number("ps", 0);
    p.flipReversed = r.number("fr", 1) != 0;
    p.rotateForBestFit = wholeSetting(r, "rbf", 0, 0, 3, warning);
    p.separate = wholeSetting(r, "se", 0, 0, 2, warning);
    p.gridU = wholeSetting(r, "gu", 1, 1, 1 << 20, warning);
    p.gridV = wholeSetting(r, "gv", 1, 1, 1 << 20, warning);
    p.uvSetName = r.string("uvs").value_or("");
    // Shape stacking packs outlines rather than boxes; only a layout packs.
    if (p.layout != 0 && r.number("lm", 0) != 0) meshmod::addWarning(warning, "layoutMethod is not evaluated, shells are packed as boxes");
    return applyPolyLayoutUV(mesh, p, warning);
}

MeshData evalPolyMapCut(const AttributeReader& r, const MeshData& mesh, std::string* warning) {
    return applyPolyMapCut(mesh, edgeParams(r), warning);
}

MeshData evalPolyMapSew(const AttributeReader& r, const MeshData& mesh, std::string* warning) {
    return applyPolyMapSew(mesh, edgeParams(r), warning);
}

MeshData evalPolyMapSewMove(const AttributeReader& r, const MeshData& mesh, std::string* warning) {
    PolyMapSewMoveParams p;
    p.edges = edgeParams(r);
    p.numberFaces = wholeSetting(r, "nf", 10, 0, 1 << 30, warning);
    p.limitPieceSize = r.number("lps", 0) != 0;
    return applyPolyMapSewMove(mesh, p, warning);
}

MeshData evalPolyMapDel(const AttributeReader& r, const MeshData& mesh, std::string* warning) {
    PolyMapDelParams p;
    p.inputComponents = r.componentList("ics");
    p.uvSetName = r.string("uvs").value_or("");
    return applyPolyMapDel(mesh, p, warning);
}

MeshData evalPolyFlipUV(const AttributeReader& r, const MeshData& mesh, std::string* warning) {
    PolyFlipUVParams p;
    p.inputComponents = r.componentList("ics");
    p.flipType = wholeSetting(r, "ft", 0, 0, 1, warning);
    p.local = r.number("l", 1) != 0;
    p.usePivot = r.number("up", 0) != 0;
    p.pivotU = r.number("pu", 0);
    p.pivotV = r.number("pv", 0);
    p.cutUV = r.number("cut", 1) != 0;
    p.uvSetName = r.string("uvs").value_or("");
    return applyPolyFlipUV(mesh, p, warning);
}

MeshData evalCreateColorSet(const AttributeReader& r, const MeshData& mesh, std::string* warning) {
    CreateColorSetParams p;
    p.colorSetName = r.string("colos").value_or("");
    return applyCreateColorSet(mesh, p, warning);
}

}  // namespace mayahost
