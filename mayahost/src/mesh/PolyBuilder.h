#pragma once
// Shared assembly of the primitive creators: fills a MeshData whose sizes are
// known in advance (every array reserved once), then turns the Y-up build
// onto the requested axis.

#include "mesh/MeshData.h"
#include "mesh/PolyCreators.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace mayahost::poly {

struct Sizes {
    size_t vertices = 0;
    size_t faces = 0;
    size_t faceVertices = 0;
    size_t edges = 0;
    size_t uvs = 0;
};

class Builder {
public:
    Builder(const Sizes& sizes, bool withUVs);

    int32_t point(double x, double y, double z);
    int32_t uv(double u, double v);
    // uvIds is ignored when the mesh has no uvs.
    void face(std::initializer_list<int32_t> vertexIds, std::initializer_list<int32_t> uvIds);
    void face(const int32_t* vertexIds, const int32_t* uvIds, size_t count);
    void edge(int32_t a, int32_t b, bool smooth);
    // Adds, in face order, every face side that no edge() call gave.
    void completeEdges(bool smooth);

    bool withUVs() const { return withUVs_; }
    int32_t vertexCount() const { return int32_t(mesh_.points.size() / 3); }
    int32_t uvCount() const { return withUVs_ ? int32_t(mesh_.uvSets[0].u.size()) : 0; }

    MeshData finish(const PolyAxis& axis);

private:
    MeshData mesh_;
    bool withUVs_;
};

// Maya's ring angle convention: vertex j of a ring of n sits at 2*pi*(j+1)/n,
// at (r*cos, -r*sin) in x and z, so the last vertex lies on +X.
double ringAngle(int j, int n);

// The unit ring as Maya computes it: starting on +X and turning by one step
// at a time in single precision, so that points carry the same rounding as
// Maya's (a few 1e-7). cosA[j], sinA[j] belong to ring vertex j.
void unitRing(int n, std::vector<double>& cosA, std::vector<double>& sinA);

int atLeast(int value, int minimum);

}  // namespace mayahost::poly
