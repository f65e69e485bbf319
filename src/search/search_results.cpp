#include "search/search_results.h"

#include <cstring>

namespace lark {

void SearchResults::clear() {
    copied_.clear();
    ForgetText();
}

void SearchResults::ForgetText() {
    if (index_) {
        std::string text = ReclaimText(index_);
        if (text.capacity() > spare_.text.capacity()) spare_.text = std::move(text);
    }
    places_.clear();
    pathChars_ = 0;
}

void SearchResults::LendPlacesTo(SearchResults& other) {
    if (spare_.places.empty()) return;
    other.places_ = std::move(spare_.places.back());
    spare_.places.pop_back();
    other.places_.clear();
}

void SearchResults::Attach(std::shared_ptr<const WholeFile> index) {
    clear();
    // The last offset a place can hold is kept free for kNoFolder.
    if (index && index->Text().size() < kNoFolder) index_ = std::move(index);
}

void SearchResults::Reserve(size_t count) {
    if (index_)
        places_.reserve(count);
    else
        copied_.reserve(count);
}

void SearchResults::AddOther(std::string_view folderLine, std::string_view line) {
    const bool folderFound = folderLine.data() == line.data() && !line.empty();
    if (!index_) {
        if (folderFound)
            copied_.push_back(line.substr(0, line.size() - 1));
        else
            copied_.PushJoined(folderLine, line);
        return;
    }
    const char* base = index_->Text().data();
    const uint32_t at = uint32_t(line.data() - base);
    if (folderFound) {
        places_.push_back({at, at});
        pathChars_ += line.size() - 1;
    } else {
        const uint32_t folder = folderLine.empty() ? kNoFolder : uint32_t(folderLine.data() - base);
        places_.push_back({folder, at});
        pathChars_ += folderLine.size() + line.size();
    }
}

void SearchResults::Append(SearchResults&& other) {
    if (index_ && other.index_ == index_) {
        places_.insert(places_.end(), other.places_.begin(), other.places_.end());
        pathChars_ += other.pathChars_;
        if (other.places_.capacity() > 0 && spare_.places.size() < kSparePlaceLists) {
            spare_.places.push_back(std::move(other.places_));
            spare_.places.back().clear();
        }
    } else {
        if (index_) CopyOut();  // only a list over another text comes here
        std::string scratch;
        for (size_t i = 0; i < other.size(); ++i) copied_.push_back(other.PathAt(i, scratch));
    }
    other.clear();
}

void SearchResults::CopyOut() {
    // Into the memory of the last copy, which the list kept.
    copied_.clear();
    copied_.reserve(places_.size(), pathChars_);
    std::string scratch;
    for (size_t i = 0; i < places_.size(); ++i) copied_.push_back(PathAt(i, scratch));
    ForgetText();
}

std::string_view SearchResults::LineAt(uint32_t start) const {
    std::string_view rest = index_->Text().substr(start);
    const void* lf = std::memchr(rest.data(), '\n', rest.size());
    size_t end = lf ? size_t(static_cast<const char*>(lf) - rest.data()) : rest.size();
    if (end > 0 && rest[end - 1] == '\r') --end;
    return rest.substr(0, end);
}

std::string_view SearchResults::PathAt(size_t i, std::string& scratch) const {
    if (!index_) return copied_[i];
    const Place place = places_[i];
    const std::string_view line = LineAt(place.line);
    if (place.folder == place.line) return line.substr(0, line.size() - 1);
    if (place.folder == kNoFolder) return line;
    scratch.assign(LineAt(place.folder)).append(line);
    return scratch;
}

std::string SearchResults::Path(size_t i) const {
    std::string scratch;
    std::string_view path = PathAt(i, scratch);
    return path.data() == scratch.data() ? std::move(scratch) : std::string(path);
}

void SearchResults::Settle() {
    if (!index_) return;
    if (KeepsText(pathChars_, places_.size(), index_->Text().size())) {
        // Places are offsets, so they hold in a copy of the text as well.
        if (index_->HoldsFileOpen()) index_ = WholeFileFromText(std::string(index_->Text()));
        return;
    }
    CopyOut();
}

bool operator==(const SearchResults& a, const SearchResults& b) {
    if (a.size() != b.size()) return false;
    std::string scratchA, scratchB;
    for (size_t i = 0; i < a.size(); ++i)
        if (a.PathAt(i, scratchA) != b.PathAt(i, scratchB)) return false;
    return true;
}

}  // namespace lark
