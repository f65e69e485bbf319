#include "config/win32_app_win.h"

namespace lark {

Win32App::Win32App()
    : context_{fs_,
               registry_,
               clock_,
               messages_,
               settings_,
               ExecutablePath(),
               UserLoginName(),
               TempFolderPath(),
               RecentFolderPathFromSystem()} {}

std::string UserLoginName() {
    return UserLoginNameFromSystem();
}

std::string TempFolderPath() {
    return TempFolderPathFromSystem();
}

}  // namespace lark
