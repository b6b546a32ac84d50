#include "db/NodeType.h"

#include <stdexcept>

namespace mayahost {

NodeType::NodeType(std::string name, const NodeType* parent, MFn::Type fn)
    : name_(std::move(name)), parent_(parent), fn_(fn) {
    if (parent_) {
        dag_ = parent_->dag_;
        topLevel_ = parent_->topLevel_;
        byName_ = parent_->byName_;
    }
}

bool NodeType::hasFn(MFn::Type type) const {
    if (type == MFn::kBase || type == MFn::kNamedObject) return true;
    for (const NodeType* t = this; t; t = t->parent_) {
        if (t->fn_ == type) return true;
        for (MFn::Type extra : t->extraFns_)
            if (extra == type) return true;
    }
    return false;
}

bool NodeType::isA(std::string_view typeName) const {
    for (const NodeType* t = this; t; t = t->parent_)
        if (t->name_ == typeName) return true;
    return false;
}

const AttrSpec* NodeType::findAttr(std::string_view name) const {
    auto it = byName_.find(std::string(name));
    return it == byName_.end() ? nullptr : it->second;
}

void NodeType::index(const AttrSpec* attrSpec) {
    byName_[attrSpec->longName] = attrSpec;
    byName_[attrSpec->shortName] = attrSpec;
}

AttrSpec& NodeType::add(std::string longName, std::string shortName, AttrType type, double def) {
    AttrSpec& attrSpec = own_.emplace_back();
    attrSpec.longName = std::move(longName);
    attrSpec.shortName = std::move(shortName);
    attrSpec.type = type;
    attrSpec.defaults[0] = def;
    topLevel_.push_back(&attrSpec);
    index(&attrSpec);
    return attrSpec;
}

AttrSpec& NodeType::addChild(AttrSpec& parent, std::string longName, std::string shortName, AttrType type,
                             double def) {
    AttrSpec& attrSpec = own_.emplace_back();
    attrSpec.longName = std::move(longName);
    attrSpec.shortName = std::move(shortName);
    attrSpec.type = type;
    attrSpec.defaults[0] = def;
    attrSpec.parent = &parent;
    attrSpec.childIndex = static_cast<uint8_t>(parent.children.size());
    parent.children.push_back(&attrSpec);
    index(&attrSpec);
    return attrSpec;
}

AttrSpec& NodeType::addTuple(std::string longName, std::string shortName, AttrType childType,
                             std::initializer_list<std::pair<const char*, const char*>> children,
                             std::initializer_list<double> defaults) {
    AttrSpec& attrSpec = add(std::move(longName), std::move(shortName), AttrType::Compound);
    attrSpec.tuple = static_cast<uint8_t>(children.size());
    size_t k = 0;
    for (auto [l, s] : children) {
        double def = k < defaults.size() ? defaults.begin()[k] : 0.0;
        addChild(attrSpec, l, s, childType, def);
        attrSpec.defaults[k] = def;
        ++k;
    }
    return attrSpec;
}

// ------------------------------------------------------------------ registry

const TypeRegistry& TypeRegistry::builtin() {
    static const TypeRegistry registry;
    return registry;
}

const NodeType* TypeRegistry::find(std::string_view name) const {
    auto it = byName_.find(std::string(name));
    return it == byName_.end() ? nullptr : it->second;
}

NodeType& TypeRegistry::define(const char* name, const char* parent, MFn::Type fn) {
    const NodeType* base = nullptr;
    if (parent) {
        base = find(parent);
        if (!base) throw std::logic_error(std::string("type registry: unknown parent ") + parent);
    }
    NodeType& type = types_.emplace_back(name, base, fn);
    order_.push_back(&type);
    byName_[name] = &type;
    return type;
}

TypeRegistry::TypeRegistry() {
    defineBase();
    defineDag();
    defineShading();
    defineOthers();
}

namespace {
using A = AttrType;
constexpr std::initializer_list<double> kZero3 = {0, 0, 0};
constexpr std::initializer_list<double> kOne3 = {1, 1, 1};
}  // namespace

void TypeRegistry::defineBase() {
    NodeType& dep = define("dependNode", nullptr, MFn::kDependencyNode);
    dep.add("message", "msg", A::Message);
    dep.add("caching", "cch", A::Bool);
    dep.add("isHistoricallyInteresting", "ihi", A::Int, 2);
    dep.add("nodeState", "nds", A::Enum);
    dep.add("binMembership", "bnm", A::Message);

    NodeType& dag = define("dagNode", "dependNode", MFn::kDagNode);
    dag.setDag(true);
    dag.add("visibility", "v", A::Bool, 1);
    dag.add("template", "tmp", A::Bool);
    dag.add("lodVisibility", "lodv", A::Bool, 1);
    dag.add("intermediateObject", "io", A::Bool);
    dag.add("ghosting", "gh", A::Bool);
    AttrSpec& iog = dag.add("instObjGroups", "iog", A::Compound);
    iog.multi = true;
    AttrSpec& og = dag.addChild(iog, "objectGroups", "og", A::Compound);
    og.multi = true;
    dag.addChild(og, "objectGrpCompList", "gcl", A::Data);
    dag.addChild(og, "objectGroupId", "gid", A::Int);
    dag.addChild(og, "objectGrpColor", "gco", A::Int);
    dag.add("worldMatrix", "wm", A::Matrix).multi = true;
    dag.add("worldInverseMatrix", "wim", A::Matrix).multi = true;
    dag.add("parentMatrix", "pm", A::Matrix).multi = true;
    dag.add("parentInverseMatrix", "pim", A::Matrix).multi = true;
    AttrSpec& dov = dag.add("drawOverride", "do", A::Compound);
    dag.addChild(dov, "overrideDisplayType", "ovdt", A::Enum);
    dag.addChild(dov, "overrideLevelOfDetail", "ovlod", A::Enum);
    dag.addChild(dov, "overrideShading", "ovs", A::Bool, 1);
    dag.addChild(dov, "overrideTexturing", "ovt", A::Bool, 1);
    dag.addChild(dov, "overridePlayback", "ovp", A::Bool, 1);
    dag.addChild(dov, "overrideEnabled", "ove", A::Bool);
    dag.addChild(dov, "overrideVisibility", "ovv", A::Bool, 1);
    dag.addChild(dov, "overrideColor", "ovc", A::Int);
    AttrSpec& ri = dag.add("renderInfo", "ri", A::Compound);
    dag.addChild(ri, "identification", "rlid", A::Int);
    dag.addChild(ri, "layerRenderable", "rndr", A::Bool, 1);
    dag.addChild(ri, "layerOverrideColor", "lovc", A::Int);

    define("world", "dagNode", MFn::kWorld);
}

void TypeRegistry::defineDag() {
    NodeType& xf = define("transform", "dagNode", MFn::kTransform);
    xf.addTuple("translate", "t", A::Distance, {{"translateX", "tx"}, {"translateY", "ty"}, {"translateZ", "tz"}}, kZero3);
    xf.addTuple("rotate", "r", A::Angle, {{"rotateX", "rx"}, {"rotateY", "ry"}, {"rotateZ", "rz"}}, kZero3);
    xf.add("rotateOrder", "ro", A::Enum);
    xf.addTuple("scale", "s", A::Double, {{"scaleX", "sx"}, {"scaleY", "sy"}, {"scaleZ", "sz"}}, kOne3);
    xf.addTuple("shear", "sh", A::Double, {{"shearXY", "shxy"}, {"shearXZ", "shxz"}, {"shearYZ", "shyz"}}, kZero3);
    xf.addTuple("rotatePivot", "rp", A::Distance, {{"rotatePivotX", "rpx"}, {"rotatePivotY", "rpy"}, {"rotatePivotZ", "rpz"}}, kZero3);
    xf.addTuple("rotatePivotTranslate", "rpt", A::Distance,
                {{"rotatePivotTranslateX", "rptx"}, {"rotatePivotTranslateY", "rpty"}, {"rotatePivotTranslateZ", "rptz"}}, kZero3);
    xf.addTuple("scalePivot", "sp", A::Distance, {{"scalePivotX", "spx"}, {"scalePivotY", "spy"}, {"scalePivotZ", "spz"}}, kZero3);
    xf.addTuple("scalePivotTranslate", "spt", A::Distance,
                {{"scalePivotTranslateX", "sptx"}, {"scalePivotTranslateY", "spty"}, {"scalePivotTranslateZ", "sptz"}}, kZero3);
    xf.addTuple("rotateAxis", "ra", A::Angle, {{"rotateAxisX", "rax"}, {"rotateAxisY", "ray"}, {"rotateAxisZ", "raz"}}, kZero3);
    xf.add("inheritsTransform", "it", A::Bool, 1);
    xf.add("displayHandle", "dh", A::Bool);
    xf.add("displayScalePivot", "dsp", A::Bool);
    xf.add("displayRotatePivot", "drp", A::Bool);
    xf.add("displayLocalAxis", "dla", A::Bool);
    xf.add("showManipDefault", "smd", A::Enum);
    xf.add("xformMatrix", "xm", A::Matrix);
    xf.add("matrix", "m", A::Matrix);
    xf.add("inverseMatrix", "im", A::Matrix);
    xf.add("offsetParentMatrix", "opm", A::Matrix);
    xf.add("minTransLimit", "mntl", A::Generic);
    xf.add("maxTransLimit", "mxtl", A::Generic);

    NodeType& joint = define("joint", "transform", MFn::kJoint);
    joint.addTuple("jointOrient", "jo", A::Angle, {{"jointOrientX", "jox"}, {"jointOrientY", "joy"}, {"jointOrientZ", "joz"}}, kZero3);
    joint.add("segmentScaleCompensate", "ssc", A::Bool, 1);
    joint.addTuple("inverseScale", "is", A::Double, {{"inverseScaleX", "isx"}, {"inverseScaleY", "isy"}, {"inverseScaleZ", "isz"}}, kOne3);
    joint.addTuple("preferredAngle", "pa", A::Angle, {{"preferredAngleX", "pax"}, {"preferredAngleY", "pay"}, {"preferredAngleZ", "paz"}}, kZero3);
    joint.addTuple("stiffness", "st", A::Double, {{"stiffnessX", "stx"}, {"stiffnessY", "sty"}, {"stiffnessZ", "stz"}}, kZero3);
    joint.add("radius", "radi", A::Double, 1);
    joint.add("drawStyle", "ds", A::Enum);
    joint.add("jointType", "jt", A::String);
    joint.add("bindPose", "bps", A::Matrix);
    joint.add("side", "sd", A::Enum);
    joint.add("type", "typ", A::Enum);
    joint.add("drawLabel", "dl", A::Bool);
    joint.add("otherType", "otp", A::String);

    for (const char* name : {"ikEffector", "ikHandle", "lodGroup"}) define(name, "transform", MFn::kTransform);
    define("place3dTexture", "transform", MFn::kPlace3dTexture);
    define("constraint", "transform", MFn::kConstraint);
    define("aimConstraint", "constraint", MFn::kAimConstraint);
    define("pointConstraint", "constraint", MFn::kPointConstraint);
    define("orientConstraint", "constraint", MFn::kOrientConstraint);
    define("parentConstraint", "constraint", MFn::kParentConstraint);
    define("scaleConstraint", "constraint", MFn::kScaleConstraint);
    define("poleVectorConstraint", "pointConstraint", MFn::kPoleVectorConstraint);
    define("lookAt", "aimConstraint", MFn::kLookAt);
    define("dagContainer", "transform", MFn::kDagContainer);
    define("assembly", "transform", MFn::kAssembly);

    NodeType& shape = define("shape", "dagNode", MFn::kShape);
    shape.add("renderLayerInfo", "rlio", A::Generic);

    NodeType& cam = define("camera", "shape", MFn::kCamera);
    cam.add("focalLength", "fl", A::Double, 35);
    cam.add("horizontalFilmAperture", "hfa", A::Double, 1.41732);
    cam.add("verticalFilmAperture", "vfa", A::Double, 0.94488);
    cam.add("horizontalFilmOffset", "hfo", A::Double);
    cam.add("verticalFilmOffset", "vfo", A::Double);
    cam.add("lensSqueezeRatio", "lsr", A::Double, 1);
    cam.add("filmFit", "ff", A::Enum, 1);
    cam.add("filmFitOffset", "ffo", A::Double);
    cam.add("overscan", "ovr", A::Double, 1);
    cam.add("cameraScale", "cs", A::Double, 1);
    cam.add("preScale", "psc", A::Double, 1);
    cam.add("postScale", "ptsc", A::Double, 1);
    cam.add("nearClipPlane", "ncp", A::Distance, 0.1);
    cam.add("farClipPlane", "fcp", A::Distance, 10000);
    cam.add("orthographic", "o", A::Bool);
    cam.add("orthographicWidth", "ow", A::Distance, 10);
    cam.add("centerOfInterest", "coi", A::Distance, 5);
    cam.add("fStop", "fs", A::Double, 5.6);
    cam.add("focusDistance", "fd", A::Distance, 5);
    cam.add("shutterAngle", "sa", A::Angle, 144.0 * 3.14159265358979323846 / 180.0);
    cam.add("renderable", "rnd", A::Bool, 1);
    cam.add("imageName", "imn", A::String);
    cam.add("depthName", "den", A::String);
    cam.add("maskName", "man", A::String);
    cam.add("homeCommand", "hc", A::String);
    cam.add("locatorScale", "lls", A::Double, 1);
    cam.addTuple("tumblePivot", "tp", A::Distance, {{"tumblePivotX", "tpx"}, {"tumblePivotY", "tpy"}, {"tumblePivotZ", "tpz"}}, kZero3);
    cam.add("displayFilmGate", "dfg", A::Bool);
    cam.add("displayResolution", "dr", A::Bool);

    define("geometryShape", "shape", MFn::kGeometric);
    define("deformableShape", "geometryShape", MFn::kGeometric);
    NodeType& cp = define("controlPoint", "deformableShape", MFn::kGeometric);
    AttrSpec& cpts = cp.addTuple("controlPoints", "cp", A::Distance, {{"xValue", "xv"}, {"yValue", "yv"}, {"zValue", "zv"}}, kZero3);
    cpts.multi = true;
    AttrSpec& uvst = cp.add("uvSet", "uvst", A::Compound);
    uvst.multi = true;
    cp.addChild(uvst, "uvSetName", "uvsn", A::String);
    AttrSpec& uvsp = cp.addChild(uvst, "uvSetPoints", "uvsp", A::Compound);
    uvsp.multi = true;
    uvsp.tuple = 2;
    cp.addChild(uvsp, "uvSetPointsU", "uvspu", A::Float);
    cp.addChild(uvsp, "uvSetPointsV", "uvspv", A::Float);
    cp.addChild(uvst, "uvSetTweakLocation", "uvtw", A::Generic);
    cp.add("currentUVSet", "cuvs", A::String).defaultString = "map1";
    cp.add("displayColors", "dcol", A::Bool);
    cp.add("displayColorChannel", "dcc", A::String).defaultString = "Ambient+Diffuse";
    cp.add("currentColorSet", "ccls", A::String);
    AttrSpec& clst = cp.add("colorSet", "clst", A::Compound);
    clst.multi = true;
    cp.addChild(clst, "colorName", "clsn", A::String);
    cp.addChild(clst, "clamped", "clam", A::Bool);
    cp.addChild(clst, "representation", "rprt", A::Enum, 3);
    AttrSpec& clsp = cp.addChild(clst, "colorSetPoints", "clsp", A::Compound);
    clsp.multi = true;
    clsp.tuple = 4;
    cp.addChild(clsp, "colorSetPointsR", "clspr", A::Float);
    cp.addChild(clsp, "colorSetPointsG", "clspg", A::Float);
    cp.addChild(clsp, "colorSetPointsB", "clspb", A::Float);
    cp.addChild(clsp, "colorSetPointsA", "clspa", A::Float);
    AttrSpec& points = cp.addTuple("controlPoints", "cp", A::Distance, {{"xValue", "xv"}, {"yValue", "yv"}, {"zValue", "zv"}}, kZero3);
    points.multi = true;
    cp.add("tweak", "twk", A::Bool);
    cp.add("relativeTweak", "rtw", A::Bool, 1);

    define("surfaceShape", "controlPoint", MFn::kSurface);
    define("curveShape", "controlPoint", MFn::kCurve);

    NodeType& mesh = define("mesh", "surfaceShape", MFn::kMesh);
    mesh.add("inMesh", "i", A::Data);
    mesh.add("outMesh", "o", A::Data);
    mesh.add("cachedInMesh", "ci", A::Data);
    mesh.add("worldMesh", "w", A::Data).multi = true;
    AttrSpec& vrts = mesh.addTuple("vrts", "vt", A::Float, {{"vrtx", "vx"}, {"vrty", "vy"}, {"vrtz", "vz"}}, kZero3);
    vrts.multi = true;
    AttrSpec& edge = mesh.addTuple("edge", "ed", A::Int, {{"edg1", "e1"}, {"edg2", "e2"}, {"edgh", "eh"}}, kZero3);
    edge.multi = true;
    mesh.add("face", "fc", A::Data).multi = true;
    AttrSpec& normals = mesh.addTuple("normals", "n", A::Float, {{"normalx", "nx"}, {"normaly", "ny"}, {"normalz", "nz"}}, kZero3);
    normals.multi = true;
    AttrSpec& pnts = mesh.addTuple("pnts", "pt", A::Distance, {{"pntx", "px"}, {"pnty", "py"}, {"pntz", "pz"}}, kZero3);
    pnts.multi = true;
    mesh.addTuple("uvPivot", "pv", A::Double, {{"uvPivotX", "pvx"}, {"uvPivotY", "pvy"}}, {0, 0});
    mesh.add("vertexNormalMethod", "vnm", A::Enum, 3);
    mesh.add("displaySmoothMesh", "dsm", A::Enum);
    mesh.add("smoothLevel", "lev", A::Int, 2);
    mesh.add("holeFaceData", "hfd", A::Data);
    mesh.add("creaseData", "cd", A::Data);
    mesh.add("creaseVertexData", "cvd", A::Data);
    mesh.add("pinData", "pd", A::Data).multi = true;
    mesh.add("visibleInReflections", "vir", A::Bool);
    mesh.add("visibleInRefractions", "vif", A::Bool);
    mesh.add("castsShadows", "csh", A::Bool, 1);
    mesh.add("receiveShadows", "rcsh", A::Bool, 1);
    mesh.add("doubleSided", "ds", A::Bool, 1);
    mesh.add("opposite", "op", A::Bool);

    NodeType& ns = define("nurbsSurface", "surfaceShape", MFn::kNurbsSurface);
    ns.add("create", "cr", A::Data);
    ns.add("local", "l", A::Data);
    ns.add("worldSpace", "ws", A::Data).multi = true;
    ns.add("cached", "cc", A::Data);
    ns.add("trimFace", "tf", A::Data).multi = true;
    ns.add("divisionsU", "dvu", A::Int);
    ns.add("divisionsV", "dvv", A::Int);
    ns.add("curvePrecision", "cpr", A::Int, 4);
    ns.add("curvePrecisionShaded", "cps", A::Int, 1);
    ns.add("modeU", "mu", A::Enum, 3);
    ns.add("modeV", "mv", A::Enum, 3);
    ns.add("numberU", "nu", A::Int, 3);
    ns.add("numberV", "nv", A::Int, 3);
    ns.add("explicitTessellationAttributes", "eta", A::Bool, 1);
    ns.add("visibleInReflections", "vir", A::Bool);
    ns.add("visibleInRefractions", "vif", A::Bool);

    NodeType& nc = define("nurbsCurve", "curveShape", MFn::kNurbsCurve);
    nc.add("create", "cr", A::Data);
    nc.add("local", "l", A::Data);
    nc.add("worldSpace", "ws", A::Data).multi = true;
    nc.add("cached", "cc", A::Data);

    // A Bezier curve keeps its data as a NURBS curve.
    define("bezierCurve", "nurbsCurve", MFn::kNurbsCurve);
    define("subdiv", "surfaceShape", MFn::kSubdiv);
    define("locator", "shape", MFn::kLocator);
    define("lattice", "controlPoint", MFn::kLattice);
    define("baseLattice", "shape", MFn::kLattice);
    define("imagePlane", "shape", MFn::kImagePlane);
    define("light", "shape", MFn::kLight);
    define("renderLight", "light", MFn::kLight);
    define("ambientLight", "renderLight", MFn::kAmbientLight);
    define("nonAmbientLightShapeNode", "renderLight", MFn::kNonAmbientLight);
    define("nonExtendedLightShapeNode", "nonAmbientLightShapeNode", MFn::kNonExtendedLight);
    define("directionalLight", "nonExtendedLightShapeNode", MFn::kDirectionalLight);
    define("pointLight", "nonExtendedLightShapeNode", MFn::kPointLight);
    define("spotLight", "nonExtendedLightShapeNode", MFn::kSpotLight);
    define("areaLight", "nonExtendedLightShapeNode", MFn::kAreaLight);
    define("volumeLight", "nonExtendedLightShapeNode", MFn::kVolumeLight);
    define("pfxGeometry", "shape", MFn::kPfxGeometry);
    define("pfxHair", "pfxGeometry", MFn::kPfxHair);
    define("pfxToon", "pfxGeometry", MFn::kPfxToon);
    define("stroke", "pfxGeometry", MFn::kStroke);
    define("hairSystem", "shape", MFn::kHairSystem);
    define("follicle", "shape", MFn::kFollicle);
    define("particle", "shape", MFn::kParticle);
    define("nParticle", "particle", MFn::kNParticle);
}

void TypeRegistry::defineShading() {
    NodeType& sdn = define("shadingDependNode", "dependNode", MFn::kDependencyNode);
    (void)sdn;
    NodeType& lam = define("lambert", "shadingDependNode", MFn::kLambert);
    lam.addTuple("color", "c", A::Float, {{"colorR", "cr"}, {"colorG", "cg"}, {"colorB", "cb"}}, {0.5, 0.5, 0.5});
    lam.addTuple("transparency", "it", A::Float, {{"transparencyR", "itr"}, {"transparencyG", "itg"}, {"transparencyB", "itb"}}, kZero3);
    lam.addTuple("ambientColor", "acl", A::Float, {{"ambientColorR", "acr"}, {"ambientColorG", "acg"}, {"ambientColorB", "acb"}}, kZero3);
    lam.addTuple("incandescence", "ic", A::Float, {{"incandescenceR", "ir"}, {"incandescenceG", "ig"}, {"incandescenceB", "ib"}}, kZero3);
    lam.add("diffuse", "dc", A::Float, 0.8);
    lam.add("translucence", "tc", A::Float);
    lam.add("translucenceDepth", "trsd", A::Float, 0.5);
    lam.add("translucenceFocus", "tcf", A::Float, 0.5);
    lam.add("glowIntensity", "gi", A::Float);
    lam.add("refractions", "rfc", A::Bool);
    lam.add("refractiveIndex", "rfi", A::Float, 1);
    lam.add("hideSource", "hs", A::Bool);
    lam.add("matteOpacityMode", "mom", A::Enum, 2);
    lam.add("matteOpacity", "mog", A::Float, 1);
    lam.addTuple("normalCamera", "n", A::Float, {{"normalCameraX", "nx"}, {"normalCameraY", "ny"}, {"normalCameraZ", "nz"}}, kZero3);
    lam.addTuple("outColor", "oc", A::Float, {{"outColorR", "ocr"}, {"outColorG", "ocg"}, {"outColorB", "ocb"}}, kZero3);
    lam.addTuple("outTransparency", "ot", A::Float, {{"outTransparencyR", "otr"}, {"outTransparencyG", "otg"}, {"outTransparencyB", "otb"}}, kZero3);
    lam.addTuple("outGlowColor", "ogc", A::Float, {{"outGlowColorR", "ogr"}, {"outGlowColorG", "ogg"}, {"outGlowColorB", "ogb"}}, kZero3);
    lam.add("outMatteOpacity", "omo", A::Float);

    NodeType& refl = define("reflect", "lambert", MFn::kLambert);
    refl.addTuple("specularColor", "sc", A::Float, {{"specularColorR", "sr"}, {"specularColorG", "sg"}, {"specularColorB", "sb"}}, {0.5, 0.5, 0.5});
    refl.add("reflectivity", "rfl", A::Float, 0.5);
    refl.addTuple("reflectedColor", "rc", A::Float, {{"reflectedColorR", "rr"}, {"reflectedColorG", "rg"}, {"reflectedColorB", "rb"}}, kZero3);
    NodeType& blinn = define("blinn", "reflect", MFn::kBlinn);
    blinn.add("eccentricity", "ec", A::Float, 0.3);
    blinn.add("specularRollOff", "sro", A::Float, 0.7);
    NodeType& phong = define("phong", "reflect", MFn::kPhong);
    phong.add("cosinePower", "cp", A::Float, 20);
    NodeType& phongE = define("phongE", "reflect", MFn::kPhongExplorer);
    phongE.add("roughness", "ru", A::Float, 0.5);
    phongE.add("highlightSize", "hsz", A::Float, 0.5);
    define("anisotropic", "reflect", MFn::kAnisotropy);
    define("rampShader", "lambert", MFn::kRampShader);
    define("useBackground", "dependNode", MFn::kUseBackground);
    NodeType& layered = define("layeredShader", "shadingDependNode", MFn::kLayeredShader);
    layered.addTuple("outColor", "oc", A::Float, {{"outColorR", "ocr"}, {"outColorG", "ocg"}, {"outColorB", "ocb"}}, kZero3);
    NodeType& surf = define("surfaceShader", "shadingDependNode", MFn::kSurfaceShader);
    surf.addTuple("outColor", "oc", A::Float, {{"outColorR", "ocr"}, {"outColorG", "ocg"}, {"outColorB", "ocb"}}, kZero3);
    surf.addTuple("outTransparency", "ot", A::Float, {{"outTransparencyR", "otr"}, {"outTransparencyG", "otg"}, {"outTransparencyB", "otb"}}, kZero3);

    NodeType& set = define("objectSet", "dependNode", MFn::kSet);
    set.add("dagSetMembers", "dsm", A::Message).multi = true;
    set.add("dnSetMembers", "dnsm", A::Message).multi = true;
    set.add("memberWireframeColor", "mwc", A::Int, -1);
    set.add("annotation", "an", A::String);
    set.add("isLayer", "il", A::Bool);
    set.add("verticesOnlySet", "vo", A::Bool);
    set.add("edgesOnlySet", "eo", A::Bool);
    set.add("facetsOnlySet", "fo", A::Bool);
    set.add("editPointsOnlySet", "epo", A::Bool);
    set.add("renderableOnlySet", "ro", A::Bool);
    set.add("partition", "pa", A::Message).multi = true;
    set.add("groupNodes", "gn", A::Message).multi = true;
    set.add("usedBy", "ub", A::Message).multi = true;
    NodeType& sg = define("shadingEngine", "objectSet", MFn::kShadingEngine);
    sg.addTuple("surfaceShader", "ss", A::Float, {{"surfaceShaderR", "ssr"}, {"surfaceShaderG", "ssg"}, {"surfaceShaderB", "ssb"}}, kZero3);
    sg.addTuple("volumeShader", "vs", A::Float, {{"volumeShaderR", "vsr"}, {"volumeShaderG", "vsg"}, {"volumeShaderB", "vsb"}}, kZero3);
    sg.addTuple("displacementShader", "ds", A::Float, {{"displacementShaderX", "dsx"}, {"displacementShaderY", "dsy"}, {"displacementShaderZ", "dsz"}}, kZero3);
    sg.add("imageShader", "is", A::Generic);
    NodeType& mi = define("materialInfo", "dependNode", MFn::kMaterialInfo);
    mi.add("shadingGroup", "sg", A::Message);
    mi.add("material", "m", A::Message);
    mi.add("texture", "t", A::Message).multi = true;
    mi.add("textureChannel", "tc", A::Int);

    NodeType& tex2d = define("texture2d", "shadingDependNode", MFn::kTexture2d);
    tex2d.addTuple("uvCoord", "uv", A::Float, {{"uCoord", "u"}, {"vCoord", "v"}}, {0, 0});
    tex2d.addTuple("uvFilterSize", "fs", A::Float, {{"uvFilterSizeX", "fsx"}, {"uvFilterSizeY", "fsy"}}, {0, 0});
    tex2d.addTuple("outColor", "oc", A::Float, {{"outColorR", "ocr"}, {"outColorG", "ocg"}, {"outColorB", "ocb"}}, kZero3);
    tex2d.add("outAlpha", "oa", A::Float);
    tex2d.addTuple("defaultColor", "dc", A::Float, {{"defaultColorR", "dcr"}, {"defaultColorG", "dcg"}, {"defaultColorB", "dcb"}}, {0.5, 0.5, 0.5});
    tex2d.addTuple("colorGain", "cg", A::Float, {{"colorGainR", "cgr"}, {"colorGainG", "cgg"}, {"colorGainB", "cgb"}}, kOne3);
    tex2d.addTuple("colorOffset", "co", A::Float, {{"colorOffsetR", "cor"}, {"colorOffsetG", "cog"}, {"colorOffsetB", "cob"}}, kZero3);
    tex2d.add("alphaGain", "ag", A::Float, 1);
    tex2d.add("alphaOffset", "ao", A::Float);
    tex2d.add("alphaIsLuminance", "ail", A::Bool);
    tex2d.add("invert", "i", A::Bool);
    tex2d.add("filterType", "ft", A::Enum, 3);
    tex2d.add("filter", "f", A::Float, 1);
    tex2d.add("filterOffset", "fo", A::Float, 0.002);
    tex2d.addTuple("coverage", "c", A::Float, {{"coverageU", "cu"}, {"coverageV", "cv"}}, {1, 1});
    tex2d.addTuple("translateFrame", "tf", A::Float, {{"translateFrameU", "tfu"}, {"translateFrameV", "tfv"}}, {0, 0});
    tex2d.add("rotateFrame", "rf", A::Angle);
    tex2d.add("mirrorU", "mu", A::Bool);
    tex2d.add("mirrorV", "mv", A::Bool);
    tex2d.add("stagger", "s", A::Bool);
    tex2d.add("wrapU", "wu", A::Bool, 1);
    tex2d.add("wrapV", "wv", A::Bool, 1);
    tex2d.addTuple("repeatUV", "re", A::Float, {{"repeatU", "reu"}, {"repeatV", "rev"}}, {1, 1});
    tex2d.addTuple("offset", "of", A::Float, {{"offsetU", "ofu"}, {"offsetV", "ofv"}}, {0, 0});
    tex2d.add("rotateUV", "ro", A::Angle);
    tex2d.addTuple("noiseUV", "n", A::Float, {{"noiseU", "nu"}, {"noiseV", "nv"}}, {0, 0});
    NodeType& file = define("file", "texture2d", MFn::kFileTexture);
    file.add("fileTextureName", "ftn", A::String);
    file.add("fileTextureNamePattern", "ftnp", A::String);
    file.add("computedFileTextureNamePattern", "cfnp", A::String);
    file.add("colorSpace", "cs", A::String);
    file.add("useFrameExtension", "ufe", A::Bool);
    file.add("frameExtension", "fe", A::Int, 1);
    file.add("fileHasAlpha", "fha", A::Bool);
    file.addTuple("outTransparency", "ot", A::Float, {{"outTransparencyR", "otr"}, {"outTransparencyG", "otg"}, {"outTransparencyB", "otb"}}, kZero3);
    for (auto [name, fn] : {std::pair{"checker", MFn::kChecker}, {"ramp", MFn::kRamp}, {"noise", MFn::kNoise},
                            {"grid", MFn::kGrid}, {"cloth", MFn::kCloth}, {"fractal", MFn::kFractal},
                            {"bulge", MFn::kBulge}})
        define(name, "texture2d", fn);
    define("texture3d", "shadingDependNode", MFn::kTexture3d);
    define("projection", "texture3d", MFn::kProjection);
    define("envSphere", "shadingDependNode", MFn::kEnvSphere);
    define("bump2d", "dependNode", MFn::kBump);

    NodeType& p2d = define("place2dTexture", "dependNode", MFn::kPlace2dTexture);
    p2d.addTuple("uvCoord", "uv", A::Float, {{"uCoord", "u"}, {"vCoord", "v"}}, {0, 0});
    p2d.addTuple("coverage", "c", A::Float, {{"coverageU", "cu"}, {"coverageV", "cv"}}, {1, 1});
    p2d.addTuple("translateFrame", "tf", A::Float, {{"translateFrameU", "tfu"}, {"translateFrameV", "tfv"}}, {0, 0});
    p2d.add("rotateFrame", "rf", A::Angle);
    p2d.add("mirrorU", "mu", A::Bool);
    p2d.add("mirrorV", "mv", A::Bool);
    p2d.add("stagger", "s", A::Bool);
    p2d.add("wrapU", "wu", A::Bool, 1);
    p2d.add("wrapV", "wv", A::Bool, 1);
    p2d.addTuple("repeatUV", "re", A::Float, {{"repeatU", "reu"}, {"repeatV", "rev"}}, {1, 1});
    p2d.addTuple("offset", "of", A::Float, {{"offsetU", "ofu"}, {"offsetV", "ofv"}}, {0, 0});
    p2d.add("rotateUV", "ro", A::Angle);
    p2d.addTuple("noiseUV", "n", A::Float, {{"noiseU", "nu"}, {"noiseV", "nv"}}, {0, 0});
    p2d.addTuple("outUV", "ouv", A::Float, {{"outU", "ou"}, {"outV", "ov"}}, {0, 0});
    p2d.addTuple("outUvFilterSize", "ofs", A::Float, {{"outUvFilterSizeX", "ofsx"}, {"outUvFilterSizeY", "ofsy"}}, {0, 0});
}

void TypeRegistry::defineOthers() {
    NodeType& layer = define("displayLayer", "dependNode", MFn::kDisplayLayer);
    layer.add("identification", "id", A::Int);
    layer.add("displayOrder", "do", A::Int);
    layer.add("displayType", "dt", A::Enum);
    layer.add("levelOfDetail", "lod", A::Enum);
    layer.add("shading", "s", A::Bool, 1);
    layer.add("texturing", "t", A::Bool, 1);
    layer.add("playback", "p", A::Bool, 1);
    layer.add("enabled", "e", A::Bool, 1);
    layer.add("visibility", "v", A::Bool, 1);
    layer.add("hideOnPlayback", "hpb", A::Bool);
    layer.add("color", "c", A::Int);
    layer.add("overrideRGBColors", "ovrgbf", A::Bool);
    layer.add("drawInfo", "di", A::Compound);
    NodeType& lm = define("displayLayerManager", "dependNode", MFn::kDisplayLayerManager);
    lm.add("currentDisplayLayer", "cdl", A::Int);
    lm.add("displayLayerId", "dli", A::Int).multi = true;
    define("renderLayer", "dependNode", MFn::kRenderLayer);
    define("renderLayerManager", "dependNode", MFn::kRenderLayerManager);

    NodeType& time = define("time", "dependNode", MFn::kTime);
    time.add("outTime", "o", A::Time, 1);
    time.add("unwarpedTime", "unw", A::Time, 1);
    time.add("enableTimewarp", "etw", A::Bool);

    NodeType& curve = define("animCurve", "dependNode", MFn::kAnimCurve);
    AttrSpec& ktv = curve.add("keyTimeValue", "ktv", A::Compound);
    ktv.multi = true;
    ktv.tuple = 2;
    curve.addChild(ktv, "keyTime", "kt", A::Double);
    curve.addChild(ktv, "keyValue", "kv", A::Double);
    for (auto [l, s] : {std::pair{"keyTanInType", "kit"}, {"keyTanOutType", "kot"}, {"keyBreakdown", "kbd"},
                        {"keyTanLocked", "kl"}, {"keyWeightLocked", "kwl"}, {"keyTickDrawSpecial", "ktd"}})
        curve.add(l, s, A::Int).multi = true;
    for (auto [l, s] : {std::pair{"keyTanInX", "kix"}, {"keyTanInY", "kiy"}, {"keyTanOutX", "kox"}, {"keyTanOutY", "koy"}})
        curve.add(l, s, A::Double).multi = true;
    curve.add("tangentType", "tan", A::Enum, 1);
    curve.add("weightedTangents", "wgt", A::Bool, 1);
    curve.add("preInfinity", "pre", A::Enum);
    curve.add("postInfinity", "pst", A::Enum);
    curve.add("input", "i", A::Double);
    curve.add("output", "o", A::Double);
    curve.add("useCurveColor", "ucc", A::Bool);
    for (auto [name, fn] : {std::pair{"animCurveTL", MFn::kAnimCurveTimeToDistance},
                            {"animCurveTA", MFn::kAnimCurveTimeToAngular},
                            {"animCurveTU", MFn::kAnimCurveTimeToUnitless},
                            {"animCurveTT", MFn::kAnimCurveTimeToTime},
                            {"animCurveUL", MFn::kAnimCurveUnitlessToDistance},
                            {"animCurveUA", MFn::kAnimCurveUnitlessToAngular},
                            {"animCurveUU", MFn::kAnimCurveUnitlessToUnitless},
                            {"animCurveUT", MFn::kAnimCurveUnitlessToTime}})
        define(name, "animCurve", fn);

    NodeType& uc = define("unitConversion", "dependNode", MFn::kUnitConversion);
    uc.add("input", "i", A::Generic);
    uc.add("output", "o", A::Generic);
    uc.add("conversionFactor", "cf", A::Double, 1);
    define("timeToUnitConversion", "dependNode", MFn::kTimeToUnitConversion);
    define("unitToTimeConversion", "dependNode", MFn::kUnitToTimeConversion);

    NodeType& gid = define("groupId", "dependNode", MFn::kGroupId);
    gid.add("groupId", "id", A::Int);
    NodeType& gp = define("groupParts", "dependNode", MFn::kGroupParts);
    gp.add("inputGeometry", "ig", A::Data);
    gp.add("outputGeometry", "og", A::Data);
    gp.add("inputComponents", "ic", A::Data);
    gp.add("groupId", "gi", A::Int);

    NodeType& script = define("script", "dependNode", MFn::kScript);
    script.add("before", "b", A::String);
    script.add("after", "a", A::String);
    script.add("scriptType", "st", A::Int);
    script.add("sourceType", "stp", A::Enum);
    define("expression", "dependNode", MFn::kExpression);

    NodeType& partition = define("partition", "dependNode", MFn::kPartition);
    partition.add("sets", "st", A::Message).multi = true;
    define("renderGlobals", "dependNode", MFn::kRenderGlobals);
    define("renderGlobalsList", "dependNode", MFn::kRenderGlobalsList);
    define("resolution", "dependNode", MFn::kResolution);
    define("renderQuality", "dependNode", MFn::kRenderQuality);
    define("lightList", "dependNode", MFn::kLightList);
    define("defaultLightList", "dependNode", MFn::kDefaultLightList);
    define("lightLinker", "dependNode", MFn::kLightLink);
    define("reference", "dependNode", MFn::kReference).add("edits", "ed", A::Data);
    define("hyperGraphInfo", "dependNode", MFn::kHyperGraphInfo);
    define("hyperView", "dependNode", MFn::kHyperView);
    define("hyperLayout", "dependNode", MFn::kHyperLayout);
    define("nodeGraphEditorInfo", "dependNode", MFn::kNodeGraphEditorInfo);
    define("pairBlend", "dependNode", MFn::kPairBlend);
    define("multiplyDivide", "dependNode", MFn::kMultiplyDivide);
    define("plusMinusAverage", "dependNode", MFn::kPlusMinusAverage);
    define("reverse", "dependNode", MFn::kReverse);
    define("samplerInfo", "dependNode", MFn::kSamplerInfo);
    define("blendColors", "dependNode", MFn::kBlendColors);
    define("condition", "dependNode", MFn::kCondition);
    define("clamp", "dependNode", MFn::kClamp);
    define("multDoubleLinear", "dependNode", MFn::kMultDoubleLinear);
    define("addDoubleLinear", "dependNode", MFn::kAddDoubleLinear);
    define("multMatrix", "dependNode", MFn::kMultMatrix);
    define("decomposeMatrix", "dependNode", MFn::kDecomposeMatrix);
    define("character", "objectSet", MFn::kCharacter);

    NodeType& creator = define("polyCreator", "dependNode", MFn::kPolyCreator);
    creator.add("output", "out", A::Data);
    define("polyPrimitive", "polyCreator", MFn::kPolyPrimitive);
    for (auto [name, fn] : {std::pair{"polyCube", MFn::kPolyCube}, {"polyCone", MFn::kPolyCone},
                            {"polyCylinder", MFn::kPolyCylinder}, {"polyPlane", MFn::kPolyPlane},
                            {"polySphere", MFn::kPolySphere}, {"polyTorus", MFn::kPolyTorus},
                            {"polyPipe", MFn::kPolyPipe}, {"polyPrism", MFn::kPolyPrism},
                            {"polyPyramid", MFn::kPolyPyramid}, {"polyPlatonicSolid", MFn::kPolyPlatonicSolid},
                            {"polyHelix", MFn::kPolyHelix}})
        define(name, "polyPrimitive", fn);
    NodeType& modifier = define("polyModifier", "dependNode", MFn::kMidModifier);
    modifier.add("inputPolymesh", "ip", A::Data);
    modifier.add("output", "out", A::Data);
    modifier.add("inputComponents", "ics", A::Data);
    for (auto [name, fn] : {std::pair{"polyTweakUV", MFn::kPolyTweakUV},
                            {"polySmoothFace", MFn::kPolySmoothFacet}, {"polyTriangulate", MFn::kPolyTriangulate},
                            {"polyNormal", MFn::kPolyNormal},
                            {"polyMapCut", MFn::kPolyMapCut}, {"polyMergeVert", MFn::kPolyMergeVert}})
        define(name, "polyModifier", fn);
    define("polyTweak", "polyModifier", MFn::kPolyTweak)
        .addTuple("tweak", "tk", A::Float, {{"tweakX", "tx"}, {"tweakY", "ty"}, {"tweakZ", "tz"}}, kZero3)
        .multi = true;
    // Angles are written in the file's angle unit; the scale defaults to one.
    NodeType& extrude = define("polyExtrudeFace", "polyModifier", MFn::kPolyExtrudeFacet);
    extrude.addTuple("rotate", "r", A::Angle, {{"rotateX", "rx"}, {"rotateY", "ry"}, {"rotateZ", "rz"}}, kZero3);
    extrude.addTuple("scale", "s", A::Double, {{"scaleX", "sx"}, {"scaleY", "sy"}, {"scaleZ", "sz"}}, kOne3);
    extrude.addTuple("localScale", "ls", A::Double, {{"localScaleX", "lsx"}, {"localScaleY", "lsy"}, {"localScaleZ", "lsz"}},
                     kOne3);
    extrude.add("smoothingAngle", "sma", A::Angle, 30.0 * 3.14159265358979323846 / 180.0);
    extrude.add("keepFacesTogether", "kft", A::Bool, 1);
    extrude.add("divisions", "d", A::Int, 1);
    extrude.add("taper", "tp", A::Double, 1);
    // Bevels: angles in the file's unit; what a file leaves out is Maya's default.
    for (const char* name : {"polyBevel3", "polyBevel"}) {
        NodeType& bevel = define(name, "polyModifier", MFn::kMidModifier);
        bevel.add("offset", "o", A::Distance, 0.2);
        bevel.add("fraction", "f", A::Double, 0.5);
        bevel.add("offsetAsFraction", "oaf", A::Bool, 0);
        bevel.add("segments", "sg", A::Int, 1);
        bevel.add("autoFit", "af", A::Bool, 1);
        bevel.add("roundness", "ro", A::Double, 0.5);
        bevel.add("mergeVertices", "mv", A::Bool, 0);
        bevel.add("mergeVertexTolerance", "mvt", A::Double, 1e-4);
        // Plain numbers in degrees: binary files hold 30 for the default, not its radians.
        bevel.add("smoothingAngle", "sa", A::Double, 30);
        bevel.add("worldSpace", "ws", A::Bool, 0);
        if (name[9] == '3') {
            bevel.add("depth", "d", A::Double, 1);
            bevel.add("chamfer", "c", A::Bool, 1);
            bevel.add("subdivideNgons", "sn", A::Bool, 0);
            bevel.add("filterEdgesByAngle", "fea", A::Bool, 0);
            bevel.add("filterAngle", "fan", A::Double, 30);
            bevel.add("filterHardEdges", "fhe", A::Bool, 0);
            bevel.add("mitering", "mit", A::Int, 0);
        } else {
            bevel.add("fillNgons", "fn", A::Bool, 0);
        }
    }
    // The polyMoveFace family the edge extrusion and chip-off inherit: angles in the file's unit.
    for (const char* name : {"polyExtrudeEdge", "polyChipOff"}) {
        NodeType& move = define(name, "polyModifier", MFn::kMidModifier);
        move.addTuple("rotate", "r", A::Angle, {{"rotateX", "rx"}, {"rotateY", "ry"}, {"rotateZ", "rz"}}, kZero3);
        move.addTuple("localRotate", "lr", A::Angle, {{"localRotateX", "lrx"}, {"localRotateY", "lry"}, {"localRotateZ", "lrz"}},
                      kZero3);
        move.addTuple("scale", "s", A::Double, {{"scaleX", "sx"}, {"scaleY", "sy"}, {"scaleZ", "sz"}}, kOne3);
        move.addTuple("localScale", "ls", A::Double, {{"localScaleX", "lsx"}, {"localScaleY", "lsy"}, {"localScaleZ", "lsz"}},
                      kOne3);
        move.addTuple("localDirection", "ld", A::Double,
                      {{"localDirectionX", "ldx"}, {"localDirectionY", "ldy"}, {"localDirectionZ", "ldz"}}, {1, 0, 0});
        move.add("keepFacesTogether", "kft", A::Bool, 1);
        if (name[4] == 'E') {
            move.add("smoothingAngle", "sma", A::Angle, 30.0 * 3.14159265358979323846 / 180.0);
            move.add("divisions", "d", A::Int, 1);
        } else {
            move.add("duplicate", "dup", A::Bool, 1);
        }
    }
    define("polyExtrudeVertex", "polyModifier", MFn::kMidModifier).add("divisions", "d", A::Int, 1);
    // The crease angle is written in the file's angle unit: the schema converts it.
    NodeType& softEdge = define("polySoftEdge", "polyModifier", MFn::kPolySoftEdge);
    softEdge.add("angle", "a", A::Angle, 30.0 * 3.14159265358979323846 / 180.0);
    // polyMirror's plane turns by an angle in the file's unit; its pivot and centre are points.
    NodeType& mirror = define("polyMirror", "polyModifier", MFn::kMidModifier);
    mirror.addTuple("mirrorPlaneRotate", "ro", A::Angle,
                    {{"mirrorPlaneRotateX", "rx"}, {"mirrorPlaneRotateY", "ry"}, {"mirrorPlaneRotateZ", "rz"}}, kZero3);
    mirror.addTuple("mirrorPlaneCenter", "pc", A::Distance,
                    {{"mirrorPlaneCenterX", "pcx"}, {"mirrorPlaneCenterY", "pcy"}, {"mirrorPlaneCenterZ", "pcz"}}, kZero3);
    mirror.addTuple("pivot", "p", A::Distance, {{"pivotX", "px"}, {"pivotY", "py"}, {"pivotZ", "pz"}}, kZero3);
    mirror.add("smoothingAngle", "sma", A::Angle, 30.0 * 3.14159265358979323846 / 180.0);
    NodeType& bridge = define("polyBridgeEdge", "polyModifier", MFn::kMidModifier);
    bridge.add("twist", "twt", A::Angle);
    bridge.add("smoothingAngle", "sma", A::Angle, 30.0 * 3.14159265358979323846 / 180.0);
    bridge.add("divisions", "dv", A::Int, 1);
    bridge.add("taper", "tp", A::Double, 1);
    // polyCut's plane turns by an angle in the file's unit; its centre and the extraction's offset are distances.
    NodeType& cut = define("polyCut", "polyModifier", MFn::kMidModifier);
    cut.addTuple("cutPlaneCenter", "pc", A::Distance,
                 {{"cutPlaneCenterX", "pcx"}, {"cutPlaneCenterY", "pcy"}, {"cutPlaneCenterZ", "pcz"}}, kZero3);
    cut.addTuple("cutPlaneRotate", "ro", A::Angle, {{"cutPlaneRotateX", "rx"}, {"cutPlaneRotateY", "ry"}, {"cutPlaneRotateZ", "rz"}},
                 kZero3);
    cut.addTuple("extractOffset", "eo", A::Distance, {{"extractOffsetX", "eox"}, {"extractOffsetY", "eoy"}, {"extractOffsetZ", "eoz"}},
                 {0.5, 0.5, 0.5});
    cut.add("deleteFaces", "df", A::Bool);
    cut.add("extractFaces", "ef", A::Bool);
    cut.add("worldSpace", "ws", A::Bool);
    cut.add("inputMatrix", "ix", A::Matrix);
    // Of polyCircularize's short names only al, d, ed, no, nor and ro are
    // documented; the others are this stand-in's, so files writing long names read right.
    NodeType& circularize = define("polyCircularize", "polyModifier", MFn::kMidModifier);
    circularize.add("radialOffset", "ro", A::Double);
    circularize.add("normalOffset", "no", A::Double);
    circularize.add("twist", "tw", A::Angle);
    circularize.add("evenlyDistribute", "ed", A::Bool, 1);
    circularize.add("supportingEdges", "se", A::Bool);
    circularize.add("relaxInterior", "ri", A::Bool);
    circularize.add("divisions", "d", A::Int);
    circularize.add("alignment", "al", A::Enum);
    circularize.add("normalOrientation", "nor", A::Enum);
    define("polyUnite", "polyCreator", MFn::kPolyUnite);
    // The node's operation defaults to 0, which the boolean reads as a union (the command's default).
    NodeType& boolOp = define("polyBoolOp", "polyUnite", MFn::kPolyBoolOp);
    boolOp.add("operation", "op", A::Enum, 0);
    boolOp.add("faceAreaThreshold", "fat", A::Distance, 0.0001);
    boolOp.add("preserveColor", "pcr", A::Bool, 0);
    boolOp.add("useThresholds", "uth", A::Bool, 0);
    boolOp.add("vertexDistanceThreshold", "vdt", A::Distance, 0.001);
    define("polyPlatonic", "polyPrimitive", MFn::kPolyPlatonicSolid);
    for (const char* name : {"polyColorPerVertex", "polyNormalPerVertex", "polySubdFace", "deleteComponent",
                             "polyCloseBorder", "polySplit", "polySplitRing"})
        define(name, "polyModifier", MFn::kMidModifier);
    for (const char* name : {"polySplitEdge", "polyDelEdge"}) define(name, "polyModifier", MFn::kMidModifier);
    // The uv projections: angles in the file's angle unit, the image at the
    // middle of the 0..1 square. A cylinder's projectionScale pairs a sweep
    // with a height, so it stays in the file's numbers (degrees, read so).
    for (const char* name : {"polyPlanarProj", "polyCylProj", "polySphProj"}) {
        const std::string kind = name;
        NodeType& proj = define(name, "polyModifier", MFn::kMidModifier);
        proj.addTuple("projectionCenter", "pc", A::Distance,
                      {{"projectionCenterX", "pcx"}, {"projectionCenterY", "pcy"}, {"projectionCenterZ", "pcz"}}, kZero3);
        proj.addTuple("rotate", "ro", A::Angle, {{"rotateX", "rx"}, {"rotateY", "ry"}, {"rotateZ", "rz"}}, kZero3);
        proj.addTuple("imageCenter", "ic", A::Double, {{"imageCenterX", "icx"}, {"imageCenterY", "icy"}}, {0.5, 0.5});
        proj.addTuple("imageScale", "is", A::Double, {{"imageScaleU", "isu"}, {"imageScaleV", "isv"}}, {1, 1});
        proj.add("rotationAngle", "ra", A::Angle);
        proj.add("worldSpace", "ws", A::Bool);
        proj.add("inputMatrix", "ix", A::Matrix);
        proj.add("uvSetName", "uvs", A::String);
        if (kind == "polyPlanarProj")
            proj.addTuple("projectionScale", "ps", A::Distance, {{"projectionWidth", "pw"}, {"projectionHeight", "ph"}}, {1, 1});
        else if (kind == "polyCylProj")
            proj.addTuple("projectionScale", "ps", A::Double, {{"projectionHorizontalSweep", "phs"}, {"projectionHeight", "ph"}},
                          {180, 1});
        else
            proj.addTuple("projectionScale", "ps", A::Angle,
                          {{"projectionHorizontalSweep", "phs"}, {"projectionVerticalSweep", "pvs"}},
                          {3.14159265358979323846, 3.14159265358979323846 / 2});
        if (kind != "polyPlanarProj") proj.add("seamCorrect", "sc", A::Bool, 1);
    }
    NodeType& autoProj = define("polyAutoProj", "polyModifier", MFn::kMidModifier);
    autoProj.addTuple("translate", "t", A::Distance, {{"translateX", "tx"}, {"translateY", "ty"}, {"translateZ", "tz"}}, kZero3);
    autoProj.addTuple("rotate", "r", A::Angle, {{"rotateX", "rx"}, {"rotateY", "ry"}, {"rotateZ", "rz"}}, kZero3);
    autoProj.addTuple("scale", "s", A::Double, {{"scaleX", "sx"}, {"scaleY", "sy"}, {"scaleZ", "sz"}}, kOne3);
    autoProj.addTuple("pivot", "pvt", A::Float, {{"pivotX", "pvx"}, {"pivotY", "pvy"}, {"pivotZ", "pvz"}}, kZero3);
    autoProj.add("planes", "p", A::Int, 6);
    autoProj.add("optimize", "o", A::Enum, 1);
    autoProj.add("layout", "l", A::Enum, 2);
    autoProj.add("scaleMode", "sc", A::Enum, 1);
    autoProj.add("percentageSpace", "ps", A::Float);
    autoProj.add("uvSetName", "uvs", A::String);
    NodeType& layoutUV = define("polyLayoutUV", "polyModifier", MFn::kMidModifier);
    layoutUV.add("layout", "l", A::Enum, 2);
    layoutUV.add("scale", "sc", A::Enum, 1);
    layoutUV.add("percentageSpace", "ps", A::Float);
    layoutUV.add("flipReversed", "fr", A::Bool, 1);
    layoutUV.add("rotateForBestFit", "rbf", A::Enum);
    layoutUV.add("separate", "se", A::Enum);
    layoutUV.add("layoutMethod", "lm", A::Enum);
    layoutUV.add("gridU", "gu", A::Int, 1);
    layoutUV.add("gridV", "gv", A::Int, 1);
    layoutUV.add("uvSetName", "uvs", A::String);
    for (const char* name : {"polyMapSew", "polyMapDel"}) define(name, "polyModifier", MFn::kMidModifier);
    NodeType& sewMove = define("polyMapSewMove", "polyModifier", MFn::kMidModifier);
    sewMove.add("numberFaces", "nf", A::Int, 10);
    sewMove.add("limitPieceSize", "lps", A::Bool);
    NodeType& flipUV = define("polyFlipUV", "polyModifier", MFn::kMidModifier);
    flipUV.add("flipType", "ft", A::Enum);
    flipUV.add("local", "l", A::Bool, 1);
    flipUV.add("cutUV", "cut", A::Bool, 1);
    NodeType& colorSet = define("createColorSet", "dependNode", MFn::kDependencyNode);
    colorSet.add("inputGeometry", "ig", A::Data);
    colorSet.add("outputGeometry", "og", A::Data);
    colorSet.add("colorSetName", "colos", A::String);
    colorSet.add("clamped", "clam", A::Bool, 1);
    colorSet.add("representation", "rprt", A::Enum, 4);
    // Not a modifier: one mesh in, one out per shell.
    NodeType& separate = define("polySeparate", "dependNode", MFn::kDependencyNode);
    separate.add("inputPoly", "ip", A::Data);
    separate.add("output", "out", A::Data).multi = true;
    // Nodes Maya itself creates in every recent scene, and common built-in
    // types: known so that loading does not report them as unknown.
    for (const char* name : {"shapeEditorManager", "poseInterpolatorManager", "dagPose", "transformGeometry",
                             "trackInfoManager", "timeEditor", "clipScheduler", "clipLibrary", "animClip",
                             "controller", "uvChooser", "ikRPsolver", "ikSCsolver", "nucleus", "instancer",
                             "brush", "layeredTexture", "envCube", "marble", "colorComposite",
                             "doubleShadingSwitch", "displacementShader", "particleSamplerInfo",
                             "standardSurface", "openPBRSurface", "particleCloud", "creaseSet"})
        define(name, "dependNode", MFn::kDependencyNode);

    NodeType& geoFilter = define("geometryFilter", "dependNode", MFn::kGeometryFilt);
    geoFilter.add("envelope", "en", A::Float, 1);
    define("skinCluster", "geometryFilter", MFn::kSkinClusterFilter);
    define("blendShape", "geometryFilter", MFn::kBlendShape);
    define("tweak", "geometryFilter", MFn::kTweak);
    define("cluster", "geometryFilter", MFn::kCluster);
    define("wire", "geometryFilter", MFn::kWire);
    define("ffd", "geometryFilter", MFn::kFfd);
    define("nonLinear", "geometryFilter", MFn::kNonLinear);
    // The nonLinear handle shapes: the one feeding deformerData names the
    // deformation and holds its values (the nonLinear's copies are dynamic
    // attributes the file adds). Angles are written in the file's angle unit.
    define("clusterHandle", "shape", MFn::kShape);
    define("deformFunc", "shape", MFn::kShape).add("deformerData", "dd", A::Data);
    {
        auto bounded = [&](const char* name) -> NodeType& {
            NodeType& t = define(name, "deformFunc", MFn::kShape);
            t.add("lowBound", "lb", A::Double, -1);
            t.add("highBound", "hb", A::Double, 1);
            return t;
        };
        bounded("deformBend").add("curvature", "cur", A::Angle);
        NodeType& flare = bounded("deformFlare");
        for (auto [name, shortName] : {std::pair{"startFlareX", "sfx"}, {"startFlareZ", "sfz"}, {"endFlareX", "efx"},
                                       {"endFlareZ", "efz"}})
            flare.add(name, shortName, A::Double, 1);
        flare.add("curve", "crv", A::Double);
        NodeType& sine = bounded("deformSine");
        sine.add("amplitude", "amp", A::Double);
        sine.add("wavelength", "wav", A::Double, 2);
        sine.add("offset", "off", A::Double);
        sine.add("dropoff", "dr", A::Double);
        NodeType& squash = bounded("deformSquash");
        squash.add("factor", "fac", A::Double);
        squash.add("expand", "exp", A::Double, 1);
        squash.add("maxExpandPos", "mp", A::Double, 0.5);
        squash.add("startSmoothness", "ss", A::Double);
        squash.add("endSmoothness", "es", A::Double);
        NodeType& twist = bounded("deformTwist");
        twist.add("startAngle", "sa", A::Angle);
        twist.add("endAngle", "ea", A::Angle);
        NodeType& wave = define("deformWave", "deformFunc", MFn::kShape);
        wave.add("amplitude", "amp", A::Double);
        wave.add("wavelength", "wav", A::Double, 1);
        wave.add("offset", "off", A::Double);
        wave.add("dropoff", "dr", A::Double);
        wave.add("dropoffPosition", "dp", A::Double);
        wave.add("minRadius", "mnr", A::Double);
        wave.add("maxRadius", "mxr", A::Double, 1);
    }

    for (auto [name, fn] : {std::pair{"makeNurbSphere", MFn::kMakeNurbSphere}, {"makeNurbCylinder", MFn::kMakeNurbCylinder},
                            {"makeNurbPlane", MFn::kMakeNurbPlane}, {"makeNurbCube", MFn::kMakeNurbCube},
                            {"makeNurbCone", MFn::kMakeNurbCone}, {"makeNurbTorus", MFn::kMakeNurbTorus},
                            {"makeNurbCircle", MFn::kMakeNurbCircle}, {"curveFromSurface", MFn::kCurveFromSurface}})
        define(name, "dependNode", fn);
    {
        NodeType& curve = define("rebuildCurve", "dependNode", MFn::kRebuildCurve);
        curve.add("inputCurve", "ic", A::Data);
        curve.add("outputCurve", "oc", A::Data);
        curve.add("spans", "s", A::Int, 4);
        curve.add("degree", "d", A::Enum, 3);
        curve.add("keepTangents", "kt", A::Bool, 1);
        curve.add("keepEndPoints", "kep", A::Bool, 1);
        NodeType& surface = define("rebuildSurface", "dependNode", MFn::kDependencyNode);
        surface.add("inputSurface", "is", A::Data);
        surface.add("outputSurface", "os", A::Data);
        surface.add("spansU", "su", A::Int, 4);
        surface.add("spansV", "sv", A::Int, 4);
        surface.add("degreeU", "du", A::Enum, 3);
        surface.add("degreeV", "dv", A::Enum, 3);
        surface.add("direction", "dir", A::Enum, 2);
        surface.add("keepCorners", "kc", A::Bool, 1);
        for (NodeType* t : {&curve, &surface}) {
            t->add("rebuildType", "rt", A::Enum);
            t->add("keepRange", "kr", A::Enum, 1);
            t->add("keepControlPoints", "kcp", A::Bool);
            t->add("endKnots", "end", A::Enum);
            t->add("tolerance", "tol", A::Distance, 0.01);
        }
    }

    for (const char* name : {"makeNurbsSquare", "makeThreePointCircularArc"}) define(name, "dependNode", MFn::kDependencyNode);
    NodeType& loft = define("loft", "dependNode", MFn::kDependencyNode);
    loft.add("inputCurve", "ic", A::Data).multi = true;
    loft.add("outputSurface", "os", A::Data);
    loft.add("uniform", "u", A::Bool);
    loft.add("close", "c", A::Bool);
    loft.add("degree", "d", A::Int, 3);
    loft.add("autoReverse", "ar", A::Bool, 1);
    loft.add("sectionSpans", "ss", A::Int, 1);
    loft.add("reverseSurfaceNormals", "rsn", A::Bool);
    loft.add("reverse", "r", A::Bool).multi = true;
    NodeType& sweep = define("extrude", "dependNode", MFn::kDependencyNode);
    sweep.add("profile", "pr", A::Data);
    sweep.add("path", "pt", A::Data);
    sweep.add("outputSurface", "os", A::Data);
    sweep.add("extrudeType", "et", A::Enum, 2);
    sweep.addTuple("direction", "d", A::Distance, {{"directionX", "dx"}, {"directionY", "dy"}, {"directionZ", "dz"}}, {0, 1, 0});
    sweep.add("length", "l", A::Distance, 1);
    sweep.add("degreeAlongLength", "dl", A::Int, 1);
    sweep.add("fixedPath", "fpt", A::Bool);
    sweep.add("useProfileNormal", "upn", A::Bool);
    sweep.add("rotation", "ro", A::Angle);
    sweep.add("scale", "sc", A::Double, 1);
    sweep.addTuple("pivot", "p", A::Distance, {{"pivotX", "px"}, {"pivotY", "py"}, {"pivotZ", "pz"}}, kZero3);
    NodeType& planar = define("planarTrimSurface", "dependNode", MFn::kDependencyNode);
    planar.add("inputCurve", "ic", A::Data).multi = true;
    planar.add("outputSurface", "os", A::Data);
    NodeType& revolve = define("revolve", "dependNode", MFn::kDependencyNode);
    revolve.add("inputCurve", "ic", A::Data);
    revolve.add("outputSurface", "os", A::Data);
    revolve.addTuple("axis", "ax", A::Double, {{"axisX", "axx"}, {"axisY", "axy"}, {"axisZ", "axz"}}, {1, 0, 0});
    revolve.addTuple("pivot", "p", A::Distance, {{"pivotX", "px"}, {"pivotY", "py"}, {"pivotZ", "pz"}}, kZero3);
    revolve.add("startSweep", "ssw", A::Angle);
    revolve.add("endSweep", "esw", A::Angle, 2.0 * 3.14159265358979323846);
    revolve.add("degree", "d", A::Int, 3);
    revolve.add("sections", "s", A::Int, 8);
    revolve.add("useTolerance", "ut", A::Bool);
    revolve.add("tolerance", "tol", A::Distance, 0.01);
    NodeType& attach = define("attachSurface", "dependNode", MFn::kDependencyNode);
    attach.add("inputSurface1", "is1", A::Data);
    attach.add("inputSurface2", "is2", A::Data);
    attach.add("outputSurface", "os", A::Data);
    attach.add("directionU", "du", A::Bool, 1);
    attach.add("method", "m", A::Enum);
    attach.add("blendBias", "bb", A::Double, 0.5);
    attach.add("blendKnotInsertion", "bki", A::Bool);
    attach.add("parameter", "p", A::Double, 0.1);
    attach.add("keepMultipleKnots", "kmk", A::Bool, 1);
    for (auto [name, shortName] : {std::pair{"reverse1", "rv1"}, {"reverse2", "rv2"}, {"swap1", "sw1"}, {"swap2", "sw2"},
                                   {"twist", "tw"}})
        attach.add(name, shortName, A::Bool);
    NodeType& tessellate = define("nurbsTessellate", "dependNode", MFn::kNurbsTessellate);
    tessellate.add("inputSurface", "is", A::Data);
    tessellate.add("outputPolygon", "op", A::Data);
    tessellate.add("format", "f", A::Enum, 1);
    tessellate.add("polygonType", "pt", A::Enum);
    tessellate.add("polygonCount", "pc", A::Int, 200);
    tessellate.add("uType", "ut", A::Enum, 3);
    tessellate.add("vType", "vt", A::Enum, 3);
    tessellate.add("uNumber", "un", A::Int, 3);
    tessellate.add("vNumber", "vn", A::Int, 3);
    tessellate.add("useChordHeight", "uch", A::Bool);
    tessellate.add("useChordHeightRatio", "ucr", A::Bool, 1);
}

}  // namespace mayahost
