#include "known_statements.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

namespace tessaro {
namespace {

using Statements = std::vector<IncludeStatement>;

Statements statements_naming(const std::string& name, std::size_t line) {
    return {{"inc/" + name, "", line, ""}};
}

// A plain ordered map is the second way to the same answers: the table grows
// many times over, paths are set again, and paths never set are asked for.
TEST(KnownStatements, find_what_an_ordered_map_finds_through_every_growth) {
    KnownStatements known;
    std::map<std::string, Statements> model;
    std::mt19937 dice(7);
    for (std::size_t i = 0; i < 20'000; ++i) {
        // A tenth of the sets name a path set before; paths share long beginnings, as in one folder.
        const std::size_t n = i % 10 == 0 && i > 0 ? dice() % i : i;
        const std::string path = "/styles/mine/inc/file" + std::to_string(n);
        known.set(path, statements_naming("x" + std::to_string(i), i));
        model[path] = statements_naming("x" + std::to_string(i), i);
    }
    ASSERT_EQ(known.size(), model.size());
    for (const auto& [path, statements] : model) {
        const std::size_t place = known.find(path);
        ASSERT_NE(place, KnownStatements::npos) << path;
        EXPECT_EQ(known.path(place), path);
        EXPECT_EQ(known.statements(place), statements) << path;
    }
    for (const char* absent : {"", "/styles/mine/inc/file", "/styles/mine/inc/file20000", "inc/file1"})
        EXPECT_EQ(known.find(absent), KnownStatements::npos) << absent;
    EXPECT_EQ(KnownStatements().find("/styles/mine/points"), KnownStatements::npos);
}

TEST(KnownStatements, take_all_adds_new_paths_and_replaces_known_ones_leaving_the_other_empty) {
    KnownStatements run;
    run.set("style/points", statements_naming("a", 1));
    run.set("style/lines", {});
    KnownStatements scanned;
    scanned.reserve(3);
    scanned.set("style/inc/a", statements_naming("b", 2));
    scanned.set("style/points", statements_naming("old", 9));
    scanned.take_all(std::move(run));
    EXPECT_TRUE(run.empty());
    ASSERT_EQ(scanned.size(), 3u);
    EXPECT_EQ(scanned.statements(scanned.find("style/points")), statements_naming("a", 1));
    EXPECT_EQ(scanned.statements(scanned.find("style/inc/a")), statements_naming("b", 2));
    EXPECT_TRUE(scanned.statements(scanned.find("style/lines")).empty());
}

}  // namespace
}  // namespace tessaro
