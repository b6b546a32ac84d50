#pragma once
// Starting and ending the API as a library inside the program's process.

#include <maya/MStatus.h>

class MLibrary {
public:
    static MStatus initialize(const char* applicationName, bool viewportRenderer = false);
    static MStatus initialize(bool wantScriptOutput, const char* applicationName, bool viewportRenderer = false);
    // Flushes standard I/O and, when quitApplication is set, ends the process
    // with exitStatus.
    static void cleanup(int exitStatus = 0, bool quitApplication = true);
};
