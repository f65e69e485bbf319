#pragma once
// A program context on the real Windows file system, with the messages it would show recorded
// instead, for tests of what the program makes of the files lying on a disk.
#include <cstdint>
#include <string>

#include "config/context.h"
#include "config/settings.h"
#include "platform/fake/fake_messages.h"
#include "platform/fake/fake_platform.h"
#include "platform/win32/win32_platform.h"

namespace lark::test {

struct DiskApp {
    Win32FileSystem fs;
    FakeRegistry registry;
    Win32Clock clock;
    FakeMessages messages;
    Settings settings;
    AppContext ctx;
    // exeFolder holds the settings file; recentFolder stands for the shell's Recent folder.
    explicit DiskApp(const std::string& exeFolder, const std::string& recentFolder = "")
        : ctx{fs,     registry,  clock,       messages, settings, exeFolder + "\\Larkspire.exe",
              "jdoe", exeFolder, recentFolder} {}
};

// Reproducible junk: every byte value, NULs, line ends and "=" and "[" included.
inline std::string JunkBytes(size_t size, uint32_t seed = 12345) {
    std::string junk(size, '\0');
    for (char& c : junk) {
        seed = seed * 1664525u + 1013904223u;
        c = char(seed >> 24);
    }
    return junk;
}

}  // namespace lark::test
