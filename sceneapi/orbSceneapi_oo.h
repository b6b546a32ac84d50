#pragma once
// The scene front: the one object every scene node writes through. It adds
// typed setters over `orbScene_api::parameter`, hands out ids and writes the
// start of every scene. The virtual operations are in slot order.

#include <string>
#include <vector>

#include "sceneapi/Matrix4d.h"
#include "sceneapi/orbScene_api.h"

namespace orb {

class LightNode;
class LightFactory;

class orbSceneapi_oo {
public:
    // Binds the front to factory->api() and writes the scene start.
    explicit orbSceneapi_oo(LightFactory* factory);
    // A front over a NullApi: accepts every call and writes nothing.
    orbSceneapi_oo();

    virtual ~orbSceneapi_oo();                                                    // 0
    virtual void setApi(orbScene_api* api);                                       // 1
    virtual int newId();                                                          // 2
    virtual void write(LightNode* node);                                          // 3
    virtual void progress(const std::string& label, float fraction);              // 4
    virtual void beginGroup(const std::string& name);                             // 5
    virtual void endGroup();                                                      // 6
    virtual int beginShader(const std::string& shaderClass);                      // 7
    virtual void endShader();                                                     // 8
    virtual void setString(const std::string& name, const char* value);          // 9 (throws)
    virtual void setString(const std::string& name, const std::string& value);    // 10
    virtual void setDouble3(const std::string& name, const double* xyz);          // 11
    virtual void setDouble(const std::string& name, double v);                    // 12
    virtual void setFloat(const std::string& name, float v);                      // 13
    virtual void setInt(const std::string& name, int v);                          // 14
    virtual void setBool(const std::string& name, bool v);                        // 15
    virtual void setMatrixArray(const std::string& name, const std::vector<Matrix4d>& v);  // 16
    virtual void setIntArray(const std::string& name, const std::vector<int>& v);          // 17
    virtual void setFloatArray(const std::string& name, const std::vector<float>& v);      // 18
    virtual void setDoubleArray(const std::string& name, const std::vector<double>& v);    // 19
    // Whole triples only: 7 floats make a count of 2.
    virtual void setFloat3Array(const std::string& name, const std::vector<float>& v);     // 20
    virtual void transform(const double m[16]);                                   // 21
    virtual void transform(const double m[16], bool set);                         // 22
    virtual void flags(unsigned f);                                               // 23
    virtual orbScene_api* api();                                                  // 24

    // "#print" record with the text in double quotes.
    void print(std::string text);

    static constexpr int kVersionMajor = 6;
    static constexpr int kVersionMinor = 2;
    static constexpr int kVersionPatch = 85;
    static constexpr const char* kBuildStamp = "Mon Oct 26 10:26:53 2015";
    static std::string banner();

private:
    void startScene();

    orbScene_api* api_ = nullptr;      // owned by the factory
    LightFactory* factory_ = nullptr;  // not owned
    int shaderCounter_ = 0;
    int idCounter_ = 0;
};

}  // namespace orb
