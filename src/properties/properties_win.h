#pragma once
// "Larkspire Properties": the general settings, start with Windows and the search domains.
// Created anew for each display; it copies the settings into its controls when it opens and
// stores what they hold on OK.
#include <windows.h>

#include <string>
#include <string_view>

#include "properties/properties.h"
#include "ui/my_form_win.h"
#include "ui/window_proc_win.h"

namespace lark {

struct AppContext;
struct TSearchSet;

class TfmProperties final : public TMyForm, public MessageTarget {
  public:
    TfmProperties(AppContext& ctx, PropertiesHost& host);
    TfmProperties(const TfmProperties&) = delete;
    TfmProperties& operator=(const TfmProperties&) = delete;

    // Modal; true when closed with OK. resources: the module holding the dialog.
    bool ShowModal(HWND owner, HINSTANCE resources, PropertiesPage page);
    HWND Handle() const { return hwnd_; }
    // What the controls held when OK closed the dialog.
    const PropertiesValues& Values() const { return values_; }

    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    void FormCreate();
    void OnCommand(int id, int code);
    bool OnNotify(const NMHDR& header);
    void SelectPage(PropertiesPage page);
    void SelectPathsPage(int page);

    void buOKClick();
    void buCancelClick();
    void rbRefreshFixedScheduleClick();
    void cbRunAtStartupClick();
    void edDataLocationChange();
    void Button2Click();
    void coSearchSetChange(const std::string& name);
    void buRemoveSetClick();

    // Showing a domain: its paths in the two boxes and its name chosen in the list.
    void ShowSearchSet(const TSearchSet& set);
    void FillSearchSetList();
    LRESULT DataLocationColour(HDC dc);
    LRESULT PageColour(HDC dc, HWND control);
    void EraseBackground(HDC dc);

    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    std::string ItemText(int id) const;
    void SetItemText(int id, std::string_view text);
    bool Checked(int id) const;
    void SetChecked(int id, bool on);

    AppContext& ctx_;
    PropertiesHost& host_;
    HWND hwnd_ = nullptr;
    PropertiesPage firstPage_ = PropertiesPage::General;
    PropertiesValues values_;
};

// puPropertiesClick: the whole cycle, from filling the dialog to storing on OK. True when
// the dialog was closed with OK.
bool ShowPropertiesDialog(AppContext& ctx, PropertiesHost& host, HWND owner, HINSTANCE resources,
                          PropertiesPage page);

}  // namespace lark
