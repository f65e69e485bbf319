#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace lark {

enum class RegistryRoot { ClassesRoot, CurrentUser, LocalMachine };

// String values only: every value the program keeps in the registry is text.
class Registry {
public:
    virtual ~Registry() = default;
    // Empty optional when the key or the value is missing (or not a string).
    virtual std::optional<std::string> Read(RegistryRoot root, std::string_view key,
                                            std::string_view name) = 0;
    // Creates the key when needed; an empty name writes the key's default value.
    virtual bool Write(RegistryRoot root, std::string_view key, std::string_view name,
                       std::string_view value) = 0;
};

}  // namespace lark
