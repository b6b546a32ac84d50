#include "eval/HistoryDeformers.h"

#include "eval/HistoryNonLinear.h"
#include "mesh/MeshModNonLinear.h"
#include "mesh/MeshModUtil.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace mayahost {
namespace {

using meshmod::addWarning;

// One index run of a component item: [first, last], or every index.
struct Run {
    int64_t first = 0, last = 0;
    bool all = false;
};

// The runs of "cv[a:b][c]"-style items, one per bracket; false when the
// item is not a control point component or is malformed.
bool parseRuns(const std::string& item, std::vector<Run>& runs) {
    runs.clear();
    if (item.rfind("cv[", 0) != 0) return false;
    size_t at = 2;
    auto number = [&](const std::string& text, int64_t& v) {
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
        return ec == std::errc() && end == text.data() + text.size() && v >= 0;
    };
    while (at < item.size()) {
        if (item[at] != '[') return false;
        const size_t close = item.find(']', at);
        if (close == std::string::npos || runs.size() >= 2) return false;
        const std::string inside = item.substr(at + 1, close - at - 1);
        Run run;
        const size_t colon = inside.find(':');
        if (inside == "*") {
            run.all = true;
        } else if (colon == std::string::npos) {
            if (!number(inside, run.first)) return false;
            run.last = run.first;
        } else if (!number(inside.substr(0, colon), run.first) || !number(inside.substr(colon + 1), run.last)) {
            return false;
        }
        if (run.first > run.last) std::swap(run.first, run.last);
        runs.push_back(run);
        at = close + 1;
    }
    return !runs.empty();
}

// The runs of one item clamped to the grid: [lo, hi) per direction; false
// when the item does not fit the shape's kind (one index for a curve, two
// for a surface). `cut` is set when part of the item lies beyond the grid.
bool clampedRuns(const std::vector<Run>& runs, const ControlPointGrid& grid, std::array<std::pair<size_t, size_t>, 2>& out,
                 bool& cut) {
    const size_t dims = grid.numV ? 2 : 1;
    if (runs.size() != dims) return false;
    const size_t sizes[2] = {grid.numU, grid.numV ? grid.numV : 1};
    out[1] = {0, 1};
    for (size_t d = 0; d < dims; ++d) {
        if (runs[d].all) {
            out[d] = {0, sizes[d]};
            continue;
        }
        if (size_t(runs[d].last) >= sizes[d]) cut = true;
        out[d] = {std::min(size_t(runs[d].first), sizes[d]), std::min(size_t(runs[d].last) + 1, sizes[d])};
    }
    return true;
}

std::string badItem(const std::string& item, const ControlPointGrid& grid) {
    return "component \"" + item + "\" is not a " + (grid.numV ? "surface's cv[u][v]" : "curve's cv[i]") +
           ", it names nothing";
}

// The ids of `items` in their written order, paired with a blendShape's
// offsets: indices beyond the grid stay as -1 so that the pairing holds.
// Error text when an item is malformed or the ids outnumber `maxIds`.
std::string orderedIds(const std::vector<std::string>& items, const ControlPointGrid& grid, size_t maxIds,
                       std::vector<int64_t>& ids) {
    std::vector<Run> runs;
    for (const std::string& item : items) {
        if (!parseRuns(item, runs) || runs.size() != (grid.numV ? 2u : 1u)) return badItem(item, grid);
        const size_t sizes[2] = {grid.numU, grid.numV ? grid.numV : 1};
        int64_t bounds[2][2];
        for (size_t d = 0; d < 2; ++d) {
            const bool present = d < runs.size();
            bounds[d][0] = present && !runs[d].all ? runs[d].first : 0;
            bounds[d][1] = present && !runs[d].all ? runs[d].last : int64_t(sizes[d]) - 1;
        }
        for (int64_t u = bounds[0][0]; u <= bounds[0][1]; ++u)
            for (int64_t v = bounds[1][0]; v <= bounds[1][1]; ++v) {
                if (ids.size() >= maxIds) return "more components than offsets";
                const bool inside = size_t(u) < sizes[0] && size_t(v) < sizes[1];
                ids.push_back(inside ? int64_t(size_t(u) * sizes[1] + size_t(v)) : -1);
            }
    }
    return {};
}

// The control points of the deformer's set; absent means all of them.
std::optional<std::vector<int32_t>> members(const AttributeReader& r, int64_t geometry, const ControlPointGrid& grid,
                                            std::string* warning) {
    const Node* partsNode = deformerGroupParts(r, geometry);
    if (!partsNode) return std::nullopt;
    const AttributeReader parts(r.scene(), *partsNode);
    std::vector<int32_t> ids = controlPointIds(parts.componentList("ic").value_or(std::vector<std::string>{}), grid, warning);
    if (std::optional<std::vector<std::string>> removed = parts.componentList("irc")) {
        const std::vector<int32_t> out = controlPointIds(*removed, grid, warning);
        std::vector<int32_t> kept;
        std::set_difference(ids.begin(), ids.end(), out.begin(), out.end(), std::back_inserter(kept));
        ids = std::move(kept);
    }
    // As for a mesh's vertices, a set that names nothing leaves every point to the deformer.
    if (ids.empty() || ids.size() == grid.count()) return std::nullopt;
    return ids;
}

// The first du x dv points (x y z) of a grid of (x y z w) control points
// numV wide: the ones a periodic form does not repeat.
std::vector<double> distinct(const std::vector<double>& cvs, size_t numV, size_t du, size_t dv) {
    std::vector<double> points;
    points.reserve(3 * du * dv);
    for (size_t u = 0; u < du; ++u)
        for (size_t v = 0; v < dv; ++v)
            for (size_t k = 0; k < 3; ++k) points.push_back(cvs[4 * (u * numV + v) + k]);
    return points;
}

// Back into the grid, the repeated points following their originals.
void putBack(std::vector<double>& cvs, size_t numU, size_t numV, size_t du, size_t dv, const std::vector<double>& points) {
    for (size_t u = 0; u < numU; ++u)
        for (size_t v = 0; v < numV; ++v)
            for (size_t k = 0; k < 3; ++k) cvs[4 * (u * numV + v) + k] = points[3 * ((u % du) * dv + v % dv) + k];
}

size_t distinctCount(size_t count, NurbsForm form, int degree) {
    return form == NurbsForm::Periodic && count > size_t(degree) ? count - size_t(degree) : count;
}

void deformPoints(const AttributeReader& r, int64_t geometry, const ControlPointGrid& grid, std::vector<double>& points,
                  const LiveTargetPoints& liveTarget, std::string* warning) {
    const std::string& type = r.node().typeName();
    const size_t n = grid.count();
    if (type == "tweak") {
        TweakParams p = readTweakParams(r, geometry);
        p.members = members(r, geometry, grid, warning);
        deformTweak(points, p, warning);
    } else if (type == "cluster") {
        ClusterParams p = readClusterParams(r, geometry, n, warning);
        p.members = members(r, geometry, grid, warning);
        deformCluster(points, p, warning);
    } else if (type == "skinCluster") {
        SkinClusterParams p = readSkinClusterParams(r, n, warning);
        p.members = members(r, geometry, grid, warning);
        deformSkinCluster(points, p, warning);
    } else if (type == "blendShape") {
        BlendShapeParams p = readBlendShapeParams(r, geometry, n, liveTarget, warning);
        for (BlendShapeTarget& target : p.targets)
            for (BlendShapeTargetItem& item : target.items) {
                if (item.inputGeomTarget || !item.inputComponentsTarget) continue;
                std::vector<int64_t> ids;
                const std::string error = orderedIds(*item.inputComponentsTarget, grid, item.inputPointsTarget.size() / 3, ids);
                if (!error.empty()) {
                    addWarning(warning, "target " + std::to_string(target.index) + ": " + error + ", its offsets ignored");
                    ids.clear();
                    item.inputPointsTarget.clear();
                }
                item.componentIds = std::move(ids);
            }
        p.members = members(r, geometry, grid, warning);
        deformBlendShape(points, p, warning);
    } else if (type == "nonLinear") {
        NonLinearParams p;
        if (!readNonLinearParams(r, geometry, n, p, warning)) return;
        p.members = members(r, geometry, grid, warning);
        deformNonLinear(points, p, warning);
    }
}

}  // namespace

ControlPointGrid controlPointGrid(const NurbsSurface& s) {
    return {distinctCount(s.numU, s.uForm, s.uDegree), distinctCount(s.numV, s.vForm, s.vDegree)};
}

ControlPointGrid controlPointGrid(const NurbsCurve& c) { return {distinctCount(c.numCVs(), c.form, c.degree), 0}; }

std::vector<int32_t> controlPointIds(const std::vector<std::string>& items, const ControlPointGrid& grid,
                                     std::string* warning) {
    std::vector<uint8_t> mask(grid.count(), 0);
    std::vector<Run> runs;
    bool cut = false;
    for (const std::string& item : items) {
        std::array<std::pair<size_t, size_t>, 2> box;
        if (!parseRuns(item, runs) || !clampedRuns(runs, grid, box, cut)) {
            addWarning(warning, badItem(item, grid));
            continue;
        }
        const size_t rowLength = grid.numV ? grid.numV : 1;
        for (size_t u = box[0].first; u < box[0].second; ++u)
            std::fill(mask.begin() + std::ptrdiff_t(u * rowLength + box[1].first),
                      mask.begin() + std::ptrdiff_t(u * rowLength + box[1].second), uint8_t(1));
    }
    if (cut) addWarning(warning, "components beyond the shape's " + std::to_string(grid.count()) + " control points ignored");
    std::vector<int32_t> ids;
    for (size_t i = 0; i < mask.size(); ++i)
        if (mask[i]) ids.push_back(int32_t(i));
    return ids;
}

bool isControlPointDeformer(const Node& node) {
    const std::string& type = node.typeName();
    return type == "tweak" || type == "cluster" || type == "skinCluster" || type == "blendShape" || type == "nonLinear";
}

void deformControlPoints(const AttributeReader& r, int64_t geometry, NurbsSurface& s, const LiveTargetPoints& liveTarget,
                         std::string* warning) {
    const ControlPointGrid grid = controlPointGrid(s);
    if (grid.count() == 0 || s.cvs.size() != 4 * s.numU * s.numV) return;
    std::vector<double> points = distinct(s.cvs, s.numV, grid.numU, grid.numV);
    deformPoints(r, geometry, grid, points, liveTarget, warning);
    putBack(s.cvs, s.numU, s.numV, grid.numU, grid.numV, points);
}

void deformControlPoints(const AttributeReader& r, int64_t geometry, NurbsCurve& c, const LiveTargetPoints& liveTarget,
                         std::string* warning) {
    const ControlPointGrid grid = controlPointGrid(c);
    if (grid.count() == 0) return;
    std::vector<double> points = distinct(c.cvs, 1, grid.numU, 1);
    deformPoints(r, geometry, grid, points, liveTarget, warning);
    putBack(c.cvs, c.numCVs(), 1, grid.numU, 1, points);
}

std::vector<float> controlPointTarget(const NurbsSurface& s) {
    const ControlPointGrid grid = controlPointGrid(s);
    if (s.cvs.size() != 4 * s.numU * s.numV) return {};
    const std::vector<double> points = distinct(s.cvs, s.numV, grid.numU, grid.numV);
    return {points.begin(), points.end()};
}

std::vector<float> controlPointTarget(const NurbsCurve& c) {
    const std::vector<double> points = distinct(c.cvs, 1, controlPointGrid(c).numU, 1);
    return {points.begin(), points.end()};
}

}  // namespace mayahost
