// Start-up with a path on the command line.

#include <QMdiArea>

#include "app/main_frame.h"
#include "app/tmk_app.h"
#include "tests/ui/ui_test_support.h"
#include "ui/rename_list_pane.h"
#include "ui/rename_mstr_view.h"

namespace tidemark::app {
namespace {

using namespace tidemark::testing;

TEST(TmkAppTest, OpensTheFolderOfTheCommandLineOrSaysThePathIsNotValid) {
    EnsureApplication();
    TempFolder work;
    ScopedEnv ini{"TMK_INI", work / "tmk.ini"};
    const std::string photos = work.Folder("photos");
    work.File("photos/a.jpg");
    const struct {
        std::string path;
        std::string folder;  // empty: no rename window, an error instead
    } cases[] = {
        {photos, photos},
        {photos + "/", photos},
        {photos + "/a.jpg", photos},  // a file: its folder, as a drop does
        {work / "missing", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        DialogRecorder dialogs;
        CTMKApp app;
        ASSERT_TRUE(app.InitInstance());
        app.OpenPath(c.path);
        ProcessPostedEvents();
        ui::CRenameMstrView* view = app.MainFrame()->RenameView();
        if (c.folder.empty()) {
            EXPECT_EQ(view, nullptr);
            EXPECT_EQ(dialogs.Errors(),
                      std::vector<QString>{QStringLiteral("That is not a valid path.")});
            continue;
        }
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->CurrentFolder(), c.folder);
        EXPECT_EQ(ColumnTexts(view->SourcePane()), std::vector<std::string>{"a.jpg"});
        EXPECT_TRUE(dialogs.messages.empty());
    }
}

}  // namespace
}  // namespace tidemark::app
