#pragma once
#include <string_view>

namespace lark {

// The standard message boxes: error with OK, warning with Yes/No, information with OK.
class Messages {
public:
    virtual ~Messages() = default;
    virtual void Error(std::string_view text) = 0;
    // True only when the user answers Yes.
    virtual bool Confirm(std::string_view text) = 0;
    virtual void Info(std::string_view text) = 0;
    // A warning the user can only acknowledge (OK).
    virtual void Warning(std::string_view text) = 0;
};

}  // namespace lark
