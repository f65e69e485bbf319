#pragma once
// The one copy every command that copies a user's file goes through (Save As, Move, insert
// compressed, templates, the backup before a rewrite): it compresses or decompresses on the
// way when exactly one of the two names ends in ".gz".
//
// Contract, for every function here:
//   - paths are full UTF-8 paths; names are compared as Windows does (letter case ignored);
//   - the result is true only when the target was written completely; false leaves no
//     partial file at the target (a file that was there before is kept) and puts the reason
//     in LastGzipError();
//   - the work happens on the calling thread; on Windows (ZlibGzipStreams,
//     gzip_streams_win.h) the hourglass cursor is shown while a large file is compressed or
//     decompressed;
//   - no window is needed: a caller builds CompressedCopy on a FileSystem and GzipStreams.
//
// On Windows:
//     Win32FileSystem fs;
//     ZlibGzipStreams gzip;
//     CompressedCopy copy(fs, gzip);
//     if (!copy.CopyConvertingGzip(source, target)) report(copy.LastGzipError());
#include <string>
#include <string_view>

namespace lark {

class FileSystem;

inline constexpr std::string_view kGzipWriteMode = "w6 ";  // write, level 6
inline constexpr size_t kGzipChunkBytes = 16384;

// A gzip file by its name: the extension (after the last "." of the last component) is "gz"
// in any letter case.
bool IsGzipName(std::string_view path);

// The byte work of a compressed or decompressed copy. Either call writes the target anew and
// replaces a file already there only when the data is complete; on failure it returns false
// with a reason in error and leaves no partial target behind.
class GzipStreams {
  public:
    virtual ~GzipStreams() = default;
    // Target becomes a gzip file of source's bytes, written with zlib's mode string.
    virtual bool Compress(std::string_view source, std::string_view target, std::string_view mode,
                          std::string& error) = 0;
    // Target becomes the data of every member of the gzip file source, one after the other
    // (as "gzip -d" gives it); a damaged or truncated member is a failure.
    virtual bool Decompress(std::string_view source, std::string_view target,
                            std::string& error) = 0;
};

class CompressedCopy {
  public:
    CompressedCopy(FileSystem& fs, GzipStreams& gzip) : fs_(fs), gzip_(gzip) {}

    // Plain copy (keeping the last-write time) when both or neither name is a gzip file,
    // otherwise GzipCompressFile with "w6 " or GzipDecompressFile.
    bool CopyConvertingGzip(std::string_view source, std::string_view target);

    // As the gzip tool does it: an empty target means source + ".gz", and when the target is
    // exactly source + ".gz" the source is removed after a successful compression.
    bool GzipCompressFile(std::string_view source, std::string_view target,
                          std::string_view mode = kGzipWriteMode);
    // An empty target (or the source itself) means source without ".gz"; when the source is
    // exactly target + ".gz" it is removed after a successful decompression.
    bool GzipDecompressFile(std::string_view source, std::string_view target);

    // Why the last call failed; empty after a success.
    const std::string& LastGzipError() const { return lastError_; }

  private:
    bool Fail(std::string reason);
    bool RemoveSourceAfter(std::string_view source);

    FileSystem& fs_;
    GzipStreams& gzip_;
    std::string lastError_;
};

}  // namespace lark
