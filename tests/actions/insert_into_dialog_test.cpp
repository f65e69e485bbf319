#include "actions/insert_into_dialog.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "base/text.h"

namespace lark {
namespace {

struct RecordingTarget final : InsertTarget {
    Return back = Return::Back;
    bool clipboardOk = true;
    std::vector<std::string> calls;

    Return BringBackPreviousWindow() override {
        calls.push_back("bring back");
        return back;
    }
    void SendKeyScript(std::string_view script, int waitMode) override {
        calls.push_back("keys " + std::string(script) + " " + std::to_string(waitMode));
    }
    void ProcessMessages() override { calls.push_back("pump"); }
    bool SetClipboardText(const std::string& text) override {
        calls.push_back("clipboard " + text);
        return clipboardOk;
    }
};

TEST(InsertIntoPreviousWindow, PastesOnlyIntoTheWindowTheUserCameFrom) {
    using R = InsertTarget::Return;
    struct Case {
        R back;
        bool clipboardOk;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {R::Back, true, {"bring back", "pump", "clipboard C:\\a.txt", "keys ^v 1"}},
        // Gone: the switch back falls to Alt+Tab, waiting for the new window to be idle.
        {R::Gone,
         true,
         {"bring back", "keys %{TAB} 1", "pump", "clipboard C:\\a.txt", "keys ^v 1"}},
        // Still there but left behind: the text waits on the clipboard, pasted nowhere.
        {R::Refused, true, {"bring back", "pump", "clipboard C:\\a.txt"}},
        // Without the text on the clipboard a paste would insert what it held before.
        {R::Back, false, {"bring back", "pump", "clipboard C:\\a.txt"}},
        {R::Gone, false, {"bring back", "keys %{TAB} 1", "pump", "clipboard C:\\a.txt"}},
    };
    for (const Case& c : cases) {
        RecordingTarget target;
        target.back = c.back;
        target.clipboardOk = c.clipboardOk;
        InsertIntoPreviousWindow(target, "C:\\a.txt");
        EXPECT_EQ(target.calls, c.calls) << int(c.back) << c.clipboardOk;
    }
}

struct InsertFixture {
    std::vector<std::string> events;
    std::set<std::string> unreadable;
    InsertHost host;
    InsertFixture() {
        host.tempFolder = "C:\\Temp";
        host.hideWindow = [this] { events.push_back("hide"); };
        host.insertIntoPreviousWindow = [this](const std::string& text) {
            events.push_back("insert " + text);
        };
        host.copyConvertingGzip = [this](std::string_view source, std::string_view target) {
            if (unreadable.count(std::string(source))) return false;
            events.push_back("copy " + std::string(source) + " > " + std::string(target));
            return true;
        };
    }
};

TEST(InsertCommands, PathsOrTheirCompressedCopiesGoToTheDialog) {
    struct Case {
        const char* name;
        bool compressed;
        const char* box;
        std::vector<std::string> events;
    };
    const Case cases[] = {
        {"two files as they are",
         false,
         "C:\\a\\x.txt;C:\\b\\y.doc",
         {"hide", "insert C:\\a\\x.txt;C:\\b\\y.doc"}},
        {"an empty box inserts nothing", false, "", {"hide"}},
        {"two files compressed",
         true,
         "C:\\a\\x.txt;C:\\b\\y.doc",
         {"copy C:\\a\\x.txt > C:\\Temp\\x.txt.gz", "copy C:\\b\\y.doc > C:\\Temp\\y.doc.gz",
          "hide", "insert C:\\Temp\\x.txt.gz;C:\\Temp\\y.doc.gz"}},
        {"a gzip file gets a second .gz",
         true,
         "C:\\a\\x.gz",
         {"copy C:\\a\\x.gz > C:\\Temp\\x.gz.gz", "hide", "insert C:\\Temp\\x.gz.gz"}},
        {"what cannot be copied is left out",
         true,
         "C:\\a\\x.txt;http://example.org/z",
         {"copy C:\\a\\x.txt > C:\\Temp\\x.txt.gz", "hide", "insert C:\\Temp\\x.txt.gz"}},
        {"nothing copied, nothing inserted", true, "http://example.org/z", {"hide"}},
        {"quoted entry, blanks and empty entries",
         true,
         "\"C:\\a\\semi;colon.txt\"; C:\\b\\y.doc ;;",
         {"copy C:\\a\\semi;colon.txt > C:\\Temp\\semi;colon.txt.gz",
          "copy C:\\b\\y.doc > C:\\Temp\\y.doc.gz", "hide",
          "insert C:\\Temp\\semi;colon.txt.gz;C:\\Temp\\y.doc.gz"}},
        {"one name from three folders keeps three copies",
         true,
         "C:\\a\\x.txt;C:\\b\\X.txt;C:\\c\\x.txt;C:\\a\\README;C:\\b\\README",
         {"copy C:\\a\\x.txt > C:\\Temp\\x.txt.gz", "copy C:\\b\\X.txt > C:\\Temp\\X (2).txt.gz",
          "copy C:\\c\\x.txt > C:\\Temp\\x (3).txt.gz", "copy C:\\a\\README > C:\\Temp\\README.gz",
          "copy C:\\b\\README > C:\\Temp\\README (2).gz", "hide",
          "insert C:\\Temp\\x.txt.gz;C:\\Temp\\X (2).txt.gz;C:\\Temp\\x (3).txt.gz;"
          "C:\\Temp\\README.gz;C:\\Temp\\README (2).gz"}},
        {"the same file twice is one copy",
         true,
         "C:\\a\\x.txt;c:\\A\\x.txt",
         {"copy C:\\a\\x.txt > C:\\Temp\\x.txt.gz", "copy c:\\A\\x.txt > C:\\Temp\\x.txt.gz",
          "hide", "insert C:\\Temp\\x.txt.gz;C:\\Temp\\x.txt.gz"}},
    };
    for (const Case& c : cases) {
        InsertFixture f;
        f.unreadable = {"http://example.org/z"};
        if (c.compressed) {
            InsertCompressed(f.host, c.box);
        } else {
            InsertIntoDialog(f.host, c.box);
        }
        EXPECT_EQ(f.events, c.events) << c.name;
    }
}

}  // namespace
}  // namespace lark
