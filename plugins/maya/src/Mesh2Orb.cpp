#include "plugins/maya/src/Mesh2Orb.h"

#include "common/Log.h"

#include <maya/MGeometryData.h>
#include <maya/MGeometryPrimitive.h>

#include <cstdint>

namespace {

constexpr int kTriangles = 5;  // MGeometryPrimitive's draw primitive type

}  // namespace

MStatus writeGeometry(orb::TriangleObject* object, MGeometry& geometry, MString uvSet) {
  LOG(logDEBUG4) << "write geometry";
  const unsigned primitiveCount = geometry.primitiveArrayCount();
  if (primitiveCount == 0) {
    LOG(logERROR) << "No primitives in geometry";
    return MStatus::kSuccess;
  }
  for (unsigned i = 0; i < primitiveCount; ++i) {
    const MGeometryPrimitive primitive = geometry.primitiveArray(i);
    if (static_cast<int>(primitive.drawPrimitiveType()) != kTriangles) {
      LOG(logERROR) << "Geometry not triangles";
      return MStatus::kFailure;
    }
    const unsigned elements = primitive.elementCount();
    if (elements == 0) {
      LOG(logERROR) << "no elements in geometry";
      return MStatus::kFailure;
    }
    const MGeometryData position = geometry.position();
    const unsigned vertexCount = position.elementCount();
    LOG(logDEBUG2) << "Writing triangle geometry with " << primitiveCount << " primitives and " << elements
                   << " indicies and " << vertexCount << " vertices, collections " << position.collectionNumber();

    object->reserve(vertexCount, elements / 3);
    const float* points = static_cast<const float*>(position.data());
    for (unsigned v = 0; v < vertexCount; ++v) object->addVertex(points[3 * v], points[3 * v + 1], points[3 * v + 2]);

    const MGeometryData normal = geometry.normal();
    const float* normals = static_cast<const float*>(normal.data());
    // Maya hands out normals for every position; a geometry asked for
    // positions only has none, and reading past it would be worse than
    // leaving the object without normals.
    if (normals && normal.elementCount() >= vertexCount)
      for (unsigned v = 0; v < vertexCount; ++v) object->addNormal(normals[3 * v], normals[3 * v + 1], normals[3 * v + 2]);

    const auto* indices = static_cast<const std::uint32_t*>(primitive.data());
    for (unsigned e = 0; e + 2 < elements; e += 3) object->addTriangle(indices[e], indices[e + 1], indices[e + 2]);

    const MGeometryData texCoords = geometry.texCoord(uvSet);
    const float* uvs = static_cast<const float*>(texCoords.data());
    if (uvs && vertexCount > 0 && texCoords.elementCount() >= vertexCount)
      for (unsigned v = 0; v < vertexCount; ++v) object->addUV(uvs[2 * v], uvs[2 * v + 1]);
  }
  return MStatus::kSuccess;
}
