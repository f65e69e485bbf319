#pragma once
// What the program asks of the Windows shell, behind interfaces so the rules that ask run
// without a shell in tests.
#include <cstdint>
#include <string>
#include <string_view>

namespace lark {

enum class ShellShow { Normal, Show };

// One request to the shell, shaped like ShellExecute. An empty verb asks for the default
// verb; owner is the window the shell may use for its own dialogs (null for none).
struct ShellRequest {
    std::string verb;
    std::string target;
    std::string params;
    std::string folder;
    ShellShow show = ShellShow::Normal;
    void* owner = nullptr;
};

// The shell as the launch code sees it; the result follows ShellExecute: above 32 is success.
class ShellExecutor {
  public:
    virtual ~ShellExecutor() = default;
    virtual intptr_t Execute(const ShellRequest& request) = 0;
};

// The few shell requests the recent-documents rules make.
class ShellServices {
  public:
    virtual ~ShellServices() = default;
    // The program the shell would open the document with; empty when there is none.
    virtual std::string AssociatedProgram(std::string_view documentPath) = 0;
    // The full path of a program name found on the system search path; empty when none.
    virtual std::string FindOnSearchPath(std::string_view programName) = 0;
    // Tells the shell that the document was used, so it keeps a shortcut to it in the
    // user's Recent folder.
    virtual void AddToRecentDocs(std::string_view path) = 0;
};

}  // namespace lark
