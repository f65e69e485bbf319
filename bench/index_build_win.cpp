// Index build speed against a bare directory walk over the same generated tree, and the
// builder's peak working set for two tree sizes.
//   bench_index_build_win [work folder]
#include <windows.h>
// needs the types of windows.h
#include <psapi.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "index/index_format.h"
#include "index/index_walk_win.h"
#include "platform/win32/encoding_win.h"

using namespace lark;

namespace {

constexpr int kFilesPerFolder = 10;

double Seconds(LARGE_INTEGER a, LARGE_INTEGER b) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return double(b.QuadPart - a.QuadPart) / double(f.QuadPart);
}

// folders leaf folders in groups of 1000, kFilesPerFolder files each; made once and kept.
std::wstring MakeTree(const std::wstring& work, int folders) {
    std::wstring root = work + L"\\tree" + std::to_wstring(folders);
    std::wstring done = root + L".ready";
    if (GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES) return root;
    std::printf("generating %d files in %d folders...\n", folders * kFilesPerFolder, folders);
    CreateDirectoryW(work.c_str(), nullptr);
    CreateDirectoryW(root.c_str(), nullptr);
    for (int i = 0; i < folders; ++i) {
        std::wstring group = root + L"\\group" + std::to_wstring(i / 1000);
        if (i % 1000 == 0) CreateDirectoryW(group.c_str(), nullptr);
        std::wstring folder = group + L"\\folder" + std::to_wstring(i);
        CreateDirectoryW(folder.c_str(), nullptr);
        for (int j = 0; j < kFilesPerFolder; ++j) {
            std::wstring file = folder + L"\\document number " + std::to_wstring(j) + L".txt";
            HANDLE h =
                CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        }
    }
    HANDLE h = CreateFileW(done.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    return root;
}

long long BareWalk(const std::wstring& folder) {
    long long files = 0;
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &fd,
                                   FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) return 0;
    do {
        const wchar_t* n = fd.cFileName;
        if (n[0] == L'.' && (n[1] == 0 || (n[1] == L'.' && n[2] == 0))) continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            files += BareWalk(folder + L"\\" + n);
        else
            ++files;
    } while (FindNextFileW(find, &fd));
    FindClose(find);
    return files;
}

class FileSink final : public ByteSink {
  public:
    explicit FileSink(HANDLE h) : h_(h) {}
    bool Write(const char* data, size_t size) override {
        DWORD written = 0;
        return WriteFile(h_, data, DWORD(size), &written, nullptr) && written == size;
    }

  private:
    HANDLE h_;
};

long long Build(const std::wstring& root, const std::wstring& indexPath) {
    HANDLE h =
        CreateFileW(indexPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) return -1;
    FileSink sink(h);
    IndexWriter writer(sink);
    WalkResult r = WriteIndex(writer, Narrow(root) + ";", "");
    CloseHandle(h);
    return r.writeFailed ? -1 : r.fileCount;
}

// In a child process of its own, so the peak belongs to the build alone.
size_t BuilderPeakInChild(const std::wstring& root, const std::wstring& indexPath) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring cmd =
        L"\"" + std::wstring(self) + L"\" --build-only \"" + root + L"\" \"" + indexPath + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return 0;
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD peakKb = 0;
    GetExitCodeProcess(pi.hProcess, &peakKb);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return size_t(peakKb) * 1024;
}

void Measure(const std::wstring& work, int folders) {
    std::wstring root = MakeTree(work, folders);
    std::wstring indexPath = work + L"\\All files " + std::to_wstring(folders) + L".idx";
    BareWalk(root);  // both runs start from a warm cache
    double bareBest = 1e9, buildBest = 1e9;
    long long bareFiles = 0, builtFiles = 0;
    for (int round = 0; round < 3; ++round) {
        LARGE_INTEGER a, b, c;
        QueryPerformanceCounter(&a);
        bareFiles = BareWalk(root);
        QueryPerformanceCounter(&b);
        builtFiles = Build(root, indexPath);
        QueryPerformanceCounter(&c);
        if (Seconds(a, b) < bareBest) bareBest = Seconds(a, b);
        if (Seconds(b, c) < buildBest) buildBest = Seconds(b, c);
    }
    size_t childPeak = BuilderPeakInChild(root, indexPath);
    std::printf("%lld files, %d folders\n", bareFiles, folders);
    std::printf("  bare walk  %10.0f files/s (%.3f s)\n", double(bareFiles) / bareBest, bareBest);
    std::printf("  builder    %10.0f files/s (%.3f s, %lld files indexed)\n",
                double(builtFiles) / buildBest, buildBest, builtFiles);
    std::printf("  builder time / bare walk time: %.3f\n", buildBest / bareBest);
    std::printf("  builder peak working set: %.1f MB\n", double(childPeak) / (1024.0 * 1024.0));
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc == 4 && std::wstring(argv[1]) == L"--build-only") {
        Build(argv[2], argv[3]);
        PROCESS_MEMORY_COUNTERS pmc{};
        pmc.cb = sizeof pmc;
        GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
        return int(pmc.PeakWorkingSetSize / 1024);  // in KB, through the exit code
    }
    std::wstring work;
    if (argc > 1) {
        work = argv[1];
    } else {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        work = std::wstring(temp) + L"larkspire-bench";
    }
    Measure(work, 5000);
    Measure(work, 20000);
    std::printf("(peak working set of a process that only builds; compare the two sizes)\n");
    return 0;
}
