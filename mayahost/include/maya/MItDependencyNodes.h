#pragma once
// Iterates every dependency node of the scene in creation order, optionally
// only those of one type (with the types derived from it).

#include <maya/MFn.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

#include <vector>

class MItDependencyNodes {
public:
    MItDependencyNodes(MFn::Type filter = MFn::kInvalid, MStatus* ReturnStatus = NULL);

    MStatus reset(MFn::Type filter = MFn::kInvalid);
    bool isDone(MStatus* ReturnStatus = NULL) const;
    MStatus next();
    MObject item(MStatus* ReturnStatus = NULL) const;
    MObject thisNode(MStatus* ReturnStatus = NULL) const { return item(ReturnStatus); }

private:
    std::vector<MObject> nodes_;
    size_t pos_ = 0;
};
