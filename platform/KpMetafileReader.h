#pragma once
// Little-endian reads inside one span of bytes. A read that would leave the span yields 0,
// so a handler checks the sizes it relies on with Fits before it trusts what it reads.
#include <cstdint>
#include <cstring>

namespace kp {

class TKpLeReader {
public:
    TKpLeReader() = default;
    TKpLeReader(const unsigned char* data, int64_t size) : data_(data), size_(size) {}

    int64_t Size() const { return size_; }
    const unsigned char* Data() const { return data_; }
    bool Fits(int64_t offset, int64_t count) const {
        return offset >= 0 && count >= 0 && offset <= size_ && count <= size_ - offset;
    }
    // The bytes [offset, offset + count) as a reader of their own; empty when they do not fit.
    TKpLeReader Sub(int64_t offset, int64_t count) const {
        return Fits(offset, count) ? TKpLeReader(data_ + offset, count) : TKpLeReader();
    }

    uint8_t U8(int64_t o) const { return Fits(o, 1) ? data_[o] : 0; }
    uint16_t U16(int64_t o) const {
        return Fits(o, 2) ? uint16_t(data_[o] | (data_[o + 1] << 8)) : 0;
    }
    int16_t I16(int64_t o) const { return int16_t(U16(o)); }
    uint32_t U32(int64_t o) const {
        return Fits(o, 4) ? uint32_t(data_[o]) | (uint32_t(data_[o + 1]) << 8) |
                                (uint32_t(data_[o + 2]) << 16) | (uint32_t(data_[o + 3]) << 24)
                          : 0;
    }
    int32_t I32(int64_t o) const { return int32_t(U32(o)); }
    float F32(int64_t o) const {
        const uint32_t bits = U32(o);
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }

private:
    const unsigned char* data_ = nullptr;
    int64_t size_ = 0;
};

} // namespace kp
