// One text search or search-and-replace run over every file of a folder, as the program
// runs it: the engine on the real disk, its lines in the activity window, the window's
// messages processed as it goes. bench/replace.sh runs it beside grep and sed.
//   bench_replace_run_win --program Larkspire.exe --folder DIR --mode search|dry|write
//                         --pairs "a~b|c~d" (~ for TAB) [--log FILE] [--show yes]
#include <windows.h>
// needs windows.h first
#include <shellapi.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "config/context.h"
#include "config/settings.h"
#include "platform/win32/encoding_win.h"
#include "platform/win32/messages_win.h"
#include "platform/win32/win32_platform.h"
#include "replace/replace_window_win.h"
#include "search/criteria.h"
#include "ui/message_pump_win.h"

namespace lark {
namespace {

void ListFiles(const std::string& folder, std::vector<std::string>& paths) {
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW(WidePath(folder + "\\*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        std::string name = Narrow(fd.cFileName);
        if (name == "." || name == "..") continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ListFiles(folder + "\\" + name, paths);
        } else {
            paths.push_back(folder + "\\" + name);
        }
    } while (FindNextFileW(find, &fd));
    FindClose(find);
}

int Main(int argc, wchar_t** argv) {
    std::string program, folder, mode = "search", pairs, log, show = "no";
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string key = Narrow(argv[i]), value = Narrow(argv[i + 1]);
        if (key == "--program") program = value;
        if (key == "--folder") folder = value;
        if (key == "--mode") mode = value;
        if (key == "--pairs") pairs = value;
        if (key == "--log") log = value;
        if (key == "--show") show = value;
    }
    if (program.empty() || folder.empty() || pairs.empty()) {
        std::fprintf(stderr,
                     "usage: --program EXE --folder DIR --mode search|dry|write --pairs P\n");
        return 2;
    }
    HINSTANCE resources = LoadLibraryExW(Widen(program).c_str(), nullptr,
                                         LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    Win32FileSystem fs;
    Win32Registry registry;
    Win32Clock clock;
    Win32Messages messages;
    Settings settings;
    AppContext ctx{fs, registry, clock, messages, settings, program, "bench", "", ""};
    TfmReplace window(registry, resources);
    if (!window.Create(nullptr)) {
        std::fprintf(stderr, "the activity window could not be created from %s\n", program.c_str());
        return 1;
    }

    SearchCriteria criteria;
    criteria.Logfile = log;
    criteria.Replace = mode == "write";
    // "Show Logfile" is off unless asked for, as after typing under "Containing text... ".
    criteria.ShowLog = show == "yes";
    if (criteria.ShowLog) {
        // The program has drawn its windows long before a run: the first drawing of this
        // process (fonts and all) is not the run's.
        window.ShowActivity();
        UpdateWindow(window.Handle());
        PumpWaitingMessages();
    }
    for (size_t start = 0; start <= pairs.size();) {
        size_t end = pairs.find('|', start);
        if (end == std::string::npos) end = pairs.size();
        std::string pair = pairs.substr(start, end - start);
        for (char& ch : pair)
            if (ch == '~') ch = '\t';
        criteria.SearchReplaceLines.push_back(pair);
        start = end + 1;
    }
    std::vector<std::string> paths;
    ListFiles(folder, paths);
    uint64_t bytes = 0;
    for (const std::string& path : paths) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &data))
            bytes += (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }

    std::vector<std::string> found = paths;
    WindowReplaceHost::MainWindowParts parts;
    parts.searchIndex = [] {};
    parts.foundFiles = [&] { return found; };
    parts.setFoundFiles = [&](std::vector<std::string> result) { found = std::move(result); };
    parts.showProgressStrip = [](int32_t, std::string_view) {};
    parts.advanceProgress = [](int32_t) {};
    parts.hideProgress = [] {};

    const auto start = std::chrono::steady_clock::now();
    RunSearchReplaceInWindows(ctx, criteria, window, std::move(parts), mode == "search");
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    const std::string memo = window.StatusText();
    size_t lines = 1;
    for (char ch : memo) lines += ch == '\n';
    std::printf("files: %zu\nbytes: %llu\nms: %.1f\nMBps: %.1f\nreported: %zu\nstatus-lines: %zu\n",
                paths.size(), static_cast<unsigned long long>(bytes), ms,
                bytes / 1048576.0 / (ms / 1000.0), found.size(), lines);
    return 0;
}

}  // namespace
}  // namespace lark

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    return lark::Main(argc, argv);
}
