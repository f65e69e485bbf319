#pragma once
// Erasing a file on Windows: one pass of pseudo-random bytes over its whole length, written
// through to the disk, then the file is deleted.
#include <cstdint>
#include <string_view>

#include "actions/file_actions.h"

namespace lark {

inline constexpr uint32_t kEraseBlockBytes = 1u << 20;

// seed: where the pseudo-random bytes start (the erase command takes it from the clock).
EraseResult EraseFile(std::string_view path, uint64_t seed);

}  // namespace lark
