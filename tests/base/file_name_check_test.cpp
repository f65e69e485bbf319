#include "base/file_name_check.h"

#include <gtest/gtest.h>

#include <string>

namespace lark {
namespace {

TEST(CheckFileName, TakesPlainNamesAndRefusesWhatLeavesTheFolderOrNamesADevice) {
    struct Case {
        std::string name;
        FileNameFault fault;
    };
    const Case cases[] = {
        {"Letter.doc", FileNameFault::None},
        {"Text Document Template", FileNameFault::None},
        {"report.txt.gz", FileNameFault::None},
        {"a..b", FileNameFault::None},
        {"Budget \xC2\xA7 2026", FileNameFault::None},
        {"COM10", FileNameFault::None},
        {"console", FileNameFault::None},
        {"", FileNameFault::Empty},
        {"..\\evil", FileNameFault::ForbiddenCharacter},
        {"sub/evil", FileNameFault::ForbiddenCharacter},
        {"C:evil", FileNameFault::ForbiddenCharacter},
        {"\\\\server\\share", FileNameFault::ForbiddenCharacter},
        {"what?", FileNameFault::ForbiddenCharacter},
        {"a\"b", FileNameFault::ForbiddenCharacter},
        {"tab\there", FileNameFault::ForbiddenCharacter},
        {".", FileNameFault::TrailingDotOrBlank},
        {"..", FileNameFault::TrailingDotOrBlank},
        {"Letter.", FileNameFault::TrailingDotOrBlank},
        {"Letter ", FileNameFault::TrailingDotOrBlank},
        {"con", FileNameFault::DeviceName},
        {"NUL.txt", FileNameFault::DeviceName},
        {"com1", FileNameFault::DeviceName},
        {"Lpt9.lks", FileNameFault::DeviceName},
        {"aux .doc", FileNameFault::DeviceName},
        {std::string(255, 'x'), FileNameFault::None},
        {std::string(256, 'x'), FileNameFault::TooLong},
        // 200 characters of two UTF-8 bytes each are 200 characters, not 400.
        {[] {
             std::string s;
             for (int i = 0; i < 200; ++i) s += "\xC3\xA9";
             return s;
         }(),
         FileNameFault::None},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CheckFileName(c.name), c.fault) << c.name;
        EXPECT_EQ(FileNameFaultText(c.fault, c.name).empty(), c.fault == FileNameFault::None)
            << c.name;
    }
    EXPECT_EQ(FileNameFaultText(FileNameFault::ForbiddenCharacter, "..\\evil"),
              "\"..\\evil\" cannot be used as a name: a name may not hold any of the characters "
              "\\ / : * ? \" < > |");
}

}  // namespace
}  // namespace lark
