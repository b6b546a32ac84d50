#include "eval/TextureEval.h"

namespace mayahost {

namespace {

void readTriple(const Scene& scene, const Node& node, const char* attr, double* out) {
    PlugPath p;
    if (scene.resolvePlug(node, attr, p)) scene.readNumbers(node, p, out, 3);
}

bool textureOutColor(const Scene& scene, const Node& node, const PlugPath& plug, PlugReading& out) {
    const AttrSpec* attr = plug.attr();
    if (!attr) return false;
    const AttrSpec* color = attr->parent && attr->parent->tuple ? attr->parent : attr;
    if (color->longName != "outColor" || color->dynamic) return false;
    double base[3] = {0.5, 0.5, 0.5}, gain[3] = {1, 1, 1}, offset[3] = {0, 0, 0};
    readTriple(scene, node, "defaultColor", base);
    readTriple(scene, node, "colorGain", gain);
    readTriple(scene, node, "colorOffset", offset);
    double rgb[3];
    for (int k = 0; k < 3; ++k) rgb[k] = base[k] * gain[k] + offset[k];
    if (color == attr) out.numbers.assign(rgb, rgb + 3);
    else out.numbers.assign(1, rgb[attr->childIndex < 3 ? attr->childIndex : 0]);
    out.found = true;
    return true;
}

}  // namespace

void installTextureEvaluators(Scene& scene) {
    scene.registerEvaluator("texture2d", textureOutColor);
}

}  // namespace mayahost
