#pragma once

#include "sceneapi/model/LightGeometry.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace orb {

class NurbsCurve;

// A rational surface with optional trim loops and an optional alternative
// geometry (its tessellation) that is written beside it in the same group.
class NurbsSurface final : public LightGeometry {
public:
    // Knot written in front of each knot vector before the extension mirrors
    // the real first knot into it.
    static constexpr double kKnotPlaceholder = 12648430.0;

    explicit NurbsSurface(std::string name);
    ~NurbsSurface() = default;

    void write(orbSceneapi_oo& scene) override;
    void writeInstanceSource(orbSceneapi_oo& scene) override;
    std::size_t memorySize() const override;

    void setRange(double umin, double umax, double vmin, double vmax);
    void setOrder(double uorder, double vorder);
    void addUKnot(double knot);
    void addVKnot(double knot);
    void prependKnotPlaceholders();
    // Mirrors the outer knots of both knot vectors (placeholder first).
    void extendKnots();
    // Homogeneous: the caller has multiplied x, y, z by w already.
    void addControlPoint(double xw, double yw, double zw, double w);

    void setTrimCurves(std::shared_ptr<NurbsCurve> curves);
    std::shared_ptr<NurbsCurve> trimCurves() const;
    // Stores the alternative and gives it the surface's name.
    void setAlternative(std::shared_ptr<LightGeometry> alternative);
    std::shared_ptr<LightGeometry> alternative() const;
    bool hasAlternative() const;

    void clearData();

    double umin() const { return umin_; }
    double umax() const { return umax_; }
    double vmin() const { return vmin_; }
    double vmax() const { return vmax_; }
    double uorder() const { return uorder_; }
    double vorder() const { return vorder_; }
    const std::vector<double>& uKnots() const { return uKnots_; }
    const std::vector<double>& vKnots() const { return vKnots_; }
    const std::vector<double>& controlPoints() const { return controlPoints_; }

private:
    void writeGeometry(orbSceneapi_oo& scene);

    // An unset range has its minimum above its maximum.
    double umin_ = 3.4028234663852886e38;
    double umax_ = 1.1754943508222875e-38;
    double vmin_ = 3.4028234663852886e38;
    double vmax_ = 1.1754943508222875e-38;
    double uorder_ = -1.0;
    double vorder_ = -1.0;
    std::vector<double> uKnots_;
    std::vector<double> vKnots_;
    std::vector<double> controlPoints_;
    std::shared_ptr<NurbsCurve> trimCurves_;
    std::shared_ptr<LightGeometry> alternative_;
};

// The knot extension for one knot run whose first entry is a placeholder:
// the placeholder becomes the mirror of the second knot over the first real
// one, and the mirror of the second-to-last knot over the last is appended.
// Runs shorter than three entries are left as they are.
void extendKnotRun(std::vector<double>& knots, std::size_t start);

} // namespace orb
