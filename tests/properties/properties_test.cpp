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

TEST_F(PropertiesFixture, StartUpEntriesAsShownAndAsStoredByOk) {
    struct Case {
        const char* what;
        const char* machineBefore;
        const char* userBefore;
        bool shownRun, shownAllUsers, shownForMeOnly;  // what the dialog opens with
        bool run, allUsers, forMeOnly;                 // what the user leaves on OK
        const char* machine;
        const char* user;
    } cases[] = {
        {"none; for all users", nullptr, nullptr, false, false, false, true, true, false, kExePath,
         ""},
        {"empty values are off", "", "", false, false, false, false, false, false, "", ""},
        {"both present: for me only", kExePath, kExePath, true, false, true, true, false, true, "",
         kExePath},
        {"turned off empties both", kExePath, kExePath, true, false, true, false, false, true, "",
         ""},
        {"on without an option", nullptr, nullptr, false, false, false, true, false, false, "", ""},
    };
    for (const Case& c : cases) {
        registry.values.clear();
        SetRunValues(c.machineBefore, c.userBefore);
        PropertiesValues v = ReadProperties(ctx);
        EXPECT_EQ(v.runAtStartup, c.shownRun) << c.what;
        EXPECT_EQ(v.allUsers, c.shownAllUsers) << c.what;
        EXPECT_EQ(v.forMeOnly, c.shownForMeOnly) << c.what;
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
        // Beyond what a timer holds: limited as the loader limits it, stored as typed.
        {"100000 minutes", true, "100000", 0, 0},
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
    EXPECT_EQ(settings.RefreshMinutes, 0);
    EXPECT_NE(fs.ReadWhole(kIniPath)->find("RefreshMinutes=100000\r\n"), std::string::npos);
}

}  // namespace
}  // namespace lark
