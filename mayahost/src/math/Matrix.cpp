// MMatrix and MFloatMatrix: plain 4x4 arithmetic in double precision (the
// float matrix converts through double so both share one inverse).

#include <maya/MFloatMatrix.h>
#include <maya/MMatrix.h>
#include <maya/MStatus.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <utility>

namespace {

using Mat = double[4][4];

void setIdentity(Mat m) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) m[r][c] = r == c ? 1.0 : 0.0;
}

void multiply(const Mat a, const Mat b, Mat out) {
    double tmp[4][4];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) sum += a[r][k] * b[k][c];
            tmp[r][c] = sum;
        }
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) out[r][c] = tmp[r][c];
}

double det3(double a, double b, double c, double d, double e, double f, double g, double h, double i) {
    return a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
}

// Cofactor (r, c) of a 4x4 matrix.
double cofactor(const Mat m, int r, int c) {
    double sub[9];
    int n = 0;
    for (int i = 0; i < 4; ++i) {
        if (i == r) continue;
        for (int j = 0; j < 4; ++j) {
            if (j == c) continue;
            sub[n++] = m[i][j];
        }
    }
    const double minor = det3(sub[0], sub[1], sub[2], sub[3], sub[4], sub[5], sub[6], sub[7], sub[8]);
    return ((r + c) % 2 == 0) ? minor : -minor;
}

double determinant(const Mat m) {
    double det = 0.0;
    for (int c = 0; c < 4; ++c) det += m[0][c] * cofactor(m, 0, c);
    return det;
}

// Gauss-Jordan with partial pivoting; false when the matrix is singular.
bool invert(const Mat m, Mat out) {
    double a[4][8];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            a[r][c] = m[r][c];
            a[r][c + 4] = r == c ? 1.0 : 0.0;
        }
    double scale = 0.0;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) scale = std::max(scale, std::fabs(m[r][c]));
    if (scale == 0.0 || !std::isfinite(scale)) return false;
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 4; ++r)
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
        if (std::fabs(a[pivot][col]) <= scale * 1e-15) return false;
        if (pivot != col)
            for (int c = 0; c < 8; ++c) std::swap(a[pivot][c], a[col][c]);
        const double inv = 1.0 / a[col][col];
        for (int c = 0; c < 8; ++c) a[col][c] *= inv;
        for (int r = 0; r < 4; ++r) {
            if (r == col || a[r][col] == 0.0) continue;
            const double f = a[r][col];
            for (int c = 0; c < 8; ++c) a[r][c] -= f * a[col][c];
        }
    }
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) out[r][c] = a[r][c + 4];
    return true;
}

void printMatrix(std::ostream& os, const Mat m) {
    os << '[';
    for (int r = 0; r < 4; ++r) {
        os << (r ? ", [" : "[");
        for (int c = 0; c < 4; ++c) os << (c ? ", " : "") << m[r][c];
        os << ']';
    }
    os << ']';
}

}  // namespace

// ---- MMatrix ----

const MMatrix MMatrix::identity;

MMatrix::MMatrix() { setIdentity(matrix); }

MMatrix::MMatrix(const double m[4][4]) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) matrix[r][c] = m[r][c];
}

MMatrix::MMatrix(const float m[4][4]) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) matrix[r][c] = m[r][c];
}

MStatus MMatrix::get(double dest[4][4]) const {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) dest[r][c] = matrix[r][c];
    return MStatus::kSuccess;
}

MStatus MMatrix::get(float dest[4][4]) const {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) dest[r][c] = static_cast<float>(matrix[r][c]);
    return MStatus::kSuccess;
}

MMatrix& MMatrix::setToIdentity() {
    setIdentity(matrix);
    return *this;
}

MMatrix& MMatrix::setToProduct(const MMatrix& left, const MMatrix& right) {
    multiply(left.matrix, right.matrix, matrix);
    return *this;
}

MMatrix& MMatrix::operator+=(const MMatrix& right) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) matrix[r][c] += right.matrix[r][c];
    return *this;
}

MMatrix MMatrix::operator+(const MMatrix& right) const {
    MMatrix out(*this);
    return out += right;
}

MMatrix& MMatrix::operator-=(const MMatrix& right) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) matrix[r][c] -= right.matrix[r][c];
    return *this;
}

MMatrix MMatrix::operator-(const MMatrix& right) const {
    MMatrix out(*this);
    return out -= right;
}

MMatrix& MMatrix::operator*=(const MMatrix& right) {
    multiply(matrix, right.matrix, matrix);
    return *this;
}

MMatrix MMatrix::operator*(const MMatrix& right) const {
    MMatrix out;
    multiply(matrix, right.matrix, out.matrix);
    return out;
}

MMatrix& MMatrix::operator*=(double scalar) {
    for (auto& row : matrix)
        for (double& v : row) v *= scalar;
    return *this;
}

MMatrix MMatrix::operator*(double scalar) const {
    MMatrix out(*this);
    return out *= scalar;
}

bool MMatrix::operator==(const MMatrix& other) const {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (matrix[r][c] != other.matrix[r][c]) return false;
    return true;
}

MMatrix MMatrix::transpose() const {
    MMatrix out;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) out.matrix[r][c] = matrix[c][r];
    return out;
}

MMatrix MMatrix::inverse() const {
    MMatrix out;
    if (!invert(matrix, out.matrix)) out.setToIdentity();
    return out;
}

MMatrix MMatrix::adjoint() const {
    MMatrix out;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) out.matrix[c][r] = cofactor(matrix, r, c);
    return out;
}

MMatrix MMatrix::homogenize() const {
    MMatrix out(*this);
    for (auto& row : out.matrix) {
        const double w = row[3];
        if (w != 0.0 && w != 1.0) {
            for (int c = 0; c < 3; ++c) row[c] /= w;
            row[3] = 1.0;
        }
    }
    return out;
}

double MMatrix::det4x4() const { return determinant(matrix); }

double MMatrix::det3x3() const {
    const auto& m = matrix;
    return det3(m[0][0], m[0][1], m[0][2], m[1][0], m[1][1], m[1][2], m[2][0], m[2][1], m[2][2]);
}

bool MMatrix::isEquivalent(const MMatrix& other, double tolerance) const {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (std::fabs(matrix[r][c] - other.matrix[r][c]) > tolerance) return false;
    return true;
}

bool MMatrix::isSingular() const {
    double scratch[4][4];
    return !invert(matrix, scratch);
}

std::ostream& operator<<(std::ostream& os, const MMatrix& m) {
    printMatrix(os, m.matrix);
    return os;
}

// ---- MFloatMatrix ----

namespace {

void toDouble(const float in[4][4], double out[4][4]) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) out[r][c] = in[r][c];
}

void toFloat(const double in[4][4], float out[4][4]) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) out[r][c] = static_cast<float>(in[r][c]);
}

}  // namespace

MFloatMatrix::MFloatMatrix() { setToIdentity(); }

MFloatMatrix::MFloatMatrix(const float m[4][4]) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) matrix[r][c] = m[r][c];
}

MFloatMatrix::MFloatMatrix(const double m[4][4]) { toFloat(m, matrix); }

MStatus MFloatMatrix::get(float dest[4][4]) const {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) dest[r][c] = matrix[r][c];
    return MStatus::kSuccess;
}

MStatus MFloatMatrix::get(double dest[4][4]) const {
    toDouble(matrix, dest);
    return MStatus::kSuccess;
}

MFloatMatrix& MFloatMatrix::setToIdentity() {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) matrix[r][c] = r == c ? 1.0F : 0.0F;
    return *this;
}

MFloatMatrix MFloatMatrix::operator*(const MFloatMatrix& right) const {
    double a[4][4], b[4][4], p[4][4];
    toDouble(matrix, a);
    toDouble(right.matrix, b);
    multiply(a, b, p);
    return MFloatMatrix(p);
}

MFloatMatrix& MFloatMatrix::operator*=(const MFloatMatrix& right) { return *this = *this * right; }

bool MFloatMatrix::operator==(const MFloatMatrix& other) const {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (matrix[r][c] != other.matrix[r][c]) return false;
    return true;
}

MFloatMatrix MFloatMatrix::transpose() const {
    MFloatMatrix out;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) out.matrix[r][c] = matrix[c][r];
    return out;
}

MFloatMatrix MFloatMatrix::inverse() const {
    double a[4][4], inv[4][4];
    toDouble(matrix, a);
    if (!invert(a, inv)) return MFloatMatrix();
    return MFloatMatrix(inv);
}

float MFloatMatrix::det4x4() const {
    double a[4][4];
    toDouble(matrix, a);
    return static_cast<float>(determinant(a));
}

bool MFloatMatrix::isEquivalent(const MFloatMatrix& other, float tolerance) const {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (std::fabs(matrix[r][c] - other.matrix[r][c]) > tolerance) return false;
    return true;
}

std::ostream& operator<<(std::ostream& os, const MFloatMatrix& m) {
    double a[4][4];
    toDouble(m.matrix, a);
    printMatrix(os, a);
    return os;
}
