// Maya ASCII text, read into a scene and evaluated.
#include "FuzzLoad.h"
#include "file/MaReader.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    fuzzload::quiet();
    mayahost::Scene scene;
    mayahost::installSceneEvaluators(scene);
    mayahost::SceneBuilder builder(scene, "fuzz.ma");
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (mayahost::scenefile::readMaText(text, "fuzz.ma", builder).ok()) fuzzload::evaluateAll(scene);
    return 0;
}
