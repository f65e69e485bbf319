#pragma once
// Where every data file of the program lives. Computed anew at every use, so a changed
// DataLocation takes effect at once.
#include <string>
#include <string_view>

namespace lark {

struct AppContext;

std::string DefaultDataLocation();  // "C:\Documents and Settings"
// Always ends with "\".
std::string UserDataFolder(AppContext& ctx, std::string_view user);
std::string SettingsFilePath(const AppContext& ctx);
std::string IndexFilePath(AppContext& ctx);
std::string IndexLogPath(AppContext& ctx);
std::string RecentFilesPath(AppContext& ctx, std::string_view user);
std::string MyRecentFilesPath(AppContext& ctx);
std::string LastSearchPath(AppContext& ctx);
std::string MyTemplateFolder(AppContext& ctx);
std::string SharedTemplateFolder(AppContext& ctx);
std::string MySearchesFolder(AppContext& ctx);
std::string SharedSearchesFolder(AppContext& ctx);
std::string ReplaceLogPath(AppContext& ctx);
std::string LastCriteriaFile(AppContext& ctx);
std::string KeywordHistoryFile(AppContext& ctx);
std::string RecentMarkerFile(const AppContext& ctx);
std::string RecentFolderPath(const AppContext& ctx);
std::string UseLastSearchFile(const AppContext& ctx);  // temp folder + "\~mrlist.txt"

}  // namespace lark
