#pragma once
// The whole-data values of a Maya Binary file: a mesh (MESH chunks), a NURBS
// curve (NRBC) or surface (NRBS), decoded from the bytes after the
// attribute's name and flag byte into the forms the ASCII reader gives.
//
// Every count is checked against the bytes that remain before anything is
// allocated; a decoder either takes the whole block or returns false with a
// reason, so a hostile block costs no more memory than its own size.

#include <string>
#include <string_view>
#include <vector>

#include "file/Values.h"

namespace mayahost::scenefile {

struct MbUvSet {
    std::string name;
    std::vector<double> points;   // u v per point
};

// A mesh as the .ma statements of the same shape would set it: `.vt`,
// `.ed` (vertex, vertex, 1 soft / 0 hard), `.fc` and the uv sets.
struct MbMesh {
    std::vector<double> vertices;  // x y z per vertex
    std::vector<double> edges;     // 3 per edge
    PolyFaces faces;               // uv ids of set i carry set index i
    std::vector<MbUvSet> uvSets;
    // What the decoder passed over: a block of float triples after the faces
    // (its meaning is not established) and bytes after the uv sets.
    size_t skippedTriples = 0;
    size_t trailingBytes = 0;
};

bool decodeMbMesh(std::string_view bytes, MbMesh& out, std::string& why);
bool decodeMbCurve(std::string_view bytes, NurbsCurveData& out, std::string& why);
bool decodeMbSurface(std::string_view bytes, NurbsSurfaceData& out, std::string& why);

}  // namespace mayahost::scenefile
