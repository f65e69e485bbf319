#pragma once
// The open box and the launch commands: what the shell is asked to do for the text of the
// open box, and the small rules around it (name filter, Browse folder, window keys, help).
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace lark {

class FileSystem;
class Registry;

enum class ShellShow { Normal, Show };

// One request to the shell, shaped like ShellExecute. An empty verb asks for the default
// verb; owner is the window the shell may use for its own dialogs (null for none).
struct ShellRequest {
    std::string verb;
    std::string target;
    std::string params;
    std::string folder;
    ShellShow show = ShellShow::Normal;
    void* owner = nullptr;
};

// The shell as the launch code sees it; the result follows ShellExecute: above 32 is success.
class ShellExecutor {
  public:
    virtual ~ShellExecutor() = default;
    virtual intptr_t Execute(const ShellRequest& request) = 0;
};

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

// The keys the main window handles before its controls.
enum class WindowKeyCommand { None, Refresh, Search, Hide, Go };
WindowKeyCommand WindowKeyCommandFor(uint32_t virtualKey);

// Help ships as HTML pages in a "help" folder beside the executable.
inline constexpr int kHelpTopicOverview = 10;
inline constexpr int kHelpTopicQueries = 20;
inline constexpr int kHelpTopicViews = 30;
inline constexpr int kHelpTopicCommands = 40;
inline constexpr std::string_view kTechSupportAddress = "https://larkspire.example.org/";
std::string HelpPagePath(std::string_view exePath, int topic);

}  // namespace lark
