#pragma once
// A move-only block of bytes on the C heap. The setup image is built without exceptions, so
// allocation failures are answered with an empty buffer instead of std::bad_alloc.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <utility>

class ByteBuffer {
public:
    ByteBuffer() = default;
    ByteBuffer(const ByteBuffer&) = delete;
    ByteBuffer& operator=(const ByteBuffer&) = delete;
    ByteBuffer(ByteBuffer&& other) noexcept
        : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}
    ByteBuffer& operator=(ByteBuffer&& other) noexcept {
        if (this != &other) {
            std::free(data_);
            data_ = std::exchange(other.data_, nullptr);
            size_ = std::exchange(other.size_, 0);
        }
        return *this;
    }
    ~ByteBuffer() { std::free(data_); }

    // Zero-filled block of `size` bytes; false (and empty) when memory runs out.
    bool Allocate(size_t size) {
        std::free(data_);
        data_ = static_cast<uint8_t*>(std::calloc(size == 0 ? 1 : size, 1));
        size_ = data_ ? size : 0;
        return data_ != nullptr;
    }

    uint8_t* data() { return data_; }
    const uint8_t* data() const { return data_; }
    size_t size() const { return size_; }
    bool empty() const { return data_ == nullptr; }
    std::span<uint8_t> bytes() { return {data_, size_}; }
    std::span<const uint8_t> bytes() const { return {data_, size_}; }
    const char* c_str() const { return reinterpret_cast<const char*>(data_); }

private:
    uint8_t* data_ = nullptr;
    size_t size_ = 0;
};
