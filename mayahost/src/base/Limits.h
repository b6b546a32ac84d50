#pragma once
// Every bound the stand-in puts on what a file can make it do, in one place.
// A scene file is untrusted input: these keep a small hostile file from
// taking all memory or time, while staying far above anything Maya writes.
// The defaults are the product's; tests lower them through ScopedLimits.

#include <cstddef>
#include <cstdint>

namespace mayahost {

struct Limits {
    // --- reading a file
    size_t chunkBytes = size_t(4) << 20;             // read size per chunk
    size_t maxStatementBytes = size_t(256) << 20;    // longer statements are skipped with a warning
    uint64_t maxWarnings = 1000;                     // further reader warnings are counted, not sent
    size_t maxStatementArgs = size_t(1) << 20;       // arguments of one command
    size_t maxStrings = size_t(1) << 22;             // strings in one string array value
    size_t maxRawTokens = size_t(1) << 20;           // tokens of one value kept unparsed
    int64_t maxFaceSets = 4096;                      // uv or colour set index in polyFaces
    int maxNurbsDegree = 64;                         // degree of a NURBS curve or surface
    size_t maxNameBytes = size_t(64) << 10;          // a node's name or type as written
    // --- the scene database
    int64_t maxDenseIndex = int64_t(1) << 28;        // index into a numeric multi such as .vt
    int maxConnectionSteps = 64;                     // connections followed to read one plug
    int maxReferenceDepth = 16;                      // files referenced inside referenced files
    uint64_t maxReferenceBytes = uint64_t(16) << 30; // size of one referenced file
    // --- evaluation
    int maxHistoryDepth = 500;                       // upstream nodes of one history (the stack holds each)
    int64_t maxInfluences = int64_t(1) << 16;        // skinCluster influences
    int64_t maxBlendTargets = int64_t(1) << 16;      // blendShape targets
    size_t maxMeshFaces = size_t(1) << 24;           // faces a creator or a subdivision may make
    uint64_t maxBooleanWork = uint64_t(1) << 30;     // steps of one polyBoolOp (pairs of triangles, cut and winding terms)
    size_t maxDagDepth = 1024;                       // parents above a node on one path
    // What evaluation may keep for one scene: the floor, plus this many bytes
    // per byte of the files the scene is read from (EvalBudget).
    uint64_t evalBudgetFloor = uint64_t(1) << 30;
    uint64_t evalBudgetPerFileByte = 16;
    // --- the API classes
    size_t maxIteratorEntries = size_t(1) << 26;     // entries of one MItDag walk
    size_t maxGraphVisits = size_t(1) << 22;         // plugs visited by one MItDependencyGraph
    size_t maxComponentVisits = 100000;              // faces visited when growing a component
};

// The limits in force for this process.
Limits& limits();

// Replaces the limits for a scope (tests), restoring the previous ones after.
class ScopedLimits {
public:
    explicit ScopedLimits(const Limits& replacement) : saved_(limits()) { limits() = replacement; }
    ~ScopedLimits() { limits() = saved_; }
    ScopedLimits(const ScopedLimits&) = delete;
    ScopedLimits& operator=(const ScopedLimits&) = delete;

private:
    Limits saved_;
};

}  // namespace mayahost
