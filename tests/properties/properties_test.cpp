#include "properties/properties.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/text.h"
#include "config/data_paths.h"
#include "config/settings.h"
#include "index/refresh_controller.h"
#include "support/test_app.h"

namespace lark {
namespace {

std::string RunValue(FakeRegistry& registry, RegistryRoot root) {
    return registry.Read(root, kRunAtStartupKey, kRunAtStartupValue).value_or("<missing>");
}

// The refresh rules of the running program behind a recorder of index builds.
class RecordingRefreshHost final : public RefreshHost {
  public:
    std::shared_ptr<const std::atomic<bool>> StartIndexBuild() override {
        ++builds;
        return nullptr;
    }
    void SetRefreshTimer(uint32_t intervalMs) override { timer = intervalMs; }
    void PumpUntil(const std::function<bool()>&, uint32_t, bool) override {}
    int builds = 0;
    uint32_t timer = 0;
};

struct PropertiesFixture : ::testing::Test, TestApp, PropertiesHost {
    RecordingRefreshHost refreshHost;
    RefreshController refresh{ctx, refreshHost};
    int schedules = 0;

    void ApplyRefreshSchedule() override {
        ++schedules;
        refresh.ApplyRefreshSchedule();
    }
    std::string BrowseForFolder(std::string_view, std::string_view start) override {
        return std::string(start);
    }

    PropertiesFixture() {
        fs.AddFile(kIniPath,
                   "[General]\r\nDataLocation=D:\\LarkspireData\r\nRefreshFixedSchedule=T\r\n"
                   "RefreshMinutes=30\r\nRecentEditDocs=50\r\nExcludeFromRecentEdits=*.tmp\r\n"
                   "MonitorRecentDocuments=T\r\n\r\n[Domain.<Default>]\r\nInclude=C:\\Docs\r\n"
                   "Include=\r\nInclude=D:\\Work\r\nExclude=C:\\Docs\\Old\r\n\r\n"
                   "[Domain.Local Drive]\r\nInclude=C:\\\r\n");
        EXPECT_TRUE(LoadSettings(ctx));
    }
    void SetRunValues(const char* machine, const char* user) {
        if (machine)
            registry.Write(RegistryRoot::LocalMachine, kRunAtStartupKey, "Larkspire", machine);
        if (user) registry.Write(RegistryRoot::CurrentUser, kRunAtStartupKey, "Larkspire", user);
    }
};

TEST_F(PropertiesFixture, OpensWithTheSettingsTheCurrentDomainAndTheStartUpEntries) {
    PropertiesValues v = ReadProperties(ctx);
    EXPECT_EQ(v.refreshMinutes, "30");
    EXPECT_EQ(v.recentEditDocs, "50");
    EXPECT_EQ(v.excludePattern, "*.tmp");
    EXPECT_EQ(v.dataLocation, "D:\\LarkspireData");
    EXPECT_TRUE(v.refreshFixedSchedule);
    EXPECT_TRUE(v.monitorRecentDocs);
    EXPECT_EQ(v.domainNames, (std::vector<std::string>{"<Default>", "Local Drive"}));
    EXPECT_EQ(v.domainName, "<Default>");
    EXPECT_EQ(v.includeLines, "C:\\Docs\r\n\r\nD:\\Work");
    EXPECT_EQ(v.excludeLines, "C:\\Docs\\Old");

    struct Case {
        const char* what;
        const char* machine;
        const char* user;
        bool run, allUsers, forMeOnly;
    } cases[] = {
        {"none", nullptr, nullptr, false, false, false},
        {"empty values are off", "", "", false, false, false},
        {"for all users", "C:\\L.exe", "", true, true, false},
        {"for me only", nullptr, "C:\\L.exe", true, false, true},
        {"both present: for me only", "C:\\L.exe", "C:\\L.exe", true, false, true},
    };
    for (const Case& c : cases) {
        registry.values.clear();
        SetRunValues(c.machine, c.user);
        PropertiesValues r = ReadProperties(ctx);
        EXPECT_EQ(r.runAtStartup, c.run) << c.what;
        EXPECT_EQ(r.allUsers, c.allUsers) << c.what;
        EXPECT_EQ(r.forMeOnly, c.forMeOnly) << c.what;
    }
}

TEST(PropertiesWithoutSettingsFile, TheDomainPartOpensEmptyAndOkFilesThePathsUnderDefault) {
    TestApp app;
    EXPECT_FALSE(LoadSettings(app.ctx));
    ASSERT_EQ(app.settings.CurrentSearchSet, nullptr);
    PropertiesValues v = ReadProperties(app.ctx);
    EXPECT_TRUE(v.domainNames.empty());
    EXPECT_EQ(v.domainName, "");
    EXPECT_EQ(v.includeLines, "");

    struct NoHost final : PropertiesHost {
        void ApplyRefreshSchedule() override {}
        std::string BrowseForFolder(std::string_view, std::string_view s) override {
            return std::string(s);
        }
    } host;
    app.fs.AddFolder("C:\\Program Files\\Larkspire");
    v.includeLines = "C:\\Docs";
    StoreProperties(app.ctx, v, host);
    ASSERT_NE(app.settings.CurrentSearchSet, nullptr);
    EXPECT_EQ(app.settings.CurrentSearchSet->Name, "<Default>");
    EXPECT_EQ(app.settings.CurrentSearchSet->IncludePaths, "C:\\Docs;");
}

TEST(PathLines, DomainPathsAndBoxLinesRoundTrip) {
    struct Case {
        const char* paths;
        const char* lines;
        const char* back;  // what OK stores from those lines
    } cases[] = {
        {"C:\\Docs;D:\\Work;", "C:\\Docs\r\nD:\\Work", "C:\\Docs;D:\\Work;"},
        {"C:\\Documents and Settings", "C:\\Documents and Settings", "C:\\Documents and Settings;"},
        {"a;;b;", "a\r\n\r\nb", "a;;b;"},
        {"a;;", "a\r\n\r\n", "a;;"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PathLines(c.paths), c.lines) << c.paths;
        EXPECT_EQ(PathsFromLines(c.lines), c.back) << c.paths;
    }
    EXPECT_EQ(PathsFromLines("C:\\A\nC:\\B\r\n"), "C:\\A;C:\\B;");
}

TEST_F(PropertiesFixture, RemoveRefusesTheDefaultAndTheLastDomain) {
    EXPECT_FALSE(RemoveSearchSet(ctx, "<Default>"));
    EXPECT_FALSE(RemoveSearchSet(ctx, "local drive"));  // names no domain: nothing happens
    EXPECT_EQ(messages.errors, std::vector<std::string>{"Cannot delete the default domain."});
    EXPECT_EQ(settings.SearchSets.size(), 2u);

    // The current domain removed: the index is built from "<Default>" again.
    GetOrAddSearchSet(settings, "Work");
    settings.CurrentSearchSet = FindSearchSet(settings, "Work");
    EXPECT_TRUE(RemoveSearchSet(ctx, "Work"));
    EXPECT_EQ(FindSearchSet(settings, "Work"), nullptr);
    EXPECT_EQ(settings.CurrentSearchSet, FindSearchSet(settings, "<Default>"));

    // A single domain, not the default one, stays.
    Settings single;
    single.CurrentSearchSet = &GetOrAddSearchSet(single, "Only");
    AppContext other{fs, registry, clock, messages, single, kExePath, "jdoe", "C:\\Temp", ""};
    messages.errors.clear();
    EXPECT_FALSE(RemoveSearchSet(other, "Only"));
    EXPECT_EQ(messages.errors, std::vector<std::string>{"Cannot delete all search domains."});
    EXPECT_EQ(single.SearchSets.size(), 1u);
}

TEST_F(PropertiesFixture, OkStoresANewDomainWithTwoPathsAndReadsItBack) {
    PropertiesValues v = ReadProperties(ctx);
    v.domainName = "Projects";
    v.includeLines = "E:\\Projects\r\nF:\\Archive\\Projects";
    v.excludeLines = "";
    v.refreshMinutes = "100000";
    v.excludePattern = "*.bak;*.tmp";
    StoreProperties(ctx, v, *this);
    EXPECT_EQ(schedules, 1);
    EXPECT_EQ(settings.RefreshMinutes, 0);  // beyond what a timer holds, as the loader says
    ASSERT_NE(settings.CurrentSearchSet, nullptr);
    EXPECT_EQ(settings.CurrentSearchSet->Name, "Projects");

    const std::string text = *fs.ReadWhole(kIniPath);
    EXPECT_NE(text.find("RefreshMinutes=100000\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\n[Domain.Projects]\r\nInclude=E:\\Projects\r\n"
                        "Include=F:\\Archive\\Projects\r\n"),
              std::string::npos)
        << text;

    Settings reread;
    AppContext again{fs, registry, clock, messages, reread, kExePath, "jdoe", "C:\\Temp", ""};
    ASSERT_TRUE(LoadSettings(again));
    TSearchSet* projects = FindSearchSet(reread, "Projects");
    ASSERT_NE(projects, nullptr);
    EXPECT_EQ(projects->IncludePaths, "E:\\Projects;F:\\Archive\\Projects;");
    EXPECT_EQ(projects->ExcludePaths, "");
    EXPECT_EQ(reread.ExcludeFromRecentEdits, "*.bak;*.tmp");
    EXPECT_EQ(reread.RefreshMinutes, 0);
    EXPECT_EQ(FindSearchSet(reread, "<Default>")->IncludePaths, "C:\\Docs;;D:\\Work;");
}

TEST_F(PropertiesFixture, OkWritesTheStartUpEntries) {
    struct Case {
        const char* what;
        const char* machineBefore;
        const char* userBefore;
        bool run, allUsers, forMeOnly;
        const char* machine;
        const char* user;
    } cases[] = {
        {"both present, shown as for me only", kExePath, kExePath, true, false, true, "", kExePath},
        {"off empties both", kExePath, kExePath, false, false, true, "", ""},
        {"for all users", nullptr, nullptr, true, true, false, kExePath, ""},
        {"on without an option chosen", nullptr, nullptr, true, false, false, "", ""},
    };
    for (const Case& c : cases) {
        registry.values.clear();
        SetRunValues(c.machineBefore, c.userBefore);
        PropertiesValues v = ReadProperties(ctx);
        if (c.machineBefore && c.userBefore) {
            EXPECT_TRUE(v.forMeOnly);
            EXPECT_FALSE(v.allUsers);
        }
        v.runAtStartup = c.run;
        v.allUsers = c.allUsers;
        v.forMeOnly = c.forMeOnly;
        StoreProperties(ctx, v, *this);
        EXPECT_EQ(RunValue(registry, RegistryRoot::LocalMachine), c.machine) << c.what;
        EXPECT_EQ(RunValue(registry, RegistryRoot::CurrentUser), c.user) << c.what;
    }

    // Without the right to write the machine-wide value the settings are still stored.
    registry.failWrites = true;
    fs.RemoveFile(kIniPath);
    StoreProperties(ctx, ReadProperties(ctx), *this);
    EXPECT_TRUE(fs.Exists(kIniPath));
    EXPECT_TRUE(messages.errors.empty());
}

TEST_F(PropertiesFixture, RefreshOnChangeAsksForABuildAtTheNextIdleMoment) {
    struct Case {
        const char* what;
        bool fixed;
        const char* minutes;
        int builds;
        uint32_t timer;
    } cases[] = {
        {"refresh on every change", false, "30", 1, 0},
        {"every 30 minutes, the index is missing", true, "30", 1, 30u * 60u * 1000u},
        {"a fixed schedule of 0 minutes waits for Refresh", true, "0", 0, 0},
    };
    for (const Case& c : cases) {
        refreshHost.builds = 0;
        refresh.RefreshPending = false;
        PropertiesValues v = ReadProperties(ctx);
        v.refreshFixedSchedule = c.fixed;
        v.refreshMinutes = c.minutes;
        StoreProperties(ctx, v, *this);
        EXPECT_EQ(refreshHost.timer, c.timer) << c.what;
        EXPECT_EQ(refreshHost.builds, 0) << c.what;  // nothing before the program is idle
        refresh.IdleRefreshCheck();
        EXPECT_EQ(refreshHost.builds, c.builds) << c.what;
    }
}

TEST_F(PropertiesFixture, UnwritableSettingsFileIsReportedAndTheValuesStayInMemory) {
    fs.readOnlyPaths.insert(UpperCase(kIniPath));
    PropertiesValues v = ReadProperties(ctx);
    v.dataLocation = "E:\\Elsewhere";
    StoreProperties(ctx, v, *this);
    EXPECT_EQ(messages.errors,
              std::vector<std::string>{std::string("Cannot create file ") + kIniPath});
    EXPECT_EQ(settings.DataLocation, "E:\\Elsewhere");
    EXPECT_NE(fs.ReadWhole(kIniPath)->find("D:\\LarkspireData"), std::string::npos);
    EXPECT_EQ(schedules, 1);
}

TEST(DataLocationColour, GreyOnlyForTheDefaultWrittenExactly) {
    EXPECT_TRUE(IsDefaultDataLocationText("C:\\Documents and Settings"));
    EXPECT_FALSE(IsDefaultDataLocationText("c:\\Documents and Settings"));
    EXPECT_FALSE(IsDefaultDataLocationText("C:\\Documents and Settings\\"));
    EXPECT_FALSE(IsDefaultDataLocationText("C:\\ProgramData\\Larkspire"));
}

}  // namespace
}  // namespace lark
