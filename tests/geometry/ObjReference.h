#pragma once
// Compares triangles with Maya's own OBJ export of the same mesh: the same
// corners (position, uv, normal) within a tolerance, and the same triangles
// with the same winding, whatever the order of either.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace objref {

using Corner = std::array<float, 8>;  // position, uv, normal

struct ObjMesh {
    std::vector<Corner> corners;                   // distinct corner values
    std::vector<std::array<size_t, 3>> triangles;  // into corners
};

// Triangulated "v/vt/vn" faces only, as the export writes them.
inline ObjMesh readObj(const std::string& text) {
    std::vector<std::array<float, 3>> v, vn;
    std::vector<std::array<float, 2>> vt;
    std::map<Corner, size_t> ids;
    ObjMesh out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::istringstream l(line);
        std::string tag;
        l >> tag;
        if (tag == "v") v.emplace_back(), l >> v.back()[0] >> v.back()[1] >> v.back()[2];
        else if (tag == "vn") vn.emplace_back(), l >> vn.back()[0] >> vn.back()[1] >> vn.back()[2];
        else if (tag == "vt") vt.emplace_back(), l >> vt.back()[0] >> vt.back()[1];
        else if (tag == "f") {
            std::array<size_t, 3> tri{};
            for (size_t& corner : tri) {
                std::string ref;
                l >> ref;
                const auto& p = v.at(std::stoul(ref) - 1);
                const auto& t = vt.at(std::stoul(ref.substr(ref.find('/') + 1)) - 1);
                const auto& n = vn.at(std::stoul(ref.substr(ref.rfind('/') + 1)) - 1);
                corner = ids.emplace(Corner{p[0], p[1], p[2], t[0], t[1], n[0], n[1], n[2]}, ids.size()).first->second;
            }
            out.triangles.push_back(tri);
        }
    }
    out.corners.resize(ids.size());
    for (auto& [corner, id] : ids) out.corners[id] = corner;
    return out;
}

inline std::array<size_t, 3> canonical(std::array<size_t, 3> t) {
    while (t[0] > t[1] || t[0] > t[2]) t = {t[1], t[2], t[0]};
    return t;
}

// Per-vertex arrays (positions 3, uvs 2, normals 3 per vertex) and index
// triples against the export. Empty when they match, else what differs.
template <class Index>
std::string compareWithExport(const std::vector<float>& positions, const std::vector<float>& uvs,
                              const std::vector<float>& normals, const std::vector<Index>& triangles,
                              const ObjMesh& obj, float tol) {
    const size_t vertices = positions.size() / 3;
    if (uvs.size() != 2 * vertices || normals.size() != 3 * vertices) return "uvs or normals are not one per vertex";
    if (triangles.size() != 3 * obj.triangles.size())
        return std::to_string(triangles.size() / 3) + " triangles, the export has " + std::to_string(obj.triangles.size());
    // The export's corners by x, so that each vertex only looks at those within `tol` of its x.
    std::vector<size_t> byX(obj.corners.size());
    for (size_t i = 0; i < byX.size(); ++i) byX[i] = i;
    std::sort(byX.begin(), byX.end(), [&](size_t a, size_t b) { return obj.corners[a][0] < obj.corners[b][0]; });
    std::vector<size_t> match(vertices);
    std::vector<bool> used(obj.corners.size(), false);
    for (size_t v = 0; v < vertices; ++v) {
        const Corner c = {positions[3 * v], positions[3 * v + 1], positions[3 * v + 2], uvs[2 * v], uvs[2 * v + 1],
                          normals[3 * v],   normals[3 * v + 1],   normals[3 * v + 2]};
        auto it = std::lower_bound(byX.begin(), byX.end(), c[0] - tol,
                                   [&](size_t i, float x) { return obj.corners[i][0] < x; });
        float bestError = tol + 1;
        for (; it != byX.end() && obj.corners[*it][0] <= c[0] + tol; ++it) {
            float worst = 0;
            for (size_t k = 0; k < 8; ++k) worst = std::max(worst, std::fabs(obj.corners[*it][k] - c[k]));
            if (worst <= tol && worst < bestError) bestError = worst, match[v] = *it;
        }
        if (bestError > tol) return "vertex " + std::to_string(v) + " is not in the export";
        used[match[v]] = true;
    }
    if (std::count(used.begin(), used.end(), false) != 0) return "export corners missing from the triangles";
    std::vector<std::array<size_t, 3>> ours, theirs;
    for (size_t t = 0; 3 * t + 2 < triangles.size(); ++t) {
        std::array<size_t, 3> tri{};
        for (size_t k = 0; k < 3; ++k) {
            if (size_t(triangles[3 * t + k]) >= vertices) return "triangle " + std::to_string(t) + " out of range";
            tri[k] = match[size_t(triangles[3 * t + k])];
        }
        ours.push_back(canonical(tri));
    }
    for (const auto& t : obj.triangles) theirs.push_back(canonical(t));
    std::sort(ours.begin(), ours.end());
    std::sort(theirs.begin(), theirs.end());
    if (ours != theirs) return "same corners, but not the same triangles (or windings)";
    return "";
}

}  // namespace objref
