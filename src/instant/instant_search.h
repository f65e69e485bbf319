#pragma once
// The search behind the instant-find box: each keystroke's text runs as the search dialog's
// keyword query over the index held in memory, on a thread of its own, so typing never
// waits for a walk. A new text stops the walk of the one before.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/file_system.h"
#include "search/search_results.h"

namespace lark {

class Clock;

// Names only, as the search dialog's default; a "\" in the text means the user is typing a
// path, and the words then see the folder and the name together.
struct InstantQuery {
    std::string keywords;
    bool fullPath = false;
};
InstantQuery InstantQueryFor(std::string_view text);

struct InstantRequest {
    uint64_t id = 0;
    std::string text;
    std::shared_ptr<const WholeFile> index;  // the text of the index to walk
};

// The first results of a search, copied for the thread that shows them.
struct InstantRows {
    uint64_t id = 0;
    std::vector<std::string> paths;
    std::vector<bool> folders;  // a folder found by itself
};

// Told on the search thread what became of each search.
class InstantListener {
  public:
    virtual ~InstantListener() = default;
    // The first results of search id, in index order, before the walk has ended.
    virtual void FirstResults(InstantRows rows) = 0;
    // The walk of search id has ended; results point into its index text.
    virtual void Finished(uint64_t id, std::unique_ptr<SearchResults> results) = 0;
};

class InstantSearcher {
  public:
    // firstCount: how many results make a first answer (about a screenful).
    InstantSearcher(FileSystem& fs, Clock& clock, InstantListener& listener, size_t firstCount);
    ~InstantSearcher();
    InstantSearcher(const InstantSearcher&) = delete;
    InstantSearcher& operator=(const InstantSearcher&) = delete;

    // Starts searching for request: a walk in progress is stopped and a search not yet begun
    // is dropped; neither reports anything more. Call from one thread.
    void Search(InstantRequest request);
    // Stops the walk in progress and drops a search not yet begun.
    void Stop();
    // Walks stopped before their end by a later search.
    uint64_t StoppedWalks() const { return stoppedWalks_.load(); }

  private:
    struct Job {
        InstantRequest request;
        std::shared_ptr<std::atomic<bool>> stop;
    };
    void Run();
    void Walk(const Job& job);
    void WakeUp();

    FileSystem& fs_;
    Clock& clock_;
    InstantListener& listener_;
    const size_t firstCount_;
    std::atomic<Job*> pending_{nullptr};
    // Counted under the mutex and waited for with a condition variable: the atomic wait of
    // the MinGW runtime we build with can miss a notify, which left the search thread asleep.
    std::mutex wakeMutex_;
    std::condition_variable wake_;
    uint32_t wakeups_ = 0;
    std::atomic<bool> closing_{false};
    std::atomic<uint64_t> stoppedWalks_{0};
    std::shared_ptr<std::atomic<bool>> lastStop_;  // the searching caller's only
    std::thread thread_;
};

}  // namespace lark
