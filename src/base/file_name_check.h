#pragma once
// Whether a name the user typed can stand as one file name inside a folder the program
// chooses: nothing in it may lead out of that folder ("..\", "C:", "\\server") or name one
// of the devices Windows keeps under every folder (CON, NUL, COM1 ...).
#include <string>
#include <string_view>

namespace lark {

enum class FileNameFault {
    None,
    Empty,
    ForbiddenCharacter,  // \ / : * ? " < > | or a control character
    TrailingDotOrBlank,  // Windows would drop them, and "." and ".." name folders
    DeviceName,
    TooLong,  // more than 255 characters
};

FileNameFault CheckFileName(std::string_view name);

// What the user is told: the name and why it cannot be used.
std::string FileNameFaultText(FileNameFault fault, std::string_view name);

}  // namespace lark
