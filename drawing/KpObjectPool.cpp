#include "drawing/KpObjectPool.h"

#include <algorithm>
#include <cassert>
#include <functional>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
// Places not handed out are poisoned, so a use after free is caught as on the heap.
#define KP_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define KP_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#else
#define KP_POISON(p, n) ((void)(p), (void)(n))
#define KP_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

namespace kp {

namespace {
// A class's first slab is small (a page of a few objects costs little); each next one is
// twice the last, up to the largest.
constexpr size_t FirstSlabBytes = 512;
constexpr size_t LargestSlabBytes = 16384;
} // namespace

TKpObjectPool::~TKpObjectPool() = default;

void* TKpObjectPool::Allocate(size_t size) {
    assert(size > 0 && size <= MaxObjectSize);
    const size_t rounded = RoundedSize(size);
    SizeClass& c = classes_[rounded / Granule];
    if (c.free) {
        FreePlace* place = c.free;
        KP_UNPOISON(place, rounded);
        c.free = place->next;
        ++live_;
        return place;
    }
    if (!c.next || static_cast<size_t>(c.end - c.next) < rounded) {
        const size_t bytes =
            std::max(rounded, std::min(LargestSlabBytes, FirstSlabBytes << std::min(c.slabs, 8)));
        const size_t usable = bytes / rounded * rounded;
        slabs_.push_back({std::make_unique_for_overwrite<std::byte[]>(usable), usable});
        slabBytes_ += usable;
        ++c.slabs;
        c.next = slabs_.back().bytes.get();
        c.end = c.next + usable;
        KP_POISON(c.next, usable);
    }
    void* place = c.next;
    KP_UNPOISON(place, rounded);
    c.next += rounded;
    ++live_;
    return place;
}

void TKpObjectPool::Free(void* place, size_t size) noexcept {
    if (!place) return;
    const size_t rounded = RoundedSize(size);
    SizeClass& c = classes_[rounded / Granule];
    auto* node = static_cast<FreePlace*>(place);
    node->next = c.free;
    c.free = node;
    KP_POISON(place, rounded);
    --live_;
}

void TKpObjectPool::ReleaseIfEmpty() {
    if (live_ != 0) return;
    classes_ = {};
    slabs_.clear();
    slabBytes_ = 0;
}

bool TKpObjectPool::Owns(const void* place) const {
    const auto* p = static_cast<const std::byte*>(place);
    return std::any_of(slabs_.begin(), slabs_.end(), [p](const Slab& slab) {
        return std::less_equal<>()(slab.bytes.get(), p) &&
               std::less<>()(p, slab.bytes.get() + slab.size);
    });
}

} // namespace kp
