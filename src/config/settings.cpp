#include "config/settings.h"

#include "config/context.h"
#include "config/data_paths.h"
#include "base/file_helpers.h"
#include "base/text.h"

namespace lark {

namespace {

constexpr std::string_view kDomainPrefix = "DOMAIN.";

void OpenSection(Settings& s, std::string_view line) {
    std::string name = Trim(line.substr(1, line.size() - 2));
    if (!StartsWithIgnoringCase(name, kDomainPrefix)) return;
    // The domain name itself is kept exactly as written: names are compared exactly.
    TSearchSet& set = GetOrAddSearchSet(s, std::string_view(name).substr(kDomainPrefix.size()));
    set.IncludePaths.clear();
    set.ExcludePaths.clear();
    s.CurrentSearchSet = &set;
}

void ApplyLine(Settings& s, std::string_view rawLine) {
    std::string line = Trim(rawLine);
    if (line.empty()) return;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
        OpenSection(s, line);
        return;
    }
    std::string key = UpperCase(Trim(SplitNextToken(line, "=")));
    if (!key.empty()) ApplySettingKey(s, key, line);
}

void AddDefaultDomain(Settings& s, std::string_view name, std::string_view include) {
    GetOrAddSearchSet(s, name).IncludePaths = std::string(include);
}

// An entry is written as the loader will split it again: a folder whose name holds ";" (or
// begins with a quote) keeps the quotes that make it one entry, or it would come back as two.
void AppendEntries(std::string& out, std::string_view key, std::string_view paths) {
    std::string rest(paths);
    while (!rest.empty()) {
        std::string entry = SplitNextToken(rest, ";");
        out.append(key);
        const bool needsQuotes = entry.find(';') != std::string::npos ||
                                 (!entry.empty() && (entry[0] == '"' || entry[0] == '\''));
        const char quote = entry.find('"') == std::string::npos ? '"' : '\'';
        if (needsQuotes && entry.find(quote) == std::string::npos) {
            out.append(1, quote).append(entry).append(1, quote);
        } else {
            out.append(entry);
        }
        out.append("\r\n");
    }
}

}  // namespace

void ApplySettingKey(Settings& s, std::string_view key, std::string_view value) {
    if (key == "INCLUDE" || key == "EXCLUDE") {
        // Paths before the first domain section have no domain to belong to.
        if (!s.CurrentSearchSet) return;
        std::string& paths =
            key == "INCLUDE" ? s.CurrentSearchSet->IncludePaths : s.CurrentSearchSet->ExcludePaths;
        paths.append(value).append(";");
    } else if (key == "REFRESHMINUTES") {
        s.RefreshMinutes = TextToInt(value);
    } else if (key == "REFRESHFIXEDSCHEDULE") {
        s.RefreshFixedSchedule = TextToBool(value);
    } else if (key == "MONITORRECENTDOCUMENTS") {
        s.MonitorRecentDocuments = TextToBool(value);
    } else if (key == "RECENTEDITDOCS") {
        s.RecentEditDocs = TextToInt(value);
    } else if (key == "DATALOCATION") {
        s.DataLocation = std::string(value);
    } else if (key == "EXCLUDEFROMRECENTEDITS") {
        s.ExcludeFromRecentEdits = std::string(value);
    }
}

TSearchSet* FindSearchSet(Settings& s, std::string_view name) {
    for (auto& set : s.SearchSets)
        if (set->Name == name) return set.get();
    return nullptr;
}

TSearchSet& GetOrAddSearchSet(Settings& s, std::string_view name) {
    if (TSearchSet* found = FindSearchSet(s, name)) return *found;
    auto set = std::make_unique<TSearchSet>();
    set->Name = std::string(name);
    s.SearchSets.push_back(std::move(set));
    return *s.SearchSets.back();
}

bool LoadSettings(AppContext& ctx) {
    const std::string path = SettingsFilePath(ctx);
    // A file that exists but cannot be read leaves the program in the same state as a
    // missing one, so the user is told the same thing.
    std::optional<std::string> text = ctx.fs.ReadWhole(path);
    if (!text) {
        ctx.messages.Error("Config file not found: " + path);
        return false;
    }
    // Notepad may have saved the file with a UTF-8 byte-order mark, which would otherwise
    // hide the first section header.
    std::string_view lines = *text;
    if (lines.substr(0, 3) == "\xEF\xBB\xBF") lines.remove_prefix(3);
    Settings& s = ctx.settings;
    s.CurrentSearchSet = nullptr;
    SplitLines(lines, [&s](std::string_view line) {
        ApplyLine(s, line);
        if (s.RefreshMinutes > kMaxRefreshMinutes) s.RefreshMinutes = 0;
    });
    if (s.SearchSets.empty()) {
        AddDefaultDomain(s, "<Default>", "C:\\Documents and Settings");
        AddDefaultDomain(s, "Local Drive", "C:\\");
    }
    s.CurrentSearchSet = &GetOrAddSearchSet(s, "<Default>");
    return true;
}

std::string SettingsFileText(const Settings& s, std::string_view refreshMinutesText,
                             std::string_view recentLimitText, std::string_view excludeText) {
    std::string out = "[General]\r\n";
    if (!s.DataLocation.empty() && !SameTextIgnoringCase(s.DataLocation, DefaultDataLocation()))
        out.append("DataLocation=").append(s.DataLocation).append("\r\n");
    out.append("RefreshFixedSchedule=").append(BoolToText(s.RefreshFixedSchedule)).append("\r\n");
    out.append("RefreshMinutes=").append(refreshMinutesText).append("\r\n");
    out.append("RecentEditDocs=").append(recentLimitText).append("\r\n");
    out.append("ExcludeFromRecentEdits=").append(excludeText).append("\r\n");
    out.append("MonitorRecentDocuments=")
        .append(BoolToText(s.MonitorRecentDocuments))
        .append("\r\n");
    for (const auto& set : s.SearchSets) {
        out.append("\r\n[Domain.").append(set->Name).append("]\r\n");
        AppendEntries(out, "Include=", set->IncludePaths);
        AppendEntries(out, "Exclude=", set->ExcludePaths);
    }
    return out;
}

bool SaveSettings(AppContext& ctx, std::string_view refreshMinutesText,
                  std::string_view recentLimitText, std::string_view excludeText) {
    const std::string path = SettingsFilePath(ctx);
    if (ctx.fs.WriteWhole(
            path, SettingsFileText(ctx.settings, refreshMinutesText, recentLimitText, excludeText)))
        return true;
    ctx.messages.Error("Cannot create file " + path);
    return false;
}

}  // namespace lark
