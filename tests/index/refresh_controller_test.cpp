#include "index/refresh_controller.h"

#include <gtest/gtest.h>

#include "config/context.h"
#include "config/data_paths.h"
#include "config/settings.h"
#include "index/index_state.h"
#include "platform/fake/fake_messages.h"
#include "platform/fake/fake_platform.h"
#include "support/test_app.h"

namespace lark {

namespace {

constexpr const char* kAppExe = "C:\\App\\Larkspire.exe";

class StubHost final : public RefreshHost {
  public:
    std::shared_ptr<const std::atomic<bool>> StartIndexBuild() override {
        ++builds;
        if (!startSucceeds) return nullptr;
        ended = std::make_shared<std::atomic<bool>>(false);
        IndexReady = false;
        return ended;
    }
    void SetRefreshTimer(uint32_t intervalMs) override { timer = intervalMs; }
    void PumpUntil(const std::function<bool()>& done, uint32_t limitMs, bool) override {
        ++pumps;
        lastLimit = limitMs;
        if (limitMs != kNoTimeLimit) return;
        // Stands for the messages that arrive while Refresh waits.
        for (int i = 0; i < 5 && !done(); ++i) onPump();
        waitEnded = done();
    }
    int builds = 0;
    int pumps = 0;
    uint32_t timer = 12345;
    uint32_t lastLimit = 0;
    bool startSucceeds = true;
    bool waitEnded = false;
    std::shared_ptr<std::atomic<bool>> ended;
    std::function<void()> onPump = [] {};
};

constexpr double kMinute = 1.0 / 1440.0;

struct Fixture : TestApp {
    StubHost host;
    RefreshController refresh{ctx, host};

    Fixture() : TestApp(kAppExe, "C:\\Recent") { settings.DataLocation = "C:\\Data"; }
    void WriteIndexAt(double when) {
        auto& e = fs.AddFile(IndexFilePath(ctx), "x");
        // Local FILETIME ticks of a date-time (days since 1899-12-30).
        e.writeTimeLocal = int64_t((when + 109205.0) * 864000000000.0);
    }
};

}  // namespace

TEST(RefreshSchedule, TimerAndPendingPerSetting) {
    struct Case {
        bool fixed;
        int32_t minutes;
        uint32_t timer;
        bool pending;
    } cases[] = {
        {false, 60, 0, true},
        {true, 0, 0, false},
        {true, -5, 0, false},
        {true, 60, 3600000u, true},
        {true, 71582, 71582u * 60000u, true},
        {true, 100000, 71582u * 60000u, true},  // kept within a 32-bit interval
        {true, 2147483647, 71582u * 60000u, true},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.settings.RefreshFixedSchedule = c.fixed;
        f.settings.RefreshMinutes = c.minutes;
        f.refresh.ApplyRefreshSchedule();
        EXPECT_EQ(f.host.timer, c.timer) << c.minutes;
        EXPECT_EQ(f.refresh.RefreshPending.load(), c.pending) << c.minutes;
    }
}

TEST(RefreshSchedule, FixedScheduleSkipsATickWhileTheIndexIsYoung) {
    Fixture f;
    f.settings.RefreshFixedSchedule = true;
    f.settings.RefreshMinutes = 60;
    double start = 46000.25;
    f.clock.now = start;
    f.refresh.ApplyRefreshSchedule();
    f.refresh.IdleRefreshCheck();  // no index yet: build at once
    EXPECT_EQ(f.host.builds, 1);
    f.WriteIndexAt(start);

    f.clock.now = start + 50 * kMinute;  // Refresh by hand at minute 50
    f.refresh.puRefreshClick();
    EXPECT_EQ(f.host.builds, 2);
    f.WriteIndexAt(f.clock.now);

    f.clock.now = start + 60 * kMinute;
    f.refresh.RefreshTimerTimer();
    f.refresh.IdleRefreshCheck();
    EXPECT_EQ(f.host.builds, 2) << "the index is only 10 minutes old";
    EXPECT_FALSE(f.refresh.RefreshPending.load());

    f.clock.now = start + 120 * kMinute;
    f.refresh.RefreshTimerTimer();
    f.refresh.IdleRefreshCheck();
    EXPECT_EQ(f.host.builds, 3);

    // Idle moments without a request build nothing.
    f.refresh.IdleRefreshCheck();
    EXPECT_EQ(f.host.builds, 3);
}

TEST(RefreshSchedule, ChangeDrivenRefreshAlwaysBuildsAndKeepsALaunchForThreeSeconds) {
    Fixture f;
    f.WriteIndexAt(f.clock.now);  // brand new index
    f.refresh.ApplyRefreshSchedule();
    f.clock.tick = 50000;
    LastLaunchTick = f.clock.tick;  // a document was just launched
    f.refresh.IdleRefreshCheck();
    EXPECT_EQ(f.host.builds, 1);
    // Idle moments come long before the launched program touches a file.
    for (uint32_t later : {1u, 1500u, 3000u}) {
        f.clock.tick = 50000 + later;
        f.refresh.IdleRefreshCheck();
        EXPECT_EQ(LastLaunchTick.load(), 50000u) << later << " ms after the launch";
    }
    f.clock.tick = 53001;
    f.refresh.IdleRefreshCheck();
    EXPECT_EQ(LastLaunchTick.load(), 0u);
    // A launch just before the tick count wraps round is kept across the wrap.
    f.clock.tick = 0xFFFFFF00u;
    LastLaunchTick = f.clock.tick;
    f.clock.tick = 0x500;
    f.refresh.IdleRefreshCheck();
    EXPECT_EQ(LastLaunchTick.load(), 0xFFFFFF00u);
    LastLaunchTick = 0;

    f.refresh.ChangeWatchFinished(1);  // the Recent-folder watcher asks for nothing
    EXPECT_FALSE(f.refresh.RefreshPending.load());
    EXPECT_EQ(f.host.pumps, 0);
    f.refresh.ChangeWatchFinished(0);
    EXPECT_EQ(f.host.lastLimit, kChangeSettleMs);
    EXPECT_TRUE(f.refresh.RefreshPending.load());
}

TEST(RefreshCommand, WaitEndsWhenTheBuildEndsOrNeverStarts) {
    {
        Fixture f;  // the finishing step arrives while waiting
        f.host.onPump = [] { IndexReady = true; };
        f.refresh.puRefreshClick();
        EXPECT_TRUE(f.host.waitEnded);
    }
    {
        Fixture f;  // the builder ends without its finishing step (write error)
        f.host.onPump = [&] { *f.host.ended = true; };
        f.refresh.puRefreshClick();
        EXPECT_TRUE(f.host.waitEnded);
        EXPECT_FALSE(IndexReady.load());
    }
    {
        Fixture f;  // nothing started: no wait at all
        f.host.startSucceeds = false;
        f.refresh.puRefreshClick();
        EXPECT_EQ(f.host.builds, 1);
        EXPECT_EQ(f.host.pumps, 0);
    }
}

}  // namespace lark
