// A whole small scene through the file factory: header, banner, module,
// shared material and mesh definitions, then the tree that refers to them.

#include "SceneOutput.h"

#include "sceneapi/LightFactory.h"
#include "sceneapi/model/LightModule.h"
#include "sceneapi/model/Material.h"
#include "sceneapi/model/OrbGroup.h"
#include "sceneapi/model/TriangleObject.h"
#include "sceneapi/orbSceneapi_oo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(SceneFile, OneSharedCubeUnderItsTransform) {
    const fs::path path = fs::temp_directory_path() / "glowbox-model-scene.dal";
    {
        orb::LightFileFactory factory(path.string());
        orb::orbSceneapi_oo scene(&factory);

        orb::DefaultRTModule module;
        module.setUpVector(1);
        module.setMeterScale(100);
        module.setAdjustCamera(false);
        module.setCenterGeometry(false);
        module.setSnapToGround(false);
        module.setKeepOriginal(true);
        scene.write(&module);

        auto lambert = std::make_shared<orb::OldSCeneapiLightMultiMaterial>("lambert1");
        lambert->setDiffuse(0.4f, 0.4f, 0.4f);
        lambert->writeInstanceSource(scene);

        auto shape = std::make_shared<orb::TriangleObject>("pCubeShape1");
        shape->addVertex(0, 0, 0);
        shape->addVertex(1, 0, 0);
        shape->addVertex(0, 1, 0);
        shape->addTriangle(0, 2, 1);
        shape->setMaterial(lambert);
        shape->writeInstanceSource(scene);

        auto root = orb::OrbGroup::createRoot("scene");
        auto cube = root->createGroup("pCube1");
        const double moved[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 5, 0, 1};
        cube->setTransform(moved);
        cube->addNode(shape);
        scene.write(root.get());
        factory.close();
    }
    const std::string expected =
        "//---vantor:dal:7---\n"
        "//---import:dal:1---\n"
        "//---id:1---\n"
        "// This is a Glowbox scene file\n\n" +
        modeltest::kPrelude +
        "load \"orbrtopt.so\" {\n"
        "\"import_mode\" on,\n"
        "\"import_merge_groups\" on,\n"
        "\"import_merge_objects\" on,\n"
        "\"import_up_vector\" 1,\n"
        "\"meter_scale\" 100,\n"
        "\"import_keep_original\" on,\n"
        "\"import_center_geometry\" off,\n"
        "\"import_snap_to_ground\" off,\n"
        "\"import_adjust_camera\" off,\n"
        "\"import_adjust_environment\" on,\n"
        "\"ext\" on,\n"
        "}\n"
        "\n#define material \"lambert1\" {\n"
        "surface \"orb_diffuse\" {\n"
        "\"diffuse\" 0.4 0.4 0.4,\n"
        "}\n"
        "}\n"
        "#define object \"pCubeShape1\" {\n"
        "id 1\n"
        "geometry \"triangles\" {\n" +
        modeltest::arrayParam("vertices", modeltest::floatBlock('c', {0, 0, 0, 1, 0, 0, 0, 1, 0})) +
        modeltest::arrayParam("triangles", modeltest::intBlock({0, 2, 1})) +
        "}\n"
        "}\n"
        "\ngroup \"scene\" {\n"
        "flags 65536\n"
        "\ngroup \"pCube1\" {\n"
        "transform 1 0 0 0 0 1 0 0 0 0 1 0 0 5 0 1\n"
        "object \"pCubeShape1\" {\n"
        "geometry \"instance\" {\n"
        "\"id\" 1,\n"
        "}\n"
        "material \"lambert1\"\n"
        "}\n"
        "}\n"
        "}\n";
    EXPECT_EQ(readFile(path), expected);
    fs::remove(path);
}

} // namespace
