#include "config/win32_app_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "base/text.h"

namespace lark {
namespace {

TEST(Win32App, ContextDescribesThisProcess) {
    Win32App app;
    AppContext& ctx = app.Context();
    EXPECT_EQ(&ctx.settings, &app.AppSettings());
    EXPECT_EQ(&ctx.messages, &app.MessageBoxes());
    EXPECT_TRUE(EndsWithIgnoringCase(ctx.exePath, "config_win_tests.exe")) << ctx.exePath;
    EXPECT_TRUE(ctx.fs.IsFile(ctx.exePath));
    EXPECT_FALSE(ctx.userName.empty());
    EXPECT_EQ(ctx.userName, UserLoginName());
    EXPECT_TRUE(ctx.fs.IsFolder(ctx.tempFolder)) << ctx.tempFolder;
    EXPECT_NE(ctx.tempFolder.back(), '\\');
    EXPECT_FALSE(ctx.recentFolder.empty());
    EXPECT_EQ(ctx.settings.CurrentSearchSet, nullptr);
    EXPECT_EQ(ctx.settings.DataLocation, "C:\\Documents and Settings");
}

}  // namespace
}  // namespace lark
