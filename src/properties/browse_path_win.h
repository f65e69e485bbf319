#pragma once
// "Browse for Path": a tree of folders under a root, with the shell's names and pictures;
// OK stays disabled until the user has clicked in the tree.
#include <windows.h>
// needs windows.h first
#include <commctrl.h>

#include <string>
#include <string_view>
#include <vector>

#include "properties/browse_path.h"
#include "ui/my_form_win.h"
#include "ui/window_proc_win.h"

namespace lark {

class FileSystem;

class TfmBrowsePath final : public TMyForm, public MessageTarget, private FolderTreeWalk {
  public:
    TfmBrowsePath(Registry& registry, FileSystem& fs);
    TfmBrowsePath(const TfmBrowsePath&) = delete;
    TfmBrowsePath& operator=(const TfmBrowsePath&) = delete;

    // Modal; true when closed with OK, the folder then in ChosenPath. resources: the module
    // holding the dialog.
    bool ShowModal(HWND owner, HINSTANCE resources, std::string_view root, std::string_view start);
    const std::string& ChosenPath() const { return chosen_; }
    HWND Handle() const { return hwnd_; }

    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    void FormCreate();
    void FormResize(int width, int height);
    bool OnNotify(NMHDR& header, LRESULT& result);
    void ShellTreeViewClick();
    void buOKClick();

    HTREEITEM AddFolder(HTREEITEM parent, const std::string& path, const std::string& fallbackName);
    void LoadSubFolders(HTREEITEM item);
    const std::string* PathOf(HTREEITEM item) const;

    // The start-folder walk.
    Node Root() override;
    Node FindChild(Node parent, std::string_view text) override;
    void ExpandAndSelect(Node node) override;

    FileSystem& fs_;
    HWND hwnd_ = nullptr;
    HWND tree_ = nullptr;
    std::string root_;
    std::string start_;
    std::string chosen_;
    // Per node (its lParam): the folder's path and whether its sub-folders are in the tree.
    std::vector<std::string> paths_;
    std::vector<bool> loaded_;
    SIZE minimumSize_{0, 0};
};

// The folder the user picks under root, starting at start; start itself on Cancel.
std::string BrowseForFolder(HWND owner, HINSTANCE resources, Registry& registry, FileSystem& fs,
                            std::string_view root, std::string_view start);

}  // namespace lark
