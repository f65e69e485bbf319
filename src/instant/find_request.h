#pragma once
// The console client's question and answer: its options, how they travel to the resident
// instance and back, and the search both sides run with them.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "search/criteria.h"
#include "search/search_results.h"

namespace lark {

class Clock;
struct Settings;

inline constexpr const char* kFindProgram = "larkspire-find";

struct FindOptions {
    // The keyword query, the two subject switches and the date and size filters, as the
    // search dialog holds them.
    SearchCriteria criteria;
    int64_t limit = -1;  // -1: every result
    bool countOnly = false;
    std::string indexPath;  // empty: the installation's index
    std::string domain;     // empty: whichever domain the index holds
    bool noInstance = false;
    bool help = false;
};

struct FindParse {
    std::optional<FindOptions> options;  // nullopt: error holds why
    std::string error;
};
// The command line after the program name. The query words are joined by blanks as the
// keyword box would hold them; "--" ends the options, so a query may begin with "-".
FindParse ParseFindArguments(const std::vector<std::string>& args);
std::string FindUsage();

// The options as the resident instance receives them, and back.
std::string EncodeFindOptions(const FindOptions& options);
std::optional<FindOptions> DecodeFindOptions(std::string_view text);

// How a search ended, as the resident instance reports it after the result lines.
struct FindSummary {
    int64_t count = 0;        // results printed (or counted)
    bool refreshing = false;  // answered from the index as it was before a build began
    std::string error;        // nothing was searched: why
    bool declined = false;    // the instance does not hold that index: read it here
};
std::string EncodeFindSummary(const FindSummary& summary);
FindSummary DecodeFindSummary(std::string_view text);
// 0 with results, 1 with none, 2 on an error.
int FindExitCode(const FindSummary& summary);

// A result as printed: the full path, and a "\" after a folder's.
std::string FindResultLine(std::string_view path, bool folder);

// Empty when the index text was built from the search domain named, else the message.
std::string CheckIndexDomain(std::string_view indexText, const Settings& settings,
                             std::string_view domain);

// The search both the resident instance and the client run: the keyword query and the date
// and size filters over an index held in memory, results as places in it.
void RunFind(FileSystem& fs, Clock& clock, const FindOptions& options,
             std::shared_ptr<const WholeFile> index, SearchResults& results);
// Hands the result lines (up to the limit) to write in pieces of about chunkBytes; returns
// how many results were written.
int64_t WriteFindResults(const SearchResults& results, int64_t limit, size_t chunkBytes,
                         const std::function<void(std::string_view lines)>& write);

// The messages the client prints.
std::string MissingIndexMessage(std::string_view indexPath);
inline constexpr const char* kRefreshingNote =
    "the index is being refreshed; these results come from the index as it was before";

}  // namespace lark
