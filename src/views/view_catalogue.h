#pragma once
// Which views exist, how they are named in the catalogue, the View selector and the
// Views tree, and the rules that turn a view's paths into rows.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "search/saved_searches.h"
#include "views/file_list.h"

namespace lark {

// The section sign that marks a shared saved search.
inline constexpr std::string_view kSectionSign = kGlobalSearchMark;

inline constexpr std::string_view kMyRecentDocumentsView = "<My Recent Documents>";
inline constexpr std::string_view kLastSearchView = "<Last Search>";
inline constexpr std::string_view kTemplateDocumentsView = "<Template Documents>";
inline constexpr std::string_view kRecentFoldersView = "<Recent Folders>";
inline constexpr std::string_view kRecentProgramsView = "<Recent Programs>";

inline constexpr std::string_view kOtherUsersGroup = "Other Users Recent Documents";
inline constexpr std::string_view kMySearchesGroup = "My Searches";
inline constexpr std::string_view kGlobalSearchesGroup = "Global Searches";

// Slots of the 20x20 view image list.
inline constexpr int kImageDateGroup = 0;
inline constexpr int kImageRecent = 1;
inline constexpr int kImageSearch = 3;
inline constexpr int kImageTemplates = 4;
inline constexpr int kImageFolders = 5;
inline constexpr int kImageGroupClosed = 7;
inline constexpr int kImageGroupOpen = 8;
inline constexpr int kImagePrograms = 9;
inline constexpr int kViewImageCount = 10;
inline constexpr int kViewImageSize = 20;

// A user folder name in display form: speakable words capitalised, short inner words
// lower case, unspeakable ones kept upper case ("jean de la fontaine" gives
// "Jean de la Fontaine", "bcd" gives "BCD").
std::string DisplayUserName(std::string_view folderName);

enum class ViewKind {
    RecentDocuments,
    LastSearch,
    RecentFolders,
    RecentPrograms,
    TemplateDocuments,
    OtherUser,
    SavedSearch,
};
ViewKind ClassifyView(std::string_view viewName);
// "<Mary-Jo's Recent Documents>" gives "Mary-Jo".
std::string OtherUserOfView(std::string_view viewName);
// The ".lks" file of a saved-search view: the name itself when it is an existing ".lks"
// file, else the file in the own or (name ending in the section sign) shared folder.
std::string SavedSearchFilePath(FileSystem& fs, std::string_view mySearchesFolder,
                                std::string_view sharedSearchesFolder, std::string_view name);
std::string ViewCaption(std::string_view viewName, std::string_view searchKeywords);
std::string ObjectCountText(size_t count);
// The View selector's text for a view name (no brackets).
std::string SelectorTextOfView(std::string_view viewName);

struct ViewEntry {
    std::string text;
    int image = 0;
    int indent = 0;
};

struct ViewTreeNode {
    std::string text;
    int image = 0;
    bool expanded = false;
    std::vector<ViewTreeNode> children;
};

struct ViewCatalogue {
    std::vector<std::string> names;   // the hidden catalogue, in order
    std::vector<ViewEntry> selector;  // the View selector
    std::vector<ViewTreeNode> tree;   // the Views tree
};

struct ViewSources {
    std::string dataLocation;  // folder of the users' data folders
    std::string userName;      // the logged-on user, never offered as another user
    std::string mySearchesFolder;
    std::string sharedSearchesFolder;
};
ViewCatalogue BuildViewCatalogue(FileSystem& fs, const ViewSources& sources);

// What a choice in the View selector or the Views tree asks for.
struct ViewRequest {
    enum Kind { None, Show, ShowFixed } kind = None;
    std::string name;  // the view name for Show, the bracket-less caption for ShowFixed
    bool operator==(const ViewRequest&) const = default;
};
ViewRequest SelectorRequest(std::string_view text, int indent);
// parentText is empty for a top-level node.
ViewRequest TreeRequest(std::string_view text, std::string_view parentText);

// The row for one path of a view, or nothing when the path is not listed. info is the
// path's one attribute query (nothing when it does not exist). Folders become rows only
// when admitFolders is set.
std::optional<FileListItem> MakeFileListRow(std::string_view path,
                                            const std::optional<FileInfo>& info, bool admitFolders,
                                            const std::function<bool(double)>& inHistory);
// The same, filling row in place (its strings keep their buffers); false when not listed.
bool FillFileListRow(std::string_view path, const std::optional<FileInfo>& info, bool admitFolders,
                     const std::function<bool(double)>& inHistory, FileListItem& row);
// Cheap tests made before the path is looked up on disk.
bool PassesNameRules(std::string_view path, std::string_view nameFilter);

}  // namespace lark
