// Maya ASCII text, read into a scene and evaluated.
#include "FuzzLoad.h"
#include "file/MaReader.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    return fuzzload::loadAndEvaluate(data, size, "fuzz.ma", mayahost::scenefile::readMaText);
}
