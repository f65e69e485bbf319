#include "ui/my_form.h"

#include <algorithm>
#include <optional>

#include "config/registry_helpers.h"
#include "base/text.h"

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
    return p;
}

void StoreFormPlacement(Registry& reg, std::string_view componentName, const FormPlacement& saved,
                        const FormPlacement& current) {
    const std::string key = FormRegistryKey(componentName);
    if (current.state == WindowState::Normal) {
        if (current.top != saved.top) WriteInt(reg, key, "Top", current.top);
        if (current.left != saved.left) WriteInt(reg, key, "Left", current.left);
        if (current.width != saved.width) WriteInt(reg, key, "Width", current.width);
        if (current.height != saved.height) WriteInt(reg, key, "Height", current.height);
    }
    if (current.state != saved.state)
        WriteInt(reg, key, "WindowState", static_cast<int>(current.state));
}

}  // namespace lark
