#pragma once
// Starts index builds and change watches for the main window and runs their steps that
// concern the program on the user-interface thread.
#include <atomic>
#include <memory>
#include <string>

#include "ui/ui_dispatch_win.h"

namespace lark {

struct AppContext;
class IndexEvents;
class RefreshController;

class IndexService {
  public:
    // Create and use on the user-interface thread; ui must belong to that thread.
    IndexService(AppContext& ctx, IndexEvents& events, RefreshController& refresh,
                 std::shared_ptr<UiDispatch> ui)
        : ctx_(ctx), events_(events), refresh_(refresh), ui_(std::move(ui)) {}

    // A build of the current search domain. Null when nothing was started (no domain,
    // the index folder cannot be created, or another build holds the index file);
    // otherwise a flag that turns true when the builder thread has ended.
    std::shared_ptr<const std::atomic<bool>> StartIndexBuild();
    // A watcher thread on the folders of includeText (watchMode 0: until the first change
    // that counts; 1: for the whole run).
    void StartChangeWatch(std::string includeText, int watchMode, std::string excludeText);

    // Steps the builder and the watchers run on the user-interface thread. BuildStarting
    // returns the build's number, which its finishing step hands back: a build that ends
    // after a newer one has started only adds its log line, so the newer build's state
    // (Search disabled, IndexReady false, its own watcher to come) stays as it is.
    uint64_t BuildStarting();
    void BuildOpenFailed(const std::string& includeText, const std::string& excludeText);
    void BuildFinished(uint64_t build, int64_t fileCount, uint32_t elapsedMs,
                       const std::string& includeText, const std::string& excludeText);
    void WatchFinished(int watchMode);
    void RecentFolderChanged();

    const std::shared_ptr<UiDispatch>& Ui() const { return ui_; }
    AppContext& Context() { return ctx_; }

  private:
    AppContext& ctx_;
    IndexEvents& events_;
    RefreshController& refresh_;
    std::shared_ptr<UiDispatch> ui_;
    uint64_t lastBuild_ = 0;
};

// The log's "c" date-time text: the user's short date, a blank, the user's long time.
std::string LocalDateTimeText();

}  // namespace lark
