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
#include <unordered_map>
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
            for (size_t k = 0; k < 3; ++k) {
                std::string ref;
                l >> ref;
                size_t a = std::stoul(ref), b = std::stoul(ref.substr(ref.find('/') + 1)),
                       c = std::stoul(ref.substr(ref.rfind('/') + 1));
                Corner corner = {v.at(a - 1)[0], v.at(a - 1)[1], v.at(a - 1)[2], vt.at(b - 1)[0], vt.at(b - 1)[1],
                                 vn.at(c - 1)[0], vn.at(c - 1)[1], vn.at(c - 1)[2]};
                tri[k] = ids.emplace(corner, ids.size()).first->second;
            }
            out.triangles.push_back(tri);
        }
    }
    out.corners.resize(ids.size());
    for (auto& [corner, id] : ids) out.corners[id] = corner;
    return out;
}

// Finds the export's corner closest to a value set, within `tol` on every
// value, through a grid on the position.
class CornerIndex {
public:
    explicit CornerIndex(const std::vector<Corner>& corners) : corners_(corners) {
        for (size_t i = 0; i < corners.size(); ++i) cells_[cell(corners[i][0], corners[i][1], corners[i][2])].push_back(i);
    }
    int64_t find(const Corner& c, float tol) const {
        int64_t best = -1;
        float bestError = tol + 1;
        int64_t x = int64_t(std::floor(c[0] / kCell)), y = int64_t(std::floor(c[1] / kCell)), z = int64_t(std::floor(c[2] / kCell));
        for (int64_t dx = -1; dx <= 1; ++dx)
            for (int64_t dy = -1; dy <= 1; ++dy)
                for (int64_t dz = -1; dz <= 1; ++dz) {
                    auto it = cells_.find(key(x + dx, y + dy, z + dz));
                    if (it == cells_.end()) continue;
                    for (size_t i : it->second) {
                        float worst = 0;
                        for (size_t k = 0; k < 8; ++k) worst = std::max(worst, std::fabs(corners_[i][k] - c[k]));
                        if (worst <= tol && worst < bestError) bestError = worst, best = int64_t(i);
                    }
                }
        return best;
    }

private:
    static constexpr double kCell = 1e-3;
    static uint64_t key(int64_t x, int64_t y, int64_t z) {
        return (uint64_t(x) * 73856093u) ^ (uint64_t(y) * 19349663u) ^ (uint64_t(z) * 83492791u);
    }
    static uint64_t cell(float x, float y, float z) {
        return key(int64_t(std::floor(x / kCell)), int64_t(std::floor(y / kCell)), int64_t(std::floor(z / kCell)));
    }
    const std::vector<Corner>& corners_;
    std::unordered_map<uint64_t, std::vector<size_t>> cells_;
};

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
    if (uvs.size() != 2 * vertices || normals.size() != 3 * vertices)
        return "uvs or normals are not one per vertex";
    if (triangles.size() != 3 * obj.triangles.size())
        return std::to_string(triangles.size() / 3) + " triangles, the export has " +
               std::to_string(obj.triangles.size());
    CornerIndex index(obj.corners);
    std::vector<size_t> match(vertices);
    std::vector<bool> used(obj.corners.size(), false);
    for (size_t v = 0; v < vertices; ++v) {
        Corner c = {positions[3 * v], positions[3 * v + 1], positions[3 * v + 2], uvs[2 * v], uvs[2 * v + 1],
                    normals[3 * v], normals[3 * v + 1], normals[3 * v + 2]};
        int64_t found = index.find(c, tol);
        if (found < 0) return "vertex " + std::to_string(v) + " is not in the export";
        match[v] = size_t(found);
        used[size_t(found)] = true;
    }
    if (std::count(used.begin(), used.end(), false) != 0) return "export corners missing from the triangles";
    std::vector<std::array<size_t, 3>> ours, theirs;
    for (size_t t = 0; 3 * t + 2 < triangles.size(); ++t) {
        for (size_t k = 0; k < 3; ++k)
            if (size_t(triangles[3 * t + k]) >= vertices) return "triangle " + std::to_string(t) + " out of range";
        ours.push_back(canonical({match[size_t(triangles[3 * t])], match[size_t(triangles[3 * t + 1])],
                                  match[size_t(triangles[3 * t + 2])]}));
    }
    for (const auto& t : obj.triangles) theirs.push_back(canonical(t));
    std::sort(ours.begin(), ours.end());
    std::sort(theirs.begin(), theirs.end());
    if (ours != theirs) return "same corners, but not the same triangles (or windings)";
    return "";
}

}  // namespace objref
