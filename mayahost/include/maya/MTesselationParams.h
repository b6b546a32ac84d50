#pragma once
// Parameters of MFnNurbsSurface::tesselate: the output polygons and the
// criteria of the refinement. A default-constructed set asks for triangles
// with the standard fit, as Maya's own default does.

class MTesselationParams {
public:
    enum TessFormat { kTriangleCountFormat, kStandardFitFormat, kGeneralFormat, kLastFormat };
    enum PolyType { kTriangles, kQuads };
    enum IsoparmType { kSurface3DDistance, kSurface3DEquiSpaced, kSurfaceEquiSpaced, kSpanEquiSpaced };

    MTesselationParams(TessFormat format = kStandardFitFormat, PolyType type = kTriangles)
        : format_(format), polyType_(type) {}

    void setFormatType(TessFormat format) { format_ = format; }
    void setOutputType(PolyType type) { polyType_ = type; }
    void setTriangleCount(int count) { triangleCount_ = count; }
    void setUIsoparmType(IsoparmType type) { uIsoparmType_ = type; }
    void setVIsoparmType(IsoparmType type) { vIsoparmType_ = type; }
    void setUNumber(int count) { uNumber_ = count; }
    void setVNumber(int count) { vNumber_ = count; }

    TessFormat formatType() const { return format_; }
    PolyType outputType() const { return polyType_; }
    int triangleCount() const { return triangleCount_; }
    IsoparmType uIsoparmType() const { return uIsoparmType_; }
    IsoparmType vIsoparmType() const { return vIsoparmType_; }
    int uNumber() const { return uNumber_; }
    int vNumber() const { return vNumber_; }

    static MTesselationParams fsDefaultTesselationParams;

private:
    TessFormat format_;
    PolyType polyType_;
    int triangleCount_ = 100;
    IsoparmType uIsoparmType_ = kSpanEquiSpaced;
    IsoparmType vIsoparmType_ = kSpanEquiSpaced;
    int uNumber_ = 1;
    int vNumber_ = 1;
};
