#pragma once
// The About box: product, version, the operating system and the memory available to it.
#include <windows.h>

#include <string>

#include "platform/registry.h"

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

// Modal; returns when the user presses OK. resources: the module holding the dialog.
void ShowAboutBox(HWND owner, HINSTANCE resources, const std::wstring& exePath, Registry& registry);

}  // namespace lark
