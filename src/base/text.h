#pragma once
// Small text and path helpers shared by every part of the program. Texts are UTF-8
// byte strings; lower- and upper-casing touch ASCII letters only; positions are 1-based.
#include <cstdint>
#include <string>
#include <string_view>

namespace lark {

inline char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; }
inline char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 32) : c; }
std::string LowerCase(std::string_view text);
std::string UpperCase(std::string_view text);
bool SameTextIgnoringCase(std::string_view a, std::string_view b);
// Position (0-based) of needle in hay ignoring ASCII case, or npos.
size_t FindIgnoringCase(std::string_view hay, std::string_view needle, size_t from = 0);
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix);
bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix);
// Removes blanks and control characters (<= 32) from both ends / one end.
std::string Trim(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);

// Cuts the next token off the front of text. A leading quoted part (double or single
// quote, closed later) is taken without its quotes; then everything up to the next
// separator (matched ignoring case) is appended. text keeps what follows the separator.
std::string SplitNextToken(std::string& text, std::string_view separator);
// The same over a view, which is only moved on: cutting a long text into many tokens costs
// no copying of what remains.
std::string SplitNextToken(std::string_view& text, std::string_view separator);

std::string TrimTrailingBackslash(std::string_view path);
std::string FolderOfPath(std::string_view path);
// Text after the last "\" or ":" (the file-name part).
std::string_view FileNameOf(std::string_view path);
std::string FileExtensionOf(std::string_view path);
std::string FileBaseName(std::string_view path);
bool IsValidFileName(std::string_view path);
bool IsPlainNameChar(unsigned char c);

bool TextToBool(std::string_view text);
inline const char* BoolToText(bool b) { return b ? "T" : "F"; }
// The value when the whole text is a 32-bit integer (leading blanks and a sign allowed),
// otherwise 0. TryTextToInt reports whether the text was valid.
int32_t TextToInt(std::string_view text);
bool TryTextToInt(std::string_view text, int32_t& value);

size_t PosFrom(size_t start, std::string_view text, std::string_view sub);
std::string CopyFrom(std::string_view text, size_t from);
std::string TailChars(std::string_view text, size_t n);
std::string HeadChars(std::string_view text, size_t n);

}  // namespace lark
