#pragma once
// What the extrusions and polyChipOff share: the regions of faces that move
// as one piece, and the polyMoveFace family's moves (a local frame per
// component, then translate, rotate and scale about a pivot).

#include "mesh/MeshModifiers.h"
#include "mesh/MeshVec.h"

#include <cstdint>
#include <vector>

namespace mayahost::meshmod {

// Faces that move as one piece: connected through shared edges when kept
// together, else one face each. Regions are ordered by their lowest face.
std::vector<std::vector<int32_t>> faceRegions(const MeshData& mesh, const std::vector<int32_t>& faces, bool together);

// A face's centre: the mean of its sides' midpoints weighted by their lengths
// (a face's corners crowded on one side do not pull it).
MeshVec faceCentre(const MeshData& mesh, size_t face);
MeshVec faceUnitNormal(const MeshData& mesh, size_t face);

struct MoveFrame {
    MeshVec centre, x, y, z;
};

// A frame about `centre` with z along `normal` and x the first of `xAxis`,
// `yAxis` that does not stand on the plane across z, laid into it.
MoveFrame frameAcross(const MeshVec& centre, const MeshVec& normal, const MeshVec& xAxis, const MeshVec& yAxis);

class ComponentMover {
public:
    explicit ComponentMover(const PolyMoveParams& params);

    // A frame about `centre` with z along `normal` and x the local direction
    // laid into the plane across z (Y when the direction stands on it).
    MoveFrame frame(const MeshVec& centre, const MeshVec& normal) const;

    // A point moved in a frame: local scale and rotation about its centre,
    // then local translate, thickness along z.
    MeshVec local(const MeshVec& q, const MoveFrame& frame) const;

    // translate, rotate and scale about the pivot (in world space through the
    // input matrix when worldSpace is on).
    MeshVec world(const MeshVec& q) const;

private:
    const PolyMoveParams& p_;
    MeshVec xAxis_{1, 0, 0}, yAxis_{0, 1, 0};
};

}  // namespace mayahost::meshmod
