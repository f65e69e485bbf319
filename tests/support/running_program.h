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

// Looks every 50 ms, dispatching this thread's messages meanwhile, until the condition holds
// or the time is up; true when it holds.
bool WaitFor(const std::function<bool()>& condition, int timeoutMs);
// The text of another process's window (asked with a time limit).
std::wstring RemoteWindowText(HWND hwnd);
std::wstring ClassOf(HWND hwnd);
// A top-level window of the process with that class (and caption, unless empty).
HWND FindProcessWindow(DWORD pid, const std::wstring& cls, const std::wstring& caption = L"");
HWND FindChildOfClass(HWND parent, const std::wstring& cls);
// The names in the first column of another process's list view.
std::vector<std::string> ListViewNames(HANDLE process, HWND list);
// Waits until the file exists and no writer holds it (a finished index).
bool WaitForClosedFile(const std::filesystem::path& path, int timeoutMs);
// The control with the keyboard focus in the thread that owns window (any process).
HWND FocusOfThread(HWND window);

// A desktop of the test's own. The foreground window, the keyboard and the windows a program
// finds (another instance of itself) belong to a desktop, so programs that other tests start
// at the same time cannot come between a test that needs them and the programs it starts.
class TestDesktop {
  public:
    TestDesktop();
    ~TestDesktop();
    TestDesktop(const TestDesktop&) = delete;
    TestDesktop& operator=(const TestDesktop&) = delete;
    // The name to start programs on it with.
    const std::wstring& Name() const { return name_; }
    // Runs body on a thread of its own that belongs to the desktop, and waits for it.
    bool Run(const std::function<void()>& body);

  private:
    std::wstring name_;
    HDESK desktop_ = nullptr;
};

// Starts a program (on desktop, unless empty); false when it could not be started.
bool StartProgram(const std::wstring& exe, const std::wstring& arguments,
                  const std::wstring& folder, const std::wstring& desktop, PROCESS_INFORMATION& pi);

// A copy of Larkspire.exe in folder with settingsText as its LARKSPIRE.ini, started at once
// (on desktop, unless empty) and asked to exit (then ended) when the object goes.
class RunningProgram {
  public:
    RunningProgram(const std::filesystem::path& folder, const std::string& settingsText,
                   const std::wstring& desktop = L"");
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
    // Starts the same program file again with arguments (a second start) and waits until
    // that start has ended.
    bool StartAgain(const std::wstring& arguments, int timeoutMs = 20000) const;

  private:
    std::filesystem::path exe_;
    std::wstring desktop_;
    PROCESS_INFORMATION pi_{};
    BOOL started_ = FALSE;
};

}  // namespace lark::test
