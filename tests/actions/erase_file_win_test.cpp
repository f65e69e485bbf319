// Erasing real files: a second name (a hard link) keeps the data once the erased name is
// gone, so the test can read what the pass wrote.
#include "actions/erase_file_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <set>
#include <string>

#include "platform/win32/encoding_win.h"
#include "platform/win32/handles_win.h"
#include "support/win_tree_helpers.h"

namespace lark {
namespace {

using wintree::ReadAll;

TEST(EraseFile, OnePassOfRandomBytesOverTheWholeLengthThenTheFileGoes) {
    wintree::TempTree dir("erase");
    for (size_t size : {size_t(10), size_t(0), size_t(2 * kEraseBlockBytes + 77)}) {
        SCOPED_TRACE(size);
        const std::string name = "file" + std::to_string(size), path = dir.Path(name);
        dir.File(name, std::string(size, 'A'));
        ASSERT_TRUE(CreateHardLinkW(Widen(path + ".link").c_str(), Widen(path).c_str(), nullptr));
        EXPECT_EQ(EraseFile(path, 12345), EraseResult::Erased);
        EXPECT_EQ(GetFileAttributesW(Widen(path).c_str()), INVALID_FILE_ATTRIBUTES);
        const std::string after = ReadAll(path + ".link");
        ASSERT_EQ(after.size(), size);
        // Nothing of the old content is left, and every byte value turns up.
        std::set<char> values(after.begin(), after.end());
        EXPECT_LE(std::count(after.begin(), after.end(), 'A'), std::ptrdiff_t(size / 64 + 1));
        EXPECT_EQ(values.size(), size > 100000 ? 256u : values.size());
    }

    // Held by another program, read-only or missing: left as it was, and said so.
    dir.File("busy.txt", "still here");
    dir.File("readonly.txt", "still here", FILE_ATTRIBUTE_READONLY);
    UniqueFile holder(CreateFileW(Widen(dir.Path("busy.txt")).c_str(), GENERIC_READ, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    for (const char* name : {"busy.txt", "readonly.txt", "missing.txt"})
        EXPECT_EQ(EraseFile(dir.Path(name), 1), EraseResult::NotOpened) << name;
    holder.Reset();
    EXPECT_EQ(ReadAll(dir.Path("busy.txt")), "still here");
    EXPECT_EQ(ReadAll(dir.Path("readonly.txt")), "still here");
    SetFileAttributesW(Widen(dir.Path("readonly.txt")).c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
}  // namespace lark
