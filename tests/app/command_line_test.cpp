#include "app/command_line.h"

#include <gtest/gtest.h>

namespace lark {

TEST(ParseSwitches, SwitchesOutRestJoined) {
    struct Case {
        const char* text;
        uint32_t bits;
        const char* rest;
    } cases[] = {
        {"", 0, ""},
        {"/RUN", kSwitchRun, ""},
        {"/run /Open <Last Search>", kSwitchRun | kSwitchOpen, "<Last Search>"},
        {"<Last Search> /SHUTDOWN", kSwitchShutdown, "<Last Search>"},
        {"/Q /QUIET /NOBANNER /TRACE /DEBUG",
         kSwitchQuiet | kSwitchNoBanner | kSwitchTrace | kSwitchDebug, ""},
        {"/RESTART/RUN", 0, "/RESTART/RUN"},  // whole tokens only
        {"/OPENX", 0, "/OPENX"},
        {"C:\\My Files\\a.lks", 0, "C:\\My Files\\a.lks"},
        {"C:\\My  Files\\a.lks", 0, "C:\\My"},  // two blanks end the walk
        {"/RUN  /SHUTDOWN", kSwitchRun, ""},
        {"\"C:\\My Files\\a.lks\" /RUN", kSwitchRun, "C:\\My Files\\a.lks"},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(ParseSwitches(text), c.bits) << c.text;
        EXPECT_EQ(text, c.rest) << c.text;
    }
}

TEST(JoinedCommandLine, ParametersAfterTheProgramWithSingleBlanks) {
    EXPECT_EQ(JoinedCommandLine({"Larkspire.exe"}), "");
    EXPECT_EQ(JoinedCommandLine({}), "");
    EXPECT_EQ(JoinedCommandLine({"x.exe", "C:\\My Files\\a.lks", "/RUN"}),
              "C:\\My Files\\a.lks /RUN");
}

TEST(DecideStart, RunningInstanceOrHandOff) {
    struct Case {
        uint32_t bits;
        const char* text;
        bool other;
        bool keep, show, open, exit;
        const char* startupText;
    } cases[] = {
        // No other instance: this one stays unless told to shut down.
        {0, "", false, true, false, false, false, ""},
        {0, "<Last Search>", false, true, false, false, false, "<Last Search>"},
        {kSwitchOpen, "", false, true, false, false, false, ""},
        {kSwitchShutdown, "", false, false, false, false, false, ""},
        {kSwitchRun, "", false, true, false, false, false, ""},
        // "/RESTART" makes another resident instance.
        {kSwitchRestart, "", true, true, false, false, false, ""},
        // Another instance runs.
        {0, "", true, false, false, false, false, ""},
        {kSwitchRun, "", true, false, true, false, false, ""},
        {kSwitchRun | kSwitchOpen, "", true, false, true, true, false, ""},
        {0, "<Last Search>", true, false, false, true, false, ""},
        {kSwitchShutdown, "", true, false, false, false, true, ""},
        {kSwitchShutdown | kSwitchOpen, "<Last Search>", true, false, false, true, false, ""},
        {kSwitchShutdown | kSwitchRun, "", true, false, true, false, true, ""},
    };
    for (const Case& c : cases) {
        StartDecision d = DecideStart(c.bits, c.text, c.other);
        std::string label =
            std::to_string(c.bits) + " '" + c.text + "' " + (c.other ? "other" : "");
        EXPECT_EQ(d.keepRunning, c.keep) << label;
        EXPECT_EQ(d.sendShow, c.show) << label;
        EXPECT_EQ(d.sendOpen, c.open) << label;
        EXPECT_EQ(d.sendExit, c.exit) << label;
        EXPECT_EQ(d.startupOpenText, c.startupText) << label;
    }
}

}  // namespace lark
