// A recent-documents list of any bytes: it loads, prunes and saves, and what it saves reads
// back as the same list.
#include "base/path_list.h"
#include "config/data_paths.h"
#include "fuzz_support.h"
#include "views/recent_documents.h"

using namespace lark;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Context c;
    c.settings.RecentEditDocs = size % 7;
    const std::string path = MyRecentFilesPath(c.ctx);
    c.fs.AddFile(path, fuzz::AsText(data, size));
    // A few of the listed files exist, so pruning keeps some and drops others.
    const PathList listed = ParsePathListText(fuzz::AsText(data, size));
    for (size_t i = 0; i < listed.size(); i += 2) {
        std::string_view p = listed[i];
        if (p.size() > 3 && p[1] == ':' && p[2] == '\\' && p.back() != '\\') c.fs.AddFile(p);
    }
    PathList recent;
    if (!LoadRecentDocuments(c.ctx, recent)) fuzz::Broken("an existing recent list did not load");
    PruneRecentDocuments(c.ctx, recent);
    AddToRecentDocuments(c.ctx, recent, "C:\\Docs\\new.txt");
    const std::string text = PathListText(recent);
    const PathList again = ParsePathListText(text);
    if (PathListText(again) != text) fuzz::Broken("a saved list reads back differently", text);
    return 0;
}
