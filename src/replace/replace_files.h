#pragma once
// What a search and replace run needs of the disk: files read as bytes from start to end, a
// replacement written beside its file and put in its place only when complete, the log,
// attributes, times and the backup copy.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace lark {

// FILETIME ticks; 0 leaves that time as the system sets it.
struct FileTimes {
    int64_t creation = 0;
    int64_t lastAccess = 0;
    int64_t lastWrite = 0;
};

class InputFile {
  public:
    virtual ~InputFile() = default;
    virtual uint64_t Size() const = 0;
    // The file's times as they were when it was opened, before reading it counted as an
    // access.
    virtual std::optional<FileTimes> Times() const = 0;
    virtual uint32_t Attributes() const = 0;
    // Bytes read into `into` (fewer than count only at the end), 0 at the end, -1 on an
    // error.
    virtual int64_t Read(char* into, size_t count) = 0;
};

class OutputFile {
  public:
    virtual ~OutputFile() = default;
    virtual bool Write(std::string_view data) = 0;
};

// The new content of a file, written beside it. Until Commit the file itself is untouched;
// a replacement destroyed without Commit is removed.
class ReplacementFile : public OutputFile {
  public:
    // Closes the replacement, gives it the attributes and the times that are not 0, and puts
    // it in the place of the file. False: the file is as it was and the replacement is gone.
    virtual bool Commit(uint32_t attributes, const FileTimes& times) = 0;
};

class ReplaceFiles {
  public:
    virtual ~ReplaceFiles() = default;
    virtual std::optional<FileInfo> Stat(std::string_view path) = 0;
    // Null when the file cannot be opened for reading.
    virtual std::unique_ptr<InputFile> OpenRead(std::string_view path) = 0;
    // A new, empty file (an existing one is emptied); null when it cannot be created.
    virtual std::unique_ptr<OutputFile> CreateLog(std::string_view path) = 0;
    // path + ".out" beside the file (another free name when that one is taken), made with
    // the attributes the file will have.
    virtual std::unique_ptr<ReplacementFile> CreateReplacement(std::string_view path,
                                                               uint32_t attributes) = 0;
    virtual bool SetAttributes(std::string_view path, uint32_t attributes) = 0;
    // Copies the file to backupPath, overwriting it; a file whose name ends in ".gz" is
    // copied decompressed.
    virtual bool CopyForBackup(std::string_view path, std::string_view backupPath) = 0;
};

}  // namespace lark
