#include "properties/browse_path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lark {
namespace {

TEST(StartFolderComponents, DriveDroppedFoldersCut) {
    using Parts = std::vector<std::string>;
    EXPECT_EQ(StartFolderComponents("C:\\Documents and Settings\\jdoe"),
              (Parts{"Documents and Settings", "jdoe"}));
    EXPECT_EQ(StartFolderComponents("D:\\Docs\\"), (Parts{"Docs"}));
    EXPECT_EQ(StartFolderComponents("C:\\"), Parts{});
    EXPECT_EQ(StartFolderComponents(""), Parts{});
    EXPECT_EQ(StartFolderComponents("Docs\\Letters"), Parts{});
}

}  // namespace
}  // namespace lark
