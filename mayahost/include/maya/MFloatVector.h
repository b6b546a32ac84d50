#pragma once
// Single precision 3D vector; transforms as a direction.

#include <maya/MStatus.h>
#include <maya/MTypes.h>

#include <iosfwd>

#define MFloatVector_kTol 1.0e-5F

class MFloatMatrix;
class MVector;
class MFloatPoint;

class MFloatVector {
public:
    MFloatVector() = default;
    MFloatVector(const MFloatVector& src) = default;
    MFloatVector(const MVector& src);       // NOLINT: implicit as in the API
    MFloatVector(const MFloatPoint& src);   // NOLINT
    MFloatVector(float xx, float yy, float zz = 0.0F) : x(xx), y(yy), z(zz) {}
    MFloatVector(const float f[3]) : x(f[0]), y(f[1]), z(f[2]) {}  // NOLINT
    MFloatVector& operator=(const MFloatVector& src) = default;

    float operator()(unsigned int i) const { return i == 0 ? x : i == 1 ? y : z; }
    float operator[](unsigned int i) const { return (*this)(i); }
    float& operator[](unsigned int i) { return i == 0 ? x : i == 1 ? y : z; }
    MStatus get(float dest[3]) const;

    MFloatVector operator^(const MFloatVector& r) const;
    float operator*(const MFloatVector& r) const;
    MFloatVector operator*(float s) const { return {x * s, y * s, z * s}; }
    friend MFloatVector operator*(float s, const MFloatVector& v) { return v * s; }
    MFloatVector operator/(float s) const { return {x / s, y / s, z / s}; }
    MFloatVector operator*(const MFloatMatrix& m) const;
    MFloatVector operator+(const MFloatVector& r) const { return {x + r.x, y + r.y, z + r.z}; }
    MFloatVector operator-(const MFloatVector& r) const { return {x - r.x, y - r.y, z - r.z}; }
    MFloatVector operator-() const { return {-x, -y, -z}; }
    MFloatVector& operator+=(const MFloatVector& r);
    MFloatVector& operator-=(const MFloatVector& r);
    MFloatVector& operator*=(float s);
    bool operator==(const MFloatVector& r) const { return x == r.x && y == r.y && z == r.z; }
    bool operator!=(const MFloatVector& r) const { return !(*this == r); }

    float length() const;
    MFloatVector normal() const;
    MStatus normalize();
    bool isEquivalent(const MFloatVector& other, float tolerance = MFloatVector_kTol) const;

    friend std::ostream& operator<<(std::ostream& os, const MFloatVector& v);

    static const MFloatVector zero;
    static const MFloatVector one;
    static const MFloatVector xAxis;
    static const MFloatVector yAxis;
    static const MFloatVector zAxis;
    static const MFloatVector xNegAxis;
    static const MFloatVector yNegAxis;
    static const MFloatVector zNegAxis;

    float x = 0.0F;
    float y = 0.0F;
    float z = 0.0F;
};
