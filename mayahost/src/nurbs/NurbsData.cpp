#include "nurbs/NurbsData.h"

#include <algorithm>

#include <cmath>

namespace mayahost {
namespace {

bool weightsNotOne(const std::vector<double>& cvs) {
    for (size_t i = 3; i < cvs.size(); i += 4)
        if (cvs[i] != 1.0) return true;
    return false;
}

// Knots of one direction: count, finite and non-decreasing, a range that is not empty.
std::string knotProblem(const std::vector<double>& knots, size_t numCVs, int degree, const char* what) {
    if (degree < 1) return std::string(what) + "degree " + std::to_string(degree) + " below 1";
    if (numCVs < size_t(degree) + 1)
        return std::string(what) + std::to_string(numCVs) + " control points, degree " + std::to_string(degree) +
               " needs at least " + std::to_string(degree + 1);
    if (knots.size() != numCVs + size_t(degree) - 1)
        return std::string(what) + std::to_string(knots.size()) + " knots for " + std::to_string(numCVs) +
               " control points of degree " + std::to_string(degree) + " (expected " +
               std::to_string(numCVs + size_t(degree) - 1) + ")";
    for (size_t i = 0; i < knots.size(); ++i) {
        if (!std::isfinite(knots[i])) return std::string(what) + "knot " + std::to_string(i) + " is not a number";
        if (i > 0 && knots[i] < knots[i - 1]) return std::string(what) + "knots decrease at " + std::to_string(i);
    }
    if (!(knots[size_t(degree) - 1] < knots[knots.size() - size_t(degree)]))
        return std::string(what) + "empty parameter range";
    return {};
}

std::string pointProblem(const std::vector<double>& cvs) {
    for (size_t i = 0; i < cvs.size(); ++i) {
        if (!std::isfinite(cvs[i])) return "control point " + std::to_string(i / 4) + " is not a number";
        if (i % 4 == 3 && !(cvs[i] > 0)) return "control point " + std::to_string(i / 4) + " has weight " +
                                                std::to_string(cvs[i]) + " (must be above 0)";
    }
    return {};
}

}  // namespace

bool NurbsCurve::rational() const { return weightsNotOne(cvs); }
bool NurbsSurface::rational() const { return weightsNotOne(cvs); }

void reverseCurve(NurbsCurve& c) {
    const size_t n = c.numCVs();
    for (size_t i = 0; i < n / 2; ++i)
        for (size_t k = 0; k < 4; ++k) std::swap(c.cvs[4 * i + k], c.cvs[4 * (n - 1 - i) + k]);
    std::reverse(c.knots.begin(), c.knots.end());
    for (double& k : c.knots) k = -k;
}

std::string nurbsCurveProblem(const NurbsCurve& c) {
    if (c.cvs.size() % 4 != 0) return "control point values not a multiple of 4";
    std::string why = knotProblem(c.knots, c.numCVs(), c.degree, "");
    return why.empty() ? pointProblem(c.cvs) : why;
}

std::string nurbsSurfaceProblem(const NurbsSurface& s) {
    if (s.cvs.size() != 4 * s.numU * s.numV)
        return std::to_string(s.cvs.size() / 4) + " control points for a " + std::to_string(s.numU) + " x " +
               std::to_string(s.numV) + " grid";
    std::string why = knotProblem(s.uKnots, s.numU, s.uDegree, "u: ");
    if (why.empty()) why = knotProblem(s.vKnots, s.numV, s.vDegree, "v: ");
    return why.empty() ? pointProblem(s.cvs) : why;
}

}  // namespace mayahost
