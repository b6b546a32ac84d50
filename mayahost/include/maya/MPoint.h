#pragma once
// Homogeneous double precision point (x, y, z, w). Multiplied by a matrix it
// takes the full 4D product, translation included.

#include <maya/MStatus.h>
#include <maya/MTypes.h>

#include <iosfwd>

#define MPoint_kTol 1.0e-10

class MMatrix;
class MVector;
class MFloatPoint;
class MFloatVector;

class MPoint {
public:
    MPoint() = default;
    MPoint(const MPoint& src) = default;
    MPoint(const MVector& src);       // NOLINT: implicit as in the API
    MPoint(const MFloatPoint& src);   // NOLINT
    MPoint(const MFloatVector& src);  // NOLINT
    MPoint(double xx, double yy, double zz = 0.0, double ww = 1.0) : x(xx), y(yy), z(zz), w(ww) {}
    MPoint(const double d[4]) : x(d[0]), y(d[1]), z(d[2]), w(d[3]) {}  // NOLINT
    MPoint(const float f[4]) : x(f[0]), y(f[1]), z(f[2]), w(f[3]) {}   // NOLINT
    MPoint& operator=(const MPoint& src) = default;

    double operator()(unsigned int i) const { return i == 0 ? x : i == 1 ? y : i == 2 ? z : w; }
    double operator[](unsigned int i) const { return (*this)(i); }
    double& operator[](unsigned int i) { return i == 0 ? x : i == 1 ? y : i == 2 ? z : w; }
    MStatus get(double dest[4]) const;
    MStatus get(float dest[4]) const;

    MPoint& cartesianize();  // divide by w, w becomes 1
    MPoint& rationalize();   // divide x, y, z by w, keep w
    MPoint& homogenize();    // multiply x, y, z by w

    MPoint operator*(const MMatrix& m) const;
    MPoint& operator*=(const MMatrix& m);
    MPoint operator*(double s) const { return {x * s, y * s, z * s, w}; }
    MPoint operator/(double s) const { return {x / s, y / s, z / s, w}; }
    MPoint operator+(const MVector& v) const;
    MPoint operator-(const MVector& v) const;
    MPoint& operator+=(const MVector& v);
    MPoint& operator-=(const MVector& v);
    MVector operator-(const MPoint& other) const;
    bool operator==(const MPoint& o) const { return x == o.x && y == o.y && z == o.z && w == o.w; }
    bool operator!=(const MPoint& o) const { return !(*this == o); }

    double distanceTo(const MPoint& other) const;
    bool isEquivalent(const MPoint& other, double tolerance = MPoint_kTol) const;

    friend std::ostream& operator<<(std::ostream& os, const MPoint& p);

    static const MPoint origin;

    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    double w = 1.0;
};
