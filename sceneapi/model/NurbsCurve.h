#pragma once

#include "sceneapi/model/LightNode.h"

#include <cstddef>
#include <vector>

namespace orb {

// All trim loops of one surface as parallel flat arrays. Each loop is a run
// of edges; each edge is a rational curve in the surface's (u, v) space.
// The producer fills the per-loop and per-edge arrays directly.
class NurbsCurve final : public LightNode {
public:
    NurbsCurve() = default;
    ~NurbsCurve() = default;

    // Writes the eight arrays into whatever block is open.
    void write(orbSceneapi_oo& scene) override;
    void writeInstanceSource(orbSceneapi_oo& scene) override;
    bool isInstance() const override;

    // u·w, v·w, w
    void addPoint(double uw, double vw, double w);
    void addKnot(double knot);
    void clearData();
    std::size_t memorySize() const;

    std::vector<int> loopEdgeCounts;   // one per loop
    std::vector<int> loopInsideFlags;  // one per loop: 1 for a region's outer boundary
    std::vector<int> edgeOrders;       // one per edge: degree + 1
    std::vector<int> edgeKnotCounts;   // one per edge
    std::vector<double> edgeKnots;     // all edges' knots in turn
    std::vector<double> edgeMinima;    // one per edge
    std::vector<double> edgeMaxima;    // one per edge
    std::vector<double> edgePoints;    // 3 per control point
};

} // namespace orb
