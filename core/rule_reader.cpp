#include "rule_reader.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <array>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && defined(__x86_64__)
#include <cpuid.h>
#include <immintrin.h>
#endif

#include "file_io.h"
#include "text_util.h"
#include "type_code.h"

namespace tessaro {

namespace {

// Bytes read at once when a file is read a piece at a time: few reads, yet
// small enough that the piece and its items stay in the processor's cache
// (a whole file of 20 MB would cost more in fresh memory than in reading).
constexpr std::size_t PIECE = 256 * 1024;
// A file read ahead gets a thread from this size on: below it, starting the
// thread costs about what the scan would.
constexpr std::size_t AHEAD_FROM = 64 * 1024;

bool is_blank_like(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

bool is_x(char c) {
    return c == 'x' || c == 'X';
}

// Where normalising changes something: a CR or tab, a blank before a blank,
// tab or CR, or the "0" of "0 x".
bool needs_normalising(const char* text, std::size_t i, std::size_t size) {
    switch (text[i]) {
        case '\r':
        case '\t': return true;
        case ' ': return i + 1 < size && is_blank_like(text[i + 1]);
        case '0': return i + 2 < size && text[i + 1] == ' ' && is_x(text[i + 2]);
        default: return false;
    }
}

// Where the bytes that the scan of a piece looks at are, a bit for each
// byte: for each 64 bytes of the piece a word of line feeds and a word of
// special bytes, side by side. Special are "#", "[", quotes, braces and
// where normalising may change something (a superset: control characters, a blank
// before a blank or control character, the "0" of "0 x").
constexpr std::size_t LINE_FEEDS = 0;
constexpr std::size_t SPECIALS = 1;

// Bytes after a piece that classifying reads (and ignores).
constexpr std::size_t PAD = 64 + 32;

#if defined(__SSE2__)
void classify_sse2(const char* text, std::size_t words, std::uint64_t* bits) {
    const __m128i line_feed = _mm_set1_epi8('\n');
    const __m128i blank = _mm_set1_epi8(' ');
    for (std::size_t w = 0; w < words; ++w) {
        std::uint64_t found[2] = {};
        for (std::size_t part = 0; part < 4; ++part) {
            const char* p = text + w * 64 + part * 16;
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 1));
            const __m128i after = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 2));
            const __m128i lf = _mm_cmpeq_epi8(v, line_feed);
            const __m128i is_blank = _mm_cmpeq_epi8(v, blank);
            // Bytes up to 32 are blanks, line feeds and control characters.
            const __m128i low = _mm_cmpeq_epi8(_mm_max_epu8(v, blank), blank);
            const __m128i next_low = _mm_andnot_si128(_mm_cmpeq_epi8(next, line_feed),
                                                      _mm_cmpeq_epi8(_mm_max_epu8(next, blank), blank));
            const __m128i spaced_code = _mm_and_si128(
                _mm_and_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('0')), _mm_cmpeq_epi8(next, blank)),
                _mm_cmpeq_epi8(_mm_or_si128(after, _mm_set1_epi8(0x20)), _mm_set1_epi8('x')));
            const __m128i bracket_like = _mm_or_si128(
                _mm_cmpeq_epi8(v, _mm_set1_epi8('[')),
                _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('{')), _mm_cmpeq_epi8(v, _mm_set1_epi8('}'))));
            const __m128i quote = _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('\'')), _mm_cmpeq_epi8(v, _mm_set1_epi8('"')));
            const __m128i marks = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('#')), quote), bracket_like);
            const __m128i special = _mm_or_si128(
                _mm_or_si128(marks, spaced_code),
                _mm_or_si128(_mm_andnot_si128(_mm_or_si128(lf, is_blank), low), _mm_and_si128(is_blank, next_low)));
            const unsigned shift = static_cast<unsigned>(part * 16);
            found[LINE_FEEDS] |= std::uint64_t{static_cast<unsigned>(_mm_movemask_epi8(lf))} << shift;
            found[SPECIALS] |= std::uint64_t{static_cast<unsigned>(_mm_movemask_epi8(special))} << shift;
        }
        bits[2 * w + LINE_FEEDS] = found[LINE_FEEDS];
        bits[2 * w + SPECIALS] = found[SPECIALS];
    }
}
#endif


#if defined(__GNUC__) && defined(__x86_64__)
#define TESSARO_AVX2 1
// The same map, 32 bytes at a time, on processors that have AVX2. The marks
// and the control bytes are looked up by their two halves: a byte is one
// when the entries of its low and its high four bits share a bit.
__attribute__((target("avx2"))) void classify_avx2(const char* text, std::size_t words, std::uint64_t* bits) {
    // Bits: 1 control bytes below 0x10 (not the line feed), 2 those from 0x10,
    // 4 '"', '#' and '\'', 8 '[', 16 '{' and '}'.
    const __m256i low_table = _mm256_setr_epi8(3, 3, 7, 7, 3, 3, 3, 7, 3, 3, 2, 27, 3, 19, 3, 3,  //
                                               3, 3, 7, 7, 3, 3, 3, 7, 3, 3, 2, 27, 3, 19, 3, 3);
    const __m256i high_table = _mm256_setr_epi8(1, 2, 4, 0, 0, 8, 0, 16, 0, 0, 0, 0, 0, 0, 0, 0,  //
                                                1, 2, 4, 0, 0, 8, 0, 16, 0, 0, 0, 0, 0, 0, 0, 0);
    const __m256i nibble = _mm256_set1_epi8(0x0f);
    const __m256i line_feed = _mm256_set1_epi8('\n');
    const __m256i blank = _mm256_set1_epi8(' ');
    for (std::size_t w = 0; w < words; ++w) {
        std::uint64_t found[2] = {};
        for (std::size_t part = 0; part < 2; ++part) {
            const char* p = text + w * 64 + part * 32;
            const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
            const __m256i next = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 1));
            const __m256i after = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 2));
            const __m256i kind = _mm256_and_si256(_mm256_shuffle_epi8(low_table, _mm256_and_si256(v, nibble)),
                                                  _mm256_shuffle_epi8(high_table, _mm256_and_si256(_mm256_srli_epi16(v, 4), nibble)));
            const __m256i lf = _mm256_cmpeq_epi8(v, line_feed);
            const __m256i next_low = _mm256_andnot_si256(_mm256_cmpeq_epi8(next, line_feed),
                                                         _mm256_cmpeq_epi8(_mm256_max_epu8(next, blank), blank));
            const __m256i spaced_code = _mm256_and_si256(
                _mm256_and_si256(_mm256_cmpeq_epi8(v, _mm256_set1_epi8('0')), _mm256_cmpeq_epi8(next, blank)),
                _mm256_cmpeq_epi8(_mm256_or_si256(after, _mm256_set1_epi8(0x20)), _mm256_set1_epi8('x')));
            const __m256i other = _mm256_or_si256(spaced_code, _mm256_and_si256(_mm256_cmpeq_epi8(v, blank), next_low));
            // Bytes of no kind and no other special meaning: the rest are special.
            const __m256i plain = _mm256_andnot_si256(other, _mm256_cmpeq_epi8(kind, _mm256_setzero_si256()));
            const unsigned shift = static_cast<unsigned>(part * 32);
            found[LINE_FEEDS] |= std::uint64_t{static_cast<std::uint32_t>(_mm256_movemask_epi8(lf))} << shift;
            found[SPECIALS] |= std::uint64_t{~static_cast<std::uint32_t>(_mm256_movemask_epi8(plain))} << shift;
        }
        bits[2 * w + LINE_FEEDS] = found[LINE_FEEDS];
        bits[2 * w + SPECIALS] = found[SPECIALS];
    }
}

// Asked of the processor itself (and only once a large piece comes): the
// compiler's own feature check runs at every start and costs a small run
// dearly in a virtual machine, where each question to the processor traps.
__attribute__((target("xsave"))) unsigned long long saved_state_bits() {
    return _xgetbv(0);
}

bool has_avx2() {
    static const bool avx2 = [] {
        unsigned a = 0, b = 0, c = 0, d = 0;
        if (__get_cpuid_max(0, nullptr) < 7) return false;
        __cpuid(1, a, b, c, d);
        const bool os_saves_ymm = (c & bit_OSXSAVE) != 0 && (c & bit_AVX) != 0 && (saved_state_bits() & 6) == 6;
        __cpuid_count(7, 0, a, b, c, d);
        return os_saves_ymm && (b & bit_AVX2) != 0;
    }();
    return avx2;
}
#endif

// The bit map of size bytes of text, which has PAD readable bytes after them.
void classify(const char* text, std::size_t size, std::uint64_t* bits) {
    const std::size_t words = (size + 63) / 64;
#if defined(TESSARO_AVX2)
    if (size >= 64 * 1024 && has_avx2()) {
        classify_avx2(text, words, bits);
    } else {
        classify_sse2(text, words, bits);
    }
#elif defined(__SSE2__)
    classify_sse2(text, words, bits);
#else
    for (std::size_t w = 0; w < 2 * words; ++w) bits[w] = 0;
    for (std::size_t i = 0; i < size; ++i) {
        const char c = text[i];
        const bool special = c == '#' || c == '[' || c == '{' || c == '}' || c == '\'' || c == '"' || (static_cast<unsigned char>(c) < 32 && c != '\n') ||
                             (c == ' ' && i + 1 < size && static_cast<unsigned char>(text[i + 1]) <= 32 && text[i + 1] != '\n') ||
                             needs_normalising(text, i, size);
        if (c == '\n') bits[2 * (i / 64) + LINE_FEEDS] |= std::uint64_t{1} << (i % 64);
        if (special) bits[2 * (i / 64) + SPECIALS] |= std::uint64_t{1} << (i % 64);
    }
#endif
    // Nothing past the end counts.
    if (size % 64 != 0) {
        const std::uint64_t keep = ~std::uint64_t{0} >> (64 - size % 64);
        bits[2 * (words - 1) + LINE_FEEDS] &= keep;
        bits[2 * (words - 1) + SPECIALS] &= keep;
    }
}

// The special bits of word w that lie in [from, to).
inline std::uint64_t specials_in(const std::uint64_t* bits, std::size_t w, std::size_t from, std::size_t to) {
    std::uint64_t word = bits[2 * w + SPECIALS];
    if (w == from / 64) word &= ~std::uint64_t{0} << (from % 64);
    if (w * 64 + 64 > to) word &= ~std::uint64_t{0} >> (w * 64 + 64 - to);
    return word;
}

// The bits below the lowest set bit of x; all of them when none is set.
inline std::uint64_t below_lowest(std::uint64_t x) {
    return x == 0 ? ~std::uint64_t{0} : (x & (0 - x)) - 1;
}

// The special bytes of [from, to), as far as a line's skim looks: the first
// two and how many there are (counted up to three).
inline RuleReader::LineSpecials specials_of(const std::uint64_t* bits, std::size_t from, std::size_t to) {
    RuleReader::LineSpecials specials;
    for (std::size_t w = from / 64; w * 64 < to && specials.count < 3; ++w)
        for (std::uint64_t word = specials_in(bits, w, from, to); word != 0 && specials.count < 3; word &= word - 1)
            specials.add(w * 64 + static_cast<std::size_t>(std::countr_zero(word)));
    return specials;
}

// True when a code starts at pos: "0x" in either case, or a digit (mkgmap
// reads decimal and octal codes too).
inline bool code_at(std::string_view line, std::size_t pos) {
    return pos < line.size() && line[pos] >= '0' && line[pos] <= '9';
}

}  // namespace

std::size_t normalise_rule_text(char* text, std::size_t size) {
    std::size_t read = 0;
    std::size_t write = 0;
    while (read < size) {
#if defined(__SSE2__)
        // Sixteen bytes at a time while nothing needs normalising: most of a
        // rule file is copied (or, before the first change, left) as it is.
        const __m128i cr = _mm_set1_epi8('\r');
        const __m128i tab = _mm_set1_epi8('\t');
        const __m128i blank = _mm_set1_epi8(' ');
        const __m128i zero = _mm_set1_epi8('0');
        const __m128i small_x = _mm_set1_epi8('x');
        const __m128i case_bit = _mm_set1_epi8(0x20);
        while (read + 18 <= size) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + read));
            const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + read + 1));
            const __m128i after = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + read + 2));
            const __m128i next_blank_like = _mm_or_si128(
                _mm_cmpeq_epi8(next, blank), _mm_or_si128(_mm_cmpeq_epi8(next, tab), _mm_cmpeq_epi8(next, cr)));
            const __m128i spaced_code = _mm_and_si128(
                _mm_and_si128(_mm_cmpeq_epi8(v, zero), _mm_cmpeq_epi8(next, blank)),
                _mm_cmpeq_epi8(_mm_or_si128(after, case_bit), small_x));
            const __m128i care = _mm_or_si128(
                _mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, tab)),
                _mm_or_si128(_mm_and_si128(_mm_cmpeq_epi8(v, blank), next_blank_like), spaced_code));
            const auto mask = static_cast<unsigned>(_mm_movemask_epi8(care));
            if (mask == 0) {
                // Writing trails reading: the sixteen bytes stored were all loaded already.
                if (write != read) _mm_storeu_si128(reinterpret_cast<__m128i*>(text + write), v);
                read += 16;
                write += 16;
                continue;
            }
            const auto clean = static_cast<std::size_t>(std::countr_zero(mask));
            if (write != read) std::memmove(text + write, text + read, clean);
            read += clean;
            write += clean;
            break;
        }
        if (read >= size) break;
#endif
        if (!needs_normalising(text, read, size)) {
            text[write++] = text[read++];
            continue;
        }
        if (text[read] == '0') {  // "0 x": the blank goes
            text[write++] = '0';
            text[write++] = 'x';
            read += 3;
            continue;
        }
        // A run of blanks, tabs and CRs: the CRs go, and of the blanks and
        // tabs (blanks now) every two become one.
        std::size_t blanks = 0;
        for (; read < size && is_blank_like(text[read]); ++read) blanks += text[read] != '\r';
        const std::size_t kept = (blanks + 1) / 2;
        if (kept == 1 && write > 0 && text[write - 1] == '0' && read < size && is_x(text[read])) {
            text[write++] = 'x';
            ++read;
            continue;
        }
        std::memset(text + write, ' ', kept);
        write += kept;
    }
    return write;
}


namespace {

constexpr std::size_t NPOS = std::string_view::npos;

// Longer lines are no rules: a condition of a hundred thousand alternatives
// is a few megabytes.
constexpr std::size_t MAX_LINE_BYTES = 16u << 20;

// A bracket left open is read on into the lines after it, but not forever:
// a stray "[" must not swallow the rest of the file.
constexpr std::size_t MAX_PENDING_LINES = 16;
constexpr std::size_t MAX_PENDING_BYTES = 4096;

// What the general scan of a line finds.
struct LineWalk {
    std::size_t cut = 0;       // where a comment starts, or the line's size
    bool open_at_end = false;  // a "[" with nothing but blanks after it
    int depth = 0;             // 1 when an action is open at its end
    char quote = 0;            // the quote open at its end, if any
    std::size_t quote_at = 0;  // where that quote opened
    bool action_cut = false;   // an action was ended before a type bracket
};

// The first "]" from pos on before a comment, or npos (then *cut is the comment's "#", if any).
// PADDED: the line lies in a piece, which has PAD readable bytes after its
// end, so that sixteen bytes may be read from any place of it (bytes past
// the line count for nothing): the line's end, where brackets stand, needs
// no byte-by-byte loop.
template <bool PADDED>
std::size_t bracket_close(std::string_view line, std::size_t pos, std::size_t* cut) {
#if defined(__SSE2__)
    // Sixteen bytes at a time: a code and its level or resolution run to a dozen or two.
    const __m128i close = _mm_set1_epi8(']');
    const __m128i hash = _mm_set1_epi8('#');
    for (; PADDED ? pos < line.size() : pos + 16 <= line.size(); pos += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line.data() + pos));
        auto hits = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, close), _mm_cmpeq_epi8(v, hash))));
        if (PADDED && line.size() - pos < 16) hits &= (1u << (line.size() - pos)) - 1;
        if (hits != 0) {
            pos += static_cast<std::size_t>(std::countr_zero(hits));
            if (line[pos] == ']') return pos;
            *cut = pos;
            return NPOS;
        }
    }
#endif
    for (; pos < line.size(); ++pos) {
        if (line[pos] == ']') return pos;
        if (line[pos] == '#') {
            *cut = pos;
            return NPOS;
        }
    }
    return NPOS;
}

// The state of a line's scan that runs on from byte to byte.
struct LineState {
    char quote = 0;    // the quote open, if any
    int depth = 0;     // action braces open
    std::size_t cut;   // where a comment starts, or the line's size
    std::size_t quote_at = 0;  // where the quote open opened
    bool action_cut = false;   // an action was open where a type bracket stands
};

enum class Met { Nothing, Comment, OpenAtEnd, Bracket };

// The bytes a line's scan looks at, by kind; any other byte changes nothing.
enum Mark : unsigned char { NO_MARK, HASH, QUOTE, OPEN_BRACE, CLOSE_BRACE, OPEN_BRACKET };
constexpr std::array<Mark, 256> MARKS = [] {
    std::array<Mark, 256> table{};
    table['#'] = HASH;
    table['\''] = QUOTE;
    table['"'] = QUOTE;
    table['{'] = OPEN_BRACE;
    table['}'] = CLOSE_BRACE;
    table['['] = OPEN_BRACKET;
    return table;
}();

inline Mark mark_of(char c) {
    return MARKS[static_cast<unsigned char>(c)];
}

inline bool is_mark(char c) {
    return mark_of(c) != NO_MARK;
}

// One byte of a line that is_mark, as both ways of scanning a line read it:
// quotes, comments, action braces and type brackets. For a bracket, *close is
// its "]", or npos when a comment or the line's end comes first.
template <bool PADDED = false>
__attribute__((always_inline)) inline Met step(std::string_view line, std::size_t pos, LineState& state, std::size_t* close) {
    const char c = line[pos];
    if (state.quote != 0) {
        if (c == state.quote) state.quote = 0;
        return Met::Nothing;
    }
    switch (mark_of(c)) {
        case HASH: state.cut = pos; return Met::Comment;
        case QUOTE:
            state.quote = c;
            state.quote_at = pos;
            return Met::Nothing;
        // As mkgmap reads an action: its first "}" ends it, a "{" inside is text.
        case OPEN_BRACE: state.depth = 1; return Met::Nothing;
        case CLOSE_BRACE: state.depth = 0; return Met::Nothing;
        case OPEN_BRACKET: {
            std::size_t k = pos + 1;
            while (k < line.size() && line[k] == ' ') ++k;
            if (state.depth > 0) {
                // A type bracket outside quotes is no action's text (mkgmap
                // refuses it): the "}" before it was left out.
                if (k == line.size() || !code_at(line, k)) return Met::Nothing;
                state.depth = 0;
                state.action_cut = true;
            }
            if (k == line.size() || line[k] == '#') return Met::OpenAtEnd;
            if (!code_at(line, k)) return Met::Nothing;
            *close = bracket_close<PADDED>(line, k, &state.cut);
            return Met::Bracket;
        }
        case NO_MARK: break;
    }
    return Met::Nothing;
}

// The general scan: each byte of the line that matters, left to right.
LineWalk walk_line(std::string_view line, int depth, std::vector<std::pair<std::size_t, std::size_t>>& brackets) {
    LineState state{0, depth, line.size()};
    bool open_at_end = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (!is_mark(line[i])) continue;
        std::size_t close = NPOS;
        const Met met = step(line, i, state, &close);
        if (met == Met::Comment) break;
        if (met == Met::OpenAtEnd) {
            open_at_end = true;
        } else if (met == Met::Bracket) {
            brackets.emplace_back(i, close);
            if (close == NPOS) break;
            i = close;
        }
    }
    return {state.cut, open_at_end, state.depth, state.quote, state.quote_at, state.action_cut};
}

// The words that may start a line inside an action or a type bracket that an
// earlier line opened: mkgmap's commands of each kind. A line starting with
// any other word starts the next rule, and mkgmap refuses the style there.
constexpr std::string_view ACTION_WORDS[] = {"add",  "addaccess", "addlabel", "apply",  "apply_first", "apply_once", "delete",
                                             "deletealltags", "echo", "echotags", "name", "rename", "set", "setaccess"};
constexpr std::string_view BRACKET_WORDS[] = {"continue", "copy", "default_name", "level", "no_propagate", "propagate",
                                              "resolution", "road_class", "road_speed", "with_actions", "withactions"};

// Where the text holds, from `from` on, "[", blanks and a digit: the start of a type bracket; or npos.
std::size_t type_bracket_at(std::string_view text, std::size_t from = 0) {
    for (std::size_t at = text.find('[', from); at != NPOS; at = text.find('[', at + 1)) {
        std::size_t k = at + 1;
        while (k < text.size() && text[k] == ' ') ++k;
        if (k < text.size() && text[k] >= '0' && text[k] <= '9') return at;
    }
    return NPOS;
}

bool holds_type_bracket(std::string_view text) {
    return type_bracket_at(text) != NPOS;
}

bool is_word_byte(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// True when the line, read on inside a construct, may continue it: a line
// empty but for a comment, one of `words`, or one of the bytes in `marks`.
template <std::size_t N>
bool continues(std::string_view line, const std::string_view (&words)[N], std::string_view marks) {
    std::size_t i = 0;
    while (i < line.size() && line[i] == ' ') ++i;
    if (i == line.size() || line[i] == '#' || marks.find(line[i]) != std::string_view::npos) return true;
    std::size_t end = i;
    while (end < line.size() && is_word_byte(line[end])) ++end;
    const std::string_view word = line.substr(i, end - i);
    for (const std::string_view w : words)
        if (word == w) return true;
    return false;
}

}  // namespace

std::string RuleItem::text() const {
    std::string item;
    item.reserve(after.size() + 2 + before.size());
    item.append(after).append(" @").append(before);
    return item;
}

bool holds_type_brackets(const std::string& path) {
    FileReader file;
    std::string error;
    if (!file.open(path, error)) return false;
    enum { TEXT, COMMENT, BRACKET } state = TEXT;
    char buffer[64 * 1024];
    for (std::size_t got; (got = file.read(buffer, sizeof buffer, error)) > 0;) {
        for (std::size_t i = 0; i < got; ++i) {
            const char c = buffer[i];
            if (c == '\n' || c == '\r') state = TEXT;
            else if (state == COMMENT) continue;
            else if (c == '#') state = COMMENT;
            else if (state == BRACKET && c >= '0' && c <= '9') return true;
            else if (c == '[') state = BRACKET;
            else if (c != ' ' && c != '\t') state = TEXT;
        }
        if (got < sizeof buffer) break;
    }
    return false;
}

std::string_view item_code(const RuleItem& item) {
    return leading_code(item.after).code;
}

// Reads and scans the pieces of a large file on a thread of its own,
// PIECES - 1 ahead of the caller: the scan and the caller's work on the items
// overlap. The pieces and the scan's state belong to the thread until it has
// handed a piece over; a piece handed over is only read until it is released.
class RuleReader::Worker {
public:
    explicit Worker(RuleReader& reader) : m_reader(reader), m_thread([this] { run(); }) {}
    ~Worker() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    // The next piece, once it is ready (the one in hand is released); none at the end.
    Piece* next() {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (m_holding) {
            ++m_released;
            m_holding = false;
            m_changed.notify_all();
        }
        m_changed.wait(lock, [this] { return m_ready > m_released || m_finished; });
        if (m_error) std::rethrow_exception(std::exchange(m_error, nullptr));
        if (m_ready == m_released) return nullptr;
        m_holding = true;
        return &m_reader.m_pieces[m_released % PIECES];
    }

private:
    void run() {
        try {
            for (std::size_t n = 0;; ++n) {
                {
                    std::unique_lock<std::mutex> lock(m_mutex);
                    // The piece's place is free once the piece PIECES before it is released.
                    m_changed.wait(lock, [&] { return m_stop || n < m_released + PIECES; });
                    if (m_stop) return;
                }
                const Piece* previous = n == 0 ? nullptr : &m_reader.m_pieces[(n - 1) % PIECES];
                const bool more = m_reader.fill(m_reader.m_pieces[n % PIECES], previous);
                {
                    std::lock_guard<std::mutex> lock(m_mutex);
                    m_ready = n + 1;
                    m_finished = !more;
                }
                m_changed.notify_all();
                if (!more) return;
            }
        } catch (...) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_error = std::current_exception();
            m_finished = true;
            m_changed.notify_all();
        }
    }

    RuleReader& m_reader;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::size_t m_ready = 0;     // pieces handed over
    std::size_t m_released = 0;  // pieces the caller is done with
    bool m_holding = false;      // the caller has a piece in hand
    bool m_finished = false;     // no piece follows the ready ones
    bool m_stop = false;
    std::exception_ptr m_error;
    std::thread m_thread;  // last: it starts once the rest is in place
};

RuleReader::RuleReader(Yield yield, PagePool* pages)
    : m_yield(std::move(yield)), m_pages(pages), m_current(&m_pieces[0]), m_file(std::make_unique<FileReader>()) {}
RuleReader::~RuleReader() {
    close();
}

void RuleReader::reserve(std::size_t bytes) {
    m_reserve = std::min(bytes, PIECE) / 32 + 1;
}

// Each piece gets an equal share of one block, made again only when a file
// needs more (the pieces are idle here): a block of large pages costs its
// clearing, and a reader's pieces fit one many times over. The block's end
// holds the map of a piece's bytes, two words for each 64 bytes (s / 4 + 16
// bytes for a share s).
void RuleReader::share_block(std::size_t piece_bytes) {
    const auto map_bytes = [](std::size_t share) { return (share / 64 + 1) * 2 * sizeof(std::uint64_t); };
    const std::size_t wanted = (piece_bytes + 63) / 64 * 64;
    if (m_block.size() < PIECES * wanted + map_bytes(wanted))
        m_block = LargeBlock(PIECES * wanted + map_bytes(wanted), m_pages);
    // The largest share (a multiple of 64) whose map fits beside the shares: at least `wanted`.
    const std::size_t share = (m_block.size() - map_bytes(0)) * 4 / (4 * PIECES + 1) / 64 * 64;
    for (std::size_t i = 0; i < PIECES; ++i) {
        m_pieces[i].own = LargeBlock();
        m_pieces[i].bytes = m_block.get() + i * share;
        m_pieces[i].capacity = share;
    }
    m_block_bits = reinterpret_cast<std::uint64_t*>(m_block.get() + PIECES * share);
    m_block_bit_words = (m_block.size() - PIECES * share) / sizeof(std::uint64_t);
}

void RuleReader::own_block(Piece& piece, std::size_t bytes) {
    LargeBlock bigger(bytes, m_pages);
    if (piece.used > 0) std::memcpy(bigger.get(), piece.bytes, piece.used);
    piece.own = std::move(bigger);
    piece.bytes = piece.own.get();
    piece.capacity = piece.own.size();
}

void RuleReader::start() {
    for (Piece& piece : m_pieces) {
        piece.hits.clear();
        piece.joined.clear();
        piece.used = 0;
        piece.done = 0;
        piece.text = {};
    }
    m_current = &m_pieces[0];
    m_line = 0;
    m_depth = 0;
    m_has_condition = false;
    m_condition = {};
    m_pending.clear();
    m_pending_lines = 0;
    m_pending_bare = false;
    m_pending_quote = false;
    m_held.clear();
    m_quotes_given_up.clear();
    m_faults.clear();
    m_brackets_read = 0;
    m_action_line = 0;
    m_skipping_line = false;
    m_filled = 0;
}

void RuleReader::open(const std::string& path, Items items, bool statements, bool ahead) {
    close();
    start();
    m_keep_statements = statements;
    m_statements_whole = statements;
    m_statements.clear();
    m_lf_line = 0;
    m_read_to_end = false;
    m_closed = false;
    m_path = path;
    m_items_kind = items;
    m_values_met = TypeSet{};
    m_passed = 0;
    m_plain = false;
    m_failure.reset();
    std::string error;
    m_reading = m_file->open(path, error);
    if (!m_reading) m_failure = Failure{Failure::Kind::Read, path, 0, error};
    // A small file needs no piece of full size (one more byte tells the end):
    // its buffer then comes from memory the program has used already.
    m_piece_size = static_cast<std::size_t>(std::min<std::uintmax_t>(PIECE, m_file->size_hint() + 1));
    // Room for the start of a line carried from the piece before (none in a file read in one piece).
    share_block(m_piece_size + PAD + (m_piece_size < PIECE ? 0 : PIECE / 8));
    // A thread pays only where there are pieces to overlap, or where the
    // file is read while the caller is busy with another.
    const std::uintmax_t threaded_from = ahead ? AHEAD_FROM : 2 * PIECE;
    if (m_reading && m_file->size_hint() > threaded_from) m_worker = std::make_unique<Worker>(*this);
    yield_to(m_yield);
}

void RuleReader::scan_text(std::string_view text, bool plain, Items items) {
    close();
    start();
    m_keep_statements = false;
    m_path.clear();
    m_items_kind = items;
    m_values_met = TypeSet{};
    m_passed = 0;
    m_plain = plain;
    Piece& piece = m_pieces[0];
    own_block(piece, text.size() + PAD);
    std::memcpy(piece.bytes, text.data(), text.size());
    std::memset(piece.bytes + text.size(), 0, PAD);
    m_scanning = &piece;
    scan_piece(piece.bytes, text.size(), true);
    m_current = &piece;
}

std::string_view RuleReader::piece_text() {
    Piece& piece = *m_current;
    if (!piece.normalised) {
        piece.text = std::string_view(piece.bytes, normalise_rule_text(piece.bytes, piece.text.size()));
        piece.normalised = true;
    }
    return piece.text;
}

bool RuleReader::next_piece() {
    if (m_worker) {
        Piece* piece = m_worker->next();
        if (piece == nullptr) return false;
        m_current = piece;
    } else {
        Piece& piece = m_pieces[m_filled % 2];
        const Piece* previous = m_filled == 0 ? nullptr : &m_pieces[(m_filled - 1) % 2];
        if (!m_reading || !fill(piece, previous)) {
            m_current->hits.clear();
            m_current->joined.clear();
            m_current->text = {};
            return false;
        }
        ++m_filled;
        m_current = &piece;
    }
    yield_to(m_yield);
    return true;
}

// The bytes read after a line too long to read, from where it ends (its line
// feed or CR) on, moved to the piece's start; 0 while it goes on.
std::size_t RuleReader::skip_line_end(Piece& piece, std::size_t got) {
    char* read = piece.bytes + piece.used;
    std::size_t end = 0;
    while (end < got && read[end] != '\n' && read[end] != '\r') ++end;
    if (end == got) return 0;
    if (read[end] == '\r' && end + 1 < got && read[end + 1] == '\n') ++end;
    m_skipping_line = false;
    ++m_line;
    ++m_lf_line;
    m_statements_whole = false;
    std::memmove(read, read + end + 1, got - end - 1);
    return got - end - 1;
}

// The statement of a line that starts with "include" (after blanks); the
// line's bytes as read, before normalising.
__attribute__((always_inline)) inline void RuleReader::keep_statement(const char* line, std::size_t size) {
    ++m_lf_line;
    // Most lines start with another word, and hold no "]" followed by a
    // statement (mkgmap reads one after a rule's type bracket): told apart here, inline.
    if (size == 0) return;
    bool starts = false;
    if (line[0] == 'i' || is_blank_like(line[0])) {
        std::size_t i = 0;
        while (i < size && is_blank_like(line[i])) ++i;
        starts = size - i >= 7 && std::memcmp(line + i, "include", 7) == 0;
    }
    if (!starts) {
        const void* close = std::memchr(line, ']', size);
        if (close == nullptr) return;
        const std::size_t after = static_cast<std::size_t>(static_cast<const char*>(close) - line);
        if (std::string_view(line + after, size - after).find("include") == std::string_view::npos) return;
    }
    for (IncludeStatement& statement : include_statements(std::string_view(line, size), m_lf_line))
        m_statements.push_back(std::move(statement));
}

// Reads the next run of whole lines of the file into piece, after the start
// of a line that the previous piece carried, and finds their items. False
// when the file gave its last piece before.
bool RuleReader::fill(Piece& piece, const Piece* previous) {
    piece.hits.clear();
    piece.joined.clear();
    piece.text = {};
    if (!m_reading) return false;
    if (piece.hits.capacity() < m_reserve) piece.hits.reserve(m_reserve);
    const std::size_t carried = previous == nullptr ? 0 : previous->used - previous->done;
    piece.used = 0;
    if (piece.capacity < carried + m_piece_size + PAD) own_block(piece, carried + m_piece_size + PAD);
    if (carried > 0) std::memcpy(piece.bytes, previous->bytes + previous->done, carried);
    piece.used = carried;
    piece.done = 0;
    while (true) {
        if (piece.capacity < piece.used + m_piece_size + PAD)
            own_block(piece, std::max(piece.used + m_piece_size + PAD, 2 * piece.capacity));
        std::string error;
        std::size_t got = m_file->read(piece.bytes + piece.used, m_piece_size, error);
        if (m_file->failed()) m_failure = Failure{Failure::Kind::Read, m_path, 0, error};
        const bool last = got < m_piece_size;
        if (m_skipping_line) got = skip_line_end(piece, got);
        const std::size_t before = piece.used;
        // A NUL byte is no text (UTF-16 holds one in every ASCII character):
        // the file is named, and what reads as rules all the same is read.
        if (!m_failure && std::memchr(piece.bytes + before, '\0', got) != nullptr)
            m_failure = Failure{Failure::Kind::NotText, m_path, 0, {}};
        piece.used += got;
        std::size_t whole = piece.used;
        if (!last) {
            // Whole lines only: up to the last line feed read now (the carried
            // bytes hold none), or in a file of CRs alone up to the last CR
            // that is not the last byte (a line feed may follow that one).
            const std::string_view read(piece.bytes + before, got);
            std::size_t end = read.rfind('\n');
            if (end == NPOS) {
                end = read.substr(0, read.size() - 1).rfind('\r');
                if (end != NPOS) m_statements_whole = false;
            }
            if (end == NPOS) {
                // A line of megabytes is no rule: named and passed over, so
                // that memory stays bounded and the time linear.
                if (piece.used > MAX_LINE_BYTES) {
                    fault(Warning::Kind::LineTooLong, m_line + 1);
                    m_skipping_line = true;
                    piece.used = 0;
                }
                continue;
            }
            whole = before + end + 1;
        }
        piece.done = whole;
        if (last) {
            m_reading = false;
            m_read_to_end = true;
            m_file->close();
        }
        if (m_items_kind == Items::None) {
            // The statements from the lines as read.
            if (m_keep_statements) {
                const char* bytes = piece.bytes;
                for (std::size_t start = 0; start < whole;) {
                    const void* lf = std::memchr(bytes + start, '\n', whole - start);
                    const std::size_t end = lf == nullptr ? whole : static_cast<std::size_t>(static_cast<const char*>(lf) - bytes);
                    keep_statement(bytes + start, end - start);
                    start = end + 1;
                }
            }
            // Normalised when asked for (piece_text), in place: whole lines
            // normalise alone as in the whole text, and the start of a line
            // carried into the next piece lies after them.
            piece.text = std::string_view(piece.bytes, whole);
            piece.normalised = false;
        } else {
            if (last) std::memset(piece.bytes + whole, 0, PAD);
            m_scanning = &piece;
            scan_piece(piece.bytes, whole, last);
        }
        carry_condition();
        return true;
    }
}

// The items of the whole lines of a piece, in one pass over a map of the
// bytes that matter: line feeds and special bytes in the order they stand,
// so that a line's end and its special bytes come out of one walk. A line
// with nothing but plain text and type brackets is scanned where it stands;
// any other goes the general way.
void RuleReader::scan_piece(char* text, std::size_t size, bool last) {
    const std::size_t words = (size + 63) / 64;
    std::uint64_t* map = m_block_bits;
    if (words * 2 > m_block_bit_words) {
        m_bits.resize(words * 2);
        map = m_bits.data();
    }
    if (size > 0) classify(text, size, map);
    const std::uint64_t* bits = map;
    std::size_t line_start = 0;
    LineSpecials specials;
    for (std::size_t w = 0; w < words; ++w) {
        const std::uint64_t feeds = bits[2 * w + LINE_FEEDS];
        std::uint64_t events = feeds | bits[2 * w + SPECIALS];
        // A line with three special bytes is no skim's: the rest of its special bytes are not looked at here.
        if (specials.count >= 3) events &= ~below_lowest(feeds);
        while (events != 0) {
            const std::size_t at = w * 64 + static_cast<std::size_t>(std::countr_zero(events));
            events &= events - 1;
            if ((feeds >> (at % 64) & 1) == 0) {
                specials.add(at);
                if (specials.count == 3) events &= ~below_lowest(feeds & events);
                continue;
            }
            scan_line(text, line_start, at, specials, bits);
            line_start = at + 1;
            specials = LineSpecials{};
        }
    }
    if (line_start < size) scan_line(text, line_start, size, specials, bits);
    if (last) end_of_text();
}

// One line, [line_start, end) with end its line feed or the piece's end, whose special bytes are known.
__attribute__((always_inline)) inline void RuleReader::scan_line(char* text, std::size_t line_start, std::size_t end,
                                                                 LineSpecials specials, const std::uint64_t* bits) {
    if (m_keep_statements) keep_statement(text + line_start, end - line_start);
    // A CR that ends the line (CR LF) is no concern of the scan; being special, only a line with specials has one.
    std::size_t line_end = end;
    if (specials.count != 0 && end > line_start && text[end - 1] == '\r') {
        --line_end;
        specials = specials_of(bits, line_start, line_end);
    }
    // A line read on inside an action is checked for the command it must start with.
    const bool marked = !m_plain && m_pending_lines == 0 && m_depth == 0;
    if (marked && skim_line(text, line_start, line_end, bits, specials)) return;
    if (!marked || !scan_marked_line(text, line_start, line_end, bits))
        scan_line_with_breaks(text + line_start, end - line_start);
}

// The two lines nearly every line of a large style is, settled from the map
// alone: a line without a special byte but perhaps a comment's "#" (a
// condition, a blank line), and, when only the first item of each value is
// wanted, a line (perhaps indented) whose one type bracket has a value met
// before (perhaps with a comment after it), which only counts. False (having
// done nothing) for any other line. `specials` are those of the whole line.
__attribute__((always_inline)) inline bool RuleReader::skim_line(const char* text, std::size_t line_start, std::size_t line_end,
                                                                 const std::uint64_t* bits, LineSpecials specials) {
    // An indented line (a rule's bracket below its condition): its tabs and
    // blanks only matter to the text of an item handed out.
    std::size_t from = line_start;
    const bool indented = text[from] == '\t' || (text[from] == ' ' && (text[from + 1] == ' ' || text[from + 1] == '\t'));
    if (indented) {
        if (m_items_kind != Items::FirstOfType || m_depth != 0) return false;
        while (from < line_end && (text[from] == ' ' || text[from] == '\t')) ++from;
        specials = specials_of(bits, from, line_end);
    }
    if (specials.count > 2) return false;
    const std::size_t first = specials.first;
    const std::size_t second = specials.second;
    if (!indented && (first == NPOS || (second == NPOS && text[first] == '#'))) {
        // No two blanks meet, so a line of blanks is one blank at most.
        const std::size_t size = (first == NPOS ? line_end : first) - line_start;
        if (size > 1 || (size == 1 && text[line_start] != ' ')) {
            m_condition = std::string_view(text + line_start, size);
            m_has_condition = true;
        }
        ++m_line;
        return true;
    }
    if (m_items_kind != Items::FirstOfType || m_depth != 0 || first == NPOS || text[first] != '[') return false;
    const std::size_t limit = second == NPOS ? line_end : second;  // a comment's "#" cuts the line
    if (second != NPOS && text[second] != '#') return false;
    // "[", one blank at most (two would be special), "0x", digits, then a blank or "]".
    std::size_t k = first + 1;
    if (k < limit && text[k] == ' ') ++k;
    if (k + 2 >= limit || text[k] != '0' || (text[k + 1] | 0x20) != 'x') return false;
    // Eight digits at most (more go the general way): no value overflows.
    std::uint64_t value = 0;
    const std::size_t end = detail::read_hex_digits<true>(text, k + 2, std::min(limit, k + 10), value);
    if (end == k + 2 || end == limit || (text[end] != ' ' && text[end] != ']')) return false;
    if (!m_values_met.contains(static_cast<std::uint32_t>(value))) return false;
    // The bracket must close before the comment or the line's end, or it reads on into the next lines.
    if (text[end] != ']' && text[limit - 1] != ']' && std::memchr(text + end, ']', limit - end) == nullptr) return false;
    ++m_passed;
    ++m_brackets_read;
    m_has_condition = false;
    ++m_line;
    return true;
}

// A line that needs no normalising, scanned at the bytes that matter only
// (its special bits), as walk_line scans it. False (having done nothing that
// counts) when another byte of the line needs the general way (a byte to
// normalise, a CR inside), or a bracket stays open.
__attribute__((always_inline)) inline bool RuleReader::scan_marked_line(const char* text, std::size_t line_start, std::size_t line_end,
                                  const std::uint64_t* bits) {
    const std::string_view line(text + line_start, line_end - line_start);
    m_brackets.clear();
    LineState state{0, m_depth, line.size()};
    std::size_t skip_to = 0;
    bool comment = false;  // past a comment's "#" the bytes are only checked
    for (std::size_t w = line_start / 64; w * 64 < line_end; ++w) {
        for (std::uint64_t word = specials_in(bits, w, line_start, line_end); word != 0; word &= word - 1) {
            const std::size_t at = w * 64 + static_cast<std::size_t>(std::countr_zero(word));
            if (!is_mark(text[at])) return false;
            // Inside quotes (never in a comment or a bracket passed over) only the closing quote counts.
            if (state.quote != 0) {
                if (text[at] == state.quote) state.quote = 0;
                continue;
            }
            const std::size_t pos = at - line_start;
            if (comment || pos < skip_to) continue;
            std::size_t close = NPOS;
            const Met met = step<true>(line, pos, state, &close);
            if (met == Met::Comment) {
                comment = true;
            } else if (met == Met::OpenAtEnd || (met == Met::Bracket && close == NPOS)) {
                return false;
            } else if (met == Met::Bracket) {
                m_brackets.push_back({pos, close});
                skip_to = close + 1;
            }
        }
    }
    // A quote open at the end holds the line for the next ones, an action cut
    // short is named: the general way.
    if ((state.quote != 0 && !comment) || state.action_cut) return false;
    m_depth = state.depth;
    finish_line(line.substr(0, state.cut), ++m_line);
    if (m_depth != 0) m_action_line = m_line;
    return true;
}

// A run of bytes up to a line feed, which may hold CRs: each CR ends a line
// too, and one right before the line feed ends the same line.
void RuleReader::scan_line_with_breaks(char* text, std::size_t size) {
    std::size_t start = 0;
    while (true) {
        const void* cr = std::memchr(text + start, '\r', size - start);
        const std::size_t end = cr == nullptr ? size : static_cast<std::size_t>(static_cast<const char*>(cr) - text);
        // Normalising keeps within a line.
        const std::size_t kept = normalise_rule_text(text + start, end - start);
        scan_general_line(std::string_view(text + start, kept));
        if (cr == nullptr || end + 1 == size) return;
        start = end + 1;
    }
}

void RuleReader::scan_general_line(std::string_view line) {
    ++m_line;
    if (m_pending_quote && holds_type_bracket(line.substr(0, line.find(m_quote_char)))) {
        // A quote that would take in the type bracket of a later line is a
        // stray one: no value a map maker quotes holds a rule of the next line.
        m_held.emplace_back(line);
        give_up_quote();
        return;
    }
    if (ends_open_construct(line)) flush_pending();
    std::string_view text = line;
    int depth = m_depth;
    if (m_pending_lines > 0) {
        // Outside a quote, a comment ends the line before the held text reads on.
        std::string_view joined = line;
        if (!m_pending_quote) {
            std::vector<std::pair<std::size_t, std::size_t>> ignored;
            joined = line.substr(0, walk_line(line, 0, ignored).cut);
        }
        // One blank where the lines meet, unless one stands there already or the bracket just opened.
        if (!m_pending.empty() && m_pending.back() != ' ' && m_pending.back() != '[' && !joined.starts_with(' '))
            m_pending += ' ';
        m_held_starts.push_back(m_pending.size());
        m_pending.append(joined);
        text = m_pending;
        depth = m_pending_depth;
    }
    std::vector<std::pair<std::size_t, std::size_t>>& found = m_found;
    found.clear();
    const LineWalk walk = walk_line(text, depth, found);
    // A quote given up before ends with the line it opened on.
    std::size_t quote_line = m_line;
    if (walk.quote != 0 && m_pending_lines > 0) {
        // The last line read on that starts before the quote.
        const auto after = std::upper_bound(m_held_starts.begin(), m_held_starts.end(), walk.quote_at);
        quote_line = m_pending_first + static_cast<std::size_t>(after - m_held_starts.begin()) - 1;
    }
    const bool quote_ends_here = walk.quote != 0 && quote_given_up(quote_line);
    const bool quote_open = walk.quote != 0 && !quote_ends_here;
    const bool bracket_open = walk.open_at_end || (!found.empty() && found.back().second == NPOS);
    if (quote_open || bracket_open) {
        const bool room = m_pending_lines < MAX_PENDING_LINES && text.size() < MAX_PENDING_BYTES;
        if (room || quote_open) {
            hold_line(line, quote_open ? quote_line : 0, walk.open_at_end && (found.empty() || found.back().second != NPOS));
            m_quote_char = walk.quote;
            // Also for the lines read on with this one.
            if (quote_ends_here) m_pending += walk.quote;
        }
        if (room) return;
        if (quote_open) {
            give_up_quote();
            return;
        }
        fault(Warning::Kind::BracketNotClosed, m_pending_lines > 0 ? m_pending_first : m_line);
    }
    std::size_t first = m_line;
    m_pending_bare = false;
    m_pending_quote = false;
    m_held.clear();
    if (m_pending_lines > 0) {
        // Kept for the piece: the items are views into it.
        text = m_scanning->joined.emplace_back(std::move(m_pending));
        m_pending.clear();
        m_pending_lines = 0;
        first = m_pending_first;
    }
    if (walk.action_cut) fault(Warning::Kind::ActionNotClosed, m_depth != 0 ? m_action_line : first);
    if (m_depth == 0 && walk.depth != 0) m_action_line = first;
    m_depth = walk.depth;
    m_brackets.clear();
    for (const auto& [open_at, close] : found) m_brackets.push_back({open_at, close});
    finish_line(text.substr(0, walk.cut), first);
}

// True when the line shows that the bracket held open before it never
// closes (a bare "[" is followed by no code, a bracket by no type command):
// the held line is to be read as it stands. An action open since an earlier
// line that the line cannot continue is ended here, and named.
bool RuleReader::ends_open_construct(std::string_view line) {
    if (m_pending_bare) {
        const std::size_t first = line.find_first_not_of(' ');
        return first != NPOS && !code_at(line, first);
    }
    if (m_pending_lines > 0) {
        if (m_pending_quote || continues(line, BRACKET_WORDS, "]")) return false;
        fault(Warning::Kind::BracketNotClosed, m_pending_first);
        return true;
    }
    if (m_depth != 0 && !continues(line, ACTION_WORDS, "}|;'\"")) {
        fault(Warning::Kind::ActionNotClosed, m_action_line);
        m_depth = 0;
    }
    return false;
}

// Holds the line (alone, or read on with those before it) until the next
// lines show whether its construct closes; `quote_line`: where the quote held
// open opened, 0 when none is.
void RuleReader::hold_line(std::string_view line, std::size_t quote_line, bool bare) {
    if (m_pending_lines == 0) {
        m_pending.assign(line);
        m_pending_first = m_line;
        m_pending_depth = m_depth;
        m_held.clear();
        m_held_starts.assign(1, 0);
    }
    // Quotes held open one after the other over lines: the first is the stray one.
    const bool chain = m_pending_quote && m_pending_lines > 0;
    m_held.emplace_back(line);
    ++m_pending_lines;
    m_pending_quote = quote_line != 0;
    if (!chain) m_quote_line = quote_line;
    m_pending_bare = bare;
}

bool RuleReader::quote_given_up(std::size_t line) const {
    return std::binary_search(m_quotes_given_up.begin(), m_quotes_given_up.end(), line);
}

// A quote that never closes: named, it ends with the line it opened on, and
// the lines held after it are read again on their own.
void RuleReader::give_up_quote() {
    fault(Warning::Kind::QuoteNotClosed, m_quote_line);
    // Each line once, in order: given up from the first line on, a quote opens on a later line each time.
    m_quotes_given_up.insert(std::upper_bound(m_quotes_given_up.begin(), m_quotes_given_up.end(), m_quote_line), m_quote_line);
    std::vector<std::string> held = std::move(m_held);
    m_held.clear();
    m_pending.clear();
    m_pending_lines = 0;
    m_pending_quote = false;
    m_pending_bare = false;
    m_line = m_pending_first - 1;
    m_depth = m_pending_depth;
    // Where a type bracket follows the quote on its line, the quote ends before
    // it: the rule keeps its type.
    std::string& opened = held[m_quote_line - m_pending_first];
    std::vector<std::pair<std::size_t, std::size_t>> ignored;
    const LineWalk alone = walk_line(opened, 0, ignored);
    if (alone.quote != 0) {
        const std::size_t bracket = type_bracket_at(opened, alone.quote_at + 1);
        if (bracket != NPOS) opened.insert(bracket, 1, alone.quote);
    }
    for (std::string& line : held) scan_general_line(m_scanning->joined.emplace_back(std::move(line)));
}

// The end of the text: what is still open never closes.
void RuleReader::end_of_text() {
    while (m_pending_lines > 0) {
        if (m_pending_quote) {
            give_up_quote();
            continue;
        }
        if (!m_pending_bare) fault(Warning::Kind::BracketNotClosed, m_pending_first);
        flush_pending();
    }
    if (m_depth != 0) fault(Warning::Kind::ActionNotClosed, m_action_line);
    m_depth = 0;
}

void RuleReader::fault(Warning::Kind kind, std::size_t line) {
    // One construct is named once, however it shows.
    if (!m_faults.empty() && m_faults.back().kind == kind && m_faults.back().line == line) return;
    m_faults.push_back({kind, m_path, line, {}});
}

std::vector<Warning> RuleReader::take_faults() {
    return std::exchange(m_faults, {});
}

// A line held open, read as it stands: at the end of the file, or where the next line shows it never closes.
void RuleReader::flush_pending() {
    m_pending_bare = false;
    m_pending_quote = false;
    m_held.clear();
    if (m_pending_lines == 0) return;
    std::vector<std::pair<std::size_t, std::size_t>> found;
    const std::string_view text = m_scanning->joined.emplace_back(std::move(m_pending));
    const LineWalk walk = walk_line(text, m_pending_depth, found);
    m_pending.clear();
    m_pending_lines = 0;
    if (m_depth == 0 && walk.depth != 0) m_action_line = m_pending_first;
    m_depth = walk.depth;
    m_brackets.clear();
    for (const auto& [open_at, close] : found) m_brackets.push_back({open_at, close});
    finish_line(text.substr(0, walk.cut), m_pending_first);
}

// The items of a line whose brackets are known (m_brackets, positions in text).
// Where the first byte other than a blank is, or npos.
inline std::size_t first_non_blank(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] != ' ') return i;
    return NPOS;
}

__attribute__((always_inline)) inline void RuleReader::finish_line(std::string_view text, std::size_t line) {
    if (m_brackets.empty()) {
        if (first_non_blank(text) != NPOS) {
            m_condition = text;
            m_has_condition = true;
        }
        return;
    }
    std::size_t shift = 0;
    if (m_has_condition && first_non_blank(text) == m_brackets.front().open) {
        // A bracket that starts its line: the condition stands above it.
        std::string joined;
        joined.reserve(m_condition.size() + text.size());
        joined.append(m_condition).append(text);
        shift = m_condition.size();
        text = m_scanning->joined.emplace_back(std::move(joined));
    }
    m_has_condition = false;
    std::size_t from = 0;
    for (const Bracket& b : m_brackets) {
        const std::size_t open = b.open + shift;
        const std::string_view after = text.substr(open + 1);
        // Parsed here, beside the scan, not by the conversion that waits for the items.
        const LeadingCode code = leading_code(after);
        ++m_brackets_read;
        if (m_items_kind == Items::FirstOfType && code.value && !m_values_met.insert(*code.value)) {
            ++m_passed;
        } else {
            m_scanning->hits.push_back(RuleItem{text.substr(from, open - from), after, line, code.code, code.value, m_passed});
            m_passed = 0;
        }
        if (b.close == NPOS) break;
        from = b.close + shift + 1;
    }
}

// The condition outlives the piece it was read in (and its joined lines).
void RuleReader::carry_condition() {
    if (!m_has_condition || m_condition.data() == m_carried_condition.data()) return;
    m_carried_condition.assign(m_condition);
    m_condition = m_carried_condition;
}

std::optional<std::vector<IncludeStatement>> RuleReader::take_statements() {
    if (!m_keep_statements || !m_statements_whole || !m_read_to_end) return std::nullopt;
    m_keep_statements = false;
    return std::move(m_statements);
}

std::optional<Failure> RuleReader::close() {
    m_worker.reset();  // after the thread has stopped, the file and the failure are the caller's again
    m_file->close();
    m_reading = false;
    std::optional<Failure> failure = std::move(m_failure);
    m_failure.reset();
    // A file whose brackets were all lost to quotes or actions is never passed over in silence.
    if (!failure && m_read_to_end && !m_closed && m_items_kind != Items::None && m_brackets_read == 0 &&
        holds_type_brackets(m_path))
        m_faults.push_back({Warning::Kind::NoTypesRead, m_path, 0, {}});
    m_closed = true;
    return failure;
}

}  // namespace tessaro
