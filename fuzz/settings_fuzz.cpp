// The settings file: any bytes load leniently, and settings the program wrote load to the same
// settings (writing them again gives the same text). The first load may still trim what a
// hand-made file holds (a control character at the end of a path joined to the next by ";").
#include "config/data_paths.h"
#include "fuzz_support.h"

using namespace lark;

namespace {

std::string Saved(const Settings& s) {
    return SettingsFileText(s, std::to_string(s.RefreshMinutes), std::to_string(s.RecentEditDocs),
                            s.ExcludeFromRecentEdits);
}

std::string LoadedText(std::string_view fileText) {
    fuzz::Context c;
    c.fs.AddFile(SettingsFilePath(c.ctx), fileText);
    if (!LoadSettings(c.ctx)) fuzz::Broken("an existing settings file did not load");
    if (!c.settings.CurrentSearchSet) fuzz::Broken("no current domain after a load");
    return Saved(c.settings);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string once = LoadedText(fuzz::AsText(data, size));
    const std::string twice = LoadedText(LoadedText(once));
    const std::string thrice = LoadedText(twice);
    if (twice != thrice) fuzz::Broken("saved settings load differently", twice, thrice);
    return 0;
}
