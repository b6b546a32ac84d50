// Throughput of the scene file writer for the bulk of a scene: large numeric
// arrays, as binary blocks (the normal form) and as readable text.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "sceneapi/orbScene_api_file.h"

namespace {

constexpr std::uint32_t kElements = 16u << 20;

// A real file rather than memory, so the numbers include the stdio path the
// importer takes. Rewound every iteration to keep it at one array's size.
class BenchFile {
public:
    BenchFile() {
        const char* dir = std::getenv("TMPDIR");
        path_ = std::string(dir && *dir ? dir : "/tmp") + "/writer_bench_" + std::to_string(getpid()) + ".dal";
        file_ = std::fopen(path_.c_str(), "wb+");
    }
    ~BenchFile() {
        if (file_) std::fclose(file_);
        std::remove(path_.c_str());
    }
    FILE* get() { return file_; }

private:
    std::string path_;
    FILE* file_ = nullptr;
};

std::vector<float> sampleFloats(std::size_t n) {
    std::vector<float> values(n);
    for (std::size_t i = 0; i < n; ++i) values[i] = static_cast<float>(i % 1000) * 0.37f - 120.0f;
    return values;
}

void writeArray(benchmark::State& state, unsigned type, std::uint32_t count, const float* data, bool binary,
                std::size_t scalarsPerElement) {
    BenchFile file;
    if (!file.get()) {
        state.SkipWithError("cannot open the benchmark file");
        return;
    }
    orbScene_api_file writer(file.get(), binary);
    if (!binary) writer.setFlags(1);
    const ParamArray<float> array{data, count};
    // One untimed pass, so that the file's pages exist before timing starts.
    writer.parameter("values", type, &array);
    for (auto _ : state) {
        std::rewind(file.get());
        writer.parameter("values", type, &array);
        std::fflush(file.get());
    }
    const auto scalars = static_cast<std::int64_t>(count) * static_cast<std::int64_t>(scalarsPerElement);
    if (binary)
        state.SetBytesProcessed(state.iterations() * scalars * static_cast<std::int64_t>(sizeof(float)));
    else
        state.SetItemsProcessed(state.iterations() * scalars);  // numbers per second
}

void BM_BinaryFloatArray(benchmark::State& state) {
    const auto values = sampleFloats(kElements);
    writeArray(state, ParamType::FloatArray, kElements, values.data(), true, 1);
}

void BM_BinaryFloat3Array(benchmark::State& state) {
    const auto values = sampleFloats(std::size_t{kElements} * 3);
    writeArray(state, ParamType::Float3Array, kElements, values.data(), true, 3);
}

void BM_TextFloatArray(benchmark::State& state) {
    const auto count = static_cast<std::uint32_t>(state.range(0));
    const auto values = sampleFloats(count);
    writeArray(state, ParamType::FloatArray, count, values.data(), false, 1);
}

void BM_TextFloat3Array(benchmark::State& state) {
    const auto count = static_cast<std::uint32_t>(state.range(0));
    const auto values = sampleFloats(std::size_t{count} * 3);
    writeArray(state, ParamType::Float3Array, count, values.data(), false, 3);
}

void BM_TextIntArray(benchmark::State& state) {
    const auto count = static_cast<std::uint32_t>(state.range(0));
    std::vector<int> values(count);
    for (std::uint32_t i = 0; i < count; ++i) values[i] = static_cast<int>(i * 7919u % 1000003u);
    BenchFile file;
    orbScene_api_file writer(file.get(), false);
    writer.setFlags(1);
    const ParamArray<int> array{values.data(), count};
    for (auto _ : state) {
        std::rewind(file.get());
        writer.parameter("values", ParamType::IntArray, &array);
        std::fflush(file.get());
    }
    state.SetItemsProcessed(state.iterations() * count);
}

}  // namespace

BENCHMARK(BM_BinaryFloatArray)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BinaryFloat3Array)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TextFloatArray)->Arg(1 << 20)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TextFloat3Array)->Arg(1 << 20)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TextIntArray)->Arg(1 << 20)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
