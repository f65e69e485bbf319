#include "platform/win32/win32_platform.h"

#include <shlobj.h>
#include <windows.h>

#include "base/date_time.h"
#include "platform/win32/encoding_win.h"
#include "platform/win32/handles_win.h"

namespace lark {

std::wstring WidePath(std::string_view path) {
    std::wstring wide = Widen(path);
    // CreateDirectory refuses short-form folders from MAX_PATH - 12 characters on.
    if (wide.size() >= MAX_PATH - 12 && wide.rfind(L"\\\\?\\", 0) != 0) {
        if (wide.size() > 2 && wide[1] == L':' && wide[2] == L'\\') return L"\\\\?\\" + wide;
        if (wide.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + wide.substr(2);
    }
    return wide;
}

static int64_t ToInt64(const FILETIME& ft) {
    return (int64_t(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

static int64_t LocalTicks(const FILETIME& utc) {
    if (utc.dwHighDateTime == 0 && utc.dwLowDateTime == 0) return 0;
    FILETIME local;
    if (!FileTimeToLocalFileTime(&utc, &local)) return 0;
    return ToInt64(local);
}

std::optional<FileInfo> Win32FileSystem::Stat(std::string_view path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    std::wstring wide = WidePath(path);
    if (wide.empty() || !GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    FileInfo info;
    info.name = std::string(path.substr(path.find_last_of("\\:") + 1));
    info.attributes = data.dwFileAttributes;
    info.size = (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    info.writeTimeUtc = ToInt64(data.ftLastWriteTime);
    info.writeTimeLocal = LocalTicks(data.ftLastWriteTime);
    return info;
}

bool Win32FileSystem::List(std::string_view folder,
                           const std::function<void(const FileInfo&)>& each) {
    std::string pattern(folder);
    if (pattern.empty() || pattern.back() != '\\') pattern += '\\';
    pattern += '*';
    WIN32_FIND_DATAW fd;
    UniqueFind find(FindFirstFileExW(WidePath(pattern).c_str(), FindExInfoBasic, &fd,
                                     FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find) return false;
    do {
        if (fd.cFileName[0] == L'.' &&
            (fd.cFileName[1] == 0 || (fd.cFileName[1] == L'.' && fd.cFileName[2] == 0)))
            continue;
        FileInfo info;
        info.name = Narrow(fd.cFileName);
        info.attributes = fd.dwFileAttributes;
        info.size = (uint64_t(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
        info.writeTimeUtc = ToInt64(fd.ftLastWriteTime);
        info.writeTimeLocal = LocalTicks(fd.ftLastWriteTime);
        each(info);
    } while (FindNextFileW(find.Get(), &fd));
    return true;
}

// Readers refuse concurrent writers, so a file being rewritten is never read half-done.
static UniqueFile OpenForWholeRead(std::string_view path) {
    return UniqueFile(CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

static bool ReadAllInto(HANDLE file, std::string& data) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size) || uint64_t(size.QuadPart) > SIZE_MAX / 2) return false;
    // Only the bytes past the old size are cleared first; the read overwrites the rest.
    data.resize(size_t(size.QuadPart));
    size_t done = 0;
    while (done < data.size()) {
        DWORD chunk = DWORD(std::min<size_t>(data.size() - done, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(file, data.data() + done, chunk, &got, nullptr)) return false;
        if (got == 0) break;
        done += got;
    }
    data.resize(done);
    return true;
}

static std::optional<std::string> ReadAll(HANDLE file) {
    std::string data;
    if (!ReadAllInto(file, data)) return std::nullopt;
    return data;
}

std::optional<std::string> Win32FileSystem::ReadWhole(std::string_view path) {
    UniqueFile file = OpenForWholeRead(path);
    if (!file) return std::nullopt;
    return ReadAll(file.Get());
}

bool Win32FileSystem::ReadWholeInto(std::string_view path, std::string& text) {
    UniqueFile file = OpenForWholeRead(path);
    return file && ReadAllInto(file.Get(), text);
}

namespace {

// A read-only view of a whole file. The file stays open, sharing reads only, until the view
// goes: no program can write it meanwhile.
class MappedWholeFile final : public WholeFile {
public:
    MappedWholeFile(UniqueFile file, UniqueKernelHandle mapping, const void* view, size_t size)
        : file_(std::move(file)), mapping_(std::move(mapping)), view_(view), size_(size) {}
    ~MappedWholeFile() override { UnmapViewOfFile(view_); }
    MappedWholeFile(const MappedWholeFile&) = delete;
    MappedWholeFile& operator=(const MappedWholeFile&) = delete;
    std::string_view Text() const override {
        return std::string_view(static_cast<const char*>(view_), size_);
    }
    bool HoldsFileOpen() const override { return true; }

private:
    UniqueFile file_;
    UniqueKernelHandle mapping_;
    const void* view_;
    size_t size_;
};

// Whether the file lives on a fixed local drive. A mapped file that vanishes mid-read (a
// network share that drops, a drive pulled out) faults the reading thread instead of failing
// a read, so only such drives are mapped.
bool OnFixedDrive(std::string_view path) {
    wchar_t volume[MAX_PATH + 1];
    if (!GetVolumePathNameW(WidePath(path).c_str(), volume, MAX_PATH + 1)) return false;
    return GetDriveTypeW(volume) == DRIVE_FIXED;
}

}  // namespace

std::shared_ptr<const WholeFile> Win32FileSystem::OpenWhole(std::string_view path) {
    UniqueFile file = OpenForWholeRead(path);
    if (!file) return nullptr;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size)) return nullptr;
    // An empty file cannot be mapped.
    if (size.QuadPart > 0 && uint64_t(size.QuadPart) <= SIZE_MAX && OnFixedDrive(path)) {
        UniqueKernelHandle mapping(
            CreateFileMappingW(file.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
        const void* view = mapping ? MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, 0) : nullptr;
        if (view)
            return std::make_shared<const MappedWholeFile>(std::move(file), std::move(mapping),
                                                           view, size_t(size.QuadPart));
    }
    std::optional<std::string> text = ReadAll(file.Get());
    return text ? WholeFileFromText(std::move(*text)) : nullptr;
}

static bool WriteAll(HANDLE file, std::string_view data) {
    while (!data.empty()) {
        DWORD chunk = DWORD(std::min<size_t>(data.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, data.data(), chunk, &written, nullptr) || written == 0) return false;
        data.remove_prefix(written);
    }
    return true;
}

bool Win32FileSystem::WriteWhole(std::string_view path, std::string_view data) {
    // A read-only file is not replaced. Windows refuses the replacing move itself; Wine
    // would replace it, so the rule is kept here for both.
    const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return false;
    // Write beside the target first and replace it only when complete.
    std::string temp = std::string(path) + std::string(kWholeWriteTempSuffix);
    std::wstring wideTemp = WidePath(temp);
    {
        UniqueFile file(CreateFileW(wideTemp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        if (!WriteAll(file.Get(), data)) {
            file.Reset();
            DeleteFileW(wideTemp.c_str());
            return false;
        }
    }
    if (!MoveFileExW(wideTemp.c_str(), WidePath(path).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(wideTemp.c_str());
        return false;
    }
    return true;
}

bool Win32FileSystem::Append(std::string_view path, std::string_view data) {
    UniqueFile file(CreateFileW(WidePath(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && WriteAll(file.Get(), data);
}

bool Win32FileSystem::CreateFolder(std::string_view path) {
    return CreateDirectoryW(WidePath(path).c_str(), nullptr) ||
           GetLastError() == ERROR_ALREADY_EXISTS;
}

bool Win32FileSystem::RemoveFile(std::string_view path) {
    return DeleteFileW(WidePath(path).c_str()) != 0;
}

bool Win32FileSystem::Rename(std::string_view from, std::string_view to) {
    return MoveFileW(WidePath(from).c_str(), WidePath(to).c_str()) != 0;
}

// A read-only file is not replaced, nor a folder; the rename that replaces a target does not
// look at the attribute everywhere (Wine's does not), so it is looked at here.
static bool MayReplace(const std::wstring& target) {
    DWORD attributes = GetFileAttributesW(target.c_str());
    return attributes == INVALID_FILE_ATTRIBUTES ||
           !(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
}

bool Win32FileSystem::Copy(std::string_view from, std::string_view to) {
    if (!MayReplace(WidePath(to))) return false;
    // The copy is made beside the target and replaces it only when complete.
    std::wstring wideTemp = WidePath(std::string(to) + ".new~");
    if (!CopyFileW(WidePath(from).c_str(), wideTemp.c_str(), FALSE)) {
        DeleteFileW(wideTemp.c_str());
        return false;
    }
    if (!MoveFileExW(wideTemp.c_str(), WidePath(to).c_str(), MOVEFILE_REPLACE_EXISTING)) {
        // The copy of a read-only file is read-only too.
        SetFileAttributesW(wideTemp.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(wideTemp.c_str());
        return false;
    }
    return true;
}

bool Win32FileSystem::SetAttributes(std::string_view path, uint32_t attributes) {
    return SetFileAttributesW(WidePath(path).c_str(), attributes ? attributes : kAttrNormal) != 0;
}

bool Win32FileSystem::SetTimes(std::string_view path, int64_t utcTicks) {
    UniqueFile file(CreateFileW(WidePath(path).c_str(), FILE_WRITE_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) return false;
    FILETIME moment = {DWORD(uint64_t(utcTicks)), DWORD(uint64_t(utcTicks) >> 32)};
    return SetFileTime(file.Get(), &moment, &moment, &moment) != 0;
}

static HKEY RootKey(RegistryRoot root) {
    switch (root) {
        case RegistryRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
        case RegistryRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
        case RegistryRoot::CurrentUser: break;
    }
    return HKEY_CURRENT_USER;
}

std::optional<std::string> Win32Registry::Read(RegistryRoot root, std::string_view key,
                                               std::string_view name) {
    HKEY raw = nullptr;
    if (RegOpenKeyExW(RootKey(root), Widen(key).c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS)
        return std::nullopt;
    UniqueRegKey hkey(raw);
    std::wstring wideName = Widen(name);
    DWORD type = 0, bytes = 0;
    if (RegQueryValueExW(hkey.Get(), wideName.c_str(), nullptr, &type, nullptr, &bytes) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::nullopt;
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = DWORD(value.size() * sizeof(wchar_t));
    if (RegQueryValueExW(hkey.Get(), wideName.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(value.data()), &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    value.resize(wcsnlen(value.c_str(), value.size()));
    return Narrow(value);
}

bool Win32Registry::Write(RegistryRoot root, std::string_view key, std::string_view name,
                          std::string_view value) {
    HKEY raw = nullptr;
    if (RegCreateKeyExW(RootKey(root), Widen(key).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &raw,
                        nullptr) != ERROR_SUCCESS)
        return false;
    UniqueRegKey hkey(raw);
    std::wstring wideValue = Widen(value);
    return RegSetValueExW(hkey.Get(), name.empty() ? nullptr : Widen(name).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(wideValue.c_str()),
                          DWORD((wideValue.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

double Win32Clock::Now() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return EncodeDateTime({st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond,
                           st.wMilliseconds});
}

uint32_t Win32Clock::TickCount() { return GetTickCount(); }

int64_t Win32Clock::FileTimeNow() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return ToInt64(now);
}

std::string ExecutablePath() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
        if (n < buffer.size()) {
            buffer.resize(n);
            return Narrow(buffer);
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string UserLoginNameFromSystem() {
    wchar_t buffer[144];
    DWORD size = 142;
    if (!GetUserNameW(buffer, &size)) return std::string();
    return Narrow(buffer);
}

std::string TempFolderPathFromSystem() {
    wchar_t buffer[MAX_PATH + 1];
    DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
    if (n == 0 || n > MAX_PATH) return std::string();
    std::wstring path(buffer, n);
    if (!path.empty() && path.back() == L'\\') path.pop_back();
    return Narrow(path);
}

std::string RecentFolderPathFromSystem() {
    wchar_t buffer[MAX_PATH + 1] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_RECENT, nullptr, SHGFP_TYPE_CURRENT, buffer)))
        return std::string();
    return Narrow(buffer);
}

}  // namespace lark
