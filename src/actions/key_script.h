#pragma once
// Keystroke scripts: a short text of characters and braced key names ("%{TAB}", "^v",
// "{WAIT 500}", "{PAUSE}") becomes key presses, typed characters, pauses and waits for
// whatever window has the keyboard focus. The parsing is here; key_sender_win does the
// pressing.
//
// The language: a plain character types itself ("A" with Shift); "~" is Enter, "," a pause of
// one millisecond; "+", "^" and "%" hold Shift, Ctrl or Alt around the next key (a later one
// replaces an earlier one); braced names ("{TAB}", "{F5}", "{ESC}" ...) press their key, a
// braced count repeats it ("{TAB 3}") or gives a pause its length ("{WAIT 500}"); a single
// braced character types that character ("{,}", "{~}", "{+}"); "{PAUSE}" waits until the
// window in front has been closed. Anything else in braces is typed as it stands.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lark {

// Virtual-key codes (the Windows values) the language names.
inline constexpr uint8_t kVkBack = 8;
inline constexpr uint8_t kVkTab = 9;
inline constexpr uint8_t kVkReturn = 13;
inline constexpr uint8_t kVkShift = 16;
inline constexpr uint8_t kVkControl = 17;
inline constexpr uint8_t kVkMenu = 18;  // Alt
inline constexpr uint8_t kVkEscape = 27;
inline constexpr uint8_t kVkF1 = 112;
// The key field's markers: no key yet, a pause of count milliseconds, a wait until the window
// in front has been closed, and a character no key of the layout types by itself (sent as a
// Unicode key event, the way Windows passes characters that have no key: VK_PACKET).
inline constexpr uint8_t kKeyNone = 0;
inline constexpr uint8_t kKeyPause = 255;
inline constexpr uint8_t kKeyWaitForClose = 19;
inline constexpr uint8_t kKeyUnicode = 0xE7;

// What the keyboard layout says about one character: the key that types it and whether
// Shift must be held. Nothing when no key types it alone (not on the layout, only with AltGr,
// or only through a dead key).
struct LayoutKey {
    uint8_t key = 0;
    bool shift = false;
};
using KeyLayout = std::function<std::optional<LayoutKey>(char32_t)>;

// The parsing state, reset after every key that is sent. character is the character a key
// was looked up for (0 for named keys); shift tells whether the layout needs Shift for it.
struct KeyState {
    uint8_t key = kKeyNone;
    uint8_t modifier = 0;  // 0, kVkShift, kVkControl or kVkMenu
    int32_t count = 1;     // presses, or the pause's milliseconds
    char32_t character = 0;
    bool shift = false;
};

// Interprets one token: a single character (UTF-8) or a braced text "{...}". Sets key, count,
// character and shift; a modifier token sets modifier, other tokens leave it. True when the
// whole token was consumed; otherwise the token is cut to what was (a lone "{" for a braced
// text that names nothing, which is then typed, or the single character).
bool ParseKeyToken(std::string& token, KeyState& state, const KeyLayout& layout);

// One step of a script.
struct KeyAction {
    enum class Kind { Press, Type, Pause, WaitForClose };
    Kind kind = Kind::Press;
    uint8_t key = 0;         // Press: the virtual key
    uint8_t modifier = 0;    // Press: held around the presses
    int32_t count = 0;       // Press, Type: how many times; Pause: milliseconds
    char32_t character = 0;  // Type: the character, as a Unicode key event
    bool operator==(const KeyAction&) const = default;
};

// The script as the steps SendKeyScript takes. Steps that would do nothing (a count of 0
// after a bad braced count) are left out, so no lone modifier is tapped either.
std::vector<KeyAction> ParseKeyScript(std::string_view script, const KeyLayout& layout);

// What the steps are carried out with.
class KeySender {
  public:
    virtual ~KeySender() = default;
    // Presses and releases key count times, holding modifier (when not 0) around them.
    virtual void PressKey(uint8_t key, uint8_t modifier, int32_t count) = 0;
    virtual void TypeCharacter(char32_t character, int32_t count) = 0;
    // Both keep the program's windows responsive while they wait.
    virtual void Pause(uint32_t milliseconds) = 0;
    // Waits until the process of the window in front is idle for input.
    virtual void WaitForForegroundIdle() = 0;
    // Waits until the window in front is idle for input and then until it has been closed.
    virtual void WaitForForegroundToClose() = 0;
};

// Sends the whole script; with waitMode 1, then waits until the window in front is idle.
void SendKeyScript(std::string_view script, int waitMode, KeySender& sender,
                   const KeyLayout& layout);

}  // namespace lark
