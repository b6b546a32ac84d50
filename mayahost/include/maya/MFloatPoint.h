#pragma once
// Homogeneous single precision point (x, y, z, w).

#include <maya/MStatus.h>
#include <maya/MTypes.h>

#include <iosfwd>

#define MFloatPoint_kTol 1.0e-5F

class MFloatMatrix;
class MPoint;
class MFloatVector;
class MVector;

class MFloatPoint {
public:
    MFloatPoint() = default;
    MFloatPoint(const MFloatPoint& src) = default;
    MFloatPoint(const MPoint& src);         // NOLINT: implicit as in the API
    MFloatPoint(const MFloatVector& src);   // NOLINT
    MFloatPoint(float xx, float yy, float zz = 0.0F, float ww = 1.0F) : x(xx), y(yy), z(zz), w(ww) {}
    MFloatPoint(const float f[4]) : x(f[0]), y(f[1]), z(f[2]), w(f[3]) {}  // NOLINT
    MFloatPoint& operator=(const MFloatPoint& src) = default;

    float operator()(unsigned int i) const { return i == 0 ? x : i == 1 ? y : i == 2 ? z : w; }
    float operator[](unsigned int i) const { return (*this)(i); }
    float& operator[](unsigned int i) { return i == 0 ? x : i == 1 ? y : i == 2 ? z : w; }
    MStatus get(float dest[4]) const;

    MFloatPoint& cartesianize();
    MFloatPoint operator*(const MFloatMatrix& m) const;
    MFloatPoint operator+(const MFloatVector& v) const;
    MFloatPoint operator-(const MFloatVector& v) const;
    MFloatVector operator-(const MFloatPoint& other) const;
    bool operator==(const MFloatPoint& o) const { return x == o.x && y == o.y && z == o.z && w == o.w; }
    bool operator!=(const MFloatPoint& o) const { return !(*this == o); }

    float distanceTo(const MFloatPoint& other) const;
    bool isEquivalent(const MFloatPoint& other, float tolerance = MFloatPoint_kTol) const;

    friend std::ostream& operator<<(std::ostream& os, const MFloatPoint& p);

    static const MFloatPoint origin;

    float x = 0.0F;
    float y = 0.0F;
    float z = 0.0F;
    float w = 1.0F;
};
