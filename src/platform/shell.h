#pragma once
// The few shell requests the recent-documents rules make, behind an interface so the
// rules run without a shell in tests.
#include <string>
#include <string_view>

namespace lark {

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
