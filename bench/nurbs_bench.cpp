// Cost of NURBS surface tessellation (standard fit): one large trimmed
// surface of 100 x 100 cubic spans, wavy, with a round hole, and a thousand
// small surfaces as a scene of many patches would hold.

#include "nurbs/Tessellate.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

using namespace mayahost;

NurbsCurve line(double u0, double v0, double u1, double v1) {
    NurbsCurve c;
    c.dimension = 2;
    c.knots = {0, 1};
    c.cvs = {u0, v0, 0, 1, u1, v1, 0, 1};
    return c;
}

NurbsCurve circle(double cu, double cv, double r) {
    NurbsCurve c;
    c.degree = 2;
    c.dimension = 2;
    c.form = NurbsForm::Closed;
    c.knots = {0, 0, 1, 1, 2, 2, 3, 3, 4, 4};
    const double h = std::sqrt(0.5);
    const double p[9][3] = {{1, 0, 1}, {1, 1, h}, {0, 1, 1}, {-1, 1, h}, {-1, 0, 1},
                            {-1, -1, h}, {0, -1, 1}, {1, -1, h}, {1, 0, 1}};
    for (auto& q : p) c.cvs.insert(c.cvs.end(), {cu + r * q[0], cv + r * q[1], 0, q[2]});
    return c;
}

// Cubic surface of spans x spans over parameters 0..spans, waves of the given
// amplitude, trimmed to its domain square minus a round hole.
TrimmedSurface wavyTrimmed(int spans, double amplitude) {
    TrimmedSurface t;
    NurbsSurface& s = t.surface;
    int n = spans + 3;
    s.uDegree = s.vDegree = 3;
    s.numU = s.numV = size_t(n);
    for (auto* k : {&s.uKnots, &s.vKnots}) {
        k->assign({0, 0});
        for (int i = 0; i <= spans; ++i) k->push_back(i);
        k->insert(k->end(), {double(spans), double(spans)});
    }
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            s.cvs.insert(s.cvs.end(), {double(i), double(j), amplitude * std::sin(0.9 * i) * std::cos(0.7 * j), 1});
    TrimRegion r;
    TrimBoundary outer, hole;
    double e = spans;
    outer.curves = {line(0, 0, e, 0), line(e, 0, e, e), line(e, e, 0, e), line(0, e, 0, 0)};
    hole.curves = {circle(0.5 * e, 0.5 * e, 0.3 * e)};
    r.boundaries = {outer, hole};
    t.regions = {r};
    return t;
}

void BM_Trimmed100x100(benchmark::State& state) {
    TrimmedSurface t = wavyTrimmed(100, double(state.range(0)));
    size_t triangles = 0;
    for (auto _ : state) {
        TessellationResult r = tessellateSurface(t, {});
        triangles = r.mesh.numFaces();
        benchmark::DoNotOptimize(r.mesh.points.data());
    }
    state.counters["triangles"] = double(triangles);
    state.counters["triangles/s"] =
        benchmark::Counter(double(triangles) * double(state.iterations()), benchmark::Counter::kIsRate);
    state.SetLabel("ms per surface");
}
// Argument: wave amplitude (1: nearly flat at the default tolerance, 8: refined).
BENCHMARK(BM_Trimmed100x100)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond);

void BM_ThousandSmallSurfaces(benchmark::State& state) {
    std::vector<TrimmedSurface> surfaces;
    for (int k = 0; k < 1000; ++k) {
        TrimmedSurface t = wavyTrimmed(2 + k % 3, 0.5 + 0.1 * (k % 5));
        if (k % 2) t.regions.clear();
        surfaces.push_back(std::move(t));
    }
    for (auto _ : state)
        for (const TrimmedSurface& t : surfaces) {
            TessellationResult r = tessellateSurface(t, {});
            benchmark::DoNotOptimize(r.mesh.points.data());
        }
    state.SetItemsProcessed(state.iterations() * 1000);
    state.SetLabel("1000 surfaces per iteration");
}
BENCHMARK(BM_ThousandSmallSurfaces)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
