#pragma once
// The stored grid mesh of grid_mesh.h as a whole Maya Binary file, so that the
// two readers can be timed on the same scene.

#include <bit>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>

namespace gridmb {

inline void put32(std::string& out, uint32_t v) {
    const char b[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    out.append(b, 4);
}

inline void put64(std::string& out, uint64_t v) {
    put32(out, uint32_t(v >> 32));
    put32(out, uint32_t(v));
}

inline void putFloat(std::string& out, float v) { put32(out, std::bit_cast<uint32_t>(v)); }
inline void putDouble(std::string& out, double v) { put64(out, std::bit_cast<uint64_t>(v)); }

// With the NUL the reader looks for.
inline void putName(std::string& out, std::string_view s) {
    out.append(s);
    out.push_back('\0');
}

// A 64-bit chunk; `body` holds the group's children from its first one on,
// which is where the padding to 8 bytes is counted from.
inline void chunk(std::string& body, std::string_view tag, std::string_view data) {
    body.append(tag);
    put32(body, 0);
    put64(body, data.size());
    body.append(data);
    body.append((8 - body.size() % 8) % 8, '\0');
}

// Groups themselves are never padded.
inline void group(std::string& body, std::string_view tag, std::string_view formType, std::string_view children) {
    body.append(tag);
    put32(body, 0);
    put64(body, children.size() + 4);
    body.append(formType);
    body.append(children);
}

// A 2017 node carries a uid after its names; only its being distinct matters here.
inline std::string creation(uint8_t flags, std::string_view name, std::string_view parent, uint8_t uidSeed) {
    std::string data(1, char(flags));
    putName(data, name);
    if (!parent.empty()) putName(data, parent);
    for (int i = 0; i < 16; ++i) data.push_back(char(uidSeed * 16 + i));
    return data;
}

inline std::string attribute(std::string_view name) {
    std::string data;
    putName(data, name);
    data.push_back(char(0x20));
    return data;
}

}  // namespace gridmb

// One stored mesh of side x side quads, the scene writeGridMesh(out, 0, side,
// rng) writes plus its shading connection: same vertex, edge, face and uv
// numbering, the same jitter draws, all edges soft.
inline std::string gridMeshMbScene(int side, std::mt19937& rng) {
    using namespace gridmb;
    std::uniform_real_distribution<double> jitter(-0.01, 0.01);
    const uint32_t n = uint32_t(side);
    const uint32_t row = n + 1;
    const uint32_t verts = row * row;
    const uint32_t hEdges = n * row;
    const uint32_t edges = 2 * hEdges;
    const uint32_t faces = n * n;
    const uint32_t corners = 4 * faces;
    constexpr uint32_t kReversed = 0x80000000u, kLastCorner = 0x60000000u;

    std::string mesh = attribute("ci");
    mesh.reserve(mesh.size() + 4 * (3 * verts + 2 * edges + corners + 2 * verts + corners) + 64);
    put32(mesh, 3 * verts);
    for (uint32_t v = 0; v < verts; ++v) {
        const double x = v % row + jitter(rng), y = jitter(rng), z = v / row + jitter(rng);
        for (const double c : {x, y, z}) putFloat(mesh, float(c));
    }
    put32(mesh, 2 * edges);
    for (uint32_t e = 0; e < edges; ++e) {
        const uint32_t a = e < hEdges ? (e / n) * row + e % n : e - hEdges;
        put32(mesh, a);  // the hard-edge bit stays clear
        put32(mesh, e < hEdges ? a + 1 : a + row);
    }
    put32(mesh, corners);
    for (uint32_t f = 0; f < faces; ++f) {
        const uint32_t r = f / n, col = f % n;
        const uint32_t left = hEdges + r * row + col;
        put32(mesh, r * n + col);
        put32(mesh, left + 1);
        put32(mesh, ((r + 1) * n + col) | kReversed);
        put32(mesh, left | kReversed | kLastCorner);
    }
    put32(mesh, 0);  // no float block
    put32(mesh, 1);  // one uv set
    put32(mesh, 0);
    putName(mesh, "map1");
    put32(mesh, 2 * verts);
    for (uint32_t v = 0; v < verts; ++v) {
        putFloat(mesh, float(double(v % row) / n));
        putFloat(mesh, float(double(v / row) / n));
    }
    put32(mesh, corners);
    for (uint32_t f = 0; f < faces; ++f) {
        const uint32_t v0 = (f / n) * row + f % n;
        put32(mesh, v0);
        put32(mesh, v0 + 1);
        put32(mesh, v0 + row + 1);
        put32(mesh, v0 + row);
    }
    put32(mesh, 0);
    put32(mesh, 0);

    std::string head;
    chunk(head, "VERS", std::string_view("2017", 5));
    chunk(head, "LUNI", std::string_view("cm", 3));
    chunk(head, "AUNI", std::string_view("deg", 4));
    chunk(head, "TUNI", std::string_view("film", 5));

    std::string xform;
    chunk(xform, "CREA", creation(0x00, "mesh0", {}, 1));
    std::string translate = attribute("t");
    putDouble(translate, 0.0);
    putDouble(translate, 0.0);
    putDouble(translate, -0.0);
    chunk(xform, "DBL3", translate);

    std::string shape;
    chunk(shape, "CREA", creation(0x04, "meshShape0", "mesh0", 2));
    std::string uvName = attribute("uvst[0].uvsn");
    putName(uvName, "map1");
    chunk(shape, "STR ", uvName);
    chunk(shape, "MESH", mesh);
    mesh = std::string();

    std::string connection;
    std::string plugs(1, char(0x01));  // next available
    putName(plugs, "meshShape0.iog");
    putName(plugs, ":initialShadingGroup.dsm");
    chunk(connection, "CWFL", plugs);
    std::string connections;
    group(connections, "FOR8", "CONN", connection);

    std::string scene;
    scene.reserve(head.size() + xform.size() + shape.size() + connections.size() + 128);
    group(scene, "FOR8", "HEAD", head);
    group(scene, "FOR8", "XFRM", xform);
    group(scene, "FOR8", "DMSH", shape);
    group(scene, "LIS8", "CONS", connections);
    std::string file;
    group(file, "FOR8", "Maya", scene);
    return file;
}
