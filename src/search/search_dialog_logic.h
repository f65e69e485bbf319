#pragma once
// The rules of the search parameters dialog that do not need a window: preparing it for a
// new search, the keyword history, what OK stores, the enabling rules and the mirror
// between the "Containing text... " box and the pair box.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "search/criteria.h"

namespace lark {

struct AppContext;
class FileSystem;
struct Settings;

inline constexpr std::array<const char*, 4> kPeriodUnitNames = {"Days", "Weeks", "Months", "Years"};
inline constexpr std::array<const char*, 4> kSizeUnitNames = {"Bytes", "Kb", "Mb", "Gb"};

// The texts that differ between a plain search and a search and replace.
struct SearchDialogModeTexts {
    std::string pairLabel;
    std::string pairHint;
    std::string textTabCaption;
    std::string replaceWindowCaption;
};
SearchDialogModeTexts ModeTextsFor(bool searchMode);

// Each new search starts without date and size filters, with a unit in every unit list
// and with at least one name switch on.
void PrepareSearchDialog(SearchCriteria& c);

// The keyword history, newest first. A keyword already present (ignoring case) stays where
// it is; anything else, the empty keyword included, goes first.
void AddKeywordToHistory(std::vector<std::string>& history, std::string_view keyword);
// Nothing when the file is missing or unreadable: the history then stays as it is.
std::optional<std::vector<std::string>> LoadKeywordHistory(FileSystem& fs, std::string_view path);
bool SaveKeywordHistory(FileSystem& fs, std::string_view path,
                        const std::vector<std::string>& history);

// What OK stores: the keyword goes into the history, the history into its file, the
// criteria into the last-criteria file. When the history cannot be written the user is
// told and the criteria file is left alone; the dialog closes with OK either way.
void ConfirmSearchDialog(AppContext& ctx, const SearchCriteria& c,
                         std::vector<std::string>& history);

// Start-up: the log file default, the last confirmed criteria, then the use-last-search
// check. A bad number in the file is reported; the criteria keep what was read before it.
LoadCriteriaResult CreateSearchCriteria(AppContext& ctx, SearchCriteria& c,
                                        bool lastSearchListAvailable = false);

// Which option controls are enabled for the current criteria.
struct SearchDialogEnables {
    bool caseAndWholeWords = true;
    bool commentPrefix = false;
    bool backupAndKeepDate = false;
};
SearchDialogEnables EnablesFor(const SearchCriteria& c);
// "&Use last search list" turned on without a previous result list: the user is told and
// the option goes off again. The list is the one "<Last Search>" shows, which a text search
// then narrows instead of searching the index anew.
void CheckUseLastSearch(AppContext& ctx, SearchCriteria& c, bool lastSearchListAvailable);

// A typed character a number box accepts: a digit or backspace.
bool IsNumberBoxChar(uint32_t ch);

// The pair box as lines and back. A final line end adds no empty line.
std::vector<std::string> PairLinesFromText(std::string_view text);
std::string PairTextFromLines(const std::vector<std::string>& lines);

// The "Containing text... " box changed. Typed on the "General" page it becomes a one-line
// pair list with plain search options; set from elsewhere it only changes itself.
void MirrorContainingText(SearchCriteria& c, std::string_view text, bool generalPageActive);
// The pair box changed: with at most one line it shows in the "Containing text... " box.
void MirrorPairBox(SearchCriteria& c);

// The name of the current search domain, or "(none)" when no settings file gave one.
std::string SearchDomainLabel(const Settings& settings);

// Whether a confirmed search runs the text search over the found files or the index alone.
bool WantsTextSearch(const SearchCriteria& c);

}  // namespace lark
