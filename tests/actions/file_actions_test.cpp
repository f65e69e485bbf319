#include "actions/file_actions.h"

#include <gtest/gtest.h>

#include "actions/fake_file_actions.h"
#include "index/index_state.h"
#include "support/test_app.h"
#include "views/fake_shell_services.h"
#include "views/fake_view_host.h"
#include "views/view_controller.h"

namespace lark {
namespace {

using Paths = std::vector<std::string>;

// The main window's lists on the in-memory disk: documents in C:\w, the user's data folder,
// the shell's Recent folder with a shortcut per recent document.
struct ActionsWorld : TestApp {
    FakeShellServices shellServices;
    FakeViewHost viewHost;
    FakeSearchRunner search;
    ViewController views{ctx, viewHost, shellServices, search};
    FakeFileActionsHost host{fs};
    RecordingShell shell;
    FakeGzipStreams gzip{fs};
    CompressedCopy copy{fs, gzip};
    FileActions actions{ctx, views, host, shell, copy};
    const std::string data = "C:\\Larkspire Data\\jdoe\\";

    ActionsWorld() : TestApp("C:\\App\\Larkspire.exe", "C:\\Recent") {
        settings.DataLocation = "C:\\Larkspire Data";
        fs.AddFolder(data);
        fs.AddFolder("C:\\Recent");
        fs.AddFolder("C:\\out");
        for (const char* name : {"a.txt", "b.txt", "keep.txt", "notes.txt"})
            fs.AddFile(std::string("C:\\w\\") + name, std::string("text of ") + name);
    }
    void Recent(const Paths& paths) {
        views.RecentDocuments.clear();
        for (const auto& p : paths) {
            views.RecentDocuments.push_back(p);
            fs.AddFile("C:\\Recent\\" + std::string(FileNameOf(p)) + ".lnk", "shortcut");
        }
    }
    void LastSearch(const Paths& paths) {
        PathList list;
        for (const auto& p : paths) list.push_back(p);
        views.LastSearchResults = SearchResults(std::move(list));
    }
    static Paths Of(const PathSource& list) {
        Paths out;
        std::string scratch;
        for (size_t i = 0; i < list.PathCount(); ++i) out.emplace_back(list.PathAt(i, scratch));
        return out;
    }
    std::optional<std::string> File(const std::string& path) { return fs.ReadWhole(path); }
    static std::string Lines(const Paths& paths) {
        std::string text;
        for (const auto& p : paths) text += p + "\r\n";
        return text;
    }
    // Shows the view and selects the row of the path.
    void Select(std::string_view view, std::string_view path) {
        views.ShowView(view);
        for (size_t i = 0; i < views.Items.Count(); ++i)
            if (views.Items.ItemAt(i).Path() == path) host.selectedRow = i;
        ASSERT_TRUE(host.selectedRow) << path;
        host.openBox = path;
    }
};

struct ActionsFixture : ::testing::Test, ActionsWorld {};

TEST_F(ActionsFixture, DeleteAndEraseKeepTheListsInStepWithTheDisk) {
    struct Case {
        const char* name;
        bool erase;
        const char* view;
        bool control, cancel;
        Paths recent, lastSearch;
        std::optional<std::string> lastSearchFile;
    };
    const Paths all = {"C:\\w\\a.txt", "C:\\w\\b.txt", "C:\\w\\keep.txt"};
    const Case cases[] = {
        {"delete from the last search",
         false,
         "<Last Search>",
         false,
         false,
         {"C:\\w\\keep.txt"},
         {"C:\\w\\keep.txt"},
         Lines({"C:\\w\\keep.txt"})},
        {"Ctrl deletes for good",
         false,
         "<Last Search>",
         true,
         false,
         {"C:\\w\\keep.txt"},
         {"C:\\w\\keep.txt"},
         Lines({"C:\\w\\keep.txt"})},
        {"delete from the recent folders",
         false,
         "<Recent Folders>",
         false,
         false,
         {"C:\\w\\keep.txt"},
         all,
         std::nullopt},
        {"delete from the recent documents",
         false,
         "<My Recent Documents>",
         false,
         false,
         {"C:\\w\\keep.txt"},
         all,
         std::nullopt},
        {"the user cancels the shell's delete",
         false,
         "<Last Search>",
         false,
         true,
         {"C:\\W\\A.TXT", "C:\\w\\keep.txt"},
         all,
         Lines(all)},
        {"erase in the last search",
         true,
         "<Last Search>",
         false,
         false,
         {"C:\\w\\keep.txt"},
         {"C:\\w\\keep.txt"},
         Lines({"C:\\w\\keep.txt"})},
        {"erase in the recent documents",
         true,
         "<My Recent Documents>",
         false,
         false,
         {"C:\\w\\keep.txt"},
         all,
         std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ActionsWorld f;
        f.Recent({"C:\\W\\A.TXT", "C:\\w\\keep.txt"});
        f.LastSearch(all);
        f.views.ShowView(c.view);
        f.host.openBox = " C:\\w\\a.txt; 'C:\\w\\b.txt' ;";
        f.host.controlDown = c.control;
        f.host.cancelDelete = c.cancel;
        if (c.erase) {
            f.actions.mnuEraseClick();
            EXPECT_EQ(f.host.erased, (Paths{"C:\\w\\a.txt", "C:\\w\\b.txt"}));
            EXPECT_EQ(f.messages.confirmations,
                      Paths{"Please confirm file ERASE. You cannot recover erased files!"});
            EXPECT_EQ(f.host.busyTimes, 1);
        } else {
            f.actions.lvDeleteClick();
            ASSERT_EQ(f.host.deletes.size(), 1u);
            EXPECT_EQ(f.host.deletes[0].paths, (Paths{"C:\\w\\a.txt", "C:\\w\\b.txt"}));
            EXPECT_EQ(f.host.deletes[0].permanent, c.control);
        }
        EXPECT_EQ(Of(f.views.RecentDocuments), c.recent);
        EXPECT_EQ(f.fs.IsFile("C:\\Recent\\A.TXT.lnk"), c.cancel);
        EXPECT_TRUE(f.fs.IsFile("C:\\Recent\\keep.txt.lnk"));
        EXPECT_EQ(f.File(f.data + "Recent files.idx"),
                  c.cancel ? std::nullopt : std::optional(Lines({"C:\\w\\keep.txt"})));
        EXPECT_EQ(Of(f.views.LastSearchResults), c.lastSearch);
        EXPECT_EQ(f.File(f.data + "Last Search.idx"), c.lastSearchFile);
        // The view is shown again: its rows follow the disk.
        EXPECT_EQ(f.views.CurrentViewName, c.view);
        EXPECT_EQ(f.host.busyDepth, 0);
        EXPECT_TRUE(f.messages.errors.empty());
    }
}

TEST_F(ActionsFixture, NothingSelectedRefusalsAndErasesThatFail) {
    actions.lvDeleteClick();
    actions.mnuEraseClick();
    host.openBox = " ; ";
    actions.lvDeleteClick();
    EXPECT_EQ(messages.infos,
              (Paths{"No files are selected for deletion", "No files are selected for erasure",
                     "No files are selected for deletion"}));
    EXPECT_TRUE(host.deletes.empty());

    host.openBox = "C:\\w\\a.txt";
    messages.answer = false;
    actions.mnuEraseClick();
    EXPECT_TRUE(host.erased.empty());
    EXPECT_TRUE(fs.IsFile("C:\\w\\a.txt"));

    // A file that cannot be opened stays, listed, and the user is told.
    messages.answer = true;
    Recent({"C:\\w\\a.txt", "C:\\w\\b.txt"});
    views.ShowView("<My Recent Documents>");
    host.unopenable = {"C:\\w\\a.txt"};
    host.openBox = "C:\\w\\a.txt;C:\\w\\b.txt";
    actions.mnuEraseClick();
    EXPECT_EQ(Of(views.RecentDocuments), Paths{"C:\\w\\a.txt"});
    EXPECT_EQ(messages.errors, Paths{"Unable to erase: C:\\w\\a.txt"});
    host.openBox = "C:\\w\\a.txt;C:\\w\\gone.txt";
    actions.mnuEraseClick();
    EXPECT_EQ(messages.errors.back(),
              "Unable to erase these files:\r\nC:\\w\\a.txt\r\nC:\\w\\gone.txt");
}

TEST_F(ActionsFixture, RenameCleansTheNameAndFollowsItThroughTheLists) {
    struct Case {
        const char* name;
        std::optional<std::string> typed;
        const char* row;     // the row's name afterwards
        const char* onDisk;  // the file that exists afterwards
        const char* error;   // or ""
    };
    const Case cases[] = {
        {"forbidden characters become blanks", "a:b?c.txt", "a b c.txt", "C:\\w\\a b c.txt", ""},
        {"a double quote becomes a single one", "say \"hi\".txt", "say 'hi'.txt",
         "C:\\w\\say 'hi'.txt", ""},
        {"a change of letter case", "A.TXT", "A.TXT", "C:\\w\\A.TXT", ""},
        {"the name of another file", "keep.txt", "a.txt", "C:\\w\\a.txt", ""},
        {"nothing but forbidden characters", "::", "a.txt", "C:\\w\\a.txt", ""},
        {"an empty name", "", "a.txt", "C:\\w\\a.txt", ""},
        {"the edit was cancelled", std::nullopt, "a.txt", "C:\\w\\a.txt", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ActionsWorld f;
        f.Recent({"C:\\w\\a.txt", "C:\\w\\keep.txt"});
        f.LastSearch({"C:\\w\\keep.txt", "c:\\W\\a.txt"});
        f.Select("<Last Search>", "c:\\W\\a.txt");
        f.actions.lvRenameClick();
        EXPECT_EQ(f.host.labelEdits, std::vector<size_t>{*f.host.selectedRow});
        f.actions.ListViewEdited(*f.host.selectedRow, c.typed);
        EXPECT_EQ(f.views.Items.ItemAt(*f.host.selectedRow).Name, c.row);
        ASSERT_TRUE(f.fs.IsFile(c.onDisk));
        EXPECT_EQ(FileNameOf(f.fs.Find(c.onDisk)->path), FileNameOf(c.onDisk));
        if (std::string(c.row) != "a.txt") {
            EXPECT_EQ(f.host.openBox, "c:\\W\\" + std::string(c.row));
            EXPECT_EQ(Of(f.views.RecentDocuments),
                      (Paths{"c:\\W\\" + std::string(c.row), "C:\\w\\keep.txt"}));
            EXPECT_EQ(f.File(f.data + "Recent files.idx"), Lines(Of(f.views.RecentDocuments)));
            EXPECT_EQ(f.File(f.data + "Last Search.idx"),
                      Lines({"C:\\w\\keep.txt", "c:\\W\\" + std::string(c.row)}));
        } else {
            EXPECT_EQ(Of(f.views.RecentDocuments), (Paths{"C:\\w\\a.txt", "C:\\w\\keep.txt"}));
            EXPECT_FALSE(f.File(f.data + "Last Search.idx"));
        }
        EXPECT_TRUE(f.messages.errors.empty());
    }

    // A rename the disk refuses keeps the old name everywhere, and says so.
    LastSearch({"C:\\w\\a.txt"});
    Select("<Last Search>", "C:\\w\\a.txt");
    fs.RemoveFile("C:\\w\\a.txt");
    actions.ListViewEdited(0, "z.txt");
    EXPECT_EQ(views.Items.ItemAt(0).Name, "a.txt");
    EXPECT_EQ(Of(views.LastSearchResults), Paths{"C:\\w\\a.txt"});
    EXPECT_EQ(messages.errors, Paths{"Unable to rename C:\\w\\a.txt"});
    EXPECT_EQ(host.indexBuilds, 0);
}

TEST_F(ActionsFixture, RenamingARecentFolderMovesOnlyTheDocumentsInsideIt) {
    fs.AddFile("C:\\Data\\x.txt");
    fs.AddFile("C:\\Database\\y.txt");
    fs.AddFile("C:\\Data\\sub\\z.txt");
    Recent({"C:\\Data\\x.txt", "C:\\Database\\y.txt", "c:\\data\\sub\\z.txt"});
    settings.RefreshFixedSchedule = true;
    Select("<Recent Folders>", "C:\\Data");
    actions.ListViewEdited(*host.selectedRow, "Archive");
    EXPECT_EQ(Of(views.RecentDocuments),
              (Paths{"C:\\Archive\\x.txt", "C:\\Database\\y.txt", "C:\\Archive\\sub\\z.txt"}));
    EXPECT_EQ(File(data + "Recent files.idx"), Lines(Of(views.RecentDocuments)));
    EXPECT_TRUE(fs.IsFile("C:\\Archive\\sub\\z.txt"));
    EXPECT_FALSE(File(data + "Last Search.idx"));
    EXPECT_EQ(host.indexBuilds, 1);
}

TEST_F(ActionsFixture, RemoveFromRecentNotepadAndTheShellsMenu) {
    Recent({"C:\\w\\a.txt", "C:\\w\\keep.txt"});
    views.ShowView("<My Recent Documents>");
    host.openBox = "C:\\w\\a.txt";
    actions.lvRemoveClick();
    EXPECT_EQ(Of(views.RecentDocuments), Paths{"C:\\w\\keep.txt"});
    EXPECT_TRUE(fs.IsFile("C:\\w\\a.txt"));
    EXPECT_FALSE(fs.IsFile("C:\\Recent\\a.txt.lnk"));
    EXPECT_EQ(views.Items.Count(), 1u);

    fs.AddFile("C:\\w\\two words.txt");
    host.openBox = "C:\\w\\two words.txt;C:\\w\\missing.txt;C:\\w\\b.txt;;C:\\w\\notes.txt";
    clock.tick = 777;
    actions.lvNotepadEditClick();
    ASSERT_EQ(shell.requests.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        const ShellRequest& r = shell.requests[i];
        EXPECT_EQ(r.verb, "open");
        EXPECT_EQ(r.target, "Notepad.exe");
        EXPECT_EQ(r.folder, "C:\\w");
        EXPECT_EQ(r.show, ShellShow::Show);
        EXPECT_EQ(r.owner, &host);
    }
    EXPECT_EQ(shell.requests[0].params, "\"C:\\w\\two words.txt\"");
    EXPECT_EQ(shell.requests[1].params, "\"C:\\w\\b.txt\"");
    EXPECT_EQ(Of(views.RecentDocuments),
              (Paths{"C:\\w\\keep.txt", "C:\\w\\two words.txt", "C:\\w\\b.txt"}));
    EXPECT_EQ(host.hides, 2);
    EXPECT_EQ(LastLaunchTick.load(), 777u);

    // Notepad that cannot be started records nothing and leaves the window up.
    shell.result = 2;
    host.openBox = "C:\\w\\notes.txt";
    actions.lvNotepadEditClick();
    EXPECT_EQ(views.RecentDocuments.size(), 3u);
    EXPECT_EQ(host.hides, 2);

    actions.lvExplorerActionsClick();
    EXPECT_TRUE(host.contextMenus.empty());
    Select("<My Recent Documents>", "C:\\w\\b.txt");
    actions.lvExplorerActionsClick();
    EXPECT_EQ(host.contextMenus, Paths{"C:\\w\\b.txt"});
}

TEST_F(ActionsFixture, SaveAsAndMoveGoThroughTheCompressedCopy) {
    struct Case {
        const char* name;
        bool move;
        const char* row;
        std::optional<std::string> chosen;
        const char* target;  // "" when nothing is written
        std::optional<std::string> written;
        bool sourceStays, recent;
        const char* error;
    };
    const std::string notes = "text of notes.txt";
    const Case cases[] = {
        {"a name without extension gets the source's", false, "C:\\w\\notes.txt", "C:\\out\\copy",
         "C:\\out\\copy.txt", notes, true, true, ""},
        {"compressed beside the source: gzip's rule takes the source", false, "C:\\w\\notes.txt",
         "C:\\w\\notes.txt.gz", "C:\\w\\notes.txt.gz", FakeGzipStreams::Packed(notes), false, true,
         ""},
        {"another drive is not a recent document", false, "C:\\w\\notes.txt", "D:\\notes.txt",
         "D:\\notes.txt", notes, true, false, ""},
        {"the same file in other letters", false, "C:\\w\\notes.txt", "c:\\W\\NOTES.TXT", "",
         std::nullopt, true, false, ""},
        {"cancelled", false, "C:\\w\\notes.txt", std::nullopt, "", std::nullopt, true, false, ""},
        {"a copy that fails leaves nothing behind", false, "C:\\w\\notes.txt",
         "C:\\none\\notes.txt", "C:\\none\\notes.txt", std::nullopt, true, false,
         "Unable to copy the file to: C:\\none\\notes.txt"},
        {"move", true, "C:\\w\\notes.txt", "C:\\out\\notes.txt", "C:\\out\\notes.txt", notes, false,
         true, ""},
        {"move decompressing", true, "C:\\w\\packed.gz", "C:\\out\\packed.txt",
         "C:\\out\\packed.txt", "data", false, true, ""},
        {"move onto a target the copy cannot replace keeps the source", true, "C:\\w\\notes.txt",
         "C:\\out\\locked.txt", "C:\\out\\locked.txt", "old", true, false,
         "Unable to move the file to: C:\\out\\locked.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ActionsWorld f;
        f.fs.AddFile("C:\\w\\packed.gz", FakeGzipStreams::Packed("data"));
        f.fs.AddFile("C:\\out\\locked.txt", "old").attributes = kAttrReadOnly;
        f.Recent({c.row});
        f.Select("<My Recent Documents>", c.row);
        f.views.Items.ItemAt(*f.host.selectedRow).TypeName = "Text Document";
        f.host.answer = c.chosen;
        if (c.move)
            f.actions.lvMoveClick();
        else
            f.actions.lvSaveAsClick();
        ASSERT_EQ(f.host.dialogs.size(), 1u);
        const TargetDialog& d = f.host.dialogs[0];
        EXPECT_EQ(d.title, c.move ? "Move To" : "Copy As");
        EXPECT_EQ(d.initialFolder, "C:\\w");
        EXPECT_EQ(d.fileName, FileNameOf(c.row));
        const std::string ext = FileExtensionOf(c.row);
        EXPECT_EQ(d.filter, "Text Document (*." + ext + ")|*." + ext + "|All files (*.*)|*.*");
        if (*c.target) {
            EXPECT_EQ(f.File(c.target), c.written);
        }
        EXPECT_EQ(f.fs.IsFile(c.row), c.sourceStays);
        const bool listed =
            IndexOfPathIgnoringCase(f.views.RecentDocuments, c.target) != std::string::npos;
        EXPECT_EQ(listed, c.recent);
        // The recent documents view lists what changed.
        EXPECT_EQ(Of(f.views.RecentDocuments).size(), f.views.Items.Count());
        EXPECT_EQ(f.messages.errors, *c.error ? Paths{c.error} : Paths{});
        // A Save As copy is stamped now and writable; a moved file keeps its times.
        if (c.written && !c.move) {
            const auto* entry = f.fs.Find(c.target);
            EXPECT_EQ(entry->writeTimeLocal, f.clock.fileTimeNow);
            EXPECT_EQ(entry->creationTime, f.clock.fileTimeNow);
            EXPECT_EQ(entry->attributes & kAttrReadOnly, 0u);
        }
    }
}

TEST_F(ActionsFixture, StampingNeverMakesAFile) {
    EXPECT_FALSE(actions.StampWithCurrentTime("C:\\out\\none.txt"));
    EXPECT_FALSE(fs.Exists("C:\\out\\none.txt"));
    fs.AddFile("C:\\out\\ro.txt").attributes = kAttrReadOnly;
    EXPECT_TRUE(actions.StampWithCurrentTime("C:\\out\\ro.txt"));
    EXPECT_EQ(fs.Find("C:\\out\\ro.txt")->accessTime, clock.fileTimeNow);
    EXPECT_EQ(fs.Find("C:\\out\\ro.txt")->attributes, 0u);
}

}  // namespace
}  // namespace lark
