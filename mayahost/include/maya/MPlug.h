#pragma once
// A plug: one attribute of one node, with the logical indices of the multis
// on the way. Values are read in the normal context and follow the plug's
// incoming connection.

#include <maya/MDGContext.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

#include <memory>

class MPlugArray;

namespace mayahost {
struct PlugHandle;
}

class MPlug {
public:
    MPlug() = default;
    MPlug(const MObject& node, const MObject& attribute);

    bool isNull(MStatus* ReturnStatus = NULL) const;
    MObject node(MStatus* ReturnStatus = NULL) const;
    MObject attribute(MStatus* ReturnStatus = NULL) const;
    // "node.longAttributeName[index]...", the node by its shortest unique name.
    MString name(MStatus* ReturnStatus = NULL) const;
    MString partialName(bool includeNodeName = false, bool includeNonMandatoryIndices = false,
                        bool includeInstancedIndices = false, bool useAlias = false,
                        bool useFullAttributePath = false, bool useLongNames = false,
                        MStatus* ReturnStatus = NULL) const;
    MString info(MStatus* ReturnStatus = NULL) const { return name(ReturnStatus); }

    bool isArray(MStatus* ReturnStatus = NULL) const;
    bool isElement(MStatus* ReturnStatus = NULL) const;
    bool isCompound(MStatus* ReturnStatus = NULL) const;
    bool isChild(MStatus* ReturnStatus = NULL) const;
    unsigned int numChildren(MStatus* ReturnStatus = NULL) const;
    MPlug child(unsigned int index, MStatus* ReturnStatus = NULL) const;
    MPlug child(const MObject& attr, MStatus* ReturnStatus = NULL) const;
    MPlug parent(MStatus* ReturnStatus = NULL) const;
    MPlug array(MStatus* ReturnStatus = NULL) const;
    unsigned int numElements(MStatus* ReturnStatus = NULL) const;
    unsigned int evaluateNumElements(MStatus* ReturnStatus = NULL) const { return numElements(ReturnStatus); }
    MPlug elementByLogicalIndex(unsigned int logicalIndex, MStatus* ReturnStatus = NULL) const;
    MPlug elementByPhysicalIndex(unsigned int physicalIndex, MStatus* ReturnStatus = NULL) const;
    MPlug operator[](unsigned int physicalIndex) const { return elementByPhysicalIndex(physicalIndex); }
    unsigned int logicalIndex(MStatus* ReturnStatus = NULL) const;
    int getExistingArrayAttributeIndices(class MIntArray& indices, MStatus* ReturnStatus = NULL) const;

    bool connectedTo(MPlugArray& array, bool asDst, bool asSrc, MStatus* ReturnStatus = NULL) const;
    bool isConnected(MStatus* ReturnStatus = NULL) const;
    bool isDestination(MStatus* ReturnStatus = NULL) const;
    bool isSource(MStatus* ReturnStatus = NULL) const;

    MStatus getValue(bool& value, const MDGContext& context = MDGContext::fsNormal) const;
    MStatus getValue(int& value, const MDGContext& context = MDGContext::fsNormal) const;
    MStatus getValue(short& value, const MDGContext& context = MDGContext::fsNormal) const;
    MStatus getValue(float& value, const MDGContext& context = MDGContext::fsNormal) const;
    MStatus getValue(double& value, const MDGContext& context = MDGContext::fsNormal) const;
    MStatus getValue(MString& value, const MDGContext& context = MDGContext::fsNormal) const;
    MStatus getValue(MObject& value, const MDGContext& context = MDGContext::fsNormal) const;

    bool asBool(const MDGContext& context = MDGContext::fsNormal, MStatus* ReturnStatus = NULL) const;
    int asInt(const MDGContext& context = MDGContext::fsNormal, MStatus* ReturnStatus = NULL) const;
    short asShort(const MDGContext& context = MDGContext::fsNormal, MStatus* ReturnStatus = NULL) const;
    float asFloat(const MDGContext& context = MDGContext::fsNormal, MStatus* ReturnStatus = NULL) const;
    double asDouble(const MDGContext& context = MDGContext::fsNormal, MStatus* ReturnStatus = NULL) const;
    MString asString(const MDGContext& context = MDGContext::fsNormal, MStatus* ReturnStatus = NULL) const;
    MObject asMObject(const MDGContext& context = MDGContext::fsNormal, MStatus* ReturnStatus = NULL) const;

    bool operator==(const MPlug& other) const;
    bool operator!=(const MPlug& other) const { return !(*this == other); }

    // Stand-in extension: the plug behind the handle.
    explicit MPlug(std::shared_ptr<const mayahost::PlugHandle> handle) : h_(std::move(handle)) {}
    const mayahost::PlugHandle* handle() const { return h_.get(); }

private:
    std::shared_ptr<const mayahost::PlugHandle> h_;
};
