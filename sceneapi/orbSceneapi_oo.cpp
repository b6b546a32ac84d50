#include "sceneapi/orbSceneapi_oo.h"

#include <stdexcept>

#include "sceneapi/LightFactory.h"
#include "sceneapi/NullApi.h"
#include "sceneapi/model/LightNode.h"

namespace orb {

orbSceneapi_oo::orbSceneapi_oo(LightFactory* factory) : factory_(factory) { startScene(); }

namespace {

// NullApi has no state, so every default front can share one. It lives as
// long as the process: a front may be used by reference long after its
// creator is gone.
LightFactory* nullFactory() {
    static LightFactory* const factory = new PassThroughFactory(new NullApi);
    return factory;
}

}  // namespace

orbSceneapi_oo::orbSceneapi_oo() : factory_(nullFactory()) { startScene(); }

orbSceneapi_oo::~orbSceneapi_oo() = default;

void orbSceneapi_oo::startScene() {
    setApi(factory_->api());
    factory_->beginScene(this);
    print(banner());
    api_->version(kVersionMajor);
}

std::string orbSceneapi_oo::banner() {
    return "Glowbox SceneApi oo " + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." +
           std::to_string(kVersionPatch) + "  (built " + kBuildStamp + ")";
}

void orbSceneapi_oo::setApi(orbScene_api* api) {
    api_ = api;
    shaderCounter_ = 0;
    idCounter_ = 0;
}

int orbSceneapi_oo::newId() {
    ++idCounter_;
    api_->id(static_cast<unsigned>(idCounter_));
    return idCounter_;
}

void orbSceneapi_oo::write(LightNode* node) { node->write(*this); }

void orbSceneapi_oo::progress(const std::string& label, float fraction) {
    api_->progress(label.c_str(), fraction);
}

void orbSceneapi_oo::beginGroup(const std::string& name) { api_->beginGroup(name.c_str(), true); }

void orbSceneapi_oo::endGroup() { api_->endGroup(); }

int orbSceneapi_oo::beginShader(const std::string& shaderClass) {
    ++shaderCounter_;
    api_->beginShaderId(shaderClass.c_str(), shaderCounter_);
    return shaderCounter_;
}

void orbSceneapi_oo::endShader() { api_->endShader(); }

void orbSceneapi_oo::setString(const std::string&, const char*) {
    throw std::invalid_argument("const char * are deprecated");
}

void orbSceneapi_oo::setString(const std::string& name, const std::string& value) {
    api_->parameter(name.c_str(), ParamType::String, value.c_str());
}

void orbSceneapi_oo::setDouble3(const std::string& name, const double* xyz) {
    api_->parameter(name.c_str(), ParamType::Double3, xyz);
}

void orbSceneapi_oo::setDouble(const std::string& name, double v) {
    api_->parameter(name.c_str(), ParamType::Double, &v);
}

void orbSceneapi_oo::setFloat(const std::string& name, float v) {
    api_->parameter(name.c_str(), ParamType::Float, &v);
}

void orbSceneapi_oo::setInt(const std::string& name, int v) { api_->parameter(name.c_str(), ParamType::Int, &v); }

void orbSceneapi_oo::setBool(const std::string& name, bool v) {
    const int b = v ? 1 : 0;
    api_->parameter(name.c_str(), ParamType::Bool, &b);
}

namespace {

template <typename T>
ParamArray<T> describe(const T* data, std::size_t count) {
    return ParamArray<T>{data, static_cast<std::uint32_t>(count)};
}

}  // namespace

void orbSceneapi_oo::setMatrixArray(const std::string& name, const std::vector<Matrix4d>& v) {
    const auto array = describe(v.empty() ? nullptr : v.front().data(), v.size());
    api_->parameter(name.c_str(), ParamType::MatrixArray, &array);
}

void orbSceneapi_oo::setIntArray(const std::string& name, const std::vector<int>& v) {
    const auto array = describe(v.data(), v.size());
    api_->parameter(name.c_str(), ParamType::IntArray, &array);
}

void orbSceneapi_oo::setFloatArray(const std::string& name, const std::vector<float>& v) {
    const auto array = describe(v.data(), v.size());
    api_->parameter(name.c_str(), ParamType::FloatArray, &array);
}

void orbSceneapi_oo::setDoubleArray(const std::string& name, const std::vector<double>& v) {
    const auto array = describe(v.data(), v.size());
    api_->parameter(name.c_str(), ParamType::DoubleArray, &array);
}

void orbSceneapi_oo::setFloat3Array(const std::string& name, const std::vector<float>& v) {
    const auto array = describe(v.data(), v.size() / 3);
    api_->parameter(name.c_str(), ParamType::Float3Array, &array);
}

void orbSceneapi_oo::transform(const double m[16]) { transform(m, false); }

void orbSceneapi_oo::transform(const double m[16], bool set) {
    if (set)
        api_->setTransform(m);
    else
        api_->transform(m);
}

void orbSceneapi_oo::flags(unsigned f) { api_->flags(f); }

orbScene_api* orbSceneapi_oo::api() { return api_; }

void orbSceneapi_oo::print(std::string text) { api_->print(text.c_str()); }

}  // namespace orb
