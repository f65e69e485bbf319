#include "base/path_list.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>
#include <stdexcept>

#include "base/file_helpers.h"
#include "base/text.h"
#include "platform/file_system.h"

namespace lark {

PathList::PathList(std::initializer_list<std::string_view> paths) {
    size_t chars = 0;
    for (auto p : paths) chars += p.size();
    reserve(paths.size(), chars);
    for (auto p : paths) push_back(p);
}

std::string_view PathList::at(size_t i) const {
    if (i >= size()) throw std::out_of_range("PathList::at");
    return (*this)[i];
}

void PathList::CheckRoom(size_t more) const {
    // Offsets are 32-bit to keep the per-entry cost at four bytes.
    if (more > std::numeric_limits<uint32_t>::max() - chars_.size())
        throw std::length_error("PathList: more than 4 GB of paths");
}

namespace {

// Paths are short, and a library call per piece cost more than the copy itself where the C
// library is reached through a compatibility layer.
inline void CopyShort(char* to, std::string_view from) {
    const char* src = from.data();
    size_t n = from.size();
    if (n >= 16) {
        // Sixteen bytes at a time, the last block overlapping the one before.
        for (size_t i = 0; i + 16 < n; i += 16) std::memcpy(to + i, src + i, 16);
        std::memcpy(to + n - 16, src + n - 16, 16);
    } else if (n >= 8) {
        std::memcpy(to, src, 8);
        std::memcpy(to + n - 8, src + n - 8, 8);
    } else if (n >= 4) {
        std::memcpy(to, src, 4);
        std::memcpy(to + n - 4, src + n - 4, 4);
    } else {
        for (size_t i = 0; i < n; ++i) to[i] = src[i];
    }
}

}  // namespace

bool PathList::PointsInside(std::string_view piece) const {
    const char* base = chars_.data();
    return !piece.empty() && std::less_equal<>{}(base, piece.data()) &&
           std::less<>{}(piece.data(), base + chars_.capacity());
}

void PathList::push_back(std::string_view path) {
    PushJoined(path, {});
}

void PathList::PushJoined(std::string_view head, std::string_view tail) {
    const size_t length = head.size() + tail.size();
    if (PointsInside(head) || PointsInside(tail)) {
        // Appending would copy from the buffer into itself, perhaps as it moves.
        std::string joined;
        joined.reserve(length);
        joined.append(head).append(tail);
        PushJoined(joined, {});
        return;
    }
    CheckRoom(length);
    const size_t need = chars_.size() + length;
    // Half again, not double: a long result list then peaks at 2.5 times its size while
    // it moves, not 3 times.
    if (need > chars_.capacity())
        chars_.reserve(std::max(need, chars_.capacity() + chars_.capacity() / 2));
    ends_.push_back(uint32_t(need));  // the only step that may still throw
    const size_t at = chars_.size();
    chars_.resize(need);
    CopyShort(chars_.data() + at, head);
    CopyShort(chars_.data() + at + head.size(), tail);
}

void PathList::pop_back() {
    ends_.pop_back();
    chars_.resize(ends_.empty() ? 0 : ends_.back());
}

void PathList::clear() {
    ends_.clear();
    chars_.clear();
}

void PathList::reserve(size_t count, size_t chars) {
    ends_.reserve(count);
    chars_.reserve(chars);
}

PathList::const_iterator PathList::erase(const_iterator at) {
    return erase(at, at + 1);
}

PathList::const_iterator PathList::erase(const_iterator first, const_iterator last) {
    const size_t from = first.Index(), to = last.Index();
    if (from >= to) return {this, from};
    const size_t start = from == 0 ? 0 : ends_[from - 1];
    const size_t gone = ends_[to - 1] - start;
    chars_.erase(chars_.begin() + std::ptrdiff_t(start),
                 chars_.begin() + std::ptrdiff_t(start + gone));
    ends_.erase(ends_.begin() + std::ptrdiff_t(from), ends_.begin() + std::ptrdiff_t(to));
    for (size_t i = from; i < ends_.size(); ++i) ends_[i] -= uint32_t(gone);
    return {this, from};
}

PathList ParsePathListText(std::string_view text) {
    PathList paths;
    SplitLines(text, [&](std::string_view line) { paths.push_back(line); });
    return paths;
}

std::string PathListText(const PathList& paths) {
    std::string text;
    text.reserve(paths.CharCount() + 2 * paths.size());
    for (std::string_view p : paths) {
        text += p;
        text += "\r\n";
    }
    return text;
}

std::optional<PathList> ReadPathListFile(FileSystem& fs, std::string_view path) {
    auto text = fs.ReadWhole(path);
    if (!text) return std::nullopt;
    return ParsePathListText(*text);
}

bool WritePathListFile(FileSystem& fs, std::string_view path, const PathList& paths) {
    return fs.WriteWhole(path, PathListText(paths));
}

size_t IndexOfPathIgnoringCase(const PathList& paths, std::string_view path) {
    for (size_t i = 0; i < paths.size(); ++i)
        if (SameTextIgnoringCase(paths[i], path)) return i;
    return std::string::npos;
}

}  // namespace lark
