#include "sceneapi/model/TriangleObject.h"

#include "sceneapi/model/Material.h"
#include "sceneapi/orbScene_api.h"
#include "sceneapi/orbSceneapi_oo.h"

#include <memory>
#include <utility>

namespace orb {

namespace {

template <typename T>
void release(std::vector<T>& v) {
    std::vector<T>().swap(v);
}

} // namespace

TriangleObject::TriangleObject(std::string name) : LightGeometry(std::move(name)) {
    setMaterial(std::make_shared<Diffuse>("default"));
}

void TriangleObject::reserve(std::size_t vertices, std::size_t triangles) {
    vertices_.reserve(vertices_.size() + 3 * vertices);
    normals_.reserve(normals_.size() + 3 * vertices);
    uvs_.reserve(uvs_.size() + 2 * vertices);
    triangles_.reserve(triangles_.size() + 3 * triangles);
}

void TriangleObject::setVertices(const float* data, std::size_t count) {
    vertices_.assign(data, data + (data ? count : 0));
}

void TriangleObject::setTriangles(const std::uint32_t* data, std::size_t count) {
    if (data == nullptr)
        count = 0;
    triangles_.resize(count);
    for (std::size_t i = 0; i < count; ++i)
        triangles_[i] = static_cast<int>(data[i]);
}

void TriangleObject::setUVs(const float* data, std::size_t count) { uvs_.assign(data, data + (data ? count : 0)); }

void TriangleObject::setNormals(const float* data, std::size_t count) {
    normals_.assign(data, data + (data ? count : 0));
}

void TriangleObject::clearData() {
    vertices_.clear();
    triangles_.clear();
    uvs_.clear();
    uvTriangles_.clear();
    normals_.clear();
    normalTriangles_.clear();
    vertexColors_.clear();
}

void TriangleObject::releaseData() {
    release(vertices_);
    release(triangles_);
    release(uvs_);
    release(uvTriangles_);
    release(normals_);
    release(normalTriangles_);
    release(vertexColors_);
}

std::size_t TriangleObject::memorySize() const {
    return 4 * (vertices_.size() + triangles_.size() + uvs_.size() + uvTriangles_.size() + normals_.size() +
                normalTriangles_.size() + vertexColors_.size());
}

std::size_t TriangleObject::capacityBytes() const {
    return 4 * (vertices_.capacity() + triangles_.capacity() + uvs_.capacity() + uvTriangles_.capacity() +
                normals_.capacity() + normalTriangles_.capacity() + vertexColors_.capacity());
}

bool TriangleObject::validate() {
    if (isInstance())
        return true;

    std::string report;
    if (normals_.empty()) {
        if (!normalTriangles_.empty())
            report += "No normals defined for index";
    } else if (!normalTriangles_.empty()) {
        if (normalTriangles_.size() != triangles_.size())
            report += "Normals count does not match number of triangles " + std::to_string(normalTriangles_.size()) +
                      " vs " + std::to_string(triangles_.size());
    } else if (normals_.size() != vertices_.size()) {
        report += "Number of normals does not equal number of vertices";
    }

    if (uvs_.empty()) {
        if (!uvTriangles_.empty())
            report += "No uvs defined for index";
    } else if (!uvTriangles_.empty()) {
        if (uvTriangles_.size() != triangles_.size())
            report += "UV index count does not match triangle count";
    } else if (2 * vertices_.size() != 3 * uvs_.size()) {
        report += "Number of uvs(" + std::to_string(uvs_.size()) + ")  does not match vertex count(" +
                  std::to_string(vertices_.size()) + ")";
    }

    if (!vertexColors_.empty() && vertexColors_.size() != vertices_.size())
        report += "VetexColor count does not match number of vertices";

    if (triangles_.empty())
        report += "No triangles defined";

    problems_ = std::move(report);
    return !triangles_.empty();
}

void TriangleObject::writeGeometry(orbSceneapi_oo& scene) {
    orbScene_api* api = scene.api();
    if (isInstance()) {
        api->beginGeometry("instance");
        scene.setInt("id", static_cast<int>(instanceId()));
        api->endGeometry();
        return;
    }
    api->beginGeometry("triangles");
    scene.setFloat3Array("vertices", vertices_);
    scene.setIntArray("triangles", triangles_);
    if (!uvTriangles_.empty())
        scene.setIntArray("triangles_uv", uvTriangles_);
    if (!uvs_.empty())
        scene.setFloatArray("uv_tex", uvs_);
    if (!normalTriangles_.empty())
        scene.setIntArray("triangles_norm", normalTriangles_);
    if (!normals_.empty())
        scene.setFloat3Array("normals", normals_);
    if (!vertexColors_.empty())
        scene.setFloat3Array("vcolors", vertexColors_);
    api->endGeometry();
}

void TriangleObject::write(orbSceneapi_oo& scene) {
    if (validate()) {
        scene.api()->beginObject(name().c_str(), true);
        writeGeometry(scene);
        if (auto m = material())
            m->write(scene);
        scene.api()->endObject();
    }
    if (!problems_.empty())
        scene.api()->error(problems_.c_str());
}

void TriangleObject::writeInstanceSource(orbSceneapi_oo& scene) {
    scene.api()->beginObject(name().c_str(), false);
    const int id = scene.newId();
    writeGeometry(scene);
    scene.api()->endObject();
    releaseData();
    setInstanceId(static_cast<std::uint64_t>(id));
}

} // namespace orb
