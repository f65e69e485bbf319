#pragma once
// The running program's platform objects, its settings record and the context the
// portable code reaches them through. One instance lives for the whole process.
#include "config/context.h"
#include "config/settings.h"
#include "platform/win32/messages_win.h"
#include "platform/win32/win32_platform.h"

namespace lark {

class Win32App {
  public:
    Win32App();
    Win32App(const Win32App&) = delete;
    Win32App& operator=(const Win32App&) = delete;

    AppContext& Context() { return context_; }
    Settings& AppSettings() { return settings_; }
    // The main window becomes the owner of every box once it exists.
    Win32Messages& MessageBoxes() { return messages_; }

  private:
    Win32FileSystem fs_;
    Win32Registry registry_;
    Win32Clock clock_;
    Win32Messages messages_;
    Settings settings_;
    AppContext context_;
};

// The logged-on user's name; empty when Windows cannot tell.
std::string UserLoginName();
// The system temporary folder without a trailing "\".
std::string TempFolderPath();

}  // namespace lark
