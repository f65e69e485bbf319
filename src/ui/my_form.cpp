#include "ui/my_form.h"

#include <algorithm>
#include <optional>

#include "base/text.h"
#include "config/registry_helpers.h"

namespace lark {
namespace {

// Missing, empty and malformed values all leave the current value in effect.
int ReadInt(Registry& reg, const std::string& key, std::string_view name, int current) {
    std::optional<std::string> text = reg.Read(RegistryRoot::CurrentUser, key, name);
    int32_t value = 0;
    if (!text || !TryTextToInt(*text, value)) return current;
    return value;
}

void WriteInt(Registry& reg, const std::string& key, std::string_view name, int value) {
    reg.Write(RegistryRoot::CurrentUser, key, name, std::to_string(value));
}

}  // namespace

std::string FormRegistryKey(std::string_view componentName) {
    return std::string(kFormKeyPrefix) + std::string(componentName);
}

FormPlacement RestoreFormPlacement(Registry& reg, std::string_view componentName,
                                   const FormPlacement& design, ScreenSize screen) {
    const std::string key = FormRegistryKey(componentName);
    FormPlacement p = design;
    int state = ReadInt(reg, key, "WindowState", static_cast<int>(design.state));
    if (state >= 0 && state <= 2) p.state = static_cast<WindowState>(state);
    // A window opened minimised has nothing to click to bring it back (the main window has no
    // taskbar button): it opens normal.
    if (p.state == WindowState::Minimised) p.state = WindowState::Normal;
    if (p.state != WindowState::Normal) return p;

    p.top = ReadInt(reg, key, "Top", p.top);
    p.left = ReadInt(reg, key, "Left", p.left);
    p.width = ReadInt(reg, key, "Width", p.width);
    p.height = ReadInt(reg, key, "Height", p.height);
    if (screen.width < p.width) p.width = static_cast<int>(screen.width * 0.95);
    if (screen.height < p.height) p.height = static_cast<int>(screen.height * 0.95);
    if (screen.width < p.left + p.width) p.left = std::max(0, screen.width - p.width);
    // The bottom 30 pixels are usually the taskbar.
    if (screen.height - 30 < p.top + p.height) p.top = std::max(0, screen.height - p.height - 30);
    // Partly off the left or top edge is the user's choice; wholly off is a place left by a
    // minimised window (about -32000) and would keep the window out of sight for good.
    if (p.left + p.width <= 0) p.left = 0;
    if (p.top + p.height <= 0) p.top = 0;
    return p;
}

void StoreFormPlacement(Registry& reg, std::string_view componentName, const FormPlacement& saved,
                        const FormPlacement& current) {
    const std::string key = FormRegistryKey(componentName);
    // The stored placement is always the normal rectangle; a minimised window is kept as
    // normal.
    const WindowState state =
        current.state == WindowState::Minimised ? WindowState::Normal : current.state;
    if (state == WindowState::Normal) {
        if (current.top != saved.top) WriteInt(reg, key, "Top", current.top);
        if (current.left != saved.left) WriteInt(reg, key, "Left", current.left);
        if (current.width != saved.width) WriteInt(reg, key, "Width", current.width);
        if (current.height != saved.height) WriteInt(reg, key, "Height", current.height);
    }
    if (state != saved.state) WriteInt(reg, key, "WindowState", static_cast<int>(state));
}

}  // namespace lark
