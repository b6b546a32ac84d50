#include "nurbs/NurbsToMesh.h"
#include "base/EvalBudget.h"

#include "mesh/PolyBuilder.h"
#include "nurbs/NurbsEval.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace mayahost {
namespace {

// The parameters of the isoparms along one direction: `number` equal steps
// in every span (per span), or over the whole domain.
std::vector<double> isoparms(const std::vector<double>& knots, int degree, bool perSpan, int number) {
    const NurbsRange dom = knotDomain(knots, degree);
    const int steps = std::max(number, 1);
    std::vector<double> breaks{dom.start};
    if (perSpan)
        for (double k : knots)
            if (k > breaks.back() && k < dom.end) breaks.push_back(k);
    breaks.push_back(dom.end);
    std::vector<double> out;
    for (size_t s = 0; s + 1 < breaks.size(); ++s)
        for (int i = 0; i < steps; ++i) out.push_back(breaks[s] + (breaks[s + 1] - breaks[s]) * i / steps);
    out.push_back(dom.end);
    return out;
}

struct Corner {
    int i = 0, j = 0;  // isoparm indices, not wrapped
    bool operator==(const Corner&) const = default;
};
using Loop = std::array<Corner, 4>;

// The recursive halving: vertex order, face list and each face's loop.
class Halving {
public:
    Halving(int cellsU, int cellsV, bool wrapU, bool wrapV)
        : nu_(cellsU), nv_(cellsV), wrapU_(wrapU), wrapV_(wrapV), ids_(size_t(cellsU + 1) * size_t(cellsV + 1), -1) {}

    void run() {
        const Loop root{Corner{0, 0}, Corner{nu_, 0}, Corner{nu_, nv_}, Corner{0, nv_}};
        for (const Corner& c : root) vertex(c);
        faces_.emplace_back();
        split(0, root);
    }

    int32_t vertex(const Corner& c) {
        int32_t& id = ids_[key(c)];
        if (id < 0) {
            id = int32_t(created_.size());
            created_.push_back(c);
        }
        return id;
    }
    size_t key(const Corner& c) const {
        const int i = wrapU_ && c.i == nu_ ? 0 : c.i;
        const int j = wrapV_ && c.j == nv_ ? 0 : c.j;
        return size_t(i) * size_t(nv_ + 1) + size_t(j);
    }
    const std::vector<Corner>& created() const { return created_; }
    const std::vector<Loop>& faces() const { return faces_; }

private:
    void split(size_t k, const Loop& c) {
        int lo[2] = {c[0].i, c[0].j}, hi[2] = {c[0].i, c[0].j};
        for (const Corner& p : c) {
            lo[0] = std::min(lo[0], p.i), hi[0] = std::max(hi[0], p.i);
            lo[1] = std::min(lo[1], p.j), hi[1] = std::max(hi[1], p.j);
        }
        const int w = hi[0] - lo[0], h = hi[1] - lo[1];
        if (w <= 1 && h <= 1) {
            faces_[k] = c;
            return;
        }
        const int d = w > 1 && (h <= 1 || w > h) ? 0 : 1;  // 0: cut across u
        const int cut = lo[d] + (d == 0 ? w : h) / 2;
        auto along = [d](const Corner& p) { return d == 0 ? p.i : p.j; };
        const size_t e = along(c[0]) != along(c[1]) ? 0 : 1;
        auto at = [&](Corner p) {
            (d == 0 ? p.i : p.j) = cut;
            return p;
        };
        const Corner a = at(c[e]), b = at(c[e + 2]);
        vertex(a);
        vertex(b);
        const Loop first = e == 0 ? Loop{c[0], a, b, c[3]} : Loop{c[0], c[1], a, b};
        const Loop second = e == 0 ? Loop{a, c[1], c[2], b} : Loop{a, c[2], c[3], b};
        const bool firstLow = std::min({along(first[0]), along(first[1]), along(first[2]), along(first[3])}) < cut;
        const size_t appended = faces_.size();
        faces_.emplace_back();
        split(appended, firstLow ? first : second);
        split(k, firstLow ? second : first);
    }

    int nu_, nv_;
    bool wrapU_, wrapV_;
    std::vector<int32_t> ids_;
    std::vector<Corner> created_;
    std::vector<Loop> faces_;
};

bool wraps(NurbsForm form) { return form != NurbsForm::Open; }

// One grid line per distinct control point at its Greville parameter (the
// mean of the degree knots it spans); a closed or periodic direction ends on
// its first point again, one domain further.
std::vector<double> grevilles(const std::vector<double>& knots, int degree, size_t count, NurbsForm form) {
    const size_t distinct = form == NurbsForm::Periodic ? count - size_t(degree) : form == NurbsForm::Closed ? count - 1 : count;
    std::vector<double> out;
    for (size_t i = 0; i < distinct; ++i) {
        double sum = 0;
        for (int k = 0; k < degree; ++k) sum += knots[i + size_t(k)];
        out.push_back(sum / degree);
    }
    if (form != NurbsForm::Open) out.push_back(out.front() + knotDomain(knots, degree).length());
    return out;
}

}  // namespace

std::string nurbsTessellateMesh(const NurbsSurface& s, const NurbsTessellateParams& p, MeshData& out,
                                std::string* approximate) {
    if (std::string why = nurbsSurfaceProblem(s); !why.empty()) return "its input is no valid surface (" + why + ")";
    const bool controlPoints = p.format == 3;
    bool perSpanU = p.uType != 1 && p.uType != 2, perSpanV = p.vType != 1 && p.vType != 2;
    int numberU = p.uNumber, numberV = p.vNumber;
    std::string note;
    if (p.format == 0 || p.format == 1) {
        // Only the general format's rule is known: these take its defaults.
        perSpanU = perSpanV = true;
        numberU = numberV = 3;
        note = "format " + std::to_string(p.format) + " is approximated by 3 steps per span";
    } else if (!controlPoints && (p.uType == 1 || p.vType == 1 || p.uType == 4 || p.vType == 4)) {
        note = "isoparms spaced in 3D or by screen size are approximated by equal parameter steps";
    } else if (!controlPoints && (p.useChordHeight || p.useChordHeightRatio)) {
        note = "the chord height refinement is not applied";
    }
    if (approximate) *approximate = note;
    if (numberU < 1 || numberV < 1 || numberU > 10000 || numberV > 10000)
        return "its isoparm counts " + std::to_string(numberU) + " x " + std::to_string(numberV) + " are out of range";
    // Grid lines: isoparm parameters, or for the control point format the
    // control points' own (Greville) parameters, a periodic direction's
    // repeated points left out.
    std::vector<double> us, vs;
    if (controlPoints) {
        us = grevilles(s.uKnots, s.uDegree, s.numU, s.uForm);
        vs = grevilles(s.vKnots, s.vDegree, s.numV, s.vForm);
    } else {
        us = isoparms(s.uKnots, s.uDegree, perSpanU, numberU);
        vs = isoparms(s.vKnots, s.vDegree, perSpanV, numberV);
    }
    const int cellsU = int(us.size()) - 1, cellsV = int(vs.size()) - 1;
    if (std::string why = refuseFaces(uint64_t(cellsU) * uint64_t(cellsV) * (p.polygonType == 1 ? 1 : 2)); !why.empty())
        return why;

    Halving halving(cellsU, cellsV, wraps(s.uForm), wraps(s.vForm));
    halving.run();
    const std::vector<Corner>& created = halving.created();
    const std::vector<Loop>& faces = halving.faces();

    // Uv i is vertex i as the first face using it sees it; the other sides of seams follow.
    std::vector<Corner> uvCorner(created.size(), Corner{-1, -1});
    for (const Loop& f : faces)
        for (const Corner& c : f) {
            Corner& first = uvCorner[size_t(halving.vertex(c))];
            if (first.i < 0) first = c;
        }
    std::vector<int32_t> extraUV(size_t(cellsU + 1) * size_t(cellsV + 1), -1);
    std::vector<Corner> extras;
    auto uvOf = [&](const Corner& c) {
        const int32_t v = halving.vertex(c);
        if (uvCorner[size_t(v)] == c) return v;
        int32_t& id = extraUV[size_t(c.i) * size_t(cellsV + 1) + size_t(c.j)];
        if (id < 0) {
            id = int32_t(created.size() + extras.size());
            extras.push_back(c);
        }
        return id;
    };
    std::vector<std::array<int32_t, 4>> faceUVs;
    faceUVs.reserve(faces.size());
    for (const Loop& f : faces) faceUVs.push_back({uvOf(f[0]), uvOf(f[1]), uvOf(f[2]), uvOf(f[3])});

    const bool quads = p.polygonType == 1;
    poly::Sizes sizes;
    sizes.vertices = created.size();
    sizes.faces = faces.size() * (quads ? 1 : 2);
    sizes.faceVertices = faces.size() * (quads ? 4 : 6);
    sizes.edges = created.size() + sizes.faces;
    sizes.uvs = created.size() + extras.size();
    poly::Builder builder(sizes, true);
    const SurfaceEvaluator eval(s);
    for (const Corner& c : created) {
        if (controlPoints) {
            const double* cv = s.cv(size_t(c.i) % s.numU, size_t(c.j) % s.numV);
            builder.point(cv[0], cv[1], cv[2]);
            continue;
        }
        const MeshVec pt = eval.point(us[size_t(c.i)], vs[size_t(c.j)]);
        builder.point(pt.x, pt.y, pt.z);
    }
    const double u0 = us.front(), du = us.back() - us.front(), v0 = vs.front(), dv = vs.back() - vs.front();
    auto addUV = [&](const Corner& c) {
        builder.uv(du > 0 ? (us[size_t(c.i)] - u0) / du : 0.0, dv > 0 ? (vs[size_t(c.j)] - v0) / dv : 0.0);
    };
    for (const Corner& c : uvCorner) addUV(c);
    for (const Corner& c : extras) addUV(c);
    for (size_t f = 0; f < faces.size(); ++f) {
        int32_t ids[4];
        for (size_t k = 0; k < 4; ++k) ids[k] = halving.vertex(faces[f][k]);
        const std::array<int32_t, 4>& uv = faceUVs[f];
        if (quads) {
            builder.face(ids, uv.data(), 4);
        } else {
            builder.face({ids[0], ids[1], ids[2]}, {uv[0], uv[1], uv[2]});
            builder.face({ids[0], ids[2], ids[3]}, {uv[0], uv[2], uv[3]});
        }
    }
    builder.completeEdges(true);
    out = builder.finish(PolyAxis{0.0, 1.0, 0.0});
    return {};
}

}  // namespace mayahost
