#pragma once
// The text of the path index kept in memory by the resident instance, so that a search reads
// no file. Before each search the file's size and last-write time are compared with those
// the text was read at: a file rewritten since (by this instance's build, or by another
// instance sharing the index) is read again.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace lark {

class ResidentIndex {
  public:
    explicit ResidentIndex(FileSystem& fs) : fs_(fs) {}
    ResidentIndex(const ResidentIndex&) = delete;
    ResidentIndex& operator=(const ResidentIndex&) = delete;

    // The text exactly as the file at path holds it now, read again when it changed; null
    // when the file cannot be read whole (missing, or a build is writing it). What the search
    // dialog searches: with a null text it reports the file as it always did.
    std::shared_ptr<const WholeFile> Exact(std::string_view path);

    struct Snapshot {
        std::shared_ptr<const WholeFile> text;  // null: the index is missing or was never read
        // The file changed but cannot be read now (a build is writing it): text is the one
        // read before.
        bool refreshing = false;
    };
    // The text for a search that answers while the index is being rebuilt (instant find and
    // the console client): as Exact, or the text read before when the file cannot be read.
    Snapshot Latest(std::string_view path);

    // Lets go of the text (a search domain or data location that changed).
    void Forget();
    // The text held now, without looking at the file.
    const std::shared_ptr<const WholeFile>& Held() const { return text_; }
    // How many times the file was read whole, for tests and the benchmark.
    int Reads() const { return reads_; }

  private:
    // Whether the text held was read from path and the file has not changed since.
    bool Unchanged(std::string_view path, const std::optional<FileInfo>& now) const;
    // Reads the file; false (the text held stays) when it cannot be read.
    bool Read(std::string_view path, const FileInfo& before);

    FileSystem& fs_;
    std::shared_ptr<const WholeFile> text_;
    std::string path_;
    uint64_t size_ = 0;
    int64_t writeTime_ = 0;
    int reads_ = 0;
};

}  // namespace lark
