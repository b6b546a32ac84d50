#include <maya/MFileIO.h>

#include "base/EvalBudget.h"
#include "common/Log.h"
#include "file/MaReader.h"
#include "file/MbReader.h"
#include "api/ApiSupport.h"
#include "eval/Evaluators.h"
#include "db/SceneBuilder.h"
#include "eval/AnimationEval.h"

using namespace mayahost;

namespace {

// What the last successful open read: fileType() answers with it.
std::string& openedType() {
    static std::string type = "mayaAscii";
    return type;
}

MStatus::MStatusCode codeFor(scenefile::ReadError error) {
    switch (error) {
    case scenefile::ReadError::None: return MStatus::kSuccess;
    case scenefile::ReadError::FileNotFound: return MStatus::kNotFound;
    case scenefile::ReadError::Unreadable: return MStatus::kFailure;
    case scenefile::ReadError::Empty: return MStatus::kEndOfFile;
    case scenefile::ReadError::NotMayaAscii: return MStatus::kInvalidParameter;
    case scenefile::ReadError::MayaBinary: return MStatus::kNotImplemented;
    }
    return MStatus::kFailure;
}

}  // namespace

MStatus MFileIO::open(const MString& fileName, const char* type, bool force, ReferenceMode loadReferenceMode,
                      bool ignoreVersion) {
    return open(fileName, type, force, static_cast<int>(loadReferenceMode), ignoreVersion);
}

MStatus MFileIO::open(const MString& fileName, const char* type, bool, int, bool) {
    if (type && *type && std::string(type) != "mayaAscii" && std::string(type) != "mayaBinary")
        return MStatus::withReason(MStatus::kInvalidParameter,
                                   std::string("file type \"") + type +
                                       "\" is not read; only mayaAscii and mayaBinary are");
    auto scene = std::make_unique<Scene>();
    installSceneEvaluators(*scene);
    SceneBuilder builder(*scene, fileName.str());
    const bool binary = scenefile::isMayaBinaryFile(fileName.str());
    scenefile::ReadResult result = binary ? scenefile::readMbFile(fileName.str(), builder)
                                          : scenefile::readMaFile(fileName.str(), builder);
    if (!result.ok()) {
        std::string why = result.message.empty() ? std::string(scenefile::readErrorText(result.error)) + ": " + fileName.str()
                                                 : result.message;
        return MStatus::withReason(codeFor(result.error), why);
    }
    scene->cached<EvalBudget>().addFileBytes(result.bytes);
    // Attributes fed by expressions, constraints and the like keep their
    // stored values; say so once per kind of driver, with the load's warnings.
    reportUnevaluatedDrivers(*scene);
    // Warnings of the load go to the log, each naming the file and line.
    // (Findings about the whole scene have no line.)
    for (const SceneWarning& w : scene->warnings()) {
        if (w.line > 0)
            LOG(logWARNING) << w.file << ":" << w.line << ": " << w.message;
        else
            LOG(logWARNING) << w.file << ": " << w.message;
    }
    if (scene->warningsNotKept() > 0)
        LOG(logWARNING) << fileName.str() << ": " << scene->warningsNotKept() << " further warnings not shown";
    replaceCurrentScene(std::move(scene));
    setCurrentFilePath(fileName.str());
    openedType() = binary ? "mayaBinary" : "mayaAscii";
    return MStatus::kSuccess;
}

MStatus MFileIO::newFile(bool) {
    auto scene = std::make_unique<Scene>();
    installSceneEvaluators(*scene);
    replaceCurrentScene(std::move(scene));
    setCurrentFilePath("");
    openedType() = "mayaAscii";
    return MStatus::kSuccess;
}

MString MFileIO::currentFile() {
    const std::string& path = currentFilePath();
    return MString(path.empty() ? "untitled" : path.c_str());
}

MString MFileIO::fileType() { return MString(openedType().c_str()); }
