#pragma once
// The byte work of the compressed copy on Windows: zlib's gzip file interface on files opened
// with the wide API, so that every file name works whatever the code page.
#include <cstdint>

#include "actions/compressed_copy.h"

namespace lark {

// From this source size on the hourglass is shown while the file is worked on.
inline constexpr uint64_t kGzipBusyCursorBytes = 4u << 20;

class ZlibGzipStreams final : public GzipStreams {
  public:
    bool Compress(std::string_view source, std::string_view target, std::string_view mode,
                  std::string& error) override;
    bool Decompress(std::string_view source, std::string_view target, std::string& error) override;
};

}  // namespace lark
