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

// Plays the user at the "Save Search" dialog and records what the commands asked of the
// window: each typed name is offered to the dialog's OK in turn, as long as OK refuses it.
class FakeSavedSearchHost final : public SavedSearchHost {
  public:
    explicit FakeSavedSearchHost(FakeFileSystem& fs) : fs_(fs) {}

    std::string currentView = "<My Recent Documents>";
    std::vector<std::string> typed;  // empty: the user cancels
    std::optional<bool> chooseAllUsers;
    std::vector<NamePrompt> prompts;
    int refusals = 0;
    std::function<void()> editInDialog;
    bool reviseConfirmed = true;
    int revisions = 0;
    // "lists", and "show <view>" with the saved file's content at that moment.
    std::vector<std::string> events;

    std::string CurrentViewName() override { return currentView; }
    std::optional<NamePromptAnswer> AskSearchName(const NamePrompt& prompt) override {
        prompts.push_back(prompt);
        for (const std::string& name : typed) {
            if (!prompt.accept || prompt.accept(name))
                return NamePromptAnswer{name, chooseAllUsers.value_or(prompt.allUsers)};
            ++refusals;
        }
        return std::nullopt;
    }
    bool ReviseSearch() override {
        ++revisions;
        if (editInDialog) editInDialog();
        return reviseConfirmed;
    }
    std::string SavedSearchFilePath(std::string_view view) override {
        if (EndsWithIgnoringCase(view, kGlobalSearchMark))
            return kShared + std::string(view.substr(0, view.size() - kGlobalSearchMark.size())) +
                   ".lks";
        return kMine + std::string(view) + ".lks";
    }
    void ShowView(std::string_view view) override {
        const auto* file = fs_.Find(SavedSearchFilePath(view));
        events.push_back("show " + std::string(view) + (file ? " [" + file->data + "]" : ""));
    }
    void ViewListsChanged() override { events.push_back("lists"); }

  private:
    FakeFileSystem& fs_;
};

struct SavedSearchWorld : TestApp {
    SearchCriteria criteria;
    FakeSavedSearchHost host{fs};
    SavedSearches searches{ctx, criteria, host};

    SavedSearchWorld() {
        settings.DataLocation = "C:\\Data\\Larkspire";
        criteria.Keywords = "budget";
    }
    std::string Content(const std::string& path) {
        const auto* file = fs.Find(path);
        return file ? file->data : "<none>";
    }
    std::vector<std::string> Listed(const std::string& folder) {
        std::vector<std::string> names;
        fs.List(TrimTrailingBackslash(folder), [&](const FileInfo& e) { names.push_back(e.name); });
        return names;
    }
};

TEST(SaveSearch, ProposesTheShownSearchInItsOwnPlace) {
    struct Case {
        std::string view, name;
        bool allUsers;
    };
    const Case cases[] = {
        {"<Last Search>", "", true},
        {"<My Recent Documents>", "", true},
        {"Budget\xC2\xA7", "Budget", true},
        {"Budget", "Budget", false},
        {"C:\\Work\\Quarter.lks", "Quarter", false},
    };
    for (const Case& c : cases) {
        SavedSearchWorld w;
        w.host.currentView = c.view;
        w.searches.mnuSearchSaveClick();  // the user cancels
        ASSERT_EQ(w.host.prompts.size(), 1u) << c.view;
        const NamePrompt& p = w.host.prompts[0];
        EXPECT_EQ(p.caption, "Save Search");
        EXPECT_EQ(p.label, "Search Name");
        EXPECT_EQ(p.userName, "jdoe");
        EXPECT_EQ(p.name, c.name) << c.view;
        EXPECT_EQ(p.allUsers, c.allUsers) << c.view;
        EXPECT_TRUE(w.host.events.empty()) << c.view;
        EXPECT_TRUE(w.Listed(kMine).empty() && w.Listed(kShared).empty()) << c.view;
    }
}

TEST(SaveSearch, WritesWhereTheNameAndTheChoiceSayAfterAskingToReplace) {
    struct Case {
        std::string view, typed;
        std::optional<bool> allUsers;  // nothing: the proposal's choice
        bool existing, replace;
        std::string path;  // the file that holds the criteria afterwards; empty: none changed
    };
    const Case cases[] = {
        // Budget§ shown: Budget with "All users", confirmed over the shared file.
        {"Budget\xC2\xA7", "Budget", std::nullopt, true, true, kShared + "Budget.lks"},
        // The replace question answered No leaves the old file.
        {"Budget\xC2\xA7", "Budget", std::nullopt, true, false, ""},
        {"<Last Search>", "Weekly.lks", false, false, false, kMine + "Weekly.lks"},
        {"<Last Search>", "Weekly.LKS", false, false, false, kMine + "Weekly.LKS"},
        {"<Last Search>", "  Monthly ", std::nullopt, false, false, kShared + "Monthly.lks"},
        {"Budget", "Budget", std::nullopt, false, false, kMine + "Budget.lks"},
    };
    for (const Case& c : cases) {
        SavedSearchWorld w;
        w.host.currentView = c.view;
        w.host.typed = {c.typed};
        w.host.chooseAllUsers = c.allUsers;
        w.messages.answer = c.replace;
        const std::string old = kShared + "Budget.lks";
        if (c.existing) w.fs.AddFile(old, "old");
        w.searches.mnuSearchSaveClick();

        const std::string saved = CriteriaFileText(w.criteria);
        EXPECT_EQ(w.messages.confirmations,
                  c.existing ? std::vector<std::string>{"A search with the same name already "
                                                        "exists. Replace?"}
                             : std::vector<std::string>{})
            << c.typed;
        if (c.path.empty()) {
            EXPECT_EQ(w.Content(old), "old");
            EXPECT_TRUE(w.host.events.empty());
        } else {
            EXPECT_EQ(w.Content(c.path), saved) << c.typed;
            EXPECT_EQ(w.Listed(kMine).size() + w.Listed(kShared).size(), 1u) << c.typed;
            EXPECT_EQ(w.host.events, std::vector<std::string>{"lists"}) << c.typed;
        }
        EXPECT_TRUE(w.messages.errors.empty()) << c.typed;
    }
}

TEST(SaveSearch, NamesThatAreNoPlainFileNameAreRefusedWithAReason) {
    SavedSearchWorld w;
    w.host.currentView = "<Last Search>";
    w.host.typed = {"..\\..\\Windows\\evil",
                    "C:\\evil",
                    "\\\\server\\share\\x",
                    "Budget.v2",
                    "Budget\xC2\xA7",
                    "nul",
                    "   ",
                    ".lks",
                    "Good"};
    w.searches.mnuSearchSaveClick();
    EXPECT_EQ(w.host.refusals, 8);
    ASSERT_EQ(w.messages.errors.size(), 8u);
    EXPECT_EQ(w.messages.errors[3],
              "\"Budget.v2\" cannot be used as a search name: a search name may not hold a dot.");
    EXPECT_EQ(w.messages.errors[4],
              "\"Budget\xC2\xA7\" cannot be used as a search name: the sign \xC2\xA7 marks the "
              "searches of all users; choose \"All users\" instead.");
    EXPECT_EQ(w.Listed(kShared), std::vector<std::string>{"Good.lks"});
    EXPECT_EQ(w.fs.Find("C:\\Windows\\evil.lks"), nullptr);
    EXPECT_EQ(w.fs.Find("C:\\Data\\Larkspire\\Windows\\evil.lks"), nullptr);
    EXPECT_EQ(w.fs.Find("C:\\evil.lks"), nullptr);
}

TEST(SaveSearch, AFolderThatCannotBeWrittenIsReported) {
    SavedSearchWorld w;
    w.fs.readOnlyPaths.insert(UpperCase(TrimTrailingBackslash(kShared)));
    w.host.typed = {"Budget"};
    w.searches.mnuSearchSaveClick();
    EXPECT_EQ(w.messages.errors,
              std::vector<std::string>{"Unable to save the search: " + kShared + "Budget.lks"});
    EXPECT_TRUE(w.host.events.empty());
}

TEST(ReviseSearch, OkWritesTheSearchThenShowsItAgainAndCancelChangesNoFile) {
    for (bool confirmed : {true, false}) {
        SavedSearchWorld w;
        w.host.currentView = "Budget\xC2\xA7";
        w.fs.AddFile(kShared + "Budget.lks", "old");
        w.host.editInDialog = [&] { w.criteria.Keywords = "budget 2027"; };
        w.host.reviseConfirmed = confirmed;
        w.searches.mnuSearchEditClick();
        EXPECT_EQ(w.host.revisions, 1);
        const std::string saved = CriteriaFileText(w.criteria);
        EXPECT_EQ(w.Content(kShared + "Budget.lks"), confirmed ? saved : "old");
        // The view runs again only once the file holds the revision.
        EXPECT_EQ(w.host.events,
                  confirmed ? std::vector<std::string>{"show Budget\xC2\xA7 [" + saved + "]"}
                            : std::vector<std::string>{});
    }
}

TEST(ReviseSearch, AFileThatCannotBeWrittenKeepsTheRevisionAndTheViewAsTheyAre) {
    SavedSearchWorld w;
    w.host.currentView = "Budget";
    w.fs.AddFile(kMine + "Budget.lks", "old");
    w.fs.readOnlyPaths.insert(UpperCase(kMine + "Budget.lks"));
    w.host.editInDialog = [&] { w.criteria.Keywords = "budget 2027"; };
    w.searches.mnuSearchEditClick();
    EXPECT_EQ(w.messages.errors,
              std::vector<std::string>{"Unable to save the search: " + kMine + "Budget.lks"});
    EXPECT_EQ(w.criteria.Keywords, "budget 2027");
    EXPECT_TRUE(w.host.events.empty());
}

TEST(DeleteSearch, AsksThenRemovesTheFileAndShowsTheRecentDocuments) {
    struct Case {
        bool existing, yes;
    };
    for (const Case c : {Case{true, true}, Case{true, false}, Case{false, true}}) {
        SavedSearchWorld w;
        w.host.currentView = "Budget";
        if (c.existing) w.fs.AddFile(kMine + "Budget.lks", "old");
        w.messages.answer = c.yes;
        w.searches.mnuSearchDeleteClick();
        EXPECT_EQ(w.messages.confirmations, std::vector<std::string>{"Delete search \"Budget\"?"});
        EXPECT_EQ(w.Content(kMine + "Budget.lks"), c.existing && !c.yes ? "old" : "<none>");
        const std::vector<std::string> shown = {"lists", "show <My Recent Documents>"};
        EXPECT_EQ(w.host.events, c.yes ? shown : std::vector<std::string>{});
        // A search already gone is what the user asked for.
        EXPECT_TRUE(w.messages.errors.empty());
    }
}

TEST(SavedSearchCommands, ReviseAndDeleteLeaveEveryOtherViewAlone) {
    for (const std::string view : {"<My Recent Documents>", "<Last Search>", "<Template Documents>",
                                   "<Mary's Recent Documents>", ""}) {
        SavedSearchWorld w;
        w.host.currentView = view;
        w.searches.mnuSearchEditClick();
        w.searches.mnuSearchDeleteClick();
        EXPECT_EQ(w.host.revisions, 0) << view;
        EXPECT_TRUE(w.messages.confirmations.empty()) << view;
        EXPECT_TRUE(w.host.events.empty()) << view;
    }
}

}  // namespace
}  // namespace lark
