#include "platform/KpPixelBudget.h"

#include <atomic>
#include <cstdio>

namespace kp {

void NoteOverPixelBudget(int64_t width, int64_t height, const char* what) {
    static std::atomic<bool> said{false};
    if (said.exchange(true)) return;
    std::fprintf(stderr, "paginor: a %lld x %lld pixel bitmap is over the pixel budget; %s\n",
                 static_cast<long long>(width), static_cast<long long>(height), what);
}

} // namespace kp
