#pragma once
// The process-wide settings record and its file "LARKSPIRE.ini" beside the executable.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lark {

struct AppContext;

// One search domain; each path of the two lists is followed by ";".
struct TSearchSet {
    std::string Name;
    std::string IncludePaths;
    std::string ExcludePaths;
};

// The largest minute count whose milliseconds fit an unsigned 32-bit timer interval.
inline constexpr int32_t kMaxRefreshMinutes = 71582;

struct Settings {
    std::string DataLocation = "C:\\Documents and Settings";
    int32_t RefreshMinutes = 0;
    bool RefreshFixedSchedule = false;
    bool MonitorRecentDocuments = false;
    int32_t RecentEditDocs = 0;
    std::string ExcludeFromRecentEdits;
    std::vector<std::unique_ptr<TSearchSet>> SearchSets;
    TSearchSet* CurrentSearchSet = nullptr;  // none until a settings file was loaded
};

// Reads SettingsFilePath into ctx.settings. A missing or unreadable file shows
// "Config file not found: " + path and returns false, changing nothing.
bool LoadSettings(AppContext& ctx);
// Writes the file; the three texts are the Properties dialog's entry fields. A file that
// cannot be written is reported with its name; the values in memory stay.
bool SaveSettings(AppContext& ctx, std::string_view refreshMinutesText,
                  std::string_view recentLimitText, std::string_view excludeText);
// The text SaveSettings writes (CR LF lines).
std::string SettingsFileText(const Settings& s, std::string_view refreshMinutesText,
                             std::string_view recentLimitText, std::string_view excludeText);
// Applies one "KEY=value" line; key already upper-cased.
void ApplySettingKey(Settings& s, std::string_view key, std::string_view value);
TSearchSet* FindSearchSet(Settings& s, std::string_view name);
TSearchSet& GetOrAddSearchSet(Settings& s, std::string_view name);

}  // namespace lark
