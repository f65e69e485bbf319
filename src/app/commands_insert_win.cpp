// The main window's commands that type the chosen paths into another program's Open or Save
// dialog.
#include "actions/compressed_copy.h"
#include "actions/gzip_streams_win.h"
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

void TfmOpen::RunInsert(const std::function<void(InsertHost&)>& command) {
    Win32InsertTarget target(previousWindow_, hwnd_);
    ZlibGzipStreams gzip;
    CompressedCopy copy(ctx_.fs, gzip);
    InsertHost host;
    host.hideWindow = [this] { HideForm(); };
    host.insertIntoPreviousWindow = [&target](const std::string& text) {
        InsertIntoPreviousWindow(target, text);
    };
    host.copyConvertingGzip = [&copy](std::string_view source, std::string_view target) {
        return copy.CopyConvertingGzip(source, target);
    };
    host.tempFolder = ctx_.tempFolder;
    command(host);
}

void TfmOpen::lvInsertIntoDialogClick() {
    const std::string text = OpenBoxText(frame_->Layout().edOpen);
    RunInsert([&text](InsertHost& host) { InsertIntoDialog(host, text); });
}

void TfmOpen::lvInsertCompressedClick() {
    const std::string text = OpenBoxText(frame_->Layout().edOpen);
    RunInsert([&text](InsertHost& host) { InsertCompressed(host, text); });
}

}  // namespace lark
