#include "look_text.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <fstream>
#include <sstream>

#include "library_generator.h"

namespace tessaro::detail {

void fail(const std::string& where, const std::string& what) {
    throw LookSourceError(where + ": " + what);
}

bool is_row(const std::string& text) {
    return !text.empty() && text.find_first_not_of(".#+") == std::string::npos;
}

std::vector<SourceLine> read_source(const std::string& folder, const std::string& name) {
    std::ifstream in(folder + "/" + name, std::ios::binary);
    if (!in) throw LookSourceError(folder + "/" + name + ": cannot be read");
    std::vector<SourceLine> lines;
    std::string text;
    for (int n = 1; std::getline(in, text); ++n) {
        if (!text.empty() && text.back() == '\r') text.pop_back();
        SourceLine line{name + ":" + std::to_string(n), {}, text, {}, {}};
        if (text.empty() || text[0] == ';') {
            lines.push_back(std::move(line));  // blank lines end blocks of rows
            continue;
        }
        std::istringstream words(text);
        for (std::string w; words >> w;) line.words.push_back(w);
        lines.push_back(std::move(line));
    }
    return lines;
}

std::string name_from(const SourceLine& line, std::size_t i) {
    if (i >= line.words.size()) fail(line.where, "the look has no name");
    std::string name;
    for (; i < line.words.size(); ++i) name += (name.empty() ? "" : " ") + line.words[i];
    return name;
}

std::map<std::string, Rows> read_blocks(const std::vector<SourceLine>& lines, const std::string& keyword) {
    std::map<std::string, Rows> blocks;
    Rows* current = nullptr;
    std::string current_where;
    for (const SourceLine& line : lines) {
        if (current && is_row(line.text)) {
            if (!current->empty() && current->front().size() != line.text.size())
                fail(line.where, "rows of one " + keyword + " must be equally long");
            current->push_back(line.text);
            continue;
        }
        if (current && current->empty()) fail(current_where, keyword + " without rows");
        current = nullptr;
        if (line.words.size() == 2 && line.words[0] == keyword) {
            if (blocks.count(line.words[1])) fail(line.where, "second " + keyword + " named " + line.words[1]);
            current = &blocks[line.words[1]];
            current_where = line.where;
        }
    }
    if (current && current->empty()) fail(current_where, keyword + " without rows");
    return blocks;
}

namespace {

bool is_hex_colour(const std::string& s) {
    return s.size() == 7 && s[0] == '#' && s.find_first_not_of("0123456789abcdefABCDEF", 1) == std::string::npos;
}

std::string upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// "key=value & key=* | key>9 | key=value" -> "key=value&key=*|key>9|key=value".
// A tag is key=value with neither side empty nor holding a blank, "=", "<",
// ">", "|" or "&"; or a bound key<N, key<=N, key>N, key>=N of a number N.
std::string library_tags(const SourceLine& line) {
    std::string text;
    for (std::size_t i = 1; i < line.words.size(); ++i) text += (i > 1 ? " " : "") + line.words[i];
    if (text.empty()) fail(line.where, "tags without any tag");
    std::string out;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of("|&", start);
        if (end == std::string::npos) end = text.size();
        std::string tag = text.substr(start, end - start);
        tag.erase(0, tag.find_first_not_of(' '));
        tag.erase(tag.find_last_not_of(' ') + 1);
        const std::size_t eq = tag.find_first_of("<>=");
        const bool bound = eq != std::string::npos && tag[eq] != '=';
        const std::size_t value = eq == std::string::npos ? eq : bound && tag[eq + 1] == '=' ? eq + 2 : eq + 1;
        double limit = 0;
        const char* tag_end = tag.data() + tag.size();
        const bool number = bound && value < tag.size() && std::from_chars(tag.data() + value, tag_end, limit).ptr == tag_end;
        if (eq == 0 || eq == std::string::npos || value >= tag.size() ||
            tag.find_first_of(" =<>", value) != std::string::npos || tag.find(' ') < eq || (bound && !number))
            fail(line.where, "expected key=value or a bound key>N between | and &, not \"" + tag + "\"");
        out += tag;
        if (end < text.size()) out += text[end];
        start = end + 1;
    }
    return out;
}

}  // namespace

Palette::Palette(const std::vector<SourceLine>& lines) {
    for (const SourceLine& line : lines) {
        if (line.words.empty()) continue;
        if (line.words.size() != 2 || !is_hex_colour(line.words[1])) fail(line.where, "expected: NAME #RRGGBB");
        m_colours[line.words[0]] = upper(line.words[1]);
    }
}

std::string Palette::colour(const SourceLine& line, const std::string& ref, bool none_allowed) const {
    if (none_allowed && ref == "none") return ref;
    if (is_hex_colour(ref)) return upper(ref);
    const auto hit = m_colours.find(ref);
    if (hit == m_colours.end()) fail(line.where, "unknown colour " + ref);
    return hit->second;
}

std::vector<SourceLine> attach_tags(std::vector<SourceLine> lines, const std::set<std::string>& look_kinds) {
    std::vector<SourceLine> out;
    std::map<std::string, std::string> owner;  // alternative, tags sorted -> where
    for (SourceLine& line : lines) {
        if (!line.words.empty() && line.words[0] == "night") {
            SourceLine* look = out.empty() ? nullptr : &out.back();
            if (!look || look->words.empty() || !look_kinds.count(look->words[0]) || !look->night.empty() ||
                line.words.size() < 2)
                fail(line.where, "night and its colours belong on a line under a look");
            look->night.assign(line.words.begin() + 1, line.words.end());
            continue;
        }
        if (line.words.empty() || line.words[0] != "tags") {
            out.push_back(std::move(line));
            continue;
        }
        SourceLine* look = out.empty() ? nullptr : &out.back();
        if (!look || look->words.empty() || !look_kinds.count(look->words[0]) || !look->tags.empty())
            fail(line.where, "tags belong on the line right under a look");
        look->tags = library_tags(line);
        std::istringstream alternatives(look->tags);
        for (std::string alternative; std::getline(alternatives, alternative, '|');) {
            std::vector<std::string> tags;
            std::istringstream joined(alternative);
            for (std::string tag; std::getline(joined, tag, '&');) tags.push_back(tag);
            std::sort(tags.begin(), tags.end());
            std::string key;
            for (const std::string& tag : tags) key += tag + "&";
            const auto [at, fresh] = owner.emplace(key, look->where);
            if (!fresh) fail(line.where, "the tags " + alternative + " already stand for the look at " + at->second);
        }
    }
    return out;
}

}  // namespace tessaro::detail
