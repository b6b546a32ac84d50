#pragma once
// Trigonometry with the same results on every system the importer is built
// for, so that a scene converts to the same bytes on Linux and on Windows.
// The Windows C runtime reduces angles with a short pi (the cosine of a right
// angle comes out 6.12303e-17 where it is 6.12323e-17) and rounds the inverse
// functions a unit off in several percent of cases; there, angles are reduced
// here in extended precision and each result is rounded once from the
// runtime's extended-precision functions. Elsewhere these are the C library's.

#include <cmath>

namespace stablemath {

#ifdef _WIN32
double sin(double x);
double cos(double x);
double tan(double x);
double asin(double x);
double acos(double x);
double atan(double x);
double atan2(double y, double x);
double hypot(double x, double y);
#else
inline double sin(double x) { return std::sin(x); }
inline double cos(double x) { return std::cos(x); }
inline double tan(double x) { return std::tan(x); }
inline double asin(double x) { return std::asin(x); }
inline double acos(double x) { return std::acos(x); }
inline double atan(double x) { return std::atan(x); }
inline double atan2(double y, double x) { return std::atan2(y, x); }
inline double hypot(double x, double y) { return std::hypot(x, y); }
#endif

}  // namespace stablemath
