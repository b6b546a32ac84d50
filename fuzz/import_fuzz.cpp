// The whole import: the bytes as a scene file (read as Maya ASCII or Binary,
// as their first bytes say), then the export as the importer runs it: render
// module, cameras, materials, the hierarchy, every mesh's display geometry
// and normals, every surface's tessellation, all written as a scene file (to
// /dev/null, through the same writer).
#include "common/ImportArgs.h"
#include "common/Log.h"
#include "plugins/maya/src/maya2glowbox.h"
#include "sceneapi/LightFactory.h"
#include "sceneapi/orbSceneapi_oo.h"

#include <maya/MLibrary.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

std::string scenePath() {
    return "/tmp/glowbox-import-fuzz-" + std::to_string(::getpid()) + ".ma";
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    reportingLevel() = -1;   // no log file: millions of runs
    MLibrary::initialize("import_fuzz", true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    const std::string path = scenePath();
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    } else {
        return 0;
    }
    ImportArgs args;
    args.setString(IMPORT_FILENAME, path);
    args.setBool(INCLUDE_NURBS, size % 2 == 0);   // both placements of surfaces, by the input's parity
    {
        orb::LightFileFactory factory("/dev/null");
        orb::orbSceneapi_oo front(&factory);
        Maya2Glowbox driver(&front, args);
        driver.openAndExport();
    }
    std::remove(path.c_str());
    return 0;
}
