#pragma once
// A thread that sleeps until files or folders are created, deleted or renamed under a
// list of folders, and frees itself when it ends.
#include <string>
#include <vector>

namespace lark {

class IndexService;

class TCheckFileChanges {
  public:
    // watchMode 0 ends after the first change that can alter the index (see ChangeFilter;
    // ownFiles are the program's own files); 1 runs for the whole process and hands over
    // every change.
    static void Start(IndexService& service, std::string includeText, int watchMode,
                      std::string excludeText, std::vector<std::string> ownFiles);
};

}  // namespace lark
