#pragma once
// Basic definitions shared by every header of the API.

#include <cstddef>

#ifndef MAYA_API_VERSION
#define MAYA_API_VERSION 201100
#endif

#ifndef OPENMAYA_EXPORT
#define OPENMAYA_EXPORT
#endif

#ifndef NULL
#define NULL nullptr
#endif

class MStatus;
class MString;
class MStringArray;
class MObject;
class MObjectArray;
class MIntArray;
class MFloatArray;
class MDoubleArray;
class MPlug;
class MPlugArray;
class MDagPath;
class MDagPathArray;
