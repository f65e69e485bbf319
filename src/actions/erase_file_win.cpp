#include "actions/erase_file_win.h"

#include <windows.h>

#include <cstring>
#include <memory>

#include "platform/win32/handles_win.h"
#include "platform/win32/win32_platform.h"

namespace lark {

namespace {

// splitmix64: cheap enough that the disk, not the generator, sets the pace.
class RandomBytes {
  public:
    explicit RandomBytes(uint64_t seed) : state_(seed) {}
    void Fill(unsigned char* into, size_t size) {
        size_t i = 0;
        for (; i + 8 <= size; i += 8) {
            uint64_t word = Next();
            std::memcpy(into + i, &word, 8);
        }
        if (i < size) {
            uint64_t word = Next();
            for (; i < size; ++i, word >>= 8) into[i] = static_cast<unsigned char>(word);
        }
    }

  private:
    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    uint64_t state_;
};

// The pass over the whole length, on the disk before the file goes: a pass left in the
// system's cache may be dropped unwritten once the file is deleted.
bool OverwriteAll(HANDLE file, uint64_t seed) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) return false;
    RandomBytes random(seed);
    std::unique_ptr<unsigned char[]> block(new unsigned char[kEraseBlockBytes]);
    for (uint64_t left = uint64_t(size.QuadPart); left > 0;) {
        DWORD piece = DWORD(left < kEraseBlockBytes ? left : kEraseBlockBytes);
        random.Fill(block.get(), piece);
        DWORD written = 0;
        if (!WriteFile(file, block.get(), piece, &written, nullptr) || written != piece)
            return false;
        left -= piece;
    }
    return FlushFileBuffers(file) != 0;
}

}  // namespace

EraseResult EraseFile(std::string_view path, uint64_t seed) {
    std::wstring wide = WidePath(path);
    // Read-only files are kept from writing everywhere, also where the system would let an
    // administrator in.
    DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY))
        return EraseResult::NotOpened;
    UniqueFile file(CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return EraseResult::NotOpened;
    if (!OverwriteAll(file.Get(), seed)) return EraseResult::Failed;
    if (!CloseHandle(file.Release())) return EraseResult::Failed;
    return DeleteFileW(wide.c_str()) ? EraseResult::Erased : EraseResult::Failed;
}

}  // namespace lark
