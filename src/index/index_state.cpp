#include "index/index_state.h"

namespace lark {

std::atomic<bool> IndexReady{false};
std::atomic<uint32_t> LastLaunchTick{0};

}  // namespace lark
