#pragma once
// Where a scene front gets its `orbScene_api` from, and who finishes the
// output afterwards.

#include <cstdio>
#include <string>

#include "sceneapi/orbScene_api.h"

namespace orb {

class orbSceneapi_oo;

class LightFactory {
public:
    virtual ~LightFactory() = default;
    virtual orbScene_api* api() = 0;
    // Writes whatever the output needs before the scene.
    virtual void beginScene(orbSceneapi_oo* scene) = 0;
    virtual void close() = 0;
};

// Opens the scene file (or, for the name "-", takes over the standard
// output) and owns the writer on it.
class LightFileFactory : public LightFactory {
public:
    // Throws std::runtime_error("could not open file: \"NAME\"") when the
    // output cannot be opened.
    explicit LightFileFactory(std::string fileName);
    ~LightFileFactory() override;
    LightFileFactory(const LightFileFactory&) = delete;
    LightFileFactory& operator=(const LightFileFactory&) = delete;

    orbScene_api* api() override;
    // The four header lines of every scene file.
    void beginScene(orbSceneapi_oo* scene) override;
    // Deletes the writer, then closes the stream; throws
    // std::runtime_error("could not close file") when closing fails.
    void close() override;

private:
    orbScene_api* api_ = nullptr;
    FILE* stream_ = nullptr;
};

// Wraps an api the caller already has; writes and closes nothing.
class PassThroughFactory : public LightFactory {
public:
    explicit PassThroughFactory(orbScene_api* api);
    orbScene_api* api() override;
    void beginScene(orbSceneapi_oo* scene) override;
    void close() override;

private:
    orbScene_api* api_;
};

}  // namespace orb
