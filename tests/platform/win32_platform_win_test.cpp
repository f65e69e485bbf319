#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <set>
#include <thread>

#include "config/data_paths.h"
#include "base/file_helpers.h"
#include "config/registry_helpers.h"
#include "config/settings.h"
#include "base/text.h"
#include "config/win32_app_win.h"
#include "platform/win32/encoding_win.h"
#include "platform/win32/handles_win.h"
#include "platform/win32/shell_win.h"
#include "support/win_tree_helpers.h"

namespace lark {
namespace {

// Greek and Chinese letters, spelled as UTF-8 bytes.
const std::string kGreek = "\xce\x94\xce\xbf\xce\xba\xce\xb9\xce\xbc\xce\xae";  // Δοκιμή
const std::string kChinese = "\xe6\xb5\x8b\xe8\xaf\x95";                        // 测试

void RemoveTree(const std::string& path) {
    wintree::RemoveTree(Widen(path));
}

// A fresh folder in the system temporary folder, removed with everything in it.
class TempDir {
  public:
    TempDir() {
        path_ = TempFolderPathFromSystem() + "\\lark-" + std::to_string(GetCurrentProcessId()) +
                "-" + std::to_string(counter_++);
        RemoveTree(path_);
        CreateDirectoryW(WidePath(path_).c_str(), nullptr);
    }
    ~TempDir() { RemoveTree(path_); }
    const std::string& Path() const { return path_; }
    std::string operator/(std::string_view name) const { return path_ + "\\" + std::string(name); }

  private:
    std::string path_;
    static inline int counter_ = 0;
};

bool ExistsOnDisk(const std::string& path) {
    return GetFileAttributesW(WidePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::set<std::string> Names(FileSystem& fs, const std::string& folder) {
    std::set<std::string> names;
    fs.List(folder, [&](const FileInfo& info) { names.insert(info.name); });
    return names;
}

TEST(Win32FileSystem, StatReadWriteAppendRenameRemove) {
    TempDir dir;
    Win32FileSystem fs;
    const std::string a = dir / "a.txt", b = dir / "b.txt";
    const std::string binary("x\0y\r\n\xff", 6);
    ASSERT_TRUE(fs.WriteWhole(a, binary));
    EXPECT_EQ(fs.ReadWhole(a), binary);
    auto info = fs.Stat(a);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->size, 6u);
    EXPECT_FALSE(info->IsFolder());
    EXPECT_EQ(info->name, "a.txt");
    EXPECT_NE(info->writeTimeUtc, 0);
    EXPECT_NE(info->writeTimeLocal, 0);

    EXPECT_TRUE(fs.Append(a, "more"));
    EXPECT_EQ(fs.ReadWhole(a), binary + "more");
    EXPECT_TRUE(fs.Append(dir / "new.log", "line\r\n"));  // append creates
    EXPECT_EQ(fs.ReadWhole(dir / "new.log"), "line\r\n");

    EXPECT_TRUE(fs.Rename(a, b));
    EXPECT_FALSE(fs.Exists(a));
    EXPECT_EQ(fs.ReadWhole(b), binary + "more");
    EXPECT_FALSE(fs.Rename(dir / "new.log", b));  // never over an existing file
    EXPECT_TRUE(fs.RemoveFile(b));
    EXPECT_FALSE(fs.RemoveFile(b));

    EXPECT_TRUE(fs.IsFolder(dir.Path()));
    EXPECT_TRUE(fs.IsFolder(dir.Path() + "\\"));
    EXPECT_FALSE(fs.Stat(dir / "missing"));
    EXPECT_FALSE(fs.ReadWhole(dir / "missing"));
    EXPECT_FALSE(fs.ReadWhole(dir.Path()));
    EXPECT_TRUE(fs.CreateFolder(dir / "sub"));
    EXPECT_TRUE(fs.CreateFolder(dir / "sub"));  // already there is fine
    EXPECT_FALSE(fs.CreateFolder(dir / "no\\parent"));
    EXPECT_FALSE(fs.WriteWhole(dir / "no\\parent.txt", "x"));
    EXPECT_FALSE(fs.WriteWhole(dir / "sub", "x"));  // a folder is not replaced by a file
    EXPECT_TRUE(fs.IsFolder(dir / "sub"));
}

TEST(Win32FileSystem, ListShowsHiddenEntriesWithTheirAttributes) {
    TempDir dir;
    Win32FileSystem fs;
    ASSERT_TRUE(fs.WriteWhole(dir / "shown.txt", "12345"));
    ASSERT_TRUE(fs.WriteWhole(dir / "hidden.txt", ""));
    ASSERT_TRUE(SetFileAttributesW(WidePath(dir / "hidden.txt").c_str(),
                                   FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    ASSERT_TRUE(fs.CreateFolder(dir / "folder"));
    std::map<std::string, FileInfo> seen;
    ASSERT_TRUE(fs.List(dir.Path(), [&](const FileInfo& i) { seen[i.name] = i; }));
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_TRUE(seen["hidden.txt"].attributes & kAttrHidden);
    EXPECT_TRUE(seen["hidden.txt"].attributes & kAttrSystem);
    EXPECT_TRUE(seen["folder"].IsFolder());
    EXPECT_EQ(seen["shown.txt"].size, 5u);
    EXPECT_NE(seen["shown.txt"].writeTimeLocal, 0);
    EXPECT_FALSE(fs.List(dir / "missing", [](const FileInfo&) {}));
}

TEST(Win32FileSystem, WriteWholeReplacesCompletelyOrNotAtAll) {
    TempDir dir;
    Win32FileSystem fs;
    const std::string target = dir / "list.idx";
    ASSERT_TRUE(fs.WriteWhole(target, std::string(100000, 'o')));
    ASSERT_TRUE(fs.WriteWhole(target, "new"));
    EXPECT_EQ(fs.ReadWhole(target), "new");
    EXPECT_EQ(Names(fs, dir.Path()), std::set<std::string>{"list.idx"});  // no temp left

    {
        // While another program holds the file without letting it be replaced, the
        // rewrite fails and the old content stays whole.
        UniqueFile holder(CreateFileW(WidePath(target).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(holder);
        EXPECT_FALSE(fs.WriteWhole(target, "lost"));
    }
    EXPECT_EQ(fs.ReadWhole(target), "new");
    EXPECT_EQ(Names(fs, dir.Path()), std::set<std::string>{"list.idx"});
}

TEST(Win32FileSystem, PathsLongerThanMaxPath) {
    TempDir dir;
    Win32FileSystem fs;
    std::string deep = dir.Path();
    while (deep.size() < MAX_PATH + 40) deep += "\\folder-with-a-rather-long-name";
    const std::string file = deep + "\\f.txt";
    ASSERT_TRUE(ForceFolders(fs, file));
    EXPECT_TRUE(fs.IsFolder(deep));
    ASSERT_TRUE(fs.WriteWhole(file, "deep"));
    EXPECT_TRUE(fs.Append(file, "er"));
    EXPECT_EQ(fs.ReadWhole(file), "deeper");
    EXPECT_EQ(FileSizeOf(fs, file), 6u);
    EXPECT_EQ(Names(fs, deep), std::set<std::string>{"f.txt"});
    EXPECT_EQ(NextFolderEntry(fs, deep + "\\*.txt"), "f.txt");
    EXPECT_EQ(NextFolderEntry(fs, ""), "");
    EXPECT_TRUE(fs.Rename(file, deep + "\\g.txt"));
    EXPECT_TRUE(EnsureFileExists(fs, deep + "\\g.txt"));
    EXPECT_EQ(fs.ReadWhole(deep + "\\g.txt"), "deeper");
    EXPECT_TRUE(fs.RemoveFile(deep + "\\g.txt"));

    // Folders between 248 and 259 characters, which CreateDirectory refuses in short form.
    for (size_t length = 246; length < MAX_PATH + 2; ++length) {
        std::string folder = dir.Path() + "\\x";
        folder += std::string(length - folder.size(), 'y');
        EXPECT_TRUE(ForceFolders(fs, folder + "\\f.txt")) << length;
        EXPECT_TRUE(fs.WriteWhole(folder + "\\f.txt", "z")) << length;
        EXPECT_TRUE(fs.IsFile(folder + "\\f.txt")) << length;
    }
}

class TestKey {
  public:
    TestKey() : key_("Software\\Larkspire Tests\\" + std::to_string(GetCurrentProcessId())) {}
    ~TestKey() { RegDeleteTreeW(HKEY_CURRENT_USER, Widen(key_).c_str()); }
    const std::string& Key() const { return key_; }

  private:
    std::string key_;
};

TEST(Win32ShellExecutor, OpensADocumentDeeperThanMaxPath) {
    TempDir dir;
    std::string deep = dir.Path();
    while (deep.size() < MAX_PATH + 40) deep += "\\a-folder-with-a-long-name";
    Win32FileSystem fs;
    ASSERT_TRUE(ForceFolders(fs, deep + "\\"));
    const std::string copied = dir / "opened.txt";
    // A document type of this test's own whose "open" copies the document beside the tree.
    Win32Registry reg;
    reg.Write(RegistryRoot::ClassesRoot, ".lklongtest", "", "lklongtestfile");
    reg.Write(RegistryRoot::ClassesRoot, "lklongtestfile\\shell\\open\\command", "",
              "cmd.exe /c copy \"%1\" \"" + copied + "\"");
    struct Case {
        const char* what;
        std::string folder;
    } cases[] = {{"deep", deep},
                 {"just short of MAX_PATH", dir.Path() + "\\" + std::string(229 - dir.Path().size(), 'n')}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(ForceFolders(fs, c.folder + "\\"));
        const std::string doc = c.folder + "\\the document.lklongtest";
        ASSERT_TRUE(fs.WriteWhole(doc, c.what));
        DeleteFileW(WidePath(copied).c_str());
        Win32ShellExecutor shell;
        ShellRequest open;
        open.verb = "open";
        open.target = doc;
        EXPECT_GT(shell.Execute(open), 32);
        EXPECT_TRUE(wintree::WaitForPath(copied, 15000));
        Sleep(200);
        EXPECT_EQ(fs.ReadWhole(copied), std::optional<std::string>(c.what));
    }
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L".lklongtest");
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L"lklongtestfile");
}

TEST(Win32Registry, StringValuesOnly) {
    TestKey key;
    Win32Registry reg;
    const RegistryRoot hkcu = RegistryRoot::CurrentUser;
    EXPECT_FALSE(reg.Read(hkcu, key.Key(), "Top"));
    ASSERT_TRUE(reg.Write(hkcu, key.Key() + "\\Form\\fmOpen", "Top", "120"));
    EXPECT_EQ(reg.Read(hkcu, key.Key() + "\\form\\FMOPEN", "top"), "120");
    EXPECT_FALSE(reg.Read(hkcu, key.Key() + "\\Form\\fmOpen", "Left"));
    ASSERT_TRUE(reg.Write(hkcu, key.Key(), "", "default value"));
    EXPECT_EQ(reg.Read(hkcu, key.Key(), ""), "default value");
    ASSERT_TRUE(reg.Write(hkcu, key.Key(), "Empty", ""));
    EXPECT_EQ(reg.Read(hkcu, key.Key(), "Empty"), "");

    DWORD number = 5;
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, Widen(key.Key()).c_str(), L"Number", REG_DWORD,
                              &number, sizeof number),
              ERROR_SUCCESS);
    EXPECT_FALSE(reg.Read(hkcu, key.Key(), "Number"));
    EXPECT_EQ(ReadRegistryString(reg, hkcu, key.Key(), "Number", "d"), "d");
    EXPECT_EQ(ReadRegistryString(reg, hkcu, key.Key(), "Empty", "d"), "d");
    EXPECT_EQ(ReadRegistryString(reg, hkcu, key.Key() + "\\Missing", "x", "d"), "d");
    EXPECT_FALSE(WriteRegistryString(reg, hkcu, "", "x", "y"));
}

TEST(Win32Registry, OptionsRoundTripUnderTheProgramKey) {
    Win32Registry reg;
    const std::string name = "Test " + kGreek + kChinese;
    ASSERT_TRUE(WriteOption(reg, name, kChinese + " " + kGreek));
    EXPECT_EQ(ReadOption(reg, name, ""), kChinese + " " + kGreek);
    std::wstring wideValue;
    wchar_t buffer[64] = {};
    DWORD bytes = sizeof buffer;
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, Widen(kOptionsKey).c_str(), Widen(name).c_str(),
                           RRF_RT_REG_SZ, nullptr, buffer, &bytes),
              ERROR_SUCCESS);
    EXPECT_EQ(Narrow(buffer), kChinese + " " + kGreek);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, Widen(kOptionsKey).c_str(), Widen(name).c_str());
    EXPECT_EQ(ReadOption(reg, name, "gone"), "gone");
}

// The test program's own files: settings and data locations on the real disk.
struct DiskApp {
    Win32FileSystem fs;
    Win32Registry registry;
    Win32Clock clock;
    Win32Messages messages;  // never shown: every call below succeeds
    Settings settings;
    AppContext ctx;
    explicit DiskApp(const std::string& exeFolder)
        : ctx{fs,       registry,
              clock,    messages,
              settings, exeFolder + "\\Larkspire.exe",
              "jdoe",   TempFolderPathFromSystem(),
              ""} {}
};

TEST(UnicodeNames, SurviveEveryPathHelper) {
    TempDir dir;
    Win32FileSystem fs;
    const std::string folder = dir / (kGreek + " " + kChinese);
    const std::string file = folder + "\\" + kChinese + "\\" + kGreek + ".TXT";
    EXPECT_EQ(FolderOfPath(file), folder + "\\" + kChinese);
    EXPECT_EQ(FileNameOf(file), kGreek + ".TXT");
    EXPECT_EQ(FileExtensionOf(file), "txt");
    EXPECT_EQ(FileBaseName(file), kGreek);
    EXPECT_TRUE(IsValidFileName(file));

    ASSERT_TRUE(EnsureFileExists(fs, file));
    EXPECT_TRUE(ExistsOnDisk(file));
    ASSERT_TRUE(fs.Append(file, kChinese));
    EXPECT_EQ(FileSizeOf(fs, file), kChinese.size());
    EXPECT_EQ(NextFolderEntry(fs, folder + "\\*.*"), kChinese);
    EXPECT_EQ(NextFolderEntry(fs, ""), "");
    EXPECT_EQ(NextFolderEntry(fs, folder + "\\" + kChinese + "\\*.txt"), kGreek + ".TXT");
    EXPECT_EQ(Names(fs, folder + "\\" + kChinese), std::set<std::string>{kGreek + ".TXT"});
    ASSERT_TRUE(fs.Rename(file, folder + "\\" + kChinese + ".txt"));
    EXPECT_EQ(fs.ReadWhole(folder + "\\" + kChinese + ".txt"), kChinese);
}

TEST(UnicodeNames, SettingsFileRoundTripsOnDisk) {
    TempDir dir;
    const std::string exeFolder = dir / (kGreek + kChinese);
    const std::string include = dir / (kChinese + "\\" + kGreek);
    {
        DiskApp app(exeFolder);
        ASSERT_TRUE(ForceFolders(app.fs, exeFolder + "\\"));
        app.settings.DataLocation = dir / ("Larkspire " + kGreek);
        TSearchSet& set = GetOrAddSearchSet(app.settings, kGreek + " " + kChinese);
        set.IncludePaths = include + ";D:\\Other;";
        set.ExcludePaths = include + "\\" + kChinese + ";";
        GetOrAddSearchSet(app.settings, "<Default>").IncludePaths = include + ";";
        ASSERT_TRUE(SaveSettings(app.ctx, "15", "40", "*" + kChinese + "*"));
        EXPECT_TRUE(ExistsOnDisk(exeFolder + "\\LARKSPIRE.ini"));
    }
    DiskApp app(exeFolder);
    ASSERT_TRUE(LoadSettings(app.ctx));
    EXPECT_EQ(app.settings.DataLocation, dir / ("Larkspire " + kGreek));
    EXPECT_EQ(app.settings.ExcludeFromRecentEdits, "*" + kChinese + "*");
    EXPECT_EQ(app.settings.RefreshMinutes, 15);
    TSearchSet* set = FindSearchSet(app.settings, kGreek + " " + kChinese);
    ASSERT_NE(set, nullptr);
    EXPECT_EQ(set->IncludePaths, include + ";D:\\Other;");
    EXPECT_EQ(set->ExcludePaths, include + "\\" + kChinese + ";");
    ASSERT_NE(app.settings.CurrentSearchSet, nullptr);
    EXPECT_EQ(app.settings.CurrentSearchSet->IncludePaths, include + ";");

    // The data folders land under the Unicode location, and the writers can create them.
    EXPECT_EQ(IndexFilePath(app.ctx), dir / ("Larkspire " + kGreek + "\\All Users\\All files.idx"));
    EXPECT_TRUE(EnsureFileExists(app.fs, MyRecentFilesPath(app.ctx)));
    EXPECT_TRUE(ExistsOnDisk(dir / ("Larkspire " + kGreek + "\\jdoe\\Recent files.idx")));
}

TEST(UnicodeNames, UserDataFolderSeesRealFolders) {
    TempDir dir;
    DiskApp app(dir.Path());
    const std::string user = kGreek;
    app.settings.DataLocation = dir.Path();
    EXPECT_EQ(UserDataFolder(app.ctx, user), dir / ("Larkspire\\" + user + "\\"));
    ASSERT_TRUE(app.fs.CreateFolder(dir / user));
    EXPECT_EQ(UserDataFolder(app.ctx, user), dir / (user + "\\Larkspire\\"));
    ASSERT_TRUE(app.fs.CreateFolder(dir / (user + "\\Application Data")));
    EXPECT_EQ(UserDataFolder(app.ctx, user), dir / (user + "\\Application Data\\Larkspire\\"));
}

TEST(LoadSettings, UnreadableFileIsReportedLikeAMissingOne) {
    TempDir dir;
    DiskApp app(dir.Path());
    ASSERT_TRUE(app.fs.WriteWhole(dir / "LARKSPIRE.ini", "[General]\r\nRefreshMinutes=5\r\n"));
    // Another program writing the file refuses readers.
    UniqueFile writer(CreateFileW(WidePath(dir / "LARKSPIRE.ini").c_str(), GENERIC_WRITE, 0,
                                  nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(writer);
    struct Recorder final : Messages {
        void Error(std::string_view t) override { errors.emplace_back(t); }
        bool Confirm(std::string_view) override { return false; }
        void Info(std::string_view) override {}
        void Warning(std::string_view) override {}
        std::vector<std::string> errors;
    } recorder;
    AppContext ctx{app.fs,          app.registry, app.clock, recorder, app.settings,
                   app.ctx.exePath, "jdoe",       "",        ""};
    EXPECT_FALSE(LoadSettings(ctx));
    EXPECT_EQ(recorder.errors,
              std::vector<std::string>{"Config file not found: " + (dir / "LARKSPIRE.ini")});
    EXPECT_EQ(app.settings.RefreshMinutes, 0);
}

}  // namespace
}  // namespace lark
