#include "actions/compressed_copy.h"

#include <gtest/gtest.h>

#include "actions/fake_file_actions.h"
#include "base/text.h"

namespace lark {
namespace {

TEST(CompressedCopy, ConvertsWhenExactlyOneNameIsAGzipFileAndNamesAsGzipDoes) {
    enum Call { Copy, Compress, Decompress };
    const std::string packedNotes = FakeGzipStreams::Packed("plain text");
    const std::string unpacked = "unpacked text";
    struct Case {
        const char* name;
        Call call;
        const char* source;
        const char* target;
        bool ok;
        const char* written;  // the file the data went to, or ""
        std::string data;
        bool sourceStays;
    } cases[] = {
        {"plain to plain", Copy, "C:\\w\\notes.txt", "C:\\a\\copy.txt", true, "C:\\a\\copy.txt",
         "plain text", true},
        {"compressed beside itself: the source goes", Copy, "C:\\w\\notes.txt",
         "C:\\w\\notes.txt.gz", true, "C:\\w\\notes.txt.gz", packedNotes, false},
        {"compressed elsewhere", Copy, "C:\\w\\notes.txt", "C:\\a\\notes.txt.gz", true,
         "C:\\a\\notes.txt.gz", packedNotes, true},
        {"another letter case is another name", Copy, "C:\\w\\notes.txt", "C:\\W\\NOTES.TXT.gz",
         true, "C:\\W\\NOTES.TXT.gz", packedNotes, true},
        {"decompressed beside itself", Copy, "C:\\w\\packed.txt.gz", "C:\\w\\packed.txt", true,
         "C:\\w\\packed.txt", unpacked, false},
        {"decompressed under another name", Copy, "C:\\w\\packed.txt.gz", "C:\\w\\other.txt", true,
         "C:\\w\\other.txt", unpacked, true},
        {"gzip to gzip is a byte copy", Copy, "C:\\w\\packed.txt.gz", "C:\\a\\same.GZ", true,
         "C:\\a\\same.GZ", FakeGzipStreams::Packed(unpacked), true},
        {"damaged gzip data", Copy, "C:\\w\\broken.gz", "C:\\a\\broken", false, "", "", true},
        {"into a folder that is not there", Copy, "C:\\w\\notes.txt", "C:\\none\\n.txt.gz", false,
         "", "", true},
        {"onto itself", Copy, "C:\\w\\notes.txt", "c:\\W\\Notes.txt", false, "", "", true},
        {"no target: beside the source", Compress, "C:\\w\\notes.txt", "", true,
         "C:\\w\\notes.txt.gz", packedNotes, false},
        {"level 0 onto the source itself is refused", Compress, "C:\\w\\notes.txt",
         "C:\\w\\notes.txt", false, "", "", true},
        {"a plain name stands for its .gz file", Decompress, "C:\\w\\packed.txt",
         "C:\\w\\packed.txt", true, "C:\\w\\packed.txt", unpacked, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeFileSystem fs;
        fs.AddFile("C:\\w\\notes.txt", "plain text");
        fs.AddFile("C:\\w\\packed.txt.gz", FakeGzipStreams::Packed(unpacked));
        fs.AddFile("C:\\w\\broken.gz", "not gzip at all");
        fs.AddFolder("C:\\a");
        FakeGzipStreams gzip(fs);
        CompressedCopy copy(fs, gzip);
        bool ok = c.call == Copy       ? copy.CopyConvertingGzip(c.source, c.target)
                  : c.call == Compress ? copy.GzipCompressFile(c.source, c.target, "w0")
                                       : copy.GzipDecompressFile(c.source, c.target);
        EXPECT_EQ(ok, c.ok);
        EXPECT_EQ(copy.LastGzipError().empty(), c.ok) << copy.LastGzipError();
        if (*c.written) {
            EXPECT_EQ(fs.ReadWhole(c.written), c.data);
        }
        EXPECT_EQ(fs.IsFile(c.source), c.sourceStays);
        if (!c.ok && !SameTextIgnoringCase(c.source, c.target)) {
            EXPECT_FALSE(fs.Exists(c.target));
        }
    }
    EXPECT_TRUE(IsGzipName("C:\\a\\b.tar.GZ"));
    EXPECT_FALSE(IsGzipName("C:\\a.gz\\b"));
    EXPECT_FALSE(IsGzipName("C:\\a\\b.tgz"));
}

}  // namespace
}  // namespace lark
