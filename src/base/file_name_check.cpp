#include "base/file_name_check.h"

#include "base/text.h"

namespace lark {

namespace {

constexpr size_t kMaxNameCharacters = 255;

// Characters as Windows counts them in a name: UTF-16 units.
size_t Utf16Length(std::string_view text) {
    size_t units = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if ((c & 0xC0) == 0x80) continue;  // continuation byte
        units += c >= 0xF0 ? 2 : 1;        // four-byte sequences need a surrogate pair
    }
    return units;
}

bool IsDeviceName(std::string_view name) {
    // "NUL.txt" and "con .lks" are the devices too: Windows looks at the part before the
    // first dot, trailing blanks ignored.
    std::string stem = UpperCase(TrimRight(name.substr(0, name.find('.'))));
    if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL" || stem == "CONIN$" ||
        stem == "CONOUT$")
        return true;
    return stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) &&
           stem[3] >= '0' && stem[3] <= '9';
}

}  // namespace

FileNameFault CheckFileName(std::string_view name) {
    if (name.empty()) return FileNameFault::Empty;
    for (char c : name) {
        if (static_cast<unsigned char>(c) < 32) return FileNameFault::ForbiddenCharacter;
        if (std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos)
            return FileNameFault::ForbiddenCharacter;
    }
    if (name.back() == '.' || name.back() == ' ') return FileNameFault::TrailingDotOrBlank;
    if (IsDeviceName(name)) return FileNameFault::DeviceName;
    if (Utf16Length(name) > kMaxNameCharacters) return FileNameFault::TooLong;
    return FileNameFault::None;
}

std::string FileNameFaultText(FileNameFault fault, std::string_view name) {
    std::string quoted;
    quoted.append(1, '"').append(name).append(1, '"');
    switch (fault) {
        case FileNameFault::None:
            return std::string();
        case FileNameFault::Empty:
            return "Please type a name.";
        case FileNameFault::ForbiddenCharacter:
            return quoted +
                   " cannot be used as a name: a name may not hold any of the characters "
                   "\\ / : * ? \" < > |";
        case FileNameFault::TrailingDotOrBlank:
            return quoted + " cannot be used as a name: a name may not end with a dot or a blank.";
        case FileNameFault::DeviceName:
            return quoted + " cannot be used as a name: Windows keeps it for a device.";
        case FileNameFault::TooLong:
            return "The name is too long: a file name may hold at most 255 characters.";
    }
    return std::string();
}

}  // namespace lark
