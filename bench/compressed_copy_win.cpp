// Times the compressed copy and the erase on real files, one operation per start, for
// bench/actions.sh, which runs GNU gzip and dd on the same files and prints the ratios.
//   bench_compressed_copy_win.exe --make PATH MEGABYTES     mixed text and binary data
//   bench_compressed_copy_win.exe --copy SOURCE TARGET       CopyConvertingGzip; prints ms
//   bench_compressed_copy_win.exe --erase PATH               EraseFile; prints ms
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "actions/compressed_copy.h"
#include "actions/erase_file_win.h"
#include "actions/gzip_streams_win.h"
#include "platform/win32/encoding_win.h"
#include "platform/win32/handles_win.h"
#include "platform/win32/win32_platform.h"

namespace lark {
namespace {

// Pieces of 4 to 64 KB, in turn: text lines (about half), numeric records with small steps
// (a third) and random bytes (the rest), so both the matcher and the literal coder work.
class MixedData {
  public:
    void Fill(std::string& out, size_t size) {
        out.clear();
        while (out.size() < size) {
            size_t piece = 4096 + Next() % 61440;
            uint32_t kind = Next() % 6;
            if (kind < 3)
                Text(out, piece);
            else if (kind < 5)
                Records(out, piece);
            else
                Random(out, piece);
        }
        out.resize(size);
    }

  private:
    uint32_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return uint32_t(state_ >> 11);
    }
    void Text(std::string& out, size_t bytes) {
        static const char* const kWords[] = {
            "invoice", "the",    "report", "of",        "customer", "amount", "and",   "total",
            "March",   "order",  "number", "Larkspire", "search",   "folder", "index", "date",
            "value",   "letter", "to",     "from",      "paid",     "due",    "in",    "a"};
        size_t end = out.size() + bytes;
        while (out.size() < end) {
            out += kWords[Next() % 24];
            out += (Next() % 9 == 0) ? ", " : " ";
            if (Next() % 13 == 0) out += std::to_string(Next() % 100000);
            if (Next() % 11 == 0) out += "\r\n";
        }
    }
    void Records(std::string& out, size_t bytes) {
        uint32_t value = Next();
        for (size_t i = 0; i < bytes; i += 8) {
            value += Next() % 64;
            uint32_t tag = 0x00010000u | (Next() % 4);
            out.append(reinterpret_cast<const char*>(&value), 4);
            out.append(reinterpret_cast<const char*>(&tag), 4);
        }
    }
    void Random(std::string& out, size_t bytes) {
        for (size_t i = 0; i < bytes; i += 4) {
            uint32_t r = Next();
            out.append(reinterpret_cast<const char*>(&r), 4);
        }
    }
    uint64_t state_ = 0x2545F4914F6CDD1Dull;
};

bool MakeFile(const std::string& path, size_t megabytes) {
    std::string data;
    MixedData().Fill(data, megabytes << 20);
    UniqueFile file(CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    for (size_t done = 0; done < data.size();) {
        DWORD written = 0;
        DWORD piece = DWORD(std::min<size_t>(data.size() - done, 1u << 24));
        if (!WriteFile(file.Get(), data.data() + done, piece, &written, nullptr)) return false;
        done += written;
    }
    return true;
}

template <class Work>
double Milliseconds(Work work) {
    auto start = std::chrono::steady_clock::now();
    bool ok = work();
    double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    return ok ? ms : -1;
}

int Run(int argc, char** argv) {
    std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "--make" && argc == 4) return MakeFile(argv[2], std::stoul(argv[3])) ? 0 : 1;
    // In the program the windows are up before any copy: the first use of the cursor, which
    // sets up the window system in a fresh process, is not part of a copy's time.
    LoadCursorW(nullptr, IDC_WAIT);
    double ms = -1;
    if (mode == "--copy" && argc == 4) {
        Win32FileSystem fs;
        ZlibGzipStreams gzip;
        CompressedCopy copy(fs, gzip);
        ms = Milliseconds([&] { return copy.CopyConvertingGzip(argv[2], argv[3]); });
        if (ms < 0) std::fprintf(stderr, "copy failed: %s\n", copy.LastGzipError().c_str());
    } else if (mode == "--erase" && argc == 3) {
        ms = Milliseconds([&] { return EraseFile(argv[2], 42) == EraseResult::Erased; });
    } else {
        std::fprintf(stderr, "usage: --make PATH MB | --copy SOURCE TARGET | --erase PATH\n");
        return 2;
    }
    if (ms < 0) return 1;
    std::printf("%.1f\n", ms);
    return 0;
}

}  // namespace
}  // namespace lark

int main(int argc, char** argv) {
    return lark::Run(argc, argv);
}
