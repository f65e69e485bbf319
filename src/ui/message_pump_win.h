#pragma once
#include <cstdint>

namespace lark {

// Returns once ms milliseconds (tick count) have passed, dispatching the calling thread's
// window messages meanwhile so its windows stay responsive. A WM_QUIT met on the way ends
// the wait early and is posted again for the message loop.
void WaitPumping(uint32_t ms);

}  // namespace lark
