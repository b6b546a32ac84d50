// mayaimport: the renderer starts it once per import with Base64-encoded
// settings; it starts Maya inside this process, converts the Maya scene and
// writes the scene file (or standard output). Diagnostics go to the log.

#include "common/ImportArgs.h"
#include "common/Log.h"
#include "common/platform/Platform.h"
#include "plugins/maya/src/BuildStamp.h"
#include "plugins/maya/src/maya2glowbox.h"
#include "sceneapi/LightFactory.h"
#include "sceneapi/orbSceneapi_oo.h"

#include <maya/MLibrary.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

#include <cstdio>
#include <iostream>
#include <stdexcept>
#include <string>

namespace {

constexpr int kOldestArgumentVersion = 6;

// Builds the output chain, runs the export and ends the process through
// Maya's shutdown. The factory and the scene front live to the end of the
// process: the scene stream is flushed by the runtime at exit.
int importRun(const ImportArgs& args) {
  orb::LightFileFactory* factory = nullptr;
  try {
    factory = new orb::LightFileFactory(args.getString(OUTPUT_FILENAME, "-"));
  } catch (const std::runtime_error& error) {
    // Nothing of the scene has been written anywhere yet.
    std::cerr << error.what() << std::endl;
    LOG(logERROR) << error.what();
    MLibrary::cleanup(1);
    return 1;
  }
  auto* front = new orb::orbSceneapi_oo(factory);
  if (args.getBool(DEBUGSCN, false)) front->api()->setFlags(1);

  auto* driver = new Maya2Glowbox(front, args);
  // A failed export has logged its reasons; the run still ends normally.
  driver->openAndExport();
  MLibrary::cleanup(0);

  delete driver;
  delete front;
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // Until Maya has started, whatever anyone prints on standard output goes to
  // standard error: standard output may be the scene.
  const int savedStdout = platform::dupFd(1);
  platform::closeFd(1);
  platform::dup2Fd(platform::fileNo(stderr), platform::fileNo(stdout));

  platform::tuneAllocatorForLargeArrays();

  LOG(logINFO) << "Starting maya importer (built " << buildStamp() << ") for MAYA_API_VERSION:" << MAYA_API_VERSION;
  const ImportArgs args(argc, argv);
  reportingLevel() = FILELog::fromString(args.getString(LOGLEVEL, "INFO"));
  LOG(logINFO) << "cnf parsed to:\n" << args;

  if (args.getInt(MAJOR_VERSION, -1) < kOldestArgumentVersion) {
    LOG(logERROR) << "trying to use old Glowbox Version";
    return 1;
  }

  char fallbackName[] = "mayaimport";
  const MStatus started = MLibrary::initialize(argc > 0 && argv[0] ? argv[0] : fallbackName, true);
  if (started.error()) {
    LOG(logERROR) << "could not initialize MAYA ";
    MLibrary::cleanup(1);
    return 1;
  }
  LOG(logDEBUG4) << "could  initialize MAYA ";

  // Anything buffered meanwhile belongs on standard error, not in the scene.
  std::cout.flush();
  std::fflush(stdout);
  platform::dup2Fd(savedStdout, 1);
  return importRun(args);
}
