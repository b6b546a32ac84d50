#pragma once
// Reading the uv editing nodes' attributes for the history walk
// (HistoryNodes.cpp registers them): each reads its node and applies its
// modifier from MeshModUV.h to the mesh arriving at the node.

#include "eval/AttributeReader.h"
#include "mesh/MeshData.h"

#include <string>

namespace mayahost {

MeshData evalPolyPlanarProj(const AttributeReader& r, const MeshData& mesh, std::string* warning);
MeshData evalPolyCylProj(const AttributeReader& r, const MeshData& mesh, std::string* warning);
MeshData evalPolySphProj(const AttributeReader& r, const MeshData& mesh, std::string* warning);
MeshData evalPolyAutoProj(const AttributeReader& r, const MeshData& mesh, std::string* warning);
MeshData evalPolyLayoutUV(const AttributeReader& r, const MeshData& mesh, std::string* warning);
MeshData evalPolyMapCut(const AttributeReader& r, const MeshData& mesh, std::string* warning);
MeshData evalPolyMapSew(const AttributeReader& r, const MeshData& mesh, std::string* warning);
MeshData evalPolyMapSewMove(const AttributeReader& r, const MeshData& mesh, std::string* warning);
MeshData evalPolyMapDel(const AttributeReader& r, const MeshData& mesh, std::string* warning);
MeshData evalPolyFlipUV(const AttributeReader& r, const MeshData& mesh, std::string* warning);
MeshData evalCreateColorSet(const AttributeReader& r, const MeshData& mesh, std::string* warning);

}  // namespace mayahost
