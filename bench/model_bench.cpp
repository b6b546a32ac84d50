// Writing a large mesh as an instance definition: the binary form should cost
// no more than copying the raw array bytes to the same kind of file, and the
// object must give its arrays back once the definition is written.

#include "sceneapi/LightFactory.h"
#include "sceneapi/model/TriangleObject.h"
#include "sceneapi/orbSceneapi_oo.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A regular grid of quads split into two triangles each; 708 x 708 quads give
// just over a million triangles.
struct GridMesh {
    std::vector<float> vertices;
    std::vector<float> normals;
    std::vector<float> uvs;
    std::vector<std::uint32_t> triangles;

    explicit GridMesh(std::uint32_t quads) {
        const std::uint32_t side = quads + 1;
        for (std::uint32_t j = 0; j < side; ++j)
            for (std::uint32_t i = 0; i < side; ++i) {
                const float u = static_cast<float>(i) / static_cast<float>(quads);
                const float v = static_cast<float>(j) / static_cast<float>(quads);
                vertices.insert(vertices.end(), {u, 0.0f, v});
                normals.insert(normals.end(), {0.0f, 1.0f, 0.0f});
                uvs.insert(uvs.end(), {u, v});
            }
        for (std::uint32_t j = 0; j < quads; ++j)
            for (std::uint32_t i = 0; i < quads; ++i) {
                const std::uint32_t a = j * side + i;
                triangles.insert(triangles.end(), {a, a + 1, a + side, a + 1, a + side + 1, a + side});
            }
    }

    std::size_t bytes() const {
        return 4 * (vertices.size() + normals.size() + uvs.size() + triangles.size());
    }
};

const GridMesh& mesh() {
    static const GridMesh grid(708);
    return grid;
}

std::string outputPath() { return (fs::temp_directory_path() / "glowbox-model-bench.dal").string(); }

void reportPeakMemory(benchmark::State& state) {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void writeInstanceSource(benchmark::State& state, const std::string& path) {
    const GridMesh& grid = mesh();
    std::size_t left = 1;
    for (auto _ : state) {
        state.PauseTiming();
        orb::TriangleObject object("grid");
        object.setVertices(grid.vertices.data(), grid.vertices.size());
        object.setNormals(grid.normals.data(), grid.normals.size());
        object.setUVs(grid.uvs.data(), grid.uvs.size());
        object.setTriangles(grid.triangles.data(), grid.triangles.size());
        state.ResumeTiming();

        orb::LightFileFactory factory(path);
        orb::orbSceneapi_oo scene(&factory);
        object.writeInstanceSource(scene);
        factory.close();
        left = object.capacityBytes();
    }
    if (left != 0)
        state.SkipWithError("the arrays were not released");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(grid.bytes()));
    state.counters["triangles"] = static_cast<double>(grid.triangles.size() / 3);
    reportPeakMemory(state);
}

void BM_TriangleObjectInstanceSource(benchmark::State& state) {
    const std::string path = outputPath();
    writeInstanceSource(state, path);
    state.counters["file_MB"] = static_cast<double>(fs::file_size(path)) / 1e6;
    fs::remove(path);
}
BENCHMARK(BM_TriangleObjectInstanceSource)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same with the file system taken out: what the object model and the
// writer cost on their own.
void BM_TriangleObjectInstanceSourceToNullDevice(benchmark::State& state) {
    if (!fs::exists("/dev/null")) {
        state.SkipWithError("no null device");
        return;
    }
    writeInstanceSource(state, "/dev/null");
}
BENCHMARK(BM_TriangleObjectInstanceSourceToNullDevice)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor: the same bytes written straight to a file of the same kind.
// `fresh` copies the arrays into new memory before every run, as the object
// under test holds freshly filled arrays; on virtual machines the first
// touch of new pages shows in the numbers, so both floors are reported.
void writeRawArrays(benchmark::State& state, bool fresh) {
    const GridMesh& grid = mesh();
    const std::string path = outputPath();
    for (auto _ : state) {
        state.PauseTiming();
        GridMesh copy = fresh ? grid : GridMesh(0);
        const GridMesh& source = fresh ? copy : grid;
        state.ResumeTiming();

        FILE* file = std::fopen(path.c_str(), "wb+");
        if (file == nullptr) {
            state.SkipWithError("cannot open the output file");
            return;
        }
        std::fwrite(source.vertices.data(), 4, source.vertices.size(), file);
        std::fwrite(source.triangles.data(), 4, source.triangles.size(), file);
        std::fwrite(source.uvs.data(), 4, source.uvs.size(), file);
        std::fwrite(source.normals.data(), 4, source.normals.size(), file);
        std::fclose(file);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(grid.bytes()));
    reportPeakMemory(state);
    fs::remove(path);
}

void BM_RawArrayBytesFresh(benchmark::State& state) { writeRawArrays(state, true); }
BENCHMARK(BM_RawArrayBytesFresh)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RawArrayBytesReused(benchmark::State& state) { writeRawArrays(state, false); }
BENCHMARK(BM_RawArrayBytesReused)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
