// The nodes every Maya scene has before a file adds its own, with the values
// Maya gives them. Files refer to them with `select -ne :name` or recreate
// them with `createNode -s`, which reuses them.
#include "db/SceneBuilder.h"

namespace mayahost {

namespace {

struct DefaultCamera {
    const char* transform;
    const char* shape;
    double t[3];
    double r[3];   // degrees
    bool ortho;
    double coi;
    bool visible;
};

}  // namespace

Scene::Scene() {
    createDefaultNodes(*this);
}

void createDefaultNodes(Scene& scene) {
    SceneBuilder b(scene, "");
    scene.world_ = scene.createNode(TypeRegistry::builtin().find("world"), "world", nullptr);
    // The DAG root has no name in the scene's namespace: a file may create a
    // transform called "world" and parent nodes under "|world".
    scene.unindexName(scene.world_);

    const DefaultCamera cameras[] = {
        {"persp", "perspShape", {28, 21, 28}, {-27.938352729602379, 44.999999999999972, 0}, false, 44.82186966202994, true},
        {"top", "topShape", {0, 100.1, 0}, {-90, 0, 0}, true, 100.1, false},
        {"front", "frontShape", {0, 0, 100.1}, {0, 0, 0}, true, 100.1, false},
        {"side", "sideShape", {100.1, 0, 0}, {0, 90, 0}, true, 100.1, false},
    };
    for (const DefaultCamera& c : cameras) {
        Node* xf = b.create("transform", c.transform, scene.world_);
        b.set(*xf, "t", {c.t[0], c.t[1], c.t[2]});
        b.set(*xf, "r", {c.r[0], c.r[1], c.r[2]});
        if (!c.visible) b.set(*xf, "v", {0});
        Node* shape = b.create("camera", c.shape, xf);
        b.set(*shape, "v", {0});
        b.set(*shape, "coi", {c.coi});
        if (c.ortho) {
            b.set(*shape, "o", {1});
            b.set(*shape, "ow", {30});
            b.set(*shape, "rnd", {0});
        }
        b.setString(*shape, "imn", c.transform);
        b.setString(*shape, "den", std::string(c.transform) + "_depth");
        b.setString(*shape, "man", std::string(c.transform) + "_mask");
    }

    const std::pair<const char*, const char*> plain[] = {
        {"time", "time1"},
        {"sequenceManager", "sequenceManager1"},
        {"partition", "renderPartition"},
        {"renderGlobalsList", "renderGlobalsList1"},
        {"defaultLightList", "defaultLightList1"},
        {"defaultShaderList", "defaultShaderList1"},
        {"postProcessList", "postProcessList1"},
        {"defaultRenderUtilityList", "defaultRenderUtilityList1"},
        {"defaultRenderingList", "defaultRenderingList1"},
        {"lightList", "lightList1"},
        {"defaultTextureList", "defaultTextureList1"},
        {"lambert", "lambert1"},
        {"particleCloud", "particleCloud1"},
        {"standardSurface", "standardSurface1"},
        {"openPBRSurface", "openPBR_shader1"},
        {"shadingEngine", "initialShadingGroup"},
        {"shadingEngine", "initialParticleSE"},
        {"materialInfo", "initialMaterialInfo"},
        {"objectSet", "defaultLightSet"},
        {"objectSet", "defaultObjectSet"},
        {"partition", "characterPartition"},
        {"renderGlobals", "defaultRenderGlobals"},
        {"renderQuality", "defaultRenderQuality"},
        {"resolution", "defaultResolution"},
        {"hardwareRenderGlobals", "hardwareRenderGlobals"},
        {"hardwareRenderingGlobals", "hardwareRenderingGlobals"},
        {"colorManagementGlobals", "defaultColorMgtGlobals"},
        {"ikSystem", "ikSystem"},
        {"hyperGraphInfo", "hyperGraphInfo"},
        {"hyperGraphLayout", "hyperGraphLayout"},
        {"globalCacheControl", "globalCacheControl"},
        {"dynController", "dynController1"},
        {"strokeGlobals", "strokeGlobals"},
        {"shaderGlow", "shaderGlow1"},
        {"lightLinker", "lightLinker1"},
        {"displayLayerManager", "layerManager"},
        {"displayLayer", "defaultLayer"},
        {"renderLayerManager", "renderLayerManager"},
        {"renderLayer", "defaultRenderLayer"},
    };
    for (auto [type, name] : plain) b.create(type, name, nullptr);

    Node* time1 = scene.findNode("time1");
    b.set(*time1, "o", {1});
    Node* initial = scene.findNode("initialShadingGroup");
    b.set(*initial, "ro", {1});
    Node* particleSE = scene.findNode("initialParticleSE");
    b.set(*particleSE, "ro", {1});
    b.connect("lambert1.oc", "initialShadingGroup.ss");
    b.connect("initialShadingGroup.pa", "renderPartition.st", true);
    b.connect("initialParticleSE.pa", "renderPartition.st", true);
    b.connect("lambert1.msg", "defaultShaderList1.s", true);
    b.connect("particleCloud1.msg", "defaultShaderList1.s", true);
    b.connect("initialShadingGroup.msg", "initialMaterialInfo.sg");
    b.connect("lambert1.msg", "initialMaterialInfo.m");
    b.connect("layerManager.dli[0]", "defaultLayer.id");
    b.connect("renderLayerManager.rlmi[0]", "defaultRenderLayer.rlid");

    scene.defaultCount_ = scene.serial_;
    scene.warnings_.clear();
}

}  // namespace mayahost
