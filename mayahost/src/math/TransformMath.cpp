#include "math/TransformMath.h"
#include "common/platform/StableMath.h"

#include <cmath>

namespace mayahost {

MMatrix translationMatrix(const MVector& t) {
    MMatrix m;
    m(3, 0) = t.x;
    m(3, 1) = t.y;
    m(3, 2) = t.z;
    return m;
}

MMatrix scaleMatrix(const double scale[3]) {
    MMatrix m;
    for (unsigned i = 0; i < 3; ++i) m(i, i) = scale[i];
    return m;
}

MMatrix shearMatrix(const double shear[3]) {
    MMatrix m;
    m(1, 0) = shear[0];
    m(2, 0) = shear[1];
    m(2, 1) = shear[2];
    return m;
}

MMatrix axisRotationMatrix(int axis, double angle) {
    const double c = stablemath::cos(angle), s = stablemath::sin(angle);
    const unsigned a = static_cast<unsigned>((axis + 1) % 3), b = static_cast<unsigned>((axis + 2) % 3);
    MMatrix m;
    m(a, a) = c;
    m(a, b) = s;
    m(b, a) = -s;
    m(b, b) = c;
    return m;
}

MMatrix jointMatrix(const JointComponents& j) {
    MMatrix m = scaleMatrix(j.scale) * shearMatrix(j.shear);
    m *= MEulerRotation(j.rotateAxis[0], j.rotateAxis[1], j.rotateAxis[2]).asMatrix();
    m *= MEulerRotation(j.rotate[0], j.rotate[1], j.rotate[2], j.rotateOrder).asMatrix();
    m *= MEulerRotation(j.jointOrient[0], j.jointOrient[1], j.jointOrient[2]).asMatrix();
    if (j.segmentScaleCompensate) {
        // A zero parent scale has no inverse; such an axis stays collapsed.
        double inverse[3];
        for (int i = 0; i < 3; ++i) inverse[i] = j.inverseScale[i] != 0.0 ? 1.0 / j.inverseScale[i] : 0.0;
        m *= scaleMatrix(inverse);
    }
    return m * translationMatrix(MVector(j.translate));
}

}  // namespace mayahost
