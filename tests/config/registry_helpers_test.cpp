#include "config/registry_helpers.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_platform.h"

namespace lark {
namespace {

TEST(RegistryHelpers, DefaultsAndGuards) {
    FakeRegistry reg;
    EXPECT_EQ(ReadOption(reg, "ViewStyle", "0"), "0");
    reg.values[FakeRegistry::Id(RegistryRoot::CurrentUser, kOptionsKey, "ViewStyle")] = "";
    EXPECT_EQ(ReadOption(reg, "ViewStyle", "0"), "0");  // empty means the default
    EXPECT_TRUE(WriteOption(reg, "ViewStyle", "3"));
    EXPECT_EQ(ReadOption(reg, "viewstyle", "0"), "3");
    EXPECT_EQ(ReadRegistryString(reg, RegistryRoot::CurrentUser,
                                 "Software\\Brannock\\Larkspire\\Options", "ViewStyle", "0"),
              "3");
    EXPECT_EQ(ReadRegistryString(reg, RegistryRoot::LocalMachine, kOptionsKey, "ViewStyle", "d"),
              "d");

    const int before = reg.writes;
    EXPECT_FALSE(WriteRegistryString(reg, RegistryRoot::ClassesRoot, "", "x", "y"));
    EXPECT_EQ(reg.writes, before);
    EXPECT_TRUE(
        WriteRegistryString(reg, RegistryRoot::ClassesRoot, ".lks", "", "Larkspire.Search"));
    EXPECT_EQ(ReadRegistryString(reg, RegistryRoot::ClassesRoot, ".lks", "", ""),
              "Larkspire.Search");

    reg.failWrites = true;
    EXPECT_FALSE(WriteOption(reg, "LastAttachDir", "C:\\x"));
    EXPECT_EQ(ReadOption(reg, "LastAttachDir", ""), "");
}

}  // namespace
}  // namespace lark
