#include "mesh/MeshModifiers.h"
#include "common/platform/StableMath.h"

#include "mesh/MeshValidate.h"
#include "mesh/MeshModUtil.h"
#include "mesh/VertexEdges.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

namespace mayahost {
namespace meshmod {

void addWarning(std::string* warning, const std::string& text) {
    if (!warning) return;
    if (!warning->empty()) *warning += "; ";
    *warning += text;
}

bool usableMesh(const MeshData& mesh, const char* node, std::string* warning) {
    std::string error = meshDataError(mesh);
    if (error.empty()) return true;
    addWarning(warning, std::string(node) + ": input mesh passed through, it is inconsistent: " + error);
    return false;
}

namespace {

std::vector<int32_t> allIds(size_t n) {
    std::vector<int32_t> ids(n);
    for (size_t i = 0; i < n; ++i) ids[i] = int32_t(i);
    return ids;
}

bool parseSelection(const MeshData& mesh, const std::vector<std::string>& items, const char* node,
                    std::string* warning, ComponentSelection& out) {
    std::string error = parseComponentList(items, componentLimits(mesh), out);
    if (error.empty()) return true;
    addWarning(warning, std::string(node) + ": component list ignored: " + error);
    return false;
}

}  // namespace

std::vector<int32_t> selectedFaces(const MeshData& mesh, const std::optional<std::vector<std::string>>& items,
                                   const char* node, std::string* warning) {
    if (!items) return allIds(mesh.numFaces());
    ComponentSelection sel;
    if (!parseSelection(mesh, *items, node, warning, sel)) return {};
    return sel.faces;
}

std::vector<int32_t> selectedEdges(const MeshData& mesh, const std::optional<std::vector<std::string>>& items,
                                   const char* node, std::string* warning) {
    if (!items) return allIds(mesh.numEdges());
    ComponentSelection sel;
    if (!parseSelection(mesh, *items, node, warning, sel)) return {};
    if (sel.faces.empty()) return sel.edges;
    // A face selects the edges around it: find them by their vertex pairs.
    std::vector<std::pair<uint64_t, int32_t>> byPair;
    byPair.reserve(mesh.numEdges());
    for (size_t e = 0; e < mesh.numEdges(); ++e)
        byPair.emplace_back(pairKey(mesh.edges[2 * e], mesh.edges[2 * e + 1]), int32_t(e));
    std::sort(byPair.begin(), byPair.end());
    std::vector<int32_t> edges = sel.edges;
    for (int32_t f : sel.faces) {
        for (uint32_t l = mesh.faceLoopStart[f]; l < mesh.faceLoopStart[f + 1]; ++l) {
            uint32_t b = mesh.loopStart[l], e = mesh.loopStart[l + 1];
            for (uint32_t c = b; c < e; ++c) {
                uint64_t k = pairKey(mesh.faceVertices[c], mesh.faceVertices[c + 1 == e ? b : c + 1]);
                auto it = std::lower_bound(byPair.begin(), byPair.end(), std::make_pair(k, int32_t(-1)));
                for (; it != byPair.end() && it->first == k; ++it) edges.push_back(it->second);
            }
        }
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    return edges;
}

void reverseFace(MeshData& mesh, size_t face) {
    auto reverseRange = [](auto& values, size_t stride, uint32_t b, uint32_t e) {
        // Corners b+1 .. e-1 reversed, the first stays: (a b c d) -> (a d c b).
        for (uint32_t i = b + 1, j = e - 1; i < j; ++i, --j)
            for (size_t k = 0; k < stride; ++k) std::swap(values[stride * i + k], values[stride * j + k]);
    };
    for (uint32_t l = mesh.faceLoopStart[face]; l < mesh.faceLoopStart[face + 1]; ++l) {
        uint32_t b = mesh.loopStart[l], e = mesh.loopStart[l + 1];
        if (e - b < 2) continue;
        reverseRange(mesh.faceVertices, 1, b, e);
        for (MeshUVSet& set : mesh.uvSets)
            if (set.faceVertexUV.size() == mesh.faceVertices.size()) reverseRange(set.faceVertexUV, 1, b, e);
        for (MeshColorSet& set : mesh.colorSets)
            if (set.faceVertexColor.size() == mesh.faceVertices.size()) reverseRange(set.faceVertexColor, 1, b, e);
        if (mesh.faceVertexNormals.size() == 3 * mesh.faceVertices.size()) reverseRange(mesh.faceVertexNormals, 3, b, e);
    }
}

// Which edges some face walks (every copy of a doubled edge), found among
// each vertex's edges: this runs after every topology edit.
static std::vector<uint8_t> walkedEdges(const MeshData& mesh) {
    const VertexEdges at(mesh);
    std::vector<uint8_t> walked(mesh.numEdges(), 0);
    for (size_t l = 0; l < mesh.numLoops(); ++l)
        for (uint32_t c = mesh.loopStart[l], e = mesh.loopStart[l + 1]; c < e; ++c) {
            const int32_t a = mesh.faceVertices[c], b = mesh.faceVertices[c + 1 < e ? c + 1 : mesh.loopStart[l]];
            for (uint32_t i = at.offset[size_t(a)]; i < at.offset[size_t(a) + 1]; ++i) {
                const uint32_t edge = at.edge[i];
                const int32_t other = mesh.edges[2 * edge] == a ? mesh.edges[2 * edge + 1] : mesh.edges[2 * edge];
                if (other == b) walked[edge] = 1;
            }
        }
    return walked;
}

void dropUnusedVerticesAndEdges(MeshData& mesh) {
    std::vector<int32_t> ids(mesh.numVertices(), -1);
    for (int32_t v : mesh.faceVertices) ids[size_t(v)] = 0;
    const std::vector<uint8_t> walked = walkedEdges(mesh);
    int32_t count = 0;
    for (int32_t& id : ids)
        if (id == 0) id = count++;
    const bool allVertices = size_t(count) == mesh.numVertices();
    if (allVertices && std::find(walked.begin(), walked.end(), 0) == walked.end()) return;
    std::vector<float> points;
    points.reserve(3 * size_t(count));
    for (size_t v = 0; v < ids.size(); ++v)
        if (ids[v] >= 0) points.insert(points.end(), mesh.points.begin() + long(3 * v), mesh.points.begin() + long(3 * v + 3));
    mesh.points = std::move(points);
    for (int32_t& v : mesh.faceVertices) v = ids[size_t(v)];
    const bool smoothing = mesh.edgeSmooth.size() == mesh.numEdges();
    size_t kept = 0;
    for (size_t e = 0; e < mesh.numEdges(); ++e) {
        if (!walked[e]) continue;
        const int32_t a = mesh.edges[2 * e], b = mesh.edges[2 * e + 1];
        mesh.edges[2 * kept] = ids[size_t(a)];
        mesh.edges[2 * kept + 1] = ids[size_t(b)];
        if (smoothing) mesh.edgeSmooth[kept] = mesh.edgeSmooth[e];
        ++kept;
    }
    mesh.edges.resize(2 * kept);
    if (smoothing) mesh.edgeSmooth.resize(kept);
}

bool isFiniteMatrix(const MMatrix& m) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (!std::isfinite(m.matrix[r][c])) return false;
    return true;
}

void dropUnusedMaps(MeshData& m) {
    auto compact = [](std::vector<int32_t>& ids, size_t count, auto&& keep) {
        std::vector<int32_t> newId(count, -1);
        for (int32_t id : ids)
            if (id >= 0) newId[size_t(id)] = 0;
        int32_t next = 0;
        for (int32_t& id : newId)
            if (id == 0) id = next++;
        for (int32_t& id : ids)
            if (id >= 0) id = newId[size_t(id)];
        keep(newId);
    };
    for (MeshUVSet& set : m.uvSets)
        compact(set.faceVertexUV, set.u.size(), [&](const std::vector<int32_t>& newId) {
            std::vector<float> u, v;
            for (size_t i = 0; i < newId.size(); ++i)
                if (newId[i] >= 0) u.push_back(set.u[i]), v.push_back(set.v[i]);
            set.u = std::move(u), set.v = std::move(v);
        });
    for (MeshColorSet& set : m.colorSets)
        compact(set.faceVertexColor, set.rgba.size() / 4, [&](const std::vector<int32_t>& newId) {
            std::vector<float> rgba;
            for (size_t i = 0; i < newId.size(); ++i)
                if (newId[i] >= 0) rgba.insert(rgba.end(), set.rgba.begin() + long(4 * i), set.rgba.begin() + long(4 * i + 4));
            set.rgba = std::move(rgba);
        });
}

MMatrix rotationXYZ(const std::array<double, 3>& r) {
    const double cx = stablemath::cos(r[0]), sx = stablemath::sin(r[0]), cy = stablemath::cos(r[1]), sy = stablemath::sin(r[1]),
                 cz = stablemath::cos(r[2]), sz = stablemath::sin(r[2]);
    MMatrix x, y, z;
    x(1, 1) = cx, x(1, 2) = sx, x(2, 1) = -sx, x(2, 2) = cx;
    y(0, 0) = cy, y(0, 2) = -sy, y(2, 0) = sy, y(2, 2) = cy;
    z(0, 0) = cz, z(0, 1) = sz, z(1, 0) = -sz, z(1, 1) = cz;
    return x * y * z;
}

std::vector<uint8_t> memberMask(const std::optional<std::vector<int32_t>>& members, size_t vertexCount,
                                const char* node, std::string* warning) {
    if (!members) return std::vector<uint8_t>(vertexCount, 1);
    std::vector<uint8_t> mask(vertexCount, 0);
    size_t outside = 0;
    for (int32_t v : *members) {
        if (v < 0 || size_t(v) >= vertexCount) ++outside;
        else mask[size_t(v)] = 1;
    }
    if (outside)
        addWarning(warning, std::string(node) + ": " + std::to_string(outside) + " set members beyond the mesh's " +
                                std::to_string(vertexCount) + " vertices were ignored");
    return mask;
}

}  // namespace meshmod

// --- Component lists ------------------------------------------------------

ComponentLimits componentLimits(const MeshData& mesh, int uvSet) {
    ComponentLimits limits;
    limits.vertices = mesh.numVertices();
    limits.edges = mesh.numEdges();
    limits.faces = mesh.numFaces();
    int set = uvSet < 0 ? mesh.currentUVSet : uvSet;
    if (set >= 0 && size_t(set) < mesh.uvSets.size()) limits.uvs = mesh.uvSets[set].u.size();
    return limits;
}

namespace {

bool parseIndex(std::string_view text, uint64_t& value) {
    if (text.empty()) return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

// The parts of one item such as "f[0:3]": its kind and inclusive range
// (`all` for "*"). Error text when it is not of that form.
struct ItemRange {
    std::string_view name;
    uint64_t first = 0, last = 0;
    bool all = false;
};

std::string splitItem(const std::string& item, ItemRange& out) {
    std::string_view text(item);
    size_t open = text.find('[');
    if (open == std::string_view::npos || open == 0 || text.back() != ']' || open + 2 > text.size())
        return "component \"" + item + "\" is not of the form name[range]";
    out.name = text.substr(0, open);
    std::string_view range = text.substr(open + 1, text.size() - open - 2);
    if (range.find('[') != std::string_view::npos || range.find(']') != std::string_view::npos)
        return "component \"" + item + "\" has more than one index (not supported)";
    if (range == "*") {
        out.all = true;
        return {};
    }
    size_t colon = range.find(':');
    bool ok = colon == std::string_view::npos
                  ? parseIndex(range, out.first) && (out.last = out.first, true)
                  : parseIndex(range.substr(0, colon), out.first) && parseIndex(range.substr(colon + 1), out.last);
    if (!ok) return "component \"" + item + "\" has a malformed index range";
    if (out.first > out.last) return "component \"" + item + "\" has a range that runs backwards";
    return {};
}

// One item; appends its ids to the matching list of `out`.
std::string parseItem(const std::string& item, const ComponentLimits& limits, ComponentSelection& out) {
    ItemRange r;
    std::string error = splitItem(item, r);
    if (!error.empty()) return error;
    std::vector<int32_t>* list = nullptr;
    size_t limit = 0;
    if (r.name == "vtx") list = &out.vertices, limit = limits.vertices;
    else if (r.name == "e") list = &out.edges, limit = limits.edges;
    else if (r.name == "f") list = &out.faces, limit = limits.faces;
    else if (r.name == "map") list = &out.uvs, limit = limits.uvs;
    else return "component \"" + item + "\" is of an unknown kind \"" + std::string(r.name) + "\"";
    if (r.all) {
        if (limit == 0) return {};
        r.first = 0;
        r.last = limit - 1;
    } else if (r.last >= limit) {
        return "component \"" + item + "\" is beyond the mesh (" + std::to_string(limit) + " " +
               std::string(r.name) + " ids)";
    }
    for (uint64_t i = r.first; i <= r.last; ++i) list->push_back(int32_t(i));
    return {};
}

void sortUnique(std::vector<int32_t>& ids) {
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
}

}  // namespace

std::string parseComponentList(const std::vector<std::string>& items, const ComponentLimits& limits,
                               ComponentSelection& out) {
    out = {};
    for (const std::string& item : items) {
        std::string error = parseItem(item, limits, out);
        if (!error.empty()) {
            out = {};
            return error;
        }
    }
    sortUnique(out.vertices);
    sortUnique(out.edges);
    sortUnique(out.faces);
    sortUnique(out.uvs);
    return {};
}

namespace meshmod {

std::string expandVertexItems(const std::vector<std::string>& items, size_t vertexCount, size_t maxIds,
                              std::vector<int64_t>& ids) {
    ids.clear();
    for (const std::string& item : items) {
        ItemRange r;
        std::string error = splitItem(item, r);
        if (!error.empty()) return error;
        if (r.name != "vtx") return "component \"" + item + "\" is not a vertex";
        if (r.all) {
            if (vertexCount == 0) continue;
            r.first = 0;
            r.last = vertexCount - 1;
        }
        if (r.last - r.first >= maxIds - std::min<uint64_t>(ids.size(), maxIds))
            return "components list more vertices than there are values (" + std::to_string(maxIds) + ")";
        for (uint64_t i = r.first; i <= r.last; ++i) ids.push_back(int64_t(i));
    }
    return {};
}

}  // namespace meshmod

// --- groupParts -------------------------------------------------------------

ComponentSelection groupPartsComponents(const MeshData& mesh, const GroupPartsParams& params, std::string* warning) {
    ComponentLimits limits = componentLimits(mesh);
    ComponentSelection kept, removed;
    std::string error = parseComponentList(params.inputComponents, limits, kept);
    if (error.empty()) error = parseComponentList(params.inputRemoveComponent, limits, removed);
    if (!error.empty()) {
        meshmod::addWarning(warning, "groupParts: component list ignored: " + error);
        return {};
    }
    auto subtract = [](std::vector<int32_t>& from, const std::vector<int32_t>& drop) {
        std::vector<int32_t> rest;
        std::set_difference(from.begin(), from.end(), drop.begin(), drop.end(), std::back_inserter(rest));
        from = std::move(rest);
    };
    subtract(kept.vertices, removed.vertices);
    subtract(kept.edges, removed.edges);
    subtract(kept.faces, removed.faces);
    subtract(kept.uvs, removed.uvs);
    return kept;
}

}  // namespace mayahost
