#pragma once
// The value forms a Maya ASCII `setAttr` statement can carry, as plain data.
//
// The reader fills these and hands them to the builder; it interprets nothing
// about the scene. Ownership: a `SetAttr` is reused by the reader from one
// statement to the next. Its string views (`attribute`, `typeName`) point into
// the reader's buffers and are valid only during the builder call; the value
// alternatives own their data, and a builder may move a value out of the
// statement (e.g. a long point array) instead of copying it.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace mayahost::scenefile {

// ---------------------------------------------------------------- numbers

// What a numeric value was declared as. Untyped values (`setAttr ".tx" 2;`,
// `setAttr ".ed[0:11]" 0 1 0 ...;`) are `Untyped`; typed forms keep their
// scalar kind so that "float3" and "double3" stay distinguishable.
enum class NumberKind : uint8_t { Untyped, Int, Float, Double };

// Numbers of an untyped setAttr, or of the fixed tuple types double2/3/4,
// float2/3, long2/3, short2/3 (and their arrays over multi ranges, such as
// `.vt[0:7]` written as float3). Booleans written as yes/no/on/off/true/false
// are stored as 1 and 0.
struct Numbers {
    NumberKind kind = NumberKind::Untyped;
    uint8_t components = 1;     // per element: 1 when untyped, else 2, 3 or 4
    std::vector<double> values; // element after element, `components` each

    size_t elementCount() const { return components ? values.size() / components : 0; }
};

// ---------------------------------------------------------------- strings

// -type "string": one string, escapes resolved.
struct StringValue {
    std::string text;
};

// -type "stringArray" N s1 ... sN, and "attributeAlias" {"alias","attr",...}
// (alias and attribute alternate), and "componentList" N "f[0:3]" ...
struct StringArray {
    std::vector<std::string> items;
};

// ---------------------------------------------------------------- matrices

// -type "matrix" with 16 numbers: row-major, translation in elements 12..14.
struct MatrixValue {
    std::array<double, 16> m{};
};

// -type "matrix" "xform" with its 37 fields, in the order they are written.
// Quaternions are (x, y, z, w).
struct XformMatrix {
    std::array<double, 3> scale{1, 1, 1};
    std::array<double, 3> rotate{0, 0, 0};          // radians
    int rotateOrder = 0;                             // 0 xyz ... 5 zyx
    std::array<double, 3> translate{0, 0, 0};
    std::array<double, 3> shear{0, 0, 0};
    std::array<double, 3> scalePivot{0, 0, 0};
    std::array<double, 3> scalePivotTranslation{0, 0, 0};
    std::array<double, 3> rotatePivot{0, 0, 0};
    std::array<double, 3> rotatePivotTranslation{0, 0, 0};
    std::array<double, 4> rotateOrientation{0, 0, 0, 1};
    std::array<double, 4> jointOrient{0, 0, 0, 1};
    std::array<double, 3> inverseParentScale{1, 1, 1};
    bool compensateForParentScale = true;
};

// ---------------------------------------------------------------- arrays

// -type "doubleArray" N v..., "floatArray" N v..., "Int32Array" N v...
// The declared count is checked against the numbers that follow.
struct DoubleArray {
    NumberKind kind = NumberKind::Double; // Double, Float or Int
    std::vector<double> values;
};

// -type "pointArray" N x y z w ... (components = 4), "vectorArray" N x y z ...
// (components = 3).
struct PointArray {
    uint8_t components = 4;
    std::vector<double> values;

    size_t count() const { return components ? values.size() / components : 0; }
};

// ---------------------------------------------------------------- meshes

// -type "polyFaces": the faces of a mesh shape's `.fc` multi, in file order.
//
// Each face is one outer loop ("f") followed by its hole loops ("h"). A loop
// lists edge ids; a reversed edge e is written -(e + 1), and kept so here.
// Per loop and per uv set the uv ids ("mu set n ids"; the obsolete "mf"/"mh"
// land in set 0); per loop and per colour set the colour ids ("mc set n ids";
// the older "fc n ids" lands in set 0).
struct PolyFaces {
    std::vector<int32_t> edges;          // loop after loop
    std::vector<uint32_t> loopStart;     // per loop: first index in `edges`; size loops + 1
    std::vector<uint32_t> faceLoopStart; // per face: first loop; size faces + 1

    // Ids of one loop in one uv or colour set: `count` ids from `start` in
    // the matching id array. `count` is what the file declared (normally the
    // loop's edge count; the consumer decides what a mismatch means).
    struct LoopIds {
        uint32_t loop;
        int32_t set;
        uint32_t start;
        uint32_t count;
    };
    std::vector<LoopIds> uvLoops;
    std::vector<int32_t> uvIds;
    std::vector<LoopIds> colorLoops;
    std::vector<int32_t> colorIds;

    size_t faceCount() const { return faceLoopStart.empty() ? 0 : faceLoopStart.size() - 1; }
    size_t loopCount() const { return loopStart.empty() ? 0 : loopStart.size() - 1; }
    void clear() {
        edges.clear(); loopStart.clear(); faceLoopStart.clear();
        uvLoops.clear(); uvIds.clear(); colorLoops.clear(); colorIds.clear();
    }
};

// ---------------------------------------------------------------- NURBS

// -type "nurbsCurve": degree spans form rational dimension / knot count and
// knots / cv count and cvs (dimension values each, plus a weight if rational).
// form: 0 open, 1 closed, 2 periodic.
struct NurbsCurveData {
    int degree = 0;
    int spans = 0;
    int form = 0;
    bool rational = false;
    int dimension = 3;               // 2 for curves on a surface
    std::vector<double> knots;
    std::vector<double> cvs;         // cvStride() values per cv

    int cvStride() const { return dimension + (rational ? 1 : 0); }
    size_t cvCount() const { return cvStride() > 0 ? cvs.size() / size_t(cvStride()) : 0; }
};

// -type "nurbsSurface": uDegree vDegree uForm vForm rational [TRIM|NOTRIM]
// u knots, v knots, [TRIM|NOTRIM], cv count and cvs (3 or 4 values each,
// u varying slowest as Maya writes them).
struct NurbsSurfaceData {
    int uDegree = 0, vDegree = 0;
    int uForm = 0, vForm = 0;
    bool rational = false;
    std::optional<bool> trimmed;     // the optional TRIM / NOTRIM word
    std::vector<double> uKnots, vKnots;
    std::vector<double> cvs;

    int cvStride() const { return rational ? 4 : 3; }
    size_t cvCount() const { return cvs.size() / size_t(cvStride()); }
};

// -type "nurbsTrimface": kept as its number stream for the NURBS evaluator.
// `flipNormal` and `boundaryCount` are the leading fields; `numbers` holds
// every field after them in file order, yes/no as 1/0. `decodeTrimface`
// gives it structure.
struct NurbsTrimface {
    bool flipNormal = false;
    int boundaryCount = 0;
    std::vector<double> numbers;
};

// The structure of a trim face as Maya's files show it (its fields are not
// documented; the names say what they appear to be). A face has boundaries;
// a boundary has edges; an edge has its curves in world space (3D) and in
// the surface's parameter space (2D, what trimming uses), each list followed
// by a few numbers kept as they are (present even when the list is empty:
// every trim face of the corpus reads so, and none reads otherwise).
//
//   flip boundaryCount
//   per boundary: type edgeCount, then edgeCount per-edge values,
//     per edge: n3d, n3d x nurbsCurve, 3 numbers, n2d, n2d x nurbsCurve, 2 numbers
struct TrimEdge {
    std::vector<NurbsCurveData> worldCurves;
    std::array<double, 3> worldCurveInfo{};  // e.g. 0.0001 1 -1
    std::vector<NurbsCurveData> paramCurves;
    std::array<double, 2> paramCurveInfo{};  // e.g. 1 0.0001
};

struct TrimBoundary {
    int type = 0;
    std::vector<double> edgeValues;   // one per edge
    std::vector<TrimEdge> edges;
};

struct TrimfaceData {
    bool flipNormal = false;
    std::vector<TrimBoundary> boundaries;
};

// Returns false when the numbers do not follow the layout above (counts that
// do not fit, bad curve headers, numbers left over).
bool decodeTrimface(const NurbsTrimface& raw, TrimfaceData& out);

// -type "dataPolyComponent" Index_Data Edge N, then N pairs of a component
// id and its value (crease weights of edges and vertices, for instance).
struct PolyComponentData {
    std::string dataKind;            // "Index_Data"
    std::string component;           // "Vertex", "Edge", "Face", "UV" ...
    std::vector<int32_t> ids;
    std::vector<double> values;      // parallel to `ids`
};

// ---------------------------------------------------------------- others

// Any other -type, kept as its tokens: unknown data types are data, not
// errors. `quoted[i]` says whether token i was a quoted string (its escapes
// resolved) or a bare word or number as written.
struct RawData {
    std::vector<std::string> tokens;
    std::vector<bool> quoted;
};

// A setAttr that only changes flags (`setAttr -k off ".v";`) or declares a
// multi's size (`setAttr -s 3 ".m";`) carries no value.
struct NoValue {};

using Value = std::variant<NoValue, Numbers, StringValue, StringArray, MatrixValue, XformMatrix,
                           DoubleArray, PointArray, PolyFaces, NurbsCurveData, NurbsSurfaceData,
                           NurbsTrimface, PolyComponentData, RawData>;

// One setAttr statement.
struct SetAttr {
    // As written: ".t", ".uvst[0].uvsp[0:17]", "persp.t", ":defaultRenderGlobals.cch".
    // A leading '.' means an attribute of the node last created or selected.
    std::string_view attribute;
    // The -type name as written ("double3", "polyFaces" ...), empty if none.
    std::string_view typeName;
    // -s: the size Maya declares for a multi. Never trusted for allocation:
    // the reader only keeps it; what was parsed is in `value`.
    std::optional<int64_t> size;
    std::optional<int64_t> capacityHint;  // -ch
    std::optional<bool> lock;             // -l on/off
    std::optional<bool> keyable;          // -k on/off
    std::optional<bool> channelBox;       // -cb on/off
    std::optional<bool> caching;          // -ca on/off
    bool alteredValue = false;            // -av
    bool clamp = false;                   // -c
    Value value;
};

// A `.a[0:7].b[3]` attribute path split into segments. Indices are inclusive
// ranges; a segment without brackets has no range; "[*]" is not a form Maya
// writes and is rejected.
struct AttrSegment {
    std::string_view name;
    bool hasIndex = false;
    int64_t first = 0;
    int64_t last = 0;    // == first for a single index
};

struct AttrPath {
    std::string_view node;               // text before the first '.', empty for ".t"
    std::vector<AttrSegment> segments;
};

// Splits `text` ("persp.t", ".uvst[0].uvsp[0:17]", "|a|b.wm[0]") into the
// node part and segments. Returns false on malformed text (empty segment,
// unbalanced bracket, bad or reversed range, index out of int64).
bool parseAttrPath(std::string_view text, AttrPath& out);

}  // namespace mayahost::scenefile
