#pragma once
// One primitive array of a display geometry: how the vertices are drawn and
// the vertex indices.

#include <maya/MGeometryData.h>

#include <cstdint>
#include <memory>
#include <vector>

class MGeometryPrimitive {
public:
    enum DrawPrimitiveType {
        kPoints,
        kLines,
        kLineStrip,
        kLineLoop,
        kPolygon,
        kTriangles,
        kTriangleStrip,
        kQuads,
        kQuadStrip,
        kInvalidPrimitive = -1
    };

    MGeometryPrimitive() = default;

    DrawPrimitiveType drawPrimitiveType() const { return indices_ ? kTriangles : kInvalidPrimitive; }
    unsigned int elementCount() const { return indices_ ? static_cast<unsigned int>(indices_->size()) : 0; }
    MGeometryData::ElementType dataType() const { return MGeometryData::kUnsignedInt32; }
    // The indices as unsigned 32-bit integers; null when there are none.
    const void* data() const { return indices_ && !indices_->empty() ? indices_->data() : nullptr; }
    int uniqueID() const { return indices_ ? 0 : -1; }

    // Stand-in extension: a triangle list over indices shared with the geometry.
    explicit MGeometryPrimitive(std::shared_ptr<const std::vector<uint32_t>> triangles) : indices_(std::move(triangles)) {}

private:
    std::shared_ptr<const std::vector<uint32_t>> indices_;
};
