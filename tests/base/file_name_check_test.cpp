#include "base/file_name_check.h"

#include <gtest/gtest.h>

#include <string>

namespace lark {
namespace {

TEST(CheckFileName, TakesPlainNamesAndRefusesWhatLeavesTheFolderOrNamesADevice) {
    using F = FileNameFault;
    const std::pair<std::string, F> cases[] = {
        {"Text Document Template", F::None}, {"report.txt.gz", F::None},
        {"a..b", F::None},                   {"COM10", F::None},
        {"", F::Empty},                      {"..\\evil", F::ForbiddenCharacter},
        {"sub/evil", F::ForbiddenCharacter}, {"C:evil", F::ForbiddenCharacter},
        {"a\"b", F::ForbiddenCharacter},     {"tab\there", F::ForbiddenCharacter},
        {"..", F::TrailingDotOrBlank},       {"Letter ", F::TrailingDotOrBlank},
        {"con", F::DeviceName},              {"NUL.txt", F::DeviceName},
        {"aux .doc", F::DeviceName},         {"Lpt9.lks", F::DeviceName},
        {std::string(255, 'x'), F::None},    {std::string(256, 'x'), F::TooLong},
    };
    for (const auto& [name, fault] : cases) {
        EXPECT_EQ(CheckFileName(name), fault) << name;
        EXPECT_EQ(FileNameFaultText(fault, name).empty(), fault == F::None) << name;
    }
    // Characters, not bytes, count towards the limit.
    std::string accented;
    for (int i = 0; i < 200; ++i) accented += "\xC3\xA9";
    EXPECT_EQ(CheckFileName(accented), F::None);
}

}  // namespace
}  // namespace lark
