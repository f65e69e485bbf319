#include "config/data_paths.h"

#include "config/context.h"
#include "config/settings.h"
#include "base/text.h"

namespace lark {

std::string DefaultDataLocation() {
    return "C:\\Documents and Settings";
}

std::string UserDataFolder(AppContext& ctx, std::string_view user) {
    // An empty location is what SaveSettings leaves out of the file, so it reads back as
    // the default; treating it as the default here keeps both views the same. A trailing
    // "\" (a drive root picked in the folder browser) would otherwise double up.
    std::string dl = TrimTrailingBackslash(ctx.settings.DataLocation);
    if (dl.empty()) dl = DefaultDataLocation();
    const std::string u(user);
    if (FindIgnoringCase(dl, "LARKSPIRE") != std::string::npos) return dl + "\\" + u + "\\";
    if (SameTextIgnoringCase(dl, DefaultDataLocation()) ||
        ctx.fs.IsFolder(dl + "\\" + u + "\\Application Data"))
        return dl + "\\" + u + "\\Application Data\\Larkspire\\";
    if (ctx.fs.IsFolder(dl + "\\" + u)) return dl + "\\" + u + "\\Larkspire\\";
    return dl + "\\Larkspire\\" + u + "\\";
}

std::string SettingsFilePath(const AppContext& ctx) {
    return FolderOfPath(ctx.exePath) + "\\LARKSPIRE.ini";
}

static constexpr std::string_view kAllUsers = "All Users";

std::string IndexFilePath(AppContext& ctx) {
    return UserDataFolder(ctx, kAllUsers) + "All files.idx";
}

// The build log sits beside the index: an ordinary user usually cannot write to the root
// of drive C:, and the line format stays the same wherever the file lies.
std::string IndexLogPath(AppContext& ctx) {
    return UserDataFolder(ctx, kAllUsers) + "larkspire.log";
}

std::string RecentFilesPath(AppContext& ctx, std::string_view user) {
    return UserDataFolder(ctx, user) + "Recent files.idx";
}

std::string MyRecentFilesPath(AppContext& ctx) {
    return RecentFilesPath(ctx, ctx.userName);
}

std::string LastSearchPath(AppContext& ctx) {
    return UserDataFolder(ctx, ctx.userName) + "Last Search.idx";
}

std::string MyTemplateFolder(AppContext& ctx) {
    return UserDataFolder(ctx, ctx.userName) + "Template";
}

std::string SharedTemplateFolder(AppContext& ctx) {
    return UserDataFolder(ctx, kAllUsers) + "Template";
}

std::string MySearchesFolder(AppContext& ctx) {
    return UserDataFolder(ctx, ctx.userName) + "Searches";
}

std::string SharedSearchesFolder(AppContext& ctx) {
    return UserDataFolder(ctx, kAllUsers) + "Searches";
}

std::string ReplaceLogPath(AppContext& ctx) {
    return UserDataFolder(ctx, ctx.userName) + "Larkspire.log";
}

std::string LastCriteriaFile(AppContext& ctx) {
    return UserDataFolder(ctx, ctx.userName) + "Search.lks";
}

std::string KeywordHistoryFile(AppContext& ctx) {
    return UserDataFolder(ctx, ctx.userName) + "Keywords.txt";
}

std::string RecentMarkerFile(const AppContext& ctx) {
    const std::string& exe = ctx.exePath;
    size_t nameStart = exe.find_last_of("\\:");
    nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
    size_t dot = exe.rfind('.');
    if (dot == std::string::npos || dot < nameStart) return exe + ".lks";
    return exe.substr(0, dot) + ".lks";
}

std::string RecentFolderPath(const AppContext& ctx) {
    return ctx.recentFolder;
}

std::string UseLastSearchFile(const AppContext& ctx) {
    return ctx.tempFolder + "\\~mrlist.txt";
}

}  // namespace lark
