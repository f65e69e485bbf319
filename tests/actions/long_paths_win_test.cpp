// A folder tree deeper than MAX_PATH characters, through the program's own code: the index
// walk, the search, the listed rows, the launch, Save As to and from gzip, rename, erase,
// delete, the rewrite of a list file and a search and replace run. Nothing may be cut short or
// silently skipped.
#pragma GCC diagnostic ignored "-Wrestrict"  // GCC bug 105651, as in the other search tests

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>

#include "actions/compressed_copy.h"
#include "actions/erase_file_win.h"
#include "actions/fake_file_actions.h"
#include "actions/file_actions.h"
#include "actions/file_actions_win.h"
#include "actions/gzip_streams_win.h"
#include "base/file_helpers.h"
#include "base/path_list.h"
#include "base/text.h"
#include "index/index_harness_win.h"
#include "platform/win32/shell_win.h"
#include "replace/fake_replace.h"
#include "replace/replace_files_win.h"
#include "replace/replace_run.h"
#include "search/criteria.h"
#include "search/index_search.h"
#include "support/disk_app_win.h"
#include "support/win_tree_helpers.h"
#include "views/fake_shell_services.h"
#include "views/fake_view_host.h"
#include "views/launch.h"
#include "views/view_controller.h"

namespace lark {
namespace {

struct NoSearchHost final : SearchHost {
    void RefreshIndex() override {}
    void ShowProgressStrip(int32_t, std::string_view) override {}
    void AdvanceProgress(int32_t) override {}
    void HideProgress() override {}
};

// Says Yes to the shell's confirmation on this thread's windows, as the user would.
class YesToTheShell {
  public:
    YesToTheShell() : thread_(GetCurrentThreadId()), worker_([this] { Run(); }) {}
    ~YesToTheShell() {
        done_ = true;
        worker_.join();
    }
    int clicks = 0;

  private:
    void Run() {
        while (!done_) {
            EnumThreadWindows(
                thread_,
                [](HWND w, LPARAM self) -> BOOL {
                    wchar_t cls[16] = L"";
                    GetClassNameW(w, cls, 16);
                    HWND yes = GetDlgItem(w, IDYES);
                    if (std::wstring(cls) == L"#32770" && IsWindowVisible(w) && yes) {
                        SendMessageW(yes, BM_CLICK, 0, 0);
                        ++reinterpret_cast<YesToTheShell*>(self)->clicks;
                    }
                    return TRUE;
                },
                LPARAM(this));
            Sleep(50);
        }
    }
    DWORD thread_;
    std::atomic<bool> done_{false};
    std::thread worker_;
};

// The window's part of the file actions, with the shell's delete and the erase for real.
class DiskActionsHost final : public FileActionsHost {
  public:
    std::string OpenBoxText() override { return openBox; }
    void SetOpenBoxText(std::string_view text) override { openBox = text; }
    std::optional<size_t> FirstSelectedRow() override { return selectedRow; }
    void RepaintList() override {}
    void BeginLabelEdit(size_t) override {}
    bool ControlKeyDown() override { return true; }  // deletes for good, not to the trash
    void SetBusyCursor(bool) override {}
    bool ShellDeleteFiles(const std::vector<std::string>& paths, bool permanent) override {
        YesToTheShell yes;
        return lark::ShellDeleteFiles(nullptr, paths, permanent);
    }
    EraseResult EraseFile(std::string_view path) override { return lark::EraseFile(path, 7); }
    std::optional<std::string> AskTargetPath(const TargetDialog&) override { return answer; }
    void ShowShellContextMenu(std::string_view) override {}
    void HideWindow() override {}
    void StartIndexBuild() override {}
    void* OwnerWindow() override { return nullptr; }

    std::string openBox;
    std::optional<size_t> selectedRow;
    std::optional<std::string> answer;
};

bool OnDisk(const std::string& path) {
    return GetFileAttributesW(WidePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST(LongPaths, DeepTreeThroughIndexSearchListLaunchCopyRenameEraseDeleteReplace) {
    wintree::TempTree tree("longpath"), data("longpathdata");
    std::string deep = tree.Path("top");
    while (deep.size() < MAX_PATH + 60) deep += "\\a-folder-with-a-name-long-enough";
    const std::string doc = deep + "\\deep document.txt";
    const std::string text = "text at the bottom of a deep tree\r\n";
    test::DiskApp app(data.Root());
    ASSERT_TRUE(ForceFolders(app.fs, deep + "\\"));
    ASSERT_TRUE(app.fs.WriteWhole(doc, text));
    ASSERT_TRUE(app.fs.WriteWhole(deep + "\\second.txt", "second"));
    ASSERT_GT(doc.size(), size_t(MAX_PATH));

    // Indexed: the deepest folder line and its files.
    IndexHarness index(data.Root());
    const std::string indexText = index.Build(tree.Path("top") + ";", "");
    EXPECT_NE(indexText.find("\r\n" + deep + "\\\r\ndeep document.txt\r\n"), std::string::npos);
    EXPECT_EQ(index.finishedCounts, std::vector<int64_t>{2});

    // Searched, by name and by a word of the folder path.
    for (bool withPath : {false, true}) {
        SearchCriteria c;
        c.Keywords = withPath ? "enough document" : "deep document";
        c.SearchPath = withPath;
        SearchResults results;
        NoSearchHost host;
        SearchIndexFile(app.fs, app.clock, c, index.IndexPath(), host, results);
        EXPECT_EQ(results, SearchResults{doc}) << c.Keywords;
    }

    // Listed as rows of the last search, with their times.
    app.settings.DataLocation = data.Path("user data");
    FakeViewHost viewHost;
    FakeShellServices shellServices;
    FakeSearchRunner runner;
    ViewController views(app.ctx, viewHost, shellServices, runner);
    views.LastSearchResults = SearchResults{doc, deep + "\\second.txt"};
    views.ShowView("<Last Search>");
    ASSERT_EQ(views.Items.Count(), 2u);
    EXPECT_EQ(views.Items.ItemAt(0).Path(), doc);
    EXPECT_NE(views.Items.ItemAt(0).Modified, 0.0);  // read through the long form

    // Opened: the shell is handed the whole path.
    RecordingShell shell;
    LaunchHost launch(shell, app.fs);
    LaunchOpenBox(launch, kVerbOpen, doc);
    ASSERT_EQ(shell.requests.size(), 1u);
    EXPECT_EQ(shell.requests[0].target, doc);

    // Copied to gzip and back, renamed, erased and deleted through the file commands.
    DiskActionsHost host;
    ZlibGzipStreams gzip;
    CompressedCopy copy(app.fs, gzip);
    FileActions actions(app.ctx, views, host, shell, copy);
    auto select = [&](const std::string& path) {
        views.LastSearchResults = SearchResults{path};
        views.ShowView("<Last Search>");
        ASSERT_EQ(views.Items.Count(), 1u) << path;
        host.selectedRow = 0;
        host.openBox = path;
    };
    select(doc);
    host.answer = deep + "\\packed.txt.gz";
    actions.lvSaveAsClick();
    ASSERT_TRUE(OnDisk(*host.answer));
    select(*host.answer);
    host.answer = deep + "\\unpacked.txt";
    actions.lvSaveAsClick();
    EXPECT_EQ(app.fs.ReadWhole(deep + "\\unpacked.txt"), text);

    select(deep + "\\unpacked.txt");
    actions.ListViewEdited(0, std::string("renamed.txt"));
    EXPECT_FALSE(OnDisk(deep + "\\unpacked.txt"));
    EXPECT_EQ(app.fs.ReadWhole(deep + "\\renamed.txt"), text);

    select(deep + "\\renamed.txt");
    actions.mnuEraseClick();
    EXPECT_FALSE(OnDisk(deep + "\\renamed.txt"));

    select(deep + "\\packed.txt.gz");
    actions.lvDeleteClick();
    EXPECT_FALSE(OnDisk(deep + "\\packed.txt.gz"));
    // The last search's list was rewritten without the deleted file.
    EXPECT_EQ(views.LastSearchResults.size(), 0u);

    // A list file that names the deep paths is rewritten and read back whole.
    const std::string listFile = deep + "\\list.idx";
    ASSERT_TRUE(WritePathListFile(app.fs, listFile, PathList{doc, deep + "\\second.txt"}));
    EXPECT_EQ(ReadPathListFile(app.fs, listFile), (PathList{doc, deep + "\\second.txt"}));
    EXPECT_EQ(app.fs.ReadWhole(doc), text);

    // Rewritten by a search and replace run, the replacement put in its place.
    SearchCriteria replace;
    replace.SearchReplaceLines = {"bottom\ttop"};
    replace.Replace = true;
    FakeReplaceHost replaceHost;
    replaceHost.searchResult = {doc};
    Win32ReplaceFiles replaceFiles;
    ReplaceRun(app.ctx, replace, replaceHost, replaceFiles).RunSearchReplace(false);
    EXPECT_EQ(app.fs.ReadWhole(doc), "text at the top of a deep tree\r\n");
    EXPECT_EQ(app.fs.ReadWhole(doc + ".out"), std::nullopt);
}

}  // namespace
}  // namespace lark
