#pragma once
// Single precision 4x4 matrix, same conventions as MMatrix.

#include <maya/MStatus.h>
#include <maya/MTypes.h>

#include <iosfwd>

#define MFloatMatrix_kTol 1.0e-5F

class MMatrix;

class MFloatMatrix {
public:
    MFloatMatrix();
    MFloatMatrix(const MFloatMatrix& src) = default;
    MFloatMatrix(const float m[4][4]);   // NOLINT: implicit as in the API
    MFloatMatrix(const double m[4][4]);  // NOLINT
    MFloatMatrix& operator=(const MFloatMatrix& src) = default;

    MStatus get(float dest[4][4]) const;
    MStatus get(double dest[4][4]) const;

    float operator()(unsigned int row, unsigned int col) const { return matrix[row][col]; }
    float& operator()(unsigned int row, unsigned int col) { return matrix[row][col]; }
    const float* operator[](unsigned int row) const { return matrix[row]; }
    float* operator[](unsigned int row) { return matrix[row]; }

    MFloatMatrix& setToIdentity();
    MFloatMatrix operator*(const MFloatMatrix& right) const;
    MFloatMatrix& operator*=(const MFloatMatrix& right);
    bool operator==(const MFloatMatrix& other) const;
    bool operator!=(const MFloatMatrix& other) const { return !(*this == other); }

    MFloatMatrix transpose() const;
    MFloatMatrix inverse() const;
    float det4x4() const;
    bool isEquivalent(const MFloatMatrix& other, float tolerance = MFloatMatrix_kTol) const;

    friend std::ostream& operator<<(std::ostream& os, const MFloatMatrix& m);

    float matrix[4][4];
};
