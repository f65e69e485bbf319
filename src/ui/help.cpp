#include "ui/help.h"

#include "base/text.h"
#include "platform/shell.h"

namespace lark {

std::string HelpPagePath(std::string_view exePath, int topic) {
    std::string_view page = "index.html";
    switch (topic) {
        case kHelpTopicQueries:
            page = "queries.html";
            break;
        case kHelpTopicViews:
            page = "views.html";
            break;
        case kHelpTopicCommands:
            page = "commands.html";
            break;
        default:
            break;
    }
    std::string path = FolderOfPath(exePath);
    path += "\\help\\";
    path += page;
    return path;
}

intptr_t OpenHelpTopic(ShellExecutor& shell, std::string_view exePath, int topic) {
    ShellRequest request;
    request.target = HelpPagePath(exePath, topic);
    return shell.Execute(request);
}

}  // namespace lark
