#pragma once
// The keys the main window handles before its controls (key preview).
#include <cstdint>

namespace lark {

enum class WindowKeyCommand { None, Refresh, Search, Hide, Go };
WindowKeyCommand WindowKeyCommandFor(uint32_t virtualKey);

}  // namespace lark
