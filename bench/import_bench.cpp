// The real importer end to end on generated scenes: one stored mesh of 1 M
// quads, once as .ma (about 150 MB) and once as the same scene in .mb, a
// polySphere of 1 M faces built from its construction history, a 100 K-face
// plane through ten modelling edits, and 1,000
// small stored NURBS surfaces, each with a round hole trimmed out, placed as
// triangles. Reports the input file's throughput, the run's wall time and the
// importer's peak memory against the file size, so the two stored-mesh rows
// compare the readers.
#include "common/ImportArgs.h"

#include <benchmark/benchmark.h>

#include "grid_mesh.h"
#include "grid_mesh_mb.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string kImporter = std::string(GLOWBOX_BIN_DIR) + "/mayaimport";

const char* kHeader = "//Maya ASCII 2017 scene\nrequires maya \"2017\";\ncurrentUnit -l centimeter -a degree -t film;\n";

fs::path scratch() {
    fs::path dir = fs::temp_directory_path() / "glowbox_import_bench";
    fs::create_directories(dir);
    return dir;
}

fs::path storedMeshScene(int side = 1000) {
    fs::path path = scratch() / ("stored_" + std::to_string(side) + "x" + std::to_string(side) + "_quads.ma");
    std::ofstream out(path, std::ios::binary);
    out << kHeader;
    std::mt19937 rng(11);
    writeGridMesh(out, 0, side, rng);
    out << "connectAttr \"meshShape0.iog\" \":initialShadingGroup.dsm\" -na;\n";
    return path;
}

// The same scene as storedMeshScene(): the same seed gives the same jitter.
fs::path storedMeshBinaryScene() {
    fs::path path = scratch() / "stored_1M_quads.mb";
    std::mt19937 rng(11);
    const std::string bytes = gridMeshMbScene(1000, rng);
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

fs::path sphereScene() {
    fs::path path = scratch() / "polysphere_1M_faces.ma";
    std::ofstream out(path, std::ios::binary);
    out << kHeader
        << "createNode transform -n \"ball\";\n"
           "createNode mesh -n \"ballShape\" -p \"ball\";\n"
           "\tsetAttr \".uvst[0].uvsn\" -type \"string\" \"map1\";\n"
           "\tsetAttr \".cuvs\" -type \"string\" \"map1\";\n"
           "createNode polySphere -n \"polySphere1\";\n"
           "\tsetAttr \".sa\" 1000;\n"
           "\tsetAttr \".sh\" 1000;\n"
           "connectAttr \"polySphere1.out\" \"ballShape.i\";\n"
           "connectAttr \"ballShape.iog\" \":initialShadingGroup.dsm\" -na;\n";
    return path;
}

fs::path editedMeshScene() {
    fs::path path = scratch() / "edited_100K_faces.ma";
    std::ofstream out(path, std::ios::binary);
    out << kHeader
        << "createNode transform -n \"board\";\n"
           "createNode mesh -n \"boardShape\" -p \"board\";\n"
           "\tsetAttr \".uvst[0].uvsn\" -type \"string\" \"map1\";\n"
           "\tsetAttr \".cuvs\" -type \"string\" \"map1\";\n"
           "createNode polyPlane -n \"edit0\";\n"
           "\tsetAttr \".w\" 100;\n\tsetAttr \".h\" 100;\n\tsetAttr \".sw\" 316;\n\tsetAttr \".sh\" 316;\n";
    // Ten edits, each over a good part of the mesh.
    const char* edits[] = {
        "polyExtrudeFace -n \"edit1\";\n\tsetAttr \".ics\" -type \"componentList\" 1 \"f[0:49999]\";\n"
        "\tsetAttr \".lt\" -type \"double3\" 0 0 0.5 ;\n",
        "polyTweak -n \"edit2\";\n\tsetAttr -s 3 \".tk[0:2]\" -type \"float3\" 0 1 0 0 1 0 0 1 0;\n",
        "polyExtrudeFace -n \"edit3\";\n\tsetAttr \".ics\" -type \"componentList\" 1 \"f[50000:59999]\";\n"
        "\tsetAttr \".kft\" no;\n\tsetAttr \".ls\" -type \"double3\" 0.5 0.5 1 ;\n",
        "polyBevel3 -n \"edit4\";\n\tsetAttr \".ics\" -type \"componentList\" 1 \"e[180000:181999]\";\n",
        "polyTriangulate -n \"edit5\";\n\tsetAttr \".ics\" -type \"componentList\" 1 \"f[60000:79999]\";\n",
        "polyChipOff -n \"edit6\";\n\tsetAttr \".ics\" -type \"componentList\" 1 \"f[80000:89999]\";\n"
        "\tsetAttr \".lt\" -type \"double3\" 0 0 0.2 ;\n",
        "polyMergeVert -n \"edit7\";\n\tsetAttr \".ics\" -type \"componentList\" 1 \"vtx[0:9999]\";\n"
        "\tsetAttr \".d\" 0.01;\n",
        "polyPlanarProj -n \"edit8\";\n\tsetAttr \".ics\" -type \"componentList\" 1 \"f[*]\";\n",
        "polySoftEdge -n \"edit9\";\n\tsetAttr \".ics\" -type \"componentList\" 1 \"e[*]\";\n\tsetAttr \".a\" 30;\n",
        "polyDelEdge -n \"edit10\";\n\tsetAttr \".ics\" -type \"componentList\" 1 \"e[200000:209999]\";\n",
    };
    for (const char* edit : edits) out << "createNode " << edit;
    for (int i = 1; i <= 10; ++i)
        out << "connectAttr \"edit" << i - 1 << ".out\" \"edit" << i << ".ip\";\n";
    out << "connectAttr \"edit10.out\" \"boardShape.i\";\n"
           "connectAttr \"boardShape.iog\" \":initialShadingGroup.dsm\" -na;\n";
    return path;
}

// Cubic 4 x 4 patches, each gently bent its own way, with a circular hole.
fs::path nurbsScene() {
    fs::path path = scratch() / "nurbs_1000_surfaces.ma";
    std::ofstream out(path, std::ios::binary);
    out << kHeader;
    const double w = std::sqrt(0.5);
    for (int s = 0; s < 1000; ++s) {
        out << "createNode transform -n \"patch" << s << "\";\n\tsetAttr \".t\" -type \"double3\" " << (s % 40) * 4
            << " 0 " << (s / 40) * 4 << " ;\ncreateNode nurbsSurface -n \"patchShape" << s << "\" -p \"patch" << s
            << "\";\n\tsetAttr \".cc\" -type \"nurbsSurface\" 3 3 0 0 no 6 0 0 0 1 1 1 6 0 0 0 1 1 1 16";
        for (int u = 0; u < 4; ++u)
            for (int v = 0; v < 4; ++v) out << " " << u << " " << 0.1 * ((u * v + s) % 5) << " " << -v;
        out << ";\n\tsetAttr \".tf[0]\" -type \"nurbsTrimface\" no 2 0 4 0 0 0 0";
        const char* sides[] = {"0 0 1 0", "1 0 1 1", "1 1 0 1", "0 1 0 0"};
        for (int e = 0; e < 4; ++e) out << " 0 0.0001 1 -1 1 1 1 0 no 2 2 " << e << " " << e + 1 << " 2 " << sides[e] << " 1 0.0001";
        out << " 1 1 0 0 0.0001 1 -1 1 2 4 0 yes 2 10 0 0 1 1 2 2 3 3 4 4 9";
        const double c[9][3] = {{0.75, 0.5, 1}, {0.75, 0.75, w}, {0.5, 0.75, 1}, {0.25, 0.75, w}, {0.25, 0.5, 1},
                                {0.25, 0.25, w}, {0.5, 0.25, 1}, {0.75, 0.25, w}, {0.75, 0.5, 1}};
        for (const auto& p : c) out << " " << p[0] << " " << p[1] << " " << p[2];
        out << " 1 0.0001;\nconnectAttr \"patchShape" << s << ".iog\" \":initialShadingGroup.dsm\" -na;\n";
    }
    return path;
}

struct Run {
    int status = -1;
    double seconds = 0;
    double peakMiB = 0;
};

// Runs `argv` with its standard output going to `output`; wall time and peak memory.
Run runProgram(std::vector<std::string> words, const fs::path& output) {
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::setenv("TMPDIR", scratch().c_str(), 1);
        ::setenv("VANTOR_SYSCONFDIR", (scratch() / "etc").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (scratch() / "config").c_str(), 1);
        if (FILE* out = std::fopen(output.c_str(), "w")) ::dup2(::fileno(out), 1);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    Run run;
    int status = 0;
    rusage usage{};
    if (child > 0 && ::wait4(child, &status, 0, &usage) == child) {
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        run.peakMiB = usage.ru_maxrss / 1024.0;
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return run;
}

// The importer as the renderer starts it; the log and the scene go to the scratch folder.
Run runImporter(const fs::path& scene, const fs::path& output) {
    ImportArgs args;
    args.setString(IMPORT_FILENAME, scene.string());
    args.setString(OUTPUT_FILENAME, output.string());
    args.setString(LOGLEVEL, "WARNING");
    std::vector<std::string> words{kImporter};
    args.encode(words);
    return runProgram(std::move(words), "/dev/null");
}

void importScene(benchmark::State& state, const fs::path& scene) {
    // The generated file's pages would otherwise be written back while the importer reads them.
    ::sync();
    // Sizes in MiB (2^20 bytes), the rate in both MiB/s and MB/s (10^6 bytes).
    const double fileMiB = static_cast<double>(fs::file_size(scene)) / (1 << 20);
    const fs::path output = scratch() / (scene.stem().string() + ".dal");
    Run run;
    double catSeconds = 0;
    for (auto _ : state) {
        run = runImporter(scene, output);
        state.SetIterationTime(run.seconds);
        if (run.status != 0) state.SkipWithError(("mayaimport exit status " + std::to_string(run.status)).c_str());
        // The floor: reading the same file and nothing else.
        catSeconds = runProgram({"/bin/cat", scene.string()}, "/dev/null").seconds;
    }
    state.SetBytesProcessed(static_cast<int64_t>(fs::file_size(scene)) * state.iterations());
    state.counters["file_MiB"] = fileMiB;
    state.counters["scene_MiB"] = fs::exists(output) ? static_cast<double>(fs::file_size(output)) / (1 << 20) : 0.0;
    state.counters["seconds"] = run.seconds;
    state.counters["peak_MiB"] = run.peakMiB;
    state.counters["peak_per_file"] = run.peakMiB / fileMiB;
    state.counters["MiB_per_s"] = fileMiB / run.seconds;
    state.counters["MB_per_s"] = static_cast<double>(fs::file_size(scene)) / 1e6 / run.seconds;
    state.counters["cat_s"] = catSeconds;
    state.counters["times_cat"] = catSeconds > 0 ? run.seconds / catSeconds : 0.0;
    fs::remove(output);
}

void BM_ImportStoredMesh(benchmark::State& state) {
    const fs::path scene = storedMeshScene(static_cast<int>(state.range(0)));
    importScene(state, scene);
    state.counters["quads"] = static_cast<double>(state.range(0) * state.range(0));
    fs::remove(scene);
}

// The largest scene of the shared corpus, when it is there.
void BM_ImportLargestCorpusScene(benchmark::State& state) {
    const fs::path corpus = GLOWBOX_CORPUS_DIR;
    fs::path largest;
    std::error_code error;
    for (const auto& e : fs::recursive_directory_iterator(corpus, error))
        if (e.is_regular_file() && e.path().extension() == ".ma" &&
            (largest.empty() || e.file_size() > fs::file_size(largest)))
            largest = e.path();
    if (largest.empty()) {
        state.SkipWithError(("no corpus at " + corpus.string()).c_str());
        return;
    }
    state.SetLabel(largest.filename().string());
    importScene(state, largest);
}

void BM_ImportStoredMeshBinary(benchmark::State& state) {
    const fs::path scene = storedMeshBinaryScene();
    importScene(state, scene);
    fs::remove(scene);
}

void BM_ImportPolySphere(benchmark::State& state) {
    const fs::path scene = sphereScene();
    importScene(state, scene);
    // 1000 x 1000 faces: quads but for a fan of triangles at each pole.
    const double triangles = 2.0 * 1000 * 998 + 2 * 1000;
    state.counters["bytes_per_triangle"] = state.counters["peak_MiB"] * (1 << 20) / triangles;
    fs::remove(scene);
}

// A 100 K-face plane through ten modelling edits (10,000 edges deleted last):
// the history walk's cost.
void BM_ImportEditedMesh(benchmark::State& state) {
    const fs::path scene = editedMeshScene();
    importScene(state, scene);
    fs::remove(scene);
}

void BM_ImportNurbsSurfaces(benchmark::State& state) {
    const fs::path scene = nurbsScene();
    importScene(state, scene);
    state.counters["ms_per_surface"] = state.counters["seconds"] * 1000 / 1000.0;
    fs::remove(scene);
}

}  // namespace

// 10 K, 100 K, 1 M and 4 M quads: time and memory should grow in proportion.
BENCHMARK(BM_ImportStoredMesh)->Arg(100)->Arg(316)->Arg(1000)->Arg(2000)->Iterations(2)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportLargestCorpusScene)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportStoredMeshBinary)->Iterations(2)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportEditedMesh)->Iterations(2)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportPolySphere)->Iterations(2)->UseManualTime()->Unit(benchmark::kMillisecond);

BENCHMARK(BM_ImportNurbsSurfaces)->Iterations(2)->UseManualTime()->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
