#include "config/data_paths.h"

#include <gtest/gtest.h>

#include "support/test_app.h"

namespace lark {
namespace {

TEST(UserDataFolder, FirstApplicableRuleWins) {
    struct Case {
        const char* location;
        std::vector<const char*> folders;  // folders that exist
        const char* user;
        const char* expected;
    } cases[] = {
        {"D:\\LarkspireData", {}, "jdoe", "D:\\LarkspireData\\jdoe\\"},
        {"C:\\ProgramData\\larkspire",
         {"C:\\ProgramData\\larkspire\\jdoe\\Application Data"},
         "jdoe",
         "C:\\ProgramData\\larkspire\\jdoe\\"},
        {"C:\\Documents and Settings",
         {},
         "jdoe",
         "C:\\Documents and Settings\\jdoe\\Application Data\\Larkspire\\"},
        {"c:\\DOCUMENTS and settings",
         {},
         "All Users",
         "c:\\DOCUMENTS and settings\\All Users\\Application Data\\Larkspire\\"},
        {"E:\\Home",
         {"E:\\Home\\jdoe\\Application Data"},
         "jdoe",
         "E:\\Home\\jdoe\\Application Data\\Larkspire\\"},
        {"E:\\Home", {"E:\\Home\\jdoe"}, "jdoe", "E:\\Home\\jdoe\\Larkspire\\"},
        {"E:\\Home", {"E:\\Home\\someone"}, "jdoe", "E:\\Home\\Larkspire\\jdoe\\"},
        {"E:\\Home", {}, "All Users", "E:\\Home\\Larkspire\\All Users\\"},
        // A drive root picked as the location, and an empty one (read back as the default).
        {"F:\\", {}, "jdoe", "F:\\Larkspire\\jdoe\\"},
        {"", {}, "jdoe", "C:\\Documents and Settings\\jdoe\\Application Data\\Larkspire\\"},
    };
    for (const auto& c : cases) {
        TestApp app;
        for (const char* folder : c.folders) app.fs.AddFolder(folder);
        app.settings.DataLocation = c.location;
        EXPECT_EQ(UserDataFolder(app.ctx, c.user), c.expected) << c.location << " " << c.user;
    }
}

TEST(DataPaths, NamedFilesFollowTheLocationAtEveryUse) {
    TestApp app;
    app.settings.DataLocation = "C:\\ProgramData\\Larkspire";
    const std::string mine = "C:\\ProgramData\\Larkspire\\jdoe\\";
    const std::string shared = "C:\\ProgramData\\Larkspire\\All Users\\";
    EXPECT_EQ(IndexFilePath(app.ctx), shared + "All files.idx");
    EXPECT_EQ(RecentFilesPath(app.ctx, "mary"),
              "C:\\ProgramData\\Larkspire\\mary\\Recent files.idx");
    EXPECT_EQ(MyRecentFilesPath(app.ctx), mine + "Recent files.idx");
    EXPECT_EQ(LastSearchPath(app.ctx), mine + "Last Search.idx");
    EXPECT_EQ(MyTemplateFolder(app.ctx), mine + "Template");
    EXPECT_EQ(SharedTemplateFolder(app.ctx), shared + "Template");
    EXPECT_EQ(MySearchesFolder(app.ctx), mine + "Searches");
    EXPECT_EQ(SharedSearchesFolder(app.ctx), shared + "Searches");
    EXPECT_EQ(ReplaceLogPath(app.ctx), mine + "Larkspire.log");
    EXPECT_EQ(LastCriteriaFile(app.ctx), mine + "Search.lks");
    EXPECT_EQ(KeywordHistoryFile(app.ctx), mine + "Keywords.txt");
    EXPECT_EQ(SettingsFilePath(app.ctx), TestApp::kIniPath);
    EXPECT_EQ(IndexLogPath(app.ctx), shared + "larkspire.log");
    EXPECT_EQ(RecentFolderPath(app.ctx), "C:\\Users\\jdoe\\Recent");
    EXPECT_EQ(UseLastSearchFile(app.ctx), "C:\\Temp\\~mrlist.txt");

    app.settings.DataLocation = "D:\\Shared";
    EXPECT_EQ(IndexFilePath(app.ctx), "D:\\Shared\\Larkspire\\All Users\\All files.idx");
}

TEST(DataPaths, RecentMarkerReplacesTheExtension) {
    struct Case {
        const char* exe;
        const char* marker;
    } cases[] = {
        {"C:\\Program Files\\Larkspire\\Larkspire.exe",
         "C:\\Program Files\\Larkspire\\Larkspire.lks"},
        {"C:\\v1.2\\Larkspire", "C:\\v1.2\\Larkspire.lks"},
        {"C:\\Tools\\lark.old.exe", "C:\\Tools\\lark.old.lks"},
    };
    for (const auto& c : cases) {
        TestApp app;
        app.ctx.exePath = c.exe;
        EXPECT_EQ(RecentMarkerFile(app.ctx), c.marker);
    }
}

}  // namespace
}  // namespace lark
