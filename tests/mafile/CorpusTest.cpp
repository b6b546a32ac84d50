// Every real scene of the corpus, and every bundled example, reads without a single warning.

#include <gtest/gtest.h>

#include <filesystem>

#include "RecordingBuilder.h"

using namespace mayahost::scenefile;
using namespace mayahost::scenefile::test;

namespace {

// Every .ma file under `dir`, sorted.
std::vector<std::filesystem::path> scenesUnder(const std::filesystem::path& dir) {
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir, ec))
        if (e.is_regular_file() && e.path().extension() == ".ma") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

TEST(MaCorpus, EveryCorpusAndExampleSceneReadsWithoutWarnings) {
    const auto corpus = scenesUnder(GLOWBOX_CORPUS_DIR);
    auto files = scenesUnder(std::filesystem::path(GLOWBOX_SOURCE_DIR) / "examples");
    if (files.empty() && corpus.empty()) GTEST_SKIP() << "no corpus at " << GLOWBOX_CORPUS_DIR << " and no examples";
    files.insert(files.end(), corpus.begin(), corpus.end());
    uint64_t statements = 0;
    for (const auto& path : files) {
        RecordingBuilder b;
        const mayahost::ScopedLimits chunks({.chunkBytes = 64 * 1024});   // small chunks: statements cross them
        ReadResult r = readMaFile(path.string(), b);
        ASSERT_TRUE(r.ok()) << r.message;
        EXPECT_EQ(r.warnings, 0u) << path << "\n" << b.warningText().substr(0, 2000);
        EXPECT_GT(r.statements, 0u) << path;
        EXPECT_EQ(std::tuple(r.bytes, b.calls.size()), std::tuple(uint64_t(std::filesystem::file_size(path)), size_t(r.statements))) << path;
        statements += r.statements;
    }
    if (!corpus.empty()) { EXPECT_GT(statements, 50000u); }
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
    ASSERT_TRUE(surface && trim && faces);
    EXPECT_EQ(std::tuple(surface->cvCount(), surface->uKnots.size()), std::tuple(size_t(4), size_t(2)));
    EXPECT_EQ(trim->boundaryCount, 1);
    EXPECT_GT(trim->numbers.size(), 50u);
    // Decoded, the trim is one boundary whose parameter-space edges chain
    // into a closed loop: each edge starts where the previous one ended.
    TrimfaceData decoded;
    ASSERT_TRUE(decodeTrimface(*trim, decoded));
    ASSERT_EQ(decoded.boundaries.size(), 1u);
    const auto& edges = decoded.boundaries[0].edges;
    ASSERT_EQ(edges.size(), 8u);
    for (size_t i = 0; i < edges.size(); ++i) {
        ASSERT_EQ(edges[i].paramCurves.size(), 1u);
        ASSERT_EQ(edges[i].worldCurves.size(), 1u);
        const NurbsCurveData& c = edges[i].paramCurves[0];
        const NurbsCurveData& next = edges[(i + 1) % edges.size()].paramCurves[0];
        ASSERT_EQ(std::tuple(c.dimension, edges[i].worldCurves[0].dimension, c.cvCount()), std::tuple(2, 3, size_t(2)));
        EXPECT_NEAR(c.cvs[2], next.cvs[0], 1e-9) << "edge " << i;
        EXPECT_NEAR(c.cvs[3], next.cvs[1], 1e-9) << "edge " << i;
        // and lies inside the surface's parameter range
        EXPECT_GE(c.cvs[0], surface->uKnots.front() - 1e-9);
        EXPECT_LE(c.cvs[0], surface->uKnots.back() + 1e-9);
    }
    EXPECT_GT(faces->faceCount(), 0u);
    // Every loop has at least one edge and every offset stays inside the edge list.
    for (size_t i = 0; i + 1 < faces->loopStart.size(); ++i) EXPECT_LT(faces->loopStart[i], faces->loopStart[i + 1]);
    EXPECT_EQ(faces->loopStart.back(), faces->edges.size());
}
