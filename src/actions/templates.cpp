#include "actions/templates.h"

#include "actions/compressed_copy.h"
#include "actions/file_actions.h"
#include "base/file_helpers.h"
#include "base/file_name_check.h"
#include "base/text.h"
#include "config/context.h"
#include "config/data_paths.h"
#include "platform/file_system.h"
#include "platform/messages.h"
#include "platform/shell.h"
#include "views/recent_documents.h"
#include "views/view_catalogue.h"
#include "views/view_controller.h"

namespace lark {

namespace {

void AddEntries(AppContext& ctx, const std::string& folder, std::string_view prefix,
                std::vector<std::string>& entries) {
    ctx.fs.List(folder,
                [&](const FileInfo& e) { entries.push_back(std::string(prefix) + e.name); });
}

}  // namespace

std::vector<std::string> TemplateEntries(AppContext& ctx) {
    std::vector<std::string> entries;
    AddEntries(ctx, MyTemplateFolder(ctx), ctx.userName + "\\", entries);
    AddEntries(ctx, SharedTemplateFolder(ctx), kAllUsersEntryPrefix, entries);
    return entries;
}

std::string TemplatePathOfEntry(AppContext& ctx, std::string_view entry) {
    if (entry.substr(0, kAllUsersEntryPrefix.size()) == kAllUsersEntryPrefix)
        return SharedTemplateFolder(ctx) + "\\" +
               std::string(entry.substr(kAllUsersEntryPrefix.size()));
    return MyTemplateFolder(ctx) + "\\" + std::string(FileNameOf(entry));
}

std::string TemplateNameProblem(std::string_view name) {
    return FileNameFaultText(CheckFileName(name), name);
}

bool Templates::AcceptName(std::string_view typed) {
    std::string problem = TemplateNameProblem(Trim(typed));
    if (problem.empty()) return true;
    ctx_.messages.Error(problem);
    return false;
}

void Templates::lvNewClick() {
    std::optional<TemplateChoice> choice = host_.SelectTemplate(TemplateEntries(ctx_));
    if (!choice) return;
    const std::string templatePath = TemplatePathOfEntry(ctx_, choice->entry);
    if (choice->editTemplate)
        OpenAndRemember(templatePath);
    else
        NewDocumentFrom(templatePath);
    host_.HideWindow();
}

void Templates::NewDocumentFrom(const std::string& templatePath) {
    const std::string ext = FileExtensionOf(templatePath);
    TargetDialog dialog;
    dialog.title = "Save Template As";
    dialog.initialFolder = host_.DocumentsFolder();
    dialog.filter =
        FileBaseName(templatePath) + " (*." + ext + ")|*." + ext + "|All files (*.*)|*.*";
    // The dialog adds the extension itself, so it asks before replacing
    // "Smith.doc" when "Smith" was typed.
    dialog.defaultExtension = ext;
    std::optional<std::string> chosen = host_.AskTargetPath(dialog);
    if (!chosen) return;
    std::string target = *chosen;
    if (FileExtensionOf(target).empty() && !ext.empty()) target += "." + ext;
    if (SameTextIgnoringCase(target, templatePath)) return;
    if (Copy(templatePath, target)) OpenAndRemember(target);
}

bool Templates::Copy(const std::string& source, const std::string& target) {
    // The compressed copy removes its source when one name is the other's plus ".gz", as
    // the gzip tool does. A template and a file made from it both stay: such a copy is
    // written under a passing name beside the target and then takes the target's name.
    const bool besideItself = SameTextIgnoringCase(target, source + ".gz") ||
                              SameTextIgnoringCase(source, target + ".gz");
    const std::string written =
        besideItself ? FolderOfPath(target) + "\\~larkspire-" + std::string(FileNameOf(target))
                     : target;
    if (!copy_.CopyConvertingGzip(source, written)) {
        ctx_.messages.Error("Unable to copy " + source + " to " + target + ": " +
                            copy_.LastGzipError());
        return false;
    }
    if (!besideItself) return true;
    // The user has agreed to replace a file already there.
    ctx_.fs.RemoveFile(target);
    if (ctx_.fs.Rename(written, target)) return true;
    ctx_.fs.RemoveFile(written);
    ctx_.messages.Error("Unable to copy " + source + " to " + target);
    return false;
}

bool Templates::OpenAndRemember(std::string_view path) {
    if (!ctx_.fs.Exists(path)) return false;
    std::string folder = FolderOfPath(path);
    // "C:" alone names the current folder of drive C, not its root.
    if (!folder.empty() && folder.back() == ':') folder += '\\';
    ShellRequest request;
    request.verb = "open";
    request.target = std::string(path);
    request.folder = folder;
    request.show = ShellShow::Show;
    request.owner = host_.OwnerWindow();
    if (shell_.Execute(request) <= 32) return false;
    AddToRecentDocuments(ctx_, views_.RecentDocuments, path);
    if (views_.CurrentViewList == &views_.RecentDocuments)
        views_.ShowView(kMyRecentDocumentsView, {});
    return true;
}

void Templates::lvSaveAsTemplateClick() {
    std::optional<size_t> row = host_.FirstSelectedRow();
    if (!row || *row >= views_.Items.Count()) return;
    const FileListItem& item = views_.Items.ItemAt(*row);
    const std::string source = item.Path();

    NamePrompt prompt;
    prompt.caption = "Save as Template";
    prompt.label = "Template Name";
    prompt.name = item.TypeName + " Template";
    prompt.userName = ctx_.userName;
    prompt.allUsers = true;
    prompt.accept = [this](std::string_view typed) { return AcceptName(typed); };
    std::optional<NamePromptAnswer> answer = host_.AskTemplateName(prompt);
    if (!answer || !AcceptName(answer->name)) return;

    const std::string folder =
        answer->allUsers ? SharedTemplateFolder(ctx_) : MyTemplateFolder(ctx_);
    std::string target = folder + "\\" + Trim(answer->name);
    const std::string sourceExt = FileExtensionOf(source);
    if (FileExtensionOf(target).empty() && !sourceExt.empty()) target += "." + sourceExt;
    if (ctx_.fs.Exists(target) &&
        !ctx_.messages.Confirm("A template with the same name already exists. Replace?"))
        return;
    if (SameTextIgnoringCase(target, source)) return;
    if (!ForceFolders(ctx_.fs, target)) {
        ctx_.messages.Error("Unable to create the folder " + folder);
        return;
    }
    if (!Copy(source, target)) return;
    AddToRecentDocuments(ctx_, views_.RecentDocuments, target);
    ShowChangedView();
}

void Templates::ShowChangedView() {
    if (views_.CurrentViewList == &views_.RecentDocuments)
        views_.ShowView(kMyRecentDocumentsView, {});
    else if (views_.CurrentViewName == kTemplateDocumentsView)
        views_.ShowView(kTemplateDocumentsView, {});
}

}  // namespace lark
