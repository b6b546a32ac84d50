// Vectors and points in single and double precision.

#include <maya/MFloatMatrix.h>
#include <maya/MFloatPoint.h>
#include <maya/MFloatVector.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MStatus.h>
#include <maya/MVector.h>

#include "common/platform/StableMath.h"

#include <algorithm>
#include <cmath>
#include <ostream>

// ---- MVector ----

const MVector MVector::zero(0.0, 0.0, 0.0);
const MVector MVector::one(1.0, 1.0, 1.0);
const MVector MVector::xAxis(1.0, 0.0, 0.0);
const MVector MVector::yAxis(0.0, 1.0, 0.0);
const MVector MVector::zAxis(0.0, 0.0, 1.0);
const MVector MVector::xNegAxis(-1.0, 0.0, 0.0);
const MVector MVector::yNegAxis(0.0, -1.0, 0.0);
const MVector MVector::zNegAxis(0.0, 0.0, -1.0);

MVector::MVector(const MFloatVector& src) : x(src.x), y(src.y), z(src.z) {}
MVector::MVector(const MPoint& src) : x(src.x), y(src.y), z(src.z) {}
MVector::MVector(const MFloatPoint& src) : x(src.x), y(src.y), z(src.z) {}

MStatus MVector::get(double dest[3]) const {
    dest[0] = x;
    dest[1] = y;
    dest[2] = z;
    return MStatus::kSuccess;
}

MVector MVector::operator^(const MVector& r) const {
    return {y * r.z - z * r.y, z * r.x - x * r.z, x * r.y - y * r.x};
}

double MVector::operator*(const MVector& r) const { return x * r.x + y * r.y + z * r.z; }

MVector MVector::operator*(const MMatrix& m) const {
    return {x * m(0, 0) + y * m(1, 0) + z * m(2, 0), x * m(0, 1) + y * m(1, 1) + z * m(2, 1),
            x * m(0, 2) + y * m(1, 2) + z * m(2, 2)};
}

MVector& MVector::operator*=(const MMatrix& m) { return *this = *this * m; }

MVector& MVector::operator*=(double s) {
    x *= s;
    y *= s;
    z *= s;
    return *this;
}

MVector& MVector::operator/=(double s) {
    x /= s;
    y /= s;
    z /= s;
    return *this;
}

MVector& MVector::operator+=(const MVector& r) {
    x += r.x;
    y += r.y;
    z += r.z;
    return *this;
}

MVector& MVector::operator-=(const MVector& r) {
    x -= r.x;
    y -= r.y;
    z -= r.z;
    return *this;
}

double MVector::length() const { return std::sqrt(x * x + y * y + z * z); }

MVector MVector::normal() const {
    const double len = length();
    return len > 0.0 ? *this / len : *this;
}

MStatus MVector::normalize() {
    const double len = length();
    if (len == 0.0) return MStatus::kFailure;
    *this /= len;
    return MStatus::kSuccess;
}

double MVector::angle(const MVector& other) const {
    const double denom = length() * other.length();
    if (denom == 0.0) return 0.0;
    return stablemath::acos(std::clamp((*this * other) / denom, -1.0, 1.0));
}

bool MVector::isEquivalent(const MVector& o, double tol) const {
    return std::fabs(x - o.x) <= tol && std::fabs(y - o.y) <= tol && std::fabs(z - o.z) <= tol;
}

bool MVector::isParallel(const MVector& o, double tol) const {
    const double denom = length() * o.length();
    if (denom == 0.0) return true;
    return ((*this ^ o).length() / denom) <= tol;
}

MVector MVector::transformAsNormal(const MMatrix& m) const {
    // Normals go through the inverse transpose so they stay perpendicular.
    return (*this * m.inverse().transpose()).normal();
}

std::ostream& operator<<(std::ostream& os, const MVector& v) {
    return os << '[' << v.x << ", " << v.y << ", " << v.z << ']';
}

// ---- MFloatVector ----

const MFloatVector MFloatVector::zero(0.0F, 0.0F, 0.0F);
const MFloatVector MFloatVector::one(1.0F, 1.0F, 1.0F);
const MFloatVector MFloatVector::xAxis(1.0F, 0.0F, 0.0F);
const MFloatVector MFloatVector::yAxis(0.0F, 1.0F, 0.0F);
const MFloatVector MFloatVector::zAxis(0.0F, 0.0F, 1.0F);
const MFloatVector MFloatVector::xNegAxis(-1.0F, 0.0F, 0.0F);
const MFloatVector MFloatVector::yNegAxis(0.0F, -1.0F, 0.0F);
const MFloatVector MFloatVector::zNegAxis(0.0F, 0.0F, -1.0F);

MFloatVector::MFloatVector(const MVector& s)
    : x(static_cast<float>(s.x)), y(static_cast<float>(s.y)), z(static_cast<float>(s.z)) {}
MFloatVector::MFloatVector(const MFloatPoint& s) : x(s.x), y(s.y), z(s.z) {}

MStatus MFloatVector::get(float dest[3]) const {
    dest[0] = x;
    dest[1] = y;
    dest[2] = z;
    return MStatus::kSuccess;
}

MFloatVector MFloatVector::operator^(const MFloatVector& r) const {
    return {y * r.z - z * r.y, z * r.x - x * r.z, x * r.y - y * r.x};
}

float MFloatVector::operator*(const MFloatVector& r) const { return x * r.x + y * r.y + z * r.z; }

MFloatVector MFloatVector::operator*(const MFloatMatrix& m) const {
    return {x * m(0, 0) + y * m(1, 0) + z * m(2, 0), x * m(0, 1) + y * m(1, 1) + z * m(2, 1),
            x * m(0, 2) + y * m(1, 2) + z * m(2, 2)};
}

MFloatVector& MFloatVector::operator+=(const MFloatVector& r) {
    x += r.x;
    y += r.y;
    z += r.z;
    return *this;
}

MFloatVector& MFloatVector::operator-=(const MFloatVector& r) {
    x -= r.x;
    y -= r.y;
    z -= r.z;
    return *this;
}

MFloatVector& MFloatVector::operator*=(float s) {
    x *= s;
    y *= s;
    z *= s;
    return *this;
}

float MFloatVector::length() const { return std::sqrt(x * x + y * y + z * z); }

MFloatVector MFloatVector::normal() const {
    const float len = length();
    return len > 0.0F ? *this / len : *this;
}

MStatus MFloatVector::normalize() {
    const float len = length();
    if (len == 0.0F) return MStatus::kFailure;
    *this = *this / len;
    return MStatus::kSuccess;
}

bool MFloatVector::isEquivalent(const MFloatVector& o, float tol) const {
    return std::fabs(x - o.x) <= tol && std::fabs(y - o.y) <= tol && std::fabs(z - o.z) <= tol;
}

std::ostream& operator<<(std::ostream& os, const MFloatVector& v) {
    return os << '[' << v.x << ", " << v.y << ", " << v.z << ']';
}

// ---- MPoint ----

const MPoint MPoint::origin(0.0, 0.0, 0.0, 1.0);

MPoint::MPoint(const MVector& s) : x(s.x), y(s.y), z(s.z), w(1.0) {}
MPoint::MPoint(const MFloatPoint& s) : x(s.x), y(s.y), z(s.z), w(s.w) {}
MPoint::MPoint(const MFloatVector& s) : x(s.x), y(s.y), z(s.z), w(1.0) {}

MStatus MPoint::get(double dest[4]) const {
    dest[0] = x;
    dest[1] = y;
    dest[2] = z;
    dest[3] = w;
    return MStatus::kSuccess;
}

MStatus MPoint::get(float dest[4]) const {
    dest[0] = static_cast<float>(x);
    dest[1] = static_cast<float>(y);
    dest[2] = static_cast<float>(z);
    dest[3] = static_cast<float>(w);
    return MStatus::kSuccess;
}

MPoint& MPoint::cartesianize() {
    if (w != 0.0 && w != 1.0) {
        x /= w;
        y /= w;
        z /= w;
        w = 1.0;
    }
    return *this;
}

MPoint& MPoint::rationalize() {
    if (w != 0.0 && w != 1.0) {
        x /= w;
        y /= w;
        z /= w;
    }
    return *this;
}

MPoint& MPoint::homogenize() {
    x *= w;
    y *= w;
    z *= w;
    return *this;
}

MPoint MPoint::operator*(const MMatrix& m) const {
    MPoint out;
    for (int c = 0; c < 4; ++c)
        out[static_cast<unsigned>(c)] = x * m(0, c) + y * m(1, c) + z * m(2, c) + w * m(3, c);
    return out;
}

MPoint& MPoint::operator*=(const MMatrix& m) { return *this = *this * m; }

MPoint MPoint::operator+(const MVector& v) const { return {x + v.x, y + v.y, z + v.z, w}; }
MPoint MPoint::operator-(const MVector& v) const { return {x - v.x, y - v.y, z - v.z, w}; }

MPoint& MPoint::operator+=(const MVector& v) { return *this = *this + v; }
MPoint& MPoint::operator-=(const MVector& v) { return *this = *this - v; }

MVector MPoint::operator-(const MPoint& o) const {
    // Differences of rational points are taken between their cartesian forms.
    MPoint a(*this), b(o);
    a.cartesianize();
    b.cartesianize();
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

double MPoint::distanceTo(const MPoint& other) const { return (*this - other).length(); }

bool MPoint::isEquivalent(const MPoint& o, double tol) const {
    return std::fabs(x - o.x) <= tol && std::fabs(y - o.y) <= tol && std::fabs(z - o.z) <= tol &&
           std::fabs(w - o.w) <= tol;
}

std::ostream& operator<<(std::ostream& os, const MPoint& p) {
    return os << '[' << p.x << ", " << p.y << ", " << p.z << ", " << p.w << ']';
}

// ---- MFloatPoint ----

const MFloatPoint MFloatPoint::origin(0.0F, 0.0F, 0.0F, 1.0F);

MFloatPoint::MFloatPoint(const MPoint& s)
    : x(static_cast<float>(s.x)), y(static_cast<float>(s.y)), z(static_cast<float>(s.z)),
      w(static_cast<float>(s.w)) {}
MFloatPoint::MFloatPoint(const MFloatVector& s) : x(s.x), y(s.y), z(s.z), w(1.0F) {}

MStatus MFloatPoint::get(float dest[4]) const {
    dest[0] = x;
    dest[1] = y;
    dest[2] = z;
    dest[3] = w;
    return MStatus::kSuccess;
}

MFloatPoint& MFloatPoint::cartesianize() {
    if (w != 0.0F && w != 1.0F) {
        x /= w;
        y /= w;
        z /= w;
        w = 1.0F;
    }
    return *this;
}

MFloatPoint MFloatPoint::operator*(const MFloatMatrix& m) const {
    MFloatPoint out;
    for (int c = 0; c < 4; ++c)
        out[static_cast<unsigned>(c)] = x * m(0, c) + y * m(1, c) + z * m(2, c) + w * m(3, c);
    return out;
}

MFloatPoint MFloatPoint::operator+(const MFloatVector& v) const { return {x + v.x, y + v.y, z + v.z, w}; }
MFloatPoint MFloatPoint::operator-(const MFloatVector& v) const { return {x - v.x, y - v.y, z - v.z, w}; }

MFloatVector MFloatPoint::operator-(const MFloatPoint& o) const {
    MFloatPoint a(*this), b(o);
    a.cartesianize();
    b.cartesianize();
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

float MFloatPoint::distanceTo(const MFloatPoint& other) const { return (*this - other).length(); }

bool MFloatPoint::isEquivalent(const MFloatPoint& o, float tol) const {
    return std::fabs(x - o.x) <= tol && std::fabs(y - o.y) <= tol && std::fabs(z - o.z) <= tol &&
           std::fabs(w - o.w) <= tol;
}

std::ostream& operator<<(std::ostream& os, const MFloatPoint& p) {
    return os << '[' << p.x << ", " << p.y << ", " << p.z << ", " << p.w << ']';
}
