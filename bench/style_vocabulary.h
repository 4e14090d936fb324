#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "section.h"

// The words of generated rules, one vocabulary per section: the codes
// repeated over a style, the tags of a rule's first clause, further clauses
// and comments, as real styles use them.
namespace tessaro::detail {

// What one section's rules are made of: codes, tags, extra clauses, brackets.
struct SectionVocabulary {
    Section section = Section::Point;
    std::vector<unsigned> pool;          // repeated codes
    std::vector<std::string> tags;       // "key=value" of the first clause
    std::vector<std::string> extras;     // further clauses
    std::vector<std::string> comments;
    unsigned unique_salt = 0;            // keeps the sections' unique codes apart
    std::size_t next_unique = 0;         // shared by the main file and its include file
};

SectionVocabulary point_vocabulary();
SectionVocabulary line_vocabulary();
SectionVocabulary polygon_vocabulary();

}  // namespace tessaro::detail
