#include "views/view_catalogue.h"

#include <gtest/gtest.h>

#include "base/date_time.h"
#include "platform/fake/fake_platform.h"

namespace lark {
namespace {

const std::string kSign(kSectionSign);

TEST(ViewNames, DisplayUserName) {
    struct Case {
        const char* folder;
        const char* shown;
    } cases[] = {
        {"jean de la fontaine", "Jean de la Fontaine"},
        {"jsmith", "Jsmith"},
        {"bcd", "BCD"},
        {"mary-jo", "Mary-Jo"},
        {"i am", "I Am"},            // "I" keeps its capital inside a name
        {"anne de.x", "Anne De.X"},  // a short word before "." keeps its capital
        {"de la x", "De la X"},      // the first word is never lowered
        {"2nd_shift", "2nd_Shift"},  // a leading digit makes a word speakable
        {"x-ray", "X-Ray"},          // "X" alone is unspeakable, kept upper case
        {"ADMINISTRATOR", "Administrator"},
        {"a  b", "A  B"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(DisplayUserName(c.folder), c.shown) << c.folder;
}

TEST(ViewNames, KindsCaptionsAndSelectorTexts) {
    struct Case {
        const char* name;
        ViewKind kind;
        const char* caption;
        const char* selectorText;
    } cases[] = {
        {"<My Recent Documents>", ViewKind::RecentDocuments, "Larkspire - <My Recent Documents>",
         "My Recent Documents"},
        {"<Last Search>", ViewKind::LastSearch, "Larkspire - <Search=\"rep doc\">", "Last Search"},
        {"<Recent Folders>", ViewKind::RecentFolders, "Larkspire - <Recent Folders>",
         "Recent Folders"},
        {"<Recent Programs>", ViewKind::RecentPrograms, "Larkspire - <Recent Programs>",
         "Recent Programs"},
        {"<Template Documents>", ViewKind::TemplateDocuments, "Larkspire - <Template Documents>",
         "Template Documents"},
        {"<Bob's Recent Documents>", ViewKind::OtherUser, "Larkspire - <Bob's Recent Documents>",
         "Bob's Recent Documents"},
        {"Letters", ViewKind::SavedSearch, "Larkspire - <Search=\"rep doc\">", "Letters"},
        {"<my recent documents>", ViewKind::SavedSearch, "Larkspire - <Search=\"rep doc\">",
         "my recent documents"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ClassifyView(c.name), c.kind) << c.name;
        EXPECT_EQ(ViewCaption(c.name, "rep doc"), c.caption) << c.name;
        EXPECT_EQ(SelectorTextOfView(c.name), c.selectorText) << c.name;
    }
    EXPECT_EQ(OtherUserOfView("<Mary-Jo's Recent Documents>"), "Mary-Jo");
    EXPECT_EQ(OtherUserOfView("<O'Brien's Recent Documents>"), "O'Brien");
    EXPECT_EQ(ObjectCountText(0), "0 Object(s)");
    EXPECT_EQ(ObjectCountText(12), "12 Object(s)");
}

TEST(ViewNames, SavedSearchFilePath) {
    FakeFileSystem fs;
    fs.AddFile("D:\\Shared\\Mine.LKS");
    fs.AddFolder("D:\\Shared\\Folder.lks");
    struct Case {
        std::string name;
        const char* path;
    } cases[] = {
        {"Letters", "C:\\U\\Searches\\Letters.lks"},
        {"Letters" + kSign, "C:\\All\\Searches\\Letters.lks"},
        {"D:\\Shared\\Mine.LKS", "D:\\Shared\\Mine.LKS"},
        {"D:\\Shared\\Missing.lks", "C:\\U\\Searches\\D:\\Shared\\Missing.lks.lks"},
        {"D:\\Shared\\Folder.lks", "C:\\U\\Searches\\D:\\Shared\\Folder.lks.lks"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SavedSearchFilePath(fs, "C:\\U\\Searches\\", "C:\\All\\Searches", c.name),
                  c.path);
}

TEST(ViewCatalogue, OffersOtherUsersAndSavedSearchesInOrder) {
    FakeFileSystem fs;
    fs.AddFolder("C:\\Data\\jdoe");
    fs.AddFolder("C:\\Data\\All Users");
    fs.AddFolder("C:\\Data\\mary-jo");
    fs.AddFile("C:\\Data\\readme.txt");
    fs.AddFile("C:\\Data\\jdoe\\Searches\\Letters.lks");
    fs.AddFile("C:\\Data\\All Users\\Searches\\Forms.lks");
    ViewSources sources{"C:\\Data", "jdoe", "C:\\Data\\jdoe\\Searches",
                        "C:\\Data\\All Users\\Searches"};
    ViewCatalogue cat = BuildViewCatalogue(fs, sources);
    EXPECT_EQ(cat.names, (std::vector<std::string>{
                             "<My Recent Documents>", "<Last Search>", "<Template Documents>",
                             "<Recent Folders>", "<Recent Programs>",
                             "<Mary-Jo's Recent Documents>", "Letters", "Forms" + kSign}));
    std::string selector;
    for (const auto& e : cat.selector)
        selector += e.text + "/" + std::to_string(e.image) + "/" + std::to_string(e.indent) + ";";
    EXPECT_EQ(selector,
              "My Recent Documents/1/0;Last Search/3/0;Template Documents/4/0;Recent Folders/5/0;"
              "Recent Programs/9/0;Other Users Recent Documents/1/0;"
              "Mary-Jo's Recent Documents/1/2;My Searches/3/0;"
              "Letters/3/2;Global Searches/3/0;Forms" +
                  kSign + "/3/2;");
    std::string tree;
    for (const auto& n : cat.tree) {
        tree += n.text + "/" + std::to_string(n.image) + (n.expanded ? "+" : "") + "[";
        for (const auto& c : n.children) tree += c.text + "/" + std::to_string(c.image) + ";";
        tree += "]";
    }
    EXPECT_EQ(tree,
              "My Recent Documents/1[]Last Search/3[]Template Documents/4[]Recent Folders/5[]"
              "Recent Programs/9[]Other Users Recent Documents/8+["
              "<Mary-Jo's Recent Documents>/1;]My Searches/8+[Letters/3;]Global Searches/8+["
              "Forms/3;]");

    // The own folder is recognised by its exact name only.
    sources.userName = "JDOE";
    EXPECT_EQ(BuildViewCatalogue(fs, sources).names[5], "<Jdoe's Recent Documents>");

    // With nothing else to offer the groups stay closed.
    FakeFileSystem empty;
    ViewCatalogue bare = BuildViewCatalogue(empty, sources);
    EXPECT_EQ(bare.names.size(), 5u);
    EXPECT_EQ(bare.tree[5].image, kImageGroupClosed);
    EXPECT_FALSE(bare.tree[6].expanded);
}

TEST(ViewCatalogue, SelectorAndTreeChoices) {
    using R = ViewRequest;
    struct SelectorCase {
        std::string text;
        int indent;
        R request;
    } selector[] = {
        {"My Searches", 0, {}},
        {"Global Searches", 0, {}},
        {"Other Users Recent Documents", 0, {}},
        {"My Recent Documents", 0, {R::ShowFixed, "My Recent Documents"}},
        {"Recent Programs", 0, {R::ShowFixed, "Recent Programs"}},
        {"Bob's Recent Documents", 2, {R::ShowFixed, "Bob's Recent Documents"}},
        {"Letters", 2, {R::Show, "Letters"}},
        {"Forms" + kSign, 2, {R::Show, "Forms" + kSign}},
    };
    for (const auto& c : selector)
        EXPECT_EQ(SelectorRequest(c.text, c.indent), c.request) << c.text;

    struct TreeCase {
        std::string text, parent;
        R request;
    } tree[] = {
        {"My Searches", "", {}},
        {"Global Searches", "", {}},
        {"Other Users Recent Documents", "", {}},
        {"Last Search", "", {R::ShowFixed, "Last Search"}},
        {"Template Documents", "", {R::ShowFixed, "Template Documents"}},
        {"Letters", "My Searches", {R::Show, "Letters"}},
        {"Forms", "Global Searches", {R::Show, "Forms" + kSign}},
        {"<Bob's Recent Documents>",
         "Other Users Recent Documents",
         {R::Show, "<Bob's Recent Documents>"}},
    };
    for (const auto& c : tree) EXPECT_EQ(TreeRequest(c.text, c.parent), c.request) << c.text;
}

TEST(ViewRows, AdmissionAndRowFields) {
    FileInfo file;
    file.attributes = kAttrArchive | kAttrReadOnly;
    file.size = 2097152 + 1023;
    file.writeTimeLocal = 133500000000000000;  // 2024-01-16 local
    auto row = MakeFileListRow("C:\\Docs\\Report.doc", file, false, nullptr);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->Name, "Report.doc");
    EXPECT_EQ(row->Folder, "C:\\Docs");
    EXPECT_EQ(row->SizeKB, 2048);
    EXPECT_EQ(row->Attributes, kAttrArchive | kAttrReadOnly);
    EXPECT_EQ(DecodeDateTime(row->Modified).year, 2024);
    EXPECT_TRUE(row->DetailsPending);

    FileInfo old = file;
    old.writeTimeLocal = 100000000000000000;  // 1917: outside the packed stamp range
    EXPECT_EQ(MakeFileListRow("C:\\a.doc", old, false, nullptr)->Modified, 0);
    EXPECT_FALSE(MakeFileListRow("C:\\a.doc", std::nullopt, false, nullptr));
    EXPECT_FALSE(MakeFileListRow("C:\\a.doc", file, false, [](double) { return false; }));

    FileInfo folder;
    folder.attributes = kAttrDirectory;
    EXPECT_FALSE(MakeFileListRow("C:\\Docs", folder, false, nullptr));
    auto folderRow = MakeFileListRow("C:\\Docs\\Sub", folder, true, nullptr);
    ASSERT_TRUE(folderRow);
    EXPECT_EQ(folderRow->Path(), "C:\\Docs\\Sub");

    EXPECT_TRUE(PassesNameRules("C:\\x\\Report.doc", "rep"));
    EXPECT_FALSE(PassesNameRules("C:\\rep\\a.doc", "rep"));
    EXPECT_FALSE(PassesNameRules("C:\\x\\a?.doc", ""));
    EXPECT_TRUE(PassesNameRules("C:\\x\\", ""));
}

}  // namespace
}  // namespace lark
