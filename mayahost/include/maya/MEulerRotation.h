#pragma once
// Rotation as three angles in radians applied one axis after the other in the
// rotation order: kXYZ rotates about X first, so its matrix is Rx * Ry * Rz.

#include <maya/MTypes.h>

#include <iosfwd>

#define MEulerRotation_kTol 1.0e-10

class MMatrix;
class MQuaternion;
class MVector;

class MEulerRotation {
public:
    // Same numbering as the rotateOrder attribute of transform nodes.
    enum RotationOrder { kXYZ, kYZX, kZXY, kXZY, kYXZ, kZYX };

    MEulerRotation() = default;
    MEulerRotation(const MEulerRotation& src) = default;
    MEulerRotation(const MVector& v, RotationOrder ord = kXYZ);
    MEulerRotation(double xx, double yy, double zz, RotationOrder ord = kXYZ)
        : x(xx), y(yy), z(zz), order(ord) {}
    MEulerRotation& operator=(const MEulerRotation& src) = default;

    MEulerRotation& setValue(double xx, double yy, double zz, RotationOrder ord = kXYZ);
    MMatrix asMatrix() const;
    MQuaternion asQuaternion() const;
    MVector asVector() const;

    double operator[](unsigned int i) const { return i == 0 ? x : i == 1 ? y : z; }
    double& operator[](unsigned int i) { return i == 0 ? x : i == 1 ? y : z; }
    MEulerRotation operator-() const { return {-x, -y, -z, order}; }
    bool operator==(const MEulerRotation& o) const;
    bool operator!=(const MEulerRotation& o) const { return !(*this == o); }
    bool isEquivalent(const MEulerRotation& other, double tolerance = MEulerRotation_kTol) const;

    // Angles in the given order whose matrix is the rotation part of `matrix`
    // (which must be free of scale and shear).
    static MEulerRotation decompose(const MMatrix& matrix, RotationOrder ord);

    friend std::ostream& operator<<(std::ostream& os, const MEulerRotation& r);

    static const MEulerRotation identity;

    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    RotationOrder order = kXYZ;
};
