#pragma once
// Help ships as HTML pages in a "help" folder beside the executable; a topic number names a
// page, as the windows' help buttons and the Help menu ask for them.
#include <cstdint>
#include <string>
#include <string_view>

namespace lark {

class ShellExecutor;

inline constexpr int kHelpTopicOverview = 10;
inline constexpr int kHelpTopicQueries = 20;
inline constexpr int kHelpTopicViews = 30;
inline constexpr int kHelpTopicCommands = 40;
inline constexpr std::string_view kTechSupportAddress = "https://larkspire.example.org/";
std::string HelpPagePath(std::string_view exePath, int topic);

// Opens the page of a topic in the browser; the result follows ShellExecute.
intptr_t OpenHelpTopic(ShellExecutor& shell, std::string_view exePath, int topic);

}  // namespace lark
