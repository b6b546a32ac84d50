// Every real scene of the corpus reads without a single warning.

#include <gtest/gtest.h>

#include <filesystem>

#include "RecordingBuilder.h"

using namespace mayahost::ma;
using namespace mayahost::ma::test;

namespace {

std::vector<std::filesystem::path> corpusScenes() {
    std::vector<std::filesystem::path> files;
    const std::filesystem::path dir = GLOWBOX_CORPUS_DIR;
    std::error_code ec;
    if (!std::filesystem::is_directory(dir, ec)) return files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir, ec))
        if (e.is_regular_file() && e.path().extension() == ".ma") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

TEST(MaCorpus, EveryCorpusSceneReadsWithoutWarnings) {
    const auto files = corpusScenes();
    if (files.empty()) GTEST_SKIP() << "no corpus at " << GLOWBOX_CORPUS_DIR;
    uint64_t statements = 0;
    for (const auto& path : files) {
        RecordingBuilder b;
        ReadLimits limits;
        limits.chunkBytes = 64 * 1024;   // small chunks: statements cross them
        ReadResult r = readMaFile(path.string(), b, limits);
        ASSERT_TRUE(r.ok()) << r.message;
        EXPECT_EQ(r.warnings, 0u) << path << "\n" << b.warningText().substr(0, 2000);
        EXPECT_GT(r.statements, 0u) << path;
        EXPECT_EQ(r.bytes, std::filesystem::file_size(path)) << path;
        EXPECT_EQ(b.calls.size(), r.statements) << path;
        statements += r.statements;
    }
    EXPECT_GT(statements, 50000u);
}

TEST(MaCorpus, TrimmedPlaneSceneYieldsItsNurbsData) {
    const std::filesystem::path path = std::filesystem::path(GLOWBOX_CORPUS_DIR) / "misc" / "trimmed_plane_area.ma";
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "no corpus scene " << path;
    RecordingBuilder b;
    ReadResult r = readMaFile(path.string(), b);
    ASSERT_TRUE(r.ok()) << r.message;
    const NurbsSurfaceData* surface = nullptr;
    const NurbsTrimface* trim = nullptr;
    const PolyFaces* faces = nullptr;
    for (const auto& s : b.setAttrs) {
        if (!surface) surface = std::get_if<NurbsSurfaceData>(&s.value);
        if (!trim) trim = std::get_if<NurbsTrimface>(&s.value);
        if (!faces) faces = std::get_if<PolyFaces>(&s.value);
    }
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->cvCount(), 4u);
    EXPECT_EQ(surface->uKnots.size(), 2u);
    ASSERT_NE(trim, nullptr);
    EXPECT_EQ(trim->boundaryCount, 1);
    EXPECT_GT(trim->numbers.size(), 50u);
    ASSERT_NE(faces, nullptr);
    EXPECT_GT(faces->faceCount(), 0u);
    // Every loop has at least one edge and every offset stays inside the edge list.
    for (size_t i = 0; i + 1 < faces->loopStart.size(); ++i) EXPECT_LT(faces->loopStart[i], faces->loopStart[i + 1]);
    EXPECT_EQ(faces->loopStart.back(), faces->edges.size());
}
