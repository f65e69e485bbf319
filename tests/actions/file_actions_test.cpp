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

Paths Of(const PathSource& list) {
    Paths out;
    std::string scratch;
    for (size_t i = 0; i < list.PathCount(); ++i) out.emplace_back(list.PathAt(i, scratch));
    return out;
}

std::string Lines(const Paths& paths) {
    std::string text;
    for (const auto& p : paths) text += p + "\r\n";
    return text;
}

// The main window's lists on the in-memory disk: documents in C:\w, the user's data folder,
// the shell's Recent folder with a shortcut per recent document.
struct World : TestApp {
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

    World(const Paths& recent, const Paths& lastSearch = {})
        : TestApp("C:\\App\\Larkspire.exe", "C:\\Recent") {
        settings.DataLocation = "C:\\Larkspire Data";
        fs.AddFolder(data);
        fs.AddFolder("C:\\out");
        for (const char* name : {"a.txt", "b.txt", "keep.txt", "notes.txt"})
            fs.AddFile(std::string("C:\\w\\") + name, std::string("text of ") + name);
        for (const auto& p : recent) {
            views.RecentDocuments.push_back(p);
            fs.AddFile("C:\\Recent\\" + std::string(FileNameOf(p)) + ".lnk");
        }
        PathList found;
        for (const auto& p : lastSearch) found.push_back(p);
        views.LastSearchResults = SearchResults(std::move(found));
    }
    std::optional<std::string> File(const std::string& path) { return fs.ReadWhole(path); }
    // Shows the view and selects the row of the path, as a click does.
    void Select(std::string_view view, std::string_view path) {
        views.ShowView(view);
        for (size_t i = 0; i < views.Items.Count(); ++i)
            if (views.Items.ItemAt(i).Path() == path) host.selectedRow = i;
        ASSERT_TRUE(host.selectedRow) << path;
        host.openBox = path;
    }
};

TEST(FileActions, DeleteAndEraseKeepTheListsInStepWithTheDisk) {
    const Paths all = {"C:\\w\\a.txt", "C:\\w\\b.txt", "C:\\w\\keep.txt"};
    const Paths kept = {"C:\\w\\keep.txt"};
    struct Case {
        const char* name;
        bool erase, control, cancel;
        const char* view;
        Paths recent, lastSearch;
        std::optional<std::string> lastSearchFile;
    } cases[] = {
        {"delete from the last search", false, false, false, "<Last Search>", kept, kept,
         Lines(kept)},
        {"Ctrl deletes for good", false, true, false, "<Last Search>", kept, kept, Lines(kept)},
        {"the last search file stays in other views", false, false, false, "<Recent Folders>", kept,
         all, std::nullopt},
        {"the user cancels the shell's delete",
         false,
         false,
         true,
         "<Last Search>",
         {"C:\\W\\A.TXT", "C:\\w\\keep.txt"},
         all,
         Lines(all)},
        {"erase", true, false, false, "<Last Search>", kept, kept, Lines(kept)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        World w({"C:\\W\\A.TXT", "C:\\w\\keep.txt"}, all);
        w.views.ShowView(c.view);
        w.host.openBox = " C:\\w\\a.txt; 'C:\\w\\b.txt' ;";
        w.host.controlDown = c.control;
        w.host.cancelDelete = c.cancel;
        if (c.erase) {
            w.actions.mnuEraseClick();
            EXPECT_EQ(w.host.erased, (Paths{"C:\\w\\a.txt", "C:\\w\\b.txt"}));
            EXPECT_EQ(w.host.busyTimes, 1);
        } else {
            w.actions.lvDeleteClick();
            ASSERT_EQ(w.host.deletes.size(), 1u);
            EXPECT_EQ(w.host.deletes[0].paths, (Paths{"C:\\w\\a.txt", "C:\\w\\b.txt"}));
            EXPECT_EQ(w.host.deletes[0].permanent, c.control);
        }
        EXPECT_EQ(Of(w.views.RecentDocuments), c.recent);
        EXPECT_EQ(w.fs.IsFile("C:\\Recent\\A.TXT.lnk"), c.cancel);
        EXPECT_EQ(w.File(w.data + "Recent files.idx"),
                  c.cancel ? std::nullopt : std::optional(Lines(kept)));
        EXPECT_EQ(Of(w.views.LastSearchResults), c.lastSearch);
        EXPECT_EQ(w.File(w.data + "Last Search.idx"), c.lastSearchFile);
        EXPECT_EQ(w.views.CurrentViewName, c.view);  // shown again
        EXPECT_EQ(w.host.busyDepth, 0);
        EXPECT_TRUE(w.messages.errors.empty());
    }
}

TEST(FileActions, RefusalsAndErasesThatFail) {
    World w({"C:\\w\\a.txt", "C:\\w\\b.txt"});
    w.actions.lvDeleteClick();
    w.host.openBox = " ; ";
    w.actions.mnuEraseClick();
    EXPECT_EQ(w.messages.infos,
              (Paths{"No files are selected for deletion", "No files are selected for erasure"}));
    w.host.openBox = "C:\\w\\a.txt;C:\\w\\b.txt";
    w.messages.answer = false;
    w.actions.mnuEraseClick();
    EXPECT_EQ(w.messages.confirmations,
              Paths{"Please confirm file ERASE. You cannot recover erased files!"});
    EXPECT_TRUE(w.host.erased.empty());

    // A file that cannot be opened stays, listed, and the user is told.
    w.messages.answer = true;
    w.views.ShowView("<My Recent Documents>");
    w.host.unopenable = {"C:\\w\\a.txt"};
    w.actions.mnuEraseClick();
    EXPECT_EQ(Of(w.views.RecentDocuments), Paths{"C:\\w\\a.txt"});
    w.host.openBox = "C:\\w\\a.txt;C:\\w\\gone.txt";
    w.actions.mnuEraseClick();
    EXPECT_EQ(w.messages.errors,
              (Paths{"Unable to erase: C:\\w\\a.txt",
                     "Unable to erase these files:\r\nC:\\w\\a.txt\r\nC:\\w\\gone.txt"}));
}

TEST(FileActions, RenameCleansTheNameAndFollowsItThroughTheLists) {
    struct Case {
        const char* name;
        std::optional<std::string> typed;
        const char* row;  // the row's (and the file's) name afterwards
    } cases[] = {
        {"forbidden characters become blanks", "a:b?c.txt", "a b c.txt"},
        {"a double quote becomes a single one", "say \"hi\".txt", "say 'hi'.txt"},
        {"a change of letter case", "A.TXT", "A.TXT"},
        {"the name of another file", "keep.txt", "a.txt"},
        {"nothing but forbidden characters", "::", "a.txt"},
        {"the edit was cancelled", std::nullopt, "a.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        World w({"C:\\w\\a.txt", "C:\\w\\keep.txt"}, {"C:\\w\\keep.txt", "c:\\W\\a.txt"});
        w.Select("<Last Search>", "c:\\W\\a.txt");
        w.actions.lvRenameClick();
        EXPECT_EQ(w.host.labelEdits, std::vector<size_t>{*w.host.selectedRow});
        w.actions.ListViewEdited(*w.host.selectedRow, c.typed);
        const std::string now = "c:\\W\\" + std::string(c.row);
        const bool renamed = std::string(c.row) != "a.txt";
        EXPECT_EQ(w.views.Items.ItemAt(*w.host.selectedRow).Name, c.row);
        ASSERT_TRUE(w.fs.IsFile(now));
        EXPECT_EQ(FileNameOf(w.fs.Find(now)->path), c.row);
        EXPECT_EQ(Of(w.views.RecentDocuments),
                  (Paths{renamed ? now : "C:\\w\\a.txt", "C:\\w\\keep.txt"}));
        EXPECT_EQ(w.File(w.data + "Last Search.idx"),
                  renamed ? std::optional(Lines({"C:\\w\\keep.txt", now})) : std::nullopt);
    }

    // A rename the disk refuses keeps the old name everywhere, and says so.
    World w({}, {"C:\\w\\a.txt"});
    w.Select("<Last Search>", "C:\\w\\a.txt");
    w.fs.RemoveFile("C:\\w\\a.txt");
    w.actions.ListViewEdited(0, "z.txt");
    EXPECT_EQ(w.views.Items.ItemAt(0).Name, "a.txt");
    EXPECT_EQ(Of(w.views.LastSearchResults), Paths{"C:\\w\\a.txt"});
    EXPECT_EQ(w.messages.errors, Paths{"Unable to rename C:\\w\\a.txt"});
}

TEST(FileActions, RenamingARecentFolderMovesOnlyTheDocumentsInsideIt) {
    World w({"C:\\Data\\x.txt", "C:\\Database\\y.txt", "c:\\data\\sub\\z.txt"});
    for (const char* p : {"C:\\Data\\x.txt", "C:\\Database\\y.txt", "C:\\Data\\sub\\z.txt"})
        w.fs.AddFile(p);
    w.settings.RefreshFixedSchedule = true;
    w.Select("<Recent Folders>", "C:\\Data");
    w.actions.ListViewEdited(*w.host.selectedRow, "Archive");
    const Paths moved = {"C:\\Archive\\x.txt", "C:\\Database\\y.txt", "C:\\Archive\\sub\\z.txt"};
    EXPECT_EQ(Of(w.views.RecentDocuments), moved);
    EXPECT_EQ(w.File(w.data + "Recent files.idx"), Lines(moved));
    EXPECT_EQ(w.host.indexBuilds, 1);
}

TEST(FileActions, NotepadRemoveFromRecentAndTheShellsMenu) {
    World w({"C:\\w\\keep.txt"});
    w.fs.AddFile("C:\\w\\two words.txt");
    w.host.openBox = "C:\\w\\two words.txt;C:\\w\\missing.txt;C:\\w\\b.txt;;C:\\w\\notes.txt";
    w.clock.tick = 777;
    w.actions.lvNotepadEditClick();
    ASSERT_EQ(w.shell.requests.size(), 2u);
    for (const ShellRequest& r : w.shell.requests) {
        EXPECT_EQ(r.verb + "|" + r.target + "|" + r.folder, "open|Notepad.exe|C:\\w");
        EXPECT_EQ(r.show, ShellShow::Show);
        EXPECT_EQ(r.owner, &w.host);
    }
    EXPECT_EQ(w.shell.requests[0].params, "\"C:\\w\\two words.txt\"");
    EXPECT_EQ(w.shell.requests[1].params, "\"C:\\w\\b.txt\"");
    EXPECT_EQ(Of(w.views.RecentDocuments),
              (Paths{"C:\\w\\keep.txt", "C:\\w\\two words.txt", "C:\\w\\b.txt"}));
    EXPECT_EQ(w.host.hides, 2);
    EXPECT_EQ(LastLaunchTick.load(), 777u);
    // Notepad that cannot be started records nothing and leaves the window up.
    w.shell.result = 2;
    w.host.openBox = "C:\\w\\notes.txt";
    w.actions.lvNotepadEditClick();
    EXPECT_EQ(w.views.RecentDocuments.size(), 3u);
    EXPECT_EQ(w.host.hides, 2);

    // Remove from Recent Files takes entries of files that are still there, files untouched.
    w.views.ShowView("<My Recent Documents>");
    w.host.openBox = "C:\\w\\keep.txt";
    w.actions.lvRemoveClick();
    EXPECT_EQ(Of(w.views.RecentDocuments), (Paths{"C:\\w\\two words.txt", "C:\\w\\b.txt"}));
    EXPECT_TRUE(w.fs.IsFile("C:\\w\\keep.txt"));
    EXPECT_FALSE(w.fs.IsFile("C:\\Recent\\keep.txt.lnk"));
    EXPECT_EQ(w.views.Items.Count(), 2u);

    w.actions.lvExplorerActionsClick();  // no row selected
    w.Select("<My Recent Documents>", "C:\\w\\b.txt");
    w.actions.lvExplorerActionsClick();
    EXPECT_EQ(w.host.contextMenus, Paths{"C:\\w\\b.txt"});
}

TEST(FileActions, SaveAsAndMoveGoThroughTheCompressedCopy) {
    const std::string notes = "text of notes.txt";
    struct Case {
        const char* name;
        bool move;
        const char* row;
        std::optional<std::string> chosen;
        const char* target;  // "" when nothing is written
        std::optional<std::string> written;
        bool sourceStays, recent;
        const char* error;
    } cases[] = {
        {"a name without extension gets the source's", false, "C:\\w\\notes.txt", "C:\\out\\copy",
         "C:\\out\\copy.txt", notes, true, true, ""},
        {"compressed beside the source: gzip's rule takes the source", false, "C:\\w\\notes.txt",
         "C:\\w\\notes.txt.gz", "C:\\w\\notes.txt.gz", FakeGzipStreams::Packed(notes), false, true,
         ""},
        {"another drive is not a recent document", false, "C:\\w\\notes.txt", "D:\\notes.txt",
         "D:\\notes.txt", notes, true, false, ""},
        {"the same file in other letters", false, "C:\\w\\notes.txt", "c:\\W\\NOTES.TXT", "",
         std::nullopt, true, false, ""},
        {"a copy that fails leaves nothing behind", false, "C:\\w\\notes.txt",
         "C:\\none\\notes.txt", "C:\\none\\notes.txt", std::nullopt, true, false,
         "Unable to copy the file to: C:\\none\\notes.txt"},
        {"move decompressing", true, "C:\\w\\packed.gz", "C:\\out\\packed.txt",
         "C:\\out\\packed.txt", "data", false, true, ""},
        {"a move whose copy fails keeps the source, though the target exists", true,
         "C:\\w\\notes.txt", "C:\\out\\locked.txt", "C:\\out\\locked.txt", "old", true, false,
         "Unable to move the file to: C:\\out\\locked.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        World w({c.row});
        w.fs.AddFile("C:\\w\\packed.gz", FakeGzipStreams::Packed("data"));
        w.fs.AddFile("C:\\out\\locked.txt", "old").attributes = kAttrReadOnly;
        w.Select("<My Recent Documents>", c.row);
        w.views.Items.ItemAt(*w.host.selectedRow).TypeName = "Text Document";
        w.host.answer = c.chosen;
        c.move ? w.actions.lvMoveClick() : w.actions.lvSaveAsClick();
        ASSERT_EQ(w.host.dialogs.size(), 1u);
        const TargetDialog& d = w.host.dialogs[0];
        const std::string ext = FileExtensionOf(c.row);
        EXPECT_EQ(d.title + "|" + d.initialFolder + "|" + d.fileName + "|" + d.filter,
                  std::string(c.move ? "Move To" : "Copy As") + "|C:\\w|" +
                      std::string(FileNameOf(c.row)) + "|Text Document (*." + ext + ")|*." + ext +
                      "|All files (*.*)|*.*");
        if (*c.target) {
            EXPECT_EQ(w.File(c.target), c.written);
        }
        EXPECT_EQ(w.fs.IsFile(c.row), c.sourceStays);
        EXPECT_EQ(IndexOfPathIgnoringCase(w.views.RecentDocuments, c.target) != std::string::npos,
                  c.recent);
        // The recent documents view lists what changed.
        EXPECT_EQ(w.views.RecentDocuments.size(), w.views.Items.Count());
        EXPECT_EQ(w.messages.errors, *c.error ? Paths{c.error} : Paths{});
        // A copy is stamped with the current time; a moved file keeps the time it had.
        if (c.written && *c.target) {
            EXPECT_EQ(w.fs.Find(c.target)->creationTime == w.clock.fileTimeNow, !c.move);
        }
    }
    // The stamp never makes a file, and clears the read-only mark of one that is there.
    World w({});
    EXPECT_FALSE(w.actions.StampWithCurrentTime("C:\\out\\none.txt"));
    EXPECT_FALSE(w.fs.Exists("C:\\out\\none.txt"));
    w.fs.AddFile("C:\\out\\ro.txt").attributes = kAttrReadOnly;
    EXPECT_TRUE(w.actions.StampWithCurrentTime("C:\\out\\ro.txt"));
    EXPECT_EQ(w.fs.Find("C:\\out\\ro.txt")->accessTime, w.clock.fileTimeNow);
    EXPECT_EQ(w.fs.Find("C:\\out\\ro.txt")->attributes & kAttrReadOnly, 0u);
}

}  // namespace
}  // namespace lark
