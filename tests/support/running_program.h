#pragma once
// The built program started for real from a folder of its own (its own settings file beside
// it), and what an end-to-end test needs to watch another process's windows.
#include <windows.h>

#include <functional>
#include <string>

namespace lark::test {

// Looks every 50 ms, dispatching this thread's messages meanwhile, until the condition holds
// or the time is up; true when it holds.
bool WaitFor(const std::function<bool()>& condition, DWORD limitMs);
// A window's text, also another process's (WM_GETTEXT crosses processes).
std::wstring TextOfWindow(HWND window);
std::wstring ClassOfWindow(HWND window);
// The first top-level window of the process with that class (and caption, when not empty).
HWND FindProcessWindow(DWORD processId, const std::wstring& cls, const std::wstring& caption = L"");
HWND FindChildOfClass(HWND parent, const std::wstring& cls);
// The control with the keyboard focus in the thread that owns window.
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

class RunningProgram {
  public:
    // Copies Larkspire.exe into folder, writes settingsText as its LARKSPIRE.ini and starts
    // it with arguments, on desktop unless that is empty.
    RunningProgram(const std::string& folder, const std::string& settingsText,
                   const std::wstring& arguments = L"", const std::wstring& desktop = L"");
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;
    // Asks the program to exit (as a second start with /SHUTDOWN would) and waits for it.
    ~RunningProgram();

    bool Started() const { return started_; }
    DWORD Id() const { return pi_.dwProcessId; }
    HANDLE Process() const { return pi_.hProcess; }
    HWND MainWindow() const { return FindProcessWindow(pi_.dwProcessId, L"TfmOpen"); }
    // Starts the same program file again with arguments and waits until that start ends.
    bool StartAgain(const std::wstring& arguments, DWORD limitMs = 20000) const;

  private:
    std::wstring exe_;
    std::wstring folder_;
    std::wstring desktop_;
    PROCESS_INFORMATION pi_{};
    bool started_ = false;
};

}  // namespace lark::test
