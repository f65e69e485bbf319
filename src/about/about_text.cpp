#include "about/about_text.h"

#include "base/text.h"

namespace lark {

std::string FormatKilobytes(uint64_t bytes) {
    std::string digits = std::to_string(bytes / 1024);
    std::string out;
    const size_t n = digits.size();
    for (size_t i = 0; i < n; ++i) {
        out += digits[i];
        if ((n - i - 1) % 3 == 0 && i + 1 < n) out += ',';
    }
    return out + " KB";
}

std::string SystemDescription(std::string_view productName, uint32_t major, uint32_t minor,
                              uint32_t build) {
    std::string name = Trim(productName);
    if (name.empty()) name = "Windows";
    return name + ", version " + std::to_string(major) + "." + std::to_string(minor) + " (build " +
           std::to_string(build) + ")";
}

std::string VersionLine(uint32_t major, uint32_t minor, uint32_t patch) {
    return "Version " + std::to_string(major) + "." + std::to_string(minor) + "." +
           std::to_string(patch);
}

}  // namespace lark
