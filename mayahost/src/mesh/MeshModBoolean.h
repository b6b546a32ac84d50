#pragma once
// polyBoolOp as a pure function on MeshData, in the form of MeshModifiers.h:
// the solids of the inputs joined, subtracted or intersected.

#include "mesh/MeshModifiers.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mayahost {

enum class BooleanOperation {
    Union = 1,         // everything inside any input
    Difference = 2,    // inside the first input and outside every other one
    Intersection = 3,  // inside every input
};

struct PolyBoolOpParams {
    std::vector<UnionInput> inputs;                 // inputPoly (ip)[i] with inputMat (im)[i], in index order
    BooleanOperation operation = BooleanOperation::Union;  // operation (op): 1 union, 2 difference, 3 intersection
    UnionUVSets mergeUVSets = UnionUVSets::ByName;  // mergeUVSets (muv), as polyUnite
    bool preserveColor = false;                     // preserveColor (pcr): without it the result has no colour set
    bool useThresholds = false;                     // useThresholds (uth)
    double vertexDistanceThreshold = 0.001;         // vertexDistanceThreshold (vdt): cut points this close join
};

// The boolean of closed inputs, in world space (each input placed by its
// matrix, as polyUnite places them). Every face is split along the curves
// where the surfaces cross; each piece is kept or dropped by whether it lies
// inside the other solids (pieces lying on another input's surface: kept
// once where both solids are on the same side, for a difference where they
// face each other), and the kept pieces of a subtracted input are turned
// inward. A face no curve touches stays whole; the kept pieces of a cut face
// are joined again along the face's inner splits, so a cut face becomes one
// face per separate part (with holes where a curve closes inside it).
//
// Numbering: the first input's faces that survive, in order (a cut face's
// parts in place, ordered by the first of its corners each keeps, which
// each part starts at; parts keeping none last), then the next input's. The
// vertices kept from each input in their order, input after input, then the
// new cut points in order of first use; the kept original edges in their
// order, then the new ones as the faces walk them (pieces of an original edge
// keep its smoothing, the cut curves are hard). Uvs (and, with
// preserveColor, colours) follow their corners, interpolated over the face
// at cut points; user normals are not kept. `faceInput`, when given,
// receives the input each result face comes from.
//
// An input that is not a closed surface whose faces all turn the same way,
// an operation that is not known, or a result that does not close up (inputs
// touching along degenerate features the tolerance cannot settle) passes the
// first input on, placed, with a warning. More than two inputs are combined
// one after the other.
MeshData applyPolyBoolOp(const PolyBoolOpParams& params, std::string* warning,
                         std::vector<int32_t>* faceInput = nullptr);

}  // namespace mayahost
