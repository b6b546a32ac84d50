#include "eval/AnimationEval.h"

#include "db/SceneBuilder.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

namespace mayahost {

namespace {

// Values the file writes in its own units; the database keeps internal ones.
double angleToRadians(std::string_view unit) {
    if (unit == "radian" || unit == "rad") return 1.0;
    if (unit == "angMin" || unit == "min") return std::numbers::pi / (180.0 * 60.0);
    if (unit == "angSec" || unit == "sec") return std::numbers::pi / (180.0 * 3600.0);
    return std::numbers::pi / 180.0;
}

bool isTimeDriven(const Node& curve) {
    const MFn::Type fn = curve.type().apiType();
    return fn == MFn::kAnimCurveTimeToDistance || fn == MFn::kAnimCurveTimeToAngular ||
           fn == MFn::kAnimCurveTimeToUnitless || fn == MFn::kAnimCurveTimeToTime;
}

double valueScale(const Scene& scene, const Node& curve) {
    const MFn::Type fn = curve.type().apiType();
    if (fn == MFn::kAnimCurveTimeToAngular || fn == MFn::kAnimCurveUnitlessToAngular)
        return angleToRadians(scene.angleUnit());
    if (fn == MFn::kAnimCurveTimeToDistance || fn == MFn::kAnimCurveUnitlessToDistance) {
        if (double f = centimetresPerLinearUnit(scene.linearUnit()); f > 0.0) return f;
    }
    return 1.0;
}

// Reads `attr[index]` (a multi element) into `out`; false when the element is unset.
bool readElement(const Scene& scene, const Node& node, const std::string& attr, int64_t index, double* out,
                 size_t count) {
    PlugPath plug;
    if (!scene.resolvePlug(node, attr + "[" + std::to_string(index) + "]", plug)) return false;
    const PlugReading reading = scene.read(node, plug);
    if (!reading.found || reading.numbers.size() < count) return false;
    std::copy_n(reading.numbers.begin(), count, out);
    return true;
}

std::vector<int64_t> indicesOf(const Scene& scene, const Node& node, std::string_view attr) {
    PlugPath multi;
    if (!scene.resolvePlug(node, attr, multi)) return {};
    return node.logicalIndices(multi);
}

bool isPlug(const PlugPath& plug, std::string_view longName) {
    return plug.steps.size() == 1 && plug.attr() && plug.attr()->longName == longName;
}

double curveInput(const Scene& scene, const Node& curve) {
    PlugPath input;
    const bool hasInput = scene.resolvePlug(curve, "input", input);
    // A time curve without an input connection follows the scene's time.
    if (isTimeDriven(curve) && (!hasInput || !curve.inputOf(input.key()))) return sceneCurrentTime(scene);
    double value = 0.0;
    if (hasInput) scene.readNumbers(curve, input, &value, 1);
    return value;
}

}  // namespace

double sceneCurrentTime(const Scene& scene) {
    const Node* time = scene.findNode("time1");
    if (!time) return 1.0;
    const double t = scene.readDouble(*time, "outTime", 1.0);
    return std::isfinite(t) ? t : 1.0;
}

AnimCurve animCurveOf(const Scene& scene, const Node& node) {
    AnimCurveDesc desc;
    const double scale = valueScale(scene, node);
    for (int64_t index : indicesOf(scene, node, "ktv")) {
        double tv[2];
        if (!readElement(scene, node, "ktv", index, tv, 2)) continue;
        AnimKey key;
        key.input = tv[0];
        key.value = tv[1] * scale;
        double number = 0.0;
        if (readElement(scene, node, "kit", index, &number, 1)) key.inType = tangentTypeFromCode(static_cast<int>(number));
        if (readElement(scene, node, "kot", index, &number, 1)) key.outType = tangentTypeFromCode(static_cast<int>(number));
        double x = 0.0, y = 0.0;
        if (readElement(scene, node, "kix", index, &x, 1) && readElement(scene, node, "kiy", index, &y, 1)) {
            key.hasInTangent = true;
            key.inX = x;
            key.inY = y * scale;
        }
        if (readElement(scene, node, "kox", index, &x, 1) && readElement(scene, node, "koy", index, &y, 1)) {
            key.hasOutTangent = true;
            key.outX = x;
            key.outY = y * scale;
        }
        desc.keys.push_back(key);
    }
    desc.weighted = scene.readDouble(node, "weightedTangents", 0.0) != 0.0;
    desc.tangentType = tangentTypeFromCode(static_cast<int>(scene.readDouble(node, "tangentType", 0.0)));
    desc.preInfinity = infinityTypeFromCode(static_cast<int>(scene.readDouble(node, "preInfinity", 0.0)));
    desc.postInfinity = infinityTypeFromCode(static_cast<int>(scene.readDouble(node, "postInfinity", 0.0)));
    if (isTimeDriven(node)) {
        const double fps = timeUnitsPerSecond(scene.timeUnit());
        desc.inputUnitsPerTangentX = fps > 0.0 ? fps : 24.0;
    } else {
        desc.inputUnitsPerTangentX = 1.0;
    }
    return AnimCurve(std::move(desc));
}

void installAnimationEvaluators(Scene& scene) {
    scene.registerEvaluator("animCurve", [](const Scene& s, const Node& node, const PlugPath& plug, PlugReading& out) {
        if (!isPlug(plug, "output")) return false;
        const double value = animCurveOf(s, node).evaluate(curveInput(s, node));
        out.numbers.assign(1, value);
        out.found = true;
        return true;
    });
    scene.registerEvaluator("unitConversion", [](const Scene& s, const Node& node, const PlugPath& plug,
                                                 PlugReading& out) {
        if (!isPlug(plug, "output")) return false;
        PlugPath input;
        if (!s.resolvePlug(node, "input", input)) return false;
        PlugReading in = s.read(node, input);
        const double factor = s.readDouble(node, "conversionFactor", 1.0);
        out.numbers.clear();
        for (double v : in.numbers) out.numbers.push_back(v * factor);
        // A computed value, even from an unset input.
        out.found = !out.numbers.empty();
        return true;
    });
}

namespace {

bool unevaluatedSource(const Scene& scene, const Node& source, const PlugPath& sourcePlug) {
    const AttrSpec* attr = sourcePlug.attr();
    // An attribute of a known type, the node's own or one added by addAttr,
    // holds a value (its default when the file sets none); only attributes of
    // unknown schemas can be outputs the database does not compute.
    if (!attr || attr->type != AttrType::Generic) return false;
    if (scene.evaluatorFor(source.type())) return false;
    return !scene.read(source, sourcePlug).found;
}

// Values a reader of the scene takes at face value: numbers, flags, names,
// matrices. Geometry inputs are the mesh evaluation's concern and report
// themselves; messages and attributes the database does not know carry no
// value worth a warning.
bool holdsPlainValue(const PlugPath& plug) {
    const AttrSpec* attr = plug.attr();
    if (!attr) return false;
    switch (attr->type) {
    case AttrType::Generic:
    case AttrType::Message:
    case AttrType::Data: return false;
    default: return true;
    }
}

}  // namespace

bool drivenByUnevaluatedNode(const Scene& scene, const Node& node, const PlugPath& plug) {
    const PlugRef source = scene.sourceOf(node, plug);
    return source && unevaluatedSource(scene, *source.node, source.path);
}

void reportUnevaluatedDrivers(Scene& scene) {
    std::vector<std::string> reported;
    std::vector<std::string> messages;
    for (const Connection& c : scene.connections()) {
        if (!c.live || !c.source || !c.destination || !c.destination->isDag()) continue;
        if (!holdsPlainValue(c.destinationPlug)) continue;
        const std::string& type = c.source->typeName();
        if (std::find(reported.begin(), reported.end(), type) != reported.end()) continue;
        if (!unevaluatedSource(scene, *c.source, c.sourcePlug)) continue;
        reported.push_back(type);
        messages.push_back(type + " nodes are not evaluated: " + c.destination->name() + "." +
                           c.destinationPlug.key() + " keeps the value stored in the file");
    }
    for (std::string& m : messages) scene.warn(scene.fileName(), 0, std::move(m));
}

}  // namespace mayahost
