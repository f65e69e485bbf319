#pragma once
// The folder walk behind the index: depth-first, pre-order, each folder's files before
// its subfolders, every entry in the order the file system lists it.
#include <cstdint>
#include <string_view>

#include "index/index_format.h"

namespace lark {

struct WalkResult {
    int64_t fileCount = 0;
    bool writeFailed = false;
};

// Writes line 1 and every folder of the include text (minus the excluded ones) to writer,
// then flushes it. An empty include text writes nothing at all.
WalkResult WriteIndex(IndexWriter& writer, std::string_view includeText,
                      std::string_view excludeText);

}  // namespace lark
