#pragma once
// Scene-wide services: commands, the up axis, messages.

#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>
#include <maya/MVector.h>

class MIntArray;
class MDoubleArray;

class MGlobal {
public:
    enum MMayaState { kInteractive, kBatch, kLibraryApp, kBaseUIMode };

    static MMayaState mayaState(MStatus* ReturnStatus = NULL);
    static int apiVersion() { return MAYA_API_VERSION; }
    static MString mayaVersion() { return MString("2011"); }

    // The stand-in answers "ls" (-shapes, -type T, -long, -dag, -transforms)
    // and "currentUnit -query" (-linear, -angle, -time, with -fullName).
    static MStatus executeCommand(const MString& command, bool displayEnabled = false, bool undoEnabled = false);
    static MStatus executeCommand(const MString& command, MStringArray& result, bool displayEnabled = false,
                                  bool undoEnabled = false);
    static MStatus executeCommand(const MString& command, MString& result, bool displayEnabled = false,
                                  bool undoEnabled = false);
    static MStatus executeCommand(const MString& command, int& result, bool displayEnabled = false,
                                  bool undoEnabled = false);
    static MStatus executeCommand(const MString& command, double& result, bool displayEnabled = false,
                                  bool undoEnabled = false);

    static MVector upAxis(MStatus* ReturnStatus = NULL);
    static bool isYAxisUp(MStatus* ReturnStatus = NULL);
    static bool isZAxisUp(MStatus* ReturnStatus = NULL);

    static void displayInfo(const MString& text);
    static void displayWarning(const MString& text);
    static void displayError(const MString& text);
};
