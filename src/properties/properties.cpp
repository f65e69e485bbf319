#include "properties/properties.h"

#include <algorithm>

#include "base/file_helpers.h"
#include "base/text.h"
#include "config/context.h"
#include "config/data_paths.h"
#include "config/registry_helpers.h"
#include "config/settings.h"

namespace lark {

namespace {

bool EntryOn(Registry& registry, RegistryRoot root) {
    return !ReadRegistryString(registry, root, kRunAtStartupKey, kRunAtStartupValue, "").empty();
}

// The loader's limit, so the timer interval always fits.
int32_t LimitedMinutes(int32_t minutes) {
    return minutes > kMaxRefreshMinutes ? 0 : minutes;
}

}  // namespace

StartupEntries ReadStartupEntries(Registry& registry) {
    StartupEntries entries;
    entries.allUsers = EntryOn(registry, RegistryRoot::LocalMachine);
    // The two are options of one group: with both values present "For me only" wins.
    entries.forMeOnly = EntryOn(registry, RegistryRoot::CurrentUser);
    if (entries.forMeOnly) entries.allUsers = false;
    return entries;
}

void WriteStartupEntries(Registry& registry, std::string_view exePath, bool runAtStartup,
                         bool allUsers, bool forMeOnly) {
    const bool machine = runAtStartup && allUsers;
    const bool user = runAtStartup && forMeOnly;
    // Writing under HKEY_LOCAL_MACHINE needs rights an ordinary user lacks; that is not an
    // error worth a message.
    WriteRegistryString(registry, RegistryRoot::LocalMachine, kRunAtStartupKey, kRunAtStartupValue,
                        machine ? exePath : std::string_view());
    WriteRegistryString(registry, RegistryRoot::CurrentUser, kRunAtStartupKey, kRunAtStartupValue,
                        user ? exePath : std::string_view());
}

PropertiesValues ReadProperties(AppContext& ctx) {
    const Settings& s = ctx.settings;
    PropertiesValues v;
    v.refreshMinutes = std::to_string(s.RefreshMinutes);
    v.recentEditDocs = std::to_string(s.RecentEditDocs);
    v.excludePattern = s.ExcludeFromRecentEdits;
    v.dataLocation = s.DataLocation;
    v.refreshFixedSchedule = s.RefreshFixedSchedule;
    v.monitorRecentDocs = s.MonitorRecentDocuments;
    StartupEntries entries = ReadStartupEntries(ctx.registry);
    v.allUsers = entries.allUsers;
    v.forMeOnly = entries.forMeOnly;
    v.runAtStartup = entries.allUsers || entries.forMeOnly;
    for (const auto& set : s.SearchSets) v.domainNames.push_back(set->Name);
    if (const TSearchSet* current = s.CurrentSearchSet) {
        v.domainName = current->Name;
        v.includeLines = PathLines(current->IncludePaths);
        v.excludeLines = PathLines(current->ExcludePaths);
    }
    return v;
}

std::string PathLines(std::string_view paths) {
    std::string rest(paths);
    std::string lines;
    bool first = true;
    bool lastEmpty = false;
    while (!rest.empty()) {
        std::string entry = SplitNextToken(rest, ";");
        if (!first) lines += "\r\n";
        lines += entry;
        first = false;
        lastEmpty = entry.empty();
    }
    // A last empty line would vanish without the line end that closes the line before it.
    if (lastEmpty) lines += "\r\n";
    return lines;
}

std::string PathsFromLines(std::string_view lines) {
    std::string paths;
    SplitLines(lines, [&paths](std::string_view line) { paths.append(line).append(";"); });
    return paths;
}

bool IsDefaultDataLocationText(std::string_view text) {
    return text == DefaultDataLocation();
}

bool RemoveSearchSet(AppContext& ctx, std::string_view name) {
    Settings& s = ctx.settings;
    if (name == kDefaultDomainName) {
        ctx.messages.Error("Cannot delete the default domain.");
        return false;
    }
    if (s.SearchSets.size() < 2) {
        ctx.messages.Error("Cannot delete all search domains.");
        return false;
    }
    auto found = std::find_if(s.SearchSets.begin(), s.SearchSets.end(),
                              [name](const auto& set) { return set->Name == name; });
    if (found == s.SearchSets.end()) return false;
    const bool wasCurrent = s.CurrentSearchSet == found->get();
    s.SearchSets.erase(found);
    // The index must never be built from a domain that no longer exists.
    if (wasCurrent) {
        s.CurrentSearchSet = FindSearchSet(s, kDefaultDomainName);
        if (!s.CurrentSearchSet && !s.SearchSets.empty())
            s.CurrentSearchSet = s.SearchSets.front().get();
    }
    return true;
}

void StoreProperties(AppContext& ctx, const PropertiesValues& v, PropertiesHost& host) {
    Settings& s = ctx.settings;
    s.RefreshMinutes = LimitedMinutes(TextToInt(v.refreshMinutes));
    s.RefreshFixedSchedule = v.refreshFixedSchedule;
    s.RecentEditDocs = TextToInt(v.recentEditDocs);
    s.ExcludeFromRecentEdits = v.excludePattern;
    s.DataLocation = v.dataLocation;
    s.MonitorRecentDocuments = v.monitorRecentDocs;

    // A nameless domain would be written as "[Domain.]"; paths typed while no domain was
    // named (no settings file) belong to the default one.
    const std::string name =
        Trim(v.domainName).empty() ? std::string(kDefaultDomainName) : v.domainName;
    TSearchSet& selected = GetOrAddSearchSet(s, name);
    selected.IncludePaths = PathsFromLines(v.includeLines);
    selected.ExcludePaths = PathsFromLines(v.excludeLines);
    s.CurrentSearchSet = &selected;

    WriteStartupEntries(ctx.registry, ctx.exePath, v.runAtStartup, v.allUsers, v.forMeOnly);
    SaveSettings(ctx, v.refreshMinutes, v.recentEditDocs, v.excludePattern);
    host.ApplyRefreshSchedule();
}

}  // namespace lark
