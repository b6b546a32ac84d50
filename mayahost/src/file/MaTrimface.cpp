// Structure for the number stream of a nurbsTrimface value.

#include <cmath>

#include "file/Values.h"

namespace mayahost::scenefile {

namespace {

class NumberStream {
public:
    explicit NumberStream(const std::vector<double>& v) : v_(v) {}

    bool number(double& out) {
        if (pos_ >= v_.size()) return false;
        out = v_[pos_++];
        return true;
    }
    // A whole, non-negative count no larger than what is left to read.
    bool count(size_t& out) {
        double d = 0;
        if (!number(d) || !(d >= 0) || d != std::floor(d) || d > double(v_.size() - pos_)) return false;
        out = size_t(d);
        return true;
    }
    bool integer(int& out, int lo, int hi) {
        double d = 0;
        if (!number(d) || d != std::floor(d) || d < lo || d > hi) return false;
        out = int(d);
        return true;
    }
    bool done() const { return pos_ == v_.size(); }

private:
    const std::vector<double>& v_;
    size_t pos_ = 0;
};

bool curve(NumberStream& in, NurbsCurveData& c) {
    int rational = 0;
    size_t knots = 0, cvs = 0;
    if (!in.integer(c.degree, 1, 64) || !in.integer(c.spans, 0, 1 << 30) || !in.integer(c.form, 0, 2) ||
        !in.integer(rational, 0, 1) || !in.integer(c.dimension, 2, 3))
        return false;
    c.rational = rational != 0;
    if (!in.count(knots)) return false;
    c.knots.resize(knots);
    for (double& k : c.knots)
        if (!in.number(k)) return false;
    if (!in.count(cvs)) return false;
    c.cvs.resize(cvs * size_t(c.cvStride()));
    for (double& v : c.cvs)
        if (!in.number(v)) return false;
    return true;
}

template <size_t N>
bool curves(NumberStream& in, std::vector<NurbsCurveData>& out, std::array<double, N>& info) {
    size_t n = 0;
    if (!in.count(n)) return false;
    for (size_t i = 0; i < n; ++i) {
        NurbsCurveData c;
        if (!curve(in, c)) return false;
        out.push_back(std::move(c));
    }
    for (double& e : info)
        if (!in.number(e)) return false;
    return true;
}

}  // namespace

bool decodeTrimface(const NurbsTrimface& raw, TrimfaceData& out) {
    out = TrimfaceData{};
    out.flipNormal = raw.flipNormal;
    NumberStream in(raw.numbers);
    if (raw.boundaryCount < 0 || size_t(raw.boundaryCount) > raw.numbers.size()) return false;
    for (int b = 0; b < raw.boundaryCount; ++b) {
        TrimBoundary boundary;
        size_t edges = 0;
        if (!in.integer(boundary.type, -(1 << 30), 1 << 30) || !in.count(edges)) return false;
        boundary.edgeValues.resize(edges);
        for (double& v : boundary.edgeValues)
            if (!in.number(v)) return false;
        for (size_t e = 0; e < edges; ++e) {
            TrimEdge edge;
            if (!curves(in, edge.worldCurves, edge.worldCurveInfo) || !curves(in, edge.paramCurves, edge.paramCurveInfo))
                return false;
            boundary.edges.push_back(std::move(edge));
        }
        out.boundaries.push_back(std::move(boundary));
    }
    return in.done();
}

}  // namespace mayahost::scenefile
