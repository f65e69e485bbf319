#pragma once
// The key combination that brings up instant find, kept for the user as a registry option
// in words ("Ctrl+Alt+Space"), so it reads the same in the registry as on the screen.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lark {

class Registry;

struct Hotkey {
    bool ctrl = false, alt = false, shift = false, win = false;
    uint32_t key = 0;  // the virtual-key code; 0: no hotkey
    bool None() const { return key == 0; }
    friend bool operator==(const Hotkey&, const Hotkey&) = default;
};

inline constexpr const char* kInstantFindHotkeyOption = "InstantFindHotkey";
inline constexpr const char* kDefaultInstantFindHotkey = "Ctrl+Alt+Space";
inline constexpr const char* kNoHotkeyText = "None";

// "Ctrl+Alt+Space", "Shift+F12", "Win+Alt+K"; kNoHotkeyText for none.
std::string HotkeyText(const Hotkey& hotkey);
// The same words back (letter case and blanks around "+" do not matter); nullopt when the
// text names no key or a key twice.
std::optional<Hotkey> ParseHotkey(std::string_view text);

// What the user is told when another program holds the combination.
std::string HotkeyTakenMessage(const Hotkey& hotkey);

// A missing, empty or unreadable value is the default.
Hotkey ReadInstantFindHotkey(Registry& registry);
void WriteInstantFindHotkey(Registry& registry, const Hotkey& hotkey);

}  // namespace lark
