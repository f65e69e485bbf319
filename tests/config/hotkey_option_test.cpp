#include "config/hotkey_option.h"

#include <gtest/gtest.h>

#include "config/registry_helpers.h"
#include "platform/fake/fake_platform.h"

namespace lark {
namespace {

Hotkey Key(uint32_t key, bool ctrl, bool alt, bool shift = false, bool win = false) {
    Hotkey h;
    h.key = key;
    h.ctrl = ctrl;
    h.alt = alt;
    h.shift = shift;
    h.win = win;
    return h;
}

TEST(HotkeyText, WordsBothWays) {
    const struct {
        Hotkey hotkey;
        const char* text;
        const char* alsoRead;  // another spelling that means the same
    } cases[] = {
        {Key(0x20, true, true), "Ctrl+Alt+Space", "ctrl + alt + space"},
        {Key('K', false, true, false, true), "Alt+Win+K", "Win+Alt+k"},
        {Key(0x7B, false, false, true), "Shift+F12", "shift+f12"},
        {Key(0x6B, true, false), "Ctrl+Num+", "Control+Num+"},
        {Key(0xBD, true, true), "Ctrl+Alt+-", "Alt+Ctrl+-"},
        {Key(0x62, true, true), "Ctrl+Alt+Num2", "CTRL+ALT+NUM2"},
        {Key(0xE2, true, false), "Ctrl+KeyE2", "ctrl+keye2"},
        {Hotkey{}, "None", "none"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HotkeyText(c.hotkey), c.text);
        EXPECT_EQ(ParseHotkey(c.text), c.hotkey) << c.text;
        EXPECT_EQ(ParseHotkey(c.alsoRead), c.hotkey) << c.alsoRead;
    }
    for (const char* wrong : {"", "Ctrl+Alt", "Ctrl+Ctrl+K", "Ctrl+K+L", "Hyper+K", "Ctrl+Banana"})
        EXPECT_FALSE(ParseHotkey(wrong)) << wrong;
}

TEST(HotkeyText, TheUsersChoiceIsKeptAndAnythingElseIsTheDefault) {
    FakeRegistry registry;
    EXPECT_EQ(ReadInstantFindHotkey(registry), Key(0x20, true, true));
    WriteInstantFindHotkey(registry, Key('F', true, false, true));
    EXPECT_EQ(ReadOption(registry, kInstantFindHotkeyOption, ""), "Ctrl+Shift+F");
    EXPECT_EQ(ReadInstantFindHotkey(registry), Key('F', true, false, true));
    WriteInstantFindHotkey(registry, Hotkey{});
    EXPECT_TRUE(ReadInstantFindHotkey(registry).None());
    WriteOption(registry, kInstantFindHotkeyOption, "Ctrl+Nothing");
    EXPECT_EQ(ReadInstantFindHotkey(registry), Key(0x20, true, true));
    EXPECT_NE(HotkeyTakenMessage(Key(0x20, true, true)).find("Ctrl+Alt+Space"), std::string::npos);
}

}  // namespace
}  // namespace lark
