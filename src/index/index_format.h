#pragma once
// The index file "All files.idx" and its build log: the line formats and a buffered
// writer, kept apart from the folder walk so they can be checked without Windows.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace lark {

// True when the folder equals one entry of the exclude text (each entry followed by
// ";"), ignoring case. An entry written with a trailing "\" therefore never matches.
bool IsExcludedFolder(std::string_view folder, std::string_view excludeText);

// Calls each(entry) for the entries of a ";"-separated folder list, without their
// trailing "\", stopping at the first empty entry.
template <typename Each>
void ForEachFolderEntry(std::string_view listText, Each&& each);

// Line 1 of the index: include text, "::", exclude text (no line end).
std::string IndexHeaderLine(std::string_view includeText, std::string_view excludeText);
// One build-log line with its CR LF: "<user>: BuildPathList at <date time> <ms>ms".
std::string BuildLogLine(std::string_view userName, std::string_view dateTimeText,
                         uint32_t elapsedMs);
// The log lives beside the index: the shared data folder is writable for every user of
// the installation, which the root of the system drive usually is not.
std::string BuildLogPath(std::string_view indexPath);
// "Larkspire <n> files indexed".
std::string IndexedFilesTip(int64_t fileCount);

// Where the index bytes go; false on a write error (disk full).
class ByteSink {
  public:
    virtual ~ByteSink() = default;
    virtual bool Write(const char* data, size_t size) = 0;
};

// Collects lines in one large buffer so the walk issues few, big writes. After the first
// failed write every later call fails too and nothing more reaches the sink.
class IndexWriter {
  public:
    explicit IndexWriter(ByteSink& sink, size_t bufferSize = size_t(1) << 20);
    bool WriteLine(std::string_view line);
    // The folder path followed by "\" unless it already ends with one.
    bool WriteFolderLine(std::string_view folder);
    bool Flush();
    bool Failed() const { return failed_; }

  private:
    bool Room(size_t bytes);
    ByteSink& sink_;
    std::unique_ptr<char[]> buffer_;
    size_t capacity_;
    size_t used_ = 0;
    bool failed_ = false;
};

}  // namespace lark

#include "base/text.h"

template <typename Each>
void lark::ForEachFolderEntry(std::string_view listText, Each&& each) {
    std::string rest(listText);
    for (;;) {
        std::string entry = SplitNextToken(rest, ";");
        if (entry.empty()) return;
        each(TrimTrailingBackslash(entry));
    }
}
