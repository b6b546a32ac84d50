#pragma once
// The context in which a plug is evaluated. The stand-in evaluates every plug
// at the scene's current time: the normal context.

#include <maya/MTypes.h>

class MDGContext {
public:
    MDGContext() = default;
    bool isNormal() const { return true; }
    static MDGContext fsNormal;
};
