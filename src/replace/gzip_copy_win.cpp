#include "replace/gzip_copy_win.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <zlib.h>

#include <vector>

#include "platform/win32/handles_win.h"
#include "platform/win32/win32_platform.h"

namespace lark {

namespace {

// zlib opens narrow names only; the file is opened with the wide API and handed over.
gzFile OpenGzipForReading(std::string_view path) {
    UniqueFile file(CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return nullptr;
    int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file.Get()), _O_RDONLY | _O_BINARY);
    if (fd == -1) return nullptr;
    file.Release();  // the descriptor owns it now
    gzFile gz = gzdopen(fd, "rb");
    if (!gz) _close(fd);
    return gz;
}

bool CopyOut(gzFile gz, HANDLE target) {
    std::vector<char> buffer(256 * 1024);
    for (;;) {
        int got = gzread(gz, buffer.data(), unsigned(buffer.size()));
        if (got < 0) return false;
        if (got == 0) return true;
        DWORD written = 0;
        if (!WriteFile(target, buffer.data(), DWORD(got), &written, nullptr) ||
            written != DWORD(got))
            return false;
    }
}

}  // namespace

bool GzipDecompressCopy(std::string_view gzipFile, std::string_view target) {
    gzFile gz = OpenGzipForReading(gzipFile);
    if (!gz) return false;
    const std::wstring wideTarget = WidePath(target);
    bool copied = false;
    {
        UniqueFile out(CreateFileW(wideTarget.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
        copied = out && CopyOut(gz, out.Get());
        // A damaged stream shows at its end, where the check sum is compared.
        if (gzclose(gz) != Z_OK) copied = false;
        if (!out) return false;
    }
    if (!copied) DeleteFileW(wideTarget.c_str());
    return copied;
}

}  // namespace lark
