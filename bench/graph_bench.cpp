// Loading a large generated Maya ASCII scene into the scene database through
// MFileIO::open: throughput (bytes per second) and peak memory against the
// file size.
#include <maya/MFileIO.h>
#include <maya/MItDependencyNodes.h>

#include <benchmark/benchmark.h>

#include "grid_mesh.h"

#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace fs = std::filesystem;

namespace {

long peakRssKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

fs::path generateScene(size_t targetBytes) {
    fs::path path = fs::temp_directory_path() / "glowbox_graph_bench.ma";
    std::ofstream out(path, std::ios::binary);
    out << "//Maya ASCII 2017 scene\nrequires maya \"2017\";\ncurrentUnit -l centimeter -a degree -t film;\n";
    std::mt19937 rng(7);
    for (int i = 0; out.tellp() < static_cast<std::streamoff>(targetBytes); ++i) {
        writeGridMesh(out, i, 100, rng);
        // Small nodes between the meshes: shaders, sets and their connections.
        out << "createNode lambert -n \"lambert" << i + 2 << "\";\n\tsetAttr \".c\" -type \"float3\" 0.5 0.25 0.125 ;\n";
        out << "createNode shadingEngine -n \"set" << i << "\";\n";
        out << "connectAttr \"lambert" << i + 2 << ".oc\" \"set" << i << ".ss\";\n";
        out << "connectAttr \"meshShape" << i << ".iog\" \"set" << i << ".dsm\" -na;\n";
    }
    return path;
}

void BM_OpenLargeScene(benchmark::State& state) {
    const size_t target = static_cast<size_t>(state.range(0)) << 20;
    fs::path path = generateScene(target);
    const double fileBytes = static_cast<double>(fs::file_size(path));
    const long rssBefore = peakRssKb();
    size_t nodes = 0;
    for (auto _ : state) {
        MStatus st = MFileIO::open(path.string().c_str(), NULL, true, 2, true);
        if (!st) state.SkipWithError(st.errorString().asChar());
        nodes = 0;
        for (MItDependencyNodes it; !it.isDone(); it.next()) ++nodes;
    }
    const long rssAfter = peakRssKb();
    state.SetBytesProcessed(static_cast<int64_t>(fileBytes) * state.iterations());
    state.counters["file_MB"] = fileBytes / (1 << 20);
    state.counters["nodes"] = static_cast<double>(nodes);
    state.counters["peak_rss_MB"] = rssAfter / 1024.0;
    // Growth of the process's high-water mark while loading, against the file.
    state.counters["peak_growth_per_file_byte"] = (rssAfter - rssBefore) * 1024.0 / fileBytes;
    fs::remove(path);
}

}  // namespace

BENCHMARK(BM_OpenLargeScene)->Arg(100)->Iterations(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
