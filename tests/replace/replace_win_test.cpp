// Runs on real files in a temporary folder: what reaches the disk, the registry's file
// types, gzip backups, times, a failed replacement, and Stop in the activity window.
#include <gtest/gtest.h>
#include <windows.h>
#include <zlib.h>

#include <regex>
#include <thread>

#include "config/context.h"
#include "config/settings.h"
#include "fake_replace.h"
#include "platform/fake/fake_messages.h"
#include "platform/win32/encoding_win.h"
#include "platform/win32/handles_win.h"
#include "platform/win32/win32_platform.h"
#include "replace/replace_files_win.h"
#include "replace/replace_window_win.h"
#include "res/replace_ids.h"
#include "search/criteria.h"
#include "support/win_tree_helpers.h"
#include "support/window_test_helpers.h"

namespace lark {
namespace {

using wintree::TempTree;

FileTimes TimesOf(const std::string& path) {
    UniqueFile file(CreateFileW(Widen(path).c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                nullptr));
    FILETIME c{}, a{}, w{};
    GetFileTime(file.Get(), &c, &a, &w);
    auto ticks = [](const FILETIME& t) {
        return int64_t((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime);
    };
    return {ticks(c), ticks(a), ticks(w)};
}

void SetTimes(const std::string& path, int64_t creation, int64_t access, int64_t write) {
    UniqueFile file(CreateFileW(Widen(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ,
                                nullptr, OPEN_EXISTING, 0, nullptr));
    auto ft = [](int64_t t) { return FILETIME{DWORD(t & 0xFFFFFFFF), DWORD(uint64_t(t) >> 32)}; };
    FILETIME c = ft(creation), a = ft(access), w = ft(write);
    SetFileTime(file.Get(), &c, &a, &w);
}

// Every file below root with its content, so a run that must write nothing can be checked.
std::map<std::string, std::string> Snapshot(const std::string& root) {
    std::map<std::string, std::string> files;
    WIN32_FIND_DATAW fd;
    UniqueFind find(FindFirstFileW(Widen(root + "\\*").c_str(), &fd));
    if (!find) return files;
    do {
        std::string name = Narrow(fd.cFileName);
        if (name == "." || name == "..") continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            for (auto& [path, data] : Snapshot(root + "\\" + name))
                files[name + "\\" + path] = data;
        } else {
            files[name] = wintree::ReadAll(root + "\\" + name);
        }
    } while (FindNextFileW(find.Get(), &fd));
    return files;
}

// A loaded machine may take a second over a run: stamps are compared by their form.
std::string AnyStamp(const std::string& text) {
    static const std::regex stamp("[0-9]+:[0-5][0-9]:[0-5][0-9]>");
    return std::regex_replace(text, stamp, "0:00:00>");
}

void WriteGzip(const std::string& path, const std::string& data) {
    gzFile gz = gzopen_w(Widen(path).c_str(), "wb0");  // stored: the text stays readable
    ASSERT_NE(gz, nullptr);
    gzwrite(gz, data.data(), unsigned(data.size()));
    gzclose(gz);
}

class ReplaceOnDisk : public ::testing::Test {
  protected:
    ReplaceOnDisk() { c.Logfile = tree.Path("log\\replace.log"); }

    std::unique_ptr<ReplaceRun> Run(bool searchOnly, const std::vector<std::string>& names) {
        host.searchResult.clear();
        for (const std::string& name : names) host.searchResult.push_back(tree.Path(name));
        auto run = std::make_unique<ReplaceRun>(ctx, c, host, files);
        run->RunSearchReplace(searchOnly);
        return run;
    }
    bool Logged(const std::string& line) const {
        for (const std::string& logged : host.lines)
            if (AnyStamp(logged) == line) return true;
        return false;
    }

    TempTree tree{"replace"};
    Win32FileSystem fs;
    Win32Registry registry;
    Win32Clock clock;
    FakeMessages messages;
    Settings settings;
    AppContext ctx{fs, registry, clock, messages, settings, "C:\\Larkspire.exe", "tester", "", ""};
    SearchCriteria c;
    FakeReplaceHost host;
    Win32ReplaceFiles files;
};

TEST_F(ReplaceOnDisk, DryAndSearchOnlyRunsWriteNothing) {
    const std::string binary = std::string(300, '\0') + "cat" + std::string(300, '\x01');
    tree.File("docs\\a.txt", "the cat sat\r\nno hit\r\n");
    tree.File("docs\\b.bin", binary);
    WriteGzip(tree.Path("docs\\c.gz"), std::string(200, 'x') + " a cat " + std::string(50, 'y'));
    SetTimes(tree.Path("docs\\a.txt"), 130000000000000000, 130000000000000000, 130000000000000000);
    struct Case {
        bool searchOnly;
        bool replaceChecked;
    };
    for (Case k : {Case{false, false}, Case{true, true}}) {
        SCOPED_TRACE(k.searchOnly ? "search only" : "dry run");
        c.SearchReplaceLines = {"cat\tdog"};
        c.Replace = k.replaceChecked;
        c.Backup = true;
        c.KeepDateTime = true;
        const auto before = Snapshot(tree.Path("docs"));
        Run(k.searchOnly, {"docs\\a.txt", "docs\\b.bin", "docs\\c.gz"});
        EXPECT_EQ(Snapshot(tree.Path("docs")), before);
        EXPECT_EQ(TimesOf(tree.Path("docs\\a.txt")).lastWrite, 130000000000000000);
        EXPECT_EQ(host.found.size(), 3u);
        if (!k.searchOnly) {
            // Exactly the lines of a dry run over one matching text file, and then the two
            // non-text files.
            const std::string a = tree.Path("docs\\a.txt");
            const std::string expected =
                "0:00:00>[Logging to " + c.Logfile + "]\r\n\r\n" + a +
                "\r\n  from: the cat sat\r\n    to: the dog sat\r\n0:00:00>  Checking Binary " +
                tree.Path("docs\\b.bin") + "\r\n\r\n" + tree.Path("docs\\b.bin") +
                "\r\n0:00:00>  Checking Binary " + tree.Path("docs\\c.gz") + "\r\n\r\n" +
                tree.Path("docs\\c.gz") + "\r\n \r\n0:00:00>Finished!\r\n";
            EXPECT_EQ(AnyStamp(wintree::ReadAll(c.Logfile)), expected);
        }
    }
}

TEST_F(ReplaceOnDisk, AWritingRunKeepsLineEndsAttributesAndUntouchedFiles) {
    c.SearchReplaceLines = {"cat\tdog", "old\tnew"};
    c.Replace = true;
    const std::string block(1024, '\x02');
    struct Case {
        std::string name, before, after;
        DWORD attributes = FILE_ATTRIBUTE_NORMAL;
        DWORD attributesAfter = FILE_ATTRIBUTE_ARCHIVE;
    };
    const Case cases[] = {
        {"lf.txt", "one cat\ntwo old\nthree\n", "one dog\ntwo new\nthree\n"},
        {"crlf.txt", "one cat\r\nthree", "one dog\r\nthree"},
        {"hidden.txt", "cat\n", "dog\n", FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_HIDDEN},
        {"readonly.txt", "cat\n", "dog\n", FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_ARCHIVE},
        {"untouched.txt", "nothing\n", "nothing\n"},
        {"untouched.bin", block, block},
    };
    std::vector<std::string> names;
    for (const Case& k : cases) {
        tree.File("w\\" + k.name, k.before, k.attributes);
        SetTimes(tree.Path("w\\" + k.name), 130000000000000000, 130000000000000000,
                 130000000000000000);
        names.push_back("w\\" + k.name);
    }
    // A file of the user's that bears the replacement's name is never overwritten.
    tree.File("w\\lf.txt.out", "the user's own\n");
    Run(false, names);
    EXPECT_EQ(wintree::ReadAll(tree.Path("w\\lf.txt.out")), "the user's own\n");
    for (const Case& k : cases) {
        const std::string path = tree.Path("w\\" + k.name);
        EXPECT_EQ(wintree::ReadAll(path), k.after) << k.name;
        const bool changed = k.before != k.after;
        // An untouched file is not even rewritten: its time stays.
        EXPECT_EQ(TimesOf(path).lastWrite != 130000000000000000, changed) << k.name;
        if (changed) {
            EXPECT_EQ(GetFileAttributesW(Widen(path).c_str()) &
                          (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY),
                      k.attributesAfter & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY))
                << k.name;
        }
    }
    EXPECT_EQ(Snapshot(tree.Path("w")).size(), std::size(cases) + 1);  // nothing left beside
}

TEST_F(ReplaceOnDisk, AGzipFileIsBackedUpDecompressed) {
    c.SearchReplaceLines = {"cat\tdog"};
    c.Replace = true;
    c.Backup = true;
    const std::string plain = std::string(100, '-') + " the cat sat " + std::string(40, '-');
    const std::string gz = tree.Path("z\\na\xC3\xAFve.gz");
    tree.Folder("z");
    WriteGzip(gz, plain);
    const std::string compressed = wintree::ReadAll(gz);
    Run(false, {"z\\na\xC3\xAFve.gz"});
    EXPECT_EQ(wintree::ReadAll(gz + ".bak"), plain);
    std::string expected = compressed;
    expected.replace(expected.find("cat"), 3, "dog");
    EXPECT_EQ(wintree::ReadAll(gz), expected);
}

TEST_F(ReplaceOnDisk, KeepFileDateTimeKeepsTheThreeTimes) {
    c.SearchReplaceLines = {"cat\tdog"};
    c.Replace = true;
    for (bool keep : {true, false}) {
        SCOPED_TRACE(keep ? "kept" : "not kept");
        c.KeepDateTime = keep;
        tree.File("t\\a.txt", "cat\r\n");
        SetTimes(tree.Path("t\\a.txt"), 129000000000000000, 130000000000000000, 131000000000000000);
        const FileTimes before = TimesOf(tree.Path("t\\a.txt"));
        Run(false, {"t\\a.txt"});
        // Times first: reading the file is an access.
        const FileTimes after = TimesOf(tree.Path("t\\a.txt"));
        ASSERT_EQ(wintree::ReadAll(tree.Path("t\\a.txt")), "dog\r\n");
        if (keep) {
            EXPECT_EQ(after.creation, before.creation);
            EXPECT_EQ(after.lastAccess, before.lastAccess);
            EXPECT_EQ(after.lastWrite, before.lastWrite);
        } else {
            FILETIME now;
            GetSystemTimeAsFileTime(&now);
            const int64_t nowTicks =
                int64_t((uint64_t(now.dwHighDateTime) << 32) | now.dwLowDateTime);
            EXPECT_LT(nowTicks - after.lastWrite, int64_t(600) * 10000000);
        }
    }
}

TEST_F(ReplaceOnDisk, ClassificationByRegistryTypeAndContent) {
    c.SearchReplaceLines = {"cat\tdog"};
    c.Replace = true;
    struct Type {
        const wchar_t* extension;
        const wchar_t* name;
        const wchar_t* value;
    };
    const Type types[] = {{L".lkstxt", L"PerceivedType", L"text"},
                          {L".lkscty", L"Content Type", L"text/x-larkspire"},
                          {L".lksvid", L"PerceivedType", L"video"},
                          {L".lksaud", L"Content Type", L"audio/x-larkspire"}};
    for (const Type& t : types) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, t.extension, 0, nullptr, 0, KEY_WRITE, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(key, t.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(t.value),
                       DWORD((wcslen(t.value) + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
    struct Removal {
        const Type* types;
        ~Removal() {
            for (int i = 0; i < 4; ++i) RegDeleteTreeW(HKEY_CLASSES_ROOT, types[i].extension);
        }
    } removal{types};

    const std::string binaryLine = std::string("\0\x01\x02\x03", 4) + "cat\r\n";
    const std::string sixTabs = std::string(6, '\t') + std::string(122, 'x') + "\ncat\n";
    const std::string sevenTabs = std::string(7, '\t') + std::string(121, 'x') + "\ncat\n";
    tree.File("k\\typed.lkstxt", binaryLine);
    tree.File("k\\content.lkscty", binaryLine);
    tree.File("k\\movie.lksvid", binaryLine);
    tree.File("k\\sound.lksaud", binaryLine);
    tree.File("k\\six.dat", sixTabs);
    tree.File("k\\seven.dat", sevenTabs);
    tree.File("k\\empty.dat", "");
    tree.File("k\\locked.dat", "cat\r\n");
    // Held without sharing: it cannot be opened for the content test, so it counts as text,
    // whose reading then fails.
    UniqueFile lock(CreateFileW(Widen(tree.Path("k\\locked.dat")).c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);
    Run(false, {"k\\typed.lkstxt", "k\\content.lkscty", "k\\movie.lksvid", "k\\sound.lksaud",
                "k\\six.dat", "k\\seven.dat", "k\\empty.dat", "k\\locked.dat"});
    lock.Reset();

    const std::string changedLine = std::string("\0\x01\x02\x03", 4) + "dog\r\n";
    EXPECT_EQ(wintree::ReadAll(tree.Path("k\\typed.lkstxt")), changedLine);
    EXPECT_EQ(wintree::ReadAll(tree.Path("k\\content.lkscty")), changedLine);
    EXPECT_EQ(wintree::ReadAll(tree.Path("k\\movie.lksvid")), binaryLine);
    EXPECT_EQ(wintree::ReadAll(tree.Path("k\\sound.lksaud")), binaryLine);
    EXPECT_EQ(wintree::ReadAll(tree.Path("k\\six.dat")),
              std::string(6, '\t') + std::string(122, 'x') + "\ndog\n");
    EXPECT_EQ(wintree::ReadAll(tree.Path("k\\seven.dat")),
              std::string(7, '\t') + std::string(121, 'x') + "\ndog\n");
    EXPECT_EQ(wintree::ReadAll(tree.Path("k\\locked.dat")), "cat\r\n");
    std::vector<std::string> special;
    for (const std::string& line : host.lines) {
        if (line.find("Checking Binary") != line.npos || line.find("!!") != line.npos)
            special.push_back(AnyStamp(line));
    }
    EXPECT_EQ(special, (std::vector<std::string>{
                           "0:00:00>  Checking Binary " + tree.Path("k\\seven.dat"),
                           "0:00:00>    !!Unable to read " + tree.Path("k\\locked.dat")}));
    for (const char* media : {"movie.lksvid", "sound.lksaud"}) {
        for (const std::string& line : host.lines)
            EXPECT_EQ(line.find(media), std::string::npos) << line;
    }
}

TEST_F(ReplaceOnDisk, AFailedReplacementLeavesTheOriginal) {
    c.SearchReplaceLines = {"cat\tdog"};
    c.Replace = true;
    c.Backup = true;
    tree.File("f\\held.txt", "a cat\r\n");
    tree.File("f\\free.txt", "a cat\r\n");
    // Another program reads the file and lets others read and write, not delete or rename:
    // the new content is written beside it, but cannot take its place.
    UniqueFile reader(CreateFileW(Widen(tree.Path("f\\held.txt")).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                  nullptr));
    ASSERT_TRUE(reader);
    Run(false, {"f\\held.txt", "f\\free.txt"});
    reader.Reset();
    EXPECT_EQ(wintree::ReadAll(tree.Path("f\\held.txt")), "a cat\r\n");
    EXPECT_TRUE(
        Logged("0:00:00>    !!Re-Write file: Unable to replace " + tree.Path("f\\held.txt")));
    EXPECT_EQ(wintree::ReadAll(tree.Path("f\\free.txt")), "a dog\r\n");
    auto files = Snapshot(tree.Path("f"));
    EXPECT_EQ(files.count("held.txt.out"), 0u);
    EXPECT_EQ(files.count("free.txt.out"), 0u);
    EXPECT_EQ(files["held.txt.bak"], "a cat\r\n");
}

// The activity window in a run: Stop by its button and by Esc, and Close.
class ActivityWindowTest : public ReplaceOnDisk {
  protected:
    void SetUp() override {
        window_ = std::make_unique<TfmReplace>(registry, test::ProgramResources());
        ASSERT_NE(window_->Create(nullptr), nullptr);
    }
    void TearDown() override { window_.reset(); }

    WindowReplaceHost::MainWindowParts Parts() {
        WindowReplaceHost::MainWindowParts parts;
        parts.searchIndex = [this] { found_ = host.searchResult; };
        parts.foundFiles = [this] { return found_; };
        parts.setFoundFiles = [this](std::vector<std::string> paths) { found_ = std::move(paths); };
        parts.showProgressStrip = [](int32_t, std::string_view) {};
        parts.advanceProgress = [](int32_t) {};
        parts.hideProgress = [] {};
        return parts;
    }
    // From another thread, as a user would: once the memo shows `seen`, act on the window.
    std::thread ActWhenShown(std::string seen, std::function<void(HWND)> act) {
        HWND window = window_->Handle();
        return std::thread([window, seen, act] {
            HWND memo = GetDlgItem(window, IDC_REPLACE_TXT_STATUS);
            for (int i = 0; i < 3000; ++i) {
                DWORD_PTR length = 0;
                SendMessageTimeoutW(memo, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 2000, &length);
                std::wstring text(length + 1, L'\0');
                SendMessageTimeoutW(memo, WM_GETTEXT, WPARAM(text.size()), LPARAM(text.data()),
                                    SMTO_NORMAL, 2000, nullptr);
                if (Narrow(text.c_str()).find(seen) != std::string::npos) {
                    act(window);
                    return;
                }
                Sleep(5);
            }
        });
    }

    std::unique_ptr<TfmReplace> window_;
    std::vector<std::string> found_;
};

TEST_F(ActivityWindowTest, StopByButtonOrEscEndsTheRunWithTheFilesReportedSoFar) {
    struct Case {
        const char* name;
        std::function<void(HWND)> stop;
    };
    const Case cases[] = {
        {"Stop clicked",
         [](HWND w) {
             SendMessageTimeoutW(GetDlgItem(w, IDC_REPLACE_BTN_STOP), BM_CLICK, 0, 0, SMTO_NORMAL,
                                 5000, nullptr);
         }},
        {"Esc pressed",
         [](HWND w) {
             HWND memo = GetDlgItem(w, IDC_REPLACE_TXT_STATUS);
             PostMessageW(memo, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
             PostMessageW(memo, WM_KEYUP, VK_ESCAPE, 0xC0010001);
         }},
    };
    std::vector<std::string> names;
    for (int i = 0; i < 1500; ++i) {
        char name[32];
        snprintf(name, sizeof name, "s\\%03d.txt", i);
        tree.File(name, std::string(2000, 'x') + "\r\na cat here\r\n" + std::string(2000, 'y'));
        names.push_back(name);
    }
    c.SearchReplaceLines = {"cat\tdog"};
    c.ShowLog = true;
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        host.searchResult.clear();
        for (const std::string& name : names) host.searchResult.push_back(tree.Path(name));
        std::thread stopper = ActWhenShown(tree.Path("s\\003.txt"), k.stop);
        RunSearchReplaceInWindows(ctx, c, *window_, Parts(), false);
        stopper.join();
        const std::string memo = AnyStamp(window_->StatusText());
        EXPECT_EQ(memo.substr(memo.rfind("\r\n") + 2), "0:00:00>Operation aborted!");
        EXPECT_GE(found_.size(), 4u);
        EXPECT_LT(found_.size(), names.size());
        // The window stays open after Stop.
        EXPECT_TRUE(IsWindowVisible(window_->Handle()));
    }
    // Close and the title bar's close button only hide it; the memo keeps the last run.
    SendMessageW(GetDlgItem(window_->Handle(), IDC_REPLACE_BITBTN1), BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindowVisible(window_->Handle()));
    window_->ShowActivity();
    SendMessageW(window_->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindowVisible(window_->Handle()));
    EXPECT_NE(window_->StatusText().find("Operation aborted!"), std::string::npos);
}

// The run's disk, with a click on Stop posted once the replacement of a file has taken a few
// megabytes: the run sees it at its next look at the queue, half-way through the file, however
// fast or loaded the machine is.
class StopHalfWay final : public ReplaceFiles {
  public:
    explicit StopHalfWay(HWND stopButton) : stop_(stopButton) {}
    std::optional<FileInfo> Stat(std::string_view path) override { return real_.Stat(path); }
    std::unique_ptr<InputFile> OpenRead(std::string_view path) override {
        return real_.OpenRead(path);
    }
    std::unique_ptr<OutputFile> CreateLog(std::string_view path) override {
        return real_.CreateLog(path);
    }
    std::unique_ptr<ReplacementFile> CreateReplacement(std::string_view path,
                                                       uint32_t attributes) override {
        auto real = real_.CreateReplacement(path, attributes);
        return real ? std::make_unique<Counting>(std::move(real), stop_) : nullptr;
    }
    bool SetAttributes(std::string_view path, uint32_t attributes) override {
        return real_.SetAttributes(path, attributes);
    }
    bool CopyForBackup(std::string_view path, std::string_view backupPath) override {
        return real_.CopyForBackup(path, backupPath);
    }

  private:
    struct Counting final : ReplacementFile {
        Counting(std::unique_ptr<ReplacementFile> real, HWND stop)
            : real(std::move(real)), stop(stop) {}
        bool Write(std::string_view data) override {
            written += data.size();
            if (written >= (size_t(4) << 20) && !clicked)
                clicked = PostMessageW(stop, BM_CLICK, 0, 0) != FALSE;
            return real->Write(data);
        }
        bool Commit(uint32_t attributes, const FileTimes& times) override {
            return real->Commit(attributes, times);
        }
        std::unique_ptr<ReplacementFile> real;
        HWND stop;
        size_t written = 0;
        bool clicked = false;
    };
    Win32ReplaceFiles real_;
    HWND stop_;
};

TEST_F(ActivityWindowTest, StopDuringANonTextFileLeavesItUntouched) {
    // Hits in every block: the whole file is being rewritten when Stop comes.
    std::string big;
    big.reserve(size_t(48) << 20);
    while (big.size() < (size_t(48) << 20)) big += std::string(509, '\x03') + "cat";
    tree.File("big\\data.bin", big);
    c.SearchReplaceLines = {"cat\tdog"};
    c.Replace = true;
    c.Backup = true;
    host.searchResult = {tree.Path("big\\data.bin")};
    StopHalfWay disk(GetDlgItem(window_->Handle(), IDC_REPLACE_BTN_STOP));
    WindowReplaceHost windows(*window_, Parts());
    ReplaceRun run(ctx, c, windows, disk);
    window_->SetStopHandler([&run] { run.RequestAbort(); });
    run.RunSearchReplace(false);
    window_->SetStopHandler(nullptr);
    window_->FlushStatus();
    EXPECT_NE(window_->StatusText().find("Operation aborted!"), std::string::npos);
    EXPECT_EQ(window_->StatusText().find("Replaced:"), std::string::npos);
    EXPECT_TRUE(wintree::ReadAll(tree.Path("big\\data.bin")) == big);
    EXPECT_EQ(Snapshot(tree.Path("big")).size(), 1u);
}

}  // namespace
}  // namespace lark
