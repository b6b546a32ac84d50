#include "plugins/maya/src/mayautil.h"

#include <gtest/gtest.h>

namespace {

TEST(ToOrbMatrix, CopiesThreeColumnsAndForcesTheLastToUnit) {
  double values[4][4];
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) values[r][c] = 10.0 * r + c + 0.5;
  Matrix4d target;
  target.fill(-7.0);
  toOrbMatrix(MMatrix(values), target);
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 3; ++c) EXPECT_EQ(target[r * 4 + c], values[r][c]) << r << "," << c;
    EXPECT_EQ(target[r * 4 + 3], r == 3 ? 1.0 : 0.0) << r;
  }
}

TEST(FileBaseName, KeepsEverythingBetweenTheLastSlashAndTheLastDot) {
  EXPECT_EQ(fileBaseName("C:/scenes/ship.ma"), MString("ship"));
  EXPECT_EQ(fileBaseName("/work/v1.2/ship.final.ma"), MString("ship.final"));
  EXPECT_EQ(fileBaseName("cube.ma"), MString("cube"));
  // A backslash is no separator.
  EXPECT_EQ(fileBaseName("C:\\scenes\\ship.ma"), MString("C:\\scenes\\ship"));
}

}  // namespace
