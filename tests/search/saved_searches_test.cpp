#include "search/saved_searches.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/text.h"
#include "search/criteria.h"
#include "support/test_app.h"

namespace lark {
namespace {

const std::string kMine = "C:\\Data\\Larkspire\\jdoe\\Searches\\";
const std::string kShared = "C:\\Data\\Larkspire\\All Users\\Searches\\";

// The user at the "Save Search" dialog offers each typed name to its OK in turn (an empty
// list cancels); what the window was asked to do is kept in events.
struct FakeSavedSearchHost final : SavedSearchHost {
    std::string view = "<My Recent Documents>";
    std::vector<std::string> typed;
    std::optional<bool> allUsers;
    std::vector<NamePrompt> prompts;
    std::function<bool()> revise = [] { return true; };
    std::vector<std::string> events;

    std::string CurrentViewName() override { return view; }
    std::optional<NamePromptAnswer> AskSearchName(const NamePrompt& p) override {
        prompts.push_back(p);
        for (const std::string& name : typed)
            if (p.accept(name)) return NamePromptAnswer{name, allUsers.value_or(p.allUsers)};
        return std::nullopt;
    }
    bool ReviseSearch() override { return revise(); }
    std::string SavedSearchFilePath(std::string_view v) override {
        return EndsWithIgnoringCase(v, kGlobalSearchMark)
                   ? kShared + std::string(v.substr(0, v.size() - 2)) + ".lks"
                   : kMine + std::string(v) + ".lks";
    }
    void ShowView(std::string_view v) override { events.push_back("show " + std::string(v)); }
    void ViewListsChanged() override { events.push_back("lists"); }
};

struct World : TestApp {
    SearchCriteria criteria;
    FakeSavedSearchHost host;
    SavedSearches searches{ctx, criteria, host};
    World() { settings.DataLocation = "C:\\Data\\Larkspire"; }
    std::string Content(const std::string& path) {
        const auto* file = fs.Find(path);
        return file ? file->data : "<none>";
    }
};

TEST(SaveSearch, ProposesTheShownSearchAndWritesWhereTheAnswerSays) {
    struct Case {
        std::string view, typed;
        std::optional<bool> allUsers;
        bool yes;
        std::string proposal;
        bool proposedForAll;
        std::string written;  // empty: the old Budget.lks stays
    };
    const Case cases[] = {
        {"Budget\xC2\xA7", "Budget", {}, true, "Budget", true, kShared + "Budget.lks"},
        {"Budget\xC2\xA7", "Budget", {}, false, "Budget", true, ""},
        {"<Last Search>", "Weekly.lks", false, true, "", true, kMine + "Weekly.lks"},
        {"Budget", " Monthly ", true, true, "Budget", false, kShared + "Monthly.lks"},
        {"C:\\Work\\Quarter.lks", "", {}, true, "Quarter", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.view + " " + c.typed);
        World w;
        w.fs.AddFile(kShared + "Budget.lks", "old");
        w.host.view = c.view;
        if (!c.typed.empty()) w.host.typed = {c.typed};
        w.host.allUsers = c.allUsers;
        w.messages.answer = c.yes;
        w.searches.mnuSearchSaveClick();
        ASSERT_EQ(w.host.prompts.size(), 1u);
        EXPECT_EQ(w.host.prompts[0].caption + "|" + w.host.prompts[0].label,
                  "Save Search|Search Name");
        EXPECT_EQ(w.host.prompts[0].name, c.proposal);
        EXPECT_EQ(w.host.prompts[0].allUsers, c.proposedForAll);
        const std::string budget =
            c.written == kShared + "Budget.lks" ? CriteriaFileText(w.criteria) : std::string("old");
        EXPECT_EQ(w.Content(kShared + "Budget.lks"), budget);
        if (!c.written.empty()) {
            EXPECT_EQ(w.Content(c.written), CriteriaFileText(w.criteria));
        }
        EXPECT_EQ(w.host.events, c.written.empty() ? std::vector<std::string>{}
                                                   : std::vector<std::string>{"lists"});
        EXPECT_EQ(w.messages.confirmations.size(), c.typed == "Budget" ? 1u : 0u);
    }
}

TEST(SaveSearch, RefusesNamesThatAreNoPlainFileNameAndReportsAnUnwritableFolder) {
    World w;
    w.host.typed = {
        "..\\..\\Windows\\evil", "C:evil", "Budget.v2", "Budget\xC2\xA7", "nul", ".lks", "Good"};
    w.fs.readOnlyPaths.insert(UpperCase(TrimTrailingBackslash(kShared)));
    w.searches.mnuSearchSaveClick();
    ASSERT_EQ(w.messages.errors.size(), 7u);
    EXPECT_EQ(w.messages.errors[2],
              "\"Budget.v2\" cannot be used as a search name: a search name may not hold a dot.");
    EXPECT_EQ(w.messages.errors[6], "Unable to save the search: " + kShared + "Good.lks");
    EXPECT_EQ(w.fs.Find("C:\\Data\\Larkspire\\Windows\\evil.lks"), nullptr);
    EXPECT_TRUE(w.host.events.empty());
}

// Revising and deleting through the dialogs are played end to end in
// tests/app/template_search_commands_win_test.cpp; here what no user can easily bring about.
TEST(ReviseAndDeleteSearch, AnUnwritableRevisionIsReportedAndFixedViewsAreLeftAlone) {
    World w;
    w.fs.AddFile(kMine + "Weekly.lks", "old");
    w.fs.readOnlyPaths.insert(UpperCase(kMine + "Weekly.lks"));
    w.host.view = "Weekly";
    w.host.revise = [&] {
        w.criteria.Keywords = "revised";
        return true;
    };
    w.searches.mnuSearchEditClick();
    EXPECT_EQ(w.messages.errors,
              std::vector<std::string>{"Unable to save the search: " + kMine + "Weekly.lks"});
    // Running the old file would take the revision back.
    EXPECT_TRUE(w.host.events.empty());
    EXPECT_EQ(w.criteria.Keywords, "revised");

    for (const char* fixed :
         {"<My Recent Documents>", "<Last Search>", "<Mary's Recent Documents>", ""}) {
        w.host.view = fixed;
        w.host.revise = [] { return ADD_FAILURE(), true; };
        w.searches.mnuSearchEditClick();
        w.searches.mnuSearchDeleteClick();
    }
    EXPECT_TRUE(w.messages.confirmations.empty());
    EXPECT_TRUE(w.host.events.empty());
}

}  // namespace
}  // namespace lark
