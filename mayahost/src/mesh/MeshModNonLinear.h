#pragma once
// The cluster and nonLinear deformers as pure functions on MeshData, in the
// form of MeshModifiers.h: a struct of the node's attributes (named as Maya
// spells them, starting from its defaults) and an apply function that warns
// and passes the affected part through on bad input.

#include "mesh/MeshModifiers.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace mayahost {

// --- cluster -----------------------------------------------------------------

struct ClusterParams {
    // weightList (wl)[geometry].weights (w)[v]: per vertex, absent entries are 1.
    std::vector<std::optional<float>> weights;
    MMatrix matrix;          // matrix (ma): the handle's world matrix (connected from its worldMatrix)
    MMatrix bindPreMatrix;   // bindPreMatrix (pm): the inverse of the handle's world matrix at bind
    MMatrix geomMatrix;      // geomMatrix (gm)[geometry]: the shape's world matrix
    bool relative = false;   // relative (rel): only the handle's own transform counts
    MMatrix weightedMatrix;  // clusterXforms (x).weightedMatrix (wt): the handle's local matrix
    double envelope = 1.0;   // envelope (en)
    std::optional<std::vector<int32_t>> members;  // the deformer set's vertices; absent means all
};

// The world point p * gm moves through D = pm * ma (relative: D = wt, the
// handle's parents left out) and comes back through the inverse of gm; each
// vertex takes envelope * weight of that move.
MeshData applyCluster(const MeshData& in, const ClusterParams& params, std::string* warning);
// The same on bare points (MeshModifiers.h: deformTweak).
void deformCluster(std::vector<double>& points, const ClusterParams& params, std::string* warning);

// --- nonLinear ---------------------------------------------------------------

// The deformation the nonLinear node's deformerData (dd) comes from: the type
// of its handle shape.
enum class NonLinearKind { Bend, Flare, Sine, Squash, Twist, Wave };

struct NonLinearParams {
    NonLinearKind kind = NonLinearKind::Bend;
    MMatrix matrix;          // matrix (ma): the handle's world matrix
    MMatrix geomMatrix;      // the deformed shape's world matrix (the deformation works in world space)
    double envelope = 1.0;   // envelope (en)
    std::vector<std::optional<float>> weights;    // weightList (wl)[geometry].weights (w)[v]; absent is 1
    std::optional<std::vector<int32_t>> members;  // the deformer set's vertices; absent means all

    double lowBound = -1.0, highBound = 1.0;  // lowBound (lb), highBound (hb): along the handle's Y
    double curvature = 0.0;                   // bend: curvature (cur), radians
    double startFlareX = 1, startFlareZ = 1;  // flare: startFlareX (sfx), startFlareZ (sfz)
    double endFlareX = 1, endFlareZ = 1;      // flare: endFlareX (efx), endFlareZ (efz)
    double curve = 0.0;                       // flare: curve (crv)
    double amplitude = 0.0;                   // sine, wave: amplitude (amp)
    double wavelength = 2.0;                  // sine, wave: wavelength (wav); the wave's default is 1
    double offset = 0.0;                      // sine, wave: offset (off)
    double dropoff = 0.0;                     // sine, wave: dropoff (dr), -1 to 1
    double dropoffPosition = 0.0;             // wave: dropoffPosition (dp)
    double minRadius = 0.0, maxRadius = 1.0;  // wave: minRadius (mnr), maxRadius (mxr)
    double factor = 0.0;                      // squash: factor (fac)
    double expand = 1.0;                      // squash: expand (exp)
    double maxExpandPos = 0.5;                // squash: maxExpandPos (mp)
    double startSmoothness = 0.0;             // squash: startSmoothness (ss)
    double endSmoothness = 0.0;               // squash: endSmoothness (es)
    double startAngle = 0.0, endAngle = 0.0;  // twist: startAngle (sa), endAngle (ea), radians
};

// Each point goes into the handle's space (p * gm * inverse(ma)), is deformed
// there by its kind's function of the handle's Y axis (the wave's: of the
// distance from it), comes back, and takes envelope * weight of the move.
// The functions are written out in mayahost/README.md.
MeshData applyNonLinear(const MeshData& in, const NonLinearParams& params, std::string* warning);
void deformNonLinear(std::vector<double>& points, const NonLinearParams& params, std::string* warning);

}  // namespace mayahost
