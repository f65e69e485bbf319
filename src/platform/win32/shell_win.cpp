#include "platform/win32/shell_win.h"

#include <windows.h>
// After windows.h, which they need.
#include <shellapi.h>
#include <shlobj.h>

#include "platform/win32/encoding_win.h"
#include "platform/win32/win32_platform.h"

namespace lark {

// The shell takes neither the long-path form nor a path of MAX_PATH characters or more. The
// short form of the folder names the same place and usually fits; the name itself stays long,
// since its short form cuts the extension that picks the program. Anything else (a web
// address, a program name, a folder without a short form) goes as it is.
static std::wstring ShortFolderForm(std::string_view folder) {
    const std::wstring longForm = WidePath(folder);
    std::wstring shortForm(longForm.size() + 1, L'\0');
    DWORD n = GetShortPathNameW(longForm.c_str(), shortForm.data(), DWORD(shortForm.size()));
    if (n == 0 || n >= shortForm.size()) return std::wstring();
    shortForm.resize(n);
    if (shortForm.rfind(L"\\\\?\\UNC\\", 0) == 0)
        shortForm = L"\\\\" + shortForm.substr(8);
    else if (shortForm.rfind(L"\\\\?\\", 0) == 0)
        shortForm.erase(0, 4);
    return shortForm;
}

static std::wstring ShellPath(std::string_view path) {
    std::wstring wide = Widen(path);
    if (wide.size() < MAX_PATH) return wide;
    const size_t slash = path.find_last_of('\\');
    if (slash == std::string_view::npos) return wide;
    std::wstring folder = ShortFolderForm(path.substr(0, slash));
    if (folder.empty()) return wide;
    std::wstring shorter = folder + L"\\" + Widen(path.substr(slash + 1));
    return shorter.size() < MAX_PATH ? shorter : wide;
}

intptr_t Win32ShellExecutor::Execute(const ShellRequest& request) {
    std::wstring verb = Widen(request.verb);
    std::wstring target = ShellPath(request.target);
    std::wstring params = Widen(request.params);
    std::wstring folder = ShellPath(request.folder);
    HINSTANCE result = ShellExecuteW(
        static_cast<HWND>(request.owner), verb.empty() ? nullptr : verb.c_str(), target.c_str(),
        params.empty() ? nullptr : params.c_str(), folder.empty() ? nullptr : folder.c_str(),
        request.show == ShellShow::Show ? SW_SHOW : SW_SHOWNORMAL);
    return reinterpret_cast<intptr_t>(result);
}


std::string Win32ShellServices::AssociatedProgram(std::string_view documentPath) {
    wchar_t result[MAX_PATH + 1] = {};
    HINSTANCE found = ::FindExecutableW(WidePath(documentPath).c_str(), nullptr, result);
    if (reinterpret_cast<INT_PTR>(found) <= 32) return std::string();
    return Narrow(result);
}

std::string Win32ShellServices::FindOnSearchPath(std::string_view programName) {
    if (programName.empty()) return std::string();
    wchar_t result[500] = {};
    DWORD length = SearchPathW(nullptr, Widen(programName).c_str(), nullptr, 500, result, nullptr);
    if (length == 0 || length >= 500) return std::string();
    return Narrow(std::wstring_view(result, length));
}

void Win32ShellServices::AddToRecentDocs(std::string_view path) {
    std::wstring wide = Widen(path);
    SHAddToRecentDocs(SHARD_PATHW, wide.c_str());
}

}  // namespace lark
