#pragma once
// Knot work shared by the surface and curve editors (attach, rebuild): a
// surface seen along one direction is a curve whose control "points" are its
// whole rows, so knot insertion, removal and clamping are written once for
// points of any width. Points are homogeneous (x w, y w, z w, w per control
// point) so that the operations stay exact on rational data.

#include "nurbs/NurbsData.h"

#include <string>
#include <vector>

namespace mayahost {

struct Strip {
    int degree = 1;
    NurbsForm form = NurbsForm::Open;
    std::vector<double> knots;  // Maya's knots: count() + degree - 1
    size_t width = 4;           // values per point
    std::vector<double> pts;    // count() * width

    size_t count() const { return width ? pts.size() / width : 0; }
    double* at(size_t i) { return &pts[i * width]; }
    const double* at(size_t i) const { return &pts[i * width]; }
};

// A surface along u (points are its v-rows), and back; `like` gives the
// v side of the surface (degree, form, knots, numV).
Strip stripAlongU(const NurbsSurface& s);
NurbsSurface surfaceFromStrip(const Strip& strip, const NurbsSurface& like);
// u and v exchanged.
NurbsSurface transposed(const NurbsSurface& s);
// A curve as a strip of one point, and back.
Strip stripOfCurve(const NurbsCurve& c);
NurbsCurve curveOfStrip(const Strip& s, int dimension);

// The parameter domain [knots[degree - 1], knots[count() - 1]].
double stripStart(const Strip& s);
double stripEnd(const Strip& s);

// Inserts knot t (inside the domain or at its start) once.
void insertKnot(Strip& s, double t);
// Ends the knots with `degree` copies of the domain's ends, dropping the
// points that only shaped the strip outside it (a periodic strip becomes closed).
void clampStrip(Strip& s);
// Points in reverse order, knots negated and reversed.
void reverseStrip(Strip& s);
// Maps the domain linearly onto [a, b].
void reparameterise(Strip& s, double a, double b);

// Removes once the interior knot whose last copy is Maya's knots[k]. When the
// two ways of computing the new points disagree, `force` keeps the removal
// and takes (1 - bias) of the value from the start side and bias of the one
// from the end side; else the strip stays unchanged when they differ by
// more than `tolerance`. True when the knot went.
bool removeKnot(Strip& s, size_t k, double bias, double tolerance, bool force);

// Brings two strips of one degree to one knot vector over the first one's
// domain (both clamped unless both are periodic with the same knots).
void makeStripsCompatible(Strip& a, Strip& b);

}  // namespace mayahost
