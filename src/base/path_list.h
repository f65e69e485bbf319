#pragma once
// Ordered lists of full paths, and the list-file format they are kept in: one path per
// line, CR LF after every line; CR, LF or CR LF all end a line when reading.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lark {

class FileSystem;

// Any list of paths a view can show, however it keeps them.
class PathSource {
  public:
    virtual size_t PathCount() const = 0;
    // Entry i; the view may point into scratch, so it is valid until scratch changes.
    virtual std::string_view PathAt(size_t i, std::string& scratch) const = 0;

  protected:
    ~PathSource() = default;
};

// Leaves new characters unset: the list writes each one itself right after making room.
template <class T>
struct UninitializedAllocator : std::allocator<T> {
    template <class U>
    struct rebind {
        using other = UninitializedAllocator<U>;
    };
    UninitializedAllocator() = default;
    template <class U>
    UninitializedAllocator(const UninitializedAllocator<U>&) {}
    template <class U>
    void construct(U* at) {
        ::new (static_cast<void*>(at)) U;
    }
    template <class U, class... Args>
    void construct(U* at, Args&&... args) {
        ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
    }
};

// A list of paths kept in one character buffer with the end offset of each path beside it,
// so that a search appending half a million results makes no allocation per result.
// Entries are read as string_views into the buffer: any change to the list invalidates them.
class PathList final : public PathSource {
  public:
    class const_iterator {
      public:
        using iterator_concept = std::random_access_iterator_tag;
        // Entries are made on the fly, so to older algorithms this is an input iterator.
        using iterator_category = std::input_iterator_tag;
        using value_type = std::string_view;
        using reference = std::string_view;
        using difference_type = std::ptrdiff_t;

        const_iterator() = default;
        const_iterator(const PathList* list, size_t at) : list_(list), at_(at) {}

        std::string_view operator*() const { return (*list_)[at_]; }
        std::string_view operator[](difference_type n) const { return (*list_)[at_ + n]; }
        const_iterator& operator++() { return ++at_, *this; }
        const_iterator operator++(int) { return {list_, at_++}; }
        const_iterator& operator--() { return --at_, *this; }
        const_iterator operator--(int) { return {list_, at_--}; }
        const_iterator& operator+=(difference_type n) { return at_ += n, *this; }
        const_iterator& operator-=(difference_type n) { return at_ -= n, *this; }
        friend const_iterator operator+(const_iterator it, difference_type n) { return it += n; }
        friend const_iterator operator+(difference_type n, const_iterator it) { return it += n; }
        friend const_iterator operator-(const_iterator it, difference_type n) { return it -= n; }
        friend difference_type operator-(const const_iterator& a, const const_iterator& b) {
            return difference_type(a.at_) - difference_type(b.at_);
        }
        friend bool operator==(const const_iterator& a, const const_iterator& b) {
            return a.at_ == b.at_;
        }
        friend auto operator<=>(const const_iterator& a, const const_iterator& b) {
            return a.at_ <=> b.at_;
        }
        size_t Index() const { return at_; }

      private:
        const PathList* list_ = nullptr;
        size_t at_ = 0;
    };
    using iterator = const_iterator;
    using value_type = std::string_view;
    using size_type = size_t;

    PathList() = default;
    PathList(std::initializer_list<std::string_view> paths);

    size_t size() const { return ends_.size(); }
    bool empty() const { return ends_.empty(); }
    // Characters held by all entries together.
    size_t CharCount() const { return chars_.size(); }

    std::string_view operator[](size_t i) const {
        const size_t start = i == 0 ? 0 : ends_[i - 1];
        return std::string_view(chars_.data() + start, ends_[i] - start);
    }
    size_t PathCount() const override { return size(); }
    std::string_view PathAt(size_t i, std::string&) const override { return (*this)[i]; }
    // Throws std::out_of_range past the end.
    std::string_view at(size_t i) const;
    std::string_view front() const { return (*this)[0]; }
    std::string_view back() const { return (*this)[size() - 1]; }
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

    // path may be an entry of this same list.
    void push_back(std::string_view path);
    // Appends one entry made of the two pieces, without building it elsewhere first.
    void PushJoined(std::string_view head, std::string_view tail);
    void pop_back();
    void clear();
    // Room for count entries of chars characters in all.
    void reserve(size_t count, size_t chars = 0);

    // The list closes up at once; returns the position after the removed entries.
    const_iterator erase(const_iterator at);
    const_iterator erase(const_iterator first, const_iterator last);
    // Removes the entries the predicate picks (called once each, in order) in one pass;
    // returns how many went.
    template <class Pred>
    friend size_t erase_if(PathList& list, Pred pick) {
        return list.RemoveWhere(pick);
    }

    // The buffer holds nothing but the entries, so equal lists have equal members.
    friend bool operator==(const PathList& a, const PathList& b) {
        return a.ends_ == b.ends_ && a.chars_ == b.chars_;
    }

  private:
    template <class Pick>
    size_t RemoveWhere(Pick& pick);
    void CheckRoom(size_t more) const;
    bool PointsInside(std::string_view piece) const;

    // A vector, not a string: its reserve is exact, so the growth step is ours to choose.
    std::vector<char, UninitializedAllocator<char>> chars_;
    // End offset of each entry in chars_; an entry starts where the one before ends.
    std::vector<uint32_t> ends_;
};

template <class Pick>
size_t PathList::RemoveWhere(Pick& pick) {
    size_t kept = 0, write = 0, start = 0, i = 0;
    // Moves a kept entry down to the write position, which never passes its start: no byte
    // is overwritten before it has been read.
    auto keep = [&](size_t end) {
        if (write != start)
            std::copy(chars_.begin() + std::ptrdiff_t(start), chars_.begin() + std::ptrdiff_t(end),
                      chars_.begin() + std::ptrdiff_t(write));
        write += end - start;
        ends_[kept++] = uint32_t(write);
    };
    auto close = [&] {
        const size_t removed = ends_.size() - kept;
        ends_.resize(kept);
        chars_.resize(write);
        return removed;
    };
    // keep() may overwrite ends_[i], so each end is read before.
    try {
        for (; i < ends_.size(); ++i) {
            const size_t end = ends_[i];
            if (!pick(std::string_view(chars_.data() + start, end - start))) keep(end);
            start = end;
        }
    } catch (...) {
        // A failing predicate leaves the entries it did not judge in the list.
        for (; i < ends_.size(); ++i) {
            const size_t end = ends_[i];
            keep(end);
            start = end;
        }
        close();
        throw;
    }
    return close();
}

PathList ParsePathListText(std::string_view text);
std::string PathListText(const PathList& paths);
// Empty optional when the file cannot be read.
std::optional<PathList> ReadPathListFile(FileSystem& fs, std::string_view path);
bool WritePathListFile(FileSystem& fs, std::string_view path, const PathList& paths);
// Position of path in the list ignoring letter case, or npos.
size_t IndexOfPathIgnoringCase(const PathList& paths, std::string_view path);

}  // namespace lark
