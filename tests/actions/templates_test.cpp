// The template rules the end-to-end test (tests/app/template_search_commands_win_test.cpp)
// does not reach: the list's entries, cancelled and failing steps, and copies beside their
// template under the gzip name.
#include "actions/templates.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "actions/compressed_copy.h"
#include "actions/fake_file_actions.h"
#include "actions/file_actions.h"
#include "support/test_app.h"
#include "views/fake_shell_services.h"
#include "views/fake_view_host.h"
#include "views/view_controller.h"

namespace lark {
namespace {

const std::string kMine = "C:\\Data\\Larkspire\\jdoe\\Template\\";
const std::string kShared = "C:\\Data\\Larkspire\\All Users\\Template\\";

struct FakeTemplatesHost final : TemplatesHost {
    std::optional<TemplateChoice> choice;  // nothing: "Select Template" cancelled
    std::optional<std::string> target;     // nothing: the Save As dialog cancelled
    std::optional<std::string> name;       // nothing: "Save as Template" cancelled
    std::optional<size_t> row;
    int hides = 0;

    std::optional<TemplateChoice> SelectTemplate(const std::vector<std::string>&) override {
        return choice;
    }
    std::optional<std::string> AskTargetPath(const TargetDialog&) override { return target; }
    std::optional<NamePromptAnswer> AskTemplateName(const NamePrompt& p) override {
        if (!name || !p.accept(*name)) return std::nullopt;
        return NamePromptAnswer{*name, false};
    }
    std::optional<size_t> FirstSelectedRow() override { return row; }
    std::string DocumentsFolder() override { return "C:\\Docs"; }
    void HideWindow() override { ++hides; }
    void* OwnerWindow() override { return this; }
};

struct World : TestApp {
    FakeShellServices shellServices;
    FakeViewHost viewHost;
    FakeSearchRunner search;
    ViewController views{ctx, viewHost, shellServices, search};
    FakeTemplatesHost host;
    RecordingShell shell;
    FakeGzipStreams gzip{fs};
    CompressedCopy copy{fs, gzip};
    Templates templates{ctx, views, host, shell, copy};

    World() {
        settings.DataLocation = "C:\\Data\\Larkspire";
        shell.result = 42;
        fs.AddFile("C:\\Data\\Larkspire\\jdoe\\Recent files.idx");
        fs.AddFolder("C:\\Docs");
        fs.AddFile(kMine + "Memo.txt", "memo");
        fs.AddFile(kShared + "report.txt.gz", FakeGzipStreams::Packed("quarterly"));
    }
    std::string Content(const std::string& path) {
        const auto* file = fs.Find(path);
        return file ? file->data : "<none>";
    }
};

TEST(Templates, EntriesNameTheOwnTemplatesFirstAndStandForTheirFiles) {
    World w;
    w.fs.AddFolder(kShared + "Forms");
    EXPECT_EQ(TemplateEntries(w.ctx),
              (std::vector<std::string>{"jdoe\\Memo.txt", "All Users\\Forms",
                                        "All Users\\report.txt.gz"}));
    EXPECT_EQ(TemplatePathOfEntry(w.ctx, "jdoe\\Memo.txt"), kMine + "Memo.txt");
    EXPECT_EQ(TemplatePathOfEntry(w.ctx, "All Users\\Forms"), kShared + "Forms");
}

TEST(Templates, CancelledOrFailingStepsOpenAndRecordNothing) {
    struct Case {
        std::string name;
        std::optional<TemplateChoice> choice;
        std::optional<std::string> target;
        intptr_t shellResult;
        int hides;
        size_t opens, errors;
    };
    const TemplateChoice memo{"jdoe\\Memo.txt", false};
    const Case cases[] = {
        {"list cancelled: the window stays", std::nullopt, "C:\\Docs\\a.txt", 42, 0, 0, 0},
        {"Save As cancelled", memo, std::nullopt, 42, 1, 0, 0},
        {"the template itself", memo, kMine + "MEMO.TXT", 42, 1, 0, 0},
        {"the shell cannot open it", memo, "C:\\Docs\\a", 31, 1, 1, 0},
        {"the copy fails", memo, "C:\\Nowhere\\a.txt", 42, 1, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        World w;
        w.host.choice = c.choice;
        w.host.target = c.target;
        w.shell.result = c.shellResult;
        w.templates.lvNewClick();
        EXPECT_EQ(w.host.hides, c.hides);
        EXPECT_EQ(w.shell.requests.size(), c.opens);
        EXPECT_TRUE(w.views.RecentDocuments.empty());
        EXPECT_EQ(w.messages.errors.size(), c.errors);
        EXPECT_EQ(w.Content(kMine + "Memo.txt"), "memo");
    }
    // The extension of the template is added to a name typed without one.
    World w;
    w.host.choice = memo;
    w.host.target = "C:\\Docs\\a";
    w.templates.lvNewClick();
    EXPECT_EQ(w.Content("C:\\Docs\\a.txt"), "memo");
}

TEST(Templates, ACopyBesideItsTemplateUnderTheGzipNameLeavesTheTemplate) {
    // The gzip tool's rule would remove Memo.txt once Memo.txt.gz is made of it.
    World w;
    w.host.choice = TemplateChoice{"jdoe\\Memo.txt", false};
    w.host.target = kMine + "Memo.txt.gz";
    w.templates.lvNewClick();
    w.host.choice = TemplateChoice{"All Users\\report.txt.gz", false};
    w.host.target = kShared + "report.txt";
    w.templates.lvNewClick();
    EXPECT_EQ(w.Content(kMine + "Memo.txt.gz"), FakeGzipStreams::Packed("memo"));
    EXPECT_EQ(w.Content(kShared + "report.txt"), "quarterly");

    // Memo.txt saved as the template Memo.txt.gz over the one just made, from the templates'
    // own view, which shows the change at once.
    w.views.ShowView("<Template Documents>");
    for (size_t i = 0; i < w.views.Items.Count(); ++i)
        if (w.views.Items.ItemAt(i).Name == "Memo.txt") w.host.row = i;
    w.fs.AddFile(kMine + "Memo.txt", "memo 2");
    w.host.name = "Memo.txt.gz";
    w.templates.lvSaveAsTemplateClick();
    EXPECT_EQ(w.Content(kMine + "Memo.txt.gz"), FakeGzipStreams::Packed("memo 2"));
    EXPECT_EQ(w.Content(kMine + "Memo.txt"), "memo 2");
    EXPECT_EQ(w.messages.confirmations.size(), 1u);
    EXPECT_EQ(w.viewHost.status, "4 Object(s)");
    EXPECT_TRUE(w.messages.errors.empty());
}

}  // namespace
}  // namespace lark
