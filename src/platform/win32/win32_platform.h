#pragma once
// The Win32 implementations of the portable code's platform interfaces, and the few
// system facts the program asks Windows for.
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/registry.h"

namespace lark {

class Win32FileSystem final : public FileSystem {
public:
    std::optional<FileInfo> Stat(std::string_view path) override;
    bool List(std::string_view folder, const std::function<void(const FileInfo&)>& each) override;
    std::optional<std::string> ReadWhole(std::string_view path) override;
    bool ReadWholeInto(std::string_view path, std::string& text) override;
    // Maps files on fixed local drives; anything else (a network share or a removable
    // drive that may vanish mid-read) is read into memory.
    std::shared_ptr<const WholeFile> OpenWhole(std::string_view path) override;
    bool WriteWhole(std::string_view path, std::string_view data) override;
    bool Append(std::string_view path, std::string_view data) override;
    bool CreateFolder(std::string_view path) override;
    bool RemoveFile(std::string_view path) override;
    bool Rename(std::string_view from, std::string_view to) override;
    bool Copy(std::string_view from, std::string_view to) override;
    bool SetAttributes(std::string_view path, uint32_t attributes) override;
    bool SetTimes(std::string_view path, int64_t utcTicks) override;
};

class Win32Registry final : public Registry {
public:
    std::optional<std::string> Read(RegistryRoot root, std::string_view key,
                                    std::string_view name) override;
    bool Write(RegistryRoot root, std::string_view key, std::string_view name,
               std::string_view value) override;
};

class Win32Clock final : public Clock {
public:
    double Now() override;
    uint32_t TickCount() override;
    int64_t FileTimeNow() override;
};

// A path as the wide API takes it; paths near MAX_PATH characters or longer get the
// "\\?\" long-path form so deep folders can still be listed.
std::wstring WidePath(std::string_view path);

std::string ExecutablePath();
std::string UserLoginNameFromSystem();
std::string TempFolderPathFromSystem();
std::string RecentFolderPathFromSystem();

}  // namespace lark
