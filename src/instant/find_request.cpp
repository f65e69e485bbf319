#include "instant/find_request.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "base/date_time.h"
#include "base/text.h"
#include "config/settings.h"
#include "search/filters.h"
#include "search/index_search.h"
#include "search/query.h"

namespace lark {

namespace {

bool IsDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

// "500", "500K", "2mb": the count and the unit index of the size boxes (0 Bytes .. 3 Gb).
bool ParseSize(std::string_view text, std::string& count, int32_t& unit) {
    size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
    const std::string suffix = LowerCase(text.substr(digits));
    static constexpr std::pair<const char*, int32_t> kUnits[] = {
        {"", 0}, {"b", 0}, {"k", 1}, {"kb", 1}, {"m", 2}, {"mb", 2}, {"g", 3}, {"gb", 3}};
    int32_t value = 0;
    if (!TryTextToInt(text.substr(0, digits), value) || value < 0) return false;
    for (const auto& [name, index] : kUnits) {
        if (suffix == name) {
            count = std::to_string(value);
            unit = index;
            return true;
        }
    }
    return false;
}

// "3", "3d", "2w", "6m", "1y": the count and the unit index of the period box.
bool ParsePeriod(std::string_view text, std::string& count, int32_t& unit) {
    size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
    const std::string suffix = LowerCase(text.substr(digits));
    int32_t value = 0;
    if (!TryTextToInt(text.substr(0, digits), value) || value < 0) return false;
    static constexpr std::pair<const char*, int32_t> kUnits[] = {
        {"", 0}, {"d", 0}, {"w", 1}, {"m", 2}, {"y", 3}};
    for (const auto& [name, index] : kUnits) {
        if (suffix == name) {
            count = std::to_string(value);
            unit = index;
            return true;
        }
    }
    return false;
}

// "2024-05-01", "2024-05-01 14:30", "2024-05-01T14:30:15". A date alone is the start of the
// day, or with endOfDay its last second.
bool ParseDate(std::string_view text, bool endOfDay, double& dateTime) {
    auto number = [&text](size_t at, size_t length, int& value) {
        if (at + length > text.size() || !IsDigits(text.substr(at, length))) return false;
        value = std::atoi(std::string(text.substr(at, length)).c_str());
        return true;
    };
    CivilDateTime t;
    if (!number(0, 4, t.year) || text.size() < 10 || text[4] != '-' || text[7] != '-' ||
        !number(5, 2, t.month) || !number(8, 2, t.day) || !IsValidDate(t.year, t.month, t.day))
        return false;
    if (text.size() == 10) {
        if (endOfDay) t.hour = 23, t.minute = 59, t.second = 59;
    } else {
        if ((text[10] != ' ' && text[10] != 'T') || text.size() < 16 || text[13] != ':' ||
            !number(11, 2, t.hour) || !number(14, 2, t.minute))
            return false;
        if (text.size() == 19 && text[16] == ':') {
            if (!number(17, 2, t.second)) return false;
        } else if (text.size() != 16) {
            return false;
        }
        if (t.hour > 23 || t.minute > 59 || t.second > 59) return false;
    }
    dateTime = EncodeDateTime(t);
    return true;
}

std::string Escaped(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '%' || c == '\n' || c == '\r' || c == '\0') {
            char code[4];
            std::snprintf(code, sizeof code, "%%%02X", unsigned(static_cast<unsigned char>(c)));
            out += code;
        } else {
            out += c;
        }
    }
    return out;
}

std::string Unescaped(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            out += char(std::strtol(std::string(text.substr(i + 1, 2)).c_str(), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// Calls each(key, value) for every "key=value" line.
template <class Each>
void ForEachField(std::string_view text, Each each) {
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        each(line.substr(0, equals), Unescaped(line.substr(equals + 1)));
    }
}

std::string DoubleText(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

}  // namespace

std::string FindUsage() {
    return std::string("Usage: ") + kFindProgram +
           " [options] [--] QUERY...\n"
           "Prints the full path of every indexed file and folder that matches QUERY, one a\n"
           "line, in index order; a folder's path ends in \"\\\". QUERY is the search dialog's\n"
           "keyword query (AND, OR, NOT, -word, +word, \"a phrase\", * ? #); its words are\n"
           "joined by blanks. Put \"--\" before a query that begins with \"-\".\n"
           "\n"
           "  -p, --path           the words see the folder and the name (full-path mode)\n"
           "  -n, --limit N        print at most N results\n"
           "  -c, --count          print only the number of results\n"
           "      --larger SIZE    files larger than SIZE: a number with B, K, M or G\n"
           "      --smaller SIZE   files smaller than SIZE (with --larger: between the two)\n"
           "      --last N[d|w|m|y]  files written in the last N days, weeks, months, years\n"
           "      --from DATE      files written from DATE on (YYYY-MM-DD [HH:MM[:SS]])\n"
           "      --to DATE        files written up to DATE (a day alone: to its end)\n"
           "  -d, --domain NAME    answer only from an index of the search domain NAME\n"
           "  -i, --index FILE     search the index file FILE\n"
           "      --no-instance    read the index file even when Larkspire is running\n"
           "  -h, --help           this text\n"
           "\n"
           "Exit code: 0 with results, 1 with none, 2 on an error.\n";
}

FindParse ParseFindArguments(const std::vector<std::string>& args) {
    FindParse parse;
    FindOptions o;
    SearchCriteria& c = o.criteria;
    c.SearchFilename = true;
    c.SearchPath = false;
    std::vector<std::string> words;
    bool larger = false, smaller = false, from = false, to = false, last = false;
    std::string largerCount, smallerCount;
    int32_t largerUnit = 0, smallerUnit = 0;
    double fromDate = EncodeDate(1980, 1, 1), toDate = EncodeDate(9999, 12, 31);
    auto fail = [&parse](std::string message) {
        parse.error = std::move(message);
        return parse;
    };
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            if (arg == "/?" && !optionsEnded) {
                o.help = true;
                continue;
            }
            words.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        // "--limit=5" as well as "--limit 5".
        std::optional<std::string> inlineValue;
        if (arg.rfind("--", 0) == 0) {
            size_t equals = arg.find('=');
            if (equals != std::string::npos) {
                inlineValue = arg.substr(equals + 1);
                arg.resize(equals);
            }
        }
        auto value = [&](std::string& out) {
            if (inlineValue) {
                out = *inlineValue;
                return true;
            }
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        std::string v;
        if (arg == "-h" || arg == "--help" || arg == "-?") {
            o.help = true;
        } else if (arg == "-p" || arg == "--path" || arg == "--full-path") {
            c.SearchPath = true;
        } else if (arg == "-c" || arg == "--count") {
            o.countOnly = true;
        } else if (arg == "--no-instance") {
            o.noInstance = true;
        } else if (arg == "-n" || arg == "--limit") {
            int32_t n = 0;
            if (!value(v) || !IsDigits(v) || !TryTextToInt(v, n))
                return fail(arg + " needs a number of results");
            o.limit = n;
        } else if (arg == "--larger" || arg == "--smaller") {
            std::string& count = arg == "--larger" ? largerCount : smallerCount;
            int32_t& unit = arg == "--larger" ? largerUnit : smallerUnit;
            if (!value(v) || !ParseSize(v, count, unit))
                return fail(arg + " needs a size such as 500, 64K, 10M or 2G");
            (arg == "--larger" ? larger : smaller) = true;
        } else if (arg == "--last") {
            if (!value(v) || !ParsePeriod(v, c.LastXUnits, c.PeriodUnits))
                return fail("--last needs a period such as 7, 7d, 2w, 6m or 1y");
            last = true;
        } else if (arg == "--from" || arg == "--to") {
            const bool isTo = arg == "--to";
            if (!value(v) || !ParseDate(v, isTo, isTo ? toDate : fromDate))
                return fail(arg + " needs a date such as 2024-05-01 or 2024-05-01 14:30");
            (isTo ? to : from) = true;
        } else if (arg == "-d" || arg == "--domain") {
            if (!value(v) || v.empty()) return fail(arg + " needs the name of a search domain");
            o.domain = v;
        } else if (arg == "-i" || arg == "--index") {
            if (!value(v) || v.empty()) return fail(arg + " needs the path of an index file");
            o.indexPath = v;
        } else {
            return fail("unknown option " + arg +
                        " (put \"--\" before a query that begins with \"-\")");
        }
    }
    if (last && (from || to)) return fail("--last cannot be combined with --from or --to");
    if (last) {
        c.DateMode = DateFilterMode::Recent;
    } else if (from || to) {
        if (fromDate > toDate) return fail("--from lies after --to");
        c.DateMode = DateFilterMode::Range;
        c.DateFrom = fromDate;
        c.DateTo = toDate;
    }
    if (larger && smaller) {
        // The search dialog's "Between" takes one unit for both bounds: the finer of the two,
        // when the coarser bound still fits its box.
        const int32_t unit = std::min(largerUnit, smallerUnit);
        auto inUnit = [unit](const std::string& count, int32_t from, std::string& out) {
            int64_t n = TextToInt(count);
            for (int32_t u = from; u > unit; --u) n *= 1024;
            if (n > INT32_MAX) return false;
            out = std::to_string(n);
            return true;
        };
        if (!inUnit(largerCount, largerUnit, c.SizeFrom) ||
            !inUnit(smallerCount, smallerUnit, c.SizeTo))
            return fail("--larger and --smaller are too far apart; give both in the same unit");
        c.SizeMode = SizeFilterMode::Between;
        c.BetweenUnits = unit;
    } else if (larger) {
        c.SizeMode = SizeFilterMode::Larger;
        c.LargerThan = largerCount;
        c.LargerUnits = largerUnit;
    } else if (smaller) {
        c.SizeMode = SizeFilterMode::Smaller;
        c.SmallerThan = smallerCount;
        c.SmallerUnits = smallerUnit;
    }
    std::string keywords;
    for (const auto& w : words) keywords += (keywords.empty() ? "" : " ") + w;
    c.Keywords = keywords;
    parse.options = std::move(o);
    return parse;
}

std::string EncodeFindOptions(const FindOptions& o) {
    const SearchCriteria& c = o.criteria;
    std::string out;
    auto field = [&out](const char* key, std::string_view value) {
        out.append(key).append("=").append(Escaped(value)).append("\n");
    };
    field("query", c.Keywords);
    field("filename", c.SearchFilename ? "1" : "0");
    field("path", c.SearchPath ? "1" : "0");
    field("limit", std::to_string(o.limit));
    field("count", o.countOnly ? "1" : "0");
    field("date", std::to_string(int(c.DateMode)));
    field("last", c.LastXUnits);
    field("period", std::to_string(c.PeriodUnits));
    field("from", DoubleText(c.DateFrom));
    field("to", DoubleText(c.DateTo));
    field("size", std::to_string(int(c.SizeMode)));
    field("larger", c.LargerThan);
    field("largerUnit", std::to_string(c.LargerUnits));
    field("smaller", c.SmallerThan);
    field("smallerUnit", std::to_string(c.SmallerUnits));
    field("sizeFrom", c.SizeFrom);
    field("sizeTo", c.SizeTo);
    field("betweenUnit", std::to_string(c.BetweenUnits));
    field("index", o.indexPath);
    field("domain", o.domain);
    return out;
}

std::optional<FindOptions> DecodeFindOptions(std::string_view text) {
    FindOptions o;
    SearchCriteria& c = o.criteria;
    bool sawQuery = false;
    auto number = [](const std::string& v) { return std::strtoll(v.c_str(), nullptr, 10); };
    ForEachField(text, [&](std::string_view key, std::string value) {
        if (key == "query") {
            c.Keywords = std::move(value);
            sawQuery = true;
        } else if (key == "filename") {
            c.SearchFilename = value == "1";
        } else if (key == "path") {
            c.SearchPath = value == "1";
        } else if (key == "limit") {
            o.limit = number(value);
        } else if (key == "count") {
            o.countOnly = value == "1";
        } else if (key == "date") {
            const long long m = number(value);
            c.DateMode = m == 1   ? DateFilterMode::Recent
                         : m == 2 ? DateFilterMode::Range
                                  : DateFilterMode::None;
        } else if (key == "last") {
            c.LastXUnits = std::move(value);
        } else if (key == "period") {
            c.PeriodUnits = int32_t(number(value));
        } else if (key == "from") {
            c.DateFrom = std::strtod(value.c_str(), nullptr);
        } else if (key == "to") {
            c.DateTo = std::strtod(value.c_str(), nullptr);
        } else if (key == "size") {
            const long long m = number(value);
            c.SizeMode = m == 1   ? SizeFilterMode::Larger
                         : m == 2 ? SizeFilterMode::Smaller
                         : m == 3 ? SizeFilterMode::Between
                                  : SizeFilterMode::None;
        } else if (key == "larger") {
            c.LargerThan = std::move(value);
        } else if (key == "largerUnit") {
            c.LargerUnits = int32_t(number(value));
        } else if (key == "smaller") {
            c.SmallerThan = std::move(value);
        } else if (key == "smallerUnit") {
            c.SmallerUnits = int32_t(number(value));
        } else if (key == "sizeFrom") {
            c.SizeFrom = std::move(value);
        } else if (key == "sizeTo") {
            c.SizeTo = std::move(value);
        } else if (key == "betweenUnit") {
            c.BetweenUnits = int32_t(number(value));
        } else if (key == "index") {
            o.indexPath = std::move(value);
        } else if (key == "domain") {
            o.domain = std::move(value);
        }
    });
    if (!sawQuery) return std::nullopt;
    return o;
}

std::string EncodeFindSummary(const FindSummary& s) {
    return "count=" + std::to_string(s.count) + "\nrefreshing=" + (s.refreshing ? "1" : "0") +
           "\ndeclined=" + (s.declined ? "1" : "0") + "\nerror=" + Escaped(s.error) + "\n";
}

FindSummary DecodeFindSummary(std::string_view text) {
    FindSummary s;
    ForEachField(text, [&s](std::string_view key, std::string value) {
        if (key == "count")
            s.count = std::strtoll(value.c_str(), nullptr, 10);
        else if (key == "refreshing")
            s.refreshing = value == "1";
        else if (key == "declined")
            s.declined = value == "1";
        else if (key == "error")
            s.error = std::move(value);
    });
    return s;
}

int FindExitCode(const FindSummary& summary) {
    if (!summary.error.empty()) return 2;
    return summary.count > 0 ? 0 : 1;
}

std::string FindResultLine(std::string_view path, bool folder) {
    std::string line(path);
    if (folder && (line.empty() || line.back() != '\\')) line += '\\';
    return line;
}

std::string CheckIndexDomain(std::string_view indexText, const Settings& settings,
                             std::string_view domain) {
    const TSearchSet* set = nullptr;
    for (const auto& candidate : settings.SearchSets)
        if (candidate->Name == domain) set = candidate.get();
    if (!set) return "there is no search domain named " + std::string(domain);
    size_t end = indexText.find('\n');
    std::string_view header = indexText.substr(0, end);
    if (!header.empty() && header.back() == '\r') header.remove_suffix(1);
    if (header != set->IncludePaths + "::" + set->ExcludePaths)
        return "the index was not built from the search domain " + std::string(domain) +
               " (Larkspire indexes the current domain only)";
    return {};
}

void RunFind(FileSystem& fs, Clock& clock, const FindOptions& options,
             std::shared_ptr<const WholeFile> index, SearchResults& results) {
    const SearchCriteria& c = options.criteria;
    const KeywordQuery query(c.Keywords);
    const DateSizeFilter filter(fs, clock, c);
    WalkControl control;
    control.keepText = true;  // folders are told from files by their places
    WalkIndex(std::move(index), query, c.SearchFilename, c.SearchPath, filter, nullptr, 1, results,
              WalkStrategy::Auto, 0, &control);
}

int64_t WriteFindResults(const SearchResults& results, int64_t limit, size_t chunkBytes,
                         const std::function<void(std::string_view lines)>& write) {
    const size_t count = limit < 0 ? results.size() : std::min(results.size(), size_t(limit));
    std::string lines, scratch;
    lines.reserve(chunkBytes + 1024);
    for (size_t i = 0; i < count; ++i) {
        lines.append(results.PathAt(i, scratch));
        if (results.IsFolderAt(i)) lines += '\\';
        lines.append("\r\n");
        if (lines.size() >= chunkBytes) {
            write(lines);
            lines.clear();
        }
    }
    if (!lines.empty()) write(lines);
    return int64_t(count);
}

std::string MissingIndexMessage(std::string_view indexPath) {
    return "there is no index at " + std::string(indexPath) +
           " yet; Larkspire writes it when it runs";
}

}  // namespace lark
