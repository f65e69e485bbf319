#pragma once
// The standard message boxes on Windows, all captioned "Larkspire".
#include <windows.h>

#include "platform/messages.h"

namespace lark {

class Win32Messages final : public Messages {
  public:
    // The window the boxes are modal to when no window of the program is active; none until
    // the main window exists.
    void SetOwner(HWND owner) { owner_ = owner; }
    HWND Owner() const { return owner_; }

    void Error(std::string_view text) override;
    bool Confirm(std::string_view text) override;
    void Info(std::string_view text) override;
    void Warning(std::string_view text) override;

  private:
    int Show(std::string_view text, UINT type);
    HWND owner_ = nullptr;
};

inline constexpr const wchar_t* kMessageCaption = L"Larkspire";

}  // namespace lark
