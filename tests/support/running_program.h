#pragma once
// The built program started from a folder of its own, and what a test needs to find and
// read its windows and its file list from this process.
#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace lark::test {

// Sent by a second start to the running instance's main window (2: exit, 0: show).
inline constexpr UINT kInstanceCommand = WM_USER + 1;

bool WaitFor(const std::function<bool()>& condition, int timeoutMs);
// The text of another process's window (asked with a time limit).
std::wstring RemoteWindowText(HWND hwnd);
std::wstring ClassOf(HWND hwnd);
// A top-level window of the process with that class (and caption, unless empty).
HWND FindProcessWindow(DWORD pid, const std::wstring& cls, const std::wstring& caption);
HWND FindChildOfClass(HWND parent, const std::wstring& cls);
// The names in the first column of another process's list view.
std::vector<std::string> ListViewNames(HANDLE process, HWND list);
// Waits until the file exists and no writer holds it (a finished index).
bool WaitForClosedFile(const std::filesystem::path& path, int timeoutMs);

// A copy of Larkspire.exe in folder with settingsText as its LARKSPIRE.ini, started at once
// and asked to exit (then ended) when the object goes.
class RunningProgram {
  public:
    RunningProgram(const std::filesystem::path& folder, const std::string& settingsText);
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;
    static std::string ToWindowsPath(std::string unixPath);

    bool Started() const { return started_ != FALSE; }
    DWORD Id() const { return pi_.dwProcessId; }
    HANDLE Process() const { return pi_.hProcess; }
    HWND MainWindow() const;
    // Waits for the main window and shows it; null when it never came.
    HWND ShowMainWindow() const;

  private:
    std::filesystem::path exe_;
    PROCESS_INFORMATION pi_{};
    BOOL started_ = FALSE;
};

}  // namespace lark::test
