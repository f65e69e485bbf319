// GCC 12 at -O2 reports overlaps that cannot happen inside std::string's inlined copies
// (its bug 105651); the MinGW build treats warnings as errors.
#pragma GCC diagnostic ignored "-Wrestrict"

#include <gtest/gtest.h>
#include <windows.h>

#include "base/date_time.h"
#include "platform/fake/fake_platform.h"
#include "platform/win32/encoding_win.h"
#include "platform/win32/handles_win.h"
#include "platform/win32/win32_platform.h"
#include "search/criteria.h"
#include "search/index_search.h"

namespace lark {
namespace {

struct NoHost final : SearchHost {
    void RefreshIndex() override { ++refreshes; }
    void ShowProgressStrip(int32_t, std::string_view) override {}
    void AdvanceProgress(int32_t) override {}
    void HideProgress() override {}
    int refreshes = 0;
};

// Real files with chosen sizes and local last-write times in a fresh temporary folder.
class RealFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        root_ = Narrow(temp) + "lark_search_" + std::to_string(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryW(Widen(root_).c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW(Widen(root_ + "\\Sub.dir").c_str(), nullptr));
        indexPath_ = root_ + "\\All files.idx";
    }
    void TearDown() override {
        for (const auto& f : created_) DeleteFileW(Widen(f).c_str());
        DeleteFileW(Widen(indexPath_).c_str());
        RemoveDirectoryW(Widen(root_ + "\\Sub.dir").c_str());
        RemoveDirectoryW(Widen(root_).c_str());
    }

    // Writes size bytes (or extends sparsely past what can be written) and sets the local
    // last-write time.
    void MakeFile(const std::string& name, int64_t size, CivilDateTime local) {
        std::string path = root_ + "\\" + name;
        UniqueFile file(CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file) << path;
        created_.push_back(path);
        LARGE_INTEGER end;
        end.QuadPart = size;
        ASSERT_TRUE(SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN));
        ASSERT_TRUE(SetEndOfFile(file.Get()));
        SYSTEMTIME st{};
        st.wYear = WORD(local.year);
        st.wMonth = WORD(local.month);
        st.wDay = WORD(local.day);
        st.wHour = WORD(local.hour);
        st.wMinute = WORD(local.minute);
        st.wSecond = WORD(local.second);
        FILETIME localTime, utc;
        ASSERT_TRUE(SystemTimeToFileTime(&st, &localTime));
        ASSERT_TRUE(LocalFileTimeToFileTime(&localTime, &utc));
        ASSERT_TRUE(SetFileTime(file.Get(), nullptr, nullptr, &utc));
    }

    void WriteIndex(const std::string& text) { ASSERT_TRUE(fs_.WriteWhole(indexPath_, text)); }

    SearchResults Search(const SearchCriteria& c) {
        SearchResults results;
        NoHost host;
        SearchIndexFile(fs_, clock_, c, indexPath_, host, results);
        return results;
    }

    std::string root_, indexPath_;
    std::vector<std::string> created_;
    Win32FileSystem fs_;
    FakeClock clock_;
};

TEST_F(RealFiles, DateAndSizeFiltersReadTheFilesOnDisk) {
    clock_.now = EncodeDateTime({2024, 3, 10, 12, 0, 0, 0});
    MakeFile("empty.txt", 0, {2024, 3, 9, 10, 0, 0});
    MakeFile("one.txt", 1, {2024, 3, 1, 0, 0, 0});
    MakeFile("two.txt", 2, {2024, 3, 5, 0, 0, 0});
    MakeFile("three.txt", 3, {2024, 3, 5, 0, 0, 2});
    MakeFile("Sub.dir\\huge.bin", int64_t(5) << 30, {2024, 3, 9, 23, 59, 59});
    const std::string r = root_ + "\\";
    WriteIndex(root_ + ";::\r\n" + r + "\r\nempty.txt\r\none.txt\r\ntwo.txt\r\nthree.txt\r\n" +
               "gone.txt\r\n" + r + "Sub.dir\\\r\nhuge.bin\r\n");

    struct Case {
        const char* name;
        DateFilterMode date;
        SizeFilterMode size;
        const char* from;
        const char* to;
        int32_t unit;
        SearchResults expected;
    } cases[] = {
        {"no filter keeps folders and vanished files",
         DateFilterMode::None,
         SizeFilterMode::None,
         "",
         "",
         0,
         {r.substr(0, r.size() - 1), r + "empty.txt", r + "one.txt", r + "two.txt", r + "three.txt",
          r + "gone.txt", r + "Sub.dir", r + "Sub.dir\\huge.bin"}},
        {"larger than 0 bytes drops empty files",
         DateFilterMode::None,
         SizeFilterMode::Larger,
         "0",
         "",
         0,
         {r + "one.txt", r + "two.txt", r + "three.txt", r + "Sub.dir\\huge.bin"}},
        {"between is exclusive",
         DateFilterMode::None,
         SizeFilterMode::Between,
         "1",
         "3",
         0,
         {r + "two.txt"}},
        {"larger than 4 Gb",
         DateFilterMode::None,
         SizeFilterMode::Larger,
         "4",
         "",
         3,
         {r + "Sub.dir\\huge.bin"}},
        {"last 2 days",
         DateFilterMode::Recent,
         SizeFilterMode::None,
         "2",
         "",
         0,
         {r + "empty.txt", r + "Sub.dir\\huge.bin"}},
        {"range with inclusive bounds",
         DateFilterMode::Range,
         SizeFilterMode::None,
         "",
         "",
         0,
         {r + "one.txt", r + "two.txt"}},
        {"range and size",
         DateFilterMode::Range,
         SizeFilterMode::Smaller,
         "2",
         "",
         0,
         {r + "one.txt"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SearchCriteria criteria;
        criteria.DateMode = c.date;
        criteria.SizeMode = c.size;
        criteria.LastXUnits = c.from;
        criteria.PeriodUnits = c.unit;
        criteria.DateFrom = EncodeDate(2024, 3, 1);
        criteria.DateTo = EncodeDate(2024, 3, 5);
        criteria.LargerThan = criteria.SmallerThan = criteria.SizeFrom = c.from;
        criteria.SizeTo = c.to;
        criteria.LargerUnits = criteria.SmallerUnits = criteria.BetweenUnits = c.unit;
        EXPECT_EQ(Search(criteria), c.expected);
    }
}

TEST_F(RealFiles, SizeIsReadWhileAnotherProgramHoldsTheFile) {
    MakeFile("locked.dat", 4096, {2024, 3, 9, 10, 0, 0});
    WriteIndex(root_ + ";::\r\n" + root_ + "\\\r\nlocked.dat\r\n");
    UniqueFile holder(CreateFileW(Widen(root_ + "\\locked.dat").c_str(), GENERIC_READ, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    SearchCriteria c;
    c.Keywords = "locked";
    c.SizeMode = SizeFilterMode::Larger;
    c.LargerThan = "3";
    c.LargerUnits = 1;
    EXPECT_EQ(Search(c), SearchResults{root_ + "\\locked.dat"});
}

TEST_F(RealFiles, ARunningBuildMakesTheSearchFail) {
    WriteIndex(root_ + ";::\r\n" + root_ + "\\\r\n");
    SearchCriteria c;
    {
        // The builder keeps the index open for writing, sharing it with readers only.
        UniqueFile builder(CreateFileW(Widen(indexPath_).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                       nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(builder);
        SearchResults results{"old"};
        NoHost host;
        try {
            SearchIndexFile(fs_, clock_, c, indexPath_, host, results);
            FAIL() << "the search read a file being written";
        } catch (const FileError& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot open file " + indexPath_);
        }
        EXPECT_TRUE(results.empty());
        EXPECT_EQ(host.refreshes, 0);
    }
    EXPECT_EQ(Search(c), SearchResults{root_});
}

TEST_F(RealFiles, TheIndexMapsReadOnlyAndIsFreeForTheNextBuildAfterASearch) {
    // Many entries, so that one query keeps its results in the index text and another
    // copies a few out.
    std::string text = root_ + ";::\r\n" + root_ + "\\\r\n";
    for (int i = 0; i < 20000; ++i) text += "note" + std::to_string(i) + ".txt\r\n";
    text += "single.doc\r\n";
    WriteIndex(text);

    auto mapped = fs_.OpenWhole(indexPath_);
    ASSERT_TRUE(mapped);
    EXPECT_TRUE(mapped->HoldsFileOpen());  // the temporary folder is on a fixed drive
    EXPECT_EQ(mapped->Text(), text);
    {
        // No writer while it is mapped; a second reader is welcome.
        UniqueFile writer(CreateFileW(Widen(indexPath_).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_FALSE(writer);
        EXPECT_TRUE(fs_.ReadWhole(indexPath_));
    }
    mapped.reset();

    SearchCriteria c;
    // Many results, one, and none (a lone "or" matches nothing).
    const struct {
        const char* query;
        size_t count;
        bool inText;
        const char* last;
    } searches[] = {{"note", 20000, true, "\\note19999.txt"},
                    {"single", 1, false, "\\single.doc"},
                    {"or", 0, false, nullptr}};
    for (const auto& s : searches) {
        c.Keywords = s.query;
        SearchResults results = Search(c);
        EXPECT_EQ(results.size(), s.count);
        EXPECT_EQ(results.InIndexText(), s.inText);
        if (results.InIndexText()) {
            EXPECT_FALSE(results.IndexText()->HoldsFileOpen());
        }
        // With the results still held, a build can replace the index.
        UniqueFile builder(CreateFileW(Widen(indexPath_).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                       nullptr, CREATE_ALWAYS, 0, nullptr));
        EXPECT_TRUE(builder) << s.query << " " << GetLastError();
        builder.Reset();
        WriteIndex(text);
        if (s.last) {
            EXPECT_EQ(results.Path(results.size() - 1), root_ + s.last);
        }
    }

    // An empty file cannot be mapped, and reads as empty.
    WriteIndex("");
    auto empty = fs_.OpenWhole(indexPath_);
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->Text().empty());
}

}  // namespace
}  // namespace lark
