#include <maya/MLibrary.h>

#include "api/ApiSupport.h"

#include <cstdio>
#include <cstdlib>

using namespace mayahost;

MStatus MLibrary::initialize(const char* applicationName, bool) {
    (void)applicationName;
    currentScene();
    return MStatus::kSuccess;
}

MStatus MLibrary::initialize(bool, const char* applicationName, bool viewportRenderer) {
    return initialize(applicationName, viewportRenderer);
}

void MLibrary::cleanup(int exitStatus, bool quitApplication) {
    std::fflush(nullptr);
    if (quitApplication) std::exit(exitStatus);
}
