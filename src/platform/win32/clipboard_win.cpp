#include "platform/win32/clipboard_win.h"

#include <cstring>

#include "platform/win32/encoding_win.h"
#include "platform/win32/handles_win.h"

namespace lark {
namespace {

// Another program may hold the clipboard open for a moment (a clipboard manager reading
// what was just put there).
constexpr int kOpenAttempts = 50;
constexpr DWORD kOpenRetryMs = 10;

bool OpenClipboardWaiting(HWND owner) {
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        if (OpenClipboard(owner)) return true;
        Sleep(kOpenRetryMs);
    }
    return false;
}

}  // namespace

bool SetClipboardText(HWND owner, std::string_view text) {
    const std::wstring wide = Widen(text);
    const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    UniqueGlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory) return false;
    void* data = GlobalLock(memory.Get());
    if (!data) return false;
    std::memcpy(data, wide.c_str(), bytes);
    GlobalUnlock(memory.Get());
    if (!OpenClipboardWaiting(owner)) return false;
    bool placed = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, memory.Get());
    // The clipboard owns the memory once it took it.
    if (placed) memory.Release();
    CloseClipboard();
    return placed;
}

std::optional<std::string> ClipboardText() {
    if (!OpenClipboardWaiting(nullptr)) return std::nullopt;
    std::optional<std::string> text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = Narrow(chars);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

}  // namespace lark
