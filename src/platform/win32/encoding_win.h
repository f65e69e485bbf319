#pragma once
// The two conversions at the edge between the program's UTF-8 text and the wide
// Windows API.
#include <string>
#include <string_view>

namespace lark {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

}  // namespace lark
