#pragma once
// A program context on the in-memory platform, for tests of the portable code.
#include <string>
#include <utility>

#include "config/context.h"
#include "config/settings.h"
#include "platform/fake/fake_messages.h"
#include "platform/fake/fake_platform.h"

namespace lark {

struct TestApp {
    static constexpr const char* kExePath = "C:\\Program Files\\Larkspire\\Larkspire.exe";
    static constexpr const char* kIniPath = "C:\\Program Files\\Larkspire\\LARKSPIRE.ini";

    explicit TestApp(std::string exePath = kExePath,
                     std::string recentFolder = "C:\\Users\\jdoe\\Recent")
        : ctx{fs,       registry,   clock,
              messages, settings,   std::move(exePath),
              "jdoe",   "C:\\Temp", std::move(recentFolder)} {}

    FakeFileSystem fs;
    FakeRegistry registry;
    FakeClock clock;
    FakeMessages messages;
    Settings settings;
    AppContext ctx;
};

}  // namespace lark
