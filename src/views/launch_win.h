#pragma once
// The Windows side of launching: the Open dialog of "Browse" and the shell's context menu
// for one file.
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "views/launch.h"

namespace lark {

class Registry;

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

}  // namespace lark
