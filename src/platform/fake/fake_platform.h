#pragma once
// In-memory stand-ins for the platform interfaces, for tests of the portable code.
#include <map>
#include <set>
#include <string>

#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/registry.h"

namespace lark {

class FakeFileSystem final : public FileSystem {
public:
    struct Entry {
        std::string path;  // as created, letter case kept
        std::string data;
        uint32_t attributes = kAttrArchive;
        int64_t writeTimeLocal = 0;
        int64_t creationTime = 0;
        int64_t accessTime = 0;
    };

    // Adds a file (creating its folders); returns it so a test can set times and attributes.
    Entry& AddFile(std::string_view path, std::string_view data = {});
    void AddFolder(std::string_view path);
    // Paths that refuse to be written (to test write failures).
    std::set<std::string> readOnlyPaths;
    // Paths whose reads fail although they exist.
    std::set<std::string> unreadablePaths;

    std::optional<FileInfo> Stat(std::string_view path) override;
    bool List(std::string_view folder, const std::function<void(const FileInfo&)>& each) override;
    std::optional<std::string> ReadWhole(std::string_view path) override;
    bool WriteWhole(std::string_view path, std::string_view data) override;
    bool Append(std::string_view path, std::string_view data) override;
    bool CreateFolder(std::string_view path) override;
    bool RemoveFile(std::string_view path) override;
    bool Rename(std::string_view from, std::string_view to) override;
    bool Copy(std::string_view from, std::string_view to) override;
    bool SetAttributes(std::string_view path, uint32_t attributes) override;
    bool SetTimes(std::string_view path, int64_t utcTicks) override;

    const Entry* Find(std::string_view path) const;

private:
    static std::string Key(std::string_view path);
    bool ParentExists(std::string_view path) const;
    std::map<std::string, Entry> entries_;  // key: upper-cased path without trailing "\"
};

class FakeRegistry final : public Registry {
public:
    std::optional<std::string> Read(RegistryRoot root, std::string_view key,
                                    std::string_view name) override;
    bool Write(RegistryRoot root, std::string_view key, std::string_view name,
               std::string_view value) override;
    std::map<std::string, std::string> values;  // "root|KEY|NAME" -> value
    int writes = 0;
    bool failWrites = false;
    static std::string Id(RegistryRoot root, std::string_view key, std::string_view name);
};

class FakeClock final : public Clock {
public:
    double Now() override { return now; }
    uint32_t TickCount() override { return tick; }
    int64_t FileTimeNow() override { return fileTimeNow; }
    double now = 45000.5;
    uint32_t tick = 1000;
    int64_t fileTimeNow = 133800000000000000;
};

}  // namespace lark
