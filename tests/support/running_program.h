#pragma once
// The built program started from a folder of its own, and what a test needs to find and
// read its windows from this process.
#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>

namespace lark::test {

bool WaitFor(const std::function<bool()>& condition, int timeoutMs);
// The text of another process's window (asked with a time limit).
std::wstring RemoteWindowText(HWND hwnd);
HWND FindProcessWindow(DWORD pid, const std::wstring& cls, const std::wstring& caption);
HWND FindChildOfClass(HWND parent, const std::wstring& cls);

// A copy of Larkspire.exe in folder with settingsText as its LARKSPIRE.ini, started at once
// and asked to exit (then ended) when the object goes.
class RunningProgram {
  public:
    RunningProgram(const std::filesystem::path& folder, const std::string& settingsText);
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool Started() const { return started_ != FALSE; }
    DWORD Id() const { return pi_.dwProcessId; }
    HWND MainWindow() const;
    // Waits for the main window and shows it; null when it never came.
    HWND ShowMainWindow() const;

  private:
    std::filesystem::path exe_;
    PROCESS_INFORMATION pi_{};
    BOOL started_ = FALSE;
};

}  // namespace lark::test
