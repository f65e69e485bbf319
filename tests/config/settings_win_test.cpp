// Writing LARKSPIRE.ini on a real disk: a write that cannot complete leaves the old file
// whole and is reported, and the program keeps the new values.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "config/context.h"
#include "config/settings.h"
#include "platform/fake/fake_messages.h"
#include "platform/fake/fake_platform.h"
#include "platform/win32/encoding_win.h"
#include "platform/win32/handles_win.h"
#include "platform/win32/win32_platform.h"
#include "support/win_tree_helpers.h"

namespace lark {
namespace {

std::set<std::string> Names(FileSystem& fs, const std::string& folder) {
    std::set<std::string> names;
    fs.List(folder, [&](const FileInfo& e) { names.insert(e.name); });
    return names;
}

TEST(SaveSettingsOnDisk, AFailedWriteKeepsTheOldFileWholeAndIsReported) {
    wintree::TempTree dir("settings");
    Win32FileSystem fs;
    FakeRegistry registry;
    Win32Clock clock;
    FakeMessages messages;
    Settings settings;
    AppContext ctx{fs,     registry,   clock, messages, settings, dir.Path("Larkspire.exe"),
                   "jdoe", dir.Root(), ""};
    const std::string ini = dir.Path("LARKSPIRE.ini");
    const std::string old = "[General]\r\nDataLocation=D:\\Old\r\n";

    struct Case {
        const char* what;
        std::function<void(const std::function<void()>&)> blocked;
    } cases[] = {
        {"another program holds the file",
         [&](const std::function<void()>& save) {
             UniqueFile holder(CreateFileW(Widen(ini).c_str(), GENERIC_READ, 0, nullptr,
                                           OPEN_EXISTING, 0, nullptr));
             ASSERT_TRUE(holder);
             save();
         }},
        {"the file is read-only",
         [&](const std::function<void()>& save) {
             SetFileAttributesW(Widen(ini).c_str(), FILE_ATTRIBUTE_READONLY);
             save();
             SetFileAttributesW(Widen(ini).c_str(), FILE_ATTRIBUTE_NORMAL);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dir.File("LARKSPIRE.ini", old);
        messages.errors.clear();
        settings.DataLocation = "E:\\New";
        bool saved = true;
        c.blocked([&] { saved = SaveSettings(ctx, "0", "0", ""); });
        EXPECT_FALSE(saved);
        EXPECT_EQ(messages.errors, std::vector<std::string>{"Cannot create file " + ini});
        EXPECT_EQ(wintree::ReadAll(ini), old);
        EXPECT_EQ(Names(fs, dir.Root()), std::set<std::string>{"LARKSPIRE.ini"});
        EXPECT_EQ(settings.DataLocation, "E:\\New");
    }

    // Free again, the whole new file replaces the old one.
    ASSERT_TRUE(SaveSettings(ctx, "0", "0", ""));
    EXPECT_EQ(wintree::ReadAll(ini).rfind("[General]\r\nDataLocation=E:\\New\r\n", 0), 0u);
    EXPECT_EQ(Names(fs, dir.Root()), std::set<std::string>{"LARKSPIRE.ini"});
}

}  // namespace
}  // namespace lark
