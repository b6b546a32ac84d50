#pragma once
// The stand-in's NURBS curves and surfaces, as Maya holds them once their
// stored data or their construction history has been evaluated. Every
// producer (stored .cc data, creators, history) fills these, and every
// consumer (MFnNurbsSurface, MFnNurbsCurve, tessellation) reads them.
//
// Knots follow Maya's convention: numCVs + degree - 1 of them, without the
// two end knots that textbook NURBS add; the parameter range is
// [knots[degree - 1], knots[numKnots - degree]]. A periodic form repeats its
// first `degree` control points at the end, so evaluation never wraps.
//
// Control points are kept as (x, y, z, w): the Cartesian position and the
// weight (1 for a non-rational curve or surface), not the weighted position.

#include <cstddef>
#include <string>
#include <vector>

namespace mayahost {

enum class NurbsForm : int { Open = 0, Closed = 1, Periodic = 2 };

struct NurbsCurve {
    int degree = 1;
    NurbsForm form = NurbsForm::Open;
    int dimension = 3;           // 2: a curve in a surface's (u, v) parameter space, z = 0
    std::vector<double> knots;   // numCVs() + degree - 1
    std::vector<double> cvs;     // 4 per control point: x, y, z, w

    size_t numCVs() const { return cvs.size() / 4; }
    bool rational() const;
};

struct NurbsSurface {
    int uDegree = 1, vDegree = 1;
    NurbsForm uForm = NurbsForm::Open, vForm = NurbsForm::Open;
    std::vector<double> uKnots;  // numU + uDegree - 1
    std::vector<double> vKnots;  // numV + vDegree - 1
    size_t numU = 0, numV = 0;
    std::vector<double> cvs;     // 4 per control point; point (u, v) starts at 4 * (u * numV + v)

    bool rational() const;
    double* cv(size_t u, size_t v) { return &cvs[4 * (u * numV + v)]; }
    const double* cv(size_t u, size_t v) const { return &cvs[4 * (u * numV + v)]; }
};

// Trimming: a region is the part of the surface's parameter space inside
// its first (outer) boundary and outside its other boundaries (holes). Each
// boundary is a closed chain of 2D curves in (u, v), one after another. A
// surface with no regions is untrimmed.
struct TrimBoundary {
    std::vector<NurbsCurve> curves;
};

struct TrimRegion {
    std::vector<TrimBoundary> boundaries;
};

struct TrimmedSurface {
    NurbsSurface surface;
    std::vector<TrimRegion> regions;
};

// Turns the curve round: control points in reverse order, knots negated and
// reversed, so that turning it round twice gives back the same parameters.
void reverseCurve(NurbsCurve& curve);

// Empty when the curve's degree, knots and control points fit together and
// hold finite values with non-decreasing knots and positive weights; else why not.
std::string nurbsCurveProblem(const NurbsCurve& curve);
// The same for a surface.
std::string nurbsSurfaceProblem(const NurbsSurface& surface);

}  // namespace mayahost
