#include "config/hotkey_option.h"

#include <cstdio>
#include <cstdlib>

#include "base/text.h"
#include "config/registry_helpers.h"

namespace lark {

namespace {

struct KeyName {
    uint32_t key;
    const char* name;
};

// The names a keyboard's caps carry (a US layout for the punctuation keys).
constexpr KeyName kKeyNames[] = {
    {0x08, "Backspace"}, {0x09, "Tab"},   {0x0D, "Enter"},       {0x13, "Pause"},
    {0x1B, "Esc"},       {0x20, "Space"}, {0x21, "PageUp"},      {0x22, "PageDown"},
    {0x23, "End"},       {0x24, "Home"},  {0x25, "Left"},        {0x26, "Up"},
    {0x27, "Right"},     {0x28, "Down"},  {0x2C, "PrintScreen"}, {0x2D, "Insert"},
    {0x2E, "Delete"},    {0x6A, "Num*"},  {0x6B, "Num+"},        {0x6D, "Num-"},
    {0x6E, "Num."},      {0x6F, "Num/"},  {0x91, "ScrollLock"},  {0xBA, ";"},
    {0xBB, "="},         {0xBC, ","},     {0xBD, "-"},           {0xBE, "."},
    {0xBF, "/"},         {0xC0, "`"},     {0xDB, "["},           {0xDC, "\\"},
    {0xDD, "]"},         {0xDE, "'"},
};

std::string KeyNameOf(uint32_t key) {
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, char(key));
    char text[16];
    if (key >= 0x60 && key <= 0x69) {
        std::snprintf(text, sizeof text, "Num%u", unsigned(key - 0x60));
        return text;
    }
    if (key >= 0x70 && key <= 0x87) {
        std::snprintf(text, sizeof text, "F%u", unsigned(key - 0x70 + 1));
        return text;
    }
    for (const KeyName& k : kKeyNames)
        if (k.key == key) return k.name;
    std::snprintf(text, sizeof text, "Key%02X", unsigned(key & 0xFF));
    return text;
}

std::optional<uint32_t> KeyOfName(std::string_view name) {
    const std::string upper = UpperCase(name);
    if (upper.size() == 1 &&
        ((upper[0] >= '0' && upper[0] <= '9') || (upper[0] >= 'A' && upper[0] <= 'Z')))
        return uint32_t(upper[0]);
    for (uint32_t key = 1; key <= 0xFE; ++key)
        if (UpperCase(KeyNameOf(key)) == upper) return key;
    return std::nullopt;
}

}  // namespace

std::string HotkeyText(const Hotkey& hotkey) {
    if (hotkey.None()) return kNoHotkeyText;
    std::string text;
    if (hotkey.ctrl) text += "Ctrl+";
    if (hotkey.alt) text += "Alt+";
    if (hotkey.shift) text += "Shift+";
    if (hotkey.win) text += "Win+";
    return text + KeyNameOf(hotkey.key);
}

std::optional<Hotkey> ParseHotkey(std::string_view text) {
    const std::string trimmed = Trim(text);
    if (SameTextIgnoringCase(trimmed, kNoHotkeyText)) return Hotkey{};
    Hotkey hotkey;
    std::string_view rest = trimmed;
    while (!rest.empty()) {
        // A part ends at the next "+", unless that "+" ends the text ("Num+").
        size_t plus = rest.find('+', 1);
        if (plus == rest.size() - 1) plus = std::string_view::npos;
        const std::string part = Trim(rest.substr(0, plus));
        rest = plus == std::string_view::npos ? std::string_view() : rest.substr(plus + 1);
        const std::string upper = UpperCase(part);
        bool* modifier = upper == "CTRL" || upper == "CONTROL" ? &hotkey.ctrl
                         : upper == "ALT"                      ? &hotkey.alt
                         : upper == "SHIFT"                    ? &hotkey.shift
                         : upper == "WIN"                      ? &hotkey.win
                                                               : nullptr;
        if (modifier && !rest.empty()) {
            if (*modifier) return std::nullopt;
            *modifier = true;
            continue;
        }
        if (hotkey.key != 0 || !rest.empty()) return std::nullopt;
        std::optional<uint32_t> key = KeyOfName(part);
        if (!key) return std::nullopt;
        hotkey.key = *key;
    }
    if (hotkey.key == 0) return std::nullopt;
    return hotkey;
}

std::string HotkeyTakenMessage(const Hotkey& hotkey) {
    return "The key " + HotkeyText(hotkey) +
           " for Instant Find is already used by another program. Choose another key on the "
           "General page of Larkspire Properties.";
}

Hotkey ReadInstantFindHotkey(Registry& registry) {
    std::optional<Hotkey> read =
        ParseHotkey(ReadOption(registry, kInstantFindHotkeyOption, kDefaultInstantFindHotkey));
    return read ? *read : *ParseHotkey(kDefaultInstantFindHotkey);
}

void WriteInstantFindHotkey(Registry& registry, const Hotkey& hotkey) {
    WriteOption(registry, kInstantFindHotkeyOption, HotkeyText(hotkey));
}

}  // namespace lark
