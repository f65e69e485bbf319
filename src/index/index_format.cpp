#include "index/index_format.h"

#include <cstring>

#include "base/text.h"
#include "base/wildcard.h"
#include "platform/file_system.h"

namespace lark {

ExcludedFolders::ExcludedFolders(std::string_view excludeText) : upper_(UpperCase(excludeText)) {
    upper_ += ';';
    for (size_t at = 0; at < upper_.size();) {
        size_t end = upper_.find(';', at);
        std::string_view entry(upper_.data() + at, end - at);
        if (entry.find_first_of("*?") != std::string_view::npos) patterns_.emplace_back(entry);
        at = end + 1;
    }
}

bool ExcludedFolders::Contains(std::string_view folder) const {
    std::string needle = UpperCase(folder);
    needle += ';';
    if (upper_.find(needle) != std::string::npos) return true;
    needle.pop_back();
    for (const std::string& pattern : patterns_)
        if (FileMaskMatch(needle, pattern)) return true;
    return false;
}

bool ExcludedFolders::Covers(std::string_view path) const {
    for (size_t cut = path.find('\\'); cut != std::string_view::npos;
         cut = path.find('\\', cut + 1))
        if (cut > 0 && Contains(path.substr(0, cut))) return true;
    return !path.empty() && path.back() != '\\' && Contains(path);
}

bool IsExcludedFolder(std::string_view folder, std::string_view excludeText) {
    return ExcludedFolders(excludeText).Contains(folder);
}

std::string ListablePath(std::string_view folder) {
    std::string path(folder);
    if (path.size() == 2 && path[1] == ':') path += '\\';
    return path;
}

std::string PathInFolder(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (path.empty() || path.back() != '\\') path += '\\';
    path += name;
    return path;
}

bool FollowsFolder(uint32_t attributes, uint32_t reparseTag) {
    if (!(attributes & kAttrDirectory)) return false;
    if (!(attributes & kAttrReparsePoint)) return true;
    constexpr uint32_t kNameSurrogate = 0x20000000;  // the tag's bit for links of every kind
    return reparseTag != 0 && !(reparseTag & kNameSurrogate);
}

std::string IndexHeaderLine(std::string_view includeText, std::string_view excludeText) {
    std::string line(includeText);
    line += "::";
    line += excludeText;
    return line;
}

std::string BuildLogLine(std::string_view userName, std::string_view dateTimeText,
                         uint32_t elapsedMs) {
    std::string line(userName);
    line += ": BuildPathList at ";
    line += dateTimeText;
    line += ' ';
    line += std::to_string(elapsedMs);
    line += "ms\r\n";
    return line;
}

std::string BuildLogPath(std::string_view indexPath) {
    std::string folder = FolderOfPath(indexPath);
    return folder + "\\larkspire.log";
}

std::string IndexedFilesTip(int64_t fileCount) {
    return "Larkspire " + std::to_string(fileCount) + " files indexed";
}

IndexWriter::IndexWriter(ByteSink& sink, size_t bufferSize)
    : sink_(sink), buffer_(new char[bufferSize]), capacity_(bufferSize) {}

bool IndexWriter::Room(size_t bytes) {
    if (failed_) return false;
    if (capacity_ - used_ >= bytes) return true;
    if (!Flush()) return false;
    return true;
}

bool IndexWriter::WriteLine(std::string_view line) {
    size_t bytes = line.size() + 2;
    if (!Room(bytes)) return false;
    if (bytes > capacity_) {
        // A line longer than the whole buffer goes straight through.
        if (!sink_.Write(line.data(), line.size()) || !sink_.Write("\r\n", 2)) failed_ = true;
        return !failed_;
    }
    std::memcpy(buffer_.get() + used_, line.data(), line.size());
    used_ += line.size();
    buffer_[used_++] = '\r';
    buffer_[used_++] = '\n';
    return true;
}

bool IndexWriter::WriteFolderLine(std::string_view folder) {
    if (!folder.empty() && folder.back() == '\\') return WriteLine(folder);
    std::string line(folder);
    line += '\\';
    return WriteLine(line);
}

bool IndexWriter::Flush() {
    if (failed_) return false;
    if (used_ > 0 && !sink_.Write(buffer_.get(), used_)) failed_ = true;
    used_ = 0;
    return !failed_;
}

}  // namespace lark
