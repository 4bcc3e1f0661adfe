#pragma once
// Storage for the drawing objects of one document. A long report holds millions of small
// objects: here objects of one size share slabs, without a heap header each, the places of
// freed objects are reused, and a pool that holds no objects any more gives its slabs back.
#include "paginor/KpExport.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace kp {

class PAGINOR_EXPORT TKpObjectPool {
public:
    // Objects up to this size (in bytes, a multiple of 8) come from the pool.
    static constexpr size_t MaxObjectSize = 256;
    static constexpr size_t Granule = 8;

    TKpObjectPool() = default;
    ~TKpObjectPool();
    TKpObjectPool(const TKpObjectPool&) = delete;
    TKpObjectPool& operator=(const TKpObjectPool&) = delete;

    static constexpr size_t RoundedSize(size_t size) {
        return (size + Granule - 1) / Granule * Granule;
    }
    // A place for an object of size bytes (1 to MaxObjectSize), aligned to Granule.
    void* Allocate(size_t size);
    // Gives back a place of Allocate(size).
    void Free(void* place, size_t size) noexcept;
    int64_t LiveObjects() const { return live_; }
    // Slab bytes held, used or free (what a benchmark or a test can watch).
    size_t SlabBytes() const { return slabBytes_; }
    // Frees every slab when no object lives in the pool any more.
    void ReleaseIfEmpty();
    // Whether place lies in one of the pool's slabs (slow: for checking what a caller hands
    // back, not for every object).
    bool Owns(const void* place) const;

private:
    struct FreePlace {
        FreePlace* next;
    };
    struct SizeClass {
        FreePlace* free = nullptr;
        std::byte* next = nullptr; // unused tail of the newest slab
        std::byte* end = nullptr;
        int slabs = 0;
    };
    std::array<SizeClass, MaxObjectSize / Granule + 1> classes_{};
    struct Slab {
        std::unique_ptr<std::byte[]> bytes;
        size_t size;
    };
    std::vector<Slab> slabs_;
    size_t slabBytes_ = 0;
    int64_t live_ = 0;
};

} // namespace kp
