#pragma once
// The module that holds the dialog templates: the program itself, unless a test that builds
// the windows in its own process points at the program file loaded as data.
#include <windows.h>

namespace lark {

HINSTANCE ResourceModule();
// Null goes back to the program itself.
void SetResourceModule(HINSTANCE module);

}  // namespace lark
