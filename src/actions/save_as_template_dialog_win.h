#pragma once
// "Save as Template": a template name and for whom it is made available. Saving a search
// asks the same question with the caption "Save Search" and the label "Search Name".
#include <windows.h>

#include <optional>

#include "ui/name_prompt.h"
#include "ui/window_proc_win.h"

namespace lark {

// A plain tool window that opens at the mouse pointer; it keeps no placement.
class TfmSaveAsTemplate final : public MessageTarget {
  public:
    explicit TfmSaveAsTemplate(NamePrompt prompt) : prompt_(std::move(prompt)) {}
    TfmSaveAsTemplate(const TfmSaveAsTemplate&) = delete;
    TfmSaveAsTemplate& operator=(const TfmSaveAsTemplate&) = delete;

    // Modal; the typed name and the choice, or nothing when cancelled. resources: the module
    // holding the dialog.
    std::optional<NamePromptAnswer> ShowModal(HWND owner, HINSTANCE resources);
    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    void FormCreate();
    void FormShow();
    void BitBtn1Click();

    NamePrompt prompt_;
    std::optional<NamePromptAnswer> answer_;
    HWND hwnd_ = nullptr;
};

}  // namespace lark
