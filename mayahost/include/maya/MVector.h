#pragma once
// Double precision 3D vector. Multiplied by a matrix it transforms as a
// direction: the matrix's translation row does not apply.

#include <maya/MStatus.h>
#include <maya/MTypes.h>

#include <iosfwd>

#define MVector_kTol 1.0e-10

class MMatrix;
class MPoint;
class MFloatVector;
class MFloatPoint;

class MVector {
public:
    enum Axis { kXaxis, kYaxis, kZaxis, kWaxis };

    MVector() = default;
    MVector(const MVector& src) = default;
    MVector(const MFloatVector& src);  // NOLINT: implicit as in the API
    MVector(const MPoint& src);        // NOLINT
    MVector(const MFloatPoint& src);   // NOLINT
    MVector(double xx, double yy, double zz = 0.0) : x(xx), y(yy), z(zz) {}
    MVector(const double d[3]) : x(d[0]), y(d[1]), z(d[2]) {}  // NOLINT
    MVector(const float f[3]) : x(f[0]), y(f[1]), z(f[2]) {}   // NOLINT
    MVector& operator=(const MVector& src) = default;

    double operator()(unsigned int i) const { return i == 0 ? x : i == 1 ? y : z; }
    double operator[](unsigned int i) const { return (*this)(i); }
    double& operator[](unsigned int i) { return i == 0 ? x : i == 1 ? y : z; }
    MStatus get(double dest[3]) const;

    MVector operator^(const MVector& right) const;  // cross product
    double operator*(const MVector& right) const;   // dot product
    MVector operator*(double scalar) const { return {x * scalar, y * scalar, z * scalar}; }
    friend MVector operator*(double scalar, const MVector& v) { return v * scalar; }
    MVector operator/(double scalar) const { return {x / scalar, y / scalar, z / scalar}; }
    MVector operator*(const MMatrix& m) const;
    MVector& operator*=(const MMatrix& m);
    MVector& operator*=(double scalar);
    MVector& operator/=(double scalar);
    MVector operator+(const MVector& r) const { return {x + r.x, y + r.y, z + r.z}; }
    MVector operator-(const MVector& r) const { return {x - r.x, y - r.y, z - r.z}; }
    MVector& operator+=(const MVector& r);
    MVector& operator-=(const MVector& r);
    MVector operator-() const { return {-x, -y, -z}; }
    bool operator==(const MVector& r) const { return x == r.x && y == r.y && z == r.z; }
    bool operator!=(const MVector& r) const { return !(*this == r); }

    double length() const;
    MVector normal() const;
    MStatus normalize();
    double angle(const MVector& other) const;
    bool isEquivalent(const MVector& other, double tolerance = MVector_kTol) const;
    bool isParallel(const MVector& other, double tolerance = MVector_kTol) const;
    MVector transformAsNormal(const MMatrix& m) const;

    friend std::ostream& operator<<(std::ostream& os, const MVector& v);

    static const MVector zero;
    static const MVector one;
    static const MVector xAxis;
    static const MVector yAxis;
    static const MVector zAxis;
    static const MVector xNegAxis;
    static const MVector yNegAxis;
    static const MVector zNegAxis;

    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};
