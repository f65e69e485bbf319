// Erasing real files: a second name (a hard link) keeps the data after the erased name is
// gone, so the test can read what the pass wrote.
#include "actions/erase_file_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "platform/win32/encoding_win.h"
#include "platform/win32/handles_win.h"
#include "platform/win32/win32_platform.h"
#include "support/win_tree_helpers.h"

namespace lark {
namespace {

using wintree::ReadAll;
using wintree::TempTree;

TEST(EraseFile, OnePassOfRandomBytesOverTheWholeLengthThenTheFileGoes) {
    TempTree dir("erase");
    struct Case {
        const char* name;
        size_t size;
    } cases[] = {{"ten bytes", 10}, {"empty", 0}, {"several blocks", 2 * kEraseBlockBytes + 77}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.Path(c.name), link = dir.Path(std::string(c.name) + ".link");
        const std::string before(c.size, 'A');
        dir.File(c.name, before);
        ASSERT_TRUE(CreateHardLinkW(Widen(link).c_str(), Widen(path).c_str(), nullptr));
        EXPECT_EQ(EraseFile(path, 12345), EraseResult::Erased);
        EXPECT_EQ(GetFileAttributesW(Widen(path).c_str()), INVALID_FILE_ATTRIBUTES);
        const std::string after = ReadAll(link);
        ASSERT_EQ(after.size(), c.size);
        // Random bytes: nothing of the old content is left, and the values are spread.
        size_t same = 0;
        std::set<unsigned char> values;
        for (size_t i = 0; i < after.size(); ++i) {
            same += after[i] == before[i];
            values.insert(static_cast<unsigned char>(after[i]));
        }
        EXPECT_LE(same, c.size / 64 + 1);
        if (c.size > 100000) {
            EXPECT_EQ(values.size(), 256u);
        }
    }
    // Another seed, other bytes.
    dir.File("x", std::string(64, 'A'));
    dir.File("y", std::string(64, 'A'));
    ASSERT_TRUE(
        CreateHardLinkW(Widen(dir.Path("x.link")).c_str(), Widen(dir.Path("x")).c_str(), nullptr));
    ASSERT_TRUE(
        CreateHardLinkW(Widen(dir.Path("y.link")).c_str(), Widen(dir.Path("y")).c_str(), nullptr));
    EraseFile(dir.Path("x"), 1);
    EraseFile(dir.Path("y"), 2);
    EXPECT_NE(ReadAll(dir.Path("x.link")), ReadAll(dir.Path("y.link")));
}

TEST(EraseFile, AFileThatCannotBeOpenedIsLeftWhole) {
    TempTree dir("erase-busy");
    dir.File("busy.txt", "still here");
    dir.File("readonly.txt", "still here", FILE_ATTRIBUTE_READONLY);
    {
        // Another program holds the file and lets nobody else in.
        UniqueFile holder(CreateFileW(Widen(dir.Path("busy.txt")).c_str(), GENERIC_READ, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(holder);
        EXPECT_EQ(EraseFile(dir.Path("busy.txt"), 1), EraseResult::NotOpened);
    }
    EXPECT_EQ(EraseFile(dir.Path("readonly.txt"), 1), EraseResult::NotOpened);
    EXPECT_EQ(EraseFile(dir.Path("missing.txt"), 1), EraseResult::NotOpened);
    EXPECT_EQ(ReadAll(dir.Path("busy.txt")), "still here");
    EXPECT_EQ(ReadAll(dir.Path("readonly.txt")), "still here");
    SetFileAttributesW(Widen(dir.Path("readonly.txt")).c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
}  // namespace lark
