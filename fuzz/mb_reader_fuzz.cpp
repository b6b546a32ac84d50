// Maya Binary bytes, read into a scene and evaluated.
#include "FuzzLoad.h"
#include "file/MbReader.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    return fuzzload::loadAndEvaluate(data, size, "fuzz.mb", mayahost::scenefile::readMbBytes);
}
