// Reading a generated ~100 MB Maya ASCII scene with a builder that only counts:
// the parser's own throughput (MB/s) and its peak memory growth.
//
// The scene is written the way Maya writes big meshes: a mesh per node with
// `.vt[0:499]` point chunks, `.ed[...]` int triples, `.uvst[0].uvsp[...]`
// float2 chunks and polyFaces chunks, plus the transform and connection
// statements around them.

#include "file/MaReader.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

namespace fs = std::filesystem;
using namespace mayahost::scenefile;

namespace {

class CountingBuilder : public StatementBuilder {
public:
    uint64_t statements = 0;
    uint64_t values = 0;

    void requiresPlugin(const Requires&, const FileLoc&) override { ++statements; }
    void currentUnit(const CurrentUnit&, const FileLoc&) override { ++statements; }
    void fileInfo(std::string_view, std::string_view, const FileLoc&) override { ++statements; }
    void file(const FileReference&, const FileLoc&) override { ++statements; }
    void createNode(const CreateNode&, const FileLoc&) override { ++statements; }
    void rename(const Rename&, const FileLoc&) override { ++statements; }
    void select(const Select&, const FileLoc&) override { ++statements; }
    void setAttr(SetAttr& s, const FileLoc&) override {
        ++statements;
        if (const auto* n = std::get_if<Numbers>(&s.value)) values += n->values.size();
        else if (const auto* p = std::get_if<PolyFaces>(&s.value)) values += p->edges.size() + p->uvIds.size();
    }
    void addAttr(const AddAttr&, const FileLoc&) override { ++statements; }
    void connectAttr(const ConnectAttr&, const FileLoc&) override { ++statements; }
    void disconnectAttr(const DisconnectAttr&, const FileLoc&) override { ++statements; }
    void parent(const Parent&, const FileLoc&) override { ++statements; }
    void relationship(const Relationship&, const FileLoc&) override { ++statements; }
    void lockNode(const LockNode&, const FileLoc&) override { ++statements; }
    void dataStructure(const DataStructure&, const FileLoc&) override { ++statements; }
    void warning(const FileLoc&, std::string_view) override { ++warnings; }
    uint64_t warnings = 0;
};

// A grid mesh of side x side quads, written in Maya's chunking.
void writeMesh(std::FILE* f, int index, int side, std::mt19937& rng) {
    std::uniform_real_distribution<double> jitter(-0.001, 0.001);
    const int verts = (side + 1) * (side + 1);
    const int faces = side * side;
    std::fprintf(f, "createNode transform -n \"pGrid%d\";\n\trename -uid \"%08X-4B2E-A4E4-8C5E-A0AA2C2B5C44\";\n"
                    "\tsetAttr \".t\" -type \"double3\" %d 0 %d ;\n",
                 index, unsigned(index), index % 100, index / 100);
    std::fprintf(f, "createNode mesh -n \"pGridShape%d\" -p \"pGrid%d\";\n"
                    "\tsetAttr -k off \".v\";\n\tsetAttr \".vir\" yes;\n\tsetAttr \".vif\" yes;\n"
                    "\tsetAttr \".uvst[0].uvsn\" -type \"string\" \"map1\";\n",
                 index, index);
    for (int start = 0; start < verts; start += 500) {
        const int end = std::min(verts, start + 500) - 1;
        std::fprintf(f, "\tsetAttr -s %d \".uvst[0].uvsp[%d:%d]\" -type \"float2\"", end - start + 1, start, end);
        for (int v = start; v <= end; ++v) {
            if ((v - start) % 6 == 5) std::fputs("\n\t\t", f);
            std::fprintf(f, " %.9g %.9g", double(v % (side + 1)) / side, double(v / (side + 1)) / side);
        }
        std::fputs(";\n", f);
    }
    for (int start = 0; start < verts; start += 500) {
        const int end = std::min(verts, start + 500) - 1;
        std::fprintf(f, "\tsetAttr -s %d \".vt[%d:%d]\" ", end - start + 1, start, end);
        for (int v = start; v <= end; ++v) {
            if ((v - start) % 4 == 3) std::fputs("\n\t\t", f);
            std::fprintf(f, " %.17g %.17g %.17g", double(v % (side + 1)) - side / 2.0 + jitter(rng), jitter(rng),
                         double(v / (side + 1)) - side / 2.0 + jitter(rng));
        }
        std::fputs(";\n", f);
    }
    // Edges: horizontal then vertical, "a b 0" triples.
    const int edges = 2 * side * (side + 1);
    for (int start = 0; start < edges; start += 500) {
        const int end = std::min(edges, start + 500) - 1;
        std::fprintf(f, "\tsetAttr -s %d \".ed[%d:%d]\" ", end - start + 1, start, end);
        for (int e = start; e <= end; ++e) {
            if ((e - start) % 7 == 6) std::fputs("\n\t\t", f);
            int a, b;
            if (e < side * (side + 1)) {
                a = (e / side) * (side + 1) + e % side;
                b = a + 1;
            } else {
                const int k = e - side * (side + 1);
                a = k;
                b = k + side + 1;
            }
            std::fprintf(f, " %d %d %d", a, b, e % 5 == 0 ? 1 : 0);
        }
        std::fputs(";\n", f);
    }
    for (int start = 0; start < faces; start += 500) {
        const int end = std::min(faces, start + 500) - 1;
        std::fprintf(f, "\tsetAttr -s %d \".fc[%d:%d]\" -type \"polyFaces\" \n", end - start + 1, start, end);
        for (int q = start; q <= end; ++q) {
            const int i = q % side, j = q / side;
            const int bottom = j * side + i, top = (j + 1) * side + i;
            const int left = side * (side + 1) + j * (side + 1) + i, right = left + 1;
            const int v0 = j * (side + 1) + i;
            std::fprintf(f, "\t\tf 4 %d %d %d %d\n\t\tmu 0 4 %d %d %d %d\n", bottom, right, -(top + 1), -(left + 1),
                         v0, v0 + 1, v0 + side + 2, v0 + side + 1);
        }
        std::fputs("\t\t;\n", f);
    }
    std::fprintf(f, "connectAttr \"pGridShape%d.iog\" \":initialShadingGroup.dsm\" -na;\n", index);
}

const std::string& scenePath() {
    static const std::string path = [] {
        const std::string p = (fs::temp_directory_path() / "glowbox-mafile-bench.ma").string();
        std::FILE* f = std::fopen(p.c_str(), "wb");
        if (!f) return std::string();
        std::fputs("//Maya ASCII 2018 scene\n//Name: bench.ma\nrequires maya \"2018\";\n"
                   "currentUnit -l centimeter -a degree -t film;\n", f);
        std::mt19937 rng(7);
        for (int i = 0; i < 10000 && std::ftell(f) < 100L * 1000 * 1000; ++i) writeMesh(f, i, 60, rng);
        std::fclose(f);
        return p;
    }();
    return path;
}

long peakRssKiB() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

void BM_ReadGeneratedScene(benchmark::State& state) {
    const std::string& path = scenePath();
    if (path.empty()) {
        state.SkipWithError("cannot write the generated scene");
        return;
    }
    const uint64_t size = fs::file_size(path);
    const long rssBefore = peakRssKiB();
    uint64_t statements = 0;
    for (auto _ : state) {
        CountingBuilder b;
        ReadResult r = readMaFile(path, b);
        if (!r.ok() || b.warnings != 0) {
            state.SkipWithError("the generated scene did not read cleanly");
            return;
        }
        statements = b.statements;
        benchmark::DoNotOptimize(b.values);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(size));
    state.counters["file_MB"] = double(size) / 1e6;
    state.counters["statements"] = double(statements);
    state.counters["peak_growth_MB"] = double(peakRssKiB() - rssBefore) / 1024.0;
}
BENCHMARK(BM_ReadGeneratedScene)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// A real scene as Maya saved it: a 13k-vertex production mesh with its uvs,
// normals and construction history.
void BM_ReadCorpusHelmet(benchmark::State& state) {
    const fs::path path = fs::path(GLOWBOX_CORPUS_DIR) / "maya2gltf" / "DamagedHelmet2024.ma";
    if (!fs::exists(path)) {
        state.SkipWithError("corpus scene absent");
        return;
    }
    const uint64_t size = fs::file_size(path);
    for (auto _ : state) {
        CountingBuilder b;
        ReadResult r = readMaFile(path.string(), b);
        if (!r.ok() || b.warnings != 0) {
            state.SkipWithError("the corpus scene did not read cleanly");
            return;
        }
        benchmark::DoNotOptimize(b.values);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(size));
}
BENCHMARK(BM_ReadCorpusHelmet)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
