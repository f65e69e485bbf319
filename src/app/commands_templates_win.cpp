// "New" from a template and "Save as template": the template rules on this window, the
// "Select Template" and "Save as Template" dialogs and the standard Save As dialog.
#include <windows.h>
// needs windows.h first
#include <commctrl.h>
#include <knownfolders.h>
#include <shlobj.h>

#include "actions/compressed_copy.h"
#include "actions/file_actions.h"
#include "actions/file_actions_win.h"
#include "actions/gzip_streams_win.h"
#include "actions/new_template_dialog_win.h"
#include "actions/save_as_template_dialog_win.h"
#include "actions/templates.h"
#include "app/main_views_win.h"
#include "app/main_window_win.h"
#include "config/context.h"
#include "platform/win32/com_win.h"
#include "platform/win32/encoding_win.h"
#include "ui/resource_module_win.h"

namespace lark {

namespace {

class WindowTemplatesHost final : public TemplatesHost {
  public:
    WindowTemplatesHost(HWND window, AppContext& ctx, MainViews& views,
                        std::function<void()> hideWindow)
        : window_(window), ctx_(ctx), views_(views), hideWindow_(std::move(hideWindow)) {}

    std::optional<TemplateChoice> SelectTemplate(const std::vector<std::string>& entries) override {
        TfmNew dialog(ctx_.registry, entries);
        return dialog.ShowModal(window_, ResourceModule());
    }
    std::optional<std::string> AskTargetPath(const TargetDialog& dialog) override {
        return lark::AskTargetPath(window_, dialog);
    }
    std::optional<NamePromptAnswer> AskTemplateName(const NamePrompt& prompt) override {
        TfmSaveAsTemplate dialog(prompt);
        return dialog.ShowModal(window_, ResourceModule());
    }
    std::optional<size_t> FirstSelectedRow() override {
        HWND list = views_.List().Handle();
        int row = int(SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
        if (row < 0) return std::nullopt;
        // A row scrolled past quickly may not have been asked for its type name yet.
        views_.List().FetchItemDetails(row, row);
        return size_t(row);
    }
    std::string DocumentsFolder() override {
        PWSTR path = nullptr;
        std::string folder;
        if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &path)) && path)
            folder = Narrow(path);
        CoTaskMemFree(path);
        return folder;
    }
    void HideWindow() override {
        if (hideWindow_) hideWindow_();
    }
    void* OwnerWindow() override { return window_; }

  private:
    HWND window_;
    AppContext& ctx_;
    MainViews& views_;
    std::function<void()> hideWindow_;
};

}  // namespace

void TfmOpen::RunTemplateCommand(void (Templates::*command)()) {
    WindowTemplatesHost host(hwnd_, ctx_, *views_, [this] { HideForm(); });
    ZlibGzipStreams gzip;
    CompressedCopy copy(ctx_.fs, gzip);
    Templates templates(ctx_, views_->Views(), host, *shell_, copy);
    (templates.*command)();
}

void TfmOpen::lvNewClick() {
    RunTemplateCommand(&Templates::lvNewClick);
}

void TfmOpen::lvSaveAsTemplateClick() {
    RunTemplateCommand(&Templates::lvSaveAsTemplateClick);
}

}  // namespace lark
