#include "search/search_results.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace lark {
namespace {

// Stands in for a mapped index file: it counts as holding the file open.
class HeldFile final : public WholeFile {
  public:
    explicit HeldFile(std::string text) : text_(std::move(text)) {}
    std::string_view Text() const override { return text_; }
    bool HoldsFileOpen() const override { return true; }

  private:
    std::string text_;
};

// A small index text and views of its lines, as a walk hands them over.
struct Text {
    explicit Text(std::string s, bool held = false)
        : text(held ? std::shared_ptr<const WholeFile>(std::make_shared<HeldFile>(std::move(s)))
                    : WholeFileFromText(std::move(s))) {}
    std::string_view Line(std::string_view startsWith) const {
        std::string_view all = text->Text();
        size_t at = all.find(startsWith);
        size_t end = all.find('\n', at);
        if (end == std::string::npos) end = all.size();
        if (end > at && all[end - 1] == '\r') --end;
        return all.substr(at, end - at);
    }
    std::shared_ptr<const WholeFile> text;
};

std::vector<std::string> All(const SearchResults& r) {
    return std::vector<std::string>(r.begin(), r.end());
}

TEST(SearchResults, PathsReadBackAlikeWhetherPointedToOrCopied) {
    const Text t("C:\\A;::\r\nloose.txt\r\nC:\\\r\nroot.ini\r\nC:\\Docs\\\r\na.txt\r\nlast");
    const std::vector<std::string> expected = {
        "loose.txt", "C:", "C:\\root.ini", "C:\\Docs", "C:\\Docs\\a.txt", "C:\\Docs\\last"};
    auto fill = [&](SearchResults& r) {
        r.Add({}, t.Line("loose"));  // before any folder line
        r.Add(t.Line("C:\\\r"), t.Line("C:\\\r"));
        r.Add(t.Line("C:\\\r"), t.Line("root"));
        r.Add(t.Line("C:\\Docs"), t.Line("C:\\Docs"));
        r.Add(t.Line("C:\\Docs"), t.Line("a.txt"));
        r.Add(t.Line("C:\\Docs"), t.Line("last"));  // no line end at the end of the text
    };

    SearchResults pointed;
    pointed.Attach(t.text);
    fill(pointed);
    ASSERT_TRUE(pointed.InIndexText());
    EXPECT_EQ(All(pointed), expected);

    SearchResults copied;
    copied.Attach(nullptr);  // as for a text too large to point into
    fill(copied);
    EXPECT_FALSE(copied.InIndexText());
    EXPECT_EQ(All(copied), expected);
    EXPECT_EQ(pointed, copied);
    EXPECT_EQ(copied, (SearchResults{"loose.txt", "C:", "C:\\root.ini", "C:\\Docs",
                                     "C:\\Docs\\a.txt", "C:\\Docs\\last"}));
    EXPECT_FALSE(copied == (SearchResults{"loose.txt"}));

    std::string scratch;
    EXPECT_EQ(pointed.PathAt(4, scratch), "C:\\Docs\\a.txt");
    EXPECT_EQ(pointed.PathCount(), 6u);

    pointed.clear();
    EXPECT_TRUE(pointed.empty());
    EXPECT_FALSE(pointed.InIndexText());
}

TEST(SearchResults, SettlingCopiesOnlyWhatIsMuchSmallerThanTheText) {
    std::string big = "C:\\X;::\r\nC:\\Docs\\\r\n";
    for (int i = 0; i < 1000; ++i) big += "file" + std::to_string(i) + ".txt\r\n";
    const Text t(big, true);
    const std::string_view folder = t.Line("C:\\Docs");

    SearchResults few;
    few.Attach(t.text);
    few.Add(folder, t.Line("file7.txt"));
    few.Add(folder, t.Line("file999.txt"));
    few.Settle();
    EXPECT_FALSE(few.InIndexText());  // the text is let go
    EXPECT_EQ(t.text.use_count(), 1);
    EXPECT_EQ(All(few), (std::vector<std::string>{"C:\\Docs\\file7.txt", "C:\\Docs\\file999.txt"}));

    SearchResults many;
    many.Attach(t.text);
    std::string_view rest = t.text->Text();
    rest.remove_prefix(rest.find("file0"));
    while (!rest.empty()) {
        size_t end = rest.find("\r\n");
        many.Add(folder, rest.substr(0, end));
        rest.remove_prefix(end + 2);
    }
    many.Settle();
    EXPECT_TRUE(many.InIndexText());  // copies of every path would outweigh the text
    // ...but the index file itself is let go, for the next build to rewrite.
    EXPECT_NE(many.IndexText(), t.text.get());
    EXPECT_FALSE(many.IndexText()->HoldsFileOpen());
    EXPECT_EQ(t.text.use_count(), 1);
    ASSERT_EQ(many.size(), 1000u);
    EXPECT_EQ(many.Path(999), "C:\\Docs\\file999.txt");
}

}  // namespace
}  // namespace lark
