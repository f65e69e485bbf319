// A shortcut file of any bytes: the target found is plain text that names the shortcut.
#include "base/text.h"
#include "fuzz_support.h"
#include "views/shortcut.h"

using namespace lark;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    constexpr const char* kPath = "C:\\Users\\jdoe\\Recent\\report.doc.lnk";
    fuzz::Context c;
    c.fs.AddFile(kPath, fuzz::AsText(data, size));
    const std::string target = ReadShortcutTarget(c.fs, kPath);
    if (!target.empty() && !EndsWithIgnoringCase(target, "\\report.doc"))
        fuzz::Broken("a target that does not name the shortcut", target);
    return 0;
}
