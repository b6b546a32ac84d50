#include "plugins/maya/src/ProgressCounter.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// A scene front over the do-nothing API that remembers what progress it heard.
class ProgressRecorder : public orb::orbSceneapi_oo {
 public:
  void progress(const std::string& label, float fraction) override { heard.emplace_back(label, fraction); }
  std::vector<std::pair<std::string, float>> heard;
};

TEST(ProgressCounter, ReportsOnlyStepsOfAtLeastOnePercent) {
  ProgressRecorder scene;
  ProgressCounter counter{&scene, 250, 0, -1.0f};
  for (int i = 0; i < 250; ++i) counter.advance("meshes");
  EXPECT_EQ(counter.done, 250);
  // Steps of 0.4 %: the first advance reports, then every third (1.2 %).
  ASSERT_EQ(scene.heard.size(), 84u);
  EXPECT_EQ(scene.heard[0].first, "meshes");
  EXPECT_FLOAT_EQ(scene.heard[0].second, 0.004f);
  EXPECT_FLOAT_EQ(scene.heard[1].second, 0.016f);
  EXPECT_FLOAT_EQ(scene.heard.back().second, 1.0f);
  EXPECT_FLOAT_EQ(counter.lastFraction, 1.0f);
}

TEST(ProgressCounter, EveryStepOfASmallSceneIsReported) {
  ProgressRecorder scene;
  ProgressCounter counter{&scene, 4, 0, -1.0f};
  for (int i = 0; i < 4; ++i) counter.advance(i < 2 ? "a" : "b");
  ASSERT_EQ(scene.heard.size(), 4u);
  EXPECT_EQ(scene.heard[2], (std::pair<std::string, float>{"b", 0.75f}));
}

TEST(ProgressCounter, UncountedShapesReportNothing) {
  ProgressRecorder scene;
  ProgressCounter counter{&scene, -1, 0, -1.0f};
  for (int i = 0; i < 10; ++i) counter.advance("meshes");
  EXPECT_EQ(counter.done, 10);
  EXPECT_TRUE(scene.heard.empty());
}

}  // namespace
