// polyCloseBorder: a face fills each border loop.

#include "mesh/MeshModifiers.h"

#include "mesh/MeshModUtil.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace mayahost {
namespace {

using meshmod::pairKey;

}  // namespace

MeshData applyPolyCloseBorder(const MeshData& in, const PolyCloseBorderParams& params, std::string* warning) {
    if (!meshmod::usableMesh(in, "polyCloseBorder", warning)) return in;
    // How often each edge is walked, and the border sides in the faces' direction.
    std::unordered_map<uint64_t, int> walks;
    std::unordered_map<uint64_t, std::pair<int32_t, int32_t>> side;
    for (size_t f = 0; f < in.numFaces(); ++f)
        for (uint32_t l = in.faceLoopStart[f]; l < in.faceLoopStart[f + 1]; ++l)
            for (uint32_t c = in.loopStart[l], e = in.loopStart[l + 1]; c < e; ++c) {
                const int32_t a = in.faceVertices[c], b = in.faceVertices[c + 1 < e ? c + 1 : in.loopStart[l]];
                ++walks[pairKey(a, b)];
                side[pairKey(a, b)] = {a, b};
            }
    std::unordered_set<uint64_t> chosen;
    if (params.inputComponents)
        for (int32_t e : meshmod::selectedEdges(in, params.inputComponents, "polyCloseBorder", warning))
            chosen.insert(pairKey(in.edges[2 * size_t(e)], in.edges[2 * size_t(e) + 1]));

    // The filling face walks each border side backwards: from b to a.
    std::unordered_map<int32_t, int32_t> next;
    std::vector<int32_t> borderEdges;
    for (size_t e = 0; e < in.numEdges(); ++e) {
        const uint64_t key = pairKey(in.edges[2 * e], in.edges[2 * e + 1]);
        if (walks[key] != 1) continue;
        const auto [a, b] = side[key];
        if (!next.emplace(b, a).second) {
            meshmod::addWarning(warning, "polyCloseBorder: vertex " + std::to_string(b) +
                                             " starts two border sides, its borders are not closed");
            return in;
        }
        borderEdges.push_back(int32_t(e));
    }

    MeshData out = in;
    std::unordered_set<int32_t> used;
    for (int32_t e : borderEdges) {
        // The loop starts at the second vertex of its lowest edge, whichever way the faces run.
        const int32_t start = in.edges[2 * size_t(e) + 1];
        if (used.count(start)) continue;
        std::vector<int32_t> loop;
        bool touched = !params.inputComponents;
        for (int32_t v = start; !used.count(v);) {
            used.insert(v);
            loop.push_back(v);
            auto it = next.find(v);
            if (it == next.end()) break;
            v = it->second;
        }
        // A loop of the border closes only when it comes back to where it began.
        if (loop.size() < 3 || next.count(loop.back()) == 0 || next.at(loop.back()) != loop.front()) continue;
        for (size_t i = 0; i < loop.size() && !touched; ++i)
            touched = chosen.count(pairKey(loop[i], loop[(i + 1) % loop.size()])) > 0;
        if (!touched) continue;
        out.faceVertices.insert(out.faceVertices.end(), loop.begin(), loop.end());
        out.loopStart.push_back(uint32_t(out.faceVertices.size()));
        out.faceLoopStart.push_back(uint32_t(out.numLoops()));
        for (MeshUVSet& set : out.uvSets)
            if (!set.faceVertexUV.empty()) set.faceVertexUV.insert(set.faceVertexUV.end(), loop.size(), -1);
        for (MeshColorSet& set : out.colorSets)
            if (!set.faceVertexColor.empty()) set.faceVertexColor.insert(set.faceVertexColor.end(), loop.size(), -1);
        if (!out.faceVertexNormals.empty())
            out.faceVertexNormals.insert(out.faceVertexNormals.end(), 3 * loop.size(), 1e20f);
    }
    return out;
}

}  // namespace mayahost
