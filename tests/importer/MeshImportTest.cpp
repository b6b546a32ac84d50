// Meshes through the real importer: what reaches the scene file, read back.

#include "tests/importer/DalText.h"
#include "tests/importer/ImporterRun.h"

#include "../geometry/obj_reference.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using importer_test::Sandbox;
namespace fs = std::filesystem;

const fs::path kCorpus = GLOWBOX_CORPUS_DIR;

// The numbers of an array statement `"key" [ ... ]` of a block.
template <class T>
std::vector<T> arrayOf(const daltext::Block& block, const std::string& key) {
  std::vector<T> values;
  if (const auto* line = block.line(key))
    for (const std::string& word : *line)
      if (word != key && word != "[" && word != "]") values.push_back(static_cast<T>(std::strtod(word.c_str(), nullptr)));
  return values;
}

// `#define object "name" { geometry "triangles" { ... } }` of the document.
const daltext::Block* triangleDefinition(const daltext::Block& document, const std::string& name) {
  for (const daltext::Block& b : document.children)
    if (b.header.size() == 3 && b.header[0] == "#define" && b.header[1] == "object" && b.header[2] == name)
      return b.child("geometry", "triangles");
  return nullptr;
}

TEST(MeshImport, TheHelmetIsMayasOwnExportTriangleForTriangle) {
  const fs::path scene = kCorpus / "maya2gltf" / "DamagedHelmet2024.ma";
  const fs::path reference = kCorpus / "reference" / "DamagedHelmet2024.maya-export.obj";
  if (!fs::exists(scene) || !fs::exists(reference)) GTEST_SKIP() << "corpus not found at " << kCorpus;
  Sandbox box;
  const fs::path output = box.root() / "helmet.dal";
  const testproc::Outcome run = box.runImporter(importer_test::settingsFor(scene.string(), output.string()));
  ASSERT_EQ(run.status, 0) << box.log();
  const std::string text = testproc::slurp(output);
  const daltext::Block document = daltext::parse(text);

  const daltext::Block* helmet = triangleDefinition(document, "helmet:helmetShape");
  ASSERT_TRUE(helmet) << "no triangle object for the helmet";
  const auto triangles = arrayOf<int>(*helmet, "triangles");
  ASSERT_EQ(triangles.size(), 3u * 15452);
  const objref::ObjMesh obj = objref::readObj(testproc::slurp(reference));
  EXPECT_EQ(objref::compareWithExport(arrayOf<float>(*helmet, "vertices"), arrayOf<float>(*helmet, "uv_tex"),
                                      arrayOf<float>(*helmet, "normals"), triangles, obj, 1e-5f),
            "");
  // Defined once, placed once, by reference.
  size_t definitions = 0, placements = 0;
  for (size_t at = text.find("#define object "); at != std::string::npos; at = text.find("#define object ", at + 1))
    ++definitions;
  for (size_t at = text.find("object \"helmet:helmetShape\""); at != std::string::npos;
       at = text.find("object \"helmet:helmetShape\"", at + 1))
    ++placements;
  EXPECT_EQ(definitions, 1u);
  EXPECT_EQ(placements, 2u);  // the definition and the one placement
}

}  // namespace
