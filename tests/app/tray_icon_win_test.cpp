#include "app/tray_icon_win.h"

#include <gtest/gtest.h>

namespace lark {
namespace {

// The headless driver has no notification area, so every add fails here.
TEST(TrayIcon, FailedAddIsRetriedQuietlyUntilSwitchedOff) {
    TTrayIcon tray;
    tray.SetIcon(LoadIconW(nullptr, IDI_APPLICATION));
    tray.SetActive(true);
    EXPECT_TRUE(tray.Active());
    EXPECT_FALSE(tray.Shown());
    EXPECT_TRUE(tray.Retrying());
    constexpr UINT_PTR kRetryTimer = 1;
    SendMessageW(tray.Handle(), WM_TIMER, kRetryTimer, 0);  // still no notification area
    EXPECT_FALSE(tray.Shown());
    EXPECT_TRUE(tray.Retrying());
    tray.SetToolTip("Larkspire 3 files indexed");  // an update while hidden tries again
    EXPECT_TRUE(tray.Retrying());
    tray.SetActive(false);
    EXPECT_FALSE(tray.Retrying());
    EXPECT_FALSE(KillTimer(tray.Handle(), kRetryTimer)) << "switched off, no more retries";
}

}  // namespace
}  // namespace lark
