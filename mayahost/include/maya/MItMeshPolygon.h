#pragma once
// Iterator over the polygons of a mesh, or of a polygon component of it.

#include <maya/MDagPath.h>
#include <maya/MIntArray.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

#include <memory>
#include <vector>

namespace mayahost {
struct MeshData;
}

class MItMeshPolygon {
public:
    MItMeshPolygon(const MObject& polyObject, MStatus* ReturnStatus = NULL);
    MItMeshPolygon(const MDagPath& polyObject, const MObject& component = MObject::kNullObj,
                   MStatus* ReturnStatus = NULL);

    bool isDone(MStatus* ReturnStatus = NULL) const;
    MStatus next();
    MStatus reset();
    unsigned int count(MStatus* ReturnStatus = NULL) const;
    int index(MStatus* ReturnStatus = NULL) const;
    unsigned int polygonVertexCount(MStatus* ReturnStatus = NULL) const;
    int vertexIndex(int index, MStatus* ReturnStatus = NULL) const;
    MStatus getVertices(MIntArray& vertices) const;
    bool hasValidTriangulation(MStatus* ReturnStatus = NULL) const;
    MStatus numTriangles(int& triCount) const;

private:
    MStatus init(const MObject& shape, const MObject& component);

    std::shared_ptr<const mayahost::MeshData> mesh_;
    std::vector<int> faces_;
    size_t position_ = 0;
};
