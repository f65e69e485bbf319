#include "app/window_keys.h"

namespace lark {

WindowKeyCommand WindowKeyCommandFor(uint32_t virtualKey) {
    switch (virtualKey) {
        case 0x74:
            return WindowKeyCommand::Refresh;  // F5
        case 0x72:
            return WindowKeyCommand::Search;  // F3
        case 0x1B:
            return WindowKeyCommand::Hide;  // Esc
        case 0x0D:
            return WindowKeyCommand::Go;  // Enter
        default:
            return WindowKeyCommand::None;
    }
}

}  // namespace lark
