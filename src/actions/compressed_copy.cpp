#include "actions/compressed_copy.h"

#include "base/text.h"
#include "platform/file_system.h"

namespace lark {

bool IsGzipName(std::string_view path) {
    return UpperCase(FileExtensionOf(path)) == "GZ";
}

bool CompressedCopy::Fail(std::string reason) {
    lastError_ = std::move(reason);
    return false;
}

bool CompressedCopy::RemoveSourceAfter(std::string_view source) {
    if (fs_.RemoveFile(source)) return true;
    return Fail("cannot remove " + std::string(source));
}

bool CompressedCopy::CopyConvertingGzip(std::string_view source, std::string_view target) {
    lastError_.clear();
    const bool fromGzip = IsGzipName(source);
    if (fromGzip != IsGzipName(target)) {
        return fromGzip ? GzipDecompressFile(source, target)
                        : GzipCompressFile(source, target, kGzipWriteMode);
    }
    // A copy onto itself would leave nothing of the file once the target is replaced.
    if (SameTextIgnoringCase(source, target)) return Fail("source and target are the same file");
    if (!fs_.Copy(source, target)) return Fail("cannot copy " + std::string(source));
    return true;
}

bool CompressedCopy::GzipCompressFile(std::string_view source, std::string_view target,
                                      std::string_view mode) {
    lastError_.clear();
    if (!fs_.IsFile(source)) return Fail("cannot open " + std::string(source));
    std::string to(target);
    if (to.empty()) to = std::string(source) + ".gz";
    if (to == source && mode.size() >= 2 && mode[1] != '0' && to.size() > 3 &&
        !EndsWithIgnoringCase(to, ".gz"))
        to += ".gz";
    // Writing the target would destroy the very data being read.
    if (SameTextIgnoringCase(to, source)) return Fail("source and target are the same file");
    std::string reason;
    if (!gzip_.Compress(source, to, mode, reason)) return Fail(std::move(reason));
    if (to.size() == source.size() + 3 && to.compare(0, source.size(), source) == 0 &&
        to.compare(source.size(), 3, ".gz") == 0)
        return RemoveSourceAfter(source);
    return true;
}

bool CompressedCopy::GzipDecompressFile(std::string_view source, std::string_view target) {
    lastError_.clear();
    std::string from(source), to(target);
    if (to.empty() || to == from) {
        if (EndsWithIgnoringCase(from, ".gz")) {
            to = from.substr(0, from.size() - 3);
        } else {
            to = from;
            from += ".gz";
        }
    }
    if (SameTextIgnoringCase(to, from)) return Fail("source and target are the same file");
    if (!fs_.IsFile(from)) return Fail("cannot open " + from);
    std::string reason;
    if (!gzip_.Decompress(from, to, reason)) return Fail(std::move(reason));
    if (from == to + ".gz") return RemoveSourceAfter(from);
    return true;
}

}  // namespace lark
