#pragma once
// The paths a search found. While a search runs, each found path is kept as its place in
// the index text (the folder line and the entry's own line), so half a million results cost
// a few megabytes rather than a copy of every path. When the walk ends, a short result is
// copied out and the index text let go; a long one keeps the text, which is then smaller
// than its copy would be (a copy of it in memory, never the index file itself, which the
// next build must be free to rewrite).
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/path_list.h"
#include "platform/file_system.h"

namespace lark {

class SearchResults final : public PathSource {
  public:
    SearchResults() = default;
    SearchResults(std::initializer_list<std::string_view> paths) : copied_(paths) {}
    SearchResults(PathList paths) : copied_(std::move(paths)) {}

    size_t size() const { return index_ ? places_.size() : copied_.size(); }
    bool empty() const { return size() == 0; }
    size_t PathCount() const override { return size(); }
    std::string_view PathAt(size_t i, std::string& scratch) const override;
    std::string Path(size_t i) const;
    // Forgets every path. The memory of a text read for the results, and of their places, is
    // kept for the next search into this list: touching new memory is what a search of a
    // large index costs most where memory is handed out page by page on first use.
    void clear();
    // The kept memory of the last text (its old bytes still in it), for the next read.
    std::string TakeSpareText() { return std::move(spare_.text); }

    // Whether the results still point into the index text rather than holding copies.
    bool InIndexText() const { return index_ != nullptr; }
    // The index text the results point into (null when they hold copies).
    const WholeFile* IndexText() const { return index_.get(); }
    const std::shared_ptr<const WholeFile>& Shared() const { return index_; }

    // Starts a new result list over the index text; the entries added then are views into
    // it. Text of 4 GB or more cannot be pointed into with 32-bit places, and is copied from.
    void Attach(std::shared_ptr<const WholeFile> index);
    // A found entry: folderLine is its folder's line, without the line end (empty for an
    // entry that stands before any folder line); line is its own line. A folder found by
    // itself passes its line as both. Both are views into the attached text.
    void Add(std::string_view folderLine, std::string_view line) {
        // The common case, a file line under its folder, without a call.
        if (index_ && !folderLine.empty() && folderLine.data() != line.data()) {
            const char* base = index_->Text().data();
            places_.push_back({uint32_t(folderLine.data() - base), uint32_t(line.data() - base)});
            pathChars_ += folderLine.size() + line.size();
        } else {
            AddOther(folderLine, line);
        }
    }
    void Reserve(size_t count);
    // Hands other, a list for part of the same search, the memory of a place list this
    // list kept from the parts it appended last time.
    void LendPlacesTo(SearchResults& other);
    // Moves the entries of other, found later in the same text, to the end of this list.
    void Append(SearchResults&& other);
    // Copies the paths out and lets the index text go (its memory kept for the next search)
    // when the copy is much the smaller; otherwise lets go of the index file, keeping the
    // text in memory.
    void Settle();
    // Whether count paths of pathChars characters in all stay as places in a text of
    // textSize bytes rather than being copied out: a copy is made only when it is at most a
    // quarter of the text, so copying never raises the peak by much.
    static bool KeepsText(size_t pathChars, size_t count, size_t textSize) {
        return pathChars + 4 * count > textSize / 4;
    }

    // Found paths in order, as whole strings.
    class const_iterator {
      public:
        using value_type = std::string;
        using difference_type = std::ptrdiff_t;
        const_iterator(const SearchResults* list, size_t at) : list_(list), at_(at) {}
        std::string operator*() const { return list_->Path(at_); }
        const_iterator& operator++() { return ++at_, *this; }
        const_iterator operator++(int) { return {list_, at_++}; }
        friend bool operator==(const const_iterator& a, const const_iterator& b) {
            return a.at_ == b.at_;
        }

      private:
        const SearchResults* list_;
        size_t at_;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

    // Equal when they hold the same paths in the same order, however each keeps them.
    friend bool operator==(const SearchResults& a, const SearchResults& b);

  private:
    // Offsets of line starts in the index text; a folder found by itself has folder == line.
    struct Place {
        uint32_t folder;
        uint32_t line;
    };
    static constexpr uint32_t kNoFolder = UINT32_MAX;
    static constexpr size_t kSparePlaceLists = 32;

    std::string_view LineAt(uint32_t start) const;
    // Lets go of the text (keeping its memory when the list held it alone) and the places.
    void ForgetText();
    void AddOther(std::string_view folderLine, std::string_view line);
    // Replaces the places with copies of their paths, letting the text go.
    void CopyOut();

    PathList copied_;
    std::shared_ptr<const WholeFile> index_;
    // Memory kept for reuse; a copy of the list does not take it along.
    struct Spare {
        std::string text;
        std::vector<std::vector<Place>> places;  // of the parts it appended
        Spare() = default;
        Spare(const Spare&) {}
        Spare& operator=(const Spare&) { return *this; }
        Spare(Spare&&) = default;
        Spare& operator=(Spare&&) = default;
    } spare_;
    std::vector<Place> places_;
    size_t pathChars_ = 0;  // the summed length of the paths places_ stands for
};

}  // namespace lark
