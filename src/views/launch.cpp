#include "views/launch.h"

#include "config/registry_helpers.h"
#include "base/text.h"
#include "platform/file_system.h"

namespace lark {

namespace {

constexpr std::string_view kLastAttachDirOption = "LastAttachDir";

bool AddsToRecentList(const LaunchHost& host) {
    if (!host.currentViewName) return true;
    std::string view = host.currentViewName();
    // Launching from these lists is re-opening a folder or a program, not using a document.
    return view != "<Recent Folders>" && view != "<Recent Programs>";
}

}  // namespace

bool IsWebAddress(std::string_view boxText) {
    // https is accepted as well: almost every address typed today uses it.
    return StartsWithIgnoringCase(boxText, "http:") || StartsWithIgnoringCase(boxText, "https:") ||
           StartsWithIgnoringCase(boxText, "www.");
}

void LaunchOpenBox(LaunchHost& host, std::string_view verb, std::string_view boxText) {
    if (host.hideWindow) host.hideWindow();
    std::string shellVerb = LowerCase(verb);
    bool wantContainer = shellVerb == kVerbOpenPath;
    if (wantContainer) shellVerb = std::string(kVerbOpen);

    if (IsWebAddress(boxText)) {
        ShellRequest request;
        request.verb = shellVerb;
        request.target = std::string(boxText);
        host.shell.Execute(request);
        return;
    }

    std::string rest(boxText);
    std::string folder;  // a folder entry passes on the working folder of the entry before it
    while (true) {
        // Trimming first lets a quoted entry after "; " be recognised as quoted.
        rest = TrimLeft(rest);
        std::string entry = Trim(SplitNextToken(rest, ";"));
        if (entry.empty()) break;
        bool isFolder = host.fs.IsFolder(entry);
        if (!isFolder) {
            folder = FolderOfPath(entry);
            // "C:" alone names the current folder of drive C, not its root.
            if (!folder.empty() && folder.back() == ':') folder += '\\';
            if (wantContainer) {
                entry = folder;
                isFolder = host.fs.IsFolder(entry);
            }
        }
        if (!isFolder && !host.fs.IsFile(entry)) continue;
        if (host.markLaunch) host.markLaunch();
        ShellRequest request;
        request.verb = shellVerb;
        request.target = entry;
        request.folder = folder;
        request.owner = host.ownerWindow;
        if (host.shell.Execute(request) > 32) {
            if (host.markLaunch) host.markLaunch();
            if (host.addToRecentDocuments && AddsToRecentList(host)) {
                host.addToRecentDocuments(entry);
            }
        }
    }
}

intptr_t RunShellTarget(ShellExecutor& shell, std::string_view target) {
    ShellRequest request;
    request.target = std::string(target);
    return shell.Execute(request);
}

std::optional<std::string> OpenBoxFilterFor(std::string_view boxText,
                                            std::string_view currentNameFilter) {
    if (boxText.find('\\') != std::string_view::npos) return std::nullopt;
    std::string filter = LowerCase(boxText);
    if (filter == LowerCase(currentNameFilter)) return std::nullopt;
    return filter;
}

std::string BrowseStartFolder(Registry& registry, std::string& lastAttachDir) {
    if (lastAttachDir.empty()) lastAttachDir = ReadOption(registry, kLastAttachDirOption, "");
    return lastAttachDir;
}

void RememberBrowsedFile(Registry& registry, std::string& lastAttachDir,
                         std::string_view chosenPath) {
    lastAttachDir = FolderOfPath(chosenPath);
    WriteOption(registry, kLastAttachDirOption, lastAttachDir);
}

}  // namespace lark
