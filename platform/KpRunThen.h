#pragma once
// "Run this, then that, even if it raises": the one way the suite finishes a piece of work
// whose closing step must happen on every exit and may itself fail. A temporary change of one
// piece of state uses TKpStateGuard instead.
#include <type_traits>
#include <utility>

namespace kp {

// Runs body, then finish, and returns what body returned. When body raises, finish still
// runs and body's exception passes on; when finish raises (after body returned or raised),
// finish's exception is the one that passes on.
template <class Body, class Finish> decltype(auto) RunThen(Body&& body, Finish&& finish) {
    using Result = decltype(std::forward<Body>(body)());
    if constexpr (std::is_void_v<Result>) {
        try {
            std::forward<Body>(body)();
        } catch (...) {
            std::forward<Finish>(finish)();
            throw;
        }
        std::forward<Finish>(finish)();
    } else {
        // finish runs outside the try, so that its own exception is not followed by a
        // second run of it.
        Result result = [&]() -> Result {
            try {
                return std::forward<Body>(body)();
            } catch (...) {
                std::forward<Finish>(finish)();
                throw;
            }
        }();
        std::forward<Finish>(finish)();
        if constexpr (std::is_reference_v<Result>)
            return static_cast<Result>(result);
        else
            return result;
    }
}

} // namespace kp
