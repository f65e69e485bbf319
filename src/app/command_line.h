#pragma once
// The command line of a start: its switches, the remaining text, and what a start does
// when another instance already runs.
#include <cstdint>
#include <string>
#include <vector>

namespace lark {

enum CommandSwitch : uint32_t {
    kSwitchOpen = 1,
    kSwitchRun = 2,
    kSwitchRestart = 4,
    kSwitchShutdown = 8,
    kSwitchTrace = 16,
    kSwitchDebug = 32,
    kSwitchQuiet = 64,
    kSwitchNoBanner = 128,
};

// Parameters 1..N joined with single blanks (the shell has removed their quotes).
std::string JoinedCommandLine(const std::vector<std::string>& parameters);
// Takes the switches out of text, leaving the other tokens, joined by blanks and
// trimmed; the walk stops at the first empty token.
uint32_t ParseSwitches(std::string& text);
inline bool HasSwitch(uint32_t switches, uint32_t bit) {
    return (switches & bit) != 0;
}

// What a start does with its command line.
struct StartDecision {
    bool keepRunning = false;     // this process is the running instance and stays
    std::string startupOpenText;  // kept by a running instance started with a text
    bool sendShow = false;        // to the other instance, in this order
    bool sendOpen = false;        //   (the text to open is the remaining text)
    bool sendExit = false;
};
StartDecision DecideStart(uint32_t switches, const std::string& text, bool otherInstanceFound);

}  // namespace lark
