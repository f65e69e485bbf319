#include "ui/resource_module_win.h"

namespace lark {

namespace {

HINSTANCE gResources = nullptr;

}  // namespace

HINSTANCE ResourceModule() {
    return gResources ? gResources : GetModuleHandleW(nullptr);
}

void SetResourceModule(HINSTANCE module) {
    gResources = module;
}

}  // namespace lark
