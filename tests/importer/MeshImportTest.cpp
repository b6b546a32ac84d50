// Meshes through the real importer: what reaches the scene file, read back.

#include "tests/importer/DalText.h"
#include "tests/importer/ImporterRun.h"

#include "tests/geometry/ObjReference.h"

namespace {

using importer_test::Sandbox;
namespace fs = std::filesystem;

const fs::path kCorpus = GLOWBOX_CORPUS_DIR;

// The numbers of an array statement `"key" [ ... ]` of a block.
template <class T>
std::vector<T> arrayOf(const daltext::Block& block, const std::string& key) {
  const std::vector<double> values = block.numbers(key);
  return std::vector<T>(values.begin(), values.end());
}

TEST(MeshImport, TheHelmetIsMayasOwnExportTriangleForTriangle) {
  const fs::path scene = kCorpus / "maya2gltf" / "DamagedHelmet2024.ma";
  const fs::path reference = kCorpus / "reference" / "DamagedHelmet2024.maya-export.obj";
  if (!fs::exists(scene) || !fs::exists(reference)) GTEST_SKIP() << "corpus not found at " << kCorpus;
  Sandbox box;
  const fs::path output = box.root() / "helmet.dal";
  ASSERT_EQ(box.runImporter(importer_test::settingsFor(scene.string(), output.string())).status, 0) << box.log();
  const std::string text = testproc::slurp(output);
  const daltext::Block document = daltext::parse(text);

  const daltext::Block* object = daltext::definition(document, "object", "helmet:helmetShape");
  const daltext::Block* helmet = object ? object->child("geometry", "triangles") : nullptr;
  ASSERT_TRUE(helmet) << "no triangle object for the helmet";
  const auto triangles = arrayOf<int>(*helmet, "triangles");
  ASSERT_EQ(triangles.size(), 3u * 15452);
  const objref::ObjMesh obj = objref::readObj(testproc::slurp(reference));
  EXPECT_EQ(objref::compareWithExport(arrayOf<float>(*helmet, "vertices"), arrayOf<float>(*helmet, "uv_tex"),
                                      arrayOf<float>(*helmet, "normals"), triangles, obj, 1e-5f),
            "");
  // Defined once, placed once, by reference: the definition and the one placement name it.
  EXPECT_EQ(importer_test::countOf(text, "#define object "), 1u);
  EXPECT_EQ(importer_test::countOf(text, "object \"helmet:helmetShape\""), 2u);
}

}  // namespace
