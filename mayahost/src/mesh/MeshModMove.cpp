// Regions and moves shared by polyExtrudeFace, polyExtrudeEdge and polyChipOff.

#include "mesh/MeshModMove.h"

#include "mesh/MeshModUtil.h"
#include "mesh/Triangulate.h"

#include <maya/MEulerRotation.h>
#include <maya/MPoint.h>
#include <maya/MVector.h>

#include <cmath>
#include <numeric>
#include <unordered_map>

namespace mayahost::meshmod {

std::vector<std::vector<int32_t>> faceRegions(const MeshData& mesh, const std::vector<int32_t>& faces, bool together) {
    LowUnion groups(faces.size());
    auto root = [&](int32_t i) { return groups.find(i); };
    if (together) {
        std::unordered_map<uint64_t, int32_t> firstUse;
        for (size_t k = 0; k < faces.size(); ++k) {
            const size_t f = size_t(faces[k]);
            for (uint32_t l = mesh.faceLoopStart[f]; l < mesh.faceLoopStart[f + 1]; ++l)
                for (uint32_t c = mesh.loopStart[l], e = mesh.loopStart[l + 1]; c < e; ++c) {
                    const uint64_t key = pairKey(mesh.faceVertices[c], mesh.faceVertices[c + 1 < e ? c + 1 : mesh.loopStart[l]]);
                    auto [it, fresh] = firstUse.emplace(key, int32_t(k));
                    if (!fresh) groups.unite(int32_t(k), it->second);
                }
        }
    }
    std::vector<std::vector<int32_t>> regions;
    std::unordered_map<int32_t, size_t> regionOfRoot;
    for (size_t k = 0; k < faces.size(); ++k) {
        auto [it, fresh] = regionOfRoot.emplace(root(int32_t(k)), regions.size());
        if (fresh) regions.emplace_back();
        regions[it->second].push_back(faces[k]);
    }
    return regions;
}

MeshVec faceCentre(const MeshData& mesh, size_t face) {
    MeshVec sum{0, 0, 0};
    double perimeter = 0;
    const uint32_t l = mesh.faceLoopStart[face];
    const uint32_t b = mesh.loopStart[l], e = mesh.loopStart[l + 1];
    for (uint32_t c = b; c < e; ++c) {
        const MeshVec p = meshPoint(mesh.points.data(), mesh.faceVertices[c]);
        const MeshVec q = meshPoint(mesh.points.data(), mesh.faceVertices[c + 1 < e ? c + 1 : b]);
        const double length = (q - p).length();
        sum += (p + q) * (0.5 * length);
        perimeter += length;
    }
    return perimeter > 0 ? sum * (1.0 / perimeter) : meshPoint(mesh.points.data(), mesh.faceVertices[b]);
}

MeshVec faceUnitNormal(const MeshData& mesh, size_t face) {
    std::vector<MeshVec> loop;
    const uint32_t l = mesh.faceLoopStart[face];
    for (uint32_t c = mesh.loopStart[l]; c < mesh.loopStart[l + 1]; ++c)
        loop.push_back(meshPoint(mesh.points.data(), mesh.faceVertices[c]));
    return newellNormal(loop).normalized();
}

ComponentMover::ComponentMover(const PolyMoveParams& params) : p_(params) {
    MeshVec x{params.localDirection[0], params.localDirection[1], params.localDirection[2]};
    if (!(x.length() > 1e-12) || !std::isfinite(x.length())) x = {1, 0, 0};
    MeshVec y = std::fabs(x.normalized().y) > 0.99 ? MeshVec{0, 0, 1} : MeshVec{0, 1, 0};
    // The local direction is a world direction when the node works in world space.
    if (p_.worldSpace && isFiniteMatrix(p_.inputMatrix)) {
        const MMatrix toObject = p_.inputMatrix.inverse();
        const MVector wx = MVector(x.x, x.y, x.z) * toObject, wy = MVector(y.x, y.y, y.z) * toObject;
        x = {wx.x, wx.y, wx.z};
        y = {wy.x, wy.y, wy.z};
    }
    xAxis_ = x.normalized();
    yAxis_ = y.normalized();
}

MoveFrame ComponentMover::frame(const MeshVec& centre, const MeshVec& normal) const {
    return frameAcross(centre, normal, xAxis_, yAxis_);
}

MoveFrame frameAcross(const MeshVec& centre, const MeshVec& normal, const MeshVec& xAxis, const MeshVec& yAxis) {
    MoveFrame fr;
    fr.centre = centre;
    fr.z = normal;
    fr.x = MeshVec{1, 0, 0};
    for (const MeshVec& axis : {xAxis, yAxis}) {
        const MeshVec x = axis - fr.z * axis.dot(fr.z);
        if (x.length() > 1e-6) {
            fr.x = x.normalized();
            break;
        }
    }
    fr.y = fr.z.cross(fr.x);
    return fr;
}

MeshVec ComponentMover::local(const MeshVec& q, const MoveFrame& f) const {
    const MeshVec d = q - f.centre;
    MVector l(d.dot(f.x) * p_.localScale[0], d.dot(f.y) * p_.localScale[1], d.dot(f.z) * p_.localScale[2]);
    if (p_.localRotate != std::array<double, 3>{0, 0, 0})
        l = l * MEulerRotation(p_.localRotate[0], p_.localRotate[1], p_.localRotate[2]).asMatrix();
    return f.centre + f.x * (l.x + p_.localTranslate[0]) + f.y * (l.y + p_.localTranslate[1]) +
           f.z * (l.z + p_.localTranslate[2] + p_.thickness);
}

MeshVec ComponentMover::world(const MeshVec& q) const {
    const bool identity = p_.translate == std::array<double, 3>{0, 0, 0} &&
                          p_.rotate == std::array<double, 3>{0, 0, 0} && p_.scale == std::array<double, 3>{1, 1, 1};
    if (identity) return q;
    MPoint w(q.x, q.y, q.z);
    if (p_.worldSpace) w = w * p_.inputMatrix;
    MVector d = MVector(w) - MVector(p_.pivot[0], p_.pivot[1], p_.pivot[2]);
    d = MVector(d.x * p_.scale[0], d.y * p_.scale[1], d.z * p_.scale[2]);
    d = d * MEulerRotation(p_.rotate[0], p_.rotate[1], p_.rotate[2]).asMatrix();
    w = MPoint(MVector(p_.pivot[0], p_.pivot[1], p_.pivot[2]) + d + MVector(p_.translate[0], p_.translate[1], p_.translate[2]));
    if (p_.worldSpace) w = w * p_.inputMatrix.inverse();
    return {w.x, w.y, w.z};
}

}  // namespace mayahost::meshmod
