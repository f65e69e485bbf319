#pragma once
// The About box: product, version, the operating system and the memory available to it.
#include <windows.h>

#include <string>

#include "platform/registry.h"
#include "platform/win32/handles_win.h"
#include "ui/my_form_win.h"
#include "ui/window_proc_win.h"

namespace lark {

struct AboutFacts {
    std::string product;  // from the version resource
    std::string version;
    std::string copyright;
    std::string system;
    std::string memory;
};

// exePath: the file whose version resource is read (the running program).
AboutFacts GatherAboutFacts(const std::wstring& exePath, Registry& registry);

class TfmAbout : public TMyForm, public MessageTarget {
  public:
    TfmAbout(Registry& registry, AboutFacts facts);
    // Modal; returns when the user presses OK. resources: the module holding the dialog.
    void ShowModal(HWND owner, HINSTANCE resources);
    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    void FormCreate(HWND hwnd);
    void buOKClick(HWND hwnd);

    AboutFacts facts_;
    UniqueGdiObject boldFont_;
};

// Gathers the facts and shows the box; returns when the user presses OK. resources: the module holding the dialog.
void ShowAboutBox(HWND owner, HINSTANCE resources, const std::wstring& exePath, Registry& registry);

}  // namespace lark
