#pragma once
// The Windows side of launching: the shell itself, the Open dialog of "Browse", the
// shell's context menu for one file and the help pages.
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "views/launch.h"

namespace lark {

class Registry;

class Win32ShellExecutor final : public ShellExecutor {
  public:
    intptr_t Execute(const ShellRequest& request) override;
};

// "Browse": the standard Open dialog in the remembered folder. The chosen path, or empty
// when the user cancelled; the folder is remembered for the next time.
std::string BrowseForFile(HWND owner, Registry& registry, std::string& lastAttachDir);

// "Browse" (buFindFileClick): the chosen file goes into the open box and is opened.
void BrowseAndLaunch(HWND owner, Registry& registry, std::string& lastAttachDir, LaunchHost& host,
                     const std::function<void(const std::string&)>& setOpenBoxText);

// The shell's own context menu for one file at a screen position; once the shell offered a
// menu, hideWindow runs whether a command was chosen or not.
void ShowShellContextMenu(HWND owner, std::string_view path, int x, int y,
                          const std::function<void()>& hideWindow);

// Opens the help page of a topic in the browser.
intptr_t OpenHelpTopic(ShellExecutor& shell, std::string_view exePath, int topic);

}  // namespace lark
