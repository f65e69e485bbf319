#include "views/recent_documents.h"

#include <set>

#include "config/context.h"
#include "config/data_paths.h"
#include "base/file_helpers.h"
#include "config/settings.h"
#include "base/text.h"
#include "base/wildcard.h"
#include "platform/shell.h"
#include "views/shortcut.h"

namespace lark {

bool LoadRecentDocuments(AppContext& ctx, PathList& recentDocuments) {
    std::string path = MyRecentFilesPath(ctx);
    if (!EnsureFileExists(ctx.fs, path)) {
        ctx.messages.Error("Unable to create the Recent Files file: " + path);
        return false;
    }
    auto loaded = ReadPathListFile(ctx.fs, path);
    if (!loaded) {
        // Going on with an empty list would overwrite the user's list at the next change.
        ctx.messages.Error("Cannot open file " + path);
        return false;
    }
    recentDocuments = std::move(*loaded);
    PruneRecentDocuments(ctx, recentDocuments);
    return true;
}

bool SaveRecentDocuments(AppContext& ctx, const PathList& recentDocuments) {
    return WritePathListFile(ctx.fs, MyRecentFilesPath(ctx), recentDocuments);
}

void PruneRecentDocuments(AppContext& ctx, PathList& recentDocuments) {
    size_t before = recentDocuments.size();
    erase_if(recentDocuments, [&](std::string_view p) { return p.empty() || !ctx.fs.IsFile(p); });
    int32_t limit = ctx.settings.RecentEditDocs;
    if (limit > 0 && recentDocuments.size() > size_t(limit))
        recentDocuments.erase(recentDocuments.begin(),
                              recentDocuments.end() - std::ptrdiff_t(limit));
    if (recentDocuments.size() < before) SaveRecentDocuments(ctx, recentDocuments);
}

bool IsExcludedFromRecent(const Settings& settings, std::string_view path) {
    std::string patterns = "a:\\*;" + settings.ExcludeFromRecentEdits;
    std::string lowPath = LowerCase(path);
    while (!patterns.empty()) {
        std::string pattern = SplitNextToken(patterns, ";");
        // An empty pattern would match everything; it is only the gap between two ";".
        if (pattern.empty()) continue;
        if (WildcardMatch(lowPath, LowerCase(pattern))) return true;
    }
    return false;
}

bool AddToRecentDocuments(AppContext& ctx, PathList& recentDocuments, std::string_view path) {
    if (LowerCase(path.substr(0, 2)) == "a:") return false;
    if (path.empty() || !ctx.fs.IsFile(path)) return false;
    if (IsExcludedFromRecent(ctx.settings, path)) return false;
    if (IndexOfPathIgnoringCase(recentDocuments, path) != std::string::npos) return false;
    recentDocuments.push_back(path);
    SaveRecentDocuments(ctx, recentDocuments);
    return true;
}

std::string MarkerShortcutName(const AppContext& ctx) {
    return UpperCase(FileNameOf(RecentMarkerFile(ctx))) + ".LNK";
}

bool ImportRecentShortcuts(AppContext& ctx, PathList& recentDocuments, ShellServices& shell) {
    std::string folder = TrimTrailingBackslash(RecentFolderPath(ctx));
    std::string marker = MarkerShortcutName(ctx);
    std::vector<std::string> noted;
    ctx.fs.List(folder, [&](const FileInfo& entry) {
        std::string upper = UpperCase(entry.name);
        if (upper == marker || upper == "LARKSPIRE.LKS.LNK") return;
        noted.push_back(entry.name);
    });
    bool added = false;
    for (const auto& name : noted) {
        std::string base = name.substr(0, name.size() >= 4 ? name.size() - 4 : 0);
        // Shortcuts to folders and to programs without extension are not documents.
        if (FileExtensionOf(base).empty()) continue;
        std::string target = ReadShortcutTarget(ctx.fs, folder + "\\" + base + ".lnk");
        if (AddToRecentDocuments(ctx, recentDocuments, target)) added = true;
    }
    for (const auto& name : noted) ctx.fs.RemoveFile(folder + "\\" + name);
    std::string markerFile = RecentMarkerFile(ctx);
    ctx.fs.WriteWhole(markerFile, "");
    shell.AddToRecentDocs(markerFile);
    return added;
}

PathList BuildRecentFolders(const PathList& recentDocuments) {
    PathList folders;
    for (std::string_view doc : recentDocuments) {
        std::string folder = FolderOfPath(doc);
        if (folder.find('\\') == std::string::npos) continue;
        if (IndexOfPathIgnoringCase(folders, folder) == std::string::npos)
            folders.push_back(folder);
    }
    return folders;
}

PathList BuildRecentPrograms(const PathList& recentDocuments, ShellServices& shell) {
    PathList programs;
    std::set<std::string> seen;
    for (std::string_view doc : recentDocuments) {
        std::string ext = FileExtensionOf(doc);
        if (ext.empty() || !seen.insert(ext).second) continue;
        std::string program = Trim(shell.AssociatedProgram(doc));
        if (program.find('\\') == std::string::npos) program = shell.FindOnSearchPath(program);
        if (IndexOfPathIgnoringCase(programs, program) == std::string::npos)
            programs.push_back(program);
    }
    return programs;
}

}  // namespace lark
