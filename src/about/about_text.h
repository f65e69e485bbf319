#pragma once
// The lines the About box shows, kept apart from the dialog so they can be checked anywhere.
#include <cstdint>
#include <string>
#include <string_view>

namespace lark {

// "12,345,678 KB" for a byte count (rounded down to whole kilobytes).
std::string FormatKilobytes(uint64_t bytes);
// "Microsoft Windows 10 Pro, version 10.0 (build 19045)"; a missing product name falls back
// to "Windows".
std::string SystemDescription(std::string_view productName, uint32_t major, uint32_t minor,
                              uint32_t build);
std::string VersionLine(uint32_t major, uint32_t minor, uint32_t patch);

}  // namespace lark
