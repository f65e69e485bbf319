#include "search/saved_searches.h"

#include "base/file_name_check.h"
#include "base/text.h"
#include "config/context.h"
#include "config/data_paths.h"
#include "platform/file_system.h"
#include "platform/messages.h"
#include "search/criteria.h"

namespace lark {

namespace {

constexpr std::string_view kSearchExtension = ".lks";
constexpr std::string_view kMyRecentDocumentsView = "<My Recent Documents>";

bool EndsWithMark(std::string_view name) {
    return name.size() >= kGlobalSearchMark.size() &&
           name.substr(name.size() - kGlobalSearchMark.size()) == kGlobalSearchMark;
}

// The name box's proposal for the view shown: saving a shown saved search overwrites it in
// its own place.
void ProposeCurrentView(std::string_view view, NamePrompt& prompt) {
    if (!IsSavedSearchView(view)) return;
    if (EndsWithMark(view)) {
        prompt.name = std::string(view.substr(0, view.size() - kGlobalSearchMark.size()));
        return;
    }
    prompt.allUsers = false;
    // A search opened from its file by full path is proposed by its name alone.
    prompt.name =
        view.find('\\') == std::string_view::npos ? std::string(view) : FileBaseName(view);
}

}  // namespace

bool IsSavedSearchView(std::string_view viewName) {
    return !viewName.empty() && viewName.front() != '<';
}

std::string SearchNameProblem(std::string_view name) {
    FileNameFault fault = CheckFileName(name);
    if (fault != FileNameFault::None) return FileNameFaultText(fault, name);
    std::string_view stem = name;
    if (EndsWithIgnoringCase(stem, kSearchExtension)) stem.remove_suffix(kSearchExtension.size());
    std::string quoted;
    quoted.append(1, '"').append(name).append(1, '"');
    if (stem.empty()) return "Please type a name.";
    if (stem.find('.') != std::string_view::npos)
        return quoted + " cannot be used as a search name: a search name may not hold a dot.";
    if (EndsWithMark(stem))
        return quoted + " cannot be used as a search name: the sign " +
               std::string(kGlobalSearchMark) +
               " marks the searches of all users; choose \"All users\" instead.";
    return std::string();
}

bool SavedSearches::AcceptName(std::string_view typed) {
    std::string problem = SearchNameProblem(Trim(typed));
    if (problem.empty()) return true;
    ctx_.messages.Error(problem);
    return false;
}

void SavedSearches::mnuSearchSaveClick() {
    NamePrompt prompt;
    prompt.caption = "Save Search";
    prompt.label = "Search Name";
    prompt.userName = ctx_.userName;
    ProposeCurrentView(host_.CurrentViewName(), prompt);
    prompt.accept = [this](std::string_view typed) { return AcceptName(typed); };
    std::optional<NamePromptAnswer> answer = host_.AskSearchName(prompt);
    if (!answer || !AcceptName(answer->name)) return;

    const std::string name = Trim(answer->name);
    std::string path =
        (answer->allUsers ? SharedSearchesFolder(ctx_) : MySearchesFolder(ctx_)) + "\\" + name;
    if (FileExtensionOf(path).empty()) path += kSearchExtension;
    if (ctx_.fs.Exists(path) &&
        !ctx_.messages.Confirm("A search with the same name already exists. Replace?"))
        return;
    // Often the shared folder is not writable for an ordinary user: saying nothing would
    // leave them believing the search was kept.
    if (!SaveCriteria(ctx_, criteria_, path)) {
        ctx_.messages.Error("Unable to save the search: " + path);
        return;
    }
    host_.ViewListsChanged();
}

void SavedSearches::mnuSearchEditClick() {
    const std::string view = host_.CurrentViewName();
    if (!IsSavedSearchView(view)) return;
    if (!host_.ReviseSearch()) return;
    const std::string path = host_.SavedSearchFilePath(view);
    // Showing the view reads the file again: an unwritten file would take the revision back
    // without a word. Stopped here, the revised criteria stay in the dialog to be saved
    // elsewhere.
    if (!SaveCriteria(ctx_, criteria_, path)) {
        ctx_.messages.Error("Unable to save the search: " + path);
        return;
    }
    host_.ShowView(view);
}

void SavedSearches::mnuSearchDeleteClick() {
    const std::string view = host_.CurrentViewName();
    if (!IsSavedSearchView(view)) return;
    if (!ctx_.messages.Confirm("Delete search \"" + view + "\"?")) return;
    const std::string path = host_.SavedSearchFilePath(view);
    // A file already gone is what the user asked for; one that stays is not deleted.
    if (!ctx_.fs.RemoveFile(path) && ctx_.fs.Exists(path)) {
        ctx_.messages.Error("Unable to delete the search: " + path);
        return;
    }
    host_.ViewListsChanged();
    host_.ShowView(kMyRecentDocumentsView);
}

}  // namespace lark
