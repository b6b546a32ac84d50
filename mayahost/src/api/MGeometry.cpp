// MGeometryManager and MGeometry: the triangulated, welded display geometry
// of a mesh shape's faces.

#include <maya/MGeometry.h>
#include <maya/MGeometryManager.h>

#include "mesh/DisplayGeometry.h"
#include "api/MeshApi.h"

using namespace mayahost;

const MGeometryData MGeometry::texCoord(const MString& name) {
    for (const auto& [setName, data] : texCoords_)
        if (setName == name.asChar()) return data;
    return MGeometryData();
}

const MGeometryPrimitive MGeometry::primitiveArray(unsigned int primitiveNumber) const {
    return primitiveNumber < primitives_.size() ? primitives_[primitiveNumber] : MGeometryPrimitive();
}

// A shape that is no mesh, a mesh that could not be evaluated, a component
// that names no face of it, or faces without any triangle all give a geometry
// without primitive arrays.
MGeometry MGeometryManager::getGeometry(const MDagPath& shapePath, MGeometryRequirements& requirements,
                                        MObject* components) {
    const MeshEvaluation* evaluation = meshEvaluationOf(shapePath.node());
    if (!evaluation || !evaluation->error.empty()) return MGeometry();
    const MeshData& mesh = *evaluation->mesh;
    std::vector<int> faces;
    std::string why;
    if (!componentFaces(components ? *components : MObject(), mesh.numFaces(), faces, why)) return MGeometry();

    // One display geometry per requested uv set would weld differently; the
    // vertices are welded on the first set asked for and every set shares them.
    std::vector<MString> uvSets = requirements.texCoordSets();
    DisplayRequest request;
    request.faces = &faces;
    request.uvSetName = uvSets.empty() ? std::string() : std::string(uvSets.front().asChar());
    // A mesh drawn in several face sets computes its normals once for all of
    // them; one drawn whole (the usual case) does not keep them afterwards.
    if (faces.size() < mesh.numFaces()) request.cornerNormals = &cornerNormalsOf(*evaluation);
    DisplayGeometry display;
    if (!buildDisplayGeometry(mesh, request, display).empty() || display.triangles.empty()) return MGeometry();
    // A mesh drawn whole through its only path is asked nothing more as a
    // rule; should it be, its history builds it again.
    if (!request.cornerNormals && !shapePath.isInstanced()) {
        const Node& node = *nodeOf(shapePath.node());
        releaseEvaluatedMesh(node.scene(), node);
    }

    static int nextId = 0;
    int id = ++nextId;
    std::string name = shapePath.fullPathName().asChar();
    auto positions = std::make_shared<const std::vector<float>>(std::move(display.positions));
    auto normals = std::make_shared<const std::vector<float>>(std::move(display.normals));
    auto uvs = std::make_shared<const std::vector<float>>(std::move(display.uvs));
    auto triangles = std::make_shared<const std::vector<uint32_t>>(std::move(display.triangles));
    std::vector<std::pair<std::string, MGeometryData>> texCoords;
    if (!uvSets.empty() && !uvs->empty())
        texCoords.emplace_back(request.uvSetName, MGeometryData(MGeometryData::kTexCoord, 2, uvs, name, id));
    return MGeometry(
        requirements.wantsPosition() ? MGeometryData(MGeometryData::kPosition, 3, positions, name, id) : MGeometryData(),
        requirements.wantsNormal() ? MGeometryData(MGeometryData::kNormal, 3, normals, name, id) : MGeometryData(),
        std::move(texCoords), {MGeometryPrimitive(triangles)});
}
