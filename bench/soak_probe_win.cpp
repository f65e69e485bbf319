// The resident program through many rebuild cycles with file churn, watched from this
// process: open handles, GDI and USER objects, working set, private bytes and threads at the
// start and at the end. The first sample is the reference the last is compared with.
//   bench_soak_probe_win.exe LARKSPIRE_EXE WORK_FOLDER [CYCLES]
#include <windows.h>
// needs the types of windows.h
#include <psapi.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <string>

namespace {

struct Sample {
    DWORD handles = 0, gdi = 0, user = 0, threads = 0;
    SIZE_T workingSet = 0, privateBytes = 0, pagefile = 0;
    bool handlesKnown = false;
};

DWORD ThreadsOf(DWORD pid) {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snap == INVALID_HANDLE_VALUE) return 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    DWORD count = 0;
    for (BOOL more = Thread32First(snap, &entry); more; more = Thread32Next(snap, &entry))
        count += entry.th32OwnerProcessID == pid;
    CloseHandle(snap);
    return count;
}

Sample Take(HANDLE process, DWORD pid) {
    Sample s;
    s.handlesKnown = GetProcessHandleCount(process, &s.handles) != FALSE;
    s.gdi = GetGuiResources(process, GR_GDIOBJECTS);
    s.user = GetGuiResources(process, GR_USEROBJECTS);
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                             sizeof memory)) {
        s.workingSet = memory.WorkingSetSize;
        s.privateBytes = memory.PrivateUsage;
        s.pagefile = memory.PagefileUsage;
    }
    s.threads = ThreadsOf(pid);
    return s;
}

std::string ReadText(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string text;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got) text.append(buffer, got);
    CloseHandle(file);
    return text;
}

void WriteText(const std::wstring& path, const std::string& text) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr);
    CloseHandle(file);
}

std::wstring FindBelow(const std::wstring& folder, const std::wstring& name) {
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return {};
    std::wstring found;
    do {
        std::wstring entry = fd.cFileName;
        if (entry == L"." || entry == L"..") continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            found = FindBelow(folder + L"\\" + entry, name);
        else if (_wcsicmp(entry.c_str(), name.c_str()) == 0)
            found = folder + L"\\" + entry;
    } while (found.empty() && FindNextFileW(find, &fd));
    FindClose(find);
    return found;
}

// Waits until the index exists and holds the line, as its last build wrote it.
bool WaitForIndexLine(const std::wstring& data, const std::string& line, DWORD limitMs,
                      std::wstring& index) {
    const ULONGLONG end = GetTickCount64() + limitMs;
    while (GetTickCount64() < end) {
        if (index.empty()) index = FindBelow(data, L"All files.idx");
        if (!index.empty() && ReadText(index).find("\r\n" + line + "\r\n") != std::string::npos)
            return true;
        Sleep(100);
    }
    return false;
}

HWND MainWindowOf(DWORD pid) {
    for (HWND w = FindWindowExW(nullptr, nullptr, L"TfmOpen", nullptr); w;
         w = FindWindowExW(nullptr, w, L"TfmOpen", nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == pid) return w;
    }
    return nullptr;
}

void Row(const char* what, double start, double end, const char* unit) {
    std::printf("%-18s %14.0f %14.0f %+14.0f %9.3f  %s\n", what, start, end, end - start,
                start > 0 ? end / start : 0.0, unit);
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_soak_probe_win LARKSPIRE_EXE WORK_FOLDER [CYCLES]\n");
        return 2;
    }
    const std::wstring built = argv[1], work = argv[2];
    const int cycles = argc > 3 ? _wtoi(argv[3]) : 200;
    const std::wstring docs = work + L"\\docs", data = work + L"\\data";
    const std::wstring exe = work + L"\\Larkspire.exe";
    CreateDirectoryW(work.c_str(), nullptr);
    CreateDirectoryW(docs.c_str(), nullptr);
    if (!CopyFileW(built.c_str(), exe.c_str(), FALSE)) {
        std::fprintf(stderr, "cannot copy the program (%lu)\n", GetLastError());
        return 1;
    }
    for (int i = 0; i < 200; ++i) {
        std::wstring folder = docs + L"\\folder" + std::to_wstring(i % 10);
        CreateDirectoryW(folder.c_str(), nullptr);
        WriteText(folder + L"\\document " + std::to_wstring(i) + L".txt", "x");
    }
    auto narrow = [](const std::wstring& w) {
        std::string s(
            size_t(WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr)),
            '\0');
        WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, s.data(), int(s.size()), nullptr, nullptr);
        s.pop_back();
        return s;
    };
    // Refresh on change: every churn is seen by the watcher, which asks for the next build.
    WriteText(work + L"\\LARKSPIRE.ini",
              "[General]\r\nDataLocation=" + narrow(data) +
                  "\r\nRefreshFixedSchedule=F\r\nRefreshMinutes=0\r\n\r\n[Domain.<Default>]\r\n"
                  "Include=" +
                  narrow(docs) + "\r\n");

    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::wstring command = L"\"" + exe + L"\"";
    if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        work.c_str(), &si, &pi)) {
        std::fprintf(stderr, "cannot start the program (%lu)\n", GetLastError());
        return 1;
    }
    std::wstring index;
    int failures = 0;
    WriteText(docs + L"\\churn-0.txt", "x");
    if (!WaitForIndexLine(data, "churn-0.txt", 60000, index)) {
        std::fprintf(stderr, "the first build never listed the churn file\n");
        TerminateProcess(pi.hProcess, 1);
        return 1;
    }
    Sleep(2000);  // start-up's one-off work settles
    const Sample start = Take(pi.hProcess, pi.dwProcessId);
    const ULONGLONG began = GetTickCount64();
    int done = 0, nudges = 0;
    for (int i = 1; i <= cycles; ++i) {
        // Churn in the watched folder itself (Wine's watch is not recursive): a new file, one
        // renamed, one deleted, one rewritten in a subfolder.
        WriteText(docs + L"\\folder" + std::to_wstring(i % 10) + L"\\rewritten.txt",
                  std::string(size_t(i % 7) * 100, 'y'));
        const std::wstring previous = docs + L"\\churn-" + std::to_wstring(i - 1) + L".txt";
        const std::wstring moved = docs + L"\\moved-" + std::to_wstring(i - 1) + L".txt";
        MoveFileW(previous.c_str(), moved.c_str());
        if (i >= 2) DeleteFileW((docs + L"\\moved-" + std::to_wstring(i - 2) + L".txt").c_str());
        WriteText(docs + L"\\churn-" + std::to_wstring(i) + L".txt", "x");
        // A change made after the walk passed its folder but before the next watch was armed
        // is seen by no one; another change then brings the build.
        bool listed = false;
        for (int attempt = 0; attempt < 4 && !listed; ++attempt) {
            listed = WaitForIndexLine(data, "churn-" + std::to_string(i) + ".txt", 15000, index);
            if (!listed) {
                ++nudges;
                WriteText(docs + L"\\nudge-" + std::to_wstring(nudges) + L".txt", "x");
                DeleteFileW((docs + L"\\nudge-" + std::to_wstring(nudges - 1) + L".txt").c_str());
            }
        }
        if (!listed) {
            std::fprintf(stderr, "cycle %d: no build listed the churn within 60 s\n", i);
            ++failures;
            break;
        }
        ++done;
        Sleep(500);  // the finished build arms its watcher
        if (i % 10 == 0 || i == cycles)
            std::printf("cycle %d of %d, %.1f s\n", i, cycles, (GetTickCount64() - began) / 1000.0);
        std::fflush(stdout);
    }
    Sleep(5000);  // the last watcher's settling wait and any build it asks for
    const Sample end = Take(pi.hProcess, pi.dwProcessId);
    const bool alive = WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT;

    std::printf(
        "\n%d of %d rebuild cycles in %.1f s (%d changes missed between a build and its "
        "watch, nudged by another); program %s\n",
        done, cycles, (GetTickCount64() - began) / 1000.0, nudges,
        alive ? "still running" : "GONE");
    std::printf("%-18s %14s %14s %14s %9s\n", "", "start", "end", "change", "end/start");
    if (start.handlesKnown && end.handlesKnown)
        Row("handles", start.handles, end.handles, "GetProcessHandleCount");
    else
        std::printf("%-18s %14s %14s %14s %9s  %s\n", "handles", "n/a", "n/a", "", "",
                    "GetProcessHandleCount failed");
    Row("GDI objects", start.gdi, end.gdi, "GetGuiResources");
    Row("USER objects", start.user, end.user, "GetGuiResources");
    Row("working set KB", double(start.workingSet / 1024), double(end.workingSet / 1024),
        "GetProcessMemoryInfo");
    Row("private KB", double(start.privateBytes / 1024), double(end.privateBytes / 1024),
        "GetProcessMemoryInfo");
    Row("pagefile KB", double(start.pagefile / 1024), double(end.pagefile / 1024),
        "GetProcessMemoryInfo");
    Row("threads", start.threads, end.threads, "Toolhelp snapshot");

    if (HWND main = MainWindowOf(pi.dwProcessId))
        PostMessageW(main, WM_USER + 1, 2, LPARAM(-1));  // the instance command "exit"
    if (WaitForSingleObject(pi.hProcess, 15000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return alive && failures == 0 ? 0 : 1;
}
