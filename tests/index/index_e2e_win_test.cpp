// The real program indexing a whole drive from a program folder that is not its root.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>

#include "index/index_format.h"
#include "platform/win32/encoding_win.h"
#include "support/win_tree_helpers.h"

namespace lark {

namespace fs = std::filesystem;

TEST(IndexEndToEnd, ADriveRootIncludeIndexesTheRootFromAnyProgramFolder) {
    wintree::TempTree tree("e2eroot");
    const fs::path folder = fs::path(Widen(tree.Path("Program")));
    fs::create_directories(folder);
    std::string exe = LARKSPIRE_EXE_UNIX_PATH;
    for (char& c : exe)
        if (c == '/') c = '\\';
    fs::copy_file(fs::path(Widen("Z:" + exe)), folder / "Larkspire.exe");
    const std::string data = tree.Path("LarkspireData");
    std::ofstream(folder / "LARKSPIRE.ini", std::ios::binary)
        << "[General]\r\nDataLocation=" << data
        << "\r\nRefreshFixedSchedule=F\r\nRefreshMinutes=0\r\n\r\n[Domain.<Default>]\r\n"
           "Include=C:\\\r\n";
    ASSERT_EQ(tree.Root().substr(0, 3), "C:\\") << "the program folder must lie on C:";

    // Started in its own folder, where "C:" alone would lead. The program hands its command
    // line to another instance and ends when one is running (another test's, in this Wine
    // prefix): it is started again once that one has gone.
    const std::string index = data + "\\All Users\\All files.idx";
    bool built = false;
    for (int attempt = 0; attempt < 5 && !built; ++attempt) {
        for (int i = 0; i < 600 && FindWindowW(L"TfmOpen", nullptr); ++i) Sleep(100);
        std::wstring commandLine = L"\"" + (folder / "Larkspire.exe").wstring() + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi{};
        ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   folder.c_str(), &si, &pi));
        // The log line is written by the build's finishing step, after the index is complete.
        for (int i = 0; i < 1200 && !built; ++i) {
            built =
                GetFileAttributesW(Widen(BuildLogPath(index)).c_str()) != INVALID_FILE_ATTRIBUTES;
            if (!built && WaitForSingleObject(pi.hProcess, 100) == WAIT_OBJECT_0) break;
        }
        TerminateProcess(pi.hProcess, 0);
        WaitForSingleObject(pi.hProcess, 5000);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    ASSERT_TRUE(built);

    const std::string text = wintree::ReadAll(index);
    EXPECT_EQ(text.rfind("C:\\;::\r\nC:\\\r\n", 0), 0u) << text.substr(0, 200);
    EXPECT_NE(text.find("\r\nC:\\windows\\\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n" + Narrow(folder.wstring()) + "\\\r\n"), std::string::npos)
        << "the program folder has its own folder line";
}

}  // namespace lark
