#pragma once
// Running a search over the path index: every line is tested against the keyword query,
// and each match against the date and size filters.
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "search/search_results.h"

namespace lark {

struct AppContext;
class Clock;
class DateSizeFilter;
class FileSystem;
class KeywordQuery;
struct SearchCriteria;

// What a search needs from the main window.
class SearchHost {
  public:
    virtual ~SearchHost() = default;
    // Starts an index refresh exactly as the Refresh command does.
    virtual void RefreshIndex() = 0;
    // Shows the progress strip with the bar at 0 of maximum and the caption, and repaints
    // the window at once so the strip is visible during the walk.
    virtual void ShowProgressStrip(int32_t maximum, std::string_view caption) = 0;
    virtual void AdvanceProgress(int32_t by) = 0;
    virtual void HideProgress() = 0;
};

// A file that exists but cannot be read. Not caught by the search: the command that ran
// it is abandoned and the general error box shows what().
class FileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

inline constexpr const char* kSearchingCaption = "Searching...";

// Shows the strip and returns the step: the bar moves about a hundred times per walk.
int32_t ShowSearchProgress(SearchHost& host, int32_t maximum, std::string_view caption);

// Where a search spends its time, for the benchmark that explains its figures. Every call
// comes from the searching thread.
class SearchProbe {
  public:
    virtual ~SearchProbe() = default;
    // A step has ended: "read" (the index read into memory), "plan" (the sample read),
    // "count" (the lines counted for the progress bar), "walk" (every piece), "merge" (the
    // pieces' results joined in order), "settle" (the results copied out, or
    // the text kept).
    virtual void StepEnded(std::string_view step) = 0;
    // A walk in pieces shared with a helper thread: when the helper began and when it
    // finished its last piece (-1: it took none), when this thread finished its own, all in
    // milliseconds after the walk began, and how many of the pieces the helper walked.
    virtual void Pieces(double helperStartMs, double helperEndMs, double ownEndMs, int helperPieces,
                        int pieces) = 0;
};

// Searches the index file at IndexFilePath.
void SearchIndex(AppContext& ctx, const SearchCriteria& criteria, SearchHost& host,
                 SearchResults& results);
// The same over the index file at indexPath. When the file is missing, one refresh is
// started and, if it is still missing, results stay as they were. Throws FileError with
// "Cannot open file " + path when the file cannot be read whole (a build is writing it).
// The index is read into the memory results kept from their last search (see
// SearchResults::clear).
void SearchIndexFile(FileSystem& fs, Clock& clock, const SearchCriteria& criteria,
                     std::string_view indexPath, SearchHost& host, SearchResults& results,
                     SearchProbe* probe = nullptr);

// Lines of an index held in memory, as the walk counts them.
int64_t CountIndexLines(std::string_view data);

// How the walk finds the lines worth evaluating. All give the same results. Auto scans the
// whole buffer for a literal every match must hold when the query has a rare one, and else
// marks where the terms occur block by block when the query allows (PlainTerms forces that
// second way where it applies); EveryLine tests each line by itself.
enum class WalkStrategy { Auto, PlainTerms, EveryLine };

// Fills results with the matches of an index held in memory (line 1 skipped), advancing the
// host's bar by step every step lines (host may be null). The results may keep the text.
void WalkIndex(std::shared_ptr<const WholeFile> index, const KeywordQuery& query,
               bool searchFilename, bool searchPath, const DateSizeFilter& filter, SearchHost* host,
               int32_t step, SearchResults& results, WalkStrategy strategy = WalkStrategy::Auto,
               int parts = 0);

// From this size on, an unfiltered walk is shared with a second thread where the machine has
// two processors (parts 0 above). parts 1 and 2 fix the number of threads, whatever the size.
inline constexpr size_t kSplitWalkFrom = size_t(4) << 20;

}  // namespace lark
