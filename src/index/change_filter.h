#pragma once
// Which name changes seen under the watched folders can alter the index, so that a watch
// in refresh-on-change mode ends only for those.
#include <string>
#include <string_view>
#include <vector>

#include "index/index_format.h"

namespace lark {

struct AppContext;

class ChangeFilter {
  public:
    // ownFiles: full paths of files the program itself writes (see ProgramDataFiles).
    ChangeFilter(std::string_view excludeText, std::vector<std::string> ownFiles);
    // Whether a file or folder created, deleted or renamed at path (a full path) counts:
    // not when it lies in an excluded folder or is one, and not when it is one of the
    // program's own files or the temporary file a whole rewrite of one goes through.
    bool Counts(std::string_view path) const;

  private:
    ExcludedFolders excluded_;
    std::vector<std::string> ownFiles_;
};

// The files the program writes into its data folders while it runs: the index and its
// log, and the user's recent list, last search, criteria, keyword history and replace log.
std::vector<std::string> ProgramDataFiles(AppContext& ctx);

}  // namespace lark
