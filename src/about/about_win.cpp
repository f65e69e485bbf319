#include "about/about_win.h"

#include <memory>
#include <vector>

#include "about/about_text.h"
#include "platform/win32/encoding_win.h"
#include "res/resource.h"

namespace lark {
namespace {

std::string VersionString(const std::vector<BYTE>& block, const wchar_t* name) {
    struct Translation {
        WORD language;
        WORD codePage;
    };
    Translation* tr = nullptr;
    UINT len = 0;
    std::wstring query = L"\\StringFileInfo\\040904b0\\";
    if (VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&tr),
                       &len) &&
        len >= sizeof(Translation)) {
        wchar_t sub[64];
        wsprintfW(sub, L"\\StringFileInfo\\%04x%04x\\", tr->language, tr->codePage);
        query = sub;
    }
    query += name;
    wchar_t* text = nullptr;
    if (!VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&text), &len) ||
        !text)
        return {};
    return Narrow(std::wstring_view(text, len > 0 ? len - 1 : 0));
}

}  // namespace

AboutFacts GatherAboutFacts(const std::wstring& exePath, Registry& registry) {
    AboutFacts facts;
    facts.product = "Larkspire";
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(exePath.c_str(), &ignored);
    if (size > 0) {
        std::vector<BYTE> block(size);
        if (GetFileVersionInfoW(exePath.c_str(), 0, size, block.data())) {
            VS_FIXEDFILEINFO* fixed = nullptr;
            UINT len = 0;
            if (VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &len) &&
                fixed) {
                facts.version =
                    VersionLine(HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                                HIWORD(fixed->dwFileVersionLS));
            }
            std::string product = VersionString(block, L"ProductName");
            if (!product.empty()) facts.product = product;
            facts.copyright = VersionString(block, L"LegalCopyright");
        }
    }

    // GetVersionEx answers what the manifest admits to; the kernel's own call does not lie.
    RTL_OSVERSIONINFOW os{};

    os.dwOSVersionInfoSize = sizeof(os);
    using RtlGetVersionFn = LONG(WINAPI*)(RTL_OSVERSIONINFOW*);
    auto rtlGetVersion = reinterpret_cast<RtlGetVersionFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    if (rtlGetVersion) rtlGetVersion(&os);
    std::string productName =
        registry
            .Read(RegistryRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
                  "ProductName")
            .value_or("");
    facts.system =
        SystemDescription(productName, os.dwMajorVersion, os.dwMinorVersion, os.dwBuildNumber);

    MEMORYSTATUSEX mem{};

    mem.dwLength = sizeof(mem);
    GlobalMemoryStatusEx(&mem);
    facts.memory = FormatKilobytes(mem.ullAvailPhys);
    return facts;
}

TfmAbout::TfmAbout(Registry& registry, AboutFacts facts)
    : TMyForm(registry, "fmAbout"), facts_(std::move(facts)) {}

void TfmAbout::ShowModal(HWND owner, HINSTANCE resources) {
    DialogBoxParamW(resources, MAKEINTRESOURCEW(IDD_ABOUT), owner, SharedDialogProc,
                    DialogParam(this));
}

LRESULT TfmAbout::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
        case WM_INITDIALOG:
            FormCreate(hwnd);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                buOKClick(hwnd);
                return TRUE;
            }
            return FALSE;
        case WM_DESTROY:
            StorePlacement();
            return FALSE;
        default:
            return FALSE;
    }
}

void TfmAbout::FormCreate(HWND hwnd) {
    auto set = [hwnd](int id, const std::string& text) {
        SetDlgItemTextW(hwnd, id, Widen(text).c_str());
    };
    set(IDC_ABOUT_PRODUCT, facts_.product);
    set(IDC_ABOUT_VERSION, facts_.version);
    set(IDC_ABOUT_COPYRIGHT, facts_.copyright);
    set(IDC_ABOUT_SYSTEM, facts_.system);
    set(IDC_ABOUT_MEMORY, "Memory available to Windows: " + facts_.memory);
    HWND product = GetDlgItem(hwnd, IDC_ABOUT_PRODUCT);
    LOGFONTW lf{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(product, WM_GETFONT, 0, 0)), sizeof(lf), &lf);
    lf.lfWeight = FW_BOLD;
    boldFont_.Reset(CreateFontIndirectW(&lf));
    SendMessageW(product, WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_.Get()), FALSE);
    RestorePlacement(hwnd);
}

void TfmAbout::buOKClick(HWND hwnd) {
    StorePlacement();
    EndDialog(hwnd, IDOK);
}

void ShowAboutBox(HWND owner, HINSTANCE resources, const std::wstring& exePath,
                  Registry& registry) {
    TfmAbout form(registry, GatherAboutFacts(exePath, registry));
    form.ShowModal(owner, resources);
}

}  // namespace lark
