// The recent-file list's order: the newest first, an older entry for the same file dropped, four kept.
#include <gtest/gtest.h>

#include "core/app/recent_files.h"

#include <string>

namespace rt62 {
namespace {

// Adds name to list the way the window and the page do: the same file is the same name here.
std::string Add(const std::string& list, char name) {
    std::vector<bool> same;
    for (char c : list)
        same.push_back(c == name);
    std::string out;
    for (int position : RecentFileOrder(same))
        out += position < 0 ? name : list[static_cast<std::size_t>(position)];
    return out;
}

TEST(RecentFiles, NewestFirstSameFileOnceAtMostFour) {
    struct Case {
        const char* list;
        char added;
        const char* expected;
    } const cases[] = {
        {"", 'a', "a"},
        {"a", 'a', "a"},
        {"ab", 'b', "ba"},
        {"abc", 'd', "dabc"},
        {"abcd", 'e', "eabc"},
        {"abcd", 'd', "dabc"},
        {"abcd", 'c', "cabd"},
        {"abcd", 'a', "abcd"},
        // A list written by hand may name a file twice or hold more than four: the added one goes, the rest
        // is cut.
        {"abab", 'b', "baa"},
        {"abcdef", 'f', "fabc"},
        {"aabbcc", 'x', "xaab"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Add(c.list, c.added), c.expected) << c.list << " + " << c.added;

    // The window's sequence of opens: the list it shows after each.
    std::string list;
    for (char f : std::string("abcdec"))
        list = Add(list, f);
    EXPECT_EQ(list, "cedb");
}

} // namespace
} // namespace rt62
