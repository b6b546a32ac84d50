// Cost of evaluating primitive construction history: the one-million-face
// sphere a large history scene asks for, and the default primitives that
// most scenes hold by the dozen.

#include "mesh/PolyCreators.h"

#include <benchmark/benchmark.h>

namespace {

void BM_SphereMillionFaces(benchmark::State& state) {
  mayahost::PolySphereParams p;
  p.subdivisionsAxis = 1000;
  p.subdivisionsHeight = 1000;
  for (auto _ : state) {
    mayahost::MeshData m = mayahost::makePolySphere(p);
    benchmark::DoNotOptimize(m.points.data());
  }
  state.SetItemsProcessed(state.iterations() * 1000000);
  state.SetLabel("faces");
}
BENCHMARK(BM_SphereMillionFaces)->Unit(benchmark::kMillisecond);

void BM_DefaultPrimitives(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(mayahost::makePolyCube({}).points.data());
    benchmark::DoNotOptimize(mayahost::makePolySphere({}).points.data());
    benchmark::DoNotOptimize(mayahost::makePolyCylinder({}).points.data());
    benchmark::DoNotOptimize(mayahost::makePolyPlane({}).points.data());
  }
}
BENCHMARK(BM_DefaultPrimitives)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
