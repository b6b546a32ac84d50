#include "plugins/maya/src/mayautil.h"

void toOrbMatrix(const MMatrix& source, Matrix4d& target) {
  target = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  for (unsigned row = 0; row < 4; ++row)
    for (unsigned column = 0; column < 3; ++column) target[row * 4 + column] = source(row, column);
}

MString fileBaseName(const MString& path) {
  return path.substring(path.rindex('/') + 1, path.rindex('.') - 1);
}
