#include "properties/browse_path.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace lark {
namespace {

// A folder tree whose sub-folders appear only once their folder has been expanded. Folders
// are given by their path under the root ("Docs\\Letters").
class FakeFolderTree final : public FolderTreeWalk {
  public:
    explicit FakeFolderTree(std::vector<std::string> folders) : folders_(std::move(folders)) {
        present_.push_back({"", nullptr});
    }
    Node Root() override {
        Load(&present_.front());
        return &present_.front();
    }
    Node FindChild(Node parent, std::string_view text) override {
        for (Present& p : present_)
            if (p.parent == parent && p.path.substr(p.path.find_last_of('\\') + 1) == text)
                return &p;
        return nullptr;
    }
    void ExpandAndSelect(Node node) override {
        Load(static_cast<Present*>(node));
        selections.push_back(static_cast<Present*>(node)->path);
    }
    std::vector<std::string> selections;

  private:
    struct Present {
        std::string path;
        Present* parent;
    };
    void Load(Present* node) {
        for (const std::string& f : folders_) {
            size_t cut = f.find_last_of('\\');
            std::string parent = cut == std::string::npos ? "" : f.substr(0, cut);
            if (parent != node->path) continue;
            bool loaded = false;
            for (const Present& p : present_) loaded = loaded || p.path == f;
            if (!loaded) present_.push_back({f, node});
        }
    }
    std::vector<std::string> folders_;
    std::deque<Present> present_;
};

TEST(SelectStartFolder, FollowsTheStartPathDownTheTree) {
    const std::vector<std::string> folders = {"Documents and Settings",
                                              "Documents and Settings\\jdoe",
                                              "Docs",
                                              "Docs\\Letters",
                                              "Docs\\2024",
                                              "Docs\\Letters\\2024",
                                              "Windows"};
    using Paths = std::vector<std::string>;
    struct Case {
        const char* start;
        Paths selections;  // each expanded and selected in turn; the last stays selected
    } cases[] = {
        {"C:\\Documents and Settings", {"Documents and Settings"}},
        {"C:\\Documents and Settings\\jdoe",
         {"Documents and Settings", "Documents and Settings\\jdoe"}},
        // Other letter case does not match; the next folder is looked for in the last match.
        {"C:\\Docs\\letters\\2024", {"Docs", "Docs\\2024"}},
        {"C:\\documents and settings\\jdoe", {}},
        // The walk starts at the root whatever drive the path names.
        {"E:\\Docs\\Letters\\", {"Docs", "Docs\\Letters"}},
        {"C:\\Missing\\Windows", {"Windows"}},
        {"", {}},
        {"Docs", {}},
    };
    for (const Case& c : cases) {
        FakeFolderTree tree(folders);
        SelectStartFolder(tree, c.start);
        EXPECT_EQ(tree.selections, c.selections) << c.start;
    }
}

TEST(StartFolderComponents, DriveDroppedFoldersCut) {
    using Parts = std::vector<std::string>;
    EXPECT_EQ(StartFolderComponents("C:\\Documents and Settings\\jdoe"),
              (Parts{"Documents and Settings", "jdoe"}));
    EXPECT_EQ(StartFolderComponents("D:\\Docs\\"), (Parts{"Docs"}));
    EXPECT_EQ(StartFolderComponents("C:\\"), Parts{});
    EXPECT_EQ(StartFolderComponents(""), Parts{});
    EXPECT_EQ(StartFolderComponents("Docs\\Letters"), Parts{});
}

}  // namespace
}  // namespace lark
