#pragma once

#include <functional>

namespace tessaro {

// Lets the window's event loop run during long steps so that it stays live;
// empty where there is no event loop (the command line, the benchmark).
using Yield = std::function<void()>;

inline void yield_to(const Yield& yield) {
    if (yield) yield();
}

}  // namespace tessaro
