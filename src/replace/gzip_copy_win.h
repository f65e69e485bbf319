#pragma once
// The decompressed copy of a gzip file, for backups of ".gz" files.
#include <string_view>

namespace lark {

// Writes the decompressed content of gzipFile to target (created anew). A file that is not
// gzip data is copied as it is. False on any failure; target is then removed.
bool GzipDecompressCopy(std::string_view gzipFile, std::string_view target);

}  // namespace lark
