#include "config/settings.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "support/test_app.h"

namespace lark {
namespace {

struct Domain {
    std::string name, include, exclude;
    bool operator==(const Domain&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Domain& d) {
    return os << "[" << d.name << "|" << d.include << "|" << d.exclude << "]";
}

template <size_t N>
std::string Bytes(const char (&text)[N]) {
    return std::string(text, N - 1);
}

std::vector<Domain> Domains(const Settings& s) {
    std::vector<Domain> out;
    for (const auto& set : s.SearchSets)
        out.push_back({set->Name, set->IncludePaths, set->ExcludePaths});
    return out;
}

struct Loaded : TestApp {
    explicit Loaded(std::string_view text) {
        fs.AddFile(kIniPath, text);
        ok = LoadSettings(ctx);
    }
    std::string Current() const {
        return settings.CurrentSearchSet ? settings.CurrentSearchSet->Name : "(none)";
    }
    bool ok = false;
};

TEST(LoadSettings, GeneralKeysOnlyGiveTheTwoDefaultDomains) {
    Loaded app(
        "[General]\r\nDataLocation=D:\\LarkspireData\r\nRefreshFixedSchedule=T\r\n"
        "RefreshMinutes=30\r\nRecentEditDocs=25\r\nExcludeFromRecentEdits=*.tmp;*.bak\r\n"
        "MonitorRecentDocuments=yes\r\n");
    ASSERT_TRUE(app.ok);
    EXPECT_TRUE(app.messages.errors.empty());
    const Settings& s = app.settings;
    EXPECT_EQ(s.DataLocation, "D:\\LarkspireData");
    EXPECT_TRUE(s.RefreshFixedSchedule);
    EXPECT_EQ(s.RefreshMinutes, 30);
    EXPECT_EQ(s.RecentEditDocs, 25);
    EXPECT_EQ(s.ExcludeFromRecentEdits, "*.tmp;*.bak");
    EXPECT_TRUE(s.MonitorRecentDocuments);
    EXPECT_EQ(Domains(s), (std::vector<Domain>{{"<Default>", "C:\\Documents and Settings", ""},
                                               {"Local Drive", "C:\\", ""}}));
    EXPECT_EQ(app.Current(), "<Default>");
}

TEST(LoadSettings, DomainsWithoutDefaultGetAnEmptyDefaultThatIsCurrent) {
    Loaded app("[Domain.Work]\nInclude=D:\\Work\nExclude=D:\\Work\\Old\n");
    ASSERT_TRUE(app.ok);
    EXPECT_EQ(Domains(app.settings), (std::vector<Domain>{{"Work", "D:\\Work;", "D:\\Work\\Old;"},
                                                          {"<Default>", "", ""}}));
    EXPECT_EQ(app.Current(), "<Default>");
    std::string text = SettingsFileText(app.settings, "0", "0", "");
    EXPECT_NE(text.find("\r\n[Domain.Work]\r\nInclude=D:\\Work\r\nExclude=D:\\Work\\Old\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("\r\n[Domain.<Default>]\r\n"), std::string::npos);
}

TEST(LoadSettings, LinesAreReadByTheLenientRules) {
    struct Case {
        const char* name;
        std::string text;
        std::vector<Domain> domains;
    } cases[] = {
        {"include keeps a leading blank",
         "[Domain.A]\r\nInclude= C:\\x\r\n",
         {{"A", " C:\\x;", ""}, {"<Default>", "", ""}}},
        {"paths before any domain are dropped",
         "Include=C:\\lost\r\n[General]\r\n[Domain.<Default>]\r\nInclude=C:\\kept\r\n",
         {{"<Default>", "C:\\kept;", ""}}},
        {"a repeated section replaces the paths",
         "[Domain.<Default>]\nInclude=C:\\one\n[Domain.<Default>]\nInclude=C:\\two\n",
         {{"<Default>", "C:\\two;", ""}}},
        {"other sections keep the current domain",
         "[Domain.<Default>]\nInclude=C:\\a\n[Other]\nInclude=C:\\b\n",
         {{"<Default>", "C:\\a;C:\\b;", ""}}},
        {"keys and prefix in any case, names exact",
         "[DOMAIN.Work]\ninclude=C:\\W\n[domain.work]\nINCLUDE=c:\\w\n",
         {{"Work", "C:\\W;", ""}, {"work", "c:\\w;", ""}, {"<Default>", "", ""}}},
        {"line without = gives an empty entry",
         "[Domain.<Default>]\nInclude\nExclude\n",
         {{"<Default>", ";", ";"}}},
        {"blanks around key and header are trimmed",
         "  [ Domain.<Default> ]  \n   Include =C:\\a  \n",
         {{"<Default>", "C:\\a;", ""}}},
        {"value keeps further = signs",
         "[Domain.<Default>]\nInclude=C:\\a=b\n",
         {{"<Default>", "C:\\a=b;", ""}}},
        {"CR-only line ends, no final line end",
         "[Domain.<Default>]\rInclude=C:\\a\rInclude=C:\\b",
         {{"<Default>", "C:\\a;C:\\b;", ""}}},
        {"missing ] is a key line",
         "[Domain.X\nInclude=C:\\a\n",
         {{"<Default>", "C:\\Documents and Settings", ""}, {"Local Drive", "C:\\", ""}}},
        {"NUL bytes and binary junk",
         Bytes("\0\0[Domain.<Default>]\0\nInclude=C:\\a\n\x01\xff\xfe=\x80\n\0\0\0"),
         {{"<Default>", "C:\\a;", ""}}},
        {"UTF-8 byte-order mark",
         "\xEF\xBB\xBF[Domain.Work]\r\nInclude=D:\\W\r\n",
         {{"Work", "D:\\W;", ""}, {"<Default>", "", ""}}},
        {"a 1 MB line",
         "[Domain.<Default>]\nInclude=" + std::string(1 << 20, 'x') + "\n",
         {{"<Default>", std::string(1 << 20, 'x') + ";", ""}}},
        {"empty file",
         "",
         {{"<Default>", "C:\\Documents and Settings", ""}, {"Local Drive", "C:\\", ""}}},
    };
    for (const auto& c : cases) {
        Loaded app(c.text);
        EXPECT_TRUE(app.ok) << c.name;
        EXPECT_EQ(Domains(app.settings), c.domains) << c.name;
        EXPECT_EQ(app.Current(), "<Default>") << c.name;
    }
}

TEST(LoadSettings, ScalarValues) {
    struct Case {
        const char* line;
        int32_t refreshMinutes;
        bool monitor;
        int32_t recentLimit;
    } cases[] = {
        {"RefreshMinutes=71582", 71582, false, 0},    {"RefreshMinutes=71583", 0, false, 0},
        {"RefreshMinutes=2147483647", 0, false, 0},   {"RefreshMinutes=ten", 0, false, 0},
        {"refreshminutes= 15", 15, false, 0},         {"MonitorRecentDocuments=yes", 0, true, 0},
        {"MonitorRecentDocuments=Exist", 0, true, 0}, {"MonitorRecentDocuments=on", 0, false, 0},
        {"RecentEditDocs=12x", 0, false, 0},          {"RecentEditDocs=-5", 0, false, -5},
    };
    for (const auto& c : cases) {
        Loaded app(std::string("[General]\n") + c.line + "\n");
        EXPECT_EQ(app.settings.RefreshMinutes, c.refreshMinutes) << c.line;
        EXPECT_EQ(app.settings.MonitorRecentDocuments, c.monitor) << c.line;
        EXPECT_EQ(app.settings.RecentEditDocs, c.recentLimit) << c.line;
    }
}

TEST(LoadSettings, MissingOrUnreadableFileIsReportedAndChangesNothing) {
    for (bool exists : {false, true}) {
        TestApp app;
        if (exists) {
            app.fs.AddFile(TestApp::kIniPath, "[General]\nRefreshMinutes=5\n");
            app.fs.unreadablePaths.insert(UpperCase(TestApp::kIniPath));
        }
        EXPECT_FALSE(LoadSettings(app.ctx));
        EXPECT_EQ(
            app.messages.errors,
            std::vector<std::string>{std::string("Config file not found: ") + TestApp::kIniPath});
        EXPECT_TRUE(app.settings.SearchSets.empty());
        EXPECT_EQ(app.settings.CurrentSearchSet, nullptr);
        EXPECT_EQ(app.settings.RefreshMinutes, 0);
    }
}

TEST(SaveSettings, WritesTheLayoutAndReadsBackTheSame) {
    TestApp app;
    app.fs.AddFolder(FolderOfPath(TestApp::kIniPath));
    Settings& s = app.settings;
    s.DataLocation = "D:\\Data";
    s.RefreshFixedSchedule = true;
    s.MonitorRecentDocuments = false;
    GetOrAddSearchSet(s, "<Default>").IncludePaths = "C:\\Docs;;D:\\Work;";
    TSearchSet& other = GetOrAddSearchSet(s, "Local Drive");
    other.IncludePaths = "C:\\";  // a default entry carries no ";"
    other.ExcludePaths = "C:\\Windows;";
    ASSERT_TRUE(SaveSettings(app.ctx, "60", "100", "*.tmp"));
    const auto* file = app.fs.Find(TestApp::kIniPath);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->data,
              "[General]\r\nDataLocation=D:\\Data\r\nRefreshFixedSchedule=T\r\n"
              "RefreshMinutes=60\r\nRecentEditDocs=100\r\nExcludeFromRecentEdits=*.tmp\r\n"
              "MonitorRecentDocuments=F\r\n"
              "\r\n[Domain.<Default>]\r\nInclude=C:\\Docs\r\nInclude=\r\nInclude=D:\\Work\r\n"
              "\r\n[Domain.Local Drive]\r\nInclude=C:\\\r\nExclude=C:\\Windows\r\n");

    TestApp again;
    again.fs.AddFile(TestApp::kIniPath, file->data);
    ASSERT_TRUE(LoadSettings(again.ctx));
    EXPECT_EQ(again.settings.DataLocation, "D:\\Data");
    EXPECT_EQ(again.settings.RefreshMinutes, 60);
    EXPECT_EQ(again.settings.RecentEditDocs, 100);
    EXPECT_EQ(again.settings.ExcludeFromRecentEdits, "*.tmp");
    EXPECT_TRUE(again.settings.RefreshFixedSchedule);
    EXPECT_EQ(Domains(again.settings),
              (std::vector<Domain>{{"<Default>", "C:\\Docs;;D:\\Work;", ""},
                                   {"Local Drive", "C:\\;", "C:\\Windows;"}}));
}

// Found by fuzzing: a folder whose name holds ";" is one quoted entry and must stay one.
TEST(SaveSettings, EntriesHoldingTheSeparatorKeepTheirQuotes) {
    // The folders the builder walks, split as it splits them.
    auto entries = [](const Loaded& l) {
        std::vector<std::string> out;
        for (const auto& set : l.settings.SearchSets) {
            for (std::string rest : {set->IncludePaths, set->ExcludePaths}) {
                while (!rest.empty()) out.push_back(SplitNextToken(rest, ";"));
                out.push_back("|");
            }
        }
        return out;
    };
    Loaded first(
        "[Domain.W]\r\nInclude=\"C:\\a;b\"\r\nInclude='C:\\q\"d;e'\r\n"
        "Exclude=\"\"\"\"\r\nExclude=C:\\plain\r\n");
    EXPECT_EQ(entries(first), (std::vector<std::string>{"C:\\a;b", "C:\\q\"d;e", "|", "\"\"",
                                                        "C:\\plain", "|", "|", "|"}));
    ASSERT_TRUE(SaveSettings(first.ctx, "0", "0", ""));
    Loaded second(first.fs.Find(TestApp::kIniPath)->data);
    EXPECT_EQ(entries(second), entries(first));
    ASSERT_TRUE(SaveSettings(second.ctx, "0", "0", ""));
    EXPECT_EQ(second.fs.Find(TestApp::kIniPath)->data, first.fs.Find(TestApp::kIniPath)->data);
}

TEST(SaveSettings, DefaultOrEmptyDataLocationIsLeftOut) {
    Settings s;
    for (const char* location : {"", "C:\\Documents and Settings", "c:\\documents AND settings"}) {
        s.DataLocation = location;
        EXPECT_EQ(SettingsFileText(s, "", "", "").find("DataLocation"), std::string::npos)
            << location;
    }
}

TEST(SaveSettings, UnwritableFileIsReportedAndMemoryKeepsTheValues) {
    TestApp app;
    app.fs.AddFile(TestApp::kIniPath, "old");
    app.fs.readOnlyPaths.insert(UpperCase(TestApp::kIniPath));
    app.settings.DataLocation = "E:\\New";
    EXPECT_FALSE(SaveSettings(app.ctx, "1", "2", "3"));
    EXPECT_EQ(app.messages.errors,
              std::vector<std::string>{std::string("Cannot create file ") + TestApp::kIniPath});
    EXPECT_EQ(app.fs.Find(TestApp::kIniPath)->data, "old");
    EXPECT_EQ(app.settings.DataLocation, "E:\\New");
}

TEST(SearchSets, FindIsExactAndGetOrAddNeverDuplicates) {
    Settings s;
    TSearchSet& a = GetOrAddSearchSet(s, "Work");
    EXPECT_EQ(&GetOrAddSearchSet(s, "Work"), &a);
    EXPECT_EQ(FindSearchSet(s, "work"), nullptr);
    EXPECT_EQ(FindSearchSet(s, "Work"), &a);
    GetOrAddSearchSet(s, "work");
    EXPECT_EQ(s.SearchSets.size(), 2u);
}

}  // namespace
}  // namespace lark
