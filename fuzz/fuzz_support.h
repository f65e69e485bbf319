#pragma once
// What every fuzz target shares: an in-memory program context, and a way to report a broken
// property so libFuzzer keeps the input that shows it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "config/context.h"
#include "config/settings.h"
#include "platform/fake/fake_messages.h"
#include "platform/fake/fake_platform.h"

namespace lark::fuzz {

struct Context {
    FakeFileSystem fs;
    FakeRegistry registry;
    FakeClock clock;
    FakeMessages messages;
    Settings settings;
    AppContext ctx{fs,       registry,   clock,
                   messages, settings,   "C:\\Program Files\\Larkspire\\Larkspire.exe",
                   "jdoe",   "C:\\Temp", "C:\\Users\\jdoe\\Recent"};
};

inline std::string_view AsText(const uint8_t* data, size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Cuts the input at its first NUL: the part before and the part after.
inline std::pair<std::string_view, std::string_view> SplitAtNul(std::string_view text) {
    size_t at = text.find('\0');
    if (at == std::string_view::npos) return {text, {}};
    return {text.substr(0, at), text.substr(at + 1)};
}

[[noreturn]] inline void Broken(const char* what, std::string_view a = {},
                                std::string_view b = {}) {
    std::fprintf(stderr, "property broken: %s\n  [%.*s]\n  [%.*s]\n", what, int(a.size()), a.data(),
                 int(b.size()), b.data());
    std::abort();
}

}  // namespace lark::fuzz
