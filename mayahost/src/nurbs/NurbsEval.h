#pragma once
// Evaluation of the stand-in's NURBS curves and surfaces: parameter domains,
// points, first partial derivatives and unit normals.
//
// Evaluation runs the basis functions of Piegl & Tiller over Maya's knots:
// a textbook knot vector is Maya's with one more knot at each end, and
// those two end knots never enter the basis functions of the parameter
// range, so they are not stored (their value does not matter). Parameters
// outside the domain are clamped to it. Rational curves and surfaces are
// evaluated in homogeneous coordinates (x w, y w, z w, w) and divided at the
// end; derivatives follow the quotient rule.
//
// The functions expect data that nurbsCurveProblem / nurbsSurfaceProblem
// accept. On data whose array sizes do not fit they return zero vectors
// instead of reading out of bounds.

#include "mesh/MeshVec.h"
#include "nurbs/NurbsData.h"

#include <vector>

namespace mayahost {

struct NurbsRange {
    double start = 0, end = 0;
    double clamp(double t) const { return t < start ? start : (t > end ? end : t); }
    double length() const { return end - start; }
};

// Knot domain [knots[degree - 1], knots[numKnots - degree]] of Maya's knots
// (empty range {0, 0} when the knot vector is too short for the degree).
NurbsRange knotDomain(const std::vector<double>& knots, int degree);
NurbsRange curveDomain(const NurbsCurve& curve);
NurbsRange surfaceDomainU(const NurbsSurface& surface);
NurbsRange surfaceDomainV(const NurbsSurface& surface);

// Point of a curve at t (a 2D curve gives z = 0 as stored).
MeshVec curvePoint(const NurbsCurve& curve, double t);

struct SurfaceDerivs {
    MeshVec point;  // S(u, v)
    MeshVec du;     // dS/du
    MeshVec dv;     // dS/dv
};

// Point and first partial derivatives of a surface at (u, v).
SurfaceDerivs surfaceDerivs(const NurbsSurface& surface, double u, double v);
MeshVec surfacePoint(const NurbsSurface& surface, double u, double v);

// Unit normal normalize(Su x Sv): the orientation of the surface. Where the
// cross product vanishes (a collapsed pole row, a zero-length derivative,
// parallel derivatives) the normal is taken a small step inside the domain,
// growing the step until it is defined; (0, 0, 1) when nothing helps.
MeshVec surfaceNormal(const NurbsSurface& surface, double u, double v);

// Nonzero basis functions of degree p at t over Maya's knots. `span` is the
// textbook span index i (knots[i - 1] <= t < knots[i] in Maya's numbering);
// the functions belong to control points span - p ... span. `ders` (may be
// null) receives the first derivatives.
struct BasisValues {
    int first = 0;                 // first control point index (span - p)
    std::vector<double> n, dn;     // p + 1 each
};
void basisAt(const std::vector<double>& knots, int degree, size_t numCVs, double t, BasisValues& out,
             bool withDerivatives);

// Reusable evaluator of one surface: keeps its domain and scale so that many
// evaluations (a tessellation) do not recompute them. The surface must stay
// alive and unchanged while the evaluator is used.
class SurfaceEvaluator {
public:
    explicit SurfaceEvaluator(const NurbsSurface& surface);

    bool valid() const { return valid_; }
    const NurbsSurface& surface() const { return s_; }
    NurbsRange domainU() const { return du_; }
    NurbsRange domainV() const { return dv_; }
    // Diagonal of the bounding box of the control points.
    double diagonal() const { return diagonal_; }

    SurfaceDerivs derivs(double u, double v) const;
    MeshVec point(double u, double v) const;
    // Evaluation from precomputed basis values (tessellation grids).
    SurfaceDerivs derivs(const BasisValues& bu, const BasisValues& bv) const;
    MeshVec point(const BasisValues& bu, const BasisValues& bv) const;

    MeshVec normal(double u, double v) const;
    // The normal when the derivatives at (u, v) are already known.
    MeshVec normal(const SurfaceDerivs& d, double u, double v) const;

    void basisU(double u, BasisValues& out, bool withDerivatives) const;
    void basisV(double v, BasisValues& out, bool withDerivatives) const;

private:
    bool crossUsable(const MeshVec& su, const MeshVec& sv, MeshVec& n) const;

    const NurbsSurface& s_;
    bool valid_ = false;
    NurbsRange du_, dv_;
    double diagonal_ = 0;
};

}  // namespace mayahost
