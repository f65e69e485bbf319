#pragma once
// Real folders and files in the system temporary folder for the Windows tests.
#include <windows.h>

#include <string>
#include <string_view>

#include "platform/win32/encoding_win.h"
#include "platform/win32/handles_win.h"
#include "platform/win32/win32_platform.h"
#include "support/win_tree_helpers.h"

namespace lark::test {

inline void RemoveTree(const std::string& path) {
    wintree::RemoveTree(Widen(path));
}

class TempDir {
  public:
    TempDir() {
        static int counter = 0;
        path_ = TempFolderPathFromSystem() + "\\lark-views-" +
                std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
        RemoveTree(path_);
        CreateDirectoryW(WidePath(path_).c_str(), nullptr);
    }
    ~TempDir() { RemoveTree(path_); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string operator/(std::string_view name) const { return path_ + "\\" + std::string(name); }

  private:
    std::string path_;
};

inline bool WriteFileBytes(const std::string& path, std::string_view bytes) {
    UniqueFile file(CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.Get(), bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

inline bool MakeFolder(const std::string& path) {
    return CreateDirectoryW(WidePath(path).c_str(), nullptr) != 0;
}

inline bool Exists(const std::string& path) {
    return GetFileAttributesW(WidePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace lark::test
