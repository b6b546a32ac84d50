// Loading a large generated Maya ASCII scene into the scene database through
// MFileIO::open: throughput (bytes per second) and peak memory against the
// file size.
#include <maya/MFileIO.h>
#include <maya/MItDependencyNodes.h>

#include <benchmark/benchmark.h>

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

// One mesh of `quads` faces in a grid, written the way Maya writes meshes:
// vertices in float3 chunks, edges as triples, faces as polyFaces chunks.
void writeMesh(std::ofstream& out, int index, int side, std::mt19937& rng) {
    std::uniform_real_distribution<double> jitter(-0.01, 0.01);
    const int verts = (side + 1) * (side + 1);
    out << "createNode transform -n \"mesh" << index << "\";\n";
    out << "\tsetAttr \".t\" -type \"double3\" " << index << " 0 " << -index << " ;\n";
    out << "createNode mesh -n \"meshShape" << index << "\" -p \"mesh" << index << "\";\n";
    out << "\tsetAttr \".uvst[0].uvsn\" -type \"string\" \"map1\";\n";
    char buf[96];
    const int chunk = 500;
    for (int start = 0; start < verts; start += chunk) {
        int end = std::min(verts, start + chunk) - 1;
        out << "\tsetAttr -s " << verts << " \".uvst[0].uvsp[" << start << ":" << end << "]\" -type \"float2\"";
        for (int v = start; v <= end; ++v) {
            std::snprintf(buf, sizeof buf, " %.6g %.6g", double(v % (side + 1)) / side, double(v / (side + 1)) / side);
            out << buf;
        }
        out << ";\n";
    }
    for (int start = 0; start < verts; start += chunk) {
        int end = std::min(verts, start + chunk) - 1;
        out << "\tsetAttr -s " << verts << " \".vt[" << start << ":" << end << "]\"";
        for (int v = start; v <= end; ++v) {
            std::snprintf(buf, sizeof buf, " %.8g %.8g %.8g", v % (side + 1) + jitter(rng), jitter(rng),
                          v / (side + 1) + jitter(rng));
            out << buf;
        }
        out << ";\n";
    }
    // Edges: horizontal then vertical.
    const int hEdges = side * (side + 1);
    const int edges = 2 * hEdges;
    for (int start = 0; start < edges; start += chunk) {
        int end = std::min(edges, start + chunk) - 1;
        out << "\tsetAttr -s " << edges << " \".ed[" << start << ":" << end << "]\"";
        for (int e = start; e <= end; ++e) {
            int a, b;
            if (e < hEdges) {
                a = (e / side) * (side + 1) + e % side;
                b = a + 1;
            } else {
                int k = e - hEdges;
                a = (k / (side + 1)) * (side + 1) + k % (side + 1);
                b = a + side + 1;
            }
            out << ' ' << a << ' ' << b << " 0";
        }
        out << ";\n";
    }
    const int faces = side * side;
    for (int start = 0; start < faces; start += chunk) {
        int end = std::min(faces, start + chunk) - 1;
        out << "\tsetAttr -s " << faces << " \".fc[" << start << ":" << end << "]\" -type \"polyFaces\"";
        for (int f = start; f <= end; ++f) {
            int row = f / side, col = f % side;
            int bottom = row * side + col;
            int top = (row + 1) * side + col;
            int left = hEdges + row * (side + 1) + col;
            int right = left + 1;
            int v0 = row * (side + 1) + col;
            out << "\n\t\tf 4 " << bottom << ' ' << right << ' ' << -(top + 1) << ' ' << -(left + 1);
            out << "\n\t\tmu 0 4 " << v0 << ' ' << v0 + 1 << ' ' << v0 + side + 2 << ' ' << v0 + side + 1;
        }
        out << ";\n";
    }
}

fs::path generateScene(size_t targetBytes) {
    fs::path path = fs::temp_directory_path() / "glowbox_graph_bench.ma";
    std::ofstream out(path, std::ios::binary);
    out << "//Maya ASCII 2017 scene\nrequires maya \"2017\";\ncurrentUnit -l centimeter -a degree -t film;\n";
    std::mt19937 rng(7);
    for (int i = 0; out.tellp() < static_cast<std::streamoff>(targetBytes); ++i) {
        writeMesh(out, i, 100, rng);
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
