#include "replace/replace_files_win.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "actions/compressed_copy.h"
#include "actions/gzip_streams_win.h"
#include "platform/win32/handles_win.h"
#include "platform/win32/win32_platform.h"

namespace lark {

namespace {

// The attributes a file may be given; the others belong to the file system.
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                      FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                      FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_ATTRIBUTE_OFFLINE |
                                      FILE_ATTRIBUTE_TEMPORARY;

// A replacement is never made read-only: it would refuse its own rename on some systems.
DWORD Settable(uint32_t attributes) {
    DWORD settable = attributes & kSettableAttributes & ~FILE_ATTRIBUTE_READONLY;
    return settable ? settable : FILE_ATTRIBUTE_NORMAL;
}

FILETIME ToFileTime(int64_t ticks) {
    return {DWORD(uint64_t(ticks) & 0xFFFFFFFFu), DWORD(uint64_t(ticks) >> 32)};
}

bool WriteAll(HANDLE file, std::string_view data) {
    while (!data.empty()) {
        DWORD chunk = DWORD(std::min<size_t>(data.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, data.data(), chunk, &written, nullptr) || written == 0) return false;
        data.remove_prefix(written);
    }
    return true;
}

class Win32Input final : public InputFile {
  public:
    explicit Win32Input(UniqueFile file) : file_(std::move(file)) {
        // Size, times and attributes before any read counts as an access. (The handle's
        // whole information would also ask for the volume, which costs far more.)
        LARGE_INTEGER size{};
        if (GetFileSizeEx(file_.Get(), &size)) size_ = uint64_t(size.QuadPart);
        FILE_BASIC_INFO basic{};
        if (GetFileInformationByHandleEx(file_.Get(), FileBasicInfo, &basic, sizeof basic)) {
            times_ = FileTimes{basic.CreationTime.QuadPart, basic.LastAccessTime.QuadPart,
                               basic.LastWriteTime.QuadPart};
            attributes_ = basic.FileAttributes;
        }
    }
    uint64_t Size() const override { return size_; }
    std::optional<FileTimes> Times() const override { return times_; }
    uint32_t Attributes() const override { return attributes_; }
    int64_t Read(char* into, size_t count) override {
        size_t done = 0;
        while (done < count) {
            DWORD want = DWORD(std::min<size_t>(count - done, 1u << 30));
            DWORD got = 0;
            if (!ReadFile(file_.Get(), into + done, want, &got, nullptr)) return -1;
            if (got == 0) break;
            done += got;
        }
        return int64_t(done);
    }

  private:
    UniqueFile file_;
    uint64_t size_ = 0;
    std::optional<FileTimes> times_;
    uint32_t attributes_ = 0;
};

class Win32Output final : public OutputFile {
  public:
    explicit Win32Output(UniqueFile file) : file_(std::move(file)) {}
    bool Write(std::string_view data) override { return WriteAll(file_.Get(), data); }

  private:
    UniqueFile file_;
};

class Win32Replacement final : public ReplacementFile {
  public:
    Win32Replacement(UniqueFile file, std::wstring path, std::wstring target, DWORD attributes)
        : file_(std::move(file)),
          path_(std::move(path)),
          target_(std::move(target)),
          attributes_(attributes) {}
    ~Win32Replacement() override {
        if (committed_) return;
        file_.Reset();
        DeleteFileW(path_.c_str());
    }
    bool Write(std::string_view data) override { return WriteAll(file_.Get(), data); }
    bool Commit(uint32_t attributes, const FileTimes& times) override {
        // Times set through the handle after the last write stay as set when it closes.
        FILETIME creation = ToFileTime(times.creation);
        FILETIME access = ToFileTime(times.lastAccess);
        FILETIME write = ToFileTime(times.lastWrite);
        SetFileTime(file_.Get(), times.creation ? &creation : nullptr,
                    times.lastAccess ? &access : nullptr, times.lastWrite ? &write : nullptr);
        // Not forced to the disk file by file (as sed -i does not): that would cost a disk
        // round trip per file. The rename below is what keeps the original whole.
        const DWORD settable = Settable(attributes);
        if (settable != attributes_) {
            FILE_BASIC_INFO basic{};
            basic.FileAttributes = settable;
            SetFileInformationByHandle(file_.Get(), FileBasicInfo, &basic, sizeof basic);
        }
        // Renamed through its own handle, in place of the file: one step, and the file is
        // either the old one or the new one whatever happens.
        std::vector<BYTE> rename(sizeof(FILE_RENAME_INFO) + target_.size() * sizeof(wchar_t));
        auto* info = reinterpret_cast<FILE_RENAME_INFO*>(rename.data());
        info->ReplaceIfExists = TRUE;
        info->RootDirectory = nullptr;
        info->FileNameLength = DWORD(target_.size() * sizeof(wchar_t));
        std::copy(target_.begin(), target_.end(), info->FileName);
        info->FileName[target_.size()] = L'\0';
        if (!SetFileInformationByHandle(file_.Get(), FileRenameInfo, info, DWORD(rename.size())))
            return false;
        file_.Reset();
        committed_ = true;
        return true;
    }

  private:
    UniqueFile file_;
    std::wstring path_;
    std::wstring target_;
    DWORD attributes_;
    bool committed_ = false;
};

}  // namespace

std::optional<FileInfo> Win32ReplaceFiles::Stat(std::string_view path) {
    return Win32FileSystem().Stat(path);
}

std::unique_ptr<InputFile> Win32ReplaceFiles::OpenRead(std::string_view path) {
    // Other programs may read meanwhile, not write: what is read is what gets rewritten.
    UniqueFile file(CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return nullptr;
    return std::make_unique<Win32Input>(std::move(file));
}

std::unique_ptr<OutputFile> Win32ReplaceFiles::CreateLog(std::string_view path) {
    // Readable while the run writes it, so the log can be looked at meanwhile.
    UniqueFile file(CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return nullptr;
    return std::make_unique<Win32Output>(std::move(file));
}

std::unique_ptr<ReplacementFile> Win32ReplaceFiles::CreateReplacement(std::string_view path,
                                                                      uint32_t attributes) {
    const DWORD settable = Settable(attributes);
    // ".out" beside the file; a file of that name that is not ours is never overwritten.
    const std::wstring target = WidePath(path);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = std::string(path) + ".out";
        if (attempt > 0) {
            name += '.';
            name += std::to_string(attempt);
        }
        std::wstring wide = WidePath(name);
        UniqueFile file(CreateFileW(wide.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                    settable, nullptr));
        if (file)
            return std::make_unique<Win32Replacement>(std::move(file), wide, target, settable);
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return nullptr;
    }
    return nullptr;
}

bool Win32ReplaceFiles::SetAttributes(std::string_view path, uint32_t attributes) {
    DWORD settable = attributes & kSettableAttributes;
    return SetFileAttributesW(WidePath(path).c_str(), settable ? settable : FILE_ATTRIBUTE_NORMAL);
}

bool Win32ReplaceFiles::CopyForBackup(std::string_view path, std::string_view backupPath) {
    // An earlier backup is overwritten even when it came out hidden or read-only.
    const std::wstring backup = WidePath(backupPath);
    DWORD existing = GetFileAttributesW(backup.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES &&
        (existing & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN)))
        SetFileAttributesW(backup.c_str(), FILE_ATTRIBUTE_NORMAL);
    // The program's one copy: a backup of "x.gz" ("x.gz.bak") holds the decompressed data.
    Win32FileSystem fs;
    ZlibGzipStreams gzip;
    return CompressedCopy(fs, gzip).CopyConvertingGzip(path, backupPath);
}

}  // namespace lark
