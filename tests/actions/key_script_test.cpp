#include "actions/key_script.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace lark {
namespace {

// A US keyboard, the layout the script language was made on.
std::optional<LayoutKey> UsLayout(char32_t c) {
    if (c >= 'a' && c <= 'z') return LayoutKey{uint8_t(c - 'a' + 'A'), false};
    if (c >= 'A' && c <= 'Z') return LayoutKey{uint8_t(c), true};
    if (c >= '0' && c <= '9') return LayoutKey{uint8_t(c), false};
    if (c == ' ') return LayoutKey{32, false};
    static const std::map<char32_t, LayoutKey> kOthers = {
        {'`', {0xC0, false}},  {'~', {0xC0, true}}, {'!', {'1', true}},   {'@', {'2', true}},
        {'#', {'3', true}},    {'$', {'4', true}},  {'%', {'5', true}},   {'^', {'6', true}},
        {'&', {'7', true}},    {'*', {'8', true}},  {'(', {'9', true}},   {')', {'0', true}},
        {'-', {0xBD, false}},  {'_', {0xBD, true}}, {'=', {0xBB, false}}, {'+', {0xBB, true}},
        {'[', {0xDB, false}},  {'{', {0xDB, true}}, {']', {0xDD, false}}, {'}', {0xDD, true}},
        {'\\', {0xDC, false}}, {'|', {0xDC, true}}, {';', {0xBA, false}}, {':', {0xBA, true}},
        {'\'', {0xDE, false}}, {'"', {0xDE, true}}, {',', {0xBC, false}}, {'<', {0xBC, true}},
        {'.', {0xBE, false}},  {'>', {0xBE, true}}, {'/', {0xBF, false}}, {'?', {0xBF, true}},
    };
    auto found = kOthers.find(c);
    if (found == kOthers.end()) return std::nullopt;
    return found->second;
}

KeyAction Press(uint8_t key, uint8_t modifier = 0, int32_t count = 1) {
    return {KeyAction::Kind::Press, key, modifier, count, 0};
}
KeyAction Type(char32_t c, int32_t count = 1) {
    return {KeyAction::Kind::Type, 0, 0, count, c};
}
KeyAction Pause(int32_t ms) {
    return {KeyAction::Kind::Pause, 0, 0, ms, 0};
}
KeyAction WaitForClose() {
    return {KeyAction::Kind::WaitForClose, 0, 0, 1, 0};
}

std::string Describe(const std::vector<KeyAction>& actions) {
    std::string text;
    for (const KeyAction& a : actions) {
        switch (a.kind) {
            case KeyAction::Kind::Press:
                text += "press " + std::to_string(a.key) + "+" + std::to_string(a.modifier);
                break;
            case KeyAction::Kind::Type:
                text += "type U+" + std::to_string(uint32_t(a.character));
                break;
            case KeyAction::Kind::Pause:
                text += "pause";
                break;
            case KeyAction::Kind::WaitForClose:
                text += "wait";
                break;
        }
        text += " x" + std::to_string(a.count) + "; ";
    }
    return text;
}

constexpr uint8_t kShift = kVkShift, kCtrl = kVkControl, kAlt = kVkMenu;
constexpr uint8_t kOpenBrace = 0xDB, kCloseBrace = 0xDD;

TEST(ParseKeyScript, EveryFormOfTheLanguage) {
    struct Case {
        std::string_view script;
        std::vector<KeyAction> actions;
    };
    const Case cases[] = {
        // What the program itself sends.
        {"%{TAB}", {Press(kVkTab, kAlt)}},
        {"^v", {Press('V', kCtrl)}},
        // Modifiers: the later one wins; capitals and shifted characters bring Shift.
        {"+^a", {Press('A', kCtrl)}},
        {"Ab", {Press('A', kShift), Press('B')}},
        {"a?", {Press('A'), Press(0xBF, kShift)}},
        {"{SHIFT}a", {Press('A', kShift)}},
        {"{CONTROL}{ALT}x", {Press('X', kAlt)}},
        {"%", {}},
        {"", {}},
        // Named keys, in any case, with counts.
        {"{TAB 3}", {Press(kVkTab, 0, 3)}},
        {"{tab 3}", {Press(kVkTab, 0, 3)}},
        {"{Tab +2}", {Press(kVkTab, 0, 2)}},
        {"{ENTER 2}~", {Press(kVkReturn, 0, 2), Press(kVkReturn)}},
        {"{F1}{f16}{Esc}{BS}{del}", {Press(112), Press(127), Press(27), Press(8), Press(46)}},
        // Pauses and the wait for the window in front to close.
        {"{WAIT 500}", {Pause(500)}},
        {"{WAIT}", {Pause(1)}},
        {",", {Pause(1)}},
        {"+{WAIT 5}a", {Pause(5), Press('A')}},
        {"{PAUSE}", {WaitForClose()}},
        {"{break}", {WaitForClose()}},
        // A single braced character types that character, Shift following it.
        {"{,}", {Press(0xBC)}},
        {"{~}", {Press(0xC0, kShift)}},
        {"{+}", {Press(0xBB, kShift)}},
        {"{A}", {Press('A', kShift)}},
        {"{a 3}", {Press('A', 0, 3)}},
        {"{{}", {Press(kOpenBrace, kShift)}},
        {"{ }", {Press(32)}},
        // Braces that name nothing: the brace is typed and the rest one by one.
        {"{XYZ}",
         {Press(kOpenBrace, kShift), Press('X', kShift), Press('Y', kShift), Press('Z', kShift),
          Press(kCloseBrace, kShift)}},
        {"{}", {Press(kOpenBrace, kShift), Press(kCloseBrace, kShift)}},
        {"ab{", {Press('A'), Press('B'), Press(kOpenBrace, kShift)}},
        {"{ 3}", {Press(kOpenBrace, kShift), Press(32), Press('3'), Press(kCloseBrace, kShift)}},
        {"{F17}",
         {Press(kOpenBrace, kShift), Press('F', kShift), Press('1'), Press('7'),
          Press(kCloseBrace, kShift)}},
        // A bad count: nothing for the brace (not even the modifier), then the text.
        {"{TAB x}",
         {Press('T', kShift), Press('A', kShift), Press('B', kShift), Press(32), Press('X'),
          Press(kCloseBrace, kShift)}},
        {"%{TAB 0}",
         {Press('T', kShift), Press('A', kShift), Press('B', kShift), Press(32), Press('0'),
          Press(kCloseBrace, kShift)}},
        // Characters no key of the layout types go as Unicode key events, modifiers dropped.
        {"\xC3\xA9", {Type(U'\u00E9')}},
        {"a\xC3\xA9"
         "b",
         {Press('A'), Type(U'\u00E9'), Press('B')}},
        {"^\xC3\xA9", {Type(U'\u00E9')}},
        {"{\xC3\xA9 3}", {Type(U'\u00E9', 3)}},
        {"\xF0\x9F\x98\x80", {Type(U'\U0001F600')}},
        {"\xFF"
         "a",
         {Type(0xFFFD), Press('A')}},
        // No key event carries a NUL; it pauses like a character without a key.
        {std::string_view("a\0b{\0 3}", 8), {Press('A'), Pause(1), Press('B'), Pause(3)}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Describe(ParseKeyScript(c.script, UsLayout)), Describe(c.actions)) << c.script;
    }
}

struct RecordingSender final : KeySender {
    void PressKey(uint8_t key, uint8_t modifier, int32_t count) override {
        calls.push_back("press " + std::to_string(key) + "+" + std::to_string(modifier) + " x" +
                        std::to_string(count));
    }
    void TypeCharacter(char32_t c, int32_t count) override {
        calls.push_back("type " + std::to_string(uint32_t(c)) + " x" + std::to_string(count));
    }
    void Pause(uint32_t ms) override { calls.push_back("pause " + std::to_string(ms)); }
    void WaitForForegroundIdle() override { calls.push_back("idle"); }
    void WaitForForegroundToClose() override { calls.push_back("closed"); }
    std::vector<std::string> calls;
};

TEST(SendKeyScript, StepsInOrderAndTheFinalWaitOnlyInWaitMode1) {
    for (int waitMode : {0, 1, 2}) {
        RecordingSender sender;
        SendKeyScript("%{TAB}{WAIT 50}{PAUSE}\xC3\xA9", waitMode, sender, UsLayout);
        std::vector<std::string> expected = {"press 9+18 x1", "pause 50", "closed", "type 233 x1"};
        if (waitMode == 1) expected.push_back("idle");
        EXPECT_EQ(sender.calls, expected) << waitMode;
    }
}

}  // namespace
}  // namespace lark
