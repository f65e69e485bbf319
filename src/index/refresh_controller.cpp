#include "index/refresh_controller.h"

#include "base/date_time.h"
#include "config/context.h"
#include "config/data_paths.h"
#include "config/settings.h"
#include "index/index_state.h"

namespace lark {

uint32_t RefreshIntervalMs(int32_t minutes) {
    if (minutes <= 0) return 0;
    if (minutes > kMaxRefreshMinutes) minutes = kMaxRefreshMinutes;
    return uint32_t(minutes) * 60u * 1000u;
}

bool RefreshShouldBuild(bool indexExists, bool fixedSchedule, int32_t refreshMinutes, double now,
                        double indexTime) {
    if (!indexExists || !fixedSchedule) return true;
    return now - double(refreshMinutes) / 1440.0 >= indexTime;
}

void RefreshController::ApplyRefreshSchedule() {
    host_.SetRefreshTimer(0);
    const Settings& s = ctx_.settings;
    if (!s.RefreshFixedSchedule) {
        RefreshPending = true;
        return;
    }
    uint32_t interval = RefreshIntervalMs(s.RefreshMinutes);
    if (interval == 0) return;
    host_.SetRefreshTimer(interval);
    RefreshPending = true;
}

void RefreshController::IdleRefreshCheck() {
    if (RefreshPending.exchange(false)) {
        const Settings& s = ctx_.settings;
        auto index = ctx_.fs.Stat(IndexFilePath(ctx_));
        double indexTime = index ? FileTimeToDateTime(index->writeTimeLocal) : 0.0;
        if (RefreshShouldBuild(index.has_value(), s.RefreshFixedSchedule, s.RefreshMinutes,
                               ctx_.clock.Now(), indexTime))
            host_.StartIndexBuild();
    }
    // The launched program touches its files only after this moment, so the tick is kept
    // for the whole quiet time; cleared after it, so that it cannot come round again when
    // the tick count wraps.
    const uint32_t launched = LastLaunchTick.load();
    if (launched != 0 && ctx_.clock.TickCount() - launched > kLaunchQuietMs) LastLaunchTick = 0;
}

void RefreshController::puRefreshClick() {
    auto ended = host_.StartIndexBuild();
    if (!ended) return;
    host_.PumpUntil([&] { return IndexReady.load() || ended->load(); }, kNoTimeLimit, true);
}

void RefreshController::ChangeWatchFinished(int watchMode) {
    if (watchMode != 0) return;
    host_.PumpUntil([] { return false; }, kChangeSettleMs, false);
    RefreshPending = true;
}

}  // namespace lark
