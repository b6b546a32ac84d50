#include "sceneapi/LightFactory.h"

#include <cstdio>
#include <stdexcept>

#include "common/platform/Platform.h"
#include "sceneapi/orbScene_api_file.h"

namespace orb {

namespace {

// The scene takes over the original standard output; anything else printed
// there from now on lands on standard error and cannot mix with the scene.
FILE* takeOverStandardOutput() {
    std::fflush(stdout);
    const int out = platform::fileNo(stdout);
    const int copy = platform::dupFd(out);
    if (copy < 0) return nullptr;
    FILE* stream = platform::fdOpen(copy, "wb");
    if (!stream) {
        platform::closeFd(copy);
        return nullptr;
    }
    platform::setBinaryMode(copy);
    platform::dup2Fd(platform::fileNo(stderr), out);
    return stream;
}

}  // namespace

LightFileFactory::LightFileFactory(std::string fileName) {
    stream_ = fileName == "-" ? takeOverStandardOutput() : platform::openFileUtf8(fileName, "wb+");
    if (!stream_) {
        std::perror("opening file");
        throw std::runtime_error("could not open file: \"" + fileName + "\"");
    }
    api_ = new orbScene_api_file(stream_, true);
}

LightFileFactory::~LightFileFactory() {
    // A destructor must not throw; a failed close has been reported on
    // standard error by then.
    try {
        close();
    } catch (const std::runtime_error&) {
    }
}

orbScene_api* LightFileFactory::api() { return api_; }

void LightFileFactory::beginScene(orbSceneapi_oo*) {
    static const char* const kHeader[] = {
        "//---vantor:dal:%d---\n",
        "//---import:dal:%d---\n",
        "//---id:%d---\n",
        "// This is a Glowbox scene file\n\n",
    };
    static const int kRevisions[] = {7, 1, 1, 0};
    char line[4096];
    for (int i = 0; i < 4; ++i) {
        std::snprintf(line, sizeof line, kHeader[i], kRevisions[i]);
        api_->text("%s", line);
    }
}

void LightFileFactory::close() {
    delete api_;
    api_ = nullptr;
    if (!stream_) return;
    FILE* stream = stream_;
    stream_ = nullptr;
    if (std::fclose(stream) != 0) {
        std::perror("closing file");
        throw std::runtime_error("could not close file");
    }
}

PassThroughFactory::PassThroughFactory(orbScene_api* api) : api_(api) {}

orbScene_api* PassThroughFactory::api() { return api_; }

void PassThroughFactory::beginScene(orbSceneapi_oo*) {}

void PassThroughFactory::close() {}

}  // namespace orb
