#include <stdexcept>

#include "app/command_ids_win.h"
#include "app/main_layout_win.h"

namespace lark {
namespace {

struct MenuItemSpec {
    UINT command;  // 0: separator
    const wchar_t* caption;
    int image = -1;  // into the picture list given to Build
    bool radio = false;
};

constexpr MenuItemSpec kFileItems[] = {{kCmdInstantFind, L"Instant Find"},
                                       {kCmdProperties, L"Properties"},
                                       {kCmdRefresh, L"Refresh"},
                                       {kCmdExit, L"Exit"}};
constexpr MenuItemSpec kDocumentItems[] = {
    {kCmdNew, L"New"},
    {kCmdOpen, L"Open"},
    {kCmdOpenContainer, L"Open containing folder"},
    {kCmdNotepadEdit, L"Edit with notepad"},
    {0, nullptr},
    {kCmdSaveAs, L"Save as"},
    {kCmdSaveAsTemplate, L"Save as template"},
    {0, nullptr},
    {kCmdInsertIntoDialog, L"Insert into dialog"},
    {kCmdInsertCompressed, L"Insert compressed"},
    {0, nullptr},
    {kCmdMove, L"Move"},
    {kCmdRename, L"Rename"},
    {kCmdPrint, L"Print"},
    {kCmdDelete, L"Delete"},
    {kCmdErase, L"Erase"},
    {kCmdRemoveRecent, L"Remove from Recent Files"},
};
constexpr MenuItemSpec kViewItems[] = {{kCmdShowViews, L"Views", -1, true},
                                       {kCmdHistory, L"History", -1, true}};
constexpr MenuItemSpec kSearchItems[] = {
    {kCmdSearch, L"Search"},
    {kCmdReplace, L"Search and replace"},
    {0, nullptr},
    {kCmdSearchSave, L"Save search As..."},
    {kCmdSearchEdit, L"Revise search"},
    {kCmdSearchDelete, L"Delete search"},
};
constexpr MenuItemSpec kHelpItems[] = {
    {kCmdHelpOverview, L"Overview"},
    {0, nullptr},
    {kCmdTechSupport, L"Tech support online"},
    {0, nullptr},
    {kCmdAbout, L"About..."},
};
constexpr MenuItemSpec kListItems[] = {
    {kCmdOpen, L"Open", 6},
    {kCmdOpenContainer, L"Open containing folder"},
    {kCmdNotepadEdit, L"Edit with notepad"},
    {0, nullptr},
    {kCmdSaveAs, L"Save As..."},
    {kCmdSaveAsTemplate, L"Save as Template..."},
    {0, nullptr},
    {kCmdInsertIntoDialog, L"Insert into dialog"},
    {kCmdInsertCompressed, L"Insert compressed"},
    {0, nullptr},
    {kCmdMove, L"Move"},
    {kCmdRename, L"Rename"},
    {kCmdPrint, L"Print", 10},
    {kCmdDelete, L"Delete", 11},
    {kCmdErase, L"Erase"},
    {kCmdRemoveRecent, L"Remove from Recent Files"},
    {0, nullptr},
    {kCmdExplorerActions, L"Explorer Actions..."},
};
constexpr MenuItemSpec kTrayItems[] = {{kCmdInstantFind, L"Instant &Find"},
                                       {kCmdProperties, L"&Properties"},
                                       {kCmdRefresh, L"Refresh"},
                                       {kCmdExit, L"E&xit Larkspire", 12}};
constexpr MenuItemSpec kViewStyleItems[] = {
    {kCmdViewStyleLargeIcons, L"Large Icons", 0, true},
    {kCmdViewStyleSmallIcons, L"Small Icons", 1, true},
    {kCmdViewStyleList, L"List ", 2, true},
    {kCmdViewStyleDetails, L"Details", 3, true},
};

}  // namespace

HBITMAP MainLayout::MenuBitmap(HIMAGELIST list, int index) {
    int cx = 0, cy = 0;
    ImageList_GetIconSize(list, &cx, &cy);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = cx;
    bi.bmiHeader.biHeight = -cy;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (!bmp) return nullptr;
    // Drawn over the menu colour so the picture needs no alpha support from the menu.
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT r{0, 0, cx, cy};
    FillRect(dc, &r, GetSysColorBrush(COLOR_MENU));
    ImageList_Draw(list, index, dc, 0, 0, ILD_TRANSPARENT);
    SelectObject(dc, old);
    DeleteDC(dc);
    menuBitmaps_.push_back(bmp);
    return bmp;
}

void MainLayout::CreateMenus() {
    auto fill = [this](HMENU menu, std::span<const MenuItemSpec> items, HIMAGELIST images) {
        for (const MenuItemSpec& item : items) {
            MENUITEMINFOW mi{};
            mi.cbSize = sizeof(mi);
            if (item.command == 0) {
                mi.fMask = MIIM_FTYPE;
                mi.fType = MFT_SEPARATOR;
            } else {
                mi.fMask = MIIM_ID | MIIM_STRING | MIIM_FTYPE;
                mi.fType = item.radio ? MFT_RADIOCHECK : MFT_STRING;
                mi.wID = item.command;
                mi.dwTypeData = const_cast<wchar_t*>(item.caption);
                if (item.image >= 0 && images) {
                    mi.fMask |= MIIM_BITMAP;
                    mi.hbmpItem = MenuBitmap(images, item.image);
                }
            }
            InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &mi);
        }
    };
    auto popup = [&](std::span<const MenuItemSpec> items, HIMAGELIST images) {
        HMENU m = CreatePopupMenu();
        if (!m) throw std::runtime_error("cannot create the main window's menus");
        fill(m, items, images);
        return m;
    };

    mainMenu = CreateMenu();
    fileMenu = popup(kFileItems, nullptr);
    viewMenu = popup(kViewItems, nullptr);
    AppendMenuW(mainMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(fileMenu), L"File");
    AppendMenuW(mainMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(popup(kDocumentItems, nullptr)),
                L"Document");
    AppendMenuW(mainMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(viewMenu), L"View");
    AppendMenuW(mainMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(popup(kSearchItems, nullptr)),
                L"Search");
    AppendMenuW(mainMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(popup(kHelpItems, nullptr)),
                L"Help");
    listPopup = popup(kListItems, toolImages);
    trayPopup = popup(kTrayItems, toolImages);
    viewStylePopup = popup(kViewStyleItems, viewStyleImages);
    SetMenu(form, mainMenu);
}

}  // namespace lark
