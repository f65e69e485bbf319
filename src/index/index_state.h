#pragma once
// The few values the index machinery shares across threads. Each is written by one
// thread only, so plain atomics suffice.
#include <atomic>
#include <cstdint>

namespace lark {

// False from the start of an index build until its finishing step; read by Refresh.
extern std::atomic<bool> IndexReady;
// Tick count of the last document launch (0 = none). Launch commands set it; the change
// watcher ignores changes seen within 3 s of it; the idle check clears it once that time
// has passed.
extern std::atomic<uint32_t> LastLaunchTick;

// How long after a launch a change in the indexed folders is taken for the launch's own.
inline constexpr uint32_t kLaunchQuietMs = 3000;

}  // namespace lark
