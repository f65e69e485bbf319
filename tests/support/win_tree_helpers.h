#pragma once
// Real folders in the temporary directory for the Windows tests, and the few Wine
// facilities the tests lean on.
#include <windows.h>

#include <functional>
#include <string>

#include "platform/win32/encoding_win.h"

namespace lark::wintree {

// A fresh folder under the system temporary folder, removed with everything in it.
class TempTree {
  public:
    explicit TempTree(const std::string& tag);
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const std::string& Root() const { return root_; }
    std::string Path(const std::string& relative) const { return root_ + "\\" + relative; }
    // Creates the folder and its parents.
    void Folder(const std::string& relative) const;
    // Creates or replaces the file (and its folders).
    void File(const std::string& relative, const std::string& data = "x",
              DWORD attributes = FILE_ATTRIBUTE_NORMAL) const;

  private:
    std::string root_;
};

bool IsWine();
// The Unix path of a Windows path, through Wine.
std::string UnixPathOf(const std::string& windowsPath);
// Runs a Unix program through Wine's "start /unix" and waits for it.
bool RunUnix(const std::string& commandLine);
// Waits until the path exists.
bool WaitForPath(const std::string& windowsPath, DWORD limitMs = 10000);
// A Unix symbolic link, which Wine shows as a folder with the reparse-point attribute.
bool MakeUnixSymlink(const std::string& targetWindowsPath, const std::string& linkWindowsPath);
std::string ReadAll(const std::string& path);
// The full path of the first file of that name in the tree below root, or empty.
std::string FindFileBelow(const std::string& root, const std::string& name);
// Removes a folder tree without following links.
void RemoveTree(const std::wstring& path);
// Dispatches this thread's messages until done() or the time is up; true when done().
bool PumpUntil(const std::function<bool()>& done, DWORD limitMs);
// The command line quoted the way CommandLineToArgvW splits it back.
std::wstring QuoteArgument(const std::wstring& arg);

}  // namespace lark::wintree
