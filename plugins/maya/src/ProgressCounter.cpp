#include "plugins/maya/src/ProgressCounter.h"

void ProgressCounter::advance(const std::string& label) {
  ++done;
  // When the shapes could not be counted (total -1) every fraction is
  // negative and never climbs, so nothing is reported.
  const float fraction = static_cast<float>(done) / static_cast<float>(total);
  if (fraction - lastFraction >= 0.01f) {
    lastFraction = fraction;
    if (scene) scene->progress(label, fraction);
  }
}
