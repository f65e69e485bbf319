#pragma once
// A thread that sleeps until files or folders are created, deleted or renamed under a
// list of folders, and frees itself when it ends.
#include <string>

namespace lark {

class IndexService;

class TCheckFileChanges {
  public:
    // watchMode 0 ends after the first change that counts; 1 runs for the whole process.
    static void Start(IndexService& service, std::string includeText, int watchMode,
                      std::string excludeText);
};

}  // namespace lark
