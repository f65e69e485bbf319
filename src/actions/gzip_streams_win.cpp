#include "actions/gzip_streams_win.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <zlib.h>

#include <memory>
#include <string>

#include "platform/win32/handles_win.h"
#include "platform/win32/win32_platform.h"

namespace lark {

namespace {

// zlib's own buffers, and the pieces handed to it: a read of twice zlib's buffer or more is
// decompressed straight into the caller's memory, and a write of its buffer or more is
// compressed straight from it, so no byte is copied on the way.
constexpr unsigned kZlibBufferBytes = 128 * 1024;
constexpr unsigned kPieceBytes = 2 * kZlibBufferBytes;

class HourglassWhileBusy {
  public:
    explicit HourglassWhileBusy(uint64_t bytes) {
        if (bytes >= kGzipBusyCursorBytes) {
            previous_ = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
            shown_ = true;
        }
    }
    ~HourglassWhileBusy() {
        if (shown_) SetCursor(previous_);
    }
    HourglassWhileBusy(const HourglassWhileBusy&) = delete;
    HourglassWhileBusy& operator=(const HourglassWhileBusy&) = delete;

  private:
    HCURSOR previous_ = nullptr;
    bool shown_ = false;
};

// The file the data is written to first, beside the target; it replaces the target only when
// complete and is removed otherwise.
class PendingTarget {
  public:
    explicit PendingTarget(std::string_view target)
        : target_(WidePath(target)), temp_(WidePath(std::string(target) + ".new~")) {}
    ~PendingTarget() {
        if (!committed_) DeleteFileW(temp_.c_str());
    }
    PendingTarget(const PendingTarget&) = delete;
    PendingTarget& operator=(const PendingTarget&) = delete;

    // A read-only file is not replaced, nor a folder (the replacing rename does not look at
    // the attribute everywhere).
    bool MayReplace() const {
        DWORD attributes = GetFileAttributesW(target_.c_str());
        return attributes == INVALID_FILE_ATTRIBUTES ||
               !(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
    }
    UniqueFile Create() const {
        if (!MayReplace()) return UniqueFile();
        return UniqueFile(CreateFileW(temp_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    }
    bool Commit() {
        committed_ = MoveFileExW(temp_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
        return committed_;
    }

  private:
    std::wstring target_, temp_;
    bool committed_ = false;
};

UniqueFile OpenForReading(std::string_view path) {
    return UniqueFile(CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

uint64_t SizeOf(HANDLE file) {
    LARGE_INTEGER size{};
    return GetFileSizeEx(file, &size) ? uint64_t(size.QuadPart) : 0;
}

// Hands the file to zlib, which closes it with the gzip file; a null result closes it too.
UniqueGzFile GzipOver(UniqueFile file, int openFlags, const std::string& mode) {
    int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file.Get()), openFlags | _O_BINARY);
    if (fd < 0) return UniqueGzFile();
    file.Release();
    UniqueGzFile gz(gzdopen(fd, mode.c_str()));
    if (!gz) {
        _close(fd);
        return gz;
    }
    gzbuffer(gz.Get(), kZlibBufferBytes);
    return gz;
}

std::string GzipErrorText(gzFile gz, std::string_view path) {
    int code = Z_OK;
    const char* text = gzerror(gz, &code);
    if (code == Z_ERRNO || !text || !*text) return "cannot write " + std::string(path);
    return std::string(text) + ": " + std::string(path);
}

bool WriteAll(HANDLE file, const char* data, size_t size) {
    while (size > 0) {
        DWORD written = 0;
        if (!WriteFile(file, data, DWORD(size), &written, nullptr) || written == 0) return false;
        data += written;
        size -= written;
    }
    return true;
}

}  // namespace

bool ZlibGzipStreams::Compress(std::string_view source, std::string_view target,
                               std::string_view mode, std::string& error) {
    UniqueFile in = OpenForReading(source);
    if (!in) {
        error = "cannot open " + std::string(source);
        return false;
    }
    HourglassWhileBusy hourglass(SizeOf(in.Get()));
    PendingTarget pending(target);
    UniqueGzFile gz = GzipOver(pending.Create(), _O_WRONLY, std::string(mode));
    if (!gz) {
        error = "cannot create " + std::string(target);
        return false;
    }
    std::unique_ptr<char[]> piece(new char[kPieceBytes]);
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(in.Get(), piece.get(), kPieceBytes, &got, nullptr)) {
            error = "cannot read " + std::string(source);
            return false;
        }
        if (got == 0) break;
        if (gzwrite(gz.Get(), piece.get(), unsigned(got)) < int(got)) {
            error = GzipErrorText(gz.Get(), target);
            return false;
        }
    }
    in.Reset();
    // Closing writes what is still buffered and the trailer: a failure here is a lost file.
    if (gzclose(gz.Release()) != Z_OK) {
        error = "cannot write " + std::string(target);
        return false;
    }
    if (!pending.Commit()) {
        error = "cannot replace " + std::string(target);
        return false;
    }
    return true;
}

bool ZlibGzipStreams::Decompress(std::string_view source, std::string_view target,
                                 std::string& error) {
    UniqueFile file = OpenForReading(source);
    if (!file) {
        error = "cannot open " + std::string(source);
        return false;
    }
    HourglassWhileBusy hourglass(SizeOf(file.Get()));
    UniqueGzFile gz = GzipOver(std::move(file), _O_RDONLY, "r");
    if (!gz) {
        error = "cannot open " + std::string(source);
        return false;
    }
    PendingTarget pending(target);
    UniqueFile out = pending.Create();
    if (!out) {
        error = "cannot create " + std::string(target);
        return false;
    }
    std::unique_ptr<char[]> piece(new char[kPieceBytes]);
    for (;;) {
        int got = gzread(gz.Get(), piece.get(), kPieceBytes);
        if (got < 0) {
            error = GzipErrorText(gz.Get(), source);
            return false;
        }
        if (got == 0) break;
        if (!WriteAll(out.Get(), piece.get(), size_t(got))) {
            error = "cannot write " + std::string(target);
            return false;
        }
    }
    // A member cut short ends the reading like the end of the file does; only the error
    // state tells them apart.
    int code = Z_OK;
    const char* text = gzerror(gz.Get(), &code);
    if (code != Z_OK) {
        error = std::string(text ? text : "damaged gzip data") + ": " + std::string(source);
        return false;
    }
    if (!CloseHandle(out.Release())) {
        error = "cannot write " + std::string(target);
        return false;
    }
    if (gzclose(gz.Release()) != Z_OK) {
        error = "damaged gzip data: " + std::string(source);
        return false;
    }
    if (!pending.Commit()) {
        error = "cannot replace " + std::string(target);
        return false;
    }
    return true;
}

}  // namespace lark
