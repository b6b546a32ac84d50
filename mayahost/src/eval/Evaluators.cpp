#include "eval/Evaluators.h"

#include "eval/AnimationEval.h"
#include "eval/TextureEval.h"

namespace mayahost {

void installSceneEvaluators(Scene& scene) {
    installAnimationEvaluators(scene);
    installTextureEvaluators(scene);
}

}  // namespace mayahost
