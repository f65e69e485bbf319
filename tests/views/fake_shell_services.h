#pragma once
#include <map>
#include <string>
#include <vector>

#include "base/text.h"
#include "platform/shell.h"

namespace lark {

// Answers from tables and records what the shell was told.
class FakeShellServices final : public ShellServices {
  public:
    std::map<std::string, std::string> executableByExtension;  // "doc" -> program
    std::map<std::string, std::string> searchPath;             // bare name -> full path
    std::vector<std::string> addedToRecent;
    int findCalls = 0;

    std::string AssociatedProgram(std::string_view documentPath) override {
        ++findCalls;
        auto it = executableByExtension.find(FileExtensionOf(documentPath));
        return it == executableByExtension.end() ? std::string() : it->second;
    }
    std::string FindOnSearchPath(std::string_view programName) override {
        auto it = searchPath.find(std::string(programName));
        return it == searchPath.end() ? std::string() : it->second;
    }
    void AddToRecentDocs(std::string_view path) override { addedToRecent.emplace_back(path); }
};

}  // namespace lark
