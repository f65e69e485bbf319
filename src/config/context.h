#pragma once
// What the portable code reaches the outside world through. The running program has one
// context built on the Win32 implementations; tests build theirs on the fakes.
#include <string>

#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/messages.h"
#include "platform/registry.h"

namespace lark {

struct Settings;

struct AppContext {
    FileSystem& fs;
    Registry& registry;
    Clock& clock;
    Messages& messages;
    Settings& settings;  // the process-wide settings record
    std::string exePath;       // full path of Larkspire.exe
    std::string userName;      // the logged-on user's name (UserLoginName)
    std::string tempFolder;    // the system temporary folder, no trailing "\"
    std::string recentFolder;  // the shell's per-user Recent folder
};

}  // namespace lark
