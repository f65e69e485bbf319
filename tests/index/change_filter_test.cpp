#include "index/change_filter.h"

#include <gtest/gtest.h>

#include "config/data_paths.h"
#include "support/test_app.h"

namespace lark {

TEST(ChangeFilter, OnlyChangesThatCanAlterTheIndexCount) {
    TestApp app;
    app.settings.DataLocation = "C:\\ProgramData\\Larkspire";
    ChangeFilter filter("C:\\Users\\*\\AppData;C:\\Users\\jdoe\\Scratch;",
                        ProgramDataFiles(app.ctx));
    struct Case {
        const char* path;
        bool counts;
    } cases[] = {
        {"C:\\Users\\jdoe\\Documents\\letter.doc", true},
        {"C:\\Users\\jdoe\\Documents", true},
        {"C:\\Users\\jdoe\\AppData\\Local\\Temp\\x.tmp", false},
        {"C:\\Users\\jdoe\\AppData\\Roaming\\Microsoft\\Windows\\Recent\\letter.lnk", false},
        {"C:\\Users\\jdoe\\AppData", false},
        {"C:\\Users\\jdoe\\Scratch\\deep\\a.txt", false},
        {"C:\\Users\\jdoe\\Scratchpad.txt", true},
        // The program's own files, also in another letter case and while rewritten whole.
        {"C:\\ProgramData\\Larkspire\\All Users\\All files.idx", false},
        {"C:\\ProgramData\\Larkspire\\All Users\\larkspire.log", false},
        {"C:\\ProgramData\\Larkspire\\jdoe\\Recent files.idx", false},
        {"c:\\programdata\\larkspire\\jdoe\\recent files.idx.new~", false},
        {"C:\\ProgramData\\Larkspire\\jdoe\\Last Search.idx", false},
        {"C:\\ProgramData\\Larkspire\\jdoe\\Search.lks", false},
        {"C:\\ProgramData\\Larkspire\\jdoe\\Keywords.txt", false},
        {"C:\\ProgramData\\Larkspire\\jdoe\\Larkspire.log", false},
        {"C:\\Temp\\~mrlist.txt", false},
        // Beside them, the user's own saved searches and templates are indexed as any file.
        {"C:\\ProgramData\\Larkspire\\jdoe\\Searches\\letters.lks", true},
        {"C:\\ProgramData\\Larkspire\\jdoe\\Recent files.idx.bak", true},
        {"C:\\ProgramData\\Larkspire\\jdoe\\Template\\Letter.doc", true},
    };
    for (const Case& c : cases) EXPECT_EQ(filter.Counts(c.path), c.counts) << c.path;
}

}  // namespace lark
