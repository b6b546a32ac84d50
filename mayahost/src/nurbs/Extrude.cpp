#include "nurbs/Extrude.h"
#include "common/platform/StableMath.h"

#include "base/Limits.h"
#include "nurbs/NurbsEval.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace mayahost {
namespace {

MeshVec cross(const MeshVec& a, const MeshVec& b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

MeshVec unit(const MeshVec& v) {
    const double l = v.length();
    return l > 0 ? v * (1.0 / l) : v;
}

// Turns `v` about the unit `axis` by `angle` (Rodrigues).
MeshVec turned(const MeshVec& v, const MeshVec& axis, double angle) {
    const double c = stablemath::cos(angle), s = stablemath::sin(angle);
    return v * c + cross(axis, v) * s + axis * (axis.dot(v) * (1 - c));
}

// The rotation taking unit `from` onto unit `to`, applied to `v`.
MeshVec rotatedOnto(const MeshVec& v, const MeshVec& from, const MeshVec& to) {
    const MeshVec axis = cross(from, to);
    const double s = axis.length(), c = from.dot(to);
    if (s < 1e-12) return c > 0 ? v : turned(v, unit(std::fabs(from.x) < 0.9 ? cross(from, {1, 0, 0}) : cross(from, {0, 1, 0})), std::numbers::pi);
    return turned(v, axis * (1.0 / s), stablemath::atan2(s, c));
}

MeshVec point(const NurbsCurve& c, size_t i) { return {c.cvs[4 * i], c.cvs[4 * i + 1], c.cvs[4 * i + 2]}; }

// Twice the vector area of the control polygon: its plane's normal.
MeshVec polygonNormal(const NurbsCurve& c) {
    MeshVec n{0, 0, 0};
    const size_t count = c.numCVs();
    for (size_t i = 0; i < count; ++i) n = n + cross(point(c, i), point(c, (i + 1) % count));
    return n;
}

}  // namespace

std::string extrudeSurface(const NurbsCurve& profile, const NurbsCurve* path, const ExtrudeParams& p, NurbsSurface& out,
                           std::string* approximate) {
    if (std::string why = nurbsCurveProblem(profile); !why.empty()) return "its profile is no valid curve (" + why + ")";
    if (path)
        if (std::string why = nurbsCurveProblem(*path); !why.empty()) return "its path is no valid curve (" + why + ")";
    const int type = path ? std::clamp(p.extrudeType, 0, 2) : 0;
    const size_t n = profile.numCVs();
    std::string note;

    // Per row: how far along, and the placement of the profile there.
    std::vector<double> knots;
    int degree = 1;
    std::vector<MeshVec> offsets;        // added to the profile's points
    std::vector<MeshVec> fromTangent;    // tube: turn the profile from the start tangent ...
    std::vector<MeshVec> toTangent;      // ... onto this one
    MeshVec axis{0, 1, 0};
    if (type == 0) {
        MeshVec d = p.useProfileNormal ? polygonNormal(profile) : MeshVec{p.direction.x, p.direction.y, p.direction.z};
        if (!(d.length() > 1e-12) || !std::isfinite(d.length())) return "its extrusion direction has no length";
        axis = unit(d);
        degree = std::clamp(p.degreeAlongLength, 1, 7);
        knots.assign(size_t(degree), 0.0);
        knots.insert(knots.end(), size_t(degree), 1.0);
        for (int j = 0; j <= degree; ++j) offsets.push_back(axis * (p.length * j / degree));
    } else {
        degree = path->degree;
        knots = path->knots;
        const MeshVec start = path->numCVs() ? point(*path, 0) : MeshVec{0, 0, 0};
        const MeshVec shift = p.fixedPath ? start - point(profile, 0) : MeshVec{0, 0, 0};
        const NurbsRange dom = curveDomain(*path);
        auto tangent = [&](double t) {
            const double h = 1e-6 * std::max(dom.length(), 1e-12);
            const double a = std::max(dom.start, t - h), b = std::min(dom.end, t + h);
            return unit(curvePoint(*path, b) - curvePoint(*path, a));
        };
        axis = tangent(dom.start);
        for (size_t j = 0; j < path->numCVs(); ++j) offsets.push_back(point(*path, j) - start + shift);
        if (type == 2) {
            // Greville parameters of the path's points carry its tangents.
            MeshVec previous = axis;
            for (size_t j = 0; j < path->numCVs(); ++j) {
                double g = 0;
                for (int k = 0; k < path->degree; ++k) g += knots[std::min(j + size_t(k), knots.size() - 1)];
                const MeshVec t = tangent(dom.clamp(g / path->degree));
                fromTangent.push_back(previous);
                toTangent.push_back(t.length() > 0 ? t : previous);
                previous = toTangent.back();
            }
            note = "a tube extrusion is approximated (the profile turned at the path's control points)";
        }
    }
    const size_t rows = offsets.size();
    if (rows > limits().maxMeshFaces / std::max<size_t>(n, 1)) return "it would make too many control points";
    if (p.rotation != 0 || p.scale != 1) note = "rotation and scale along the extrusion are approximated";
    if (approximate) *approximate = note;

    NurbsSurface s;
    s.uDegree = profile.degree;
    s.uForm = profile.form;
    s.uKnots = profile.knots;
    s.numU = n;
    s.vDegree = degree;
    s.vForm = path && type != 0 ? path->form : NurbsForm::Open;
    s.vKnots = knots;
    s.numV = rows;
    s.cvs.resize(4 * n * rows);
    const MeshVec pivot{p.pivot.x, p.pivot.y, p.pivot.z};
    const MeshVec origin = type == 0 ? pivot : (path ? point(*path, 0) : pivot);
    // A tube's profile, relative to the path's start, turned row by row.
    std::vector<MeshVec> relative(n);
    for (size_t i = 0; i < n; ++i) relative[i] = point(profile, i) - origin;
    for (size_t j = 0; j < rows; ++j) {
        const double f = rows > 1 ? double(j) / double(rows - 1) : 0.0;
        const double scale = 1 + (p.scale - 1) * f, angle = p.rotation * f;
        for (size_t i = 0; i < n; ++i) {
            if (type == 2) relative[i] = rotatedOnto(relative[i], fromTangent[j], toTangent[j]);
            MeshVec q = origin + relative[i];
            if (p.rotation != 0 || p.scale != 1) {
                const MeshVec r = q - origin;
                q = origin + turned(r, axis, angle) * scale;
            }
            q = q + offsets[j];
            double* cv = s.cv(i, j);
            cv[0] = q.x, cv[1] = q.y, cv[2] = q.z;
            cv[3] = profile.cvs[4 * i + 3] * (path && type != 0 ? path->cvs[4 * j + 3] : 1.0);
        }
    }
    if (std::string why = nurbsSurfaceProblem(s); !why.empty()) return "its result is no valid surface (" + why + ")";
    out = std::move(s);
    return {};
}

}  // namespace mayahost
