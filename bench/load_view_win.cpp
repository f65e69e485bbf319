// Loads 100,000 existing files into the "<Last Search>" view and compares the time with one
// bare attribute query per path over the same files.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "config/context.h"
#include "config/settings.h"
#include "platform/win32/encoding_win.h"
#include "platform/win32/messages_win.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/shell_win.h"
#include "views/view_catalogue.h"
#include "views/view_controller.h"

namespace lark {
namespace {

constexpr int kFolders = 100;
constexpr int kFilesPerFolder = 1000;

class QuietHost final : public ViewHost {
  public:
    void SetCaption(std::string_view) override {}
    void SetStatusText(std::string_view text) override { status = text; }
    std::string OpenBoxText() override { return {}; }
    void SetOpenBoxText(std::string_view) override {}
    std::string SearchKeywords() override { return {}; }
    void BeginListUpdate() override {}
    void EndListUpdate() override {}
    void SetListRowCount(size_t) override {}
    void SetListStyle(int) override {}
    void RepaintList() override {}
    void SetBusyCursor(bool) override {}
    void EnableSearchMenu() override {}
    void FillViewSelectors(const ViewCatalogue&) override {}
    void SelectCatalogueName(std::string_view) override {}
    void SelectSelectorText(std::string_view) override {}
    void FillViewsTree(const std::vector<ViewTreeNode>&) override {}
    void FillHistoryTree(const std::vector<HistoryNode>&) override {}
    void OpenSidePanel(std::string_view, bool) override {}
    void CloseSidePanel() override {}
    void SetPanelModes(bool, bool) override {}
    void WaitPumping(uint32_t) override {}
    std::string status;
};

class NoSearch final : public SavedSearchRunner {
  public:
    bool LoadCriteria(std::string_view) override { return false; }
    void SearchIndex(SearchResults&) override {}
};

// The tree is kept between runs; only missing files are written. Sizes and last-write
// times are spread so that the rows differ as a real search's do.
std::vector<std::string> MakeTree(const std::string& root) {
    CreateDirectoryW(WidePath(root).c_str(), nullptr);
    std::vector<std::string> paths;
    paths.reserve(kFolders * kFilesPerFolder);
    for (int f = 0; f < kFolders; ++f) {
        std::string folder = root + "\\folder" + std::to_string(f);
        CreateDirectoryW(WidePath(folder).c_str(), nullptr);
        for (int i = 0; i < kFilesPerFolder; ++i) {
            std::string path = folder + "\\document " + std::to_string(i) + ".txt";
            std::wstring wide = WidePath(path);
            if (GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES) {
                HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
                if (file != INVALID_HANDLE_VALUE) {
                    DWORD written = 0;
                    WriteFile(file, path.data(), DWORD(path.size() * (i % 7)), &written, nullptr);
                    // Somewhere in the five years before 2025, a different second for each file.
                    int64_t seconds = int64_t(f * kFilesPerFolder + i) * 7919 % (5 * 365 * 86400);
                    int64_t ticks = 133800000000000000 - seconds * 10000000;
                    FILETIME writtenAt = {DWORD(ticks), DWORD(ticks >> 32)};
                    SetFileTime(file, nullptr, nullptr, &writtenAt);
                    CloseHandle(file);
                }
            }
            paths.push_back(path);
        }
    }
    return paths;
}

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

int Run() {
    std::string root = TempFolderPathFromSystem() + "\\lark-bench-load-view-2";
    std::printf("preparing %d files under %s ...\n", kFolders * kFilesPerFolder, root.c_str());
    std::vector<std::string> paths = MakeTree(root);
    std::vector<std::wstring> widePaths;
    widePaths.reserve(paths.size());
    for (const auto& p : paths) widePaths.push_back(WidePath(p));

    Win32FileSystem fs;
    Win32Registry registry;
    Win32Clock clock;
    Win32Messages messages;
    Settings settings;
    AppContext ctx{fs,       registry,         clock,   messages,
                   settings, ExecutablePath(), "bench", TempFolderPathFromSystem(),
                   ""};
    QuietHost host;
    Win32ShellServices shell;
    NoSearch search;
    ViewController views(ctx, host, shell, search);
    lark::PathList listed;
    for (const auto& p : paths) listed.push_back(p);
    views.LastSearchResults = std::move(listed);

    double bestBare = 1e9, bestConverting = 1e9, bestLoad = 1e9;
    size_t found = 0;
    for (int round = 0; round < 5; ++round) {
        auto start = std::chrono::steady_clock::now();
        found = 0;
        for (const auto& wide : widePaths) {
            WIN32_FILE_ATTRIBUTE_DATA data;
            if (GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data)) ++found;
        }
        bestBare = std::min(bestBare, Seconds(std::chrono::steady_clock::now() - start));

        // The same query made from the program's own UTF-8 path text.
        start = std::chrono::steady_clock::now();
        for (const auto& path : paths) {
            WIN32_FILE_ATTRIBUTE_DATA data;
            GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &data);
        }
        bestConverting =
            std::min(bestConverting, Seconds(std::chrono::steady_clock::now() - start));

        start = std::chrono::steady_clock::now();
        views.ShowView(kLastSearchView);
        bestLoad = std::min(bestLoad, Seconds(std::chrono::steady_clock::now() - start));
    }
    std::printf("paths:                          %zu (found by the bare queries: %zu)\n",
                paths.size(), found);
    std::printf("view status line:               %s\n", host.status.c_str());
    std::printf("bare attribute queries:         %.3f s (UTF-16 paths prepared beforehand)\n",
                bestBare);
    std::printf("queries from UTF-8 paths:       %.3f s\n", bestConverting);
    std::printf("\"<Last Search>\" view load:      %.3f s (best of 5, sorted newest first)\n",
                bestLoad);
    std::printf("ratio load / bare:              %.2f (goal: at most 1.30)\n", bestLoad / bestBare);
    std::printf("ratio load / UTF-8 queries:     %.2f\n", bestLoad / bestConverting);
    return 0;
}

}  // namespace
}  // namespace lark

int main() {
    return lark::Run();
}
