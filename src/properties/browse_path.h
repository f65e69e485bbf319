#pragma once
// The start-folder walk of the folder browser: how a start path is followed down the tree.
#include <string>
#include <string_view>
#include <vector>

namespace lark {

// The tree as the walk sees it. A node is whatever the tree uses to name one.
class FolderTreeWalk {
  public:
    using Node = void*;
    virtual ~FolderTreeWalk() = default;
    // The tree's first node, with its sub-folders loaded.
    virtual Node Root() = 0;
    // The first node present now whose parent is parent and whose text is exactly text
    // (letter case included); null when none.
    virtual Node FindChild(Node parent, std::string_view text) = 0;
    // Loads the node's sub-folders, opens it and selects it.
    virtual void ExpandAndSelect(Node node) = 0;
};

// The folders the walk looks for: the drive part up to ":\" dropped, then the path cut at
// every "\" ("C:\Documents and Settings\jdoe" gives "Documents and Settings", "jdoe"). A
// path without ":\" gives none.
std::vector<std::string> StartFolderComponents(std::string_view start);

// Follows the start path from the root, whatever drive it names: each component found
// under the current folder is expanded and selected and becomes the current folder; one
// that is not found is skipped and the next is looked for in the same folder.
void SelectStartFolder(FolderTreeWalk& tree, std::string_view start);

}  // namespace lark
