#pragma once
// Function set of every dependency node: name, type and plugs.

#include <maya/MFnBase.h>
#include <maya/MPlug.h>
#include <maya/MString.h>

class MPlugArray;

class MFnDependencyNode : public MFnBase {
public:
    MFnDependencyNode() = default;
    MFnDependencyNode(const MObject& object, MStatus* ReturnStatus = NULL);

    MFn::Type type() const override { return MFn::kDependencyNode; }

    MString name(MStatus* ReturnStatus = NULL) const;
    MString typeName(MStatus* ReturnStatus = NULL) const;
    MString uuidString(MStatus* ReturnStatus = NULL) const;
    bool isLocked(MStatus* ReturnStatus = NULL) const;
    bool isDefaultNode(MStatus* ReturnStatus = NULL) const;

    MPlug findPlug(const MString& attrName, bool wantNetworkedPlug, MStatus* ReturnStatus = NULL) const;
    MPlug findPlug(const MString& attrName, MStatus* ReturnStatus = NULL) const;
    MPlug findPlug(const MObject& attr, bool wantNetworkedPlug, MStatus* ReturnStatus = NULL) const;
    MPlug findPlug(const MObject& attr, MStatus* ReturnStatus = NULL) const;
    MObject attribute(const MString& attrName, MStatus* ReturnStatus = NULL) const;
    MObject attribute(unsigned int index, MStatus* ReturnStatus = NULL) const;
    unsigned int attributeCount(MStatus* ReturnStatus = NULL) const;
    bool hasAttribute(const MString& name, MStatus* ReturnStatus = NULL) const;
    // Every plug of this node that takes part in a connection.
    MStatus getConnections(MPlugArray& array) const;
};
