#include "instant/instant_search.h"

#include <algorithm>

#include "search/criteria.h"
#include "search/filters.h"
#include "search/index_search.h"
#include "search/query.h"

namespace lark {

InstantQuery InstantQueryFor(std::string_view text) {
    InstantQuery query;
    query.keywords = std::string(text);
    query.fullPath = text.find('\\') != std::string_view::npos;
    return query;
}

InstantSearcher::InstantSearcher(FileSystem& fs, Clock& clock, InstantListener& listener,
                                 size_t firstCount)
    : fs_(fs), clock_(clock), listener_(listener), firstCount_(firstCount) {
    thread_ = std::thread([this] { Run(); });
}

InstantSearcher::~InstantSearcher() {
    if (lastStop_) lastStop_->store(true);
    closing_.store(true);
    WakeUp();
    thread_.join();
    delete pending_.exchange(nullptr);
}

void InstantSearcher::Search(InstantRequest request) {
    if (lastStop_) lastStop_->store(true);
    auto* job = new Job{std::move(request), std::make_shared<std::atomic<bool>>(false)};
    lastStop_ = job->stop;
    delete pending_.exchange(job);
    WakeUp();
}

void InstantSearcher::WakeUp() {
    {
        std::lock_guard<std::mutex> lock(wakeMutex_);
        ++wakeups_;
    }
    wake_.notify_one();
}

void InstantSearcher::Stop() {
    if (lastStop_) lastStop_->store(true);
    delete pending_.exchange(nullptr);
}

void InstantSearcher::Run() {
    for (;;) {
        uint32_t seen;
        {
            std::lock_guard<std::mutex> lock(wakeMutex_);
            seen = wakeups_;
        }
        if (closing_.load()) return;
        std::unique_ptr<Job> job(pending_.exchange(nullptr));
        if (!job) {
            std::unique_lock<std::mutex> lock(wakeMutex_);
            wake_.wait(lock, [&] { return wakeups_ != seen; });
            continue;
        }
        try {
            Walk(*job);
        } catch (...) {
            // A walk that fails shows nothing; the next keystroke tries again.
        }
    }
}

void InstantSearcher::Walk(const Job& job) {
    const InstantQuery instant = InstantQueryFor(job.request.text);
    SearchCriteria criteria;
    criteria.Keywords = instant.keywords;
    criteria.SearchFilename = true;
    criteria.SearchPath = instant.fullPath;
    const KeywordQuery query(criteria.Keywords);
    const DateSizeFilter noFilter(fs_, clock_, criteria);

    const uint64_t id = job.request.id;
    WalkControl control;
    control.cancel = job.stop.get();
    control.keepText = true;
    control.firstCount = firstCount_;
    control.firstResults = [this, id](const SearchResults& found) {
        InstantRows rows;
        rows.id = id;
        const size_t count = std::min(found.size(), firstCount_);
        std::string scratch;
        for (size_t i = 0; i < count; ++i) {
            rows.paths.emplace_back(found.PathAt(i, scratch));
            rows.folders.push_back(found.IsFolderAt(i));
        }
        listener_.FirstResults(std::move(rows));
    };
    auto results = std::make_unique<SearchResults>();
    WalkIndex(job.request.index, query, criteria.SearchFilename, criteria.SearchPath, noFilter,
              nullptr, 1, *results, WalkStrategy::Auto, 0, &control);
    if (job.stop->load()) {
        ++stoppedWalks_;
        return;
    }
    listener_.Finished(id, std::move(results));
}

}  // namespace lark
