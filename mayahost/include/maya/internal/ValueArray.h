#pragma once
// Common body of the API's value arrays (MIntArray, MStringArray, MObjectArray
// ...): a growable array with the API's index-based operations. Each public
// array class derives from it with its element type.

#include <maya/MStatus.h>

#include <ostream>
#include <utility>
#include <vector>

namespace mayahost {

template <class T>
class ValueArray {
public:
    ValueArray() = default;
    ValueArray(const T* src, unsigned int count) : v_(src, src + count) {}
    ValueArray(unsigned int initialSize, const T& initialValue) : v_(initialSize, initialValue) {}
    explicit ValueArray(std::vector<T> values) : v_(std::move(values)) {}

    const T& operator[](unsigned int index) const { return v_[index]; }
    T& operator[](unsigned int index) { return v_[index]; }

    unsigned int length() const { return static_cast<unsigned int>(v_.size()); }

    MStatus set(const T& element, unsigned int index) {
        if (index >= v_.size()) return MStatus::kFailure;
        v_[index] = element;
        return MStatus::kSuccess;
    }
    MStatus setLength(unsigned int length) {
        v_.resize(length);
        return MStatus::kSuccess;
    }
    MStatus remove(unsigned int index) {
        if (index >= v_.size()) return MStatus::kFailure;
        v_.erase(v_.begin() + index);
        return MStatus::kSuccess;
    }
    MStatus insert(const T& element, unsigned int index) {
        if (index > v_.size()) return MStatus::kFailure;
        v_.insert(v_.begin() + index, element);
        return MStatus::kSuccess;
    }
    MStatus append(const T& element) {
        v_.push_back(element);
        return MStatus::kSuccess;
    }
    MStatus clear() {
        v_.clear();
        return MStatus::kSuccess;
    }
    MStatus get(T* dest) const {
        if (!dest) return MStatus::kInvalidParameter;
        for (size_t i = 0; i < v_.size(); ++i) dest[i] = v_[i];
        return MStatus::kSuccess;
    }
    void setSizeIncrement(unsigned int) {}
    unsigned int sizeIncrement() const { return 1; }

    // Stand-in extension: the elements as a vector.
    const std::vector<T>& values() const { return v_; }
    std::vector<T>& values() { return v_; }

protected:
    void assign(const ValueArray& other) { v_ = other.v_; }
    void printTo(std::ostream& os) const {
        os << '[';
        for (size_t i = 0; i < v_.size(); ++i) os << (i ? "," : "") << v_[i];
        os << ']';
    }

    std::vector<T> v_;
};

}  // namespace mayahost
