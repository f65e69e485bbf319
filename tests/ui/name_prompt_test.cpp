#include "ui/name_prompt.h"

#include <gtest/gtest.h>

namespace lark {
namespace {

TEST(PlaceNearPointer, LeftOfThePointerAThirdAboveItAndAlwaysOnTheScreen) {
    struct Case {
        int x, y;
        PromptPosition at;
    };
    // A 336 x 160 dialog on a 1280 x 1024 screen.
    const Case cases[] = {
        {500, 400, {490, 347}},   // the plain rule
        {500, 1000, {490, 844}},  // 20 pixels above the bottom edge
        {1270, 400, {944, 347}},  // the right edge
        {3, 10, {0, 0}},          // the top left corner
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlaceNearPointer(c.x, c.y, 336, 160, 1280, 1024), c.at) << c.x << "," << c.y;
}

}  // namespace
}  // namespace lark
