#include "search/resident_index.h"

#include "base/text.h"

namespace lark {

bool ResidentIndex::Unchanged(std::string_view path, const std::optional<FileInfo>& now) const {
    return text_ && now && !now->IsFolder() && now->size == size_ &&
           now->writeTimeUtc == writeTime_ && SameTextIgnoringCase(path, path_);
}

bool ResidentIndex::Read(std::string_view path, const FileInfo& before) {
    // Into new memory: the text held must survive a read that fails, and may be shared by
    // results still shown or by a walk still running.
    std::string text;
    if (!fs_.ReadWholeInto(path, text)) return false;
    ++reads_;
    // The size and time taken before the read: a rewrite that slips in between is seen as a
    // change at the next search, never missed.
    text_ = WholeFileFromText(std::move(text));
    path_ = std::string(path);
    size_ = before.size;
    writeTime_ = before.writeTimeUtc;
    return true;
}

std::shared_ptr<const WholeFile> ResidentIndex::Exact(std::string_view path) {
    const std::optional<FileInfo> now = fs_.Stat(path);
    if (!now || now->IsFolder()) return nullptr;
    // A build that has just opened the file may not have changed its size or time yet; the
    // file is the text held only when nobody is writing it.
    if (Unchanged(path, now)) return fs_.CanReadWhole(path) ? text_ : nullptr;
    return Read(path, *now) ? text_ : nullptr;
}

ResidentIndex::Snapshot ResidentIndex::Latest(std::string_view path) {
    Snapshot snapshot;
    const std::optional<FileInfo> now = fs_.Stat(path);
    if (Unchanged(path, now)) {
        snapshot.text = text_;
        return snapshot;
    }
    // A missing index is no index, whatever was read before.
    if (!now || now->IsFolder()) return snapshot;
    if (Read(path, *now)) {
        snapshot.text = text_;
        return snapshot;
    }
    // The text of another index file is no answer for this one.
    if (text_ && SameTextIgnoringCase(path, path_)) {
        snapshot.text = text_;
        snapshot.refreshing = true;
    }
    return snapshot;
}

void ResidentIndex::Forget() {
    text_.reset();
    path_.clear();
    size_ = 0;
    writeTime_ = 0;
}

}  // namespace lark
