#include "rule_reader.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#endif

#include "file_io.h"
#include "text_util.h"

namespace tessaro {

namespace {

// Position of the first "[" that is followed by blanks (any number) and "0x"
// in either case, or npos. mkgmap accepts "[ 0x6200 ...]" and styles use it.
std::size_t find_type_bracket(std::string_view line) {
    std::size_t pos = 0;
    while ((pos = line.find('[', pos)) != std::string_view::npos) {
        std::size_t k = pos + 1;
        while (k < line.size() && line[k] == ' ') ++k;
        if (k + 1 < line.size() && line[k] == '0' && lower_char(line[k + 1]) == 'x') return pos;
        ++pos;
    }
    return std::string_view::npos;
}

// Bytes read at once when a file is read a piece at a time: few reads, yet
// small enough that the piece and its items stay in the processor's cache
// (a whole file of 20 MB would cost more in fresh memory than in reading).
constexpr std::size_t PIECE = 256 * 1024;

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
// special bytes, side by side. Special are "#", "=", "[" and where
// normalising may change something (a superset: control characters, a blank
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
            const __m128i marks = _mm_or_si128(
                _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('#')), _mm_cmpeq_epi8(v, _mm_set1_epi8('='))),
                _mm_cmpeq_epi8(v, _mm_set1_epi8('[')));
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


// The bit map of size bytes of text, which has PAD readable bytes after them.
void classify(const char* text, std::size_t size, std::uint64_t* bits) {
    const std::size_t words = (size + 63) / 64;
#if defined(__SSE2__)
    classify_sse2(text, words, bits);
#else
    for (std::size_t w = 0; w < 2 * words; ++w) bits[w] = 0;
    for (std::size_t i = 0; i < size; ++i) {
        const char c = text[i];
        const bool special = c == '#' || c == '=' || c == '[' || (static_cast<unsigned char>(c) < 32 && c != '\n') ||
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

// The first line feed in [from, to), or to.
inline std::size_t next_line_feed(const std::uint64_t* bits, std::size_t from, std::size_t to) {
    std::size_t w = from / 64;
    std::uint64_t word = bits[2 * w + LINE_FEEDS] & (~std::uint64_t{0} << (from % 64));
    while (word == 0) {
        if (++w * 64 >= to) return to;
        word = bits[2 * w + LINE_FEEDS];
    }
    return std::min(to, w * 64 + static_cast<std::size_t>(std::countr_zero(word)));
}

// True when "0x" in either case starts at pos.
inline bool code_at(std::string_view line, std::size_t pos) {
    return pos + 1 < line.size() && line[pos] == '0' && (line[pos + 1] | 0x20) == 'x';
}

// A code on a line of its own: its first "0x" has nothing but blanks before
// the character ahead of it, so it stands at the first non-blank (not at the
// line's start) or right after it.
inline bool starts_with_code(std::string_view line) {
    std::size_t first = 0;
    while (first < line.size() && line[first] == ' ') ++first;
    return (first > 0 && code_at(line, first)) || code_at(line, first + 1);
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

std::string_view cut_code(std::string_view token) {
    return token.substr(0, token.find(']'));
}

bool is_type_code(std::string_view code) {
    return code.size() > 2 && code[0] == '0' && lower_char(code[1]) == 'x';
}

std::string_view draw_order_code(std::string_view item) {
    const std::size_t x = find_ci(item, "x");
    if (x == std::string_view::npos) return {};
    const std::string_view rest = item.substr(x + 1);
    const std::size_t blank = rest.find(' ');
    if (blank == std::string_view::npos) return {};
    const std::string_view code = cut_code(rest.substr(0, blank));
    for (char c : code)
        if (!is_hex_digit(c)) return {};
    return code;
}

std::string RuleItem::text() const {
    std::string item;
    item.reserve(after.size() + 2 + before.size());
    item.append(after).append(" @").append(before);
    return item;
}

std::string_view item_code(const RuleItem& item) {
    // The item's first blank is in the text after the bracket or is the one
    // ahead of "@"; an item whose text after the bracket is blank starts
    // with "@" once trimmed, which is no code. A loop of its own: the word
    // is short, and library searches cost more than it does.
    const std::string_view after = item.after;
    std::size_t first = 0;
    while (first < after.size() && after[first] == ' ') ++first;
    std::size_t end = first;
    while (end < after.size() && after[end] != ' ' && after[end] != ']') ++end;
    return after.substr(first, end - first);
}

namespace {

// The first "x" or "X", or npos.
std::size_t find_x(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i)
        if ((text[i] | 0x20) == 'x') return i;
    return std::string_view::npos;
}

}  // namespace

std::string_view draw_order_code(const RuleItem& item) {
    // The first "x" is in the text after the bracket, or else in the text
    // before it (" @" holds none); the blank that ends the code may be the
    // one ahead of "@", but only for an "x" after the bracket.
    std::string_view rest;
    if (const std::size_t x = find_x(item.after); x != std::string_view::npos) {
        rest = item.after.substr(x + 1);
    } else if (const std::size_t bx = find_x(item.before); bx != std::string_view::npos) {
        rest = item.before.substr(bx + 1);
        if (rest.find(' ') == std::string_view::npos) return {};
    } else {
        return {};
    }
    std::size_t end = 0;
    while (end < rest.size() && rest[end] != ' ' && rest[end] != ']') ++end;
    const std::string_view code = rest.substr(0, end);
    for (char c : code)
        if (!is_hex_digit(c)) return {};
    return code;
}

RuleReader::RuleReader(Yield yield) : m_yield(std::move(yield)), m_file(std::make_unique<FileReader>()) {}
RuleReader::~RuleReader() = default;

void RuleReader::reserve(std::size_t bytes) {
    const std::size_t piece = std::min(bytes, PIECE);
    m_rule_list.reserve(piece / 32 + 1);
    m_hits.reserve(piece / 32 + 1);
}

std::optional<Failure> RuleReader::loadbinary(const std::string& path) {
    return load(path, true);
}

std::optional<Failure> RuleReader::load_text(const std::string& path) {
    return load(path, false);
}

std::optional<Failure> RuleReader::load(const std::string& path, bool make_list) {
    std::optional<Failure> failure = loadbinaryfst(path);
    if (make_list) {
        strp_data();
    } else {
        normalise_text();
        m_rule_list.clear();
        m_joined.clear();
    }
    yield_to(m_yield);
    return failure;
}

std::optional<Failure> RuleReader::loadbinaryfst(const std::string& path) {
    m_rule_text.clear();
    yield_to(m_yield);
    std::string error;
    if (!read_file(path, m_rule_text, error, m_yield)) {
        return Failure{Failure::Kind::Read, path, 0, error};
    }
    yield_to(m_yield);
    return std::nullopt;
}

// The lines of the text, cut at line feeds. The line after the last line
// feed counts only where the text ends (final_line), and it is there even
// when empty, as a text that ends with a line feed has an empty last line.
void RuleReader::split_lines(std::string_view text, bool final_line) {
    m_rule_list.clear();
    if (text.empty()) return;
    std::size_t start = 0;
    while (true) {
        const std::size_t lf = text.find('\n', start);
        if (lf == std::string_view::npos) {
            if (final_line) m_rule_list.push_back(text.substr(start));
            break;
        }
        m_rule_list.push_back(text.substr(start, lf - start));
        start = lf + 1;
    }
}

void RuleReader::normalise_text() {
    m_rule_text.resize(normalise_rule_text(m_rule_text.data(), m_rule_text.size()));
}

void RuleReader::strp_data() {
    normalise_text();
    m_joined.clear();
    m_has_last_condition = false;
    // A guess at the line count (counting them would cost a pass of its own).
    m_rule_list.reserve(m_rule_text.size() / 32 + 1);
    split_lines(m_rule_text, true);
    strip_lines(m_rule_text);
}

// The comment cut and the joins of strp_data over the rule list, whose lines
// are views into text.
void RuleReader::strip_lines(std::string_view text) {
    // The next "#" at or after the line in hand, sought over the whole text
    // rather than once a line: most lines hold none.
    std::size_t hash = text.find('#');
    for (std::string_view& line : m_rule_list) {
        const auto start = static_cast<std::size_t>(line.data() - text.data());
        if (hash < start) hash = text.find('#', start);
        if (hash < start + line.size()) line = line.substr(0, hash - start);
        if (starts_with_code(line) && m_has_last_condition) {
            std::string joined;
            joined.reserve(m_last_condition.size() + line.size());
            joined.append(m_last_condition).append(line);
            line = m_joined.emplace_back(std::move(joined));
        }
        if (line.find('=') != std::string_view::npos) {
            m_last_condition = line;
            m_has_last_condition = true;
        }
    }
}

// The last condition outlives the piece it was read in (and its joined lines).
void RuleReader::carry_last_condition() {
    if (!m_has_last_condition || m_last_condition.data() == m_carried_condition.data()) return;
    m_carried_condition.assign(m_last_condition);
    m_last_condition = m_carried_condition;
}

template <typename FindBracket>
void RuleReader::find_items(FindBracket find_bracket) {
    m_hits.clear();
    for (const std::string_view raw : m_rule_list) {
        const auto [line, bracket] = find_bracket(raw);
        if (bracket != std::string_view::npos) m_hits.push_back({line.substr(0, bracket), line.substr(bracket + 1)});
    }
}

void RuleReader::find_items(Items items) {
    if (items == Items::Rules) {
        find_items([](std::string_view line) {
            return std::pair(line, line.empty() ? std::string_view::npos : find_type_bracket(line));
        });
    } else {
        find_items([](std::string_view line) {
            const std::size_t hash = line.find('#');
            if (hash != std::string_view::npos) line = trim_blanks(line.substr(0, hash));
            if (line.empty() || find_ci(line, "0x") == std::string_view::npos) return std::pair(line, std::string_view::npos);
            return std::pair(line, line.find('['));
        });
    }
}

// The items as text, built into one buffer sized for all of them first, so
// that the views into it stay put.
void RuleReader::make_working_list() {
    std::size_t size = 0;
    for (const RuleItem& hit : m_hits) size += hit.after.size() + 2 + hit.before.size();
    m_items.clear();
    m_items.reserve(size);
    m_working_list.clear();
    m_working_list.reserve(m_hits.size());
    for (const RuleItem& hit : m_hits) {
        const std::size_t start = m_items.size();
        m_items.append(hit.after).append(" @").append(hit.before);
        m_working_list.emplace_back(m_items.data() + start, m_items.size() - start);
    }
}

void RuleReader::scan_rules() {
    find_items(Items::Rules);
    make_working_list();
}

void RuleReader::scan_polygon_rules() {
    split_lines(m_rule_text, true);
    find_items(Items::PolygonRules);
    make_working_list();
}

void RuleReader::open(const std::string& path, Items items) {
    close();
    m_path = path;
    m_items_kind = items;
    m_failure.reset();
    m_has_last_condition = false;
    m_piece_used = 0;
    m_piece_done = 0;
    m_kept.clear();
    m_kept_ends.clear();
    std::string error;
    m_reading = m_file->open(path, error);
    if (!m_reading) m_failure = Failure{Failure::Kind::Read, path, 0, error};
    // A small file needs no piece of full size (one more byte tells the end):
    // its buffer then comes from memory the program has used already.
    m_piece_size = static_cast<std::size_t>(std::min<std::uintmax_t>(PIECE, m_file->size_hint() + 1));
    yield_to(m_yield);
}

bool RuleReader::next_piece() {
    m_rule_list.clear();
    m_working_list.clear();
    m_hits.clear();
    m_joined.clear();
    m_piece_text = {};
    if (!m_reading) return false;
    // The carried start of a line moves to the front; the lines before it are done.
    std::size_t carried = m_piece_used - m_piece_done;
    if (carried > 0 && m_piece_done > 0) std::memmove(m_piece.get(), m_piece.get() + m_piece_done, carried);
    m_piece_used = carried;
    m_piece_done = 0;
    while (true) {
        // A line longer than a piece makes the buffer grow; nothing else does.
        if (m_piece_capacity < m_piece_used + m_piece_size + PAD) {
            const std::size_t capacity = std::max(m_piece_used + m_piece_size + PAD, 2 * m_piece_capacity);
            std::unique_ptr<char[]> bigger(new char[capacity]);
            if (m_piece_used > 0) std::memcpy(bigger.get(), m_piece.get(), m_piece_used);
            m_piece = std::move(bigger);
            m_piece_capacity = capacity;
        }
        std::string error;
        const std::size_t got = m_file->read(m_piece.get() + m_piece_used, m_piece_size, error);
        if (m_file->failed()) m_failure = Failure{Failure::Kind::Read, m_path, 0, error};
        const std::size_t before = m_piece_used;
        m_piece_used += got;
        const bool last = got < m_piece_size;
        std::size_t whole = m_piece_used;
        if (!last) {
            // Whole lines only: up to the last line feed read now (the carried bytes hold none).
            const std::size_t lf = std::string_view(m_piece.get() + before, got).rfind('\n');
            if (lf == std::string_view::npos) continue;
            whole = before + lf + 1;
        }
        m_piece_done = whole;
        if (last) {
            m_reading = false;
            m_file->close();
        }
        if (m_items_kind == Items::None) {
            // Normalising keeps within a line: whole lines normalise alone as in the whole text.
            m_piece_text = std::string_view(m_piece.get(), normalise_rule_text(m_piece.get(), whole));
        } else {
            if (last) std::memset(m_piece.get() + whole, 0, PAD);
            scan_piece(m_piece.get(), whole);
        }
        carry_last_condition();
        yield_to(m_yield);
        return true;
    }
}

// The items of the whole lines of a piece, as strp_data and scan_rules (or
// scan_polygon_rules) would find them in the whole text, in one pass over a
// map of the bytes that matter. A line that normalising would change is
// normalised on its own (normalising keeps within a line) and scanned the
// plain way; so are joined lines.
void RuleReader::scan_piece(char* text, std::size_t size) {
    m_bits.resize((size + 63) / 64 * 2);
    if (size == 0) return;
    classify(text, size, m_bits.data());
    const std::uint64_t* bits = m_bits.data();
    const bool rules = m_items_kind == Items::Rules;
    for (std::size_t start = 0; start < size;) {
        const std::size_t end = next_line_feed(bits, start, size);
        const std::size_t line_start = start;
        start = end + 1;
        // The special bytes of the line, up to its comment: a "#" ends the
        // line, and nothing after it matters.
        std::size_t hash = end;
        std::size_t bracket = end;       // the first "["
        std::size_t type_bracket = end;  // the first "[" followed by blanks and "0x"
        bool has_equals = false;
        bool care = false;
        for (std::size_t w = line_start / 64; w * 64 < end && hash == end && !care; ++w) {
            std::uint64_t word = bits[2 * w + SPECIALS];
            if (w == line_start / 64) word &= ~std::uint64_t{0} << (line_start % 64);
            for (; word != 0; word &= word - 1) {
                const std::size_t at = w * 64 + static_cast<std::size_t>(std::countr_zero(word));
                if (at >= end) break;
                const char c = text[at];
                if (c == '#') {
                    hash = at;
                    break;
                }
                if (c == '=') {
                    has_equals = true;
                } else if (c == '[') {
                    if (bracket == end) bracket = at;
                    if (type_bracket == end) {
                        // A "#" is neither blank nor code: looking past it finds nothing.
                        std::size_t k = at + 1;
                        while (k < end && text[k] == ' ') ++k;
                        if (code_at(std::string_view(text, end), k)) type_bracket = at;
                    }
                } else {
                    care = true;
                    break;
                }
            }
        }
        if (care) {
            const std::string_view line(text + line_start, normalise_rule_text(text + line_start, end - line_start));
            if (rules) scan_rule_line(line, line.find('#'));
            else scan_polygon_line(line, line.find('#'));
            continue;
        }
        const std::string_view line(text + line_start, hash - line_start);
        if (!rules) {
            if (hash < end) {
                scan_polygon_line(line, line.size());
            } else if (bracket < end && find_ci(line, "0x") != std::string_view::npos) {
                m_hits.push_back({line.substr(0, bracket - line_start), line.substr(bracket + 1 - line_start)});
            }
            continue;
        }
        if (starts_with_code(line) && m_has_last_condition) {
            add_join(line);
            continue;
        }
        if (has_equals) {
            m_last_condition = line;
            m_has_last_condition = true;
        }
        if (type_bracket < hash)
            m_hits.push_back({line.substr(0, type_bracket - line_start), line.substr(type_bracket + 1 - line_start)});
    }
}

// One line of a rule file as strp_data and scan_rules take it, after normalising.
void RuleReader::scan_rule_line(std::string_view line, std::size_t hash) {
    if (hash != std::string_view::npos) line = line.substr(0, hash);
    if (starts_with_code(line) && m_has_last_condition) {
        add_join(line);
        return;
    }
    if (line.find('=') != std::string_view::npos) {
        m_last_condition = line;
        m_has_last_condition = true;
    }
    const std::size_t bracket = line.empty() ? std::string_view::npos : find_type_bracket(line);
    if (bracket != std::string_view::npos) m_hits.push_back({line.substr(0, bracket), line.substr(bracket + 1)});
}

// A code on a line of its own, joined to the last condition: the joined line holds "=".
void RuleReader::add_join(std::string_view line) {
    std::string joined;
    joined.reserve(m_last_condition.size() + line.size());
    joined.append(m_last_condition).append(line);
    const std::string_view whole = m_joined.emplace_back(std::move(joined));
    m_last_condition = whole;
    const std::size_t bracket = find_type_bracket(whole);
    if (bracket != std::string_view::npos) m_hits.push_back({whole.substr(0, bracket), whole.substr(bracket + 1)});
}

// One line of a rule file as scan_polygon_rules takes it, after normalising.
void RuleReader::scan_polygon_line(std::string_view line, std::size_t hash) {
    if (hash != std::string_view::npos) line = trim_blanks(line.substr(0, hash));
    if (line.empty() || find_ci(line, "0x") == std::string_view::npos) return;
    const std::size_t bracket = line.find('[');
    if (bracket != std::string_view::npos) m_hits.push_back({line.substr(0, bracket), line.substr(bracket + 1)});
}

std::optional<Failure> RuleReader::close() {
    m_file->close();
    m_reading = false;
    std::optional<Failure> failure = std::move(m_failure);
    m_failure.reset();
    return failure;
}

void RuleReader::keep_item(std::string_view item) {
    m_kept.append(item);
    m_kept_ends.push_back(m_kept.size());
}

void RuleReader::use_kept_items() {
    m_hits.clear();
    m_working_list.clear();
    std::size_t start = 0;
    for (const std::size_t end : m_kept_ends) {
        m_working_list.emplace_back(m_kept.data() + start, end - start);
        start = end;
    }
}

}  // namespace tessaro
