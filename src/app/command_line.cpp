#include "app/command_line.h"

#include <string_view>

#include "base/text.h"

namespace lark {

namespace {

struct SwitchName {
    std::string_view name;
    uint32_t bit;
};
constexpr SwitchName kSwitches[] = {
    {"/OPEN", kSwitchOpen},         {"/RUN", kSwitchRun},     {"/RESTART", kSwitchRestart},
    {"/SHUTDOWN", kSwitchShutdown}, {"/TRACE", kSwitchTrace}, {"/DEBUG", kSwitchDebug},
    {"/Q", kSwitchQuiet},           {"/QUIET", kSwitchQuiet}, {"/NOBANNER", kSwitchNoBanner},
};

}  // namespace

std::string JoinedCommandLine(const std::vector<std::string>& parameters) {
    std::string joined;
    for (size_t i = 1; i < parameters.size(); ++i) {
        if (i > 1) joined += ' ';
        joined += parameters[i];
    }
    return joined;
}

uint32_t ParseSwitches(std::string& text) {
    uint32_t bits = 0;
    std::string remaining;
    for (std::string token = SplitNextToken(text, " "); !token.empty();
         token = SplitNextToken(text, " ")) {
        std::string upper = UpperCase(token);
        uint32_t bit = 0;
        for (const SwitchName& s : kSwitches)
            if (upper == s.name) bit = s.bit;
        if (bit != 0) {
            bits |= bit;
        } else {
            remaining += token;
            remaining += ' ';
        }
    }
    text = Trim(remaining);
    return bits;
}

StartDecision DecideStart(uint32_t switches, const std::string& text, bool otherInstanceFound) {
    StartDecision d;
    bool hasText = HasSwitch(switches, kSwitchOpen) || !text.empty();
    if (HasSwitch(switches, kSwitchRestart) || !otherInstanceFound) {
        if (hasText) d.startupOpenText = text;
        d.keepRunning = !HasSwitch(switches, kSwitchShutdown);
        return d;
    }
    d.sendShow = HasSwitch(switches, kSwitchRun);
    if (hasText)
        d.sendOpen = true;
    else
        d.sendExit = HasSwitch(switches, kSwitchShutdown);
    return d;
}

}  // namespace lark
