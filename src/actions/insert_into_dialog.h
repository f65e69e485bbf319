#pragma once
// Insert into dialog and insert compressed: the user calls up the main window from another
// program's Open or Save As dialog, picks files, and their paths (or the paths of compressed
// copies of them) are pasted into that dialog's focused box by way of the clipboard.
#include <functional>
#include <string>
#include <string_view>

namespace lark {

// The Windows side of one insertion.
class InsertTarget {
  public:
    enum class Return {
        Back,     // the window the user came from is in front again, idle for input
        Gone,     // it no longer exists (or none was noted)
        Refused,  // it exists but Windows would not bring it to the front
    };
    virtual ~InsertTarget() = default;
    // Brings back the window that was in front when the main window was shown.
    virtual Return BringBackPreviousWindow() = 0;
    virtual void SendKeyScript(std::string_view script, int waitMode) = 0;
    virtual void ProcessMessages() = 0;
    // Replaces the clipboard's content with text; false when the clipboard could not be had.
    virtual bool SetClipboardText(const std::string& text) = 0;
};

// Pastes text into the focused control of the window the user came from. That window is
// brought back by name rather than by Alt+Tab, which lands elsewhere on Windows whenever a
// hidden window or the foreground rules get in the way and does nothing under Wine; Alt+Tab
// remains for a window that has gone. Nothing is pasted when the clipboard could not be
// filled (the paste would insert whatever it held before) or when the window is there but
// stays behind (the paste would go to a stranger); the text is then left on the clipboard.
void InsertIntoPreviousWindow(InsertTarget& target, const std::string& text);

// What the two commands need from the main window.
struct InsertHost {
    std::function<void()> hideWindow;
    std::function<void(const std::string&)> insertIntoPreviousWindow;
    // Copies source to target, compressing when exactly one of the names ends in ".gz".
    std::function<bool(std::string_view source, std::string_view target)> copyConvertingGzip;
    std::string tempFolder;  // no trailing "\"
};

// lvInsertIntoDialogClick: the open box's text as it stands (several paths joined by ";").
void InsertIntoDialog(InsertHost& host, std::string_view openBoxText);

// lvInsertCompressedClick: a compressed copy of each path of the open box in the temporary
// folder, and their paths inserted instead. Paths that cannot be copied are left out.
void InsertCompressed(InsertHost& host, std::string_view openBoxText);

// The copies InsertCompressed makes: "<temp>\<name>.gz" for each entry of the open box (a
// copy of an earlier run is replaced), their paths joined by ";". A second file of the same
// name from another folder gets "<base> (2)<ext>.gz" rather than replacing the first copy.
std::string MakeCompressedCopies(
    std::string_view openBoxText, std::string_view tempFolder,
    const std::function<bool(std::string_view, std::string_view)>& copyConvertingGzip);

}  // namespace lark
