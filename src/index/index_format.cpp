#include "index/index_format.h"

#include <cstring>

#include "base/text.h"

namespace lark {

bool IsExcludedFolder(std::string_view folder, std::string_view excludeText) {
    std::string needle(folder);
    needle += ';';
    std::string hay(excludeText);
    hay += ';';
    return FindIgnoringCase(hay, needle) != std::string::npos;
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
