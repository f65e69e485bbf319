#include "replace/replace_engine.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/text.h"
#include "base/wildcard.h"

namespace lark {

namespace {

bool StartsCharacter(std::string_view text, size_t at) {
    return at >= text.size() || (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80;
}

// What both line rules do before looking for a hit: the folded line, or nothing when the
// line is already a commented-out line and must stay as it is.
bool LinePrelude(const LineRuleOptions& options, const EditedLine& line, std::string& folded) {
    if (line.commented) return false;
    folded = line.text;
    if (!options.caseSensitive) FoldAsciiBytes(folded);
    if (options.commentPrefix.empty()) return true;
    std::string prefix = options.commentPrefix;
    if (!options.caseSensitive) FoldAsciiBytes(prefix);
    return folded.compare(0, prefix.size(), prefix) != 0;
}

// Stores the new text of a changed line; false when the text did not change after all.
bool StoreChange(const LineRuleOptions& options, EditedLine& line, std::string newText,
                 LineChange* change) {
    if (newText == line.text) return false;
    if (change) {
        change->before = line.text;
        change->after = newText;
    }
    if (!options.commentPrefix.empty()) {
        line.commented = true;
        line.original = std::move(line.text);
    } else if (newText.empty()) {
        line.dropped = true;
    }
    line.text = std::move(newText);
    return true;
}

std::string Spliced(std::string_view text, size_t at, size_t length, std::string_view insert) {
    std::string result;
    result.reserve(text.size() - length + insert.size());
    result.append(text.substr(0, at));
    result.append(insert);
    result.append(text.substr(at + length));
    return result;
}

}  // namespace

void FoldAsciiBytes(char* data, size_t size) {
    // Branch-free, so the compiler can fold many bytes at once.
    auto* bytes = reinterpret_cast<unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) {
        unsigned char c = bytes[i];
        bytes[i] = static_cast<unsigned char>(c + (static_cast<unsigned char>(c - 'A') < 26u) * 32);
    }
}

void FoldAsciiCopy(const char* from, size_t size, char* to) {
    const auto* in = reinterpret_cast<const unsigned char*>(from);
    auto* out = reinterpret_cast<unsigned char*>(to);
    for (size_t i = 0; i < size; ++i) {
        unsigned char c = in[i];
        out[i] = static_cast<unsigned char>(c + (static_cast<unsigned char>(c - 'A') < 26u) * 32);
    }
}

void ByteBuffer::Reserve(size_t count) {
    if (count <= capacity_) return;
    const size_t capacity = std::max(count, capacity_ * 2);
    // Left uninitialised on purpose: every byte is read into before it is looked at.
    std::unique_ptr<char[]> data(new char[capacity]);
    if (size_ > 0) std::memcpy(data.get(), data_.get(), size_);
    data_ = std::move(data);
    capacity_ = capacity;
}

ByteFinder::ByteFinder(std::string needle) : needle_(std::move(needle)) {
    const size_t n = needle_.size();
    skip_.fill(static_cast<uint32_t>(n));
    for (size_t i = 0; i + 1 < n; ++i)
        skip_[static_cast<unsigned char>(needle_[i])] = static_cast<uint32_t>(n - 1 - i);
}

size_t ByteFinder::Find(std::string_view hay, size_t from) const {
    const size_t n = needle_.size();
    if (n == 0 || from > hay.size() || hay.size() - from < n) return std::string_view::npos;
    const char* h = hay.data();
    if (n == 1) {
        const void* at = std::memchr(h + from, needle_[0], hay.size() - from);
        return at ? static_cast<size_t>(static_cast<const char*>(at) - h) : std::string_view::npos;
    }
    const char* needle = needle_.data();
    const unsigned char last = static_cast<unsigned char>(needle[n - 1]);
    const size_t end = hay.size() - n;
    size_t i = from;
    while (i <= end) {
        const unsigned char c = static_cast<unsigned char>(h[i + n - 1]);
        if (c == last && std::memcmp(h + i, needle, n - 1) == 0) return i;
        i += skip_[c];
    }
    return std::string_view::npos;
}

LiteralFinder::LiteralFinder(std::string needle, bool caseSensitive)
    : size_(needle.size()), caseSensitive_(caseSensitive) {
    if (caseSensitive) {
        exact_ = ByteFinder(std::move(needle));
    } else {
        folded_ = FoldedFinder(needle);
    }
}

int64_t FindBytes(std::string_view block, std::string_view bytes, size_t start) {
    size_t at = ByteFinder(std::string(bytes)).Find(block, start);
    return at == std::string_view::npos ? -1 : static_cast<int64_t>(at);
}

ReplacePairs ParseReplacePairs(const std::vector<std::string>& lines, bool caseSensitive) {
    ReplacePairs pairs;
    for (const std::string& line : lines) {
        std::string rest = line;
        std::string search = Trim(SplitNextToken(rest, "\t"));
        if (!caseSensitive) FoldAsciiBytes(search);
        pairs.SearchStrings.push_back(std::move(search));
        pairs.ReplaceStrings.push_back(Trim(rest));
        ++pairs.PairCount;
    }
    return pairs;
}

bool CheckPairsSafe(const ReplacePairs& pairs,
                    const std::function<void(std::string_view, std::string_view)>& refuse) {
    std::vector<std::string> replacements;
    for (const std::string& r : pairs.ReplaceStrings) replacements.push_back(LowerCase(r));
    bool safe = true;
    for (const std::string& search : pairs.SearchStrings) {
        if (search.empty()) continue;
        std::string folded = LowerCase(search);
        for (size_t j = 0; j < replacements.size(); ++j) {
            if (replacements[j].find(folded) == std::string::npos) continue;
            safe = false;
            if (refuse) refuse(search, pairs.ReplaceStrings[j]);
            break;
        }
    }
    return safe;
}

std::string RefusalText(std::string_view search, std::string_view replacement) {
    return " Search string '" + std::string(search) + "' is part of Replace string '" +
           std::string(replacement) + "'";
}

bool ReplaceFirstInLine(const ReplacePairs& pairs, const LineRuleOptions& options, EditedLine& line,
                        LineChange* change) {
    std::string folded;
    if (!LinePrelude(options, line, folded)) return false;
    for (size_t i = 0; i < pairs.SearchStrings.size(); ++i) {
        const std::string& search = pairs.SearchStrings[i];
        if (search.empty()) continue;
        const size_t pos = folded.find(search);
        if (pos == std::string::npos) continue;
        const size_t n = search.size();
        // Only the first occurrence counts: one inside a word makes the pair pass this line.
        if (options.wholeWords &&
            ((pos > 0 && IsWordChar(static_cast<unsigned char>(folded[pos - 1]))) ||
             (pos + n < folded.size() && IsWordChar(static_cast<unsigned char>(folded[pos + n])))))
            continue;
        if (StoreChange(options, line, Spliced(line.text, pos, n, pairs.ReplaceStrings[i]), change))
            return true;
    }
    return false;
}

bool PatternReplaceInLine(const ReplacePairs& pairs, const LineRuleOptions& options,
                          EditedLine& line, LineChange* change, const std::function<bool()>& stop) {
    std::string folded;
    if (!LinePrelude(options, line, folded)) return false;
    const std::string_view text(folded);
    // A star pattern tries every window of the line, millions on a long one: Stop is asked
    // every so many windows, not only after each pair.
    constexpr size_t kWindowsBetweenAsks = 4096;
    size_t untilAsk = kWindowsBetweenAsks;
    for (size_t i = 0; i < pairs.SearchStrings.size(); ++i) {
        const std::string& pattern = pairs.SearchStrings[i];
        // An empty pattern would match the empty window before every character.
        if (!pattern.empty()) {
            const size_t widest =
                pattern.find('*') != std::string::npos ? text.size() : pattern.size();
            // A literal first or last byte of the pattern must stand at that end of a
            // matching window, which rules most windows out before the matcher is asked.
            auto literal = [](char c) { return c != '*' && c != '?' && c != '#'; };
            const int first =
                literal(pattern.front()) ? static_cast<unsigned char>(pattern.front()) : -1;
            const int last =
                literal(pattern.back()) ? static_cast<unsigned char>(pattern.back()) : -1;
            for (size_t w = widest; w >= pattern.size() && w <= text.size(); --w) {
                for (size_t s = 0; s + w <= text.size(); ++s) {
                    if (--untilAsk == 0) {
                        untilAsk = kWindowsBetweenAsks;
                        if (stop && stop()) return false;
                    }
                    if (first >= 0 && static_cast<unsigned char>(text[s]) != first) continue;
                    if (last >= 0 && static_cast<unsigned char>(text[s + w - 1]) != last) continue;
                    if (!StartsCharacter(text, s) || !StartsCharacter(text, s + w)) continue;
                    if (!WildcardMatch(text.substr(s, w), pattern)) continue;
                    if (StoreChange(options, line,
                                    Spliced(line.text, s, w, pairs.ReplaceStrings[i]), change))
                        return true;
                }
            }
        }
        if (stop && stop()) return false;
    }
    return false;
}

bool ReplaceAllInBlock(std::string& block, std::string_view probe, const ByteFinder& search,
                       std::string_view replacement, bool wholeWords) {
    const size_t n = search.Needle().size();
    if (n == 0) return false;
    std::string result;
    size_t copied = 0;
    bool found = false;
    for (size_t start = 0; start < probe.size();) {
        const size_t p = search.Find(probe, start);
        if (p == std::string_view::npos) break;
        const bool accepted =
            !wholeWords ||
            !((p > 0 && IsWordChar(static_cast<unsigned char>(probe[p - 1]))) ||
              (p + n < probe.size() && IsWordChar(static_cast<unsigned char>(probe[p + n]))));
        if (accepted) {
            if (!found) result.reserve(block.size() + replacement.size());
            found = true;
            result.append(block, copied, p - copied);
            result.append(replacement);
            copied = p + n;
        }
        start = p + n;
    }
    if (!found) return false;
    result.append(block, copied, std::string::npos);
    block = std::move(result);
    return true;
}

std::string LongestLiteral(std::string_view pattern) {
    std::string_view best;
    size_t start = 0;
    for (size_t i = 0; i <= pattern.size(); ++i) {
        if (i < pattern.size() && pattern[i] != '*' && pattern[i] != '?' && pattern[i] != '#')
            continue;
        if (i - start > best.size()) best = pattern.substr(start, i - start);
        start = i + 1;
    }
    return std::string(best);
}

std::string ElapsedStamp(uint32_t elapsedMs) {
    const uint32_t seconds = elapsedMs / 1000;
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%u:%02u:%02u>", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return stamp;
}

std::string StatusLineText(std::string_view text, int level, bool timed, uint32_t elapsedMs) {
    const int indent = std::min(2 * (std::max(level, 1) - 1), 34);
    std::string line = timed ? ElapsedStamp(elapsedMs) : std::string();
    line.append(static_cast<size_t>(indent), ' ');
    line.append(text);
    return line;
}

}  // namespace lark
