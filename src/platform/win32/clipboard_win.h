#pragma once
// The clipboard as text.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace lark {

// Replaces the clipboard's content with text, as Unicode text (Windows offers it to programs
// that read ANSI text too). owner: a window of this process, which becomes the clipboard's
// owner. Waits a little while another program holds the clipboard open; false when it could
// not be had or the text not put on it.
bool SetClipboardText(HWND owner, std::string_view text);

// The clipboard's Unicode text; nothing when it holds none or cannot be opened.
std::optional<std::string> ClipboardText();

}  // namespace lark
