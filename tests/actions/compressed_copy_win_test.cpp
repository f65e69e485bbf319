// The compressed copy on real files, checked against GNU gzip run on the Linux side.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "actions/compressed_copy.h"
#include "actions/gzip_streams_win.h"
#include "platform/win32/encoding_win.h"
#include "platform/win32/win32_platform.h"
#include "support/win_tree_helpers.h"

namespace lark {
namespace {

using wintree::ReadAll;
using wintree::TempTree;

// Text lines with binary runs between them, so both kinds of data pass through zlib.
std::string MixedBytes(size_t size, uint32_t seed) {
    std::string data;
    data.reserve(size);
    uint32_t x = seed;
    while (data.size() < size) {
        x = x * 1664525u + 1013904223u;
        if ((x >> 28) < 10) {
            data += "Line " + std::to_string(x % 9973) + ": the quick brown fox, item " +
                    std::to_string(x >> 16) + "\r\n";
        } else {
            for (int i = 0; i < 300; ++i) {
                x = x * 1664525u + 1013904223u;
                data += char(x >> 24);
            }
        }
    }
    data.resize(size);
    return data;
}

int64_t WriteTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &data);
    return (int64_t(data.ftLastWriteTime.dwHighDateTime) << 32) |
           data.ftLastWriteTime.dwLowDateTime;
}

struct GzipOnDisk : ::testing::Test {
    TempTree dir{"gzip"};
    Win32FileSystem fs;
    ZlibGzipStreams gzip;
    CompressedCopy copy{fs, gzip};
    const std::string original = MixedBytes(1500000, 7);
    const std::string unicodeName =
        "\xC3\x9Cn\xC3\xAF"
        "code na\xC3\xAFve.txt";  // Ünïcode naïve.txt

    // Runs the shell script in the folder, on the Linux side; it writes "done" last.
    void RunScript(const std::string& commands) {
        dir.File("script.sh", "cd \"" + wintree::UnixPathOf(dir.Root()) + "\" || exit 1\n" +
                                  commands + "\necho > done\n");
        // "start /unix" passes quotes on as they are: the path must do without.
        const std::string script = wintree::UnixPathOf(dir.Path("script.sh"));
        ASSERT_EQ(script.find(' '), std::string::npos) << script;
        ASSERT_TRUE(wintree::RunUnix("/bin/sh " + script));
        ASSERT_TRUE(wintree::WaitForPath(dir.Path("done"), 30000));
        Sleep(200);  // "done" is written last; give the shell a moment to close it
    }
    bool LeftoversIn(const std::string& folder) {
        WIN32_FIND_DATAW fd;
        HANDLE find = FindFirstFileW(Widen(folder + "\\*.new~").c_str(), &fd);
        if (find == INVALID_HANDLE_VALUE) return false;
        FindClose(find);
        return true;
    }
};

TEST_F(GzipOnDisk, WhatWeCompressGnuGzipAcceptsAndWhatGnuGzipMakesWeRestore) {
    if (!wintree::IsWine()) GTEST_SKIP() << "needs GNU gzip on the Linux side of Wine";
    dir.File("orig.bin", original);
    dir.File("empty.txt", "");
    dir.File(unicodeName, original.substr(0, 70000));
    dir.File("part1", original.substr(0, 400000));
    dir.File("part2", original.substr(400000));
    // Ours, to be tested by gzip; the Unicode file goes to ".gz" beside itself, as gzip would.
    ASSERT_TRUE(copy.CopyConvertingGzip(dir.Path("orig.bin"), dir.Path("ours.bin.gz")))
        << copy.LastGzipError();
    ASSERT_TRUE(copy.CopyConvertingGzip(dir.Path("empty.txt"), dir.Path("ours-empty.gz")));
    ASSERT_TRUE(copy.CopyConvertingGzip(dir.Path(unicodeName), dir.Path(unicodeName + ".gz")));
    EXPECT_FALSE(fs.Exists(dir.Path(unicodeName)));
    EXPECT_TRUE(fs.IsFile(dir.Path("orig.bin")));

    RunScript("for f in ours.bin.gz ours-empty.gz '" + unicodeName +
              ".gz'; do\n"
              "  gzip -t \"$f\" && echo ok > \"$f.tested\"\n"
              "  zcat \"$f\" > \"$f.unpacked\"\n"
              "done\n"
              "gzip -6 -c orig.bin > gnu6.gz\n"
              "gzip -9 -n -c orig.bin > gnu9.gz\n"
              "gzip -c part1 > multi.gz && gzip -c part2 >> multi.gz\n"
              "gzip -c empty.txt > gnu-empty.gz\n"
              "gzip -c part1 | head -c 90000 > truncated.gz\n");

    struct Ours {
        std::string gz, content;
    } ours[] = {{"ours.bin.gz", original},
                {"ours-empty.gz", ""},
                {unicodeName + ".gz", original.substr(0, 70000)}};
    for (const Ours& o : ours) {
        SCOPED_TRACE(o.gz);
        EXPECT_EQ(ReadAll(dir.Path(o.gz + ".tested")), "ok\n");
        EXPECT_TRUE(ReadAll(dir.Path(o.gz + ".unpacked")) == o.content);
    }

    struct Theirs {
        const char* gz;
        std::string content;
    } theirs[] = {
        {"gnu6.gz", original}, {"gnu9.gz", original}, {"multi.gz", original}, {"gnu-empty.gz", ""}};
    for (const Theirs& t : theirs) {
        SCOPED_TRACE(t.gz);
        std::string target = dir.Path(std::string(t.gz) + ".out");
        EXPECT_TRUE(copy.CopyConvertingGzip(dir.Path(t.gz), target)) << copy.LastGzipError();
        EXPECT_TRUE(ReadAll(target) == t.content);
        EXPECT_TRUE(fs.IsFile(dir.Path(t.gz)));
    }
    // Back from ".gz" beside itself: the name without ".gz", the ".gz" file gone.
    EXPECT_TRUE(copy.CopyConvertingGzip(dir.Path(unicodeName + ".gz"), dir.Path(unicodeName)));
    EXPECT_TRUE(ReadAll(dir.Path(unicodeName)) == original.substr(0, 70000));
    EXPECT_FALSE(fs.Exists(dir.Path(unicodeName + ".gz")));

    // A member cut short fails, and the file already at the target is kept as it was.
    dir.File("kept.txt", "earlier content");
    EXPECT_FALSE(copy.CopyConvertingGzip(dir.Path("truncated.gz"), dir.Path("kept.txt")));
    EXPECT_NE(copy.LastGzipError().find("truncated.gz"), std::string::npos) << copy.LastGzipError();
    EXPECT_EQ(ReadAll(dir.Path("kept.txt")), "earlier content");
    EXPECT_FALSE(copy.CopyConvertingGzip(dir.Path("truncated.gz"), dir.Path("fresh.txt")));
    EXPECT_FALSE(fs.Exists(dir.Path("fresh.txt")));
    EXPECT_TRUE(fs.IsFile(dir.Path("truncated.gz")));
    EXPECT_FALSE(LeftoversIn(dir.Root()));
}

TEST_F(GzipOnDisk, PlainCopiesKeepTheTimeAndReadOnlyTargetsStayAsTheyAre) {
    dir.File("a.gz", original);
    HANDLE file = CreateFileW(WidePath(dir.Path("a.gz")).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    FILETIME old = {0x12345600, 0x01d00000};
    SetFileTime(file, nullptr, nullptr, &old);
    CloseHandle(file);
    dir.File("b.GZ", "older copy");
    EXPECT_TRUE(copy.CopyConvertingGzip(dir.Path("a.gz"), dir.Path("b.GZ")));
    EXPECT_TRUE(ReadAll(dir.Path("b.GZ")) == original);
    EXPECT_EQ(WriteTime(dir.Path("b.GZ")), WriteTime(dir.Path("a.gz")));

    // A read-only target stays as it is, whichever way the copy goes.
    dir.File("plain.txt", "new data");
    dir.File("locked.txt", "keep me", FILE_ATTRIBUTE_READONLY);
    dir.File("locked.txt.gz", "keep me", FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(copy.CopyConvertingGzip(dir.Path("plain.txt"), dir.Path("locked.txt")));
    EXPECT_FALSE(copy.CopyConvertingGzip(dir.Path("plain.txt"), dir.Path("locked.txt.gz")));
    EXPECT_FALSE(copy.CopyConvertingGzip(dir.Path("a.gz"), dir.Path("locked.txt")));
    for (const char* name : {"locked.txt", "locked.txt.gz"}) {
        EXPECT_EQ(ReadAll(dir.Path(name)), "keep me");
        SetFileAttributesW(WidePath(dir.Path(name)).c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    EXPECT_FALSE(LeftoversIn(dir.Root()));
}

}  // namespace
}  // namespace lark
