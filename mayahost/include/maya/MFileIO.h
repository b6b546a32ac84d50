#pragma once
// Opening scene files. The stand-in reads Maya ASCII; every failure carries a
// readable reason in its status.

#include <maya/MStatus.h>
#include <maya/MString.h>

class MFileIO {
public:
    enum ReferenceMode { kLoadDefaultReferences = 0, kLoadAllReferences, kLoadNoReferences };

    static MStatus open(const MString& fileName, const char* type = NULL, bool force = false,
                        ReferenceMode loadReferenceMode = kLoadDefaultReferences, bool ignoreVersion = false);
    // The same with the reference mode given as a number.
    static MStatus open(const MString& fileName, const char* type, bool force, int loadReferenceMode,
                        bool ignoreVersion);
    static MStatus newFile(bool force = false);
    static MString currentFile();
    static MString fileType();
    static bool isNewingFile() { return false; }
    static bool isOpeningFile() { return false; }
};
