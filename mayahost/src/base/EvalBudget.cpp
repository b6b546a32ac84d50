#include "base/EvalBudget.h"
#include "base/Limits.h"

#include <algorithm>
#include <limits>

namespace mayahost {

namespace {

EvalBudget*& current() {
    static EvalBudget* budget = nullptr;
    return budget;
}

uint64_t saturatingAdd(uint64_t a, uint64_t b) {
    return a > std::numeric_limits<uint64_t>::max() - b ? std::numeric_limits<uint64_t>::max() : a + b;
}

}  // namespace

EvalBudget::EvalBudget() : limit_(limits().evalBudgetFloor) {}

void EvalBudget::addFileBytes(uint64_t bytes) {
    const uint64_t per = limits().evalBudgetPerFileByte;
    limit_ = saturatingAdd(limit_, bytes > std::numeric_limits<uint64_t>::max() / std::max<uint64_t>(per, 1)
                                       ? std::numeric_limits<uint64_t>::max()
                                       : bytes * per);
}

std::string EvalBudget::refuse(uint64_t bytes) const {
    if (bytes <= left()) return {};
    return "it needs about " + std::to_string(bytes) + " bytes, more than the " + std::to_string(left()) +
           " left of the scene's evaluation budget of " + std::to_string(limit_) + " bytes";
}

EvalBudget* currentEvalBudget() { return current(); }

void ScopedEvalBudget::install(EvalBudget* budget) { current() = budget; }

uint64_t faceAllowance() {
    const EvalBudget* budget = currentEvalBudget();
    const uint64_t cap = limits().maxMeshFaces;
    return budget ? std::min<uint64_t>(cap, budget->left() / kMeshBytesPerFace) : cap;
}

std::string refuseFaces(uint64_t faces) {
    if (faces > limits().maxMeshFaces)
        return std::to_string(faces) + " faces asked for, more than the " + std::to_string(limits().maxMeshFaces) +
               " allowed (maxMeshFaces)";
    const EvalBudget* budget = currentEvalBudget();
    if (!budget) return {};
    std::string why = budget->refuse(faces * kMeshBytesPerFace);
    return why.empty() ? why : std::to_string(faces) + " faces asked for: " + why;
}

}  // namespace mayahost
