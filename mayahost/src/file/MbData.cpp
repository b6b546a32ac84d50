// Whole-data blocks of Maya Binary files. The layouts were read off the meshes
// and curves of files Maya 8.5 wrote and checked against their geometry (hard
// edges fall where neighbouring faces meet at sharp angles; every face closes).
#include "file/MbData.h"

#include "base/Limits.h"

#include <algorithm>
#include <bit>
#include <cstdint>

namespace mayahost::scenefile {

namespace {

// Big-endian fields in order; every read says whether the bytes were there.
class Fields {
public:
    explicit Fields(std::string_view bytes) : b_(bytes) {}

    size_t left() const { return b_.size() - p_; }
    std::string_view rest() const { return b_.substr(p_); }

    bool u32(uint32_t& v) {
        if (left() < 4) return false;
        const auto* u = reinterpret_cast<const unsigned char*>(b_.data() + p_);
        v = uint32_t(u[0]) << 24 | uint32_t(u[1]) << 16 | uint32_t(u[2]) << 8 | uint32_t(u[3]);
        p_ += 4;
        return true;
    }
    bool byte(uint8_t& v) {
        if (left() < 1) return false;
        v = uint8_t(b_[p_++]);
        return true;
    }
    bool f64(double& v) {
        uint32_t hi, lo;
        if (left() < 8 || !u32(hi) || !u32(lo)) return false;
        v = std::bit_cast<double>(uint64_t(hi) << 32 | lo);
        return true;
    }
    bool cstr(std::string& s) {
        const size_t z = b_.find('\0', p_);
        if (z == std::string_view::npos) return false;
        s.assign(b_.substr(p_, z - p_));
        p_ = z + 1;
        return true;
    }
    // A count of `width`-byte items that must fit in what is left.
    bool count(uint32_t& n, size_t width) { return u32(n) && uint64_t(n) * width <= left(); }

    // `n` BE floats appended as doubles.
    void floats(uint32_t n, std::vector<double>& out) {
        out.reserve(out.size() + n);
        for (uint32_t i = 0, v = 0; i < n; ++i) {
            u32(v);
            out.push_back(double(std::bit_cast<float>(v)));
        }
    }
    bool doubles(uint32_t n, std::vector<double>& out) {
        out.reserve(out.size() + n);
        double d;
        for (uint32_t i = 0; i < n; ++i) {
            if (!f64(d)) return false;
            out.push_back(d);
        }
        return true;
    }

private:
    std::string_view b_;
    size_t p_ = 0;
};

constexpr uint32_t kHard = 0x80000000u;      // on an edge's first vertex
constexpr uint32_t kReversed = 0x80000000u;  // on a face corner's edge
constexpr uint32_t kLoopEnd = 0x60000000u;   // both bits: the face's last corner
constexpr uint32_t kIdBits = 0x1FFFFFFFu;
constexpr uint32_t kNoUv = 0xFFFFFFFFu;

bool fail(std::string& why, const char* text) {
    why = text;
    return false;
}

}  // namespace

// floats: 3 per vertex; edge ints: 2 per edge; corners: one edge per face
// corner; a float block (with an int list when not empty); uv sets (0, name, floats, one id per corner); then
// what follows (zeros in every mesh met so far).
bool decodeMbMesh(std::string_view bytes, MbMesh& out, std::string& why) {
    Fields f(bytes);
    out = MbMesh{};
    uint32_t n;
    if (!f.count(n, 4) || n % 3) return fail(why, "vertex count does not fit the block");
    f.floats(n, out.vertices);

    if (!f.count(n, 4) || n % 2) return fail(why, "edge count does not fit the block");
    out.edges.reserve(size_t(n) / 2 * 3);
    for (uint32_t i = 0, a = 0, b = 0; i < n; i += 2) {
        f.u32(a);
        f.u32(b);
        out.edges.insert(out.edges.end(), {double(a & ~kHard), double(b), (a & kHard) ? 0.0 : 1.0});
    }

    uint32_t corners;
    if (!f.count(corners, 4)) return fail(why, "face corner count does not fit the block");
    PolyFaces& faces = out.faces;
    faces.edges.reserve(corners);
    faces.loopStart.push_back(0);
    faces.faceLoopStart.push_back(0);
    for (uint32_t i = 0, c = 0; i < corners; ++i) {
        f.u32(c);
        const int32_t e = int32_t(c & kIdBits);
        faces.edges.push_back(c & kReversed ? -(e + 1) : e);
        const uint32_t end = c & kLoopEnd;
        if (!end) continue;
        // One bit alone ends a loop that a hole follows.
        faces.loopStart.push_back(uint32_t(faces.edges.size()));
        if (end == kLoopEnd) faces.faceLoopStart.push_back(uint32_t(faces.loopCount()));
    }
    if (faces.loopStart.back() != faces.edges.size() || faces.faceLoopStart.back() != faces.loopCount())
        return fail(why, "the last face is not closed");

    // A non-empty float block is followed by a list of ints (empty in every
    // mesh met); an empty one is not.
    if (!f.count(n, 4)) return fail(why, "float block after the faces does not fit");
    out.skippedTriples = n / 3;
    for (int block = 0; block < 2 && n; ++block) {
        for (uint32_t i = 0, skip = 0; i < n; ++i) f.u32(skip);
        if (block == 0 && !f.count(n, 4)) return fail(why, "int list after the float block does not fit");
    }

    // the smallest set: its leading zero, an empty name, no points, no ids
    if (!f.count(n, 13)) return fail(why, "uv set count does not fit the block");
    for (uint32_t s = 0; s < n; ++s) {
        MbUvSet& set = out.uvSets.emplace_back();
        uint32_t lead, points, ids;
        if (!f.u32(lead) || !f.cstr(set.name) || !f.count(points, 4) || points % 2)
            return fail(why, "uv set header does not fit the block");
        f.floats(points, set.points);
        if (!f.count(ids, 4) || (ids != 0 && ids != corners))
            return fail(why, "uv ids are not one per face corner");
        if (ids == 0) continue;
        const size_t first = faces.uvIds.size();
        faces.uvIds.reserve(first + ids);
        for (uint32_t i = 0, id = 0; i < ids; ++i) {
            f.u32(id);
            faces.uvIds.push_back(int32_t(id));
        }
        // A loop with an unmapped corner has no uvs in this set, as in a .ma.
        for (size_t loop = 0; loop < faces.loopCount(); ++loop) {
            const uint32_t a = faces.loopStart[loop], b = faces.loopStart[loop + 1];
            const auto begin = faces.uvIds.begin() + ptrdiff_t(first + a);
            if (std::find(begin, begin + (b - a), int32_t(kNoUv)) == begin + (b - a))
                faces.uvLoops.push_back({uint32_t(loop), int32_t(s), uint32_t(first + a), b - a});
        }
    }
    const std::string_view tail = f.rest();
    out.trailingBytes = std::all_of(tail.begin(), tail.end(), [](char c) { return c == 0; }) ? 0 : tail.size();
    return true;
}

// degree, spans, form (4 bytes each), rational (1 byte), dimension, knot
// count and knots, cv count and cvs: the fields of a .ma nurbsCurve in order.
bool decodeMbCurve(std::string_view bytes, NurbsCurveData& out, std::string& why) {
    Fields f(bytes);
    out = NurbsCurveData{};
    uint32_t degree, spans, form, dimension, knots, cvs;
    uint8_t rational;
    if (!f.u32(degree) || !f.u32(spans) || !f.u32(form) || !f.byte(rational) || !f.u32(dimension))
        return fail(why, "curve header cut short");
    if (degree < 1 || degree > uint32_t(limits().maxNurbsDegree) || form > 2 || rational > 1 ||
        (dimension != 2 && dimension != 3))
        return fail(why, "curve header out of range");
    out.degree = int(degree);
    out.spans = int(std::min<uint32_t>(spans, INT32_MAX));
    out.form = int(form);
    out.rational = rational;
    out.dimension = int(dimension);
    if (!f.count(knots, 8) || !f.doubles(knots, out.knots)) return fail(why, "knots do not fit the block");
    const size_t stride = size_t(out.cvStride()) * 8;
    if (!f.count(cvs, stride) || !f.doubles(uint32_t(cvs * (stride / 8)), out.cvs))
        return fail(why, "cvs do not fit the block");
    if (f.left()) return fail(why, "bytes left after the cvs");
    return true;
}

// As the curve: u and v degree and form, rational, u knots, v knots, cvs.
// No surface data was met in a file yet: the block is taken only when these
// fields account for it exactly (with or without one trim byte before the cvs).
bool decodeMbSurface(std::string_view bytes, NurbsSurfaceData& out, std::string& why) {
    Fields f(bytes);
    out = NurbsSurfaceData{};
    uint32_t head[4], cvs;
    uint8_t rational;
    for (uint32_t& h : head)
        if (!f.u32(h)) return fail(why, "surface header cut short");
    if (!f.byte(rational)) return fail(why, "surface header cut short");
    const auto maxDegree = uint32_t(limits().maxNurbsDegree);
    if (head[0] < 1 || head[1] < 1 || head[0] > maxDegree || head[1] > maxDegree || head[2] > 2 || head[3] > 2 ||
        rational > 1)
        return fail(why, "surface header out of range");
    out.uDegree = int(head[0]);
    out.vDegree = int(head[1]);
    out.uForm = int(head[2]);
    out.vForm = int(head[3]);
    out.rational = rational;
    uint32_t n;
    if (!f.count(n, 8) || !f.doubles(n, out.uKnots) || !f.count(n, 8) || !f.doubles(n, out.vKnots))
        return fail(why, "knots do not fit the block");
    const size_t stride = size_t(out.cvStride()) * 8;
    if (f.left() % stride == 5) {   // a trim flag byte before the cv count
        uint8_t trim = 0;
        f.byte(trim);
        out.trimmed = trim != 0;
    }
    if (!f.count(cvs, stride) || !f.doubles(uint32_t(cvs * (stride / 8)), out.cvs))
        return fail(why, "cvs do not fit the block");
    if (f.left()) return fail(why, "bytes left after the cvs");
    return true;
}

}  // namespace mayahost::scenefile
