#include "actions/compressed_copy.h"

#include <gtest/gtest.h>

#include "actions/fake_file_actions.h"

namespace lark {
namespace {

struct CopyWorld {
    FakeFileSystem fs;
    FakeGzipStreams gzip{fs};
    CompressedCopy copy{fs, gzip};

    CopyWorld() {
        fs.AddFile("C:\\w\\notes.txt", "plain text");
        fs.AddFile("C:\\w\\packed.txt.gz", FakeGzipStreams::Packed("unpacked text"));
        fs.AddFile("C:\\w\\broken.gz", "not gzip at all");
        fs.AddFolder("C:\\arch");
    }
    std::optional<std::string> Data(std::string_view path) { return fs.ReadWhole(path); }
};

TEST(CompressedCopy, ConvertsWhenExactlyOneNameIsAGzipFile) {
    struct Case {
        const char* name;
        const char* source;
        const char* target;
        bool ok;
        std::optional<std::string> written;  // at the target afterwards
        bool sourceStays;
    };
    const std::string packedNotes = FakeGzipStreams::Packed("plain text");
    const Case cases[] = {
        {"plain to plain", "C:\\w\\notes.txt", "C:\\arch\\copy.txt", true, "plain text", true},
        {"compressed beside itself: the source goes, as with gzip", "C:\\w\\notes.txt",
         "C:\\w\\notes.txt.gz", true, packedNotes, false},
        {"compressed elsewhere", "C:\\w\\notes.txt", "C:\\arch\\notes.txt.gz", true, packedNotes,
         true},
        {"another letter case is another name", "C:\\w\\notes.txt", "C:\\W\\NOTES.TXT.gz", true,
         packedNotes, true},
        {"decompressed beside itself", "C:\\w\\packed.txt.gz", "C:\\w\\packed.txt", true,
         "unpacked text", false},
        {"decompressed under another name", "C:\\w\\packed.txt.gz", "C:\\w\\other.txt", true,
         "unpacked text", true},
        {"gzip to gzip is a byte copy", "C:\\w\\packed.txt.gz", "C:\\arch\\same.GZ", true,
         FakeGzipStreams::Packed("unpacked text"), true},
        {"damaged gzip data", "C:\\w\\broken.gz", "C:\\arch\\broken", false, std::nullopt, true},
        {"into a folder that is not there", "C:\\w\\notes.txt", "C:\\none\\notes.txt.gz", false,
         std::nullopt, true},
        {"onto itself", "C:\\w\\notes.txt", "c:\\W\\Notes.txt", false, "plain text", true},
        {"a missing source", "C:\\w\\gone.txt", "C:\\arch\\gone.txt.gz", false, std::nullopt,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CopyWorld f;
        const bool sourceWasThere = f.fs.IsFile(c.source);
        EXPECT_EQ(f.copy.CopyConvertingGzip(c.source, c.target), c.ok);
        EXPECT_EQ(f.Data(c.target), c.written);
        EXPECT_EQ(f.fs.IsFile(c.source), sourceWasThere && c.sourceStays);
        EXPECT_EQ(f.copy.LastGzipError().empty(), c.ok);
    }
}

TEST(CompressedCopy, TheGzipToolsNamingRules) {
    struct Case {
        const char* name;
        bool compress;
        const char* source;
        const char* target;
        const char* mode;
        const char* call;  // what zlib was asked, or "" for nothing
        bool sourceStays;
    };
    const Case cases[] = {
        {"no target: beside the source", true, "C:\\w\\notes.txt", "", "w6 ",
         "compress C:\\w\\notes.txt > C:\\w\\notes.txt.gz w6 ", false},
        {"the source as target gains .gz", true, "C:\\w\\notes.txt", "C:\\w\\notes.txt", "w9",
         "compress C:\\w\\notes.txt > C:\\w\\notes.txt.gz w9", false},
        {"level 0 onto the source itself is refused", true, "C:\\w\\notes.txt", "C:\\w\\notes.txt",
         "w0", "", true},
        {"no target: the name without .gz", false, "C:\\w\\packed.txt.gz", "", "",
         "decompress C:\\w\\packed.txt.gz > C:\\w\\packed.txt", false},
        {"a plain name stands for its .gz file", false, "C:\\w\\packed.txt", "C:\\w\\packed.txt",
         "", "decompress C:\\w\\packed.txt.gz > C:\\w\\packed.txt", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CopyWorld f;
        if (c.compress)
            f.copy.GzipCompressFile(c.source, c.target, c.mode);
        else
            f.copy.GzipDecompressFile(c.source, c.target);
        EXPECT_EQ(f.gzip.calls, std::string(c.call).empty() ? std::vector<std::string>{}
                                                            : std::vector<std::string>{c.call});
        if (c.compress) {
            EXPECT_EQ(f.fs.IsFile(c.source), c.sourceStays);
        }
    }
    EXPECT_TRUE(IsGzipName("C:\\a\\b.tar.GZ"));
    EXPECT_FALSE(IsGzipName("C:\\a.gz\\b"));
    EXPECT_FALSE(IsGzipName("C:\\a\\b.tgz"));
}

}  // namespace
}  // namespace lark
