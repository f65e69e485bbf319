#pragma once
// "Select Template": the templates of the user and of all users, one entry each; OK makes a
// new document from the chosen one, or opens the template itself with "Edit template".
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "actions/templates.h"
#include "platform/registry.h"
#include "ui/my_form_win.h"
#include "ui/window_proc_win.h"

namespace lark {

// Keeps its position and size between runs like every window of the program.
class TfmNew final : public TMyForm, public MessageTarget {
  public:
    TfmNew(Registry& registry, std::vector<std::string> entries);

    // Modal; the chosen entry, or nothing unless confirmed with OK. resources: the module
    // holding the dialog.
    std::optional<TemplateChoice> ShowModal(HWND owner, HINSTANCE resources);
    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    // A control keeps its distance to the right and bottom edges as the dialog is resized.
    struct Anchored {
        int id;
        bool growsWidth;
        bool growsHeight;
        bool followsRight;
        bool followsBottom;
        RECT start;
    };

    void FormCreate();
    void lbTemplatesClick();
    void buOKClick();
    void FormResize();
    void MinimumSize(MINMAXINFO& info) const;

    std::vector<std::string> entries_;
    std::optional<TemplateChoice> choice_;
    HWND hwnd_ = nullptr;
    std::vector<Anchored> anchored_;
    SIZE startClient_{};
};

}  // namespace lark
