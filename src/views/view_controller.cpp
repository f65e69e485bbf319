#include "views/view_controller.h"

#include <stdexcept>

#include "base/text.h"
#include "config/context.h"
#include "config/data_paths.h"
#include "config/registry_helpers.h"
#include "config/settings.h"
#include "views/launch.h"
#include "views/recent_documents.h"

namespace lark {

namespace {

class BusyCursor {
  public:
    explicit BusyCursor(ViewHost& host) : host_(host) { host_.SetBusyCursor(true); }
    ~BusyCursor() { host_.SetBusyCursor(false); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

  private:
    ViewHost& host_;
};

class ListUpdate {
  public:
    explicit ListUpdate(ViewHost& host) : host_(host) { host_.BeginListUpdate(); }
    ~ListUpdate() { host_.EndListUpdate(); }
    ListUpdate(const ListUpdate&) = delete;
    ListUpdate& operator=(const ListUpdate&) = delete;

  private:
    ViewHost& host_;
};

void AddFolderEntries(FileSystem& fs, const std::string& folder, PathList& into) {
    std::string base = TrimTrailingBackslash(folder);
    fs.List(base, [&](const FileInfo& e) { into.PushJoined(base + "\\", e.name); });
}

}  // namespace

ViewController::ViewController(AppContext& ctx, ViewHost& host, ShellServices& shell,
                               SavedSearchRunner& search)
    : ctx_(ctx), host_(host), shell_(shell), search_(search) {
    InHistorySelection = [this](double modified) {
        return lark::InHistorySelection(HistoryDays, historyToday_, modified);
    };
}

bool ViewController::LoadRecentDocumentsAtStartup() {
    return LoadRecentDocuments(ctx_, RecentDocuments);
}

void ViewController::LoadViewStyleOption() {
    int style = TextToInt(ReadOption(ctx_.registry, "ViewStyle", "0"));
    ApplyViewStyle(style >= kStyleLargeIcons && style <= kStyleDetails ? style : kStyleLargeIcons);
}

void ViewController::SaveViewStyleOption() {
    WriteOption(ctx_.registry, "ViewStyle", std::to_string(ViewStyleIndex));
}

void ViewController::ApplyViewStyle(int style) {
    ViewStyleIndex = style;
    host_.SetListStyle(style);
}

ViewSources ViewController::Sources() {
    return {ctx_.settings.DataLocation, ctx_.userName, MySearchesFolder(ctx_),
            SharedSearchesFolder(ctx_)};
}

std::string ViewController::SavedSearchFilePath(std::string_view name) {
    return lark::SavedSearchFilePath(ctx_.fs, MySearchesFolder(ctx_), SharedSearchesFolder(ctx_),
                                     name);
}

SavedSearchLoad ViewController::ReadCriteriaOf(std::string_view name, std::string_view nameFilter) {
    // While a name filter is typed, the results already shown are filtered instead of
    // running the search again.
    if (ClassifyView(name) != ViewKind::SavedSearch || !nameFilter.empty())
        return SavedSearchLoad::NotLoaded;
    return search_.LoadSavedSearch(SavedSearchFilePath(name));
}

bool ViewController::LoadView(std::string_view name) {
    std::string viewName(name);  // name may point into a list that the load refills
    // The file is read before anything changes, so a broken one leaves the view as it was.
    SavedSearchLoad savedSearch = ReadCriteriaOf(viewName, NameFilter);
    if (savedSearch == SavedSearchLoad::Abandoned) return false;
    FillView(viewName, savedSearch);
    return true;
}

void ViewController::FillView(std::string_view name, SavedSearchLoad savedSearch) {
    host_.SetListStyle(ViewStyleIndex);
    Items.ClearFileList();
    BusyCursor busy(host_);
    CurrentViewName = std::string(name);

    switch (ClassifyView(name)) {
        case ViewKind::RecentDocuments:
            CurrentViewList = &RecentDocuments;
            break;
        case ViewKind::LastSearch:
            CurrentViewList = &LastSearchResults;
            break;
        case ViewKind::RecentFolders:
            RecentFolders = BuildRecentFolders(RecentDocuments);
            CurrentViewList = &RecentFolders;
            break;
        case ViewKind::RecentPrograms:
            RecentPrograms = BuildRecentPrograms(RecentDocuments, shell_);
            CurrentViewList = &RecentPrograms;
            host_.SetListStyle(kStyleLargeIcons);
            break;
        case ViewKind::TemplateDocuments:
            TemplateDocuments.clear();
            AddFolderEntries(ctx_.fs, MyTemplateFolder(ctx_), TemplateDocuments);
            AddFolderEntries(ctx_.fs, SharedTemplateFolder(ctx_), TemplateDocuments);
            CurrentViewList = &TemplateDocuments;
            break;
        case ViewKind::OtherUser: {
            std::string file = RecentFilesPath(ctx_, OtherUserOfView(name));
            auto list = ReadPathListFile(ctx_.fs, file);
            if (!list) throw std::runtime_error("Cannot open file " + file);
            OtherUserDocuments = std::move(*list);
            CurrentViewList = &OtherUserDocuments;
            break;
        }
        case ViewKind::SavedSearch:
            // Not run (a filter is typed, or no file could be read): the list stays the one
            // shown before.
            if (savedSearch == SavedSearchLoad::Loaded) {
                search_.SearchIndex(LastSearchResults);
                CurrentViewList = &LastSearchResults;
            }
            break;
    }

    if (CurrentViewList) {
        // Folder rows stand for the folders themselves in the one view that lists them.
        bool admitFolders = CurrentViewList == &RecentFolders;
        Items.Reserve(CurrentViewList->PathCount());
        // Outside History mode every date is in the selection.
        static const std::function<bool(double)> kEveryDate;
        if (HistoryMode) historyToday_ = DayNumber(ctx_.clock.Now());
        const auto& inHistory = HistoryMode ? InHistorySelection : kEveryDate;
        FileListItem row;
        std::string scratch;
        for (size_t i = 0, n = CurrentViewList->PathCount(); i < n; ++i) {
            const std::string_view path = CurrentViewList->PathAt(i, scratch);
            if (!PassesNameRules(path, NameFilter)) continue;
            if (FillFileListRow(path, ctx_.fs.Stat(path), admitFolders, inHistory, row))
                Items.Add(std::move(row));
        }
    }
    host_.SetListRowCount(Items.Count());
    Items.Sort(Locale);
    host_.RepaintList();
}

void ViewController::ShowView(std::string_view name, std::string_view filter) {
    std::string viewName(name);  // name may point into a list that LoadView refills
    std::string nameFilter = LowerCase(filter);
    SavedSearchLoad savedSearch = ReadCriteriaOf(viewName, nameFilter);
    if (savedSearch == SavedSearchLoad::Abandoned) {
        SelectShownView();
        return;
    }
    ++showing_;
    struct Done {
        int& showing;
        ~Done() { --showing; }
    } done{showing_};
    ListUpdate update(host_);
    // The filter is in place before the box is emptied, and the box's change is part of
    // this showing (edOpenChange), never a request to show the previous view again.
    NameFilter = nameFilter;
    if (filter.empty() || !SameTextIgnoringCase(host_.OpenBoxText(), filter))
        host_.SetOpenBoxText("");
    host_.SetListRowCount(0);
    FillView(viewName, savedSearch);
    host_.SetStatusText(ObjectCountText(Items.Count()));
    host_.EnableSearchMenu();
    SelectShownView();
    host_.SetCaption(ViewCaption(viewName, host_.SearchKeywords()));
}

void ViewController::SelectShownView() {
    host_.SelectCatalogueName(CurrentViewName);
    host_.SelectSelectorText(SelectorTextOfView(CurrentViewName));
}

void ViewController::edOpenChange(std::string_view boxText) {
    if (showing_ > 0) return;
    if (auto filter = OpenBoxFilterFor(boxText, NameFilter)) ShowView(CurrentViewName, *filter);
}

void ViewController::ShowFixedView(std::string_view caption) {
    std::string name;
    name.reserve(caption.size() + 2);
    name.append(1, '<').append(caption).append(1, '>');
    ShowView(name, {});
}

void ViewController::FillViewSelectors() {
    host_.FillViewSelectors(BuildViewCatalogue(ctx_.fs, Sources()));
}

void ViewController::ViewListsChanged() {
    ViewCatalogue catalogue = BuildViewCatalogue(ctx_.fs, Sources());
    host_.FillViewSelectors(catalogue);
    host_.SelectCatalogueName(CurrentViewName);
    host_.SelectSelectorText(SelectorTextOfView(CurrentViewName));
    if (ViewsMode) host_.FillViewsTree(catalogue.tree);
}

void ViewController::BuildViewsTree() {
    host_.FillViewsTree(BuildViewCatalogue(ctx_.fs, Sources()).tree);
    host_.OpenSidePanel("Views", true);
    ViewsMode = true;
    HistoryMode = false;
    host_.SetPanelModes(true, false);
}

void ViewController::BuildHistoryTree() {
    HistoryNodes = lark::BuildHistoryTree(ctx_.clock.Now(), HistoryDayCaption);
    host_.FillHistoryTree(HistoryNodes);
    // The list is not reloaded: it stays as it is until a day is chosen.
    host_.OpenSidePanel("History", false);
    ViewsMode = false;
    HistoryMode = true;
    host_.SetPanelModes(false, true);
}

void ViewController::ComputeHistoryDays(const std::vector<size_t>& selectedNodes) {
    std::vector<HistorySpan> spans;
    for (size_t node : selectedNodes)
        if (node < HistoryNodes.size()) spans.push_back(HistoryNodes[node].span);
    lark::ComputeHistoryDays(HistoryDays, ctx_.clock.Now(), spans);
}

void ViewController::Perform(const ViewRequest& request) {
    switch (request.kind) {
        case ViewRequest::None:
            break;
        case ViewRequest::Show:
            ShowView(request.name, {});
            break;
        case ViewRequest::ShowFixed:
            ShowFixedView(request.name);
            break;
    }
}

void ViewController::coViews2Change(std::string_view text, int indent) {
    Perform(SelectorRequest(text, indent));
}

void ViewController::coViewsChange(std::string_view text) {
    if (!text.empty()) ShowView(text, {});
}

void ViewController::tvChange(std::string_view text, std::string_view parentText) {
    if (!ViewsMode) return;
    Perform(TreeRequest(text, parentText));
}

void ViewController::buViewsClick() {
    if (ViewsMode)
        buCloseTreeViewClick();
    else
        BuildViewsTree();
}

void ViewController::buCloseTreeViewClick() {
    host_.CloseSidePanel();
    ViewsMode = false;
    bool wasHistory = HistoryMode;
    HistoryMode = false;
    host_.SetPanelModes(false, false);
    if (wasHistory) {
        LoadView(std::string(CurrentViewName));
        host_.SetStatusText(ObjectCountText(Items.Count()));
    }
}

void ViewController::buHistoryClick() {
    if (HistoryMode) {
        buCloseTreeViewClick();
        return;
    }
    if (ViewsMode) buCloseTreeViewClick();
    BuildHistoryTree();
}

void ViewController::HistorySelectionChange(const std::vector<size_t>& selectedNodes) {
    if (!HistoryMode) return;
    ComputeHistoryDays(selectedNodes);
    LoadView(std::string(CurrentViewName));
    host_.SetStatusText(ObjectCountText(Items.Count()));
}

void ViewController::RecentFolderChanged() {
    // Give the shell a moment to finish writing the shortcut it just made.
    host_.WaitPumping(250);
    if (ImportRecentShortcuts(ctx_, RecentDocuments, shell_) &&
        CurrentViewName == kMyRecentDocumentsView)
        ShowView(kMyRecentDocumentsView, NameFilter);
}

}  // namespace lark
