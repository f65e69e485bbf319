#pragma once
// The one set of search settings of the running program and its ".lks" file.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/date_time.h"

// <windows.h> turns SearchPath into SearchPathW; the criteria field keeps its own name.
#ifdef SearchPath
#undef SearchPath
#endif

namespace lark {

struct AppContext;

enum class DateFilterMode { None, Recent, Range };
enum class SizeFilterMode { None, Larger, Smaller, Between };

// Unit item indexes: periods 0 Days, 1 Weeks, 2 Months, 3 Years; sizes 0 Bytes, 1 Kb,
// 2 Mb, 3 Gb; -1 means no unit selected.
struct SearchCriteria {
    std::string Keywords;
    bool SearchFilename = true;
    bool SearchPath = false;
    DateFilterMode DateMode = DateFilterMode::None;
    std::string LastXUnits = "1";
    int32_t PeriodUnits = -1;
    double DateFrom = EncodeDateTime({2003, 7, 8, 22, 6, 39, 0});
    double DateTo = EncodeDateTime({2003, 7, 8, 22, 8, 35, 0});
    SizeFilterMode SizeMode = SizeFilterMode::None;
    std::string LargerThan = "1";
    std::string SmallerThan = "1";
    std::string SizeFrom = "1";
    std::string SizeTo = "1";
    int32_t LargerUnits = -1;
    int32_t SmallerUnits = -1;
    int32_t BetweenUnits = -1;
    std::string IncludePattern;
    std::string Logfile;
    bool Backup = false;
    bool CaseSensitive = false;
    bool Replace = false;
    bool WholeWords = false;
    bool UseLastSearch = false;
    bool KeepDateTime = false;
    bool PatternMatch = false;
    bool CommentChanges = false;
    bool ShowLog = false;
    std::string CommentChar = ";";
    std::vector<std::string> SearchReplaceLines;  // the pair box, one entry per line
    // Held in memory only: mirrored by the search dialog.
    bool cbFTSActive = false;
    bool chkTextOnly = true;
    std::string SearchInFile;  // the single "Containing text... " string
};

// Outcome of LoadCriteria: NotLoaded (invalid name or missing file, nothing changed),
// Loaded, or BadInteger (stopped at a key whose value is not a whole number; fields set
// before it keep their new values; errorText holds the standard message).
enum class LoadCriteriaResult { NotLoaded, Loaded, BadInteger };

bool SaveCriteria(AppContext& ctx, const SearchCriteria& c, std::string_view path);
std::string CriteriaFileText(const SearchCriteria& c);
LoadCriteriaResult LoadCriteria(AppContext& ctx, SearchCriteria& c, std::string_view path,
                                std::string* errorText = nullptr);
double ParseCriteriaDate(std::string_view text);

}  // namespace lark
