#ifdef _WIN32

#include "common/platform/StableMath.h"

#include <cmath>

namespace stablemath {
namespace {

// Pi/2 in four parts of 33 bits each, so that k times each part is exact in
// extended precision for every k below 2^20 and the reduction of an angle
// near a multiple of pi/2 keeps the digits that cancel.
constexpr long double kHalfPi1 = 1.57079632673412561417e+00L;
constexpr long double kHalfPi2 = 6.07710050630396597660e-11L;
constexpr long double kHalfPi3 = 2.02226624871116645580e-21L;
constexpr long double kHalfPi4 = 8.47842766036889956997e-32L;
constexpr double kLargestReduced = 1e5;  // k stays far below 2^20

struct Reduced {
    long double r;  // in [-pi/4, pi/4]
    int quadrant;   // k mod 4
};

Reduced reduce(double x) {
    const long double k = ::nearbyintl(static_cast<long double>(x) / kHalfPi1);
    const long double r = (((static_cast<long double>(x) - k * kHalfPi1) - k * kHalfPi2) - k * kHalfPi3) - k * kHalfPi4;
    return {r, static_cast<int>(static_cast<long long>(k) & 3)};
}

bool reducible(double x) { return std::fabs(x) <= kLargestReduced; }

}  // namespace

double sin(double x) {
    if (!reducible(x)) return std::sin(x);
    const Reduced a = reduce(x);
    switch (a.quadrant) {
        case 0: return static_cast<double>(::sinl(a.r));
        case 1: return static_cast<double>(::cosl(a.r));
        case 2: return static_cast<double>(-::sinl(a.r));
        default: return static_cast<double>(-::cosl(a.r));
    }
}

double cos(double x) {
    if (!reducible(x)) return std::cos(x);
    const Reduced a = reduce(x);
    switch (a.quadrant) {
        case 0: return static_cast<double>(::cosl(a.r));
        case 1: return static_cast<double>(-::sinl(a.r));
        case 2: return static_cast<double>(-::cosl(a.r));
        default: return static_cast<double>(::sinl(a.r));
    }
}

double tan(double x) {
    if (!reducible(x)) return std::tan(x);
    const Reduced a = reduce(x);
    const long double t = ::tanl(a.r);
    return static_cast<double>(a.quadrant % 2 == 0 ? t : -1.0L / t);
}

double asin(double x) { return static_cast<double>(::asinl(x)); }
double acos(double x) { return static_cast<double>(::acosl(x)); }
double atan(double x) { return static_cast<double>(::atanl(x)); }
double atan2(double y, double x) { return static_cast<double>(::atan2l(y, x)); }
double hypot(double x, double y) { return static_cast<double>(::hypotl(x, y)); }

}  // namespace stablemath

#endif
