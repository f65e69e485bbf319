#include "properties/browse_path.h"

#include "base/text.h"

namespace lark {

std::vector<std::string> StartFolderComponents(std::string_view start) {
    std::string rest(start);
    SplitNextToken(rest, ":\\");
    std::vector<std::string> components;
    while (!rest.empty()) components.push_back(SplitNextToken(rest, "\\"));
    return components;
}

void SelectStartFolder(FolderTreeWalk& tree, std::string_view start) {
    std::vector<std::string> components = StartFolderComponents(start);
    if (components.empty()) return;
    FolderTreeWalk::Node current = tree.Root();
    for (const std::string& component : components) {
        if (!current) return;
        if (FolderTreeWalk::Node child = tree.FindChild(current, component)) {
            tree.ExpandAndSelect(child);
            current = child;
        }
    }
}

}  // namespace lark
