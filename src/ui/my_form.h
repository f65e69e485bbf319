#pragma once
// Where a window sits, remembered per window in the registry between runs.
#include <string>
#include <string_view>

#include "platform/registry.h"

namespace lark {

enum class WindowState : int { Normal = 0, Minimised = 1, Maximised = 2 };

struct FormPlacement {
    int top = 0;
    int left = 0;
    int width = 0;
    int height = 0;
    WindowState state = WindowState::Normal;
    bool operator==(const FormPlacement&) const = default;
};

struct ScreenSize {
    int width = 0;
    int height = 0;
};

std::string FormRegistryKey(std::string_view componentName);

// The placement a window takes at creation: the stored values over the design ones, with a
// stored size larger than the screen cut to 95 percent of it and a window past the right or
// bottom edge pulled back, and one wholly off the left or top edge brought back. A stored
// minimised state opens normal. A stored value that is not a whole number is ignored.
FormPlacement RestoreFormPlacement(Registry& reg, std::string_view componentName,
                                   const FormPlacement& design, ScreenSize screen);

// Writes only what differs from what creation left in effect; a window that is not normal
// keeps its last stored normal position and size.
void StoreFormPlacement(Registry& reg, std::string_view componentName, const FormPlacement& saved,
                        const FormPlacement& current);

}  // namespace lark
