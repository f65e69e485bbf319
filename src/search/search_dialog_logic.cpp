#include "search/search_dialog_logic.h"

#include "config/context.h"
#include "config/data_paths.h"
#include "base/file_helpers.h"
#include "config/settings.h"
#include "base/text.h"
#include "platform/file_system.h"
#include "platform/messages.h"

namespace lark {

namespace {

bool NamesNoUnit(int32_t index, size_t unitCount) {
    return index < 0 || index >= static_cast<int32_t>(unitCount);
}

}  // namespace

SearchDialogModeTexts ModeTextsFor(bool searchMode) {
    if (searchMode) {
        return {"Search Strings", "Enter search strings, one per line", "Full Text Search",
                "Full Text Search Results"};
    }
    return {"Search/Replace Strings",
            "Enter search and replace pairs one per line with the search string at the start "
            "followed by tab then the replacement string",
            "Text Search/Replace", "Full Text Search/Replace Results"};
}

void PrepareSearchDialog(SearchCriteria& c) {
    c.DateMode = DateFilterMode::None;
    c.SizeMode = SizeFilterMode::None;
    if (NamesNoUnit(c.PeriodUnits, kPeriodUnitNames.size())) c.PeriodUnits = 0;
    for (int32_t* units : {&c.LargerUnits, &c.SmallerUnits, &c.BetweenUnits}) {
        if (NamesNoUnit(*units, kSizeUnitNames.size())) *units = 1;
    }
    if (!c.SearchFilename && !c.SearchPath) c.SearchFilename = true;
}

void AddKeywordToHistory(std::vector<std::string>& history, std::string_view keyword) {
    for (const std::string& entry : history) {
        if (SameTextIgnoringCase(entry, keyword)) return;
    }
    history.insert(history.begin(), std::string(keyword));
}

std::optional<std::vector<std::string>> LoadKeywordHistory(FileSystem& fs, std::string_view path) {
    std::optional<std::string> text = fs.ReadWhole(path);
    if (!text) return std::nullopt;
    std::vector<std::string> lines;
    SplitLines(*text, [&](std::string_view line) { lines.emplace_back(line); });
    return lines;
}

bool SaveKeywordHistory(FileSystem& fs, std::string_view path,
                        const std::vector<std::string>& history) {
    std::string text;
    for (const std::string& entry : history) {
        text += entry;
        text += "\r\n";
    }
    return ForceFolders(fs, path) && fs.WriteWhole(path, text);
}

void ConfirmSearchDialog(AppContext& ctx, const SearchCriteria& c,
                         std::vector<std::string>& history) {
    AddKeywordToHistory(history, c.Keywords);
    std::string historyPath = KeywordHistoryFile(ctx);
    if (!SaveKeywordHistory(ctx.fs, historyPath, history)) {
        ctx.messages.Error("Cannot create file " + historyPath);
        return;
    }
    SaveCriteria(ctx, c, LastCriteriaFile(ctx));
}

LoadCriteriaResult CreateSearchCriteria(AppContext& ctx, SearchCriteria& c,
                                        bool lastSearchListAvailable) {
    c.Logfile = ReplaceLogPath(ctx);
    std::string errorText;
    LoadCriteriaResult result = LoadCriteria(ctx, c, LastCriteriaFile(ctx), &errorText);
    if (result == LoadCriteriaResult::BadInteger) ctx.messages.Error(errorText);
    CheckUseLastSearch(ctx, c, lastSearchListAvailable);
    return result;
}

SearchDialogEnables EnablesFor(const SearchCriteria& c) {
    return {!c.UseLastSearch, c.CommentChanges, c.Replace};
}

void CheckUseLastSearch(AppContext& ctx, SearchCriteria& c, bool lastSearchListAvailable) {
    if (!c.UseLastSearch || lastSearchListAvailable) return;
    ctx.messages.Info("No previous search result is available.");
    c.UseLastSearch = false;
}

bool IsNumberBoxChar(uint32_t ch) {
    return (ch >= '0' && ch <= '9') || ch == 8;
}

std::vector<std::string> PairLinesFromText(std::string_view text) {
    std::vector<std::string> lines;
    SplitLines(text, [&](std::string_view line) { lines.emplace_back(line); });
    return lines;
}

std::string PairTextFromLines(const std::vector<std::string>& lines) {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += "\r\n";
        text += lines[i];
    }
    // A last blank line would vanish without the line end that closes the line before it.
    if (!lines.empty() && lines.back().empty()) text += "\r\n";
    return text;
}

void MirrorContainingText(SearchCriteria& c, std::string_view text, bool generalPageActive) {
    c.SearchInFile = std::string(text);
    if (!generalPageActive) return;
    c.SearchReplaceLines = PairLinesFromText(text);
    c.WholeWords = false;
    c.CaseSensitive = false;
    c.PatternMatch = false;
    c.UseLastSearch = false;
    c.ShowLog = false;
    c.IncludePattern.clear();
    c.cbFTSActive = !Trim(text).empty();
}

void MirrorPairBox(SearchCriteria& c) {
    if (c.SearchReplaceLines.size() >= 2) return;
    c.SearchInFile = c.SearchReplaceLines.empty() ? std::string() : c.SearchReplaceLines[0];
    c.cbFTSActive = !c.SearchReplaceLines.empty();
}

std::string SearchDomainLabel(const Settings& settings) {
    return settings.CurrentSearchSet ? settings.CurrentSearchSet->Name : std::string("(none)");
}

bool WantsTextSearch(const SearchCriteria& c) {
    return c.cbFTSActive && !c.SearchReplaceLines.empty();
}

}  // namespace lark
