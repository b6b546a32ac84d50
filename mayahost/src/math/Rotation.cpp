// Euler rotations and quaternions.

#include "math/TransformMath.h"
#include "common/platform/StableMath.h"

#include <maya/MEulerRotation.h>
#include <maya/MMatrix.h>
#include <maya/MQuaternion.h>
#include <maya/MVector.h>

#include <algorithm>
#include <cmath>
#include <ostream>

namespace {

struct AxisOrder {
    int first, second, third;
    bool even;  // a cyclic permutation of x, y, z
};

AxisOrder axesOf(MEulerRotation::RotationOrder order) {
    switch (order) {
    case MEulerRotation::kYZX: return {1, 2, 0, true};
    case MEulerRotation::kZXY: return {2, 0, 1, true};
    case MEulerRotation::kXZY: return {0, 2, 1, false};
    case MEulerRotation::kYXZ: return {1, 0, 2, false};
    case MEulerRotation::kZYX: return {2, 1, 0, false};
    case MEulerRotation::kXYZ:
    default: return {0, 1, 2, true};
    }
}

MQuaternion axisQuaternion(int axis, double angle) {
    double v[4] = {0.0, 0.0, 0.0, stablemath::cos(angle / 2.0)};
    v[axis] = stablemath::sin(angle / 2.0);
    return MQuaternion(v);
}

}  // namespace

// ---- MEulerRotation ----

const MEulerRotation MEulerRotation::identity;

MEulerRotation::MEulerRotation(const MVector& v, RotationOrder ord) : x(v.x), y(v.y), z(v.z), order(ord) {}

MEulerRotation& MEulerRotation::setValue(double xx, double yy, double zz, RotationOrder ord) {
    x = xx;
    y = yy;
    z = zz;
    order = ord;
    return *this;
}

MMatrix MEulerRotation::asMatrix() const {
    const AxisOrder a = axesOf(order);
    const double angles[3] = {x, y, z};
    return mayahost::axisRotationMatrix(a.first, angles[a.first]) *
           mayahost::axisRotationMatrix(a.second, angles[a.second]) *
           mayahost::axisRotationMatrix(a.third, angles[a.third]);
}

MQuaternion MEulerRotation::asQuaternion() const {
    const AxisOrder a = axesOf(order);
    const double angles[3] = {x, y, z};
    return axisQuaternion(a.first, angles[a.first]) * axisQuaternion(a.second, angles[a.second]) *
           axisQuaternion(a.third, angles[a.third]);
}

MVector MEulerRotation::asVector() const { return {x, y, z}; }

bool MEulerRotation::operator==(const MEulerRotation& o) const {
    return x == o.x && y == o.y && z == o.z && order == o.order;
}

bool MEulerRotation::isEquivalent(const MEulerRotation& o, double tol) const {
    return order == o.order && std::fabs(x - o.x) <= tol && std::fabs(y - o.y) <= tol &&
           std::fabs(z - o.z) <= tol;
}

MEulerRotation MEulerRotation::decompose(const MMatrix& m, RotationOrder ord) {
    // With M = R_i(a) * R_j(b) * R_k(c), row i holds cos(b)cos(c), +-cos(b)sin(c)
    // and -+sin(b); the signs flip for the odd orders.
    const AxisOrder o = axesOf(ord);
    const unsigned i = static_cast<unsigned>(o.first), j = static_cast<unsigned>(o.second),
                   k = static_cast<unsigned>(o.third);
    const double s = o.even ? 1.0 : -1.0;
    double a, b, c;
    const double sinB = std::clamp(-s * m(i, k), -1.0, 1.0);
    b = stablemath::asin(sinB);
    const double cosB = stablemath::hypot(m(i, i), m(i, j));
    if (cosB > 1e-12) {
        c = stablemath::atan2(s * m(i, j), m(i, i));
        a = stablemath::atan2(s * m(j, k), m(k, k));
    } else {
        // Gimbal lock: only a + c or a - c is known; put it all in a.
        c = 0.0;
        a = stablemath::atan2(-s * m(k, j), m(j, j));
    }
    double angles[3];
    angles[i] = a;
    angles[j] = b;
    angles[k] = c;
    return MEulerRotation(angles[0], angles[1], angles[2], ord);
}

std::ostream& operator<<(std::ostream& os, const MEulerRotation& r) {
    return os << '[' << r.x << ", " << r.y << ", " << r.z << ']';
}

// ---- MQuaternion ----

const MQuaternion MQuaternion::identity;

MQuaternion::MQuaternion(const MVector& a, const MVector& b) {
    const MVector na = a.normal(), nb = b.normal();
    const double d = std::clamp(na * nb, -1.0, 1.0);
    MVector axis = na ^ nb;
    if (axis.length() < 1e-12) {
        if (d > 0.0) return;  // already aligned: identity
        // Opposite directions: turn half way round any axis perpendicular to a.
        axis = na ^ MVector::xAxis;
        if (axis.length() < 1e-6) axis = na ^ MVector::yAxis;
    }
    setAxisAngle(axis, stablemath::acos(d));
}

MQuaternion::MQuaternion(double angle, const MVector& axis) { setAxisAngle(axis, angle); }

MQuaternion& MQuaternion::setAxisAngle(const MVector& axis, double theta) {
    const MVector n = axis.normal();
    const double s = stablemath::sin(theta / 2.0);
    x = n.x * s;
    y = n.y * s;
    z = n.z * s;
    w = stablemath::cos(theta / 2.0);
    return *this;
}

bool MQuaternion::getAxisAngle(MVector& axis, double& theta) const {
    const MQuaternion q = normal();
    const double s = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z);
    theta = 2.0 * stablemath::atan2(s, q.w);
    if (s < 1e-15) {
        axis = MVector::xAxis;
        return false;
    }
    axis = MVector(q.x / s, q.y / s, q.z / s);
    return true;
}

MMatrix MQuaternion::asMatrix() const {
    const MQuaternion q = normal();
    const double xx = q.x * q.x, yy = q.y * q.y, zz = q.z * q.z;
    const double xy = q.x * q.y, xz = q.x * q.z, yz = q.y * q.z;
    const double wx = q.w * q.x, wy = q.w * q.y, wz = q.w * q.z;
    MMatrix m;
    m(0, 0) = 1.0 - 2.0 * (yy + zz);
    m(0, 1) = 2.0 * (xy + wz);
    m(0, 2) = 2.0 * (xz - wy);
    m(1, 0) = 2.0 * (xy - wz);
    m(1, 1) = 1.0 - 2.0 * (xx + zz);
    m(1, 2) = 2.0 * (yz + wx);
    m(2, 0) = 2.0 * (xz + wy);
    m(2, 1) = 2.0 * (yz - wx);
    m(2, 2) = 1.0 - 2.0 * (xx + yy);
    return m;
}

MEulerRotation MQuaternion::asEulerRotation() const {
    return MEulerRotation::decompose(asMatrix(), MEulerRotation::kXYZ);
}

MQuaternion MQuaternion::operator*(const MQuaternion& r) const {
    // Applying *this then r: the Hamilton product r (x) *this.
    const MQuaternion& p = r;
    const MQuaternion& q = *this;
    return {p.w * q.x + q.w * p.x + (p.y * q.z - p.z * q.y), p.w * q.y + q.w * p.y + (p.z * q.x - p.x * q.z),
            p.w * q.z + q.w * p.z + (p.x * q.y - p.y * q.x), p.w * q.w - (p.x * q.x + p.y * q.y + p.z * q.z)};
}

MQuaternion& MQuaternion::operator*=(const MQuaternion& r) { return *this = *this * r; }

bool MQuaternion::isEquivalent(const MQuaternion& o, double tol) const {
    return std::fabs(x - o.x) <= tol && std::fabs(y - o.y) <= tol && std::fabs(z - o.z) <= tol &&
           std::fabs(w - o.w) <= tol;
}

MQuaternion MQuaternion::normal() const {
    const double len = std::sqrt(x * x + y * y + z * z + w * w);
    if (len == 0.0) return {};
    return {x / len, y / len, z / len, w / len};
}

MQuaternion& MQuaternion::normalizeIt() { return *this = normal(); }

MQuaternion MQuaternion::inverse() const {
    const double n = x * x + y * y + z * z + w * w;
    if (n == 0.0) return {};
    return {-x / n, -y / n, -z / n, w / n};
}

std::ostream& operator<<(std::ostream& os, const MQuaternion& q) {
    return os << '[' << q.x << ", " << q.y << ", " << q.z << ", " << q.w << ']';
}
