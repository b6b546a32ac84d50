#pragma once
// One stream of per-vertex data of a display geometry (positions, normals,
// texture coordinates of one uv set).

#include <memory>
#include <string>
#include <vector>

class MGeometryData {
public:
    enum DataType {
        kPosition,
        kNormal,
        kTexCoord,
        kColor,
        kTangent,
        kBiNormal,
        kUserData,
        kMaxDataTypeIndex,
        kInvalidDataType = -1
    };
    enum ElementType {
        kFloat,
        kDouble,
        kChar,
        kUnsignedChar,
        kInt16,
        kUnsignedInt16,
        kInt32,
        kUnsignedInt32,
        kInvalidElementType = -1
    };

    MGeometryData() = default;

    // Values per element (3 for positions and normals, 2 for uvs).
    unsigned int elementSize() const { return size_; }
    ElementType elementType() const { return values_ ? kFloat : kInvalidElementType; }
    unsigned int elementTypeSize() const { return values_ ? sizeof(float) : 0; }
    unsigned int elementCount() const { return size_ ? static_cast<unsigned int>(values_->size() / size_) : 0; }
    // The values, element after element; null when the stream is empty.
    void* data() const { return values_ && !values_->empty() ? const_cast<float*>(values_->data()) : nullptr; }
    DataType dataType() const { return type_; }
    const char* objectName() const { return name_.c_str(); }
    int uniqueID() const { return id_; }
    unsigned int collectionNumber() const { return 0; }

    // Stand-in extension: a stream over values shared with the geometry.
    MGeometryData(DataType type, unsigned int elementSize, std::shared_ptr<const std::vector<float>> values,
                  std::string name, int id)
        : type_(type), size_(elementSize), values_(std::move(values)), name_(std::move(name)), id_(id) {}

private:
    DataType type_ = kInvalidDataType;
    unsigned int size_ = 0;
    std::shared_ptr<const std::vector<float>> values_;
    std::string name_;
    int id_ = -1;
};
