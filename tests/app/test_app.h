#pragma once
// A program context on the in-memory platform, for tests of the portable code.
#include "app/context.h"
#include "app/settings.h"
#include "platform/fake/fake_messages.h"
#include "platform/fake/fake_platform.h"

namespace lark {

struct TestApp {
    FakeFileSystem fs;
    FakeRegistry registry;
    FakeClock clock;
    FakeMessages messages;
    Settings settings;
    AppContext ctx{fs,       registry,   clock,
                   messages, settings,   "C:\\Program Files\\Larkspire\\Larkspire.exe",
                   "jdoe",   "C:\\Temp", "C:\\Users\\jdoe\\Recent"};
    static constexpr const char* kIniPath = "C:\\Program Files\\Larkspire\\LARKSPIRE.ini";
};

}  // namespace lark
