#pragma once
// The index file "All files.idx" and its build log: the line formats and a buffered
// writer, kept apart from the folder walk so they can be checked without Windows.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lark {

// The exclude text of a domain, read once for the many folders a walk or a watch asks
// about. An entry names one folder, ignoring case; an entry written with a trailing "\"
// therefore never matches. An entry holding "*" or "?" is a pattern ("*" any run, "?" one
// character, case ignored), so one line can leave out a folder of every user, such as
// C:\Users\*\AppData; no folder path holds those characters, so no plain entry changes
// meaning.
class ExcludedFolders {
  public:
    explicit ExcludedFolders(std::string_view excludeText);
    // True when the folder (no trailing "\") is an excluded folder.
    bool Contains(std::string_view folder) const;
    // True when path is an excluded folder or lies anywhere below one.
    bool Covers(std::string_view path) const;

  private:
    std::string upper_;  // the upper-cased text, ";" after its last entry
    std::vector<std::string> patterns_;
};

// True when the folder equals one entry of the exclude text (each entry followed by
// ";"), ignoring case, or matches a pattern entry.
bool IsExcludedFolder(std::string_view folder, std::string_view excludeText);

// A folder as the file system must be asked for it: a bare drive ("C:") names the current
// folder on that drive, so its root is asked for as "C:\".
std::string ListablePath(std::string_view folder);
// The path of an entry named in a folder given as the walk holds it ("C:" for a root).
std::string PathInFolder(std::string_view folder, std::string_view name);

// Whether the walk descends into a folder entry. Links (symbolic links, junctions, mount
// points: the name-surrogate reparse tags) lead to folders indexed on their own or back up
// the tree and are left alone; other reparse folders, such as the cloud-file folders that
// hold a user's Documents and Desktop, are walked. A reparse point that reports no tag is
// taken for a link: Wine reports its symbolic links so.
bool FollowsFolder(uint32_t attributes, uint32_t reparseTag);

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
