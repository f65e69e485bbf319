// Delete, erase, rename, remove from the recent list, Notepad and the shell's context menu.
#include <algorithm>

#include "actions/file_actions.h"
#include "base/text.h"
#include "config/context.h"
#include "config/data_paths.h"
#include "config/settings.h"
#include "index/index_state.h"
#include "platform/shell.h"
#include "search/search_results.h"
#include "views/recent_documents.h"
#include "views/view_catalogue.h"
#include "views/view_controller.h"

namespace lark {

namespace {

constexpr std::string_view kForbiddenNameChars = "\\/:*?<>|;@$%^()+{},~`";

class BusyWhile {
  public:
    explicit BusyWhile(FileActionsHost& host) : host_(host) { host_.SetBusyCursor(true); }
    ~BusyWhile() { host_.SetBusyCursor(false); }
    BusyWhile(const BusyWhile&) = delete;
    BusyWhile& operator=(const BusyWhile&) = delete;

  private:
    FileActionsHost& host_;
};

bool ContainsPath(const std::vector<std::string>& paths, std::string_view path) {
    return std::any_of(paths.begin(), paths.end(),
                       [&](const std::string& p) { return SameTextIgnoringCase(p, path); });
}

// The results as copies, with each entry changed (or dropped, when edit gives nothing).
template <class Edit>
SearchResults EditedResults(const SearchResults& results, Edit edit) {
    PathList copy;
    copy.reserve(results.size());
    std::string scratch;
    for (size_t i = 0; i < results.size(); ++i) {
        std::optional<std::string> entry = edit(results.PathAt(i, scratch));
        if (entry) copy.push_back(*entry);
    }
    return SearchResults(std::move(copy));
}

PathList AsPathList(const SearchResults& results) {
    PathList list;
    list.reserve(results.size());
    std::string scratch;
    for (size_t i = 0; i < results.size(); ++i) list.push_back(results.PathAt(i, scratch));
    return list;
}

}  // namespace

std::vector<std::string> OpenBoxPaths(std::string_view text) {
    std::vector<std::string> paths;
    std::string rest(text);
    while (!rest.empty()) {
        rest = TrimLeft(rest);
        std::string path = Trim(SplitNextToken(rest, ";"));
        if (!path.empty()) paths.push_back(std::move(path));
    }
    return paths;
}

std::string CleanFileName(std::string_view name) {
    std::string clean(name);
    for (char& c : clean) {
        if (c == '"')
            c = '\'';
        else if (kForbiddenNameChars.find(c) != std::string_view::npos)
            c = ' ';
    }
    return clean;
}

bool RenameListEntry(FileSystem& fs, PathList& list, std::string_view oldPath,
                     std::string_view newPath, std::string_view listFile) {
    size_t at = IndexOfPathIgnoringCase(list, oldPath);
    if (at == std::string::npos) return false;
    PathList renamed;
    renamed.reserve(list.size(), list.CharCount() + newPath.size());
    for (size_t i = 0; i < list.size(); ++i) renamed.push_back(i == at ? newPath : list[i]);
    list = std::move(renamed);
    WritePathListFile(fs, listFile, list);
    return true;
}

bool RenameListEntry(FileSystem& fs, SearchResults& list, std::string_view oldPath,
                     std::string_view newPath, std::string_view listFile) {
    std::string scratch;
    bool found = false;
    for (size_t i = 0; i < list.size() && !found; ++i)
        found = SameTextIgnoringCase(list.PathAt(i, scratch), oldPath);
    if (!found) return false;
    bool replaced = false;
    list = EditedResults(list, [&](std::string_view path) -> std::optional<std::string> {
        if (!replaced && SameTextIgnoringCase(path, oldPath)) {
            replaced = true;
            return std::string(newPath);
        }
        return std::string(path);
    });
    WritePathListFile(fs, listFile, AsPathList(list));
    return true;
}

void FileActions::RemoveFromRecentDocuments(std::string_view paths, bool force) {
    PathList& recent = views_.RecentDocuments;
    std::string recentFolder = TrimTrailingBackslash(RecentFolderPath(ctx_));
    bool removed = false;
    for (const std::string& path : OpenBoxPaths(paths)) {
        if (!force && ctx_.fs.Exists(path)) continue;
        size_t at = IndexOfPathIgnoringCase(recent, path);
        if (at == std::string::npos) continue;
        ctx_.fs.RemoveFile(recentFolder + "\\" + std::string(FileNameOf(recent[at])) + ".lnk");
        recent.erase(recent.begin() + std::ptrdiff_t(at));
        removed = true;
    }
    if (!removed) return;
    SaveRecentDocuments(ctx_, recent);
    if (views_.CurrentViewList == &recent) views_.ShowView(kMyRecentDocumentsView);
}

PathList* FileActions::CurrentPlainList() {
    const PathSource* current = views_.CurrentViewList;
    for (PathList* list : {&views_.TemplateDocuments, &views_.RecentFolders, &views_.RecentPrograms,
                           &views_.OtherUserDocuments})
        if (current == list) return list;
    return nullptr;
}

bool FileActions::ShowingLastSearch() const {
    return views_.CurrentViewList == &views_.LastSearchResults;
}

void FileActions::DropVanishedFromCurrentList(const std::vector<std::string>& paths) {
    std::vector<std::string> gone;
    for (const std::string& path : paths)
        if (!ctx_.fs.Exists(path)) gone.push_back(path);
    if (gone.empty()) return;
    if (ShowingLastSearch()) {
        views_.LastSearchResults = EditedResults(
            views_.LastSearchResults, [&](std::string_view path) -> std::optional<std::string> {
                if (ContainsPath(gone, path)) return std::nullopt;
                return std::string(path);
            });
    } else if (PathList* list = CurrentPlainList()) {
        erase_if(*list, [&](std::string_view path) { return ContainsPath(gone, path); });
    }
}

void FileActions::SaveLastSearch() {
    WritePathListFile(ctx_.fs, LastSearchPath(ctx_), AsPathList(views_.LastSearchResults));
}

void FileActions::ShowCurrentViewAgain() {
    if (!views_.CurrentViewName.empty()) views_.ShowView(std::string(views_.CurrentViewName));
}

void FileActions::lvDeleteClick() {
    std::string text = host_.OpenBoxText();
    std::vector<std::string> paths = OpenBoxPaths(text);
    if (paths.empty()) {
        ctx_.messages.Info("No files are selected for deletion");
        return;
    }
    host_.ShellDeleteFiles(paths, host_.ControlKeyDown());
    // Whatever the shell reported, the lists follow the disk.
    RemoveFromRecentDocuments(text, false);
    if (views_.CurrentViewList != &views_.RecentDocuments) {
        DropVanishedFromCurrentList(paths);
        if (ShowingLastSearch()) SaveLastSearch();
    }
    ShowCurrentViewAgain();
}

void FileActions::mnuEraseClick() {
    std::string text = host_.OpenBoxText();
    std::vector<std::string> paths = OpenBoxPaths(text);
    if (paths.empty()) {
        ctx_.messages.Info("No files are selected for erasure");
        return;
    }
    if (!ctx_.messages.Confirm("Please confirm file ERASE. You cannot recover erased files!"))
        return;
    std::vector<std::string> failed;
    {
        BusyWhile busy(host_);
        for (const std::string& path : paths)
            if (host_.EraseFile(path) != EraseResult::Erased) failed.push_back(path);
        RemoveFromRecentDocuments(text, false);
        if (views_.CurrentViewList != &views_.RecentDocuments) {
            DropVanishedFromCurrentList(paths);
            if (ShowingLastSearch()) SaveLastSearch();
        }
        ShowCurrentViewAgain();
    }
    if (failed.size() == 1) {
        ctx_.messages.Error("Unable to erase: " + failed[0]);
    } else if (!failed.empty()) {
        std::string list;
        for (const std::string& path : failed) list += "\r\n" + path;
        ctx_.messages.Error("Unable to erase these files:" + list);
    }
}

void FileActions::lvRenameClick() {
    std::optional<size_t> row = host_.FirstSelectedRow();
    if (!row || *row >= views_.Items.Count() || !views_.LabelEditAllowed()) return;
    host_.BeginLabelEdit(*row);
}

void FileActions::ListViewEdited(size_t row, const std::optional<std::string>& text) {
    if (!text || row >= views_.Items.Count()) return;
    FileListItem& item = views_.Items.ItemAt(row);
    const std::string oldName = item.Name;
    // Windows drops blanks at the end of a name; a name of blanks alone is no name.
    const std::string newName = Trim(CleanFileName(*text));
    if (newName.empty() || newName == oldName) return;
    const std::string oldPath = item.Folder + "\\" + oldName;
    const std::string newPath = item.Folder + "\\" + newName;
    // Another file of that name stays untouched; a change of letter case alone is allowed.
    if (ctx_.fs.Exists(newPath) && !SameTextIgnoringCase(oldName, newName)) return;
    if (!ctx_.fs.Rename(oldPath, newPath)) {
        ctx_.messages.Error("Unable to rename " + oldPath);
        return;
    }
    host_.SetOpenBoxText(newPath);
    item.Name = newName;
    host_.RepaintList();

    if (views_.CurrentViewList == &views_.RecentFolders) {
        // The row is a folder: the documents inside it now live under its new name.
        const std::string oldPrefix = oldPath + "\\";
        bool changed = false;
        PathList moved;
        moved.reserve(views_.RecentDocuments.size());
        for (std::string_view entry : views_.RecentDocuments) {
            if (StartsWithIgnoringCase(entry, oldPrefix)) {
                moved.PushJoined(newPath, entry.substr(oldPath.size()));
                changed = true;
            } else {
                moved.push_back(entry);
            }
        }
        if (changed) {
            views_.RecentDocuments = std::move(moved);
            SaveRecentDocuments(ctx_, views_.RecentDocuments);
        }
    } else {
        if (views_.CurrentViewList == &views_.TemplateDocuments) {
            size_t at = IndexOfPathIgnoringCase(views_.TemplateDocuments, oldPath);
            if (at != std::string::npos) {
                PathList renamed;
                for (size_t i = 0; i < views_.TemplateDocuments.size(); ++i)
                    renamed.push_back(i == at ? std::string_view(newPath)
                                              : views_.TemplateDocuments[i]);
                views_.TemplateDocuments = std::move(renamed);
            }
        }
        RenameListEntry(ctx_.fs, views_.LastSearchResults, oldPath, newPath, LastSearchPath(ctx_));
        RenameListEntry(ctx_.fs, views_.RecentDocuments, oldPath, newPath, MyRecentFilesPath(ctx_));
    }
    if (ctx_.settings.RefreshFixedSchedule) host_.StartIndexBuild();
}

void FileActions::lvRemoveClick() {
    RemoveFromRecentDocuments(host_.OpenBoxText(), true);
}

void FileActions::lvNotepadEditClick() {
    std::string rest = host_.OpenBoxText();
    for (;;) {
        rest = TrimLeft(rest);
        std::string path = Trim(SplitNextToken(rest, ";"));
        if (path.empty()) break;
        if (!ctx_.fs.IsFile(path)) continue;
        LastLaunchTick.store(ctx_.clock.TickCount());
        ShellRequest request;
        request.verb = "open";
        request.target = "Notepad.exe";
        // Quoted, so a name with blanks reaches Notepad as one file.
        request.params = "\"" + path + "\"";
        request.folder = FolderOfPath(path);
        request.show = ShellShow::Show;
        request.owner = host_.OwnerWindow();
        if (shell_.Execute(request) <= 32) continue;
        LastLaunchTick.store(ctx_.clock.TickCount());
        if (views_.CurrentViewList != &views_.RecentFolders &&
            views_.CurrentViewList != &views_.RecentPrograms)
            AddToRecentDocuments(ctx_, views_.RecentDocuments, path);
        host_.HideWindow();
    }
}

void FileActions::lvExplorerActionsClick() {
    std::optional<size_t> row = host_.FirstSelectedRow();
    if (!row || *row >= views_.Items.Count()) return;
    host_.ShowShellContextMenu(views_.Items.ItemAt(*row).Path());
}

}  // namespace lark
