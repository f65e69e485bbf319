// A keystroke script: any bytes become a list of steps without harm, at most one step per
// character, each one something a sender can carry out; and the tokens the parser cuts cover
// the script exactly.
#include <map>

#include "actions/key_script.h"
#include "fuzz_support.h"

using namespace lark;

namespace {

// A small layout with letters, digits and a few shifted characters; the rest has no key, so
// both the key presses and the Unicode key events are reached.
std::optional<LayoutKey> SmallLayout(char32_t c) {
    if (c >= 'a' && c <= 'z') return LayoutKey{uint8_t(c - 'a' + 'A'), false};
    if (c >= 'A' && c <= 'Z') return LayoutKey{uint8_t(c), true};
    if (c >= '0' && c <= '9') return LayoutKey{uint8_t(c), false};
    static const std::map<char32_t, LayoutKey> kOthers = {
        {' ', {32, false}},   {'{', {0xDB, true}}, {'}', {0xDD, true}},
        {',', {0xBC, false}}, {'~', {0xC0, true}}, {'+', {0xBB, true}},
    };
    auto found = kOthers.find(c);
    if (found == kOthers.end()) return std::nullopt;
    return found->second;
}

// A layout that answers with any byte at all, the way a strange keyboard might.
std::optional<LayoutKey> OddLayout(char32_t c) {
    return LayoutKey{uint8_t(c * 37u), (c & 1) != 0};
}

bool IsModifierOrNone(uint8_t m) {
    return m == 0 || m == kVkShift || m == kVkControl || m == kVkMenu;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > 4096) return 0;
    const KeyLayout layout = (data[0] & 1) ? KeyLayout(OddLayout) : KeyLayout(SmallLayout);
    const std::string_view script = fuzz::AsText(data + 1, size - 1);

    const std::vector<KeyAction> actions = ParseKeyScript(script, layout);
    if (actions.size() > script.size()) fuzz::Broken("more steps than characters", script);
    for (const KeyAction& a : actions) {
        if (a.count <= 0) fuzz::Broken("a step that does nothing", script);
        switch (a.kind) {
            case KeyAction::Kind::Press:
                if (a.key == kKeyNone || a.key == kKeyPause || a.key == kKeyWaitForClose ||
                    a.key == kKeyUnicode)
                    fuzz::Broken("a marker pressed as a key", script);
                if (!IsModifierOrNone(a.modifier)) fuzz::Broken("a key held as modifier", script);
                break;
            case KeyAction::Kind::Type:
                if (a.character == 0 || a.character > 0x10FFFF ||
                    (a.character >= 0xD800 && a.character <= 0xDFFF))
                    fuzz::Broken("a typed character that is none", script);
                break;
            case KeyAction::Kind::Pause:
            case KeyAction::Kind::WaitForClose:
                break;
        }
    }

    // Token by token, as the sender walks the script: every token consumes at least one byte
    // and no more than it was given.
    KeyState state;
    for (size_t at = 0; at < script.size();) {
        size_t length = static_cast<unsigned char>(script[at]) < 0x80 ? 1 : 4;
        if (script[at] == '{') {
            const size_t close = script.find('}', at + 1);
            if (close != std::string_view::npos) length = close - at + 1;
        }
        std::string token(script.substr(at, length));
        const size_t given = token.size();
        const bool whole = ParseKeyToken(token, state, layout);
        if (token.empty() || token.size() > given) fuzz::Broken("a token cut badly", script);
        if (whole && token.size() != given && given > 0 && script[at] == '{')
            fuzz::Broken("a consumed braced token changed length", script);
        if (!IsModifierOrNone(state.modifier)) fuzz::Broken("modifier out of range", script);
        at += token.size();
        if (state.key != kKeyNone) state.modifier = 0;
    }
    return 0;
}
