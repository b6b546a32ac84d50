// The uv editing nodes through a real scene: a 2 x 2 plane cut apart by
// three polyMapCut nodes, then its pieces moved into their own texture tiles
// by a polyTweakUV whose indices name the uvs the cuts made.

#include "MeshHistoryTestUtil.h"

#include "base/Limits.h"

#include <filesystem>
#include <set>

using namespace mayahost;

TEST(MeshHistoryUV, CutsNumberTheirUvsAsTheTweaksAfterThemExpect) {
    const std::filesystem::path file =
        std::filesystem::path(GLOWBOX_CORPUS_DIR) / "mayausd" / "UsdExportImportUDIMTest__UsdExportUDIMTest.ma";
    if (!std::filesystem::exists(file)) GTEST_SKIP() << "corpus scene absent: " << file;
    Scene scene;
    installSceneEvaluators(scene);
    SceneBuilder builder(scene, file.string());
    ASSERT_TRUE(scenefile::readMaFile(file.string(), builder).ok());
    const MeshEvaluation& e = history_test::meshNamed(scene, "pPlaneShape1");
    ASSERT_TRUE(e.mesh && e.error.empty()) << e.error;
    EXPECT_TRUE(e.warnings.empty()) << history_test::joined(e.warnings);
    const MeshData& m = *e.mesh;
    ASSERT_EQ(m.numFaces(), 4u);
    ASSERT_EQ(m.uvSets.size(), 1u);
    const MeshUVSet& set = m.uvSets[0];
    // Every face its own four uvs, and each face's uvs in one tile: the
    // tweaks moved whole pieces, which only holds when the cuts numbered
    // the new uvs as Maya did.
    EXPECT_EQ(set.u.size(), 16u);
    std::set<int32_t> seen;
    std::set<int> tiles;
    for (size_t f = 0; f < 4; ++f) {
        double mu = 0, mv = 0;
        for (uint32_t k = m.loopStart[f]; k < m.loopStart[f + 1]; ++k) {
            const int32_t id = set.faceVertexUV[k];
            ASSERT_GE(id, 0);
            EXPECT_TRUE(seen.insert(id).second) << "uv " << id << " shared by two faces";
            mu += set.u[size_t(id)] / 4.0, mv += set.v[size_t(id)] / 4.0;
        }
        const double tu = std::floor(mu), tv = std::floor(mv);
        for (uint32_t k = m.loopStart[f]; k < m.loopStart[f + 1]; ++k) {
            const size_t id = size_t(set.faceVertexUV[k]);
            EXPECT_TRUE(set.u[id] > tu - 1e-4 && set.u[id] < tu + 1 + 1e-4 && set.v[id] > tv - 1e-4 &&
                        set.v[id] < tv + 1 + 1e-4)
                << "face " << f << " uv " << id << " leaves tile " << tu << "," << tv;
        }
        tiles.insert(int(tu) * 10 + int(tv));
    }
    EXPECT_EQ(tiles.size(), 3u) << "the lower-right and upper-left pieces move to tiles of their own";
}
