#pragma once
// What the mesh function sets share: the component object behind an MObject
// from MFnSingleIndexedComponent, and the faces a component names.

#include <maya/MObject.h>

#include "base/ApiObject.h"
#include "eval/MeshEval.h"

#include <string>
#include <vector>

namespace mayahost {

class ComponentObject : public ApiObject {
public:
    explicit ComponentObject(MFn::Type type) : type_(type) {}
    MFn::Type apiType() const override { return type_; }
    bool hasFn(MFn::Type type) const override {
        return type == type_ || type == MFn::kComponent || type == MFn::kSingleIndexedComponent || ApiObject::hasFn(type);
    }

    std::vector<int> elements;  // in the order added; repeats kept out
    bool complete = false;      // then the elements are 0 .. completeCount - 1
    int completeCount = 0;

    int count() const { return complete ? completeCount : static_cast<int>(elements.size()); }
    int at(int i) const { return complete ? i : elements[static_cast<size_t>(i)]; }
    void add(int element);

private:
    MFn::Type type_;
};

// The faces of a mesh of `faceCount` faces that `component` names: all of
// them for a null object. False (with the reason) for a component of another
// kind or with faces the mesh does not have.
bool componentFaces(const MObject& component, size_t faceCount, std::vector<int>& faces, std::string& why);

// The evaluated mesh of the shape behind a handle, or null when it is no mesh node.
const MeshEvaluation* meshEvaluationOf(const MObject& shape);

// Normals per face-vertex of an evaluated mesh, computed once and kept.
const CornerNormals& cornerNormalsOf(const MeshEvaluation& evaluation);

}  // namespace mayahost
