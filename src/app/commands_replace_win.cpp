// "Search and replace" and the text search behind "Search": the dialog, one run over the
// found files in the activity window, then the "<Last Search>" view with the run's result.
#include "app/command_ids_win.h"
#include "app/main_frame_win.h"
#include "app/main_views_win.h"
#include "app/main_window_win.h"
#include "config/context.h"
#include "platform/messages.h"
#include "replace/replace_window_win.h"
#include "search/search_dialog_logic.h"
#include "search/search_dialog_win.h"

namespace lark {

void TfmOpen::mnuReplaceClick() {
    if (!searchDialog_ || textRunActive_) return;
    ViewController& views = views_->Views();
    if (!searchDialog_->RunSearchDialog(hwnd_, views.NameFilter, false)) return;
    try {
        RunTextSearch(false);
    } catch (const FileError& e) {
        // An index being written cannot be read: the command ends here with the message.
        ctx_.messages.Error(e.what());
        return;
    }
    // The program may have been ended while the run went on.
    if (hwnd_) views.ShowView("<Last Search>", {});
}

void TfmOpen::RunTextSearch(bool searchOnly) {
    if (!replaceWindow_ || textRunActive_) return;
    ViewController& views = views_->Views();
    WindowReplaceHost::MainWindowParts parts;
    parts.searchIndex = [&] { views_->SearchIndex(views.LastSearchResults); };
    parts.foundFiles = [&] {
        std::vector<std::string> paths;
        paths.reserve(views.LastSearchResults.size());
        for (size_t i = 0; i < views.LastSearchResults.size(); ++i)
            paths.push_back(views.LastSearchResults.Path(i));
        return paths;
    };
    parts.setFoundFiles = [&](std::vector<std::string> paths) {
        PathList list;
        list.reserve(paths.size());
        for (const std::string& path : paths) list.push_back(path);
        views.LastSearchResults = SearchResults(std::move(list));
    };
    parts.showProgressStrip = [&](int32_t maximum, std::string_view caption) {
        views_->ShowProgressStrip(maximum, caption);
    };
    parts.advanceProgress = [&](int32_t by) { views_->AdvanceProgress(by); };
    parts.hideProgress = [&] { views_->HideProgress(); };

    replaceWindow_->SetCaption(ModeTextsFor(searchOnly).replaceWindowCaption);
    // The run lets the windows work while it goes on: no second run may start meanwhile.
    textRunActive_ = true;
    EnableSearchCommands();
    struct Ending {
        TfmOpen& form;
        ~Ending() {
            form.textRunActive_ = false;
            if (form.hwnd_) form.EnableSearchCommands();
        }
    } ending{*this};
    RunSearchReplaceInWindows(ctx_, criteria_, *replaceWindow_, std::move(parts), searchOnly);
}

void TfmOpen::EnableSearchCommands() {
    MainLayout& layout = frame_->Layout();
    layout.EnableCommand(kCmdSearch,
                         layout.CommandAvailable(kCmdSearch) && !indexBuilding_ && !textRunActive_);
    layout.EnableCommand(kCmdReplace, layout.CommandAvailable(kCmdReplace) && !textRunActive_);
}

}  // namespace lark
