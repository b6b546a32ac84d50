#pragma once
// Glue between the API classes and the scene database: the scene the API
// currently works on, what an MPlug holds, and the objects other than nodes
// that MObject handles can carry (attributes, numeric and typed data).

#include <maya/MDagPath.h>
#include <maya/MFnNumericData.h>
#include <maya/MMatrix.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MStatus.h>

#include "db/Scene.h"

#include <memory>
#include <string>

namespace mayahost {

// The scene MFileIO opened last (an empty scene with the default nodes before
// any file). A scene replaced by a later open is released.
Scene& currentScene();
void replaceCurrentScene(std::unique_ptr<Scene> scene);
const std::string& currentFilePath();
void setCurrentFilePath(std::string path);

struct PlugHandle {
    std::shared_ptr<Node> node;
    PlugPath path;
};

MPlug makePlug(const Node& node, PlugPath path);
// The node and path behind a plug; null for a null plug.
const PlugHandle* plugOf(const MPlug& plug);

// An attribute of a node type (or a node's dynamic attribute).
class AttributeObject : public ApiObject {
public:
    explicit AttributeObject(const AttrSpec* attrSpec) : spec_(attrSpec) {}
    MFn::Type apiType() const override;
    bool hasFn(MFn::Type type) const override;
    const AttrSpec* attrSpec() const { return spec_; }

private:
    const AttrSpec* spec_;
};
MObject attributeHandle(const AttrSpec* attrSpec);

// A numeric data object (MFnNumericData).
class NumericDataObject : public ApiObject {
public:
    MFn::Type apiType() const override { return MFn::kNumericData; }
    bool hasFn(MFn::Type type) const override { return type == MFn::kData || ApiObject::hasFn(type); }
    MFnNumericData::Type numericType = MFnNumericData::kInvalid;
    double values[4] = {0, 0, 0, 0};
};

// Typed data read from a plug: the reader's value or an evaluator's product.
class DataObject : public ApiObject {
public:
    DataObject(MFn::Type type, PlugReading reading) : type_(type), reading_(std::move(reading)) {}
    MFn::Type apiType() const override { return type_; }
    bool hasFn(MFn::Type type) const override { return type == MFn::kData || ApiObject::hasFn(type); }
    const PlugReading& reading() const { return reading_; }

private:
    MFn::Type type_;
    PlugReading reading_;
};

// World matrices of DAG nodes.
//   localMatrix: the node's own transformation (identity for non-transforms).
MMatrix localMatrix(const Scene& scene, const Node& node);

// Every path to a node (world first in each), in instance order.
std::vector<MDagPath> allPathsTo(const Node& node);
// Shortest name that names the node alone: its name when unique, else a path.
std::string uniqueNodeName(const Node& node);

}  // namespace mayahost
