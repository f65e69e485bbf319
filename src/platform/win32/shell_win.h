#pragma once
#include "platform/shell.h"

namespace lark {

class Win32ShellExecutor final : public ShellExecutor {
  public:
    intptr_t Execute(const ShellRequest& request) override;
};

class Win32ShellServices final : public ShellServices {
  public:
    std::string AssociatedProgram(std::string_view documentPath) override;
    std::string FindOnSearchPath(std::string_view programName) override;
    void AddToRecentDocs(std::string_view path) override;
};

}  // namespace lark
