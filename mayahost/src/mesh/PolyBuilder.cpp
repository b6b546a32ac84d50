#include "mesh/PolyBuilder.h"
#include "common/platform/StableMath.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <unordered_set>

namespace mayahost::poly {

Builder::Builder(const Sizes& sizes, bool withUVs) : withUVs_(withUVs) {
    mesh_.points.reserve(sizes.vertices * 3);
    mesh_.faceLoopStart.reserve(sizes.faces + 1);
    mesh_.loopStart.reserve(sizes.faces + 1);
    mesh_.faceVertices.reserve(sizes.faceVertices);
    mesh_.edges.reserve(sizes.edges * 2);
    mesh_.edgeSmooth.reserve(sizes.edges);
    mesh_.faceLoopStart.push_back(0);
    mesh_.loopStart.push_back(0);

    // A creator always yields "map1"; without uvs it is an empty set.
    MeshUVSet& set = mesh_.uvSets.emplace_back();
    set.name = "map1";
    if (withUVs_) {
        set.u.reserve(sizes.uvs);
        set.v.reserve(sizes.uvs);
    }
    set.faceVertexUV.reserve(sizes.faceVertices);
}

int32_t Builder::point(double x, double y, double z) {
    mesh_.points.push_back(float(x));
    mesh_.points.push_back(float(y));
    mesh_.points.push_back(float(z));
    return int32_t(mesh_.points.size() / 3 - 1);
}

int32_t Builder::uv(double u, double v) {
    MeshUVSet& set = mesh_.uvSets[0];
    set.u.push_back(float(u));
    set.v.push_back(float(v));
    return int32_t(set.u.size() - 1);
}

void Builder::face(std::initializer_list<int32_t> vertexIds, std::initializer_list<int32_t> uvIds) {
    face(vertexIds.begin(), uvIds.size() == vertexIds.size() ? uvIds.begin() : nullptr,
         vertexIds.size());
}

void Builder::face(const int32_t* vertexIds, const int32_t* uvIds, size_t count) {
    std::vector<int32_t>& faceUVs = mesh_.uvSets[0].faceVertexUV;
    for (size_t i = 0; i < count; ++i) {
        mesh_.faceVertices.push_back(vertexIds[i]);
        faceUVs.push_back(withUVs_ && uvIds ? uvIds[i] : -1);
    }
    mesh_.loopStart.push_back(uint32_t(mesh_.faceVertices.size()));
    mesh_.faceLoopStart.push_back(uint32_t(mesh_.loopStart.size() - 1));
}

void Builder::edge(int32_t a, int32_t b, bool smooth) {
    mesh_.edges.push_back(a);
    mesh_.edges.push_back(b);
    mesh_.edgeSmooth.push_back(smooth ? 1 : 0);
}

void Builder::completeEdges(bool smooth) {
    auto key = [](int32_t a, int32_t b) {
        return (uint64_t(uint32_t(std::min(a, b))) << 32) | uint32_t(std::max(a, b));
    };
    std::unordered_set<uint64_t> known;
    known.reserve(mesh_.edges.size());
    for (size_t e = 0; e + 1 < mesh_.edges.size(); e += 2)
        known.insert(key(mesh_.edges[e], mesh_.edges[e + 1]));
    const size_t faces = mesh_.loopStart.size() - 1;
    for (size_t f = 0; f < faces; ++f) {
        const uint32_t begin = mesh_.loopStart[f], end = mesh_.loopStart[f + 1];
        for (uint32_t i = begin; i < end; ++i) {
            const int32_t a = mesh_.faceVertices[i];
            const int32_t b = mesh_.faceVertices[i + 1 < end ? i + 1 : begin];
            if (known.insert(key(a, b)).second)
                edge(a, b, smooth);
        }
    }
}

namespace {

// Rotation taking +Y onto the unit axis along the shortest arc; a reversed
// axis turns the build upside down about X.
void axisRotation(const PolyAxis& axis, double (&m)[3][3]) {
    double ax = axis.x, ay = axis.y, az = axis.z;
    const double len = std::sqrt(ax * ax + ay * ay + az * az);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) m[r][c] = r == c ? 1.0 : 0.0;
    if (!(len > 1e-12) || !std::isfinite(len)) return;
    ax /= len;
    ay /= len;
    az /= len;
    if (ay < -1.0 + 1e-12) {  // half turn about X
        m[1][1] = -1.0;
        m[2][2] = -1.0;
        return;
    }
    // Rodrigues for the rotation of (0,1,0) onto (ax,ay,az): k = y x a.
    const double kx = az, ky = 0.0, kz = -ax;  // sin(angle) * unit axis
    const double c = ay;
    const double f = 1.0 / (1.0 + c);
    const double K[3][3] = {{0, -kz, ky}, {kz, 0, -kx}, {-ky, kx, 0}};
    double K2[3][3];
    for (int r = 0; r < 3; ++r)
        for (int col = 0; col < 3; ++col) {
            K2[r][col] = 0;
            for (int i = 0; i < 3; ++i) K2[r][col] += K[r][i] * K[i][col];
        }
    for (int r = 0; r < 3; ++r)
        for (int col = 0; col < 3; ++col) m[r][col] += K[r][col] + K2[r][col] * f;
}

}  // namespace

MeshData Builder::finish(const PolyAxis& axis) {
    const bool upright = axis.x == 0.0 && axis.z == 0.0 && axis.y > 0.0;
    if (!upright) {
        double m[3][3];
        axisRotation(axis, m);
        std::vector<float>& p = mesh_.points;
        for (size_t i = 0; i + 2 < p.size(); i += 3) {
            const double x = p[i], y = p[i + 1], z = p[i + 2];
            p[i] = float(m[0][0] * x + m[0][1] * y + m[0][2] * z);
            p[i + 1] = float(m[1][0] * x + m[1][1] * y + m[1][2] * z);
            p[i + 2] = float(m[2][0] * x + m[2][1] * y + m[2][2] * z);
        }
    }
    mesh_.currentUVSet = 0;
    return std::move(mesh_);
}

double ringAngle(int j, int n) {
    return 2.0 * std::numbers::pi * double(j + 1) / double(n);
}

void unitRing(int n, std::vector<double>& cosA, std::vector<double>& sinA) {
    cosA.assign(size_t(n), 0.0);
    sinA.assign(size_t(n), 0.0);
    const double step = 2.0 * std::numbers::pi / n;
    const float c = float(stablemath::cos(step)), s = float(stablemath::sin(step));
    float x = 1.0f, z = 0.0f;  // position space: z = -sin
    cosA[size_t(n - 1)] = 1.0;
    for (int k = 1; k < n; ++k) {
        // Each product and sum rounded to float, as Maya does.
        const float cx = c * x, sz = s * z, cz = c * z, sx = s * x;
        const float nx = cx - sz, nz = cz + sx;
        x = nx;
        z = nz;
        cosA[size_t(n - 1 - k)] = x;
        sinA[size_t(n - 1 - k)] = -z;
    }
}

int atLeast(int value, int minimum) { return value < minimum ? minimum : value; }

}  // namespace mayahost::poly
