#pragma once
// The real program started in a folder of its own and watched from the test process: its
// windows by class and caption, their texts, and the rows of its file list.
#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace lark::test {

// Sent by a second start to the running instance's main window (2: exit, 0: show).
inline constexpr UINT kInstanceCommand = WM_USER + 1;

bool WaitFor(const std::function<bool()>& condition, int timeoutMs);
std::wstring WindowText(HWND hwnd);
std::wstring ClassOf(HWND hwnd);
// A top-level window of the process with that class (and caption, unless empty).
HWND FindProcessWindow(DWORD pid, const std::wstring& cls, const std::wstring& caption);
HWND FindChildOfClass(HWND parent, const std::wstring& cls);
// The names in the first column of another process's list view.
std::vector<std::string> ListViewNames(HANDLE process, HWND list);
// Waits until the file exists and no writer holds it (a finished index).
bool WaitForClosedFile(const std::filesystem::path& path, int timeoutMs);

// The program copied into a folder of its own, with its own settings file, so nothing of
// the shared build folder or of another test's data is touched. Ended with Exit.
class RunningProgram {
  public:
    RunningProgram(const std::filesystem::path& folder, const std::string& settingsText);
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;
    ~RunningProgram();
    static std::string ToWindowsPath(std::string unixPath);

    bool Started() const { return started_ != FALSE; }
    DWORD Id() const { return pi_.dwProcessId; }
    HANDLE Process() const { return pi_.hProcess; }
    HWND MainWindow() const { return FindProcessWindow(pi_.dwProcessId, L"TfmOpen", L""); }

  private:
    std::filesystem::path exe_;
    PROCESS_INFORMATION pi_{};
    BOOL started_ = FALSE;
};

}  // namespace lark::test
