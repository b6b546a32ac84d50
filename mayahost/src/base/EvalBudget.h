#pragma once
// What evaluation may keep in memory for one scene. Construction history can
// make a 100-byte file ask for a mesh of billions of faces; the budget lets
// history that legitimately builds large meshes from small files work (its
// floor) and grows with the files the scene is read from, and a node that
// would go beyond it fails its mesh with a warning instead of taking all of
// the machine's memory.

#include <cstddef>
#include <cstdint>
#include <string>

namespace mayahost {

class EvalBudget {
public:
    // A scene read from no file: the floor alone.
    EvalBudget();

    // The files a scene is read from widen its budget by their size.
    void addFileBytes(uint64_t bytes);
    // Results kept for the scene (evaluated meshes and surfaces).
    void charge(uint64_t bytes) { used_ += bytes; }
    void refund(uint64_t bytes) { used_ -= bytes < used_ ? bytes : used_; }

    uint64_t limit() const { return limit_; }
    uint64_t used() const { return used_; }
    uint64_t left() const { return used_ >= limit_ ? 0 : limit_ - used_; }

    // Why a result of `bytes` may not be made ("" when it may), naming the
    // budget and the value asked for.
    std::string refuse(uint64_t bytes) const;

private:
    uint64_t limit_;
    uint64_t used_ = 0;
};

// The budget of the scene being evaluated, or null outside an evaluation
// (then only the fixed caps apply).
EvalBudget* currentEvalBudget();

// Makes `budget` the current one for a scope; scopes nest.
class ScopedEvalBudget {
public:
    explicit ScopedEvalBudget(EvalBudget& budget) : saved_(currentEvalBudget()) { install(&budget); }
    ~ScopedEvalBudget() { install(saved_); }
    ScopedEvalBudget(const ScopedEvalBudget&) = delete;
    ScopedEvalBudget& operator=(const ScopedEvalBudget&) = delete;

private:
    static void install(EvalBudget* budget);
    EvalBudget* saved_;
};

// Bytes a mesh takes per face on average (points, loops, edges, a uv set,
// normals), to judge a node's result before it is made.
inline constexpr uint64_t kMeshBytesPerFace = 128;

// Faces one result may have now: limits().maxMeshFaces, lowered to what the
// current budget has left (for a tessellation that refines up to a bound).
uint64_t faceAllowance();

// Why a node may not make `faces` faces: more than limits().maxMeshFaces, or
// more than the current budget has left. "" when it may.
std::string refuseFaces(uint64_t faces);

}  // namespace mayahost
