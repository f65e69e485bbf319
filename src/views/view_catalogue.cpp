#include "views/view_catalogue.h"

#include "base/date_time.h"
#include "base/text.h"
#include "base/wildcard.h"

namespace lark {

static bool IsNameSeparator(char c) {
    switch (c) {
        case '\0':
        case '\t':
        case '\n':
        case '\r':
        case '|':
        case ' ':
        case '/':
        case '_':
        case '.':
        case '-':
        case ',':
            return true;
        default:
            return false;
    }
}

static std::string Capitalised(std::string_view upperWord) {
    std::string out(upperWord);
    for (size_t i = 1; i < out.size(); ++i) out[i] = AsciiLower(out[i]);
    return out;
}

std::string DisplayUserName(std::string_view folderName) {
    std::string upper = UpperCase(folderName);
    std::string result;
    std::string word;
    bool speakable = false;
    for (char c : upper) {
        if (!IsNameSeparator(c)) {
            if (!speakable) {
                if (word.empty() && c >= '0' && c <= '9')
                    speakable = true;
                else
                    speakable = std::string_view("AEIOUY").find(c) != std::string_view::npos;
            }
            word += c;
            continue;
        }
        if (!word.empty() && speakable) {
            if (word.size() < 3 && !result.empty() && word != "I" && c != '.')
                word = LowerCase(word);
            else
                word = Capitalised(word);
        }
        result += word;
        result += c;
        word.clear();
        speakable = false;
    }
    if (!word.empty() && speakable) word = Capitalised(word);
    return result + word;
}

ViewKind ClassifyView(std::string_view viewName) {
    if (viewName == kMyRecentDocumentsView) return ViewKind::RecentDocuments;
    if (viewName == kLastSearchView) return ViewKind::LastSearch;
    if (viewName == kRecentFoldersView) return ViewKind::RecentFolders;
    if (viewName == kRecentProgramsView) return ViewKind::RecentPrograms;
    if (viewName == kTemplateDocumentsView) return ViewKind::TemplateDocuments;
    if (WildcardMatch(viewName, "<* Recent Documents>")) return ViewKind::OtherUser;
    return ViewKind::SavedSearch;
}

std::string OtherUserOfView(std::string_view viewName) {
    // Cut at the last "'s", not the first apostrophe: a user name may hold one (O'Brien).
    static constexpr std::string_view kTail = "'s Recent Documents>";
    std::string_view inner = viewName.substr(viewName.empty() ? 0 : 1);
    if (inner.size() >= kTail.size() && inner.substr(inner.size() - kTail.size()) == kTail)
        return std::string(inner.substr(0, inner.size() - kTail.size()));
    return std::string(inner.substr(0, inner.find('\'')));
}

std::string SavedSearchFilePath(FileSystem& fs, std::string_view mySearchesFolder,
                                std::string_view sharedSearchesFolder, std::string_view name) {
    if (FileExtensionOf(name) == "lks" && fs.IsFile(name)) return std::string(name);
    std::string_view sign = kSectionSign;
    if (name.size() < sign.size() || name.substr(name.size() - sign.size()) != sign)
        return TrimTrailingBackslash(mySearchesFolder) + "\\" + std::string(name) + ".lks";
    return TrimTrailingBackslash(sharedSearchesFolder) + "\\" +
           std::string(name.substr(0, name.size() - sign.size())) + ".lks";
}

std::string ViewCaption(std::string_view viewName, std::string_view searchKeywords) {
    switch (ClassifyView(viewName)) {
        case ViewKind::RecentDocuments:
        case ViewKind::RecentFolders:
        case ViewKind::RecentPrograms:
        case ViewKind::TemplateDocuments:
        case ViewKind::OtherUser:
            return "Larkspire - " + std::string(viewName);
        default:
            break;
    }
    if (WildcardMatch(viewName, "* Recent Documents"))
        return "Larkspire - " + std::string(viewName);
    return "Larkspire - <Search=\"" + std::string(searchKeywords) + "\">";
}

std::string ObjectCountText(size_t count) {
    return std::to_string(count) + " Object(s)";
}

std::string SelectorTextOfView(std::string_view viewName) {
    if (!viewName.empty() && viewName.front() == '<')
        return std::string(viewName.substr(1, viewName.size() >= 2 ? viewName.size() - 2 : 0));
    return std::string(viewName);
}

static std::vector<std::string> EntriesOf(FileSystem& fs, std::string_view folder,
                                          bool foldersOnly) {
    std::vector<std::string> names;
    fs.List(TrimTrailingBackslash(folder), [&](const FileInfo& e) {
        if (!foldersOnly || e.IsFolder()) names.push_back(e.name);
    });
    return names;
}

ViewCatalogue BuildViewCatalogue(FileSystem& fs, const ViewSources& sources) {
    ViewCatalogue cat;
    // A plain file beside the user folders holds no recent list, so it is not offered.
    std::vector<std::string> users;
    for (auto& entry : EntriesOf(fs, sources.dataLocation, true))
        if (entry != "All Users" && entry != sources.userName)
            users.push_back(DisplayUserName(entry));
    std::vector<std::string> mine;
    for (auto& entry : EntriesOf(fs, sources.mySearchesFolder, false))
        mine.push_back(FileBaseName(entry));
    std::vector<std::string> shared;
    for (auto& entry : EntriesOf(fs, sources.sharedSearchesFolder, false))
        shared.push_back(FileBaseName(entry));
    const std::string sign(kSectionSign);

    for (auto fixed : {kMyRecentDocumentsView, kLastSearchView, kTemplateDocumentsView,
                       kRecentFoldersView, kRecentProgramsView})
        cat.names.emplace_back(fixed);
    for (auto& u : users) cat.names.push_back("<" + u + "'s Recent Documents>");
    for (auto& s : mine) cat.names.push_back(s);
    for (auto& s : shared) cat.names.push_back(s + sign);

    cat.selector = {{"My Recent Documents", kImageRecent, 0},
                    {"Last Search", kImageSearch, 0},
                    {"Template Documents", kImageTemplates, 0},
                    {"Recent Folders", kImageFolders, 0},
                    {"Recent Programs", kImagePrograms, 0},
                    {std::string(kOtherUsersGroup), kImageRecent, 0}};
    for (auto& u : users) cat.selector.push_back({u + "'s Recent Documents", kImageRecent, 2});
    cat.selector.push_back({std::string(kMySearchesGroup), kImageSearch, 0});
    for (auto& s : mine) cat.selector.push_back({s, kImageSearch, 2});
    cat.selector.push_back({std::string(kGlobalSearchesGroup), kImageSearch, 0});
    for (auto& s : shared) cat.selector.push_back({s + sign, kImageSearch, 2});

    cat.tree = {{"My Recent Documents", kImageRecent, false, {}},
                {"Last Search", kImageSearch, false, {}},
                {"Template Documents", kImageTemplates, false, {}},
                {"Recent Folders", kImageFolders, false, {}},
                {"Recent Programs", kImagePrograms, false, {}}};
    auto group = [&](std::string_view text, const std::vector<std::string>& children,
                     int childImage, const std::string& prefix, const std::string& suffix) {
        ViewTreeNode node{std::string(text), kImageGroupClosed, false, {}};
        for (auto& c : children)
            node.children.push_back({prefix + c + suffix, childImage, false, {}});
        if (!node.children.empty()) {
            node.expanded = true;
            node.image = kImageGroupOpen;
        }
        cat.tree.push_back(std::move(node));
    };
    group(kOtherUsersGroup, users, kImageRecent, "<", "'s Recent Documents>");
    group(kMySearchesGroup, mine, kImageSearch, "", "");
    group(kGlobalSearchesGroup, shared, kImageSearch, "", "");
    return cat;
}

static bool IsGroup(std::string_view text) {
    return text == kOtherUsersGroup || text == kMySearchesGroup || text == kGlobalSearchesGroup;
}

ViewRequest SelectorRequest(std::string_view text, int indent) {
    if (text.empty() || (indent == 0 && IsGroup(text))) return {};
    if (indent > 0 && !WildcardMatch(text, "* Recent Documents"))
        return {ViewRequest::Show, std::string(text)};
    return {ViewRequest::ShowFixed, std::string(text)};
}

ViewRequest TreeRequest(std::string_view text, std::string_view parentText) {
    if (parentText.empty()) {
        if (IsGroup(text) || text.empty()) return {};
        return {ViewRequest::ShowFixed, std::string(text)};
    }
    if (parentText == kGlobalSearchesGroup)
        return {ViewRequest::Show, std::string(text) + std::string(kSectionSign)};
    if (parentText == kMySearchesGroup || parentText == kOtherUsersGroup)
        return {ViewRequest::Show, std::string(text)};
    return {};
}

bool PassesNameRules(std::string_view path, std::string_view nameFilter) {
    // One backward pass over the name part: this runs for every path of a view before the
    // path is looked up, so it stays cheaper than the general helpers.
    size_t start = path.size();
    while (start > 0) {
        char c = path[start - 1];
        if (c == '\\' || c == ':') break;
        switch (c) {
            case '/':
            case '*':
            case '?':
            case '<':
            case '>':
            case '|':
            case '"':
                return false;
            default:
                --start;
        }
    }
    if (nameFilter.empty()) return true;
    return FindIgnoringCase(path.substr(start), nameFilter) != std::string_view::npos;
}

bool FillFileListRow(std::string_view path, const std::optional<FileInfo>& info, bool admitFolders,
                     const std::function<bool(double)>& inHistory, FileListItem& row) {
    if (!info || (info->IsFolder() && !admitFolders)) return false;
    while (path.size() > 3 && path.back() == '\\') path.remove_suffix(1);
    size_t at = path.find_last_of("\\:");
    if (at == std::string_view::npos) {
        row.Name.assign(path);
        row.Folder.clear();
    } else {
        row.Name.assign(path.substr(at + 1));
        // The folder never keeps a trailing "\", not even a drive root's.
        row.Folder.assign(path.substr(0, path[at] == '\\' ? at : at + 1));
    }
    uint64_t kb = info->size / 1024;
    row.SizeKB = kb > 0x7FFFFFFF ? 0x7FFFFFFF : int32_t(kb);
    double modified = 0;
    row.Modified = CutToPackedStamp(info->writeTimeLocal, modified) ? modified : 0;
    if (inHistory && !inHistory(row.Modified)) return false;
    row.Attributes = info->attributes;
    row.ItemId.reset();
    row.DetailsPending = true;
    row.TypeName.clear();
    row.IconIndex = 0;
    return true;
}

std::optional<FileListItem> MakeFileListRow(std::string_view path,
                                            const std::optional<FileInfo>& info, bool admitFolders,
                                            const std::function<bool(double)>& inHistory) {
    FileListItem row;
    if (!FillFileListRow(path, info, admitFolders, inHistory, row)) return std::nullopt;
    return row;
}

}  // namespace lark
