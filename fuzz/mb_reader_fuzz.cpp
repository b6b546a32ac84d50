// Maya Binary bytes, read into a scene and evaluated.
#include "FuzzLoad.h"
#include "file/MbReader.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    fuzzload::quiet();
    mayahost::Scene scene;
    mayahost::installSceneEvaluators(scene);
    mayahost::SceneBuilder builder(scene, "fuzz.mb");
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (mayahost::scenefile::readMbBytes(bytes, "fuzz.mb", builder).ok()) fuzzload::evaluateAll(scene);
    return 0;
}
