#include "base/text.h"

#include <limits>

namespace lark {

std::string LowerCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = AsciiLower(c);
    return out;
}

std::string UpperCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = AsciiUpper(c);
    return out;
}

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

size_t FindIgnoringCase(std::string_view hay, std::string_view needle, size_t from) {
    if (needle.empty()) return from <= hay.size() ? from : std::string_view::npos;
    if (needle.size() > hay.size()) return std::string_view::npos;
    for (size_t i = from; i + needle.size() <= hay.size(); ++i) {
        size_t k = 0;
        while (k < needle.size() && AsciiLower(hay[i + k]) == AsciiLower(needle[k])) ++k;
        if (k == needle.size()) return i;
    }
    return std::string_view::npos;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && SameTextIgnoringCase(text.substr(0, prefix.size()), prefix);
}

bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           SameTextIgnoringCase(text.substr(text.size() - suffix.size()), suffix);
}

static bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string TrimLeft(std::string_view text) {
    size_t b = 0;
    while (b < text.size() && IsTrimmed(text[b])) ++b;
    return std::string(text.substr(b));
}

std::string TrimRight(std::string_view text) {
    size_t e = text.size();
    while (e > 0 && IsTrimmed(text[e - 1])) --e;
    return std::string(text.substr(0, e));
}

std::string Trim(std::string_view text) {
    size_t b = 0, e = text.size();
    while (b < e && IsTrimmed(text[b])) ++b;
    while (e > b && IsTrimmed(text[e - 1])) --e;
    return std::string(text.substr(b, e - b));
}

std::string SplitNextToken(std::string_view& text, std::string_view separator) {
    std::string token;
    size_t start = 0;
    if (text.size() > 1 && (text[0] == '"' || text[0] == '\'')) {
        size_t close = text.find(text[0], 1);
        if (close != std::string::npos) {
            token.assign(text.substr(1, close - 1));
            start = close + 1;
        }
    }
    std::string_view rest = text.substr(start);
    size_t at = FindIgnoringCase(rest, separator);
    if (at == std::string_view::npos || separator.empty()) {
        token.append(rest);
        text = std::string_view();
    } else {
        token.append(rest.substr(0, at));
        text.remove_prefix(start + at + separator.size());
    }
    return token;
}

std::string SplitNextToken(std::string& text, std::string_view separator) {
    std::string_view rest(text);
    std::string token = SplitNextToken(rest, separator);
    text.erase(0, text.size() - rest.size());
    return token;
}

static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string TrimTrailingBackslash(std::string_view path) {
    if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
    return std::string(path);
}

std::string FolderOfPath(std::string_view path) {
    size_t at = path.find_last_of("\\:");
    if (at == std::string_view::npos) return std::string();
    return TrimTrailingBackslash(path.substr(0, at + 1));
}

std::string_view FileNameOf(std::string_view path) {
    size_t at = path.find_last_of("\\:");
    return at == std::string_view::npos ? path : path.substr(at + 1);
}

std::string FileExtensionOf(std::string_view path) {
    for (size_t i = path.size(); i > 0; --i) {
        char c = path[i - 1];
        if (c == '\\') break;
        if (c == '.') return LowerCase(path.substr(i));
    }
    return std::string();
}

std::string FileBaseName(std::string_view path) {
    std::string_view name = FileNameOf(path);
    return std::string(name.substr(0, name.find('.')));
}

bool IsValidFileName(std::string_view path) {
    return FileNameOf(path).find_first_of("\\/:*?<>|\"") == std::string_view::npos;
}

bool IsPlainNameChar(unsigned char c) {
    if (c < 32 || c > 126) return false;
    switch (c) {
        case '*': case '?': case '<': case '>': case '|': case '"': return false;
        default: return true;
    }
}

bool TextToBool(std::string_view text) {
    std::string up = UpperCase(text);
    return up == "T" || up == "Y" || up == "1" || up == "YES" || up == "TRUE" || up == "EXIST" ||
           up == "EQUAL";
}

bool TryTextToInt(std::string_view text, int32_t& value) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == text.size()) return false;
    int64_t v = 0;
    for (; i < text.size(); ++i) {
        if (!IsDigit(text[i])) return false;
        v = v * 10 + (text[i] - '0');
        if (v > int64_t(std::numeric_limits<int32_t>::max()) + 1) return false;
    }
    if (negative) v = -v;
    if (v > std::numeric_limits<int32_t>::max() || v < std::numeric_limits<int32_t>::min())
        return false;
    value = static_cast<int32_t>(v);
    return true;
}

int32_t TextToInt(std::string_view text) {
    int32_t v = 0;
    return TryTextToInt(text, v) ? v : 0;
}

size_t PosFrom(size_t start, std::string_view text, std::string_view sub) {
    if (text.empty() || start < 1 || start > text.size()) return 0;
    if (sub.empty()) return start;
    size_t at = text.find(sub, start - 1);
    return at == std::string_view::npos ? 0 : at + 1;
}

std::string CopyFrom(std::string_view text, size_t from) {
    if (from < 1 || from > text.size()) return std::string();
    return std::string(text.substr(from - 1));
}

std::string TailChars(std::string_view text, size_t n) {
    return n >= text.size() ? std::string(text) : std::string(text.substr(text.size() - n));
}

std::string HeadChars(std::string_view text, size_t n) { return std::string(text.substr(0, n)); }

}  // namespace lark
