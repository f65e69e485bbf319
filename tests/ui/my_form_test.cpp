#include "ui/my_form.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_platform.h"

namespace lark {
namespace {

const std::string kKey = "Software\\Brannock\\Larkspire\\Form\\fmOpen";

void Put(FakeRegistry& reg, const char* name, const char* value) {
    reg.Write(RegistryRoot::CurrentUser, kKey, name, value);
}

TEST(FormPlacement, RestoreTakesStoredValuesAndKeepsWindowsOnScreen) {
    const FormPlacement design{100, 100, 730, 465, WindowState::Normal};
    const ScreenSize screen{1024, 768};
    struct Case {
        const char* what;
        std::vector<std::pair<const char*, const char*>> stored;
        FormPlacement expected;
    };
    const Case cases[] = {
        {"nothing stored keeps the design", {}, design},
        {"stored values replace the design",
         {{"Top", "20"}, {"Left", "30"}, {"Width", "400"}, {"Height", "300"}},
         {20, 30, 400, 300, WindowState::Normal}},
        {"too wide is cut to 95 percent and pulled left",
         {{"Left", "200"}, {"Width", "5000"}},
         {100, 52, 972, 465, WindowState::Normal}},
        {"too tall is cut to 95 percent and moved up",
         {{"Top", "10"}, {"Height", "2000"}},
         {9, 100, 730, 729, WindowState::Normal}},
        {"past the right edge moves left",
         {{"Left", "600"}},
         {100, 294, 730, 465, WindowState::Normal}},
        {"bottom inside the last 30 pixels moves up",
         {{"Top", "290"}},
         {273, 100, 730, 465, WindowState::Normal}},
        {"exactly 30 pixels above the bottom stays",
         {{"Top", "273"}},
         {273, 100, 730, 465, WindowState::Normal}},
        {"partly off the left and top edge stays",
         {{"Top", "-20"}, {"Left", "-40"}},
         {-20, -40, 730, 465, WindowState::Normal}},
        {"maximised ignores the stored normal placement",
         {{"WindowState", "2"}, {"Top", "5"}, {"Left", "5"}},
         {100, 100, 730, 465, WindowState::Maximised}},
        {"values that are not whole numbers count as missing",
         {{"Top", "12px"},
          {"Left", ""},
          {"Width", "4.5"},
          {"Height", " 300"},
          {"WindowState", "x"}},
         {100, 100, 730, 300, WindowState::Normal}},
        {"a stored minimised state reopens normal at the stored place",
         {{"WindowState", "1"}, {"Top", "50"}, {"Left", "60"}},
         {50, 60, 730, 465, WindowState::Normal}},
        {"wholly off the left and top edge comes back",
         {{"Top", "-32000"}, {"Left", "-32000"}},
         {0, 0, 730, 465, WindowState::Normal}},
        {"an unknown window state counts as missing",
         {{"WindowState", "7"}, {"Top", "50"}},
         {50, 100, 730, 465, WindowState::Normal}},
    };
    for (const Case& c : cases) {
        FakeRegistry reg;
        for (auto& [name, value] : c.stored) Put(reg, name, value);
        EXPECT_EQ(RestoreFormPlacement(reg, "fmOpen", design, screen), c.expected) << c.what;
    }
}

TEST(FormPlacement, StoreWritesOnlyWhatChanged) {
    const FormPlacement saved{10, 20, 300, 200, WindowState::Normal};
    struct Case {
        const char* what;
        FormPlacement current;
        std::map<std::string, std::string> written;  // value name -> text
    };
    const Case cases[] = {
        {"unchanged writes nothing", saved, {}},
        {"moved writes the position",
         {15, 25, 300, 200, WindowState::Normal},
         {{"Top", "15"}, {"Left", "25"}}},
        {"resized writes the size",
         {10, 20, 310, 190, WindowState::Normal},
         {{"Width", "310"}, {"Height", "190"}}},
        {"minimised writes its normal place, never the state",
         {30, 40, 300, 200, WindowState::Minimised},
         {{"Top", "30"}, {"Left", "40"}}},
        {"maximised writes only the state",
         {0, 0, 1024, 768, WindowState::Maximised},
         {{"WindowState", "2"}}},
    };
    for (const Case& c : cases) {
        FakeRegistry reg;
        StoreFormPlacement(reg, "fmOpen", saved, c.current);
        std::map<std::string, std::string> written;
        for (const char* name : {"Top", "Left", "Width", "Height", "WindowState"}) {
            if (auto v = reg.Read(RegistryRoot::CurrentUser, kKey, name)) written[name] = *v;
        }
        EXPECT_EQ(written, c.written) << c.what;
    }
}

TEST(FormPlacement, StoredPlacementComesBackUnchanged) {
    FakeRegistry reg;
    const FormPlacement design{100, 100, 730, 465, WindowState::Normal};
    const FormPlacement moved{40, 60, 640, 480, WindowState::Normal};
    StoreFormPlacement(reg, "fmSearch", design, moved);
    EXPECT_EQ(RestoreFormPlacement(reg, "fmSearch", design, {1280, 1024}), moved);
    // Another window's values are its own.
    EXPECT_EQ(RestoreFormPlacement(reg, "fmOpen", design, {1280, 1024}), design);
}

}  // namespace
}  // namespace lark
