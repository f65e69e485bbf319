#pragma once
// A run's disk on Windows. A replacement goes to a file beside its target and takes the
// target's place in one rename, so a failure at any point leaves the target as it was.
#include "replace/replace_files.h"

namespace lark {

class Win32ReplaceFiles final : public ReplaceFiles {
  public:
    std::optional<FileInfo> Stat(std::string_view path) override;
    std::unique_ptr<InputFile> OpenRead(std::string_view path) override;
    std::unique_ptr<OutputFile> CreateLog(std::string_view path) override;
    std::unique_ptr<ReplacementFile> CreateReplacement(std::string_view path,
                                                       uint32_t attributes) override;
    bool SetAttributes(std::string_view path, uint32_t attributes) override;
    bool CopyForBackup(std::string_view path, std::string_view backupPath) override;
};

}  // namespace lark
