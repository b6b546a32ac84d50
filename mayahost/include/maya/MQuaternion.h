#pragma once
// Rotation quaternion (x, y, z imaginary, w real). Products compose like
// matrices: (a * b).asMatrix() == a.asMatrix() * b.asMatrix().

#include <maya/MTypes.h>

#include <iosfwd>

#define MQuaternion_kTol 1.0e-10

class MMatrix;
class MVector;
class MEulerRotation;

class MQuaternion {
public:
    MQuaternion() = default;
    MQuaternion(const MQuaternion& src) = default;
    MQuaternion(double xx, double yy, double zz, double ww) : x(xx), y(yy), z(zz), w(ww) {}
    MQuaternion(const double q[4]) : x(q[0]), y(q[1]), z(q[2]), w(q[3]) {}  // NOLINT
    // The shortest rotation taking direction a onto direction b.
    MQuaternion(const MVector& a, const MVector& b);
    MQuaternion(double angle, const MVector& axis);
    MQuaternion& operator=(const MQuaternion& src) = default;

    MMatrix asMatrix() const;
    MEulerRotation asEulerRotation() const;
    MQuaternion& setAxisAngle(const MVector& axis, double theta);
    bool getAxisAngle(MVector& axis, double& theta) const;

    MQuaternion operator*(const MQuaternion& right) const;
    MQuaternion& operator*=(const MQuaternion& right);
    MQuaternion operator-() const { return {-x, -y, -z, -w}; }
    bool operator==(const MQuaternion& o) const { return x == o.x && y == o.y && z == o.z && w == o.w; }
    bool operator!=(const MQuaternion& o) const { return !(*this == o); }
    bool isEquivalent(const MQuaternion& other, double tolerance = MQuaternion_kTol) const;

    MQuaternion normal() const;
    MQuaternion& normalizeIt();
    MQuaternion conjugate() const { return {-x, -y, -z, w}; }
    MQuaternion inverse() const;

    double operator[](unsigned int i) const { return i == 0 ? x : i == 1 ? y : i == 2 ? z : w; }

    friend std::ostream& operator<<(std::ostream& os, const MQuaternion& q);

    static const MQuaternion identity;

    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    double w = 1.0;
};
