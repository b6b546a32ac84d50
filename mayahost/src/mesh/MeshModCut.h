#pragma once
// polyCut as a pure function on MeshData, in the form of MeshModifiers.h
// (attributes named as Maya spells them, defaults from the node, warnings
// instead of failures).

#include "mesh/MeshData.h"

#include <maya/MMatrix.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace mayahost {

struct PolyCutParams {
    std::optional<std::vector<std::string>> inputComponents;  // inputComponents (ics): faces; absent means all
    std::array<double, 3> cutPlaneCenter{0, 0, 0};   // cutPlaneCenter (pc): a point of the plane
    std::array<double, 3> cutPlaneRotate{0, 0, 0};   // cutPlaneRotate (ro): radians, turns the plane's normal (+Z unturned)
    std::array<double, 2> cutPlaneSize{1, 1};        // cutPlaneSize (ps): the manipulator's extent only
    bool deleteFaces = false;                        // deleteFaces (df): the cut faces beyond the plane go
    bool extractFaces = false;                       // extractFaces (ef): the cut faces beyond the plane come apart
    std::array<double, 3> extractOffset{0.5, 0.5, 0.5};  // extractOffset (eo): moves the extracted faces
    bool worldSpace = false;                         // worldSpace (ws): the plane in world space through inputMatrix
    MMatrix inputMatrix;                             // inputMatrix (ix)
};

// Every selected face the plane crosses is split along it. A new vertex goes
// on each edge the plane crosses (edge ids rising), splitting the edge in
// every face that walks it (the edge keeps its id for the half at its first
// vertex, the other halves are appended in the same order), with a uv
// between the side's two, shared by faces that agree on the side's uvs. A
// crossed face keeps its id for its part behind the plane (against the
// normal), starting from that part's first corner in the face's order; its
// part beyond is appended after the last face (pieces of a concave face in
// the order of their first corner), and the cut is a new soft edge appended
// as the faces walk it. Selected faces beyond the plane are then deleted
// (deleteFaces) or put on vertices of their own and moved by the offset
// (extractFaces, as polyChipOff does without duplicating).
MeshData applyPolyCut(const MeshData& in, const PolyCutParams& params, std::string* warning);

}  // namespace mayahost
