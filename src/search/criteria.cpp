#include "search/criteria.h"

#include <cstdio>
#include <map>

#include "config/context.h"
#include "base/file_helpers.h"
#include "base/text.h"

namespace lark {

namespace {

constexpr std::string_view kSection = "[Larkspire Search]";
constexpr std::string_view kPairKey = "SearchReplace";

std::string DateKeyText(double dateTime) {
    CivilDateTime t = DecodeDateTime(dateTime);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", t.year, t.month, t.day);
    return buf;
}

// The "key=value" lines of a file, in file order; the first line with a key wins.
class KeyLines {
  public:
    explicit KeyLines(std::string_view text) {
        SplitLines(text, [this](std::string_view line) {
            size_t eq = line.find('=');
            if (eq != std::string_view::npos)
                lines_.push_back({line.substr(0, eq), line.substr(eq + 1)});
        });
    }

    std::string Value(std::string_view key) const {
        for (const auto& [k, v] : lines_)
            if (SameTextIgnoringCase(k, key)) return std::string(v);
        return std::string();
    }

    // The pair lines "SearchReplace<n>" for n = 1 .. count, found in one pass so that a
    // huge count in a damaged file costs nothing.
    std::map<int64_t, std::string> Pairs(int64_t count) const {
        std::map<int64_t, std::string> pairs;
        for (const auto& [k, v] : lines_) {
            if (k.size() <= kPairKey.size() || !StartsWithIgnoringCase(k, kPairKey)) continue;
            std::string_view digits = k.substr(kPairKey.size());
            // Only the number as the writer spells it names a pair line.
            if (digits[0] < '1' || digits[0] > '9' || digits.size() > 10) continue;
            int64_t n = 0;
            bool ok = true;
            for (char c : digits) {
                if (c < '0' || c > '9') ok = false;
                n = n * 10 + (c - '0');
            }
            if (ok && n <= count) pairs.emplace(n, std::string(v));  // first one wins
        }
        return pairs;
    }

  private:
    std::vector<std::pair<std::string_view, std::string_view>> lines_;
};

}  // namespace

std::string CriteriaFileText(const SearchCriteria& c) {
    std::string out;
    auto line = [&out](std::string_view key, std::string_view value) {
        out.append(key);
        out += '=';
        out.append(value);
        out += "\r\n";
    };
    out.append(kSection);
    out += "\r\n";
    line("Keywords", c.Keywords);
    line("SearchFilename", BoolToText(c.SearchFilename));
    line("SearchPath", BoolToText(c.SearchPath));
    line("Recent", BoolToText(c.DateMode == DateFilterMode::Recent));
    line("DateRange", BoolToText(c.DateMode == DateFilterMode::Range));
    line("LastXUnits", c.LastXUnits);
    line("PeriodUnits", std::to_string(c.PeriodUnits));
    line("DateFrom", DateKeyText(c.DateFrom));
    line("DateTo", DateKeyText(c.DateTo));
    line("CheckLarger", BoolToText(c.SizeMode == SizeFilterMode::Larger));
    line("CheckSmaller", BoolToText(c.SizeMode == SizeFilterMode::Smaller));
    line("CheckBetween", BoolToText(c.SizeMode == SizeFilterMode::Between));
    line("LargerThan", c.LargerThan);
    line("SmallerThan", c.SmallerThan);
    line("SizeFrom", c.SizeFrom);
    line("SizeTo", c.SizeTo);
    line("LargerUnits", std::to_string(c.LargerUnits));
    line("SmallerUnits", std::to_string(c.SmallerUnits));
    line("BetweenUnits", std::to_string(c.BetweenUnits));
    line("IncludePattern", c.IncludePattern);
    line("Logfile", c.Logfile);
    line("Backup", BoolToText(c.Backup));
    line("CaseSensitive", BoolToText(c.CaseSensitive));
    line("Replace", BoolToText(c.Replace));
    line("WholeWords", BoolToText(c.WholeWords));
    line("UseLastSearch", BoolToText(c.UseLastSearch));
    line("KeepDateTime", BoolToText(c.KeepDateTime));
    line("PatternMatch", BoolToText(c.PatternMatch));
    line("CommentChanges", BoolToText(c.CommentChanges));
    line("ShowLog", BoolToText(c.ShowLog));
    line("CommentChar", c.CommentChar);
    line("SearchReplaceLines", std::to_string(c.SearchReplaceLines.size()));
    // Blank pair lines keep their number, so the numbering shows where they were.
    for (size_t i = 0; i < c.SearchReplaceLines.size(); ++i) {
        std::string text = Trim(c.SearchReplaceLines[i]);
        if (!text.empty()) line(std::string(kPairKey) + std::to_string(i + 1), text);
    }
    return out;
}

bool SaveCriteria(AppContext& ctx, const SearchCriteria& c, std::string_view path) {
    if (!ForceFolders(ctx.fs, path)) return false;
    // The rewrite goes through a temporary file, so a failed save never leaves half a file.
    return ctx.fs.WriteWhole(path, CriteriaFileText(c));
}

double ParseCriteriaDate(std::string_view text) {
    if (text == "00000000") return 0;
    auto part = [text](size_t from, size_t count) {
        return from < text.size() ? text.substr(from, count) : std::string_view();
    };
    int32_t year = 0, month = 0, day = 0;
    if (!TryTextToInt(part(0, 4), year) || !TryTextToInt(part(4, 2), month) ||
        !TryTextToInt(part(6, 2), day) || !IsValidDate(year, month, day))
        return 0;
    return EncodeDate(year, month, day);
}

LoadCriteriaResult LoadCriteria(AppContext& ctx, SearchCriteria& c, std::string_view path,
                                std::string* errorText) {
    if (!IsValidFileName(path) || !ctx.fs.IsFile(path)) return LoadCriteriaResult::NotLoaded;
    std::optional<std::string> data = ctx.fs.ReadWhole(path);
    if (!data) return LoadCriteriaResult::NotLoaded;
    const KeyLines keys(*data);

    std::string badText;
    // Integers are read in file-key order; the first one that is not a whole number stops
    // the load there, and everything read before it stays.
    auto integer = [&keys, &badText](std::string_view key, int32_t& field) {
        std::string value = keys.Value(key);
        if (!TryTextToInt(value, field)) {
            badText = value;
            return false;
        }
        return true;
    };
    auto fail = [&badText, errorText] {
        if (errorText) *errorText = "'" + badText + "' is not a valid integer value";
        return LoadCriteriaResult::BadInteger;
    };
    auto flag = [&keys](std::string_view key) { return TextToBool(keys.Value(key)); };

    c.Keywords = keys.Value("Keywords");
    c.SearchFilename = flag("SearchFilename");
    c.SearchPath = flag("SearchPath");
    c.DateMode = flag("DateRange") ? DateFilterMode::Range
                 : flag("Recent")  ? DateFilterMode::Recent
                                   : DateFilterMode::None;
    c.LastXUnits = keys.Value("LastXUnits");
    if (!integer("PeriodUnits", c.PeriodUnits)) return fail();
    c.DateFrom = ParseCriteriaDate(keys.Value("DateFrom"));
    c.DateTo = ParseCriteriaDate(keys.Value("DateTo"));
    c.SizeMode = flag("CheckBetween")   ? SizeFilterMode::Between
                 : flag("CheckSmaller") ? SizeFilterMode::Smaller
                 : flag("CheckLarger")  ? SizeFilterMode::Larger
                                        : SizeFilterMode::None;
    c.LargerThan = keys.Value("LargerThan");
    c.SmallerThan = keys.Value("SmallerThan");
    c.SizeFrom = keys.Value("SizeFrom");
    c.SizeTo = keys.Value("SizeTo");
    if (!integer("LargerUnits", c.LargerUnits)) return fail();
    if (!integer("SmallerUnits", c.SmallerUnits)) return fail();
    if (!integer("BetweenUnits", c.BetweenUnits)) return fail();

    // Files written before text search existed carry none of its settings.
    const std::string lineCount = Trim(keys.Value("SearchReplaceLines"));
    if (lineCount.empty()) return LoadCriteriaResult::Loaded;

    c.IncludePattern = keys.Value("IncludePattern");
    c.Logfile = keys.Value("Logfile");
    c.Backup = flag("Backup");
    c.CaseSensitive = flag("CaseSensitive");
    c.Replace = flag("Replace");
    c.WholeWords = flag("WholeWords");
    c.UseLastSearch = flag("UseLastSearch");
    c.KeepDateTime = flag("KeepDateTime");
    c.PatternMatch = flag("PatternMatch");
    c.CommentChanges = flag("CommentChanges");
    c.ShowLog = flag("ShowLog");
    c.CommentChar = keys.Value("CommentChar");

    int32_t count = 0;
    if (!TryTextToInt(lineCount, count)) {
        badText = lineCount;
        return fail();
    }
    c.SearchReplaceLines.clear();
    for (auto& [n, value] : keys.Pairs(count)) {
        std::string text = Trim(value);
        if (!text.empty()) c.SearchReplaceLines.push_back(std::move(text));
    }
    if (c.SearchReplaceLines.size() < 2) {
        c.SearchInFile = c.SearchReplaceLines.empty() ? std::string() : c.SearchReplaceLines[0];
        c.cbFTSActive = c.SearchReplaceLines.size() == 1;
    }
    return LoadCriteriaResult::Loaded;
}

}  // namespace lark
