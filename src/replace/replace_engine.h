#pragma once
// The rules of a text search and replace that need neither a window nor the disk: the pair
// list and its safety check, the two line rules, the block rule, the byte search and the
// shape of a status line.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "search/query.h"

namespace lark {

// Letters, digits and the underscore; every other byte, those above 127 included, separates
// words.
inline bool IsWordChar(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// ASCII A-Z to a-z, nothing else; in place, or into a copy in the same pass.
void FoldAsciiBytes(char* data, size_t size);
inline void FoldAsciiBytes(std::string& text) {
    FoldAsciiBytes(text.data(), text.size());
}
void FoldAsciiCopy(const char* from, size_t size, char* to);

// Bytes kept from file to file, so a run makes (and the system clears) its buffers once
// rather than once per file.
class ByteBuffer {
  public:
    char* Data() { return data_.get(); }
    std::string_view View() const { return {data_.get(), size_}; }
    size_t Size() const { return size_; }
    void SetSize(size_t size) { size_ = size; }
    // Room for at least count bytes; the first Size() bytes stay.
    void Reserve(size_t count);

  private:
    std::unique_ptr<char[]> data_;
    size_t capacity_ = 0;
    size_t size_ = 0;
};

// One needle, prepared once for many searches (a skip table on its last byte).
class ByteFinder {
  public:
    ByteFinder() = default;
    explicit ByteFinder(std::string needle);
    const std::string& Needle() const { return needle_; }
    // First occurrence at or after from, or npos. An empty needle occurs nowhere.
    size_t Find(std::string_view hay, size_t from = 0) const;

  private:
    std::string needle_;
    std::array<uint32_t, 256> skip_{};
};

// A search string as the run looks for the places worth a closer look: exactly, or with the
// ASCII letters of the text in either case (the needle is then lower-case already).
class LiteralFinder {
  public:
    LiteralFinder(std::string needle, bool caseSensitive);
    size_t Size() const { return size_; }
    // First occurrence at or after from, or npos.
    size_t Find(std::string_view hay, size_t from) const {
        return caseSensitive_ ? exact_.Find(hay, from) : folded_.Find(hay, from);
    }

  private:
    size_t size_;
    bool caseSensitive_;
    ByteFinder exact_;
    FoldedFinder folded_;
};

// First index p >= start at which the bytes occur in block, or -1.
int64_t FindBytes(std::string_view block, std::string_view bytes, size_t start);

// The search strings and their replacements, in the order of the pairs box.
struct ReplacePairs {
    std::vector<std::string> SearchStrings;   // folded unless the run is case-sensitive
    std::vector<std::string> ReplaceStrings;  // trimmed, never folded
    int32_t PairCount = 0;
};

// Every line of the box is a pair, blank lines included: the search string before the
// first TAB (a leading quoted part may hold a TAB of its own), the replacement after it,
// both trimmed. A blank line gives an empty search string, which matches nothing.
ReplacePairs ParseReplacePairs(const std::vector<std::string>& lines, bool caseSensitive);

// The plain rule repeats until a line stops changing, so a replacement that holds a search
// string would never end. Calls refuse(search, replacement) once for each search string
// found (ignoring case) in some replacement; true when nothing was refused.
bool CheckPairsSafe(const ReplacePairs& pairs,
                    const std::function<void(std::string_view, std::string_view)>& refuse);
// The refusal as the run logs it.
std::string RefusalText(std::string_view search, std::string_view replacement);

// One line of a text file while the rules work on it. A line emptied by a replacement is
// dropped from the rewritten file; a changed line under comment marking keeps its old text
// above it, behind the prefix.
struct EditedLine {
    explicit EditedLine(std::string line = {}) : text(std::move(line)) {}
    std::string text;
    bool dropped = false;
    bool commented = false;
    std::string original;  // the line before its change, when commented
};

// A change one call of a line rule made, for the report: the line before and after it.
struct LineChange {
    std::string before;
    std::string after;
};

struct LineRuleOptions {
    bool caseSensitive = false;
    bool wholeWords = false;
    std::string commentPrefix;  // empty: no marking
};

// The plain rule: the first occurrence of the first pair that changes the line is replaced
// (at most one replacement per call). False when no pair changed the line, and when the
// line is already commented out.
bool ReplaceFirstInLine(const ReplacePairs& pairs, const LineRuleOptions& options, EditedLine& line,
                        LineChange* change);
// The wildcard rule: for each pair, the widest window that matches wins, and among equally
// wide ones the leftmost. Windows start and end on whole UTF-8 characters. stop is asked
// after each pair; true ends the search.
bool PatternReplaceInLine(const ReplacePairs& pairs, const LineRuleOptions& options,
                          EditedLine& line, LineChange* change,
                          const std::function<bool()>& stop = {});

// Every occurrence of one (already folded) search string in block, found in the block as it
// was and applied left to right, so a replacement is never searched again. probe: the block
// folded (or the block itself when case-sensitive); may alias nothing else that changes.
bool ReplaceAllInBlock(std::string& block, std::string_view probe, const ByteFinder& search,
                       std::string_view replacement, bool wholeWords);

// The longest run of a wildcard pattern without "*", "?" or "#": every window the pattern
// matches holds it. Empty when the pattern has no literal at all.
std::string LongestLiteral(std::string_view pattern);

// "h:nn:ss>" for the time elapsed since the run started.
std::string ElapsedStamp(uint32_t elapsedMs);
// A status line: the stamp (when timed) and an indent of two blanks per level above 1, at
// most 34.
std::string StatusLineText(std::string_view text, int level, bool timed, uint32_t elapsedMs);

}  // namespace lark
