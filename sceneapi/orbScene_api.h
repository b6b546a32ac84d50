#pragma once
// The record-oriented interface through which every scene object is emitted.
// The operation order below is the slot order of the virtual table; every
// implementation keeps it, so never insert, remove or reorder an operation.

#include <cstdint>

class ShaderText;

// Codes telling `parameter` and `listItem` how to read their untyped value.
// A namespace (not an enum class) so that the codes convert to `unsigned`
// without casts and the short names stay out of the global namespace.
namespace ParamType {
enum Code : unsigned {
    Float3 = 1,
    Float4 = 2,
    Float = 3,
    Double = 4,
    Double3 = 5,
    Int = 6,
    Bool = 7,  // a 32-bit int, non-zero = true
    Matrix = 9,
    String = 10,     // the value pointer is the `const char*` itself
    StringRef = 13,  // the value points to a `const char*`
    Float2 = 14,
    Float4b = 15,
    Int2 = 16,
    Int3 = 17,
    Int4 = 18,
    IntAlt = 23,
    Text = 0x10000,  // the value points to a `const ShaderText*` variable (pass &text, not text)

    // An array code is this bit ORed with its element code; the value then
    // points to a `ParamArray`.
    ArrayBit = 0x8000,
    Float3Array = 0x8001,  // count = number of triples in a flat float array
    Float4Array = 0x8002,
    FloatArray = 0x8003,
    DoubleArray = 0x8004,
    Double3Array = 0x8005,
    IntArray = 0x8006,
    BoolArray = 0x8007,
    MatrixArray = 0x8009,
    StringArray = 0x800A,  // data is an array of `const char*`
    StringRefArray = 0x800D,
    IntAltArray = 0x8017,
};
}  // namespace ParamType

// What an array parameter's value points to: the data, then the element count.
template <typename T>
struct ParamArray {
    const T* data;
    std::uint32_t count;
};

// Kinds of shader attachment for `shaderBlock` and `shaderRef`; any other
// value is treated as a surface shader.
namespace ShaderKind {
enum Code : int { Surface = 0, Shadow = 1, Volume = 2, ReflectionMap = 3, Init = 8 };
}

class orbScene_api {
public:
    virtual ~orbScene_api() = default;                                        // 0
    virtual void reserved1() = 0;                                             // 1
    virtual bool reserved2() { return false; }                                // 2
    virtual bool reserved3() { return false; }                                // 3
    virtual bool reserved4() { return false; }                                // 4
    virtual bool beginGroup(const char* name, bool inPlace) = 0;              // 5
    virtual void endGroup() = 0;                                              // 6
    virtual bool beginObject(const char* name, bool inPlace) = 0;             // 7
    virtual void endObject() = 0;                                             // 8
    virtual bool beginGeometry(const char* name) = 0;                         // 9
    virtual void endGeometry() = 0;                                           // 10
    virtual bool beginAnimation(const char* a, const char* b) = 0;            // 11
    virtual int endAnimation() = 0;                                           // 12
    virtual bool beginLoad(const char* module) = 0;                           // 13
    virtual void endLoad() = 0;                                               // 14
    virtual bool beginOptions() = 0;                                          // 15
    virtual void endOptions() = 0;                                            // 16
    virtual bool beginCamera(const char* name) = 0;                           // 17 (name may be null)
    virtual void endCamera() = 0;                                             // 18
    virtual bool beginImage() = 0;                                            // 19
    virtual void endImage() = 0;                                              // 20
    virtual bool beginOutput(const char* a, const char* b, const char* c) = 0;  // 21
    virtual void endOutput() = 0;                                             // 22
    virtual bool beginLight(const char* name) = 0;                            // 23
    virtual void endLight() = 0;                                              // 24
    virtual bool beginAccel(const char* name) = 0;                            // 25
    virtual void endAccel() = 0;                                              // 26
    virtual void transform(const double m[16]) = 0;                           // 27
    virtual void setTransform(const double m[16]) = 0;                        // 28
    virtual void scale(const double& x, const double& y, const double& z) = 0;      // 29
    virtual void rotate(const double& x, const double& y, const double& z) = 0;     // 30
    virtual void translate(const double& x, const double& y, const double& z) = 0;  // 31
    virtual bool beginMatrix(const char* name) = 0;                           // 32
    virtual void endMatrix() = 0;                                             // 33
    virtual bool beginMaterial(const char* name, bool inPlace) = 0;           // 34
    virtual bool material(const char* name) = 0;                              // 35
    virtual void endMaterial() = 0;                                           // 36
    virtual void shaderBlock(int kind, const ShaderText* text) = 0;           // 37
    virtual void shaderRef(int kind, int shaderId) = 0;                       // 38
    virtual bool beginShader(const char* name, const char* shaderClass) = 0;  // 39 (null name: captured)
    virtual bool beginShaderId(const char* shaderClass, int shaderId) = 0;    // 40
    virtual void endShader() = 0;                                             // 41
    virtual ShaderText* currentText() = 0;                                    // 42
    virtual void pushText() = 0;                                              // 43
    virtual void popText() = 0;                                               // 44
    virtual bool parameter(const char* name, unsigned type, const void* value) = 0;  // 45
    virtual bool parameterShaderId(const char* name, int shaderId) = 0;       // 46
    virtual bool parameterShader(const char* name, const ShaderText* text) = 0;  // 47
    virtual bool beginList(const char* name) = 0;                             // 48
    virtual void endList() = 0;                                               // 49
    virtual void listItem(unsigned type, const void* value) = 0;              // 50
    virtual int reserved51() = 0;                                             // 51
    virtual int reserved52() = 0;                                             // 52
    virtual int reserved53() = 0;                                             // 53
    virtual void attribute(const char* key, const char* value) = 0;           // 54
    virtual void text(const char* format, ...) = 0;                           // 55
    virtual void setFlags(unsigned flags) = 0;                                // 56
    virtual void version(int v) = 0;                                          // 57 (-1: current)
    virtual void reserved58() = 0;                                            // 58
    virtual void progress(const char* label, float fraction) = 0;             // 59
    virtual void icon(const unsigned char* data, int size) = 0;               // 60
    virtual void binaryValue(const char* key, const unsigned char* data, int size) = 0;  // 61
    virtual void id(unsigned id) = 0;                                         // 62
    virtual void flags(unsigned flags) = 0;                                   // 63
    virtual bool reserved64() = 0;                                            // 64
    virtual bool render() = 0;                                                // 65
    virtual void print(const char* text) = 0;                                 // 66
    virtual void error(const char* text) = 0;                                 // 67
};
