#include "actions/key_script.h"

#include <iterator>

#include "base/text.h"

namespace lark {
namespace {

struct KeyName {
    std::string_view name;  // upper case, braces included
    uint8_t key;
};

// Looked up in this order; the first match wins.
constexpr KeyName kKeyNames[] = {
    {"{WAIT}", kKeyPause},
    {"{ENTER}", kVkReturn},
    {"{SHIFT}", kVkShift},
    {"{CONTROL}", kVkControl},
    {"{ALT}", kVkMenu},
    {"{BACKSPC}", kVkBack},
    {"{BS}", kVkBack},
    {"{BKSP}", kVkBack},
    {"{PAUSE}", kKeyWaitForClose},
    {"{BREAK}", kKeyWaitForClose},
    {"{CAPSLOCK}", 20},
    {"{DELETE}", 46},
    {"{DEL}", 46},
    {"{UP}", 38},
    {"{DOWN}", 40},
    {"{END}", 35},
    {"{ESC}", kVkEscape},
    {"{ESCAPE}", kVkEscape},
    {"{HELP}", 47},
    {"{HOME}", 36},
    {"{INSERT}", 45},
    {"{INS}", 45},
    {"{LEFT}", 37},
    {"{NUMLOCK}", 144},
    {"{PGDN}", 34},
    {"{PGUP}", 33},
    {"{PRTSC}", 44},
    {"{RIGHT}", 39},
    {"{SCRLOCK}", 145},
    {"{TAB}", kVkTab},
};

bool IsModifier(uint8_t key) {
    return key == kVkShift || key == kVkControl || key == kVkMenu;
}

// The code point at text[at] and its length in bytes; a byte that does not start a valid
// UTF-8 sequence stands for itself as U+FFFD, one byte long.
char32_t CodePointAt(std::string_view text, size_t at, size_t& length) {
    const auto lead = static_cast<unsigned char>(text[at]);
    length = 1;
    if (lead < 0x80) return lead;
    size_t extra = 0;
    if (lead >= 0xC2 && lead < 0xE0) extra = 1;
    if (lead >= 0xE0 && lead < 0xF0) extra = 2;
    if (lead >= 0xF0 && lead < 0xF5) extra = 3;
    if (extra == 0 || at + extra >= text.size()) return 0xFFFD;
    char32_t value = lead & (0x3F >> extra);
    for (size_t i = 1; i <= extra; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) return 0xFFFD;
        value = (value << 6) | (next & 0x3F);
    }
    // Overlong forms and surrogates are not characters.
    static constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
    if (value < kSmallest[extra] || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF)
        return 0xFFFD;
    length = extra + 1;
    return value;
}

size_t CodePointCount(std::string_view text) {
    size_t count = 0;
    for (size_t at = 0, length = 0; at < text.size(); at += length, ++count)
        CodePointAt(text, at, length);
    return count;
}

// The key that types character; one the layout has no key for goes as a Unicode key event.
void LookUpCharacter(char32_t character, KeyState& state, const KeyLayout& layout) {
    state.character = character;
    // No key event carries a NUL: like any character without a key it becomes a pause.
    if (character == 0) {
        state.key = kKeyPause;
        state.shift = false;
        return;
    }
    std::optional<LayoutKey> found = layout ? layout(character) : std::nullopt;
    if (found) {
        state.key = found->key;
        state.shift = found->shift;
    } else {
        state.key = kKeyUnicode;
        state.shift = false;
    }
}

// A braced count: the text after the first blank (past "{x"), a whole number above 0.
// Returns the name part with its closing brace, or nothing when no count is written.
std::optional<std::string> SplitBracedCount(const std::string& upper, int32_t& count) {
    size_t blank = upper.find(' ');
    if (blank == std::string::npos || blank < 2) return std::nullopt;
    std::string_view number(upper);
    number = number.substr(blank + 1, number.size() - blank - 2);  // up to the closing brace
    int32_t value = 0;
    if (TryTextToInt(number, value) && value > 0) {
        count = value;
        return upper.substr(0, blank) + "}";
    }
    count = 0;
    return std::nullopt;
}

}  // namespace

bool ParseKeyToken(std::string& token, KeyState& state, const KeyLayout& layout) {
    state.key = kKeyNone;
    state.count = 1;
    state.character = 0;
    state.shift = false;
    if (token.empty()) return true;

    if (token[0] != '{') {
        switch (token[0]) {
            case '~':
                state.key = kVkReturn;
                return true;
            case '+':
                state.modifier = kVkShift;
                return true;
            case '^':
                state.modifier = kVkControl;
                return true;
            case '%':
                state.modifier = kVkMenu;
                return true;
            case ',':
                state.key = kKeyPause;
                return true;
            default: {
                size_t length = 0;
                LookUpCharacter(CodePointAt(token, 0, length), state, layout);
                token.resize(length);
                return false;
            }
        }
    }

    std::string upper = UpperCase(token);
    if (token.size() > 1 && token.back() == '}') {
        if (std::optional<std::string> name = SplitBracedCount(upper, state.count))
            upper = std::move(*name);
    }
    for (const KeyName& entry : kKeyNames) {
        if (upper != entry.name) continue;
        if (IsModifier(entry.key)) {
            state.modifier = entry.key;
        } else {
            state.key = entry.key;
        }
        return true;
    }
    for (int f = 1; f <= 16; ++f) {
        if (upper == "{F" + std::to_string(f) + "}") {
            state.key = uint8_t(kVkF1 + f - 1);
            return true;
        }
    }
    if (upper.size() >= 3 && upper.front() == '{' && upper.back() == '}' &&
        CodePointCount(upper) == 3) {
        // A single braced character, as written (not upper-cased).
        size_t length = 0;
        LookUpCharacter(CodePointAt(token, 1, length), state, layout);
        return true;
    }
    token.resize(1);  // the opening brace alone
    LookUpCharacter(U'{', state, layout);
    return false;
}

std::vector<KeyAction> ParseKeyScript(std::string_view script, const KeyLayout& layout) {
    std::vector<KeyAction> actions;
    KeyState state;
    size_t at = 0;
    while (at < script.size()) {
        std::string token;
        if (script[at] == '{') {
            size_t close = script.find('}', at + 1);
            token = close == std::string_view::npos ? "{" : script.substr(at, close - at + 1);
        } else {
            size_t length = 0;
            CodePointAt(script, at, length);
            token = script.substr(at, length);
        }
        ParseKeyToken(token, state, layout);
        at += token.size();
        // A modifier applies to the next key.
        if (state.key == kKeyNone) continue;

        KeyAction action;
        action.count = state.count;
        if (state.key == kKeyPause) {
            action.kind = KeyAction::Kind::Pause;
        } else if (state.key == kKeyWaitForClose) {
            action.kind = KeyAction::Kind::WaitForClose;
            action.count = 1;
        } else if (state.key == kKeyUnicode) {
            // A Unicode key event carries the character alone; a modifier cannot go with it.
            action.kind = KeyAction::Kind::Type;
            action.character = state.character;
        } else {
            action.kind = KeyAction::Kind::Press;
            action.key = state.key;
            action.modifier = state.modifier;
            if (action.modifier == 0 && state.shift) action.modifier = kVkShift;
        }
        if (action.count > 0) actions.push_back(action);
        state.modifier = 0;
    }
    return actions;
}

void SendKeyScript(std::string_view script, int waitMode, KeySender& sender,
                   const KeyLayout& layout) {
    for (const KeyAction& action : ParseKeyScript(script, layout)) {
        switch (action.kind) {
            case KeyAction::Kind::Press:
                sender.PressKey(action.key, action.modifier, action.count);
                break;
            case KeyAction::Kind::Type:
                sender.TypeCharacter(action.character, action.count);
                break;
            case KeyAction::Kind::Pause:
                sender.Pause(uint32_t(action.count));
                break;
            case KeyAction::Kind::WaitForClose:
                sender.WaitForForegroundToClose();
                break;
        }
    }
    if (waitMode == 1) sender.WaitForForegroundIdle();
}

}  // namespace lark
