// The file commands of the main window, reached the way a user reaches them: keys on the
// list, the tool bar's buttons, the shell's and the Save dialog's own buttons.
#include <gtest/gtest.h>
#include <windows.h>
// needs windows.h first
#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/command_ids_win.h"
#include "app/main_frame_win.h"
#include "app/main_layout_win.h"
#include "app/main_views_win.h"
#include "app/main_window_win.h"
#include "base/text.h"
#include "config/context.h"
#include "config/settings.h"
#include "platform/fake/fake_messages.h"
#include "platform/fake/fake_platform.h"
#include "platform/win32/encoding_win.h"
#include "platform/win32/win32_platform.h"
#include "support/win_tree_helpers.h"
#include "ui/message_pump_win.h"

namespace lark {
namespace {

using wintree::ReadAll;
using wintree::TempTree;

// Runs the step from a thread timer, which the modal loops of the shell's dialogs dispatch
// too, until it reports that it did its work.
std::function<bool()> pendingStep;
UINT_PTR stepTimer = 0;
void StopPendingStep() {
    pendingStep = nullptr;
    if (stepTimer) KillTimer(nullptr, stepTimer);
    stepTimer = 0;
}
void CALLBACK RunPendingStep(HWND, UINT, UINT_PTR, DWORD) {
    if (pendingStep && pendingStep()) StopPendingStep();
}
void WhenModal(std::function<bool()> step) {
    StopPendingStep();
    pendingStep = std::move(step);
    stepTimer = SetTimer(nullptr, 0, 100, RunPendingStep);
}

// The visible window of this thread of the class whose caption starts with the text.
HWND ThreadWindow(const std::wstring& windowClass, const std::wstring& caption) {
    struct Search {
        std::wstring windowClass, caption;
        HWND found = nullptr;
    } search{windowClass, caption};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM lParam) {
            auto* s = reinterpret_cast<Search*>(lParam);
            wchar_t cls[64] = L"", text[256] = L"";
            GetClassNameW(hwnd, cls, 64);
            GetWindowTextW(hwnd, text, 256);
            if (std::wstring(cls) == s->windowClass && IsWindowVisible(hwnd) &&
                std::wstring(text).rfind(s->caption, 0) == 0) {
                s->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}
HWND ThreadDialog(const std::wstring& caption) {
    return ThreadWindow(L"#32770", caption);
}

bool ClickButton(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    if (!button) return false;
    SendMessageW(button, BM_CLICK, 0, 0);
    return true;
}

// The first edit control inside the window (the Save dialog's file name box).
HWND FirstEdit(HWND parent) {
    HWND found = nullptr;
    EnumChildWindows(
        parent,
        [](HWND hwnd, LPARAM lParam) {
            wchar_t cls[32] = L"";
            GetClassNameW(hwnd, cls, 32);
            if (lstrcmpiW(cls, L"Edit") != 0 || !IsWindowVisible(hwnd)) return TRUE;
            *reinterpret_cast<HWND*>(lParam) = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

struct FileCommands : ::testing::Test {
    TempTree dir{"filecmds"};
    Win32FileSystem fs;
    FakeRegistry registry;
    Win32Clock clock;
    FakeMessages messages;
    Settings settings;
    AppContext ctx{fs,       registry,   clock,
                   messages, settings,   dir.Path("App\\Larkspire.exe"),
                   "jdoe",   dir.Root(), dir.Path("Recent")};
    std::unique_ptr<TfmOpen> form;

    FileCommands() {
        dir.Folder("Recent");
        dir.File("App\\LARKSPIRE.ini", "[General]\r\nDataLocation=" + dir.Path("Larkspire Data") +
                                           "\r\nRefreshFixedSchedule=F\r\nRefreshMinutes=0\r\n");
    }
    ~FileCommands() override {
        SetMessagePreview(nullptr);
        StopPendingStep();
        form.reset();
    }
    std::string Doc(const std::string& name, const std::string& text = "some text") {
        dir.File("docs\\" + name, text);
        return dir.Path("docs\\" + name);
    }
    void Start(const std::vector<std::string>& recent) {
        std::string text;
        for (const auto& p : recent) text += p + "\r\n";
        dir.File("Larkspire Data\\jdoe\\Recent files.idx", text);
        std::vector<std::string> noParameters;
        form = std::make_unique<TfmOpen>(ctx, &noParameters);
        ASSERT_NE(form->Handle(), nullptr);
        form->ShowMainWindow();
        SetMessagePreview([this](const MSG& msg) { return PreviewWindowKey(form->Handle(), msg); });
    }
    MainLayout& Layout() { return form->Frame().Layout(); }
    HWND List() { return Layout().listView; }
    std::vector<std::string> Rows() {
        std::vector<std::string> rows;
        int count = int(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t text[260] = L"";
            ListView_GetItemText(List(), i, 0, text, 260);
            rows.push_back(Narrow(text));
        }
        return rows;
    }
    void SelectRow(const std::string& name) {
        ListView_SetItemState(List(), -1, 0, LVIS_SELECTED);
        std::vector<std::string> rows = Rows();
        for (size_t i = 0; i < rows.size(); ++i)
            if (rows[i] == name)
                ListView_SetItemState(List(), int(i), LVIS_SELECTED, LVIS_SELECTED);
    }
    void PressOnList(WPARAM key) { SendMessageW(List(), WM_KEYDOWN, key, 0); }
    // Through the message loop, with the window's key preview, as a typed key arrives.
    void TypeInto(HWND control, WPARAM key) {
        PostMessageW(control, WM_KEYDOWN, key, 0);
        PumpWaitingMessages();
    }
    void ClickToolButton(UINT command) {
        RECT r{};
        SendMessageW(Layout().toolBar, TB_GETRECT, command, reinterpret_cast<LPARAM>(&r));
        LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SendMessageW(Layout().toolBar, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(Layout().toolBar, WM_LBUTTONUP, 0, at);
    }
    std::string RecentFile() { return ReadAll(dir.Path("Larkspire Data\\jdoe\\Recent files.idx")); }
    static void HoldControl(bool down) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = down ? 0x80 : 0;
        SetKeyboardState(keys);
    }
};

// Where the shell's recycle bin keeps a file under Wine: the Linux user's trash (Wine names
// the user's home folder in WINEHOMEDIR, as "\??\Z:\home\user").
std::string TrashedCopy(const std::string& name) {
    wchar_t home[MAX_PATH] = L"";
    if (!GetEnvironmentVariableW(L"WINEHOMEDIR", home, MAX_PATH)) return std::string();
    std::string path = Narrow(home);
    if (path.rfind("\\??\\", 0) == 0) path.erase(0, 4);
    return path + "\\.local\\share\\Trash\\files\\" + name;
}

TEST_F(FileCommands, DeleteKeyRecyclesCtrlDeleteRemovesForGood) {
    if (!wintree::IsWine()) GTEST_SKIP() << "looks for the recycled file in Wine's trash";
    const std::string tag =
        std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
    std::string recycled = Doc("recycled " + tag + ".txt");
    std::string gone = Doc("gone " + tag + ".txt");
    std::string kept = Doc("kept.txt");
    Start({recycled, gone, kept});
    ASSERT_EQ(Rows().size(), 3u);

    struct Step {
        std::string path;
        bool control;
        bool inTrash;
    } steps[] = {{recycled, false, true}, {gone, true, false}};
    for (const Step& s : steps) {
        SCOPED_TRACE(s.path);
        SelectRow(std::string(FileNameOf(s.path)));
        // The shell asks first; the user says Yes.
        bool asked = false;
        WhenModal([&] {
            HWND confirm = ThreadDialog(L"");
            return confirm && (asked = ClickButton(confirm, IDYES));
        });
        HoldControl(s.control);
        PressOnList(VK_DELETE);
        HoldControl(false);
        EXPECT_TRUE(asked);
        EXPECT_FALSE(fs.Exists(s.path));
        std::string trashed = TrashedCopy(std::string(FileNameOf(s.path)));
        EXPECT_EQ(fs.Exists(trashed), s.inTrash) << trashed;
        if (fs.Exists(trashed)) {
            DeleteFileW(Widen(trashed).c_str());
            std::string info = trashed;
            info.replace(info.rfind("\\files\\"), 7, "\\info\\");
            DeleteFileW(Widen(info + ".trashinfo").c_str());
        }
    }
    EXPECT_EQ(Rows(), std::vector<std::string>{"kept.txt"});
    EXPECT_EQ(RecentFile(), kept + "\r\n");
    EXPECT_TRUE(messages.errors.empty());
}

TEST_F(FileCommands, RenameInPlaceOwnsEnterAndEsc) {
    std::string draft = Doc("draft.zzq");
    Start({draft});
    struct Step {
        const char* typed;
        WPARAM key;
        const char* row;
    } steps[] = {{"re:named.zzq", VK_RETURN, "re named.zzq"},
                 {"other.zzq", VK_ESCAPE, "re named.zzq"}};
    for (const Step& s : steps) {
        SCOPED_TRACE(s.typed);
        SelectRow(Rows()[0]);
        PressOnList(VK_F2);
        HWND editor = ListView_GetEditControl(List());
        ASSERT_NE(editor, nullptr);
        SetWindowTextW(editor, Widen(s.typed).c_str());
        TypeInto(editor, s.key);
        EXPECT_EQ(ListView_GetEditControl(List()), nullptr) << "the editor took the key";
        EXPECT_TRUE(IsWindowVisible(form->Handle())) << "the window kept its place";
        EXPECT_FALSE(form->Views().List().labelEditing);
        EXPECT_EQ(Rows(), std::vector<std::string>{s.row});
    }
    EXPECT_TRUE(fs.IsFile(dir.Path("docs\\re named.zzq")));
    EXPECT_FALSE(fs.Exists(draft));
    EXPECT_EQ(RecentFile(), dir.Path("docs\\re named.zzq") + "\r\n");
    // With no edit going on, Esc is the window's again.
    TypeInto(List(), VK_ESCAPE);
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
}

TEST_F(FileCommands, SaveAsAUnicodeNameToGzipAndBackThroughTheDialog) {
    const std::string name =
        "\xC3\x9Cn\xC3\xAF"
        "code na\xC3\xAFve.txt";  // Ünïcode naïve.txt
    std::string text;
    for (int i = 0; i < 4000; ++i) text += "line " + std::to_string(i) + " of the document\r\n";
    std::string source = Doc(name, text);
    dir.Folder("out");
    Start({source});

    struct Step {
        std::string row, target;
    } steps[] = {{name, dir.Path("out\\" + name + ".gz")},
                 {name + ".gz", dir.Path("out\\back.txt")}};
    for (const Step& s : steps) {
        SCOPED_TRACE(s.target);
        SelectRow(s.row);
        bool saved = false;
        WhenModal([&] {
            HWND dialog = ThreadDialog(L"Copy As");
            HWND box = dialog ? FirstEdit(dialog) : nullptr;
            if (!box) return false;
            SetWindowTextW(box, Widen(s.target).c_str());
            return saved = ClickButton(dialog, IDOK);
        });
        ClickToolButton(kCmdSaveAs);
        EXPECT_TRUE(saved);
        EXPECT_TRUE(fs.IsFile(s.target));
        // The copy is listed among the recent documents at once.
        auto rows = Rows();
        EXPECT_NE(std::find(rows.begin(), rows.end(), std::string(FileNameOf(s.target))),
                  rows.end());
    }
    EXPECT_EQ(ReadAll(dir.Path("out\\" + name + ".gz")).substr(0, 2), "\x1f\x8b");
    EXPECT_TRUE(ReadAll(dir.Path("out\\back.txt")) == text);
    EXPECT_TRUE(fs.IsFile(source));
    EXPECT_TRUE(messages.errors.empty());
}

TEST_F(FileCommands, EraseAndTheShellsMenuFromTheirMenus) {
    std::string secret = Doc("secret.txt", "0123456789");
    std::string other = Doc("other.txt");
    Start({secret, other});
    SelectRow("secret.txt");
    SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(kCmdErase, 0), 0);
    EXPECT_EQ(
        messages.confirmations,
        std::vector<std::string>{"Please confirm file ERASE. You cannot recover erased files!"});
    EXPECT_FALSE(fs.Exists(secret));
    EXPECT_EQ(Rows(), std::vector<std::string>{"other.txt"});
    EXPECT_EQ(RecentFile(), other + "\r\n");

    // The shell's own menu for the file; the window goes once it was offered.
    SelectRow("other.txt");
    bool offered = false;
    WhenModal([&] {
        if (!ThreadWindow(L"#32768", L"")) return false;
        offered = true;
        EndMenu();
        return true;
    });
    SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(kCmdExplorerActions, 0), 0);
    EXPECT_TRUE(offered);
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
    EXPECT_TRUE(messages.errors.empty());
}

}  // namespace
}  // namespace lark
