#pragma once
// When the index is rebuilt: at idle time after a request, on a fixed timer, or by hand.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

namespace lark {

struct AppContext;

// What the refresh rules need from the main window and the index builder.
class RefreshHost {
  public:
    virtual ~RefreshHost() = default;
    // Starts a build. Null when nothing was started; otherwise a flag that turns true
    // when the builder thread has ended, with or without its finishing step.
    virtual std::shared_ptr<const std::atomic<bool>> StartIndexBuild() = 0;
    // intervalMs 0 stops the timer.
    virtual void SetRefreshTimer(uint32_t intervalMs) = 0;
    // Keeps the window responsive until done() is true (or, with a time limit, until
    // limitMs have passed); busyCursor shows the hourglass meanwhile.
    virtual void PumpUntil(const std::function<bool()>& done, uint32_t limitMs,
                           bool busyCursor) = 0;
};

inline constexpr uint32_t kNoTimeLimit = 0xFFFFFFFFu;
// The settling wait after a change before the rebuild is requested.
inline constexpr uint32_t kChangeSettleMs = 3000;

// The timer interval for a minute count, kept within an unsigned 32-bit millisecond
// interval however large the count is; 0 for counts of 0 or less.
uint32_t RefreshIntervalMs(int32_t minutes);

// Whether a due refresh builds: always without an index or when changes drive refreshes;
// on a fixed schedule only when the index is at least refreshMinutes old.
bool RefreshShouldBuild(bool indexExists, bool fixedSchedule, int32_t refreshMinutes, double now,
                        double indexTime);

class RefreshController {
  public:
    RefreshController(AppContext& ctx, RefreshHost& host) : ctx_(ctx), host_(host) {}

    // Set by the timer, the schedule and a finished change watch; cleared at idle time.
    std::atomic<bool> RefreshPending{false};

    void ApplyRefreshSchedule();
    void RefreshTimerTimer() { RefreshPending = true; }
    // The idle handler of the message loop.
    void IdleRefreshCheck();
    // Refresh: build now and wait, responsive, until the build is over.
    void puRefreshClick();
    // A watch in mode 0 saw its change: settle for 3 s, then ask for a rebuild.
    void ChangeWatchFinished(int watchMode);

  private:
    AppContext& ctx_;
    RefreshHost& host_;
};

}  // namespace lark
