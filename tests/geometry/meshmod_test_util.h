#pragma once
// Helpers for the modifier tests: matrices written as row-vector transforms,
// point access and the default cube with user normals.

#include "mesh/MeshData.h"
#include "mesh/MeshVec.h"
#include "mesh_test_util.h"

#include <maya/MMatrix.h>

#include <cmath>
#include <string>

namespace meshmodtest {

using mayahost::MeshData;
using mayahost::MeshVec;

inline MMatrix rows(double a00, double a01, double a02, double a03, double a10, double a11, double a12, double a13,
                    double a20, double a21, double a22, double a23, double a30, double a31, double a32, double a33) {
    const double m[4][4] = {{a00, a01, a02, a03}, {a10, a11, a12, a13}, {a20, a21, a22, a23}, {a30, a31, a32, a33}};
    return MMatrix(m);
}

inline MMatrix translation(double x, double y, double z) { return rows(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1); }
inline MMatrix scaling(double x, double y, double z) { return rows(x, 0, 0, 0, 0, y, 0, 0, 0, 0, z, 0, 0, 0, 0, 1); }
// Turn about +Z by 90 degrees for row vectors: x goes to y.
inline MMatrix turnZ90() { return rows(0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1); }

inline MeshVec pointOf(const MeshData& m, size_t v) {
    return {m.points[3 * v], m.points[3 * v + 1], m.points[3 * v + 2]};
}

// The default cube with a user normal on every corner: the outward face normal.
inline MeshData cubeWithUserNormals() {
    MeshData cube = meshtest::makeCube(false, true);
    const MeshVec faceNormal[] = {{0, 0, 1}, {0, 1, 0}, {0, 0, -1}, {0, -1, 0}, {1, 0, 0}, {-1, 0, 0}};
    for (size_t f = 0; f < 6; ++f)
        for (int c = 0; c < 4; ++c) {
            cube.faceVertexNormals.push_back(float(faceNormal[f].x));
            cube.faceVertexNormals.push_back(float(faceNormal[f].y));
            cube.faceVertexNormals.push_back(float(faceNormal[f].z));
        }
    return cube;
}

inline bool mentions(const std::string& warning, const std::string& part) {
    return warning.find(part) != std::string::npos;
}

}  // namespace meshmodtest
