#pragma once
#include <string>
#include <string_view>

#include "platform/registry.h"

namespace lark {

inline constexpr const char* kOptionsKey = "Software\\Brannock\\Larkspire\\Options";
inline constexpr const char* kFormKeyPrefix = "Software\\Brannock\\Larkspire\\Form\\";

// The value, or def when the key or value is missing or the value is empty.
std::string ReadRegistryString(Registry& reg, RegistryRoot root, std::string_view key,
                               std::string_view name, std::string_view def);
// False at once for an empty key text; an empty name writes the key's default value.
bool WriteRegistryString(Registry& reg, RegistryRoot root, std::string_view key,
                         std::string_view name, std::string_view value);
std::string ReadOption(Registry& reg, std::string_view name, std::string_view def);
bool WriteOption(Registry& reg, std::string_view name, std::string_view value);

}  // namespace lark
