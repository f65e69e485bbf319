// larkspire-find: the console client's entry point.
#include <windows.h>

#include <string>
#include <vector>

#include "instant/find_client_win.h"
#include "platform/win32/encoding_win.h"

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(lark::Narrow(argv[i]));
    const int code =
        lark::RunFindClient(args, GetStdHandle(STD_OUTPUT_HANDLE), GetStdHandle(STD_ERROR_HANDLE));
    ExitProcess(UINT(code));
}
