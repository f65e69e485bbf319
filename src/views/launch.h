#pragma once
// The open box and the launch commands: what the shell is asked to do for the text of the
// open box, and the small rules around it (name filter, Browse folder).
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/shell.h"

namespace lark {

class FileSystem;
class Registry;

// What a launch needs from the main window.
struct LaunchHost {
    LaunchHost(ShellExecutor& shellExecutor, FileSystem& fileSystem)
        : shell(shellExecutor), fs(fileSystem) {}
    ShellExecutor& shell;
    FileSystem& fs;
    void* ownerWindow = nullptr;
    std::function<void()> hideWindow;
    // Notes the launch time so the change watcher can ignore what the launch itself causes.
    std::function<void()> markLaunch;
    std::function<void(const std::string&)> addToRecentDocuments;
    std::function<std::string()> currentViewName;
};

inline constexpr std::string_view kVerbOpen = "open";
inline constexpr std::string_view kVerbPrint = "print";
inline constexpr std::string_view kVerbOpenPath = "openpath";

// "http:", "https:" and "www." texts are handed to the shell whole.
bool IsWebAddress(std::string_view boxText);

// Opens, prints or opens the containing folder of every entry of the open box.
void LaunchOpenBox(LaunchHost& host, std::string_view verb, std::string_view boxText);

// A document, program or web address with its default verb, no owner window.
intptr_t RunShellTarget(ShellExecutor& shell, std::string_view target);

// The filter a change of the open box asks for, lower-cased, or nothing when the view
// stays as it is (a text with "\" never filters).
std::optional<std::string> OpenBoxFilterFor(std::string_view boxText,
                                            std::string_view currentNameFilter);

// Browse: the folder the Open dialog starts in (read from the registry the first time),
// and what a chosen file leaves behind.
std::string BrowseStartFolder(Registry& registry, std::string& lastAttachDir);
void RememberBrowsedFile(Registry& registry, std::string& lastAttachDir,
                         std::string_view chosenPath);

}  // namespace lark
