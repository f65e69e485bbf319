#include "base/path_list.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace lark {

namespace {

std::vector<std::string> Entries(const PathList& list) {
    return std::vector<std::string>(list.begin(), list.end());
}

const char* const kCafe = "C:\\Caf\xc3\xa9\\\xe6\x97\xa5\xe6\x9c\xac.txt";

}  // namespace

// Thousands of entries of every length, some empty, some non-ASCII, some copied from the
// list itself while it grows: every entry must read back as written after each move.
TEST(PathList, EntriesSurviveGrowth) {
    PathList list;
    std::vector<std::string> model;
    for (int i = 0; i < 5000; ++i) {
        std::string path;
        switch (i % 5) {
            case 0:
                break;  // empty
            case 1:
                path = kCafe;
                break;
            case 2:
                path = std::string(size_t(i % 300), char('a' + i % 26));
                break;
            default:
                path = "C:\\d\\" + std::to_string(i);
        }
        if (i % 7 == 3 && !model.empty()) {
            list.push_back(list[size_t(i) / 2 % list.size()]);
            model.push_back(model[size_t(i) / 2 % model.size()]);
        } else if (i % 11 == 4) {
            list.PushJoined(path, list.back());
            model.push_back(path + model.back());
        } else {
            list.push_back(path);
            model.push_back(path);
        }
    }
    ASSERT_EQ(list.size(), model.size());
    EXPECT_EQ(Entries(list), model);
    EXPECT_EQ(list.front(), model.front());
    EXPECT_EQ(list.back(), model.back());
    EXPECT_EQ(list.end() - list.begin(), std::ptrdiff_t(model.size()));

    list.clear();
    EXPECT_TRUE(list.empty());
    list.push_back("again");
    EXPECT_EQ(list, PathList{"again"});
}

TEST(PathList, RemovingEntries) {
    using Edit = std::function<void(PathList&)>;
    struct Case {
        const char* name;
        PathList before;
        Edit edit;
        std::vector<std::string> after;
    } cases[] = {
        {"erase the first",
         {"a", "bb", "ccc"},
         [](PathList& l) { l.erase(l.begin()); },
         {"bb", "ccc"}},
        {"erase in the middle",
         {"a", "bb", "ccc"},
         [](PathList& l) { l.erase(l.begin() + 1); },
         {"a", "ccc"}},
        {"erase the last",
         {"a", "bb", "ccc"},
         [](PathList& l) { l.erase(l.end() - 1); },
         {"a", "bb"}},
        {"erase an empty entry",
         {"a", "", "c"},
         [](PathList& l) { l.erase(l.begin() + 1); },
         {"a", "c"}},
        {"erase all but the newest two",
         {"1", "22", "333", "4444"},
         [](PathList& l) { l.erase(l.begin(), l.end() - 2); },
         {"333", "4444"}},
        {"erase an empty range",
         {"a", "b"},
         [](PathList& l) { l.erase(l.begin(), l.begin()); },
         {"a", "b"}},
        {"pop the last", {"a", kCafe}, [](PathList& l) { l.pop_back(); }, {"a"}},
        {"filter empty and non-ASCII",
         {"", "a", kCafe, "", "b", kCafe},
         [](PathList& l) {
             EXPECT_EQ(erase_if(l, [](std::string_view p) { return p.empty() || p == kCafe; }), 4u);
         },
         {"a", "b"}},
        {"filter nothing",
         {"a", "b"},
         [](PathList& l) { EXPECT_EQ(erase_if(l, [](std::string_view) { return false; }), 0u); },
         {"a", "b"}},
        {"filter everything",
         {"a", "", "b"},
         [](PathList& l) { EXPECT_EQ(erase_if(l, [](std::string_view) { return true; }), 3u); },
         {}},
        {"filter the first only",
         {"gone", "x", "yy"},
         [](PathList& l) { erase_if(l, [](std::string_view p) { return p == "gone"; }); },
         {"x", "yy"}},
    };
    for (auto& c : cases) {
        PathList list = c.before;
        c.edit(list);
        EXPECT_EQ(Entries(list), c.after) << c.name;
        // What is left must behave as a list built afresh: further appends line up.
        PathList fresh;
        for (const auto& p : c.after) fresh.push_back(p);
        EXPECT_EQ(list, fresh) << c.name;
        list.push_back("tail");
        EXPECT_EQ(list.back(), "tail") << c.name;
    }
}

TEST(PathList, FailingFilterKeepsWhatItDidNotJudge) {
    PathList list{"drop", "keep", "boom", "after", "drop"};
    auto pick = [](std::string_view p) {
        if (p == "boom") throw std::runtime_error("disk gone");
        return p == "drop";
    };
    EXPECT_THROW(erase_if(list, pick), std::runtime_error);
    EXPECT_EQ(Entries(list), (std::vector<std::string>{"keep", "boom", "after", "drop"}));
}

TEST(PathList, EqualityAndBounds) {
    // The same characters cut differently are different lists.
    EXPECT_NE((PathList{"ab", "c"}), (PathList{"a", "bc"}));
    EXPECT_NE(PathList{""}, PathList{});
    EXPECT_NE((PathList{"", ""}), PathList{""});
    EXPECT_EQ((PathList{kCafe, ""}), (PathList{kCafe, ""}));

    PathList list{"a"};
    EXPECT_EQ(list.at(0), "a");
    EXPECT_THROW(list.at(1), std::out_of_range);
}

}  // namespace lark
