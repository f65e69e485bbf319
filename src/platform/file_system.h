#pragma once
// The file-system operations the portable code needs, with Windows path semantics
// ("\" separators, drive letters, names compared ignoring ASCII case).
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace lark {

// Attribute bits as Windows reports them.
inline constexpr uint32_t kAttrReadOnly = 0x1;
inline constexpr uint32_t kAttrHidden = 0x2;
inline constexpr uint32_t kAttrSystem = 0x4;
inline constexpr uint32_t kAttrDirectory = 0x10;
inline constexpr uint32_t kAttrArchive = 0x20;
inline constexpr uint32_t kAttrNormal = 0x80;
inline constexpr uint32_t kAttrReparsePoint = 0x400;

// One directory entry or the result of a stat. Times are FILETIME ticks (100 ns since
// 1601-01-01); 0 means "no time recorded".
struct FileInfo {
    std::string name;  // bare name, no folder part
    uint32_t attributes = 0;
    uint64_t size = 0;
    int64_t writeTimeUtc = 0;
    int64_t writeTimeLocal = 0;
    bool IsFolder() const { return (attributes & kAttrDirectory) != 0; }
};

// A whole file's bytes, read-only, for as long as the object lives.
class WholeFile {
public:
    virtual ~WholeFile() = default;
    virtual std::string_view Text() const = 0;
    // Whether the file itself stays open, and no other program may write it, while the
    // object lives (a mapped file); a copy in memory holds nothing open.
    virtual bool HoldsFileOpen() const { return false; }
};

class WholeFileInMemory final : public WholeFile {
public:
    explicit WholeFileInMemory(std::string text) : text_(std::move(text)) {}
    std::string_view Text() const override { return text_; }

private:
    friend std::string ReclaimText(std::shared_ptr<const WholeFile>& file);
    mutable std::string text_;
};

inline std::shared_ptr<const WholeFile> WholeFileFromText(std::string text) {
    return std::make_shared<WholeFileInMemory>(std::move(text));
}

// Lets go of the file and returns the memory of its text for the next read, when the text
// was read into memory and nobody else holds it; otherwise an empty string.
inline std::string ReclaimText(std::shared_ptr<const WholeFile>& file) {
    std::string text;
    if (auto* inMemory = dynamic_cast<const WholeFileInMemory*>(file.get());
        inMemory && file.use_count() == 1)
        text = std::move(inMemory->text_);
    file.reset();
    return text;
}

// What a whole rewrite appends to the file's name for the temporary file it writes first.
inline constexpr std::string_view kWholeWriteTempSuffix = ".new~";

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // One attribute query: existence, attributes, size and last-write time.
    virtual std::optional<FileInfo> Stat(std::string_view path) = 0;
    // Lists the entries of a folder (never "." or ".."); false when it cannot be listed.
    virtual bool List(std::string_view folder, const std::function<void(const FileInfo&)>& each) = 0;
    virtual std::optional<std::string> ReadWhole(std::string_view path) = 0;
    // The same into text, whose memory is used again where it is large enough (memory
    // touched before costs far less than new memory); false when the file cannot be read,
    // text then holding anything.
    virtual bool ReadWholeInto(std::string_view path, std::string& text) {
        std::optional<std::string> read = ReadWhole(path);
        if (!read) return false;
        text = std::move(*read);
        return true;
    }
    // The whole file, with other programs kept from writing it while it is read; nullptr
    // when it cannot be opened so. A platform may map the file rather than copy it.
    virtual std::shared_ptr<const WholeFile> OpenWhole(std::string_view path) {
        std::optional<std::string> text = ReadWhole(path);
        return text ? WholeFileFromText(std::move(*text)) : nullptr;
    }
    // Replaces the file's content; the rewrite goes through a temporary file, named as the
    // file followed by kWholeWriteTempSuffix.
    virtual bool WriteWhole(std::string_view path, std::string_view data) = 0;
    virtual bool Append(std::string_view path, std::string_view data) = 0;
    virtual bool CreateFolder(std::string_view path) = 0;
    virtual bool RemoveFile(std::string_view path) = 0;
    virtual bool Rename(std::string_view from, std::string_view to) = 0;
    // Copies a file with its attributes and last-write time. A file already at the target is
    // replaced only once the copy is complete; on failure the target is left as it was.
    virtual bool Copy(std::string_view from, std::string_view to) {
        std::optional<std::string> data = ReadWhole(from);
        return data && WriteWhole(to, *data);
    }
    virtual bool SetAttributes(std::string_view /*path*/, uint32_t /*attributes*/) { return false; }
    // Sets the creation, last-access and last-write times to one moment (FILETIME ticks, UTC).
    virtual bool SetTimes(std::string_view /*path*/, int64_t /*utcTicks*/) { return false; }

    bool Exists(std::string_view path) { return Stat(path).has_value(); }
    bool IsFolder(std::string_view path) {
        auto info = Stat(path);
        return info && info->IsFolder();
    }
    bool IsFile(std::string_view path) {
        auto info = Stat(path);
        return info && !info->IsFolder();
    }
};

}  // namespace lark
