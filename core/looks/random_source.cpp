#include "random_source.h"

#include <chrono>
#include <cmath>

namespace tessaro {

void RandomSource::reseed() {
    const auto clock = static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    m_engine.seed(m_seed.value_or(clock));
}

double RandomSource::next() {
    // 53 random bits as a double in [0, 1).
    return static_cast<double>(m_engine() >> 11) * 0x1.0p-53;
}

long round_half_even(double v) {
    const double fl = std::floor(v);
    const double diff = v - fl;
    long r = static_cast<long>(fl);
    if (diff > 0.5 || (diff == 0.5 && (r % 2 != 0))) ++r;
    return r;
}

}  // namespace tessaro
