#pragma once
// One index build on its own thread, which frees itself when it ends.
#include <atomic>
#include <memory>
#include <string>

namespace lark {

class IndexService;

class TBuildPathList {
  public:
    // Runs on the user-interface thread: creates the index folder, opens the index file
    // (writers excluded, readers allowed) and starts the thread. Null when the folder
    // cannot be created or the file cannot be opened; otherwise a flag that turns true
    // when the thread has ended.
    static std::shared_ptr<const std::atomic<bool>> Start(IndexService& service,
                                                          std::string includeText,
                                                          std::string indexPath,
                                                          std::string excludeText);
};

}  // namespace lark
