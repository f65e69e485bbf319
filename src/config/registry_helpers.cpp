#include "config/registry_helpers.h"

namespace lark {

std::string ReadRegistryString(Registry& reg, RegistryRoot root, std::string_view key,
                               std::string_view name, std::string_view def) {
    std::optional<std::string> value = reg.Read(root, key, name);
    if (!value || value->empty()) return std::string(def);
    return *value;
}

bool WriteRegistryString(Registry& reg, RegistryRoot root, std::string_view key,
                         std::string_view name, std::string_view value) {
    if (key.empty()) return false;
    return reg.Write(root, key, name, value);
}

std::string ReadOption(Registry& reg, std::string_view name, std::string_view def) {
    return ReadRegistryString(reg, RegistryRoot::CurrentUser, kOptionsKey, name, def);
}

bool WriteOption(Registry& reg, std::string_view name, std::string_view value) {
    return WriteRegistryString(reg, RegistryRoot::CurrentUser, kOptionsKey, name, value);
}

}  // namespace lark
