#pragma once
// The console client: asks the resident instance when one runs, and otherwise reads the index
// file itself with the same search.
#include <windows.h>

#include <string>
#include <vector>

namespace lark {

// args: the command line after the program name. Writes the results to out and what goes
// wrong to err; returns the exit code (0 with results, 1 with none, 2 on an error).
int RunFindClient(const std::vector<std::string>& args, HANDLE out, HANDLE err);

}  // namespace lark
