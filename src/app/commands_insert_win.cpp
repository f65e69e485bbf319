// The main window's commands that type the chosen paths into another program's Open or Save
// dialog.
#include "actions/insert_into_dialog.h"
#include "actions/insert_into_dialog_win.h"
#include "app/main_frame_win.h"
#include "app/main_window_win.h"
#include "config/context.h"
#include "platform/win32/encoding_win.h"

namespace lark {
namespace {

std::string OpenBoxText(HWND openBox) {
    std::wstring text(size_t(GetWindowTextLengthW(openBox)) + 1, L'\0');
    text.resize(size_t(GetWindowTextW(openBox, text.data(), int(text.size()))));
    return Narrow(text);
}

}  // namespace

void TfmOpen::lvInsertIntoDialogClick() {
    Win32InsertTarget target(previousWindow_, hwnd_);
    InsertHost host;
    host.hideWindow = [this] { HideForm(); };
    host.insertIntoPreviousWindow = [&target](const std::string& text) {
        InsertIntoPreviousWindow(target, text);
    };
    host.tempFolder = ctx_.tempFolder;
    InsertIntoDialog(host, OpenBoxText(frame_->Layout().edOpen));
}

}  // namespace lark
