#include "plugins/maya/src/ProgressCounter.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using Heard = std::vector<std::pair<std::string, float>>;

// A scene front over the do-nothing API that remembers what progress it heard.
class ProgressRecorder : public orb::orbSceneapi_oo {
 public:
  void progress(const std::string& label, float fraction) override { heard.emplace_back(label, fraction); }
  Heard heard;
};

// Advances a counter of `total` shapes `steps` times and returns what was reported.
Heard advance(int total, int steps) {
  ProgressRecorder scene;
  ProgressCounter counter{&scene, total, 0, -1.0f};
  for (int i = 0; i < steps; ++i) counter.advance(i < 2 ? "a" : "b");
  EXPECT_EQ(counter.done, steps);
  EXPECT_FLOAT_EQ(counter.lastFraction, scene.heard.empty() ? -1.0f : scene.heard.back().second);
  return scene.heard;
}

TEST(ProgressCounter, ReportsOnlyStepsOfAtLeastOnePercent) {
  // Steps of 0.4 %: the first advance reports, then every third (1.2 %).
  const Heard heard = advance(250, 250);
  ASSERT_EQ(heard.size(), 84u);
  EXPECT_EQ(heard[0].first, "a");
  EXPECT_FLOAT_EQ(heard[0].second, 0.004f);
  EXPECT_FLOAT_EQ(heard[1].second, 0.016f);
  EXPECT_FLOAT_EQ(heard.back().second, 1.0f);
  // Every step of a small scene is reported; uncounted shapes report nothing.
  EXPECT_EQ(advance(4, 4), (Heard{{"a", 0.25f}, {"a", 0.5f}, {"b", 0.75f}, {"b", 1.0f}}));
  EXPECT_TRUE(advance(-1, 10).empty());
}

}  // namespace
