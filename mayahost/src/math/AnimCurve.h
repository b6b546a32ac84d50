#pragma once
// Evaluation of animation curves as the scene file stores them: keys with
// their tangent types, optional stored tangents, weighted or not, and the
// behaviour before the first and after the last key.
//
// Units: key inputs are in the curve's input unit (frames of the scene's time
// unit for time-driven curves, plain numbers for driven keys); key values are
// in the output's internal unit (radians for angles). Stored tangents keep the
// file's form: x in seconds for time-driven curves, y in output units, and
// `inputUnitsPerTangentX` converts x into input units.

#include <string_view>
#include <vector>

namespace mayahost {

// The numbering of the keyTanInType / keyTanOutType / tangentType attributes.
enum class TangentType : int {
    Global = 0,  // the key takes the curve's tangentType
    Fixed = 1,
    Linear = 2,
    Flat = 3,
    Smooth = 4,
    Step = 5,
    Slow = 6,
    Fast = 7,
    Spline = 9,
    Clamped = 10,
    Plateau = 16,
    StepNext = 17,
    Auto = 18
};

// The numbering of the preInfinity / postInfinity attributes.
enum class InfinityType : int { Constant = 0, Linear = 1, Cycle = 3, CycleRelative = 4, Oscillate = 5 };

// An unknown number maps to the type used when nothing is said (Global and
// Constant), so a damaged file still evaluates.
TangentType tangentTypeFromCode(int code);
InfinityType infinityTypeFromCode(int code);

struct AnimKey {
    double input = 0.0;
    double value = 0.0;
    TangentType inType = TangentType::Global;
    TangentType outType = TangentType::Global;
    // Stored tangents (keyTanInX/Y, keyTanOutX/Y); used by Fixed tangents and,
    // on weighted curves, their length is the tangent's weight.
    bool hasInTangent = false;
    double inX = 1.0, inY = 0.0;
    bool hasOutTangent = false;
    double outX = 1.0, outY = 0.0;
};

struct AnimCurveDesc {
    std::vector<AnimKey> keys;  // any order; equal inputs keep the last key given
    bool weighted = false;
    TangentType tangentType = TangentType::Global;  // the curve's default for its keys
    InfinityType preInfinity = InfinityType::Constant;
    InfinityType postInfinity = InfinityType::Constant;
    double inputUnitsPerTangentX = 24.0;
};

class AnimCurve {
public:
    explicit AnimCurve(AnimCurveDesc desc);

    // The curve's value at `input`; a curve without keys is 0 everywhere.
    double evaluate(double input) const;

    size_t numKeys() const { return keys_.size(); }

    // A key's resolved tangent as a vector (input units, value units) along
    // increasing input, for both sides; on weighted curves its length sets how
    // far the segment's control point lies (a third of the vector).
    struct Tangent {
        double dx = 1.0, dy = 0.0;
    };
    Tangent inTangent(size_t key) const { return resolved_[key].in; }
    Tangent outTangent(size_t key) const { return resolved_[key].out; }

private:
    struct Resolved {
        Tangent in, out;
    };

    double evaluateInside(double input) const;
    double evaluateSegment(size_t i, double input) const;
    double extrapolate(double input, bool before) const;
    TangentType typeOf(TangentType t) const;
    Tangent computeTangent(size_t i, bool in) const;
    double autoSlope(size_t i, bool flatEnds, bool limitOvershoot) const;

    std::vector<AnimKey> keys_;
    std::vector<Resolved> resolved_;
    bool weighted_;
    TangentType defaultType_;
    InfinityType pre_, post_;
    double xScale_;
};

// Frames per second of a time unit as currentUnit -time names it ("film",
// "ntsc", "pal", "game", "show", "palf", "ntscf", "sec", "min", "hour",
// "millisec", or "<n>fps"); 0 for a name it does not know.
double timeUnitsPerSecond(std::string_view unit);

}  // namespace mayahost
