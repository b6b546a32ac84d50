#pragma once

#include "sceneapi/model/LightGeometry.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace orb {

// A triangle mesh as flat arrays. Texture coordinates and normals are either
// per vertex (their index array empty) or indexed by one triple per triangle.
// Nothing is checked on input; `validate` reports inconsistencies, and only a
// mesh without triangles is kept out of the scene file.
class TriangleObject final : public LightGeometry {
public:
    explicit TriangleObject(std::string name);
    ~TriangleObject() = default;

    void write(orbSceneapi_oo& scene) override;
    // Writes the full data once as a definition, then drops the arrays: from
    // here on the object only refers to that definition.
    void writeInstanceSource(orbSceneapi_oo& scene) override;
    std::size_t memorySize() const override;

    // Inline: a large mesh comes in one element at a time.
    void addVertex(float x, float y, float z) { pushTriple(vertices_, x, y, z); }
    void addTriangle(std::uint32_t a, std::uint32_t b, std::uint32_t c) { pushIndices(triangles_, a, b, c); }
    void addUV(float u, float v) {
        uvs_.push_back(u);
        uvs_.push_back(v);
    }
    void addUVTriangle(std::uint32_t a, std::uint32_t b, std::uint32_t c) { pushIndices(uvTriangles_, a, b, c); }
    void addNormal(float x, float y, float z) { pushTriple(normals_, x, y, z); }
    void addNormalTriangle(std::uint32_t a, std::uint32_t b, std::uint32_t c) { pushIndices(normalTriangles_, a, b, c); }
    void addVertexColor(float r, float g, float b) { pushTriple(vertexColors_, r, g, b); }

    void setVertices(const float* data, std::size_t count);
    void setTriangles(const std::uint32_t* data, std::size_t count);
    void setUVs(const float* data, std::size_t count);
    void setNormals(const float* data, std::size_t count);

    // Room for `vertices` more vertices (with their normals and uvs) and
    // `triangles` more triangles, so that adding them one by one does not
    // regrow the arrays.
    void reserve(std::size_t vertices, std::size_t triangles);

    // Empties the seven arrays; their capacity may stay.
    void clearData();

    // Runs the consistency check, keeps its report and tells whether the
    // object can be written (it has triangles).
    bool validate();
    std::string problems() const { return problems_; }

    const std::vector<float>& vertices() const { return vertices_; }
    const std::vector<int>& triangles() const { return triangles_; }
    const std::vector<float>& uvs() const { return uvs_; }
    const std::vector<int>& uvTriangles() const { return uvTriangles_; }
    const std::vector<float>& normals() const { return normals_; }
    const std::vector<int>& normalTriangles() const { return normalTriangles_; }
    const std::vector<float>& vertexColors() const { return vertexColors_; }
    // Bytes reserved by the arrays, including unused capacity.
    std::size_t capacityBytes() const;

private:
    static void pushTriple(std::vector<float>& v, float a, float b, float c) {
        v.push_back(a);
        v.push_back(b);
        v.push_back(c);
    }
    // Indices travel as 32-bit ints in the scene file; the bits are kept.
    static void pushIndices(std::vector<int>& v, std::uint32_t a, std::uint32_t b, std::uint32_t c) {
        v.push_back(static_cast<int>(a));
        v.push_back(static_cast<int>(b));
        v.push_back(static_cast<int>(c));
    }
    void writeGeometry(orbSceneapi_oo& scene);
    void releaseData();

    std::vector<float> vertices_;
    std::vector<int> triangles_;
    std::vector<float> uvs_;
    std::vector<int> uvTriangles_;
    std::vector<float> normals_;
    std::vector<int> normalTriangles_;
    std::vector<float> vertexColors_;
    std::string problems_;
};

} // namespace orb
