#pragma once
// One resident instance per user: finding the running one and handing it a command line.
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace lark {

class Registry;
struct StartDecision;

// Posted to the running instance's main window.
inline constexpr UINT WM_INSTANCE_COMMAND = WM_USER + 1;
inline constexpr WPARAM kInstanceShow = 0;
inline constexpr WPARAM kInstanceOpen = 1;
inline constexpr WPARAM kInstanceExit = 2;
// A global atom holds at most this many characters; longer texts travel in a
// WM_COPYDATA record marked with kLongTextCopyId.
inline constexpr size_t kAtomTextLimit = 255;
inline constexpr ULONG_PTR kLongTextCopyId = 0x4C4B5331;  // "LKS1"

inline constexpr wchar_t kMainWindowClass[] = L"TfmOpen";

// The command-line parameters after the program name, as the shell split them.
std::vector<std::string> CommandLineParameters();
// Another process's top-level window of the class, or null.
HWND FindOtherInstance(HWND ownWindow, std::wstring_view className);
// The first top-level window whose caption matches the pattern ("*" appended when it has
// none), case-sensitive; null when none does.
HWND FindWindowByCaption(std::string_view pattern);
// The atom's name, then the atom is deleted; empty when it cannot be read.
std::string TakeAtomText(ATOM atom);
// The ".lks" saved-search type, opened by this executable, registered for the user; the
// shell is told when that changed anything. True when it did. Failures are ignored.
bool RegisterSearchFileType(Registry& registry, std::string_view exePath);
// Sends the decided commands to the running instance's window.
void HandOffToInstance(HWND other, const StartDecision& decision, const std::string& text);

}  // namespace lark
