#include "about/about_text.h"

#include <gtest/gtest.h>

namespace lark {
namespace {

TEST(AboutText, KilobytesAreGroupedInThousands) {
    const std::pair<uint64_t, const char*> cases[] = {
        {0, "0 KB"},
        {1023, "0 KB"},
        {1024, "1 KB"},
        {999 * 1024ull, "999 KB"},
        {1000 * 1024ull, "1,000 KB"},
        {16ull * 1024 * 1024 * 1024, "16,777,216 KB"},
    };
    for (auto [bytes, text] : cases) EXPECT_EQ(FormatKilobytes(bytes), text) << bytes;
}

TEST(AboutText, SystemLineNamesTheProductAndItsVersion) {
    EXPECT_EQ(SystemDescription("Microsoft Windows 10 Pro", 10, 0, 19045),
              "Microsoft Windows 10 Pro, version 10.0 (build 19045)");
    EXPECT_EQ(SystemDescription("  ", 6, 1, 7601), "Windows, version 6.1 (build 7601)");
}

}  // namespace
}  // namespace lark
