#pragma once
// An RGBA colour of floats.

#include <maya/MStatus.h>

#include <ostream>

class MColor {
public:
    enum MColorType { kRGB, kHSV, kCMY, kCMYK };
    MColor() = default;
    MColor(float rr, float gg, float bb = 0.0f, float aa = 1.0f) : r(rr), g(gg), b(bb), a(aa) {}
    explicit MColor(const float rgb[3]) : r(rgb[0]), g(rgb[1]), b(rgb[2]) {}

    float operator[](unsigned int i) const { return i == 0 ? r : i == 1 ? g : i == 2 ? b : a; }
    bool operator==(const MColor& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
    bool operator!=(const MColor& o) const { return !(*this == o); }
    MColor operator*(float s) const { return MColor(r * s, g * s, b * s, a * s); }
    MColor operator+(const MColor& o) const { return MColor(r + o.r, g + o.g, b + o.b, a + o.a); }
    MStatus get(float rgb[3]) const;

    float r = 0.0f, g = 0.0f, b = 0.0f, a = 1.0f;

    friend std::ostream& operator<<(std::ostream& os, const MColor& c) {
        return os << '[' << c.r << ", " << c.g << ", " << c.b << ", " << c.a << ']';
    }
};

inline MStatus MColor::get(float rgb[3]) const {
    rgb[0] = r;
    rgb[1] = g;
    rgb[2] = b;
    return MStatus::kSuccess;
}
