#include "random_source.h"

#include <chrono>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tessaro {

namespace {

constexpr std::size_t SHIFT = 156;  // the twist's middle word, m
constexpr std::uint64_t MATRIX = 0xB5026F5AA96619E9ULL;
constexpr std::uint64_t UPPER = ~std::uint64_t{0} << 31;
constexpr std::uint64_t LOWER = ~UPPER;

inline std::uint64_t twist(std::uint64_t word, std::uint64_t next, std::uint64_t far) {
    const std::uint64_t y = (word & UPPER) | (next & LOWER);
    return far ^ (y >> 1) ^ ((y & 1) != 0 ? MATRIX : 0);
}

#if defined(__SSE2__)
// Two words at once: state[i], state[i + 1] from the words after them and
// those `far` places away, which are new already or not yet twisted alike.
inline void twist_two(std::uint64_t* state, std::size_t i, std::size_t far) {
    const __m128i word = _mm_load_si128(reinterpret_cast<const __m128i*>(state + i));
    const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state + i + 1));
    const __m128i away = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state + far));
    const __m128i upper = _mm_set1_epi64x(static_cast<long long>(UPPER));
    const __m128i y = _mm_or_si128(_mm_and_si128(word, upper), _mm_andnot_si128(upper, next));
    // All ones where y is odd: 0 - (y & 1).
    const __m128i odd = _mm_sub_epi64(_mm_setzero_si128(), _mm_and_si128(y, _mm_set1_epi64x(1)));
    const __m128i matrix = _mm_and_si128(odd, _mm_set1_epi64x(static_cast<long long>(MATRIX)));
    _mm_store_si128(reinterpret_cast<__m128i*>(state + i), _mm_xor_si128(_mm_xor_si128(away, _mm_srli_epi64(y, 1)), matrix));
}
#endif

}  // namespace

void Mt64::seed(std::uint64_t seed) {
    m_state[0] = seed;
    for (std::size_t i = 1; i < STATE; ++i)
        m_state[i] = 6364136223846793005ULL * (m_state[i - 1] ^ (m_state[i - 1] >> 62)) + i;
    m_next = STATE;
}

void Mt64::refill() {
    std::size_t i = 0;
#if defined(__SSE2__)
    // The first half twists with the second half's old words, the second
    // half with the first half's new ones: pairs never read a word the pair
    // writes, nor one a later pair of the same half writes first.
    for (; i < STATE - SHIFT; i += 2) twist_two(m_state, i, i + SHIFT);
    for (; i + 2 < STATE; i += 2) twist_two(m_state, i, i + SHIFT - STATE);
#else
    for (; i < STATE - SHIFT; ++i) m_state[i] = twist(m_state[i], m_state[i + 1], m_state[i + SHIFT]);
#endif
    for (; i + 1 < STATE; ++i) m_state[i] = twist(m_state[i], m_state[i + 1], m_state[i + SHIFT - STATE]);
    m_state[STATE - 1] = twist(m_state[STATE - 1], m_state[0], m_state[SHIFT - 1]);
    m_next = 0;
}

std::uint64_t Mt64::operator()() {
    if (m_next == STATE) refill();
    std::uint64_t y = m_state[m_next++];
    y ^= (y >> 29) & 0x5555555555555555ULL;
    y ^= (y << 17) & 0x71D67FFFEDA60000ULL;
    y ^= (y << 37) & 0xFFF7EEE000000000ULL;
    return y ^ (y >> 43);
}

void Mt64::discard(std::uint64_t n) {
    while (n > STATE - m_next) {
        n -= STATE - m_next;
        refill();
    }
    m_next += static_cast<std::size_t>(n);
}

void MtRandom::reseed() {
    const auto clock = static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    m_engine.seed(m_seed.value_or(clock));
}

double MtRandom::next() {
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
