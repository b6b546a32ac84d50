#pragma once
// Small double-precision vector used by the mesh algorithms. Geometry is
// stored in floats; sums of many face normals and ear tests on thin
// polygons are done in doubles so that the result does not depend on order.

#include <cmath>

namespace mayahost {

struct MeshVec {
    double x = 0, y = 0, z = 0;

    MeshVec operator+(const MeshVec& o) const { return {x + o.x, y + o.y, z + o.z}; }
    MeshVec operator-(const MeshVec& o) const { return {x - o.x, y - o.y, z - o.z}; }
    MeshVec operator*(double s) const { return {x * s, y * s, z * s}; }
    MeshVec& operator+=(const MeshVec& o) { x += o.x; y += o.y; z += o.z; return *this; }
    double dot(const MeshVec& o) const { return x * o.x + y * o.y + z * o.z; }
    MeshVec cross(const MeshVec& o) const {
        return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x};
    }
    double length() const { return std::sqrt(dot(*this)); }
    // Unit vector, or zero when the length is zero (degenerate faces keep a zero normal).
    MeshVec normalized() const {
        double len = length();
        return len > 0 ? MeshVec{x / len, y / len, z / len} : MeshVec{};
    }
};

inline MeshVec meshPoint(const float* points, int vertex) {
    const float* p = points + 3 * static_cast<long>(vertex);
    return {p[0], p[1], p[2]};
}

}  // namespace mayahost
