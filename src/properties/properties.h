#pragma once
// The rules of the Properties dialog that need no window: what it shows, what OK stores,
// the start-with-Windows entries and the removal of a search domain.
#include <string>
#include <string_view>
#include <vector>

namespace lark {

struct AppContext;
class Registry;
struct Settings;

// Under HKEY_LOCAL_MACHINE for every user, under HKEY_CURRENT_USER for this user only; the
// value holds the program's path when on and the empty text when off.
inline constexpr std::string_view kRunAtStartupKey =
    "software\\microsoft\\windows\\currentversion\\run";
inline constexpr std::string_view kRunAtStartupValue = "Larkspire";

inline constexpr std::string_view kDefaultDomainName = "<Default>";

enum class PropertiesPage { General, SearchDomains };

// What the window asks of the program around it.
class PropertiesHost {
  public:
    virtual ~PropertiesHost() = default;
    // Re-arms the refresh timer and, for refresh on change, asks for a build at the next
    // idle moment.
    virtual void ApplyRefreshSchedule() = 0;
    // The folder the user picks under root, starting at start; start itself on Cancel.
    virtual std::string BrowseForFolder(std::string_view root, std::string_view start) = 0;
};

// The dialog's controls as values.
struct PropertiesValues {
    std::string excludePattern;            // edExcludePattern
    std::string dataLocation;              // edDataLocation
    bool refreshFixedSchedule = false;     // rbRefreshFixedSchedule (else rbRefreshOnChange)
    std::string refreshMinutes;            // edRefreshMinutes
    std::string recentEditDocs;            // edRecentEditDocs
    bool monitorRecentDocs = false;        // cbMonitorRecentDocs
    bool runAtStartup = false;             // cbRunAtStartup
    bool allUsers = false;                 // rbAllUsers
    bool forMeOnly = false;                // rbForMeOnly
    std::vector<std::string> domainNames;  // the list of coSearchSet
    std::string domainName;                // the text of coSearchSet
    std::string includeLines;              // meSearchPaths, one path per line
    std::string excludeLines;              // meExcludePaths
};

struct StartupEntries {
    bool allUsers = false;
    bool forMeOnly = false;
};
// A missing or empty value is off.
StartupEntries ReadStartupEntries(Registry& registry);
// Off, or on with neither option chosen, empties both values. Failures stay silent.
void WriteStartupEntries(Registry& registry, std::string_view exePath, bool runAtStartup,
                         bool allUsers, bool forMeOnly);

// The values the dialog opens with. Without a current domain the domain part is empty.
PropertiesValues ReadProperties(AppContext& ctx);

// A domain's ";"-ended paths as the lines of a path box, and back: every line followed by
// ";", empty lines too.
std::string PathLines(std::string_view paths);
std::string PathsFromLines(std::string_view lines);

// The data location is drawn grey while it is exactly the built-in default.
bool IsDefaultDataLocationText(std::string_view text);

// "Remove": the domain of that name leaves SearchSets at once (Cancel does not bring it
// back). The default domain and the last one stay, with the error box. A current domain
// that is removed gives way to "<Default>". True when a domain was removed.
bool RemoveSearchSet(AppContext& ctx, std::string_view name);

// OK: the values go into Settings, the start-up entries into the registry, the settings
// file is written and the refresh schedule re-armed.
void StoreProperties(AppContext& ctx, const PropertiesValues& values, PropertiesHost& host);

}  // namespace lark
