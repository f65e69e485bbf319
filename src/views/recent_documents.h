#pragma once
// The program's own list of recently used documents (oldest first, no duplicates ignoring
// letter case), its file "Recent files.idx", the import of the shell's Recent-folder
// shortcuts and the folder and program lists derived from it.
#include <string>
#include <string_view>

#include "base/path_list.h"

namespace lark {

struct AppContext;
struct Settings;
class ShellServices;

// Start-up: makes sure the user's list file exists, loads it and prunes it. When the file
// cannot be created or read the user is told and false is returned: the program must end.
bool LoadRecentDocuments(AppContext& ctx, PathList& recentDocuments);
bool SaveRecentDocuments(AppContext& ctx, const PathList& recentDocuments);
// Drops entries that are not existing files, then the oldest ones beyond RecentEditDocs;
// rewrites the file when anything was dropped.
void PruneRecentDocuments(AppContext& ctx, PathList& recentDocuments);
// True when the path was appended and the file rewritten.
bool AddToRecentDocuments(AppContext& ctx, PathList& recentDocuments, std::string_view path);
bool IsExcludedFromRecent(const Settings& settings, std::string_view path);
// Imports the document shortcuts of the shell's Recent folder, empties the folder except
// for the marker shortcut and registers the marker again. True when a document was added.
// The caller gives the shell a moment to finish writing before calling this.
bool ImportRecentShortcuts(AppContext& ctx, PathList& recentDocuments, ShellServices& shell);
// The name of the shortcut the shell keeps for the marker file, upper-cased.
std::string MarkerShortcutName(const AppContext& ctx);

// Distinct folders of the documents (no trailing "\"), in order of first use.
PathList BuildRecentFolders(const PathList& recentDocuments);
// One program per distinct document extension, in order of first use of the extension.
PathList BuildRecentPrograms(const PathList& recentDocuments, ShellServices& shell);

}  // namespace lark
