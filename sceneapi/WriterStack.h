#pragma once
// The writer's bookkeeping stacks. They never fail: popping an empty stack
// yields its bottom entry, so unbalanced `end...` calls from a caller cannot
// crash the output.

#include <cstddef>
#include <memory>

template <typename T>
class WriterStack {
public:
    WriterStack() : entries_(std::make_unique<T[]>(kInitialCapacity)), capacity_(kInitialCapacity) {}

    void push(T value) {
        if (count_ + 1 >= capacity_) grow();
        entries_[count_++] = value;
    }

    T pop() {
        if (count_ == 0) return entries_[0];
        return entries_[--count_];
    }

    std::size_t size() const { return count_; }
    std::size_t capacity() const { return capacity_; }

private:
    static constexpr std::size_t kInitialCapacity = 32;

    void grow() {
        std::size_t capacity = capacity_ * 2 + 32;
        auto entries = std::make_unique<T[]>(capacity);
        for (std::size_t i = 0; i < count_; ++i) entries[i] = entries_[i];
        entries_ = std::move(entries);
        capacity_ = capacity;
    }

    std::unique_ptr<T[]> entries_;  // value-initialised, so the bottom entry of a fresh stack is zero
    std::size_t capacity_;
    std::size_t count_ = 0;
};
