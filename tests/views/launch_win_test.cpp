#include "views/launch_win.h"

#include "platform/win32/shell_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>

#include "platform/win32/encoding_win.h"
#include "platform/win32/win32_platform.h"
#include "views/launch.h"
#include "ui/help.h"

namespace lark {
namespace {

struct RecordingShell final : ShellExecutor {
    intptr_t Execute(const ShellRequest& r) override {
        calls.push_back(r.verb + "|" + r.target + "|" + r.folder);
        return 33;
    }
    std::vector<std::string> calls;
};

// Real files, so that the existence tests and the ";" inside a name meet the real file system.
class LaunchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH + 1];
        GetTempPathW(MAX_PATH + 1, temp);
        root_ = std::filesystem::path(temp) /
                ("lark-launch-" + std::to_string(GetCurrentProcessId()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_ / "Docs");
        for (const char* name : {"a.txt", "b.doc", "semi;colon.txt"}) {
            std::ofstream(root_ / "Docs" / name) << "x";
        }
        docs_ = Narrow((root_ / "Docs").wstring());
        host_.hideWindow = [this] { ++hides_; };
        host_.markLaunch = [this] { ++marks_; };
        host_.addToRecentDocuments = [this](const std::string& p) { recent_.push_back(p); };
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    std::string Doc(const char* name) { return docs_ + "\\" + name; }

    std::filesystem::path root_;
    std::string docs_;
    Win32FileSystem fs_;
    RecordingShell shell_;
    LaunchHost host_{shell_, fs_};
    std::vector<std::string> recent_;
    int hides_ = 0;
    int marks_ = 0;
};

TEST_F(LaunchTest, OpensEveryEntryOnTheRealFileSystem) {
    std::string box = Doc("a.txt") + "; \"" + Doc("semi;colon.txt") + "\";" + Doc("gone.txt") +
                      ";" + Doc("b.doc");
    LaunchOpenBox(host_, "open", box);
    EXPECT_EQ(shell_.calls, (std::vector<std::string>{
                                "open|" + Doc("a.txt") + "|" + docs_,
                                "open|" + Doc("semi;colon.txt") + "|" + docs_,
                                "open|" + Doc("b.doc") + "|" + docs_,
                            }));
    EXPECT_EQ(recent_,
              (std::vector<std::string>{Doc("a.txt"), Doc("semi;colon.txt"), Doc("b.doc")}));
    EXPECT_EQ(marks_, 6);
    EXPECT_EQ(hides_, 1);
}

TEST(Help, PagesShipBesideTheProgram) {
    std::string exe = Narrow(std::filesystem::path(LARKSPIRE_EXE_UNIX_PATH).wstring());
    // Under Wine the Unix path is reached through the Z: drive.
    std::string exeWindows = "Z:" + exe;
    for (char& ch : exeWindows) {
        if (ch == '/') ch = '\\';
    }
    Win32FileSystem fs;
    for (int topic : {kHelpTopicOverview, kHelpTopicQueries, kHelpTopicViews, kHelpTopicCommands}) {
        EXPECT_TRUE(fs.IsFile(HelpPagePath(exeWindows, topic))) << HelpPagePath(exeWindows, topic);
    }
}

}  // namespace
}  // namespace lark
