#include "app/instance_win.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "platform/fake/fake_platform.h"
#include "platform/win32/encoding_win.h"

namespace lark {

namespace {

// A hidden top-level window of this process.
struct ProbeWindow {
    HWND hwnd = nullptr;
    ProbeWindow(const wchar_t* className, const wchar_t* caption) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = className;
        RegisterClassW(&wc);
        hwnd = CreateWindowExW(0, className, caption, WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                               wc.hInstance, nullptr);
    }
    ~ProbeWindow() { DestroyWindow(hwnd); }
};

}  // namespace

TEST(InstanceWindows, CaptionPatternsAndOwnProcessWindows) {
    ProbeWindow probe(L"LarkspireProbe", L"Larkspire probe 1234 here");
    ASSERT_NE(probe.hwnd, nullptr);
    struct Case {
        const char* pattern;
        bool found;
    } cases[] = {
        {"Larkspire probe", true},    // "*" appended
        {"Larkspire probe #", true},  // digits, then the appended "*"
        {"*probe 12?4 here", true},
        {"larkspire probe", false},  // case-sensitive
        {"Larkspire probe 1234 here!", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindWindowByCaption(c.pattern) == probe.hwnd, c.found) << c.pattern;

    // A window of the main window's class in this very process is no other instance.
    ProbeWindow own(kMainWindowClass, L"Larkspire");
    ASSERT_NE(own.hwnd, nullptr);
    EXPECT_EQ(FindOtherInstance(nullptr, kMainWindowClass), nullptr);
}

TEST(InstanceWindows, AtomTextIsTakenOnce) {
    std::string text(255, 'a');
    text.replace(0, 13, "<Last Search>");
    ATOM atom = GlobalAddAtomW(Widen(text).c_str());
    ASSERT_NE(atom, 0);
    EXPECT_EQ(TakeAtomText(atom), text);
    EXPECT_EQ(GlobalFindAtomW(Widen(text).c_str()), 0) << "the atom is deleted";
    EXPECT_EQ(TakeAtomText(0), "");
}

// An ordinary user may not write the machine's classes: the type is the user's own, and a
// start that changes nothing does not make the shell reread every association.
TEST(InstanceWindows, SavedSearchTypeIsRegisteredForTheUser) {
    FakeRegistry reg;
    const std::string exe = "C:\\Program Files\\Larkspire\\Larkspire.exe";
    EXPECT_TRUE(RegisterSearchFileType(reg, exe));
    const std::map<std::string, std::string> expected = {
        {FakeRegistry::Id(RegistryRoot::CurrentUser, "Software\\Classes\\.lks", ""),
         "Larkspire.Search"},
        {FakeRegistry::Id(RegistryRoot::CurrentUser, "Software\\Classes\\.lks", "Content Type"),
         "text/plain"},
        {FakeRegistry::Id(RegistryRoot::CurrentUser, "Software\\Classes\\.lks", "PerceivedType"),
         "text"},
        {FakeRegistry::Id(RegistryRoot::CurrentUser, "Software\\Classes\\Larkspire.Search", ""),
         "Larkspire Search"},
        {FakeRegistry::Id(RegistryRoot::CurrentUser,
                          "Software\\Classes\\Larkspire.Search\\DefaultIcon", ""),
         exe + ",0"},
        {FakeRegistry::Id(RegistryRoot::CurrentUser,
                          "Software\\Classes\\Larkspire.Search\\shell\\open\\command", ""),
         "\"" + exe + "\" \"%1\""},
    };
    EXPECT_EQ(reg.values, expected);
    const int writes = reg.writes;
    EXPECT_FALSE(RegisterSearchFileType(reg, exe));
    EXPECT_EQ(reg.writes, writes);
    // The program moved: the open command follows it.
    EXPECT_TRUE(RegisterSearchFileType(reg, "D:\\Larkspire\\Larkspire.exe"));
}

}  // namespace lark
