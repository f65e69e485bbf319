// A search saved or deleted shows in every list of views at once.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/test_app.h"
#include "views/fake_shell_services.h"
#include "views/fake_view_host.h"
#include "views/view_controller.h"

namespace lark {
namespace {

bool Lists(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool TreeLists(const std::vector<ViewTreeNode>& tree, const std::string& group,
               const std::string& name) {
    for (const ViewTreeNode& node : tree)
        if (node.text == group)
            for (const ViewTreeNode& child : node.children)
                if (child.text == name) return true;
    return false;
}

TEST(ViewListsChanged, CatalogueSelectorAndShownTreeListTheSavedSearchesAgain) {
    const std::string mine = "C:\\Data\\Larkspire\\jdoe\\Searches\\";
    for (bool viewsMode : {true, false}) {
        TestApp app;
        app.settings.DataLocation = "C:\\Data\\Larkspire";
        app.fs.AddFile(mine + "Budget.lks");
        FakeShellServices shell;
        FakeViewHost host;
        FakeSearchRunner search;
        ViewController views(app.ctx, host, shell, search);
        views.FillViewSelectors();
        if (viewsMode) views.BuildViewsTree();
        views.ShowView("<Last Search>");

        app.fs.AddFile(mine + "Weekly.lks");
        app.fs.RemoveFile(mine + "Budget.lks");
        views.ViewListsChanged();

        EXPECT_TRUE(Lists(host.catalogue, "Weekly"));
        EXPECT_FALSE(Lists(host.catalogue, "Budget"));
        EXPECT_EQ(host.selectedName, "<Last Search>");
        EXPECT_EQ(host.selectedSelector, "Last Search");
        EXPECT_EQ(TreeLists(host.tree, "My Searches", "Weekly"), viewsMode);
        EXPECT_EQ(TreeLists(host.tree, "My Searches", "Budget"), false);
    }
}

}  // namespace
}  // namespace lark
