#pragma once
// 4x4 double matrix in the API's convention: row vectors (v' = v * M), the
// translation in the last row, a child's world matrix = local * parentWorld.

#include <maya/MStatus.h>
#include <maya/MTypes.h>

#include <iosfwd>

#define MMatrix_kTol 1.0e-10

class MFloatMatrix;

class MMatrix {
public:
    MMatrix();
    MMatrix(const MMatrix& src) = default;
    MMatrix(const double m[4][4]);  // NOLINT: implicit as in the API
    MMatrix(const float m[4][4]);   // NOLINT
    MMatrix& operator=(const MMatrix& src) = default;

    MStatus get(double dest[4][4]) const;
    MStatus get(float dest[4][4]) const;

    double operator()(unsigned int row, unsigned int col) const { return matrix[row][col]; }
    double& operator()(unsigned int row, unsigned int col) { return matrix[row][col]; }
    const double* operator[](unsigned int row) const { return matrix[row]; }
    double* operator[](unsigned int row) { return matrix[row]; }

    MMatrix& setToIdentity();
    MMatrix& setToProduct(const MMatrix& left, const MMatrix& right);

    MMatrix& operator+=(const MMatrix& right);
    MMatrix operator+(const MMatrix& right) const;
    MMatrix& operator-=(const MMatrix& right);
    MMatrix operator-(const MMatrix& right) const;
    MMatrix& operator*=(const MMatrix& right);
    MMatrix operator*(const MMatrix& right) const;
    MMatrix& operator*=(double scalar);
    MMatrix operator*(double scalar) const;
    friend MMatrix operator*(double scalar, const MMatrix& right) { return right * scalar; }

    bool operator==(const MMatrix& other) const;
    bool operator!=(const MMatrix& other) const { return !(*this == other); }

    MMatrix transpose() const;
    // The inverse; a singular matrix yields the identity (no inverse exists).
    MMatrix inverse() const;
    MMatrix adjoint() const;
    MMatrix homogenize() const;
    double det4x4() const;
    double det3x3() const;
    bool isEquivalent(const MMatrix& other, double tolerance = MMatrix_kTol) const;
    bool isSingular() const;

    friend std::ostream& operator<<(std::ostream& os, const MMatrix& m);

    static const MMatrix identity;

    double matrix[4][4];
};
