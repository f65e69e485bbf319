#pragma once
// What the index builder and the change watchers tell the main window. Every call runs
// on the user-interface thread; the worker that caused it waits until it returns.
#include <cstdint>

namespace lark {

class IndexEvents {
  public:
    virtual ~IndexEvents() = default;
    // A build has opened the index file: busy tray image, Search disabled.
    virtual void IndexBuildStarting() = 0;
    // The build wrote its last line: idle tray image and tip, Search enabled.
    virtual void IndexBuildFinished(int64_t fileCount) = 0;
    // A watcher ended (watchMode 0: a change was seen; 1: the Recent folder is gone).
    virtual void ChangeWatchFinished(int watchMode) = 0;
    // The Recent folder changed.
    virtual void ImportRecentShortcuts() = 0;
};

}  // namespace lark
