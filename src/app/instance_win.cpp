#include "app/instance_win.h"

#include <shellapi.h>
#include <shlobj.h>

#include "app/command_line.h"
#include "base/text.h"
#include "base/wildcard.h"
#include "config/registry_helpers.h"
#include "platform/win32/encoding_win.h"

namespace lark {

namespace {

// Top-level windows in Z order. The shell's desktop window is looked up once; walking
// from the first of its siblings covers every top-level window.
HWND FirstTopLevelWindow() {
    static HWND progman = FindWindowW(L"ProgMan", L"Program Manager");
    HWND first = progman ? GetWindow(progman, GW_HWNDFIRST) : nullptr;
    return first ? first : GetTopWindow(nullptr);
}

DWORD ProcessOf(HWND hwnd) {
    DWORD pid = 0;
    if (hwnd) GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

std::wstring CaptionOf(HWND hwnd) {
    int length = GetWindowTextLengthW(hwnd);
    if (length <= 0) return std::wstring();
    std::wstring caption(size_t(length) + 1, L'\0');
    int got = GetWindowTextW(hwnd, caption.data(), length + 1);
    caption.resize(size_t(got > 0 ? got : 0));
    return caption;
}

}  // namespace

std::vector<std::string> CommandLineParameters() {
    std::vector<std::string> parameters;
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!args) return parameters;
    for (int i = 0; i < count; ++i) parameters.push_back(Narrow(args[i]));
    LocalFree(args);
    return parameters;
}

HWND FindOtherInstance(HWND ownWindow, std::wstring_view className) {
    DWORD ownProcess = ownWindow ? ProcessOf(ownWindow) : GetCurrentProcessId();
    for (HWND w = FirstTopLevelWindow(); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w == ownWindow || ProcessOf(w) == ownProcess) continue;
        if (GetWindowTextLengthW(w) <= 0) continue;
        wchar_t name[61];
        int got = GetClassNameW(w, name, 61);
        if (got > 0 && std::wstring_view(name, size_t(got)) == className) return w;
    }
    return nullptr;
}

HWND FindWindowByCaption(std::string_view pattern) {
    std::string full(pattern);
    if (full.find('*') == std::string::npos) full += '*';
    for (HWND w = FirstTopLevelWindow(); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (WildcardMatch(Narrow(CaptionOf(w)), full)) return w;
    }
    return nullptr;
}

std::string TakeAtomText(ATOM atom) {
    wchar_t buffer[256];
    UINT got = GlobalGetAtomNameW(atom, buffer, 256);
    std::wstring text(buffer, got);
    if (!text.empty() && text.back() == L'\0') text.pop_back();
    GlobalDeleteAtom(atom);
    return Narrow(text);
}

bool RegisterSearchFileType(Registry& registry, std::string_view exePath) {
    const std::string exe(exePath);
    // The user's own classes: a program run as an ordinary user may not write the machine's,
    // and Windows merges these into HKEY_CLASSES_ROOT for this user.
    const std::string classes = "Software\\Classes\\";
    struct Value {
        const char* key;
        const char* name;
        std::string data;
    } const values[] = {
        {".lks", "", "Larkspire.Search"},
        {".lks", "Content Type", "text/plain"},
        {".lks", "PerceivedType", "text"},
        {"Larkspire.Search", "", "Larkspire Search"},
        {"Larkspire.Search\\DefaultIcon", "", exe + ",0"},
        {"Larkspire.Search\\shell\\open\\command", "", "\"" + exe + "\" \"%1\""},
    };
    bool changed = false;
    for (const Value& v : values) {
        const std::string key = classes + v.key;
        if (registry.Read(RegistryRoot::CurrentUser, key, v.name) == v.data) continue;
        changed |= WriteRegistryString(registry, RegistryRoot::CurrentUser, key, v.name, v.data);
    }
    // Explorer keeps the associations it has read; told nothing, it would go on opening
    // ".lks" files the old way until the next log-on.
    if (changed) SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    return changed;
}

void HandOffToInstance(HWND other, const StartDecision& decision, const std::string& text) {
    if (decision.sendShow) PostMessageW(other, WM_INSTANCE_COMMAND, kInstanceShow, 0);
    if (decision.sendOpen) {
        std::wstring wide = Widen(text);
        if (wide.size() <= kAtomTextLimit) {
            // An empty name makes no atom; the receiver then reads an empty text, which is
            // what an empty "/OPEN" asks for.
            ATOM atom = GlobalAddAtomW(wide.c_str());
            PostMessageW(other, WM_INSTANCE_COMMAND, kInstanceOpen, LPARAM(atom));
        } else {
            COPYDATASTRUCT data{};
            data.dwData = kLongTextCopyId;
            data.cbData = DWORD(text.size());
            data.lpData = const_cast<char*>(text.data());
            DWORD_PTR result = 0;
            SendMessageTimeoutW(other, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                                SMTO_ABORTIFHUNG, 10000, &result);
        }
    } else if (decision.sendExit) {
        PostMessageW(other, WM_INSTANCE_COMMAND, kInstanceExit, LPARAM(-1));
    }
}

}  // namespace lark
