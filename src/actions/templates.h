#pragma once
// Templates: ordinary files kept in the user's own "Template" folder and in the shared one.
// "New" copies a chosen template to a new document and opens it; "Save as template" copies
// the selected file into one of the two folders. Both copies go through the compressed copy,
// so a template or a document may be gzip-compressed on either side.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/name_prompt.h"

namespace lark {

struct AppContext;
class CompressedCopy;
class ShellExecutor;
struct TargetDialog;
class ViewController;

// The entry chosen in "Select Template".
struct TemplateChoice {
    std::string entry;
    bool editTemplate = false;  // open the template itself instead of making a document
};

// What the template commands ask of the main window.
class TemplatesHost {
  public:
    virtual ~TemplatesHost() = default;
    // "Select Template" with these entries; nothing unless confirmed with OK.
    virtual std::optional<TemplateChoice> SelectTemplate(
        const std::vector<std::string>& entries) = 0;
    // The standard Save As dialog; nothing when the user cancelled.
    virtual std::optional<std::string> AskTargetPath(const TargetDialog& dialog) = 0;
    // "Save as Template"; nothing when the user cancelled.
    virtual std::optional<NamePromptAnswer> AskTemplateName(const NamePrompt& prompt) = 0;
    // The first selected row of the file list, with its type name known; nothing when no row
    // is selected.
    virtual std::optional<size_t> FirstSelectedRow() = 0;
    // The user's documents folder as the shell knows it.
    virtual std::string DocumentsFolder() = 0;
    virtual void HideWindow() = 0;
    // The window that owns what the shell shows for a launch.
    virtual void* OwnerWindow() = 0;
};

inline constexpr std::string_view kAllUsersEntryPrefix = "All Users\\";

// "Select Template"'s list: the user's login name + "\" + each entry of the own folder,
// then "All Users\" + each entry of the shared one, in the order the folders list them.
std::vector<std::string> TemplateEntries(AppContext& ctx);
// The template file an entry of that list stands for.
std::string TemplatePathOfEntry(AppContext& ctx, std::string_view entry);

// Why a typed template name cannot be used, or empty when it can.
std::string TemplateNameProblem(std::string_view name);

class Templates {
  public:
    Templates(AppContext& ctx, ViewController& views, TemplatesHost& host, ShellExecutor& shell,
              CompressedCopy& copy)
        : ctx_(ctx), views_(views), host_(host), shell_(shell), copy_(copy) {}

    void lvNewClick();
    void lvSaveAsTemplateClick();
    // Opens the file with the shell and records it as a recent document; false when the file
    // is missing or the shell could not open it (nothing is recorded then).
    bool OpenAndRemember(std::string_view path);

  private:
    void NewDocumentFrom(const std::string& templatePath);
    // The copy, or the user told why it failed.
    bool Copy(const std::string& source, const std::string& target);
    bool AcceptName(std::string_view typed);
    // The recent documents changed: the views that list them, or the templates, show it.
    void ShowChangedView();

    AppContext& ctx_;
    ViewController& views_;
    TemplatesHost& host_;
    ShellExecutor& shell_;
    CompressedCopy& copy_;
};

}  // namespace lark
