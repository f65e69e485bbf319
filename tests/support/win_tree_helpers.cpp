#include "support/win_tree_helpers.h"

#include <atomic>
#include <stdexcept>

namespace lark::wintree {

namespace {

std::atomic<int> treeCounter{0};

// Every path goes through its long form, so trees deeper than MAX_PATH can be made.
std::wstring Long(const std::wstring& path) {
    return path.rfind(L"\\\\?\\", 0) == 0 ? path : L"\\\\?\\" + path;
}

void CreateFolders(const std::wstring& path) {
    for (size_t at = path.find(L'\\', 3); at != std::wstring::npos; at = path.find(L'\\', at + 1))
        CreateDirectoryW(Long(path.substr(0, at)).c_str(), nullptr);
    CreateDirectoryW(Long(path).c_str(), nullptr);
}

}  // namespace

TempTree::TempTree(const std::string& tag) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::string base = Narrow(temp);
    if (!base.empty() && base.back() == '\\') base.pop_back();
    root_ = base + "\\lark-" + tag + "-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(GetTickCount()) + "-" + std::to_string(treeCounter++);
    CreateFolders(Widen(root_));
}

TempTree::~TempTree() {
    RemoveTree(Widen(root_));
}

void TempTree::Folder(const std::string& relative) const {
    CreateFolders(Widen(Path(relative)));
}

void TempTree::File(const std::string& relative, const std::string& data, DWORD attributes) const {
    std::wstring path = Long(Widen(Path(relative)));
    CreateFolders(Widen(Path(relative)).substr(0, Widen(Path(relative)).find_last_of(L'\\')));
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create " + Path(relative));
    DWORD written = 0;
    WriteFile(h, data.data(), DWORD(data.size()), &written, nullptr);
    CloseHandle(h);
    if (attributes != FILE_ATTRIBUTE_NORMAL) SetFileAttributesW(path.c_str(), attributes);
}

bool IsWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

std::string UnixPathOf(const std::string& windowsPath) {
    using Fn = char*(CDECL*)(LPCWSTR);
    auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!fn) return std::string();
    char* unix = fn(Widen(windowsPath).c_str());
    if (!unix) return std::string();
    std::string result(unix);
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

bool RunUnix(const std::string& commandLine) {
    std::wstring cmd = L"cmd.exe /c start /wait /unix " + Widen(commandLine);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &si, &pi))
        return false;
    bool done = WaitForSingleObject(pi.hProcess, 30000) == WAIT_OBJECT_0;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return done;
}

bool WaitForPath(const std::string& windowsPath, DWORD limitMs) {
    // "start /wait" does not always outlive the Unix program it ran.
    DWORD start = GetTickCount();
    while (GetFileAttributesW(Widen(windowsPath).c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (GetTickCount() - start > limitMs) return false;
        Sleep(20);
    }
    return true;
}

bool MakeUnixSymlink(const std::string& targetWindowsPath, const std::string& linkWindowsPath) {
    std::string target = UnixPathOf(targetWindowsPath);
    std::string folder = UnixPathOf(linkWindowsPath.substr(0, linkWindowsPath.rfind('\\')));
    if (target.empty() || folder.empty()) return false;
    std::string link = folder + "/" + linkWindowsPath.substr(linkWindowsPath.rfind('\\') + 1);
    if (!RunUnix("/bin/ln -s \"" + target + "\" \"" + link + "\"")) return false;
    return WaitForPath(linkWindowsPath);
}

std::string ReadAll(const std::string& path) {
    HANDLE h = CreateFileW(Widen(path).c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::string();
    std::string data;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0) data.append(buffer, got);
    CloseHandle(h);
    return data;
}

std::string FindFileBelow(const std::string& root, const std::string& name) {
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW(Widen(root + "\\*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return std::string();
    std::string found;
    do {
        std::string entry = Narrow(fd.cFileName);
        if (entry == "." || entry == "..") continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                found = FindFileBelow(root + "\\" + entry, name);
        } else if (entry == name) {
            found = root + "\\" + entry;
        }
    } while (found.empty() && FindNextFileW(find, &fd));
    FindClose(find);
    return found;
}

void RemoveTree(const std::wstring& path) {
    std::wstring longPath = path.rfind(L"\\\\?\\", 0) == 0 ? path : L"\\\\?\\" + path;
    DWORD attributes = GetFileAttributesW(longPath.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        WIN32_FIND_DATAW fd;
        HANDLE find = FindFirstFileW((longPath + L"\\*").c_str(), &fd);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                std::wstring name = fd.cFileName;
                if (name == L"." || name == L"..") continue;
                RemoveTree(longPath + L"\\" + name);
            } while (FindNextFileW(find, &fd));
            FindClose(find);
        }
        RemoveDirectoryW(longPath.c_str());
        return;
    }
    SetFileAttributesW(longPath.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!DeleteFileW(longPath.c_str())) RemoveDirectoryW(longPath.c_str());
}

bool PumpUntil(const std::function<bool()>& done, DWORD limitMs) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done()) return true;
        if (GetTickCount() - start >= limitMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

std::wstring QuoteArgument(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
    return L"\"" + arg + L"\"";
}

}  // namespace lark::wintree
